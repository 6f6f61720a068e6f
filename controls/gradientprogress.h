// The gradient progress bar window: answers the progress-bar messages itself,
// keeps the text and bar styles in its window style, paints through
// CProgressDraw, shows the position in a tooltip and rotates its gradient on
// a timer.
#pragma once

#include <windows.h>

#include "afx/afxctl.h"
#include "controls/progressdraw.h"

class CGradientProgressCtrl : public CProgressCtrl, public CProgressDraw {
    DECLARE_DYNAMIC(CGradientProgressCtrl)
public:
    CGradientProgressCtrl();
    ~CGradientProgressCtrl() override;

    DWORD GetStyle() const override { return CWnd::GetStyle(); }
    void ModifyStyle(DWORD dwRemove, DWORD dwAdd) override;
    void OnPosChanged(int nNew) override;

    void SetRange(int nLower, int nUpper);
    int SetPos(int nPos);
    using CProgressDraw::GetPos;
    using CProgressDraw::GetRange;
    using CProgressDraw::OffsetPos;
    using CProgressDraw::SetStep;
    using CProgressDraw::StepIt;
    // From any thread: the change is made on the window's thread.
    void SetText(const char* pszText, DWORD dwMode);
    using CProgressDraw::GetText;
    CFont* GetFont() const { return CProgressDraw::GetFont(); }

    void StartAnimation(UINT nInterval, int nStep);
    void StopAnimation();
    void SetTooltipFormat(const char* pszFormat, DWORD dwMode);
    CToolTipCtrl* GetToolTip() { return m_tooltip.GetSafeHwnd() ? &m_tooltip : nullptr; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void Changed() {
        if (::IsWindow(m_hWnd))
            Invalidate(FALSE);
    }
    CString TooltipText() const;

    CToolTipCtrl m_tooltip;
    CString m_strTooltipFormat;
    DWORD m_dwTooltipMode = 0;
    int m_nAnimStep = 0;
    CFont m_fontBorrowed;  // the WM_SETFONT handle, not owned

    void Paint(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnSetRange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetRange32(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetRange(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDeltaPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetStep(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnStepIt(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetBarColor(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetBkColor(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetTextMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetTextMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetFontMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetFontMsg(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetTextMode(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
