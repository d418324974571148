// The Delete page: the deletion tasks, the schedule that runs them, and the
// File Shredder window. Its window is made at start-up with every page, so
// its timer (TIMER_DELETE_SCHEDULE) runs the schedule while the sheet is
// hidden. The "Recycle Bin" switch is a hide rule of the Icons page.
#pragma once

#include "autodelete/DeletionTaskList.h"
#include "pages/DeleteSchedule.h"
#include "pages/DropWindowPage.h"
#include "pages/PageMessageBox.h"
#include "pages/ShredderIconWnd.h"

#include <memory>
#include <string>

class CMainSheet;

class CDeletePage : public CDropWindowPage, private IDeleteScheduleHost {
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
    CShredderIconWnd* Shredder() const { return static_cast<CShredderIconWnd*>(Window()); }

    // The local clock in seconds since 1601, low 32 bits.
    static uint32_t NowSeconds();

protected:
    int OnInitDialog() override;
    bool OnActivate() override;
    void OnDeactivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnTimer(UINT_PTR id) override;
    WindowPlace Place() override { return {m_settings.showIcon, m_settings.iconLeft, m_settings.iconTop}; }
    std::unique_ptr<CDesktopDropWnd> MakeWindow() override;
    const char* WindowName() const override { return "File Shredder"; }
    void SaveSettings() override { SaveDeleteSettings(); }

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
    // Set while the page fills its own fields, which is no change by the user.
    bool m_filling = false;
};
