#include "backup/BackupConfigList.h"

#include "backup/BackupRules.h"
#include "common/KeyedFileRewrite.h"
#include "common/KeyedTextFile.h"
#include "common/ListFileReader.h"
#include "common/ListFields.h"
#include "common/Log.h"
#include "common/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>

namespace {

const char kTitle[] = "DERVANE BACKUP";

void TakeField(const char* value, int index, std::string& out)
{
    TakeListField(value, index, out);
}

unsigned char Flag(const char* value, int index)
{
    char field[CKeyedTextFile::kLineSize];
    if (!CKeyedTextFile::GetField(value, index, field))
        return 0;
    return atoi(field) != 0 ? 1 : 0;
}

void EntryKey(int entry, const char* suffix, char* out)
{
    snprintf(out, CKeyedTextFile::kKeySize, "ENTRY_%d%s", entry, suffix);
}

void PatternKey(int entry, int pattern, char* out)
{
    snprintf(out, CKeyedTextFile::kKeySize, "ENTRY_%d_TYPE_%d", entry, pattern);
}

// The commands' three records, wherever they stand in the file.
void ReadCommands(const CListFileReader& reader, BackupCommands& commands)
{
    if (const char* value = reader.Other("CUSTOM"))
        commands.custom = Flag(value, 0);
    if (const char* value = reader.Other("CUSTOM_COMMAND")) {
        TakeField(value, 0, commands.customProgram);
        TakeField(value, 1, commands.customArguments);
    }
    if (const char* value = reader.Other("POST_COMMAND")) {
        TakeField(value, 0, commands.postProgram);
        TakeField(value, 1, commands.postArguments);
        commands.removeCopies = Flag(value, 2);
    }
}

// A configuration from its records: the entry's own (name and flags, each
// flag it leaves out clear), "_SOURCE", "_DEST" and the patterns, a record
// with an empty value passed over.
BackupConfig ReadConfig(ListEntry& entry)
{
    BackupConfig config;
    const char* value = entry.value.c_str();
    TakeField(value, 0, config.name);
    config.includeSubfolders = Flag(value, 1);
    config.excludeFileTypes = Flag(value, 2);
    for (const auto& record : entry.named) {
        if (record.first == "SOURCE" && config.source.empty())
            TakeField(record.second.c_str(), 0, config.source);
        else if (record.first == "DEST" && config.target.empty())
            TakeField(record.second.c_str(), 0, config.target);
    }
    for (std::string& pattern : entry.run) {
        if (!pattern.empty())
            config.fileTypes.push_back(std::move(pattern));
    }
    return config;
}

// A field that would split its record (TAB) or end it (CR, LF).
bool HoldsSeparator(const std::string& field)
{
    return field.find_first_of("\t\r\n") != std::string::npos;
}

bool Writable(const BackupCommands& c, const std::vector<BackupConfig>& configs)
{
    for (const std::string* field : {&c.customProgram, &c.customArguments, &c.postProgram, &c.postArguments}) {
        if (HoldsSeparator(*field))
            return false;
    }
    for (const BackupConfig& config : configs) {
        if (HoldsSeparator(config.name) || HoldsSeparator(config.source) || HoldsSeparator(config.target))
            return false;
    }
    return true;
}

int WriteRecords(CKeyedTextFile& file, const BackupCommands& c, const std::vector<BackupConfig>& configs)
{
    if (!file.WriteHeader(kTitle) || !file.WriteInt("CUSTOM", c.custom) ||
        !file.Write("CUSTOM_COMMAND", (c.customProgram + '\t' + c.customArguments).c_str()) ||
        !file.Write("POST_COMMAND",
                    (c.postProgram + '\t' + c.postArguments + '\t' + std::to_string(c.removeCopies)).c_str()))
        return 0;
    char key[CKeyedTextFile::kKeySize];
    for (size_t i = 0; i < configs.size(); i++) {
        const BackupConfig& config = configs[i];
        const int n = static_cast<int>(i);
        const std::string entry = config.name + '\t' + std::to_string(config.includeSubfolders) + '\t' +
            std::to_string(config.excludeFileTypes);
        EntryKey(n, "", key);
        if (!file.Write(key, entry.c_str()))
            return 0;
        EntryKey(n, "_SOURCE", key);
        if (!file.Write(key, config.source.c_str()))
            return 0;
        EntryKey(n, "_DEST", key);
        if (!file.Write(key, config.target.c_str()))
            return 0;
        for (size_t j = 0; j < config.fileTypes.size(); j++) {
            PatternKey(n, static_cast<int>(j), key);
            if (!file.Write(key, config.fileTypes[j].c_str()))
                return 0;
        }
        PatternKey(n, static_cast<int>(config.fileTypes.size()), key);
        if (!file.Write(key, kListEndMark))
            return 0;
    }
    return 1;
}

}  // namespace

