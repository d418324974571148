#include "cbt/RespondEngine.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "cbt/CbtShared.h"
#include "cbt/WindowActions.h"
#include "common/Log.h"
#include "common/Utf8.h"
#include "respond/RespondMatch.h"

namespace {
// The engine's own requests to its thread.
constexpr UINT kEngineStop = WM_APP + 10;
constexpr UINT kEngineReload = WM_APP + 11;
constexpr UINT kEngineSetFolder = WM_APP + 12;  // WPARAM: the sounds' player; LPARAM: a std::string the thread deletes

constexpr UINT_PTR kTimerId = 1;
constexpr UINT_PTR kReloadTimerId = 2;
constexpr UINT kReloadSettleMs = 250;
constexpr DWORD kStartWaitMs = 10000;
constexpr DWORD kStopWaitMs = 10000;
constexpr ULONGLONG kWatchMs = 2000;  // a window's title and texts may still change after it shows
constexpr ULONGLONG kWatchStepMs = 50;
constexpr ULONGLONG kAnswerGapMs = 1000;  // a window is answered at most once a second
constexpr ULONGLONG kRetryMs = 1000;  // a button may appear or be enabled a moment later
constexpr ULONGLONG kRetryStepMs = 50;
constexpr ULONGLONG kMenuWaitMs = 2000;
constexpr size_t kSeenPruneAt = 1024;
constexpr ULONGLONG kRewriteStaleMs = 5000;
const wchar_t* const kClassName = L"DervaneRespondEngine";

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string RuleKey(const RespondEntry& rule)
{
    return rule.windowTitle + '\t' + std::to_string(rule.titleMatch) + '\t' + rule.windowText + '\t' +
        std::to_string(rule.textMatch);
}

// True while the program's new file has been written to lately; one left
// behind by a program that ended half way does not count.
bool BeingRewritten(const std::string& newFile)
{
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    if (!GetFileAttributesExW(Utf8ToWide(newFile.c_str()).c_str(), GetFileExInfoStandard, &info))
        return false;
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    const ULONGLONG written = ticks(info.ftLastWriteTime);
    return ticks(now) < written + kRewriteStaleMs * 10000;
}

const char* OutcomeText(ActionOutcome outcome, const char* notFound, const char* disabled)
{
    switch (outcome) {
    case ActionOutcome::kDone: return "done";
    case ActionOutcome::kNotFound: return notFound;
    case ActionOutcome::kDisabled: return disabled;
    default: return "failed: the window did not take the message";
    }
}
// Waits for one of handles while the calling thread goes on answering its
// messages: the caller is the program's user-interface thread, and a window
// of its own that the engine's thread asks something of (its text, when a
// hook or the system looks at it) must not wait for it in turn.
DWORD WaitPumping(DWORD count, const HANDLE* handles, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const DWORD woke = MsgWaitForMultipleObjects(count, handles, FALSE, left, QS_SENDMESSAGE);
        if (woke != WAIT_OBJECT_0 + count)
            return woke;
        // Only messages sent by other threads are answered here (they are
        // delivered by the peek); posted ones wait for the caller's loop.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
}  // namespace

bool CRespondEngine::Start(HWND soundPlayer, const std::string& folder)
{
    if (Running()) {
        if (m_window)
            PostMessageW(m_window, kEngineSetFolder, reinterpret_cast<WPARAM>(soundPlayer),
                         reinterpret_cast<LPARAM>(new std::string(folder)));
        return true;
    }
    m_pendingFolder = folder;
    m_soundPlayer = soundPlayer;
    m_ready.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_ready)
        return false;
    m_thread.Reset(CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
    if (!m_thread)
        return false;
    const HANDLE waits[] = {m_ready.Get(), m_thread.Get()};
    const DWORD woke = WaitPumping(2, waits, kStartWaitMs);
    if (woke != WAIT_OBJECT_0 || !m_hooked) {
        Stop();
        return false;
    }
    return true;
}

void CRespondEngine::Stop()
{
    if (!Running())
        return;
    if (m_window)
        PostMessageW(m_window, kEngineStop, 0, 0);
    const HANDLE thread = m_thread.Get();
    if (WaitPumping(1, &thread, kStopWaitMs) != WAIT_OBJECT_0)
        LogWarning("The auto-respond engine did not stop in time");
    m_thread.Reset();
    m_ready.Reset();
    m_window = nullptr;
    m_hooked = false;
}

void CRespondEngine::RulesChanged()
{
    if (Running() && m_window)
        PostMessageW(m_window, kEngineReload, 0, 0);
}

DWORD WINAPI CRespondEngine::ThreadMain(void* self)
{
    auto* engine = static_cast<CRespondEngine*>(self);
    try {
        engine->Run();
    } catch (...) {
        LogWarning("Unexpected failure in the auto-respond engine");
    }
    // Whatever happened, nothing of the engine stays in other processes.
    if (engine->m_cbtHook)
        UnhookWindowsHookEx(engine->m_cbtHook);
    if (engine->m_menuHook)
        UnhookWindowsHookEx(engine->m_menuHook);
    engine->m_cbtHook = engine->m_menuHook = nullptr;
    g_cbtShared.engineWindow = nullptr;
    if (engine->m_ready)
        SetEvent(engine->m_ready.Get());
    return 0;
}

void CRespondEngine::Run()
{
    m_folder = m_pendingFolder;
    m_log.SetFolder(m_folder);
    m_seen.clear();
    m_pruneAt = kSeenPruneAt;
    m_watching.clear();
    m_jobs.clear();
    ReloadRules(true);

    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = g_cbtModule;
    wc.lpszClassName = kClassName;
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        m_log.Write("The engine could not start: no window class");
        return;
    }
    // Other processes post to it; being message-only it is no top-level
    // window of the desktop.
    m_window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, g_cbtModule, this);
    if (!m_window) {
        m_log.Write("The engine could not start: no window");
        return;
    }
    g_cbtShared.menuReadMessage = RegisterWindowMessageW(L"DERVANE_CBT_MENU_READ");
    m_playSoundMessage = RegisterWindowMessageW(kRespondPlaySoundMessage);
    g_cbtShared.engineProcessId = GetCurrentProcessId();
    g_cbtShared.engineWindow = m_window;
    // Set from this thread, which always pumps: the system runs a 64-bit
    // hook's calls for 32-bit programs on the thread that set it.
    m_cbtHook = SetWindowsHookExW(WH_CBT, CbtHookProc, g_cbtModule, 0);
    if (!m_cbtHook) {
        m_log.Write("The engine could not start: the window hook was refused");
        DestroyWindow(m_window);
        return;
    }
    m_hooked = true;
    SetEvent(m_ready.Get());

    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

