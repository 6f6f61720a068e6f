// The side banner and the memory device contexts inside real dialogs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "afx/afxwin.h"
#include "controls/memdc.h"
#include "controls/sidebanner.h"
#include "controls/uihelpers.h"
#include "controls_test_res.h"
#include "support/win_window.h"

namespace {

// A banner painting through the fallback gradient, as without MSIMG32.
class CFallbackBanner : public CSideBanner {
public:
    CFallbackBanner() { m_pfnGradientFill = nullptr; }
};

class BannerTest : public ::testing::Test {
protected:
    void SetUp() override { m_nGdi = AfxGetLiveGdiObjectCount(); }
    void TearDown() override {
        vtest::PumpPending();
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
    }
    long m_nGdi = 0;
};

std::vector<CRect> ChildRects(CWnd& dlg) {
    std::vector<CRect> rects;
    for (HWND h = ::GetWindow(dlg.m_hWnd, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
        CRect rc;
        ::GetWindowRect(h, &rc);
        ::MapWindowPoints(nullptr, dlg.m_hWnd, (LPPOINT)&rc, 2);
        rects.push_back(rc);
    }
    return rects;
}

bool Near(COLORREF a, COLORREF b, int tolerance = 8) {
    return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

TEST_F(BannerTest, TopBannerMovesControlsDownAndGrowsTheDialogInPlace) {
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_BANNER_TEST));
    CRect rcBefore;
    dlg.GetWindowRect(&rcBefore);
    std::vector<CRect> before = ChildRects(dlg);
    ASSERT_EQ(0, before[0].top);  // the template puts the first control at y = 0

    CSideBanner banner;
    EXPECT_FALSE(banner.Attach(nullptr, BANNER_EDGE_TOP, 1));
    SetupDialogBanner(nullptr, &dlg);
    SetupDialogBanner(&banner, nullptr);
    EXPECT_EQ(nullptr, banner.GetSafeHwnd());
    EXPECT_EQ(before.size(), ChildRects(dlg).size());

    SetupDialogBanner(&banner, &dlg);
    ASSERT_NE(nullptr, banner.GetSafeHwnd());
    EXPECT_EQ((int)IDC_DIALOG_BANNER, banner.GetDlgCtrlID());
    CRect rcAfter;
    dlg.GetWindowRect(&rcAfter);
    EXPECT_EQ(rcBefore.TopLeft(), rcAfter.TopLeft());
    EXPECT_EQ(rcBefore.Width(), rcAfter.Width());
    EXPECT_EQ(rcBefore.Height() + 50, rcAfter.Height());
    std::vector<CRect> after = ChildRects(dlg);
    ASSERT_EQ(before.size() + 1, after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        CRect rcMoved = before[i];
        rcMoved.OffsetRect(0, 50);
        EXPECT_EQ(rcMoved, after[i]) << i;
    }
    CRect rcClient, rcBanner;
    dlg.GetClientRect(&rcClient);
    banner.GetWindowRect(&rcBanner);
    dlg.ScreenToClient(&rcBanner);
    EXPECT_EQ(CRect(0, 0, rcClient.right, 50), rcBanner);

    // The same edge again changes nothing; a bigger size moves everything further.
    banner.SetEdge(BANNER_EDGE_TOP | 0x10);
    EXPECT_EQ(after, ChildRects(dlg));
    banner.SetSize(70);
    std::vector<CRect> grown = ChildRects(dlg);
    EXPECT_EQ(after[0].top + 20, grown[0].top);
    CRect rcGrown;
    dlg.GetWindowRect(&rcGrown);
    EXPECT_EQ(rcAfter.Height() + 20, rcGrown.Height());
    EXPECT_EQ(rcAfter.TopLeft(), rcGrown.TopLeft());

    // Moving the strip to the left edge gives the height back and takes width.
    banner.SetEdge(BANNER_EDGE_LEFT);
    CRect rcLeft;
    dlg.GetWindowRect(&rcLeft);
    EXPECT_EQ(rcBefore.Height(), rcLeft.Height());
    EXPECT_EQ(rcBefore.Width() + 70, rcLeft.Width());
    EXPECT_EQ(rcBefore.TopLeft(), rcLeft.TopLeft());
    std::vector<CRect> left = ChildRects(dlg);
    for (size_t i = 0; i < before.size(); ++i) {
        CRect rcMoved = before[i];
        rcMoved.OffsetRect(70, 0);
        EXPECT_EQ(rcMoved, left[i]) << i;
    }
    banner.GetWindowRect(&rcBanner);
    dlg.ScreenToClient(&rcBanner);
    dlg.GetClientRect(&rcClient);
    EXPECT_EQ(CRect(0, 0, 70, rcClient.bottom), rcBanner);
    dlg.DestroyWindow();
}

TEST_F(BannerTest, HelpersRefreshTextsAndKeepColumnOrders) {
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_BANNER_TEST));
    // Setting a text again clears an edit's modified flag; a text longer than
    // the helper's buffer is left alone rather than cut.
    struct Case {
        int nLength;
        bool bRefreshed;
    } cases[] = {{5, true}, {1021, true}, {1022, false}, {1500, false}};
    CEdit edit;
    ASSERT_TRUE(edit.SubclassDlgItem(IDC_TEST_EDIT, &dlg));
    edit.LimitText(4000);
    for (const Case& c : cases) {
        for (int nWay = 0; nWay < 2; ++nWay) {
            SCOPED_TRACE(testing::Message() << c.nLength << " way " << nWay);
            CString strText(std::string((size_t)c.nLength, 'x').c_str());
            edit.SetWindowText(strText);
            edit.SetModify(TRUE);
            if (nWay == 0)
                RefreshChildText(edit.m_hWnd, 0);
            else if (c.nLength <= 1021)
                RefreshWindowText(&edit);
            else
                continue;
            EXPECT_EQ(!c.bRefreshed, (bool)edit.GetModify());
            CString strAfter;
            edit.GetWindowText(strAfter);
            EXPECT_EQ(strText, strAfter);
        }
    }
    RefreshWindowText(nullptr);
    EXPECT_TRUE(RefreshChildText(nullptr, 0));  // the enumeration always goes on
    edit.UnsubclassWindow();

    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT, CRect(0, 60, 200, 120), &dlg, 77));
    for (int i = 0; i < 3; ++i)
        list.InsertColumn(i, "Column", LVCFMT_LEFT, 50);
    const int order[3] = {2, 0, 1};
    EXPECT_TRUE(SetListColumnOrder(list.m_hWnd, order, 3));
    int read[3] = {};
    EXPECT_TRUE(GetListColumnOrder(list.m_hWnd, read, 3));
    EXPECT_EQ(std::vector<int>(order, order + 3), std::vector<int>(read, read + 3));
    EXPECT_FALSE(GetListColumnOrder(nullptr, read, 3));
    EXPECT_FALSE(GetListColumnOrder(list.m_hWnd, nullptr, 3));
    EXPECT_FALSE(SetListColumnOrder(dlg.GetDlgItem(IDC_TEST_BUTTON)->m_hWnd, order, 3));  // no header
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), GetButtonFaceColor());
    dlg.DestroyWindow();
}

