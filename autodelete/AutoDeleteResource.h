// Dialog and control ids of automated deletion's dialogs. The progress
// dialog's controls are the shared ones of files/FilesResource.h.
#pragma once

#include "files/FilesResource.h"

#define IDD_DELETE_PROGRESS 5100

#define IDD_DELETION_TASK 5200
#define IDC_TASK_FOLDER 5201
#define IDC_TASK_SELECT 5202
#define IDC_TASK_COMMON 5203
#define IDC_TASK_SUBFOLDERS 5204
#define IDC_TASK_EXCLUDE 5205
#define IDC_TASK_DELETE_EMPTY 5206
#define IDC_TASK_TYPE 5207
#define IDC_TASK_TYPES 5208
#define IDC_TASK_ADD 5209
#define IDC_TASK_REPLACE 5210
#define IDC_TASK_DELETE 5211
#define IDC_TASK_PREVIEW 5212
#define IDC_TASK_AGE 5213

#define IDD_TASK_PREVIEW 5300
#define IDC_PREVIEW_SUMMARY 5301
#define IDC_PREVIEW_LIST 5302

// The File Shredder window, 26 by 26 dialog units, and its pictures without
// and with the focus (res/resource.h).
#define IDD_SHREDDER 138
#define IDB_SHREDDER_ICON 141
#define IDB_SHREDDER_ICON_16 142
#define IDB_SHREDDER_ICON_FOCUS 139
#define IDB_SHREDDER_ICON_FOCUS_16 140
