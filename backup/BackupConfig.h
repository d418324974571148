// BackupConfig: one backup configuration, a source folder whose dropped files
// and folders are copied to the same relative place under a target folder.
// BackupCommands: the one set of commands all configurations share, edited in
// "Advanced Backup Settings".
#pragma once

#include <string>
#include <vector>

struct BackupConfig {
    // Source and target folders, without a trailing backslash.
    std::string source;
    std::string target;
    // The configuration's name, the value of the macro "%NAME".
    std::string name;
    // "Include subfolders": 1 for a new configuration, 0 when a file entry
    // does not say.
    unsigned char includeSubfolders = 1;
    // "Exclude File Types": set, the files of a dropped folder matching no
    // pattern are taken; clear, those matching one.
    unsigned char excludeFileTypes = 0;
    // File name patterns with the wildcards * and ?, in stored order.
    std::vector<std::string> fileTypes;
};

struct BackupCommands {
    // 0: the standard copy; 1: customProgram is run for every file.
    unsigned char custom = 0;
    std::string customProgram;
    std::string customArguments;
    // Run after each dropped item; empty for none.
    std::string postProgram;
    std::string postArguments;
    // The copies of an item are removed after the after program succeeded.
    unsigned char removeCopies = 0;
};
