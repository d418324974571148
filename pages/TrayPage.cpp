#include "pages/TrayPage.h"

#include "common/AppMessages.h"
#include "common/Log.h"
#include "common/Utf8.h"
#include "framework/ErrorReport.h"
#include "framework/ProcessPaths.h"
#include "icons/IconFeatures.h"
#include "pages/MainSheet.h"
#include "pages/PageHelp.h"
#include "pages/PageHost.h"
#include "pages/TrayResource.h"
#include "settings/SettingsStore.h"
#include "tray/ShortcutTarget.h"
#include "tray/TrayEntryRunTime.h"
#include "tray/TrayMenuDlg.h"
#include "tray/TrayIconDlg.h"
#include "tray/TrayPictures.h"
#include "tray/WaitDlg.h"

#include <shellapi.h>

#include <cstdio>

namespace {

const char kTrayEnabled[] = "Property Tray Enabled";
const char kProgramCaption[] = "Dervane";
constexpr int kIconRetries = 5;
constexpr UINT kIconRetryMs = 2000;

CFeaturePage::PageArgs TrayPageArgs()
{
    CFeaturePage::PageArgs args;
    args.templateId = IDD_TRAY;
    args.buttons.ok = IDC_TRAY_OK;
    args.buttons.cancel = IDC_TRAY_CANCEL;
    args.buttons.apply = IDC_TRAY_APPLY;
    args.picture = IDB_TRAY;
    args.lowColourPicture = IDB_TRAY_16;
    args.picturePlace = IDC_TRAY_PICTURE;
    return args;
}

ScopedIcon LoadProgramIcon16(UINT id)
{
    return ScopedIcon(
        static_cast<HICON>(LoadImageA(CWindow::GetModule(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0)));
}

}  // namespace

CTrayPage::CTrayPage(IPageHost& host, CMainSheet& sheet, std::unique_ptr<ISystemCommands> system)
    : CFeaturePage(TrayPageArgs(), host), m_sheet(sheet), m_system(std::move(system)), m_startFolder(CurrentFolder()),
      m_defaultIcon(LoadProgramIcon16(IDI_TRAY_ENTRY_DEFAULT)), m_folderIcon(LoadProgramIcon16(IDI_TRAY_MENU_FOLDER)),
      m_iconSlots(kCustomTrayIconLimit), m_commandIds(ID_TRAY_MENU_END - ID_TRAY_MENU_FIRST)
{
}

CTrayPage::~CTrayPage()
{
    if (IsAlive())
        HideTrayIcons();
    CloseWaitWindow();
}

std::string CTrayPage::ListFile() const
{
    return Host().ProgramFolder() + "\\TrayIcons.txt";
}

// ---- The list and the setting ----

void CTrayPage::LoadAndStart()
{
    LoadTrayIcons();
    const PropertyValue* value = FindPropertyValue(kTrayEnabled);
    uint8_t bytes[kMaxPropertySize] = {1};
    if (value)
        Host().Store().ReadProperty(*value, bytes);
    m_trayEnabled = bytes[0] != 0;
    StartIcons();
}

void CTrayPage::LoadTrayIcons()
{
    if (m_shown)
        HideTrayIcons();
    m_list.ReadFile(ListFile());
    for (TrayIconEntry& entry : m_list.Entries()) {
        entry.iconId = 0;
        entry.runTime = std::make_shared<TrayEntryRunTime>();
        entry.runTime->icon = FindTrayPicture(entry.iconFile, entry.iconIndex, &entry.iconKind);
    }
    m_loaded = true;
    if (GetHwnd())
        FillList();
}

bool CTrayPage::SaveTrayIcons()
{
    return m_list.WriteFile(ListFile()) != CTrayIconList::SaveResult::kFailed;
}

void CTrayPage::ShutDown()
{
    KillTimer(GetHwnd(), TIMER_TRAY_ICON_RETRY);
    HideTrayIcons();
    CloseWaitWindow();
    SaveTrayIcons();
}

// ---- The page ----

bool CTrayPage::OnActivate()
{
    CheckItem(IDC_TRAY_ENABLED, m_trayEnabled);
    HWND list = GetItem(IDC_TRAY_LIST);
    if (!m_listImages && list) {
        m_listImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8);
        ListView_SetImageList(list, m_listImages, LVSIL_SMALL);
    }
    m_selection = -1;
    FillList();
    if (m_firstActivation) {
        m_firstActivation = false;
        StartIcons();
    }
    return true;
}

