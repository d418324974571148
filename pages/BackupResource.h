// Dialog and control ids of the Backup page.
#pragma once

#define IDD_BACKUP 137
#define IDC_BACKUP_SHOW_ICON 1261
#define IDC_BACKUP_CONFIGS 1262
#define IDC_BACKUP_ADD_CONFIG 1263
#define IDC_BACKUP_EDIT_CONFIG 1264
#define IDC_BACKUP_REMOVE_CONFIG 1265
#define IDC_BACKUP_ADVANCED 1266
#define IDC_BACKUP_OK 1267
#define IDC_BACKUP_CANCEL 1268
#define IDC_BACKUP_APPLY 1269
#define IDC_BACKUP_PICTURE 1270

// The page's picture (48 by 48, black transparent), as res/resource.h names it.
#define IDB_BACKUP 181
#define IDB_BACKUP_16 182
