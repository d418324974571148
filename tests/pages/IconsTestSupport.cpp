#include "IconsTestSupport.h"

#include "common/KeyedTextFile.h"
#include "common/Utf8.h"
#include "icons/LayoutNames.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr char kProgramKey[] = "Software\\Quillmere\\Dervane";

void IgnoreWarning(const char*) { }

std::string LayoutPath(const std::string& folder, int type, const std::string& fileName)
{
    return folder + "\\" + LayoutFolderName(type) + "\\" + fileName;
}

bool HasTitle(const std::string& path, const char* title)
{
    CKeyedTextFile file(path.c_str());
    char value[CKeyedTextFile::kLineSize] = "";
    return file.Exists() && file.Find("KTX_FILE", value, 1) && strcmp(value, title) == 0;
}

unsigned long SaveAsHook(const std::string& folder, int type, const std::string& fileName)
{
    CreateDirectoryA((folder + "\\" + LayoutFolderName(type)).c_str(), nullptr);
    CKeyedTextFile file(LayoutPath(folder, type, fileName).c_str());
    if (!file.Create())
        return 0;
    file.Write("KTX_FILE", type == kShortcutsLayout ? "DERVANE ICON SHORTCUTS" : "DERVANE ICON POSITIONS");
    file.Write("VERSION", "1.0");
    if (type == kShortcutsLayout)
        file.Write("LOADED", "1");
    return 1;
}

// Loading a shortcuts layout toggles its "LOADED" record.
bool ToggleLoaded(const std::string& path)
{
    CKeyedTextFile file(path.c_str());
    char value[CKeyedTextFile::kLineSize] = "";
    if (!file.Find("LOADED", value, 1))
        return false;
    return file.Replace("LOADED", atoi(value) ? "0" : "1") != 0;
}

}  // namespace

const char kMissingValue[] = "(missing)";

TestPageHost::TestPageHost(const std::string& programFolder, const SettingsRoots& roots)
    : folder(programFolder), store(roots)
{
    store.SetWarning(&IgnoreWarning);
    // A failed start entry says so in a box: recorded, not shown.
    store.SetMessageBox(&BoxRecorder::Show);
    store.OpenKeys();
}

void TestPageHost::ApplySettings(const SettingsBlock& applied)
{
    settings = applied;
    uint8_t style[4] = {};
    const bool stored = store.ReadBinary("Property Icon Style", style, sizeof style) != 0;
    settingsSent.push_back({settings, stored});
}

unsigned long TestPageHost::SendHookRequest(int code, const char* text)
{
    requests.push_back({code, text ? text : ""});
    return onRequest ? onRequest(code, text ? text : "") : answer;
}

void TestIconsHost::SelectedIconCount(int* total, int* selected)
{
    *total = totalIcons;
    *selected = selectedIcons;
}

void TestPageHost::ActAsHook()
{
    onRequest = [this](int code, const std::string& name) -> unsigned long {
        switch (code) {
        case HOOKMSG_SAVE_POSITIONS: return SaveAsHook(folder, kPositionsLayout, name);
        case HOOKMSG_SAVE_SHORTCUTS: return SaveAsHook(folder, kShortcutsLayout, name);
        case HOOKMSG_LOAD_POSITIONS:
        case HOOKMSG_LOAD_SHORTCUTS: {
            const int type = code == HOOKMSG_LOAD_SHORTCUTS ? kShortcutsLayout : kPositionsLayout;
            const std::string path = LayoutPath(folder, type, name);
            const char* title = type == kShortcutsLayout ? "DERVANE ICON SHORTCUTS" : "DERVANE ICON POSITIONS";
            if (!HasTitle(path, title) || (type == kShortcutsLayout && !ToggleLoaded(path)))
                return 0;
            if (onLoaded)
                onLoaded(type, name);
            return 1;
        }
        default: return answer;
        }
    };
}

std::vector<std::string> TestPageHost::Sent(int code) const
{
    std::vector<std::string> texts;
    for (const SentRequest& request : requests) {
        if (request.code == code)
            texts.push_back(request.text);
    }
    return texts;
}

