// GDI wrappers: ownership (released exactly once, counted), select guards,
// drawing read back from memory, and a shaped window's region.
#include <gtest/gtest.h>

#include "afx/afxwin.h"
#include "support/win_window.h"

namespace {

TEST(Gdi, ThousandCreateDestroyCyclesLeaveNothingAlive) {
    const long nBefore = AfxGetLiveGdiObjectCount();
    CClientDC screen(nullptr);
    for (int i = 0; i < 1000; ++i) {
        CPen pen(PS_SOLID, 1, RGB(i & 0xFF, 0, 0));
        CBrush brush(RGB(0, i & 0xFF, 0));
        CFont font;
        ASSERT_TRUE(font.CreatePointFont(80 + i % 40, "Arial"));
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 8, 8));
        CRgn rgn;
        ASSERT_TRUE(rgn.CreateEllipticRgn(0, 0, 10 + i % 5, 10));
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
        CImageList images;
        ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1));
        {
            CSelectGuard selBitmap(&dc, &bitmap);
            CSelectGuard selPen(&dc, &pen);
            dc.Rectangle(0, 0, 8, 8);
        }
        EXPECT_EQ(nBefore + 8, AfxGetLiveGdiObjectCount());  // the screen DC counts too
        if (i == 999) {
            // Handles really are released, not just uncounted.
            HGDIOBJ hPen = pen.m_hObject;
            pen.DeleteObject();
            EXPECT_EQ(0u, (UINT)::GetObjectType(hPen));
            EXPECT_FALSE(pen.DeleteObject());  // a second release does nothing
        }
    }
    EXPECT_EQ(nBefore + 1, AfxGetLiveGdiObjectCount());
}

TEST(Gdi, DetachHandsOwnershipOverAndAttachTakesIt) {
    const long nBefore = AfxGetLiveGdiObjectCount();
    HGDIOBJ hBrush;
    {
        CBrush brush(RGB(1, 2, 3));
        hBrush = brush.Detach();
    }
    EXPECT_EQ(nBefore, AfxGetLiveGdiObjectCount());
    EXPECT_EQ((UINT)OBJ_BRUSH, (UINT)::GetObjectType(hBrush));
    {
        CBrush owner;
        ASSERT_TRUE(owner.Attach(hBrush));
        EXPECT_FALSE(owner.Attach(hBrush));  // one handle per wrapper
        EXPECT_EQ(nBefore + 1, AfxGetLiveGdiObjectCount());
    }
    EXPECT_EQ(0u, (UINT)::GetObjectType(hBrush));
    EXPECT_EQ(nBefore, AfxGetLiveGdiObjectCount());
}

TEST(Gdi, StockAndTemporaryObjectsAreNeverDeleted) {
    const long nBefore = AfxGetLiveGdiObjectCount();
    HGDIOBJ hStock = ::GetStockObject(BLACK_BRUSH);
    {
        CBrush stock;
        ASSERT_TRUE(stock.CreateStockObject(BLACK_BRUSH));
        CBrush* pTemp = CBrush::FromHandle((HBRUSH)hStock);
        EXPECT_EQ(hStock, pTemp->GetSafeHandle());
        CBrush sys;
        ASSERT_TRUE(sys.CreateSysColorBrush(COLOR_WINDOW));
    }
    AfxDeleteTempMaps();
    EXPECT_EQ((UINT)OBJ_BRUSH, (UINT)::GetObjectType(hStock));
    EXPECT_EQ((UINT)OBJ_BRUSH, (UINT)::GetObjectType(::GetSysColorBrush(COLOR_WINDOW)));
    EXPECT_EQ(nBefore, AfxGetLiveGdiObjectCount());
    CGdiObject* pNull = nullptr;
    EXPECT_EQ(nullptr, pNull->GetSafeHandle());
}

TEST(Gdi, SelectGuardRestoresThePreviousObject) {
    CClientDC screen(nullptr);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    HGDIOBJ hOriginal = ::GetCurrentObject(dc, OBJ_PEN);
    CPen pen(PS_SOLID, 3, RGB(9, 9, 9));
    {
        CSelectGuard guard(&dc, &pen);
        EXPECT_EQ(pen.m_hObject, ::GetCurrentObject(dc, OBJ_PEN));
    }
    EXPECT_EQ(hOriginal, ::GetCurrentObject(dc, OBJ_PEN));
}

