#include "autodelete/DeletionTaskList.h"

#include "common/KeyedFileRewrite.h"
#include "common/KeyedTextFile.h"
#include "common/Log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// The task's patterns, read forward from its entry record up to the end
// mark; a record with an empty value is passed over.
void ReadPatterns(CKeyedTextFile& file, int task, DeletionTask& out)
{
    char key[CKeyedTextFile::kKeySize];
    char value[CKeyedTextFile::kLineSize];
    for (int j = 0;; j++) {
        PatternKey(task, j, key);
        if (!file.Find(key, value, 0))
            return;
        if (value[0] == '\0')
            continue;
        if (strcmp(value, CDeletionTaskList::kEndMark) == 0)
            return;
        out.fileTypes.push_back(value);
    }
}

// Reads the tasks of a file with this class's title; withName: the fifth
// field is the display name. Answers 0 for another title.
int ReadTaskFile(CKeyedTextFile& file, bool withName, std::vector<DeletionTask>& tasks)
{
    char value[CKeyedTextFile::kLineSize] = "";
    if (!file.Find("KTX_FILE", value, 1) || strcmp(value, kTitle) != 0)
        return 0;
    char key[CKeyedTextFile::kKeySize];
    char field[CKeyedTextFile::kLineSize];
    for (int i = 0;; i++) {
        CKeyedTextFile::EntryKey(i, key);
        if (!file.Find(key, value, 0))
            break;
        DeletionTask task;
        if (CKeyedTextFile::GetField(value, 0, field))
            task.folder = field;
        task.includeSubfolders = Flag(value, 1);
        task.excludeFileTypes = Flag(value, 2);
        task.deleteEmptySubfolders = Flag(value, 3);
        if (withName && CKeyedTextFile::GetField(value, 4, field))
            task.name = field;
        ReadPatterns(file, i, task);
        tasks.push_back(std::move(task));
    }
    return 1;
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
            std::to_string(t.excludeFileTypes) + '\t' + std::to_string(t.deleteEmptySubfolders);
        if (!file.Write(key, entry.c_str()))
            return 0;
        for (size_t j = 0; j < t.fileTypes.size(); j++) {
            PatternKey(n, static_cast<int>(j), key);
            if (!file.Write(key, t.fileTypes[j].c_str()))
                return 0;
        }
        PatternKey(n, static_cast<int>(t.fileTypes.size()), key);
        if (!file.Write(key, CDeletionTaskList::kEndMark))
            return 0;
    }
    return 1;
}

}  // namespace

int CDeletionTaskList::FindTask(const std::string& folder) const
{
    for (size_t i = 0; i < m_tasks.size(); i++) {
        if (m_tasks[i].folder == folder)
            return static_cast<int>(i);
    }
    return -1;
}

int CDeletionTaskList::AddTask(const DeletionTask& task)
{
    if (FindTask(task.folder) != -1)
        return 0;
    m_tasks.push_back(task);
    m_tasks.back().name.clear();
    m_tasks.back().missingMacro = false;
    m_modified = true;
    return 1;
}

void CDeletionTaskList::ReplaceTask(int index, const DeletionTask& edited)
{
    if (index < 0 || index >= static_cast<int>(m_tasks.size()))
        return;
    m_tasks.erase(m_tasks.begin() + index);
    m_tasks.push_back(edited);
    m_tasks.back().name.clear();
    m_tasks.back().missingMacro = false;
    m_modified = true;
}

void CDeletionTaskList::RemoveTask(int index)
{
    if (index < 0 || index >= static_cast<int>(m_tasks.size()))
        return;
    m_tasks.erase(m_tasks.begin() + index);
    m_modified = true;
}

int CDeletionTaskList::LoadTasks(const std::string& path)
{
    m_tasks.clear();
    CKeyedTextFile file(path.c_str());
    if (!file.Exists()) {
        LogWarning("Cannot read AutoDelete.txt file");
        return 0;
    }
    return ReadTaskFile(file, false, m_tasks);
}

CDeletionTaskList::SaveResult CDeletionTaskList::SaveTasks(const std::string& path)
{
    if (!m_modified)
        return SaveResult::kNotModified;
    if (!WriteTaskFile(path, m_tasks))
        return SaveResult::kFailed;
    m_modified = false;
    return SaveResult::kWritten;
}

int CDeletionTaskList::WriteTaskFile(const std::string& path, const std::vector<DeletionTask>& tasks)
{
    return RewriteKeyedTextFile(path, [&](CKeyedTextFile& file) { return WriteRecords(file, tasks); });
}

std::vector<DeletionTask> CDeletionTaskList::LoadCommonFolders(const std::string& path,
                                                               const std::function<bool(std::string&)>& expand)
{
    std::vector<DeletionTask> tasks;
    CKeyedTextFile file(path.c_str());
    if (!file.Exists() || !ReadTaskFile(file, true, tasks))
        return tasks;
    for (DeletionTask& task : tasks) {
        if (expand && !expand(task.folder))
            task.missingMacro = true;
    }
    return tasks;
}
