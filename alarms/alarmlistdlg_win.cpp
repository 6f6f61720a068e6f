#include "alarms/alarmlistdlg.h"

#include "afx/afxseams.h"
#include "alarms/alarmdlg.h"
#include "alarms/alarmexecutor.h"
#include "core/alarmicon.h"
#include "core/iconhandle.h"
#include "core/messages.h"
#include "core/programhelp.h"
#include "core/settings.h"
#include "menus/styledmenu.h"
#include "res/shared_icons.h"

#include <utility>

namespace
{
const UINT TIMER_REFRESH = 1;
// Posted by RCN_ENDEDIT: the control writes an accepted name only after the
// handler returned, so the store that carries it runs afterwards.
const UINT UM_ALARMLIST_STOREAFTEREDIT = WM_APP + 0x125;
const int CHECKSTYLE_FLAGS = RCS_CHECKBOX | RCS_EDIT;
// How long before the rows moved a queued press still counts as made on the
// old picture (the stall is the ~2 s a box takes to go under Wine). Bounded,
// as the tick count wraps: a press weeks after a move is never one before it.
const DWORD STALE_PRESS_MS = 60000;

// While a question of the list is open, runs its Yes work as soon as the box
// receives its Yes, before the box goes: under Wine hiding it takes two
// seconds, in which the list would still show the rows as they were.
class CYesWatch
{
public:
    CYesWatch(HWND hOwner, const std::function<void()>& fnOnYes)
        : m_hOwner(hOwner), m_fnOnYes(fnOnYes), m_pOuter(s_pCurrent)
    {
        if (m_fnOnYes)
            m_hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, ::GetCurrentThreadId());
        s_pCurrent = this;
    }
    ~CYesWatch()
    {
        if (m_hHook != nullptr)
            ::UnhookWindowsHookEx(m_hHook);
        s_pCurrent = m_pOuter;
    }
    CYesWatch(const CYesWatch&) = delete;
    CYesWatch& operator=(const CYesWatch&) = delete;

    // Runs the work unless the box already did: it is let go before it runs.
    void Finish()
    {
        const std::function<void()> fnOnYes = std::exchange(m_fnOnYes, nullptr);
        if (fnOnYes)
            fnOnYes();
    }

private:
    static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam)
    {
        const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
        CYesWatch* pWatch = s_pCurrent;
        if (nCode == HC_ACTION && pWatch != nullptr && pMsg->message == WM_COMMAND && LOWORD(pMsg->wParam) == IDYES &&
            ::GetWindow(pMsg->hwnd, GW_OWNER) == pWatch->m_hOwner)
            pWatch->Finish();
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    }

    static CYesWatch* s_pCurrent;
    HWND m_hOwner;
    std::function<void()> m_fnOnYes;
    CYesWatch* m_pOuter;
    HHOOK m_hHook = nullptr;
};
CYesWatch* CYesWatch::s_pCurrent = nullptr;

bool IsButtonPress(UINT nMessage)
{
    return nMessage == WM_LBUTTONDOWN || nMessage == WM_LBUTTONDBLCLK || nMessage == WM_RBUTTONDOWN ||
           nMessage == WM_RBUTTONDBLCLK || nMessage == WM_MBUTTONDOWN || nMessage == WM_MBUTTONDBLCLK;
}
} // namespace

