// Measuring and drawing of menu items in the ten styles: sizes from the
// formulas of each style, pixels of items drawn straight into a memory DC
// with hand-made DRAWITEMSTRUCTs, and no GDI object left behind.
#include <gtest/gtest.h>

#include <cstdlib>

#include "afx/afxwin.h"
#include "menus/menustyles.h"
#include "menus/menuutil.h"
#include "menus/styledmenu.h"
#include "menus_test_util.h"

namespace {

COLORREF Sys(int n) { return ::GetSysColor(n); }

using mtest::CCanvas;

bool Near(COLORREF a, COLORREF b, int nTolerance) {
    return std::abs((int)GetRValue(a) - GetRValue(b)) <= nTolerance &&
           std::abs((int)GetGValue(a) - GetGValue(b)) <= nTolerance &&
           std::abs((int)GetBValue(a) - GetBValue(b)) <= nTolerance;
}

// Sets a style for one scope.
struct CStyleScope {
    int m_nOld;
    explicit CStyleScope(int nStyle) : m_nOld(CStyledMenu::SetMenuDrawMode(nStyle)) {}
    ~CStyleScope() { CStyledMenu::SetMenuDrawMode(m_nOld); }
};

void DrawItem(CStyledMenu& menu, int nPos, UINT nState, HDC hDC, const RECT& rc) {
    const CStyledMenuItemData* pData = menu.GetItemRecord(nPos);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = (UINT)pData->m_nID;
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = nState;
    dis.hwndItem = (HWND)menu.m_hMenu;
    dis.hDC = hDC;
    dis.rcItem = rc;
    dis.itemData = (ULONG_PTR)pData;
    menu.DrawItem(&dis);
}

MEASUREITEMSTRUCT Measure(CStyledMenu& menu, int nPos) {
    const CStyledMenuItemData* pData = menu.GetItemRecord(nPos);
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, (UINT)pData->m_nID, 0, 0, (ULONG_PTR)pData};
    menu.MeasureItem(&mis);
    return mis;
}

CSize TextSize(const char* psz, BOOL bBold = FALSE, const LOGFONT* pLogFont = nullptr) {
    CClientDC dc(nullptr);
    CFont font;
    if (pLogFont != nullptr)
        font.CreateFontIndirect(pLogFont);
    else
        GetMenuFont(font, bBold);
    CSelectGuard guard(&dc, &font);
    return dc.GetTextExtent(psz, (int)strlen(psz));
}

TEST(MenuMeasure, SizesFollowTheFormulaOfEachStyle) {
    CStyledMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem("Open\tCtrl+O", 0, 100);
    menu.AppendItem("", MF_SEPARATOR, 0);
    menu.AppendItem("Close", 0, SC_CLOSE);
    menu.AppendItem("A much longer command text", 0, 101);
    menu.AppendItem("Default", 0, 102);
    ::SetMenuDefaultItem(menu.m_hMenu, 102, FALSE);
    const int nCyMenu = ::GetSystemMetrics(SM_CYMENU);
    const CSize tabbed = TextSize("Open\tCtrl+O");
    const CSize replaced = TextSize("OpennnnCtrl+O");
    const CSize bold = TextSize("Default", TRUE);
    for (CSize icon : {CSize(16, 15), CSize(24, 24)}) {
        menu.SetIconSize(icon.cx, icon.cy);
        const struct {
            int nStyle;
            int nWidth;       // of "Open\tCtrl+O"
            int nThreshold;   // the height rule
            int nShortHeight; // the height when SM_CYMENU is at most the threshold
        } cases[] = {
            {2, icon.cx + (int)replaced.cx + 6 + nCyMenu / 2, icon.cy + 8, icon.cy + 7},
            {3, icon.cx + (int)replaced.cx + 6 + nCyMenu / 2, icon.cy + 8, icon.cy + 7},
            {8, icon.cx + (int)replaced.cx + 6 + nCyMenu / 2, icon.cy + 8, icon.cy + 7},
            {0, (int)tabbed.cx + 2 * icon.cx + 2, icon.cy + 4, icon.cy + 4},
            {5, (int)tabbed.cx + 2 * icon.cx + 2, icon.cy + 4, icon.cy + 4},
            {6, (int)replaced.cx + 2 * icon.cx + 2, icon.cy + 6, icon.cy + 6},
        };
        for (const auto& c : cases) {
            CStyleScope scope(c.nStyle);
            MEASUREITEMSTRUCT mis = Measure(menu, 0);
            EXPECT_EQ((UINT)c.nWidth, mis.itemWidth) << c.nStyle;
            int nHeight = nCyMenu <= c.nThreshold ? c.nShortHeight : nCyMenu;
            EXPECT_EQ((UINT)std::max<int>(nHeight, tabbed.cy), mis.itemHeight) << c.nStyle;
            mis = Measure(menu, 1);
            EXPECT_EQ(3u, mis.itemWidth);
            EXPECT_EQ(3u, mis.itemHeight);
            // The system command is as wide as the next command item.
            MEASUREITEMSTRUCT misClose = Measure(menu, 2);
            EXPECT_EQ(Measure(menu, 3).itemWidth, misClose.itemWidth) << c.nStyle;
            EXPECT_EQ((UINT)nCyMenu, misClose.itemHeight);
            // The default item is measured in the bold menu font.
            MEASUREITEMSTRUCT misDefault = Measure(menu, 4);
            const int nBoldWidth =
                c.nStyle == 0 || c.nStyle == 5 || c.nStyle == 6 ? (int)bold.cx + 2 * icon.cx + 2
                                                               : icon.cx + (int)bold.cx + 6 + nCyMenu / 2;
            EXPECT_EQ((UINT)nBoldWidth, misDefault.itemWidth) << c.nStyle;
        }
    }
}

