#include "autodelete/DeleteSchedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr uint32_t kDay = 86400;

// The page as the schedule sees it, with a clock the test sets.
class ScheduleHost : public IDeleteScheduleHost {
public:
    uint32_t Now() override { return now; }
    bool SetTimer(uint32_t elapseMs) override
    {
        timers.push_back(elapseMs);
        return timerWorks;
    }
    void KillTimer() override { ++kills; }
    bool FeaturesEnabled() override { return featuresOn; }
    void RunTasks() override { ++runs; }
    void StoreLastAction(uint32_t seconds) override { stored.push_back(seconds); }
    void Warn(const char* text) override { warnings.push_back(text); }

    uint32_t now = 500000000u;
    bool timerWorks = true;
    bool featuresOn = true;
    int runs = 0;
    int kills = 0;
    std::vector<uint32_t> timers;
    std::vector<uint32_t> stored;
    std::vector<std::string> warnings;
};

DeleteSettings Every(int32_t days, int32_t hours, int32_t minutes, int32_t seconds, uint32_t lastAction)
{
    DeleteSettings settings;
    settings.enabled = 1;
    settings.days = days;
    settings.hours = hours;
    settings.minutes = minutes;
    settings.seconds = seconds;
    settings.lastAction = lastAction;
    return settings;
}

class DeleteScheduleTest : public testing::Test {
protected:
    void Start(const DeleteSettings& settings)
    {
        schedule.SetSettings(settings, true);
        schedule.OnStart();
    }
    ScheduleHost host;
    CDeleteSchedule schedule{host};
};

}  // namespace

TEST(DeleteSchedulePeriod, FieldsBelowZeroCountAsZeroAndHugeOnesDoNotWrap)
{
    EXPECT_EQ(90061u, PeriodSeconds(Every(1, 1, 1, 1, 0)));
    EXPECT_EQ(30u, PeriodSeconds(Every(0, -1, -5, 30, 0)));
    EXPECT_EQ(50000ull * kDay, PeriodSeconds(Every(50000, 0, 0, 0, 0)));
    EXPECT_EQ(0x7FFFFFFFull * kDay + 0x7FFFFFFFull * 3661,
              PeriodSeconds(Every(0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0)));
    EXPECT_EQ(30000u, ScheduleStepMs(30));
    EXPECT_EQ(kMaxScheduleStepMs, ScheduleStepMs(601));
    EXPECT_EQ(kMaxScheduleStepMs, ScheduleStepMs(50000ull * kDay)) << "capped before the x1000";
}

TEST(DeleteSchedulePeriod, StoredSecondsAreTheClocksLowBitsAndComeBackWhole)
{
    const uint64_t fileTime = 134100000000000000ull;  // 2025, in 100 ns steps since 1601
    const uint64_t full = fileTime / 10000000ull;
    EXPECT_EQ(static_cast<uint32_t>(full), SecondsOfFileTime(fileTime));
    EXPECT_EQ(full - 100, FullSeconds(static_cast<uint32_t>(full - 100), full));
    // Stored just before the low bits wrapped, read just after.
    const uint64_t afterWrap = (full & ~0xFFFFFFFFull) + 0x100000000ull + 5;
    EXPECT_EQ(afterWrap - 10, FullSeconds(static_cast<uint32_t>(afterWrap - 10), afterWrap));
}

TEST_F(DeleteScheduleTest, OneDayNeverRunRunsAtStartRecordsNowAndWaitsTenMinutes)
{
    Start(Every(1, 0, 0, 0, 0));
    EXPECT_EQ(1, host.runs);
    EXPECT_EQ(std::vector<uint32_t>{host.now}, host.stored);
    EXPECT_EQ(std::vector<uint32_t>{kMaxScheduleStepMs}, host.timers);
    EXPECT_TRUE(schedule.TimerArmed());

    // Each expiry looks at the clock again: not due yet, the rest is waited.
    host.now += 600;
    schedule.OnTimer();
    EXPECT_EQ(1, host.runs);
    EXPECT_EQ(kMaxScheduleStepMs, host.timers.back());
    host.now += kDay - 600 - 20;
    schedule.OnTimer();
    EXPECT_EQ(20000u, host.timers.back());
    host.now += 20;
    schedule.OnTimer();
    EXPECT_EQ(2, host.runs);
    EXPECT_EQ(host.now, host.stored.back());
}

TEST_F(DeleteScheduleTest, ThirtySecondsArmsThirtyThousandMillisecondsAfterEachRun)
{
    Start(Every(0, 0, 0, 30, host.now - 30));
    EXPECT_EQ(1, host.runs);
    EXPECT_EQ(std::vector<uint32_t>{30000u}, host.timers);
    host.now += 30;
    schedule.OnTimer();
    EXPECT_EQ(2, host.runs);
    EXPECT_EQ(30000u, host.timers.back());
}

