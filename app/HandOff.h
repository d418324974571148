// The command line's forms (a layout file, "/save NAME", "/load NAME", "/?")
// and their hand-off to a running instance through "msg.dat". Window-free.
#pragma once

#include <cstddef>
#include <string>

#include "hook/HookProtocol.h"

// The path named by a command line: an opening double quote is skipped and
// the text is cut at its last double quote. Empty when there is none.
std::string LayoutPathFromCommandLine(const char* commandLine);

// HOOKMSG_LOAD_POSITIONS or HOOKMSG_LOAD_SHORTCUTS for a first line that
// holds a layout title, else 0.
int LayoutCodeFromFirstLine(const char* line);

// Opens the file and reads its first line (at most 259 characters): the
// layout code, or 0 when the file cannot be read or is no layout.
int LayoutCodeOfFile(const std::string& path);

// The part of path after its last backslash, the whole path if it has none.
std::string FileNameOfPath(const std::string& path);

// Writes "msg.dat": code, route and name as "%d\n%d\n%s".
bool WriteHandOffFile(const std::string& path, int code, int route, const std::string& name);

// Reads "msg.dat" into msg. Answers false, with the reason in error, when the
// file cannot be opened or does not hold what a second start may hand over:
// a layout to load (HOOKMSG_LOAD_POSITIONS, HOOKMSG_LOAD_SHORTCUTS) or to
// save (HOOKMSG_SAVE_POSITIONS), for the hook library (HOOKROUTE_HOOK), and
// a name that fits the payload.
bool ReadHandOffFile(const std::string& path, dervaneMsg_t* msg, std::string* error);

// What a command line asks for besides a layout file and "/exit": the switch
// in any case, then the name, which may be quoted and may hold blanks.
enum class CommandKind { kNone, kSaveLayout, kLoadLayout, kHelp };
struct LayoutCommand {
    CommandKind kind = CommandKind::kNone;
    std::string name;
};
LayoutCommand ParseLayoutCommand(const std::string& arguments);

// The exit codes of "/save" and "/load".
constexpr int kCommandDone = 0;
constexpr int kCommandFailed = 1;  // refused, or the layout was not saved or loaded
constexpr int kCommandNoInstance = 2;  // no Dervane runs: nothing was done

// What the running instance answers a hand-off (the result of its message).
// Busy: it is waiting on the hook library or not ready yet, and has left
// "msg.dat" unread; the sender asks again.
enum HandOffAnswer : long {
    kHandOffUnanswered = 0,
    kHandOffDone = 1,
    kHandOffFailed = 2,
    kHandOffBusy = 3,
};

// The file name of the positions layout NAME in the "Positions" folder of a
// program folder of programFolderChars characters, checked as the Icons
// page checks what the user types; empty when the name is refused (a path,
// a device name, too long, empty).
std::string CommandLayoutFileName(const std::string& name, size_t programFolderChars);

// The text of the box that "/?" shows.
extern const char kCommandLineHelp[];
