// The auto-respond engine against windows of another process, started as the
// program starts it: from this process, with a window of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "cbt/DervaneHookCBT.h"
#include "cbt/RespondLog.h"
#include "common/Log.h"
#include "common/Utf8.h"
#include "respond/RespondEngine.h"
#include "respond/RespondRuleList.h"
#include "tests/common/TempDir.h"
#include "tests/harness/ChildProcess.h"
#include "tests/harness/Wait.h"

namespace {
constexpr DWORD kAnswerMs = 5000;
constexpr UINT kOpenAnother = WM_APP + 50;
// The smallest WAVE file: a header and no samples.
const char kWave[] = "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0data\0\0\0\0";

// Plays the program's window that takes the engine's sounds: keeps each
// path handed over and frees it, as the program does.
std::vector<std::wstring> g_sounds;
UINT g_playSound = 0;

LRESULT CALLBACK SoundPlayerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != g_playSound || !g_playSound)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    auto* path = reinterpret_cast<wchar_t*>(lParam);
    g_sounds.push_back(path);
    HeapFree(GetProcessHeap(), 0, path);
    return 0;
}

RespondAction Act(ActionKind kind, const std::string& label = "", int32_t delay = 0,
                  MatchKind labelMatch = kMatchExactly)
{
    RespondAction action;
    action.kind = kind;
    action.label = label;
    action.labelMatch = labelMatch;
    action.delay = delay;
    return action;
}

RespondEntry Rule(const std::string& title, MatchKind titleMatch, std::vector<RespondAction> actions, bool once = false,
                  const std::string& text = "")
{
    RespondEntry rule;
    rule.windowTitle = title;
    rule.titleMatch = titleMatch;
    rule.windowText = text;
    rule.oncePerWindow = once;
    rule.actions = std::move(actions);
    return rule;
}

// Lets this thread's own windows take what was posted to them while waiting.
template <class Condition> bool WaitPumping(Condition condition, DWORD timeoutMs)
{
    return WaitFor(
        [&] {
            MSG msg = {};
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            return condition();
        },
        timeoutMs);
}

std::vector<std::string> LogWords(const std::string& file)
{
    std::vector<std::string> words;
    std::istringstream lines(ReadBytes(file));
    std::string word, tick;
    while (lines >> word >> tick)
        words.push_back(word);
    return words;
}

size_t CountOf(const std::vector<std::string>& words, const std::string& word)
{
    return static_cast<size_t>(std::count(words.begin(), words.end(), word));
}

class RespondEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_own = CreateWindowExA(0, "STATIC", "Own Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, m_own);
    }
    void TearDown() override
    {
        HOOKCBT_AttachDLL(nullptr, nullptr);
        DestroyWindow(m_own);
    }
    void WriteRules(const std::vector<RespondEntry>& rules)
    {
        CRespondRuleList list;
        for (const RespondEntry& rule : rules)
            list.Add(rule);
        ASSERT_EQ(ListSaveResult::kWritten, list.Save(m_folder.File("Respond.txt")));
    }
    void Attach() { HOOKCBT_AttachDLL(m_own, const_cast<char*>(m_folder.Path().c_str())); }
    std::string Target(const std::string& arguments)
    {
        return "\"" + CChildProcess::ModuleFolder() + "RespondTarget.exe\" " + arguments;
    }
    // Starts a window of the target program and answers it once shown.
    HWND OpenWindow(CChildProcess& child, const std::string& title, const std::string& log,
                    const std::string& labels = "")
    {
        EXPECT_TRUE(child.Start(Target("window \"" + title + "\" \"" + m_folder.File(log.c_str()) + "\" " + labels)));
        HWND hwnd = nullptr;
        WaitFor([&] { return (hwnd = FindWindowA("RespondTarget", title.c_str())) != nullptr; }, kAnswerMs);
        return hwnd;
    }
    std::vector<std::string> Log(const char* name) { return LogWords(m_folder.File(name)); }
    std::string RespondLog() { return ReadBytes(m_folder.File("Respond.log")); }

    TempDir m_folder;
    HWND m_own = nullptr;
};

