#include "autodelete/DeletionTaskList.h"

#include "common/KeyedFileRewrite.h"
#include "common/KeyedTextFile.h"
#include "common/ListFields.h"
#include "common/ListFileReader.h"
#include "common/Log.h"
#include "common/Utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>

namespace {

const char kTitle[] = "DERVANE AUTODELETE";

void PatternKey(int task, int pattern, char* out)
{
    snprintf(out, CKeyedTextFile::kKeySize, "ENTRY_%d_TYPE_%d", task, pattern);
}

unsigned char Flag(const char* value, int index)
{
    char field[CKeyedTextFile::kLineSize];
    if (!CKeyedTextFile::GetField(value, index, field))
        return 0;
    return atoi(field) != 0 ? 1 : 0;
}

std::string WithoutTrailingBackslash(const std::string& folder)
{
    // "C:\" keeps its backslash: "C:" alone is another folder.
    if (folder.size() > 1 && folder.back() == '\\' && folder[folder.size() - 2] != ':')
        return folder.substr(0, folder.size() - 1);
    return folder;
}

bool SameFolder(const std::string& a, const std::string& b)
{
    return EqualsNoCase(WithoutTrailingBackslash(a), WithoutTrailingBackslash(b));
}

// The task's age from field index of value: a missing or empty field is any
// age; a damaged one too, logged (so the file is kept before it is next
// written).
int AgeField(const char* value, int index, int number, CListFileReader& reader)
{
    std::string text;
    int days = 0;
    if (!TakeListField(value, index, text) || ParseTaskAge(text, days))
        return days;
    text.resize(Utf8PrefixLength(text.c_str(), text.size(), 24));
    // Short: the log keeps only the start of a line.
    const std::string what = "age \"" + text + "\" read as any age (0 to " + std::to_string(kMaxTaskAgeDays) + " days)";
    reader.Skipped(number, what.c_str());
    return 0;
}

// Reads the tasks of a file with this class's title; withName: the fifth
// field is the display name. A pattern record with an empty value is passed
// over. Answers the file's state (ListFileState).
ListFileState ReadTaskFile(const std::string& path, bool withName, const char* missingText,
                           std::vector<DeletionTask>& tasks)
{
    CListFileReader reader(path, kTitle, "TYPE");
    if (!reader.Open(missingText))
        return reader.Finish();
    char field[CKeyedTextFile::kLineSize];
    ListEntry entry;
    std::unordered_set<std::string> folders;
    while (reader.Next(entry)) {
        DeletionTask task;
        const char* value = entry.value.c_str();
        if (CKeyedTextFile::GetField(value, 0, field))
            task.folder = field;
        task.includeSubfolders = Flag(value, 1);
        task.excludeFileTypes = Flag(value, 2);
        task.deleteEmptySubfolders = Flag(value, 3);
        if (withName && CKeyedTextFile::GetField(value, 4, field))
            task.name = field;
        task.olderThanDays = AgeField(value, withName ? 5 : 4, entry.number, reader);
        for (std::string& pattern : entry.run) {
            if (!pattern.empty())
                task.fileTypes.push_back(std::move(pattern));
        }
        // Each folder once, found by its folded text: a file of thousands of
        // tasks is read in time linear in its tasks.
        if (!withName && !folders.insert(FoldUtf8(WithoutTrailingBackslash(task.folder))).second) {
            reader.Skipped(entry.number, "skipped: a second task for its folder");
            continue;
        }
        tasks.push_back(std::move(task));
    }
    return reader.Finish();
}

int WriteRecords(CKeyedTextFile& file, const std::vector<DeletionTask>& tasks)
{
    if (!file.Write("KTX_FILE", kTitle) || !file.Write("VERSION", "1.0"))
        return 0;
    char key[CKeyedTextFile::kKeySize];
    for (size_t i = 0; i < tasks.size(); i++) {
        const DeletionTask& t = tasks[i];
        const int n = static_cast<int>(i);
        CKeyedTextFile::EntryKey(n, key);
        const std::string entry = t.folder + '\t' + std::to_string(t.includeSubfolders) + '\t' +
            std::to_string(t.excludeFileTypes) + '\t' + std::to_string(t.deleteEmptySubfolders) +
            // Without an age the record stays as older versions wrote it.
            (t.olderThanDays > 0 ? '\t' + std::to_string(t.olderThanDays) : std::string());
        if (!file.Write(key, entry.c_str()))
            return 0;
        for (size_t j = 0; j < t.fileTypes.size(); j++) {
            PatternKey(n, static_cast<int>(j), key);
            if (!file.Write(key, t.fileTypes[j].c_str()))
                return 0;
        }
        PatternKey(n, static_cast<int>(t.fileTypes.size()), key);
        if (!file.Write(key, kListEndMark))
            return 0;
    }
    return 1;
}

}  // namespace

