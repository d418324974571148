// The backup rules that need no file system: which configuration takes a
// dropped path and where its copy goes, which configurations may run at all,
// and the argument texts of the custom and after programs.
#pragma once

#include "backup/BackupConfig.h"

#include <cstdint>
#include <string>
#include <vector>

// The configuration whose source folder holds path, the longest source
// winning (the first on a tie), or -1. A source holds a path only at a folder
// boundary: the path equals it, or the next character is a backslash
// (letter case ignored). targetPath gets the configuration's target followed
// by the rest of the path. A source or target written with a trailing
// backslash is taken without it.
int FindConfig(const std::vector<BackupConfig>& configs, const std::string& path, std::string* targetPath);

// Why a configuration may not be stored or run, or empty when it may: a
// source or target that is empty, relative, a device or UNC-device path
// ("\\?\", "\\.\"), or goes through "." or ".."; a target that equals the
// source, lies inside it or holds it.
std::string ConfigProblem(const BackupConfig& config);
// The last step of ConfigProblem: why a target may not go with its source
// when both are compared as written (the same folder, or one inside the
// other), or empty.
std::string FolderOverlapProblem(const std::string& source, const std::string& target);

// Folder texts compared as the file system does: letter case ignored in
// every script (FoldCase), "/" as "\".
bool SameFolderText(const std::string& a, const std::string& b);
// Removes one trailing backslash.
void RemoveTrailingBackslash(std::string& folder);

// Each "<macro>(section)" becomes the section when condition holds and
// nothing when it does not; the character after the macro is skipped and the
// first ")" ends the section (or the end of the text). One pass, never
// reading past the text.
void ApplyConditionalSection(std::string& text, const std::string& macro, bool condition);

// The custom program's argument text for one file, with "%SOURCEPATH",
// "%SOURCEFILE", "%SOURCE", "%DROPTARGETPATH", "%TARGET", "%NAME" replaced
// in that order. Every macro is replaced in one pass over the argument text,
// so a path or name that holds a macro's text is passed as it is. inserted,
// when given, gets every value that went into the text.
std::string CustomArguments(const BackupCommands& commands, const BackupConfig& config, const std::string& sourcePath,
                            const std::string& targetPath, std::vector<std::string>* inserted = nullptr);
// The after program's argument text for one dropped item: "%ISDROPFOLDER",
// "%ISDROPFILE" sections, then "%DROPSOURCEPATH", "%DROPTARGETPATH",
// "%TARGETPATH", "%NAME" (in one pass, as above).
std::string PostArguments(const BackupCommands& commands, const BackupConfig& config, const std::string& droppedPath,
                          const std::string& itemTarget, bool isFolder, std::vector<std::string>* inserted = nullptr);

// The program is run by the command interpreter: a batch file (".bat",
// ".cmd", also as the system reads a name with trailing dots or blanks), the
// interpreter itself ("cmd.exe", "cmd"), or the program comspec names (the
// value of COMSPEC, or the text "%COMSPEC%"). Quotes around program are
// ignored; letter case too.
bool RunsThroughCommandInterpreter(const std::string& program, const std::string& comspec);
// The first character of value that the command interpreter would read as
// a command or expand (& | < > ^ % " or a line break, even inside quotes),
// as the text that names it ("&", "a line break"); empty when there is none.
std::string InterpreterCharacterIn(const std::string& value);

// A target file's modified time that stands for the source's: the same, or
// with coarseTimes (a FAT or exFAT volume, which keeps times to 2 seconds)
// at most 2 seconds apart.
bool SameWriteTime(uint64_t source, uint64_t target, bool coarseTimes);
// The file system name a volume gives (FAT, FAT12, FAT16, FAT32, exFAT)
// stands for one that keeps modified times to 2 seconds only.
bool KeepsCoarseTimes(const std::string& fileSystemName);
