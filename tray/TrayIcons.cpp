#include "tray/TrayIcons.h"

#include "common/AppMessages.h"
#include "common/FeatureHost.h"
#include "common/Log.h"
#include "common/Utf8.h"
#include "framework/ErrorReport.h"
#include "framework/ProcessPaths.h"
#include "icons/IconFeatures.h"
#include "settings/PropertyValues.h"
#include "settings/SettingsStore.h"
#include "tray/ShortcutTarget.h"
#include "tray/TrayEntryRunTime.h"
#include "tray/TrayIconsResource.h"
#include "tray/TrayPictures.h"
#include "tray/WaitDlg.h"

#include <cstdio>

namespace {

const char kTrayEnabled[] = "Property Tray Enabled";
const char kProgramCaption[] = "Dervane";
const char kNoScreenSaverText[] =
    "No screen saver is chosen. Choose one in the screen saver settings of Windows, then try again.";
constexpr int kIconRetries = 5;
constexpr UINT kIconRetryMs = 2000;

ScopedIcon LoadProgramIcon16(UINT id)
{
    return ScopedIcon(
        static_cast<HICON>(LoadImageA(CWindow::GetModule(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0)));
}

}  // namespace

CTrayIcons::CTrayIcons(IFeatureHost& host, IIconFeatures* iconFeatures, std::unique_ptr<ISystemCommands> system)
    : m_host(host), m_iconFeatures(iconFeatures), m_system(std::move(system)), m_startFolder(CurrentFolder()),
      m_defaultIcon(LoadProgramIcon16(IDI_TRAY_ENTRY_DEFAULT)), m_folderIcon(LoadProgramIcon16(IDI_TRAY_MENU_FOLDER)),
      m_iconSlots(kCustomTrayIconLimit), m_commandIds(ID_TRAY_MENU_END - ID_TRAY_MENU_FIRST)
{
}

CTrayIcons::~CTrayIcons()
{
    // The icons name the window: they cannot outlive it.
    HideTrayIcons();
    CloseWaitWindow();
    Destroy();
}

std::string CTrayIcons::ListFile() const
{
    return m_host.ProgramFolder() + "\\TrayIcons.txt";
}

// ---- Start and stop ----

void CTrayIcons::Start()
{
    LoadList();
    uint8_t enabled = 1;
    m_host.Store().ReadValue(kTrayEnabled, &enabled);
    m_trayEnabled = enabled != 0;
    if (!GetHwnd()) {
        CreateArgs args;
        args.className = "DervaneTrayIcons";
        args.style = 0;
        args.x = args.y = args.width = args.height = 0;
        args.parent = HWND_MESSAGE;
        if (!Create(args))
            LogWarning("Cannot make the window of the custom tray icons: they are not shown");
    }
    m_started = true;
    if (ShowsIcons())
        ShowTrayIcons();
}

void CTrayIcons::Stop()
{
    HideTrayIcons();
    CloseWaitWindow();
    Destroy();
    m_started = false;
    SaveList();
}

void CTrayIcons::FeaturesSwitched(bool enabled)
{
    if (!enabled)
        HideTrayIcons();
    else if (m_trayEnabled && m_started)
        ShowTrayIcons();
}

void CTrayIcons::TaskbarCreated()
{
    for (const TrayIconEntry& entry : m_list.Entries()) {
        if (entry.iconId != 0 && !NotifyAdd(entry))
            RetryLater(entry.iconId);
    }
}

// ---- The list and the setting ----

void CTrayIcons::LoadList()
{
    if (m_shown)
        HideTrayIcons();
    m_list.Load(ListFile());
    for (TrayIconEntry& entry : m_list.Entries()) {
        entry.iconId = 0;
        entry.runTime = std::make_shared<TrayEntryRunTime>();
        entry.runTime->icon = FindTrayPicture(entry.iconFile, entry.iconIndex, &entry.iconKind);
    }
}

bool CTrayIcons::SaveList()
{
    return m_list.Save(ListFile()) != ListSaveResult::kFailed;
}

bool CTrayIcons::SaveEdit()
{
    m_list.SetModified(true);
    return SaveList();
}

void CTrayIcons::SetEnabled(bool on)
{
    const bool wasEnabled = m_trayEnabled;
    m_trayEnabled = on;
    const uint8_t stored = on ? 1 : 0;
    m_host.Store().WriteBinary(kTrayEnabled, &stored, 1);
    if (wasEnabled && !on)
        HideTrayIcons();
    else if (!wasEnabled && on && m_host.Settings().enabled)
        ShowTrayIcons();
}

// ---- The edits ----

void CTrayIcons::TakeLook(TrayIconEntry& entry, const TrayIconEntry& look)
{
    entry.tipText = look.tipText;
    entry.iconKind = look.iconKind;
    entry.iconIndex = look.iconIndex;
    entry.iconFile = look.iconFile;
    if (!entry.runTime)
        entry.runTime = std::make_shared<TrayEntryRunTime>();
    entry.runTime->icon = LoadTrayPicture(entry.iconKind, entry.iconFile, entry.iconIndex);
}

bool CTrayIcons::Add(const TrayIconEntry& look)
{
    TrayIconEntry entry;
    TakeLook(entry, look);
    entry.items = look.items;
    for (TrayMenuItem& item : entry.items)
        item.commandId = 0;
    m_list.Add(std::move(entry));
    if (m_shown)
        AddTrayIcon(m_list.Count() - 1);
    return SaveEdit();
}

bool CTrayIcons::Replace(int position, const TrayIconEntry& look)
{
    if (position < 0 || position >= m_list.Count())
        return true;
    TakeLook(m_list.Entry(position), look);
    ModifyIcon(m_list.Entry(position));
    return SaveEdit();
}

bool CTrayIcons::Remove(int position)
{
    if (position < 0 || position >= m_list.Count())
        return true;
    RemoveTrayIcon(position);
    m_list.Remove(position);
    return SaveEdit();
}

bool CTrayIcons::Move(int from, int to)
{
    if (from < 0 || to < 0 || from >= m_list.Count() || to >= m_list.Count() || (from - to != 1 && to - from != 1))
        return true;
    m_list.SwapWithNext(from < to ? from : to);
    TrayIconEntry& first = m_list.Entry(from);
    TrayIconEntry& second = m_list.Entry(to);
    // Two shown icons keep their places in the notification area and show
    // the entries that have taken those places in the list. Next to an icon
    // the user took out of the notification area each entry keeps its own
    // state: the shown icon with its picture, tip and built menu, the other
    // out (a menu is built only for an icon that is shown).
    if (first.iconId != 0 && second.iconId != 0) {
        std::swap(first.iconId, second.iconId);
        ModifyIcon(first);
        ModifyIcon(second);
    }
    return SaveEdit();
}

bool CTrayIcons::SetMenu(int position, std::vector<TrayMenuItem> items)
{
    if (position < 0 || position >= m_list.Count())
        return true;
    // The items may carry the ids of the menu as built; the menu gives those
    // back before the items change.
    for (TrayMenuItem& item : items)
        item.commandId = 0;
    TrayIconEntry& entry = m_list.Entry(position);
    ClearMenu(entry);
    entry.items = std::move(items);
    // A hidden icon gets its menu when it is shown again.
    if (entry.iconId != 0)
        BuildMenu(entry);
    return SaveEdit();
}

// ---- The window ----

LRESULT CTrayIcons::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg >= WMAPP_CUSTOM_TRAY_FIRST && msg < WMAPP_CUSTOM_TRAY_FIRST + kCustomTrayIconLimit) {
        OnTrayNotify(static_cast<UINT>(wp), LOWORD(lp));
        return 0;
    }
    return CWindow::WndProc(msg, wp, lp);
}

