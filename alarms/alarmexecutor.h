// Runs an alarm: asks for confirmation when the alarm says so, shows its
// message window, asks the main window for the clock windows, opens the
// programs, saves the configuration and performs the system functions, then
// plays the sounds. Everything that leaves the process goes through the
// system seams. Also offers the small services of CAlarmExecutorUtil.
#pragma once

#include "alarms/executorutil.h"
#include "core/alarm.h"

#include <windows.h>

class CAlarmMessageWnd;

class CAlarmExecutor : public CAlarmExecutorUtil
{
public:
    CAlarmExecutor();
    // A message window still open stays on screen and deletes itself later.
    virtual ~CAlarmExecutor();
    CAlarmExecutor(const CAlarmExecutor&) = delete;
    CAlarmExecutor& operator=(const CAlarmExecutor&) = delete;

    // Everything comes from the alarm record; the name and icon are not read.
    void ExecuteAlarm(CString strName, HICON hIcon, CAlarm alarm);
    // Does nothing and succeeds; nothing calls it.
    BOOL Reserved(DWORD dwUnused);

    // The system function nCode (0..10): CD door, input block, monitor power,
    // screen saver, log off, shutdown, reboot, power off. Other codes do nothing.
    static void PerformSystemFunction(int nCode);

    // The message window this executor opens (its object outlives a run).
    CAlarmMessageWnd& GetMessageWnd() { return *m_pWndMessage; }

private:
    void ShowMessage(const CAlarm& alarm);

    CAlarmMessageWnd* m_pWndMessage;
};

// The system-function codes, as the alarm's code string holds them.
enum
{
    SYSFUNC_CDOPEN = 0,
    SYSFUNC_CDCLOSE = 1,
    SYSFUNC_BLOCKINPUT = 2,
    SYSFUNC_MONITORLIGHTSLEEP = 3,
    SYSFUNC_MONITORSLEEP = 4,
    SYSFUNC_MONITOROFF = 5,
    SYSFUNC_SCREENSAVER = 6,
    SYSFUNC_LOGOFF = 7,
    SYSFUNC_SHUTDOWN = 8,
    SYSFUNC_REBOOT = 9,
    SYSFUNC_POWEROFF = 10
};
