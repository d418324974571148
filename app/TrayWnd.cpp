#include "app/TrayWnd.h"

#include <wtsapi32.h>

#include <cstdio>

#include "app/Features.h"
#include "app/HandOff.h"
#include "icons/DesktopIcons.h"
#include "icons/LayoutNames.h"
#include "app/resource.h"
#include "common/AppMessages.h"
#include "common/Log.h"
#include "common/Utf8.h"
#include "framework/Application.h"
#include "framework/Menu.h"
#include "framework/MessageBoxes.h"
#include "framework/WaitCursor.h"
#include "hook/DervaneHook.h"
#include "pages/MainSheet.h"
#include "settings/SettingsStore.h"

namespace {

int DetectPlatform()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info))
        return 0;
#pragma GCC diagnostic pop
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return 1;
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT ? 2 : 0;
}

// Shared: the system keeps one copy per resource and size, so switching the
// tray icon back and forth creates nothing that would have to be destroyed.
HICON LoadProgramIcon(UINT id, int width, int height)
{
    return static_cast<HICON>(
        LoadImageA(CWindow::GetModule(), MAKEINTRESOURCEA(id), IMAGE_ICON, width, height, LR_SHARED));
}

// The notification area shows icons at the system's small-icon size, which
// grows with the screen's scale (24 pixels at 150 %): an icon of that size
// is drawn from the file's nearest picture instead of being stretched there.
HICON LoadTrayIcon(UINT id)
{
    return LoadProgramIcon(id, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
}

}  // namespace

CTrayWnd::CTrayWnd(UINT appMessageId, const std::string& programFolder)
    : m_appMessageId(appMessageId), m_programFolder(programFolder)
{
    m_platform = DetectPlatform();
    m_debugLog = std::make_unique<CDebugLog>(m_programFolder.c_str(), "DebugLog.txt", true);
    LogSetPath(m_programFolder.c_str(), "ErrorLog.txt", true);
    m_store = std::make_unique<CSettingsStore>();
    m_store->OpenKeys();
    m_features = std::make_unique<CFeatures>(*this);
    m_taskbarCreatedId = RegisterWindowMessageA("TaskbarCreated");
    m_hookMessageId = RegisterWindowMessageA(DERVANE_HOOK_MESSAGE_NAME);
}

CTrayWnd::~CTrayWnd()
{
    m_sheet.reset();
    m_features.reset();
    if (m_store)
        m_store->CloseKeys();
    LogFreePath();
    m_debugLog.reset();
}

int CTrayWnd::OnCreate(const CREATESTRUCTA& cs)
{
    (void)cs;
    if (HICON icon = LoadProgramIcon(IDI_PROGRAM, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)))
        Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    // The sheet is made when the user first opens it (ShowSheet).
    HOOK_AttachDLL(GetHwnd(), const_cast<char*>(m_programFolder.c_str()));
    m_sessionNotices = WTSRegisterSessionNotification(GetHwnd(), NOTIFY_FOR_THIS_SESSION) != FALSE;
    AddTrayIcon();
    m_store->EnsureFileAssociation(false, m_programFolder.c_str());
    m_resourceLibrary.Reset(LoadLibraryA("Resources.dll"));
    if (!m_resourceLibrary) {
        const char text[] = "Cannot locate library file \"Resources.dll\"";
        LogWarning(text);
        ShowErrorBox(GetHwnd(), text);
        PostExit();
        return 1;
    }
    // The library tells this window (HOOKNOTICE_READY) once it is set up in
    // the desktop's process.
    return 1;
}

