// Dervane.exe keeping the icons' places of each screen size, in a Wine
// virtual desktop whose size really changes: the icons are moved as the user
// moves them, and the screen is changed and changed back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/app/ProgramFixture.h"
#include "tests/harness/Wait.h"

namespace {

// Longer than the few seconds after the last move at which the places are kept.
constexpr DWORD kKeptTimeoutMs = 15000;
constexpr DWORD kMovedTimeoutMs = 10000;
constexpr int kIconsPage = 2;
constexpr int kKeepSwitch = 1081;
constexpr int kAdjustSwitch = 1080;
constexpr int kApply = 1033;
constexpr int kLayoutList = 1064;

const char kSnapshotSmall[] = "Positions\\Snapshot 800x600.dvs";
const char kSnapshotLarge[] = "Positions\\Snapshot 1024x768.dvs";
const char kOwnLayout[] = "Positions\\800x600.dvl";
// The user's own layout for the small screen, saved on purpose.
const char kOwnLayoutText[] = "KTX_FILE\tDERVANE ICON POSITIONS\r\nVERSION\t1.0\r\nICON_0\tNotes.txt\t10,10\r\n";

class ProgramScreenLayoutsTest : public ProgramTestBase {
protected:
    void SetUp() override
    {
        ProgramTestBase::SetUp();
        if (HasFatalFailure())
            return;
        StoreKnownLook();
        ASSERT_TRUE(m_folder.WriteFile(kOwnLayout, kOwnLayoutText));
        ASSERT_TRUE(m_session.StartOnVirtualDesktop(TestFolderName(), 800, 600));
        m_program.SetDesktop(m_session.DesktopName());
    }

    void MoveNotes(int x, int y)
    {
        CDesktopHostClient::ItemRecord notes = {};
        ASSERT_TRUE(Host().FindItem("Notes.txt", notes));
        ASSERT_TRUE(Host().Move(notes.index, x, y));
    }
    ::testing::AssertionResult NotesComeTo(int x, int y)
    {
        CDesktopHostClient::ItemRecord notes = {};
        if (WaitFor([&] { return Host().FindItem("Notes.txt", notes) && notes.x == x && notes.y == y; },
                    kMovedTimeoutMs)) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "Notes.txt at " << notes.x << "," << notes.y;
    }
    void ChangeScreen(int width, int height)
    {
        const std::string command = "\"" + CChildProcess::ModuleFolder() + "DisplayMode.exe\" " +
            std::to_string(width) + " " + std::to_string(height);
        ASSERT_EQ(0, m_session.RunOnDesktop(command, 20000));
    }
    bool Holds(const char* file, const std::string& record) const
    {
        return m_folder.ReadFile(file).find(record) != std::string::npos;
    }
};

TEST_F(ProgramScreenLayoutsTest, ChangingTheScreenAndBackPutsEveryIconBackAndTheOwnLayoutStaysAsSaved)
{
    ASSERT_TRUE(StartReady(m_program));
    MoveNotes(500, 400);
    EXPECT_TRUE(WaitFor([&] { return Holds(kSnapshotSmall, "\tNotes.txt\t500,400\r\n"); }, kKeptTimeoutMs))
        << m_folder.ReadFile(kSnapshotSmall);

    ChangeScreen(1024, 768);
    EXPECT_TRUE(NotesComeTo(640, 512)) << "nothing kept for the larger screen yet: scaled";
    MoveNotes(900, 100);
    EXPECT_TRUE(WaitFor([&] { return Holds(kSnapshotLarge, "\tNotes.txt\t900,100\r\n"); }, kKeptTimeoutMs))
        << m_folder.ReadFile(kSnapshotLarge);

    ChangeScreen(800, 600);
    EXPECT_TRUE(NotesComeTo(500, 400)) << "where it stood on this screen, not where the own layout has it";
    ChangeScreen(1024, 768);
    EXPECT_TRUE(NotesComeTo(900, 100));

    EXPECT_EQ(kOwnLayoutText, m_folder.ReadFile(kOwnLayout));
    EXPECT_TRUE(Holds(kSnapshotSmall, "\tNotes.txt\t500,400\r\n")) << "the display changes wrote nothing";
    EXPECT_FALSE(m_folder.Exists(std::string(kSnapshotSmall) + ".new"));
    const HWND page = ShowPage(kIconsPage);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, kKeepSwitch));
    EXPECT_EQ(1, SendDlgItemMessageA(page, kLayoutList, LB_GETCOUNT, 0, 0)) << "only the own layout is listed";
}

TEST_F(ProgramScreenLayoutsTest, WithTheSwitchOffNothingIsKeptOrPutBack)
{
    // Kept while the switch was still on.
    const std::string kept = "KTX_FILE\tDERVANE ICON POSITIONS\r\nVERSION\t1.0\r\nICON_0\tNotes.txt\t300,300\r\n";
    ASSERT_TRUE(m_folder.WriteFile(kSnapshotSmall, kept));
    ASSERT_TRUE(StartReady(m_program));
    const HWND page = ShowPage(kIconsPage);
    ASSERT_NE(nullptr, page);
    Click(page, kAdjustSwitch);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kKeepSwitch))) << "nothing is put back without adjusting";
    Click(page, kAdjustSwitch);
    Click(page, kKeepSwitch);
    Click(page, kApply);
    EXPECT_TRUE(
        WaitFor([] { return ReadProgramBinary("Property Icon Keep Screen Layouts") == std::string(1, '\0'); }, 5000));

    ChangeScreen(1024, 768);
    ChangeScreen(800, 600);
    EXPECT_TRUE(NotesComeTo(10, 10)) << "the own layout for the size, as without snapshots";
    MoveNotes(200, 200);
    EXPECT_FALSE(WaitFor([&] { return m_folder.ReadFile(kSnapshotSmall) != kept; }, kKeptTimeoutMs / 3));
    EXPECT_FALSE(m_folder.Exists(kSnapshotLarge));
    EXPECT_EQ(kOwnLayoutText, m_folder.ReadFile(kOwnLayout));
}

}  // namespace
