#include "pages/DeletePage.h"

#include "autodelete/DeletionEngine.h"
#include "autodelete/DeletionTaskDlg.h"
#include "common/AppMessages.h"
#include "common/Log.h"
#include "pages/DeleteResource.h"
#include "pages/IconsPage.h"
#include "pages/MainSheet.h"
#include "pages/PageHost.h"
#include "pages/PageSupport.h"
#include "settings/SettingsStore.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The year 9999 in seconds since 1601: beyond it the system formats no date.
constexpr uint64_t kLastFormattableSecond = 265046774399ull;

CFeaturePage::PageArgs DeletePageArgs()
{
    CFeaturePage::PageArgs args;
    args.templateId = IDD_DELETE;
    args.buttons.ok = IDC_DELETE_OK;
    args.buttons.cancel = IDC_DELETE_CANCEL;
    args.buttons.apply = IDC_DELETE_APPLY;
    args.picture = IDB_DELETE;
    args.lowColourPicture = IDB_DELETE_16;
    args.picturePlace = IDC_DELETE_PICTURE;
    return args;
}

template <typename T> void ReadValue(const CSettingsStore& store, const char* name, T* field)
{
    const PropertyValue* value = FindPropertyValue(name);
    uint8_t bytes[kMaxPropertySize] = {};
    if (value && value->size == sizeof(T) && store.ReadProperty(*value, bytes))
        memcpy(field, bytes, sizeof(T));
}

uint64_t LocalSecondsNow()
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    FILETIME file = {};
    SystemTimeToFileTime(&now, &file);
    return ((static_cast<uint64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime) / 10000000ull;
}

std::string FormatLocalSeconds(uint64_t seconds)
{
    if (seconds > kLastFormattableSecond)
        return "after the year 9999";
    const uint64_t ticks = seconds * 10000000ull;
    FILETIME file = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME time = {};
    if (!FileTimeToSystemTime(&file, &time))
        return "?";
    // Each asked for the size it needs: a format the user set, in another
    // script, may take more bytes in UTF-8 than a fixed buffer would hold.
    const int dateSize = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, nullptr, 0);
    const int clockSize = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, nullptr, 0);
    if (dateSize <= 0 || clockSize <= 0)
        return "?";
    std::vector<char> date(static_cast<size_t>(dateSize), '\0');
    std::vector<char> clock(static_cast<size_t>(clockSize), '\0');
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date.data(), dateSize) ||
        !GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock.data(), clockSize))
        return "?";
    return std::string(date.data()) + " " + clock.data();
}

// A number field as atoi reads it (text that is no number gives 0), kept
// to 32 bits.
int32_t FieldNumber(const std::string& text)
{
    errno = 0;
    const long long value = strtoll(text.c_str(), nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    return value < INT32_MIN ? INT32_MIN : static_cast<int32_t>(value);
}

}  // namespace

CDeletePage::CDeletePage(IPageHost& host, CMainSheet& sheet)
    : CFeaturePage(DeletePageArgs(), host), m_sheet(sheet), m_schedule(*this),
      m_window(
          "File Shredder", {m_settings.showIcon, m_settings.iconLeft, m_settings.iconTop},
          [this] { return std::make_unique<CShredderIconWnd>(Host().ProgramFolder()); },
          [this] { SaveDeleteSettings(); })
{
    m_window.SetWindows(Host().OwnerWindow(), nullptr);
}

CDeletePage::~CDeletePage() = default;

uint32_t CDeletePage::NowSeconds()
{
    return static_cast<uint32_t>(LocalSecondsNow());
}

std::string CDeletePage::TaskFile() const
{
    return Host().ProgramFolder() + "\\AutoDelete.txt";
}

void CDeletePage::LoadDeleteSettings()
{
    m_tasks.LoadTasks(TaskFile());
    m_settings = DeleteSettings();
    const CSettingsStore& store = Host().Store();
    ReadValue(store, kShowIcon, &m_settings.showIcon);
    int32_t position[2] = {m_settings.iconLeft, m_settings.iconTop};
    ReadValue(store, kIconPos, &position);
    m_settings.iconLeft = position[0];
    m_settings.iconTop = position[1];
    ReadValue(store, kEnabled, &m_settings.enabled);
    ReadValue(store, kAtStart, &m_settings.atStart);
    ReadValue(store, kDays, &m_settings.days);
    ReadValue(store, kHours, &m_settings.hours);
    ReadValue(store, kMinutes, &m_settings.minutes);
    ReadValue(store, kSeconds, &m_settings.seconds);
    ReadValue(store, kLastAction, &m_settings.lastAction);
    m_schedule.SetSettings(m_settings, true);
    if (m_settings.showIcon)
        m_window.Show();
    CIconsPage* icons = m_sheet.IconsPage();
    if (icons && icons->HasHideRule(kRecycleBin))
        icons->HideByLabel(kRecycleBin, 0);
}

