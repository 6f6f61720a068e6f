// The test dialogs of the report list.
#pragma once

#define IDD_REPORT_TEST 21900
#define IDD_REPORT_OWNERDATA_TEST 21901
#define IDD_REPORT_NOHEADER_TEST 21902

#define IDC_REPORT 1017