int CTrayIcons::OnTimer(UINT_PTR id)
{
    if (id != TIMER_TRAY_ICON_RETRY)
        return CWindow::OnTimer(id);
    RetryPendingIcons();
    return 1;
}

// ---- The icons in the notification area ----

bool CTrayIcons::ShowsIcons() const
{
    return m_trayEnabled && m_host.Settings().enabled;
}

void CTrayIcons::ShowTrayIcons()
{
    if (!GetHwnd())
        return;
    m_shown = true;
    int refused = 0;
    for (int i = 0; i < m_list.Count(); ++i) {
        if (m_list.Entry(i).iconId == 0 && !AddIcon(i))
            ++refused;
    }
    if (refused) {
        char text[160] = {};
        snprintf(text, sizeof text, "%d custom tray icons not shown: no more than %u are shown at once", refused,
                 kCustomTrayIconLimit);
        LogWarning(text);
    }
}

void CTrayIcons::HideTrayIcons()
{
    for (int i = 0; i < m_list.Count(); ++i)
        RemoveTrayIcon(i);
    m_shown = false;
    m_pendingIcons.clear();
    if (GetHwnd())
        KillTimer(GetHwnd(), TIMER_TRAY_ICON_RETRY);
}

bool CTrayIcons::AddTrayIcon(int position)
{
    if (position < 0 || position >= m_list.Count())
        return false;
    if (m_list.Entry(position).iconId != 0)
        return true;
    if (AddIcon(position))
        return true;
    const std::string text = "Tray icon not shown, no more than " + std::to_string(kCustomTrayIconLimit) +
        " at once: \"" + m_list.Entry(position).tipText + "\"";
    LogWarning(text.c_str());
    return false;
}

