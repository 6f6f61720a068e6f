// Static controls that act as web links: underlined text in a link colour, a
// hand cursor, a tooltip with the target, a hover colour and a visited
// colour, and a click that opens the target in the user's browser.
#pragma once

#include <windows.h>

#include "afx/afxctl.h"
#include "afx/afxgdi.h"
#include "afx/afxstr.h"

class CHyperLink : public CStatic {
    DECLARE_DYNAMIC(CHyperLink)
public:
    CHyperLink();
    ~CHyperLink() override;

    void SetURL(CString strURL);
    CString GetURL() const { return m_strURL; }
    void SetColours(COLORREF crLink, COLORREF crVisited, COLORREF crHover = 0xFFFFFFFF);
    COLORREF GetLinkColour() const { return m_crLink; }
    COLORREF GetVisitedColour() const { return m_crVisited; }
    COLORREF GetHoverColour() const { return m_crHover; }
    void SetVisited(BOOL bVisited = TRUE);
    BOOL GetVisited() const { return m_bVisited; }
    void SetLinkCursor(HCURSOR hCursor);
    HCURSOR GetLinkCursor() const { return m_hLinkCursor; }
    void SetUnderline(BOOL bUnderline = TRUE);
    BOOL GetUnderline() const { return m_bUnderline; }
    void SetAutoSize(BOOL bAutoSize = TRUE);
    BOOL GetAutoSize() const { return m_bAdjustToFit; }
    BOOL IsOver() const { return m_bOverControl; }
    CToolTipCtrl* GetToolTip() { return m_ToolTip.GetSafeHwnd() ? &m_ToolTip : nullptr; }

    // Opens url with the shell, falling back to the command registered for
    // ".htm"; returns the result (above 32: success).
    static int GotoURL(LPCSTR pszURL, int nShowCmd);
    // The report of a failed open: "Unable to open hyperlink:" and the reason.
    static void ReportError(int nError);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PreSubclassWindow() override;
    void PositionWindow();
    void SetDefaultCursor();
    void ApplyFont();

    COLORREF m_crLink = 0xEE0000;
    COLORREF m_crVisited = 0x8B1A55;
    COLORREF m_crHover = 0x005CFF;
    BOOL m_bOverControl = FALSE;
    BOOL m_bVisited = FALSE;
    BOOL m_bUnderline = TRUE;
    BOOL m_bAdjustToFit = TRUE;
    CString m_strURL;
    CFont m_Font;
    HCURSOR m_hLinkCursor = nullptr;
    BOOL m_bOwnCursor = FALSE;  // a copy made here, destroyed here
    CToolTipCtrl m_ToolTip;

    afx_msg void OnClicked();
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

// Sent to the parent by a notifying CLinkStatic, with the control id.
const UINT WM_HYPERLINK_CLICKED = 0x0465;

class CLinkStatic : public CStatic {
    DECLARE_DYNAMIC(CLinkStatic)
public:
    CLinkStatic();
    ~CLinkStatic() override;

    CLinkStatic& SetLinkColour(COLORREF cr) {
        m_crLink = cr;
        return *this;
    }
    CLinkStatic& SetHoverColour(COLORREF cr) {
        m_crHover = cr;
        return *this;
    }
    CLinkStatic& SetVisitedColour(COLORREF cr) {
        m_crVisited = cr;
        return *this;
    }
    void SetLinkText(const CString& strText);
    CString GetLinkText() const { return m_strLinkText; }
    void SetLinkURL(const CString& strURL) { m_strURL = strURL; }
    CString GetLinkURL() const { return m_strURL; }
    void SetNotify(BOOL bNotify) { m_bNotify = bNotify; }
    void EnableToolTip(BOOL bEnable) { m_bToolTip = bEnable; }
    void SetToolTipText(LPCSTR pszText);
    void SetToolTipTextColor(COLORREF cr);
    void SetToolTipBkColor(COLORREF cr);
    BOOL GetVisited() const { return m_bVisited; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void PreSubclassWindow() override;

    BOOL m_bNotify = FALSE;
    HCURSOR m_hLinkCursor = nullptr;
    BOOL m_bToolTip = FALSE;
    BOOL m_bOver = FALSE;
    BOOL m_bVisited = FALSE;
    CFont m_fontLink;
    CToolTipCtrl m_ToolTip;
    CString m_strSpare;
    CString m_strLinkText;
    CString m_strURL;
    COLORREF m_crHover = 0x0000FF;
    COLORREF m_crLink = 0xFF0000;
    COLORREF m_crVisited = 0x8F2205;

    afx_msg void OnClicked();
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};
