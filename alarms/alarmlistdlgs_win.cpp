#include "alarms/alarmlistdlgs.h"

#include "alarms/alarmeditmodel.h"
#include "res/alarms_res.h"

BEGIN_MESSAGE_MAP(CAlarmCheckListDlg, CDialog)
    ON_NOTIFY(NM_DBLCLK, IDC_SECONDLIST_LIST, OnDblClkList)
    ON_NOTIFY(NM_DBLCLK, IDC_MINUTELIST_LIST, OnDblClkList)
    ON_NOTIFY(NM_DBLCLK, IDC_WEEKLYDAYS_LIST, OnDblClkList)
END_MESSAGE_MAP()

namespace
{
std::vector<CString> Numbers()
{
    std::vector<CString> items;
    for (int i = 0; i < 60; i++)
    {
        CString strItem;
        strItem.Format("%d", i);
        items.push_back(strItem);
    }
    return items;
}
} // namespace

CAlarmCheckListDlg::CAlarmCheckListDlg(UINT nIDTemplate, UINT nIDList, std::vector<CString> items, CWnd* pParent)
    : CDialog(nIDTemplate, pParent), m_nIDList(nIDList), m_items(std::move(items))
{
}

void CAlarmCheckListDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, static_cast<int>(m_nIDList), m_list);
}

BOOL CAlarmCheckListDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    for (size_t i = 0; i < m_items.size(); i++)
        m_list.InsertItem(static_cast<int>(i), m_items[i]);
    return TRUE;
}

void CAlarmCheckListDlg::OnOK()
{
    std::vector<BOOL> checked;
    for (int i = 0; i < m_list.GetItemCount(); i++)
        checked.push_back(ListView_GetCheckState(m_list.GetSafeHwnd(), i) ? TRUE : FALSE);
    m_strResult = MakeResult(checked);
    CDialog::OnOK();
}

void CAlarmCheckListDlg::OnDblClkList(NMHDR* pNMHDR, LRESULT* pResult)
{
    const int nItem = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem;
    if (nItem >= 0 && nItem < m_list.GetItemCount())
        ListView_SetCheckState(m_list.GetSafeHwnd(), nItem, !ListView_GetCheckState(m_list.GetSafeHwnd(), nItem));
    *pResult = 0;
}

CSecondListDlg::CSecondListDlg(CWnd* pParent) : CAlarmCheckListDlg(IDD_SECONDLIST, IDC_SECONDLIST_LIST, Numbers(), pParent)
{
}

CString CSecondListDlg::MakeResult(const std::vector<BOOL>& checked) const
{
    return CAlarmListDlgModel::ValueList(checked);
}

CMinuteListDlg::CMinuteListDlg(CWnd* pParent) : CAlarmCheckListDlg(IDD_MINUTELIST, IDC_MINUTELIST_LIST, Numbers(), pParent)
{
}

CString CMinuteListDlg::MakeResult(const std::vector<BOOL>& checked) const
{
    return CAlarmListDlgModel::ValueList(checked);
}

CWeeklyDaysDlg::CWeeklyDaysDlg(CWnd* pParent)
    : CAlarmCheckListDlg(IDD_WEEKLYDAYS, IDC_WEEKLYDAYS_LIST,
                         {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"}, pParent)
{
}

CString CWeeklyDaysDlg::MakeResult(const std::vector<BOOL>& checked) const
{
    return CAlarmListDlgModel::WeekDays(checked);
}
