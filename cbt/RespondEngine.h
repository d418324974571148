// The engine's own thread in the program's process: it owns a message-only
// window to which the hooks in every process post the windows they see, sets
// and removes the hooks, keeps the rules of "Respond.txt", and performs each
// matching rule's actions in order, each after its delay. Every call from the
// program's thread only posts to it (or waits for it to end, when stopping).
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "cbt/RespondLog.h"
#include "framework/ScopedHandles.h"
#include "respond/RespondEngine.h"
#include "respond/RespondRuleList.h"

class CRespondEngine {
public:
    ~CRespondEngine() { Stop(); }

    // Starts the thread and answers once its hooks are set; a running engine
    // takes the folder and the player and reads the rules again. The sounds
    // of the rules are handed to soundPlayer (respond/RespondEngine.h).
    bool Start(HWND soundPlayer, const std::string& folder);
    void Stop();
    void RulesChanged();
    bool Running() const { return m_thread.IsValid(); }

private:
    struct Job {
        HWND window = nullptr;
        DWORD threadId = 0;
        RespondEntry rule;
        int ruleNumber = 0;
        std::string title;
        size_t next = 0;  // the action to perform next
        ULONGLONG due = 0;
        ULONGLONG retryUntil = 0;  // a button or menu item that is not (yet) there
        LONG menuRequest = 0;  // waiting for this menu read
        ULONGLONG menuDeadline = 0;
    };
    struct Seen {
        DWORD threadId = 0;
        ULONGLONG watchUntil = 0;  // evaluated again until then
        ULONGLONG lastAnswered = 0;
        std::set<std::string> onceRules;  // rules answered once in this window
    };

    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    void OnWindowSeen(HWND window);
    // Starts the first rule that applies to the window; answers whether it
    // is done with the window (answered, gone, or never to be answered).
    bool Evaluate(HWND window, Seen& seen, ULONGLONG now);
    void OnTick();
    void RunJob(Job& job, ULONGLONG now);
    void PerformAction(Job& job, ULONGLONG now);
    void RequestMenu(Job& job, ULONGLONG now);
    void OnMenuRead(LONG request);
    void FinishMenu(Job& job, const char* failure);
    void Advance(Job& job, ULONGLONG now);
    void DropFinishedJobs();
    void ArmTimer();
    void ReloadRules(bool force);
    void LogAction(const Job& job, const char* outcome);

    ScopedHandle m_thread;
    ScopedHandle m_ready;
    HWND m_window = nullptr;
    bool m_hooked = false;

    // The engine's thread only, from here on.
    std::string m_folder;
    std::string m_pendingFolder;  // handed over at start, before the thread runs
    HWND m_soundPlayer = nullptr;
    UINT m_playSoundMessage = 0;
    CRespondRuleList m_rules;
    FILETIME m_rulesStamp = {};
    ULONGLONG m_rulesSize = ~0ull;
    CRespondLog m_log;
    HHOOK m_cbtHook = nullptr;
    HHOOK m_menuHook = nullptr;
    std::map<HWND, Seen> m_seen;
    size_t m_pruneAt = 1024;  // gone windows are forgotten when the map reaches this size
    std::vector<HWND> m_watching;  // seen lately, not answered yet
    std::vector<Job> m_jobs;
};