bool CTrayWnd::AddTrayIcon()
{
    m_trayIcon = NOTIFYICONDATAA{};
    m_trayIcon.cbSize = sizeof m_trayIcon;
    m_trayIcon.hWnd = GetHwnd();
    m_trayIcon.uID = kTrayIconId;
    m_trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_trayIcon.uCallbackMessage = WMAPP_TRAY_NOTIFY;
    m_trayIcon.hIcon = LoadTrayIcon(IDI_TRAY_SHOWN);
    snprintf(m_trayIcon.szTip, sizeof m_trayIcon.szTip, "%s", "Dervane");
    m_trayIconAdded = Shell_NotifyIconA(NIM_ADD, &m_trayIcon) != FALSE;
    // "TaskbarCreated" also comes without a shell restart (a second shell, a
    // change of the screen's resolution): the icon is then still there and
    // cannot be added twice, but it is ours to change and to remove.
    if (!m_trayIconAdded)
        m_trayIconAdded = Shell_NotifyIconA(NIM_MODIFY, &m_trayIcon) != FALSE;
    if (!m_trayIconAdded)
        LogWarning("Cannot add the tray icon");
    return m_trayIconAdded;
}

void CTrayWnd::SetTrayIcon(UINT iconId)
{
    if (!m_trayIconAdded)
        return;
    m_trayIcon.uFlags = NIF_ICON;
    m_trayIcon.hIcon = LoadTrayIcon(iconId);
    Shell_NotifyIconA(NIM_MODIFY, &m_trayIcon);
}

void CTrayWnd::UpdateMenuAndTrayIcon()
{
    CMenu popup = CMenu::Borrow(GetMenu()).GetSubMenu(0);
    const bool on = m_settings.enabled != 0;
    if (popup.IsValid())
        popup.CheckItem(ID_TRAY_DISABLE, !on);
    if (!on)
        SetTrayIcon(IDI_TRAY_OFF);
    else
        SetTrayIcon(m_sheet && m_sheet->IsVisible() ? IDI_TRAY_SHOWN : IDI_TRAY_HIDDEN);
}

void CTrayWnd::SheetShown(bool visible)
{
    if (m_settings.enabled)
        SetTrayIcon(visible ? IDI_TRAY_SHOWN : IDI_TRAY_HIDDEN);
}

// The sheet is made when it is first opened and kept, hidden when closed,
// until exit. Answers whether it is there.
bool CTrayWnd::EnsureSheet()
{
    if (m_sheet && m_sheet->IsAlive())
        return true;
    if (m_exiting || !GetHwnd())
        return false;
    m_sheet.reset();
    auto sheet = std::make_unique<CMainSheet>(*this, m_features->Owners());
    sheet->AddPages();
    if (!sheet->CreateHidden()) {
        LogWarning("Cannot create the property sheet");
        return false;
    }
    m_sheet = std::move(sheet);
    return true;
}

void CTrayWnd::ShowSheet(int page)
{
    if (!m_resourceLibrary || !EnsureSheet())
        return;
    m_sheet->SetActivePage(page);
    m_sheet->Show(SW_SHOW);
    UpdateWindow(m_sheet->GetHwnd());
    SetForegroundWindow(m_sheet->GetHwnd());
    SetFocus(m_sheet->GetHwnd());
    UpdateMenuAndTrayIcon();
}

LRESULT CTrayWnd::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == m_appMessageId && msg != 0)
        return OnAppMessage(wp, lp);
    if (msg == m_hookMessageId && msg != 0) {
        if (wp == HOOKNOTICE_READY) {
            OnHookReady();
            return 0;
        }
        if (wp == HOOKNOTICE_DESKTOP_MOVED) {
            if (!m_reattaching)
                Reattach();
            return 0;
        }
        // Other notices (the icons followed a display change) carry no record.
        if (wp != HOOKNOTICE_RECORD)
            return 0;
        dervaneMsg_t notification = *HOOK_GetMessage();
        notification.payload.text[kHookPayloadSize - 1] = '\0';
        OnHookNotification(notification);
        return 0;
    }
    if (msg == m_taskbarCreatedId && msg != 0) {
        OnTaskbarCreated();
        return 0;
    }
    switch (msg) {
    case WMAPP_TRAY_NOTIFY:
        if (wp == kTrayIconId)
            OnTrayNotify(lp);
        return 0;
    case WM_QUERYENDSESSION: m_features->EndSession(); break;
    case WM_DISPLAYCHANGE: OnDisplayChange(); break;
    case WM_WTSSESSION_CHANGE:
        // A remote session that begins or ends shows the desktop on other
        // monitors, which the shell may not announce as a display change.
        if (wp == WTS_REMOTE_CONNECT || wp == WTS_REMOTE_DISCONNECT || wp == WTS_CONSOLE_CONNECT ||
            wp == WTS_CONSOLE_DISCONNECT) {
            OnDisplayChange();
        }
        break;
    default: break;
    }
    return CFrameWindow::WndProc(msg, wp, lp);
}