TEST_F(BannerTest, GradientStripsOnPixels) {
    struct Case {
        bool bFallback;
        UINT nEdge;
        COLORREF cr1, cr2;
        // Colours at the strip's start and end along the gradient.
        COLORREF crStart, crEnd;
    } cases[] = {
        {false, BANNER_EDGE_TOP, 0xFFEBEB, 0xFFC0C0, 0xFFEBEB, 0xFFC0C0},
        {true, BANNER_EDGE_TOP, 0xFFEBEB, 0xFFC0C0, 0xFFEBEB, 0xFFC0C0},
        {false, BANNER_EDGE_TOP, RGB(255, 0, 0), RGB(0, 0, 255), RGB(255, 0, 0), RGB(0, 0, 255)},
        {true, BANNER_EDGE_TOP, RGB(255, 0, 0), RGB(0, 0, 255), RGB(255, 0, 0), RGB(0, 0, 255)},
        {false, BANNER_EDGE_LEFT, RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 0, 255), RGB(255, 0, 0)},
        {true, BANNER_EDGE_LEFT, RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 0, 255), RGB(255, 0, 0)},
        {true, BANNER_EDGE_RIGHT, RGB(255, 0, 0), RGB(0, 0, 255), RGB(255, 0, 0), RGB(0, 0, 255)},
        // Equal colours: a solid strip.
        {false, BANNER_EDGE_TOP, RGB(10, 200, 30), RGB(10, 200, 30), RGB(10, 200, 30), RGB(10, 200, 30)},
    };
    // One dialog serves every case (showing a window is slow under Wine); it grows each time.
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_BANNER_TEST));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bFallback << " edge " << c.nEdge << " " << std::hex << c.cr1);
        CSideBanner plain;
        CFallbackBanner fallback;
        CSideBanner& banner = c.bFallback ? fallback : plain;
        banner.SetTitle("");
        banner.SetCaption("");
        banner.SetBkColor1(c.cr1);
        banner.SetBkColor2(c.cr2);
        banner.SetEdgeColor(RGB(0, 0, 0));
        ASSERT_TRUE(banner.Attach(&dlg, c.nEdge, 7));
        vtest::CWindowSnapshot shot;
        ASSERT_TRUE(shot.Capture(banner.m_hWnd));
        const bool bAcross = c.nEdge == BANNER_EDGE_TOP;
        const int w = shot.Width(), h = shot.Height();
        const CPoint ptStart = bAcross ? CPoint(0, h / 2) : CPoint(w / 2, 0);
        const CPoint ptEnd = bAcross ? CPoint(w - 1, h / 2) : CPoint(w / 2, h - 1);
        EXPECT_TRUE(Near(c.crStart, shot.Pixel(ptStart.x, ptStart.y))) << std::hex << shot.Pixel(ptStart.x, ptStart.y);
        EXPECT_TRUE(Near(c.crEnd, shot.Pixel(ptEnd.x, ptEnd.y))) << std::hex << shot.Pixel(ptEnd.x, ptEnd.y);
        if (c.cr1 == c.cr2)
            EXPECT_EQ(w * (h - 1), shot.CountPixels(c.cr1));
        // The separator runs along the strip's inner side.
        const CPoint ptLine = c.nEdge == BANNER_EDGE_TOP    ? CPoint(w / 2, h - 1)
                              : c.nEdge == BANNER_EDGE_LEFT ? CPoint(w - 1, h / 2)
                                                            : CPoint(0, h / 2);
        EXPECT_EQ(RGB(0, 0, 0), shot.Pixel(ptLine.x, ptLine.y));
        banner.DestroyWindow();
    }
    dlg.DestroyWindow();
}

