#include "pages/IconsPage.h"

#include "framework/CommonDialogs.h"
#include "framework/WaitCursor.h"
#include "pages/HideIconsDialog.h"
#include "pages/IconsResource.h"
#include "icons/LayoutNames.h"
#include "pages/PageHost.h"
#include "pages/PageSupport.h"
#include "settings/SettingsStore.h"

#include <vector>

namespace {

const char* const kStyleNames[] = {"Large Icons", "Small Icons"};

// The colour dialog's sixteen custom colours, kept while the program runs.
COLORREF g_customColours[16] = {};

bool ChooseColourWithDialog(HWND owner, COLORREF* colour)
{
    CHOOSECOLORA choose = {};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.rgbResult = *colour;
    choose.lpCustColors = g_customColours;
    choose.Flags = CC_ANYCOLOR | CC_RGBINIT;
    if (!ShowChooseColour(choose))
        return false;
    *colour = choose.rgbResult;
    return true;
}

CFeaturePage::PageArgs IconsPageArgs()
{
    CFeaturePage::PageArgs args;
    args.templateId = IDD_ICONS;
    args.buttons.ok = IDC_ICONS_OK;
    args.buttons.cancel = IDC_ICONS_CANCEL;
    args.buttons.apply = IDC_ICONS_APPLY;
    args.picture = IDB_ICONS;
    args.lowColourPicture = IDB_ICONS_16;
    args.picturePlace = IDC_ICONS_PICTURE;
    return args;
}

}  // namespace

CIconsPage::CIconsPage(IPageHost& host, CDesktopIcons& icons)
    : CFeaturePage(IconsPageArgs(), host), m_owner(icons), m_messageBox(&SystemMessageBox),
      m_chooseColour(&ChooseColourWithDialog)
{
    m_owner.SetChangeListener([this] { RefreshIconsPage(); });
}

CIconsPage::~CIconsPage()
{
    // The owner's questions go back to the program's main window.
    m_owner.SetMessageBox(nullptr, nullptr);
    m_owner.SetChangeListener(nullptr);
}

void CIconsPage::SetMessageBox(MessageBoxFn messageBox)
{
    m_messageBox = messageBox;
    m_owner.SetMessageBox(GetHwnd(), messageBox);
}

void CIconsPage::WriteIconSettings()
{
    m_owner.WriteIconSettings();
}

