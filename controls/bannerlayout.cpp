#include "controls/bannerlayout.h"

UINT BannerEdgeOf(UINT nEdgeFlags) {
    static const UINT s_order[] = {BANNER_EDGE_LEFT, BANNER_EDGE_RIGHT, BANNER_EDGE_TOP, BANNER_EDGE_BOTTOM};
    for (UINT nEdge : s_order)
        if (nEdgeFlags & nEdge)
            return nEdge;
    return 0;
}

CRect BannerStripRect(const CRect& rcClient, UINT nEdgeFlags, int nSize) {
    CRect rc = rcClient;
    switch (BannerEdgeOf(nEdgeFlags)) {
    case BANNER_EDGE_LEFT:
        rc.right = rc.left + nSize;
        break;
    case BANNER_EDGE_RIGHT:
        rc.left = rc.right - nSize;
        break;
    case BANNER_EDGE_TOP:
        rc.bottom = rc.top + nSize;
        break;
    case BANNER_EDGE_BOTTOM:
        rc.top = rc.bottom - nSize;
        break;
    default:
        rc.SetRectEmpty();
        break;
    }
    return rc;
}

CSize BannerChildOffset(UINT nEdgeFlags, int nDelta) {
    switch (BannerEdgeOf(nEdgeFlags)) {
    case BANNER_EDGE_LEFT:
        return CSize(nDelta, 0);
    case BANNER_EDGE_TOP:
        return CSize(0, nDelta);
    default:
        return CSize(0, 0);
    }
}

CRect BannerGrowDialog(const CRect& rcWindow, UINT nEdgeFlags, int nDelta, bool bMoveFarSide) {
    CRect rc = rcWindow;
    switch (BannerEdgeOf(nEdgeFlags)) {
    case BANNER_EDGE_LEFT:
        rc.right += nDelta;
        break;
    case BANNER_EDGE_RIGHT:
        if (bMoveFarSide)
            rc.left -= nDelta;
        else
            rc.right += nDelta;
        break;
    case BANNER_EDGE_TOP:
        rc.bottom += nDelta;
        break;
    case BANNER_EDGE_BOTTOM:
        if (bMoveFarSide)
            rc.top -= nDelta;
        else
            rc.bottom += nDelta;
        break;
    default:
        break;
    }
    return rc;
}

int BannerEscapement(UINT nEdgeFlags) {
    switch (BannerEdgeOf(nEdgeFlags)) {
    case BANNER_EDGE_LEFT:
        return 900;
    case BANNER_EDGE_RIGHT:
        return -900;
    default:
        return 0;
    }
}

CPoint BannerIconPosition(UINT nEdgeFlags, UINT nPlacement, CSize szIcon, CSize e, CRect* pRect) {
    CRect& r = *pRect;
    const int W = szIcon.cx, H = szIcon.cy;
    CPoint pt(r.left, r.top);
    const UINT nEdge = BannerEdgeOf(nEdgeFlags);
    if (nEdge == BANNER_EDGE_LEFT) {
        if (nPlacement & BANNER_ICON_BEFORE) {
            r.bottom -= e.cy + H;
            pt.y = r.bottom;
        } else if (nPlacement & BANNER_ICON_AFTER) {
            r.top += e.cy;
            pt = CPoint(r.left, r.top);
        }
    } else if (nEdge == BANNER_EDGE_RIGHT) {
        if (nPlacement & BANNER_ICON_BEFORE) {
            r.top += e.cy;
            pt.y = r.top;
            r.top += H;
        } else if (nPlacement & BANNER_ICON_AFTER) {
            r.bottom -= e.cy + H;
            pt = CPoint(r.left, r.bottom);
        }
    } else {
        if (nPlacement & BANNER_ICON_BEFORE) {
            r.left += e.cx;
            pt = CPoint(r.left, r.top);
            r.left += W;
        } else if (nPlacement & BANNER_ICON_AFTER) {
            r.right -= e.cx + W;
            pt = CPoint(r.right, r.top);
        }
    }
    const CPoint ptCentre((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    if (nEdge == BANNER_EDGE_LEFT || nEdge == BANNER_EDGE_RIGHT) {
        if (nPlacement & BANNER_ICON_TEXT_TOP)
            pt.x = nEdge == BANNER_EDGE_LEFT ? r.left : r.right - W;
        else if (nPlacement & BANNER_ICON_CENTRE)
            pt.x = ptCentre.x - W / 2;
        else if (nPlacement & BANNER_ICON_TEXT_BOTTOM)
            pt.x = nEdge == BANNER_EDGE_LEFT ? r.right - W - 1 : r.left + 1;
    } else {
        if (nPlacement & BANNER_ICON_TEXT_TOP)
            pt.y = r.top + 1;
        else if (nPlacement & BANNER_ICON_CENTRE)
            pt.y = ptCentre.y - H / 2;
        else if (nPlacement & BANNER_ICON_TEXT_BOTTOM)
            pt.y = r.bottom - H - 1;
    }
    return pt;
}

void BannerTextPoints(UINT nEdgeFlags, const CRect& r, CSize e, CSize c, int h, CPoint* pTitle,
                      CPoint* pCaption) {
    CPoint T, K;
    switch (BannerEdgeOf(nEdgeFlags)) {
    case BANNER_EDGE_LEFT:
        T = CPoint(r.left + e.cx, r.bottom - e.cy);
        K = CPoint(T.x - h + c.cx, T.y - c.cy);
        break;
    case BANNER_EDGE_RIGHT:
        T = CPoint(r.right - e.cx, r.top + e.cy);
        K = CPoint(T.x + h - c.cx, T.y + c.cy);
        break;
    default:
        T = CPoint(r.left + e.cx, r.top + e.cy);
        K = CPoint(T.x + c.cx, T.y - h + c.cy);
        break;
    }
    *pTitle = T;
    *pCaption = K;
}

COLORREF GradientLineColour(COLORREF crFrom, COLORREF crTo, int i, int n) {
    if (n <= 1)
        return crTo;
    const double t = (double)i / (double)(n - 1);
    auto mix = [t](int from, int to) { return (int)(from * t + to * (1.0 - t)); };
    return RGB(mix(GetRValue(crFrom), GetRValue(crTo)), mix(GetGValue(crFrom), GetGValue(crTo)),
               mix(GetBValue(crFrom), GetBValue(crTo)));
}

BANNERGRADIENT BannerGradient(UINT nEdgeFlags, const CRect& rc, COLORREF cr1, COLORREF cr2) {
    switch (BannerEdgeOf(nEdgeFlags)) {
    case BANNER_EDGE_LEFT:
        return {CPoint(0, rc.top), CPoint(rc.right, rc.bottom), cr2, cr1, true};
    case BANNER_EDGE_RIGHT:
        return {CPoint(rc.right, rc.top), CPoint(0, rc.bottom), cr1, cr2, true};
    default:
        return {CPoint(0, rc.top), CPoint(rc.right, rc.bottom), cr1, cr2, false};
    }
}

void BannerFallbackGradient(UINT nEdgeFlags, bool* pbAcross, bool* pbSwap) {
    const UINT nEdge = BannerEdgeOf(nEdgeFlags);
    *pbAcross = nEdge == BANNER_EDGE_TOP || nEdge == BANNER_EDGE_BOTTOM;
    *pbSwap = *pbAcross || nEdge == BANNER_EDGE_RIGHT;
}
