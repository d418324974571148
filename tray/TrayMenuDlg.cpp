#include "tray/TrayMenuDlg.h"

#include "common/ListFields.h"
#include "common/Utf8.h"
#include "framework/CommonDialogs.h"
#include "framework/ProcessPaths.h"
#include "framework/ScopedHandles.h"
#include "tray/ShortcutTarget.h"
#include "tray/TrayMenuResource.h"

#include <commctrl.h>

#include <algorithm>

namespace {

const char* const kKindTexts[] = {"Program/Document", "Folder", "System Command", "Separator"};
constexpr UINT_PTR kListSubclassId = 1;
// Room beside the widest line: the list draws its lines a little way in
// from its left edge.
constexpr int kExtentMargin = 6;

DWORD AttributesOf(const std::string& path)
{
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
}

bool IsFile(const std::string& path)
{
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CTrayMenuDlg::CTrayMenuDlg(HWND parent, std::vector<TrayMenuItem>& items)
    : CDialog(IDD_TRAY_MENU), m_parent(parent), m_items(items), m_edit(items), m_messageBox(&SystemMessageBox)
{
}

int CTrayMenuDlg::OnInitDialog()
{
    m_filling = true;
    m_startFolder = CurrentFolder();
    for (const char* kind : kKindTexts)
        SendItem(IDC_TRAYMENU_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kind));
    for (int command = 0; command < kTraySystemCommandCount; ++command)
        SendItem(IDC_TRAYMENU_COMMAND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SystemCommandListText(command)));
    SendItem(IDC_TRAYMENU_KIND, CB_SETCURSEL, kTrayItemProgram);
    SendItem(IDC_TRAYMENU_COMMAND, CB_SETCURSEL, kTrayStandBy);
    ApplyKind();
    HWND list = GetItem(IDC_TRAYMENU_ITEMS);
    // Drops arrive at the list, which hands them to the dialog.
    if (list &&
        SetWindowSubclass(list, &CTrayMenuDlg::ListProc, kListSubclassId, reinterpret_cast<DWORD_PTR>(GetHwnd())))
        DragAcceptFiles(list, TRUE);
    FillList(-1);
    m_filling = false;
    UpdateButtons();
    return 1;
}

LRESULT CALLBACK CTrayMenuDlg::ListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data)
{
    if (msg == WM_DROPFILES)
        return SendMessageA(reinterpret_cast<HWND>(data), WM_DROPFILES, wp, lp);
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(list, &CTrayMenuDlg::ListProc, id);
    return DefSubclassProc(list, msg, wp, lp);
}

INT_PTR CTrayMenuDlg::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DROPFILES) {
        Drop(reinterpret_cast<HDROP>(wp));
        return Answer(0);
    }
    if ((msg == WM_HELP || msg == WM_CONTEXTMENU) && m_contextHelp &&
        m_contextHelp(GetHwnd(), GetTemplateId(), msg, wp, lp))
        return TRUE;
    return CDialog::DialogProc(msg, wp, lp);
}

TrayItemKind CTrayMenuDlg::Kind() const
{
    const LRESULT kind = SendItem(IDC_TRAYMENU_KIND, CB_GETCURSEL);
    return kind >= kTrayItemProgram && kind <= kTrayItemSeparator ? static_cast<TrayItemKind>(kind) : kTrayItemProgram;
}

int CTrayMenuDlg::Selected() const
{
    const LRESULT line = SendItem(IDC_TRAYMENU_ITEMS, LB_GETCURSEL);
    return line >= 0 && line < m_edit.Count() ? static_cast<int>(line) : -1;
}

