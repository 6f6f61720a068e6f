// The calendar window: the month-calendar control filling a resizable window
// with as many whole months as fit, centred, in the colours, first day of the
// week and top-most state of the settings. Modeless and owned by the main
// window; closing or Escape tells the main window, which destroys it.
#pragma once

#include "afx/afxctl.h"
#include "afx/afxdlg.h"
#include "afx/afxgdi.h"

class CCalendarCtrl : public CMonthCalCtrl {
public:
    ~CCalendarCtrl() override;
};

class CCalendarDlg : public CDialog {
public:
    explicit CCalendarDlg(CWnd* pParent = nullptr);
    ~CCalendarDlg() override;

    // Colours, first day of the week and top-most state from g_settings.
    void ApplySettings();
    void UpdateTopMost();

    int GetMonthCols() const { return m_nMonthCols; }
    int GetMonthRows() const { return m_nMonthRows; }
    CCalendarCtrl& GetCalendarCtrl() { return m_ctlCalendar; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnClose();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

    CCalendarCtrl m_ctlCalendar;
    CBrush m_brBack;
    int m_nMonthCols = 0;
    int m_nMonthRows = 0;
};
