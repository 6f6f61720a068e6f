// What the main dialog needs of the windows it owns and of the alarm
// services it calls. The windows of the other subsystems derive from these
// bases; the program fills g_windowServices with one maker per kind at start,
// so the shell builds and is tested without them, and a test can plug in its
// own windows and see the dispatcher reach them.
#pragma once

#include "afx/afxdlg.h"
#include "app/alarm.h"

// The analog clock (dialog template 185) and the digital clock (193).
class CClockWindow : public CDialog {
public:
    using CDialog::CDialog;
    // Nonzero when a skin was loaded and the window set up; 0 when none could be.
    virtual int LoadSkin(int nScale) = 0;
    // (Re)arms or kills the automatic skin-change timer from the settings.
    virtual void SetAutoChangeTimer(BOOL bOn) = 0;
    // Window left + client width / 2, window top + client height / 2.
    virtual CPoint GetWindowCenter() = 0;
    // After its options closed: the open clock shows what the settings now
    // say (stacking order, placement, and the skin and format when they
    // differ from those shown), in place.
    virtual void ApplyOptions() = 0;
};

// An options dialog whose closing the main dialog reads.
class COptionsWindow : public CDialog {
public:
    using CDialog::CDialog;
    int m_nCloseResult = 0;     // 1 after OK, 2 after Cancel
    CString m_strInitialSkin;   // the clock options: the skin when the dialog opened
};

// The alarm list (dialog template 133).
class CAlarmListWindow : public CDialog {
public:
    using CDialog::CDialog;
    // Rebuilds g_alarms from the list's rows in their order.
    virtual void StoreListToArray() = 0;
    // Clears the list and shows a row for each alarm of g_alarms.
    virtual void FillList() = 0;
    // Applies the alarm-list colours of g_settings.
    virtual void ApplyOptions() = 0;
    // TRUE while the list waits in a modal editor or question of its own: a
    // close then would return into a destroyed list, so the shell leaves it open.
    virtual BOOL IsBusy() const { return FALSE; }
};

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

// Fills g_windowServices with the program's own windows (app/wiring.cpp,
// linked into Veltran.exe only).
void AppWireWindowServices();
