#include "tests/hook/HookTestSupport.h"
#include "tests/harness/TextLines.h"

#include <objbase.h>

#include <cstdio>

#include "hook/DervaneHook.h"
#include "tests/harness/ChildProcess.h"
#include "tests/harness/Wait.h"

std::string MakeProgramFolder(const char* suffix)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string folder = CChildProcess::ModuleFolder() + "program." +
        (info ? std::string(info->test_suite_name()) + "." + info->name() : "run") + suffix;
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "\\ErrorLog.txt").c_str());
    return folder;
}

std::vector<std::string> ReadErrorLog(const std::string& folder)
{
    return ReadTextLines(folder + "\\ErrorLog.txt");
}

int CountLines(const std::vector<std::string>& lines, const std::string& text)
{
    int n = 0;
    for (const std::string& line : lines)
        n += line.find(text) != std::string::npos ? 1 : 0;
    return n;
}

int CountEntries(const std::vector<std::string>& lines, const std::string& entry)
{
    int n = 0;
    for (const std::string& line : lines)
        n += line.size() > 24 && line.compare(24, std::string::npos, "> " + entry) == 0 ? 1 : 0;
    return n;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
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
    // A notice (ready, desktop moved) carries no record, as in the program.
    if (self && hookMessage != 0 && msg == hookMessage && wp == HOOKNOTICE_RECORD) {
        const dervaneMsg_t* record = HOOK_GetMessage();
        self->m_notifications.emplace_back(record->code, std::string(record->payload.text));
        return 0;
    }
    if (self && hookMessage != 0 && msg == hookMessage && wp == HOOKNOTICE_DISPLAY_FOLLOWED) {
        ++self->m_displayFollowed;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

bool AttachAndWait(HWND hwnd, const std::string& folder, DWORD timeoutMs)
{
    HOOK_AttachDLL(hwnd, const_cast<char*>(folder.c_str()));
    return WaitFor([] { return HOOK_IsReady() == 1; }, timeoutMs);
}

SettingsBlock DefaultSettings()
{
    SettingsBlock settings = {};
    settings.enabled = 1;
    settings.iconStyle = 0;
    settings.textForeground = RGB(255, 255, 255);
    settings.textBackground = RGB(0, 0, 0);
    settings.textBackgroundOpaque = 0;
    return settings;
}

CTitledWindow::CTitledWindow(const char* title, int x, int y)
{
    m_hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", title, WS_POPUP | WS_VISIBLE, x, y, 64, 64, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
}

CTitledWindow::~CTitledWindow()
{
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

POINT CTitledWindow::Position() const
{
    RECT rc = {};
    GetWindowRect(m_hwnd, &rc);
    return POINT{rc.left, rc.top};
}

void CHookedDesktopTest::SetUp()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(m_desktop.Open());
    m_folder = MakeProgramFolder();
    for (const char* sub : {"Positions", "Shortcuts"}) {
        const std::string folder = m_folder + "\\" + sub;
        WIN32_FIND_DATAA found = {};
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileA((folder + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
    }
    DeleteFileA((m_folder + "\\IconHide.txt").c_str());
}

void CHookedDesktopTest::TearDown()
{
    HOOK_AttachDLL(nullptr, nullptr);
    m_session.Stop();
    m_desktop.Clear();
    CoUninitialize();
}

bool CHookedDesktopTest::StartAndAttach()
{
    if (!m_session.Start())
        return false;
    return AttachAndWait(m_program.Handle(), m_folder);
}

bool CHookedDesktopTest::WaitDisplayFollowed(int count, DWORD timeoutMs)
{
    return WaitFor(
        [&] {
            CProgramWindow::Pump();
            return m_program.DisplayFollowed() >= count;
        },
        timeoutMs);
}

unsigned long CHookedDesktopTest::Send(int code, const std::string& text)
{
    dervaneMsg_t msg = {};
    msg.code = code;
    msg.route = HOOKROUTE_HOOK;
    snprintf(msg.payload.text, sizeof msg.payload.text, "%s", text.c_str());
    return HOOK_SendMessage(&msg);
}

unsigned long CHookedDesktopTest::SendSettings(const SettingsBlock& settings)
{
    dervaneMsg_t msg = {};
    msg.code = HOOKMSG_APPLY_SETTINGS;
    msg.route = HOOKROUTE_HOOK;
    msg.payload.settings = settings;
    return HOOK_SendMessage(&msg);
}

CHookedDesktopTest::View CHookedDesktopTest::ReadView()
{
    View view = {};
    EXPECT_TRUE(Host().View(view));
    return view;
}

CHookedDesktopTest::Item CHookedDesktopTest::ItemNamed(const std::string& label)
{
    Item item = {};
    EXPECT_TRUE(Host().FindItem(label, item)) << "no icon labelled " << label;
    return item;
}

bool CHookedDesktopTest::HasItem(const std::string& label)
{
    Item item = {};
    return Host().FindItem(label, item) != 0;
}

void CHookedDesktopTest::MoveItem(const std::string& label, int x, int y)
{
    const Item item = ItemNamed(label);
    ASSERT_GE(item.index, 0);
    ASSERT_TRUE(Host().Move(item.index, x, y));
}

bool CHookedDesktopTest::WaitForItem(const std::string& label, bool present)
{
    return WaitFor([&] { return HasItem(label) == present; }, 10000);
}

bool CHookedDesktopTest::WriteLayout(const std::string& path, const std::vector<std::string>& records)
{
    CreateDirectoryA((m_folder + "\\Positions").c_str(), nullptr);
    CreateDirectoryA((m_folder + "\\Shortcuts").c_str(), nullptr);
    std::string bytes;
    for (const std::string& record : records)
        bytes += record + "\r\n";
    return WriteFileBytes(path, bytes);
}

bool CHookedDesktopTest::WriteHideRules(const std::vector<std::pair<std::string, int>>& rules)
{
    std::string bytes = "KTX_FILE\tDERVANE ICON HIDE\r\nVERSION\t1.0\r\n";
    for (size_t i = 0; i < rules.size(); ++i)
        bytes += "ENTRY_" + std::to_string(i) + "\t" + rules[i].first + "\t" + std::to_string(rules[i].second) + "\r\n";
    return WriteFileBytes(m_folder + "\\IconHide.txt", bytes);
}
