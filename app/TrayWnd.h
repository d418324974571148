// CTrayWnd: the program's hidden main window. It owns the settings, the
// property sheet, the tray icon and the link to the hook library.
#pragma once

#include "common/DebugLog.h"
#include "framework/FrameWindow.h"
#include "framework/ScopedHandles.h"
#include "hook/HookProtocol.h"

#include <shellapi.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class CMainSheet;
class CSettingsStore;

class CTrayWnd : public CFrameWindow {
public:
    CTrayWnd(UINT appMessageId, const std::string& programFolder);
    ~CTrayWnd() override;

    SettingsBlock& Settings() { return m_settings; }
    CSettingsStore& Store() { return *m_store; }
    const std::string& ProgramFolder() const { return m_programFolder; }
    CMainSheet* Sheet() const { return m_sheet.get(); }
    HMODULE ResourceLibrary() const { return m_resourceLibrary.Get(); }
    DWORD LastHookResult() const { return m_lastHookResult; }
    int Platform() const { return m_platform; }
    // Read by the start-up timer thread.
    bool IsReady() const { return m_ready.load(); }
    void SetStartedFromFile(bool fromFile) { m_startedFromFile = fromFile; }

    void ShowSheet(int page);
    void UpdateMenuAndTrayIcon();
    void OnSheetShown(bool visible);
    // HOOKMSG_APPLY_SETTINGS through the app message, as the pages send it.
    void SendSettings();
    // Sends a request for the hook library through the app message; answers
    // the library's answer.
    DWORD SendHookRequest(int code, const char* text);
    void ShowHelp();
    void PostExit();
    void Exit();

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
    std::vector<dervaneMsg_t*> m_sentRecords;  // sent and not yet taken
    DWORD m_lastHookResult = 0;
    bool m_startedFromFile = false;
    std::atomic<bool> m_ready{false};
    bool m_reattaching = false;
    bool m_exiting = false;
    ScopedModule m_resourceLibrary;
    NOTIFYICONDATAA m_trayIcon = {};
    bool m_trayIconAdded = false;
};
