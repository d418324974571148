// CTrayWnd: the program's hidden main window. It owns the settings, the
// property sheet, the tray icon and the link to the hook library, and is the
// host the sheet and its pages reach the program through.
#pragma once

#include "common/DebugLog.h"
#include "framework/FrameWindow.h"
#include "framework/ScopedHandles.h"
#include "hook/HookProtocol.h"
#include "pages/PageHost.h"

#include <shellapi.h>

#include <atomic>
#include <memory>
#include <string>

class CFeatures;
class CMainSheet;
class CSettingsStore;

class CTrayWnd : public CFrameWindow, public IPageHost {
public:
    CTrayWnd(UINT appMessageId, const std::string& programFolder);
    ~CTrayWnd() override;

    CMainSheet* Sheet() const { return m_sheet.get(); }
    // Read by the start-up timer thread.
    bool IsReady() const { return m_ready.load(); }
    void SetStartedFromFile(bool fromFile) { m_startedFromFile = fromFile; }

    void UpdateMenuAndTrayIcon();
    // HOOKMSG_APPLY_SETTINGS with the settings.
    void SendSettings();
    // The exit procedure: pages, sheet, tray icon, hook library, window.
    void Exit();

    // IPageHost
    const SettingsBlock& Settings() const override { return m_settings; }
    void KeepSettings(const SettingsBlock& settings) override { m_settings = settings; }
    void ApplySettings(const SettingsBlock& settings) override;
    CSettingsStore& Store() override { return *m_store; }
    const std::string& ProgramFolder() const override { return m_programFolder; }
    unsigned long SendHookRequest(int code, const char* text) override;
    void SwitchFeatures(bool enabled) override;
    void ShowSheet(int page) override;
    void SheetShown(bool visible) override;
    void ShowHelp() override;
    void PostExit() override;
    HWND OwnerWindow() const override { return GetHwnd(); }
    HMODULE ResourceLibrary() const override { return m_resourceLibrary.Get(); }
    int Platform() const override { return m_platform; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    int OnCreate(const CREATESTRUCTA& cs) override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    int OnTimer(UINT_PTR id) override;
    void OnDestroy() override;

private:
    void OnTrayNotify(LPARAM event);
    void OnHookReady();
    void OnFeaturesToggle();
    LRESULT OnAppMessage(WPARAM wp, LPARAM lp);
    void OnHookNotification(const dervaneMsg_t& msg);
    void OnTaskbarCreated();
    void OnDisplayChange();
    void StopSessionNotices();
    void Reattach();
    bool DeferExitForModalLoop();
    bool EnsureSheet();
    bool AddTrayIcon();
    void SetTrayIcon(UINT iconId);
    bool ReadHandOff(dervaneMsg_t* msg);
    // Passes a request to the hook library and answers its answer; with
    // showWait, the wait cursor is shown meanwhile if the sheet is visible.
    unsigned long SendToHook(dervaneMsg_t& request, bool showWait);

    int m_platform = 0;
    SettingsBlock m_settings = {};
    std::unique_ptr<CSettingsStore> m_store;
    std::unique_ptr<CFeatures> m_features;
    std::unique_ptr<CMainSheet> m_sheet;
    UINT m_appMessageId;
    UINT m_hookMessageId = 0;
    UINT m_taskbarCreatedId = 0;
    std::string m_programFolder;
    std::unique_ptr<CDebugLog> m_debugLog;
    bool m_startedFromFile = false;
    std::atomic<bool> m_ready{false};
    bool m_reattaching = false;
    bool m_exiting = false;
    // In HOOK_SendMessage: a message sent from outside meanwhile is taken in
    // during that wait, while the shared record is the library's.
    bool m_hookBusy = false;
    ScopedModule m_resourceLibrary;
    NOTIFYICONDATAA m_trayIcon = {};
    bool m_trayIconAdded = false;
    bool m_sessionNotices = false;  // registered for session changes
};
