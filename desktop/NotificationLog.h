#pragma once
#include <cstdint>

#include "desktop/DesktopHostProtocol.h"

// The notifications a list view sent its parent: a count per code (a fixed
// table; codes beyond it are counted together) and the most recent ones.
class CNotificationLog {
public:
    void Record(int32_t code, int32_t item, uint32_t newState, uint32_t oldState, uint32_t changed);
    void Reset();

    uint32_t Count(int32_t code) const;
    uint32_t Total() const { return m_total; }
    uint32_t Other() const { return m_other; }

    // Fills the counter and recent-notification fields of view, oldest first.
    void CopyTo(DesktopHostProtocol::ViewRecord& view) const;

private:
    DesktopHostProtocol::CounterRecord m_counters[DesktopHostProtocol::kMaxCounters] = {};
    uint32_t m_counterCount = 0;
    uint32_t m_other = 0;
    uint32_t m_total = 0;
    DesktopHostProtocol::NotificationRecord m_recent[DesktopHostProtocol::kRecentNotifications] = {};
};