LRESULT CALLBACK CRespondEngine::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* engine = reinterpret_cast<CRespondEngine*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!engine)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        return engine->OnMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        LogWarning("Unexpected failure in the auto-respond engine");
    }
    return 0;
}

LRESULT CRespondEngine::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kCbtWindowCreated:
    case kCbtWindowActivated: OnWindowSeen(reinterpret_cast<HWND>(wParam)); return 0;
    case kCbtMenuRead: OnMenuRead(static_cast<LONG>(wParam)); return 0;
    case WM_TIMER:
        if (wParam == kReloadTimerId) {
            KillTimer(hwnd, kReloadTimerId);
            ReloadRules(true);
        } else {
            OnTick();
        }
        return 0;
    case kEngineReload:
        // The program tells the engine first and rewrites the file just
        // after; the file's change is also seen at the next window.
        SetTimer(hwnd, kReloadTimerId, kReloadSettleMs, nullptr);
        return 0;
    case kEngineSetFolder: {
        std::unique_ptr<std::string> folder(reinterpret_cast<std::string*>(lParam));
        m_soundPlayer = reinterpret_cast<HWND>(wParam);
        if (folder && *folder != m_folder) {
            m_folder = *folder;
            m_log.SetFolder(m_folder);
        }
        ReloadRules(true);
        return 0;
    }
    case kEngineStop: DestroyWindow(hwnd); return 0;
    case WM_DESTROY:
        g_cbtShared.engineWindow = nullptr;
        if (m_cbtHook)
            UnhookWindowsHookEx(m_cbtHook);
        if (m_menuHook)
            UnhookWindowsHookEx(m_menuHook);
        m_cbtHook = m_menuHook = nullptr;
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void CRespondEngine::OnWindowSeen(HWND window)
{
    DWORD pid = 0;
    const DWORD threadId = window ? GetWindowThreadProcessId(window, &pid) : 0;
    if (!threadId || pid == GetCurrentProcessId())
        return;
    if (m_seen.size() >= m_pruneAt) {
        for (auto it = m_seen.begin(); it != m_seen.end();)
            it = IsWindow(it->first) ? std::next(it) : m_seen.erase(it);
        m_pruneAt = std::max(kSeenPruneAt, 2 * m_seen.size());
    }
    const ULONGLONG now = GetTickCount64();
    Seen& seen = m_seen[window];
    if (seen.threadId != threadId) {
        seen = Seen();  // a new window under a handle used before
        seen.threadId = threadId;
    }
    seen.watchUntil = now + kWatchMs;
    if (Evaluate(window, seen, now)) {
        m_watching.erase(std::remove(m_watching.begin(), m_watching.end(), window), m_watching.end());
    } else if (std::find(m_watching.begin(), m_watching.end(), window) == m_watching.end()) {
        m_watching.push_back(window);
    }
    ArmTimer();
}

