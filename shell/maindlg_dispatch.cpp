// The dispatcher: every private message and tray command, and the ownership
// protocol of the windows the main dialog makes, raises, hides and deletes.
#include "shell/maindlg.h"

#include "core/config.h"
#include "core/programhelp.h"
#include "core/settings.h"
#include "alarms/quickalarm.h"
#include "alarms/executorutil.h"

namespace
{
// The object of a kind, or null when the program has no such window.
template <class T> T* MakeOfKind(WINDOWKIND nKind)
{
    if (g_windowServices.pfnMake[nKind] == nullptr)
        return nullptr;
    CDialog* pMade = g_windowServices.pfnMake[nKind]();
    T* pTyped = dynamic_cast<T*>(pMade);
    if (pTyped == nullptr)
        delete pMade;
    return pTyped;
}
} // namespace

// The pointer is set before the window exists, so a window that reports back
// from its OnInitDialog finds itself owned.
template <class T> BOOL CMainDlg::CreateOwned(T*& pWnd, WINDOWKIND nKind)
{
    T* p = MakeOfKind<T>(nKind);
    if (p == nullptr)
        return FALSE;
    pWnd = p;
    const BOOL bCreated = p->Create(g_windowServices.nTemplate[nKind], CWnd::GetDesktopWindow());
    if (pWnd != p)
        return FALSE;  // closed again while it was being created
    if (!bCreated || p->GetSafeHwnd() == nullptr)
    {
        CloseOwned(pWnd);
        return FALSE;
    }
    return TRUE;
}

template <class T> void CMainDlg::ShowOrRaise(T*& pWnd, WINDOWKIND nKind)
{
    if (IsOpen(pWnd))
    {
        pWnd->SetActiveWindow();
        return;
    }
    CloseOwned(pWnd);
    if (CreateOwned(pWnd, nKind))
        pWnd->ShowWindow(SW_SHOW);
}

LRESULT CMainDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    Dispatch(message, wParam, lParam);
    return CDialog::WindowProc(message, wParam, lParam);
}

