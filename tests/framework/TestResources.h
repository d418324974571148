// Resource ids of the framework tests' own templates.
#pragma once

#define IDS_TEST_STRING 1

#define IDD_TEST_DIALOG 200
#define IDC_TEST_EDIT 201
#define IDC_TEST_CHECK 202

#define IDD_PAGE_ONE 210
#define IDC_PAGE_ONE_EDIT 211
#define IDC_PAGE_ONE_OK 212
#define IDC_PAGE_ONE_CANCEL 213
#define IDC_PAGE_ONE_APPLY 214

#define IDD_PAGE_TWO 220
#define IDC_PAGE_TWO_CHECK 221

#define IDR_TEST_MENU 300
#define ID_TEST_OPEN 301
#define ID_TEST_TOGGLE 302
#define ID_TEST_EXIT 303

#define IDR_TEST_FRAME 310

#define IDB_TEST_PICTURE 400