TEST(MenuMeasure, TitlesAndMenuBarItems) {
    LOGFONT lf;
    CStyledMenu::GetTitleFont(&lf);
    const CSize title = TextSize("Veltran Clock", FALSE, &lf);
    const int nCheck = ::GetSystemMetrics(SM_CXMENUCHECK);
    const struct {
        DWORD dwFlags;
        int nWidth;
        int nHeight;
    } cases[] = {
        {0x22, (int)title.cy - nCheck + 4, 0},
        {0x12, (int)title.cy - nCheck + 8, 0},
        {0x02, (int)title.cy - nCheck, 0},
        {0x10, (int)title.cx, (int)title.cy + 8},
        {0x00, (int)title.cx, (int)title.cy},
    };
    for (const auto& c : cases) {
        CStyledMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        menu.AppendItem("a", 0, 1);
        menu.AppendItem("b", 0, 2);
        ASSERT_TRUE(menu.SetMenuTitle("Veltran Clock", c.dwFlags));
        for (int nStyle : {0, 2, 6}) {
            CStyleScope scope(nStyle);
            MEASUREITEMSTRUCT mis = Measure(menu, 0);
            EXPECT_EQ((UINT)std::max(c.nWidth, 0), mis.itemWidth) << c.dwFlags;
            EXPECT_EQ((UINT)c.nHeight, mis.itemHeight) << c.dwFlags;
        }
    }
    // A menu-bar item: its text, less what the mnemonic's "&" measured.
    CStyledMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    bar.SetPopupMenu(FALSE);
    CStyledMenu* pFile = bar.AppendPopup("&File");
    ASSERT_NE(nullptr, pFile);
    const CSize file = TextSize("&File");
    const struct {
        int nStyle;
        int nLess;
    } bars[] = {{2, 6}, {0, nCheck / 2}, {6, nCheck / 2}};
    for (const auto& b : bars) {
        CStyleScope scope(b.nStyle);
        MEASUREITEMSTRUCT mis{ODT_MENU, 0, (UINT)(UINT_PTR)pFile->m_hMenu, 0, 0, (ULONG_PTR)bar.GetItemRecord(0)};
        pFile->MeasureItem(&mis);  // Windows asks the sub-menu's object for its popup item
        EXPECT_EQ((UINT)(file.cx - b.nLess), mis.itemWidth) << b.nStyle;
    }
}

