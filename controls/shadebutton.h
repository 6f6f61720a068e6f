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

class CShadeButton : public CStateButton {
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

    const CRect& GetIconRect() const { return m_rcIcon; }
    const CDib& GetNormalSurface() const { return m_dNormal; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void PreSubclassWindow() override;
    void StyleChanged(UINT nStyle);
    BOOL RebuildFont();
    void FreeIcons();
    const CString& CurrentTip() const;
    void OnCheckChanged(BOOL bSet) override;

    CFont m_Font;
    LOGFONT* m_pLF = nullptr;
    CString m_strToolTip;
    CString m_strCheckedToolTip;
    BOOL m_bPushLike = TRUE;
    CDib m_dNormal, m_dDown, m_dDisabled, m_dOver;
    COLORREF m_crText;
    BOOL m_bBorder = TRUE;
    HICON m_hIcon = nullptr, m_hIconDown = nullptr, m_hIconOver = nullptr;
    CRect m_rcIcon;
    UINT m_nTextFormat = DT_CENTER;
    UINT m_nIconAlign = BS_ICON_CENTER;
    BOOL m_bFlat = FALSE;

};
