// CPoint, CSize and CRect over the Windows structures. Coordinates may come
// from a stored file, so the arithmetic wraps around in 32 bits as Windows
// does instead of overflowing.
#pragma once

#include "afx/wintypes.h"

#ifndef _WIN32
// The USER32 rectangle functions, for the native build.
BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom);
BOOL SetRectEmpty(LPRECT lprc);
BOOL CopyRect(LPRECT lprcDst, const RECT* lprcSrc);
BOOL IsRectEmpty(const RECT* lprc);
BOOL EqualRect(const RECT* lprc1, const RECT* lprc2);
BOOL PtInRect(const RECT* lprc, POINT pt);
BOOL OffsetRect(LPRECT lprc, int dx, int dy);
BOOL InflateRect(LPRECT lprc, int dx, int dy);
// An empty intersection gives (0, 0, 0, 0) and FALSE.
BOOL IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);
// An empty rectangle does not count; two empty ones give (0, 0, 0, 0) and FALSE.
BOOL UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);
#endif

inline LONG AfxWrapAdd(LONG a, LONG b)
{
    return static_cast<LONG>(static_cast<DWORD>(a) + static_cast<DWORD>(b));
}

inline LONG AfxWrapSub(LONG a, LONG b)
{
    return static_cast<LONG>(static_cast<DWORD>(a) - static_cast<DWORD>(b));
}

inline LONG AfxWrapNeg(LONG a)
{
    return static_cast<LONG>(0u - static_cast<DWORD>(a));
}

class CPoint;

class CSize : public tagSIZE {
public:
    CSize()
        : tagSIZE { 0, 0 }
    {
    }
    CSize(int initCX, int initCY)
        : tagSIZE { initCX, initCY }
    {
    }
    CSize(SIZE initSize)
        : tagSIZE(initSize)
    {
    }
    explicit CSize(POINT initPt)
        : tagSIZE { initPt.x, initPt.y }
    {
    }

    bool operator==(SIZE size) const { return cx == size.cx && cy == size.cy; }
    bool operator!=(SIZE size) const { return !(*this == size); }
    void operator+=(SIZE size)
    {
        cx = AfxWrapAdd(cx, size.cx);
        cy = AfxWrapAdd(cy, size.cy);
    }
    void operator-=(SIZE size)
    {
        cx = AfxWrapSub(cx, size.cx);
        cy = AfxWrapSub(cy, size.cy);
    }
    CSize operator+(SIZE size) const { return CSize(AfxWrapAdd(cx, size.cx), AfxWrapAdd(cy, size.cy)); }
    CSize operator-(SIZE size) const { return CSize(AfxWrapSub(cx, size.cx), AfxWrapSub(cy, size.cy)); }
    CSize operator-() const { return CSize(AfxWrapNeg(cx), AfxWrapNeg(cy)); }
    CPoint operator+(POINT point) const;
    CPoint operator-(POINT point) const;
};

class CPoint : public tagPOINT {
public:
    CPoint()
        : tagPOINT { 0, 0 }
    {
    }
    CPoint(int initX, int initY)
        : tagPOINT { initX, initY }
    {
    }
    CPoint(POINT initPt)
        : tagPOINT(initPt)
    {
    }
    explicit CPoint(SIZE initSize)
        : tagPOINT { initSize.cx, initSize.cy }
    {
    }
    // The packed form of mouse messages: x in the low word, y in the high word, both signed.
    explicit CPoint(DWORD dwPoint)
        : tagPOINT { static_cast<SHORT>(LOWORD(dwPoint)), static_cast<SHORT>(HIWORD(dwPoint)) }
    {
    }

    void Offset(int xOffset, int yOffset)
    {
        x = AfxWrapAdd(x, xOffset);
        y = AfxWrapAdd(y, yOffset);
    }
    void Offset(POINT point) { Offset(point.x, point.y); }
    void Offset(SIZE size) { Offset(size.cx, size.cy); }
    void SetPoint(int X, int Y)
    {
        x = X;
        y = Y;
    }

    bool operator==(POINT point) const { return x == point.x && y == point.y; }
    bool operator!=(POINT point) const { return !(*this == point); }
    void operator+=(SIZE size) { Offset(size); }
    void operator-=(SIZE size) { Offset(AfxWrapNeg(size.cx), AfxWrapNeg(size.cy)); }
    void operator+=(POINT point) { Offset(point); }
    void operator-=(POINT point) { Offset(AfxWrapNeg(point.x), AfxWrapNeg(point.y)); }
    CPoint operator+(SIZE size) const { return CPoint(AfxWrapAdd(x, size.cx), AfxWrapAdd(y, size.cy)); }
    CPoint operator-(SIZE size) const { return CPoint(AfxWrapSub(x, size.cx), AfxWrapSub(y, size.cy)); }
    CPoint operator-() const { return CPoint(AfxWrapNeg(x), AfxWrapNeg(y)); }
    CPoint operator+(POINT point) const { return CPoint(AfxWrapAdd(x, point.x), AfxWrapAdd(y, point.y)); }
    CSize operator-(POINT point) const { return CSize(AfxWrapSub(x, point.x), AfxWrapSub(y, point.y)); }
};

inline CPoint CSize::operator+(POINT point) const
{
    return CPoint(AfxWrapAdd(cx, point.x), AfxWrapAdd(cy, point.y));
}

inline CPoint CSize::operator-(POINT point) const
{
    return CPoint(AfxWrapSub(cx, point.x), AfxWrapSub(cy, point.y));
}

