// CBackupRun: the backup of one drop. Each dropped path is matched to the
// configuration whose source holds it and copied to the same relative place
// under its target: by the standard copy (read into a new file beside the
// target, which takes the source's modified time and attributes and is moved
// over the target only when whole; an unchanged target skipped) or by the
// custom program once per file. After each configured dropped item the after
// program runs once, and its copies may then be removed again: only a file
// that is still the very copy this run wrote (by its file number) and that is
// not the source.
// Every name is reached exactly (a name ending in a dot or a blank is not cut
// to its neighbour's) and paths of any length are taken. Nothing is written
// or removed through a link below the target folder, nor into a folder that
// is the source's own. A link to a folder on the source side is never
// followed, and a configuration with a problem never runs. Every failure is
// listed with its reason.
// Windows only; the progress dialog drives it and shows what it reports.
#pragma once

#include "backup/BackupConfig.h"
#include "files/SafeWalker.h"

#include "framework/ScopedHandles.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

// What a run reports to, and asks of, whoever shows it.
class IBackupProgress {
public:
    virtual ~IBackupProgress() = default;
    // Lets the user interface breathe; true once the user cancelled.
    virtual bool Pump() = 0;
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetRange(unsigned long total) = 0;
    virtual void Step() = 0;
    // A path (or a program's command) that failed, with the reason in
    // brackets, for the list.
    virtual void AddFailure(const std::string& path) = 0;
    // "Some dragged files are not configured for backing up. Configure
    // now?": true on Yes, which ends the run without copying anything.
    virtual bool AskConfigureNow(const std::string& path) = 0;
};

class CBackupRun {
public:
    CBackupRun(const std::vector<BackupConfig>& configs, const BackupCommands& commands, IBackupProgress& progress);

    // The whole run over the dropped paths: count, maybe the configure
    // question, back up, after programs. False when it ended on the question.
    bool Run(const std::vector<std::string>& paths);

    // For tests: names the file system of a held target folder in place of
    // the system (which decides whether times 2 seconds apart are the same).
    void SetFileSystemProbe(std::function<std::string(HANDLE folder)> probe);

    // Counters of the last run, for tests and the bench.
    unsigned long Copied() const { return m_copied; }
    unsigned long Skipped() const { return m_skipped; }

private:
    // A file or folder this run made, the only kind RemoveCopies removes.
    struct Made {
        std::string path;
        std::string source;  // what it is a copy of (empty for a folder)
        FileIdentity id;
    };
    // Opens the source file of a copy, once a copy is to be made.
    using SourceOpener = std::function<WalkStatus(CWalkItem&)>;

    // Pumps one message; true once the run is cancelled.
    bool Pump();
    const BackupConfig* Current() const;
    // Sets the reason of the failure at hand; answers false.
    bool Fail(const std::string& reason);
    bool FailWithSystemError(DWORD error);
    bool FailWith(const WalkStatus& status);
    void AddFailure(const std::string& path) { m_progress.AddFailure(path + " (" + m_reason + ")"); }

