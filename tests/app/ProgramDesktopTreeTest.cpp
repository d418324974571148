// Dervane.exe on each window tree a shell keeps its desktop in: the list view
// found, layouts saved and loaded from the Icons page, the desktop given back
// at exit; the desktop moved from one tree to another while the program runs;
// and a desktop without any list view.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/app/ProgramFixture.h"
#include "tests/harness/Wait.h"

namespace {

using DesktopHostProtocol::DesktopTree;

constexpr DWORD kExitTimeoutMs = 15000;
constexpr UINT kExit = 40002;
constexpr int kLayoutName = 1075;
constexpr int kSave = 1065;
constexpr int kLoad = 1066;

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Where the host's DefView lies, told from its ancestors as seen from here.
DesktopTree TreeOf(HWND defView, HWND progman)
{
    const HWND parent = GetAncestor(defView, GA_PARENT);
    if (parent == progman)
        return DesktopHostProtocol::kTreeProgman;
    if (ClassOf(parent) == "WorkerW")
        return GetAncestor(parent, GA_PARENT) == progman ? DesktopHostProtocol::kTreeWorkerWChild
                                                         : DesktopHostProtocol::kTreeWorkerW;
    return static_cast<DesktopTree>(-1);
}

struct TreeCase {
    const char* name;
    DesktopTree tree;
};
void PrintTo(const TreeCase& tree, std::ostream* out)
{
    *out << tree.name;
}

class ProgramDesktopTest : public ProgramTestBase {
protected:
    void SetUp() override
    {
        ProgramTestBase::SetUp();
        if (!HasFatalFailure())
            StoreKnownLook();
    }