BEGIN_MESSAGE_MAP(CAlarmListDlg, CAlarmListWindow)
    ON_BN_CLICKED(IDC_ALARMLIST_NEW, OnNewAlarm)
    ON_COMMAND(ID_ALARMLIST_NEW, OnNewAlarm)
    ON_BN_CLICKED(IDC_ALARMLIST_EDIT, OnEditAlarm)
    ON_COMMAND(ID_ALARMLIST_EDIT, OnEditAlarm)
    ON_BN_CLICKED(IDC_ALARMLIST_TEST, OnTestAlarm)
    ON_COMMAND(ID_ALARMLIST_TEST, OnTestAlarm)
    ON_BN_CLICKED(IDC_ALARMLIST_CLONE, OnCloneAlarm)
    ON_COMMAND(ID_ALARMLIST_CLONE, OnCloneAlarm)
    ON_BN_CLICKED(IDC_ALARMLIST_DELETE, OnRemoveAlarm)
    ON_COMMAND(ID_ALARMLIST_REMOVE, OnRemoveAlarm)
    ON_BN_CLICKED(IDC_ALARMLIST_OPTIONS, OnOptions)
    ON_BN_CLICKED(IDC_ALARMLIST_HELP, OnHelp)
    ON_BN_CLICKED(IDC_ALARMLIST_CLOSE, OnCancel)
    ON_WM_TIMER()
    ON_WM_TIMECHANGE()
    ON_WM_DESTROY()
    ON_WM_CONTEXTMENU()
    ON_WM_CTLCOLOR()
    ON_WM_MEASUREITEM()
    ON_WM_MENUCHAR()
    ON_NOTIFY(RCN_CHECKCHANGED, IDC_ALARMLIST_REPORT, OnCheckChanged)
    ON_NOTIFY(RCN_BEGINEDIT, IDC_ALARMLIST_REPORT, OnBeginEdit)
    ON_NOTIFY(RCN_ENDEDIT, IDC_ALARMLIST_REPORT, OnEndEdit)
    ON_NOTIFY(RCN_SELCHANGED, IDC_ALARMLIST_REPORT, OnSelChanged)
    ON_MESSAGE(UM_ALARMLIST_STOREAFTEREDIT, OnStoreAfterEdit)
END_MESSAGE_MAP()

// While a modal editor or question of the list is open the list takes no
// input of its own (a second editor, a close) and tells the shell so.
class CAlarmListBusy
{
public:
    explicit CAlarmListBusy(CAlarmListDlg& dlg) : m_dlg(dlg)
    {
        if (m_dlg.m_nBusy++ == 0 && m_dlg.GetSafeHwnd() != nullptr)
            m_dlg.EnableWindow(FALSE);
    }
    ~CAlarmListBusy()
    {
        if (--m_dlg.m_nBusy == 0 && m_dlg.GetSafeHwnd() != nullptr)
        {
            m_dlg.EnableWindow(TRUE);
            m_dlg.SetActiveWindow();
        }
    }
    CAlarmListBusy(const CAlarmListBusy&) = delete;
    CAlarmListBusy& operator=(const CAlarmListBusy&) = delete;

private:
    CAlarmListDlg& m_dlg;
};

CAlarmListDlg::CAlarmListDlg(CWnd* pParent) : CAlarmListWindow(IDD_ALARMLIST, pParent)
{
}

CAlarmListDlg::~CAlarmListDlg() = default;

void CAlarmListDlg::DoDataExchange(CDataExchange* pDX)
{
    CAlarmListWindow::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ALARMLIST_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_ALARMLIST_HELP, m_btnHelp);
    DDX_Control(pDX, IDC_ALARMLIST_CLONE, m_btnClone);
    DDX_Control(pDX, IDC_ALARMLIST_OPTIONS, m_btnOptions);
    DDX_Control(pDX, IDC_ALARMLIST_INFO, m_stInfo);
    DDX_Control(pDX, IDC_ALARMLIST_TEST, m_btnTest);
    DDX_Control(pDX, IDC_ALARMLIST_DELETE, m_btnDelete);
    DDX_Control(pDX, IDC_ALARMLIST_EDIT, m_btnEdit);
    DDX_Control(pDX, IDC_ALARMLIST_NEW, m_btnNew);
    DDX_Control(pDX, IDC_ALARMLIST_REPORT, m_report);
}

