#include "backup/BackupRules.h"

#include "files/TaskFolderCheck.h"
#include "common/ListFields.h"
#include "common/Utf8.h"

#include <cstring>
#include <utility>

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// One character of [*p, end) in the case the comparisons use (FoldCase),
// '/' as '\\'; moves *p past it.
char32_t FoldedChar(const char** p, const char* end)
{
    const char32_t c = DecodeUtf8(p, end);
    return c == '/' ? '\\' : FoldCase(c);
}

// The bytes of text that the whole of prefix matches, character by character
// without case; npos when it does not.
size_t MatchedPrefix(const std::string& text, const std::string& prefix)
{
    const char* t = text.data();
    const char* tEnd = t + text.size();
    const char* p = prefix.data();
    const char* pEnd = p + prefix.size();
    while (p < pEnd) {
        if (t >= tEnd || FoldedChar(&t, tEnd) != FoldedChar(&p, pEnd))
            return std::string::npos;
    }
    return static_cast<size_t>(t - text.data());
}

std::string WithoutTrailingBackslash(std::string folder)
{
    RemoveTrailingBackslash(folder);
    return folder;
}

// The folder as the containment checks compare it (see ComparableFolder); a
// bare drive ("C:", what the editor keeps of "C:\") as its root.
std::string Comparable(const std::string& folder)
{
    return ComparableFolder(folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder);
}

// inner lies below outer (not equal to it).
bool LiesInside(const std::string& inner, const std::string& outer)
{
    return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
        (inner[outer.size()] == '\\' || outer.back() == '\\');
}

std::string FolderProblemText(const char* which, const std::string& folder)
{
    const std::string checked = folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder;
    const FolderCheck check = CheckTaskFolder(checked, {});
    const std::string the = std::string("The ") + which + " folder";
    switch (check.problem) {
    case FolderProblem::kNone:
    case FolderProblem::kRoot:  // a whole drive may be backed up, or be the target
    case FolderProblem::kMissingMacro:
    case FolderProblem::kProtected:
    case FolderProblem::kHoldsProtected:
    case FolderProblem::kLink: return "";  // found only on the disk (ConfigProblemOnDisk)
    case FolderProblem::kEmpty: return "Please specify both source and target folders!";
    case FolderProblem::kControlCharacter: return the + " cannot contain tabs or line breaks.";
    case FolderProblem::kTooLong: return the + " is too long: at most 257 characters.";
    case FolderProblem::kRelative:
        return std::string("Please enter the full path of the ") + which +
            " folder, with its drive (for example C:\\Data).";
    case FolderProblem::kDevicePath: return the + " cannot be a device path (\\\\?\\ or \\\\.\\).";
    case FolderProblem::kBadCharacter: return the + " cannot contain the characters * ? < > | \" or a second colon.";
    case FolderProblem::kBadComponent: return the + " cannot contain . or .. or a name ending in a dot or a space.";
    }
    return "";
}

// text with every macro of the table replaced in one pass from the left: at
// each place the first macro of the table that stands there is replaced, and
// what a value brings in is never looked at again.
std::string ReplaceMacros(const std::string& text, const std::vector<std::pair<const char*, std::string>>& macros,
                          std::vector<std::string>* inserted)
{
    std::string out;
    out.reserve(text.size());
    size_t at = 0;
    while (at < text.size()) {
        const size_t mark = text.find('%', at);
        if (mark == std::string::npos)
            break;
        out.append(text, at, mark - at);
        at = mark;
        bool replaced = false;
        for (const auto& macro : macros) {
            const size_t length = strlen(macro.first);
            if (text.compare(mark, length, macro.first) == 0) {
                out += macro.second;
                if (inserted)
                    inserted->push_back(macro.second);
                at = mark + length;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += text[at++];
    }
    out.append(text, at, std::string::npos);
    return out;
}

// The drive and folder part of a path, with its last backslash
// ("C:\Data\a.txt": "C:\Data\"), and the name after it.
std::string FolderPart(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos)
        return path.substr(0, slash + 1);
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : "";
}

std::string NamePart(const std::string& path)
{
    return path.substr(FolderPart(path).size());
}

}  // namespace

bool SameFolderText(const std::string& a, const std::string& b)
{
    return MatchedPrefix(a, b) == a.size();
}

void RemoveTrailingBackslash(std::string& folder)
{
    // No byte of a UTF-8 character but '\' itself is a backslash.
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
}

int FindConfig(const std::vector<BackupConfig>& configs, const std::string& path, std::string* targetPath)
{
    int best = -1;
    size_t bestLength = 0;
    for (size_t i = 0; i < configs.size(); i++) {
        const std::string source = WithoutTrailingBackslash(configs[i].source);
        const size_t n = source.empty() ? std::string::npos : MatchedPrefix(path, source);
        if (n == std::string::npos || n <= bestLength)
            continue;
        if (path.size() > n && !IsSeparator(path[n]))
            continue;  // C:\Data does not hold C:\Database
        best = static_cast<int>(i);
        bestLength = n;
    }
    if (targetPath)
        *targetPath = best < 0 ? "" : WithoutTrailingBackslash(configs[best].target) + path.substr(bestLength);
    return best;
}

