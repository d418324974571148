#include "autodelete/DeleteSchedule.h"

namespace {

uint64_t AtLeastZero(int32_t value)
{
    return value < 0 ? 0 : static_cast<uint64_t>(value);
}

}  // namespace

uint64_t PeriodSeconds(const DeleteSettings& settings)
{
    // At most about 2^31 * 86,400 seconds: far inside 64 bits.
    return ((AtLeastZero(settings.days) * 24 + AtLeastZero(settings.hours)) * 60 + AtLeastZero(settings.minutes)) * 60 +
        AtLeastZero(settings.seconds);
}

uint32_t ScheduleStepMs(uint64_t seconds)
{
    const uint64_t capSeconds = kMaxScheduleStepMs / 1000;
    return static_cast<uint32_t>((seconds < capSeconds ? seconds : capSeconds) * 1000);
}

uint32_t SecondsOfFileTime(uint64_t fileTime)
{
    return static_cast<uint32_t>(fileTime / 10000000ull);
}

uint64_t FullSeconds(uint32_t stored, uint64_t nowFull)
{
    uint64_t full = (nowFull & ~0xFFFFFFFFull) | stored;
    if (full > nowFull && full >= 0x100000000ull)
        full -= 0x100000000ull;
    return full;
}

void CDeleteSchedule::SetSettings(const DeleteSettings& settings, bool withLastAction)
{
    m_period = PeriodSeconds(settings);
    m_enabled = settings.enabled != 0;
    m_atStart = settings.atStart != 0;
    if (withLastAction)
        m_lastAction = settings.lastAction;
}

uint64_t CDeleteSchedule::Elapsed(uint32_t now)
{
    // Never ran: as long ago as can be.
    if (m_lastAction == 0)
        return UINT64_MAX;
    const int32_t since = static_cast<int32_t>(now - m_lastAction);
    if (since < 0) {
        m_lastAction = now;
        return 0;
    }
    return static_cast<uint64_t>(since);
}

bool CDeleteSchedule::CheckAutoDelTime()
{
    if (m_period == 0)
        return false;
    const uint64_t elapsed = Elapsed(m_host.Now());
    if (elapsed >= m_period) {
        DoAutoDel(false, true);
        return true;
    }
    if (m_timerArmed)
        return false;
    Arm(m_period - elapsed, "CheckAutoDelTime Cannot set timer!");
    return false;
}

void CDeleteSchedule::DoAutoDel(bool force, bool checkEnabled)
{
    if (checkEnabled && !(m_enabled && m_host.FeaturesEnabled()))
        return;
    if (m_period == 0 && !force)
        return;
    if (!force) {
        m_lastAction = m_host.Now();
        m_host.StoreLastAction(m_lastAction);
        Arm(m_period, "DoAutoDel Cannot set timer!");
    }
    m_host.RunTasks();
}

void CDeleteSchedule::OnStart()
{
    if (CheckAutoDelTime())
        return;
    if (m_atStart)
        DoAutoDel(true, true);
}

void CDeleteSchedule::OnTimer()
{
    Stop();
    CheckAutoDelTime();
}

void CDeleteSchedule::Stop()
{
    if (m_timerArmed)
        m_host.KillTimer();
    m_timerArmed = false;
}

void CDeleteSchedule::Arm(uint64_t seconds, const char* failure)
{
    m_timerArmed = m_host.SetTimer(ScheduleStepMs(seconds));
    if (!m_timerArmed)
        m_host.Warn(failure);
}
