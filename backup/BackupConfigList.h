// CBackupConfigList: the backup configurations in file order, the shared
// commands, and their file "Backup.txt". Window-free; the Backup page owns
// one and shows the configurations sorted by source folder, finding the
// chosen one again by its source text.
//
// Backup.txt is a keyed text file titled "DERVANE BACKUP": "VERSION",
// "CUSTOM", "CUSTOM_COMMAND", "POST_COMMAND", then per configuration i the
// records "ENTRY_<i>" (name, includeSubfolders, excludeFileTypes),
// "ENTRY_<i>_SOURCE", "ENTRY_<i>_DEST", one "ENTRY_<i>_TYPE_<j>" per pattern
// and one more with the end mark "#%#". A damaged configuration is skipped
// (common/ListFileReader.h), and so is a second one for a source; a file not
// read whole is kept as "Backup.txt.bak" before it is next written.
#pragma once

#include "backup/BackupConfig.h"
#include "common/KeyedFileRewrite.h"

#include <string>
#include <vector>

class CBackupConfigList {
public:
    const std::vector<BackupConfig>& Configs() const { return m_configs; }
    int Count() const { return static_cast<int>(m_configs.size()); }
    const BackupCommands& Commands() const { return m_commands; }
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // The first configuration whose source is exactly this text
    // (case-sensitive), or -1.
    int Find(const std::string& source) const;
    // The configuration for this source other than the one at index except,
    // or -1 (letter case in any script ignored). A source has one
    // configuration at most.
    int FindSameSource(const std::string& source, int except = -1) const;
    // Appends the configuration unless one has its source; 1 when appended
    // (which marks the list modified).
    int Add(const BackupConfig& config);
    // The old configuration at index goes and the edited copy is appended; 0,
    // changing nothing, when another configuration has the edited source.
    int Replace(int index, const BackupConfig& edited);
    void Remove(int index);
    // New commands (marks the list modified).
    void SetCommands(const BackupCommands& commands);

    // Empties the list, resets the commands and reads the file. 0 when the
    // file cannot be read (logged as "Cannot read Backup.txt file") or has
    // another title (logged).
    int Load(const std::string& path);
    // Whether the file read last held more than the list (kept as .bak
    // before the list replaces it).
    bool KeepsOldFile() const { return m_keepOld; }

    // When modified, writes everything to a temporary file beside path and
    // moves it over the old file (SaveChangedList); only a whole, moved file
    // clears the modified flag. A failure is logged and leaves the old file
    // as it was.
    ListSaveResult Save(const std::string& path);

private:
    std::vector<BackupConfig> m_configs;
    BackupCommands m_commands;
    bool m_modified = false;
    bool m_keepOld = false;
};
