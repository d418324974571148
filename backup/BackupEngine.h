// CBackupRun: the backup of one drop. Each dropped path is matched to the
// configuration whose source holds it and copied to the same relative place
// under its target: by the standard copy (to a temporary file beside the
// target, moved over it only when whole; the source's modified time and
// attributes kept; an unchanged target skipped) or by the custom program once
// per file. After each configured dropped item the after program runs once,
// and its copies may then be removed again (only those this run made).
// A link to a folder is never followed (it is listed as skipped), a path too
// long for the system is a failure, never cut, and a configuration with a
// problem never runs.
// Windows only; the progress dialog drives it and shows what it reports.
#pragma once

#include "autodelete/DeletionEngine.h"  // FolderEntry
#include "backup/BackupConfig.h"

#include <windows.h>

#include <string>
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
    // A path (or a program's command) that failed, for the list.
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

    // Counters of the last run, for tests and the bench.
    unsigned long Copied() const { return m_copied; }
    unsigned long Skipped() const { return m_skipped; }

    // The steps, public for the tests.
    unsigned long CountEntries(const std::string& path);
    int BackupItem(const std::string& sourcePath, const std::string& targetPath);
    int CopyOne(const std::string& sourcePath, const std::string& targetPath);
    int MakeTargetFolders(const std::string& targetPath);
    int RunCustomCommand(const std::string& sourcePath, const std::string& targetPath);
    int RunPostCommand(const std::string& droppedPath, const std::string& itemTarget);
    int RemoveCopies(const std::string& sourcePath, const std::string& targetPath);
    void SetCurrentConfig(int index) { m_current = index; }

private:
    // Pumps one message; true once the run is cancelled.
    bool Pump();
    const BackupConfig* Current() const;
    unsigned long CountEntries(const std::string& path, DWORD attributes);
    int BackupItem(const std::string& sourcePath, const std::string& targetPath, DWORD attributes);
    void BackupFolder(const std::string& sourceDir, const std::string& targetDir);
    // The entries of a folder that the current configuration takes.
    bool SelectedEntries(const std::string& folder, std::vector<FolderEntry>& selected) const;
    // Runs a program with its path quoted and waits for it: 1 when it
    // started and ended with the exit code 0.
    int RunProgram(const std::string& program, const std::string& arguments) const;

    const std::vector<BackupConfig>& m_configs;
    const BackupCommands& m_commands;
    IBackupProgress& m_progress;
    int m_current = -1;
    unsigned long m_copied = 0;
    unsigned long m_skipped = 0;
    // The targets this run wrote, the only ones RemoveCopies may remove.
    std::vector<std::string> m_madeCopies;
    // The target folders this run made, outermost first.
    std::vector<std::string> m_madeFolders;
    // The last target folder known to exist, so that a folder's files do not
    // look for it again one by one.
    std::string m_knownFolder;
    // m_knownFolder was made by this run: nothing in it is older than the run.
    bool m_knownFolderIsNew = false;
    bool m_cancelled = false;
};
