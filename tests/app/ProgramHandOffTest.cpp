// Layout files on Dervane.exe's command line, handed to the running instance
// through "msg.dat" or loaded by the first one once it is ready; "/save",
// "/load" and "/?"; and what the running instance does with a "msg.dat" that
// holds garbage.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/HandOff.h"
#include "common/Utf8.h"
#include "framework/ScopedHandles.h"
#include "tests/app/ProgramFixture.h"
#include "tests/harness/Wait.h"
#include "tests/harness/WideText.h"

namespace {

constexpr DWORD kExitTimeoutMs = 15000;
constexpr char kLayout[] = "Shortcuts\\Work.dvl";

class ProgramHandOffTest : public ProgramTestBase {
protected:
    void SetUp() override
    {
        ProgramTestBase::SetUp();
        if (HasFatalFailure())
            return;
        StoreKnownLook();
        // The layout the hook library toggles, and the file the user opens:
        // only its name counts.
        ASSERT_TRUE(m_folder.WriteFile(kLayout, EmptyShortcutsLayout("1")));
        m_opened = m_folder.PathOf("Some Folder\\Work.dvl");
        ASSERT_TRUE(m_folder.WriteFile("Some Folder\\Work.dvl", EmptyShortcutsLayout("1")));
    }

    std::string LayoutState() const { return LoadedState(m_folder.ReadFile(kLayout)); }
    // The layout toggled once: its shortcuts went onto the desktop.
    bool WaitToggled(DWORD timeoutMs = 10000) const
    {
        return WaitFor([&] { return LayoutState() == "0"; }, timeoutMs);
    }
    // Runs a second instance with arguments and waits for it to end.
    long RunSecond(const std::string& arguments, const char* workingFolder = nullptr)
    {
        if (!m_second.Start(m_folder, arguments, workingFolder))
            return -1;
        return m_second.WaitExit(kExitTimeoutMs);
    }
    // Writes "msg.dat" and tells the running instance, as a second start does.
    void HandOver(const std::string& content)
    {
        ASSERT_TRUE(m_folder.WriteFile("msg.dat", content));
        HWND main = m_program.FindWindowOf("CTrayWnd");
        ASSERT_NE(nullptr, main);
        const UINT message = RegisterWindowMessageA("DERVANE_APP_MESSAGE_ID");
        // The program answers busy while it is still starting (or waits on
        // the desktop) and leaves the file for the next try, as a second
        // start tries again.
        DWORD_PTR answer = kHandOffBusy;
        ASSERT_TRUE(WaitFor(
            [&] {
                return SendMessageTimeoutA(main, message, 0, 1, SMTO_ABORTIFHUNG, 10000, &answer) != 0 &&
                    answer != kHandOffBusy;
            },
            10000, 50));
    }

    // Lines that tell of a hand-off that went wrong, on either side.
    int CountHandOffWarnings() const
    {
        return m_folder.CountLogLines("Dropped a hand-off") + m_folder.CountLogLines("layout file") +
            m_folder.CountLogLines("shortcuts file") + m_folder.CountLogLines("Ignored a request");
    }

    std::string m_opened;
};

TEST_F(ProgramHandOffTest, SecondStartHandsAQuotedShortcutsLayoutOver)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    EXPECT_EQ(0, RunSecond("\"" + m_opened + "\""));
    EXPECT_TRUE(WaitToggled()) << "the hook library loaded Work.dvl from the Shortcuts folder";
    EXPECT_FALSE(m_folder.Exists("msg.dat"));
    EXPECT_EQ("1", LoadedState(m_folder.ReadFile("Some Folder\\Work.dvl"))) << "the opened file itself is only read";
    EXPECT_TRUE(m_program.Running());
    EXPECT_EQ(0, CountHandOffWarnings());
}