void CDeletePage::SaveDeleteSettings()
{
    const CSettingsStore& store = Host().Store();
    const int32_t position[2] = {m_settings.iconLeft, m_settings.iconTop};
    store.WriteBinary(kShowIcon, &m_settings.showIcon, 1);
    store.WriteBinary(kIconPos, position, sizeof position);
    store.WriteBinary(kEnabled, &m_settings.enabled, 1);
    store.WriteBinary(kAtStart, &m_settings.atStart, 1);
    store.WriteBinary(kDays, &m_settings.days, 4);
    store.WriteBinary(kHours, &m_settings.hours, 4);
    store.WriteBinary(kMinutes, &m_settings.minutes, 4);
    store.WriteBinary(kSeconds, &m_settings.seconds, 4);
    m_tasks.SaveTasks(TaskFile());
}

int CDeletePage::OnInitDialog()
{
    CFeaturePage::OnInitDialog();
    m_window.SetWindows(Host().OwnerWindow(), GetHwnd());
    // The page window is made once, at start-up: the schedule starts here.
    m_schedule.OnPageCreated();
    return 1;
}

void CDeletePage::SetControls()
{
    m_filling = true;
    CheckItem(IDC_DELETE_SHOW_SHREDDER, m_settings.showIcon != 0);
    CIconsPage* icons = m_sheet.IconsPage();
    CheckItem(IDC_DELETE_HIDE_RECYCLE, icons && icons->HasHideRule(kRecycleBin));
    CheckItem(IDC_DELETE_ENABLED, m_settings.enabled != 0);
    CheckItem(IDC_DELETE_AT_START, m_settings.atStart != 0);
    const struct {
        int id;
        int32_t value;
    } fields[] = {{IDC_DELETE_DAYS, m_settings.days},
                  {IDC_DELETE_HOURS, m_settings.hours},
                  {IDC_DELETE_MINUTES, m_settings.minutes},
                  {IDC_DELETE_SECONDS, m_settings.seconds}};
    for (const auto& field : fields) {
        // A 0 leaves the field as it is: empty at first, or what was typed.
        if (field.value != 0)
            SetItemText(field.id, std::to_string(field.value).c_str());
    }
    m_filling = false;
    m_window.Match();
    ShowLastRun();
}

void CDeletePage::ShowLastRun()
{
    if (!GetHwnd())
        return;
    const uint64_t now = LocalSecondsNow();
    const uint32_t last = m_schedule.LastAction();
    std::string text = "Last run: ";
    text += last ? FormatLocalSeconds(FullSeconds(last, now)) : std::string("never");
    text += "; next: ";
    if (m_schedule.Period() == 0 || !m_schedule.Enabled() || !FeaturesEnabled())
        text += "not scheduled";
    else if (!last)
        text += "now";
    else
        text += FormatLocalSeconds(FullSeconds(last, now) + m_schedule.Period());
    SetItemText(IDC_DELETE_LAST_RUN, text.c_str());
}

bool CDeletePage::OnActivate()
{
    // The list's modified flag stays as it is: only a whole write clears it,
    // so a change that could not be written yet is written at the next chance.
    SetControls();
    RefreshTaskList();
    return true;
}

void CDeletePage::OnDeactivate()
{
    m_tasks.SaveTasks(TaskFile());
}

void CDeletePage::ReadControls()
{
    m_settings.showIcon = IsItemChecked(IDC_DELETE_SHOW_SHREDDER) ? 1 : 0;
    m_settings.enabled = IsItemChecked(IDC_DELETE_ENABLED) ? 1 : 0;
    m_settings.atStart = IsItemChecked(IDC_DELETE_AT_START) ? 1 : 0;
    m_settings.days = FieldNumber(GetItemText(IDC_DELETE_DAYS));
    m_settings.hours = FieldNumber(GetItemText(IDC_DELETE_HOURS));
    m_settings.minutes = FieldNumber(GetItemText(IDC_DELETE_MINUTES));
    m_settings.seconds = FieldNumber(GetItemText(IDC_DELETE_SECONDS));
}

int CDeletePage::OnApply()
{
    ReadControls();
    if (CIconsPage* icons = m_sheet.IconsPage()) {
        if (IsItemChecked(IDC_DELETE_HIDE_RECYCLE))
            icons->HideByLabel(kRecycleBin, 0);
        else
            icons->UnhideByLabel(kRecycleBin);
    }
    SaveDeleteSettings();
    if (m_tasks.IsModified())
        TellListNotWritten(GetHwnd(), m_messageBox, "AutoDelete.txt");
    m_schedule.SetSettings(m_settings, false);
    SetControls();
    SetModified(false);
    m_schedule.CheckAutoDelTime();
    ShowLastRun();
    return 1;
}