// The title font is the library's: either setter changes what every title is measured with.
TEST(MenuMeasure, TitleFontSettersChangeTheTitlesFont) {
    struct CTitleFontScope {
        LOGFONT m_lf;
        CTitleFontScope() { CStyledMenu::GetTitleFont(&m_lf); }
        ~CTitleFontScope() { CStyledMenu::SetTitleFont(&m_lf); }
    } scope;
    const long nGdi = AfxGetLiveGdiObjectCount();
    {
        CStyledMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        menu.AppendItem("a", 0, 1);
        menu.AppendItem("b", 0, 2);
        ASSERT_TRUE(menu.SetMenuTitle("Veltran Clock", 0));  // horizontal: as wide as its text
        LOGFONT lfBig = scope.m_lf;
        lfBig.lfHeight = 30;
        CStyledMenu::SetTitleFont(&lfBig);
        LOGFONT lf;
        CStyledMenu::GetTitleFont(&lf);
        EXPECT_EQ(30, lf.lfHeight);
        EXPECT_EQ((UINT)TextSize("Veltran Clock", FALSE, &lfBig).cx, Measure(menu, 0).itemWidth);
        LOGFONT lfSmall = scope.m_lf;
        lfSmall.lfHeight = 10;
        lstrcpynA(lfSmall.lfFaceName, "Courier New", LF_FACESIZE);
        CFont font;
        ASSERT_TRUE(font.CreateFontIndirect(&lfSmall));
        CStyledMenu::SetTitleFont(&font);
        CStyledMenu::GetTitleFont(&lf);
        EXPECT_EQ(10, lf.lfHeight);
        EXPECT_STREQ("Courier New", lf.lfFaceName);
        EXPECT_EQ((UINT)TextSize("Veltran Clock", FALSE, &lfSmall).cx, Measure(menu, 0).itemWidth);
        // Nothing given: nothing changes.
        CStyledMenu::SetTitleFont((const LOGFONT*)nullptr);
        CStyledMenu::SetTitleFont((CFont*)nullptr);
        CFont empty;
        CStyledMenu::SetTitleFont(&empty);
        CStyledMenu::GetTitleFont(&lf);
        EXPECT_EQ(10, lf.lfHeight);
    }
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}

// --- drawing -----------------------------------------------------------------

class MenuDraw : public ::testing::Test {
protected:
    void SetUp() override {
        const COLORREF colours[] = {RGB(0, 0, 255)};
        ASSERT_TRUE(mtest::MakeIconList(m_list, 16, 16, colours, 1));
        ASSERT_TRUE(m_menu.CreatePopupMenu());
        m_menu.AppendItem("Open\tCtrl+O", 0, 100);
        m_menu.AppendItem("", MF_SEPARATOR, 0);
        m_menu.AppendItemFromImageList("Icon", 0, 101, &m_list, 0);
        m_menu.AppendItem("Plain", 0, 102);
        m_nOldIconStyle = CStyledMenu::SetDisabledIconStyle(1);
    }
    void TearDown() override { CStyledMenu::SetDisabledIconStyle(m_nOldIconStyle); }

    static const int W = 200;
    static const int H = 24;
    CImageList m_list;
    CStyledMenu m_menu;
    int m_nOldIconStyle = 1;
    const RECT m_rc = {0, 0, W, H};
};

TEST_F(MenuDraw, FlatStyleColoursOfBackgroundSelectionCheckBoxAndIcons) {
    const COLORREF clrWindow = Sys(COLOR_WINDOW);
    const COLORREF clrMenu = GetMenuBkColor(m_menu.m_hMenu);
    const COLORREF clrBack = MixColour86(clrWindow, clrMenu);
    const COLORREF clrColumn = MixColour86(clrMenu, clrWindow);
    const COLORREF clrSelect = GetSelectionColour();
    const COLORREF clrPen = Sys(COLOR_HIGHLIGHT);
    const int nIconTop = (H - 16) / 2;
    const COLORREF clrBlue = RGB(0, 0, 255);
    const COLORREF clrGreyed = MixColour86(LightenColour(100, GreyColour(clrBlue)), GetMenuBkColorThemed(nullptr));
    const struct {
        int nPos;
        UINT nState;
        int x;
        int y;
        COLORREF clr;
        const char* pszWhat;
    } cases[] = {
        {0, 0, 2, H / 2, clrColumn, "icon column"},
        {0, 0, W - 3, 2, clrBack, "item background"},
        {0, ODS_SELECTED, W - 3, H / 2, clrSelect, "selection fill"},
        {0, ODS_SELECTED, 0, 0, clrPen, "selection frame"},
        {0, ODS_HOTLIGHT, W - 1, H - 1, clrPen, "hot item framed"},
        {3, ODS_CHECKED, 1, 1, clrPen, "check box frame"},
        {3, ODS_CHECKED, 3, 3, MixColour86(clrColumn, clrPen), "check box fill"},
        {3, ODS_CHECKED | ODS_SELECTED, 3, 3, MixColour86(clrSelect, clrPen), "selected check box fill"},
        {1, 0, W - 3, H / 2, Sys(COLOR_GRAYTEXT), "separator line"},
        {1, 0, W - 3, H / 2 - 1, clrBack, "beside the separator line"},
        {2, ODS_SELECTED, 3 + 1 + 14, nIconTop + 1 + 14, ShadowColour(clrSelect), "icon shadow"},
        {2, ODS_SELECTED, 3 - 1 + 5, nIconTop - 1 + 5, clrBlue, "icon lifted"},
        {2, 0, 3 + 5, nIconTop + 5, DarkenColour(50, clrBlue), "darkened icon"},
        {2, ODS_GRAYED, 3 + 5, nIconTop + 5, clrGreyed, "greyed icon"},
        {2, ODS_CHECKED, 1, 1, clrPen, "checked icon in a box"},
    };
    for (int nStyle : {2, 3}) {
        CStyleScope scope(nStyle);
        for (const auto& c : cases) {
            CCanvas canvas(W, H);
            DrawItem(m_menu, c.nPos, c.nState, canvas.m_hDC, m_rc);
            EXPECT_TRUE(Near(c.clr, canvas.Pixel(c.x, c.y), 1))
                << nStyle << " " << c.pszWhat << ": " << std::hex << canvas.Pixel(c.x, c.y) << " not " << c.clr;
        }
    }
    // With the disabled-icon style 0 a disabled icon is a silhouette.
    CStyledMenu::SetDisabledIconStyle(0);
    CCanvas canvas(W, H);
    DrawItem(m_menu, 2, ODS_GRAYED, canvas.m_hDC, m_rc);
    EXPECT_TRUE(Near(DarkenColour(70, clrColumn), canvas.Pixel(3 + 5, nIconTop + 5), 1));
}

