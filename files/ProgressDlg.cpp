#include "files/ProgressDlg.h"

#include "files/FilesResource.h"
#include "common/Utf8.h"
#include "framework/ScopedHandles.h"

#include <commctrl.h>

namespace {

constexpr UINT kStartDelayMs = 100;
constexpr int kUnmeasuredExtent = 500;

}  // namespace

CProgressDlg::CProgressDlg(UINT templateId, UINT_PTR timerId, const char* errorStatus)
    : CDialog(templateId), m_timerId(timerId), m_errorStatus(errorStatus), m_previousForeground(GetForegroundWindow())
{
}

int CProgressDlg::OnInitDialog()
{
    // The window as the template made it, in this screen's scale: its whole
    // height shows the failures; collapsed, it ends where their list begins.
    RECT rect = {};
    GetWindowRect(GetHwnd(), &rect);
    m_width = rect.right - rect.left;
    m_fullHeight = rect.bottom - rect.top;
    RECT client = {};
    RECT list = {};
    GetClientRect(GetHwnd(), &client);
    if (GetWindowRect(GetItem(IDC_PROGRESS_FAILURES), &list)) {
        MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&list), 2);
        if (list.top > 0 && list.top < client.bottom)
            SetWindowPos(GetHwnd(), nullptr, 0, 0, m_width, m_fullHeight - (client.bottom - list.top),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER);
    }
    // Under Wine the new dialog may be the foreground already: then the
    // window found when the object was made is the one to give it back to.
    HWND foreground = GetForegroundWindow();
    if (foreground && foreground != GetHwnd())
        m_previousForeground = foreground;
    SetForegroundWindow(GetHwnd());
    SetTimer(GetHwnd(), m_timerId, kStartDelayMs, nullptr);
    return 1;
}

int CProgressDlg::OnTimer(UINT_PTR id)
{
    if (id != m_timerId)
        return 0;
    KillTimer(GetHwnd(), m_timerId);
    RunWork();
    if (m_cancelled)
        return 1;  // Cancel has ended the dialog already
    if (m_failures.empty())
        Finish(IDOK);
    else
        ShowFailures();
    return 1;
}

void CProgressDlg::OnCancel()
{
    m_cancelled = true;
    Finish(IDCANCEL);
}

void CProgressDlg::OnDestroy()
{
    KillTimer(GetHwnd(), m_timerId);
    RestoreForeground();
}

void CProgressDlg::Finish(INT_PTR result)
{
    RestoreForeground();
    EndDialog(result);
}

void CProgressDlg::RestoreForeground() const
{
    if (RestoresForeground() && m_previousForeground && IsWindow(m_previousForeground))
        SetForegroundWindow(m_previousForeground);
}

void CProgressDlg::PumpOneMessage()
{
    MSG msg = {};
    if (!PeekMessageA(&msg, GetHwnd(), 0, 0, PM_NOREMOVE))
        return;
    if (GetMessageA(&msg, GetHwnd(), 0, 0) <= 0)
        return;
    if (!IsDialogMessageA(GetHwnd(), &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void CProgressDlg::SetStatus(const char* text) const
{
    SetItemText(IDC_PROGRESS_STATUS, text);
}

// The 32-bit range: the 16-bit one of PBM_SETRANGE would wrap at 65,535.
void CProgressDlg::SetProgressRange(unsigned long total)
{
    m_total = total > 0x7FFFFFFFul ? 0x7FFFFFFFul : total;
    m_done = 0;
    m_shown = 0;
    SendItem(IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, static_cast<LPARAM>(m_total));
    SendItem(IDC_PROGRESS_BAR, PBM_SETPOS, 0);
    SendItem(IDC_PROGRESS_BAR, PBM_SETSTEP, 1);
}

// One step of the work. The bar moves when the work has gone on by a
// thousandth of the range since it last moved, and at the end.
void CProgressDlg::StepProgress()
{
    if (m_done < m_total)
        m_done++;
    const unsigned long grain = m_total / 1000 + 1;
    if (m_done - m_shown >= grain || m_done == m_total) {
        m_shown = m_done;
        SendItem(IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(m_done));
    }
}

void CProgressDlg::AddFailure(const std::string& path)
{
    m_failures.push_back(path);
    if (path.size() > m_longestLength) {
        m_longestLength = static_cast<unsigned long>(path.size());
        m_longestIndex = static_cast<int>(m_failures.size()) - 1;
    }
}

int CProgressDlg::LongestFailureWidth() const
{
    if (m_longestIndex < 0)
        return kUnmeasuredExtent;
    ScopedGetDC dc(GetHwnd());
    if (!dc)
        return kUnmeasuredExtent;
    HFONT font = reinterpret_cast<HFONT>(SendItem(IDC_PROGRESS_FAILURES, WM_GETFONT));
    ScopedSelect selected(dc.Get(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    // The wide call: the A one reads text in the font's code page, not UTF-8.
    const std::wstring text = Utf8ToWide(m_failures[static_cast<size_t>(m_longestIndex)]);
    SIZE size = {};
    if (!GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size))
        return kUnmeasuredExtent;
    return FailureListExtent(size.cx);
}

void CProgressDlg::ShowFailures()
{
    SetItemText(IDCANCEL, "Close");
    SetStatus(m_errorStatus);
    SendItem(IDC_PROGRESS_FAILURES, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(LongestFailureWidth()));
    RECT rect = {};
    GetWindowRect(GetHwnd(), &rect);
    const int lowestTop = GetSystemMetrics(SM_CYSCREEN) - m_fullHeight;
    UINT flags = SWP_NOZORDER | SWP_NOOWNERZORDER;
    if (rect.top < lowestTop)
        flags |= SWP_NOMOVE;
    SetWindowPos(GetHwnd(), nullptr, rect.left, lowestTop, m_width, m_fullHeight, flags);
    SendItem(IDC_PROGRESS_FAILURES, LB_RESETCONTENT);
    // Room for every item at once: grown one by one, a long list costs the
    // square of its length.
    size_t bytes = 0;
    for (const std::string& path : m_failures)
        bytes += path.size() + 1;
    SendItem(IDC_PROGRESS_FAILURES, LB_INITSTORAGE, m_failures.size(), static_cast<LPARAM>(bytes));
    for (const std::string& path : m_failures)
        SendItem(IDC_PROGRESS_FAILURES, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
}
