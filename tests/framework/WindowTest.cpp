#include "framework/Window.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const UINT_PTR kTimerId = 17;
const UINT kThrowCommand = 900;
const UINT kPlainCommand = 901;

class RecordingWindow : public CWindow {
public:
    HWND hwndSeenInCreate = nullptr;
    bool boundInCreate = false;
    int creates = 0;
    int timers = 0;
    int destroys = 0;
    UINT lastCommand = 0;
    bool refuseCreate = false;
    bool throwInCreate = false;

protected:
    int OnCreate(const CREATESTRUCTA&) override
    {
        ++creates;
        hwndSeenInCreate = GetHwnd();
        boundInCreate = FromHandle(GetHwnd()) == this;
        if (throwInCreate)
            throw std::runtime_error("create failed on purpose");
        return refuseCreate ? 0 : 1;
    }
    int OnTimer(UINT_PTR id) override
    {
        if (id != kTimerId)
            return 0;
        ++timers;
        KillTimer(GetHwnd(), kTimerId);
        return 1;
    }
    int OnCommand(UINT id, UINT, HWND) override
    {
        if (id == kThrowCommand)
            throw std::logic_error("handler failed on purpose");
        lastCommand = id;
        return id == kPlainCommand;
    }
    void OnDestroy() override { ++destroys; }
};

CWindow::CreateArgs HiddenWindow(const std::string& className)
{
    CWindow::CreateArgs args;
    args.className = className.c_str();
    args.title = "framework test window";
    args.style = WS_OVERLAPPEDWINDOW;
    return args;
}

}  // namespace

TEST(WindowDispatch, BindsAtCreationAndDeliversCreateTimerAndCommand)
{
    const std::string cls = UniqueName("FwWindow");
    RecordingWindow window;
    ASSERT_EQ(1, window.Create(HiddenWindow(cls)));
    EXPECT_EQ(1, window.creates);
    EXPECT_TRUE(window.boundInCreate);
    EXPECT_EQ(window.GetHwnd(), window.hwndSeenInCreate);
    EXPECT_EQ(&window, CWindow::FromHandle(window.GetHwnd()));

    ASSERT_NE(0u, SetTimer(window.GetHwnd(), kTimerId, 10, nullptr));
    EXPECT_TRUE(PumpUntil([&] { return window.timers == 1; }));

    window.Post(WM_COMMAND, MAKEWPARAM(kPlainCommand, 0), 0);
    EXPECT_TRUE(PumpUntil([&] { return window.lastCommand == kPlainCommand; }));
}

TEST(WindowDispatch, UnhandledMessagesGetTheDefaultProcessing)
{
    const std::string cls = UniqueName("FwWindow");
    RecordingWindow window;
    ASSERT_EQ(1, window.Create(HiddenWindow(cls)));
    EXPECT_EQ(1, window.SetText("changed by default handling"));
    EXPECT_EQ("changed by default handling", window.GetText());
    // WM_CLOSE left unhandled destroys the window, and destruction unbinds it.
    HWND hwnd = window.GetHwnd();
    window.Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(1, window.destroys);
    EXPECT_EQ(nullptr, window.GetHwnd());
}

TEST(WindowDispatch, RefusedCreationFailsAndLeavesNoWindow)
{
    const std::string cls = UniqueName("FwWindow");
    RecordingWindow window;
    window.refuseCreate = true;
    EXPECT_EQ(0, window.Create(HiddenWindow(cls)));
    EXPECT_EQ(nullptr, window.GetHwnd());
    EXPECT_EQ(1, window.creates);
}

TEST(WindowDispatch, ExceptionInHandlerIsReportedAndDoesNotEscape)
{
    ReportCapture capture;
    const std::string cls = UniqueName("FwWindow");
    RecordingWindow window;
    ASSERT_EQ(1, window.Create(HiddenWindow(cls)));
    const LRESULT answer = window.Send(WM_COMMAND, MAKEWPARAM(kThrowCommand, 0), 0);
    EXPECT_EQ(0, answer);
    ASSERT_EQ(1u, capture.Lines().size());
    EXPECT_NE(std::string::npos, capture.Lines()[0].find("handler failed on purpose"));
    EXPECT_NE(std::string::npos, capture.Lines()[0].find("0x0111"));  // WM_COMMAND
    // The window goes on working.
    window.Send(WM_COMMAND, MAKEWPARAM(kPlainCommand, 0), 0);
    EXPECT_EQ(kPlainCommand, window.lastCommand);
}

TEST(WindowDispatch, ExceptionInCreateFailsTheCreation)
{
    ReportCapture capture;
    const std::string cls = UniqueName("FwWindow");
    RecordingWindow window;
    window.throwInCreate = true;
    EXPECT_EQ(0, window.Create(HiddenWindow(cls)));
    EXPECT_EQ(nullptr, window.GetHwnd());
    ASSERT_FALSE(capture.Lines().empty());
    EXPECT_NE(std::string::npos, capture.Lines()[0].find("create failed on purpose"));
}

TEST(WindowLifetime, DestructorDestroysTheWindowWithoutCallingHandlers)
{
    const std::string cls = UniqueName("FwWindow");
    HWND hwnd = nullptr;
    {
        RecordingWindow window;
        ASSERT_EQ(1, window.Create(HiddenWindow(cls)));
        hwnd = window.GetHwnd();
    }
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(WindowLifetime, ClassRegisteredElsewhereIsRefused)
{
    ReportCapture capture;
    RecordingWindow window;
    CWindow::CreateArgs args;
    args.className = "BUTTON";
    EXPECT_EQ(0, window.Create(args));
    EXPECT_EQ(0, window.creates);
    EXPECT_FALSE(capture.Lines().empty());
}

namespace {

// Counts the timer messages of a window it subclasses.
class TimerWatcher : public CWindow {
public:
    int timers = 0;

protected:
    int OnTimer(UINT_PTR) override
    {
        ++timers;
        KillTimer(GetHwnd(), kTimerId);
        return 1;
    }
};

}  // namespace

TEST(WindowSubclass, SeesMessagesKeepsDefaultsAndGivesTheProcedureBack)
{
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    ASSERT_NE(nullptr, edit);
    const LONG_PTR ownProc = GetWindowLongPtrA(edit, GWLP_WNDPROC);
    {
        TimerWatcher watcher;
        ASSERT_EQ(1, watcher.Subclass(edit));
        EXPECT_EQ(0, TimerWatcher().Subclass(edit));  // already bound
        SetTimer(edit, kTimerId, 10, nullptr);
        EXPECT_TRUE(PumpUntil([&] { return watcher.timers == 1; }));
        // The edit control's own procedure still stores the text.
        SetWindowTextA(edit, "typed");
        char text[16] = {};
        GetWindowTextA(edit, text, sizeof text);
        EXPECT_STREQ("typed", text);
    }
    EXPECT_TRUE(IsWindow(edit));  // not ours to destroy
    EXPECT_EQ(ownProc, GetWindowLongPtrA(edit, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, CWindow::FromHandle(edit));
    DestroyWindow(edit);
}
