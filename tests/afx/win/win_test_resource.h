// Ids of the test dialog templates.
#pragma once

#define IDD_TEST_DATA 101
#define IDD_TEST_PAGE 102
#define IDD_TEST_TABS 103
#define IDC_NAME 1001
#define IDC_COUNT 1002
#define IDC_LIMIT 1003
#define IDC_CHECK 1004
#define IDC_RADIO1 1005
#define IDC_RADIO2 1006
#define IDC_RADIO3 1007
#define IDC_COMBO 1008
#define IDC_DROPLIST 1009
#define IDC_TAB 1010
#define IDC_PAGE_EDIT 1011
#define IDC_AFTER_RADIOS 1012
#define IDR_TEST_MENU 201
#define ID_TEST_FIRST 40001
#define ID_TEST_SECOND 40002
