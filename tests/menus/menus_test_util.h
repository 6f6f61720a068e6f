// Helpers of the menu tests: image lists of plain coloured icons, framed
// bitmaps and the pixels of images, and the state of a menu item as Windows
// holds it.
#pragma once

#include <windows.h>

#include "afx/afxwin.h"

namespace mtest {

// An image list of n icons of cx x cy, icon i a square of colours[i] whose
// one-pixel border is transparent.
inline bool MakeIconList(CImageList& list, int cx, int cy, const COLORREF* colours, int n) {
    if (!list.Create(cx, cy, ILC_COLOR24 | ILC_MASK, n, 1))
        return false;
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    for (int i = 0; i < n; ++i) {
        HBITMAP hbm = ::CreateCompatibleBitmap(hScreen, cx, cy);
        HGDIOBJ hOld = ::SelectObject(hMem, hbm);
        RECT rc = {0, 0, cx, cy};
        HBRUSH hBorder = ::CreateSolidBrush(RGB(255, 0, 255));
        ::FillRect(hMem, &rc, hBorder);
        ::DeleteObject(hBorder);
        RECT rcIn = {1, 1, cx - 1, cy - 1};
        HBRUSH hFill = ::CreateSolidBrush(colours[i]);
        ::FillRect(hMem, &rcIn, hFill);
        ::DeleteObject(hFill);
        ::SelectObject(hMem, hOld);
        ImageList_AddMasked(list.m_hImageList, hbm, RGB(255, 0, 255));
        ::DeleteObject(hbm);
    }
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
    return list.GetImageCount() == n;
}

// A cx x cy bitmap of clrFill with a one-pixel border of clrBack (the colour a
// menu takes as transparent).
inline bool MakeFramedBitmap(CBitmap& bmp, int cx, int cy, COLORREF clrBack, COLORREF clrFill) {
    CClientDC dcScreen(nullptr);
    CDC dc;
    if (!bmp.CreateCompatibleBitmap(&dcScreen, cx, cy) || !dc.CreateCompatibleDC(&dcScreen))
        return false;
    CSelectGuard guard(&dc, &bmp);
    dc.FillSolidRect(0, 0, cx, cy, clrBack);
    dc.FillSolidRect(1, 1, cx - 2, cy - 2, clrFill);
    return true;
}

inline COLORREF BitmapPixel(CBitmap& bmp, int x, int y) {
    CClientDC dcScreen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&dcScreen);
    CSelectGuard guard(&dc, &bmp);
    return dc.GetPixel(x, y);
}

// A 32-bit memory DC to draw items into, filled with clrFill.
class CCanvas {
public:
    CCanvas(int cx, int cy, COLORREF clrFill = RGB(0, 0, 0)) {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = cx;
        bmi.bmiHeader.biHeight = -cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        HDC hScreen = ::GetDC(nullptr);
        m_hDC = ::CreateCompatibleDC(hScreen);
        ::ReleaseDC(nullptr, hScreen);
        void* pBits = nullptr;
        m_hbm = ::CreateDIBSection(m_hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
        m_hOld = ::SelectObject(m_hDC, m_hbm);
        RECT rc = {0, 0, cx, cy};
        HBRUSH hFill = ::CreateSolidBrush(clrFill);
        ::FillRect(m_hDC, &rc, hFill);
        ::DeleteObject(hFill);
    }
    ~CCanvas() {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hbm);
        ::DeleteDC(m_hDC);
    }
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;
    COLORREF Pixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
    HDC m_hDC;

private:
    HBITMAP m_hbm;
    HGDIOBJ m_hOld;
};

// Pixel (x, y) of an image of a list drawn transparently over clrCanvas.
inline COLORREF ImagePixel(HIMAGELIST hList, int nIndex, int x, int y, COLORREF clrCanvas) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(hList, &cx, &cy);
    CCanvas canvas(cx, cy, clrCanvas);
    ImageList_Draw(hList, nIndex, canvas.m_hDC, 0, 0, ILD_TRANSPARENT);
    return canvas.Pixel(x, y);
}

struct CItemInfo {
    UINT fType = 0;
    UINT fState = 0;
    UINT wID = 0;
    HMENU hSubMenu = nullptr;
    ULONG_PTR dwItemData = 0;
};

inline CItemInfo GetItem(HMENU hMenu, int nPos) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    CItemInfo info;
    if (::GetMenuItemInfoA(hMenu, (UINT)nPos, TRUE, &mii)) {
        info.fType = mii.fType;
        info.fState = mii.fState;
        info.wID = mii.wID;
        info.hSubMenu = mii.hSubMenu;
        info.dwItemData = mii.dwItemData;
    }
    return info;
}

}  // namespace mtest
