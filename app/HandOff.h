// The layout file named on the command line and its hand-off to a running
// instance through "msg.dat". Window-free.
#pragma once

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