TEST_F(BannerTest, SolidAndPatternBackgrounds) {
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_BANNER_TEST));
    // An 8 x 8 tile in one colour; the banner uses it without taking it over.
    CClientDC screen(nullptr);
    CBitmap tile;
    ASSERT_TRUE(tile.CreateCompatibleBitmap(&screen, 8, 8));
    {
        CDC dc;
        dc.CreateCompatibleDC(&screen);
        CSelectGuard guard(&dc, &tile);
        dc.FillSolidRect(0, 0, 8, 8, RGB(0, 128, 255));
    }
    struct Case {
        UINT nStyle;
        COLORREF crExpected;
    } cases[] = {
        {BANNER_BK_SOLID, RGB(200, 10, 10)},
        {BANNER_BK_SOLID | BANNER_BK_GRADIENT, RGB(200, 10, 10)},  // solid is tested first
        {BANNER_BK_PATTERN, RGB(0, 128, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nStyle);
        CSideBanner banner;
        banner.SetTitle("");
        banner.SetCaption("");
        banner.SetBackgroundStyle(c.nStyle);
        banner.SetBkColor1(RGB(200, 10, 10));
        banner.SetBkColor2(RGB(10, 10, 200));
        banner.SetBackgroundBitmap((HBITMAP)tile.GetSafeHandle(), FALSE);
        ASSERT_TRUE(banner.Attach(&dlg, BANNER_EDGE_BOTTOM, 8));
        vtest::CWindowSnapshot shot;
        ASSERT_TRUE(shot.Capture(banner.m_hWnd));
        // All but the separator along the top.
        EXPECT_EQ(shot.Width() * (shot.Height() - 1), shot.CountPixels(c.crExpected));
        EXPECT_EQ(RGB(0, 0, 0), shot.Pixel(shot.Width() / 2, 0));
        banner.DestroyWindow();
    }
    EXPECT_EQ((UINT)OBJ_BITMAP, (UINT)::GetObjectType(tile.GetSafeHandle()));
    dlg.DestroyWindow();
}