bool CRespondEngine::Evaluate(HWND window, Seen& seen, ULONGLONG now)
{
    if (GetWindowThreadProcessId(window, nullptr) != seen.threadId)
        return true;
    for (const Job& job : m_jobs) {
        if (job.window == window)
            return true;
    }
    if (!IsWindowVisible(window))
        return false;
    if (seen.lastAnswered && now - seen.lastAnswered < kAnswerGapMs)
        return false;
    ReloadRules(false);
    const std::string title = WindowTitle(window);
    const std::vector<std::string> texts = ChildTexts(window);
    for (int i = 0; i < m_rules.Count(); i++) {
        const RespondEntry& rule = m_rules.Rule(i);
        if (!RuleMatchesWindow(rule, title, texts))
            continue;
        const std::string key = RuleKey(rule);
        if (rule.oncePerWindow && seen.onceRules.count(key))
            return true;
        seen.lastAnswered = now;
        if (rule.oncePerWindow)
            seen.onceRules.insert(key);
        Job job;
        job.window = window;
        job.threadId = seen.threadId;
        job.rule = rule;
        job.ruleNumber = i + 1;
        job.title = title;
        if (rule.actions.empty()) {
            LogAction(job, "matched; the rule has no actions");
            return true;
        }
        job.due = now + ClampedDelay(rule.actions[0].delay);
        m_jobs.push_back(std::move(job));
        RunJob(m_jobs.back(), now);
        DropFinishedJobs();
        return true;
    }
    return false;
}

void CRespondEngine::OnTick()
{
    const ULONGLONG now = GetTickCount64();
    for (size_t i = 0; i < m_watching.size();) {
        auto seen = m_seen.find(m_watching[i]);
        if (seen == m_seen.end() || now > seen->second.watchUntil || Evaluate(m_watching[i], seen->second, now))
            m_watching.erase(m_watching.begin() + static_cast<ptrdiff_t>(i));
        else
            i++;
    }
    for (Job& job : m_jobs) {
        if (job.menuRequest && now >= job.menuDeadline)
            FinishMenu(job, "failed: the window's program did not answer the menu read");
        else if (!job.menuRequest && now >= job.due)
            RunJob(job, now);
    }
    DropFinishedJobs();
    ArmTimer();
}

void CRespondEngine::RunJob(Job& job, ULONGLONG now)
{
    while (job.next < job.rule.actions.size() && !job.menuRequest && job.due <= now)
        PerformAction(job, now);
}