TEST_F(RespondEngineTest, AnswersAMessageBoxAMenuAndPlainWindowsButNeverItsOwn)
{
    WriteBytes(m_folder.File("beep.wav"), std::string(kWave, sizeof kWave - 1));
    WriteRules({
        Rule("Save Question", kMatchExactly, {Act(kActionPushButton, "&yes")}, false, "save the CHANGES"),
        Rule("Menu Target", kMatchExactly, {Act(kActionSelectMenu, "write marker")}),
        Rule("Shrink", kMatchStartingWith, {Act(kActionMinimize, "", -5000)}),
        Rule("Grow", kMatchExactly, {Act(kActionMaximize)}),
        Rule("Closer", kMatchExactly,
             {Act(kActionPlaySound, m_folder.File("missing.wav")), Act(kActionPlaySound, m_folder.File("beep.wav")),
              Act(kActionClose)}),
        Rule("Own Window", kMatchExactly, {Act(kActionClose)}),
    });
    Attach();
    Attach();  // a second start is harmless

    CChildProcess box, menu, shrink, grow, closer;
    ASSERT_TRUE(box.Start(Target("msgbox \"Save Question\" \"Do you want to save the changes?\"")));
    HWND menuWindow = OpenWindow(menu, "Menu Target", "menu.log");
    HWND shrinkWindow = OpenWindow(shrink, "Shrink Me", "shrink.log");
    HWND growWindow = OpenWindow(grow, "Grow", "grow.log");
    ASSERT_TRUE(OpenWindow(closer, "Closer", "closer.log"));
    ASSERT_TRUE(menuWindow && shrinkWindow && growWindow);

    EXPECT_EQ(IDYES, box.WaitExit(kAnswerMs));
    // A window without the once flag is answered again when it is activated
    // again (as the others close), so answers are counted at least.
    EXPECT_TRUE(WaitFor([&] { return CountOf(Log("menu.log"), "Marker") >= 1; }, kAnswerMs)) << RespondLog();
    EXPECT_TRUE(WaitFor([&] { return IsIconic(shrinkWindow) != FALSE; }, kAnswerMs));
    EXPECT_TRUE(WaitFor([&] { return IsZoomed(growWindow) != FALSE; }, kAnswerMs));
    EXPECT_EQ(0, closer.WaitExit(kAnswerMs));
    EXPECT_TRUE(WaitPumping([&] { return RespondLog().find("CLOSE WINDOW: done") != std::string::npos; }, kAnswerMs));
    EXPECT_TRUE(IsWindow(m_own));

    const std::string log = RespondLog();
    EXPECT_NE(std::string::npos, log.find("window \"Save Question\": PUSH BUTTON \"&yes\": done")) << log;
    EXPECT_NE(std::string::npos, log.find("SELECT MENU \"write marker\": done")) << log;
    EXPECT_NE(std::string::npos, log.find("window \"Shrink Me\": MINIMIZE WINDOW: done")) << log;
    EXPECT_NE(std::string::npos, log.find("window \"Grow\": MAXIMIZE WINDOW: done")) << log;
    EXPECT_NE(std::string::npos, log.find("missing.wav\": failed: the sound file cannot be opened")) << log;
    EXPECT_NE(std::string::npos, log.find("beep.wav\": done")) << log;
    EXPECT_EQ(std::string::npos, log.find("Own Window\"")) << log;
}

// The library plays no sound in the programs it is loaded into: the engine
// hands the file, named here in Cyrillic, to the window it was started with.
TEST_F(RespondEngineTest, HandsTheSoundOfARuleToTheProgramsWindow)
{
    const std::string sound = m_folder.File("звонок.wav");
    WriteBytes(sound, std::string(kWave, sizeof kWave - 1));
    WriteRules({Rule("Ringer", kMatchExactly, {Act(kActionPlaySound, sound)}, true)});
    g_sounds.clear();
    g_playSound = RegisterWindowMessageW(kRespondPlaySoundMessage);
    WNDCLASSW wc = {};
    wc.lpfnWndProc = SoundPlayerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RespondTestSoundPlayer";
    RegisterClassW(&wc);
    HWND player = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                  nullptr);
    ASSERT_NE(nullptr, player);
    HOOKCBT_AttachDLL(player, const_cast<char*>(m_folder.Path().c_str()));

    CChildProcess ringer;
    ASSERT_TRUE(OpenWindow(ringer, "Ringer", "ringer.log"));
    EXPECT_TRUE(WaitPumping([] { return !g_sounds.empty(); }, kAnswerMs)) << RespondLog();
    ASSERT_EQ(1u, g_sounds.size());
    EXPECT_EQ(Utf8ToWide(sound.c_str()), g_sounds[0]);
    EXPECT_NE(std::string::npos, RespondLog().find("звонок.wav\": done")) << RespondLog();
    HOOKCBT_AttachDLL(nullptr, nullptr);
    DestroyWindow(player);
}