void CTrayPage::FillList()
{
    HWND list = GetItem(IDC_TRAY_LIST);
    if (!list || !m_listImages)
        return;
    m_filling = true;
    ImageList_RemoveAll(m_listImages);
    ListView_DeleteAllItems(list);
    const int defaultImage = m_defaultIcon ? ImageList_AddIcon(m_listImages, m_defaultIcon.Get()) : -1;
    for (int i = 0; i < m_list.Count(); ++i) {
        const TrayIconEntry& entry = m_list.Entry(i);
        int image = defaultImage;
        if (entry.runTime && entry.runTime->icon) {
            const int added = ImageList_AddIcon(m_listImages, entry.runTime->icon.Get());
            if (added >= 0)
                image = added;
        }
        LVITEMA row = {};
        row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        row.iItem = i;
        row.pszText = const_cast<char*>(entry.tipText.c_str());
        row.iImage = image;
        row.lParam = i;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
    }
    if (m_selection >= m_list.Count())
        m_selection = -1;
    if (m_selection >= 0)
        ListView_SetItemState(list, m_selection, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_filling = false;
    ShowSelection();
}

void CTrayPage::ShowSelection()
{
    if (m_selection < 0) {
        ResetEditState();
    } else {
        const TrayIconEntry& entry = m_list.Entry(m_selection);
        SetItemText(IDC_TRAY_TIP, entry.tipText.c_str());
        m_editIconFile = entry.iconFile;
        m_editIconIndex = entry.iconIndex;
        m_editIconKind = entry.iconKind;
        const bool hasPicture = entry.runTime && entry.runTime->icon;
        ShowButtonPicture(hasPicture ? entry.runTime->icon.Get() : m_defaultIcon.Get());
    }
    UpdateButtons();
}

void CTrayPage::ResetEditState()
{
    SetItemText(IDC_TRAY_TIP, "");
    m_editIconKind = kIconSourceGroup;
    m_editIconIndex = 0;
    m_editIconFile = Host().ProgramFolder() + "\\TrayIcons.dll";
    ShowButtonPicture(nullptr);
}

void CTrayPage::ShowButtonPicture(HICON picture)
{
    ScopedBitmap colour;
    if (picture) {
        ICONINFO info = {};
        if (GetIconInfo(picture, &info)) {
            // Both bitmaps are the caller's: the mask goes at once, the
            // colour bitmap when the button shows another.
            colour.Reset(info.hbmColor);
            const ScopedBitmap mask(info.hbmMask);
        }
    }
    SendDlgItemMessageA(GetHwnd(), IDC_TRAY_ICON, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(colour.Get()));
    m_buttonPicture = std::move(colour);
}

void CTrayPage::ChoosePicture()
{
    TrayIconChoice choice;
    choice.kind = m_editIconKind;
    choice.index = m_editIconIndex;
    choice.file = m_editIconFile;
    CTrayIconDlg picker(GetHwnd(), choice, Host().ProgramFolder() + "\\TrayIcons.dll");
    picker.SetContextHelp(&HandleContextHelp);
    if (picker.Run() != IDOK)
        return;
    m_editIconKind = choice.kind;
    m_editIconIndex = choice.index;
    m_editIconFile = choice.file;
    if (m_editIconKind == kIconSourceNone) {
        // No picture is kept as no file: read back, a file with the index
        // -1 would give its first picture instead of the default one.
        m_editIconFile.clear();
        ShowButtonPicture(nullptr);
        return;
    }
    const ScopedIcon picture = MakeEditPicture();
    ShowButtonPicture(picture ? picture.Get() : m_defaultIcon.Get());
}

void CTrayPage::UpdateButtons()
{
    const bool hasTip = GetWindowTextLengthA(GetItem(IDC_TRAY_TIP)) > 0;
    const bool selected = m_selection >= 0;
    EnableItem(IDC_TRAY_ADD, hasTip);
    EnableItem(IDC_TRAY_REPLACE, selected);
    EnableItem(IDC_TRAY_DELETE, selected);
    EnableItem(IDC_TRAY_UP, m_selection >= 1);
    EnableItem(IDC_TRAY_DOWN, selected && m_selection < m_list.Count() - 1);
}

ScopedIcon CTrayPage::MakeEditPicture() const
{
    if (m_editIconKind == kIconSourceFile)
        return LoadIconFile16(m_editIconFile);
    if (m_editIconKind == kIconSourceGroup)
        return LoadGroupIcon(m_editIconFile, m_editIconIndex);
    return ScopedIcon();
}

bool CTrayPage::ReadTip(std::string* tip)
{
    *tip = GetItemText(IDC_TRAY_TIP);
    std::string text;
    if (const char* problem = CTrayIconList::FieldProblem(*tip))
        text = std::string("The tip ") + problem + ": the tray icon is not changed.";
    else if (const char* fileProblem = CTrayIconList::FieldProblem(m_editIconFile))
        text = std::string("The picture's file name ") + fileProblem + ": the tray icon is not changed.";
    else
        return !tip->empty();
    m_messageBox(GetHwnd(), text.c_str(), kProgramCaption, MB_OK | MB_ICONWARNING);
    return false;
}

void CTrayPage::ModifyIcon(const TrayIconEntry& entry)
{
    if (!m_shown || entry.iconId == 0)
        return;
    NOTIFYICONDATAW record = IconRecord(entry, NIF_ICON | NIF_TIP);
    m_notify(NIM_MODIFY, &record);
}

void CTrayPage::SaveEdit()
{
    m_list.SetChanged(true);
    if (SaveTrayIcons())
        return;
    m_messageBox(GetHwnd(), "Cannot write TrayIcons.txt. The change is kept and is written again with the next change.",
                 kProgramCaption, MB_OK | MB_ICONWARNING);
}

void CTrayPage::AddEntry()
{
    std::string tip;
    if (!ReadTip(&tip))
        return;
    TrayIconEntry entry;
    entry.tipText = tip;
    entry.iconKind = m_editIconKind;
    entry.iconIndex = m_editIconIndex;
    entry.iconFile = m_editIconFile;
    entry.items = m_pendingItems;
    entry.runTime = std::make_shared<TrayEntryRunTime>();
    entry.runTime->icon = MakeEditPicture();
    m_list.Append(std::move(entry));
    if (m_shown)
        AddTrayIcon(m_list.Count() - 1);
    m_selection = -1;
    FillList();
    SaveEdit();
}

void CTrayPage::ReplaceEntry()
{
    std::string tip;
    if (m_selection < 0 || !ReadTip(&tip))
        return;
    TrayIconEntry& entry = m_list.Entry(m_selection);
    entry.tipText = tip;
    entry.iconKind = m_editIconKind;
    entry.iconIndex = m_editIconIndex;
    entry.iconFile = m_editIconFile;
    if (!entry.runTime)
        entry.runTime = std::make_shared<TrayEntryRunTime>();
    entry.runTime->icon = MakeEditPicture();
    ModifyIcon(entry);
    FillList();
    SaveEdit();
}

void CTrayPage::DeleteEntry()
{
    if (m_messageBox(GetHwnd(), "Are you sure you want to delete this tray icon?", "Confirm",
                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDNO ||
        m_selection < 0)
        return;
    RemoveTrayIcon(m_selection);
    m_list.RemoveAt(m_selection);
    m_selection = -1;
    FillList();
    SaveEdit();
}

void CTrayPage::MoveEntry(int from, int to)
{
    if (from < 0 || to < 0 || from >= m_list.Count() || to >= m_list.Count())
        return;
    m_list.SwapWithNext(from < to ? from : to);
    // Each icon keeps its place in the notification area and shows the
    // entry that has taken its place in the list.
    std::swap(m_list.Entry(from).iconId, m_list.Entry(to).iconId);
    ModifyIcon(m_list.Entry(from));
    ModifyIcon(m_list.Entry(to));
    m_selection = to;
    FillList();
    SaveEdit();
}

void CTrayPage::EditMenu()
{
    const int position = m_selection;
    std::vector<TrayMenuItem> items;
    if (position >= 0)
        items = m_list.Entry(position).items;
    else
        m_pendingItems.clear();
    CTrayMenuDlg dialog(GetHwnd(), items);
    dialog.SetMessageBox(m_messageBox);
    dialog.SetContextHelp(&HandleContextHelp);
    if (dialog.Run() != IDOK)
        return;
    // The editor copied the items with the ids of the menu as built; the
    // menu gives those back before the items change.
    for (TrayMenuItem& item : items)
        item.commandId = 0;
    if (position < 0) {
        m_pendingItems = std::move(items);
        return;
    }
    if (position >= m_list.Count())
        return;
    TrayIconEntry& entry = m_list.Entry(position);
    ClearMenu(entry);
    entry.items = std::move(items);
    // A hidden icon gets its menu when it is shown again.
    if (entry.iconId != 0)
        BuildMenu(entry);
    SaveEdit();
}

int CTrayPage::OnApply()
{
    SetModified(false);
    const bool wasEnabled = m_trayEnabled;
    m_trayEnabled = IsItemChecked(IDC_TRAY_ENABLED);
    const uint8_t stored = m_trayEnabled ? 1 : 0;
    Host().Store().WriteBinary(kTrayEnabled, &stored, 1);
    if (wasEnabled && !m_trayEnabled)
        HideTrayIcons();
    else if (!wasEnabled && m_trayEnabled && Host().Settings().enabled)
        ShowTrayIcons();
    return 1;
}

int CTrayPage::OnCommand(UINT id, UINT code, HWND control)
{
    if (id == IDC_TRAY_ENABLED) {
        if (code == BN_CLICKED)
            SetModified(true);
        return 1;
    }
    if (id == IDC_TRAY_TIP) {
        if (code == EN_CHANGE)
            UpdateButtons();
        return 1;
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_TRAY_ADD: AddEntry(); return 1;
        case IDC_TRAY_REPLACE: ReplaceEntry(); return 1;
        case IDC_TRAY_DELETE: DeleteEntry(); return 1;
        case IDC_TRAY_UP: MoveEntry(m_selection, m_selection - 1); return 1;
        case IDC_TRAY_DOWN: MoveEntry(m_selection, m_selection + 1); return 1;
        case IDC_TRAY_MENU: EditMenu(); return 1;
        case IDC_TRAY_ICON: ChoosePicture(); return 1;
        default: break;
        }
    }
    return CFeaturePage::OnCommand(id, code, control);
}

int CTrayPage::OnNotify(const NMHDR& header, LRESULT& result)
{
    if (header.idFrom != IDC_TRAY_LIST || header.code != LVN_ITEMCHANGED)
        return CFeaturePage::OnNotify(header, result);
    const NMLISTVIEW& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (m_filling || !(change.uChanged & LVIF_STATE) || change.iItem < 0)
        return 1;
    const bool was = (change.uOldState & LVIS_SELECTED) != 0;
    const bool now = (change.uNewState & LVIS_SELECTED) != 0;
    if (now && !was && change.iItem != m_selection) {
        m_selection = change.iItem;
        ShowSelection();
    } else if (was && !now && change.iItem == m_selection) {
        m_selection = -1;
        ShowSelection();
    }
    return 1;
}

int CTrayPage::OnTimer(UINT_PTR id)
{
    if (id != TIMER_TRAY_ICON_RETRY)
        return CFeaturePage::OnTimer(id);
    RetryPendingIcons();
    return 1;
}

INT_PTR CTrayPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DESTROY) {
        // The icons name this window: they cannot outlive it.
        HideTrayIcons();
        CloseWaitWindow();
        ShowButtonPicture(nullptr);
    }
    if (msg >= WMAPP_CUSTOM_TRAY_FIRST && msg < WMAPP_CUSTOM_TRAY_FIRST + kCustomTrayIconLimit) {
        OnTrayNotify(static_cast<UINT>(wp), LOWORD(lp));
        return TRUE;
    }
    // A control's notification or an accelerator may carry an id of the
    // range too; only a menu's choice runs an item.
    if (msg == WM_COMMAND && lp == 0 && HIWORD(wp) == 0 && LOWORD(wp) >= ID_TRAY_MENU_FIRST &&
        LOWORD(wp) < ID_TRAY_MENU_END) {
        RunMenuCommand(LOWORD(wp));
        return TRUE;
    }
    return CFeaturePage::DialogProc(msg, wp, lp);
}