TEST_F(ProgramHandOffTest, SecondStartHandsAPositionsLayoutOver)
{
    char layout[512] = {};
    snprintf(layout, sizeof layout,
             "KTX_FILE\tDERVANE ICON POSITIONS\r\nVERSION\t1.0\r\nICON_TEXT_COLOR_FG\t%ld\r\n"
             "ICON_TEXT_COLOR_BG\t%ld\r\nICON_TEXT_BG\t1\r\nICON_STYLE\t0\r\nICON_0\tNotes.txt\t300,200\r\n",
             static_cast<long>(kText), static_cast<long>(kBack));
    ASSERT_TRUE(m_folder.WriteFile("Positions\\Tidy.dvl", layout));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    EXPECT_EQ(0, RunSecond("\"" + m_folder.PathOf("Positions\\Tidy.dvl") + "\""));
    CDesktopHostClient::ItemRecord notes = {};
    EXPECT_TRUE(WaitFor([&] { return Host().FindItem("Notes.txt", notes) && notes.x == 300 && notes.y == 200; }, 10000))
        << "Notes.txt at " << notes.x << "," << notes.y;
}

TEST_F(ProgramHandOffTest, PathsWithoutQuotesOrBackslashAreHandedOverToo)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    // An opening quote that is never closed: the rest of the line is the path.
    EXPECT_EQ(0, RunSecond("\"" + m_opened));
    EXPECT_TRUE(WaitToggled());
    // A bare file name, found in the current folder.
    EXPECT_EQ(0, RunSecond("Work.dvl", m_folder.PathOf("Some Folder").c_str()));
    EXPECT_TRUE(WaitFor([&] { return LayoutState() == "1"; }, 10000)) << "toggled back";
    EXPECT_EQ(0, CountHandOffWarnings());
}

TEST_F(ProgramHandOffTest, FilesThatAreNoLayoutHandNothingOver)
{
    ASSERT_TRUE(m_folder.WriteFile("Some Folder\\Work.dvl", "Just a text file\r\nDERVANE ICON SHORTCUTS\r\n"));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    EXPECT_EQ(0, RunSecond("\"" + m_opened + "\""));
    EXPECT_EQ(0, RunSecond("\"" + m_folder.PathOf("No Such Folder\\Work.dvl") + "\""));
    EXPECT_EQ(0, RunSecond(std::string(5000, 'x')));
    EXPECT_EQ(0, RunSecond("\"" + std::string(4000, 'y') + "\\Work.dvl\""));
    EXPECT_EQ("1", LayoutState());
    EXPECT_FALSE(m_folder.Exists("msg.dat"));
    EXPECT_TRUE(m_program.Running());
    EXPECT_EQ(0, CountHandOffWarnings());
}

TEST_F(ProgramHandOffTest, FirstStartWithALayoutLoadsItOnceReadyAndMayEnd)
{
    const BYTE exitOnLoad = 1;
    ASSERT_TRUE(WriteProgramBinary("Property General Exit On Load", &exitOnLoad, 1));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program, "\"" + m_opened + "\""));
    EXPECT_TRUE(WaitToggled());
    // "Exit Dervane after starting from layout shortcuts.": five seconds after the load.
    EXPECT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    EXPECT_EQ(0u, ReadView().listViewSubclassed);
}

TEST_F(ProgramHandOffTest, FirstStartWithALongCommandLineRunsNormally)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program, std::string(5000, 'x')));
    EXPECT_EQ("1", LayoutState());
    EXPECT_TRUE(m_program.Running());
    EXPECT_EQ(0, CountHandOffWarnings());
}

TEST_F(ProgramHandOffTest, GarbageInMsgDatIsDroppedAndLogged)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const std::string bad[] = {
        std::string("\x01\x02garbage\xff\r\n\r\n", 13),
        "",
        "3\n1\n",  // no third line
        "3\n1",  // no third line, no line end
        "3\n1\n" + std::string(300, 'w') + ".dvl",  // a name longer than a line piece
        "13\n1\nWork.dvl",
        // Only a layout to load or save is handed over, never the settings,
        // the hide rules or a notification the program takes itself.
        "1\n1\nWork.dvl",
        "8\n1\nWork.dvl",
        "9\n0\nWork.dvl",
        "3\n0\nWork.dvl",
        "0\n1\nWork.dvl",
        "-3\n1\nWork.dvl",
        "99999999999999999999\n1\nWork.dvl",
        "3\n256\nWork.dvl",  // the route is one byte
        "3\nx\nWork.dvl",
    };
    int logged = 0;
    for (const std::string& content : bad) {
        HandOver(content);
        EXPECT_FALSE(m_folder.Exists("msg.dat")) << content;
        EXPECT_EQ(++logged, m_folder.CountLogLines("Dropped a hand-off from msg.dat")) << content;
    }
    EXPECT_EQ("1", LayoutState());
    EXPECT_TRUE(m_program.Running());

    // The same way, a well-formed record does reach the hook library.
    HandOver("3\n1\nWork.dvl");
    EXPECT_TRUE(WaitToggled());
    EXPECT_EQ(logged, m_folder.CountLogLines("Dropped a hand-off from msg.dat"));
}