void CIconsPage::FillStyleList()
{
    if (SendItem(IDC_ICONS_STYLE, CB_GETCOUNT) == 2)
        return;
    SendItem(IDC_ICONS_STYLE, CB_RESETCONTENT);
    for (const char* name : kStyleNames)
        SendItem(IDC_ICONS_STYLE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
}

void CIconsPage::RefreshIconsPage()
{
    if (!GetHwnd())
        return;
    const SettingsBlock& settings = Host().Settings();
    FillStyleList();
    CheckItem(IDC_ICONS_HIDE, settings.hideEnabled != 0);
    CheckItem(IDC_ICONS_CLEAR, settings.textBackgroundOpaque == 0);
    SendItem(IDC_ICONS_STYLE, CB_SETCURSEL, settings.iconStyle);
    CheckItem(IDC_ICONS_ADJUST, settings.restoreOnRes != 0);
    CheckItem(IDC_ICONS_SNAPSHOTS, settings.keepSnapshots != 0);
    CheckItem(IDC_ICONS_SHIFTING, settings.adjustByPixel != 0);
    CheckItem(IDC_ICONS_POSITIONS, settings.listType == kPositionsLayout);
    CheckItem(IDC_ICONS_SHORTCUTS, settings.listType == kShortcutsLayout);
    ShowSwatch(IDC_ICONS_FOREGROUND, settings.textForeground);
    ShowSwatch(IDC_ICONS_BACKGROUND, settings.textBackground);
    ApplyEnablingRules();
    if (!m_owner.LoadedName().empty())
        SelectLayout(m_owner.LoadedType(), m_owner.LoadedName().c_str());
}

// The background colour means nothing on clear labels; the rules only
// while icons are hidden.
void CIconsPage::ApplyEnablingRules()
{
    const bool opaque = !IsItemChecked(IDC_ICONS_CLEAR);
    EnableItem(IDC_ICONS_BACKGROUND, opaque);
    EnableItem(IDC_ICONS_BACK_LABEL, opaque);
    EnableItem(IDC_ICONS_HIDE_RULES, IsItemChecked(IDC_ICONS_HIDE));
    // A layout kept for a screen size is put back only while icons follow the screen.
    EnableItem(IDC_ICONS_SNAPSHOTS, IsItemChecked(IDC_ICONS_ADJUST));
}

void CIconsPage::ShowSwatch(int id, COLORREF colour)
{
    SendItem(id, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(colour));
    if (HWND swatch = GetItem(id)) {
        InvalidateRect(swatch, nullptr, TRUE);
        UpdateWindow(swatch);
    }
}

void CIconsPage::ChooseSwatchColour(int id)
{
    const bool foreground = id == IDC_ICONS_FOREGROUND;
    COLORREF colour = foreground ? Host().Settings().textForeground : Host().Settings().textBackground;
    if (!m_chooseColour(GetHwnd(), &colour))
        return;
    // Kept at once; sent and stored with the next Apply. The settings are
    // taken after the dialog, which may have let a loaded layout change them.
    SettingsBlock settings = Host().Settings();
    (foreground ? settings.textForeground : settings.textBackground) = colour;
    Host().KeepSettings(settings);
    SetModified(true);
    ShowSwatch(id, colour);
}

bool CIconsPage::OnActivate()
{
    // The layout manager's questions belong to the page while it is open.
    m_owner.SetMessageBox(GetHwnd(), m_messageBox);
    FillLayoutList();
    RefreshIconsPage();
    return true;
}

int CIconsPage::OnApply()
{
    SetModified(false);
    SettingsBlock settings = Host().Settings();
    settings.hideEnabled = IsItemChecked(IDC_ICONS_HIDE) ? 1 : 0;
    settings.textBackgroundOpaque = IsItemChecked(IDC_ICONS_CLEAR) ? 0 : 1;
    const LRESULT style = SendItem(IDC_ICONS_STYLE, CB_GETCURSEL);
    if (style != CB_ERR)
        settings.iconStyle = static_cast<uint8_t>(style);
    settings.restoreOnRes = IsItemChecked(IDC_ICONS_ADJUST) ? 1 : 0;
    settings.keepSnapshots = IsItemChecked(IDC_ICONS_SNAPSHOTS) ? 1 : 0;
    settings.adjustByPixel = IsItemChecked(IDC_ICONS_SHIFTING) ? 1 : 0;
    settings.listType = IsItemChecked(IDC_ICONS_POSITIONS) ? kPositionsLayout : kShortcutsLayout;
    Host().ApplySettings(settings);
    WriteIconSettings();
    return 1;
}

void CIconsPage::OnOpenHideRules()
{
    if (m_hideDialogOpen)
        return;
    m_hideDialogOpen = true;
    // Owned by the sheet, which stays disabled while the rules are edited.
    CHideIconsDialog dialog(m_owner);
    dialog.SetMessageBox(m_messageBox);
    dialog.DoModal(GetHwnd());
    m_hideDialogOpen = false;
}

int CIconsPage::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_ICONS_HIDE:
    case IDC_ICONS_CLEAR:
    case IDC_ICONS_ADJUST:
    case IDC_ICONS_SNAPSHOTS:
    case IDC_ICONS_SHIFTING:
        if (code == BN_CLICKED) {
            SetModified(true);
            ApplyEnablingRules();
        }
        return 1;
    case IDC_ICONS_STYLE:
        if (code == CBN_SELCHANGE) {
            const LRESULT style = SendItem(IDC_ICONS_STYLE, CB_GETCURSEL);
            if (style != CB_ERR && style != Host().Settings().iconStyle)
                SetModified(true);
        }
        return 1;
    case IDC_ICONS_HIDE_RULES:
        if (code == BN_CLICKED)
            OnOpenHideRules();
        return 1;
    default:
        if (OnLayoutCommand(id, code))
            return 1;
        return CFeaturePage::OnCommand(id, code, control);
    }
}

int CIconsPage::OnNotify(const NMHDR& header, LRESULT& result)
{
    const bool swatch = header.idFrom == IDC_ICONS_FOREGROUND || header.idFrom == IDC_ICONS_BACKGROUND;
    if (swatch && (header.code == NM_CLICK || header.code == NM_DBLCLK || header.code == NM_RETURN)) {
        ChooseSwatchColour(static_cast<int>(header.idFrom));
        result = 0;
        return 1;
    }
    return CFeaturePage::OnNotify(header, result);
}

// ---- The "Layouts" group ----

int CIconsPage::LoadLayout(const char* name, int type, bool silent)
{
    std::unique_ptr<CWaitCursor> wait(IsVisible() ? new CWaitCursor() : nullptr);
    return m_owner.Layouts().LoadLayout(name ? name : "", type, silent);
}

void CIconsPage::FillLayoutList()
{
    if (!GetHwnd())
        return;
    SendItem(IDC_ICONS_LAYOUT_LIST, LB_RESETCONTENT);
    for (const std::string& title : m_owner.Layouts().Folder().ListTitles(Host().Settings().listType))
        SendItem(IDC_ICONS_LAYOUT_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    SendItem(IDC_ICONS_LAYOUT_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1));
    for (int id : {IDC_ICONS_LOAD, IDC_ICONS_DELETE, IDC_ICONS_RENAME, IDC_ICONS_ICONIFY})
        EnableItem(id, false);
    // With nothing selected there is nothing to unload.
    SetItemText(IDC_ICONS_LOAD, "L&oad");
    SetItemText(IDC_ICONS_LAYOUT_NAME, "");
}