TEST_F(MenuDraw, DisabledItemIsFramedOnlyWhenSelectedByTheKeyboard) {
    const int nOld = CStyledMenu::SetSelectDisableMode(0);
    const COLORREF clrBack = MixColour86(Sys(COLOR_WINDOW), GetMenuBkColor(m_menu.m_hMenu));
    SetLastKeyDownPos(::GetMessagePos() + 1);  // the mouse moved since
    CCanvas first(W, H);
    DrawItem(m_menu, 3, ODS_SELECTED | ODS_GRAYED, first.m_hDC, m_rc);
    EXPECT_EQ(clrBack, first.Pixel(W - 3, H / 2));
    EXPECT_EQ(clrBack, first.Pixel(0, 0));
    // Same position again: the selection came from the keyboard, so only a frame.
    CCanvas second(W, H);
    DrawItem(m_menu, 3, ODS_SELECTED | ODS_GRAYED, second.m_hDC, m_rc);
    EXPECT_EQ(clrBack, second.Pixel(W - 3, H / 2));
    EXPECT_EQ(Sys(COLOR_HIGHLIGHT), second.Pixel(0, 0));
    CStyledMenu::SetSelectDisableMode(nOld);
}

TEST_F(MenuDraw, GradientStyleEndsAndFills) {
    const COLORREF clrWindow8 = DarkenColour(10, Sys(COLOR_WINDOW));
    const COLORREF clrBack8 = MixColour86(clrWindow8, GetMenuBkColor(nullptr));
    const COLORREF clrColumn8 = GetMenuBarColor2003();
    const int nColumn = m_menu.GetIconSize().cx + 8;
    for (int nStyle : {8, 9}) {
        CStyleScope scope(nStyle);
        CCanvas normal(W, H);
        DrawItem(m_menu, 3, 0, normal.m_hDC, m_rc);
        EXPECT_TRUE(Near(clrBack8, normal.Pixel(0, H / 2), 2)) << std::hex << normal.Pixel(0, H / 2);
        EXPECT_TRUE(Near(clrColumn8, normal.Pixel(nColumn - 1, H / 2), 8)) << std::hex << normal.Pixel(nColumn - 1, H / 2);
        EXPECT_EQ(clrBack8, normal.Pixel(W - 3, 2));
        CCanvas selected(W, H);
        DrawItem(m_menu, 3, ODS_SELECTED, selected.m_hDC, m_rc);
        EXPECT_EQ((COLORREF)0xC2EEFF, selected.Pixel(W - 3, H / 2));
        CCanvas checked(W, H);
        DrawItem(m_menu, 3, ODS_CHECKED, checked.m_hDC, m_rc);
        EXPECT_EQ((COLORREF)0x6FC0FF, checked.Pixel(3, 3));
        CCanvas both(W, H);
        DrawItem(m_menu, 3, ODS_CHECKED | ODS_SELECTED, both.m_hDC, m_rc);
        EXPECT_EQ((COLORREF)0x3E80FE, both.Pixel(3, 3));
    }
}

