#include "alarms/alarmpages.h"

#include "res/alarms_res.h"

#include <shellapi.h>

BEGIN_MESSAGE_MAP(CAlarmActionsPage, CDialog)
    ON_BN_CLICKED(IDC_ACT_RUNAPPS, OnRunApps)
    ON_BN_CLICKED(IDC_ACT_SYSFUNCS, OnSysFuncs)
    ON_BN_CLICKED(IDC_ACT_ADD, OnAddApplication)
    ON_BN_CLICKED(IDC_ACT_TEST, OnTestApplication)
    ON_BN_CLICKED(IDC_ACT_REMOVE, OnRemoveApplication)
    ON_COMMAND(ID_ACT_ADD, OnAddApplication)
    ON_COMMAND(ID_ACT_TEST, OnTestApplication)
    ON_COMMAND(ID_ACT_REMOVE, OnRemoveApplication)
    ON_NOTIFY(NM_DBLCLK, IDC_ACT_APPS, OnDblClkApps)
    ON_NOTIFY(NM_RCLICK, IDC_ACT_APPS, OnRClickApps)
    ON_NOTIFY(NM_DBLCLK, IDC_ACT_SYSFUNCLIST, OnDblClkSysFuncs)
END_MESSAGE_MAP()

namespace
{
const int kAppControls[] = {IDC_ACT_APPS, IDC_ACT_ADD, IDC_ACT_TEST, IDC_ACT_REMOVE};
const UINT kIconApplication = 128;

// One column, as wide as the list's client area.
void AddFullWidthColumn(CListCtrl& list)
{
    CRect rc;
    list.GetClientRect(&rc);
    list.InsertColumn(0, "", LVCFMT_LEFT, rc.Width());
}

// Again once the rows are in: a vertical scroll bar narrows the client area.
void FitColumn(CListCtrl& list)
{
    CRect rc;
    list.GetClientRect(&rc);
    list.SetColumnWidth(0, rc.Width());
}

// The icon the shell shows for a file, or the program's own nID.
CIconHandle FileIcon(const CString& strPath, UINT nID)
{
    SHFILEINFOA info = {};
    if (::SHGetFileInfoA(strPath, 0, &info, sizeof(info), SHGFI_ICON) != 0 && info.hIcon != nullptr)
        return CIconHandle(info.hIcon);
    HICON hIcon = AfxGetApp() != nullptr ? AfxGetApp()->LoadIcon(nID) : nullptr;
    return CIconHandle(hIcon != nullptr ? ::CopyIcon(hIcon) : nullptr);
}

int SelectionMark(const CListCtrl& list)
{
    const int nMark = static_cast<int>(list.SendMessage(LVM_GETSELECTIONMARK));
    return nMark >= 0 && nMark < list.GetItemCount() ? nMark : -1;
}
} // namespace

CAlarmActionsPage::CAlarmActionsPage() : CDialog(IDD_ALARMACTIONSPAGE), m_strSeparator("***")
{
}

void CAlarmActionsPage::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ACT_APPS, m_listApps);
    DDX_Control(pDX, IDC_ACT_SYSFUNCLIST, m_listSysFuncs);
    DDX_Check(pDX, IDC_ACT_RUNAPPS, m_bRunApps);
    DDX_Check(pDX, IDC_ACT_SYSFUNCS, m_bSysFuncs);
}

BOOL CAlarmActionsPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    AddFullWidthColumn(m_listApps);
    m_imagesApps.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 4);
    FillSystemFunctions();
    LoadFromAlarm();
    UpdateControls();
    return TRUE;
}