bool CTrayIcons::AddIcon(int position)
{
    size_t slot = 0;
    while (slot < m_iconSlots.size() && m_iconSlots[slot])
        ++slot;
    if (slot == m_iconSlots.size() || !GetHwnd())
        return false;
    m_iconSlots[slot] = true;
    TrayIconEntry& entry = m_list.Entry(position);
    entry.iconId = kCustomTrayFirstIconId + static_cast<UINT>(slot);
    if (!entry.runTime)
        entry.runTime = std::make_shared<TrayEntryRunTime>();
    if (!NotifyAdd(entry))
        RetryLater(entry.iconId);
    BuildMenu(entry);
    return true;
}

void CTrayIcons::RemoveTrayIcon(int position)
{
    if (position < 0 || position >= m_list.Count())
        return;
    TrayIconEntry& entry = m_list.Entry(position);
    ClearMenu(entry);
    if (entry.iconId == 0)
        return;
    NOTIFYICONDATAW record = IconRecord(entry, 0);
    m_notify(NIM_DELETE, &record);
    m_pendingIcons.erase(entry.iconId);
    const UINT slot = entry.iconId - kCustomTrayFirstIconId;
    if (slot < m_iconSlots.size())
        m_iconSlots[slot] = false;
    entry.iconId = 0;
}

NOTIFYICONDATAW CTrayIcons::IconRecord(const TrayIconEntry& entry, UINT flags) const
{
    NOTIFYICONDATAW record = {};
    record.cbSize = sizeof record;
    record.hWnd = GetHwnd();
    record.uID = entry.iconId;
    record.uFlags = flags;
    record.uCallbackMessage = WMAPP_CUSTOM_TRAY_FIRST + (entry.iconId - kCustomTrayFirstIconId);
    record.hIcon = entry.runTime && entry.runTime->icon ? entry.runTime->icon.Get() : m_defaultIcon.Get();
    // The wide record: the shell counts a tip in UTF-16 units, and 63 of them
    // can take more UTF-8 bytes than the ANSI record's tip holds.
    const std::string tip = CutText(entry.tipText, kTrayTipChars);
    CopyUtf8ToWide(record.szTip, sizeof record.szTip / sizeof record.szTip[0], tip.c_str());
    return record;
}

