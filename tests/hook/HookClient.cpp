// A second program process: attaches to the desktop, waits until the library
// is ready there, detaches and answers 0; 2 when it never became ready.
#include <windows.h>

#include "hook/DervaneHook.h"

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    HWND window = CreateWindowA("STATIC", "Dervane hook client", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    HOOK_AttachDLL(window, argv[1]);
    const ULONGLONG deadline = GetTickCount64() + 15000;
    while (!HOOK_IsReady() && GetTickCount64() < deadline)
        Sleep(20);
    const int answer = HOOK_IsReady() ? 0 : 2;
    HOOK_AttachDLL(nullptr, nullptr);
    DestroyWindow(window);
    return answer;
}
