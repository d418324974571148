// The features run without the property sheet: the program started with
// every feature on runs its schedule, its windows on the desktop, its tray
// icons and auto-respond for half a minute and ends, and the sheet is never
// made; opening it twice at once and during a display change makes one.
// Run only in a prefix whose drives stay inside it and the build folder
// (tests/harness/session.sh): the schedule deletes a file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/app/ProgramFixture.h"
#include "tests/harness/ChildProcess.h"
#include "tests/harness/Wait.h"

namespace {

constexpr UINT kProperties = 40001;
constexpr UINT kExit = 40002;
constexpr DWORD kExitTimeoutMs = 15000;

// The clock as the schedule keeps it: local seconds since 1601, low 32 bits.
uint32_t LocalSeconds()
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    FILETIME time = {};
    SystemTimeToFileTime(&now, &time);
    const uint64_t ticks = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<uint32_t>(ticks / 10000000u);
}

class ProgramFeaturesTest : public ProgramTrashTestBase {
protected:
    // How many windows of the program are property sheets.
    int Sheets() const { return m_program.Sheet() ? 1 : 0; }
};

}  // namespace

TEST_F(ProgramFeaturesTest, EveryFeatureRunsHalfAMinuteAndEndsWithTheSheetNeverMade)
{
    StoreKnownLook();
    const std::string lists[][2] = {
        {"AutoDelete.txt",
         "KTX_FILE\tDERVANE AUTODELETE\nVERSION\t1.0\nENTRY_0\t" + m_trash +
             "\t0\t0\t0\nENTRY_0_TYPE_0\t*.tmp\nENTRY_0_TYPE_1\t#%#\n"},
        {"TrayIcons.txt",
         "KTX_FILE\tDERVANE TRAY ICONS\r\nVERSION\t1.0\r\nENTRY_0\tOne\t\t0\r\nENTRY_0_ITEM_0\t#%#\r\n"},
        {"Respond.txt",
         "KTX_FILE\tDERVANE RESPOND\r\nVERSION\t1.0\r\nENTRY_0\tReplace\t1\treplace it\t3\t0\r\n"
         "ENTRY_0_ACTION_0\t1\tYes\t0\t0\r\nENTRY_0_ACTION_1\t#%#\r\n"},
        {"Backup.txt",
         "KTX_FILE\tDERVANE BACKUP\nVERSION\t1.0\nCUSTOM\t0\nCUSTOM_COMMAND\t\t\nPOST_COMMAND\t\t\t0\n"
         "ENTRY_0\tReports\t1\t0\nENTRY_0_SOURCE\tC:\\Reports\nENTRY_0_DEST\tC:\\Backup\n"
         "ENTRY_0_TYPE_0\t*.*\nENTRY_0_TYPE_1\t#%#\n"},
    };
    for (const auto& list : lists)
        ASSERT_TRUE(m_folder.WriteFile(list[0], list[1]));
    // The schedule is due 25 s after the start.
    const uint8_t on = 1;
    const int32_t period = 25;
    const uint32_t last = LocalSeconds();
    ASSERT_TRUE(WriteProgramBinary("Property Delete AutoDel Enabled", &on, 1));
    ASSERT_TRUE(WriteProgramBinary("Property Delete AutoDel Seconds", &period, 4));
    ASSERT_TRUE(WriteProgramBinary("Property Delete AutoDel Last Action", &last, 4));
    ASSERT_TRUE(WriteProgramBinary("Property Respond Enabled", &on, 1));
    const std::string file = m_trash + "\\old.tmp";
    ASSERT_TRUE(MakeEmptyFile(file));

    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND trayOwner = FindWindowExA(HWND_MESSAGE, nullptr, "DervaneTrayIcons", nullptr);
    ASSERT_NE(nullptr, trayOwner);
    EXPECT_TRUE(WaitFor([&] { return TrayIconExists(trayOwner, 305); }, 10000));
    // The drop windows come just after the desktop's look.
    EXPECT_TRUE(WaitFor(
        [&] {
            return m_program.FindWindowOf(nullptr, "Dervane Delete Icon") &&
                m_program.FindWindowOf(nullptr, "Dervane Backup Icon");
        },
        10000));

    // Half a minute, the sheet looked for all the while: the schedule's run
    // ends it.
    bool sheetSeen = false;
    EXPECT_TRUE(WaitFor(
        [&] {
            sheetSeen = sheetSeen || Sheets() != 0;
            return !PathExists(file);
        },
        45000))
        << "the schedule ran";
    CChildProcess box;
    ASSERT_TRUE(box.Start("\"" + CChildProcess::ModuleFolder() +
                          "RespondTarget.exe\" msgbox \"Replace File\" \"Do you want to replace it?\""));
    EXPECT_EQ(IDYES, box.WaitExit(8000)) << "answered by the rule";
    EXPECT_FALSE(sheetSeen || Sheets() != 0) << "the sheet was made";

    const HWND main = m_program.FindWindowOf("CTrayWnd");
    ASSERT_TRUE(m_program.Command(kExit));
    ASSERT_TRUE(WaitWindowGone(main));
    EXPECT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    EXPECT_FALSE(TrayIconExists(trayOwner, 305));
    for (const auto& list : lists)
        EXPECT_EQ(list[1], m_folder.ReadFile(list[0])) << list[0] << " rewritten though nobody changed it";
}