void CIconsPage::SetListType(int type)
{
    SettingsBlock settings = Host().Settings();
    settings.listType = static_cast<uint8_t>(type);
    Host().KeepSettings(settings);
    CheckItem(IDC_ICONS_POSITIONS, type == kPositionsLayout);
    CheckItem(IDC_ICONS_SHORTCUTS, type == kShortcutsLayout);
    FillLayoutList();
}

void CIconsPage::SelectLayout(int type, const char* name)
{
    if (type != kPositionsLayout && type != kShortcutsLayout)
        return;
    SetListType(type);
    // The list shows titles: the name without the extension it was given.
    const std::string title = LayoutTitle(name ? name : "");
    const LRESULT index = SendItem(IDC_ICONS_LAYOUT_LIST, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(title.c_str()));
    if (index == LB_ERR)
        return;
    SendItem(IDC_ICONS_LAYOUT_LIST, LB_SETCURSEL, static_cast<WPARAM>(index));
    OnLayoutSelection();
}

std::string CIconsPage::SelectedLayoutTitle() const
{
    const LRESULT index = SendItem(IDC_ICONS_LAYOUT_LIST, LB_GETCURSEL);
    if (index == LB_ERR)
        return std::string();
    const LRESULT length = SendItem(IDC_ICONS_LAYOUT_LIST, LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    SendItem(IDC_ICONS_LAYOUT_LIST, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return std::string(text.data());
}

void CIconsPage::OnLayoutSelection()
{
    const std::string title = SelectedLayoutTitle();
    const bool selected = SendItem(IDC_ICONS_LAYOUT_LIST, LB_GETCURSEL) != LB_ERR;
    if (selected)
        SetItemText(IDC_ICONS_LAYOUT_NAME, title.c_str());
    for (int id : {IDC_ICONS_LOAD, IDC_ICONS_DELETE, IDC_ICONS_RENAME, IDC_ICONS_ICONIFY})
        EnableItem(id, selected);
    if (!selected || Host().Settings().listType != kShortcutsLayout)
        return;
    const int state = m_owner.Layouts().Folder().LoadedState(LayoutFileName(title));
    if (state == 1)
        SetItemText(IDC_ICONS_LOAD, "Unl&oad");
    else if (state == 0)
        SetItemText(IDC_ICONS_LOAD, "L&oad");
}

void CIconsPage::OnNameChange()
{
    const bool named = !GetItemText(IDC_ICONS_LAYOUT_NAME).empty();
    const bool selected = SendItem(IDC_ICONS_LAYOUT_LIST, LB_GETCURSEL) != LB_ERR;
    EnableItem(IDC_ICONS_LOAD, named);
    EnableItem(IDC_ICONS_DELETE, named);
    EnableItem(IDC_ICONS_RENAME, named && selected);
}

void CIconsPage::OnRename()
{
    const int type = Host().Settings().listType;
    const std::string newName = GetItemText(IDC_ICONS_LAYOUT_NAME);
    if (!m_owner.Layouts().RenameButton(SelectedLayoutTitle(), newName, type))
        return;
    FillLayoutList();
    SelectLayout(type, LayoutFileName(newName).c_str());
}

int CIconsPage::OnLayoutCommand(UINT id, UINT code)
{
    const int type = Host().Settings().listType;
    switch (id) {
    case IDC_ICONS_LAYOUT_NAME:
        if (code == EN_CHANGE)
            OnNameChange();
        return 1;
    case IDC_ICONS_LAYOUT_LIST:
        if (code == LBN_SELCHANGE)
            OnLayoutSelection();
        else if (code == LBN_DBLCLK && SendItem(IDC_ICONS_LAYOUT_LIST, LB_GETCURSEL) != LB_ERR)
            LoadLayout(GetItemText(IDC_ICONS_LAYOUT_NAME).c_str(), type, false);
        return 1;
    default: break;
    }
    if (code != BN_CLICKED)
        return 0;
    switch (id) {
    case IDC_ICONS_POSITIONS: SetListType(kPositionsLayout); return 1;
    case IDC_ICONS_SHORTCUTS: SetListType(kShortcutsLayout); return 1;
    case IDC_ICONS_SAVE:
        if (m_owner.Layouts().SaveButton(GetItemText(IDC_ICONS_LAYOUT_NAME), type))
            FillLayoutList();
        return 1;
    case IDC_ICONS_LOAD: LoadLayout(GetItemText(IDC_ICONS_LAYOUT_NAME).c_str(), type, false); return 1;
    case IDC_ICONS_DELETE:
        if (m_owner.Layouts().DeleteButton(GetItemText(IDC_ICONS_LAYOUT_NAME), type))
            FillLayoutList();
        return 1;
    case IDC_ICONS_RENAME: OnRename(); return 1;
    case IDC_ICONS_ICONIFY: m_owner.Layouts().IconifyButton(GetItemText(IDC_ICONS_LAYOUT_NAME), type); return 1;
    case IDC_ICONS_ORIGINAL: m_owner.Layouts().OriginalButton(); return 1;
    default: return 0;
    }
}