TEST_F(RespondEngineTest, AnswersAOncePerWindowRuleOncePerWindowInstance)
{
    WriteRules({Rule("Counter", kMatchExactly, {Act(kActionPushButton, "Count")}, true),
                Rule("Recounter", kMatchExactly, {Act(kActionPushButton, "Count")}, false)});
    Attach();
    CChildProcess once, again;
    HWND onceWindow = OpenWindow(once, "Counter", "once.log", "Count");
    HWND againWindow = OpenWindow(again, "Recounter", "again.log", "Count");
    ASSERT_TRUE(onceWindow && againWindow);
    ASSERT_TRUE(WaitFor([&] { return CountOf(Log("once.log"), "Count") == 1; }, kAnswerMs));
    ASSERT_TRUE(WaitFor([&] { return CountOf(Log("again.log"), "Count") == 1; }, kAnswerMs));

    // Both windows shown again: the one without the flag is answered again
    // (once its second has passed). Wine's hiding waits on the X server a while.
    for (HWND hwnd : {onceWindow, againWindow}) {
        ShowWindow(hwnd, SW_HIDE);
        ShowWindow(hwnd, SW_SHOW);
    }
    EXPECT_TRUE(WaitFor([&] { return CountOf(Log("again.log"), "Count") >= 2; }, 2 * kAnswerMs)) << RespondLog();
    EXPECT_EQ(1u, CountOf(Log("once.log"), "Count"));

    PostMessageA(onceWindow, kOpenAnother, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return CountOf(Log("once.log"), "Count") == 2; }, kAnswerMs)) << RespondLog();
}

TEST_F(RespondEngineTest, PerformsActionsInOrderEachAfterItsDelay)
{
    WriteRules({Rule("Sequence", kMatchExactly,
                     {Act(kActionPushButton, "sec", 400, kMatchStartingWith), Act(kActionPushButton, "First", 400)})});
    Attach();
    CChildProcess child;
    const ULONGLONG shown = GetTickCount64();
    ASSERT_TRUE(OpenWindow(child, "Sequence", "sequence.log", "First Second"));
    ASSERT_TRUE(WaitFor([&] { return Log("sequence.log").size() == 2; }, kAnswerMs));

    std::istringstream lines(ReadBytes(m_folder.File("sequence.log")));
    std::string first, second;
    unsigned long long firstAt = 0, secondAt = 0;
    lines >> first >> firstAt >> second >> secondAt;
    EXPECT_EQ("Second", first);
    EXPECT_EQ("First", second);
    EXPECT_GE(firstAt, shown + 350);
    EXPECT_GE(secondAt, firstAt + 350);
}

TEST_F(RespondEngineTest, TakesRulesChangedWhileItRuns)
{
    WriteRules({Rule("Changeable", kMatchExactly, {Act(kActionMinimize)})});
    Attach();
    // As the program does it: the engine is told first and the file written
    // just after, which the engine's reading must not make fail (checked in
    // WriteRules).
    HOOKCBT_RespondListUpdated();
    WriteRules({Rule("Changeable", kMatchExactly, {Act(kActionMaximize), Act(kActionPushButton, "Count")})});
    CChildProcess child;
    HWND hwnd = OpenWindow(child, "Changeable", "changeable.log", "Count");
    ASSERT_TRUE(hwnd);
    EXPECT_TRUE(WaitFor([&] { return CountOf(Log("changeable.log"), "Count") >= 1; }, kAnswerMs));
    EXPECT_TRUE(IsZoomed(hwnd));
    EXPECT_FALSE(IsIconic(hwnd));
}

TEST_F(RespondEngineTest, AnswersNothingWhileStoppedAndAnswersAgainWhenStarted)
{
    WriteRules({Rule("Stopper", kMatchExactly, {Act(kActionPushButton, "Count")})});
    Attach();
    HOOKCBT_AttachDLL(nullptr, nullptr);
    CChildProcess child;
    HWND first = OpenWindow(child, "Stopper", "stopper.log", "Count");
    ASSERT_TRUE(first);
    EXPECT_FALSE(WaitFor([&] { return !Log("stopper.log").empty(); }, 1500));

    Attach();
    PostMessageA(first, kOpenAnother, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return CountOf(Log("stopper.log"), "Count") >= 1; }, kAnswerMs));
}

TEST_F(RespondEngineTest, AnEngineKilledWithoutStoppingLeavesOtherProgramsWorking)
{
    WriteRules({Rule("Victim", kMatchExactly, {Act(kActionPushButton, "Count")})});
    CChildProcess engine, victim;
    ASSERT_TRUE(engine.Start(Target("engine \"" + m_folder.Path() + "\"")));
    ASSERT_TRUE(WaitFor([] { return FindWindowA("RespondTarget", "Engine Owner") != nullptr; }, kAnswerMs));
    HWND hwnd = OpenWindow(victim, "Victim", "victim.log", "Count");
    ASSERT_TRUE(hwnd);
    ASSERT_TRUE(WaitFor([&] { return CountOf(Log("victim.log"), "Count") >= 1; }, kAnswerMs));

    engine.Stop();
    PostMessageA(hwnd, kOpenAnother, 0, 0);
    HWND second = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            for (HWND found = nullptr; (found = FindWindowExA(nullptr, found, "RespondTarget", "Victim"));) {
                if (found != hwnd)
                    second = found;
            }
            return second != nullptr;
        },
        kAnswerMs));
    DWORD_PTR answer = 0;
    EXPECT_NE(0, SendMessageTimeoutA(second, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer));
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    PostMessageA(second, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, victim.WaitExit(kAnswerMs));
}

