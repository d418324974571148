// Control ids of what deletion and backup share: the progress controls that
// every progress dialog's template has (see ProgressDlg.h).
#pragma once

#define IDC_PROGRESS_STATUS 5101
#define IDC_PROGRESS_BAR 5102
#define IDC_PROGRESS_FAILURES 5103
