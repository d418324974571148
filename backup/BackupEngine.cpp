#include "backup/BackupEngine.h"

#include "autodelete/MatchList.h"
#include "backup/BackupRules.h"
#include "backup/LongFolderForm.h"
#include "common/Utf8.h"
#include "framework/ScopedHandles.h"

#include <algorithm>

namespace {

// The name of a copy being made: the target's with this suffix.
const char kTemporarySuffix[] = ".dvb~";

DWORD AttributesOf(const std::string& path)
{
    return FitsPath(path) ? GetFileAttributesA(path.c_str()) : INVALID_FILE_ATTRIBUTES;
}

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

// path is folder or lies below it; letter case ignored.
bool IsAtOrUnder(const std::string& path, const std::string& folder)
{
    if (folder.empty() || path.size() < folder.size() || !SameFolderText(path.substr(0, folder.size()), folder))
        return false;
    return path.size() == folder.size() || path[folder.size()] == '\\' || folder.back() == '\\';
}

// A copy that has the source's size and modified time needs no new copy.
bool IsUnchanged(const WIN32_FILE_ATTRIBUTE_DATA& source, const WIN32_FILE_ATTRIBUTE_DATA& target)
{
    return !(target.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && source.nFileSizeHigh == target.nFileSizeHigh &&
        source.nFileSizeLow == target.nFileSizeLow &&
        CompareFileTime(&source.ftLastWriteTime, &target.ftLastWriteTime) == 0;
}

// The attributes a copy takes from its source.
DWORD KeptAttributes(DWORD attributes)
{
    attributes &= FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
        FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

// Copies source to a new file in target's folder and answers its path, or
// empty (nothing left behind) when the copy failed. The file is named after
// the target; when that name is taken (by a file this code never touches)
// or too long, the system makes one up.
std::string CopyBeside(const std::string& source, const std::string& target, DWORD sourceAttributes)
{
    const std::string named = target + kTemporarySuffix;
    if (FitsPath(named)) {
        // A copy to a new file takes the source's attributes itself; one
        // that is told to fail on an existing file leaves that file alone.
        if (CopyFileA(source.c_str(), named.c_str(), TRUE))
            return named;
        if (GetLastError() != ERROR_FILE_EXISTS) {
            RemoveFile(named);  // what a broken-off copy left
            return "";
        }
    }
    std::string folder = target.substr(0, target.find_last_of('\\'));
    // The wide call: the ANSI one fills at most MAX_PATH bytes, too few for
    // a path in UTF-8.
    wchar_t wideName[MAX_PATH] = L"";
    if (!GetTempFileNameW(Utf8ToWide(folder.c_str()).c_str(), L"dvb", 0, wideName))
        return "";
    const std::string madeUp = WideToUtf8(wideName);
    // A copy over an existing file keeps that file's attributes: the
    // source's are set once it is whole.
    if (!CopyFileA(source.c_str(), madeUp.c_str(), FALSE) ||
        !SetFileAttributesA(madeUp.c_str(), KeptAttributes(sourceAttributes))) {
        RemoveFile(madeUp);
        return "";
    }
    return madeUp;
}

// Moves the whole copy over the target; a read-only target gives way, and
// keeps its attribute if the move still fails.
bool MoveOver(const std::string& temporary, const std::string& target)
{
    if (MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    if (GetLastError() != ERROR_ACCESS_DENIED)
        return false;
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !(attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    if (!SetFileAttributesA(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return false;
    if (MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    SetFileAttributesA(target.c_str(), attributes);
    return false;
}

}  // namespace

CBackupRun::CBackupRun(const std::vector<BackupConfig>& configs, const BackupCommands& commands,
                       IBackupProgress& progress)
    : m_configs(configs), m_commands(commands), m_progress(progress)
{
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

bool CBackupRun::Run(const std::vector<std::string>& paths)
{
    m_cancelled = false;
    m_copied = 0;
    m_skipped = 0;
    m_madeCopies.clear();
    m_madeFolders.clear();
    m_knownFolder.clear();
    m_knownFolderIsNew = false;
    m_progress.SetStatus("Preparing to backup files...");
    // Each dropped path with its configuration (-1: none) and its target.
    std::vector<int> configOf(paths.size(), -1);
    std::vector<std::string> targetOf(paths.size());
    // A configuration that may not run is listed, one step; judged once, as
    // the folders stood when the run began.
    std::vector<bool> refused(paths.size(), false);
    unsigned long total = 0;
    bool asked = false;
    for (size_t i = 0; i < paths.size() && !m_cancelled; i++) {
        configOf[i] = FindConfig(m_configs, paths[i], &targetOf[i]);
        if (configOf[i] >= 0) {
            m_current = configOf[i];
            refused[i] = !ConfigProblemOnDisk(m_configs[static_cast<size_t>(configOf[i])]).empty();
            total += refused[i] ? 1 : CountEntries(paths[i]);
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
    for (size_t i = 0; i < paths.size(); i++) {
        if (configOf[i] < 0)
            continue;
        m_current = configOf[i];
        if (refused[i]) {
            m_progress.AddFailure(paths[i]);
            m_progress.Step();
            continue;
        }
        BackupItem(paths[i], targetOf[i]);
        if (m_cancelled)
            break;
        RunPostCommand(paths[i], targetOf[i]);
        if (m_cancelled)
            break;
    }
    return true;
}

unsigned long CBackupRun::CountEntries(const std::string& path)
{
    return CountEntries(path, AttributesOf(path));
}

unsigned long CBackupRun::CountEntries(const std::string& path, DWORD attributes)
{
    if (Pump())
        return 0;
    if (!IsFolder(attributes) || IsLinkedFolder(attributes))
        return 1;
    unsigned long count = 1;
    std::vector<FolderEntry> selected;
    if (!SelectedEntries(path, selected))
        return count;
    for (const FolderEntry& entry : selected) {
        if (m_cancelled)
            break;
        count += CountEntries(path + "\\" + entry.name, entry.attributes);
    }
    return count;
}

bool CBackupRun::SelectedEntries(const std::string& folder, std::vector<FolderEntry>& selected) const
{
    selected.clear();
    const BackupConfig* config = Current();
    std::vector<FolderEntry> entries;
    if (!config || !ListFolder(folder, entries))
        return false;
    MatchList matches;
    AddMatches(entries, config->fileTypes, matches);
    for (const FolderEntry& entry : entries) {
        // Excluded patterns take every folder too, whatever the subfolder
        // setting; included ones name files only.
        // An unreadable name is listed by its stand-in, to be told as a failure.
        const bool matched =
            entry.unreadable ? MatchesAnyPattern(config->fileTypes, entry.name) : matches.Contains(entry.name);
        const bool listed = matched != (config->excludeFileTypes != 0);
        if (listed || (IsFolder(entry.attributes) && config->includeSubfolders))
            selected.push_back(entry);
    }
    return true;
}

int CBackupRun::BackupItem(const std::string& sourcePath, const std::string& targetPath)
{
    return BackupItem(sourcePath, targetPath, AttributesOf(sourcePath));
}

int CBackupRun::BackupItem(const std::string& sourcePath, const std::string& targetPath, DWORD attributes)
{
    if (Pump())
        return 0;
    if (sourcePath.find('\\') != std::string::npos)
        m_progress.SetStatus("Backing up " + NameOf(sourcePath));
    int result = 1;
    if (IsLinkedFolder(attributes)) {
        // Never followed: what it leads to lies outside what was dropped.
        m_progress.AddFailure(sourcePath + " (folder link, skipped)");
        result = 0;
    } else if (IsFolder(attributes)) {
        BackupFolder(sourcePath, targetPath);
    } else {
        result = m_commands.custom == 1 ? RunCustomCommand(sourcePath, targetPath) : CopyOne(sourcePath, targetPath);
        if (!result)
            m_progress.AddFailure(sourcePath);
    }
    m_progress.Step();
    return result;
}

void CBackupRun::BackupFolder(const std::string& sourceDir, const std::string& targetDir)
{
    std::vector<FolderEntry> selected;
    if (!SelectedEntries(sourceDir, selected)) {
        m_progress.AddFailure(sourceDir);
        return;
    }
    for (const FolderEntry& entry : selected) {
        if (m_cancelled)
            return;
        if (entry.unreadable)
            m_progress.AddFailure(sourceDir + "\\" + entry.name + " (its name is not valid Unicode)");
        else
            BackupItem(sourceDir + "\\" + entry.name, targetDir + "\\" + entry.name, entry.attributes);
    }
}

int CBackupRun::CopyOne(const std::string& sourcePath, const std::string& targetPath)
{
    if (!FitsPath(sourcePath) || !FitsPath(targetPath))
        return 0;
    WIN32_FILE_ATTRIBUTE_DATA source = {};
    if (!GetFileAttributesExA(sourcePath.c_str(), GetFileExInfoStandard, &source) ||
        (source.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    if (!MakeTargetFolders(targetPath))
        return 0;
    // In a folder this run made there is no older copy to compare with.
    WIN32_FILE_ATTRIBUTE_DATA target = {};
    if (!m_commands.removeCopies && !m_knownFolderIsNew &&
        GetFileAttributesExA(targetPath.c_str(), GetFileExInfoStandard, &target) && IsUnchanged(source, target)) {
        m_skipped++;
        return 1;
    }
    // The copy is made beside the target and takes its place only when
    // whole, so a copy that breaks off leaves the old one as it was.
    const std::string temporary = CopyBeside(sourcePath, targetPath, source.dwFileAttributes);
    if (temporary.empty())
        return 0;
    if (!MoveOver(temporary, targetPath)) {
        RemoveFile(temporary);
        return 0;
    }
    m_madeCopies.push_back(targetPath);
    m_copied++;
    return 1;
}

int CBackupRun::MakeTargetFolders(const std::string& targetPath)
{
    const size_t root = RootLength(targetPath);
    const size_t last = targetPath.find_last_of('\\');
    if (root == 0 || last == std::string::npos || last < root - 1)
        return 0;
    if (last == root - 1)
        return 1;  // a file in the root
    const std::string parent = targetPath.substr(0, last);
    if (parent == m_knownFolder)
        return 1;
    bool made = false;
    for (size_t end = targetPath.find('\\', root); end != std::string::npos && end <= last;
         end = targetPath.find('\\', end + 1)) {
        const std::string folder = targetPath.substr(0, end);
        const DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return 0;
            continue;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            return 0;
        if (!CreateDirectoryA(folder.c_str(), nullptr))
            return 0;
        m_madeFolders.push_back(folder);
        made = true;
    }
    m_knownFolder = parent;
    m_knownFolderIsNew = made;
    return 1;
}

int CBackupRun::RunProgram(const std::string& program, const std::string& arguments) const
{
    std::string path = program;
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    if (path.empty() || path.find('"') != std::string::npos)
        return 0;
    std::string commandLine = "\"" + path + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0;
    ScopedHandle thread(process.hThread);
    ScopedHandle child(process.hProcess);
    if (WaitForSingleObject(child.Get(), INFINITE) != WAIT_OBJECT_0)
        return 0;
    DWORD code = 1;
    return GetExitCodeProcess(child.Get(), &code) && code == 0 ? 1 : 0;
}

int CBackupRun::RunCustomCommand(const std::string& sourcePath, const std::string& targetPath)
{
    const BackupConfig* config = Current();
    if (!config)
        return 0;
    if (!RunProgram(m_commands.customProgram, CustomArguments(m_commands, *config, sourcePath, targetPath)))
        return 0;
    // What the program wrote in the target counts as this run's copy.
    m_madeCopies.push_back(targetPath);
    m_copied++;
    return 1;
}

int CBackupRun::RunPostCommand(const std::string& droppedPath, const std::string& itemTarget)
{
    const BackupConfig* config = Current();
    if (!config || m_commands.postProgram.empty())
        return 1;
    const bool isFolder = IsFolder(AttributesOf(droppedPath));
    const std::string arguments = PostArguments(m_commands, *config, droppedPath, itemTarget, isFolder);
    const std::string commandLine = m_commands.postProgram + " " + arguments;
    m_progress.SetStatus(commandLine);
    if (!RunProgram(m_commands.postProgram, arguments)) {
        m_progress.AddFailure(commandLine);
        return 0;
    }
    if (m_commands.removeCopies) {
        m_progress.SetStatus("Removing copied files...");
        RemoveCopies(droppedPath, itemTarget);
    }
    return 1;
}

int CBackupRun::RemoveCopies(const std::string& sourcePath, const std::string& targetPath)
{
    if (Pump())
        return 0;
    int result = 1;
    std::vector<std::string> kept;
    for (const std::string& copy : m_madeCopies) {
        if (!IsAtOrUnder(copy, targetPath) || IsAtOrUnder(copy, sourcePath))
            kept.push_back(copy);
        else if (!RemoveFile(copy))
            result = 0;
    }
    m_madeCopies.swap(kept);
    if (m_cancelled)
        return 0;
    // Innermost first; a folder that holds anything else stays.
    kept.clear();
    for (auto folder = m_madeFolders.rbegin(); folder != m_madeFolders.rend(); ++folder) {
        if (!IsAtOrUnder(*folder, targetPath) || IsAtOrUnder(*folder, sourcePath))
            kept.push_back(*folder);
        else
            RemoveDirectoryA(folder->c_str());
    }
    std::reverse(kept.begin(), kept.end());
    m_madeFolders.swap(kept);
    m_knownFolder.clear();
    m_knownFolderIsNew = false;
    return result;
}