void CAlarmActionsPage::FillSystemFunctions()
{
    AddFullWidthColumn(m_listSysFuncs);
    m_imagesSysFuncs.Create(16, 16, ILC_COLOR32 | ILC_MASK, CAlarmActionsModel::SYSTEM_FUNCTIONS, 0);
    for (int nCode = 0; nCode < CAlarmActionsModel::SYSTEM_FUNCTIONS; nCode++)
        m_imagesSysFuncs.Add(AfxGetApp() != nullptr ? AfxGetApp()->LoadIcon(IDI_SYSFUNC_FIRST + nCode) : nullptr);
    m_listSysFuncs.SetImageList(&m_imagesSysFuncs, LVSIL_SMALL);
    m_listSysFuncs.SetExtendedStyle(m_listSysFuncs.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    m_listSysFuncs.DeleteAllItems();
    for (int nCode = 0; nCode < CAlarmActionsModel::SYSTEM_FUNCTIONS; nCode++)
        m_listSysFuncs.InsertItem(nCode, CAlarmActionsModel::SystemFunctionLabel(nCode), nCode);
    FitColumn(m_listSysFuncs);
}

BOOL CAlarmActionsPage::LoadFromAlarm()
{
    m_bRunApps = m_actions.m_bRunApps;
    m_bSysFuncs = m_actions.m_bSysFuncs;
    m_strApps = m_actions.m_strApps;
    m_strSysFuncs = m_actions.m_strSysFuncs;
    FillApplications();
    const std::vector<BOOL> checked = CAlarmActionsModel::LoadSystemFunctions(m_strSysFuncs);
    for (int nCode = 0; nCode < m_listSysFuncs.GetItemCount(); nCode++)
        ListView_SetCheckState(m_listSysFuncs.GetSafeHwnd(), nCode, checked[static_cast<size_t>(nCode)]);
    UpdateData(FALSE);
    return TRUE;
}

BOOL CAlarmActionsPage::SaveToAlarm()
{
    UpdateData(TRUE);
    std::vector<CString> apps;
    for (int i = 0; i < m_listApps.GetItemCount(); i++)
        apps.push_back(m_listApps.GetItemText(i, 0));
    m_strApps = CAlarmActionsModel::StoreApps(apps);
    std::vector<BOOL> checked;
    for (int nCode = 0; nCode < m_listSysFuncs.GetItemCount(); nCode++)
        checked.push_back(ListView_GetCheckState(m_listSysFuncs.GetSafeHwnd(), nCode) ? TRUE : FALSE);
    m_strSysFuncs = CAlarmActionsModel::StoreSystemFunctions(checked);
    m_actions.m_bRunApps = m_bRunApps;
    m_actions.m_strApps = m_strApps;
    m_actions.m_bSysFuncs = m_bSysFuncs;
    m_actions.m_strSysFuncs = m_strSysFuncs;
    return TRUE;
}

void CAlarmActionsPage::FillApplications()
{
    m_listApps.DeleteAllItems();
    const std::vector<CString> apps = CAlarmActionsModel::LoadApps(m_strApps);
    for (size_t i = 0; i < apps.size(); i++)
        m_listApps.InsertItem(static_cast<int>(i), apps[i]);
    RefreshApplicationIcons();
}

void CAlarmActionsPage::RefreshApplicationIcons()
{
    m_imagesApps.Remove(-1);
    m_listApps.SetImageList(&m_imagesApps, LVSIL_SMALL);
    for (int i = 0; i < m_listApps.GetItemCount(); i++)
    {
        const CString strPath = m_listApps.GetItemText(i, 0);
        const CIconHandle icon = FileIcon(strPath, kIconApplication);
        const int nImage = icon.Get() != nullptr ? m_imagesApps.Add(icon.Get()) : -1;
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = const_cast<LPSTR>(static_cast<LPCSTR>(strPath));
        item.iImage = nImage;
        m_listApps.SetItem(&item);
    }
    FitColumn(m_listApps);
}

void CAlarmActionsPage::UpdateControls()
{
    UpdateData(TRUE);
    for (int nID : kAppControls)
        GetDlgItem(nID)->EnableWindow(m_bRunApps);
    m_listSysFuncs.EnableWindow(m_bSysFuncs);
}

int CAlarmActionsPage::SelectedApplication()
{
    const int nMark = SelectionMark(m_listApps);
    if (nMark < 0)
        AfxMessageBox("You have not selected item.\nPlease select any application or program and press this button "
                      "again.",
                      MB_OK);
    return nMark;
}

void CAlarmActionsPage::OnAddApplication()
{
    CFileDialog dlg(TRUE, nullptr, "", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "Programs|*.exe|All Files|*.*|", this);
    if (dlg.DoModal() != IDOK)
        return;
    const CString strPath = dlg.GetPathName();
    if (strPath.IsEmpty())
        return;
    const int nRow = AlarmInsertPosition(SelectionMark(m_listApps), m_listApps.GetItemCount());
    m_listApps.InsertItem(nRow, strPath);
    RefreshApplicationIcons();
}

void CAlarmActionsPage::OnRemoveApplication()
{
    const int nRow = SelectedApplication();
    if (nRow < 0)
        return;
    const CString strPath = m_listApps.GetItemText(nRow, 0);
    if (MessageBox("Are you sure to remove '" + strPath + "' ?", "Application removing...",
                   MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    m_listApps.DeleteItem(nRow);
    RefreshApplicationIcons();
}

void CAlarmActionsPage::OnTestApplication()
{
    const int nRow = SelectedApplication();
    if (nRow < 0)
        return;
    const CString strPath = m_listApps.GetItemText(nRow, 0);
    if (MessageBox("Are you sure to run '" + strPath + "' ?", "Application testing...",
                   MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    const int nSlash = strPath.ReverseFind('\\');
    const CString strDir = nSlash >= 0 ? strPath.Left(nSlash) : CString();
    AfxGetSeams()->ShellExecute(m_hWnd, "open", strPath, "", strDir, SW_SHOWNORMAL);
}

void CAlarmActionsPage::OnDblClkApps(NMHDR*, LRESULT* pResult)
{
    OnTestApplication();
    *pResult = 0;
}

void CAlarmActionsPage::OnRClickApps(NMHDR*, LRESULT* pResult)
{
    const UINT nNeedsRow = SelectionMark(m_listApps) >= 0 ? MF_ENABLED : MF_GRAYED;
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING, ID_ACT_ADD, "Add application...");
    menu.AppendMenu(MF_STRING | nNeedsRow, ID_ACT_TEST, "Test application ...");
    menu.AppendMenu(MF_STRING | nNeedsRow, ID_ACT_REMOVE, "Remove application...");
    CPoint pt;
    ::GetCursorPos(&pt);
    menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, this);
    *pResult = 0;
}

void CAlarmActionsPage::OnDblClkSysFuncs(NMHDR* pNMHDR, LRESULT* pResult)
{
    const int nItem = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->iItem;
    const HWND hWndList = m_listSysFuncs.GetSafeHwnd();
    if (nItem >= 0 && nItem < m_listSysFuncs.GetItemCount())
        ListView_SetCheckState(hWndList, nItem, !ListView_GetCheckState(hWndList, nItem));
    *pResult = 0;
}