TEST_F(DeleteScheduleTest, AtStartNotDueRunsOnceAndKeepsTheLastAction)
{
    DeleteSettings settings = Every(1, 0, 0, 0, host.now - 3600);
    settings.atStart = 1;
    Start(settings);
    EXPECT_EQ(1, host.runs);
    EXPECT_TRUE(host.stored.empty());
    EXPECT_EQ(host.now - 3600, schedule.LastAction());
    EXPECT_EQ(std::vector<uint32_t>{kMaxScheduleStepMs}, host.timers);
}

TEST_F(DeleteScheduleTest, AtStartAndDueRunsOnceNotTwice)
{
    DeleteSettings settings = Every(1, 0, 0, 0, host.now - 2 * kDay);
    settings.atStart = 1;
    Start(settings);
    EXPECT_EQ(1, host.runs);
    EXPECT_EQ(std::vector<uint32_t>{host.now}, host.stored);
}

TEST_F(DeleteScheduleTest, AZeroPeriodIsNoScheduleAndAtStartStillRuns)
{
    DeleteSettings settings = Every(0, 0, 0, 0, 0);
    settings.atStart = 1;
    Start(settings);
    EXPECT_EQ(1, host.runs) << "\"Perform at startup\" runs as its label says";
    EXPECT_TRUE(host.stored.empty());
    EXPECT_TRUE(host.timers.empty());
    settings.atStart = 0;
    Start(settings);
    EXPECT_EQ(1, host.runs);
    EXPECT_FALSE(schedule.CheckAutoDelTime());
    EXPECT_TRUE(host.timers.empty());
}

TEST_F(DeleteScheduleTest, DeleteNowRunsWhateverTheSwitchesAndRecordsNothing)
{
    DeleteSettings settings = Every(0, 0, 0, 0, 0);
    settings.enabled = 0;
    schedule.SetSettings(settings, true);
    host.featuresOn = false;
    schedule.DoAutoDel(true, false);
    EXPECT_EQ(1, host.runs);
    EXPECT_TRUE(host.stored.empty());
    EXPECT_TRUE(host.timers.empty());
}

TEST_F(DeleteScheduleTest, TheGeneralSwitchOffStopsTheScheduleAndTheStartUpRun)
{
    host.featuresOn = false;
    DeleteSettings settings = Every(0, 0, 0, 30, 0);
    settings.atStart = 1;
    Start(settings);
    EXPECT_EQ(0, host.runs);
    EXPECT_TRUE(host.stored.empty());
    settings.enabled = 0;
    host.featuresOn = true;
    Start(settings);
    EXPECT_EQ(0, host.runs) << "\"Enabled\" off stops both as well";
}

TEST_F(DeleteScheduleTest, NegativeOrHugeFieldsNeverMakeTheScheduleRunEverySeconds)
{
    Start(Every(0, -1, 0, 0, host.now - 10));
    EXPECT_EQ(0, host.runs) << "a period of 0";
    Start(Every(50000, 0, 0, 0, host.now - 10));
    EXPECT_EQ(0, host.runs);
    EXPECT_EQ(kMaxScheduleStepMs, host.timers.back());
    host.now += 600;
    schedule.OnTimer();
    EXPECT_EQ(0, host.runs);
}

TEST_F(DeleteScheduleTest, ALastRunInTheFutureCountsFromNowAndTheWrapIsSurvived)
{
    Start(Every(1, 0, 0, 0, host.now + 3600));
    EXPECT_EQ(0, host.runs) << "the clock was set back an hour";
    EXPECT_EQ(host.now, schedule.LastAction());
    EXPECT_EQ(kMaxScheduleStepMs, host.timers.back());

    // Last run 100 s before the stored seconds wrapped, now 50 s after.
    ScheduleHost wrapped;
    CDeleteSchedule other(wrapped);
    wrapped.now = 50;
    other.SetSettings(Every(0, 0, 2, 0, 0xFFFFFFFFu - 99), true);
    EXPECT_TRUE(other.CheckAutoDelTime());
    EXPECT_EQ(1, wrapped.runs);
    wrapped.now = 30;
    other.Stop();
    EXPECT_FALSE(other.CheckAutoDelTime()) << "the run at 50 lies 20 s ahead: counted from now";
    EXPECT_EQ(30u, other.LastAction());
}

TEST_F(DeleteScheduleTest, ATimerThatCannotBeSetIsLogged)
{
    host.timerWorks = false;
    Start(Every(1, 0, 0, 0, host.now - 10));
    Start(Every(1, 0, 0, 0, 0));
    EXPECT_EQ((std::vector<std::string>{"CheckAutoDelTime Cannot set timer!", "DoAutoDel Cannot set timer!"}),
              host.warnings);
}

TEST_F(DeleteScheduleTest, ADisabledScheduleStillArmsButItsExpiryRunsNothing)
{
    DeleteSettings settings = Every(0, 0, 0, 30, host.now - 10);
    settings.enabled = 0;
    Start(settings);
    EXPECT_EQ(std::vector<uint32_t>{20000u}, host.timers);
    host.now += 20;
    schedule.OnTimer();
    EXPECT_EQ(0, host.runs);
    EXPECT_TRUE(host.stored.empty());
    EXPECT_FALSE(schedule.TimerArmed()) << "rests until the next check";
}
