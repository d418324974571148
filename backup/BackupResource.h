// Dialog and control ids of backup's editors (5400 to 5599) and of the
// Backup window. The progress
// dialog's controls are the shared ones of files/FilesResource.h.
#pragma once

#define IDD_BACKUP_CONFIG 5400
#define IDC_BACKUP_SOURCE 5401
#define IDC_BACKUP_SOURCE_SELECT 5402
#define IDC_BACKUP_TARGET 5403
#define IDC_BACKUP_TARGET_SELECT 5404
#define IDC_BACKUP_NAME 5405
#define IDC_BACKUP_SUBFOLDERS 5406
#define IDC_BACKUP_EXCLUDE 5407
#define IDC_BACKUP_TYPE 5408
#define IDC_BACKUP_TYPES 5409
#define IDC_BACKUP_ADD 5410
#define IDC_BACKUP_REPLACE 5411
#define IDC_BACKUP_DELETE 5412

#define IDD_ADVANCED_BACKUP 5500
#define IDC_ADVANCED_STANDARD 5501
#define IDC_ADVANCED_CUSTOM 5502
#define IDC_ADVANCED_CUSTOM_PROGRAM 5503
#define IDC_ADVANCED_CUSTOM_SELECT 5504
#define IDC_ADVANCED_CUSTOM_ARGUMENTS 5505
#define IDC_ADVANCED_POST_PROGRAM 5506
#define IDC_ADVANCED_POST_SELECT 5507
#define IDC_ADVANCED_POST_ARGUMENTS 5508
#define IDC_ADVANCED_REMOVE_COPIES 5509

// The Backup window, 26 by 26 dialog units, and its pictures without and
// with the focus (res/resource.h).
#define IDD_BACKUP_ICON 147
#define IDB_BACKUP_ICON 143
#define IDB_BACKUP_ICON_16 144
#define IDB_BACKUP_ICON_FOCUS 145
#define IDB_BACKUP_ICON_FOCUS_16 146