TEST_F(RespondEngineTest, StaysResponsiveWhileAnsweringAProgramThatHangs)
{
    WriteRules(
        {Rule("Hung Window", kMatchExactly, {Act(kActionSelectMenu, "Write Marker"), Act(kActionPushButton, "Count")},
              false, "not responding"),
         Rule("Lively", kMatchExactly, {Act(kActionPushButton, "Count")})});
    Attach();
    CChildProcess hung, lively;
    ASSERT_TRUE(hung.Start(Target("hung \"Hung Window\" \"Not responding\"")));
    ASSERT_TRUE(WaitFor([] { return FindWindowA("RespondTarget", "Hung Window") != nullptr; }, kAnswerMs));
    ASSERT_TRUE(OpenWindow(lively, "Lively", "lively.log", "Count"));
    EXPECT_TRUE(WaitFor([&] { return CountOf(Log("lively.log"), "Count") >= 1; }, kAnswerMs));
    EXPECT_TRUE(WaitFor(
        [&] { return RespondLog().find("window \"Hung Window\": PUSH BUTTON \"Count\": done") != std::string::npos; },
        kAnswerMs))
        << RespondLog();
    EXPECT_NE(std::string::npos, RespondLog().find("did not answer the menu read")) << RespondLog();
}

// The engine in a program of the system's code page (1252 in the prefix), as
// in any program it is loaded into, answers a window titled in Greek: title,
// button and menu item read wide and matched without case; its log in UTF-8.
TEST_F(RespondEngineTest, AnswersAWindowTitledInAnotherScriptWithoutCase)
{
    const std::string title = "Ερωτηση αρχειου";
    WriteRules({Rule("ΕΡΩΤΗΣΗ ΑΡΧΕΙΟΥ", kMatchExactly,
                     {Act(kActionPushButton, "ΝΑΙ"), Act(kActionSelectMenu, "σημάδι β")}, true)});
    CChildProcess engine, target;
    ASSERT_TRUE(engine.Start(Target("engine \"" + m_folder.Path() + "\"")));
    ASSERT_TRUE(WaitFor([] { return FindWindowA("RespondTarget", "Engine Owner") != nullptr; }, kAnswerMs));
    HWND hwnd = OpenWindow(target, title, "greek.log", "Ναι");
    ASSERT_TRUE(hwnd);
    // The title as the system holds it, read back wide.
    wchar_t wide[64] = {};
    GetWindowTextW(hwnd, wide, 64);
    EXPECT_EQ(std::wstring(L"\u0395\u03C1\u03C9\u03C4\u03B7\u03C3\u03B7 \u03B1\u03C1\u03C7\u03B5\u03B9\u03BF\u03C5"),
              wide);
    EXPECT_TRUE(WaitFor(
        [&] { return CountOf(Log("greek.log"), "Ναι") == 1 && CountOf(Log("greek.log"), "Marker") == 1; }, kAnswerMs))
        << RespondLog();
    EXPECT_TRUE(WaitFor([&] { return RespondLog().find("SELECT MENU") != std::string::npos; }, kAnswerMs));
    const std::string log = RespondLog();
    EXPECT_NE(std::string::npos, log.find("window \"Ερωτηση αρχειου\": PUSH BUTTON \"ΝΑΙ\": done")) << log;
    EXPECT_NE(std::string::npos, log.find("window \"Ερωτηση αρχειου\": SELECT MENU \"σημάδι β\": done")) << log;
    engine.Stop();
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, target.WaitExit(kAnswerMs));
}

TEST(RespondLogTest, DropsTheOlderHalfWhenALineWouldTakeItBeyondItsLimit)
{
    TempDir folder;
    CRespondLog log;
    log.SetFolder(folder.Path(), 2000);
    for (int i = 0; i < 200; i++)
        ASSERT_TRUE(log.Write("line " + std::to_string(i)));
    const std::string text = ReadBytes(folder.File("Respond.log"));
    EXPECT_LE(text.size(), 2000u);
    EXPECT_GT(text.size(), 900u);
    EXPECT_NE(std::string::npos, text.find("  line 199\r\n"));
    EXPECT_EQ(std::string::npos, text.find("  line 0\r\n"));
    EXPECT_EQ(static_cast<size_t>(kLogTimestampChars), text.find("  line "));  // starts with a whole line
    EXPECT_FALSE(FileExists(folder.File("Respond.log.new")));
}
}  // namespace
