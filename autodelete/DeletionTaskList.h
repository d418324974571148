// CDeletionTaskList: the user's deletion tasks in file order, their file
// "AutoDelete.txt" and the read-only "AutoDeleteCommon.txt". Window-free; the
// Delete page owns one and shows the tasks sorted by folder, finding the
// chosen one again by its folder text.
//
// AutoDelete.txt is a keyed text file titled "DERVANE AUTODELETE": per task
// i a record "ENTRY_<i>" = folder, includeSubfolders, excludeFileTypes,
// deleteEmptySubfolders and, for a task that asks for one, its age in days
// (TAB-separated; a record without the age is a task for files of any age),
// then "ENTRY_<i>_TYPE_<j>" per
// pattern and one more with the end mark "#%#". A damaged task is skipped
// (common/ListFileReader.h), and so is a second task for a folder; a file not
// read whole is kept as "AutoDelete.txt.bak" before it is next written.
#pragma once

#include "autodelete/DeletionTask.h"
#include "common/KeyedFileRewrite.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// An age in days as typed or stored: empty or 0 is any age (0), otherwise
// decimal digits alone, at most kMaxTaskAgeDays. False for anything else.
bool ParseTaskAge(const std::string& text, int& days);
// The moment from which a file counts as new for a task that takes files
// older than days (times in 100 ns since 1601, now the present one); 0 when
// it takes files of any age.
uint64_t TaskNewSince(int days, uint64_t now);
// A file written or created from newSince on is new, and the task keeps it:
// a copied or extracted file keeps its old write time but is created anew
// where it lies.
bool IsNewForTask(uint64_t writeTime, uint64_t creationTime, uint64_t newSince);

class CDeletionTaskList {
public:
    const std::vector<DeletionTask>& Tasks() const { return m_tasks; }
    int Count() const { return static_cast<int>(m_tasks.size()); }
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // The first task whose folder is exactly this text (case-sensitive), or -1.
    int Find(const std::string& folder) const;
    // The task for this folder other than the one at index except, or -1:
    // letter case in any script and a trailing backslash make no other
    // folder. A folder has one task at most.
    int FindSameFolder(const std::string& folder, int except = -1) const;
    // Appends the task unless one for its folder exists; 1 when appended
    // (which marks the list modified).
    int Add(const DeletionTask& task);
    // An edited task: the old one at index goes and the edited copy is
    // appended, so it moves to the end of the file. 0, changing nothing, when
    // another task has the edited task's folder.
    int Replace(int index, const DeletionTask& edited);
    void Remove(int index);
    void Clear() { m_tasks.clear(); }

    // Empties the list and reads the file's tasks. 0 when the file cannot be
    // read (logged as "Cannot read AutoDelete.txt file") or has another title
    // (logged).
    int Load(const std::string& path);
    // Whether the file read last held more than the list (it is kept as
    // .bak before the list replaces it).
    bool KeepsOldFile() const { return m_keepOld; }

    // When modified, writes the whole list to a temporary file beside path
    // and moves it over the old file (SaveChangedList); only a whole, moved
    // file clears the modified flag. A failure is logged and leaves the old
    // file as it was.
    ListSaveResult Save(const std::string& path);

    // The ready-made tasks of AutoDeleteCommon.txt (a fifth field is the
    // name, the age follows it), their folders expanded by expand, which answers false when a
    // macro had no value (the task is then marked missingMacro). A missing
    // file or another title gives no tasks and no message.
    static std::vector<DeletionTask> LoadCommonFolders(const std::string& path,
                                                       const std::function<bool(std::string&)>& expand);

private:
    std::vector<DeletionTask> m_tasks;
    bool m_modified = false;
    bool m_keepOld = false;
};