    // The Icons page of the running program, shown.
    HWND IconsPage() { return ShowPage(2); }
    // Types the layout's name on the page and presses the button.
    static void LayoutButton(HWND page, const char* name, int button)
    {
        SetDlgItemTextA(page, kLayoutName, name);
        SendMessageA(GetDlgItem(page, button), BM_CLICK, 0, 0);
    }
    bool NotesAt(POINT where)
    {
        CDesktopHostClient::ItemRecord notes = {};
        return Host().FindItem("Notes.txt", notes) && notes.x == where.x && notes.y == where.y;
    }
    bool MoveNotes(int x, int y)
    {
        CDesktopHostClient::ItemRecord notes = {};
        return Host().FindItem("Notes.txt", notes) && Host().Move(notes.index, x, y);
    }
    POINT NotesPosition()
    {
        CDesktopHostClient::ItemRecord notes = {};
        EXPECT_TRUE(Host().FindItem("Notes.txt", notes));
        return POINT{notes.x, notes.y};
    }
    // Exits from the tray menu and checks that the program ended by itself.
    void ExitAndWait()
    {
        const HWND main = m_program.FindWindowOf("CTrayWnd");
        ASSERT_TRUE(m_program.Command(kExit));
        ASSERT_TRUE(WaitWindowGone(main));
        ASSERT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    }
};

class ProgramDesktopTreeTest : public ProgramDesktopTest, public ::testing::WithParamInterface<TreeCase> { };

TEST_P(ProgramDesktopTreeTest, SavesMovesLoadsAndGivesTheDesktopBackAtExit)
{
    m_session.SetHostArguments(std::string("/tree=") + GetParam().name);
    ASSERT_TRUE(m_session.Start());
    ASSERT_EQ(GetParam().tree, TreeOf(Host().DefView(), Host().Progman()));
    const View own = ReadView();
    const POINT found = NotesPosition();

    ASSERT_TRUE(StartReady(m_program));
    View view = ReadView();
    EXPECT_EQ(1u, view.listViewSubclassed);
    EXPECT_EQ(1u, view.defViewSubclassed);
    const HWND page = IconsPage();
    ASSERT_NE(nullptr, page);
    ASSERT_TRUE(MoveNotes(found.x + 150, found.y + 100));
    LayoutButton(page, "Tidy", kSave);
    EXPECT_TRUE(m_folder.Exists("Positions\\Tidy.dvl"));
    ASSERT_TRUE(MoveNotes(found.x + 300, found.y + 200));
    LayoutButton(page, "Tidy", kLoad);
    EXPECT_TRUE(WaitFor([&] { return NotesAt({found.x + 150, found.y + 100}); }, 10000)) << "loaded";

    ExitAndWait();
    view = ReadView();
    EXPECT_TRUE(NotesAt(found)) << "the desktop as found at start";
    EXPECT_EQ(0u, view.listViewSubclassed);
    EXPECT_EQ(0u, view.defViewSubclassed);
    EXPECT_EQ(own.textColor, view.textColor);
    EXPECT_EQ(own.textBkColor, view.textBkColor);
}

INSTANTIATE_TEST_SUITE_P(Trees, ProgramDesktopTreeTest,
                         ::testing::Values(TreeCase{"progman", DesktopHostProtocol::kTreeProgman},
                                           TreeCase{"workerw", DesktopHostProtocol::kTreeWorkerW},
                                           TreeCase{"workerw-child", DesktopHostProtocol::kTreeWorkerWChild}),
                         [](const ::testing::TestParamInfo<TreeCase>& info) {
                             return info.param.tree == DesktopHostProtocol::kTreeProgman ? "Progman"
                                 : info.param.tree == DesktopHostProtocol::kTreeWorkerW  ? "WorkerW"
                                                                                         : "WorkerWInsideProgman";
                         });

// A program that draws behind the icons asks Progman for a "WorkerW" while
// Dervane runs, and later the desktop goes back into Progman: each time the
// library sets itself up on the desktop again, as after a shell restart
// (seen as an icon left outside the view pulled back into it), and the
// layouts still work.
TEST_F(ProgramDesktopTest, TheLibraryFollowsTheDesktopIntoAWorkerWAndBack)
{
    ASSERT_TRUE(m_session.Start());
    const POINT found = NotesPosition();
    ASSERT_TRUE(StartReady(m_program));
    const HWND page = IconsPage();
    ASSERT_NE(nullptr, page);
    const View view = ReadView();
    const int width = view.listViewRect.right - view.listViewRect.left;

    struct Move {
        DesktopTree tree;
        bool byMessage;
        const char* layout;
    };
    for (const Move move : {Move{DesktopHostProtocol::kTreeWorkerW, true, "Behind"},
                            Move{DesktopHostProtocol::kTreeProgman, false, "Back"}}) {
        ASSERT_TRUE(MoveNotes(5000, 40));
        if (move.byMessage)
            SendMessageTimeoutA(Host().Progman(), 0x052C, 0xD, 1, SMTO_ABORTIFHUNG, 5000, nullptr);
        else
            ASSERT_TRUE(Host().MoveDefView(move.tree));
        ASSERT_EQ(move.tree, TreeOf(Host().DefView(), Host().Progman()));
        EXPECT_TRUE(WaitFor([&] { return NotesPosition().x < width; }, 10000)) << "set up again in " << move.layout;
        EXPECT_TRUE(WaitLook(kText, kBack)) << "and given the settings";

        const POINT pulled = NotesPosition();
        LayoutButton(page, move.layout, kSave);
        ASSERT_TRUE(MoveNotes(found.x + 100, found.y + 100));
        LayoutButton(page, move.layout, kLoad);
        EXPECT_TRUE(WaitFor([&] { return NotesAt(pulled); }, 10000)) << move.layout << " loaded";
    }
    ExitAndWait();
    EXPECT_TRUE(NotesAt(found));
    EXPECT_EQ(0u, ReadView().listViewSubclassed);
}

// A desktop whose DefView holds no list view: the library says so in the
// error log and installs nothing; the program runs without its desktop
// features and ends cleanly, its lists as they were, and the desktop's
// process runs on untouched.
TEST_F(ProgramDesktopTest, ADesktopWithoutAListViewIsLoggedAndTheProgramEndsCleanly)
{
    const std::pair<const char*, const char*> lists[] = {
        {"AutoDelete.txt",
         "KTX_FILE\tDERVANE AUTODELETE\nVERSION\t1.0\nENTRY_0\tC:\\Trash\t0\t0\t0\n"
         "ENTRY_0_TYPE_0\t*.tmp\nENTRY_0_TYPE_1\t#%#\n"},
        {"Respond.txt",
         "KTX_FILE\tDERVANE RESPOND\r\nVERSION\t1.0\r\nENTRY_0\tReplace\t1\treplace it\t3\t0\r\n"
         "ENTRY_0_ACTION_0\t1\tYes\t0\t0\r\nENTRY_0_ACTION_1\t#%#\r\n"},
        {"TrayIcons.txt",
         "KTX_FILE\tDERVANE TRAY ICONS\r\nVERSION\t1.0\r\nENTRY_0\tOne\t\t0\r\nENTRY_0_ITEM_0\t#%#\r\n"},
        {"Backup.txt",
         "KTX_FILE\tDERVANE BACKUP\nVERSION\t1.0\nCUSTOM\t0\nCUSTOM_COMMAND\t\t\nPOST_COMMAND\t\t\t0\n"
         "ENTRY_0\tReports\t1\t0\nENTRY_0_SOURCE\tC:\\Reports\nENTRY_0_DEST\tC:\\Backup\n"
         "ENTRY_0_TYPE_0\t*.*\nENTRY_0_TYPE_1\t#%#\n"},
    };
    for (const auto& list : lists)
        ASSERT_TRUE(m_folder.WriteFile(list.first, list.second));
    const int32_t days = 3;
    ASSERT_TRUE(WriteProgramBinary("Property Delete AutoDel Days", &days, sizeof days));
    m_session.SetHostArguments("/tree=no-listview");
    ASSERT_TRUE(m_session.Start());
    ASSERT_EQ(nullptr, Host().ListView());
    ASSERT_TRUE(m_program.Start(m_folder));
    ASSERT_NE(nullptr, m_program.WaitMainWindow());
    const char fatal[] = "> FATAL: Cannot find window \"SysListView32\" or \"Internet Explorer_Server\"!";
    EXPECT_TRUE(WaitFor([&] { return m_folder.CountLogLines(fatal) == 1; }, 10000));
    // The tray icon may come a moment after the log line.
    EXPECT_TRUE(WaitFor([&] { return TrayIconExists(m_program.FindWindowOf("CTrayWnd")); }, 10000));
    EXPECT_EQ(0u, ReadView().defViewSubclassed);

    ExitAndWait();
    EXPECT_EQ(1, m_folder.CountLogLines(fatal));
    EXPECT_FALSE(m_folder.Exists("Positions\\[original].dvl")) << "no layout of a desktop that was never read";
    for (const auto& list : lists)
        EXPECT_EQ(list.second, m_folder.ReadFile(list.first)) << list.first << " as it was";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&days), sizeof days),
              ReadProgramBinary("Property Delete AutoDel Days"));
    EXPECT_EQ(0u, ReadView().defViewSubclassed);
    EXPECT_TRUE(m_session.Host().Running());
}

}  // namespace
