#include "tray/TrayIconDlg.h"

#include "framework/CommonDialogs.h"
#include "framework/ProcessPaths.h"
#include "tray/ShortcutTarget.h"
#include "tray/TrayIconResource.h"
#include "tray/TrayPictures.h"

#include <commctrl.h>

#include <utility>
#include <vector>

namespace {

// "Icon Files (*.ico)|*.ico|Program Files (*.exe,*.dll)|*.exe;*.dll|All Files (*.*)|*.*||" as the dialog takes it.
const char kPictureFilter[] =
    "Icon Files (*.ico)\0*.ico\0Program Files (*.exe,*.dll)\0*.exe;*.dll\0All Files (*.*)\0*.*\0";

// Only a file that is there is opened: the name is tried as it is typed,
// and a bare name would otherwise be looked for along the search path.
bool IsFile(const std::string& path)
{
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CTrayIconDlg::CTrayIconDlg(HWND parent, TrayIconChoice& choice, std::string library)
    : CDialog(IDD_TRAY_ICON), m_parent(parent), m_choice(choice), m_library(std::move(library))
{
}

int CTrayIconDlg::OnInitDialog()
{
    m_startFolder = CurrentFolder();
    if (HWND list = GetItem(IDC_TRAY_ICON_LIST)) {
        m_images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 16, 16);
        ListView_SetImageList(list, m_images, LVSIL_SMALL);
    }
    // The list is filled from the text, which sets the kind; the choice's
    // own kind and group then take over.
    SetItemText(IDC_TRAY_ICON_FILE, (m_choice.file.empty() ? m_library : m_choice.file).c_str());
    FillList();
    m_kind = m_choice.kind;
    m_selected = m_choice.index;
    ShowSelectedRow();
    m_ready = true;
    return 1;
}

void CTrayIconDlg::FillList()
{
    HWND list = GetItem(IDC_TRAY_ICON_LIST);
    if (!list || !m_images)
        return;
    m_filling = true;
    ListView_DeleteAllItems(list);
    ImageList_RemoveAll(m_images);
    m_rowGroups.clear();
    m_listKind = kIconSourceNone;
    const std::string file = GetItemText(IDC_TRAY_ICON_FILE);
    std::vector<GroupIcon> pictures;
    if (IsFile(file)) {
        if (ScopedIcon picture = LoadIconFile16(file)) {
            pictures.push_back(GroupIcon{0, std::move(picture)});
            m_listKind = kIconSourceFile;
        } else if (LoadGroupIcons(file, &pictures)) {
            m_listKind = kIconSourceGroup;
        }
    }
    for (const GroupIcon& picture : pictures) {
        const int image = ImageList_AddIcon(m_images, picture.icon.Get());
        if (image < 0)
            continue;
        LVITEMA row = {};
        row.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        row.iItem = static_cast<int>(m_rowGroups.size());
        row.pszText = const_cast<char*>(" ");
        row.iImage = image;
        row.lParam = picture.group;
        if (SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)) >= 0)
            m_rowGroups.push_back(picture.group);
    }
    // A file that opens neither way leaves the kind as it was.
    if (m_listKind != kIconSourceNone)
        m_kind = m_listKind;
    m_filling = false;
    ShowSelectedRow();
}

int CTrayIconDlg::RowOfGroup(int group) const
{
    for (size_t row = 0; row < m_rowGroups.size(); ++row) {
        if (m_rowGroups[row] == group)
            return static_cast<int>(row);
    }
    return -1;
}

// The chosen group's row shows as selected, so that OK without a click
// keeps the picture that the choice had.
void CTrayIconDlg::ShowSelectedRow()
{
    HWND list = GetItem(IDC_TRAY_ICON_LIST);
    if (!list)
        return;
    m_filling = true;
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    const int row = m_selected >= 0 ? RowOfGroup(m_selected) : -1;
    if (row >= 0) {
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, row, FALSE);
    }
    m_filling = false;
}

int CTrayIconDlg::OnNotify(const NMHDR& header, LRESULT& result)
{
    if (header.idFrom != IDC_TRAY_ICON_LIST || header.code != LVN_ITEMCHANGED)
        return CDialog::OnNotify(header, result);
    const NMLISTVIEW& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (m_filling || !(change.uChanged & LVIF_STATE) || change.iItem < 0 ||
        static_cast<size_t>(change.iItem) >= m_rowGroups.size())
        return 1;
    const bool was = (change.uOldState & LVIS_SELECTED) != 0;
    const bool now = (change.uNewState & LVIS_SELECTED) != 0;
    const int group = m_rowGroups[static_cast<size_t>(change.iItem)];
    if (now && !was) {
        m_selected = group;
        // A picture clicked is a picture chosen, also when the choice had none.
        m_kind = m_listKind;
    } else if (was && !now && group == m_selected) {
        m_selected = -1;
    }
    return 1;
}

void CTrayIconDlg::Browse()
{
    const std::string folder = FolderOf(GetItemText(IDC_TRAY_ICON_FILE));
    if (!folder.empty())
        SetCurrentDirectoryA(folder.c_str());
    std::vector<char> path(kUtf8PathBytes, '\0');
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof open;
    open.hwndOwner = GetHwnd();
    open.lpstrFilter = kPictureFilter;
    open.lpstrFile = path.data();
    open.nMaxFile = static_cast<DWORD>(path.size());
    open.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    open.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    const bool chosen = ShowOpenFile(open);
    if (!m_startFolder.empty())
        SetCurrentDirectoryA(m_startFolder.c_str());
    if (chosen)
        SetItemText(IDC_TRAY_ICON_FILE, path.data());
}

void CTrayIconDlg::OnOK()
{
    IconSourceKind kind = m_kind;
    int index = m_selected;
    // No picture of the file's is chosen. A file that did not open keeps
    // the kind and the group the choice had.
    const bool opened = m_listKind != kIconSourceNone;
    if (kind == kIconSourceGroup && (opened ? RowOfGroup(index) < 0 : index < 0)) {
        kind = kIconSourceNone;
        index = -1;
    }
    m_choice.file = GetItemText(IDC_TRAY_ICON_FILE);
    m_choice.kind = kind;
    m_choice.index = index;
    EndDialog(IDOK);
}

int CTrayIconDlg::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_TRAY_ICON_OK:
        if (code == BN_CLICKED)
            OnOK();
        return 1;
    case IDC_TRAY_ICON_CANCEL:
        if (code == BN_CLICKED)
            OnCancel();
        return 1;
    case IDC_TRAY_ICON_BROWSE:
        if (code == BN_CLICKED)
            Browse();
        return 1;
    case IDC_TRAY_ICON_FILE:
        if (code == EN_CHANGE && m_ready)
            FillList();
        return 1;
    default: return CDialog::OnCommand(id, code, control);
    }
}

INT_PTR CTrayIconDlg::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if ((msg == WM_HELP || msg == WM_CONTEXTMENU) && m_help && m_help(GetHwnd(), GetTemplateId(), msg, wp, lp))
        return TRUE;
    return CDialog::DialogProc(msg, wp, lp);
}