BOOL CAlarmListDlg::OnInitDialog()
{
    CAlarmListWindow::OnInitDialog();
    HICON hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_ALARMLIST));
    SetIcon(hIcon, TRUE);
    SetIcon(hIcon, FALSE);

    m_imageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    CIconHandle rowIcon(static_cast<HICON>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_ALARMLIST_ROW), IMAGE_ICON, 16, 16, 0)));
    if (rowIcon.Get() != nullptr)
        m_imageList.Add(rowIcon.Get());
    m_report.SetImageList(&m_imageList, LVSIL_SMALL);

    m_nCheckStyle = m_report.AddCellStyle(CHECKSTYLE_FLAGS);
    m_report.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    m_report.InsertColumn(0, "Alarm Name", LVCFMT_LEFT, 110);
    m_report.InsertColumn(1, "Time", LVCFMT_CENTER, 156);
    m_report.InsertColumn(2, "Left", LVCFMT_CENTER, 150);
    m_report.SetFullRowSelect(FALSE);

    const struct
    {
        CShadeButton* pButton;
        UINT nIcon;
    } icons[] = {
        {&m_btnNew, IDI_ALARMLIST_NEW},         {&m_btnEdit, IDI_ALARMLIST_EDIT},
        {&m_btnTest, IDI_ALARMLIST_TEST},       {&m_btnClone, IDI_ALARMLIST_CLONE},
        {&m_btnDelete, IDI_ALARMLIST_DELETE},   {&m_btnOptions, IDI_ALARMLIST_OPTIONS},
        {&m_btnHelp, IDI_ALARMLIST_HELP},       {&m_btnClose, IDI_ALARMLIST_CLOSE},
    };
    for (const auto& icon : icons)
        icon.pButton->SetIcon(icon.nIcon, BS_ICON_LEFT, 0, 0);

    CRect rcList;
    m_report.GetClientRect(&rcList);
    const double dWidth = rcList.Width();
    m_report.SetColumnWidth(0, static_cast<int>(dWidth * 29 / 100));
    m_report.SetColumnWidth(1, static_cast<int>(dWidth * 35 / 100));
    m_report.SetColumnWidth(2, static_cast<int>(dWidth * 36 / 100 - 5));

    m_report.UpdateWindow();
    FillList();
    ApplyOptions();
    UpdateButtons();
    SetTimer(TIMER_REFRESH, 1000);
    m_report.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

void CAlarmListDlg::OnDestroy()
{
    KillTimer(TIMER_REFRESH);
    CAlarmListWindow::OnDestroy();
}

// --- rows --------------------------------------------------------------------------

CAlarm CAlarmListDlg::AlarmOfRow(DWORD hItem) const
{
    CAlarm alarm = m_report.GetItemAlarm(hItem);
    alarm.m_bEnabled = m_report.GetItemCheck(hItem, 0) == 1;
    alarm.m_strName = m_report.GetItemText(hItem, 0);
    return alarm;
}

BOOL CAlarmListDlg::RowExists(DWORD hItem) const
{
    return hItem != RVI_NONE && m_report.GetModel().Find(hItem) != nullptr;
}

DWORD CAlarmListDlg::FindRow(DWORD nIdentity) const
{
    for (DWORD h = m_report.GetChildItem(RVI_ROOT, 0); h != RVI_NONE; h = m_report.GetNextItem(h, RVGN_NEXTSIBLING))
    {
        if (m_report.GetItemAlarm(h).m_nIdentity == nIdentity)
            return h;
    }
    return RVI_NONE;
}

int CAlarmListDlg::AddRowIcon(const CAlarm& alarm)
{
    CIconHandle icon(GetAlarmIcon(alarm));
    return icon.Get() != nullptr ? m_imageList.Add(icon.Get()) : -1;
}

// ImageList_Remove closes the gap, so every later index moves down one.
void CAlarmListDlg::RemoveRow(DWORD hItem)
{
    const int nImage = m_report.GetItemImage(hItem, 0);
    m_report.DeleteItem(hItem);
    if (nImage >= 0 && m_imageList.Remove(nImage))
    {
        for (DWORD h = m_report.GetChildItem(RVI_ROOT, 0); h != RVI_NONE;
             h = m_report.GetNextItem(h, RVGN_NEXTSIBLING))
        {
            const int nOther = m_report.GetItemImage(h, 0);
            if (nOther > nImage)
                m_report.SetItemImage(h, 0, nOther - 1);
        }
    }
    RowsMoved();
}

// Where a row stands is what a press means: one made on the picture from
// before the change would act on a row that has moved into its place. Under
// a redraw lock (a refresh) the paint comes when the lock ends.
void CAlarmListDlg::RowsMoved()
{
    m_report.UpdateWindow();
    m_dwRowsMoved = ::GetTickCount();
}

