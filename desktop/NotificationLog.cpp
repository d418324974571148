#include "desktop/NotificationLog.h"

using namespace DesktopHostProtocol;

void CNotificationLog::Record(int32_t code, int32_t item, uint32_t newState, uint32_t oldState, uint32_t changed)
{
    ++m_total;
    NotificationRecord& slot = m_recent[(m_total - 1) % kRecentNotifications];
    slot = NotificationRecord{m_total, code, item, newState, oldState, changed};
    for (uint32_t i = 0; i < m_counterCount; ++i) {
        if (m_counters[i].code == code) {
            ++m_counters[i].count;
            return;
        }
    }
    if (m_counterCount < static_cast<uint32_t>(kMaxCounters)) {
        m_counters[m_counterCount++] = CounterRecord{code, 1};
    } else {
        ++m_other;
    }
}

void CNotificationLog::Reset()
{
    *this = CNotificationLog();
}

uint32_t CNotificationLog::Count(int32_t code) const
{
    for (uint32_t i = 0; i < m_counterCount; ++i) {
        if (m_counters[i].code == code)
            return m_counters[i].count;
    }
    return 0;
}

void CNotificationLog::CopyTo(ViewRecord& view) const
{
    view.counterCount = m_counterCount;
    view.otherNotifications = m_other;
    for (uint32_t i = 0; i < static_cast<uint32_t>(kMaxCounters); ++i) {
        view.counters[i] = i < m_counterCount ? m_counters[i] : CounterRecord{};
    }
    view.notificationTotal = m_total;
    uint32_t kept = m_total < static_cast<uint32_t>(kRecentNotifications) ? m_total : kRecentNotifications;
    view.recentCount = kept;
    uint32_t first = m_total - kept;  // sequence - 1 of the oldest kept
    for (uint32_t i = 0; i < static_cast<uint32_t>(kRecentNotifications); ++i) {
        view.recent[i] = i < kept ? m_recent[(first + i) % kRecentNotifications] : NotificationRecord{};
    }
}