void CRespondEngine::PerformAction(Job& job, ULONGLONG now)
{
    if (!IsWindow(job.window) || GetWindowThreadProcessId(job.window, nullptr) != job.threadId) {
        LogAction(job, "refused: the window is gone");
        job.next = job.rule.actions.size();
        return;
    }
    if (!IsWindowVisible(job.window)) {
        LogAction(job, "refused: the window is hidden");
        job.next = job.rule.actions.size();
        return;
    }
    const RespondAction& action = job.rule.actions[job.next];
    switch (action.kind) {
    case kActionPushButton: {
        const ActionOutcome outcome = PushButton(job.window, action);
        if (outcome == ActionOutcome::kNotFound || outcome == ActionOutcome::kDisabled) {
            if (!job.retryUntil)
                job.retryUntil = now + kRetryMs;
            if (now < job.retryUntil) {
                job.due = now + kRetryStepMs;
                return;
            }
        }
        LogAction(job, OutcomeText(outcome, "failed: no button has that label", "refused: the button is disabled"));
        break;
    }
    case kActionSelectMenu:
        if (IsThirtyTwoBitWindow(job.window)) {
            LogAction(job, "refused: the menus of 32-bit programs are out of reach");
            break;
        }
        RequestMenu(job, now);
        return;
    case kActionMinimize:
    case kActionMaximize:
        LogAction(job,
                  ShowWindowAsync(job.window, action.kind == kActionMinimize ? SW_MINIMIZE : SW_MAXIMIZE) ? "done"
                                                                                                          : "failed");
        break;
    case kActionClose: LogAction(job, PostMessageW(job.window, WM_CLOSE, 0, 0) ? "done" : "failed"); break;
    case kActionPlaySound: {
        const char* failure = HandOverWaveFile(m_soundPlayer, m_playSoundMessage, action.label);
        LogAction(job, failure ? (std::string("failed: ") + failure).c_str() : "done");
        break;
    }
    default: LogAction(job, "refused: not an action"); break;
    }
    Advance(job, now);
}

// Has the target's own thread copy its menu bar: the menus of another process
// cannot be read from outside.
void CRespondEngine::RequestMenu(Job& job, ULONGLONG now)
{
    if (m_menuHook) {
        job.due = now + kRetryStepMs;  // one menu read at a time
        return;
    }
    CbtMenuRead& read = g_cbtShared.menu;
    const LONG request = InterlockedIncrement(&read.request);
    read.window = job.window;
    read.answered = 0;
    m_menuHook = SetWindowsHookExW(WH_GETMESSAGE, CbtMenuReadProc, g_cbtModule, job.threadId);
    if (!m_menuHook || !PostMessageW(job.window, g_cbtShared.menuReadMessage, static_cast<WPARAM>(request), 0)) {
        FinishMenu(job, "failed: the window's menu cannot be read");
        return;
    }
    job.menuRequest = request;
    job.menuDeadline = now + kMenuWaitMs;
}

void CRespondEngine::OnMenuRead(LONG request)
{
    const CbtMenuRead& read = g_cbtShared.menu;
    for (Job& job : m_jobs) {
        if (!job.menuRequest || job.menuRequest != request || read.answered != request)
            continue;
        const RespondAction& action = job.rule.actions[job.next];
        const CbtMenuItem* item = FindMenuItem(read, action);
        const ActionOutcome outcome = item ? ChooseMenuItem(job.window, *item) : ActionOutcome::kNotFound;
        FinishMenu(job,
                   OutcomeText(outcome, "failed: no menu item has that label", "refused: the menu item is disabled"));
        RunJob(job, GetTickCount64());
        break;
    }
    DropFinishedJobs();
    ArmTimer();
}

void CRespondEngine::FinishMenu(Job& job, const char* outcome)
{
    if (m_menuHook)
        UnhookWindowsHookEx(m_menuHook);
    m_menuHook = nullptr;
    job.menuRequest = 0;
    LogAction(job, outcome);
    Advance(job, GetTickCount64());
}

