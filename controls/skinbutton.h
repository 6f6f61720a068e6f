// An owner-drawn button painted from one bitmap per state, whose optional
// mask gives the window its shape; a push button, a check box or a radio
// button with a tooltip.
#pragma once

#include <windows.h>

#include "afx/afxctl.h"
#include "afx/afxgdi.h"
#include "afx/afxstr.h"
#include "controls/buttongroup.h"

// Draw modes of SetSkin.
enum { SKIN_DRAW_NATURAL = 0, SKIN_DRAW_STRETCH = 1, SKIN_DRAW_TILE = 2 };

class CSkinButton : public CStateButton {
    DECLARE_DYNAMIC(CSkinButton)
public:
    CSkinButton();
    ~CSkinButton() override;

    // Takes ownership of every non-null bitmap.
    void SetSkin(HBITMAP hNormal, HBITMAP hDown, HBITMAP hOver, HBITMAP hDisabled, HBITMAP hFocus, HBITMAP hMask,
                 short nDrawMode = SKIN_DRAW_STRETCH, short nBorder = 1, short nFocusMargin = 0);
    void SetSkinFromResources(UINT nNormal, UINT nDown, UINT nOver, UINT nDisabled, UINT nFocus, UINT nMask,
                              short nDrawMode = SKIN_DRAW_STRETCH, short nBorder = 1, short nFocusMargin = 0);
    COLORREF SetTextColor(COLORREF cr);
    void SetToolTipText(const CString& strText);
    // The region of a bitmap's pixels that differ from crTransparent; null
    // for a null bitmap. The caller owns it.
    HRGN CreateRgnFromBitmap(HBITMAP hBitmap, COLORREF crTransparent);

    short GetDrawMode() const { return m_nDrawMode; }
    short GetFocusMargin() const { return m_nFocusMargin; }

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void PreSubclassWindow() override;
    void FreeImages();
    void DrawImage(CDC* pDC, CBitmap& image, const CRect& rc);
    CBitmap m_bNormal, m_bDown, m_bDisabled, m_bMask, m_bOver, m_bFocus;
    // An image whose handle another one already holds: released once, with that one.
    BOOL m_bShared[6] = {};
    short m_nFocusMargin = 0;
    COLORREF m_crText;
    HRGN m_hRgn = nullptr;  // owned by the window once applied
    short m_nBorder = 0;
    short m_nDrawMode = SKIN_DRAW_STRETCH;

};