TEST_F(MenuDraw, ClassicAndGradientLooks) {
    const int nIcon = m_menu.GetIconSize().cx;
    const COLORREF clrMenu6 = GetMenuBkColor(nullptr);
    for (int nStyle : {0, 1, 4, 5}) {
        CStyleScope scope(nStyle);
        const struct {
            int nPos;
            UINT nState;
            int x;
            COLORREF clr;
        } cases[] = {
            {3, 0, W - 3, Sys(COLOR_MENU)},
            {3, ODS_SELECTED, 2, Sys(COLOR_HIGHLIGHT)},
            {2, ODS_SELECTED, nIcon + 4, Sys(COLOR_MENU)},  // the selection starts after the icon
            {2, ODS_SELECTED, nIcon + 10, Sys(COLOR_HIGHLIGHT)},
        };
        for (const auto& c : cases) {
            CCanvas canvas(W, H);
            DrawItem(m_menu, c.nPos, c.nState, canvas.m_hDC, m_rc);
            EXPECT_EQ(c.clr, canvas.Pixel(c.x, 2)) << nStyle << " " << c.nPos << " " << c.x;
        }
    }
    for (int nStyle : {6, 7}) {
        CStyleScope scope(nStyle);
        CCanvas canvas(W, H);
        DrawItem(m_menu, 3, ODS_SELECTED, canvas.m_hDC, m_rc);
        EXPECT_EQ(Sys(COLOR_3DHILIGHT), canvas.Pixel(1, 0));
        EXPECT_EQ(Sys(COLOR_BTNSHADOW), canvas.Pixel(W - 1, H - 1));
        EXPECT_TRUE(Near(DarkenColour(30, clrMenu6), canvas.Pixel(W - 3, 1), 6)) << std::hex << canvas.Pixel(W - 3, 1);
        EXPECT_TRUE(Near(LightenColour(30, clrMenu6), canvas.Pixel(W - 3, H - 2), 6))
            << std::hex << canvas.Pixel(W - 3, H - 2);
        CCanvas normal(W, H);
        DrawItem(m_menu, 3, 0, normal.m_hDC, m_rc);
        EXPECT_EQ(clrMenu6, normal.Pixel(W - 3, 2));
    }
}

TEST_F(MenuDraw, TitleAndMenuBarItems) {
    // The side title of the tray menu: a rounded caption-coloured bar over the popup's height.
    CStyledMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem("a", 0, 1);
    menu.AppendItem("b", 0, 2);
    ASSERT_TRUE(menu.SetMenuTitle("Veltran Clock", 0x22));
    LOGFONT lf;
    CStyledMenu::GetTitleFont(&lf);
    const int nBar = 4 + (int)TextSize("Veltran Clock", FALSE, &lf).cy;
    for (int nStyle = 0; nStyle <= 9; ++nStyle) {
        CStyleScope scope(nStyle);
        CCanvas canvas(60, 240);
        const RECT rcTitle = {0, 0, 10, 20};
        DrawItem(menu, 0, 0, canvas.m_hDC, rcTitle);
        EXPECT_EQ(Sys(COLOR_ACTIVECAPTION), canvas.Pixel(1, 20)) << nStyle;
        EXPECT_EQ(Sys(COLOR_ACTIVECAPTION), canvas.Pixel(1, 225)) << nStyle;  // down to the popup's bottom
        EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(nBar + 2, 100)) << nStyle;            // nothing beyond the bar
    }
    // An open menu-bar item of the flat style casts a shadow along its right edge.
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
    CStyledMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    bar.SetPopupMenu(FALSE);
    CStyledMenu* pFile = bar.AppendPopup("&File");
    const COLORREF clrMenu = GetMenuBkColor(bar.m_hMenu);
    {
        CStyleScope scope(2);
        CCanvas hot(W, H);
        DrawItem(bar, 0, ODS_SELECTED, hot.m_hDC, m_rc);  // no popup open: drawn as hot
        EXPECT_EQ(GetSelectionColour(), hot.Pixel(W / 2, 2));
        CStyledMenu::OnInitMenuPopup(wnd.m_hWnd, pFile, 0, FALSE);
        CCanvas open(W, H);
        DrawItem(bar, 0, ODS_SELECTED, open.m_hDC, m_rc);
        EXPECT_EQ(DarkenColour(30, clrMenu), open.Pixel(W - 1, 12));
        EXPECT_EQ(DarkenColour(120, clrMenu), open.Pixel(W - 4, 12));
        EXPECT_EQ(clrMenu, open.Pixel(W - 1, 2));
        EXPECT_EQ(MixColour86(clrMenu, Sys(COLOR_WINDOW)), open.Pixel(W / 2, 2));
        pFile->OnUnInitPopupMenu();
    }
    {
        CStyleScope scope(4);
        CCanvas canvas(W, H);
        DrawItem(bar, 0, ODS_HOTLIGHT, canvas.m_hDC, m_rc);
        EXPECT_EQ(Sys(COLOR_HIGHLIGHT), canvas.Pixel(1, 1));
    }
}

