#include "controls/tabcolours.h"

#include <algorithm>

COLORREF TabDarken(COLORREF cr, double dFactor) {
    dFactor = std::max(0.0, std::min(1.0, dFactor));
    return RGB((int)(GetRValue(cr) * dFactor), (int)(GetGValue(cr) * dFactor), (int)(GetBValue(cr) * dFactor));
}

COLORREF TabLighten(COLORREF cr, double dFactor) {
    dFactor = std::max(1.0, dFactor);
    auto channel = [&](int c) { return std::min(255, (int)(c * dFactor)); };
    return RGB(channel(GetRValue(cr)), channel(GetGValue(cr)), channel(GetBValue(cr)));
}

COLORREF TabColour(DWORD dwFlags, BOOL bSelected, COLORREF crBk, COLORREF crFace) {
    const COLORREF crOwnBk = crBk == TAB_DEFAULT_BK ? crFace : crBk;
    const COLORREF crBase = (dwFlags & CTF_BACKGROUND_BASE) ? crOwnBk : crFace;
    if (bSelected)
        return (dwFlags & CTF_LIGHT_SELECTED) ? TabLighten(crBase, 1.4) : crFace;
    if ((dwFlags & CTF_BASE_UNSELECTED) && !(dwFlags & CTF_DARK_UNSELECTED))
        return crOwnBk;
    return TabDarken(crBase, 0.9);
}

COLORREF TabTextColour(DWORD dwFlags, BOOL bSelected, COLORREF crBk, COLORREF crFace, COLORREF crWindowText) {
    if (bSelected)
        return crWindowText;
    const COLORREF crOwnBk = crBk == TAB_DEFAULT_BK ? crFace : crBk;
    return TabDarken((dwFlags & (CTF_BASE_UNSELECTED | CTF_BACKGROUND_BASE)) ? crOwnBk : crFace, 0.5);
}

COLORREF TabGradientAt(COLORREF crTop, COLORREF crBottom, int y, int nHeight) {
    if (nHeight <= 0)
        return crTop;
    auto channel = [&](int t, int b) { return t + (b - t) * y / nHeight; };
    return RGB(channel(GetRValue(crTop), GetRValue(crBottom)), channel(GetGValue(crTop), GetGValue(crBottom)),
               channel(GetBValue(crTop), GetBValue(crBottom)));
}
