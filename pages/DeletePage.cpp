#include "pages/DeletePage.h"

#include "autodelete/DeletionFeature.h"  // LocalSeconds
#include "autodelete/DeletionOwner.h"
#include "autodelete/DeletionTaskDlg.h"
#include "autodelete/DeletionTaskList.h"
#include "pages/DeleteResource.h"
#include "pages/PageHost.h"
#include "pages/PageSupport.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

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

CDeletePage::CDeletePage(IPageHost& host, IDeletionOwner& owner) : CFeaturePage(DeletePageArgs(), host), m_owner(owner)
{
}

CDeletePage::~CDeletePage()
{
    m_owner.SetScheduleRan(nullptr);
}

int CDeletePage::OnInitDialog()
{
    CFeaturePage::OnInitDialog();
    m_owner.SetScheduleRan([this] { ShowLastRun(); });
    return 1;
}

void CDeletePage::OnDestroy()
{
    m_owner.SetScheduleRan(nullptr);
    CFeaturePage::OnDestroy();
}

void CDeletePage::SetControls()
{
    m_filling = true;
    m_settings = m_owner.Settings();
    CheckItem(IDC_DELETE_SHOW_SHREDDER, m_settings.showIcon != 0);
    CheckItem(IDC_DELETE_HIDE_RECYCLE, m_owner.RecycleBinHidden());
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
    ShowLastRun();
}

void CDeletePage::ShowLastRun()
{
    if (!GetHwnd())
        return;
    const CDeleteSchedule& schedule = m_owner.Schedule();
    const uint64_t now = CDeletionFeature::LocalSeconds();
    const uint32_t last = schedule.LastAction();
    std::string text = "Last run: ";
    text += last ? FormatLocalSeconds(FullSeconds(last, now)) : std::string("never");
    text += "; next: ";
    if (schedule.Period() == 0 || !schedule.Enabled() || !Host().Settings().enabled)
        text += "not scheduled";
    else if (!last)
        text += "now";
    else
        text += FormatLocalSeconds(FullSeconds(last, now) + schedule.Period());
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
    m_owner.SaveTasks();
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
    m_owner.HideRecycleBin(IsItemChecked(IDC_DELETE_HIDE_RECYCLE));
    m_owner.ApplySettings(m_settings);
    if (m_owner.Tasks().IsModified())
        TellListNotWritten(GetHwnd(), m_messageBox, "AutoDelete.txt");
    SetControls();
    SetModified(false);
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
            m_owner.RunNow();
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

// ---- The task list ----

void CDeletePage::RefreshTaskList()
{
    std::vector<std::string> folders;
    for (const DeletionTask& task : m_owner.Tasks().Tasks())
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
    return SelectedListText(GetItem(IDC_DELETE_TASKS), &folder) ? m_owner.Tasks().Find(folder) : -1;
}

void CDeletePage::AddTask()
{
    DeletionTask task;
    CDeletionTaskDlg dialog(GetHwnd(), task, Host().ProgramFolder());
    dialog.SetMessageBox(m_messageBox);
    dialog.SetFolderTaken([this](const std::string& folder) { return m_owner.Tasks().FindSameFolder(folder) != -1; });
    if (dialog.Run() != IDOK || !m_owner.Tasks().Add(task))
        return;
    RefreshTaskList();
    SetModified(true);
}

void CDeletePage::EditTask()
{
    const int index = SelectedTask();
    if (index < 0)
        return;
    DeletionTask copy = m_owner.Tasks().Tasks()[static_cast<size_t>(index)];
    copy.name.clear();
    CDeletionTaskDlg dialog(GetHwnd(), copy, Host().ProgramFolder());
    dialog.SetMessageBox(m_messageBox);
    dialog.SetFolderTaken(
        [this, index](const std::string& folder) { return m_owner.Tasks().FindSameFolder(folder, index) != -1; });
    if (dialog.Run() != IDOK || !m_owner.Tasks().Replace(index, copy))
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
    m_owner.Tasks().Remove(index);
    RefreshTaskList();
}
