// A display change inside a Wine virtual desktop, where it really changes
// the screen: the desktop host and the program's side (hook_display_client)
// both run on that desktop, and this test watches the host from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/harness/ChildProcess.h"
#include "tests/harness/HostSession.h"
#include "tests/harness/TestDesktop.h"
#include "tests/hook/HookTestSupport.h"

namespace {

constexpr DWORD kClientTimeoutMs = 60000;

class HookDisplayTest : public ::testing::Test {
protected:
    using Item = CDesktopHostClient::ItemRecord;

    void SetUp() override
    {
        ASSERT_TRUE(m_desktop.Open());
        ASSERT_TRUE(m_desktop.AddFile("Notes.txt"));
        ASSERT_TRUE(m_desktop.AddFile("Readme.txt"));
        m_folder = MakeProgramFolder();
        CreateDirectoryA((m_folder + "\\Positions").c_str(), nullptr);
        DeleteFileA((m_folder + "\\Positions\\1024x768.dvl").c_str());
        DeleteFileA((m_folder + "\\display.txt").c_str());
    }
    // Starts the host with these arguments on a virtual desktop of 800x600.
    void Start(const char* hostArguments)
    {
        m_session.SetHostArguments(hostArguments);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        ASSERT_TRUE(m_session.StartOnVirtualDesktop(std::string("DervaneHook") + info->name(), 800, 600));
        Move("Notes.txt", 500, 400);
        Move("Readme.txt", 100, 50);
        m_before = Items();
    }
    void TearDown() override
    {
        m_session.Stop();
        m_desktop.Clear();
    }

    std::map<std::string, Item> Items()
    {
        std::vector<Item> items;
        EXPECT_TRUE(m_session.Client().Items(items));
        std::map<std::string, Item> byLabel;
        for (const Item& item : items)
            byLabel.emplace(item.label, item);
        return byLabel;
    }
    void Move(const std::string& label, int x, int y)
    {
        Item item = {};
        ASSERT_TRUE(m_session.Client().FindItem(label, item));
        ASSERT_TRUE(m_session.Client().Move(item.index, x, y));
    }
    // With lateProgram, the library is told only once the host has put its icons in columns.
    long RunClient(int restore, bool lateProgram = false)
    {
        const std::string command = "\"" + CChildProcess::ModuleFolder() + "hook_display_client.exe\" \"" + m_folder +
            "\" 1024 768 " + std::to_string(restore) +
            (lateProgram ? " " + std::to_string(m_session.Client().Pid()) : std::string());
        return m_session.RunOnDesktop(command, kClientTimeoutMs);
    }
    std::string Result() { return ReadFileBytes(m_folder + "\\display.txt"); }

    CTestDesktop m_desktop;
    CHostSession m_session;
    std::string m_folder;
    std::map<std::string, Item> m_before;
};

// The host puts the icons in columns a moment after the change, as the
// shell does; the library places them after that.
TEST_F(HookDisplayTest, WithoutALayoutForTheNewSizeEveryIconIsScaled)
{
    ASSERT_NO_FATAL_FAILURE(Start("/rearrange"));
    ASSERT_EQ(0, RunClient(1));
    CDesktopHostClient::ViewRecord view = {};
    ASSERT_TRUE(m_session.Client().View(view));
    EXPECT_EQ(1u, view.shellArranges);
    const auto after = Items();
    ASSERT_EQ(m_before.size(), after.size());
    EXPECT_EQ(640, after.at("Notes.txt").x);
    EXPECT_EQ(512, after.at("Notes.txt").y);
    EXPECT_EQ(128, after.at("Readme.txt").x);
    EXPECT_EQ(64, after.at("Readme.txt").y);
    for (const auto& entry : m_before) {
        EXPECT_EQ(static_cast<int>(entry.second.x * 1.28), after.at(entry.first).x) << entry.first;
        EXPECT_EQ(static_cast<int>(entry.second.y * 1.28), after.at(entry.first).y) << entry.first;
    }
    // The program's desktop window moves with them; no layout was loaded.
    EXPECT_EQ("delete 128,256\n", Result());
}

// A shell that leaves its windows as they were but puts the icons in
// columns before the program tells the library: the icons still go from
// the places they had before the change.
TEST_F(HookDisplayTest, IconsTheShellMovedBeforeTheProgramToldTheLibraryAreScaledFromTheirPlacesBefore)
{
    ASSERT_NO_FATAL_FAILURE(Start("/keep-size /rearrange"));
    ASSERT_EQ(0, RunClient(1, true));
    const auto after = Items();
    for (const auto& entry : m_before) {
        EXPECT_EQ(static_cast<int>(entry.second.x * 1.28), after.at(entry.first).x) << entry.first;
        EXPECT_EQ(static_cast<int>(entry.second.y * 1.28), after.at(entry.first).y) << entry.first;
    }
}

TEST_F(HookDisplayTest, LayoutForTheNewSizeIsLoaded)
{
    ASSERT_TRUE(WriteFileBytes(m_folder + "\\Positions\\1024x768.dvl",
                               "KTX_FILE\tDERVANE ICON POSITIONS\r\nVERSION\t1.0\r\nICON_TEXT_COLOR_FG\t16777215\r\n"
                               "ICON_TEXT_COLOR_BG\t0\r\nICON_TEXT_BG\t0\r\nICON_STYLE\t0\r\n"
                               "ICON_0\tNotes.txt\t900,700\r\nWINDOW_DELETE\t300,310\r\n"));
    ASSERT_NO_FATAL_FAILURE(Start(""));
    ASSERT_EQ(0, RunClient(1));
    const auto after = Items();
    EXPECT_EQ(900, after.at("Notes.txt").x);
    EXPECT_EQ(700, after.at("Notes.txt").y);
    EXPECT_EQ(100, after.at("Readme.txt").x) << "not in the layout: not scaled either";
    EXPECT_EQ(50, after.at("Readme.txt").y);
    EXPECT_EQ("delete 300,310\n9 1024x768.dvl\n", Result());
}

TEST_F(HookDisplayTest, WithoutAdjustingNothingMoves)
{
    ASSERT_NO_FATAL_FAILURE(Start(""));
    ASSERT_EQ(0, RunClient(0));
    const auto after = Items();
    for (const auto& entry : m_before) {
        EXPECT_EQ(entry.second.x, after.at(entry.first).x) << entry.first;
        EXPECT_EQ(entry.second.y, after.at(entry.first).y) << entry.first;
    }
    EXPECT_EQ("delete 100,200\n", Result());
}

}  // namespace
