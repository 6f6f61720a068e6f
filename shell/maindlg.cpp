#include "shell/maindlg.h"

#include "core/appseams.h"
#include "core/settings.h"
#include "core/iconhandle.h"

const char g_szTrayClockClass[] = "VAriziMainClass";
const char g_szTrayClockTitle[] = "VArizi";

namespace
{
// Explorer broadcasts this when it (re)starts; the tray icon must be added again.
UINT TaskbarCreatedMessage()
{
    static const UINT s_nMessage = ::RegisterWindowMessageA("TaskbarCreated");
    return s_nMessage;
}
} // namespace

BEGIN_MESSAGE_MAP(CMainDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_TIMER()
    ON_WM_TIMECHANGE()
    ON_MESSAGE(WM_HOTKEY, OnHotKey)
    ON_MESSAGE(UM_TRAYNOTIFY, OnTrayNotify)
    ON_REGISTERED_MESSAGE(TaskbarCreatedMessage(), OnTaskbarCreated)
    ON_WM_MEASUREITEM()
    ON_WM_MENUCHAR()
    ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

CMainDlg::CMainDlg(CWnd* pParent) : CDialog(IDD_MAINDLG, pParent)
{
    m_hIcon = AfxGetApp() != nullptr ? AfxGetApp()->LoadIcon(128) : nullptr;
}

// The timer goes first, so no alarm check runs on half-deleted windows; each
// window is destroyed through its own DestroyWindow (the Skin Browser stops
// its workers there) before it is deleted.
CMainDlg::~CMainDlg()
{
    if (m_hWnd != nullptr)
        KillTimer(TIMER_ALARMS);
    CloseOwned(m_pAnalogClockDlg);
    CloseOwned(m_pDigitalClockDlg);
    CloseOwned(m_pCalendarDlg);
    CloseOwned(m_pAlarmListDlg);
    CloseOwned(m_pAboutDlg);
    CloseOwned(m_pSkinBrowserDlg);
    CloseOwned(m_pAnalogOptionsDlg);
    CloseOwned(m_pDigitalOptionsDlg);
    CloseOwned(m_pCalendarOptionsDlg);
    CloseOwned(m_pGeneralSettingsDlg);
    CloseOwned(m_pAlarmListOptionsDlg);
    DestroyTrayMenu();
}

void CMainDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CMainDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    if (m_hWnd != nullptr)
        SetTimer(TIMER_ALARMS, 1000);
    BuildTrayMenu();
    ::SetForegroundWindow(m_hWnd);
    RegisterHotKeys();
    m_strAlarmsBuilt = AlarmMenuFingerprint(g_alarms);
    m_savedAlarms = StoredAlarms();
    MoveWindow(0, 0, 0, 0, TRUE);
    ShowWindow(SW_SHOW);
    SetWindowText("Veltran Clock");
    AddTrayIcon();
    StartBesideProgram("varizi.exe");
    // Both read first: a clock whose skin fails records the clocks' state,
    // which would mark the other one, not yet shown, as hidden.
    const BOOL bAnalogVisible = g_settings.m_bAnalogVisible;
    const BOOL bDigitalVisible = g_settings.m_bDigitalVisible;
    if (bAnalogVisible)
        SendMessage(UM_SHOWANALOGCLOCK);
    if (bDigitalVisible)
        SendMessage(UM_SHOWDIGITALCLOCK);
    if (g_settings.m_bAlarmListAtStartup)
        SendMessage(UM_SHOWALARMLIST);
    if (g_settings.m_bSkinBrowserAtStartup)
        SendMessage(UM_SHOWSKINBROWSER);
    SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    return TRUE;
}

void CMainDlg::AddTrayIcon()
{
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = m_hWnd;
    nid.uID = 0;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = UM_TRAYNOTIFY;
    CIconHandle icon(static_cast<HICON>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(394), IMAGE_ICON, 16, 16, LR_CREATEDIBSECTION)));
    nid.hIcon = icon.Get();
    lstrcpynA(nid.szTip, "Veltran Clock", 64);
    AfxGetSeams()->NotifyIcon(NIM_ADD, &nid);
}

