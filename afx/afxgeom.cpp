#include "afx/afxgeom.h"

void CRect::NormalizeRect()
{
    if (left > right) {
        LONG n = left;
        left = right;
        right = n;
    }
    if (top > bottom) {
        LONG n = top;
        top = bottom;
        bottom = n;
    }
}

#ifndef _WIN32

BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom)
{
    if (lprc == nullptr)
        return FALSE;
    lprc->left = xLeft;
    lprc->top = yTop;
    lprc->right = xRight;
    lprc->bottom = yBottom;
    return TRUE;
}

BOOL SetRectEmpty(LPRECT lprc)
{
    return SetRect(lprc, 0, 0, 0, 0);
}

BOOL CopyRect(LPRECT lprcDst, const RECT* lprcSrc)
{
    if (lprcDst == nullptr || lprcSrc == nullptr)
        return FALSE;
    *lprcDst = *lprcSrc;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* lprc)
{
    return lprc == nullptr || lprc->left >= lprc->right || lprc->top >= lprc->bottom;
}

BOOL EqualRect(const RECT* lprc1, const RECT* lprc2)
{
    if (lprc1 == nullptr || lprc2 == nullptr)
        return FALSE;
    return lprc1->left == lprc2->left && lprc1->top == lprc2->top && lprc1->right == lprc2->right
        && lprc1->bottom == lprc2->bottom;
}

BOOL PtInRect(const RECT* lprc, POINT pt)
{
    if (lprc == nullptr)
        return FALSE;
    return pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

BOOL OffsetRect(LPRECT lprc, int dx, int dy)
{
    if (lprc == nullptr)
        return FALSE;
    lprc->left = AfxWrapAdd(lprc->left, dx);
    lprc->right = AfxWrapAdd(lprc->right, dx);
    lprc->top = AfxWrapAdd(lprc->top, dy);
    lprc->bottom = AfxWrapAdd(lprc->bottom, dy);
    return TRUE;
}

BOOL InflateRect(LPRECT lprc, int dx, int dy)
{
    if (lprc == nullptr)
        return FALSE;
    lprc->left = AfxWrapSub(lprc->left, dx);
    lprc->right = AfxWrapAdd(lprc->right, dx);
    lprc->top = AfxWrapSub(lprc->top, dy);
    lprc->bottom = AfxWrapAdd(lprc->bottom, dy);
    return TRUE;
}

// The sources are read before the destination is written: it may be one of them.
BOOL IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2)
{
    if (lprcDst == nullptr || lprcSrc1 == nullptr || lprcSrc2 == nullptr)
        return FALSE;
    RECT rc;
    rc.left = lprcSrc1->left > lprcSrc2->left ? lprcSrc1->left : lprcSrc2->left;
    rc.top = lprcSrc1->top > lprcSrc2->top ? lprcSrc1->top : lprcSrc2->top;
    rc.right = lprcSrc1->right < lprcSrc2->right ? lprcSrc1->right : lprcSrc2->right;
    rc.bottom = lprcSrc1->bottom < lprcSrc2->bottom ? lprcSrc1->bottom : lprcSrc2->bottom;
    if (IsRectEmpty(lprcSrc1) || IsRectEmpty(lprcSrc2) || IsRectEmpty(&rc)) {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    *lprcDst = rc;
    return TRUE;
}

BOOL UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2)
{
    if (lprcDst == nullptr || lprcSrc1 == nullptr || lprcSrc2 == nullptr)
        return FALSE;
    BOOL bEmpty1 = IsRectEmpty(lprcSrc1);
    BOOL bEmpty2 = IsRectEmpty(lprcSrc2);
    if (bEmpty1 && bEmpty2) {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    if (bEmpty1) {
        *lprcDst = *lprcSrc2;
        return TRUE;
    }
    if (bEmpty2) {
        *lprcDst = *lprcSrc1;
        return TRUE;
    }
    RECT rc;
    rc.left = lprcSrc1->left < lprcSrc2->left ? lprcSrc1->left : lprcSrc2->left;
    rc.top = lprcSrc1->top < lprcSrc2->top ? lprcSrc1->top : lprcSrc2->top;
    rc.right = lprcSrc1->right > lprcSrc2->right ? lprcSrc1->right : lprcSrc2->right;
    rc.bottom = lprcSrc1->bottom > lprcSrc2->bottom ? lprcSrc1->bottom : lprcSrc2->bottom;
    *lprcDst = rc;
    return TRUE;
}

#endif
