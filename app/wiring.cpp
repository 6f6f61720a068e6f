// The windows and services of Veltran.exe, one maker per kind. A subsystem
// that builds one of these windows adds its line under the kind's heading
// and links its library into Veltran.exe (app/CMakeLists.txt); a kind left
// without a maker opens nothing.
#include "app/windowservices.h"
#include "clocks/analogclock_win.h"

#include "alarms/alarmdlg.h"
#include "alarms/alarmexecutor.h"
#include "alarms/alarmlistdlg.h"
#include "alarms/alarmlistoptionsdlg.h"

void AppWireWindowServices()
{
    // WK_ABOUT: CAboutDlg.

    // WK_ALARMLIST: CAlarmListDlg.
    g_windowServices.pfnMake[WK_ALARMLIST] = []() -> CDialog* { return new CAlarmListDlg; };

    // WK_ANALOGCLOCK: CAnalogClockDlg.
    g_windowServices.pfnMake[WK_ANALOGCLOCK] = []() -> CDialog* { return new CAnalogClockDlg; };

    // WK_DIGITALCLOCK: CDigitalClockDlg.

    // WK_CALENDAR: CCalendarDlg.

    // WK_SKINBROWSER: CSkinBrowserDlg.

    // WK_ANALOGOPTIONS: CAnalogOptionsDlg.

    // WK_DIGITALOPTIONS: CDigitalOptionsDlg.

    // WK_CALENDAROPTIONS: CCalendarOptionsDlg.

    // WK_GENERALSETTINGS: CGeneralSettingsDlg.

    // WK_ALARMLISTOPTIONS: CAlarmListOptionsDlg.
    g_windowServices.pfnMake[WK_ALARMLISTOPTIONS] = []() -> CDialog* { return new CAlarmListOptionsDlg; };

    // pfnEditAlarm: CAlarmDlg run modally.
    g_windowServices.pfnEditAlarm = AlarmRunEditor;

    // pfnNotifications: the Notifications dialog run modally.

    // pfnExecuteAlarm: CAlarmExecutor::ExecuteAlarm.
    // An executor per alarm, so the message windows of different alarms stand side by side.
    g_windowServices.pfnExecuteAlarm = [](const CString& strName, DWORD dwIcon, const CAlarm& alarm) {
        CAlarmExecutor().ExecuteAlarm(strName, reinterpret_cast<HICON>(static_cast<UINT_PTR>(dwIcon)), alarm);
    };
}
