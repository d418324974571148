// The Tray page: the custom tray icons, their list file and, from the page's
// first activation to exit, the icons themselves. The page's window owns
// every custom icon in the notification area: their notifications and the
// commands of their menus arrive there, whether the sheet is shown or not.
#pragma once

#include "framework/ScopedHandles.h"
#include "pages/FeaturePage.h"
#include "pages/PageMessageBox.h"
#include "tray/SystemCommands.h"
#include "tray/TrayIconList.h"

#include <shellapi.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

class CMainSheet;
class CWaitDlg;

class CTrayPage : public CFeaturePage {
public:
    CTrayPage(IPageHost& host, CMainSheet& sheet, std::unique_ptr<ISystemCommands> system);
    ~CTrayPage() override;

    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }
    // How the icons reach the notification area: Shell_NotifyIconW unless
    // told otherwise (a test plays a shell that is still starting).
    using NotifyIconFn = BOOL (*)(DWORD message, NOTIFYICONDATAW* record);
    void SetNotifyIcon(NotifyIconFn notify) { m_notify = notify; }

    // Start-up: the list file and the "Enabled" setting.
    void LoadAndStart() override;
    void OnFeaturesSwitched(bool enabled) override { EnableTrayIcons(enabled); }
    void OnTaskbarCreated() override;
    // At exit: every icon goes, a changed list is written.
    void ShutDown() override;

    void LoadTrayIcons();
    // Answers false when the changed list could not be written.
    bool SaveTrayIcons();
    void ShowTrayIcons();
    void HideTrayIcons();
    // Answers whether the entry's icon is in the notification area (or
    // waiting to be added again once the shell answers).
    bool AddTrayIcon(int position);
    void RemoveTrayIcon(int position);
    // The program's own switch: on shows the icons if "Enabled" is set.
    void EnableTrayIcons(bool on);

    const CTrayIconList& Icons() const { return m_list; }
    bool IconsShown() const { return m_shown; }
    bool TrayEnabled() const { return m_trayEnabled; }

protected:
    bool OnActivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnNotify(const NMHDR& header, LRESULT& result) override;
    int OnTimer(UINT_PTR id) override;
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::string ListFile() const;
    // Shows the icons once both the list is read and the page's window exists.
    void StartIcons();
    bool ShowsIcons() const;
    // Takes a free icon id and adds the icon; false when none is free.
    bool AddIcon(int position);
    int FindEntryByIconId(UINT iconId) const;
    NOTIFYICONDATAW IconRecord(const TrayIconEntry& entry, UINT flags) const;
    bool NotifyAdd(const TrayIconEntry& entry);
    void RetryLater(UINT iconId);
    void RetryPendingIcons();

    void BuildMenu(TrayIconEntry& entry);
    void ClearMenu(TrayIconEntry& entry);
    void BuildItem(TrayIconEntry& entry, TrayMenuItem& item);
    UINT TakeCommandId();
    void GiveBackCommandId(UINT id);

    void OnTrayNotify(UINT iconId, UINT mouseMessage);
    bool FindMenuCommand(UINT id, int* entry, int* item) const;
    void RunMenuCommand(UINT id);
    void OpenItem(const TrayMenuItem& item);
    void RunSystemCommand(int entry, TraySystemCommand command);
    void OpenWaitWindow(const char* text);
    void CloseWaitWindow();
    void ReportSystemError(const char* what, DWORD error);

    void FillList();
    void ShowSelection();
    void ResetEditState();
    void UpdateButtons();
    void ShowButtonPicture(HICON picture);
    ScopedIcon MakeEditPicture() const;
    // The picture button: the picker on the editing state.
    void ChoosePicture();
    // The tip edit's text; false, said in a message box, when the file cannot keep it.
    bool ReadTip(std::string* tip);
    void ModifyIcon(const TrayIconEntry& entry);
    // Writes an edit at once; a failure is said and the edit stays in memory.
    void SaveEdit();
    void AddEntry();
    void ReplaceEntry();
    void DeleteEntry();
    void MoveEntry(int from, int to);
    // "Menu...": the selected entry's menu, or without a selection the
    // menu that the next Add gives its entry.
    void EditMenu();

    CMainSheet& m_sheet;
    std::unique_ptr<ISystemCommands> m_system;
    MessageBoxFn m_messageBox = &SystemMessageBox;
    NotifyIconFn m_notify = &Shell_NotifyIconW;
    ScopedComInit m_com;
    CTrayIconList m_list;
    bool m_loaded = false;
    bool m_trayEnabled = true;
    bool m_shown = false;
    bool m_firstActivation = true;
    bool m_startPending = true;
    std::string m_startFolder;
    ScopedIcon m_defaultIcon;
    ScopedIcon m_folderIcon;
    HIMAGELIST m_listImages = nullptr;  // the list view's, destroyed with it
    std::unique_ptr<CWaitDlg> m_waitWindow;
    int m_selection = -1;
    bool m_filling = false;  // the list's own notifications while it is refilled
    IconSourceKind m_editIconKind = kIconSourceGroup;
    int m_editIconIndex = 0;
    std::string m_editIconFile;
    std::vector<TrayMenuItem> m_pendingItems;
    ScopedBitmap m_buttonPicture;  // what the picture button shows; it keeps no copy
    // Icon slots in use: slot s is the icon id kCustomTrayFirstIconId + s and
    // the callback message WMAPP_CUSTOM_TRAY_FIRST + s.
    std::vector<bool> m_iconSlots;
    std::vector<bool> m_commandIds;
    // Icons whose NIM_ADD failed, tried again on TIMER_TRAY_ICON_RETRY.
    std::set<UINT> m_pendingIcons;
    int m_retriesLeft = 0;
};
