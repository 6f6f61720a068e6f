// The windows and services of Veltran.exe, one maker per kind. A subsystem
// that builds one of these windows adds its line under the kind's heading
// and links its library into Veltran.exe (shell/CMakeLists.txt); a kind left
// without a maker opens nothing.
#include "shell/windowservices.h"
#include "clocks/analogclock_win.h"
#include "shell/aboutdlg_win.h"
#include "shell/generalsettingsdlg_win.h"
#include "shell/notificationsdlg_win.h"
#include "clocks/calendar_win.h"
#include "clocks/calendaroptions_win.h"
#include "clocks/clockoptions_win.h"
#include "clocks/digitalclock_win.h"

#include "alarms/alarmdlg.h"
#include "alarms/alarmexecutor.h"
#include "skinbrowser/skinbrowserdlg.h"
#include "alarms/alarmlistdlg.h"
#include "alarms/alarmlistoptionsdlg.h"

void AppWireWindowServices()
{
    // WK_ABOUT: CAboutDlg.
    g_windowServices.pfnMake[WK_ABOUT] = []() -> CDialog* { return new CAboutDlg; };

    // WK_ALARMLIST: CAlarmListDlg.
    g_windowServices.pfnMake[WK_ALARMLIST] = []() -> CDialog* { return new CAlarmListDlg; };

    // WK_ANALOGCLOCK: CAnalogClockDlg.
    g_windowServices.pfnMake[WK_ANALOGCLOCK] = []() -> CDialog* { return new CAnalogClockDlg; };

    // WK_DIGITALCLOCK: CDigitalClockDlg.
    g_windowServices.pfnMake[WK_DIGITALCLOCK] = []() -> CDialog* { return new CDigitalClockDlg; };

    // WK_CALENDAR: CCalendarDlg.
    g_windowServices.pfnMake[WK_CALENDAR] = []() -> CDialog* { return new CCalendarDlg; };

    // WK_SKINBROWSER: CSkinBrowserDlg.
    g_windowServices.pfnMake[WK_SKINBROWSER] = []() -> CDialog* { return new CSkinBrowserDlg; };

    // WK_ANALOGOPTIONS: CAnalogOptionsDlg.
    g_windowServices.pfnMake[WK_ANALOGOPTIONS] = []() -> CDialog* { return new CAnalogOptionsDlg; };

    // WK_DIGITALOPTIONS: CDigitalOptionsDlg.
    g_windowServices.pfnMake[WK_DIGITALOPTIONS] = []() -> CDialog* { return new CDigitalOptionsDlg; };

    // WK_CALENDAROPTIONS: CCalendarOptionsDlg.
    g_windowServices.pfnMake[WK_CALENDAROPTIONS] = []() -> CDialog* { return new CCalendarOptionsDlg; };

    // WK_GENERALSETTINGS: CGeneralSettingsDlg.
    g_windowServices.pfnMake[WK_GENERALSETTINGS] = []() -> CDialog* { return new CGeneralSettingsDlg; };

    // WK_ALARMLISTOPTIONS: CAlarmListOptionsDlg.
    g_windowServices.pfnMake[WK_ALARMLISTOPTIONS] = []() -> CDialog* { return new CAlarmListOptionsDlg; };

    // pfnEditAlarm: CAlarmDlg run modally.
    g_windowServices.pfnEditAlarm = AlarmRunEditor;

    // pfnNotifications: the Notifications dialog run modally.
    g_windowServices.pfnNotifications = RunNotificationsDialog;

    // pfnExecuteAlarm: CAlarmExecutor::ExecuteAlarm.
    // An executor per alarm, so the message windows of different alarms stand side by side.
    g_windowServices.pfnExecuteAlarm = [](const CString& strName, DWORD dwIcon, const CAlarm& alarm) {
        CAlarmExecutor().ExecuteAlarm(strName, reinterpret_cast<HICON>(static_cast<UINT_PTR>(dwIcon)), alarm);
    };
}
