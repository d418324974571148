#include "tests/hook/HookTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "hook/DervaneHook.h"
#include "tests/harness/ChildProcess.h"
#include "tests/harness/Wait.h"

std::string MakeProgramFolder(const char* suffix)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string folder = CChildProcess::ModuleFolder() + "\\program." +
                         (info ? std::string(info->test_suite_name()) + "." + info->name() : "run") + suffix;
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "\\ErrorLog.txt").c_str());
    return folder;
}

std::vector<std::string> ReadErrorLog(const std::string& folder)
{
    std::vector<std::string> lines;
    FILE* f = fopen((folder + "\\ErrorLog.txt").c_str(), "rb");
    if (!f)
        return lines;
    char line[512];
    while (fgets(line, sizeof line, f)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        lines.push_back(text);
    }
    fclose(f);
    return lines;
}

namespace {
const char kClassName[] = "DervaneTestProgramWindow";
}

CProgramWindow::CProgramWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    m_hwnd = CreateWindowA(kClassName, "Dervane test program", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, this);
    SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CProgramWindow::~CProgramWindow()
{
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

void CProgramWindow::Pump()
{
    MSG msg = {};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

LRESULT CALLBACK CProgramWindow::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<CProgramWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    const UINT hookMessage = HOOK_GetMessageID();
    if (self && hookMessage != 0 && msg == hookMessage) {
        const dervaneMsg_t* record = HOOK_GetMessage();
        self->m_notifications.emplace_back(record->code, std::string(record->payload.text));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

bool AttachAndWait(HWND hwnd, const std::string& folder, DWORD timeoutMs)
{
    HOOK_AttachDLL(hwnd, const_cast<char*>(folder.c_str()));
    return WaitFor([] { return HOOK_IsReady() == 1; }, timeoutMs);
}
