// The hook library against the desktop host, linked as the program links it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "hook/DervaneHook.h"
#include "tests/harness/ChildProcess.h"
#include "tests/harness/HostSession.h"
#include "tests/harness/TestDesktop.h"
#include "tests/harness/Wait.h"
#include "tests/hook/HookTestSupport.h"

using Item = CDesktopHostClient::ItemRecord;
using View = CDesktopHostClient::ViewRecord;

namespace {

class HookAttachTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_desktop.Open());
        m_desktop.Clear();
        ASSERT_TRUE(m_desktop.AddFile("Notes.txt"));
        ASSERT_TRUE(m_desktop.AddFile("Readme.txt"));
        m_folder = MakeProgramFolder();
    }
    void TearDown() override
    {
        HOOK_AttachDLL(nullptr, nullptr);
        m_session.Stop();
        m_desktop.Clear();
    }
    CDesktopHostClient& Host() { return m_session.Client(); }
    View ReadView()
    {
        View view = {};
        EXPECT_TRUE(Host().View(view));
        return view;
    }

    CTestDesktop m_desktop;
    CHostSession m_session;
    CProgramWindow m_program;
    std::string m_folder;
};

TEST_F(HookAttachTest, BecomesReadyAndSubclassesTheListView)
{
    ASSERT_TRUE(m_session.Start());
    EXPECT_EQ(0u, ReadView().listViewSubclassed);
    ASSERT_TRUE(AttachAndWait(m_program.Handle(), m_folder));
    const View view = ReadView();
    EXPECT_EQ(1u, view.listViewSubclassed);
    EXPECT_EQ(1u, view.defViewSubclassed);
    EXPECT_NE(0u, HOOK_GetMessageID());
    EXPECT_EQ(Host().ListView(), HOOK_GetListView());
}

TEST_F(HookAttachTest, UnknownCodesAreAnsweredZero)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(AttachAndWait(m_program.Handle(), m_folder));
    const auto labelsBefore = Host().Labels();
    for (int code : {12, 0, -5, 99, 0x7fffffff}) {
        dervaneMsg_t msg = {};
        msg.code = code;
        msg.route = HOOKROUTE_HOOK;
        strcpy(msg.payload.text, "anything.dvl");
        EXPECT_EQ(0ul, HOOK_SendMessage(&msg)) << "code " << code;
    }
    EXPECT_EQ(labelsBefore, Host().Labels());
}

TEST_F(HookAttachTest, CountsSelectedIcons)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(AttachAndWait(m_program.Handle(), m_folder));
    Item notes = {}, readme = {};
    ASSERT_TRUE(Host().FindItem("Notes.txt", notes));
    ASSERT_TRUE(Host().FindItem("Readme.txt", readme));
    ASSERT_TRUE(Host().Select(notes.index, true));
    ASSERT_TRUE(Host().Select(readme.index, true));
    int total = -1, selected = -1;
    HOOK_GetSelectedIconCount(&total, &selected);
    EXPECT_EQ(4, total);  // two files, "My Computer" and "Recycle Bin"
    EXPECT_EQ(2, selected);
    HOOK_GetSelectedIconCount(nullptr, nullptr);  // no crash without places to write
}

TEST_F(HookAttachTest, PullsIconsBackIntoViewAtSetUp)
{
    ASSERT_TRUE(m_session.Start());
    Item notes = {};
    ASSERT_TRUE(Host().FindItem("Notes.txt", notes));
    ASSERT_TRUE(Host().Move(notes.index, 5000, 4000));
    ASSERT_TRUE(AttachAndWait(m_program.Handle(), m_folder));
    const View view = ReadView();
    const int width = view.listViewRect.right - view.listViewRect.left;
    const int height = view.listViewRect.bottom - view.listViewRect.top;
    ASSERT_TRUE(Host().FindItem("Notes.txt", notes));
    const int w = notes.boundsRect.right - notes.boundsRect.left;
    const int h = notes.boundsRect.bottom - notes.boundsRect.top;
    EXPECT_EQ(width - w, notes.x);
    EXPECT_EQ(height - h, notes.y);
}

