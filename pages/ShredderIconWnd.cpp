#include "pages/ShredderIconWnd.h"

#include "autodelete/DeleteProgressDlg.h"
#include "autodelete/TaskFolderCheck.h"
#include "common/AppMessages.h"
#include "pages/DeleteResource.h"
#include "pages/PageSupport.h"
#include "res/DesktopIconShapes.h"

namespace {

std::vector<std::string> DroppedPaths(HDROP drop)
{
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; i++) {
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        std::string path(length + 1, '\0');
        const UINT got = DragQueryFileA(drop, i, &path[0], length + 1);
        path.resize(got <= length ? got : length);
        if (!path.empty())
            paths.push_back(path);
    }
    return paths;
}

std::string Refusal(const FolderCheck& check)
{
    switch (check.problem) {
    case FolderProblem::kRoot: return "a whole drive";
    // "\\?\" names reach any file of the machine under Wine, and "C:\x\.."
    // names a drive root: neither is deleted as dropped.
    case FolderProblem::kDevicePath: return "a device path";
    case FolderProblem::kBadComponent: return "a path through . or ..";
    case FolderProblem::kProtected: return check.what;
    case FolderProblem::kHoldsProtected: return "holds " + check.what;
    default: return "";
    }
}

}  // namespace

CShredderIconWnd::CShredderIconWnd(HWND page, const std::string& programFolder)
    : CDialog(IDD_SHREDDER), m_page(page), m_programFolder(programFolder)
{
}

int CShredderIconWnd::Create(HWND owner)
{
    if (!CreateModeless(owner))
        return 0;
    Show(SW_SHOWNOACTIVATE);
    return 1;
}

int CShredderIconWnd::OnInitDialog()
{
    SetOutline();
    SetText(kTitle);
    DragAcceptFiles(GetHwnd(), TRUE);
    ReloadBitmaps();
    return 1;
}

void CShredderIconWnd::SetOutline()
{
    POINT points[47];
    for (int i = 0; i < 47; i++)
        points[i] = POINT{kShredderOutline[i].x, kShredderOutline[i].y};
    ScopedRegion region(CreatePolygonRgn(points, 47, WINDING));
    // The window owns the region once SetWindowRgn has taken it.
    if (region && SetWindowRgn(GetHwnd(), region.Get(), TRUE))
        region.Release();
}

void CShredderIconWnd::ReloadBitmaps()
{
    const bool low = IsLowColourDisplay();
    auto load = [](UINT id) {
        return static_cast<HBITMAP>(LoadImageA(GetModule(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
    };
    m_normal.Reset(load(low ? IDB_SHREDDER_ICON_16 : IDB_SHREDDER_ICON));
    m_focused.Reset(load(low ? IDB_SHREDDER_ICON_FOCUS_16 : IDB_SHREDDER_ICON_FOCUS));
    if (GetHwnd())
        InvalidateRect(GetHwnd(), nullptr, TRUE);
}

void CShredderIconWnd::Paint()
{
    ScopedPaint paint(GetHwnd());
    HBITMAP bitmap = m_hasFocus ? m_focused.Get() : m_normal.Get();
    BITMAP info = {};
    if (!paint.Get() || !bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return;
    ScopedMemoryDC memory(CreateCompatibleDC(paint.Get()));
    if (!memory)
        return;
    ScopedSelect select(memory.Get(), bitmap);
    BitBlt(paint.Get(), 0, 0, info.bmWidth, info.bmHeight, memory.Get(), 0, 0, SRCCOPY);
}

INT_PTR CShredderIconWnd::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_NCHITTEST: {
        // The body is the caption: dragging it moves the window.
        const LRESULT hit = DefWindowProcA(GetHwnd(), msg, wp, lp);
        return Answer(hit == HTCLIENT ? HTCAPTION : hit);
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_hasFocus = msg == WM_SETFOCUS;
        InvalidateRect(GetHwnd(), nullptr, TRUE);
        return FALSE;
    case WM_PAINT: Paint(); return TRUE;
    case WM_ERASEBKGND: return Answer(1);
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wp)); return TRUE;
    default: return CDialog::DialogProc(msg, wp, lp);
    }
}

std::vector<std::string> CShredderIconWnd::AcceptedPaths(const std::vector<std::string>& paths,
                                                         const std::string& programFolder, std::string* refused)
{
    std::vector<std::string> accepted;
    for (const std::string& path : paths) {
        const std::string why = Refusal(CheckTaskFolderHere(path, programFolder));
        if (why.empty())
            accepted.push_back(path);
        else if (refused)
            *refused += path + " (" + why + ")\n";
    }
    return accepted;
}

void CShredderIconWnd::OnDropFiles(HDROP drop)
{
    std::vector<std::string> paths = DroppedPaths(drop);
    DragFinish(drop);
    if (paths.empty())
        return;
    if (m_inDrop) {
        // The window is disabled under the dialog, but a drop is posted and
        // still comes: it waits for the running one.
        m_waiting.push_back(std::move(paths));
        return;
    }
    m_inDrop = true;
    SetForegroundWindow(GetHwnd());
    DeletePaths(paths);
    while (!m_waiting.empty()) {
        std::vector<std::string> next = std::move(m_waiting.front());
        m_waiting.erase(m_waiting.begin());
        DeletePaths(next);
    }
    m_inDrop = false;
    if (m_page)
        PostMessageA(m_page, WMAPP_SHREDDER_DROP_DONE, 0, 0);
}

void CShredderIconWnd::DeletePaths(const std::vector<std::string>& paths)
{
    std::string refused;
    const std::vector<std::string> accepted = AcceptedPaths(paths, m_programFolder, &refused);
    if (!refused.empty()) {
        const std::string text = "These were not deleted, to keep Windows and Dervane working:\n\n" + refused;
        m_messageBox(GetHwnd(), text.c_str(), "Error", MB_OK | MB_ICONWARNING);
    }
    if (accepted.empty())
        return;
    CDeleteProgressDlg dialog(GetHwnd(), accepted);
    dialog.Run();
}

HWND CShredderIconWnd::DropPopup() const
{
    if (!m_inDrop || !GetHwnd())
        return nullptr;
    struct Search {
        HWND owner;
        HWND found;
    } search{GetHwnd(), nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (GetWindow(window, GW_OWNER) != s->owner)
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CShredderIconWnd::OnDestroy()
{
    DragAcceptFiles(GetHwnd(), FALSE);
    CDialog::OnDestroy();
}