void CMainDlg::RemoveTrayIcon()
{
    NOTIFYICONDATAA nid = {};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;
    nid.hWnd = m_hWnd;
    nid.uID = 0;
    AfxGetSeams()->NotifyIcon(NIM_DELETE, &nid);
}

LRESULT CMainDlg::OnTaskbarCreated(WPARAM, LPARAM)
{
    AddTrayIcon();
    return 0;
}

LRESULT CMainDlg::OnTrayNotify(WPARAM, LPARAM lParam)
{
    switch (static_cast<UINT>(lParam))
    {
    case WM_LBUTTONDBLCLK:
        switch (g_settings.m_nTrayDblClkAction)
        {
        case 1:
            SendMessage(UM_SHOWANALOGCLOCK);
            break;
        case 2:
            SendMessage(UM_SHOWDIGITALCLOCK);
            break;
        case 3:
            SendMessage(WM_COMMAND, ID_TRAY_CALENDAR);  // "Show/Hide Calendar": the calendar toggle
            break;
        case 4:
            SendMessage(UM_SHOWALARMLIST);  // "Show Alarm List"
            break;
        case 5:
            SendMessage(UM_SHOWGENERALSETTINGS);  // "Show Options"
            break;
        case 6:
            ShowHelp();  // "Show Help"
            break;
        default:
            break;
        }
        break;
    case WM_RBUTTONDOWN:
        ShowTrayMenu();
        break;
    default:
        break;
    }
    return 0;
}

void CMainDlg::OnExitApp()
{
    if (g_settings.m_bAskOnExit &&
        AfxGetSeams()->MessageBox(m_hWnd, "Are you sure to exit Veltran Clock ?", "Exit Veltran Clock...",
                                  MB_YESNO | MB_ICONEXCLAMATION) == IDNO)
        return;
    // No alarm may fire between here and the end of ExitInstance.
    KillTimer(TIMER_ALARMS);
    RemoveTrayIcon();
    SendMessage(UM_SKINBROWSERCLOSED);
    if (HWND hTrayClock = AfxGetSeams()->FindTopWindow(g_szTrayClockClass, g_szTrayClockTitle))
        AfxGetSeams()->PostToWindow(hTrayClock, WM_CLOSE, 0, 0);
    if (m_hIcon != nullptr)
    {
        ::DestroyIcon(m_hIcon);
        m_hIcon = nullptr;
    }
    ::PostQuitMessage(0);
}

void CMainDlg::OnPaint()
{
    if (!IsIconic())
    {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    dc.DrawIcon((rect.Width() - cxIcon + 1) / 2, (rect.Height() - cyIcon + 1) / 2, m_hIcon);
}

HCURSOR CMainDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

void CMainDlg::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    CDialog::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
}

// Each item gets a CCmdUI with its id; a sub-menu counts as its first item's
// id; separators and items without an id are skipped.
void CMainDlg::OnInitMenuPopupUpdateUI(CMenu* pPopupMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu || pPopupMenu == nullptr)
        return;
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_nIndexMax = static_cast<UINT>(pPopupMenu->GetMenuItemCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++)
    {
        state.m_nID = pPopupMenu->GetMenuItemID(static_cast<int>(state.m_nIndex));
        state.m_pSubMenu = nullptr;
        if (state.m_nID == 0)
            continue;
        if (state.m_nID == static_cast<UINT>(-1))
        {
            CMenu* pSub = pPopupMenu->GetSubMenu(static_cast<int>(state.m_nIndex));
            if (pSub == nullptr || (state.m_nID = pSub->GetMenuItemID(0)) == 0 || state.m_nID == static_cast<UINT>(-1))
                continue;
            state.m_pSubMenu = pSub;
        }
        state.DoUpdate(this, FALSE);
    }
}
