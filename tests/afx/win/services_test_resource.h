// Ids of the templates of the window-services tests.
#pragma once

#define IDD_SERVICES_FORM 301
#define IDC_SERVICES_EDIT 3001
#define IDC_SERVICES_CHECK 3002
#define IDC_SERVICES_COMBO 3003