// The library fits the desktop to the monitors and places the icons once
// the shell is done with them; the drop windows follow the screen.
void CTrayWnd::OnDisplayChange()
{
    dervaneMsg_t request = {};
    request.code = HOOKMSG_SCREEN_CHANGED;
    SendToHook(request, false);
    m_features->DisplayChanged();
}

int CTrayWnd::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case ID_TRAY_PROPERTIES: ShowSheet(0); return 1;
    case ID_TRAY_HELP: ShowHelp(); return 1;
    case ID_TRAY_DISABLE: OnFeaturesToggle(); return 1;
    case ID_TRAY_EXIT: Exit(); return 1;
    default: return CFrameWindow::OnCommand(id, code, control);
    }
}

int CTrayWnd::OnTimer(UINT_PTR id)
{
    switch (id) {
    case TIMER_EXIT:
    case TIMER_EXIT_RETRY:
        KillTimer(GetHwnd(), static_cast<UINT_PTR>(id));
        Exit();
        return 1;
    default: return 0;
    }
}

void CTrayWnd::OnTrayNotify(LPARAM event)
{
    if (event == WM_RBUTTONUP) {
        CMenu popup = CMenu::Borrow(GetMenu()).GetSubMenu(0);
        if (!popup.IsValid())
            return;
        popup.SetDefaultItemByPosition(0);
        POINT pt = {};
        GetCursorPos(&pt);
        // The owner must be in the foreground or the menu does not close when
        // the user clicks elsewhere; TrackPopup sees to both.
        popup.TrackPopup(GetHwnd(), pt, TPM_RIGHTBUTTON);
    } else if (event == WM_LBUTTONDBLCLK) {
        CMenu popup = CMenu::Borrow(GetMenu()).GetSubMenu(0);
        if (popup.IsValid())
            Send(WM_COMMAND, MAKEWPARAM(popup.GetItemId(0), 0), 0);
    }
}

void CTrayWnd::OnHookReady()
{
    // A notice of an earlier attach may come after a newer one began.
    if (!HOOK_IsReady())
        return;
    if (m_reattaching || m_ready) {
        // The shell came back: the features go on where they were.
        m_reattaching = false;
        UpdateMenuAndTrayIcon();
        SendSettings();
        return;
    }
    m_store->LoadSettingsBlock(&m_settings);
    // The start entry follows the stored switch (the program may have moved).
    m_store->UpdateStartEntry(m_settings.runOnBoot != 0, m_programFolder.c_str(), GetHwnd());
    m_features->Start();
    SendSettings();
    // What the program shows of itself comes after the desktop's look,
    // which the user waits for more.
    UpdateMenuAndTrayIcon();
    m_features->ShowWindows();
    if (m_settings.enabled && m_settings.firstTime) {
        ShowSheet(0);
        m_settings.firstTime = 0;
        m_store->WriteGroup(PropertyGroup::kFirstTime, m_settings);
    }
    m_ready = true;
}

void CTrayWnd::OnFeaturesToggle()
{
    CMenu popup = CMenu::Borrow(GetMenu()).GetSubMenu(0);
    const bool wasEnabled = m_settings.enabled != 0;
    const bool enabled = popup.IsValid() ? popup.IsItemChecked(ID_TRAY_DISABLE) : !wasEnabled;
    m_settings.enabled = enabled ? 1 : 0;
    UpdateMenuAndTrayIcon();
    if (enabled != wasEnabled) {
        m_features->FeaturesSwitched(enabled);
    }
    if (m_sheet && m_sheet->IsAlive()) {
        m_sheet->RefreshFeatures();
        UpdateWindow(m_sheet->GetHwnd());
    }
    dervaneMsg_t request = {};
    request.code = HOOKMSG_APPLY_SETTINGS;
    request.payload.settings = m_settings;
    SendToHook(request, false);
}