int CBackupConfigList::Find(const std::string& source) const
{
    for (size_t i = 0; i < m_configs.size(); i++) {
        if (m_configs[i].source == source)
            return static_cast<int>(i);
    }
    return -1;
}

int CBackupConfigList::FindSameSource(const std::string& source, int except) const
{
    for (size_t i = 0; i < m_configs.size(); i++) {
        if (static_cast<int>(i) != except && SameFolderText(m_configs[i].source, source))
            return static_cast<int>(i);
    }
    return -1;
}

int CBackupConfigList::Add(const BackupConfig& config)
{
    if (FindSameSource(config.source) != -1)
        return 0;
    m_configs.push_back(config);
    m_modified = true;
    return 1;
}

int CBackupConfigList::Replace(int index, const BackupConfig& edited)
{
    if (index < 0 || index >= static_cast<int>(m_configs.size()) || FindSameSource(edited.source, index) != -1)
        return 0;
    m_configs.erase(m_configs.begin() + index);
    m_configs.push_back(edited);
    m_modified = true;
    return 1;
}

void CBackupConfigList::Remove(int index)
{
    if (index < 0 || index >= static_cast<int>(m_configs.size()))
        return;
    m_configs.erase(m_configs.begin() + index);
    m_modified = true;
}

void CBackupConfigList::SetCommands(const BackupCommands& commands)
{
    m_commands = commands;
    m_modified = true;
}

int CBackupConfigList::Load(const std::string& path)
{
    m_configs.clear();
    m_commands = BackupCommands();
    m_modified = false;
    CListFileReader reader(path, kTitle, "TYPE");
    const bool open = reader.Open("Cannot read Backup.txt file");
    ListEntry entry;
    // Each source once, found by its folded text: a file of thousands of
    // configurations is read in time linear in them.
    std::unordered_set<std::string> sources;
    while (reader.Next(entry)) {
        BackupConfig config = ReadConfig(entry);
        std::string key = config.source;
        std::replace(key.begin(), key.end(), '/', '\\');
        RemoveTrailingBackslash(key);
        if (!sources.insert(FoldUtf8(key)).second) {
            reader.Skipped(entry.number, "skipped: a second configuration for its source");
            continue;
        }
        m_configs.push_back(std::move(config));
    }
    if (open)
        ReadCommands(reader, m_commands);
    m_keepOld = MustKeepOldFile(reader.Finish());
    return open ? 1 : 0;
}

ListSaveResult CBackupConfigList::Save(const std::string& path)
{
    if (m_modified && !Writable(m_commands, m_configs)) {
        LogWarning("Cannot write Backup.txt file: a folder, name, program or argument holds a tab or a line break");
        return ListSaveResult::kFailed;
    }
    return SaveChangedList(path, m_modified, m_keepOld, true,
                           [this](CKeyedTextFile& file) { return WriteRecords(file, m_commands, m_configs); });
}