class CRect : public tagRECT {
public:
    CRect()
        : tagRECT { 0, 0, 0, 0 }
    {
    }
    CRect(int l, int t, int r, int b)
        : tagRECT { l, t, r, b }
    {
    }
    CRect(const RECT& srcRect)
        : tagRECT(srcRect)
    {
    }
    CRect(LPCRECT lpSrcRect)
        : tagRECT(*lpSrcRect)
    {
    }
    CRect(POINT point, SIZE size)
        : tagRECT { point.x, point.y, AfxWrapAdd(point.x, size.cx), AfxWrapAdd(point.y, size.cy) }
    {
    }
    CRect(POINT topLeft, POINT bottomRight)
        : tagRECT { topLeft.x, topLeft.y, bottomRight.x, bottomRight.y }
    {
    }

    int Width() const { return AfxWrapSub(right, left); }
    int Height() const { return AfxWrapSub(bottom, top); }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    // Rounds toward zero, computed without overflow.
    CPoint CenterPoint() const
    {
        return CPoint(static_cast<int>((static_cast<LONGLONG>(left) + right) / 2),
            static_cast<int>((static_cast<LONGLONG>(top) + bottom) / 2));
    }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }
    BOOL PtInRect(POINT point) const { return ::PtInRect(this, point); }
    BOOL EqualRect(LPCRECT lpRect) const { return ::EqualRect(this, lpRect); }

    void SetRect(int x1, int y1, int x2, int y2) { ::SetRect(this, x1, y1, x2, y2); }
    void SetRect(POINT topLeft, POINT bottomRight)
    {
        SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    }
    void SetRectEmpty() { ::SetRectEmpty(this); }
    void CopyRect(LPCRECT lpSrcRect) { ::CopyRect(this, lpSrcRect); }

    void InflateRect(int x, int y) { ::InflateRect(this, x, y); }
    void InflateRect(SIZE size) { InflateRect(size.cx, size.cy); }
    void InflateRect(LPCRECT lpRect)
    {
        InflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    void InflateRect(int l, int t, int r, int b)
    {
        left = AfxWrapSub(left, l);
        top = AfxWrapSub(top, t);
        right = AfxWrapAdd(right, r);
        bottom = AfxWrapAdd(bottom, b);
    }
    void DeflateRect(int x, int y) { InflateRect(AfxWrapNeg(x), AfxWrapNeg(y)); }
    void DeflateRect(SIZE size) { DeflateRect(size.cx, size.cy); }
    void DeflateRect(LPCRECT lpRect)
    {
        DeflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    void DeflateRect(int l, int t, int r, int b)
    {
        InflateRect(AfxWrapNeg(l), AfxWrapNeg(t), AfxWrapNeg(r), AfxWrapNeg(b));
    }
    void NormalizeRect();

    void OffsetRect(int x, int y) { ::OffsetRect(this, x, y); }
    void OffsetRect(POINT point) { OffsetRect(point.x, point.y); }
    void OffsetRect(SIZE size) { OffsetRect(size.cx, size.cy); }
    void MoveToX(int x)
    {
        right = AfxWrapAdd(x, Width());
        left = x;
    }
    void MoveToY(int y)
    {
        bottom = AfxWrapAdd(y, Height());
        top = y;
    }
    void MoveToXY(int x, int y)
    {
        MoveToX(x);
        MoveToY(y);
    }
    void MoveToXY(POINT point) { MoveToXY(point.x, point.y); }

    BOOL IntersectRect(LPCRECT lpRect1, LPCRECT lpRect2) { return ::IntersectRect(this, lpRect1, lpRect2); }
    BOOL UnionRect(LPCRECT lpRect1, LPCRECT lpRect2) { return ::UnionRect(this, lpRect1, lpRect2); }

    CRect& operator=(const RECT& srcRect)
    {
        static_cast<RECT&>(*this) = srcRect;
        return *this;
    }
    bool operator==(const RECT& rect) const { return ::EqualRect(this, &rect) != FALSE; }
    bool operator!=(const RECT& rect) const { return !(*this == rect); }
    void operator+=(POINT point) { OffsetRect(point); }
    void operator+=(SIZE size) { OffsetRect(size); }
    void operator+=(LPCRECT lpRect) { InflateRect(lpRect); }
    void operator-=(POINT point) { OffsetRect(AfxWrapNeg(point.x), AfxWrapNeg(point.y)); }
    void operator-=(SIZE size) { OffsetRect(AfxWrapNeg(size.cx), AfxWrapNeg(size.cy)); }
    void operator-=(LPCRECT lpRect) { DeflateRect(lpRect); }
    void operator&=(const RECT& rect) { ::IntersectRect(this, this, &rect); }
    void operator|=(const RECT& rect) { ::UnionRect(this, this, &rect); }

    CRect operator+(POINT point) const
    {
        CRect rect(*this);
        rect.OffsetRect(point);
        return rect;
    }
    CRect operator-(POINT point) const
    {
        CRect rect(*this);
        rect -= point;
        return rect;
    }
    CRect operator+(SIZE size) const
    {
        CRect rect(*this);
        rect.OffsetRect(size);
        return rect;
    }
    CRect operator-(SIZE size) const
    {
        CRect rect(*this);
        rect -= size;
        return rect;
    }
    CRect operator+(LPCRECT lpRect) const
    {
        CRect rect(*this);
        rect.InflateRect(lpRect);
        return rect;
    }
    CRect operator-(LPCRECT lpRect) const
    {
        CRect rect(*this);
        rect.DeflateRect(lpRect);
        return rect;
    }
    CRect operator&(const RECT& rect2) const
    {
        CRect rect;
        ::IntersectRect(&rect, this, &rect2);
        return rect;
    }
    CRect operator|(const RECT& rect2) const
    {
        CRect rect;
        ::UnionRect(&rect, this, &rect2);
        return rect;
    }
};
