#include "backup/BackupProgressDlg.h"

#include "backup/BackupEngine.h"
#include "backup/BackupProgressResource.h"

CBackupProgressDlg::CBackupProgressDlg(HWND owner, const std::vector<BackupConfig>& configs,
                                       const BackupCommands& commands, std::vector<std::string> paths,
                                       std::function<void()> configureNow)
    : CProgressDlg(IDD_BACKUP_PROGRESS, kStartTimerId, "Errors encountered during backup!"),
      m_owner(owner), m_configs(configs), m_commands(commands), m_paths(std::move(paths)),
      m_configureNow(std::move(configureNow)), m_messageBox(&SystemMessageBox)
{
}

INT_PTR CBackupProgressDlg::Run()
{
    return DoModal(m_owner);
}

int CBackupProgressDlg::FailureListExtent(int textWidth) const
{
    return textWidth * 3 / 2;
}

void CBackupProgressDlg::RunWork()
{
    // The run's view of this dialog.
    class Progress : public IBackupProgress {
    public:
        explicit Progress(CBackupProgressDlg& dialog) : m_dialog(dialog) { }
        bool Pump() override
        {
            m_dialog.PumpOneMessage();
            return m_dialog.IsCancelled();
        }
        void SetStatus(const std::string& text) override { m_dialog.SetStatus(text.c_str()); }
        void SetRange(unsigned long total) override { m_dialog.SetProgressRange(total); }
        void Step() override { m_dialog.StepProgress(); }
        void AddFailure(const std::string& path) override { m_dialog.AddFailure(path); }
        bool AskConfigureNow(const std::string& path) override
        {
            const std::string text = "Some dragged files are not configured for backing up. Configure now?\n( " + path +
                " )";
            if (m_dialog.m_messageBox(m_dialog.GetHwnd(), text.c_str(), "Question", MB_YESNO | MB_ICONWARNING) != IDYES)
                return false;
            // The sheet opened now keeps the foreground.
            m_dialog.m_restoreForeground = false;
            if (m_dialog.m_configureNow)
                m_dialog.m_configureNow();
            return true;
        }

    private:
        CBackupProgressDlg& m_dialog;
    };

    ClearCancelled();
    Progress progress(*this);
    CBackupRun run(m_configs, m_commands, progress);
    run.Run(m_paths);
}
