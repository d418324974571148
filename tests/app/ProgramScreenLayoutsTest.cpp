// Dervane.exe keeping the icons' places of each screen size, in a Wine
// virtual desktop whose size really changes: the icons are moved as the user
// moves them, and the screen is changed and changed back. The desktop host
// puts the icons in columns a moment after each change, as the shell does.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/app/ProgramFixture.h"
#include "tests/harness/Wait.h"

namespace {

// Longer than the few seconds after the last move at which the places are kept.
constexpr DWORD kKeptTimeoutMs = 15000;
constexpr DWORD kMovedTimeoutMs = 10000;

const char kSnapshotSmall[] = "Positions\\Snapshot 800x600.dvs";
const char kSnapshotLarge[] = "Positions\\Snapshot 1024x768.dvs";
const char kOwnLayout[] = "Positions\\800x600.dvl";
// Positions layouts of one icon, as the library writes them.
std::string PositionsText(const char* place)
{
    return std::string("KTX_FILE\tDERVANE ICON POSITIONS\r\nVERSION\t1.0\r\nICON_TEXT_COLOR_FG\t65535\r\n"
                       "ICON_TEXT_COLOR_BG\t8388736\r\nICON_TEXT_BG\t1\r\nICON_STYLE\t0\r\nICON_0\tNotes.txt\t") +
        place + "\r\n";
}
// The user's own layout for the small screen, saved on purpose.
const std::string kOwnLayoutText = PositionsText("10,10");

class ProgramScreenLayoutsTest : public ProgramTestBase {
protected:
    void SetUp() override
    {
        ProgramTestBase::SetUp();
        if (HasFatalFailure())
            return;
        StoreKnownLook();
        ASSERT_TRUE(m_folder.WriteFile(kOwnLayout, kOwnLayoutText));
        m_session.SetHostArguments("/rearrange");
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
    EXPECT_EQ(1u, ReadView().shellArranges) << "the shell put the icons in columns first";
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
}

TEST_F(ProgramScreenLayoutsTest, WithTheSwitchOffNothingIsKeptOrPutBack)
{
    // Kept while the switch was still on.
    const std::string kept = PositionsText("300,300");
    ASSERT_TRUE(m_folder.WriteFile(kSnapshotSmall, kept));
    const BYTE off = 0;
    ASSERT_TRUE(WriteProgramBinary("Property Icon Keep Screen Layouts", &off, 1));
    ASSERT_TRUE(StartReady(m_program));

    ChangeScreen(1024, 768);
    ChangeScreen(800, 600);
    EXPECT_TRUE(NotesComeTo(10, 10)) << "the own layout for the size, as without snapshots";
    MoveNotes(200, 200);
    EXPECT_FALSE(WaitFor([&] { return m_folder.ReadFile(kSnapshotSmall) != kept; }, kKeptTimeoutMs / 3));
    EXPECT_FALSE(m_folder.Exists(kSnapshotLarge));
    EXPECT_EQ(kOwnLayoutText, m_folder.ReadFile(kOwnLayout));
}

}  // namespace
