#include "app/HandOff.h"

#include "common/LayoutFormat.h"
#include "common/Utf8.h"
#include "icons/LayoutNames.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};
using ScopedFile = std::unique_ptr<FILE, FileCloser>;

// Lines are read in pieces of at most this many characters.
constexpr int kLinePiece = 259;

void StripLineEnd(char* line)
{
    line[strcspn(line, "\r\n")] = '\0';
}

bool ParseDecimal(const char* text, long* out)
{
    char* end = nullptr;
    errno = 0;
    const long value = strtol(text, &end, 10);
    if (end == text || errno == ERANGE)
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end != '\0')
        return false;
    *out = value;
    return true;
}

// What a second start may ask of the running one: a layout loaded or saved.
// Anything else (the settings, the hide rules, a notification) is the
// program's own and never comes from a file anyone can write.
bool IsHandOffCode(long code)
{
    return code == HOOKMSG_LOAD_POSITIONS || code == HOOKMSG_LOAD_SHORTCUTS || code == HOOKMSG_SAVE_POSITIONS;
}

}  // namespace

std::string LayoutPathFromCommandLine(const char* commandLine)
{
    if (!commandLine)
        return std::string();
    std::string text(commandLine);
    if (!text.empty() && text[0] == '"') {
        text.erase(0, 1);
        const size_t quote = text.rfind('"');
        if (quote != std::string::npos)
            text.erase(quote);
    }
    return text;
}

int LayoutCodeFromFirstLine(const char* line)
{
    if (!line)
        return 0;
    if (strstr(line, kPositionsLayoutTitle))
        return HOOKMSG_LOAD_POSITIONS;
    if (strstr(line, kShortcutsLayoutTitle))
        return HOOKMSG_LOAD_SHORTCUTS;
    return 0;
}

int LayoutCodeOfFile(const std::string& path)
{
    if (path.empty())
        return 0;
    ScopedFile file(OpenFileUtf8(path.c_str(), "rb"));
    if (!file)
        return 0;
    char line[kLinePiece + 1] = "";
    if (!fgets(line, sizeof line, file.get()))
        return 0;
    return LayoutCodeFromFirstLine(line);
}

std::string FileNameOfPath(const std::string& path)
{
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteHandOffFile(const std::string& path, int code, int route, const std::string& name)
{
    ScopedFile file(OpenFileUtf8(path.c_str(), "wb"));
    if (!file)
        return false;
    fprintf(file.get(), "%d\n%d\n%s", code, route, name.c_str());
    return fflush(file.get()) == 0;
}

bool ReadHandOffFile(const std::string& path, dervaneMsg_t* msg, std::string* error)
{
    memset(msg, 0, sizeof *msg);
    ScopedFile file(OpenFileUtf8(path.c_str(), "rb"));
    if (!file) {
        *error = "cannot open";
        return false;
    }
    char line[kLinePiece + 1];
    long code = 0, route = 0;
    // A byte-order mark before the code is passed over.
    const bool read = fgets(line, sizeof line, file.get()) != nullptr;
    const char* first = line + (read && StartsWithUtf8Bom(line, strlen(line)) ? kUtf8BomSize : 0);
    if (!read || (StripLineEnd(line), !ParseDecimal(first, &code)) || !IsHandOffCode(code)) {
        *error = "no layout to load or save";
        return false;
    }
    if (!fgets(line, sizeof line, file.get()) || (StripLineEnd(line), !ParseDecimal(line, &route)) ||
        route != HOOKROUTE_HOOK) {
        *error = "no request for the hook library";
        return false;
    }
    // The name: one piece, and it must end there (a longer name would arrive
    // cut and name another file). At most kLinePiece - 1 characters, which
    // in UTF-8 take up to three bytes each; the payload holds them all.
    static_assert(static_cast<size_t>(3 * (kLinePiece - 1)) < kHookPayloadSize, "the longest name fits the payload");
    char name[kHookPayloadSize + 1] = "";
    if (!fgets(name, sizeof name, file.get()) || name[0] == '\r' || name[0] == '\n') {
        *error = "no file name";
        return false;
    }
    const size_t length = strcspn(name, "\r\n");
    if (Utf16Length(name, length) > static_cast<size_t>(kLinePiece - 1) || length >= kHookPayloadSize ||
        (name[length] == '\0' && fgetc(file.get()) != EOF)) {
        *error = "file name too long";
        return false;
    }
    name[length] = '\0';
    // The other lines are digits: a name that is not UTF-8 was written by an
    // earlier version, in the system's code page.
    const std::string text = IsValidUtf8(name, length) ? std::string(name, length) : LegacyToUtf8(name, length);
    if (!CopyUtf8(msg->payload.text, sizeof msg->payload.text, text.c_str())) {
        *error = "file name too long";
        return false;
    }
    msg->code = static_cast<int32_t>(code);
    msg->route = static_cast<uint8_t>(route);
    return true;
}

// The box wraps long lines itself: a line break only ends a paragraph.
const char kCommandLineHelp[] =
    "Dervane [layout file]\n"
    "Starts Dervane, or has the running one load the layout file.\n\n"
    "Dervane /save NAME\n"
    "Has the running Dervane save the desktop's icon positions as the layout NAME of its \"Positions\" folder.\n\n"
    "Dervane /load NAME\n"
    "Has the running Dervane load the positions layout NAME.\n\n"
    "Dervane /exit\n"
    "Ends the running Dervane.\n\n"
    "Dervane /?\n"
    "Shows these forms.\n\n"
    "NAME is a layout's name as the Icons page lists it, in quotes when it holds blanks. /save and /load "
    "wait for the running Dervane and end with 0 when done, 1 when the name is refused or the layout could "
    "not be saved or loaded, and 2 when no Dervane runs.";

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string Trimmed(const std::string& text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

}  // namespace

LayoutCommand ParseLayoutCommand(const std::string& arguments)
{
    const std::string line = Trimmed(arguments);
    size_t end = 0;
    while (end < line.size() && !IsBlank(line[end]))
        ++end;
    const std::string word = line.substr(0, end);
    const std::string rest = Trimmed(line.substr(end));
    LayoutCommand command;
    if (word == "/?") {
        command.kind = rest.empty() ? CommandKind::kHelp : CommandKind::kNone;
        return command;
    }
    if (EqualsNoCase(word.c_str(), "/save"))
        command.kind = CommandKind::kSaveLayout;
    else if (EqualsNoCase(word.c_str(), "/load"))
        command.kind = CommandKind::kLoadLayout;
    else
        return command;
    // Quoted as a path is: the opening quote skipped, cut at the last one.
    command.name = Trimmed(LayoutPathFromCommandLine(rest.c_str()));
    return command;
}

std::string CommandLayoutFileName(const std::string& name, size_t programFolderChars)
{
    if (name.empty() || !IsValidUtf8(name.c_str(), name.size()))
        return std::string();
    const std::string fileName = LayoutFileName(name);
    if (CheckLayoutFileName(fileName, programFolderChars) != LayoutNameProblem::kNone)
        return std::string();
    return fileName;
}
