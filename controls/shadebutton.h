// An owner-drawn button whose face is a generated texture, with up to three
// icons, its own text colour and font, a tooltip with a second text for the
// checked state; a push button, a check box or a radio button.
#pragma once

#include <windows.h>

#include "afx/afxctl.h"
#include "afx/afxstr.h"
#include "controls/buttongroup.h"
#include "controls/dib.h"

// Shade kinds of SetShade.
enum {
    SHS_NOISE = 0,
    SHS_DIAGSHADE = 1,
    SHS_HSHADE = 2,
    SHS_VSHADE = 3,
    SHS_HBUMP = 4,
    SHS_VBUMP = 5,
    SHS_SOFTBUMP = 6,
    SHS_HARDBUMP = 7,
    SHS_METAL = 8,
};

// Icon alignment.
const UINT BS_ICON_LEFT = 0x100, BS_ICON_RIGHT = 0x200, BS_ICON_CENTER = 0x300;

// Button kinds, from the low byte of the style.
const UINT SHADE_KIND_PUSH = 0, SHADE_KIND_CHECK = 2, SHADE_KIND_RADIO = 4;

class CShadeButton : public CButton {
    DECLARE_DYNAMIC(CShadeButton)
public:
    CShadeButton();
    ~CShadeButton() override;

    void SetShade(UINT nKind = SHS_METAL, BYTE nGranularity = 8, BYTE nHighlight = 10, BYTE nColouring = 0,
                  COLORREF crColour = 0);
    void SetIcon(UINT nNormal, UINT nAlign = BS_ICON_CENTER, UINT nDown = 0, UINT nOver = 0);
    COLORREF SetTextColor(COLORREF cr);
    void SetTextAlign(UINT nAlign);
    void SetFlat(BOOL bFlat) { m_bFlat = bFlat; }
    void SetToolTipText(const CString& strText, const CString& strCheckedText = CString());
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
    BOOL SetTextFont(const CString& strFace, int nHeight, int nWeight = FW_NORMAL, BYTE bItalic = 0,
                     BYTE bUnderline = 0);
    BOOL SetTextFont(const LOGFONT* pLogFont);
    const LOGFONT* GetTextFont() const { return m_pLF; }

    UINT GetKind() const { return m_nKind; }
    BOOL IsHovering() const { return m_bHover; }
    const CRect& GetIconRect() const { return m_rcIcon; }
    CToolTipCtrl* GetToolTip() { return m_tooltip.GetSafeHwnd() ? &m_tooltip : nullptr; }
    const CDib& GetNormalSurface() const { return m_dNormal; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void PreSubclassWindow() override;
    void StyleChanged(UINT nStyle);
    BOOL RebuildFont();
    void FreeIcons();
    void RelayToTooltip(UINT nMessage, UINT nFlags, CPoint point);
    const CString& CurrentTip() const;
    void Repaint() { Invalidate(FALSE); }

    CFont m_Font;
    LOGFONT* m_pLF = nullptr;
    CString m_strToolTip;
    CString m_strCheckedToolTip;
    BOOL m_bChecked = FALSE;
    BOOL m_bPushLike = TRUE;
    UINT m_nKind = SHADE_KIND_PUSH;
    CDib m_dNormal, m_dDown, m_dDisabled, m_dOver;
    BOOL m_bHover = FALSE;
    BOOL m_bButtonDown = FALSE;
    CToolTipCtrl m_tooltip;
    COLORREF m_crText;
    BOOL m_bBorder = TRUE;
    HICON m_hIcon = nullptr, m_hIconDown = nullptr, m_hIconOver = nullptr;
    CRect m_rcIcon;
    UINT m_nTextFormat = DT_CENTER;
    UINT m_nIconAlign = BS_ICON_CENTER;
    BOOL m_bFlat = FALSE;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnUncheckGroup(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
