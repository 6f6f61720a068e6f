#include "alarms/alarmexecutor.h"

#include "afx/afxseams.h"
#include "alarms/alarmlists.h"
#include "alarms/alarmmessagewnd.h"
#include "core/config.h"
#include "core/messages.h"
#include "core/settings.h"

CAlarmExecutor::CAlarmExecutor() : m_pWndMessage(new CAlarmMessageWnd)
{
}

// The shell makes an executor per alarm and drops it at once: an open
// message window takes over its own object and deletes it when it closes.
CAlarmExecutor::~CAlarmExecutor()
{
    m_pWndMessage->DeleteWhenClosed();
}

BOOL CAlarmExecutor::Reserved(DWORD)
{
    return TRUE;
}

void CAlarmExecutor::ExecuteAlarm(CString, HICON, CAlarm alarm)
{
    CSystemSeams* pSeams = AfxGetSeams();
    if (alarm.m_bAskNotify)
    {
        const CString strQuestion = "Execute '" + alarm.m_strName + "' ?";
        if (pSeams->MessageBox(::GetDesktopWindow(), strQuestion, "Alarm executing...",
                               MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            return;
    }

    if (alarm.m_bShowMessage)
        ShowMessage(alarm);

    if (CWnd* pMainWnd = AfxGetMainWnd())
    {
        if (alarm.m_bToggleAnalog)
            pMainWnd->SendMessage(UM_SHOWANALOGCLOCK, 0, 0);
        if (alarm.m_bToggleDigital)
            pMainWnd->SendMessage(UM_SHOWDIGITALCLOCK, 0, 0);
        if (alarm.m_bToggleCalendar)
            pMainWnd->SendMessage(UM_SHOWCALENDAR, 0, 0);
    }

    // Each program is one argument, exactly as listed, opened by the shell.
    if (alarm.m_bRunApps)
        for (const CString& strProgram : CAlarmLists::GetPrograms(alarm.m_strApps))
            pSeams->ShellExecute(NULL, "open", strProgram, "", "", SW_SHOWNORMAL);

    // Saved first: a log-off or shutdown code may end the program.
    if (alarm.m_bSysFuncs)
    {
        CConfigFile config;
        config.Save();
        for (int nCode : CAlarmLists::GetSystemFunctions(alarm.m_strSysFuncs))
            PerformSystemFunction(nCode);
    }

    // Each sound starts without waiting; the next one cuts a playing one off.
    if (alarm.m_bPlaySounds)
        for (const CString& strSound :
             CAlarmLists::GetSounds(alarm.m_strSounds, g_settings.m_strSoundDir, alarm.m_nSoundExtra))
            pSeams->PlaySound(strSound, NULL, SND_FILENAME | SND_ASYNC);
}

// A run while the previous message of this executor is still up replaces it.
void CAlarmExecutor::ShowMessage(const CAlarm& alarm)
{
    CAlarmMessageWnd& wnd = *m_pWndMessage;
    if (wnd.GetSafeHwnd() != NULL)
        wnd.DestroyWindow();
    if (alarm.m_bMsgCenter)
        wnd.SetTextAlign(BS_CENTER, BS_LEFT);
    else
        wnd.SetTextAlign(BS_LEFT, BS_CENTER);
    wnd.SetMessageText(alarm.m_strMessage);
    wnd.SetMessageFont(alarm.m_lfMessage);
    wnd.SetCaptionText(" " + alarm.m_strName);
    wnd.SetMessageRect(alarm.m_rcMessage);
    wnd.SetAutoClose(alarm.m_bAutoClose ? alarm.m_nAutoCloseSec : 0);
    wnd.Create();
}

// Input stays blocked once blocked: nothing here lifts it, the platform does.
// Power off asks the platform to switch the machine off, as its label says.
void CAlarmExecutor::PerformSystemFunction(int nCode)
{
    CSystemSeams* pSeams = AfxGetSeams();
    const HWND hWndMain = AfxGetMainWnd()->GetSafeHwnd();
    switch (nCode)
    {
    case SYSFUNC_CDOPEN:
        pSeams->MciSendString("set cdaudio door open", NULL, 0, NULL);
        break;
    case SYSFUNC_CDCLOSE:
        pSeams->MciSendString("set cdaudio door closed", NULL, 0, NULL);
        break;
    case SYSFUNC_BLOCKINPUT:
        pSeams->BlockInput(TRUE);
        break;
    case SYSFUNC_MONITORLIGHTSLEEP:
    case SYSFUNC_MONITORSLEEP:
    case SYSFUNC_MONITOROFF:
        pSeams->SystemCommand(hWndMain, SC_MONITORPOWER, nCode - SYSFUNC_MONITORLIGHTSLEEP);
        break;
    case SYSFUNC_SCREENSAVER:
        pSeams->SystemCommand(hWndMain, SC_SCREENSAVE, 0);
        break;
    case SYSFUNC_LOGOFF:
        pSeams->ExitWindowsEx(EWX_LOGOFF | EWX_FORCE, 0);
        break;
    case SYSFUNC_SHUTDOWN:
        pSeams->ExitWindowsEx(EWX_SHUTDOWN | EWX_FORCE, 0);
        break;
    case SYSFUNC_REBOOT:
        pSeams->ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0);
        break;
    case SYSFUNC_POWEROFF:
        pSeams->ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0);
        break;
    default:
        break;
    }
}
