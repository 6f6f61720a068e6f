// How the main dialog makes the windows it owns and reaches the alarm
// services it calls. The windows derive from the bases in
// core/windowbases.h; the program fills g_windowServices with one maker per
// kind at start, so the shell builds and is tested without them, and a test
// can plug in its own windows and see the dispatcher reach them.
#pragma once

#include "afx/afxdlg.h"
#include "core/alarm.h"
#include "core/windowbases.h"

// The modeless windows the main dialog owns, one pointer each.
enum WINDOWKIND {
    WK_ABOUT,             // CAboutDlg, 100
    WK_ALARMLIST,         // CAlarmListDlg, 133 (a CAlarmListWindow)
    WK_ANALOGCLOCK,       // CAnalogClockDlg, 185 (a CClockWindow)
    WK_DIGITALCLOCK,      // CDigitalClockDlg, 193 (a CClockWindow)
    WK_CALENDAR,          // CCalendarDlg, 213
    WK_SKINBROWSER,       // CSkinBrowserDlg, 412
    WK_ANALOGOPTIONS,     // CAnalogOptionsDlg, 180 (a COptionsWindow)
    WK_DIGITALOPTIONS,    // CDigitalOptionsDlg, 181 (a COptionsWindow)
    WK_CALENDAROPTIONS,   // CCalendarOptionsDlg, 348 (a COptionsWindow)
    WK_GENERALSETTINGS,   // CGeneralSettingsDlg, 196
    WK_ALARMLISTOPTIONS,  // CAlarmListOptionsDlg, 384
    WK_COUNT
};

struct CWindowServices {
    // Makes the object of a kind with no parent (its window is created by the
    // caller from the template); null when the program has no such window.
    CDialog* (*pfnMake[WK_COUNT])();
    // Its dialog template.
    UINT nTemplate[WK_COUNT];
    // Runs the alarm editor modally on alarm; IDOK when the user confirmed.
    INT_PTR (*pfnEditAlarm)(CAlarm& alarm);
    // Runs the Notifications dialog modally.
    void (*pfnNotifications)();
    // CAlarmExecutor::ExecuteAlarm: name and icon are passed on, not used.
    void (*pfnExecuteAlarm)(const CString& strName, DWORD dwIcon, const CAlarm& alarm);
};

extern CWindowServices g_windowServices;

// Fills g_windowServices with the program's own windows (shell/wiring.cpp,
// linked into Veltran.exe only).
void AppWireWindowServices();