void CTrayWnd::SendSettings()
{
    dervaneMsg_t request = {};
    request.code = HOOKMSG_APPLY_SETTINGS;
    request.route = HOOKROUTE_HOOK;
    request.payload.settings = m_settings;
    SendToHook(request, true);
}

void CTrayWnd::ApplySettings(const SettingsBlock& settings)
{
    m_settings = settings;
    SendSettings();
}

unsigned long CTrayWnd::SendHookRequest(int code, const char* text)
{
    dervaneMsg_t request = {};
    request.code = code;
    request.route = HOOKROUTE_HOOK;
    CopyUtf8(request.payload.text, sizeof request.payload.text, text ? text : "");
    return SendToHook(request, true);
}

unsigned long CTrayWnd::SendToHook(dervaneMsg_t& request, bool showWait)
{
    const bool busy = showWait && m_sheet && m_sheet->IsVisible();
    std::unique_ptr<CWaitCursor> wait(busy ? new CWaitCursor() : nullptr);
    // The library may send a notification back meanwhile, whose handling may
    // ask something more of it: the outermost request ends the busy time.
    const bool outermost = !m_hookBusy;
    m_hookBusy = true;
    const unsigned long answer = HOOK_SendMessage(&request);
    if (outermost)
        m_hookBusy = false;
    return answer;
}

void CTrayWnd::SwitchFeatures(bool enabled)
{
    UpdateMenuAndTrayIcon();
    m_features->FeaturesSwitched(enabled);
}

bool CTrayWnd::ReadHandOff(dervaneMsg_t* msg)
{
    const std::string path = m_programFolder + "\\msg.dat";
    std::string error;
    const bool ok = ReadHandOffFile(path, msg, &error);
    DeleteFileA(path.c_str());
    if (!ok) {
        const std::string text = "Dropped a hand-off from msg.dat: " + error;
        LogWarning(text.c_str());
    }
    return ok;
}

// The app message comes from outside: a second start hands its layout file
// or its "/save" or "/load" over through "msg.dat" (lParam not 0) and waits
// for the answer (a HandOffAnswer). The program's own requests are calls, so
// a record's address (wParam, posted or sent from another process) means
// nothing here and is neither read nor freed.
LRESULT CTrayWnd::OnAppMessage(WPARAM wp, LPARAM lp)
{
    (void)wp;
    if (lp == 0) {
        LogWarning("Ignored a request record by address: only a hand-off through msg.dat comes this way");
        return kHandOffFailed;
    }
    if (m_exiting)
        return kHandOffFailed;
    // Sent while this thread waits on the hook library (a request of the
    // sheet's, a save of its layout manager), or before the library is
    // ready: "msg.dat" stays unread and the sender asks again.
    if (m_hookBusy || !m_ready || m_reattaching)
        return kHandOffBusy;
    dervaneMsg_t request = {};
    if (!ReadHandOff(&request))
        return kHandOffFailed;
    request.payload.text[kHookPayloadSize - 1] = '\0';
    if (CheckLayoutFileName(request.payload.text, Utf16Length(m_programFolder)) != LayoutNameProblem::kNone) {
        LogWarning("Dropped a hand-off from msg.dat: the name is no file of the layout folders");
        return kHandOffFailed;
    }
    // A layout to load or save, nothing else.
    return SendToHook(request, true) ? kHandOffDone : kHandOffFailed;
}

void CTrayWnd::OnHookNotification(const dervaneMsg_t& msg)
{
    if (msg.code != HOOKMSG_POSITIONS_LOADED && msg.code != HOOKMSG_SHORTCUTS_LOADED)
        return;
    const int type = msg.code == HOOKMSG_POSITIONS_LOADED ? 0 : 1;
    m_features->DesktopIcons().LayoutLoaded(type, msg.payload.text);
    if (m_startedFromFile && m_settings.exitOnLoad)
        SetTimer(GetHwnd(), TIMER_EXIT, 5000, nullptr);
}