BOOL CAlarmListDlg::PreTranslateMessage(MSG* pMsg)
{
    if (IsButtonPress(pMsg->message) && pMsg->hwnd == m_report.GetSafeHwnd() &&
        m_dwRowsMoved - pMsg->time < STALE_PRESS_MS)
        return TRUE;
    return CAlarmListWindow::PreTranslateMessage(pMsg);
}

void CAlarmListDlg::SetTextIfChanged(int nID, const CString& strText)
{
    CString strOld;
    GetDlgItemText(nID, strOld);
    if (strOld != strText)
        SetDlgItemText(nID, strText);
}

void CAlarmListDlg::FillList()
{
    if (m_report.GetSafeHwnd() == nullptr)
        return;
    m_report.SetRedraw(FALSE);
    for (DWORD h = m_report.GetChildItem(RVI_ROOT, 0); h != RVI_NONE; h = m_report.GetChildItem(RVI_ROOT, 0))
        m_report.DeleteItem(h);
    m_imageList.Remove(-1);
    m_store.Reset();
    AlarmEnsureIdentities(g_alarms);
    // Each row keeps the alarm's next time and last run as the array has
    // them: a fresh last run of "now" would keep an alarm due this second (a
    // quick alarm just made) from ever firing.
    for (INT_PTR i = 0; i < g_alarms.GetSize(); i++)
    {
        const CAlarm alarm = g_alarms[i];
        m_store.Took(alarm);
        const DWORD h = m_report.InsertItem(RVI_ROOT, RVTI_LAST, alarm.m_strName, -1, m_nCheckStyle);
        m_report.SetItemStyle(h, 0, m_nCheckStyle);
        m_report.SetItemCheck(h, 0, alarm.m_bEnabled ? 1 : 0);
        m_report.SetItemImage(h, 0, AddRowIcon(alarm));
        m_report.SetItemAlarm(h, alarm);
        FormatAlarmTimes(h);
    }
    m_report.SetRedraw(TRUE);
    const DWORD hFirst = m_report.GetChildItem(RVI_ROOT, 0);
    if (m_report.GetSelectedItem() == RVI_NONE && hFirst != RVI_NONE)
        m_report.SelectItem(hFirst, -1, FALSE);
    m_report.SortColumn(0, FALSE);
    UpdateButtons();
    RowsMoved();
}

void CAlarmListDlg::FormatAlarmTimes(DWORD hItem)
{
    if (!RowExists(hItem))
        return;
    const CAlarm alarm = m_report.GetItemAlarm(hItem);
    const CAlarmRowTexts texts =
        AlarmListRowTexts(alarm, m_report.GetItemCheck(hItem, 0), g_settings.m_nUsedAlarmAction);
    if (texts.m_bRemove)
    {
        RemoveRow(hItem);
        m_bRemovedInRefresh = TRUE;
        return;
    }
    if (m_report.GetItemText(hItem, 1) != texts.m_strTime)
        m_report.SetItemText(hItem, 1, texts.m_strTime);
    if (m_report.GetItemText(hItem, 2) != texts.m_strLeft)
        m_report.SetItemText(hItem, 2, texts.m_strLeft);
    if (hItem == m_report.GetSelectedItem())
        FillPanel(hItem, texts);
}

void CAlarmListDlg::FillPanel(DWORD hItem, const CAlarmRowTexts& texts)
{
    SetTextIfChanged(IDC_ALARMLIST_NAME, m_report.GetItemText(hItem, 0));
    SetTextIfChanged(IDC_ALARMLIST_NEXT, texts.m_strNextRun);
    SetTextIfChanged(IDC_ALARMLIST_PREV, texts.m_strLastRun);
    SetTextIfChanged(IDC_ALARMLIST_LEFT, texts.m_strTimeLeft);
    SetTextIfChanged(IDC_ALARMLIST_STATUS, texts.m_strStatus);
}

