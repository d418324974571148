#pragma once
#include <windows.h>

// Base of the host's windows: the window procedure finds the object bound at
// WM_NCCREATE and calls its virtual WndProc, which the windows override.
class CHostWindow {
public:
    virtual ~CHostWindow();
    CHostWindow() = default;
    CHostWindow(const CHostWindow&) = delete;
    CHostWindow& operator=(const CHostWindow&) = delete;

    HWND Handle() const { return m_hwnd; }

    // Registers a window class whose procedure is the common thunk. Names
    // and titles are UTF-8; the windows are wide (Unicode) ones.
    static int RegisterClass(const char* className, HINSTANCE instance, HBRUSH background);

protected:
    int Create(DWORD exStyle, const char* className, const char* title, DWORD style, const RECT& rect, HWND parent,
               HINSTANCE instance);
    // Called for every message; the default hands it to DefWindowProc.
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
};