TEST_F(BannerTest, IconAndTextsSitWhereTheLayoutPutsThem) {
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_BANNER_TEST));
    CSideBanner banner;
    SetupDialogBanner(&banner, &dlg);
    banner.SetBackgroundStyle(BANNER_BK_SOLID);
    banner.SetBkColor1(RGB(255, 255, 255));
    // The test icon: red with a blue diagonal, shown 32 pixels square.
    HICON hIcon = (HICON)::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TEST_FIRST), IMAGE_ICON,
                                      32, 32, 0);
    ASSERT_TRUE(banner.SetIcon(hIcon, BANNER_ICON_BEFORE | BANNER_ICON_CENTRE, TRUE));
    banner.SetTitle("Title");
    banner.SetCaption("");
    vtest::CWindowSnapshot shot;
    ASSERT_TRUE(shot.Capture(banner.m_hWnd));
    // 5 pixels from the left, centred in the 50-pixel strip: x 5..36, y 9..40.
    EXPECT_EQ(RGB(255, 0, 0), shot.Pixel(5, 40));
    EXPECT_EQ(RGB(255, 0, 0), shot.Pixel(36, 9));
    EXPECT_EQ(RGB(255, 255, 255), shot.Pixel(4, 25));
    EXPECT_EQ(RGB(255, 255, 255), shot.Pixel(20, 8));
    EXPECT_EQ(RGB(255, 255, 255), shot.Pixel(20, 41));
    // The title starts 5 pixels after the icon, 3 from the top.
    int nLeftmostText = shot.Width(), nTopText = shot.Height();
    for (int y = 0; y < shot.Height() - 1; ++y)
        for (int x = 37; x < shot.Width(); ++x)
            if (shot.Pixel(x, y) == RGB(0, 0, 0)) {
                nLeftmostText = x < nLeftmostText ? x : nLeftmostText;
                nTopText = y < nTopText ? y : nTopText;
            }
    EXPECT_GE(nLeftmostText, 42);
    EXPECT_LT(nLeftmostText, 50);
    EXPECT_GE(nTopText, 3);
    EXPECT_LT(nTopText, 15);
    dlg.DestroyWindow();
}

// Draws into a 32-bit memory context filled with a sentinel colour.
class CMemoryCanvas {
public:
    CMemoryCanvas(int cx, int cy) {
        CClientDC screen(nullptr);
        m_dc.CreateCompatibleDC(&screen);
        m_bitmap.CreateCompatibleBitmap(&screen, cx, cy);
        m_pOld = m_dc.SelectObject(&m_bitmap)->m_hObject;
        m_dc.FillSolidRect(0, 0, cx, cy, kSentinel);
    }
    ~CMemoryCanvas() { m_dc.SelectObject(m_pOld); }
    CDC m_dc;
    static constexpr COLORREF kSentinel = RGB(1, 2, 3);

private:
    CBitmap m_bitmap;
    HGDIOBJ m_pOld;
};

TEST_F(BannerTest, NoEdgeDrawsNothing) {
    CSideBanner banner;
    banner.SetIcon(::LoadIconA(nullptr, IDI_APPLICATION), BANNER_ICON_BEFORE | BANNER_ICON_CENTRE, FALSE);
    CMemoryCanvas canvas(120, 50);
    banner.DrawContent(&canvas.m_dc, CRect(0, 0, 120, 50));
    banner.DrawEdgeLine(&canvas.m_dc, CRect(0, 0, 120, 50));
    for (int y = 0; y < 50; y += 3)
        for (int x = 0; x < 120; x += 3)
            ASSERT_EQ(CMemoryCanvas::kSentinel, canvas.m_dc.GetPixel(x, y)) << x << "," << y;
}