TEST_F(ProgramHandOffTest, NamesThatLeaveTheLayoutFolderAreRefused)
{
    ASSERT_TRUE(m_folder.WriteFile("Outside.dvl", EmptyShortcutsLayout("1")));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    HandOver("3\n1\n..\\Outside.dvl");
    EXPECT_FALSE(m_folder.Exists("msg.dat"));
    EXPECT_EQ("1", LoadedState(m_folder.ReadFile("Outside.dvl")));
    EXPECT_TRUE(m_program.Running());
}

TEST_F(ProgramHandOffTest, ARecordAddressFromAnotherProcessIsIgnored)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const UINT message = RegisterWindowMessageA("DERVANE_APP_MESSAGE_ID");
    HWND main = m_program.FindWindowOf("CTrayWnd");
    // Addresses mean nothing in the program's process: neither read nor freed.
    for (WPARAM address : {WPARAM(0x12345678), WPARAM(0x10), WPARAM(~0ull)}) {
        PostMessageA(main, message, address, 0);
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(main, message, address, 0, SMTO_ABORTIFHUNG, 10000, &answer);
    }
    EXPECT_TRUE(WaitFor([&] { return m_folder.CountLogLines("Ignored a request record") == 6; }, 5000));
    EXPECT_TRUE(m_program.Running());
    EXPECT_TRUE(WaitLook(kText, kBack, 2000));
}

// "/save" and "/load" go to the running Dervane only; "/?" shows the forms.
// Without one, nothing is done and nothing starts.
TEST_F(ProgramHandOffTest, LayoutCommandsWithoutARunningDervaneDoNothing)
{
    ASSERT_TRUE(m_session.Start());
    EXPECT_EQ(2, RunSecond("/save Home"));
    EXPECT_EQ(2, RunSecond("/load Home"));
    EXPECT_EQ(1, RunSecond("/save ..\\x")) << "refused whatever runs";
    ASSERT_TRUE(m_second.Start(m_folder, "/?"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = m_second.FindWindowOf("#32770", "Dervane")) != nullptr; }, 10000));
    char text[2048] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    for (const char* form : {"Dervane /save NAME", "Dervane /load NAME", "Dervane /exit", "Dervane [layout file]"})
        EXPECT_NE(nullptr, strstr(text, form)) << form;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0, m_second.WaitExit(kExitTimeoutMs));
    EXPECT_EQ(nullptr, FindWindowA("CTrayWnd", nullptr));
    EXPECT_FALSE(m_folder.Exists("Positions\\Home.dvl"));
    EXPECT_FALSE(m_folder.Exists("msg.dat"));
    EXPECT_EQ(0u, ReadView().listViewSubclassed);
}

