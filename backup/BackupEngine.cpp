#include "backup/BackupEngine.h"

#include "files/ExactPath.h"
#include "files/FileNameMatch.h"  // MatchesAnyPattern
#include "backup/BackupRules.h"
#include "backup/LongFolderForm.h"
#include "common/Utf8.h"
#include "files/Win32WalkSystem.h"
#include "framework/ErrorReport.h"
#include "framework/ScopedHandles.h"

#include <algorithm>
#include <cstdio>

namespace {

// The name of a copy being made: the target's with this suffix.
const wchar_t kTemporarySuffixW[] = L".dvb~";
// Large reads and writes: a copy costs a few calls per megabyte, not dozens.
constexpr DWORD kCopyBuffer = 1u << 20;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IsFolder(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The text after the last backslash.
std::string NameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The length of the root of a full path: 3 for "C:\", up to and with the
// backslash after the share for "\\server\share\"; 0 when there is none.
size_t RootLength(const std::string& path)
{
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\')
        return 3;
    if (path.compare(0, 2, "\\\\") != 0)
        return 0;
    const size_t server = path.find('\\', 2);
    if (server == std::string::npos || server == 2)
        return 0;
    const size_t share = path.find('\\', server + 1);
    return share == std::string::npos || share == server + 1 ? 0 : share + 1;
}

// The folder that holds path; a drive's root keeps its backslash.
std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos)
        return path;
    return path.substr(0, slash + 1 == RootLength(path) ? slash + 1 : slash);
}

// path is folder or lies below it; letter case ignored.
bool IsAtOrUnder(const std::string& path, const std::string& folder)
{
    if (folder.empty() || path.size() < folder.size() || !SameFolderText(path.substr(0, folder.size()), folder))
        return false;
    return path.size() == folder.size() || path[folder.size()] == '\\' || folder.back() == '\\';
}

