// Dervane.exe against the desktop host: the first start, a second start, a
// missing "Resources.dll", and the way out.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/ScopedHandles.h"
#include "tests/app/ProgramFixture.h"
#include "tests/harness/Wait.h"

namespace {

constexpr DWORD kExitTimeoutMs = 15000;
const std::string kZeroByte(1, '\0');

using ProgramStartTest = ProgramTestBase;

TEST_F(ProgramStartTest, FirstStartStoresTheDefaultsAndShowsTheSheetOnce)
{
    ASSERT_TRUE(m_session.Start());
    // Defaults: features on, white labels on black.
    ASSERT_TRUE(StartReady(m_program, "", RGB(255, 255, 255), RGB(0, 0, 0)));
    EXPECT_TRUE(WaitFor([&] { return ReadProgramBinary("Property General First Time") == kZeroByte; }, 5000));
    EXPECT_TRUE(WaitFor([&] { return m_program.SheetVisible(); }, 5000));
    EXPECT_EQ(m_folder.ExePath(), ReadRunValue());
    EXPECT_EQ(m_folder.PathOf("dervane.exe") + " \"%1\"", ReadAssociationCommand());
    // Only the value of the first start is stored; the pages store theirs on Apply.
    EXPECT_EQ(kMissingValue, ReadProgramBinary("Property General Enabled"));
    EXPECT_EQ(1u, ReadView().listViewSubclassed);

    ASSERT_TRUE(m_program.Command(40002));
    ASSERT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    ASSERT_TRUE(StartReady(m_program, "", RGB(255, 255, 255), RGB(0, 0, 0)));
    EXPECT_FALSE(WaitFor([&] { return m_program.SheetVisible(); }, 1500)) << "the sheet opens only at the first start";
    EXPECT_EQ(nullptr, m_program.Sheet()) << "made only when it is opened";
}

TEST_F(ProgramStartTest, SecondStartWithoutArgumentsEndsAndTheFirstRunsOn)
{
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND main = m_program.FindWindowOf("CTrayWnd");

    ASSERT_TRUE(m_second.Start(m_folder));
    EXPECT_EQ(0, m_second.WaitExit(kExitTimeoutMs));
    EXPECT_TRUE(m_program.Running());
    EXPECT_EQ(main, m_program.FindWindowOf("CTrayWnd"));
    EXPECT_EQ(main, FindWindowA("CTrayWnd", nullptr)) << "one main window only";
    EXPECT_TRUE(TrayIconExists(main));
    EXPECT_FALSE(m_folder.Exists("msg.dat"));
    EXPECT_TRUE(WaitLook(kText, kBack, 2000)) << "the desktop keeps the running instance's look";
    EXPECT_EQ(0, m_folder.CountLogLines("Dropped"));
}

TEST_F(ProgramStartTest, MissingResourcesLogsTheLineShowsTheBoxAndEnds)
{
    ASSERT_TRUE(m_folder.Create(TestFolderName(), false));
    ASSERT_TRUE(m_session.Start());
    const View before = ReadView();
    ASSERT_TRUE(m_program.Start(m_folder));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = m_program.FindWindowOf("#32770", "Error")) != nullptr; }, 20000));
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ("Cannot locate library file \"Resources.dll\"", text);
    EXPECT_EQ(1, m_folder.CountLogLines("> WARNING: Cannot locate library file \"Resources.dll\""));

    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    const View after = ReadView();
    EXPECT_EQ(0u, after.listViewSubclassed);
    EXPECT_EQ(before.textBkColor, after.textBkColor);
}

BOOL CALLBACK TakeLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR to)
{
    *reinterpret_cast<WORD*>(to) = language;
    return FALSE;
}