// A row removed here (a used alarm) leaves the array at once, as a cleared
// check box does.
void CAlarmListDlg::RefreshAll()
{
    if (m_report.GetSafeHwnd() == nullptr)
        return;
    m_bRemovedInRefresh = FALSE;
    m_report.SetRedraw(FALSE);
    DWORD h = m_report.GetChildItem(RVI_ROOT, 0);
    while (h != RVI_NONE)
    {
        const DWORD hNext = m_report.GetNextItem(h, RVGN_NEXTSIBLING);
        FormatAlarmTimes(h);
        h = hNext;
    }
    m_report.SetRedraw(TRUE);
    if (m_bRemovedInRefresh)
    {
        m_report.UpdateWindow();
        StoreAndTell();
    }
    if (m_report.GetChildItem(RVI_ROOT, 0) == RVI_NONE)
        ShowInfoPanel(FALSE);
}

// A list whose window is gone has no rows: storing them would empty g_alarms.
void CAlarmListDlg::StoreListToArray()
{
    if (m_report.GetSafeHwnd() == nullptr)
        return;
    std::vector<CAlarm> rows;
    std::vector<DWORD> items;
    for (DWORD h = m_report.GetChildItem(RVI_ROOT, 0); h != RVI_NONE; h = m_report.GetNextItem(h, RVGN_NEXTSIBLING))
    {
        rows.push_back(AlarmOfRow(h));
        items.push_back(h);
    }
    m_store.Store(rows, g_alarms);
    for (size_t i = 0; i < items.size(); i++)
        m_report.SetItemAlarm(items[i], rows[i]);
    UpdateButtons();
}

// A change made in the list: the shell stores it once more through its own
// path, which renews the hot keys and the tray's "Execute alarm..." items
// when the array changed.
void CAlarmListDlg::StoreAndTell()
{
    StoreListToArray();
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(UM_STOREALARMLIST, 0, 0);
}

void CAlarmListDlg::UpdateButtons()
{
    const BOOL bSelected = m_report.GetSafeHwnd() != nullptr && m_report.GetSelectedItem() != RVI_NONE;
    for (int nID : {IDC_ALARMLIST_EDIT, IDC_ALARMLIST_TEST, IDC_ALARMLIST_CLONE, IDC_ALARMLIST_DELETE})
    {
        if (CWnd* pButton = GetDlgItem(nID))
            pButton->EnableWindow(bSelected);
    }
    ShowInfoPanel(bSelected);
}

void CAlarmListDlg::ShowInfoPanel(BOOL bShow)
{
    for (int nID = IDC_ALARMLIST_NAMELABEL; nID <= IDC_ALARMLIST_STATUS; nID++)
    {
        if (CWnd* pControl = GetDlgItem(nID))
            pControl->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
    }
}

HICON CAlarmListDlg::GetAlarmIcon(CAlarmGeneral general)
{
    HICON hIcon = AlarmExtractIcon(general, g_settings.m_strIconLibrary);
    if (hIcon == nullptr)
        hIcon = static_cast<HICON>(
            ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_NEWALARM), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    return hIcon;
}

void CAlarmListDlg::ApplyOptions()
{
    if (m_report.GetSafeHwnd() == nullptr)
        return;
    m_report.SetColors(RVCF_CONTROL, RVI_NONE, -1, g_settings.m_crAlarmListText, g_settings.m_crAlarmListBack);
    m_report.Invalidate();
    m_brBack.DeleteObject();
    m_brBack.CreateSolidBrush(g_settings.m_crAlarmWndBack);
    Invalidate();
    for (CShadeButton* pButton : {&m_btnClose, &m_btnHelp, &m_btnClone, &m_btnOptions, &m_btnTest, &m_btnDelete,
                                  &m_btnEdit, &m_btnNew})
    {
        pButton->SetShade(SHS_HBUMP, 8, 20, 65, g_settings.m_crAlarmButton);
        pButton->Invalidate();
        pButton->SetTextColor(g_settings.m_crAlarmButtonText);
        pButton->Invalidate();
    }
}

// --- commands ----------------------------------------------------------------------

INT_PTR CAlarmListDlg::RunEditor(CAlarm& alarm)
{
    CAlarmListBusy busy(*this);
    return AlarmRunEditor(alarm);
}