// The shell restarted: the tray icon is added again and, if the desktop the
// hook library worked on is gone, the library attaches to the new one; once
// it is ready there, it is sent the settings again.
void CTrayWnd::OnTaskbarCreated()
{
    AddTrayIcon();
    UpdateMenuAndTrayIcon();
    m_features->TaskbarCreated();
    if (IsWindow(HOOK_GetListView()))
        return;
    Reattach();
}

// The library attaches to the desktop as it is now (a new shell, or the
// same desktop in another window tree); once it is ready there (its notice),
// the features go on where they were.
void CTrayWnd::Reattach()
{
    m_reattaching = m_ready.load();
    HOOK_AttachDLL(GetHwnd(), const_cast<char*>(m_programFolder.c_str()));
}

void CTrayWnd::ShowHelp()
{
    using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    std::string helpFile = CApplication::Get() ? CApplication::Get()->GetModulePath() : std::string();
    const size_t dot = helpFile.rfind('.');
    if (dot != std::string::npos)
        helpFile = helpFile.substr(0, dot) + ".CHM";
    HMODULE hhctrl = LoadLibraryA("HHCTRL.OCX");
    auto htmlHelp = hhctrl ? reinterpret_cast<HtmlHelpFn>(reinterpret_cast<void*>(GetProcAddress(hhctrl, "HtmlHelpA")))
                           : nullptr;
    const UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC
    if (!htmlHelp || !htmlHelp(GetHwnd(), helpFile.c_str(), kDisplayTopic, 0)) {
        ShowErrorBox(GetHwnd(),
                     "Cannot start HTML Help! Internet Explorer 3 or higher required.\n"
                     "Also check that file Dervane.chm is present.");
    }
    // The help window lives in this process and needs the library: it stays loaded.
}

void CTrayWnd::PostExit()
{
    Post(WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
}

// A page's dialog or message box runs its own modal loop with the page on
// the stack; the sheet is disabled meanwhile. Deleting the pages then would
// pull them from under that loop, so the box is asked to close and the exit
// tried again once the loop has ended.
// The same holds for a drop's dialog over the File Shredder window.
bool CTrayWnd::DeferExitForModalLoop()
{
    HWND popup = nullptr;
    bool waiting = m_features->InModalLoop(&popup);
    if (!waiting && m_sheet && m_sheet->IsAlive() && !IsWindowEnabled(m_sheet->GetHwnd())) {
        waiting = true;
        popup = GetLastActivePopup(m_sheet->GetHwnd());
        if (popup == m_sheet->GetHwnd())
            popup = nullptr;
    }
    if (!waiting)
        return false;
    if (popup)
        PostMessageA(popup, WM_COMMAND, IDCANCEL, 0);
    SetTimer(GetHwnd(), TIMER_EXIT_RETRY, 200, nullptr);
    return true;
}

void CTrayWnd::Exit()
{
    if (m_exiting || DeferExitForModalLoop())
        return;
    m_exiting = true;
    KillTimer(GetHwnd(), TIMER_EXIT_RETRY);
    KillTimer(GetHwnd(), TIMER_EXIT);
    if (m_sheet) {
        if (m_sheet->IsAlive())
            m_sheet->TearDown();
        m_sheet->Destroy();
        m_sheet.reset();
    }
    m_features->Stop();
    m_resourceLibrary.Reset();
    if (m_trayIconAdded) {
        m_trayIcon.uFlags = 0;
        Shell_NotifyIconA(NIM_DELETE, &m_trayIcon);
        m_trayIconAdded = false;
    }
    HOOK_AttachDLL(nullptr, nullptr);
    StopSessionNotices();
    Destroy();
}

void CTrayWnd::StopSessionNotices()
{
    if (m_sessionNotices && GetHwnd())
        WTSUnRegisterSessionNotification(GetHwnd());
    m_sessionNotices = false;
}

void CTrayWnd::OnDestroy()
{
    if (!m_exiting) {
        // Destroyed some other way (end of session): still leave the desktop as found.
        m_exiting = true;
        if (m_trayIconAdded)
            Shell_NotifyIconA(NIM_DELETE, &m_trayIcon);
        HOOK_AttachDLL(nullptr, nullptr);
    }
    StopSessionNotices();
    CFrameWindow::OnDestroy();
}
