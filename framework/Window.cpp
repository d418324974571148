#include "framework/Window.h"

#include "framework/ErrorReport.h"
#include "framework/Menu.h"

#include <cstdio>
#include <vector>

namespace {

// The window property that holds the bound object.
const char kObjectProperty[] = "Dervane.Object";

}  // namespace

CWindow::~CWindow()
{
    if (!m_hwnd)
        return;
    HWND hwnd = m_hwnd;
    const bool owns = m_ownsWindow;
    // Unbind first: the derived parts of this object are gone already, so
    // the messages of the destruction must not reach its handlers.
    Unbind();
    if (owns && ::IsWindow(hwnd))
        DestroyWindow(hwnd);
}

HINSTANCE CWindow::GetModule()
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&CWindow::StaticWndProc), &module))
        return GetModuleHandleA(nullptr);
    return module;
}

CWindow* CWindow::FromHandle(HWND hwnd)
{
    return hwnd ? static_cast<CWindow*>(GetPropA(hwnd, kObjectProperty)) : nullptr;
}

void CWindow::Bind(HWND hwnd)
{
    m_hwnd = hwnd;
    SetPropA(hwnd, kObjectProperty, this);
}

void CWindow::Unbind()
{
    if (!m_hwnd)
        return;
    if (::IsWindow(m_hwnd)) {
        RemovePropA(m_hwnd, kObjectProperty);
        if (m_prevProc && GetWindowLongPtrA(m_hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&StaticWndProc))
            SetWindowLongPtrA(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_prevProc));
    }
    m_hwnd = nullptr;
    m_prevProc = nullptr;
    m_ownsWindow = false;
}

int CWindow::RegisterWindowClass(const CreateArgs& args)
{
    const HINSTANCE module = GetModule();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(module, args.className, &wc))
        return wc.lpfnWndProc == &StaticWndProc ? 1 : 0;
    wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &StaticWndProc;
    wc.hInstance = module;
    wc.hIcon = args.icon;
    wc.hIconSm = args.smallIcon;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = args.className;
    if (!RegisterClassExA(&wc)) {
        ReportLastError("RegisterClassExA");
        return 0;
    }
    return 1;
}

int CWindow::Create(const CreateArgs& args)
{
    if (m_hwnd) {
        ReportError("CWindow::Create: the object already has a window");
        return 0;
    }
    if (!args.className || !RegisterWindowClass(args)) {
        ReportError("CWindow::Create: the window class is not this framework's");
        return 0;
    }
    HWND hwnd = CreateWindowExA(args.exStyle, args.className, args.title ? args.title : "", args.style, args.x, args.y,
                                args.width, args.height, args.parent, args.menu, GetModule(), this);
    if (!hwnd)
        return 0;  // WM_CREATE refused, or the reason was reported by the handler
    m_ownsWindow = true;
    return 1;
}

int CWindow::Subclass(HWND hwnd)
{
    if (m_hwnd || !::IsWindow(hwnd) || FromHandle(hwnd))
        return 0;
    SetLastError(0);
    const LONG_PTR old = SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWndProc));
    if (!old) {
        ReportLastError("SetWindowLongPtrA(GWLP_WNDPROC)");
        return 0;
    }
    m_prevProc = reinterpret_cast<WNDPROC>(old);
    Bind(hwnd);
    m_ownsWindow = false;
    return 1;
}

int CWindow::Destroy()
{
    if (!m_hwnd)
        return 0;
    // WM_NCDESTROY unbinds the object.
    return DestroyWindow(m_hwnd) ? 1 : 0;
}

LRESULT CWindow::Send(UINT msg, WPARAM wp, LPARAM lp) const
{
    return m_hwnd ? SendMessageA(m_hwnd, msg, wp, lp) : 0;
}

int CWindow::Post(UINT msg, WPARAM wp, LPARAM lp) const
{
    return m_hwnd && PostMessageA(m_hwnd, msg, wp, lp) ? 1 : 0;
}

void CWindow::Show(int showCommand) const
{
    if (m_hwnd)
        ShowWindow(m_hwnd, showCommand);
}

bool CWindow::IsVisible() const
{
    return m_hwnd && IsWindowVisible(m_hwnd);
}

std::string CWindow::GetText() const
{
    if (!m_hwnd)
        return std::string();
    const int length = GetWindowTextLengthA(m_hwnd);
    if (length <= 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(m_hwnd, text.data(), length + 1);
    return std::string(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

int CWindow::SetText(const char* text) const
{
    return m_hwnd && SetWindowTextA(m_hwnd, text ? text : "") ? 1 : 0;
}

int CWindow::PreTranslateMessage(MSG&)
{
    return 0;
}

void CWindow::ReportHandlerFault(const char* procedure, UINT msg, const std::exception* e)
{
    char where[96] = {};
    snprintf(where, sizeof where, "%s, message 0x%04X", procedure, msg);
    ReportException(where, e);
}

LRESULT CALLBACK CWindow::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CWindow* self = FromHandle(hwnd);
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<CWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        if (self)
            self->Bind(hwnd);
    }
    if (!self)
        return DefWindowProcA(hwnd, msg, wp, lp);

    // What a failed handler answers: creation fails, anything else gets 0.
    LRESULT result = msg == WM_NCCREATE ? FALSE : msg == WM_CREATE ? -1 : 0;
    try {
        if (CMenu::DispatchOwnerDraw(msg, lp))
            result = TRUE;
        else
            result = self->WndProc(msg, wp, lp);
    } catch (const std::exception& e) {
        ReportHandlerFault("window procedure", msg, &e);
    } catch (...) {
        ReportHandlerFault("window procedure", msg, nullptr);
    }
    if (msg == WM_NCDESTROY)
        self->Unbind();
    return result;
}

LRESULT CWindow::WndProcDefault(UINT msg, WPARAM wp, LPARAM lp)
{
    if (m_prevProc)
        return CallWindowProcA(m_prevProc, m_hwnd, msg, wp, lp);
    return DefWindowProcA(m_hwnd, msg, wp, lp);
}

LRESULT CWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE: return OnCreate(*reinterpret_cast<const CREATESTRUCTA*>(lp)) ? 0 : -1;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)))
            return 0;
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(*reinterpret_cast<const NMHDR*>(lp), result))
            return result;
        break;
    }
    case WM_TIMER:
        if (OnTimer(wp))
            return 0;
        break;
    case WM_PAINT:
        if (OnPaint())
            return 0;
        break;
    case WM_CLOSE:
        if (OnClose())
            return 0;
        break;
    case WM_DESTROY: OnDestroy(); break;
    }
    return WndProcDefault(msg, wp, lp);
}

int CWindow::OnCreate(const CREATESTRUCTA&)
{
    return 1;
}
int CWindow::OnCommand(UINT, UINT, HWND)
{
    return 0;
}
int CWindow::OnNotify(const NMHDR&, LRESULT&)
{
    return 0;
}
int CWindow::OnTimer(UINT_PTR)
{
    return 0;
}
int CWindow::OnPaint()
{
    return 0;
}
int CWindow::OnClose()
{
    return 0;
}
void CWindow::OnDestroy() { }