TEST_F(ProgramHandOffTest, SaveAndLoadANamedPositionsLayoutThroughTheRunningDervane)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    // Names that leave the folder, devices, nothing, too much: refused, nothing written anywhere.
    const std::wstring folder = Wide(m_folder.Path());
    const std::wstring parent = folder.substr(0, folder.rfind(L'\\'));
    const std::vector<std::wstring> before = WideNames(folder);
    const std::vector<std::wstring> layoutsBefore = WideNames(folder + L"\\Positions");
    std::string cyrillic;
    for (int i = 0; i < 1000; ++i)
        cyrillic += "\xD0\x96";
    for (const std::string& arguments :
         {std::string("/save ..\\x"), std::string("/load ..\\Positions\\Home"), std::string("/save"),
          std::string("/save \"\""), std::string("/save CON"), std::string("/save nul.dvl"), std::string("/save C:\\x"),
          std::string("/save ") + std::string(1000, 'x'), "/load " + cyrillic})
        EXPECT_EQ(1, RunSecond(arguments)) << arguments;
    EXPECT_EQ(before, WideNames(folder));
    EXPECT_EQ(layoutsBefore, WideNames(folder + L"\\Positions"));
    // The folder above holds the other tests' folders, which come and go:
    // only what these names would have made there is looked for.
    for (const std::wstring& made :
         {parent + L"\\x", parent + L"\\x.dvl", std::wstring(L"C:\\x"), std::wstring(L"C:\\x.dvl")})
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(made.c_str())) << WideToUtf8(made.c_str());

    CDesktopHostClient::ItemRecord notes = {};
    ASSERT_TRUE(Host().FindItem("Notes.txt", notes));
    const int x = notes.x;
    const int y = notes.y;
    EXPECT_EQ(0, RunSecond("/save Home"));
    EXPECT_TRUE(m_folder.Exists("Positions\\Home.dvl"));
    ASSERT_TRUE(Host().Move(notes.index, x + 150, y + 100));
    EXPECT_EQ(0, RunSecond("/LOAD \"Home\""));
    EXPECT_TRUE(WaitFor([&] { return Host().FindItem("Notes.txt", notes) && notes.x == x && notes.y == y; }, 10000))
        << "Notes.txt at " << notes.x << "," << notes.y;
    EXPECT_EQ(1, RunSecond("/load Missing"));

    // A name in other scripts: the file is named so, as the system reads it back.
    const std::string name = "\xD0\x94\xD0\xBE\xD0\xBC \xF0\x9F\x8F\xA0";  // "Дом 🏠"
    EXPECT_EQ(0, RunSecond("/save \"" + name + "\""));
    const std::vector<std::wstring> layouts = WideNames(folder + L"\\Positions");
    EXPECT_NE(layouts.end(), std::find(layouts.begin(), layouts.end(), L"\u0414\u043e\u043c \U0001F3E0.dvl"));
    EXPECT_EQ(0, RunSecond("/load " + name));

    EXPECT_TRUE(m_program.Running());
}

// Two second starts at once, and one while the Icons page's layout manager
// is saving (the desktop's thread held still meanwhile): each gets its own
// answer and every layout is saved.
TEST_F(ProgramHandOffTest, SavesAtOnceAndDuringTheSheetsSaveAreEachDone)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    CProgramProcess third;
    ASSERT_TRUE(m_second.Start(m_folder, "/save One"));
    ASSERT_TRUE(third.Start(m_folder, "/save Two"));
    EXPECT_EQ(0, m_second.WaitExit(kExitTimeoutMs));
    EXPECT_EQ(0, third.WaitExit(kExitTimeoutMs));
    EXPECT_TRUE(m_folder.Exists("Positions\\One.dvl"));
    EXPECT_TRUE(m_folder.Exists("Positions\\Two.dvl"));

    const HWND main = m_program.FindWindowOf("CTrayWnd");
    const HWND page = ShowPage(2);  // the Icons page
    ASSERT_NE(nullptr, page);
    SetDlgItemTextA(page, 1075, "Sheet");  // the layout's name
    ScopedHandle desktopThread(
        OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(Host().ListView(), nullptr)));
    ASSERT_TRUE(desktopThread);
    ASSERT_NE(static_cast<DWORD>(-1), SuspendThread(desktopThread.Get()));
    struct Resume {
        HANDLE thread;
        ~Resume() { ResumeThread(thread); }
    } resume{desktopThread.Get()};
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(1065, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 1065)));
    // The program says it is busy once it waits on the desktop (before, the
    // missing "msg.dat" is refused).
    const UINT message = RegisterWindowMessageA("DERVANE_APP_MESSAGE_ID");
    ASSERT_TRUE(WaitFor(
        [&] {
            DeleteFileA(m_folder.PathOf("msg.dat").c_str());
            DWORD_PTR answer = 0;
            return SendMessageTimeoutA(main, message, 0, 1, SMTO_NORMAL, 5000, &answer) && answer == 3;
        },
        10000));
    ASSERT_TRUE(m_second.Start(m_folder, "/save Three"));
    EXPECT_EQ(-1, m_second.WaitExit(1000)) << "it waits while the sheet's save does";
    ResumeThread(desktopThread.Get());
    EXPECT_EQ(0, m_second.WaitExit(kExitTimeoutMs));
    EXPECT_TRUE(WaitFor([&] { return m_folder.Exists("Positions\\Sheet.dvl"); }, 10000));
    EXPECT_TRUE(m_folder.Exists("Positions\\Three.dvl"));
    EXPECT_FALSE(m_folder.Exists("msg.dat"));
}

}  // namespace