TEST_F(HookAttachTest, DetachGivesTheDesktopItsOwnStateBack)
{
    ASSERT_TRUE(m_session.Start());
    const View before = ReadView();
    ASSERT_TRUE(AttachAndWait(m_program.Handle(), m_folder));
    dervaneMsg_t msg = {};
    msg.code = HOOKMSG_APPLY_SETTINGS;
    msg.route = HOOKROUTE_HOOK;
    msg.payload.settings.enabled = 1;
    msg.payload.settings.iconStyle = 1;
    msg.payload.settings.textForeground = RGB(255, 0, 0);
    msg.payload.settings.textBackground = RGB(0, 0, 255);
    msg.payload.settings.textBackgroundOpaque = 1;
    HOOK_SendMessage(&msg);
    const View changed = ReadView();
    EXPECT_EQ(RGB(255, 0, 0), changed.textColor);
    EXPECT_EQ(static_cast<uint32_t>(LVS_SMALLICON), changed.style & LVS_TYPEMASK);

    HOOK_AttachDLL(nullptr, nullptr);
    const View after = ReadView();
    EXPECT_EQ(0u, after.listViewSubclassed);
    EXPECT_EQ(0u, after.defViewSubclassed);
    EXPECT_EQ(before.textColor, after.textColor);
    EXPECT_EQ(before.textBkColor, after.textBkColor);
    EXPECT_EQ(before.style, after.style);
    EXPECT_EQ(0, HOOK_IsReady());
}

// A second program instance attaches while the library stays loaded in the
// desktop's process, after the first one has detached.
TEST_F(HookAttachTest, AttachesAgainFromAnotherProgramProcess)
{
    ASSERT_TRUE(m_session.Start());
    const std::string client = CChildProcess::ModuleFolder() + "\\hook_client.exe";
    for (int round = 0; round < 2; ++round) {
        CChildProcess process;
        ASSERT_TRUE(process.Start("\"" + client + "\" \"" + m_folder + "\""));
        EXPECT_EQ(0, process.WaitExit(20000)) << "round " << round;
        EXPECT_EQ(0u, ReadView().listViewSubclassed) << "the client detached";
    }
    ASSERT_TRUE(AttachAndWait(m_program.Handle(), m_folder));
    EXPECT_EQ(1u, ReadView().listViewSubclassed);
}

TEST_F(HookAttachTest, RequestToAListViewThatIsGoneIsNotSent)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(AttachAndWait(m_program.Handle(), m_folder));
    m_session.Stop();
    dervaneMsg_t msg = {};
    msg.code = HOOKMSG_SAVE_POSITIONS;
    msg.route = HOOKROUTE_HOOK;
    strcpy(msg.payload.text, "after.dvl");
    EXPECT_EQ(0ul, HOOK_SendMessage(&msg));
    EXPECT_EQ(1, CountLines(ReadErrorLog(m_folder), "WARNING: Desktop list view is gone"));
}

TEST_F(HookAttachTest, PayloadWithoutTerminatorLeavesTheDesktopWell)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(AttachAndWait(m_program.Handle(), m_folder));
    for (int code = HOOKMSG_LOAD_POSITIONS; code <= HOOKMSG_ICONIFY_SHORTCUTS; ++code) {
        dervaneMsg_t msg = {};
        msg.code = code;
        msg.route = HOOKROUTE_HOOK;
        memset(msg.payload.text, 'A', sizeof msg.payload.text);
        EXPECT_EQ(0ul, HOOK_SendMessage(&msg)) << "code " << code;
    }
    EXPECT_EQ(4u, Host().Labels().size());
    EXPECT_EQ(1u, ReadView().listViewSubclassed);
}

TEST(HookAttachWithoutDesktop, LogsOneFatalLineAndStaysUnready)
{
    CProgramWindow program;
    const std::string folder = MakeProgramFolder();
    ASSERT_EQ(nullptr, FindWindowA("Progman", "Program Manager")) << "a desktop host is still running";
    HOOK_AttachDLL(program.Handle(), const_cast<char*>(folder.c_str()));
    EXPECT_EQ(0, HOOK_IsReady());
    const auto lines = ReadErrorLog(folder);
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("> FATAL: Cannot find window \"Progman\"!"));
    EXPECT_EQ(24u, lines[0].find('>')) << "a 24-character timestamp first";
    HOOK_AttachDLL(nullptr, nullptr);
}

TEST_F(HookAttachTest, RefusesAProgramFolderThatDoesNotFit)
{
    ASSERT_TRUE(m_session.Start());
    // 512 bytes: the shared block holds a folder of up to 511 bytes of UTF-8.
    const std::string longFolder = m_folder + "\\" + std::string(511 - m_folder.size(), 'f');
    ASSERT_EQ(512u, longFolder.size());
    HOOK_AttachDLL(m_program.Handle(), const_cast<char*>(longFolder.c_str()));
    EXPECT_FALSE(WaitFor([] { return HOOK_IsReady() == 1; }, 1500));
    EXPECT_EQ(0u, ReadView().listViewSubclassed);
    HOOK_AttachDLL(nullptr, nullptr);
}

}  // namespace
