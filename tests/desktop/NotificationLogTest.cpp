#include "desktop/NotificationLog.h"

#include <gtest/gtest.h>

#include <memory>

using namespace DesktopHostProtocol;

namespace {
constexpr int32_t kInsert = -102;  // LVN_INSERTITEM
constexpr int32_t kDelete = -103;  // LVN_DELETEITEM
constexpr int32_t kChanged = -101;  // LVN_ITEMCHANGED

std::unique_ptr<ViewRecord> Copy(const CNotificationLog& log)
{
    auto view = std::make_unique<ViewRecord>();
    *view = ViewRecord{};
    log.CopyTo(*view);
    return view;
}
}  // namespace

TEST(NotificationLog, CountsEachCode)
{
    CNotificationLog log;
    log.Record(kInsert, 0, 0, 0, 0);
    log.Record(kInsert, 1, 0, 0, 0);
    log.Record(kChanged, 1, 2, 0, 8);
    EXPECT_EQ(log.Count(kInsert), 2u);
    EXPECT_EQ(log.Count(kChanged), 1u);
    EXPECT_EQ(log.Count(kDelete), 0u);
    EXPECT_EQ(log.Total(), 3u);
    auto view = Copy(log);
    ASSERT_EQ(view->counterCount, 2u);
    EXPECT_EQ(view->counters[0].code, kInsert);
    EXPECT_EQ(view->counters[0].count, 2u);
    EXPECT_EQ(view->counters[1].code, kChanged);
}

TEST(NotificationLog, KeepsTheRecentOnesOldestFirst)
{
    CNotificationLog log;
    log.Record(kInsert, 7, 0, 0, 0);
    log.Record(kChanged, 7, 3, 1, 8);
    auto view = Copy(log);
    ASSERT_EQ(view->recentCount, 2u);
    EXPECT_EQ(view->recent[0].code, kInsert);
    EXPECT_EQ(view->recent[0].item, 7);
    EXPECT_EQ(view->recent[0].sequence, 1u);
    EXPECT_EQ(view->recent[1].newState, 3u);
    EXPECT_EQ(view->recent[1].oldState, 1u);
    EXPECT_EQ(view->recent[1].changed, 8u);
    EXPECT_EQ(view->recent[1].sequence, 2u);
}

TEST(NotificationLog, RecentListWrapsAndStaysInOrder)
{
    CNotificationLog log;
    const int total = kRecentNotifications * 2 + 5;
    for (int i = 0; i < total; ++i)
        log.Record(kChanged, i, 0, 0, 0);
    auto view = Copy(log);
    ASSERT_EQ(view->recentCount, static_cast<uint32_t>(kRecentNotifications));
    EXPECT_EQ(view->notificationTotal, static_cast<uint32_t>(total));
    for (int i = 0; i < kRecentNotifications; ++i) {
        EXPECT_EQ(view->recent[i].item, total - kRecentNotifications + i) << i;
        EXPECT_EQ(view->recent[i].sequence, static_cast<uint32_t>(total - kRecentNotifications + i + 1)) << i;
    }
    EXPECT_EQ(log.Count(kChanged), static_cast<uint32_t>(total));
}

TEST(NotificationLog, CodesBeyondTheTableAreCountedTogether)
{
    CNotificationLog log;
    for (int code = 0; code < kMaxCounters + 3; ++code)
        log.Record(-1000 - code, -1, 0, 0, 0);
    log.Record(-1000 - kMaxCounters - 1, -1, 0, 0, 0);
    EXPECT_EQ(log.Other(), 4u);
    EXPECT_EQ(log.Count(-1000), 1u);
    EXPECT_EQ(log.Count(-1000 - kMaxCounters), 0u);
    auto view = Copy(log);
    EXPECT_EQ(view->counterCount, static_cast<uint32_t>(kMaxCounters));
    EXPECT_EQ(view->otherNotifications, 4u);
}

TEST(NotificationLog, ResetForgetsEverything)
{
    CNotificationLog log;
    log.Record(kInsert, 0, 0, 0, 0);
    log.Reset();
    EXPECT_EQ(log.Count(kInsert), 0u);
    EXPECT_EQ(log.Total(), 0u);
    log.Record(kDelete, 4, 0, 0, 0);
    auto view = Copy(log);
    EXPECT_EQ(view->counterCount, 1u);
    EXPECT_EQ(view->recentCount, 1u);
    EXPECT_EQ(view->recent[0].sequence, 1u);
    EXPECT_EQ(view->recent[0].code, kDelete);
}

TEST(NotificationLog, CopyClearsStaleEntriesOfTheRecord)
{
    CNotificationLog full;
    for (int i = 0; i < 10; ++i)
        full.Record(-2000 - i, i, 0, 0, 0);
    auto view = Copy(full);
    CNotificationLog small;
    small.Record(kInsert, 0, 0, 0, 0);
    small.CopyTo(*view);
    EXPECT_EQ(view->counterCount, 1u);
    EXPECT_EQ(view->counters[1].code, 0);
    EXPECT_EQ(view->counters[1].count, 0u);
    EXPECT_EQ(view->recent[1].sequence, 0u);
}