// The popup's client area in the menu background colour, nothing outside it.
TEST_F(MenuDraw, EraseBkgndFillsThePopupsClientArea) {
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, "popup", WS_POPUP, 0, 0, 50, 30, nullptr, nullptr));
    CCanvas canvas(60, 40);
    const long nGdi = AfxGetLiveGdiObjectCount();
    EXPECT_TRUE(m_menu.EraseBkgnd(popup.m_hWnd, CDC::FromHandle(canvas.m_hDC)));
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
    const COLORREF clrMenu = GetMenuBkColor(nullptr);
    EXPECT_EQ(clrMenu, canvas.Pixel(0, 0));
    EXPECT_EQ(clrMenu, canvas.Pixel(49, 29));
    EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(50, 10));
    EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(10, 30));
    popup.DestroyWindow();
}

TEST_F(MenuDraw, ForeignAndEmptyItemsDrawNothing) {
    CCanvas canvas(W, H);
    DRAWITEMSTRUCT dis{ODT_MENU, 0, 100, ODA_DRAWENTIRE, 0, (HWND)m_menu.m_hMenu, canvas.m_hDC, m_rc, 0x1234};
    m_menu.DrawItem(&dis);  // an item that is not ours
    EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(W / 2, H / 2));
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, 100, 77, 88, 0x1234};
    m_menu.MeasureItem(&mis);
    EXPECT_EQ(77u, mis.itemWidth);
    const long nGdi = AfxGetLiveGdiObjectCount();
    for (int nStyle = 0; nStyle <= 9; ++nStyle) {
        CStyleScope scope(nStyle);
        const RECT rcEmpty = {0, 5, W, 5};  // zero height
        DrawItem(m_menu, 0, ODS_SELECTED, canvas.m_hDC, rcEmpty);
    }
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}

TEST(MenuGdi, ThousandCyclesOfEveryStyleLeaveNoGdiObject) {
    const COLORREF colours[] = {RGB(200, 0, 0)};
    CImageList list;
    ASSERT_TRUE(mtest::MakeIconList(list, 16, 16, colours, 1));
    // One icon set for all cycles, held by a menu of its own.
    CStyledMenu holder;
    ASSERT_TRUE(holder.CreatePopupMenu());
    ASSERT_TRUE(holder.AppendItemFromImageList("held", 0, 101, &list, 0));
    CStyledMenuIcons* pIcons = holder.GetItemRecord(0)->m_pIcons;
    const long nGdi = AfxGetLiveGdiObjectCount();
    const int nRecords = CStyledMenuItemData::GetLiveCount();
    const size_t nSets = CStyledMenuIcons::GetSharedList().size();
    CCanvas canvas(160, 240);
    const UINT states[] = {0, ODS_SELECTED, ODS_GRAYED | ODS_SELECTED, ODS_CHECKED};
    for (int nStyle = 0; nStyle <= 9; ++nStyle) {
        CStyleScope scope(nStyle);
        for (int i = 0; i < 1000; ++i) {
            CStyledMenu menu;
            ASSERT_TRUE(menu.CreatePopupMenu());
            menu.AppendItem("Open\tCtrl+O", 0, 100);
            menu.AppendItem("", MF_SEPARATOR, 0);
            menu.AppendItemWithIcons("Icon", 0, 101, pIcons, 0);
            menu.SetMenuTitle("Veltran Clock", 0x3E);
            for (int nPos = 0; nPos < menu.GetItemRecordCount(); ++nPos) {
                Measure(menu, nPos);
                const RECT rc = {0, nPos * 20, 160, nPos * 20 + 20};
                DrawItem(menu, nPos, states[(i + nPos) % 4], canvas.m_hDC, rc);
            }
        }
        EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount()) << nStyle;
    }
    EXPECT_EQ(nRecords, CStyledMenuItemData::GetLiveCount());
    EXPECT_EQ(nSets, CStyledMenuIcons::GetSharedList().size());
}

}  // namespace
