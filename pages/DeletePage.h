// The Delete page: the deletion tasks, the schedule that runs them, and the
// File Shredder window. Its window is made at start-up with every page, so
// its timer (TIMER_DELETE_SCHEDULE) runs the schedule while the sheet is
// hidden. The "Recycle Bin" switch is a hide rule of the Icons page.
#pragma once

#include "autodelete/DeletionTaskList.h"
#include "autodelete/ShredderIconWnd.h"
#include "files/DropWindowHolder.h"
#include "pages/DeleteSchedule.h"
#include "pages/FeaturePage.h"
#include "pages/PageMessageBox.h"

#include <memory>
#include <string>

class CMainSheet;

class CDeletePage : public CFeaturePage, private IDeleteScheduleHost {
public:
    static constexpr const char* kRecycleBin = "Recycle Bin";

    CDeletePage(IPageHost& host, CMainSheet& sheet);
    ~CDeletePage() override;

    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

    // Start-up: the tasks, the settings, the File Shredder window, the
    // "Recycle Bin" rule added again.
    void LoadAndStart() override { LoadDeleteSettings(); }
    // At exit: the timer stops, the window goes (its place kept), the
    // settings and the tasks are saved.
    void ShutDown() override;

    void LoadDeleteSettings();
    void SaveDeleteSettings();
    const DeleteSettings& Settings() const { return m_settings; }
    const CDeletionTaskList& Tasks() const { return m_tasks; }
    CShredderIconWnd* Shredder() const { return static_cast<CShredderIconWnd*>(m_window.Window()); }

    void OnDisplayChange() override { m_window.DisplayChanged(); }
    bool InModalLoop(HWND* popup) const override { return m_window.InModalLoop(popup); }

    // The local clock in seconds since 1601, low 32 bits.
    static uint32_t NowSeconds();

protected:
    int OnInitDialog() override;
    bool OnActivate() override;
    void OnDeactivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnTimer(UINT_PTR id) override;
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // IDeleteScheduleHost
    uint32_t Now() override { return NowSeconds(); }
    bool SetTimer(uint32_t elapseMs) override;
    void KillTimer() override;
    bool FeaturesEnabled() override;
    void RunTasks() override;
    void StoreLastAction(uint32_t seconds) override;
    void Warn(const char* text) override;

    std::string TaskFile() const;
    void SetControls();
    void ShowLastRun();
    void ReadControls();
    void RefreshTaskList();
    void UpdateTaskButtons();
    int SelectedTask() const;
    void AddTask();
    void EditTask();
    void RemoveTask();

    CMainSheet& m_sheet;
    DeleteSettings m_settings;
    CDeletionTaskList m_tasks;
    CDeleteSchedule m_schedule;
    MessageBoxFn m_messageBox = &SystemMessageBox;
    // Declared last: the window goes first, before what it may refer to.
    CDropWindowHolder m_window;
    // Set while the page fills its own fields, which is no change by the user.
    bool m_filling = false;
};