// Draws a frame and a filled square; read back through a snapshot.
class CPaintedWnd : public CWnd {
protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(&rc, RGB(255, 255, 255));
        dc.Draw3dRect(CRect(10, 10, 30, 30), RGB(255, 0, 0), RGB(0, 0, 255));
        dc.FillSolidRect(40, 10, 5, 5, RGB(0, 128, 0));
        dc.SetPixel(50, 50, RGB(7, 8, 9));
    }
    afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintedWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

TEST(Gdi, PaintingIsReadBackFromMemory) {
    CPaintedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "paint", WS_POPUP | WS_VISIBLE, 0, 0, 80, 80, nullptr, nullptr));
    vtest::CWindowSnapshot snap;
    ASSERT_TRUE(snap.Capture(wnd.m_hWnd));
    EXPECT_EQ(RGB(255, 0, 0), snap.Pixel(10, 10));   // top-left edge
    EXPECT_EQ(RGB(255, 0, 0), snap.Pixel(28, 10));
    EXPECT_EQ(RGB(0, 0, 255), snap.Pixel(29, 10));   // right edge wins the corner
    EXPECT_EQ(RGB(0, 0, 255), snap.Pixel(20, 29));
    EXPECT_EQ(RGB(255, 255, 255), snap.Pixel(20, 20));
    EXPECT_EQ(25, snap.CountPixels(RGB(0, 128, 0)));
    EXPECT_EQ(RGB(7, 8, 9), snap.Pixel(50, 50));
}

TEST(Gdi, ShapedWindowRegionIsReadBack) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "shaped", WS_POPUP, 0, 0, 100, 60, nullptr, nullptr));
    CRgn face;
    ASSERT_TRUE(face.CreateEllipticRgn(0, 0, 100, 60));
    CRgn copy;
    ASSERT_TRUE(copy.CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, copy.CopyRgn(&face));
    // The window owns the region it is given: hand over the copy.
    ASSERT_NE(0, wnd.SetWindowRgn((HRGN)copy.Detach(), TRUE));
    CRgn readBack;
    ASSERT_TRUE(readBack.CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(ERROR, wnd.GetWindowRgn((HRGN)readBack.m_hObject));
    // Same set of points (Wine may split it into other rectangles than EqualRgn wants).
    CRgn difference;
    ASSERT_TRUE(difference.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(NULLREGION, difference.CombineRgn(&readBack, &face, RGN_XOR));
    EXPECT_TRUE(readBack.PtInRegion(50, 30));
    EXPECT_FALSE(readBack.PtInRegion(1, 1));  // a corner lies outside the ellipse
    CRect box;
    readBack.GetRgnBox(&box);
    CRect faceBox;
    face.GetRgnBox(&faceBox);
    EXPECT_TRUE(box == faceBox) << box.left << "," << box.top << "," << box.right << "," << box.bottom << " vs "
                                << faceBox.left << "," << faceBox.top << "," << faceBox.right << "," << faceBox.bottom;
}

TEST(Gdi, ImageListAddsInItsThreeFormsAndExtractsIcons) {
    const long nBefore = AfxGetLiveGdiObjectCount();
    {
        CImageList images;
        ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1));
        CClientDC screen(nullptr);
        CBitmap image, mask;
        ASSERT_TRUE(image.CreateCompatibleBitmap(&screen, 16, 16));
        ASSERT_TRUE(mask.CreateBitmap(16, 16, 1, 1, nullptr));
        EXPECT_EQ(0, images.Add(&image, &mask));
        EXPECT_EQ(1, images.Add(&image, RGB(255, 0, 255)));
        HICON hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
        EXPECT_EQ(2, images.Add(hIcon));
        EXPECT_EQ(3, images.GetImageCount());
        EXPECT_TRUE(images.Replace(0, &image, &mask));
        EXPECT_EQ(1, images.Replace(1, hIcon));
        IMAGEINFO info{};
        ASSERT_TRUE(images.GetImageInfo(2, &info));
        EXPECT_EQ(16, info.rcImage.right - info.rcImage.left);
        HICON hExtracted = images.ExtractIcon(2);
        ASSERT_NE(nullptr, hExtracted);
        ::DestroyIcon(hExtracted);
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
        CBitmap target;
        ASSERT_TRUE(target.CreateCompatibleBitmap(&screen, 32, 32));
        CSelectGuard sel(&dc, &target);
        EXPECT_TRUE(images.Draw(&dc, 2, CPoint(0, 0), ILD_NORMAL));
    }
    EXPECT_EQ(nBefore, AfxGetLiveGdiObjectCount());
}

}  // namespace
