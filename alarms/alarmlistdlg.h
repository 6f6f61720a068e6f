// The alarm list window: one report-list row per alarm (enabled check box,
// icon, name, next time, time left), buttons to create, edit, test, clone and
// delete, and a panel about the selected alarm. Rows hold copies of the
// alarms; every change is stored back into g_alarms in the list's order.
#pragma once

#include "afx/afxwin.h"
#include "alarms/alarmlistmodel.h"
#include "controls/reportctrl.h"
#include "controls/shadebutton.h"
#include "core/windowbases.h"
#include "res/alarms_res.h"

#include <functional>

class CStyledMenu;

class CAlarmListDlg : public CAlarmListWindow
{
public:
    explicit CAlarmListDlg(CWnd* pParent = nullptr);
    ~CAlarmListDlg() override;

    enum { IDD = IDD_ALARMLIST };

    void StoreListToArray() override;
    void FillList() override;
    void ApplyOptions() override;
    BOOL IsBusy() const override { return m_nBusy > 0; }

    void FormatAlarmTimes(DWORD hItem);
    void RefreshAll();
    void UpdateButtons();
    void ShowInfoPanel(BOOL bShow);
    // An icon the caller owns: the alarm's own, else icon resource 159.
    HICON GetAlarmIcon(CAlarmGeneral general);

    CReportCtrl& GetReport() { return m_report; }
    CImageList& GetImageList() { return m_imageList; }

    // Drops a press on the list made shortly before its rows last moved.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override;

    afx_msg void OnNewAlarm();
    afx_msg void OnEditAlarm();
    afx_msg void OnTestAlarm();
    afx_msg void OnCloneAlarm();
    afx_msg void OnRemoveAlarm();
    afx_msg void OnOptions();
    afx_msg void OnHelp();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnTimeChange();
    afx_msg void OnDestroy();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    afx_msg void OnCheckChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnBeginEdit(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnEndEdit(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnStoreAfterEdit(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CImageList m_imageList;
    int m_nCheckStyle = -1;
    CBrush m_brBack;
    CShadeButton m_btnClose, m_btnHelp, m_btnClone, m_btnOptions;
    CStatic m_stInfo;
    CShadeButton m_btnTest, m_btnDelete, m_btnEdit, m_btnNew;
    CReportCtrl m_report;

private:
    friend class CAlarmListBusy;
    // The row's alarm with the enabled flag and the name of column 0.
    CAlarm AlarmOfRow(DWORD hItem) const;
    // The selected row; with none, says "Select any alarm!" and gives RVI_NONE.
    DWORD SelectedRowOrSay();
    BOOL RowExists(DWORD hItem) const;
    DWORD FindRow(DWORD nIdentity) const;
    // Inserts a row for alarm after hAfter (RVTI_LAST: at the end), selects it and stores the list.
    void InsertAlarmRow(CAlarm alarm, DWORD hAfter);
    // Writes an edited alarm back into its row.
    void UpdateAlarmRow(DWORD hItem, CAlarm alarm);
    int AddRowIcon(const CAlarm& alarm);
    // Deletes the row and its icon; later icons move down one place.
    void RemoveRow(DWORD hItem);
    // The rows changed places: the list is painted now, and presses made
    // before this moment are dropped.
    void RowsMoved();
    // The information panel for the selected row, all from that row.
    void FillPanel(DWORD hItem, const CAlarmRowTexts& texts);
    void SetTextIfChanged(int nID, const CString& strText);
    void StoreAndTell();
    INT_PTR RunEditor(CAlarm& alarm);
    // A Yes/No question of the list; fnOnYes, when given, runs as soon as
    // the user answers Yes, before the box goes away.
    int Ask(const CString& strText, LPCSTR pszCaption, const std::function<void()>& fnOnYes = nullptr);

    CAlarmListStore m_store;
    CStyledMenu* m_pMenu = nullptr;  // the context menu while it is tracked
    int m_nBusy = 0;                 // modal editors and questions of this list still open
    BOOL m_bRemovedInRefresh = FALSE;
    DWORD m_dwRowsMoved = 0;         // tick count when the rows last changed places
};
