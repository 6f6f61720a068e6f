// The colours of the coloured tab control: per-channel darkening and
// lightening and the choice of tab and text colours from the draw flags.
#pragma once

#include "afx/wintypes.h"

enum : DWORD {
    CTF_BASE_UNSELECTED = 0x01,  // unselected tabs take the base colour
    CTF_BACKGROUND_BASE = 0x02,  // the base is the control's background colour
    CTF_LIGHT_SELECTED = 0x04,   // the selected tab is lightened by 1.4
    CTF_GRADIENT = 0x08,         // vertical gradient on 16 bits per pixel or more
    CTF_DARK_UNSELECTED = 0x10,  // unselected tabs always darkened, always raised
};

// The control's background colour meaning "the button face".
const COLORREF TAB_DEFAULT_BK = 0xFFFFFFFF;

COLORREF TabDarken(COLORREF cr, double dFactor);
COLORREF TabLighten(COLORREF cr, double dFactor);

// crFace is COLOR_BTNFACE; crBk the control's background colour (or TAB_DEFAULT_BK).
COLORREF TabColour(DWORD dwFlags, BOOL bSelected, COLORREF crBk, COLORREF crFace);
COLORREF TabTextColour(DWORD dwFlags, BOOL bSelected, COLORREF crBk, COLORREF crFace, COLORREF crWindowText);
// The gradient colour at offset y of a tab nHeight high.
COLORREF TabGradientAt(COLORREF crTop, COLORREF crBottom, int y, int nHeight);
