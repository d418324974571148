// Folders as the file system names them: a folder may be written through its
// 8.3 short name (C:\LONGFO~1 for C:\Long Folder), which the text rules of
// BackupRules cannot see. Windows only.
#pragma once

#include "backup/BackupConfig.h"

#include <string>

// The long form of a full path: the longest part of it that exists, as the
// file system spells it (GetLongPathNameA), followed by the rest as written.
// The path as it is when no part of it can be resolved.
std::string LongFolderForm(const std::string& path);

// ConfigProblem, then the same overlap rule on the long forms of the source
// and the target, so that a target written through the source's short name
// is refused like one written in full; then on what the folders are: a
// source or target that is itself a link is refused, and the two are
// compared by where they lead and by identity (LookUpFolder), so that a link
// above either or a substituted drive cannot hide an overlap.
std::string ConfigProblemOnDisk(const BackupConfig& config);
