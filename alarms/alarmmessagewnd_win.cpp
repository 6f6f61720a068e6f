#include "alarms/alarmmessagewnd.h"

#include "res/alarms_res.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

BEGIN_MESSAGE_MAP(CAlarmMessageWnd, CDialog)
    ON_WM_SIZING()
    ON_WM_SIZE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace
{
// A rectangle stored while another monitor was attached would open the
// window where nobody can see or close it: such a one is moved (and if need
// be shrunk) onto the nearest monitor's work area.
RECT FitOnMonitor(const RECT& rc)
{
    RECT rcProbe = rc;
    rcProbe.right = std::max(rcProbe.right, rcProbe.left + 1);
    rcProbe.bottom = std::max(rcProbe.bottom, rcProbe.top + 1);
    if (::MonitorFromRect(&rcProbe, MONITOR_DEFAULTTONULL) != NULL)
        return rc;
    MONITORINFO info;
    std::memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoA(::MonitorFromRect(&rcProbe, MONITOR_DEFAULTTONEAREST), &info))
        return rc;
    const RECT& rcWork = info.rcWork;
    const int nWidth = std::min(rc.right - rc.left, rcWork.right - rcWork.left);
    const int nHeight = std::min(rc.bottom - rc.top, rcWork.bottom - rcWork.top);
    RECT rcFitted;
    rcFitted.left = std::max<LONG>(rcWork.left, std::min<LONG>(rc.left, rcWork.right - nWidth));
    rcFitted.top = std::max<LONG>(rcWork.top, std::min<LONG>(rc.top, rcWork.bottom - nHeight));
    rcFitted.right = rcFitted.left + nWidth;
    rcFitted.bottom = rcFitted.top + nHeight;
    return rcFitted;
}
} // namespace

CAlarmMessageWnd::CAlarmMessageWnd() : CDialog(IDD_ALARMMESSAGE)
{
    std::memset(&m_lfFont, 0, sizeof(m_lfFont));
    std::memset(&m_rcWindow, 0, sizeof(m_rcWindow));
}

// The window goes before the font that its button still uses.
CAlarmMessageWnd::~CAlarmMessageWnd()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

void CAlarmMessageWnd::SetTextAlign(DWORD dwStyleAdd, DWORD dwStyleRemove)
{
    m_dwStyleAdd = dwStyleAdd;
    m_dwStyleRemove = dwStyleRemove;
}

void CAlarmMessageWnd::SetMessageText(CString strText)
{
    m_strText = strText;
}

void CAlarmMessageWnd::SetMessageFont(LOGFONT lfFont)
{
    m_lfFont = lfFont;
}

void CAlarmMessageWnd::SetCaptionText(CString strCaptionText)
{
    m_strCaptionText = strCaptionText;
}

void CAlarmMessageWnd::SetMessageRect(RECT rcWindow)
{
    if (rcWindow.right - rcWindow.left < 0 || rcWindow.bottom - rcWindow.top < 0)
    {
        const int nWidth = ::GetSystemMetrics(SM_CXFULLSCREEN);
        const int nHeight = ::GetSystemMetrics(SM_CYFULLSCREEN);
        rcWindow.left = nWidth / 4;
        rcWindow.top = nHeight / 4;
        rcWindow.right = 3 * nWidth / 4;
        rcWindow.bottom = 3 * nHeight / 4;
    }
    m_rcWindow = rcWindow;
}

void CAlarmMessageWnd::SetAutoClose(int nSeconds)
{
    m_nSeconds = nSeconds;
}

BOOL CAlarmMessageWnd::Create()
{
    return CDialog::Create(IDD_ALARMMESSAGE, nullptr);
}

BOOL CAlarmMessageWnd::DestroyWindow()
{
    if (m_hWnd != NULL)
        GetWindowRect(&m_rcWindow);
    return CDialog::DestroyWindow();
}

void CAlarmMessageWnd::DeleteWhenClosed()
{
    if (m_hWnd == NULL)
    {
        delete this;
        return;
    }
    m_bDeleteWhenClosed = TRUE;
}

void CAlarmMessageWnd::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ALARMMESSAGE_TEXT, m_btnMessage);
}

BOOL CAlarmMessageWnd::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_btnMessage.SetWindowText(m_strText);

    if (m_font.GetSafeHandle() != NULL)
        m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_lfFont);
    m_btnMessage.SetFont(&m_font, TRUE);
    m_btnMessage.ModifyStyle(m_dwStyleRemove, m_dwStyleAdd);

    CString strTemplateCaption;
    GetWindowText(strTemplateCaption);
    m_strCaption = strTemplateCaption + m_strCaptionText;
    SetWindowText(m_strCaption);

    const RECT rc = FitOnMonitor(m_rcWindow);
    SetWindowPos(&wndTopMost, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, 0);
    SendMessage(WM_SIZING, 0, 0);

    if (m_nSeconds > 0)
    {
        SetTimer(ALARMMESSAGE_TIMER, 1000);
        ShowCountdown();
    }
    return TRUE;
}

// Enter must not close a message the user may not have read yet.
void CAlarmMessageWnd::OnOK()
{
}

// Esc and the close box close the window. A modeless dialog's default would
// only hide it, leaving a hidden window (and its countdown) behind.
void CAlarmMessageWnd::OnCancel()
{
    if (IsModal())
        CDialog::OnCancel();
    else
        DestroyWindow();
}

// Deferred: the window may be destroyed from its own timer handler.
void CAlarmMessageWnd::PostNcDestroy()
{
    CDialog::PostNcDestroy();
    if (m_bDeleteWhenClosed)
        AfxDeleteLater(this);
}

void CAlarmMessageWnd::OnSizing(UINT, LPRECT)
{
    Default();
    LayOutMessage();
}

// WM_SIZING comes before the size changes (and not at all for a programmatic
// move), so the button follows the final size here.
void CAlarmMessageWnd::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    LayOutMessage();
}

void CAlarmMessageWnd::OnTimer(UINT_PTR nIDEvent)
{
    // A tick with no countdown running (none set, or already ended) counts nothing.
    if (nIDEvent == ALARMMESSAGE_TIMER && m_nSeconds > 0)
    {
        if (--m_nSeconds < 1)
        {
            KillTimer(ALARMMESSAGE_TIMER);
            // Temporary wrappers are freed only from the outermost loop: a
            // modal loop below this tick may still hold some.
            if (AfxGetDispatchDepth() <= 1)
                CWnd::DeleteTempMap();
            DestroyWindow();
            return;
        }
        ShowCountdown();
    }
    CDialog::OnTimer(nIDEvent);
}

void CAlarmMessageWnd::LayOutMessage()
{
    if (m_btnMessage.GetSafeHwnd() == NULL)
        return;
    CRect rcClient;
    GetClientRect(&rcClient);
    m_btnMessage.MoveWindow(&rcClient, TRUE);
}

void CAlarmMessageWnd::ShowCountdown()
{
    char szCount[32];
    std::snprintf(szCount, sizeof(szCount), " - %d second(s)", m_nSeconds);
    SetWindowText(m_strCaption + szCount);
}