// UM_TRAYNOTIFY is the message map's alone: handled here as well, every
// click would run twice (a right click would open the menu again).
void CMainDlg::Dispatch(UINT message, WPARAM wParam, LPARAM)
{
    switch (message)
    {
    case UM_STOREALARMLIST:
        StoreAlarmList();
        SaveIfAlarmsChanged();
        break;
    case UM_SHOWABOUT:
        ShowOrRaise(m_pAboutDlg, WK_ABOUT);
        break;
    case UM_ABOUTCLOSED:
        CloseOwned(m_pAboutDlg);
        break;
    case UM_SHOWTRAYMENU:
    case WM_CONTEXTMENU:
        ShowTrayMenu();
        break;
    case UM_REGISTERHOTKEYS:
        // Sent after every editor OK: the array may have changed with it.
        AlarmsChanged();
        break;
    case UM_SAVEWINDOWSTATE:
        SaveWindowState();
        break;
    case UM_EXITAPP:
        OnExitApp();
        break;
    case UM_SHOWANALOGCLOCK:
        ShowClock(TRUE);
        break;
    case UM_SHOWDIGITALCLOCK:
        ShowClock(FALSE);
        break;
    case UM_SHOWCALENDAR:
        ShowOrRaise(m_pCalendarDlg, WK_CALENDAR);
        if (IsOpen(m_pCalendarDlg))
            g_settings.m_bCalendarVisible = 1;
        break;
    case UM_HIDEANALOGCLOCK:
        HideClock(TRUE);
        break;
    case UM_HIDEDIGITALCLOCK:
        HideClock(FALSE);
        break;
    case UM_CALENDARCLOSED:
        if (IsOpen(m_pCalendarDlg))
            m_pCalendarDlg->ShowWindow(SW_HIDE);
        CloseOwned(m_pCalendarDlg);
        g_settings.m_bCalendarVisible = 0;
        break;
    case UM_SHOWALARMLIST:
        ShowOrRaise(m_pAlarmListDlg, WK_ALARMLIST);
        if (IsOpen(m_pAlarmListDlg))
            m_pAlarmListDlg->SetActiveWindow();
        break;
    case UM_ALARMLISTCLOSED:
        if (m_pAlarmListDlg != nullptr && !(IsOpen(m_pAlarmListDlg) && m_pAlarmListDlg->IsBusy()))
        {
            StoreAlarmList();
            if (IsOpen(m_pAlarmListDlg))
                m_pAlarmListDlg->ShowWindow(SW_HIDE);
            CloseOwned(m_pAlarmListDlg);
            AlarmsChanged();
            SaveIfAlarmsChanged();
        }
        break;
    case UM_REMOVETRAYICON:
        RemoveTrayIcon();
        break;
    case UM_SHOWANALOGOPTIONS:
        ShowOrRaise(m_pAnalogOptionsDlg, WK_ANALOGOPTIONS);
        break;
    case UM_ANALOGOPTIONSCLOSED:
        OptionsClosed(WK_ANALOGOPTIONS);
        break;
    case UM_SHOWDIGITALOPTIONS:
        ShowOrRaise(m_pDigitalOptionsDlg, WK_DIGITALOPTIONS);
        break;
    case UM_DIGITALOPTIONSCLOSED:
        OptionsClosed(WK_DIGITALOPTIONS);
        break;
    case UM_SHOWCALENDAROPTIONS:
        ShowOrRaise(m_pCalendarOptionsDlg, WK_CALENDAROPTIONS);
        break;
    case UM_CALENDAROPTIONSCLOSED:
        OptionsClosed(WK_CALENDAROPTIONS);
        break;
    case UM_SHOWALARMLISTOPTIONS:
        ShowOrRaise(m_pAlarmListOptionsDlg, WK_ALARMLISTOPTIONS);
        break;
    case UM_ALARMLISTOPTIONSCLOSED:
        CloseOwned(m_pAlarmListOptionsDlg);
        if (IsOpen(m_pAlarmListDlg))
            m_pAlarmListDlg->SetActiveWindow();
        break;
    case UM_SHOWGENERALSETTINGS:
        ShowOrRaise(m_pGeneralSettingsDlg, WK_GENERALSETTINGS);
        break;
    case UM_GENERALSETTINGSCLOSED:
        CloseOwned(m_pGeneralSettingsDlg);
        break;
    case UM_APPLYALARMLISTOPTIONS:
        if (IsOpen(m_pAlarmListDlg))
            m_pAlarmListDlg->ApplyOptions();
        break;
    case UM_SAVESETTINGS:
        SaveSettings();
        break;
    case UM_SHOWSKINBROWSER:
        ShowOrRaise(m_pSkinBrowserDlg, WK_SKINBROWSER);
        break;
    case UM_SKINBROWSERCLOSED:
        CloseOwned(m_pSkinBrowserDlg);
        break;
    case UM_REBUILDTRAYMENU:
        BuildTrayMenu();
        break;
    case WM_QUERYENDSESSION:
        SendMessage(UM_SAVESETTINGS);
        break;
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        SendMessage(UM_TRAYNOTIFY, 0, static_cast<LPARAM>(message));
        break;
    case WM_COMMAND:
        OnCommandId(LOWORD(wParam));
        break;
    default:
        break;
    }
}

void CMainDlg::OnCommandId(UINT nID)
{
    if (nID >= ID_TRAY_FIRSTALARM && nID - ID_TRAY_FIRSTALARM < 0x10000)
    {
        const INT_PTR nAlarm = FindTrayAlarm(nID - ID_TRAY_FIRSTALARM);
        if (nAlarm >= 0)
            RunAlarmByHand(nAlarm);
        return;
    }
    if (nID >= QUICKALARM_FIRST && nID <= QUICKALARM_LAST)
    {
        OnQuickAlarm(nID);
        return;
    }
    switch (nID)
    {
    case ID_TRAY_ANALOGSKINS:
    case ID_TRAY_DIGITALSKINS:
        g_settings.m_nSkinBrowserType = nID == ID_TRAY_ANALOGSKINS ? 0 : 1;
        SendMessage(UM_SHOWSKINBROWSER);
        break;
    case ID_TRAY_ANALOGOPTIONS:
        SendMessage(UM_SHOWANALOGOPTIONS);
        break;
    case ID_TRAY_DIGITALOPTIONS:
        SendMessage(UM_SHOWDIGITALOPTIONS);
        break;
    case ID_TRAY_TRAYCLOCK:
        TrayClockCommand(100);
        break;
    case ID_TRAY_CALENDAROPTIONS:
        SendMessage(UM_SHOWCALENDAROPTIONS);
        break;
    case ID_TRAY_SYNCHRONIZE:
        TrayClockCommand(104);
        break;
    case ID_TRAY_SYNCOPTIONS:
        StartBesideProgram("vodoze.exe");
        break;
    case ID_TRAY_ADJUSTTIME:
        TrayClockCommand(408);
        break;
    case ID_TRAY_MINIMIZEALL:
        TrayClockCommand(127);
        break;
    case ID_TRAY_TASKMANAGER:
        TrayClockCommand(420);
        break;
    case ID_TRAY_TASKBAR:
        TrayClockCommand(413);
        break;
    case ID_TRAY_GENERALSETTINGS:
        SendMessage(UM_SHOWGENERALSETTINGS);
        break;
    case ID_TRAY_EXIT:
        OnExitApp();
        break;
    case ID_TRAY_ABOUT:
        SendMessage(UM_SHOWABOUT);
        break;
    case ID_TRAY_ALARMLIST:
        SendMessage(UM_SHOWALARMLIST);
        break;
    case ID_TRAY_ALARMLISTOPTIONS:
        SendMessage(UM_SHOWALARMLISTOPTIONS);
        break;
    case ID_TRAY_ANALOG:
        ToggleClock(TRUE);
        break;
    case ID_TRAY_DIGITAL:
        ToggleClock(FALSE);
        break;
    case ID_TRAY_CALENDAR:
        ToggleCalendar();
        break;
    case ID_TRAY_HELP:
        ShowHelp();
        break;
    case ID_TRAY_CHECKVERSION:
        ShellOpen(g_szVendorDownloads);
        break;
    case ID_TRAY_HOMEPAGE:
        OpenHomePage();
        break;
    case ID_TRAY_NOTIFICATIONS:
        if (g_windowServices.pfnNotifications != nullptr)
            g_windowServices.pfnNotifications();
        break;
    default:
        break;
    }
}

