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
#include <vector>

class CMainSheet;
class CSettingsStore;

class CTrayWnd : public CFrameWindow, public IPageHost {
public:
    CTrayWnd(UINT appMessageId, const std::string& programFolder);
    ~CTrayWnd() override;

    CMainSheet* Sheet() const { return m_sheet.get(); }
    DWORD LastHookResult() const { return m_lastHookResult; }
    // Read by the start-up timer thread.
    bool IsReady() const { return m_ready.load(); }
    void SetStartedFromFile(bool fromFile) { m_startedFromFile = fromFile; }

    void UpdateMenuAndTrayIcon();
    // HOOKMSG_APPLY_SETTINGS through the app message, as the pages send it.
    // Every request record of the program goes through SendSettings and
    // SendHookRequest: the app message takes a record by address only from them.
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
    void OnReadyPoll();
    void OnFeaturesToggle();
    void OnAppMessage(WPARAM wp, LPARAM lp);
    void OnHookNotification(const dervaneMsg_t& msg);
    void OnTaskbarCreated();
    bool DeferExitForModalLoop();
    bool AddTrayIcon();
    void SetTrayIcon(UINT iconId);
    bool ReadHandOff(dervaneMsg_t* msg);
    // Sends a record this window frees on the app message; only the records
    // sent here are taken by address.
    void SendRecord(std::unique_ptr<dervaneMsg_t> record);
    std::unique_ptr<dervaneMsg_t> TakeSentRecord(WPARAM address);

    int m_platform = 0;
    SettingsBlock m_settings = {};
    std::unique_ptr<CSettingsStore> m_store;
    std::unique_ptr<CMainSheet> m_sheet;
    UINT m_appMessageId;
    UINT m_hookMessageId = 0;
    UINT m_taskbarCreatedId = 0;
    std::string m_programFolder;
    std::unique_ptr<CDebugLog> m_debugLog;
    std::vector<std::unique_ptr<dervaneMsg_t>> m_sentRecords;  // sent, not yet taken
    DWORD m_lastHookResult = 0;
    bool m_startedFromFile = false;
    std::atomic<bool> m_ready{false};
    bool m_reattaching = false;
    bool m_exiting = false;
    ScopedModule m_resourceLibrary;
    NOTIFYICONDATAA m_trayIcon = {};
    bool m_trayIconAdded = false;
};
