#include "backup/BackupRules.h"

#include "autodelete/FolderMacros.h"
#include "autodelete/MatchList.h"

#include <algorithm>

namespace {

bool SameText(const std::string& a, const std::string& b)
{
    return MatchList::Fold(a) == MatchList::Fold(b);
}

// path is folder or lies below it, at a folder boundary; letter case ignored.
bool Holds(const std::string& folder, const std::string& path)
{
    if (folder.empty() || path.size() < folder.size() || !SameText(path.substr(0, folder.size()), folder))
        return false;
    return path.size() == folder.size() || path[folder.size()] == '\\' || folder.back() == '\\';
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Why one folder of a configuration is no full, plain path, or empty.
std::string FolderProblem(const std::string& folder, const char* which)
{
    const std::string name = which;
    if (folder.empty())
        return "The " + name + " folder is empty.";
    if (folder.compare(0, 4, "\\\\?\\") == 0 || folder.compare(0, 4, "\\\\.\\") == 0)
        return "The " + name + " folder is a device path.";
    const bool drive = folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\';
    const bool share = folder.size() > 2 && folder.compare(0, 2, "\\\\") == 0;
    if (!drive && !share)
        return "The " + name + " folder is not a full path.";
    const std::string padded = "\\" + folder.substr(drive ? 3 : 2) + "\\";
    if (padded.find("\\.\\") != std::string::npos || padded.find("\\..\\") != std::string::npos)
        return "The " + name + " folder goes through \".\" or \"..\".";
    return "";
}

}  // namespace

int FindConfig(const std::vector<BackupConfig>& configs, const std::string& path, std::string* targetPath)
{
    int best = -1;
    for (size_t i = 0; i < configs.size(); i++) {
        const std::string& source = configs[i].source;
        if (Holds(source, path) && (best < 0 || source.size() > configs[static_cast<size_t>(best)].source.size()))
            best = static_cast<int>(i);
    }
    if (best >= 0 && targetPath) {
        const BackupConfig& config = configs[static_cast<size_t>(best)];
        *targetPath = config.target + path.substr(config.source.size());
    }
    return best;
}

std::string ConfigProblem(const BackupConfig& config)
{
    std::string problem = FolderProblem(config.source, "source");
    if (problem.empty())
        problem = FolderProblem(config.target, "target");
    if (!problem.empty())
        return problem;
    if (Holds(config.source, config.target))
        return "The target folder is the source folder or lies inside it.";
    if (Holds(config.target, config.source))
        return "The target folder holds the source folder.";
    return "";
}

void ApplyConditionalSection(std::string& text, const std::string& macro, bool condition)
{
    if (macro.empty())
        return;
    size_t from = 0;
    for (size_t at = text.find(macro, from); at != std::string::npos; at = text.find(macro, from)) {
        const size_t start = std::min(at + macro.size() + 1, text.size());
        const size_t close = text.find(')', start);
        const size_t stop = close == std::string::npos ? text.size() : close;
        const std::string section = condition ? text.substr(start, stop - start) : std::string();
        text.replace(at, (close == std::string::npos ? stop : stop + 1) - at, section);
        from = at + section.size();
    }
}

std::string CustomArguments(const BackupCommands& commands, const BackupConfig& config, const std::string& sourcePath,
                            const std::string& targetPath)
{
    std::string text = commands.customArguments;
    ReplaceAll(text, "%SOURCEPATH", FolderOf(sourcePath));
    ReplaceAll(text, "%SOURCEFILE", NameOf(sourcePath));
    ReplaceAll(text, "%SOURCE", sourcePath);
    ReplaceAll(text, "%DROPTARGETPATH", FolderOf(targetPath));
    ReplaceAll(text, "%TARGET", targetPath);
    ReplaceAll(text, "%NAME", config.name);
    return text;
}

std::string PostArguments(const BackupCommands& commands, const BackupConfig& config, const std::string& droppedPath,
                          const std::string& itemTarget, bool isFolder)
{
    std::string text = commands.postArguments;
    ApplyConditionalSection(text, "%ISDROPFOLDER", isFolder);
    ApplyConditionalSection(text, "%ISDROPFILE", !isFolder);
    ReplaceAll(text, "%DROPSOURCEPATH", FolderOf(droppedPath));
    ReplaceAll(text, "%DROPTARGETPATH", itemTarget);
    ReplaceAll(text, "%TARGETPATH", config.target + "\\");
    ReplaceAll(text, "%NAME", config.name);
    return text;
}