int CAlarmListDlg::Ask(const CString& strText, LPCSTR pszCaption, const std::function<void()>& fnOnYes)
{
    CAlarmListBusy busy(*this);
    CYesWatch watch(m_hWnd, fnOnYes);
    const int nAnswer = AfxGetSeams()->MessageBox(m_hWnd, strText, pszCaption, MB_YESNO | MB_ICONEXCLAMATION);
    if (nAnswer == IDYES)
        watch.Finish();
    return nAnswer;
}

// The row to insert after is taken once the editor has closed: the list may
// have been filled afresh meanwhile (a quick alarm).
void CAlarmListDlg::InsertAlarmRow(CAlarm alarm, DWORD hAfter)
{
    if (m_report.GetSafeHwnd() == nullptr)
        return;
    LockWindowUpdate();
    const DWORD h =
        m_report.InsertItem(RVI_ROOT, RowExists(hAfter) ? hAfter : RVTI_LAST, alarm.m_strName, -1, m_nCheckStyle);
    m_report.SetItemStyle(h, 0, m_nCheckStyle);
    AlarmListSetStart(alarm, CTime::GetCurrentTime());
    alarm.m_nIdentity = AlarmListNewIdentity();
    m_store.Made(alarm);
    m_report.SetItemAlarm(h, alarm);
    m_report.SetItemCheck(h, 0, alarm.m_bEnabled ? 1 : 0);
    m_report.SetItemText(h, 0, alarm.m_strName);
    m_report.SetItemImage(h, 0, AddRowIcon(alarm));
    FormatAlarmTimes(h);
    if (RowExists(h))
        m_report.SelectItem(h, -1, TRUE);
    m_report.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    UnlockWindowUpdate();
    RowsMoved();
    StoreAndTell();
    UpdateButtons();
}

void CAlarmListDlg::UpdateAlarmRow(DWORD hItem, CAlarm alarm)
{
    AlarmListSetStart(alarm, CTime::GetCurrentTime());
    m_report.SetItemAlarm(hItem, alarm);
    m_report.SetItemCheck(hItem, 0, alarm.m_bEnabled ? 1 : 0);
    m_report.SetItemText(hItem, 0, alarm.m_strName);
    const int nImage = m_report.GetItemImage(hItem, 0);
    CIconHandle icon(GetAlarmIcon(alarm));
    if (nImage >= 0 && icon.Get() != nullptr)
        m_imageList.Replace(nImage, icon.Get());
    else if (icon.Get() != nullptr)
        m_report.SetItemImage(hItem, 0, m_imageList.Add(icon.Get()));
    FormatAlarmTimes(hItem);
    if (RowExists(hItem))
        m_report.SelectItem(hItem, -1, TRUE);
    m_report.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    StoreAndTell();
}

void CAlarmListDlg::OnNewAlarm()
{
    if (IsBusy())
        return;
    CAlarm alarm;
    LOGFONTA lf = {};
    CWnd* pMain = AfxGetMainWnd();
    if (CFont* pFont = pMain != nullptr ? pMain->GetFont() : nullptr)
        pFont->GetLogFont(&lf);
    AlarmListInitNewAlarm(alarm, CTime::GetCurrentTime(), ::GetSystemMetrics(SM_CXFULLSCREEN),
                          ::GetSystemMetrics(SM_CYFULLSCREEN), lf);
    if (RunEditor(alarm) != IDOK)
        return;
    InsertAlarmRow(alarm, m_report.GetSelectedItem());
}

DWORD CAlarmListDlg::SelectedRowOrSay()
{
    const DWORD hItem = m_report.GetSelectedItem();
    if (hItem == RVI_NONE)
        AfxMessageBox("Select any alarm!", MB_OK);
    return hItem;
}

// The editor runs modally: the row is found again afterwards by its alarm's
// identity, and an alarm whose row went meanwhile comes back as a new row.
void CAlarmListDlg::OnEditAlarm()
{
    if (IsBusy())
        return;
    const DWORD hItem = SelectedRowOrSay();
    if (hItem == RVI_NONE)
        return;
    CAlarm alarm = AlarmOfRow(hItem);
    const DWORD nIdentity = alarm.m_nIdentity;
    if (RunEditor(alarm) != IDOK || m_report.GetSafeHwnd() == nullptr)
        return;
    alarm.m_nIdentity = nIdentity;
    const DWORD hNow = RowExists(hItem) ? hItem : FindRow(nIdentity);
    if (hNow == RVI_NONE)
        InsertAlarmRow(alarm, RVTI_LAST);
    else
        UpdateAlarmRow(hNow, alarm);
}