INT_PTR CMainDlg::FindTrayAlarm(UINT nIndex) const
{
    if (nIndex >= m_trayAlarmIds.size())
        return -1;
    return AlarmFindByIdentity(g_alarms, m_trayAlarmIds[nIndex]);
}

void CMainDlg::ExecuteAlarmCopy(const CAlarm& alarm, DWORD dwIcon)
{
    if (g_windowServices.pfnExecuteAlarm == nullptr)
        return;
    const CAlarm copy = alarm;
    g_windowServices.pfnExecuteAlarm(copy.m_strName, dwIcon, copy);
}

void CMainDlg::TrayClockCommand(UINT nCommand)
{
    if (HWND hTrayClock = AfxGetSeams()->FindTopWindow(g_szTrayClockClass, g_szTrayClockTitle))
        AfxGetSeams()->PostToWindow(hTrayClock, WM_COMMAND, nCommand, 0);
}

void CMainDlg::ShellOpen(LPCSTR pszFile)
{
    AfxGetSeams()->ShellExecute(nullptr, "open", pszFile, "", "", SW_SHOWNORMAL);
}

// Without a program folder the name would be looked for in the root of the
// drive: nothing is started then.
void CMainDlg::StartBesideProgram(LPCSTR pszName)
{
    const CString strAppDir = CAlarmExecutorUtil::GetAppDir();
    if (!strAppDir.IsEmpty())
        ShellOpen(strAppDir + "//" + pszName);
}

void CMainDlg::OpenHomePage()
{
    ShellOpen(g_szVendorHomePage);
}

void CMainDlg::OpenHomePage2()
{
    ShellOpen(g_szVendorHomePage);
}

void CMainDlg::ShowAbout()
{
    SendMessage(UM_SHOWABOUT);
}

// Without a program folder the help file would be looked for at the root
// of the drive: no help then.
void CMainDlg::ShowHelp()
{
    ShowProgramHelp("/General/index.htm");
}

void CMainDlg::ShowClock(BOOL bAnalog)
{
    CClockWindow*& pClock = bAnalog ? m_pAnalogClockDlg : m_pDigitalClockDlg;
    const int nScale = bAnalog ? g_settings.m_nAnalogScale : g_settings.m_nDigitalScale;
    const UINT nHide = bAnalog ? UM_HIDEANALOGCLOCK : UM_HIDEDIGITALCLOCK;
    if (IsOpen(pClock))
    {
        if (!pClock->LoadSkin(nScale))
        {
            m_pFailingClock = pClock;
            SendMessage(nHide);
            m_pFailingClock = nullptr;
        }
        return;
    }
    CloseOwned(pClock);
    if (!CreateOwned(pClock, bAnalog ? WK_ANALOGCLOCK : WK_DIGITALCLOCK))
    {
        (bAnalog ? g_settings.m_bAnalogVisible : g_settings.m_bDigitalVisible) = 0;
        return;
    }
    if (!pClock->LoadSkin(nScale))
    {
        // Its centre is the one stored, not that of a window that never showed.
        m_pFailingClock = pClock;
        SendMessage(nHide);
        m_pFailingClock = nullptr;
    }
    if (pClock != nullptr)
    {
        pClock->ShowWindow(SW_SHOW);
        (bAnalog ? g_settings.m_bAnalogVisible : g_settings.m_bDigitalVisible) = 1;
    }
}

