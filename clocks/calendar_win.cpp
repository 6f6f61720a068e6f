#include "clocks/calendar_win.h"

#include "afx/afxapp.h"
#include "afx/afxmenu.h"
#include "clocks/calendarmodel.h"
#include "clocks/clockwindow_win.h"
#include "core/messages.h"
#include "core/settings.h"
#include "res/clockoptions_res.h"
#include "res/shared_icons.h"

BEGIN_MESSAGE_MAP(CCalendarDlg, CDialog)
ON_WM_SIZE()
ON_WM_CLOSE()
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CCalendarCtrl::~CCalendarCtrl() = default;

CCalendarDlg::CCalendarDlg(CWnd* pParent)
    : CDialog(IDD_CALENDAR, pParent)
{
}

CCalendarDlg::~CCalendarDlg() = default;

void CCalendarDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CALENDAR_MONTHS, m_ctlCalendar);
}

BOOL CCalendarDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CMenu* pSysMenu = GetSystemMenu(FALSE);
    char szAbout[80] = "";
    ::LoadStringA(AfxGetResourceHandle(), IDS_ABOUTBOX, szAbout, sizeof(szAbout));
    if (pSysMenu != nullptr && szAbout[0] != '\0') {
        pSysMenu->AppendMenu(MF_SEPARATOR);
        pSysMenu->AppendMenu(MF_STRING, ID_CALENDAR_ABOUT, szAbout);
    }
    HICON hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_CALENDAR));
    SetIcon(hIcon, TRUE);
    SetIcon(hIcon, FALSE);
    SetWindowText("Veltran Clock - Calendar");
    LockWindowUpdate();
    ShowWindow(SW_SHOWMAXIMIZED);
    ApplySettings();
    UnlockWindowUpdate();
    return TRUE;
}

void CCalendarDlg::ApplySettings()
{
    for (const CCalendarColour& colour : g_calendarColours) {
        if (g_settings.*colour.pbUse)
            m_ctlCalendar.SetColor(colour.nIndex, g_settings.*colour.pcrColour);
    }
    m_brBack.DeleteObject();
    m_brBack.CreateSolidBrush(m_ctlCalendar.GetColor(CAL_COLOR_BACKGROUND));
    const int nFirstDay = ValidateCalendarFirstDay(g_settings);
    if (g_settings.m_bCalCustomFirstDay)
        m_ctlCalendar.SetFirstDayOfWeek(nFirstDay);
    UpdateTopMost();
}

void CCalendarDlg::UpdateTopMost()
{
    SetWindowPos(g_settings.m_bCalendarOnTop ? &CWnd::wndTopMost : &CWnd::wndNoTopMost, 0, 0, 0, 0,
        SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CCalendarDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (GetSafeHwnd() == nullptr || m_ctlCalendar.GetSafeHwnd() == nullptr)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    CRect rcMonth;
    m_ctlCalendar.GetMinReqRect(&rcMonth);
    const int nTodayWidth = static_cast<int>(m_ctlCalendar.SendMessage(MCM_GETMAXTODAYWIDTH));
    const CCalendarLayout layout = FitCalendarPanes(rcClient, rcMonth, nTodayWidth);
    m_ctlCalendar.MoveWindow(&layout.rcControl, TRUE);
    m_nMonthCols = layout.nCols;
    m_nMonthRows = layout.nRows;
}

// Only the About item of the system menu carries this id.
LRESULT CCalendarDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SYSCOMMAND && wParam == ID_CALENDAR_ABOUT)
        SendToMainWindow(UM_SHOWABOUT);
    return CDialog::WindowProc(message, wParam, lParam);
}

void CCalendarDlg::OnClose()
{
    g_settings.m_bCalendarVisible = 0;
    SendToMainWindow(UM_CALENDARCLOSED);
}

void CCalendarDlg::OnOK()
{
}

void CCalendarDlg::OnCancel()
{
    SendToMainWindow(UM_CALENDARCLOSED);
}

HBRUSH CCalendarDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    return static_cast<HBRUSH>(m_brBack.GetSafeHandle());
}