// The program's manifest without its code page, as Windows 10 before version
// 1903 reads every manifest: the process then runs in the system's code page.
bool DropCodePageFromManifest(const std::string& exe)
{
    std::string manifest;
    WORD language = 0xFFFF;
    {
        const ScopedModule module(LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        const HRSRC found = module ? FindResourceA(module.Get(), MAKEINTRESOURCEA(1), RT_MANIFEST) : nullptr;
        const HGLOBAL loaded = found ? LoadResource(module.Get(), found) : nullptr;
        if (!loaded)
            return false;
        EnumResourceLanguagesA(module.Get(), RT_MANIFEST, MAKEINTRESOURCEA(1), TakeLanguage,
                               reinterpret_cast<LONG_PTR>(&language));
        manifest.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module.Get(), found));
    }
    const size_t start = manifest.find("<activeCodePage");
    const std::string endTag = "</activeCodePage>";
    const size_t end = manifest.find(endTag);
    if (language == 0xFFFF || start == std::string::npos || end == std::string::npos)
        return false;
    manifest.erase(start, end + endTag.size() - start);
    HANDLE update = BeginUpdateResourceA(exe.c_str(), FALSE);
    if (!update)
        return false;
    if (!UpdateResourceA(update, RT_MANIFEST, MAKEINTRESOURCEA(1), language, &manifest[0],
                         static_cast<DWORD>(manifest.size()))) {
        EndUpdateResourceA(update, TRUE);
        return false;
    }
    return EndUpdateResourceA(update, FALSE) != FALSE;
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found = {};
    const ScopedFind search(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!search)
        return names;
    do {
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            names.push_back(found.cFileName);
    } while (FindNextFileA(search.Get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}

// Every other test shows the other side: the real program runs in UTF-8
// (GetACP() 65001), or it would end here at its start.
TEST_F(ProgramStartTest, InTheSystemsCodePageItSaysWhatItNeedsAndEndsHavingChangedNothing)
{
    ASSERT_TRUE(DropCodePageFromManifest(m_folder.ExePath()));
    const std::vector<std::string> files = FolderNames(m_folder.Path());
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(m_program.Start(m_folder));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = m_program.FindWindowOf("#32770", "Dervane")) != nullptr; }, 20000));
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ("Dervane needs Windows 10 version 1903 or later.", text);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(0, m_program.WaitExit(kExitTimeoutMs));

    EXPECT_EQ(0u, ReadView().listViewSubclassed) << "no hook";
    EXPECT_EQ(files, FolderNames(m_folder.Path())) << "no file";
    HKEY key = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Quillmere\\Dervane", 0, KEY_READ, &key))
        << "no registry key";
    if (key)
        RegCloseKey(key);
    EXPECT_EQ(kMissingValue, ReadRunValue());
}

TEST_F(ProgramStartTest, ExitRemovesTheTrayIconAndGivesTheDesktopBack)
{
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    const View before = ReadView();
    ASSERT_TRUE(StartReady(m_program));
    const HWND main = m_program.FindWindowOf("CTrayWnd");
    EXPECT_TRUE(TrayIconExists(main));
    const int icons = TrayWindowIconCount();
    EXPECT_GE(icons, 1);
    const View running = ReadView();
    EXPECT_EQ(1u, running.listViewSubclassed);
    EXPECT_EQ(1u, running.defViewSubclassed);

    ASSERT_TRUE(m_program.Command(40002));
    ASSERT_TRUE(WaitWindowGone(main));
    EXPECT_EQ(icons - 1, TrayWindowIconCount());
    EXPECT_FALSE(TrayIconExists(main));
    ASSERT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    const View after = ReadView();
    EXPECT_EQ(0u, after.listViewSubclassed);
    EXPECT_EQ(0u, after.defViewSubclassed);
    EXPECT_EQ(before.textColor, after.textColor);
    EXPECT_EQ(before.textBkColor, after.textBkColor);
    EXPECT_EQ(before.style, after.style);
}

// The tray's Exit while a page's modal dialog runs its own loop: the program
// waits for that loop to end (asking the dialog to close) instead of deleting
// the page under it, and then ends as usual.
TEST_F(ProgramStartTest, ExitWhileAPageDialogIsOpenClosesItAndEnds)
{
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND main = m_program.FindWindowOf("CTrayWnd");
    const HWND page = ShowPage(2);  // the Icons page
    ASSERT_NE(nullptr, page);
    const HWND sheet = m_program.Sheet();
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(1214, BN_CLICKED), 0);  // "Icons..."
    ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(sheet); }, 10000)) << "the rules dialog did not open";

    ASSERT_TRUE(m_program.Command(40002));
    ASSERT_TRUE(WaitWindowGone(main));
    EXPECT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    EXPECT_EQ(0u, ReadView().listViewSubclassed);
}

}  // namespace
