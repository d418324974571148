#include "files/DesktopDropWnd.h"

#include "common/AppMessages.h"
#include "common/Log.h"
#include "common/Utf8.h"
#include "files/ExactPath.h"  // HasLoneSurrogate
#include "framework/Bitmap.h"  // IsLowColourDisplay

namespace {

// Keeps a window of that size whole on the screen.
POINT OnScreen(int left, int top, int width, int height)
{
    const int sl = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int st = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int sw = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int sh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (sw <= 0 || sh <= 0) {
        sw = GetSystemMetrics(SM_CXSCREEN);
        sh = GetSystemMetrics(SM_CYSCREEN);
    }
    POINT at = {left, top};
    if (at.x > sl + sw - width)
        at.x = sl + sw - width;
    if (at.y > st + sh - height)
        at.y = st + sh - height;
    if (at.x < sl)
        at.x = sl;
    if (at.y < st)
        at.y = st;
    return at;
}

}  // namespace

std::vector<std::string> DroppedPaths(HDROP drop)
{
    std::vector<std::string> paths;
    if (!drop)
        return paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; i++) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        const UINT got = DragQueryFileW(drop, i, &path[0], length + 1);
        path.resize(got <= length ? got : length);
        if (path.empty())
            continue;
        if (HasLoneSurrogate(path.c_str())) {
            LogWarningFormat("Dropped item left alone: its name is not valid Unicode: %s", WideToUtf8(path).c_str());
            continue;
        }
        paths.push_back(WideToUtf8(path));
    }
    return paths;
}

CDesktopDropWnd::CDesktopDropWnd(UINT templateId, const char* title, const Pictures& pictures)
    : CDialog(templateId), m_title(title), m_pictures(pictures)
{
}

int CDesktopDropWnd::Create(HWND owner)
{
    return CreateModeless(owner) ? 1 : 0;
}

int CDesktopDropWnd::OnInitDialog()
{
    SetText(m_title);
    OnCreated();
    DragAcceptFiles(GetHwnd(), TRUE);
    ReloadBitmaps();
    // 0: the window appears without taking the focus, as it is shown.
    return 0;
}

void CDesktopDropWnd::ReloadBitmaps()
{
    const bool low = IsLowColourDisplay();
    auto load = [](UINT id) {
        return static_cast<HBITMAP>(LoadImageA(GetModule(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
    };
    m_normal.Reset(load(low ? m_pictures.normalLowColour : m_pictures.normal));
    m_focused.Reset(load(low ? m_pictures.focusedLowColour : m_pictures.focused));
    if (!GetHwnd())
        return;
    // The template's size is in dialog units, which grow with the screen's
    // scale, while the picture and the outline of the window's region are in
    // pixels: the window takes the picture's size, or at 150 % it would show
    // an unpainted border beside the picture.
    BITMAP info = {};
    if (m_normal && GetObjectA(m_normal.Get(), sizeof info, &info) && info.bmWidth > 0 && info.bmHeight > 0)
        SetWindowPos(GetHwnd(), nullptr, 0, 0, info.bmWidth, info.bmHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
    InvalidateRect(GetHwnd(), nullptr, TRUE);
}

void CDesktopDropWnd::MoveTo(int left, int top)
{
    RECT rect = {};
    if (!GetHwnd() || !GetWindowRect(GetHwnd(), &rect))
        return;
    const POINT at = OnScreen(left, top, rect.right - rect.left, rect.bottom - rect.top);
    SetWindowPos(GetHwnd(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
}

bool CDesktopDropWnd::Position(int* left, int* top) const
{
    RECT rect = {};
    if (!IsAlive() || !GetWindowRect(GetHwnd(), &rect))
        return false;
    *left = rect.left;
    *top = rect.top;
    return true;
}

void CDesktopDropWnd::Paint()
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

INT_PTR CDesktopDropWnd::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
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
        OnFocusChanged();
        InvalidateRect(GetHwnd(), nullptr, TRUE);
        return FALSE;  // the dialog's own handling runs too
    case WM_PAINT: Paint(); return TRUE;
    case WM_ERASEBKGND: return Answer(1);
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wp)); return TRUE;
    default: return CDialog::DialogProc(msg, wp, lp);
    }
}

void CDesktopDropWnd::OnDropFiles(HDROP drop)
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
    HandleDrop(paths);
    while (!m_waiting.empty()) {
        std::vector<std::string> next = std::move(m_waiting.front());
        m_waiting.erase(m_waiting.begin());
        HandleDrop(next);
    }
    m_inDrop = false;
    if (m_dropDone)
        PostMessageA(m_dropDone, WMAPP_DESKTOP_DROP_DONE, 0, 0);
}

HWND CDesktopDropWnd::DropPopup() const
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

void CDesktopDropWnd::OnDestroy()
{
    DragAcceptFiles(GetHwnd(), FALSE);
    CDialog::OnDestroy();
}
