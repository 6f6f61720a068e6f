// The three small dialogs in which the user ticks the values of an alarm's
// custom second list, minute list or week-day set. They always open with
// nothing ticked; after IDOK m_strResult holds the list as the schedule reads it.
#pragma once

#include "afx/afxwin.h"

#include <vector>

class CAlarmCheckListDlg : public CDialog
{
public:
    CString m_strResult;

protected:
    CAlarmCheckListDlg(UINT nIDTemplate, UINT nIDList, std::vector<CString> items, CWnd* pParent);

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    // The result of the ticked items, in list order.
    virtual CString MakeResult(const std::vector<BOOL>& checked) const = 0;

    afx_msg void OnDblClkList(NMHDR* pNMHDR, LRESULT* pResult);

    CListCtrl m_list;
    UINT m_nIDList;
    std::vector<CString> m_items;

    DECLARE_MESSAGE_MAP()
};

class CSecondListDlg : public CAlarmCheckListDlg
{
public:
    explicit CSecondListDlg(CWnd* pParent = nullptr);

protected:
    CString MakeResult(const std::vector<BOOL>& checked) const override;
};

class CMinuteListDlg : public CAlarmCheckListDlg
{
public:
    explicit CMinuteListDlg(CWnd* pParent = nullptr);

protected:
    CString MakeResult(const std::vector<BOOL>& checked) const override;
};

class CWeeklyDaysDlg : public CAlarmCheckListDlg
{
public:
    explicit CWeeklyDaysDlg(CWnd* pParent = nullptr);

protected:
    CString MakeResult(const std::vector<BOOL>& checked) const override;
};