// ---- The icons in the notification area ----

bool CTrayPage::ShowsIcons() const
{
    return m_trayEnabled && Host().Settings().enabled;
}

void CTrayPage::StartIcons()
{
    if (!m_startPending || !m_loaded || m_firstActivation)
        return;
    m_startPending = false;
    if (ShowsIcons())
        ShowTrayIcons();
}

void CTrayPage::EnableTrayIcons(bool on)
{
    if (!on)
        HideTrayIcons();
    else if (m_trayEnabled && !m_startPending)
        ShowTrayIcons();
}

void CTrayPage::ShowTrayIcons()
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

void CTrayPage::HideTrayIcons()
{
    for (int i = 0; i < m_list.Count(); ++i)
        RemoveTrayIcon(i);
    m_shown = false;
    m_pendingIcons.clear();
    if (GetHwnd())
        KillTimer(GetHwnd(), TIMER_TRAY_ICON_RETRY);
}

bool CTrayPage::AddTrayIcon(int position)
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

bool CTrayPage::AddIcon(int position)
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

void CTrayPage::RemoveTrayIcon(int position)
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

NOTIFYICONDATAW CTrayPage::IconRecord(const TrayIconEntry& entry, UINT flags) const
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

bool CTrayPage::NotifyAdd(const TrayIconEntry& entry)
{
    NOTIFYICONDATAW record = IconRecord(entry, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    if (m_notify(NIM_ADD, &record))
        return true;
    // An icon the shell still has (a "TaskbarCreated" without a restart)
    // cannot be added twice, but it can be changed.
    return m_notify(NIM_MODIFY, &record) != FALSE;
}

void CTrayPage::RetryLater(UINT iconId)
{
    // A shell that is still starting times the call out; it answers later.
    if (m_pendingIcons.empty()) {
        m_retriesLeft = kIconRetries;
        SetTimer(GetHwnd(), TIMER_TRAY_ICON_RETRY, kIconRetryMs, nullptr);
    }
    m_pendingIcons.insert(iconId);
}

void CTrayPage::RetryPendingIcons()
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

void CTrayPage::OnTaskbarCreated()
{
    for (const TrayIconEntry& entry : m_list.Entries()) {
        if (entry.iconId != 0 && !NotifyAdd(entry))
            RetryLater(entry.iconId);
    }
}

int CTrayPage::FindEntryByIconId(UINT iconId) const
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

UINT CTrayPage::TakeCommandId()
{
    for (size_t i = 0; i < m_commandIds.size(); ++i) {
        if (!m_commandIds[i]) {
            m_commandIds[i] = true;
            return ID_TRAY_MENU_FIRST + static_cast<UINT>(i);
        }
    }
    return 0;
}

void CTrayPage::GiveBackCommandId(UINT id)
{
    if (id >= ID_TRAY_MENU_FIRST && id < ID_TRAY_MENU_END)
        m_commandIds[id - ID_TRAY_MENU_FIRST] = false;
}

void CTrayPage::BuildMenu(TrayIconEntry& entry)
{
    ClearMenu(entry);
    for (TrayMenuItem& item : entry.items) {
        if (item.kind == kTrayItemSeparator)
            entry.runTime->menu.AppendSeparator();
        else
            BuildItem(entry, item);
    }
}

void CTrayPage::ClearMenu(TrayIconEntry& entry)
{
    if (entry.runTime)
        entry.runTime->menu.RemoveAllItems();
    for (TrayMenuItem& item : entry.items) {
        GiveBackCommandId(item.commandId);
        item.commandId = 0;
    }
}

void CTrayPage::BuildItem(TrayIconEntry& entry, TrayMenuItem& item)
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

void CTrayPage::OnTrayNotify(UINT iconId, UINT mouseMessage)
{
    if (mouseMessage != WM_RBUTTONUP && mouseMessage != WM_LBUTTONDBLCLK)
        return;
    if (HWND main = Host().OwnerWindow()) {
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
    if (mouseMessage == WM_RBUTTONUP) {
        runTime->menu.SetDefaultItemByPosition(defaultPosition);
        POINT cursor = {};
        GetCursorPos(&cursor);
        // TrackPopup makes the page's window the foreground window first, or
        // the menu would not close when the user clicks elsewhere, and posts
        // it a message afterwards so that the switch back happens at once.
        runTime->menu.TrackPopup(GetHwnd(), cursor, 0);
    } else if (defaultPosition >= 0) {
        const UINT id = runTime->menu.GetItemId(defaultPosition);
        if (id != 0)
            SendMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
}

bool CTrayPage::FindMenuCommand(UINT id, int* entry, int* item) const
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

void CTrayPage::RunMenuCommand(UINT id)
{
    int entry = -1;
    int position = -1;
    if (!FindMenuCommand(id, &entry, &position))
        return;
    // A copy: what runs may change the list.
    const TrayMenuItem item = m_list.Entry(entry).items[static_cast<size_t>(position)];
    if (item.kind == kTrayItemProgram || item.kind == kTrayItemFolder)
        OpenItem(item);
    else if (item.kind == kTrayItemSystemCommand)
        RunSystemCommand(entry, item.command);
}

void CTrayPage::OpenItem(const TrayMenuItem& item)
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
    m_messageBox(GetHwnd(), text.c_str(), kProgramCaption, MB_OK);
}

void CTrayPage::RunSystemCommand(int entry, TraySystemCommand command)
{
    switch (command) {
    case kTrayStandBy: {
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
        if (Host().Platform() == 2) {
            if (const DWORD error = m_system->EnableShutdownPrivilege()) {
                const std::string text = "Cannot enable the shutdown privilege: " + SystemErrorText(error);
                LogWarning(text.c_str());
                return;
            }
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
    case kTrayScreenSaver: m_system->StartScreenSaver(GetHwnd()); break;
    case kTrayToggleHideIcons: {
        const bool on = Host().Settings().hideEnabled == 0;
        if (IIconFeatures* icons = m_sheet.IconFeatures()) {
            icons->SetHideEnabled(on);
        } else {
            SettingsBlock settings = Host().Settings();
            settings.hideEnabled = on ? 1 : 0;
            Host().ApplySettings(settings);
        }
        break;
    }
    default: break;
    }
}

void CTrayPage::OpenWaitWindow(const char* text)
{
    CloseWaitWindow();
    auto window = std::make_unique<CWaitDlg>(text);
    if (window->Open(GetHwnd()))
        m_waitWindow = std::move(window);
}

void CTrayPage::CloseWaitWindow()
{
    if (m_waitWindow)
        m_waitWindow->Close();
    m_waitWindow.reset();
}

void CTrayPage::ReportSystemError(const char* what, DWORD error)
{
    const std::string text = std::string(what) + "\n" + SystemErrorText(error);
    m_messageBox(GetHwnd(), text.c_str(), "Error", MB_OK | MB_ICONWARNING);
}
