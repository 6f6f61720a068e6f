// The arithmetic of the side banner, apart from any window: which edge a set
// of flags names, the strip it takes, how the dialog and its controls move,
// where the icon and the two text lines go, and the colours of a gradient.
#pragma once

#include "afx/afxgeom.h"
#include "afx/wintypes.h"

// Edge flags; of several, the first in the order left, right, top, bottom counts.
enum {
    BANNER_EDGE_LEFT = 1,
    BANNER_EDGE_TOP = 2,
    BANNER_EDGE_RIGHT = 4,
    BANNER_EDGE_BOTTOM = 8,
};

// Background styles, tested in this order.
enum {
    BANNER_BK_SOLID = 1,
    BANNER_BK_GRADIENT = 2,
    BANNER_BK_PATTERN = 4,
};

// Icon placement: along the text (before, after), then across it.
enum {
    BANNER_ICON_BEFORE = 1,
    BANNER_ICON_AFTER = 2,
    BANNER_ICON_CENTRE = 4,
    BANNER_ICON_TEXT_TOP = 8,
    BANNER_ICON_TEXT_BOTTOM = 16,
};

// The one edge that counts, or 0 when no edge flag is set.
UINT BannerEdgeOf(UINT nEdgeFlags);

// The strip along the edge of the dialog's client rectangle; empty for no edge.
CRect BannerStripRect(const CRect& rcClient, UINT nEdgeFlags, int nSize);

// How far the dialog's controls move when the strip grows by nDelta:
// right for a left strip, down for a top strip, not at all otherwise.
CSize BannerChildOffset(UINT nEdgeFlags, int nDelta);

// The dialog's new window rectangle when the strip grows by nDelta. With
// bMoveFarSide (SetSize), a right strip moves the dialog's left side and a
// bottom strip its top side; otherwise (Attach) the position is kept.
CRect BannerGrowDialog(const CRect& rcWindow, UINT nEdgeFlags, int nDelta, bool bMoveFarSide);

// Escapement of the two fonts: text reads upwards on a left strip, downwards
// on a right one.
int BannerEscapement(UINT nEdgeFlags);

// Where the icon of size szIcon goes; narrows *pRect to what the text keeps.
CPoint BannerIconPosition(UINT nEdgeFlags, UINT nPlacement, CSize szIcon, CSize szEdgeOffset, CRect* pRect);

// Reference points of the title and of the caption; nTitleHeight is the
// title font's (negative for point sizes) height.
void BannerTextPoints(UINT nEdgeFlags, const CRect& rc, CSize szEdgeOffset, CSize szCaptionOffset,
                      int nTitleHeight, CPoint* pTitle, CPoint* pCaption);

// Colour of line i of n of the fallback gradient: the first line is crTo, the
// last crFrom. A single line is crTo; there is no division by zero.
COLORREF GradientLineColour(COLORREF crFrom, COLORREF crTo, int i, int n);

// The two corners and colours handed to the system gradient for a strip.
struct BANNERGRADIENT {
    CPoint pt0, pt1;
    COLORREF cr0, cr1;
    bool bVertical;  // colours change from top to bottom
};
BANNERGRADIENT BannerGradient(UINT nEdgeFlags, const CRect& rc, COLORREF cr1, COLORREF cr2);

// The fallback painter's direction and swap for a strip.
void BannerFallbackGradient(UINT nEdgeFlags, bool* pbAcross, bool* pbSwap);