    unsigned long CountDropped(const std::string& path, const WalkInfo& info);
    // The entries below folder that the walk will take, each folder's
    // selection kept for the walk.
    unsigned long CountFolder(const CWalkItem& folder);
    // The entries of a source folder that the current configuration takes:
    // kept from the count's listing, or listed now.
    bool SelectedEntries(const CWalkItem& folder, std::vector<WalkEntry>& selected);
    void BackupDropped(const std::string& sourcePath, const std::string& targetPath, const WalkInfo& source);
    void BackupFolder(const CWalkItem& folder, const std::string& targetDir);
    void BackupEntry(const CWalkItem& folder, const WalkEntry& entry, const std::string& targetPath);
    // walked: an entry of a dropped folder (whose target folder is listed
    // once), not a dropped file.
    bool CopyOne(const std::string& sourcePath, const std::string& targetPath, const WalkInfo& source,
                 const FileIdentity& sourceFolder, bool walked, const SourceOpener& open);
    // Makes the folders above targetPath that are missing; refuses a link or
    // a file where a folder below the configuration's target must be, and an
    // existing folder that is the source's own folder.
    bool MakeTargetFolders(const std::string& targetPath, const FileIdentity& sourceFolder);
    // Keeps a target folder this run made for RemoveCopies, by its identity
    // (through handle when it is open).
    void RecordMadeFolder(const std::string& folder, HANDLE handle);
    // Whether something is at targetPath, and what: in a walk from its
    // folder's listing (made once), else asked for alone.
    bool FindTarget(const std::string& targetPath, bool walked, WalkInfo& found);
    // Removes, from the held target folder's listing, each "<name>.dvb~"
    // file beside a file <name>: a copy that an interrupted run left.
    void RemoveStaleTemporaries(const std::vector<WalkEntry>& entries);
    // Removes the file name from the held target folder (a link as the
    // link); a failure is listed.
    bool RemoveStaleTemporary(const std::wstring& name);
    // The held target folder's volume keeps times to 2 seconds only (FAT,
    // exFAT); asked once per folder.
    bool CoarseTimes();
    bool WriteCopy(HANDLE from, const std::string& targetPath, Made& made, const WalkInfo& source, bool targetExists);
    bool RunCustomCommand(const std::string& sourcePath, const std::string& targetPath);
    void RunPostCommand(const std::string& droppedPath, const std::string& itemTarget);
    // Runs a program with its path quoted and waits for it: true when it
    // started and ended with the exit code 0.
    bool RunProgram(const std::string& program, const std::string& arguments);
    // Waits for the program to end while the progress is pumped, so that the
    // dialog answers and the program's messages to it are taken; false when
    // the run is cancelled meanwhile (the program is left to finish).
    bool WaitFor(HANDLE process);
    // False (with the reason) when the program is run by the command
    // interpreter and a value put into its arguments holds a character that
    // the interpreter would take as a command.
    bool MayHandToProgram(const std::string& program, const std::vector<std::string>& values);
    void RemoveCopies(const std::string& sourcePath, const std::string& targetPath);
    bool RemoveCopy(const Made& copy);
    void RemoveFolder(const Made& folder);
    // The serial of the volume that holds folder, asked once per removal.
    DWORD VolumeOf(const std::string& folder);

    const std::vector<BackupConfig>& m_configs;
    const BackupCommands& m_commands;
    IBackupProgress& m_progress;
    CSafeWalker m_walker;
    int m_current = -1;
    unsigned long m_copied = 0;
    unsigned long m_skipped = 0;
    bool m_cancelled = false;
    std::string m_reason;
    // The count's selection of each source folder, until the walk takes it.
    std::map<std::string, std::vector<WalkEntry>> m_listings;
    // The copies and then the target folders this run made, outermost first.
    std::vector<Made> m_madeCopies;
    std::vector<Made> m_madeFolders;
    // The last target folder known to exist and checked, so that a folder's
    // files do not look for it again one by one.
    std::string m_knownFolder;
    // m_knownFolder, held open while its files are written (relative to this).
    ScopedHandle m_knownHandle;
    // m_knownFolder was made by this run: nothing in it is older than the run.
    bool m_knownFolderIsNew = false;
    int m_knownCoarseTimes = -1;  // CoarseTimes(): -1 not asked yet
    DWORD m_knownVolume = 0;
    // m_knownFolder's files by folded name, once listed.
    bool m_targetListed = false;
    bool m_targetUnlisted = false;  // the listing failed: anything may be there
    std::unordered_map<std::string, WalkInfo> m_targetFiles;
    std::map<std::string, DWORD> m_volumes;
    std::vector<char> m_buffer;
    std::function<std::string(HANDLE)> m_fileSystemOf;
};