bool ParseTaskAge(const std::string& text, int& days)
{
    if (text.empty()) {
        days = 0;
        return true;
    }
    if (text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int value = atoi(text.c_str());
    if (value > kMaxTaskAgeDays)
        return false;
    days = value;
    return true;
}

uint64_t TaskNewSince(int days, uint64_t now)
{
    if (days <= 0)
        return 0;
    const uint64_t span = static_cast<uint64_t>(days) * 24 * 60 * 60 * 10000000;
    return now > span ? now - span : 1;
}

bool IsNewForTask(uint64_t writeTime, uint64_t creationTime, uint64_t newSince)
{
    return newSince != 0 && (writeTime >= newSince || creationTime >= newSince);
}

int CDeletionTaskList::Find(const std::string& folder) const
{
    for (size_t i = 0; i < m_tasks.size(); i++) {
        if (m_tasks[i].folder == folder)
            return static_cast<int>(i);
    }
    return -1;
}

int CDeletionTaskList::FindSameFolder(const std::string& folder, int except) const
{
    for (size_t i = 0; i < m_tasks.size(); i++) {
        if (static_cast<int>(i) != except && SameFolder(m_tasks[i].folder, folder))
            return static_cast<int>(i);
    }
    return -1;
}

int CDeletionTaskList::Add(const DeletionTask& task)
{
    if (FindSameFolder(task.folder) != -1)
        return 0;
    m_tasks.push_back(task);
    m_tasks.back().name.clear();
    m_tasks.back().missingMacro = false;
    m_modified = true;
    return 1;
}

int CDeletionTaskList::Replace(int index, const DeletionTask& edited)
{
    if (index < 0 || index >= static_cast<int>(m_tasks.size()) || FindSameFolder(edited.folder, index) != -1)
        return 0;
    m_tasks.erase(m_tasks.begin() + index);
    m_tasks.push_back(edited);
    m_tasks.back().name.clear();
    m_tasks.back().missingMacro = false;
    m_modified = true;
    return 1;
}

void CDeletionTaskList::Remove(int index)
{
    if (index < 0 || index >= static_cast<int>(m_tasks.size()))
        return;
    m_tasks.erase(m_tasks.begin() + index);
    m_modified = true;
}

int CDeletionTaskList::Load(const std::string& path)
{
    m_tasks.clear();
    const ListFileState state = ReadTaskFile(path, false, "Cannot read AutoDelete.txt file", m_tasks);
    m_keepOld = MustKeepOldFile(state);
    return state == ListFileState::kWhole || state == ListFileState::kPartial ? 1 : 0;
}

ListSaveResult CDeletionTaskList::Save(const std::string& path)
{
    return SaveChangedList(path, m_modified, m_keepOld, true,
                           [this](CKeyedTextFile& file) { return WriteRecords(file, m_tasks); });
}

std::vector<DeletionTask> CDeletionTaskList::LoadCommonFolders(const std::string& path,
                                                               const std::function<bool(std::string&)>& expand)
{
    std::vector<DeletionTask> tasks;
    ReadTaskFile(path, true, nullptr, tasks);
    for (DeletionTask& task : tasks) {
        if (expand && !expand(task.folder))
            task.missingMacro = true;
    }
    return tasks;
}
