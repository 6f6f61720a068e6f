#include "alarms/alarmlistoptionsdlg.h"

#include "controls/uihelpers.h"
#include "core/messages.h"
#include "core/settings.h"
#include "res/shared_icons.h"

CAlarmListOptionsDlg::CAlarmListOptionsDlg(CWnd* pParent) : COptionsWindow(IDD_ALARMLISTOPTIONS, pParent)
{
}

void CAlarmListOptionsDlg::DoDataExchange(CDataExchange* pDX)
{
    COptionsWindow::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ALOPT_HOTKEY, m_hotKey);
    DDX_Control(pDX, IDC_ALOPT_WNDTEXT, m_cpWndText);
    DDX_Control(pDX, IDC_ALOPT_BUTTONTEXT, m_cpButtonText);
    DDX_Control(pDX, IDC_ALOPT_LISTTEXT, m_cpListText);
    DDX_Control(pDX, IDC_ALOPT_LISTBACK, m_cpListBack);
    DDX_Control(pDX, IDC_ALOPT_BUTTON, m_cpButton);
    DDX_Control(pDX, IDC_ALOPT_WNDBACK, m_cpWndBack);
    DDX_Check(pDX, IDC_ALOPT_SHOWATSTARTUP, m_bShowAtStartup);
    DDX_Radio(pDX, IDC_ALOPT_REMOVE, m_nUsedAction);
}

// An action out of range (an old or damaged file) becomes "Keep this alarm"
// in the settings themselves, whatever closes the dialog.
BOOL CAlarmListOptionsDlg::OnInitDialog()
{
    COptionsWindow::OnInitDialog();
    HICON hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_ALARMLIST));
    SetIcon(hIcon, TRUE);
    SetIcon(hIcon, FALSE);

    SetupDialogBanner(&m_banner, this);
    m_banner.SetIcon(static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(),
                                                     MAKEINTRESOURCEA(IDI_ALARMLISTOPTIONS_BANNER), IMAGE_ICON, 0,
                                                     0, LR_DEFAULTCOLOR)),
                     5, TRUE);
    m_banner.SetTitle("Alarm list options");
    m_banner.SetCaption("");

    m_cpWndBack.SetColour(g_settings.m_crAlarmWndBack);
    m_cpWndText.SetColour(g_settings.m_crAlarmWndText);
    m_cpButton.SetColour(g_settings.m_crAlarmButton);
    m_cpButtonText.SetColour(g_settings.m_crAlarmButtonText);
    m_cpListBack.SetColour(g_settings.m_crAlarmListBack);
    m_cpListText.SetColour(g_settings.m_crAlarmListText);
    if (g_settings.m_nUsedAlarmAction < 0 || g_settings.m_nUsedAlarmAction > 1)
        g_settings.m_nUsedAlarmAction = 1;
    m_nUsedAction = g_settings.m_nUsedAlarmAction;
    m_bShowAtStartup = g_settings.m_bAlarmListAtStartup;
    m_hotKey.SetHotKey(g_settings.m_hkAlarmList.wVirtualKey, g_settings.m_hkAlarmList.wModifiers);
    UpdateData(FALSE);

    SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

// The main window deletes this dialog on the closed message: the messages
// after it go through a pointer taken before, and nothing touches the dialog.
void CAlarmListOptionsDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    g_settings.m_crAlarmWndBack = m_cpWndBack.GetColour();
    g_settings.m_crAlarmWndText = m_cpWndText.GetColour();
    g_settings.m_crAlarmButton = m_cpButton.GetColour();
    g_settings.m_crAlarmButtonText = m_cpButtonText.GetColour();
    g_settings.m_crAlarmListBack = m_cpListBack.GetColour();
    g_settings.m_crAlarmListText = m_cpListText.GetColour();
    g_settings.m_nUsedAlarmAction = m_nUsedAction;
    g_settings.m_bAlarmListAtStartup = m_bShowAtStartup;
    m_hotKey.GetHotKey(g_settings.m_hkAlarmList.wVirtualKey, g_settings.m_hkAlarmList.wModifiers);
    m_nCloseResult = 1;

    CWnd* pMain = AfxGetMainWnd();
    if (pMain == nullptr)
        return;
    pMain->SendMessage(UM_APPLYALARMLISTOPTIONS, 0, 0);
    pMain->SendMessage(UM_ALARMLISTOPTIONSCLOSED, 0, 0);
    pMain->SendMessage(UM_REGISTERHOTKEYS, 0, 0);
    pMain->SendMessage(UM_SAVESETTINGS, 0, 0);
}

void CAlarmListOptionsDlg::OnCancel()
{
    m_nCloseResult = 2;
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(UM_ALARMLISTOPTIONSCLOSED, 0, 0);
}
