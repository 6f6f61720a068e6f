// A static text with its own painting: text and background colours, a
// two-colour gradient, free font settings and rotation, a 3-D copy of the
// text, flashing, and a click that opens a web or mail link. Every setter
// returns the label so that calls can be chained.
#pragma once

#include <windows.h>

#include "afx/afxctl.h"
#include "afx/afxgdi.h"
#include "afx/afxstr.h"

// The notification a label sends its parent when a click only notifies.
const UINT CLN_LINKCLICK = 0x8200;

class CColorLabel : public CStatic {
    DECLARE_DYNAMIC(CColorLabel)
public:
    CColorLabel();
    ~CColorLabel() override;

    virtual CColorLabel& SetBkColor(COLORREF crBk, COLORREF crSecond = 0, BOOL bGradient = FALSE);
    virtual CColorLabel& SetTextColor(COLORREF crText);
    virtual CColorLabel& SetText(const CString& strText);
    virtual CColorLabel& SetFontBold(BOOL bBold);
    virtual CColorLabel& SetFontName(const CString& strFace, BYTE nCharSet = ANSI_CHARSET);
    virtual CColorLabel& SetFontUnderline(BOOL bSet);
    virtual CColorLabel& SetFontItalic(BOOL bSet);
    virtual CColorLabel& SetFontSize(int nPoints);
    virtual CColorLabel& SetSunken(BOOL bSet);
    virtual CColorLabel& SetBorder(BOOL bSet);
    virtual CColorLabel& SetTransparent(BOOL bSet);
    virtual CColorLabel& FlashText(BOOL bActivate);
    virtual CColorLabel& FlashBackground(BOOL bActivate);
    virtual CColorLabel& SetLink(BOOL bLink, BOOL bNotifyParent = FALSE);
    virtual CColorLabel& SetLinkCursor(HCURSOR hCursor);
    virtual CColorLabel& SetText3D(BOOL b3D, BOOL bRaised = FALSE);
    virtual CColorLabel& SetRotationAngle(int nAngle, BOOL bRotation);
    virtual CColorLabel& Set3DHighlightColor(COLORREF cr);
    virtual CColorLabel& SetFont(LOGFONT lf);
    virtual CColorLabel& SetMailLink(BOOL bEnable, BOOL bNotifyParent = FALSE);
    virtual CColorLabel& SetLinkURL(const CString& strURL);

    int GetFlashMode() const { return m_nFlashMode; }
    BOOL IsFlashTimerRunning() const { return m_bTimer; }
    BOOL GetFlashPhase() const { return m_bFlashPhase; }
    const LOGFONT& GetLogFont() const { return m_lf; }

protected:
    void PreSubclassWindow() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override { return CStatic::PreCreateWindow(cs); }
    void RebuildFont();
    void Redraw();
    void StartFlash(int nMode, BOOL bActivate);
    void OpenLink();

    COLORREF m_crText;
    COLORREF m_cr3DHighlight = 0xFFFFFF;
    CBrush m_brushDefault;
    CBrush m_brushBk;
    LOGFONT m_lf{};
    CFont m_font;
    BOOL m_bFlashPhase = FALSE;
    BOOL m_bTimer = FALSE;
    int m_nLinkMode = 0;  // 0 none, 1 web, 2 mail
    BOOL m_bTransparent = FALSE;
    BOOL m_bText3D = FALSE;
    BOOL m_bNotify = FALSE;
    BOOL m_bRotation = FALSE;
    int m_nFlashMode = 0;  // 0 none, 1 text, 2 background
    HCURSOR m_hLinkCursor = nullptr;
    BOOL m_b3DRaised = FALSE;
    BOOL m_bGradient = FALSE;
    COLORREF m_crSecond = 0;
    COLORREF m_crBk = 0;
    CString m_strURL;

    void Paint(CDC* pTarget);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnSysColorChange();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