std::string ConfigProblem(const BackupConfig& config)
{
    if (config.source.empty() || config.target.empty())
        return "Please specify both source and target folders!";
    std::string problem = FolderProblemText("source", config.source);
    if (problem.empty())
        problem = FolderProblemText("target", config.target);
    if (!problem.empty())
        return problem;
    if (config.name.find_first_of("\t\r\n") != std::string::npos)
        return "The name cannot contain tabs or line breaks.";
    // Counted as the edit control counts; 260 characters take at most 780
    // bytes in UTF-8, which the name's record holds.
    if (Utf16Length(config.name) > kListFieldChars)
        return "The name is too long: at most 260 characters.";
    return FolderOverlapProblem(config.source, config.target);
}

std::string FolderOverlapProblem(const std::string& sourceFolder, const std::string& targetFolder)
{
    const std::string source = Comparable(sourceFolder);
    const std::string target = Comparable(targetFolder);
    if (source == target)
        return "The target folder cannot be the source folder.";
    if (LiesInside(target, source))
        return "The target folder cannot lie inside the source folder.";
    if (LiesInside(source, target))
        return "The source folder cannot lie inside the target folder.";
    return "";
}

void ApplyConditionalSection(std::string& text, const std::string& macro, bool condition)
{
    if (macro.empty())
        return;
    size_t at = 0;
    while ((at = text.find(macro, at)) != std::string::npos) {
        // The character after the macro (normally "(") is passed over; a
        // macro at the very end has neither it nor a section.
        const size_t start = at + macro.size() + 1;
        std::string section;
        size_t end = text.size();
        if (start < text.size()) {
            const size_t close = text.find(')', start);
            section = text.substr(start, (close == std::string::npos ? text.size() : close) - start);
            end = close == std::string::npos ? text.size() : close + 1;
        }
        if (!condition)
            section.clear();
        text.replace(at, end - at, section);
        at += section.size();  // a section is not searched again
    }
}

std::string CustomArguments(const BackupCommands& commands, const BackupConfig& config, const std::string& sourcePath,
                            const std::string& targetPath, std::vector<std::string>* inserted)
{
    return ReplaceMacros(commands.customArguments,
                         {{"%SOURCEPATH", FolderPart(sourcePath)},
                          {"%SOURCEFILE", NamePart(sourcePath)},
                          {"%SOURCE", sourcePath},
                          {"%DROPTARGETPATH", FolderPart(targetPath)},
                          {"%TARGET", targetPath},
                          {"%NAME", config.name}},
                         inserted);
}

std::string PostArguments(const BackupCommands& commands, const BackupConfig& config, const std::string& droppedPath,
                          const std::string& itemTarget, bool isFolder, std::vector<std::string>* inserted)
{
    std::string text = commands.postArguments;
    ApplyConditionalSection(text, "%ISDROPFOLDER", isFolder);
    ApplyConditionalSection(text, "%ISDROPFILE", !isFolder);
    return ReplaceMacros(text,
                         {{"%DROPSOURCEPATH", FolderPart(WithoutTrailingBackslash(droppedPath))},
                          {"%DROPTARGETPATH", itemTarget},
                          {"%TARGETPATH", WithoutTrailingBackslash(config.target) + "\\"},
                          {"%NAME", config.name}},
                         inserted);
}

bool RunsThroughCommandInterpreter(const std::string& program, const std::string& comspec)
{
    std::string path = program;
    const size_t first = path.find_first_not_of(' ');
    path.erase(0, first == std::string::npos ? path.size() : first);
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    if (EqualsNoCase(path, "%COMSPEC%"))
        return true;
    // The system drops trailing dots and blanks from the last name:
    // "run.bat." runs run.bat.
    while (!path.empty() && (path.back() == '.' || path.back() == ' '))
        path.pop_back();
    const std::string name = NamePart(path);
    if (EqualsNoCase(name, "cmd") || EqualsNoCase(name, "cmd.exe"))
        return true;
    for (const char* extension : {".bat", ".cmd"}) {
        if (name.size() > 4 && EqualsNoCase(name.substr(name.size() - 4), extension))
            return true;
    }
    return !comspec.empty() && (SameFolderText(path, comspec) || EqualsNoCase(name, NamePart(comspec)));
}

std::string InterpreterCharacterIn(const std::string& value)
{
    const size_t at = value.find_first_of("&|<>^%\"\r\n");
    if (at == std::string::npos)
        return "";
    return value[at] == '\r' || value[at] == '\n' ? "a line break" : std::string(1, value[at]);
}

bool SameWriteTime(uint64_t source, uint64_t target, bool coarseTimes)
{
    // 100 ns units.
    constexpr uint64_t kTwoSeconds = 20000000;
    if (!coarseTimes)
        return source == target;
    return (source > target ? source - target : target - source) <= kTwoSeconds;
}

bool KeepsCoarseTimes(const std::string& fileSystemName)
{
    for (const char* name : {"FAT", "FAT12", "FAT16", "FAT32", "exFAT"}) {
        if (EqualsNoCase(fileSystemName, name))
            return true;
    }
    return false;
}
