#include "autodelete/DeletionEngine.h"

#include "autodelete/DeletionTaskList.h"
#include "files/ExactPath.h"
#include "files/FileNameMatch.h"
#include "files/MatchList.h"
#include "files/TaskFolderCheck.h"
#include "common/Log.h"
#include "files/SafeWalker.h"
#include "files/Win32WalkSystem.h"
#include "common/Utf8.h"
#include "framework/ErrorReport.h"
#include "framework/FileVersion.h"
#include "framework/ScopedHandles.h"

#include <cstring>
#include <set>

namespace {

bool IsDots(const wchar_t* name)
{
    return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0;
}

// Why the task's own folder must not be cleaned, or empty.
std::string Refusal(const std::string& folder)
{
    const FolderCheck check = CheckTaskFolderHere(folder, ProgramFolder());
    if (!check.Ok())
        return FolderProblemMessage(check);
    return "";
}

// Logs a refused task the first time this run meets it.
void LogRefusedOnce(const std::string& folder)
{
    static std::set<std::string> logged;
    if (logged.insert(folder).second)
        LogWarningFormat("Deletion task skipped, folder refused: %s", folder.c_str());
}

}  // namespace

bool IsLinkedFolder(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool FitsPath(const std::string& path)
{
    return !path.empty() && Utf16Length(path) < MAX_PATH;
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries)
{
    entries.clear();
    const std::string pattern = folder + "\\*";
    if (!FitsPath(pattern))
        return false;
    // The wide listing: a name of 255 characters can take 765 bytes in
    // UTF-8, more than the ANSI record's MAX_PATH bytes hold.
    WIN32_FIND_DATAW data = {};
    // No short names are asked for: making them costs the system a look at
    // every entry's neighbours, which a folder of thousands pays for each.
    ScopedFind find(FindFirstFileExW(ExactPath(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
    if (!find)
        return false;
    do {
        if (!IsDots(data.cFileName)) {
            FolderEntry entry{WideToUtf8(data.cFileName), data.dwFileAttributes};
            entry.unreadable = HasLoneSurrogate(data.cFileName);
            entries.push_back(std::move(entry));
        }
    } while (FindNextFileW(find.Get(), &data));
    return true;
}

namespace {

bool IsReadableFile(const FolderEntry& entry)
{
    return !entry.unreadable && !(entry.attributes & FILE_ATTRIBUTE_DIRECTORY);
}
bool IsReadableFile(const WalkEntry& entry)
{
    return !entry.unreadable && !entry.info.IsFolder();
}

template <typename Entry>
void AddMatchesOf(const std::vector<Entry>& entries, const std::vector<std::string>& patterns, MatchList& matches)
{
    for (const std::string& pattern : patterns) {
        for (const Entry& entry : entries) {
            if (IsReadableFile(entry) && MatchFileName(pattern, entry.name))
                matches.Add(entry.name);
        }
    }
}

}  // namespace

void AddMatches(const std::vector<WalkEntry>& entries, const std::vector<std::string>& patterns, MatchList& matches)
{
    AddMatchesOf(entries, patterns, matches);
}

void AddMatches(const std::vector<FolderEntry>& entries, const std::vector<std::string>& patterns, MatchList& matches)
{
    AddMatchesOf(entries, patterns, matches);
}

namespace {

// The whole form of a folder typed by the user (a trailing dot or blank and
// "." and ".." parts taken away as the system does), or folder as it is.
std::string FullFolderPath(const std::string& folder)
{
    const std::wstring wide = Utf8ToWide(folder);
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return folder;
    std::wstring full(size, L'\0');
    const DWORD got = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
    if (got == 0 || got >= size)
        return folder;
    full.resize(got);
    return WideToUtf8(full);
}

}  // namespace

int RemoveFile(const std::string& path)
{
    if (!FitsPath(path)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    const std::wstring exact = ExactPath(path);
    if (DeleteFileW(exact.c_str()))
        return 1;
    if (GetLastError() != ERROR_ACCESS_DENIED)
        return 0;
    const DWORD attributes = GetFileAttributesW(exact.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY) ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    if (!SetFileAttributesW(exact.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return 0;
    if (DeleteFileW(exact.c_str()))
        return 1;
    const DWORD error = GetLastError();
    SetFileAttributesW(exact.c_str(), attributes);  // still there: as it was
    SetLastError(error);
    return 0;
}

std::string ProgramFolder()
{
    std::string path = ModuleFilePath(nullptr);
    const size_t slash = path.rfind('\\');
    if (slash != std::string::npos)
        path.resize(slash);
    return path;
}

namespace {

// What a task's walk does with what it selects: deletes it (a file the task
// could not delete logged with the system's reason, its name before its
// folder: the log keeps only the start of an entry), or, for the Preview,
// notes it.
class TaskWalk {
public:
    TaskWalk(const DeletionTask& task, TaskPreview* preview, size_t maxPaths)
        : m_task(task), m_preview(preview), m_max(maxPaths),
          m_walker(WalkSystem(), preview ? IWalkSystem::Access::kRead : IWalkSystem::Access::kDelete),
          m_newSince(NewSince(task.olderThanDays))
    {
    }

    void Run(const std::string& folder)
    {
        CWalkItem top;
        const WalkStatus status = m_walker.OpenFolder(folder, top);
        if (status.problem == WalkProblem::kLink || status.problem == WalkProblem::kNotFolder)
            LogRefusedOnce(folder);
        if (status.Ok())
            Walk(top);
    }

private:
    void Walk(CWalkItem& folder)
    {
        std::vector<WalkEntry> entries;
        WalkStatus status = m_walker.List(folder, entries);
        if (!status.Ok()) {
            NotDone(folder.Path(), status);
            return;
        }
        MatchList matches;
        AddMatches(entries, m_task.fileTypes, matches);
        for (const WalkEntry& entry : entries) {
            const bool isFolder = entry.info.IsFolder();
            if (entry.unreadable) {
                const bool wanted = isFolder
                    ? m_task.includeSubfolders != 0
                    : MatchesAnyPattern(m_task.fileTypes, entry.name) != (m_task.excludeFileTypes != 0);
                if (wanted)
                    LogWarningFormat("Deletion task left %s alone: its name is not valid Unicode",
                                     JoinPath(folder.Path(), entry.name).c_str());
                continue;
            }
            if (isFolder) {
                // A link is neither entered nor removed: what it leads to is
                // not the task's.
                if (m_task.includeSubfolders && !entry.info.IsLink())
                    Subfolder(folder, entry);
            } else if (matches.Contains(entry.name) != (m_task.excludeFileTypes != 0)) {
                File(folder, entry);
            }
        }
    }

    void Subfolder(const CWalkItem& folder, const WalkEntry& entry)
    {
        CWalkItem sub;
        const WalkStatus status = m_walker.OpenEntry(folder, entry, sub);
        if (!status.Ok()) {
            NotDone(JoinPath(folder.Path(), entry.name), status);
            return;
        }
        Walk(sub);
        // Succeeds only for an empty folder; a failure is no matter.
        if (!m_preview && m_task.deleteEmptySubfolders)
            m_walker.Remove(sub);
    }

    static uint64_t NewSince(int days)
    {
        FILETIME now = {};
        GetSystemTimeAsFileTime(&now);
        return TaskNewSince(days, (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    }

    void File(const CWalkItem& folder, const WalkEntry& entry)
    {
        if (IsNewForTask(entry.info.writeTime, entry.info.creationTime, m_newSince))
            return;
        if (m_preview) {
            if (m_preview->paths.size() < m_max)
                m_preview->paths.push_back(JoinPath(folder.Path(), entry.name));
            m_preview->count++;
            return;
        }
        const WalkStatus status = m_walker.RemoveFileEntry(folder, entry);
        if (!status.Ok())
            NotDone(JoinPath(folder.Path(), entry.name), status);
    }

    void NotDone(const std::string& path, const WalkStatus& status)
    {
        if (m_preview)
            return;
        const size_t slash = path.rfind('\\');
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
        LogWarningFormat("Not deleted by a task, %s", (m_walker.Reason(status) + " " + name + " in " + folder).c_str());
    }

    const DeletionTask& m_task;
    TaskPreview* m_preview;
    size_t m_max;
    CSafeWalker m_walker;
    uint64_t m_newSince;
};

}  // namespace

void RunTask(const std::string& folder, const DeletionTask& task)
{
    if (!Refusal(folder).empty()) {
        LogRefusedOnce(folder);
        return;
    }
    // The folder as typed is read by the system's path rules, as it always
    // was; below it every name is reached exactly as listed.
    TaskWalk(task, nullptr, 0).Run(FullFolderPath(folder));
}

TaskPreview PreviewTask(const DeletionTask& task, size_t maxPaths)
{
    TaskPreview preview;
    preview.olderThanDays = task.olderThanDays;
    preview.refusal = Refusal(task.folder);
    if (!preview.refusal.empty())
        return preview;
    TaskWalk(task, &preview, maxPaths).Run(FullFolderPath(task.folder));
    return preview;
}
