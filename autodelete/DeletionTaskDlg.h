// CDeletionTaskDlg: the task editor, "Add Automated Deletion Task" or "Edit
// Automated Deletion Task". It edits the given task in place when it ends
// with OK: folder, "Include subfolders", "Exclude File Types", "Delete empty
// subfolders", "Only files older than N days" (empty: any age) and the file
// types. The ready-made tasks of
// AutoDeleteCommon.txt, read at construction, fill the fields when chosen
// from the drop-down list. A folder no task may clean is refused on OK with
// the reason, and so is a folder that has a task already (one task per
// folder). "Preview" lists what the task would delete now, through the
// engine's own walk, deleting nothing.
#pragma once

#include "autodelete/DeletionTask.h"
#include "files/FileTypeListEditor.h"
#include "framework/Dialog.h"

#include <functional>
#include <string>
#include <vector>

class CDeletionTaskDlg : public CDialog {
public:
    static constexpr const char* kCommonFoldersItem = "[Folders commonly needing cleaning]";
    static constexpr const char* kFolderTakenText =
        "There is a task for this folder already. Edit that task, or choose another folder.";
    static constexpr const char* kAgeText =
        "Please enter the age as a whole number of days from 1 to 36500, or leave it empty to delete files of "
        "any age.";

    // programFolder: where AutoDeleteCommon.txt lies, and a folder no task
    // may clean.
    CDeletionTaskDlg(HWND parent, DeletionTask& task, const std::string& programFolder);

    INT_PTR Run() { return DoModal(m_parent); }
    void SetMessageBox(MessageBoxFn messageBox);
    // Answers whether another task has this folder; OK refuses such a folder.
    void SetFolderTaken(std::function<bool(const std::string&)> taken) { m_folderTaken = std::move(taken); }
    const std::vector<DeletionTask>& CommonFolders() const { return m_common; }

    // "Are you sure you want to delete this task?"; true only on Yes.
    static bool ConfirmRemoval(HWND owner, MessageBoxFn messageBox = &SystemMessageBox);

protected:
    int OnInitDialog() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;
    void OnDestroy() override;

private:
    void ShowTask(const DeletionTask& task);
    // The task as the controls say now (name untouched).
    DeletionTask TaskFromControls() const;
    // Shows why the folder is refused; true when it may be cleaned.
    bool FolderAccepted(const std::string& folder, bool missingMacro);
    // Shows what an age may be; true when the field holds one (or nothing).
    bool AgeAccepted();
    void OnCommonFolderChosen();
    void OnSelectFolder();
    void OnPreview();

    HWND m_parent;
    DeletionTask& m_task;
    std::string m_programFolder;
    std::vector<DeletionTask> m_common;
    CFileTypeListEditor m_types;
    MessageBoxFn m_messageBox;
    std::function<bool(const std::string&)> m_folderTaken;
    // The chosen common folder's macro had no value, and its folder is shown.
    bool m_missingMacro = false;
};