bool CTrayIcons::NotifyAdd(const TrayIconEntry& entry)
{
    NOTIFYICONDATAW record = IconRecord(entry, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    if (m_notify(NIM_ADD, &record))
        return true;
    // An icon the shell still has (a "TaskbarCreated" without a restart)
    // cannot be added twice, but it can be changed.
    return m_notify(NIM_MODIFY, &record) != FALSE;
}

void CTrayIcons::ModifyIcon(const TrayIconEntry& entry)
{
    if (!m_shown || entry.iconId == 0)
        return;
    NOTIFYICONDATAW record = IconRecord(entry, NIF_ICON | NIF_TIP);
    m_notify(NIM_MODIFY, &record);
}

void CTrayIcons::RetryLater(UINT iconId)
{
    // A shell that is still starting times the call out; it answers later.
    if (m_pendingIcons.empty()) {
        m_retriesLeft = kIconRetries;
        SetTimer(GetHwnd(), TIMER_TRAY_ICON_RETRY, kIconRetryMs, nullptr);
    }
    m_pendingIcons.insert(iconId);
}

void CTrayIcons::RetryPendingIcons()
{
    for (auto it = m_pendingIcons.begin(); it != m_pendingIcons.end();) {
        const int position = FindEntryByIconId(*it);
        if (position < 0 || NotifyAdd(m_list.Entry(position)))
            it = m_pendingIcons.erase(it);
        else
            ++it;
    }
    if (!m_pendingIcons.empty() && --m_retriesLeft > 0)
        return;
    KillTimer(GetHwnd(), TIMER_TRAY_ICON_RETRY);
    for (UINT iconId : m_pendingIcons) {
        const int position = FindEntryByIconId(iconId);
        const std::string text = "Cannot add the custom tray icon \"" +
            (position >= 0 ? m_list.Entry(position).tipText : "") + "\"";
        LogWarning(text.c_str());
    }
    m_pendingIcons.clear();
}

int CTrayIcons::FindEntryByIconId(UINT iconId) const
{
    if (iconId == 0)
        return -1;
    for (int i = 0; i < m_list.Count(); ++i) {
        if (m_list.Entry(i).iconId == iconId)
            return i;
    }
    return -1;
}

// ---- The menus ----

UINT CTrayIcons::TakeCommandId()
{
    for (size_t i = 0; i < m_commandIds.size(); ++i) {
        if (!m_commandIds[i]) {
            m_commandIds[i] = true;
            return ID_TRAY_MENU_FIRST + static_cast<UINT>(i);
        }
    }
    return 0;
}

void CTrayIcons::GiveBackCommandId(UINT id)
{
    if (id >= ID_TRAY_MENU_FIRST && id < ID_TRAY_MENU_END)
        m_commandIds[id - ID_TRAY_MENU_FIRST] = false;
}

void CTrayIcons::BuildMenu(TrayIconEntry& entry)
{
    ClearMenu(entry);
    for (TrayMenuItem& item : entry.items) {
        if (item.kind == kTrayItemSeparator)
            entry.runTime->menu.AppendSeparator();
        else
            BuildItem(entry, item);
    }
}

void CTrayIcons::ClearMenu(TrayIconEntry& entry)
{
    if (entry.runTime)
        entry.runTime->menu.RemoveAllItems();
    for (TrayMenuItem& item : entry.items) {
        GiveBackCommandId(item.commandId);
        item.commandId = 0;
    }
}

void CTrayIcons::BuildItem(TrayIconEntry& entry, TrayMenuItem& item)
{
    item.target = item.path;
    item.arguments.clear();
    item.workingFolder.clear();
    item.showCommand = SW_SHOWNORMAL;
    ScopedIcon picture;
    if (item.kind == kTrayItemProgram) {
        ShortcutTarget link;
        if (ResolveShortcut(item.path, &link)) {
            // A link to something that is no file (a printer, a page of the
            // control panel) is opened as the link itself.
            if (!link.target.empty()) {
                item.target = link.target;
                item.arguments = link.arguments;
                item.workingFolder = link.workingFolder;
            }
            item.showCommand = link.showCommand;
            picture = SmallIconFor(link.iconLocation, link.iconIndex);
        } else {
            picture = SmallIconFor(item.path, 0);
        }
    } else if (item.kind == kTrayItemFolder) {
        picture = ScopedIcon::Borrow(m_folderIcon.Get());
    }
    const UINT id = TakeCommandId();
    if (id == 0) {
        const std::string text = "No more menu command ids: item \"" + item.label + "\" of tray icon \"" +
            entry.tipText + "\" not added";
        LogWarning(text.c_str());
        return;
    }
    if (!entry.runTime->menu.AppendIconItem(0, id, item.label.c_str(), std::move(picture))) {
        GiveBackCommandId(id);
        const std::string text = "Cannot add the menu item \"" + item.label + "\" to a tray icon's menu";
        LogWarning(text.c_str());
        return;
    }
    item.commandId = id;
}

HWND CTrayIcons::MenuOwner() const
{
    const HWND main = m_host.OwnerWindow();
    return main ? main : GetHwnd();
}

void CTrayIcons::OnTrayNotify(UINT iconId, UINT mouseMessage)
{
    if (mouseMessage != WM_RBUTTONUP && mouseMessage != WM_LBUTTONDBLCLK)
        return;
    if (HWND main = m_host.OwnerWindow()) {
        SetActiveWindow(main);
        SetFocus(main);
    }
    const int position = FindEntryByIconId(iconId);
    if (position < 0)
        return;
    const TrayIconEntry& entry = m_list.Entry(position);
    // The default item's place in the menu as built: separators count,
    // items left out of it do not.
    int defaultPosition = -1;
    int menuPosition = 0;
    for (const TrayMenuItem& item : entry.items) {
        if (item.kind != kTrayItemSeparator && item.commandId == 0)
            continue;
        if (item.isDefault && item.kind != kTrayItemSeparator) {
            defaultPosition = menuPosition;
            break;
        }
        ++menuPosition;
    }
    // The menu may be rebuilt by what runs while it is open; it stays alive here.
    const std::shared_ptr<TrayEntryRunTime> runTime = entry.runTime;
    if (!runTime)
        return;
    UINT id = 0;
    if (mouseMessage == WM_RBUTTONUP) {
        runTime->menu.SetDefaultItemByPosition(defaultPosition);
        POINT cursor = {};
        GetCursorPos(&cursor);
        // The menu closes when the user clicks elsewhere only if its owner is
        // the foreground window. A message-only window is outside the
        // desktop's windows and their z-order: Wine lets it become the
        // foreground window (measured), Windows does not promise it. So the
        // program's main window owns the menu, and TPM_RETURNCMD brings the
        // choice back here instead of to the main window's commands; this
        // window serves only when there is no main window.
        id = runTime->menu.TrackPopup(MenuOwner(), cursor, TPM_RIGHTBUTTON | TPM_RETURNCMD);
    } else if (defaultPosition >= 0) {
        id = runTime->menu.GetItemId(defaultPosition);
    }
    if (id != 0)
        RunMenuCommand(id);
}

bool CTrayIcons::FindMenuCommand(UINT id, int* entry, int* item) const
{
    for (int i = 0; i < m_list.Count(); ++i) {
        const std::vector<TrayMenuItem>& items = m_list.Entry(i).items;
        for (size_t j = 0; j < items.size(); ++j) {
            if (items[j].commandId == id && items[j].kind != kTrayItemSeparator) {
                *entry = i;
                *item = static_cast<int>(j);
                return true;
            }
        }
    }
    return false;
}

void CTrayIcons::RunMenuCommand(UINT id)
{
    int entry = -1;
    int position = -1;
    if (id == 0 || !FindMenuCommand(id, &entry, &position))
        return;
    // A copy: what runs may change the list.
    const TrayMenuItem item = m_list.Entry(entry).items[static_cast<size_t>(position)];
    if (item.kind == kTrayItemProgram || item.kind == kTrayItemFolder)
        OpenItem(item);
    else if (item.kind == kTrayItemSystemCommand)
        RunSystemCommand(entry, item.command);
}

void CTrayIcons::OpenItem(const TrayMenuItem& item)
{
    const std::string folder = FolderOf(item.target);
    if (!folder.empty())
        SetCurrentDirectoryA(folder.c_str());
    const INT_PTR result = reinterpret_cast<INT_PTR>(ShellExecuteA(GetDesktopWindow(), "open", item.target.c_str(),
                                                                   item.arguments.c_str(), item.workingFolder.c_str(),
                                                                   item.showCommand));
    if (!m_startFolder.empty())
        SetCurrentDirectoryA(m_startFolder.c_str());
    if (result > 32)
        return;
    const std::string text = "Error executing " + item.target + ".\n" +
        ShellExecuteErrorText(static_cast<int>(result)) + ".";
    m_messageBox(m_host.OwnerWindow(), text.c_str(), kProgramCaption, MB_OK);
}

void CTrayIcons::RunSystemCommand(int entry, TraySystemCommand command)
{
    switch (command) {
    case kTrayStandBy: {
        // The system refuses to suspend a process without the privilege.
        if (const DWORD error = m_system->EnableShutdownPrivilege()) {
            const std::string text = "Cannot enable the shutdown privilege: " + SystemErrorText(error);
            LogWarning(text.c_str());
            return;
        }
        OpenWaitWindow("Please wait...");
        DWORD error = m_system->SetPowerState(true, false);
        if (error)
            error = m_system->SetPowerState(false, false);
        CloseWaitWindow();
        if (error)
            ReportSystemError("The computer cannot stand by.", error);
        break;
    }
    case kTrayShutDown:
    case kTrayRestart: {
        const bool restart = command == kTrayRestart;
        if (const DWORD error = m_system->EnableShutdownPrivilege()) {
            const std::string text = "Cannot enable the shutdown privilege: " + SystemErrorText(error);
            LogWarning(text.c_str());
            return;
        }
        OpenWaitWindow(restart ? "Please wait while Windows restarts..." : "Please wait while Windows shuts down...");
        if (const DWORD error = m_system->EndSession(restart ? EWX_REBOOT : EWX_SHUTDOWN)) {
            CloseWaitWindow();
            ReportSystemError(restart ? "Windows cannot restart." : "Windows cannot shut down.", error);
        }
        break;
    }
    case kTrayLogOff: {
        OpenWaitWindow("Please wait while Windows logs off...");
        const DWORD error = m_system->EndSession(EWX_LOGOFF);
        CloseWaitWindow();
        if (error)
            ReportSystemError("Windows cannot log off.", error);
        break;
    }
    case kTrayRemoveFromTray: RemoveTrayIcon(entry); break;
    case kTrayScreenSaver:
        if (m_system->ScreenSaverChosen())
            m_system->StartScreenSaver(MenuOwner());
        else
            m_messageBox(m_host.OwnerWindow(), kNoScreenSaverText, kProgramCaption, MB_OK | MB_ICONINFORMATION);
        break;
    case kTrayToggleHideIcons: ToggleHideIcons(); break;
    default: break;
    }
}

void CTrayIcons::ToggleHideIcons()
{
    const bool on = m_host.Settings().hideEnabled == 0;
    if (m_iconFeatures) {
        m_iconFeatures->SetHideEnabled(on);
        return;
    }
    SettingsBlock settings = m_host.Settings();
    settings.hideEnabled = on ? 1 : 0;
    m_host.ApplySettings(settings);
}

void CTrayIcons::OpenWaitWindow(const char* text)
{
    CloseWaitWindow();
    auto window = std::make_unique<CWaitDlg>(text);
    if (window->Open(m_host.OwnerWindow()))
        m_waitWindow = std::move(window);
}

void CTrayIcons::CloseWaitWindow()
{
    if (m_waitWindow)
        m_waitWindow->Close();
    m_waitWindow.reset();
}

void CTrayIcons::ReportSystemError(const char* what, DWORD error)
{
    const std::string text = std::string(what) + "\n" + SystemErrorText(error);
    m_messageBox(m_host.OwnerWindow(), text.c_str(), "Error", MB_OK | MB_ICONWARNING);
}
