#include "autodelete/DeletionFeature.h"

#include "autodelete/DeletionEngine.h"
#include "autodelete/ShredderIconWnd.h"
#include "common/AppMessages.h"
#include "common/FeatureHost.h"
#include "common/Log.h"
#include "icons/IconFeatures.h"
#include "settings/SettingsStore.h"

#include <memory>
#include <vector>

namespace {

const char kShowIcon[] = "Property Delete Desktop Icon";
const char kIconPos[] = "Property Delete Desktop Icon Pos";
const char kEnabled[] = "Property Delete AutoDel Enabled";
const char kAtStart[] = "Property Delete AutoDel At Start";
const char kDays[] = "Property Delete AutoDel Days";
const char kHours[] = "Property Delete AutoDel Hours";
const char kMinutes[] = "Property Delete AutoDel Minutes";
const char kSeconds[] = "Property Delete AutoDel Seconds";
const char kLastAction[] = "Property Delete AutoDel Last Action";

}  // namespace

CDeletionFeature::CDeletionFeature(IFeatureHost& host, IIconFeatures* icons)
    : m_host(host), m_icons(icons), m_schedule(*this),
      m_messages([this](UINT msg, WPARAM wp, LPARAM lp) { return OnMessage(msg, wp, lp); }),
      m_window(
          "File Shredder", {m_settings.showIcon, m_settings.iconLeft, m_settings.iconTop},
          [this] { return std::make_unique<CShredderIconWnd>(m_host.ProgramFolder()); }, [this] { SaveSettings(); })
{
}

CDeletionFeature::~CDeletionFeature() = default;

uint64_t CDeletionFeature::LocalSeconds()
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    FILETIME file = {};
    SystemTimeToFileTime(&now, &file);
    return ((static_cast<uint64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime) / 10000000ull;
}

std::string CDeletionFeature::TaskFile() const
{
    return m_host.ProgramFolder() + "\\AutoDelete.txt";
}

void CDeletionFeature::Start()
{
    if (!m_messages.GetHwnd() && !m_messages.CreateMessageOnly())
        LogWarning("Cannot create the deletion schedule's window");
    m_window.SetWindows(m_host.OwnerWindow(), m_messages.GetHwnd());
    Load();
    if (m_icons && m_icons->HasHideRule(kRecycleBin))
        m_icons->HideByLabel(kRecycleBin, 0);
    m_started = true;
    m_schedule.OnStart();
}

void CDeletionFeature::Load()
{
    m_tasks.Load(TaskFile());
    m_settings = DeleteSettings();
    const CSettingsStore& store = m_host.Store();
    store.ReadValue(kEnabled, &m_settings.enabled);
    store.ReadValue(kAtStart, &m_settings.atStart);
    store.ReadValue(kDays, &m_settings.days);
    store.ReadValue(kHours, &m_settings.hours);
    store.ReadValue(kMinutes, &m_settings.minutes);
    store.ReadValue(kSeconds, &m_settings.seconds);
    store.ReadValue(kLastAction, &m_settings.lastAction);
    m_schedule.SetSettings(m_settings, true);
    m_window.ReadValues(store, kShowIcon, kIconPos);
}

void CDeletionFeature::Stop()
{
    if (!m_started)
        return;
    m_started = false;
    m_schedule.Stop();
    m_window.Hide();
    // The values are written whether or not the window was shown; the task
    // file only when the user changed the tasks (a file of an earlier version
    // stays as it was until then).
    SaveSettings();
    m_messages.Destroy();
}

void CDeletionFeature::SaveSettings()
{
    const CSettingsStore& store = m_host.Store();
    m_window.WriteValues(store, kShowIcon, kIconPos);
    store.WriteBinary(kEnabled, &m_settings.enabled, 1);
    store.WriteBinary(kAtStart, &m_settings.atStart, 1);
    store.WriteBinary(kDays, &m_settings.days, 4);
    store.WriteBinary(kHours, &m_settings.hours, 4);
    store.WriteBinary(kMinutes, &m_settings.minutes, 4);
    store.WriteBinary(kSeconds, &m_settings.seconds, 4);
    SaveTasks();
}

bool CDeletionFeature::SaveTasks()
{
    m_tasks.Save(TaskFile());
    return !m_tasks.IsModified();
}

void CDeletionFeature::ApplySettings(const DeleteSettings& settings)
{
    m_settings.showIcon = settings.showIcon;
    m_settings.enabled = settings.enabled;
    m_settings.atStart = settings.atStart;
    m_settings.days = settings.days;
    m_settings.hours = settings.hours;
    m_settings.minutes = settings.minutes;
    m_settings.seconds = settings.seconds;
    SaveSettings();
    m_schedule.SetSettings(m_settings, false);
    m_window.Match();
    m_schedule.CheckAutoDelTime();
}

bool CDeletionFeature::RecycleBinHidden() const
{
    return m_icons && m_icons->HasHideRule(kRecycleBin);
}

void CDeletionFeature::HideRecycleBin(bool hide)
{
    if (!m_icons)
        return;
    if (hide)
        m_icons->HideByLabel(kRecycleBin, 0);
    else
        m_icons->UnhideByLabel(kRecycleBin);
}

CShredderIconWnd* CDeletionFeature::Shredder() const
{
    return static_cast<CShredderIconWnd*>(m_window.Window());
}

bool CDeletionFeature::OnMessage(UINT msg, WPARAM wp, LPARAM)
{
    if (msg == WM_TIMER && wp == TIMER_DELETE_SCHEDULE) {
        m_schedule.OnTimer();
        if (m_scheduleRan)
            m_scheduleRan();
        return true;
    }
    if (msg == WMAPP_DESKTOP_DROP_DONE) {
        // Out of the window's own handler: now it may go if it should.
        m_window.DropDone();
        return true;
    }
    return false;
}

bool CDeletionFeature::SetTimer(uint32_t elapseMs)
{
    return m_messages.GetHwnd() && ::SetTimer(m_messages.GetHwnd(), TIMER_DELETE_SCHEDULE, elapseMs, nullptr) != 0;
}

void CDeletionFeature::KillTimer()
{
    if (m_messages.GetHwnd())
        ::KillTimer(m_messages.GetHwnd(), TIMER_DELETE_SCHEDULE);
}

bool CDeletionFeature::FeaturesEnabled()
{
    return m_host.Settings().enabled != 0;
}

void CDeletionFeature::RunTasks()
{
    const std::vector<DeletionTask> tasks = m_tasks.Tasks();
    for (const DeletionTask& task : tasks)
        RunTask(task.folder, task);
}

void CDeletionFeature::StoreLastAction(uint32_t seconds)
{
    m_settings.lastAction = seconds;
    m_host.Store().WriteBinary(kLastAction, &seconds, sizeof seconds);
}

void CDeletionFeature::Warn(const char* text)
{
    LogWarning(text);
}
