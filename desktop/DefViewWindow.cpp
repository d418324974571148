#include "desktop/DefViewWindow.h"

#include <windowsx.h>

#include "common/Utf8.h"

int CDefViewWindow::Create(HWND parent, const RECT& rect, HINSTANCE instance, const CDesktopFolder* folder)
{
    if (!CHostWindow::Create(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect, parent,
                             instance)) {
        return 0;
    }
    if (!folder)
        return 1;  // a DefView without a list view
    RECT client = {};
    GetClientRect(Handle(), &client);
    return m_view.Create(Handle(), client, folder);
}

LRESULT CDefViewWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_SIZE:
        if (m_view.Handle())
            MoveWindow(m_view.Handle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (m_view.Handle())
            SetFocus(m_view.Handle());
        return 0;
    case WM_DISPLAYCHANGE:
    case WM_SETTINGCHANGE:
        // The shell hands these on to its list view.
        if (m_view.Handle())
            SendMessageW(m_view.Handle(), message, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (m_dragging)
            DragTo(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        if (m_dragging)
            EndDrag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, true);
        return 0;
    case WM_CONTEXTMENU: ShowViewMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); return 0;
    case WM_COMMAND:
        m_view.RunViewCommand(LOWORD(wParam));
        return 0;
    case WM_KEYDOWN:
        if (m_dragging && wParam == VK_ESCAPE)
            EndDrag(POINT{}, false);
        return 0;
    case WM_CAPTURECHANGED:
        if (m_dragging && reinterpret_cast<HWND>(lParam) != Handle())
            EndDrag(POINT{}, false);
        return 0;
    default: return CHostWindow::WndProc(message, wParam, lParam);
    }
}

void CDefViewWindow::Record(const NMHDR* header)
{
    int32_t code = static_cast<int32_t>(header->code);
    switch (header->code) {
    case LVN_ITEMCHANGING:
    case LVN_ITEMCHANGED:
    case LVN_INSERTITEM:
    case LVN_DELETEITEM:
    case LVN_DELETEALLITEMS:
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG: {
        auto* info = reinterpret_cast<const NMLISTVIEW*>(header);
        m_log.Record(code, info->iItem, info->uNewState, info->uOldState, info->uChanged);
        break;
    }
    case LVN_KEYDOWN: m_log.Record(code, reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey, 0, 0, 0); break;
    default: m_log.Record(code, -1, 0, 0, 0); break;
    }
}

void CDefViewWindow::PlaceOnInsert(const std::string& label, POINT position)
{
    m_placeLabel = label;
    m_placePosition = position;
}

LRESULT CDefViewWindow::OnNotify(NMHDR* header)
{
    if (header->hwndFrom != m_view.Handle())
        return 0;
    Record(header);
    switch (header->code) {
    case LVN_INSERTITEM: {
        if (m_placeLabel.empty())
            return 0;
        int index = reinterpret_cast<NMLISTVIEW*>(header)->iItem;
        wchar_t text[DesktopHostProtocol::kLabelSize] = {};
        LVITEMW item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = DesktopHostProtocol::kLabelSize;
        SendMessageW(m_view.Handle(), LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
        if (m_placeLabel == WideToUtf8(text)) {
            m_placeLabel.clear();
            SendMessageW(m_view.Handle(), LVM_SETITEMPOSITION32, index, reinterpret_cast<LPARAM>(&m_placePosition));
        }
        return 0;
    }
    case LVN_BEGINDRAG: BeginDrag(reinterpret_cast<NMLISTVIEW*>(header)); return 0;
    case LVN_ITEMACTIVATE: m_view.Open(reinterpret_cast<NMITEMACTIVATE*>(header)->iItem); return 0;
    case LVN_KEYDOWN:
        if (reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey == VK_F5)
            m_view.Reload();
        return 0;
    default: return 0;
    }
}

// The desktop's menu: its view commands, each by its ViewCommand number.
void CDefViewWindow::ShowViewMenu(POINT at)
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return;
    HWND list = m_view.Handle();
    const bool arranging = (GetWindowLongPtrW(list, GWL_STYLE) & LVS_AUTOARRANGE) != 0;
    const bool snapping = (ListView_GetExtendedListViewStyle(list) & LVS_EX_SNAPTOGRID) != 0;
    AppendMenuW(menu, MF_STRING | (arranging ? MF_CHECKED : 0), DesktopHostProtocol::kViewAutoArrange,
                L"&Auto arrange icons");
    AppendMenuW(menu, MF_STRING | (snapping ? MF_CHECKED : 0), DesktopHostProtocol::kViewAlignToGrid,
                L"A&lign icons to grid");
    AppendMenuW(menu, MF_STRING, DesktopHostProtocol::kViewSortByName, L"Sort by &name");
    if (at.x == -1 && at.y == -1) {
        at = POINT{0, 0};
        ClientToScreen(Handle(), &at);
    }
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
    DestroyMenu(menu);
}

// The list view only reports the start of a drag; moving the icons is the
// parent's work, as in the shell.
void CDefViewWindow::BeginDrag(const NMLISTVIEW* info)
{
    m_dragging = true;
    m_dragStart = info->ptAction;
    POINT imageOrigin = {};
    m_dragImage = ListView_CreateDragImage(m_view.Handle(), info->iItem, &imageOrigin);
    if (m_dragImage) {
        ImageList_BeginDrag(m_dragImage, 0, m_dragStart.x - imageOrigin.x, m_dragStart.y - imageOrigin.y);
        ImageList_DragEnter(m_view.Handle(), m_dragStart.x, m_dragStart.y);
    }
    SetCapture(Handle());
}

void CDefViewWindow::DragTo(POINT point)
{
    if (m_dragImage)
        ImageList_DragMove(point.x, point.y);
}

void CDefViewWindow::EndDrag(POINT point, bool drop)
{
    m_dragging = false;
    if (m_dragImage) {
        ImageList_DragLeave(m_view.Handle());
        ImageList_EndDrag();
        ImageList_Destroy(m_dragImage);
        m_dragImage = nullptr;
    }
    if (GetCapture() == Handle())
        ReleaseCapture();
    // The list view's client area and ours coincide, so the offset is the same in both.
    if (drop && (point.x != m_dragStart.x || point.y != m_dragStart.y)) {
        m_view.MoveSelected(point.x - m_dragStart.x, point.y - m_dragStart.y);
    }
}
