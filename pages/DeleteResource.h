// Dialog and control ids of the Delete page.
#pragma once

#define IDD_DELETE 136
#define IDC_DELETE_SHOW_SHREDDER 1241
#define IDC_DELETE_HIDE_RECYCLE 1242
#define IDC_DELETE_ENABLED 1243
#define IDC_DELETE_AT_START 1244
#define IDC_DELETE_DAYS 1245
#define IDC_DELETE_HOURS 1246
#define IDC_DELETE_MINUTES 1247
#define IDC_DELETE_SECONDS 1248
#define IDC_DELETE_NOW 1249
#define IDC_DELETE_TASKS 1250
#define IDC_DELETE_ADD 1251
#define IDC_DELETE_EDIT 1252
#define IDC_DELETE_REMOVE 1253
#define IDC_DELETE_LAST_RUN 1254
#define IDC_DELETE_OK 1255
#define IDC_DELETE_CANCEL 1256
#define IDC_DELETE_APPLY 1257
#define IDC_DELETE_PICTURE 1258

// The page's picture (48 by 48, black transparent), as res/resource.h names it.
#define IDB_DELETE 183
#define IDB_DELETE_16 184