// A dropped path as the shell gives it: whole, with no "." or ".." part and
// no "/". Any other would reach its target folder by the same climb out of
// its source ("C:\Data\..\Other" to "D:\Save\..\Other").
bool IsPlainWholePath(const std::string& path)
{
    if (!IsWholePath(path) || path.find('/') != std::string::npos)
        return false;
    for (size_t start = 0; start <= path.size();) {
        const size_t end = std::min(path.find('\\', start), path.size());
        const std::string part = path.substr(start, end - start);
        if (part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

uint64_t TimeValue(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// What the system's look at a path, or its directory search, tells of a
// file, as a listing would.
template <typename Data> WalkInfo InfoOf(const Data& data)
{
    WalkInfo info;
    info.attributes = data.dwFileAttributes;
    info.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.writeTime = TimeValue(data.ftLastWriteTime);
    return info;
}

// A copy that has the source's size and modified time needs no new copy.
bool SameSizeAndTime(const WalkInfo& source, const WalkInfo& target, bool coarseTimes)
{
    return !(target.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
        source.size == target.size && SameWriteTime(source.writeTime, target.writeTime, coarseTimes);
}

// A plain file: no folder, no link.
bool IsPlainFile(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES &&
        !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

// name ends in the suffix of a copy in the making (and is more than it).
bool IsTemporaryName(const std::wstring& name)
{
    const size_t suffix = wcslen(kTemporarySuffixW);
    return name.size() > suffix && name.compare(name.size() - suffix, suffix, kTemporarySuffixW) == 0;
}

// The file system's name of the volume that holds the open folder ("NTFS",
// "FAT32", "exFAT"), empty when the system does not say.
std::string FileSystemOf(HANDLE folder)
{
    wchar_t name[MAX_PATH + 1] = {};
    if (!GetVolumeInformationByHandleW(folder, nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1))
        return "";
    return WideToUtf8(name);
}

// The value of COMSPEC, the command interpreter's path.
std::string CommandInterpreter()
{
    wchar_t value[MAX_PATH + 1] = {};
    const DWORD length = GetEnvironmentVariableW(L"COMSPEC", value, MAX_PATH + 1);
    return length == 0 || length > MAX_PATH ? "" : WideToUtf8(value);
}

// The attributes a copy takes from its source.
DWORD KeptAttributes(DWORD attributes)
{
    attributes &= FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
        FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

IWalkSystem::Handle AsWalkHandle(HANDLE handle)
{
    return handle == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<IWalkSystem::Handle>(handle);
}

// What file holds: its attributes and number, and with withVolume the
// volume's serial, which Wine finds only through the volume's device (about
// a millisecond): asked once per folder, never per file.
bool Look(HANDLE file, WalkInfo& info, bool withVolume)
{
    uint32_t error = 0;
    if (WalkSystem().Query(AsWalkHandle(file), info, withVolume, error))
        return true;
    SetLastError(error ? error : ERROR_INVALID_HANDLE);
    return false;
}

// Only the file's number on its volume: cheap, for a file of a folder whose
// volume is known.
bool IndexOf(HANDLE file, uint64_t& index)
{
    uint32_t error = 0;
    if (WalkSystem().QueryIndex(AsWalkHandle(file), index, error))
        return true;
    SetLastError(error);
    return false;
}

// Deletes what file holds (it goes when the handle closes): the file this
// handle was opened on, whatever its name leads to by now. A read-only file
// gives way.
bool RemoveThrough(HANDLE file)
{
    uint32_t error = 0;
    if (WalkSystem().Remove(AsWalkHandle(file), error))
        return true;
    SetLastError(error);
    return false;
}

// Opens path to be looked at (and, with remove, deleted). A link at its end
// is opened itself unless follow is set.
HANDLE OpenToLook(const std::string& path, bool follow, bool remove = false)
{
    const DWORD access = FILE_READ_ATTRIBUTES | (remove ? DELETE | FILE_WRITE_ATTRIBUTES : 0);
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return CreateFileW(ExactPath(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

// A folder that is a drive's root is opened by its root path.
std::string AsOpenable(const std::string& folder)
{
    return folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder;
}

// Makes a new file in folder for the copy of name: named after it, or,
// when that name is taken (by a file this code never touches) or too long, a
// made-up one. A new file is never one that was there, nor where a link at
// that name leads.
HANDLE CreateBeside(HANDLE folder, const std::wstring& name, unsigned long& error)
{
    HANDLE file = CreateFileIn(folder, name + kTemporarySuffixW, error);
    const DWORD start = GetTickCount();
    for (DWORD i = 0; !file && i < 64 &&
         (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS || error == ERROR_FILENAME_EXCED_RANGE ||
          error == ERROR_INVALID_NAME);
         i++) {
        wchar_t madeUp[16];
        swprintf(madeUp, 16, L"~dvb%04lX.tmp", static_cast<unsigned long>((start + i) & 0xFFFF));
        file = CreateFileIn(folder, madeUp, error);
    }
    return file;
}

// Reads from until its end and writes it all to to. A short read once size
// bytes are in is the end: the read that would answer nothing is spared.
bool CopyData(HANDLE from, HANDLE to, uint64_t size, std::vector<char>& buffer)
{
    if (buffer.empty())
        buffer.resize(kCopyBuffer);
    for (uint64_t done = 0;;) {
        DWORD got = 0;
        if (!ReadFile(from, buffer.data(), kCopyBuffer, &got, nullptr))
            return false;
        if (got == 0)
            return true;
        done += got;
        DWORD written = 0;
        if (!WriteFile(to, buffer.data(), got, &written, nullptr))
            return false;
        if (written != got) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        if (got < kCopyBuffer && done >= size)
            return true;
    }
}

// Renames the file open as file over name in folder: the very file this run
// wrote, whatever its temporary name leads to by now. A read-only file there
// gives way, and keeps its attribute if the rename still fails.
bool RenameOver(HANDLE file, HANDLE folder, const std::wstring& name, unsigned long& error)
{
    if (RenameInto(file, folder, name, error) || error != ERROR_ACCESS_DENIED)
        return error == 0;
    const unsigned long denied = error;
    ScopedHandle old(OpenFileIn(folder, name, error));
    WalkInfo info;
    if (!old || !Look(old.Get(), info, false) || !(info.attributes & FILE_ATTRIBUTE_READONLY)) {
        error = denied;
        return false;
    }
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = (info.attributes & ~FILE_ATTRIBUTE_READONLY) ? info.attributes & ~FILE_ATTRIBUTE_READONLY
                                                                        : FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(old.Get(), FileBasicInfo, &basic, sizeof basic)) {
        error = GetLastError();
        return false;
    }
    if (RenameInto(file, folder, name, error))
        return true;
    basic.FileAttributes = info.attributes;  // still there: as it was
    SetFileInformationByHandle(old.Get(), FileBasicInfo, &basic, sizeof basic);
    return false;
}

// Opens a folder to be written into, where its path leads, and holds it
// (without delete sharing) so that it is neither renamed nor swapped.
HANDLE OpenHeldFolder(const std::string& folder)
{
    return CreateFileW(ExactPath(AsOpenable(folder)).c_str(),
                       FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_TRAVERSE |
                           FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The identity of the folder a path names, where it leads; unknown when it
// cannot be opened.
FileIdentity FolderIdOf(const std::string& folder)
{
    ScopedHandle handle(OpenToLook(AsOpenable(folder), true));
    WalkInfo info;
    return Look(handle.Get(), info, true) ? info.id : FileIdentity();
}

}  // namespace

CBackupRun::CBackupRun(const std::vector<BackupConfig>& configs, const BackupCommands& commands,
                       IBackupProgress& progress)
    : m_configs(configs), m_commands(commands), m_progress(progress),
      m_walker(WalkSystem(), IWalkSystem::Access::kRead), m_fileSystemOf(&FileSystemOf)
{
}

void CBackupRun::SetFileSystemProbe(std::function<std::string(HANDLE)> probe)
{
    m_fileSystemOf = std::move(probe);
}

bool CBackupRun::Pump()
{
    if (m_progress.Pump())
        m_cancelled = true;
    return m_cancelled;
}

const BackupConfig* CBackupRun::Current() const
{
    if (m_current < 0 || static_cast<size_t>(m_current) >= m_configs.size())
        return nullptr;
    return &m_configs[static_cast<size_t>(m_current)];
}

bool CBackupRun::Fail(const std::string& reason)
{
    m_reason = reason;
    return false;
}

bool CBackupRun::FailWithSystemError(DWORD error)
{
    return Fail(SystemErrorText(error));
}

bool CBackupRun::FailWith(const WalkStatus& status)
{
    // A link keeps the words the list has always used for it.
    return Fail(status.problem == WalkProblem::kLink ? "folder link, skipped" : m_walker.Reason(status));
}

bool CBackupRun::Run(const std::vector<std::string>& paths)
{
    m_cancelled = false;
    m_copied = 0;
    m_skipped = 0;
    m_listings.clear();
    m_madeCopies.clear();
    m_madeFolders.clear();
    m_knownFolder.clear();
    m_knownHandle.Reset();
    m_knownFolderIsNew = false;
    m_progress.SetStatus("Preparing to backup files...");
    // Each dropped path with its configuration (-1: none), its target and
    // what the system says of it.
    std::vector<int> configOf(paths.size(), -1);
    std::vector<std::string> targetOf(paths.size());
    std::vector<WalkInfo> infoOf(paths.size());
    // Why a configuration may not run (one step, listed); judged once, as
    // the folders stood when the run began.
    std::vector<std::string> problemOf(paths.size());
    unsigned long total = 0;
    bool asked = false;
    for (size_t i = 0; i < paths.size() && !m_cancelled; i++) {
        configOf[i] = FindConfig(m_configs, paths[i], &targetOf[i]);
        if (configOf[i] >= 0) {
            m_current = configOf[i];
            problemOf[i] = ConfigProblemOnDisk(m_configs[static_cast<size_t>(configOf[i])]);
            if (problemOf[i].empty() && !IsPlainWholePath(paths[i]))
                problemOf[i] = m_walker.Reason({WalkProblem::kNotWhole, 0});
            WIN32_FILE_ATTRIBUTE_DATA data = {};
            if (!GetFileAttributesExW(ExactPath(paths[i]).c_str(), GetFileExInfoStandard, &data))
                data.dwFileAttributes = INVALID_FILE_ATTRIBUTES;
            infoOf[i] = InfoOf(data);
            total += problemOf[i].empty() ? CountDropped(paths[i], infoOf[i]) : 1;
        } else if (!asked) {
            asked = true;
            if (m_progress.AskConfigureNow(paths[i]))
                return false;
        }
    }
    if (m_cancelled || Pump())
        return true;
    m_progress.SetRange(total);
    m_progress.SetStatus("Backing up files...");
    for (size_t i = 0; i < paths.size() && !m_cancelled; i++) {
        if (configOf[i] < 0)
            continue;
        m_current = configOf[i];
        if (!problemOf[i].empty()) {
            Fail(problemOf[i]);
            AddFailure(paths[i]);
            m_progress.Step();
            continue;
        }
        BackupDropped(paths[i], targetOf[i], infoOf[i]);
        if (!m_cancelled)
            RunPostCommand(paths[i], targetOf[i]);
    }
    m_listings.clear();
    return true;
}

unsigned long CBackupRun::CountDropped(const std::string& path, const WalkInfo& info)
{
    if (Pump())
        return 0;
    CWalkItem folder;
    if (!IsFolder(info.attributes) || !m_walker.OpenFolder(path, folder).Ok())
        return 1;
    return 1 + CountFolder(folder);
}

unsigned long CBackupRun::CountFolder(const CWalkItem& folder)
{
    std::vector<WalkEntry> selected;
    if (!SelectedEntries(folder, selected))
        return 0;
    unsigned long count = 0;
    for (const WalkEntry& entry : selected) {
        if (Pump())
            break;
        count++;
        CWalkItem subfolder;
        if (entry.info.IsFolder() && m_walker.OpenEntry(folder, entry, subfolder).Ok())
            count += CountFolder(subfolder);
    }
    // Kept for the walk, which then lists each folder once.
    m_listings[folder.Path()] = std::move(selected);
    return count;
}

bool CBackupRun::SelectedEntries(const CWalkItem& folder, std::vector<WalkEntry>& selected)
{
    selected.clear();
    const auto kept = m_listings.find(folder.Path());
    if (kept != m_listings.end()) {
        selected.swap(kept->second);
        m_listings.erase(kept);
        return true;
    }
    const BackupConfig* config = Current();
    if (!config)
        return Fail("no configuration");
    const WalkStatus status = m_walker.List(folder, selected);
    if (!status.Ok())
        return FailWith(status);
    // Patterns name files only. Excluded patterns take every folder, whatever
    // the subfolder setting; an unreadable name is taken by its stand-in, to
    // be told as a failure.
    const bool exclude = config->excludeFileTypes != 0;
    const auto dropped = std::remove_if(selected.begin(), selected.end(), [&](const WalkEntry& entry) {
        const bool isFolder = entry.info.IsFolder();
        const bool matched = !isFolder && MatchesAnyPattern(config->fileTypes, entry.name);
        return matched == exclude && !(isFolder && config->includeSubfolders);
    });
    selected.erase(dropped, selected.end());
    return true;
}

void CBackupRun::BackupDropped(const std::string& sourcePath, const std::string& targetPath, const WalkInfo& source)
{
    if (Pump())
        return;
    m_progress.SetStatus("Backing up " + NameOf(sourcePath));
    bool done = true;
    if (IsFolder(source.attributes)) {
        CWalkItem folder;
        const WalkStatus status = m_walker.OpenFolder(sourcePath, folder);
        if (status.Ok())
            BackupFolder(folder, targetPath);
        else
            done = FailWith(status);
    } else if (m_commands.custom == 1) {
        done = RunCustomCommand(sourcePath, targetPath);
    } else {
        done = CopyOne(sourcePath, targetPath, source, FolderIdOf(FolderOf(sourcePath)), false,
                       [&](CWalkItem& item) { return m_walker.OpenPath(sourcePath, item); });
    }
    if (!done)
        AddFailure(sourcePath);
    m_progress.Step();
}

void CBackupRun::BackupFolder(const CWalkItem& folder, const std::string& targetDir)
{
    std::vector<WalkEntry> selected;
    if (!SelectedEntries(folder, selected)) {
        AddFailure(folder.Path());
        return;
    }
    // Files first, then folders: each target folder is checked and listed
    // once, and its files are done before the walk goes deeper.
    for (const bool folders : {false, true}) {
        for (const WalkEntry& entry : selected) {
            if (m_cancelled)
                return;
            if (entry.info.IsFolder() == folders)
                BackupEntry(folder, entry, targetDir + "\\" + entry.name);
        }
    }
}

void CBackupRun::BackupEntry(const CWalkItem& folder, const WalkEntry& entry, const std::string& targetPath)
{
    if (Pump())
        return;
    const std::string sourcePath = JoinPath(folder.Path(), entry.name);
    m_progress.SetStatus("Backing up " + entry.name);
    bool done = true;
    if (entry.unreadable || IsBadEntryName(entry.name)) {
        // Never joined to a target path, nor given to a program.
        WalkStatus status;
        status.problem = entry.unreadable ? WalkProblem::kUnreadableName : WalkProblem::kBadName;
        done = FailWith(status);
    } else if (entry.info.IsFolder()) {
        CWalkItem subfolder;
        const WalkStatus status = m_walker.OpenEntry(folder, entry, subfolder);
        if (status.Ok())
            BackupFolder(subfolder, targetPath);
        else
            done = FailWith(status);
    } else if (m_commands.custom == 1) {
        done = RunCustomCommand(sourcePath, targetPath);
    } else {
        done = CopyOne(sourcePath, targetPath, entry.info, folder.Info().id, true,
                       [&](CWalkItem& item) { return m_walker.OpenEntry(folder, entry, item); });
    }
    if (!done)
        AddFailure(sourcePath);
    m_progress.Step();
}

bool CBackupRun::CopyOne(const std::string& sourcePath, const std::string& targetPath, const WalkInfo& source,
                         const FileIdentity& sourceFolder, bool walked, const SourceOpener& open)
{
    if (source.attributes == INVALID_FILE_ATTRIBUTES) {
        CWalkItem item;
        const WalkStatus status = open(item);
        return status.Ok() ? Fail("it changed while the backup ran") : FailWith(status);
    }
    if (!MakeTargetFolders(targetPath, sourceFolder))
        return false;
    // In a folder this run made there is no older copy.
    WalkInfo existing;
    const bool exists = !m_knownFolderIsNew && FindTarget(targetPath, walked, existing);
    if (exists && !walked && IsPlainFile(existing.attributes) &&
        IsPlainFile(GetFileAttributesW(ExactPath(targetPath + ".dvb~").c_str())))
        RemoveStaleTemporary(Utf8ToWide(NameOf(targetPath)) + kTemporarySuffixW);
    if (exists && !m_commands.removeCopies && SameSizeAndTime(source, existing, CoarseTimes())) {
        m_skipped++;
        return true;
    }
    CWalkItem from;
    const WalkStatus status = open(from);
    if (!status.Ok())
        return FailWith(status);
    Made made{targetPath, sourcePath, {m_knownVolume, 0}};
    if (!WriteCopy(reinterpret_cast<HANDLE>(from.Handle()), targetPath, made, source, exists))
        return false;
    if (m_commands.removeCopies)
        m_madeCopies.push_back(made);
    m_copied++;
    return true;
}

bool CBackupRun::FindTarget(const std::string& targetPath, bool walked, WalkInfo& found)
{
    if (!walked) {
        // What cannot be looked at counts as there: it is then never written
        // in place.
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (GetFileAttributesExW(ExactPath(targetPath).c_str(), GetFileExInfoStandard, &data)) {
            found = InfoOf(data);
            return true;
        }
        return GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND;
    }
    if (!m_targetListed) {
        m_targetListed = true;
        m_targetFiles.clear();
        // Listed from the held folder's own handle.
        std::vector<WalkEntry> entries;
        uint32_t error = 0;
        m_targetUnlisted = !WalkSystem().List(AsWalkHandle(m_knownHandle.Get()), entries, error);
        for (const WalkEntry& entry : entries)
            m_targetFiles.emplace(FoldUtf8(entry.name), entry.info);
        RemoveStaleTemporaries(entries);
    }
    const auto entry = m_targetFiles.find(FoldUtf8(NameOf(targetPath)));
    if (entry == m_targetFiles.end())
        return m_targetUnlisted;
    found = entry->second;
    return true;
}

void CBackupRun::RemoveStaleTemporaries(const std::vector<WalkEntry>& entries)
{
    const size_t suffix = wcslen(kTemporarySuffixW);
    for (const WalkEntry& entry : entries) {
        if (entry.unreadable || entry.info.IsFolder() || entry.info.IsLink() || !IsTemporaryName(entry.exact))
            continue;
        // Named after a file beside it: the copy of that file that an
        // interrupted backup left.
        const std::string name = WideToUtf8(entry.exact.substr(0, entry.exact.size() - suffix));
        const auto copy = m_targetFiles.find(FoldUtf8(name));
        if (copy == m_targetFiles.end() || copy->second.IsFolder() || copy->second.IsLink())
            continue;
        if (RemoveStaleTemporary(entry.exact))
            m_targetFiles.erase(FoldUtf8(entry.name));
    }
}

bool CBackupRun::RemoveStaleTemporary(const std::wstring& name)
{
    uint32_t error = 0;
    if (WalkSystem().RemoveChildFile(AsWalkHandle(m_knownHandle.Get()), name, error))
        return true;
    m_progress.AddFailure(JoinPath(m_knownFolder, WideToUtf8(name)) +
                          " (left by an earlier backup, not removed: " + SystemErrorText(error) + ")");
    return false;
}

bool CBackupRun::CoarseTimes()
{
    if (m_knownCoarseTimes < 0)
        m_knownCoarseTimes = m_knownHandle && KeepsCoarseTimes(m_fileSystemOf(m_knownHandle.Get())) ? 1 : 0;
    return m_knownCoarseTimes == 1;
}

bool CBackupRun::MakeTargetFolders(const std::string& targetPath, const FileIdentity& sourceFolder)
{
    const size_t root = RootLength(targetPath);
    const size_t last = targetPath.find_last_of('\\');
    if (root == 0 || last == std::string::npos || last < root - 1)
        return Fail("not a whole path");
    const std::string parent = FolderOf(targetPath);
    if (parent == m_knownFolder && m_knownHandle)
        return true;
    m_knownFolder.clear();
    m_knownHandle.Reset();
    m_targetListed = false;
    m_knownCoarseTimes = -1;
    // The configuration's target may lie behind a link (on another drive,
    // say): up to it, folders are made by their path. Below it every folder
    // is reached from the one above by its name, made where missing, and
    // held: nothing is written through a link, nor into a folder swapped in
    // meanwhile.
    const BackupConfig* config = Current();
    std::string targetRoot = config ? config->target : "";
    RemoveTrailingBackslash(targetRoot);
    if (targetRoot.empty() || !IsAtOrUnder(parent, targetRoot))
        return Fail("not below the target folder");
    bool made = false;
    for (size_t end = targetPath.find('\\', root); end != std::string::npos && end <= targetRoot.size();
         end = targetPath.find('\\', end + 1)) {
        const std::string folder = targetPath.substr(0, end);
        const DWORD attributes = GetFileAttributesW(ExactPath(folder).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return Fail("a file where the folder " + folder + " must be");
            continue;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            return FailWithSystemError(error);
        if (!CreateDirectoryW(ExactPath(folder).c_str(), nullptr))
            return FailWithSystemError(GetLastError());
        made = true;
        RecordMadeFolder(folder, nullptr);
    }
    ScopedHandle held(OpenHeldFolder(targetRoot));
    if (!held)
        return FailWithSystemError(GetLastError());
    std::string reached = FinalPathOf(held.Get());
    std::string folder = targetRoot;
    for (size_t start = targetRoot.size() + 1; start < parent.size() + 1;) {
        const size_t end = std::min(parent.find('\\', start), parent.size());
        const std::string name = parent.substr(start, end - start);
        start = end + 1;
        if (name.empty())
            continue;
        folder += "\\" + name;
        bool madeHere = false;
        unsigned long error = 0;
        ScopedHandle next(OpenSubfolder(held.Get(), Utf8ToWide(name), true, madeHere, error));
        if (!next)
            return error == ERROR_DIRECTORY ? Fail("a file where the folder " + folder + " must be")
                                            : FailWithSystemError(error);
        // A link where a folder must be: on Windows the handle shows it, and
        // under Wine (which follows its own links there) the final path does.
        WalkInfo info;
        const std::string final = FinalPathOf(next.Get());
        reached = reached.empty() || final.empty() ? std::string() : JoinPath(reached, name);
        if (!Look(next.Get(), info, false) || (info.attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
            (!reached.empty() && FoldUtf8(final) != FoldUtf8(reached)))
            return Fail("a link on the target side: " + folder);
        if (madeHere) {
            made = true;
            RecordMadeFolder(folder, next.Get());
        }
        held = std::move(next);
    }
    FileIdentity here;
    WalkInfo info;
    if ((!made || m_commands.removeCopies) && Look(held.Get(), info, true))
        here = info.id;
    // An existing folder that is the source's own, reached through a link or
    // another spelling: a copy there would replace the source.
    if (!made && here.Known() && here == sourceFolder)
        return Fail("the target folder is the source folder");
    m_knownVolume = here.volume;
    m_knownFolder = parent;
    m_knownFolderIsNew = made;
    m_knownHandle = std::move(held);
    return true;
}

void CBackupRun::RecordMadeFolder(const std::string& folder, HANDLE handle)
{
    if (!m_commands.removeCopies)
        return;
    Made record{folder, "", {}};
    WalkInfo info;
    if (handle && Look(handle, info, true))
        record.id = info.id;
    else if (!handle)
        record.id = FolderIdOf(folder);
    m_madeFolders.push_back(record);
}

bool CBackupRun::WriteCopy(HANDLE from, const std::string& targetPath, Made& made, const WalkInfo& source,
                           bool targetExists)
{
    // A copy over an old one is made beside it and takes its place only when
    // whole, so a copy that breaks off leaves the old one as it was. Where
    // there is none, the copy is written in place (a new file, removed
    // through its handle if it breaks off): under Wine every new name costs
    // a look through its whole folder, and the rename would be a second one.
    // Both are made in the held target folder, by name relative to it.
    const std::wstring name = Utf8ToWide(NameOf(targetPath));
    unsigned long error = 0;
    ScopedHandle to(targetExists ? nullptr : CreateFileIn(m_knownHandle.Get(), name, error));
    if (!to && !targetExists && error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
        return FailWithSystemError(error);
    const bool beside = !to;
    if (beside) {
        to.Reset(CreateBeside(m_knownHandle.Get(), name, error));
        if (!to)
            return FailWithSystemError(error);
    }
    // The new file's number stays with it through the rename: what a removal
    // later recognises as this run's copy.
    FILE_BASIC_INFO basic = {};
    basic.LastWriteTime.QuadPart = static_cast<LONGLONG>(source.writeTime);
    basic.FileAttributes = KeptAttributes(source.attributes);
    if (!CopyData(from, to.Get(), source.size, m_buffer) ||
        (m_commands.removeCopies && !IndexOf(to.Get(), made.id.index)) ||
        !SetFileInformationByHandle(to.Get(), FileBasicInfo, &basic, sizeof basic)) {
        const DWORD failed = GetLastError();
        RemoveThrough(to.Get());
        return FailWithSystemError(failed);
    }
    if (!beside)
        return true;
    // On the disk before it takes the old copy's place: a crash just after
    // the rename must not leave a copy of the right size and time that
    // holds nothing.
    if (!FlushFileBuffers(to.Get())) {
        const DWORD failed = GetLastError();
        RemoveThrough(to.Get());
        return FailWithSystemError(failed);
    }
    if (RenameOver(to.Get(), m_knownHandle.Get(), name, error))
        return true;
    RemoveThrough(to.Get());
    return FailWithSystemError(error);
}

bool CBackupRun::RunProgram(const std::string& program, const std::string& arguments)
{
    std::string path = program;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    if (path.empty() || path.find('"') != std::string::npos)
        return Fail("no program to run");
    std::string commandLine = "\"" + path + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return FailWithSystemError(GetLastError());
    ScopedHandle thread(process.hThread);
    ScopedHandle child(process.hProcess);
    if (!WaitFor(child.Get()))
        return false;
    DWORD code = 1;
    if (!GetExitCodeProcess(child.Get(), &code))
        return FailWithSystemError(GetLastError());
    return code == 0 || Fail("the program ended with exit code " + std::to_string(code));
}

bool CBackupRun::WaitFor(HANDLE process)
{
    // Messages that were in the queue before a wait do not end it: they are
    // looked at again this often.
    constexpr DWORD kLookAgainMs = 100;
    constexpr int kMostPumpsAtOnce = 32;
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &process, FALSE, kLookAgainMs, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            return true;
        if (woke == WAIT_FAILED)
            return FailWithSystemError(GetLastError());
        // Each pump takes one message (and every message sent from another
        // thread or program, which the program may be waiting on).
        for (int i = 0; i < kMostPumpsAtOnce; i++) {
            if (Pump())
                return Fail("cancelled while the program ran, which goes on by itself");
            if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0)
                break;
        }
    }
}

bool CBackupRun::MayHandToProgram(const std::string& program, const std::vector<std::string>& values)
{
    if (!RunsThroughCommandInterpreter(program, CommandInterpreter()))
        return true;
    // The interpreter reads these even inside quotes: a name could run a
    // command of its own or expand a variable.
    for (const std::string& value : values) {
        const std::string character = InterpreterCharacterIn(value);
        if (!character.empty())
            return Fail("not run: the command interpreter would take the " + character + " in \"" + value +
                        "\" as a command");
    }
    return true;
}

bool CBackupRun::RunCustomCommand(const std::string& sourcePath, const std::string& targetPath)
{
    const BackupConfig* config = Current();
    if (!config)
        return Fail("no configuration");
    std::vector<std::string> values;
    const std::string arguments = CustomArguments(m_commands, *config, sourcePath, targetPath, &values);
    if (!MayHandToProgram(m_commands.customProgram, values) || !RunProgram(m_commands.customProgram, arguments))
        return false;
    // What the program wrote in the target counts as this run's copy.
    if (m_commands.removeCopies) {
        Made made{targetPath, sourcePath, {}};
        ScopedHandle copy(OpenToLook(targetPath, false));
        WalkInfo info;
        if (Look(copy.Get(), info, true)) {
            made.id = info.id;
            m_madeCopies.push_back(made);
        }
    }
    m_copied++;
    return true;
}

void CBackupRun::RunPostCommand(const std::string& droppedPath, const std::string& itemTarget)
{
    const BackupConfig* config = Current();
    if (!config || m_commands.postProgram.empty())
        return;
    const bool isFolder = IsFolder(GetFileAttributesW(ExactPath(droppedPath).c_str()));
    std::vector<std::string> values;
    const std::string arguments = PostArguments(m_commands, *config, droppedPath, itemTarget, isFolder, &values);
    if (!MayHandToProgram(m_commands.postProgram, values)) {
        m_progress.AddFailure(droppedPath + " (the after program was " + m_reason + ")");
        return;
    }
    const std::string commandLine = m_commands.postProgram + " " + arguments;
    m_progress.SetStatus(commandLine);
    // The program may move or remove what was written: the target folder is
    // no longer held.
    m_knownFolder.clear();
    m_knownHandle.Reset();
    if (!RunProgram(m_commands.postProgram, arguments)) {
        m_progress.AddFailure(commandLine + " (" + m_reason + ")");
        return;
    }
    if (m_commands.removeCopies) {
        m_progress.SetStatus("Removing copied files...");
        RemoveCopies(droppedPath, itemTarget);
    }
}

void CBackupRun::RemoveCopies(const std::string& sourcePath, const std::string& targetPath)
{
    if (Pump())
        return;
    std::vector<Made> kept;
    for (const Made& copy : m_madeCopies) {
        if (!IsAtOrUnder(copy.path, targetPath) || IsAtOrUnder(copy.path, sourcePath))
            kept.push_back(copy);
        else if (!RemoveCopy(copy))
            m_progress.AddFailure(copy.path + " (not removed: " + m_reason + ")");
    }
    m_madeCopies.swap(kept);
    if (m_cancelled)
        return;
    // Innermost first; a folder that holds anything else stays.
    kept.clear();
    for (auto folder = m_madeFolders.rbegin(); folder != m_madeFolders.rend(); ++folder) {
        if (!IsAtOrUnder(folder->path, targetPath) || IsAtOrUnder(folder->path, sourcePath))
            kept.push_back(*folder);
        else
            RemoveFolder(*folder);
    }
    std::reverse(kept.begin(), kept.end());
    m_madeFolders.swap(kept);
    m_knownFolder.clear();
    m_knownHandle.Reset();
    m_knownFolderIsNew = false;
    m_volumes.clear();
}

DWORD CBackupRun::VolumeOf(const std::string& folder)
{
    const auto known = m_volumes.find(folder);
    if (known != m_volumes.end())
        return known->second;
    return m_volumes[folder] = FolderIdOf(folder).volume;
}

// Under Wine a handle opened on a link shows what it leads to; only the
// path's own attributes show the link.
bool CBackupRun::RemoveCopy(const Made& copy)
{
    const DWORD own = GetFileAttributesW(ExactPath(copy.path).c_str());
    if (own == INVALID_FILE_ATTRIBUTES)
        return FailWithSystemError(GetLastError());
    if (own & FILE_ATTRIBUTE_REPARSE_POINT)
        return Fail("a link on the target side, kept");
    ScopedHandle file(OpenToLook(copy.path, false, true));
    if (!file)
        return FailWithSystemError(GetLastError());
    WalkInfo info;
    if (!Look(file.Get(), info, false))
        return FailWithSystemError(GetLastError());
    info.id.volume = VolumeOf(FolderOf(copy.path));
    if (info.id != copy.id || info.IsFolder() || info.IsLink())
        return Fail("no longer the copy this backup made, kept");
    // Compared as the source stands now: a copy that went over the source
    // itself (through a link to it on the target side) is the source.
    ScopedHandle source(OpenToLook(copy.source, true));
    WalkInfo sourceInfo;
    if (Look(source.Get(), sourceInfo, false)) {
        sourceInfo.id.volume = VolumeOf(FolderOf(copy.source));
        if (sourceInfo.id == info.id)
            return Fail("it is the source file, kept");
    }
    return RemoveThrough(file.Get()) || FailWithSystemError(GetLastError());
}

// A folder this run made, when it is still that folder and empty.
void CBackupRun::RemoveFolder(const Made& folder)
{
    const DWORD own = GetFileAttributesW(ExactPath(folder.path).c_str());
    if (own == INVALID_FILE_ATTRIBUTES || (own & FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    ScopedHandle handle(OpenToLook(folder.path, false, true));
    WalkInfo info;
    if (Look(handle.Get(), info, true) && info.id == folder.id && !info.IsLink())
        RemoveThrough(handle.Get());
}
