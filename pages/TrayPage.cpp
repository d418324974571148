#include "pages/TrayPage.h"

#include "pages/PageHelp.h"
#include "pages/PageHost.h"
#include "pages/TrayResource.h"
#include "tray/TrayEntryRunTime.h"
#include "tray/TrayIconDlg.h"
#include "tray/TrayIconsResource.h"
#include "tray/TrayMenuDlg.h"
#include "tray/TrayPictures.h"

namespace {

const char kProgramCaption[] = "Dervane";

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

}  // namespace

CTrayPage::CTrayPage(IPageHost& host, ITrayIconEdits& icons)
    : CFeaturePage(TrayPageArgs(), host), m_icons(icons),
      m_defaultIcon(static_cast<HICON>(
          LoadImageA(CWindow::GetModule(), MAKEINTRESOURCEA(IDI_TRAY_ENTRY_DEFAULT), IMAGE_ICON, 16, 16, 0)))
{
}

CTrayPage::~CTrayPage() = default;

bool CTrayPage::OnActivate()
{
    CheckItem(IDC_TRAY_ENABLED, m_icons.Enabled());
    HWND list = GetItem(IDC_TRAY_LIST);
    if (!m_listImages && list) {
        m_listImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8);
        ListView_SetImageList(list, m_listImages, LVSIL_SMALL);
    }
    m_selection = -1;
    FillList();
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
    for (int i = 0; i < List().Count(); ++i) {
        const TrayIconEntry& entry = List().Entry(i);
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
    if (m_selection >= List().Count())
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
        const TrayIconEntry& entry = List().Entry(m_selection);
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
    EnableItem(IDC_TRAY_DOWN, selected && m_selection < List().Count() - 1);
}

ScopedIcon CTrayPage::MakeEditPicture() const
{
    return LoadTrayPicture(m_editIconKind, m_editIconFile, m_editIconIndex);
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

TrayIconEntry CTrayPage::EditedLook(const std::string& tip) const
{
    TrayIconEntry look;
    look.tipText = tip;
    look.iconKind = m_editIconKind;
    look.iconIndex = m_editIconIndex;
    look.iconFile = m_editIconFile;
    return look;
}

void CTrayPage::TellSaved(bool saved)
{
    if (saved)
        return;
    m_messageBox(GetHwnd(), "Cannot write TrayIcons.txt. The change is kept and is written again with the next change.",
                 kProgramCaption, MB_OK | MB_ICONWARNING);
}

void CTrayPage::AddEntry()
{
    std::string tip;
    if (!ReadTip(&tip))
        return;
    TrayIconEntry entry = EditedLook(tip);
    entry.items = m_pendingItems;
    const bool saved = m_icons.Add(entry);
    m_selection = -1;
    FillList();
    TellSaved(saved);
}

void CTrayPage::ReplaceEntry()
{
    std::string tip;
    if (m_selection < 0 || !ReadTip(&tip))
        return;
    const bool saved = m_icons.Replace(m_selection, EditedLook(tip));
    FillList();
    TellSaved(saved);
}

void CTrayPage::DeleteEntry()
{
    if (m_messageBox(GetHwnd(), "Are you sure you want to delete this tray icon?", "Confirm",
                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDNO ||
        m_selection < 0)
        return;
    const bool saved = m_icons.Remove(m_selection);
    m_selection = -1;
    FillList();
    TellSaved(saved);
}

void CTrayPage::MoveEntry(int from, int to)
{
    if (from < 0 || to < 0 || from >= List().Count() || to >= List().Count())
        return;
    const bool saved = m_icons.Move(from, to);
    m_selection = to;
    FillList();
    TellSaved(saved);
}

void CTrayPage::EditMenu()
{
    const int position = m_selection;
    std::vector<TrayMenuItem> items;
    if (position >= 0)
        items = List().Entry(position).items;
    else
        m_pendingItems.clear();
    CTrayMenuDlg dialog(GetHwnd(), items);
    dialog.SetMessageBox(m_messageBox);
    dialog.SetContextHelp(&HandleContextHelp);
    if (dialog.Run() != IDOK)
        return;
    if (position < 0) {
        m_pendingItems = std::move(items);
        return;
    }
    if (position >= List().Count())
        return;
    TellSaved(m_icons.SetMenu(position, std::move(items)));
}

int CTrayPage::OnApply()
{
    SetModified(false);
    m_icons.SetEnabled(IsItemChecked(IDC_TRAY_ENABLED));
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

INT_PTR CTrayPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DESTROY)
        ShowButtonPicture(nullptr);
    return CFeaturePage::DialogProc(msg, wp, lp);
}