TEST_F(BannerTest, OwnedIconsAndBitmapsAreReleasedOnceOthersNever) {
    auto MakeIcon = []() { return ::CopyIcon(::LoadIconA(nullptr, IDI_APPLICATION)); };
    auto Alive = [](HICON h) {
        ICONINFO info{};
        if (!::GetIconInfo(h, &info))
            return false;
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        return true;
    };
    struct Case {
        BOOL bOwn;
        bool bGoneWhenReplaced;
    } cases[] = {{TRUE, true}, {FALSE, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bOwn);
        HICON hFirst = MakeIcon(), hSecond = MakeIcon();
        {
            CSideBanner banner;
            EXPECT_TRUE(banner.SetIcon(hFirst, 5, c.bOwn));
            EXPECT_TRUE(banner.SetIcon(hFirst, 5, c.bOwn));  // the same icon again stays alive
            EXPECT_TRUE(Alive(hFirst));
            EXPECT_TRUE(banner.SetIcon(hSecond, 5, c.bOwn));
            EXPECT_EQ(!c.bGoneWhenReplaced, Alive(hFirst));
            EXPECT_TRUE(Alive(hSecond));
        }
        EXPECT_EQ(!c.bGoneWhenReplaced, Alive(hSecond));
        if (!c.bOwn) {
            ::DestroyIcon(hFirst);
            ::DestroyIcon(hSecond);
        }
        HBITMAP hBitmap = ::CreateBitmap(8, 8, 1, 32, nullptr);
        {
            CSideBanner banner;
            banner.SetBackgroundBitmap(hBitmap, c.bOwn);
        }
        EXPECT_EQ(c.bOwn ? 0u : (UINT)OBJ_BITMAP, (UINT)::GetObjectType(hBitmap));
        if (!c.bOwn)
            ::DeleteObject(hBitmap);
    }
}

TEST_F(BannerTest, MemoryContextReachesTheTargetOnlyAtTheEnd) {
    CMemoryCanvas canvas(40, 30);
    const CRect rcArea(10, 5, 30, 25);
    {
        CMemDC mem(&canvas.m_dc, &rcArea);
        EXPECT_TRUE(mem.IsMemory());
        mem.FillSolidRect(10, 5, 20, 20, RGB(0, 255, 0));  // the caller's own coordinates
        mem.SetPixel(29, 24, RGB(255, 0, 0));
        EXPECT_EQ(CMemoryCanvas::kSentinel, canvas.m_dc.GetPixel(15, 10));
    }
    EXPECT_EQ(RGB(0, 255, 0), canvas.m_dc.GetPixel(10, 5));
    EXPECT_EQ(RGB(255, 0, 0), canvas.m_dc.GetPixel(29, 24));
    EXPECT_EQ(CMemoryCanvas::kSentinel, canvas.m_dc.GetPixel(9, 5));    // outside the area
    EXPECT_EQ(CMemoryCanvas::kSentinel, canvas.m_dc.GetPixel(30, 24));

    // A printing target is drawn on directly, and its handles stay its own.
    canvas.m_dc.m_bPrinting = TRUE;
    {
        CMemDC mem(&canvas.m_dc, &rcArea);
        EXPECT_FALSE(mem.IsMemory());
        mem.SetPixel(12, 7, RGB(0, 0, 255));
        EXPECT_EQ(RGB(0, 0, 255), canvas.m_dc.GetPixel(12, 7));
    }
    canvas.m_dc.m_bPrinting = FALSE;
    EXPECT_EQ(RGB(0, 0, 255), canvas.m_dc.GetPixel(12, 7));  // the target's DC still works
}

TEST_F(BannerTest, FillingMemoryContexts) {
    CMemoryCanvas canvas(40, 30);
    canvas.m_dc.SetBkColor(RGB(0, 0, 200));
    {
        // The clip box, 10 pixels narrower, filled with the background colour.
        CFillMemDC mem(&canvas.m_dc, 10);
        EXPECT_EQ(CRect(0, 0, 30, 30), mem.GetArea());
    }
    EXPECT_EQ(RGB(0, 0, 200), canvas.m_dc.GetPixel(29, 29));
    EXPECT_EQ(CMemoryCanvas::kSentinel, canvas.m_dc.GetPixel(30, 0));
    {
        // Starting from the target's pixels, a mark lands among them.
        const CRect rc(0, 0, 40, 30);
        CFillMemDC mem(&canvas.m_dc, &rc, TRUE, FALSE);
        mem.SetPixel(35, 2, RGB(255, 255, 0));
    }
    EXPECT_EQ(RGB(0, 0, 200), canvas.m_dc.GetPixel(5, 5));
    EXPECT_EQ(CMemoryCanvas::kSentinel, canvas.m_dc.GetPixel(35, 20));
    EXPECT_EQ(RGB(255, 255, 0), canvas.m_dc.GetPixel(35, 2));
}

}  // namespace
