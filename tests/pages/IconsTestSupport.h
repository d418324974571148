// What the Icons page tests give the page in place of the program: a page
// host that records what the page sends and can play the hook library, the
// desktop's icons as the test sets them, registry roots of the test's own,
// and a recorder for the colour dialog (message boxes: DialogDriving.h).
#pragma once

#include "PagesTestResources.h"
#include "framework/PropertySheet.h"
#include "framework/ScopedHandles.h"
#include "tests/harness/DialogDriving.h"
#include "settings/SettingsStore.h"
#include "icons/IconsHost.h"
#include "pages/PageHost.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct SentRequest {
    int code;
    std::string text;
};

// One settings send, with what the registry held at that moment.
struct SentSettings {
    SettingsBlock settings;
    bool styleStoredBefore;
};

// The program as the pages see it: settings, store and folder of the
// test's own; what is sent to the hook library and the orders given are
// recorded.
class TestPageHost : public IPageHost {
public:
    TestPageHost(const std::string& programFolder, const SettingsRoots& roots);

    const SettingsBlock& Settings() const override { return settings; }
    void KeepSettings(const SettingsBlock& kept) override { settings = kept; }
    void ApplySettings(const SettingsBlock& applied) override;
    CSettingsStore& Store() override { return store; }
    const std::string& ProgramFolder() const override { return folder; }
    unsigned long SendHookRequest(int code, const char* text) override;
    void SwitchFeatures(bool enabled) override { switched.push_back(enabled); }
    void ShowSheet(int page) override { sheetsShown.push_back(page); }
    void SheetShown(bool) override { }
    void ShowHelp() override { ++helpShown; }
    void PostExit() override { ++exitsPosted; }
    HWND OwnerWindow() const override { return ownerWindow; }
    HMODULE ResourceLibrary() const override { return nullptr; }
    int Platform() const override { return 2; }

    // Plays the hook library: saves write a layout file of the right kind,
    // loads answer whether the file is there and toggle a shortcuts layout.
    void ActAsHook();
    // Requests of one code.
    std::vector<std::string> Sent(int code) const;

    std::string folder;
    // The program's main window, where a test gives one.
    HWND ownerWindow = nullptr;
    SettingsBlock settings = {};
    CSettingsStore store;
    std::vector<SentRequest> requests;
    std::vector<SentSettings> settingsSent;
    std::vector<bool> switched;
    std::vector<int> sheetsShown;
    int helpShown = 0;
    int exitsPosted = 0;
    unsigned long answer = 1;
    // Called for each request; answers in place of `answer` when set.
    std::function<unsigned long(int code, const std::string& text)> onRequest;
    // Told of each layout ActAsHook loads, as the main window tells the page.
    std::function<void(int type, const std::string& fileName)> onLoaded;
};

// The desktop's icons as the hook library would report them.
class TestIconsHost : public IIconsHost {
public:
    dervaneGroup1_t Appearance() override { return appearance; }
    void SelectedIconCount(int* total, int* selected) override;

    dervaneGroup1_t appearance = {0xFFFFFFFFu, 0xFFFFFFFFu, -1, -1};
    int totalIcons = 0;
    int selectedIcons = 0;
};

// HKCU\Software\DervaneTests\<name> with "HKCU", "HKLM" and "HKCR" under it
// standing in for the three roots; removed with the object.
class TestRegistry {
public:
    explicit TestRegistry(const std::string& name);
    ~TestRegistry();
    TestRegistry(const TestRegistry&) = delete;
    TestRegistry& operator=(const TestRegistry&) = delete;

    SettingsRoots Roots() const;
    // A program value's bytes (texts with their NUL), or "(missing)".
    std::string Stored(const char* name) const;
    void Write(const char* name, DWORD type, const void* data, DWORD size) const;

private:
    std::string m_base;
    ScopedKey m_root;
    ScopedKey m_user;
    ScopedKey m_machine;
    ScopedKey m_classes;
};

extern const char kMissingValue[];

// The colour dialog: recorded, and answered with `colour` when `accept`.
class ColourRecorder {
public:
    static bool Choose(HWND owner, COLORREF* colour);
    static void Reset();
    static int calls;
    static COLORREF shown;
    static COLORREF colour;
    static bool accept;
};

// Runs open, which shows a modal dialog; once a visible window of this
// thread titled caption is up, act runs with it inside the dialog's loop
// (act must end the dialog). Answers whether the dialog was seen; after
// about 5 seconds without it, the active window is cancelled.
bool DriveModal(const std::function<void()>& open, const char* caption, const std::function<void(HWND)>& act);
// The visible windows of this thread titled caption.
int CountThreadWindows(const char* caption);

// A page with nothing on it: where a test's sheet goes when it leaves the
// page under test.
class BlankPage : public CPropertyPage {
public:
    BlankPage() : CPropertyPage(IDD_TEST_BLANK) { }
};

// Makes the sheet as the program does (the pages' own buttons, hidden on
// close), titled caption; 1 when it was made.
int CreateTestSheet(CPropertySheet& sheet, const char* caption);

// "C:\", four folders of 50 Cyrillic letters and a last name of 50: 257
// characters, the longest folder a deletion task or a backup may name, in
// more than 500 bytes of UTF-8.
std::string LongestCyrillicFolder();