// The sheet asked for twice at once, with a display change between: one
// sheet, shown; a third start's request shows the same one.
TEST_F(ProgramFeaturesTest, OpeningTheSheetTwiceQuicklyAndDuringADisplayChangeMakesOne)
{
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    EXPECT_EQ(0, Sheets());
    const HWND main = m_program.FindWindowOf("CTrayWnd");
    ASSERT_TRUE(m_program.Command(kProperties));
    PostMessageA(main, WM_DISPLAYCHANGE, 32, MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    ASSERT_TRUE(m_program.Command(kProperties));
    ASSERT_TRUE(WaitFor([&] { return m_program.SheetVisible(); }, 10000));
    const HWND sheet = m_program.Sheet();
    int sheets = 0;
    EnumThreadWindows(
        GetWindowThreadProcessId(main, nullptr),
        [](HWND window, LPARAM lp) -> BOOL {
            char text[64] = "";
            GetWindowTextA(window, text, sizeof text);
            if (std::string(text) == "Dervane Properties")
                ++*reinterpret_cast<int*>(lp);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&sheets));
    EXPECT_EQ(1, sheets);

    // Closed, it is hidden and kept; opened again it is the same window.
    PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(WaitFor([&] { return !m_program.SheetVisible(); }, 10000));
    ASSERT_TRUE(m_program.Command(kProperties));
    ASSERT_TRUE(WaitFor([&] { return m_program.SheetVisible(); }, 10000));
    EXPECT_EQ(sheet, m_program.Sheet());
    ASSERT_TRUE(m_program.Command(kExit));
    EXPECT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
}

// A feature whose list cannot be read at start (held open by another
// program) runs without it and leaves the file as it was; the others run.
TEST_F(ProgramFeaturesTest, AListThatCannotBeReadAtStartIsLeftAndTheOtherFeaturesRun)
{
    StoreKnownLook();
    const std::string tasks = "KTX_FILE\tDERVANE AUTODELETE\nVERSION\t1.0\nENTRY_0\t" + m_trash +
        "\t0\t0\t0\nENTRY_0_TYPE_0\t*.tmp\nENTRY_0_TYPE_1\t#%#\n";
    ASSERT_TRUE(m_folder.WriteFile("AutoDelete.txt", tasks));
    ASSERT_TRUE(m_folder.WriteFile("TrayIcons.txt",
                                   "KTX_FILE\tDERVANE TRAY ICONS\r\nVERSION\t1.0\r\n"
                                   "ENTRY_0\tOne\t\t0\r\nENTRY_0_ITEM_0\t#%#\r\n"));
    HANDLE held = CreateFileA(m_folder.PathOf("AutoDelete.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND trayOwner = FindWindowExA(HWND_MESSAGE, nullptr, "DervaneTrayIcons", nullptr);
    ASSERT_NE(nullptr, trayOwner);
    EXPECT_TRUE(WaitFor([&] { return TrayIconExists(trayOwner, 305); }, 10000));
    EXPECT_TRUE(WaitFor([&] { return m_program.FindWindowOf(nullptr, "Dervane Delete Icon") != nullptr; }, 10000));
    CloseHandle(held);
    ASSERT_TRUE(m_program.Command(kExit));
    EXPECT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    EXPECT_EQ(tasks, m_folder.ReadFile("AutoDelete.txt"));
    EXPECT_GE(m_folder.CountLogLines("AutoDelete.txt"), 1) << "the log says it could not be read";
}