void CTrayMenuDlg::FillList(int select)
{
    const bool filling = m_filling;
    m_filling = true;
    SendItem(IDC_TRAYMENU_ITEMS, LB_RESETCONTENT);
    for (const TrayMenuItem& item : m_edit.Items()) {
        const std::string line = CTrayMenuEdit::LineText(item);
        SendItem(IDC_TRAYMENU_ITEMS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SetHorizontalExtent();
    if (select >= 0 && select < m_edit.Count())
        SendItem(IDC_TRAYMENU_ITEMS, LB_SETCURSEL, static_cast<WPARAM>(select));
    m_filling = filling;
    UpdateButtons();
}

void CTrayMenuDlg::SetHorizontalExtent()
{
    // The list scrolls as far as its widest line, measured in pixels with
    // the list's own font.
    HWND list = GetItem(IDC_TRAYMENU_ITEMS);
    ScopedGetDC dc(list);
    if (!dc)
        return;
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0));
    ScopedSelect selected(dc.Get(), font ? font : GetStockObject(SYSTEM_FONT));
    LONG widest = 0;
    for (const TrayMenuItem& item : m_edit.Items()) {
        const std::wstring line = Utf8ToWide(CTrayMenuEdit::LineText(item));
        SIZE size = {};
        if (GetTextExtentPoint32W(dc.Get(), line.c_str(), static_cast<int>(line.size()), &size))
            widest = std::max(widest, size.cx);
    }
    SendMessageA(list, LB_SETHORIZONTALEXTENT, widest > 0 ? static_cast<WPARAM>(widest + kExtentMargin) : 0, 0);
}

void CTrayMenuDlg::ApplyKind()
{
    const TrayItemKind kind = Kind();
    const bool command = kind == kTrayItemSystemCommand;
    const bool separator = kind == kTrayItemSeparator;
    ::ShowWindow(GetItem(IDC_TRAYMENU_ACTION), command ? SW_HIDE : SW_SHOW);
    ::ShowWindow(GetItem(IDC_TRAYMENU_BROWSE), command ? SW_HIDE : SW_SHOW);
    ::ShowWindow(GetItem(IDC_TRAYMENU_COMMAND), command ? SW_SHOW : SW_HIDE);
    for (int id :
         {IDC_TRAYMENU_ACTION, IDC_TRAYMENU_BROWSE, IDC_TRAYMENU_COMMAND, IDC_TRAYMENU_LABEL, IDC_TRAYMENU_DEFAULT})
        EnableItem(id, !separator);
    SetItemText(IDC_TRAYMENU_ACTION_CAPTION,
                command                       ? "&With action"
                    : kind == kTrayItemFolder ? "&With folder"
                                              : "&With file");
    if (separator) {
        // A separator stores no label, path or default mark: the form
        // shows none, so that nothing seems kept that is not.
        SetItemText(IDC_TRAYMENU_LABEL, "");
        SetItemText(IDC_TRAYMENU_ACTION, "");
        CheckItem(IDC_TRAYMENU_DEFAULT, false);
    } else if (command) {
        ProposeLabel();
    }
    UpdateButtons();
}

void CTrayMenuDlg::ProposeLabel()
{
    const LRESULT command = SendItem(IDC_TRAYMENU_COMMAND, CB_GETCURSEL);
    if (const char* label = SystemCommandLabel(static_cast<int>(command)))
        SetItemText(IDC_TRAYMENU_LABEL, label);
}

void CTrayMenuDlg::ShowItem(int position)
{
    if (position < 0 || position >= m_edit.Count())
        return;
    const TrayMenuItem& item = m_edit.Item(position);
    const bool filling = m_filling;
    m_filling = true;
    SendItem(IDC_TRAYMENU_KIND, CB_SETCURSEL, static_cast<WPARAM>(item.kind));
    if (item.kind == kTrayItemSystemCommand)
        SendItem(IDC_TRAYMENU_COMMAND, CB_SETCURSEL, static_cast<WPARAM>(item.command));
    ApplyKind();
    if (item.kind != kTrayItemSeparator) {
        SetItemText(IDC_TRAYMENU_LABEL, item.label.c_str());
        SetItemText(IDC_TRAYMENU_ACTION, item.kind == kTrayItemSystemCommand ? "" : item.path.c_str());
        CheckItem(IDC_TRAYMENU_DEFAULT, item.isDefault);
    }
    m_filling = filling;
    UpdateButtons();
}