int CDeletePage::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_DELETE_SHOW_SHREDDER:
    case IDC_DELETE_HIDE_RECYCLE:
    case IDC_DELETE_ENABLED:
    case IDC_DELETE_AT_START:
        if (code == BN_CLICKED)
            SetModified(true);
        return 1;
    case IDC_DELETE_DAYS:
    case IDC_DELETE_HOURS:
    case IDC_DELETE_MINUTES:
    case IDC_DELETE_SECONDS:
        if (code == EN_CHANGE && !m_filling)
            SetModified(true);
        return 1;
    case IDC_DELETE_NOW:
        if (code == BN_CLICKED)
            m_schedule.DoAutoDel(true, false);
        return 1;
    case IDC_DELETE_TASKS:
        if (code == LBN_DBLCLK)
            EditTask();
        else if (code == LBN_SELCHANGE || code == LBN_SELCANCEL)
            UpdateTaskButtons();
        return 1;
    case IDC_DELETE_ADD: AddTask(); return 1;
    case IDC_DELETE_EDIT: EditTask(); return 1;
    case IDC_DELETE_REMOVE: RemoveTask(); return 1;
    default: return CFeaturePage::OnCommand(id, code, control);
    }
}

int CDeletePage::OnTimer(UINT_PTR id)
{
    if (id != TIMER_DELETE_SCHEDULE)
        return CFeaturePage::OnTimer(id);
    m_schedule.OnTimer();
    ShowLastRun();
    return 1;
}

bool CDeletePage::SetTimer(uint32_t elapseMs)
{
    return GetHwnd() && ::SetTimer(GetHwnd(), TIMER_DELETE_SCHEDULE, elapseMs, nullptr) != 0;
}

void CDeletePage::KillTimer()
{
    if (GetHwnd())
        ::KillTimer(GetHwnd(), TIMER_DELETE_SCHEDULE);
}

bool CDeletePage::FeaturesEnabled()
{
    return Host().Settings().enabled != 0;
}

void CDeletePage::RunTasks()
{
    const std::vector<DeletionTask> tasks = m_tasks.Tasks();
    for (const DeletionTask& task : tasks)
        RunTask(task.folder, task);
}

void CDeletePage::StoreLastAction(uint32_t seconds)
{
    m_settings.lastAction = seconds;
    Host().Store().WriteBinary(kLastAction, &seconds, sizeof seconds);
}

void CDeletePage::Warn(const char* text)
{
    LogWarning(text);
}

INT_PTR CDeletePage::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WMAPP_DESKTOP_DROP_DONE) {
        // Out of the window's own handler: now it may go if it should.
        m_window.DropDone();
        return TRUE;
    }
    return CFeaturePage::DialogProc(msg, wp, lp);
}

void CDeletePage::ShutDown()
{
    m_schedule.Stop();
    m_window.Hide();
    // The settings are saved whether or not the window was shown; the task
    // file only when the user changed the tasks (a file of an earlier version
    // stays as it was until then).
    SaveDeleteSettings();
}

// ---- The task list ----

void CDeletePage::RefreshTaskList()
{
    std::vector<std::string> folders;
    for (const DeletionTask& task : m_tasks.Tasks())
        folders.push_back(task.folder);
    FillFolderList(GetItem(IDC_DELETE_TASKS), folders);
    UpdateTaskButtons();
}

void CDeletePage::UpdateTaskButtons()
{
    const bool selected = SelectedTask() >= 0;
    EnableItem(IDC_DELETE_EDIT, selected);
    EnableItem(IDC_DELETE_REMOVE, selected);
}

int CDeletePage::SelectedTask() const
{
    std::string folder;
    return SelectedListText(GetItem(IDC_DELETE_TASKS), &folder) ? m_tasks.FindTask(folder) : -1;
}

void CDeletePage::AddTask()
{
    DeletionTask task;
    CDeletionTaskDlg dialog(GetHwnd(), task, Host().ProgramFolder());
    dialog.SetMessageBox(m_messageBox);
    dialog.SetFolderTaken([this](const std::string& folder) { return m_tasks.FindSameFolder(folder) != -1; });
    if (dialog.Run() != IDOK || !m_tasks.AddTask(task))
        return;
    RefreshTaskList();
    SetModified(true);
}

void CDeletePage::EditTask()
{
    const int index = SelectedTask();
    if (index < 0)
        return;
    DeletionTask copy = m_tasks.Tasks()[static_cast<size_t>(index)];
    copy.name.clear();
    CDeletionTaskDlg dialog(GetHwnd(), copy, Host().ProgramFolder());
    dialog.SetMessageBox(m_messageBox);
    dialog.SetFolderTaken(
        [this, index](const std::string& folder) { return m_tasks.FindSameFolder(folder, index) != -1; });
    if (dialog.Run() != IDOK || !m_tasks.ReplaceTask(index, copy))
        return;
    RefreshTaskList();
    SetModified(true);
}

void CDeletePage::RemoveTask()
{
    if (!CDeletionTaskDlg::ConfirmRemoval(GetHwnd(), m_messageBox))
        return;
    const int index = SelectedTask();
    if (index < 0)
        return;
    m_tasks.RemoveTask(index);
    RefreshTaskList();
}