void CMainDlg::HideClock(BOOL bAnalog)
{
    CClockWindow*& pClock = bAnalog ? m_pAnalogClockDlg : m_pDigitalClockDlg;
    if (IsOpen(pClock))
        SendMessage(UM_SAVEWINDOWSTATE);
    CloseOwned(pClock);
    (bAnalog ? g_settings.m_bAnalogVisible : g_settings.m_bDigitalVisible) = 0;
}

void CMainDlg::SaveWindowState()
{
    if (IsOpen(m_pAnalogClockDlg) && m_pAnalogClockDlg != m_pFailingClock)
    {
        g_settings.m_bAnalogVisible = 1;
        const CPoint pt = m_pAnalogClockDlg->GetWindowCenter();
        g_settings.m_ptAnalogCenter.x = pt.x;
        g_settings.m_ptAnalogCenter.y = pt.y;
    }
    else
        g_settings.m_bAnalogVisible = 0;
    if (IsOpen(m_pDigitalClockDlg) && m_pDigitalClockDlg != m_pFailingClock)
    {
        g_settings.m_bDigitalVisible = 1;
        CRect rect;
        m_pDigitalClockDlg->GetWindowRect(&rect);
        g_settings.m_ptDigitalCenter.x = rect.left + rect.Width() / 2;
        g_settings.m_ptDigitalCenter.y = rect.top + rect.Height() / 2;
    }
    else
        g_settings.m_bDigitalVisible = 0;
}

void CMainDlg::ToggleClock(BOOL bAnalog)
{
    CClockWindow*& pClock = bAnalog ? m_pAnalogClockDlg : m_pDigitalClockDlg;
    const BOOL bToggleHides = bAnalog ? g_settings.m_bAnalogToggleHides : g_settings.m_bDigitalToggleHides;
    if (IsOpen(pClock) && bToggleHides)
    {
        SendMessage(bAnalog ? UM_HIDEANALOGCLOCK : UM_HIDEDIGITALCLOCK);
        return;
    }
    if (!IsOpen(pClock))
        SendMessage(bAnalog ? UM_SHOWANALOGCLOCK : UM_SHOWDIGITALCLOCK);
    if (IsOpen(pClock))
        pClock->SetActiveWindow();
}

void CMainDlg::ToggleCalendar()
{
    if (IsOpen(m_pCalendarDlg) && g_settings.m_bCalendarToggleHides)
    {
        CloseOwned(m_pCalendarDlg);
        return;
    }
    SendMessage(UM_SHOWCALENDAR);
    if (IsOpen(m_pCalendarDlg))
        m_pCalendarDlg->SetActiveWindow();
}

void CMainDlg::OptionsClosed(WINDOWKIND nKind)
{
    if (nKind == WK_CALENDAROPTIONS)
    {
        const BOOL bRebuild =
            m_pCalendarDlg != nullptr && m_pCalendarOptionsDlg != nullptr && m_pCalendarOptionsDlg->m_nCloseResult == 1;
        CloseOwned(m_pCalendarOptionsDlg);
        if (bRebuild)
        {
            SendMessage(UM_CALENDARCLOSED);
            SendMessage(UM_SHOWCALENDAR);
        }
        return;
    }
    // OK and Cancel alike: the settings hold what OK stored or what the
    // dialog wrote at once (the skin, a format preset, the second hand), and
    // the open clock shows them. It applies them in place: made anew it would
    // vanish and come back, and lose a Skin information box it has open.
    const BOOL bAnalog = nKind == WK_ANALOGOPTIONS;
    COptionsWindow*& pOptions = bAnalog ? m_pAnalogOptionsDlg : m_pDigitalOptionsDlg;
    CClockWindow*& pClock = bAnalog ? m_pAnalogClockDlg : m_pDigitalClockDlg;
    CloseOwned(pOptions);
    if (!IsOpen(pClock))
        return;
    pClock->SetAutoChangeTimer(bAnalog ? g_settings.m_bAnalogAutoChange : g_settings.m_bDigitalAutoChange);
    pClock->ApplyOptions();
}

// A list whose window is gone has no rows: storing them would empty g_alarms.
void CMainDlg::StoreAlarmList()
{
    if (!IsOpen(m_pAlarmListDlg))
        return;
    m_pAlarmListDlg->StoreListToArray();
    if (AlarmsDifferFromLastBuild())
        AlarmsChanged();
}

void CMainDlg::SaveSettings()
{
    SendMessage(UM_STOREALARMLIST);
    SendMessage(UM_SAVEWINDOWSTATE);
    SaveConfiguration();
}