void CRespondEngine::DropFinishedJobs()
{
    m_jobs.erase(std::remove_if(m_jobs.begin(), m_jobs.end(),
                                [](const Job& j) { return j.next >= j.rule.actions.size() && !j.menuRequest; }),
                 m_jobs.end());
}

void CRespondEngine::Advance(Job& job, ULONGLONG now)
{
    job.next++;
    job.retryUntil = 0;
    if (job.next < job.rule.actions.size())
        job.due = now + ClampedDelay(job.rule.actions[job.next].delay);
}

void CRespondEngine::ArmTimer()
{
    if (!m_window)
        return;
    const ULONGLONG now = GetTickCount64();
    ULONGLONG next = ~0ull;
    if (!m_watching.empty())
        next = now + kWatchStepMs;
    for (const Job& job : m_jobs)
        next = std::min(next, job.menuRequest ? job.menuDeadline : job.due);
    if (next == ~0ull) {
        KillTimer(m_window, kTimerId);
        return;
    }
    const ULONGLONG wait = next > now ? next - now : 0;
    SetTimer(m_window, kTimerId, static_cast<UINT>(std::max<ULONGLONG>(wait, USER_TIMER_MINIMUM)), nullptr);
}

// Reads "Respond.txt" when asked to, or when it changed since the last read.
// Under Wine the program's new file cannot be moved over one that is open at
// all, whatever its sharing: the engine keeps off the file while the
// program's new file stands beside it, copies it at once and reads the rules
// from the copy.
void CRespondEngine::ReloadRules(bool force)
{
    const std::string path = m_folder + "\\Respond.txt";
    if (BeingRewritten(path + ".new")) {
        m_rulesSize = ~0ull;  // read at the next window, or when told again
        m_rulesStamp = {};
        if (m_window)
            SetTimer(m_window, kReloadTimerId, kReloadSettleMs, nullptr);
        return;
    }
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    ULONGLONG size = 0;
    FILETIME stamp = {};
    if (GetFileAttributesExW(Utf8ToWide(path.c_str()).c_str(), GetFileExInfoStandard, &info)) {
        size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        stamp = info.ftLastWriteTime;
    }
    if (!force && size == m_rulesSize && CompareFileTime(&stamp, &m_rulesStamp) == 0)
        return;
    m_rulesSize = size;
    m_rulesStamp = stamp;

    std::string bytes;
    {
        ScopedHandle file(CreateFileW(Utf8ToWide(path.c_str()).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            m_rules.Load(path);  // missing: an empty list
            return;
        }
        char buffer[16384];
        DWORD got = 0;
        while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got)
            bytes.append(buffer, got);
    }
    wchar_t temporary[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, temporary);
    const std::string copy = (length && length <= MAX_PATH ? WideToUtf8(temporary, length) : m_folder + "\\") +
        "DervaneRespond-" + std::to_string(GetCurrentProcessId()) + ".txt";
    const std::wstring wideCopy = Utf8ToWide(copy.c_str());
    {
        ScopedHandle out(
            CreateFileW(wideCopy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr));
        DWORD written = 0;
        if (!out || !WriteFile(out.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size()) {
            m_log.Write("The rules could not be read: no room for a copy of Respond.txt");
            m_rulesSize = ~0ull;  // tried again at the next window
            return;
        }
    }
    m_rules.Load(copy);
    DeleteFileW(wideCopy.c_str());
}

void CRespondEngine::LogAction(const Job& job, const char* outcome)
{
    std::string line = "rule " + std::to_string(job.ruleNumber) + " (" + Quoted(job.rule.windowTitle) + ", " +
        Quoted(job.rule.windowText) + "), window " + Quoted(job.title) + ": ";
    if (job.next < job.rule.actions.size()) {
        const RespondAction& action = job.rule.actions[job.next];
        const char* word = ActionKindText(action.kind);
        line += word ? word : ("action " + std::to_string(action.kind)).c_str();
        if (!action.label.empty())
            line += " " + Quoted(action.label);
        line += ": ";
    }
    line += outcome;
    m_log.Write(line);
}
