// Windows for the auto-respond engine to answer, in a process of their own.
//   msgbox TITLE TEXT          a Yes/No message box; the exit code is the button (6 Yes, 7 No)
//   window TITLE LOG [LABEL]... a window with a menu bar and these buttons; each press, the menu
//                              item "Write &Marker" and the window's end append a line to LOG
//                              (a label in UTF-8); WM_APP+50 posted to it opens one more such
//                              window. The program runs in the system's code page, as any
//                              program may: the arguments are read wide, and the window, its
//                              title and its buttons are made wide, so every script shows.
//   engine FOLDER              starts the engine for FOLDER and runs until it is ended
//   latency TITLE              shows a window with the button "Go" and prints the milliseconds
//                              from showing it to the press (nothing, if not pressed in 10 s)
//   create COUNT               makes and destroys COUNT top-level windows (never shown: Wine
//                              waits on the X server for each shown one) and prints the seconds
//   hung TITLE TEXT            shows a window with the text TEXT and the button "Count", then
//                              stops taking messages
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cbt/DervaneHookCBT.h"
#include "common/Utf8.h"

namespace {
constexpr UINT kOpenAnother = WM_APP + 50;
constexpr int kMarkerId = 101;
constexpr int kExitId = 102;
constexpr int kFirstButtonId = 200;

std::wstring g_title;
std::wstring g_log;
std::vector<std::wstring> g_labels;
int g_windows = 0;
LARGE_INTEGER g_shownAt = {};
bool g_latency = false;

void Append(const std::string& line)
{
    if (FILE* file = _wfopen(g_log.c_str(), L"ab")) {
        fprintf(file, "%s %llu\n", line.c_str(), static_cast<unsigned long long>(GetTickCount64()));
        fclose(file);
    }
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HMENU MakeMenuBar()
{
    HMENU recent = CreatePopupMenu();
    AppendMenuA(recent, MF_STRING, kMarkerId, "Write &Marker\tCtrl+M");
    // "Σημάδι &Β": the same command under a Greek label.
    AppendMenuW(recent, MF_STRING, kMarkerId, L"\u03A3\u03B7\u03BC\u03AC\u03B4\u03B9 &\u0392");
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kExitId, "E&xit");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    return bar;
}

HWND OpenWindow();

LRESULT CALLBACK TargetProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == kMarkerId) {
            Append("Marker");
        } else if (id == kExitId) {
            DestroyWindow(hwnd);
        } else if (id >= kFirstButtonId && id < kFirstButtonId + static_cast<int>(g_labels.size())) {
            if (g_latency) {
                LARGE_INTEGER now = {};
                QueryPerformanceCounter(&now);
                printf("%.3f\n", Seconds(g_shownAt, now) * 1000.0);
                fflush(stdout);
                DestroyWindow(hwnd);
            } else {
                Append(WideToUtf8(g_labels[id - kFirstButtonId].c_str()));
            }
        }
        return 0;
    }
    case kOpenAnother: OpenWindow(); return 0;
    case WM_DESTROY:
        if (!g_latency)
            Append("Closed");
        if (--g_windows == 0)
            PostQuitMessage(0);
        return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void RegisterTargetClass()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"RespondTarget";
    RegisterClassW(&wc);
}

HWND OpenWindow()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND hwnd = CreateWindowExW(0, L"RespondTarget", g_title.c_str(), WS_OVERLAPPEDWINDOW, 40 + 30 * g_windows,
                                40 + 30 * g_windows, 360, 200, nullptr, MakeMenuBar(), instance, nullptr);
    if (!hwnd)
        return nullptr;
    g_windows++;
    for (size_t i = 0; i < g_labels.size(); i++) {
        CreateWindowExW(0, L"BUTTON", g_labels[i].c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                        10 + 110 * static_cast<int>(i), 10, 100, 28, hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + i)), instance, nullptr);
    }
    QueryPerformanceCounter(&g_shownAt);
    ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

int Pump()
{
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

int CreateMany(int count)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    LARGE_INTEGER start = {}, end = {};
    QueryPerformanceCounter(&start);
    for (int i = 0; i < count; i++) {
        HWND hwnd = CreateWindowExA(0, "STATIC", "Created", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                                    instance, nullptr);
        MSG msg = {};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        DestroyWindow(hwnd);
    }
    QueryPerformanceCounter(&end);
    printf("%.4f\n", Seconds(start, end));
    return 0;
}
}  // namespace

int main(int argc, char** argv)
{
    int wideCount = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wideCount);
    if (!wide || wideCount != argc)
        return 4;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "msgbox" && argc > 3)
        return MessageBoxA(nullptr, argv[3], argv[2], MB_YESNO | MB_ICONQUESTION);
    if (mode == "create" && argc > 2)
        return CreateMany(atoi(argv[2]));
    RegisterTargetClass();
    if (mode == "hung" && argc > 3) {
        g_title = wide[2];
        g_labels.push_back(L"Count");
        HWND hwnd = OpenWindow();
        if (!hwnd)
            return 2;
        CreateWindowExA(0, "STATIC", argv[3], WS_CHILD | WS_VISIBLE, 10, 50, 300, 20, hwnd, nullptr,
                        GetModuleHandleA(nullptr), nullptr);
        Sleep(INFINITE);
    }
    if (mode == "engine" && argc > 2) {
        HWND own = CreateWindowExA(0, "RespondTarget", "Engine Owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
        HOOKCBT_AttachDLL(own, argv[2]);
        return Pump();
    }
    if ((mode == "window" && argc > 3) || (mode == "latency" && argc > 2)) {
        g_title = wide[2];
        g_latency = mode == "latency";
        if (g_latency)
            g_labels.push_back(L"Go");
        else
            g_log = wide[3];
        for (int i = 4; i < argc; i++)
            g_labels.push_back(wide[i]);
        if (!OpenWindow())
            return 2;
        if (g_latency)
            SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(3); });
        return Pump();
    }
    fprintf(stderr, "usage: RespondTarget msgbox|window|engine|latency|create ...\n");
    return 1;
}
