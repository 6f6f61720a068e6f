// The menu library's utilities: version codes, colour arithmetic, gradients,
// free timers, bitmap headers, run-time bound functions and menu brushes.
#include <gtest/gtest.h>

#include "afx/afxwin.h"
#include "menus/menustyles.h"
#include "menus/menuutil.h"
#include "menus/styledmenu.h"

namespace {

TEST(MenuUtil, VersionCodes) {
    const struct {
        BOOL bNT;
        DWORD dwMajor;
        DWORD dwMinor;
        int nCode;
    } cases[] = {{TRUE, 5, 1, 7}, {TRUE, 6, 1, 7}, {TRUE, 5, 0, 6}, {TRUE, 4, 0, 5}, {TRUE, 3, 51, 1},
                 {FALSE, 4, 90, 4}, {FALSE, 4, 10, 3}, {FALSE, 4, 0, 2}, {FALSE, 3, 10, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.nCode, MapWinVersion(c.bNT, c.dwMajor, c.dwMinor)) << c.dwMajor << "." << c.dwMinor;
}

TEST(MenuUtil, LastErrorBoxShowsTheSystemTextOrTheCode) {
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    ::SetLastError(0);
    ShowLastError();
    EXPECT_EQ(0, seams.CountCalls("MessageBox"));
    ::SetLastError(ERROR_ACCESS_DENIED);
    ShowLastError();
    ::SetLastError(0x20001234);  // a code the system has no text for
    ShowLastError();
    ASSERT_EQ(2, seams.CountCalls("MessageBox"));
    EXPECT_NE(std::string::npos, seams.m_calls[0].find("\"Error\""));
    EXPECT_EQ(std::string::npos, seams.m_calls[0].find("not found"));
    EXPECT_NE(std::string::npos, seams.m_calls[1].find("Error message 0x20001234 not found"));
}

TEST(MenuUtil, ColourArithmeticRoundsPerChannel) {
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF black = RGB(0, 0, 0);
    const struct {
        COLORREF clrGot;
        COLORREF clrExpected;
        const char* pszWhat;
    } cases[] = {
        {DarkenColour(50, white), RGB(205, 205, 205), "darken 50"},
        {DarkenColour(300, white), black, "darken past 255"},
        {DarkenColour(-5, RGB(10, 20, 30)), RGB(10, 20, 30), "darken below 0"},
        {ShadowColour(white), RGB(179, 179, 217), "shadow"},
        {ShadowColour(black), RGB(0, 0, 39), "shadow of black"},
        {MixColour86(white, black), RGB(219, 219, 219), "mix 86"},
        {MixColour86(black, white), RGB(36, 36, 36), "mix 14"},
        {MixColour86(white, white), white, "mix stays in 8 bits"},
        {MixColour70(white, black), RGB(179, 179, 179), "mix 70"},
        {MixColour70(black, white), RGB(77, 77, 77), "mix 30"},
        {LightenColour(100, black), RGB(100, 100, 100), "lighten"},
        {LightenColour(110, RGB(0, 128, 255)), RGB(110, 183, 255), "lighten per channel"},
        {GreyColour(RGB(30, 60, 90)), RGB(60, 60, 60), "grey"},
        {AddToColour(20, RGB(250, 0, 100)), RGB(255, 20, 120), "add, capped"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.clrExpected, c.clrGot) << c.pszWhat;
    EXPECT_TRUE(IsLightColour(RGB(128, 128, 129)));
    EXPECT_FALSE(IsLightColour(RGB(128, 128, 128)));
}

TEST(MenuUtil, BitmapColourCounts) {
    const struct {
        WORD nBits;
        DWORD dwUsed;
        UINT nColours;
    } cases[] = {{24, 0, 0}, {32, 0, 0}, {8, 0, 256}, {4, 0, 16}, {1, 0, 2}, {8, 17, 17}};
    for (const auto& c : cases) {
        BITMAPINFOHEADER header{};
        header.biBitCount = c.nBits;
        header.biClrUsed = c.dwUsed;
        EXPECT_EQ(c.nColours, GetBitmapColourCount(header)) << c.nBits;
    }
}

// A 32-bit DIB of one row (horizontal) to read a gradient back.
COLORREF GradientPixel(int nLength, int x, bool bFallback, COLORREF clrFrom, COLORREF clrTo) {
    PFN_GRADIENTFILL pfnSaved = g_menuLib.pfnGradientFill;
    if (bFallback)
        g_menuLib.pfnGradientFill = nullptr;
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = 16;
    bmi.bmiHeader.biHeight = 4;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    CBitmap bmp;
    bmp.Attach(::CreateDIBSection(dc.m_hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0));
    CSelectGuard guard(&dc, &bmp);
    dc.FillSolidRect(CRect(0, 0, 16, 4), RGB(1, 2, 3));
    DrawGradient(&dc, CRect(0, 0, nLength, 4), clrFrom, clrTo, TRUE, FALSE);
    g_menuLib.pfnGradientFill = pfnSaved;
    return dc.GetPixel(x, 1);
}

TEST(MenuUtil, GradientsOfAnyLengthNeverDivideByZero) {
    const COLORREF red = RGB(200, 0, 0);
    const COLORREF blue = RGB(0, 0, 200);
    const COLORREF untouched = RGB(1, 2, 3);
    const struct {
        int nLength;
        int x;
        COLORREF clr;
    } cases[] = {
        {0, 0, untouched}, {1, 0, blue}, {1, 1, untouched}, {2, 0, red}, {2, 1, red},
        {3, 0, red},       {3, 2, blue}, {10, 0, red},      {10, 9, blue}, {10, 4, RGB(100, 0, 100)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.clr, GradientPixel(c.nLength, c.x, true, red, blue)) << c.nLength << " " << c.x;
    // Through GradientFill the ends are the two colours.
    ASSERT_NE(nullptr, g_menuLib.pfnGradientFill);
    EXPECT_EQ(red, GradientPixel(10, 0, false, red, blue));
    COLORREF clrEnd = GradientPixel(10, 9, false, red, blue);
    EXPECT_LE(GetRValue(clrEnd), 20);
    EXPECT_GE(GetBValue(clrEnd), 180);
    EXPECT_EQ(untouched, GradientPixel(0, 0, false, red, blue));
}

TEST(MenuUtil, FreeTimersNeverReuseAnIdInUseAndGiveUp) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "timers", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(31u, SetFreeTimer(wnd.m_hWnd, 1000));
    EXPECT_EQ(32u, SetFreeTimer(wnd.m_hWnd, 1000));
    EXPECT_EQ(33u, SetFreeTimer(wnd.m_hWnd, 1000));
    EXPECT_TRUE(KillFreeTimer(wnd.m_hWnd, 32));
    EXPECT_EQ(32u, SetFreeTimer(wnd.m_hWnd, 1000));
    for (UINT_PTR nID = 34; nID <= 99; ++nID)
        ASSERT_EQ(nID, SetFreeTimer(wnd.m_hWnd, 1000));
    EXPECT_EQ(0u, SetFreeTimer(wnd.m_hWnd, 1000));  // all 69 ids in use
    EXPECT_EQ(0u, SetFreeTimer(nullptr, 1000));
    HWND hGone = wnd.m_hWnd;
    wnd.DestroyWindow();
    EXPECT_EQ(0u, SetFreeTimer(hGone, 1000));
    // A new window may get the old handle: it starts with every id free again.
    CWnd again;
    ASSERT_TRUE(again.CreateEx(0, nullptr, "timers", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(31u, SetFreeTimer(again.m_hWnd, 1000));
}

TEST(MenuUtil, DynamicFunctionsAndMenuInformation) {
    CDynamicFunction missingLibrary("no-such-library.dll", "GetMenuInfo");
    EXPECT_EQ(nullptr, missingLibrary.m_hModule);
    EXPECT_EQ(nullptr, missingLibrary.m_pfn);
    CDynamicFunction missingFunction("user32.dll", "NoSuchFunctionAnywhere");
    EXPECT_NE(nullptr, missingFunction.m_hModule);
    EXPECT_EQ(nullptr, missingFunction.m_pfn);
    CDynamicFunction present("user32.dll", "GetMenuInfo");
    EXPECT_NE(nullptr, present.m_pfn);

    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    CBrush brush(RGB(10, 20, 30));
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = (HBRUSH)brush.m_hObject;
    ASSERT_TRUE(SetMenuInfoLate(menu.m_hMenu, &info));
    MENUINFO back{};
    back.cbSize = sizeof(back);
    back.fMask = MIM_BACKGROUND;
    ASSERT_TRUE(GetMenuInfoLate(menu.m_hMenu, &back));
    EXPECT_EQ(info.hbrBack, back.hbrBack);
    EXPECT_EQ(RGB(10, 20, 30), GetMenuBkColor(menu.m_hMenu));
    EXPECT_EQ(RGB(10, 20, 30), GetMenuBkColorThemed(menu.m_hMenu));
    info.hbrBack = nullptr;
    SetMenuInfoLate(menu.m_hMenu, &info);
}

TEST(MenuUtil, MenuBrushesAndTheMenuBarBrushCache) {
    const long nGdi = AfxGetLiveGdiObjectCount();
    {
        CMenuBrush gradient(CMenuBrush::kindGradient, RGB(100, 150, 200));
        EXPECT_NE(nullptr, gradient.m_hObject);
        EXPECT_EQ(20, gradient.m_sizePattern.cy);
        EXPECT_EQ(0, gradient.m_sizePattern.cx % 8);
        EXPECT_GE(gradient.m_sizePattern.cx, ::GetSystemMetrics(SM_CXFULLSCREEN));
        CMenuBrush solid(CMenuBrush::kindSolid, RGB(1, 2, 3));
        LOGBRUSH lb{};
        solid.GetLogBrush(&lb);
        EXPECT_EQ((UINT)BS_SOLID, lb.lbStyle);
        EXPECT_EQ(RGB(1, 2, 3), lb.lbColor);
    }
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());

    const struct {
        int nStyle;
        int nKind;  // 0: no brush
    } cases[] = {{2, CMenuBrush::kindSolid}, {3, CMenuBrush::kindSolid}, {8, CMenuBrush::kindGradient},
                 {0, 0}, {6, 0}};
    for (const auto& c : cases) {
        int nOld = CStyledMenu::SetMenuDrawMode(c.nStyle);
        CMenuBrush* pBrush = GetMenuBarBrush();
        if (c.nKind == 0) {
            EXPECT_EQ(nullptr, pBrush) << c.nStyle;
        } else {
            ASSERT_NE(nullptr, pBrush) << c.nStyle;
            EXPECT_EQ(c.nKind, pBrush->m_nKind);
            EXPECT_EQ(c.nKind == CMenuBrush::kindSolid ? ::GetSysColor(COLOR_3DFACE) : GetMenuBarColor2003(),
                      pBrush->m_clr);
            EXPECT_EQ(pBrush, GetMenuBarBrush());  // cached
        }
        CStyledMenu::SetMenuDrawMode(nOld);
    }
    // The bar brush goes to a styled menu; its colour reads back through the cache.
    CStyledMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    CStyledMenu::ApplyMenuBarBrush(bar.m_hMenu);
    EXPECT_EQ(::GetSysColor(COLOR_3DFACE), GetMenuBkColor(bar.m_hMenu));
}

}  // namespace
