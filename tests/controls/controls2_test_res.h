// The test dialog of the buttons, labels, links, progress bars and tabs.
#pragma once

#define IDD_CONTROLS2_TEST 110

#define IDC_T2_SHADE 1101
#define IDC_T2_RADIO1 1102
#define IDC_T2_RADIO2 1103
#define IDC_T2_RADIO3 1104
#define IDC_T2_CHECK 1105
#define IDC_T2_SKIN 1106
#define IDC_T2_LABEL 1107
#define IDC_T2_LINK 1108
#define IDC_T2_GRADIENT 1109
#define IDC_T2_TEXTPROGRESS 1110
#define IDC_T2_TABS 1111
#define IDC_T2_MAILLABEL 1112

#define IDI_T2_ICON 210
