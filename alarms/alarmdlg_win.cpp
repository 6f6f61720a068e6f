#include "alarms/alarmdlg.h"

#include "core/messages.h"
#include "res/alarms_res.h"

BEGIN_MESSAGE_MAP(CAlarmDlg, CDialog)
    ON_NOTIFY(TCN_SELCHANGING, IDC_ALARMEDITOR_TAB, OnSelChangingTab)
    ON_NOTIFY(TCN_SELCHANGE, IDC_ALARMEDITOR_TAB, OnSelChangeTab)
END_MESSAGE_MAP()

CAlarmDlg::CAlarmDlg(CWnd* pParent)
    : CDialog(IDD_ALARMEDITOR, pParent), m_pInfoPage(new CAlarmInfoPage), m_pMessagePage(new CAlarmMessagePage),
      m_pActionsPage(new CAlarmActionsPage), m_pSoundsPage(new CAlarmSoundsPage)
{
    AfxInitRichEdit();   // the message page's text control
}

CAlarmDlg::~CAlarmDlg() = default;

void CAlarmDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ALARMEDITOR_TAB, m_tab);
}

BOOL CAlarmDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Tab and Shift+Tab walk into the pages, which are the tab control's children.
    m_tab.ModifyStyleEx(0, WS_EX_CONTROLPARENT);

    struct
    {
        const char* pszTitle;
        CDialog* pPage;
        UINT nTemplate;
    } const tabs[] = {
        {"Alarm Info", m_pInfoPage.get(), IDD_ALARMINFOPAGE},
        {"Messages", m_pMessagePage.get(), IDD_ALARMMESSAGEPAGE},
        {"Actions", m_pActionsPage.get(), IDD_ALARMACTIONSPAGE},
        {"Sounds", m_pSoundsPage.get(), IDD_ALARMSOUNDSPAGE},
    };
    for (int i = 0; i < 4; i++)
        m_tab.InsertItem(TCIF_TEXT, i, tabs[i].pszTitle, -1, 0);

    // The blocks go in before the page windows exist: each page loads its
    // controls from them in its own OnInitDialog.
    m_pInfoPage->m_schedule = m_alarm;
    m_pInfoPage->m_general = m_alarm;
    m_pMessagePage->m_message = m_alarm;
    m_pActionsPage->m_actions = m_alarm;
    m_pSoundsPage->m_sound = m_alarm;
    for (int i = 0; i < 4; i++)
    {
        TCITEMA item = {};
        item.mask = TCIF_PARAM;
        item.lParam = reinterpret_cast<LPARAM>(tabs[i].pPage);
        m_tab.SetItem(i, &item);
        tabs[i].pPage->Create(tabs[i].nTemplate, &m_tab);
        tabs[i].pPage->SetWindowPos(nullptr, 3, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        tabs[i].pPage->ShowWindow(i == 0 ? SW_SHOW : SW_HIDE);
    }
    return TRUE;
}

CDialog* CAlarmDlg::PageOfTab(int nTab) const
{
    TCITEMA item = {};
    item.mask = TCIF_PARAM;
    if (nTab < 0 || !m_tab.GetItem(nTab, &item))
        return nullptr;
    return reinterpret_cast<CDialog*>(item.lParam);
}

void CAlarmDlg::ShowPage(int nTab, BOOL bShow)
{
    if (CDialog* pPage = PageOfTab(nTab))
        pPage->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CAlarmDlg::OnSelChangingTab(NMHDR*, LRESULT* pResult)
{
    ShowPage(m_tab.GetCurSel(), FALSE);
    *pResult = 0;
}

void CAlarmDlg::OnSelChangeTab(NMHDR*, LRESULT* pResult)
{
    ShowPage(m_tab.GetCurSel(), TRUE);
    *pResult = 0;
}

void CAlarmDlg::OnOK()
{
    if (!m_pInfoPage->SaveToAlarm())
    {
        // The field that needs correcting is on the first page: bring it forward.
        const int nCurrent = m_tab.GetCurSel();
        if (nCurrent != 0)
        {
            ShowPage(nCurrent, FALSE);
            m_tab.SetCurSel(0);
            ShowPage(0, TRUE);
        }
        if (CWnd* pControl = m_pInfoPage->GetDlgItem(m_pInfoPage->RefusedControl()))
            pControl->SetFocus();
        return;
    }
    m_pMessagePage->SaveToAlarm();
    m_pActionsPage->SaveToAlarm();
    m_pSoundsPage->SaveToAlarm();
    static_cast<CAlarmSchedule&>(m_alarm) = m_pInfoPage->m_schedule;
    static_cast<CAlarmGeneral&>(m_alarm) = m_pInfoPage->m_general;
    static_cast<CAlarmMessage&>(m_alarm) = m_pMessagePage->m_message;
    static_cast<CAlarmActions&>(m_alarm) = m_pActionsPage->m_actions;
    static_cast<CAlarmSound&>(m_alarm) = m_pSoundsPage->m_sound;
    if (CWnd* pMainWnd = AfxGetMainWnd())
        pMainWnd->SendMessage(UM_REGISTERHOTKEYS, 0, 0);
    CDialog::OnOK();
}

// The page's dialog manager answers Escape with the page's IDCANCEL before
// the editor's sees the key, and a multi-line text closes its parent, the
// page: both end up here.
void AlarmPageEscape(CWnd& page)
{
    const HWND hEditor = ::GetAncestor(page.GetSafeHwnd(), GA_ROOT);
    if (hEditor != nullptr && hEditor != page.GetSafeHwnd())
        ::SendMessageA(hEditor, WM_COMMAND, IDCANCEL, 0);
}

INT_PTR AlarmRunEditor(CAlarm& alarm)
{
    CAlarmDlg dlg;
    dlg.m_alarm = alarm;
    const INT_PTR nResult = dlg.DoModal();
    if (nResult == IDOK)
        alarm = dlg.m_alarm;
    return nResult;
}