// An alarm the check fired while the question was open has just run: Yes
// does not run it a second time.
void CAlarmListDlg::OnTestAlarm()
{
    if (IsBusy())
        return;
    const DWORD hItem = SelectedRowOrSay();
    if (hItem == RVI_NONE)
        return;
    const CAlarm alarm = AlarmOfRow(hItem);
    // The list itself writes no later last run than its row's, so a later one is the check's.
    const INT_PTR nBefore = AlarmFindByIdentity(g_alarms, alarm.m_nIdentity);
    const int nStartsBefore = nBefore >= 0 ? g_alarms[nBefore].m_nStarts : 0;
    CTime lastRunBefore = alarm.m_timeLastRun;
    if (nBefore >= 0 && g_alarms[nBefore].m_timeLastRun > lastRunBefore)
        lastRunBefore = g_alarms[nBefore].m_timeLastRun;
    if (Ask("Test the '" + alarm.m_strName + "' Alarm ?", "Alarm Testing...") != IDYES)
        return;
    const INT_PTR nAfter = AlarmFindByIdentity(g_alarms, alarm.m_nIdentity);
    if (nAfter >= 0 &&
        (g_alarms[nAfter].m_nStarts > nStartsBefore || g_alarms[nAfter].m_timeLastRun > lastRunBefore))
        return;
    // Last: the executor's own question may let the list be closed meanwhile.
    CIconHandle icon(GetAlarmIcon(alarm));
    CAlarmExecutor().ExecuteAlarm(alarm.m_strName, icon.Get(), alarm);
    // The run may have closed the list: from here only the main window is
    // asked, to save what the alarm did.
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(UM_SAVESETTINGS, 0, 0);
}

void CAlarmListDlg::OnCloneAlarm()
{
    if (IsBusy())
        return;
    const DWORD hItem = SelectedRowOrSay();
    if (hItem == RVI_NONE)
        return;
    const CAlarm alarm = AlarmOfRow(hItem);
    if (Ask("Clone the '" + alarm.m_strName + "' Alarm ?", "Clone Alarm...") != IDYES)
        return;
    InsertAlarmRow(alarm, RowExists(hItem) ? hItem : RVTI_LAST);
}

void CAlarmListDlg::OnRemoveAlarm()
{
    if (IsBusy())
        return;
    const DWORD hItem = m_report.GetSelectedItem();
    if (hItem == RVI_NONE)
    {
        AfxGetSeams()->MessageBox(m_hWnd, "No alarms selected!", "Veltran Clock", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // The row asked about goes, by its handle, the moment the user says Yes.
    const CString strName = m_report.GetItemText(hItem, 0);
    auto fnRemove = [this, hItem] {
        if (!RowExists(hItem))
            return;
        RemoveRow(hItem);
        UpdateButtons();
    };
    if (Ask("Are you sure to remove '" + strName + "' alarm ?", "Alarm removing...", fnRemove) != IDYES)
        return;
    StoreAndTell();
}

void CAlarmListDlg::OnOptions()
{
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(UM_SHOWALARMLISTOPTIONS, 0, 0);
}

void CAlarmListDlg::OnHelp()
{
    ShowProgramHelp("/General/index.htm");
}

// The main window deletes the list on the closed message: nothing here
// touches it afterwards.
void CAlarmListDlg::OnCancel()
{
    if (IsBusy())
        return;
    StoreListToArray();
    ShowWindow(SW_HIDE);
    if (CWnd* pMain = AfxGetMainWnd())
        pMain->SendMessage(UM_ALARMLISTCLOSED, 0, 0);
}

void CAlarmListDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_REFRESH)
        RefreshAll();
    CAlarmListWindow::OnTimer(nIDEvent);
}

void CAlarmListDlg::OnTimeChange()
{
    CAlarmListWindow::OnTimeChange();
    RefreshAll();
}

// --- notifications of the list ---------------------------------------------------

