// The Delete page: an editor over automated deletion (IDeletionOwner). It
// shows the settings, the schedule's last and next run and the tasks when it
// is shown, edits the tasks through the owner and hands its settings to the
// owner on Apply. The schedule, the File Shredder window and the "Recycle
// Bin" rule are the owner's.
#pragma once

#include "autodelete/DeleteSchedule.h"
#include "pages/FeaturePage.h"
#include "framework/MessageBoxes.h"

#include <string>

class IDeletionOwner;

class CDeletePage : public CFeaturePage {
public:
    CDeletePage(IPageHost& host, IDeletionOwner& owner);
    ~CDeletePage() override;

    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

protected:
    int OnInitDialog() override;
    void OnDestroy() override;
    bool OnActivate() override;
    void OnDeactivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;

private:
    void SetControls();
    void ShowLastRun();
    void ReadControls();
    void RefreshTaskList();
    void UpdateTaskButtons();
    int SelectedTask() const;
    void AddTask();
    void EditTask();
    void RemoveTask();

    IDeletionOwner& m_owner;
    // What the controls say, built on Apply.
    DeleteSettings m_settings;
    MessageBoxFn m_messageBox = &SystemMessageBox;
    // Set while the page fills its own fields, which is no change by the user.
    bool m_filling = false;
};
