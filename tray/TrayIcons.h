// CTrayIcons: the custom tray icons while the program runs: the list and its
// file, the "Enabled" setting, the icons in the notification area, their
// menus and what the menus' items run (programs, folders, system commands,
// the wait window). Made with the program's features, started once the
// desktop is there, whether or not the property sheet is ever made; the
// Tray page edits it through ITrayIconEdits.
//
// A message-only window of its own receives the icons' notifications (icon
// n has the id kCustomTrayFirstIconId + n and the callback message
// WMAPP_CUSTOM_TRAY_FIRST + n) and the timer that tries again the icons a
// starting shell refused.
#pragma once

#include "common/Feature.h"
#include "framework/MessageBoxes.h"
#include "framework/ScopedHandles.h"
#include "framework/Window.h"
#include "tray/SystemCommands.h"
#include "tray/TrayIconEdits.h"

#include <shellapi.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

class CWaitDlg;
class IFeatureHost;
class IIconFeatures;

class CTrayIcons : public IFeature, public ITrayIconEdits, private CWindow {
public:
    // iconFeatures may be null: "Toggle Hide Icons" then applies the hide
    // switch through the program's settings.
    CTrayIcons(IFeatureHost& host, IIconFeatures* iconFeatures, std::unique_ptr<ISystemCommands> system);
    ~CTrayIcons() override;

    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }
    // How the icons reach the notification area: Shell_NotifyIconW unless
    // told otherwise (a test plays a shell that is still starting).
    using NotifyIconFn = BOOL (*)(DWORD message, NOTIFYICONDATAW* record);
    void SetNotifyIcon(NotifyIconFn notify) { m_notify = notify; }

    // Reads the list and "Enabled", makes the window and shows the icons if
    // both switches are on.
    void Start() override;
    // Every icon goes with the window; a changed list is written.
    void Stop() override;
    void FeaturesSwitched(bool enabled) override;
    void TaskbarCreated() override;

    const CTrayIconList& Icons() const override { return m_list; }
    bool Enabled() const override { return m_trayEnabled; }
    void SetEnabled(bool on) override;
    bool Add(const TrayIconEntry& entry) override;
    bool Replace(int position, const TrayIconEntry& look) override;
    bool Remove(int position) override;
    bool Move(int from, int to) override;
    bool SetMenu(int position, std::vector<TrayMenuItem> items) override;

    // Answers whether the entry's icon is in the notification area (or
    // waiting to be added again once the shell answers).
    bool AddTrayIcon(int position);
    void RemoveTrayIcon(int position);
    bool IconsShown() const { return m_shown; }
    // Runs the item of an icon's menu that has this command id, as chosen in
    // the menu; an id of no item is ignored.
    void RunMenuCommand(UINT id);
    // The window that the icons name.
    HWND Window() const { return GetHwnd(); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    int OnTimer(UINT_PTR id) override;

private:
    std::string ListFile() const;
    void LoadList();
    bool SaveList();
    // Marks the list changed and writes it.
    bool SaveEdit();
    // The tip and the picture of look, with the picture looked up.
    static void TakeLook(TrayIconEntry& entry, const TrayIconEntry& look);
    bool ShowsIcons() const;
    void ShowTrayIcons();
    void HideTrayIcons();
    // Takes a free icon id and adds the icon; false when none is free.
    bool AddIcon(int position);
    int FindEntryByIconId(UINT iconId) const;
    NOTIFYICONDATAW IconRecord(const TrayIconEntry& entry, UINT flags) const;
    bool NotifyAdd(const TrayIconEntry& entry);
    void ModifyIcon(const TrayIconEntry& entry);
    void RetryLater(UINT iconId);
    void RetryPendingIcons();

    void BuildMenu(TrayIconEntry& entry);
    void ClearMenu(TrayIconEntry& entry);
    void BuildItem(TrayIconEntry& entry, TrayMenuItem& item);
    UINT TakeCommandId();
    void GiveBackCommandId(UINT id);

    // The window the menus, message boxes and the wait window hang on.
    HWND MenuOwner() const;
    void OnTrayNotify(UINT iconId, UINT mouseMessage);
    bool FindMenuCommand(UINT id, int* entry, int* item) const;
    void OpenItem(const TrayMenuItem& item);
    void RunSystemCommand(int entry, TraySystemCommand command);
    void ToggleHideIcons();
    void OpenWaitWindow(const char* text);
    void CloseWaitWindow();
    void ReportSystemError(const char* what, DWORD error);

    IFeatureHost& m_host;
    IIconFeatures* m_iconFeatures;
    std::unique_ptr<ISystemCommands> m_system;
    MessageBoxFn m_messageBox = &SystemMessageBox;
    NotifyIconFn m_notify = &Shell_NotifyIconW;
    ScopedComInit m_com;
    CTrayIconList m_list;
    bool m_started = false;
    bool m_trayEnabled = true;
    bool m_shown = false;
    std::string m_startFolder;
    ScopedIcon m_defaultIcon;
    ScopedIcon m_folderIcon;
    std::unique_ptr<CWaitDlg> m_waitWindow;
    // Icon slots in use: slot s is the icon id kCustomTrayFirstIconId + s and
    // the callback message WMAPP_CUSTOM_TRAY_FIRST + s.
    std::vector<bool> m_iconSlots;
    std::vector<bool> m_commandIds;
    // Icons whose NIM_ADD failed, tried again on TIMER_TRAY_ICON_RETRY.
    std::set<UINT> m_pendingIcons;
    int m_retriesLeft = 0;
};
