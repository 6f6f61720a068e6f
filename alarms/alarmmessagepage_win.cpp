#include "alarms/alarmpages.h"

#include "res/alarms_res.h"

#include <cstring>

BEGIN_MESSAGE_MAP(CAlarmMessagePage, CDialog)
    ON_BN_CLICKED(IDC_MSG_CENTER, OnCenterMessage)
    ON_BN_CLICKED(IDC_MSG_SHOW, OnDisplayMessage)
    ON_BN_CLICKED(IDC_MSG_AUTOCLOSE, OnAutoClose)
    ON_BN_CLICKED(IDC_MSG_CHOOSEFONT, OnChooseFont)
    ON_BN_CLICKED(IDC_MSG_PREVIEW, OnPreview)
END_MESSAGE_MAP()

namespace
{
const int kMessageControls[] = {IDC_MSG_TEXTLABEL, IDC_MSG_ONTOP,      IDC_MSG_CENTER,   IDC_MSG_TEXT,
                                IDC_MSG_CHOOSEFONT, IDC_MSG_PREVIEW, IDC_MSG_AUTOCLOSE};
const int kDelayControls[] = {IDC_MSG_SECONDS, IDC_MSG_SECONDSSPIN, IDC_MSG_SECONDSLABEL};
} // namespace

CAlarmMessagePage::CAlarmMessagePage() : CDialog(IDD_ALARMMESSAGEPAGE)
{
    std::memset(&m_lfMessage, 0, sizeof(m_lfMessage));
    std::memset(&m_rcMessage, 0, sizeof(m_rcMessage));
}

void CAlarmMessagePage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_MSG_TEXT, m_editText);
    DDX_Control(pDX, IDC_MSG_SECONDSSPIN, m_spinSeconds);
    DDX_Check(pDX, IDC_MSG_CENTER, m_bMsgCenter);
    DDX_Check(pDX, IDC_MSG_SHOW, m_bShowMessage);
    DDX_Check(pDX, IDC_MSG_TOGGLEANALOG, m_bToggleAnalog);
    DDX_Check(pDX, IDC_MSG_AUTOCLOSE, m_bAutoClose);
    DDX_Check(pDX, IDC_MSG_TOGGLECALENDAR, m_bToggleCalendar);
    DDX_Check(pDX, IDC_MSG_TOGGLEDIGITAL, m_bToggleDigital);
    DDX_Check(pDX, IDC_MSG_TOGGLETRAYCLOCK, m_bToggleTrayClock);
    DDX_Check(pDX, IDC_MSG_ONTOP, m_bMsgOnTop);
}

BOOL CAlarmMessagePage::OnInitDialog()
{
    CDialog::OnInitDialog();
    // A rich edit of the page's own, kept hidden.
    m_editHidden.Create(ES_MULTILINE, CRect(0, 0, 0, 0), this, 1);
    m_spinSeconds.SetBuddy(GetDlgItem(IDC_MSG_SECONDS));
    m_spinSeconds.SetRange32(1, 999999);
    LoadFromAlarm();
    UpdateControls();
    return TRUE;
}

BOOL CAlarmMessagePage::LoadFromAlarm()
{
    m_bShowMessage = m_message.m_bShowMessage;
    m_bMsgOnTop = m_message.m_bMsgOnTop;
    m_bMsgCenter = m_message.m_bMsgCenter;
    m_editText.SetWindowText(m_message.m_strMessage);
    m_lfMessage = m_message.m_lfMessage;
    m_bAutoClose = m_message.m_bAutoClose;
    m_spinSeconds.SendMessage(UDM_SETPOS32, 0, CAlarmMessageModel::ShownDelay(m_message.m_nAutoCloseSec));
    m_rcMessage = m_message.m_rcMessage;
    m_bToggleTrayClock = m_message.m_bToggleTrayClock;
    m_bToggleAnalog = m_message.m_bToggleAnalog;
    m_bToggleDigital = m_message.m_bToggleDigital;
    m_bToggleCalendar = m_message.m_bToggleCalendar;
    UpdateData(FALSE);
    return TRUE;
}

BOOL CAlarmMessagePage::SaveToAlarm()
{
    UpdateData(TRUE);
    m_message.m_bShowMessage = m_bShowMessage;
    m_message.m_bMsgOnTop = m_bMsgOnTop;
    m_message.m_bMsgCenter = m_bMsgCenter;
    m_editText.GetWindowText(m_message.m_strMessage);
    m_message.m_lfMessage = m_lfMessage;
    m_message.m_bAutoClose = m_bAutoClose;
    m_message.m_nAutoCloseSec = static_cast<int>(m_spinSeconds.SendMessage(UDM_GETPOS32));
    m_message.m_bToggleTrayClock = m_bToggleTrayClock;
    m_message.m_bToggleAnalog = m_bToggleAnalog;
    m_message.m_bToggleDigital = m_bToggleDigital;
    m_message.m_bToggleCalendar = m_bToggleCalendar;
    m_message.m_rcMessage = m_rcMessage;
    return TRUE;
}

void CAlarmMessagePage::UpdateControls()
{
    UpdateData(TRUE);
    const BOOL bMessage = CAlarmMessageModel::MessageControlsEnabled(m_bShowMessage);
    const BOOL bDelay = CAlarmMessageModel::DelayControlsEnabled(m_bShowMessage, m_bAutoClose);
    for (int nID : kMessageControls)
        GetDlgItem(nID)->EnableWindow(bMessage);
    for (int nID : kDelayControls)
        GetDlgItem(nID)->EnableWindow(bDelay);
}

void CAlarmMessagePage::OnCenterMessage()
{
    UpdateData(TRUE);
}

void CAlarmMessagePage::OnDisplayMessage()
{
    UpdateControls();
    if (m_bShowMessage)
        OnChooseFont();
}

void CAlarmMessagePage::OnChooseFont()
{
    CFontDialog dlg(&m_lfMessage, CF_SCREENFONTS | CF_EFFECTS, nullptr, nullptr);
    if (dlg.DoModal() == IDOK)
        dlg.GetCurrentFont(&m_lfMessage);
}

void CAlarmMessagePage::OnPreview()
{
    UpdateData(TRUE);
    CString strText;
    m_editText.GetWindowText(strText);
    if (m_bMsgCenter)
        m_wndPreview.SetTextAlign(BS_CENTER, BS_LEFT);
    else
        m_wndPreview.SetTextAlign(BS_LEFT, BS_CENTER);
    m_wndPreview.SetMessageText(strText);
    m_wndPreview.SetMessageFont(m_lfMessage);
    m_wndPreview.SetCaptionText(" Set window's size");
    m_wndPreview.SetMessageRect(m_rcMessage);
    m_wndPreview.DoModal();
    m_rcMessage = m_wndPreview.GetMessageRect();
}