// Clearing the box while used alarms are removed deletes the row here; the
// control finds the row gone and writes nothing into it. Ticking it on starts
// the alarm afresh, as an edit does: a time that passed while it was off
// (or a Once alarm's expired one) must not fire at the next check.
void CAlarmListDlg::OnCheckChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMREPORT* pReport = reinterpret_cast<NMREPORT*>(pNMHDR);
    *pResult = 0;
    if (!RowExists(pReport->hItem))
        return;
    const int nCheck = m_report.GetItemCheck(pReport->hItem, 0) == 1 ? 0 : 1;
    if (nCheck == 1)
    {
        CAlarm alarm = m_report.GetItemAlarm(pReport->hItem);
        alarm.m_bEnabled = TRUE;
        AlarmListSetStart(alarm, CTime::GetCurrentTime());
        m_report.SetItemAlarm(pReport->hItem, alarm);
    }
    m_report.SetItemCheck(pReport->hItem, 0, nCheck);
    pReport->nCheck = nCheck;
    FormatAlarmTimes(pReport->hItem);
    StoreAndTell();
}

void CAlarmListDlg::OnBeginEdit(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
}

void CAlarmListDlg::OnEndEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMREPORT* pReport = reinterpret_cast<NMREPORT*>(pNMHDR);
    const int nAnswer = AlarmListCheckName(pReport->strText);
    *pResult = nAnswer;
    StoreListToArray();
    if (nAnswer == ALARMNAME_ACCEPT)
        PostMessage(UM_ALARMLIST_STOREAFTEREDIT, 0, 0);
}

LRESULT CAlarmListDlg::OnStoreAfterEdit(WPARAM, LPARAM)
{
    StoreAndTell();
    return 0;
}

void CAlarmListDlg::OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMREPORT* pReport = reinterpret_cast<NMREPORT*>(pNMHDR);
    *pResult = 0;
    // The whole panel follows at once, so it never shows two alarms; a row
    // about to be removed as used shows its name only.
    if (RowExists(pReport->hItem))
    {
        const CAlarmRowTexts texts = AlarmListRowTexts(m_report.GetItemAlarm(pReport->hItem),
                                                       m_report.GetItemCheck(pReport->hItem, 0),
                                                       g_settings.m_nUsedAlarmAction);
        if (texts.m_bRemove)
            SetTextIfChanged(IDC_ALARMLIST_NAME, m_report.GetItemText(pReport->hItem, 0));
        else
            FillPanel(pReport->hItem, texts);
    }
    UpdateButtons();
}

// --- context menu and colours ------------------------------------------------------

void CAlarmListDlg::OnContextMenu(CWnd*, CPoint)
{
    if (IsBusy() || CWnd::GetFocus() != &m_report)
        return;
    CPoint pt;
    ::GetCursorPos(&pt);
    CStyledMenu::SetDisabledIconStyle(0);
    CStyledMenu menu;
    menu.CreatePopupMenu();
    menu.AppendItem("Edit alarm...", 0, ID_ALARMLIST_EDIT, -1);
    menu.AppendItem("Test alarm...", 0, ID_ALARMLIST_TEST, -1);
    menu.AppendItem("Remove alarm...", 0, ID_ALARMLIST_REMOVE, -1);
    menu.AppendItem("Clone alarm...", 0, ID_ALARMLIST_CLONE, -1);
    m_pMenu = &menu;
    menu.TrackPopupMenu(TPM_RIGHTBUTTON, pt.x, pt.y, this);
    m_pMenu = nullptr;
}

void CAlarmListDlg::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType == ODT_MENU && m_pMenu != nullptr)
    {
        m_pMenu->MeasureItem(lpMeasureItemStruct);
        return;
    }
    CAlarmListWindow::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
}

LRESULT CAlarmListDlg::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu)
{
    return CStyledMenu::HandleMenuChar(nChar, nFlags, pMenu);
}

HBRUSH CAlarmListDlg::OnCtlColor(CDC* pDC, CWnd*, UINT)
{
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetBkColor(g_settings.m_crAlarmWndBack);
    pDC->SetTextColor(g_settings.m_crAlarmWndText);
    return static_cast<HBRUSH>(m_brBack.GetSafeHandle());
}
