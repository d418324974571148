// The deletion schedule, window-free: the deletion settings, the period and
// the clock's seconds, and CDeleteSchedule, which decides when the tasks run.
// The deletion feature (CDeletionFeature) gives it the clock, the window
// timer and the run through IDeleteScheduleHost, so tests drive it with a
// clock of their own.
//
// Times are the clock's local seconds since 1 January 1601, kept to their low
// 32 bits as "Property Delete AutoDel Last Action" stores them. Arithmetic is
// done in 64 bits with each field of the period clamped at 0; whether a run
// is due is decided on the 32-bit difference, so it survives the wrap of the
// stored seconds, and a last run that lies in the future (the clock was set
// back) counts from now instead of making the schedule due at once.
#pragma once

#include <cstdint>

// The deletion settings, as their registry values hold them.
struct DeleteSettings {
    uint8_t showIcon = 1;  // show the File Shredder window
    int32_t iconLeft = 0;  // its screen position
    int32_t iconTop = 0;
    uint8_t enabled = 0;  // "Enabled"
    uint8_t atStart = 0;  // "Perform at startup"
    int32_t days = 0;  // the period, as typed
    int32_t hours = 0;
    int32_t minutes = 0;
    int32_t seconds = 0;
    uint32_t lastAction = 0;  // the last scheduled run; 0 never
};

// The longest wait of one timer: a long period is waited out in such steps,
// each ending with a fresh look at the clock.
constexpr uint32_t kMaxScheduleStepMs = 600000;

// ((days * 24 + hours) * 60 + minutes) * 60 + seconds, each field at least 0.
uint64_t PeriodSeconds(const DeleteSettings& settings);
// A wait of that many seconds in milliseconds, at most kMaxScheduleStepMs.
uint32_t ScheduleStepMs(uint64_t seconds);
// The low 32 bits of a FILETIME's value in seconds.
uint32_t SecondsOfFileTime(uint64_t fileTime);
// The full seconds of stored, the clock's low 32 bits, taken as the latest
// time not after nowFull that has them.
uint64_t FullSeconds(uint32_t stored, uint64_t nowFull);

class IDeleteScheduleHost {
public:
    virtual ~IDeleteScheduleHost() = default;
    // The clock: local seconds since 1601 (NowSeconds in the program).
    virtual uint32_t Now() = 0;
    // Sets (or resets) the schedule's window timer; false when it cannot.
    virtual bool SetTimer(uint32_t elapseMs) = 0;
    virtual void KillTimer() = 0;
    // The program's general switch ("Enable features from other pages.").
    virtual bool FeaturesEnabled() = 0;
    // Runs every task in list order.
    virtual void RunTasks() = 0;
    // Stores the time of a scheduled run.
    virtual void StoreLastAction(uint32_t seconds) = 0;
    virtual void Warn(const char* text) = 0;
};

class CDeleteSchedule {
public:
    explicit CDeleteSchedule(IDeleteScheduleHost& host) : m_host(host) { }

    // Takes the period and the switches; lastAction too when withLastAction.
    void SetSettings(const DeleteSettings& settings, bool withLastAction);

    // Runs the tasks when the period has passed since the last run (true),
    // else arms the timer for the rest, unless it is armed already (false).
    // A period of 0 is no schedule: never due, no timer.
    bool CheckAutoDelTime();
    // force: a run at start or by "Delete Now", which records no time and
    // leaves the timer alone; checkEnabled: only with "Enabled" and the
    // general switch on.
    void DoAutoDel(bool force, bool checkEnabled);
    // The feature started: the schedule's check, and the start-up run when
    // that did not run the tasks.
    void OnStart();
    // The timer expired: look at the clock again.
    void OnTimer();
    void Stop();

    bool TimerArmed() const { return m_timerArmed; }
    uint32_t LastAction() const { return m_lastAction; }
    uint64_t Period() const { return m_period; }
    bool Enabled() const { return m_enabled; }

private:
    // Seconds since the last run; a last run in the future is re-based to now.
    uint64_t Elapsed(uint32_t now);
    void Arm(uint64_t seconds, const char* failure);

    IDeleteScheduleHost& m_host;
    uint64_t m_period = 0;
    bool m_enabled = false;
    bool m_atStart = false;
    uint32_t m_lastAction = 0;
    bool m_timerArmed = false;
};
