#include "framework/Application.h"
#include "framework/FrameWindow.h"

#include "TestResources.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const UINT_PTR kCloseTimer = 5;
const UINT_PTR kSafetyTimer = 6;

// Closes itself from a timer, as the program's main window ends the program.
class ClosingFrame : public CFrameWindow {
public:
    int* destroyed = nullptr;

protected:
    int OnCreate(const CREATESTRUCTA&) override
    {
        SetTimer(GetHwnd(), kCloseTimer, 20, nullptr);
        SetTimer(GetHwnd(), kSafetyTimer, 5000, nullptr);
        return 1;
    }
    int OnTimer(UINT_PTR id) override
    {
        if (id == kSafetyTimer)
            PostQuitMessage(99);
        else
            Destroy();
        return 1;
    }
    void OnDestroy() override
    {
        if (destroyed)
            ++*destroyed;
    }
};

class TestApp : public CApplication {
public:
    bool declineInit = false;
    int exits = 0;
    int destroyed = 0;
    HWND frame = nullptr;
    std::string title;

protected:
    int InitInstance() override
    {
        auto window = std::make_unique<ClosingFrame>();
        window->destroyed = &destroyed;
        CFrameWindow* main = SetMainWindow(std::move(window));
        CFrameWindow::FrameArgs args;
        args.resourceId = IDR_TEST_FRAME;
        title = UniqueName("Framework Test Frame");
        args.title = title.c_str();
        if (!main->LoadFrame(args))
            return 0;
        frame = main->GetHwnd();
        main->Show(SW_HIDE);
        return declineInit ? 0 : 1;
    }
    void ExitInstance() override { ++exits; }
};

bool QuitIsQueued()
{
    MSG msg = {};
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

}  // namespace

TEST(Application, RunsTheLoopUntilTheMainWindowIsDestroyed)
{
    TestApp app;
    EXPECT_EQ(&app, CApplication::Get());
    EXPECT_EQ(0, app.Run());  // 99 would mean the safety timer ended it
    EXPECT_EQ(1, app.exits);
    EXPECT_EQ(1, app.destroyed);
    EXPECT_FALSE(IsWindow(app.frame));
    EXPECT_EQ(nullptr, app.GetMainWindow());
}

TEST(Application, DeclinedStartDestroysTheMainWindowAndLeavesNoQuit)
{
    TestApp app;
    app.declineInit = true;
    EXPECT_EQ(0, app.Run());
    EXPECT_EQ(1, app.exits);
    EXPECT_EQ(1, app.destroyed);
    EXPECT_FALSE(IsWindow(app.frame));
    EXPECT_FALSE(QuitIsQueued());
}

TEST(Application, KnowsItsFileFolderStringsAndArguments)
{
    TestApp app;
    app.declineInit = true;
    app.Run();
    const std::string path = app.GetModulePath();
    const std::string folder = app.GetModuleFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE('\\', folder.back());
    EXPECT_EQ(folder + "\\framework_tests.exe", path);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    EXPECT_EQ("Framework test string", app.GetString(IDS_TEST_STRING));
    EXPECT_EQ("", app.GetString(31999));
}

TEST(Application, ArgumentsFollowTheProgramNameQuotedOrNot)
{
    EXPECT_EQ("\"C:\\Some Folder\\Work.dvl\"",
              CApplication::ArgumentsOf("\"C:\\Program Files\\App\\App.exe\" \"C:\\Some Folder\\Work.dvl\""));
    EXPECT_EQ("file.dvl  x", CApplication::ArgumentsOf("App.exe \t  file.dvl  x"));
    EXPECT_EQ("", CApplication::ArgumentsOf("\"C:\\with space\\App.exe\""));
    EXPECT_EQ("", CApplication::ArgumentsOf("App.exe"));
    EXPECT_EQ("", CApplication::ArgumentsOf("\"C:\\never closed App.exe a b"));
    EXPECT_EQ("", CApplication::ArgumentsOf(""));
    EXPECT_EQ("", CApplication::ArgumentsOf(nullptr));
}

TEST(FrameWindow, TakesItsMenuFromTheResource)
{
    CFrameWindow frame;
    CFrameWindow::FrameArgs args;
    args.resourceId = IDR_TEST_FRAME;
    ASSERT_EQ(1, frame.LoadFrame(args));
    HMENU menu = frame.GetMenu();
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(1, GetMenuItemCount(menu));
    EXPECT_EQ(static_cast<UINT>(ID_TEST_EXIT), GetMenuItemID(GetSubMenu(menu, 0), 0));
    // Not the main window: destroying it leaves the loop running.
    frame.Destroy();
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_FALSE(QuitIsQueued());
}
