// CWindow: a C++ object bound to one window. A static procedure finds the
// object and calls its virtual WndProc, whose short switch hands each message
// to a typed On* handler; what a handler leaves goes to WndProcDefault.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <string>

class CWindow {
public:
    struct CreateArgs {
        // Registered on first use with this framework's procedure.
        const char* className = "DervaneWindow";
        const char* title = "";
        DWORD style = WS_OVERLAPPEDWINDOW;
        DWORD exStyle = 0;
        int x = CW_USEDEFAULT;
        int y = CW_USEDEFAULT;
        int width = CW_USEDEFAULT;
        int height = CW_USEDEFAULT;
        HWND parent = nullptr;
        // A top-level window's menu (destroyed with the window) or a child's id.
        HMENU menu = nullptr;
        // The class icons, used when the class is registered.
        HICON icon = nullptr;
        HICON smallIcon = nullptr;
    };

    CWindow() = default;
    // Destroys a window this object created, without calling its handlers
    // (call Destroy() first where OnDestroy must run); gives a subclassed
    // window its own procedure back.
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    int Create(const CreateArgs& args);
    // Routes an existing window's messages through this object; the window's
    // own procedure becomes the default.
    int Subclass(HWND hwnd);
    int Destroy();

    HWND GetHwnd() const { return m_hwnd; }
    bool IsAlive() const { return m_hwnd != nullptr && ::IsWindow(m_hwnd); }
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    int Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    void Show(int showCommand) const;
    bool IsVisible() const;
    std::string GetText() const;
    int SetText(const char* text) const;

    // The object bound to hwnd, or nullptr.
    static CWindow* FromHandle(HWND hwnd);
    // The module holding this code and its resources.
    static HINSTANCE GetModule();

    // Called by the message loop for messages to this top-level window and
    // its children before they are dispatched; answer 1 when consumed.
    virtual int PreTranslateMessage(MSG& msg);

protected:
    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    // The window's own procedure for subclassed windows, else DefWindowProc.
    LRESULT WndProcDefault(UINT msg, WPARAM wp, LPARAM lp);

    // The handlers answer 1 when they handled the message, 0 to pass it on.
    // WM_CREATE: answer 0 to make creation fail.
    virtual int OnCreate(const CREATESTRUCTA& cs);
    virtual int OnCommand(UINT id, UINT code, HWND control);
    // WM_NOTIFY: result is the message's answer when handled.
    virtual int OnNotify(const NMHDR& header, LRESULT& result);
    virtual int OnTimer(UINT_PTR id);
    virtual int OnPaint();
    // WM_CLOSE: unhandled, the window is destroyed.
    virtual int OnClose();
    // WM_DESTROY.
    virtual void OnDestroy();

    // The dialog classes bind at WM_INITDIALOG.
    void Bind(HWND hwnd);
    void Unbind();
    void SetOwnsWindow(bool owns) { m_ownsWindow = owns; }
    bool OwnsWindow() const { return m_ownsWindow; }
    // Formats and reports an exception stopped at a procedure's edge.
    static void ReportHandlerFault(const char* procedure, UINT msg, const std::exception* e);

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static int RegisterWindowClass(const CreateArgs& args);

    HWND m_hwnd = nullptr;
    WNDPROC m_prevProc = nullptr;
    bool m_ownsWindow = false;
};