TestRegistry::TestRegistry(const std::string& name) : m_base("Software\\DervaneTests\\Pages\\" + name)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, m_base.c_str());
    EXPECT_EQ(ERROR_SUCCESS, CreateKey(HKEY_CURRENT_USER, m_base.c_str(), KEY_ALL_ACCESS, &m_root));
    EXPECT_EQ(ERROR_SUCCESS, CreateKey(m_root.Get(), "HKCU", KEY_ALL_ACCESS, &m_user));
    EXPECT_EQ(ERROR_SUCCESS, CreateKey(m_root.Get(), "HKLM", KEY_ALL_ACCESS, &m_machine));
    EXPECT_EQ(ERROR_SUCCESS, CreateKey(m_root.Get(), "HKCR", KEY_ALL_ACCESS, &m_classes));
    ScopedKey key;
    CreateKey(m_machine.Get(), kProgramKey, KEY_ALL_ACCESS, &key);
}

TestRegistry::~TestRegistry()
{
    m_user.Reset();
    m_machine.Reset();
    m_classes.Reset();
    m_root.Reset();
    RegDeleteTreeA(HKEY_CURRENT_USER, m_base.c_str());
}

SettingsRoots TestRegistry::Roots() const
{
    SettingsRoots roots;
    roots.currentUser = m_user.Get();
    roots.localMachine = m_machine.Get();
    roots.classes = m_classes.Get();
    return roots;
}

std::string TestRegistry::Stored(const char* name) const
{
    char buffer[4096] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueA(m_user.Get(), kProgramKey, name, RRF_RT_ANY | RRF_NOEXPAND, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return kMissingValue;
    return std::string(buffer, size);
}

void TestRegistry::Write(const char* name, DWORD type, const void* data, DWORD size) const
{
    ScopedKey key;
    ASSERT_EQ(ERROR_SUCCESS, CreateKey(m_user.Get(), kProgramKey, KEY_ALL_ACCESS, &key));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size));
}

int ColourRecorder::calls = 0;
COLORREF ColourRecorder::shown = 0;
COLORREF ColourRecorder::colour = 0;
bool ColourRecorder::accept = false;

bool ColourRecorder::Choose(HWND, COLORREF* value)
{
    ++calls;
    shown = *value;
    if (!accept)
        return false;
    *value = colour;
    return true;
}

void ColourRecorder::Reset()
{
    calls = 0;
    shown = 0;
    colour = 0;
    accept = false;
}

namespace {

struct ModalDriver {
    const char* caption = nullptr;
    const std::function<void(HWND)>* act = nullptr;
    bool seen = false;
    int ticks = 0;
};
ModalDriver* g_driver = nullptr;

struct WindowSearch {
    const char* caption;
    HWND found;
    int count;
};

BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM lp)
{
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    if (IsWindowVisible(hwnd) && WindowText(hwnd) == search->caption) {
        search->found = hwnd;
        ++search->count;
    }
    return TRUE;
}

void CALLBACK DriveTick(HWND, UINT, UINT_PTR, DWORD)
{
    ModalDriver* driver = g_driver;
    if (!driver || driver->seen)
        return;
    WindowSearch search = {driver->caption, nullptr, 0};
    EnumThreadWindows(GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
        driver->seen = true;
        (*driver->act)(search.found);
    } else if (++driver->ticks > 250) {
        // Never hang: end whatever dialog runs.
        if (HWND active = GetActiveWindow())
            PostMessageA(active, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

}  // namespace

bool DriveModal(const std::function<void()>& open, const char* caption, const std::function<void(HWND)>& act)
{
    ModalDriver driver;
    driver.caption = caption;
    driver.act = &act;
    g_driver = &driver;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &DriveTick);
    open();
    KillTimer(nullptr, timer);
    g_driver = nullptr;
    return driver.seen;
}

int CountThreadWindows(const char* caption)
{
    WindowSearch search = {caption, nullptr, 0};
    EnumThreadWindows(GetCurrentThreadId(), &MatchCaption, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

int CreateTestSheet(CPropertySheet& sheet, const char* caption)
{
    CPropertySheet::SheetArgs args;
    args.caption = caption;
    args.standardButtons = false;
    args.hideOnClose = true;
    return sheet.Create(args);
}

std::string LongestCyrillicFolder()
{
    std::string folder = "C:";
    for (int name = 0; name < 5; ++name) {
        folder += '\\';
        // А to я (U+0410 to U+044F), each name from another letter on.
        for (int i = 0; i < 50; ++i)
            AppendUtf8(folder, static_cast<char32_t>(0x410 + (name * 7 + i) % 64));
    }
    return folder;
}
