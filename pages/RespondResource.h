// Dialog and control ids of the Respond page.
#pragma once

#define IDD_RESPOND 154
#define IDC_RESPOND_LIST 1091
#define IDC_RESPOND_PICTURE 1175
#define IDC_RESPOND_PAGE_OK 1176
#define IDC_RESPOND_PAGE_CANCEL 1177
#define IDC_RESPOND_PAGE_APPLY 1178
#define IDC_RESPOND_ADD 1179
#define IDC_RESPOND_EDIT 1180
#define IDC_RESPOND_REMOVE 1181
#define IDC_RESPOND_ENABLED 1196
#define IDC_RESPOND_VIEW_LOG 1182

// The page's picture (48 by 48, black transparent), as res/resource.h names it.
#define IDB_RESPOND 189
#define IDB_RESPOND_16 190