TrayMenuItem CTrayMenuDlg::FormItem() const
{
    TrayMenuItem item;
    item.kind = Kind();
    if (item.kind == kTrayItemSeparator)
        return item;
    item.label = GetItemText(IDC_TRAYMENU_LABEL);
    item.isDefault = IsItemChecked(IDC_TRAYMENU_DEFAULT);
    if (item.kind == kTrayItemSystemCommand) {
        const LRESULT command = SendItem(IDC_TRAYMENU_COMMAND, CB_GETCURSEL);
        item.command = command >= 0 && command < kTraySystemCommandCount ? static_cast<TraySystemCommand>(command)
                                                                         : kTrayStandBy;
    } else {
        item.path = GetItemText(IDC_TRAYMENU_ACTION);
    }
    return item;
}

bool CTrayMenuDlg::IsFormComplete() const
{
    const TrayMenuItem item = FormItem();
    switch (item.kind) {
    case kTrayItemProgram: return !item.label.empty() && IsFile(item.path);
    case kTrayItemFolder: return !item.label.empty() && IsFolder(item.path);
    case kTrayItemSystemCommand: return !item.label.empty();
    default: return true;
    }
}

void CTrayMenuDlg::UpdateButtons()
{
    if (m_filling)
        return;
    const bool complete = IsFormComplete();
    const int selected = Selected();
    EnableItem(IDC_TRAYMENU_ADD, complete);
    EnableItem(IDC_TRAYMENU_REPLACE, complete && selected >= 0);
    EnableItem(IDC_TRAYMENU_DELETE, selected >= 0);
    EnableItem(IDC_TRAYMENU_UP, selected >= 1);
    EnableItem(IDC_TRAYMENU_DOWN, selected >= 0 && selected < m_edit.Count() - 1);
}

bool CTrayMenuDlg::TakeForm(TrayMenuItem* item, const char* refused)
{
    if (!IsFormComplete())
        return false;
    *item = FormItem();
    const std::string problem = CTrayMenuEdit::Problem(*item);
    if (problem.empty())
        return true;
    const std::string text = problem + " The menu item is " + refused + ".";
    m_messageBox(GetHwnd(), text.c_str(), "Error", MB_OK | MB_ICONWARNING);
    return false;
}

void CTrayMenuDlg::AddItem()
{
    TrayMenuItem item;
    if (!TakeForm(&item, "not added"))
        return;
    m_edit.Add(std::move(item));
    FillList(-1);
}

void CTrayMenuDlg::ReplaceItem()
{
    const int selected = Selected();
    TrayMenuItem item;
    if (selected < 0 || !TakeForm(&item, "not changed"))
        return;
    m_edit.Replace(selected, std::move(item));
    FillList(selected);
}

