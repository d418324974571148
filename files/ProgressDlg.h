// CProgressDlg: the mechanics of a progress dialog whose work runs on the
// user-interface thread, shared by the deletion and the backup progress
// dialogs. It opens collapsed (status text, progress bar, Cancel), takes the
// foreground, and starts the work from a 100 ms timer so that it is on the
// screen first. The work pumps one message per entry (PumpOneMessage) so that
// the dialog paints and Cancel can be pressed. When the work leaves failures,
// the dialog grows to list them and Cancel becomes "Close"; otherwise it ends.
// When it goes, the window that was in the foreground before gets it back.
//
// The template has the controls IDC_PROGRESS_STATUS, IDC_PROGRESS_BAR,
// IDCANCEL and the list box IDC_PROGRESS_FAILURES below the fold. Both
// heights come from the template, so they follow the dialog's font and the
// screen's scale: collapsed, the dialog ends where the list begins; grown,
// it is the template's whole height.
#pragma once

#include "framework/Dialog.h"

#include <string>
#include <vector>

class CProgressDlg : public CDialog {
public:
    CProgressDlg(UINT templateId, UINT_PTR timerId, const char* errorStatus);

    bool IsCancelled() const { return m_cancelled; }
    // The window that was in the foreground when the dialog opened.
    HWND PreviousForeground() const { return m_previousForeground; }
    const std::vector<std::string>& Failures() const { return m_failures; }

protected:
    // Runs the work once the dialog shows.
    virtual void RunWork() = 0;
    // Dispatches at most one waiting message of the dialog.
    virtual void PumpOneMessage();

    void SetStatus(const char* text) const;
    void SetProgressRange(unsigned long total);
    void StepProgress();
    // Keeps a copy of a path that could not be handled, for the list.
    void AddFailure(const std::string& path);
    void ClearCancelled() { m_cancelled = false; }
    // The list's horizontal extent for the longest failure, textWidth pixels
    // wide as drawn in the list's font.
    virtual int FailureListExtent(int textWidth) const { return textWidth + 8; }
    // Whether the window found in the foreground at the start gets it back
    // when the dialog goes.
    virtual bool RestoresForeground() const { return true; }

    int OnInitDialog() override;
    int OnTimer(UINT_PTR id) override;
    void OnCancel() override;
    void OnDestroy() override;

private:
    void ShowFailures();
    // Gives the foreground back, then ends the dialog: given back only once
    // the dialog is gone, it would be lost to the activation that follows
    // the destruction (under Wine that comes later, from the X server).
    void Finish(INT_PTR result);
    void RestoreForeground() const;
    int LongestFailureWidth() const;

    UINT_PTR m_timerId;
    const char* m_errorStatus;
    bool m_cancelled = false;
    unsigned long m_longestLength = 0;
    int m_longestIndex = -1;
    std::vector<std::string> m_failures;
    // The bar is moved only when its position changes by a visible amount:
    // each move repaints it, which under Wine costs about a millisecond.
    unsigned long m_total = 0;
    unsigned long m_done = 0;
    unsigned long m_shown = 0;
    int m_width = 0;
    int m_fullHeight = 0;
    HWND m_previousForeground;
};