void CTrayMenuDlg::DeleteItem()
{
    const int selected = Selected();
    if (selected < 0 ||
        m_messageBox(GetHwnd(), "Are you sure you want to delete this menu item?", "Confirm",
                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    m_edit.Remove(selected);
    FillList(-1);
}

void CTrayMenuDlg::MoveItem(int from, int to)
{
    if (from < 0 || to < 0 || from >= m_edit.Count() || to >= m_edit.Count())
        return;
    m_edit.SwapWithNext(std::min(from, to));
    FillList(to);
}

void CTrayMenuDlg::Browse()
{
    std::string path;
    if (Kind() == kTrayItemFolder) {
        if (!BrowseForFolder(GetHwnd(), "Select a folder", path) || path.empty())
            return;
    } else {
        std::vector<char> file(kUtf8PathBytes, '\0');
        const std::string folder = FolderOf(GetItemText(IDC_TRAYMENU_ACTION));
        OPENFILENAMEA open = {};
        open.lStructSize = sizeof open;
        open.hwndOwner = GetHwnd();
        open.lpstrFilter = "All Files (*.*)\0*.*\0";
        open.lpstrFile = file.data();
        open.nMaxFile = static_cast<DWORD>(file.size());
        open.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        open.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
        const bool chosen = ShowOpenFile(open);
        // The dialog may still have moved the current folder.
        if (!m_startFolder.empty())
            SetCurrentDirectoryA(m_startFolder.c_str());
        if (!chosen)
            return;
        path = file.data();
    }
    SetItemText(IDC_TRAYMENU_ACTION, path.c_str());
    UpdateButtons();
}

void CTrayMenuDlg::Drop(HDROP drop)
{
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    int added = 0;
    int refused = 0;
    std::string firstRefusal;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string path(length + 1, '\0');
        if (length == 0 || DragQueryFileA(drop, i, &path[0], length + 1) != length)
            continue;
        path.resize(length);
        const DWORD attributes = AttributesOf(path);
        TrayMenuItem item;
        const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        item.kind = folder ? kTrayItemFolder : kTrayItemProgram;
        item.path = path;
        // A name too long for a label is cut (on a character boundary, to
        // what the list's field holds in bytes): only a path is refused.
        const std::string label = CTrayMenuEdit::LabelFor(path, folder);
        item.label = label.substr(0, Utf8PrefixLength(label.data(), label.size(), kListFieldChars));
        std::string problem = CTrayMenuEdit::Problem(item);
        if (problem.empty() && attributes == INVALID_FILE_ATTRIBUTES)
            problem = "It cannot be found.";
        if (!problem.empty()) {
            if (refused++ == 0)
                firstRefusal = "\"" + CutText(item.label, 64) + "\" is not added to the menu. " + problem;
            continue;
        }
        m_edit.Add(std::move(item));
        ++added;
    }
    DragFinish(drop);
    if (added > 0)
        FillList(-1);
    if (refused > 0) {
        std::string text = firstRefusal;
        if (refused > 1)
            text += "\n" + std::to_string(refused - 1) + " more dropped items are not added either.";
        m_messageBox(GetHwnd(), text.c_str(), "Error", MB_OK | MB_ICONWARNING);
    }
}

int CTrayMenuDlg::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_TRAYMENU_OK: OnOK(); return 1;
    case IDC_TRAYMENU_CANCEL: OnCancel(); return 1;
    case IDC_TRAYMENU_ITEMS:
        if (code == LBN_SELCHANGE && !m_filling) {
            ShowItem(Selected());
            UpdateButtons();
        }
        return 1;
    case IDC_TRAYMENU_KIND:
        if (code == CBN_SELCHANGE && !m_filling)
            ApplyKind();
        return 1;
    case IDC_TRAYMENU_COMMAND:
        if (code == CBN_SELCHANGE && !m_filling)
            ProposeLabel();
        return 1;
    case IDC_TRAYMENU_LABEL:
    case IDC_TRAYMENU_ACTION:
        if (code == EN_CHANGE)
            UpdateButtons();
        return 1;
    default: break;
    }
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_TRAYMENU_ADD: AddItem(); return 1;
        case IDC_TRAYMENU_REPLACE: ReplaceItem(); return 1;
        case IDC_TRAYMENU_DELETE: DeleteItem(); return 1;
        case IDC_TRAYMENU_UP: MoveItem(Selected(), Selected() - 1); return 1;
        case IDC_TRAYMENU_DOWN: MoveItem(Selected(), Selected() + 1); return 1;
        case IDC_TRAYMENU_BROWSE: Browse(); return 1;
        default: break;
        }
    }
    return CDialog::OnCommand(id, code, control);
}

void CTrayMenuDlg::OnOK()
{
    m_items = m_edit.Items();
    CDialog::OnOK();
}
