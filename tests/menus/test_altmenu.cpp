// CAltMenu: items and their flags, loading menu and tool-bar resources, edits
// by id and by text, keyboard shortcuts, who owns records and sub-menus, the
// image effects, and measuring and drawing in the classic and the XP look,
// checked on pixels of items drawn into memory.
#include <gtest/gtest.h>

#include <string>

#include "afx/afxwin.h"
#include "menus/altmenu.h"
#include "menus/menuutil.h"
#include "menus_test_res.h"
#include "menus_test_util.h"

namespace {

COLORREF Sys(int n)
{
    return ::GetSysColor(n);
}

using mtest::CCanvas;

// Sets the Windows version code the looks read (7 makes the XP theme active here,
// where no classic theme is registered) for one scope.
struct CVersionScope {
    int m_nOld;
    explicit CVersionScope(int nVersion)
        : m_nOld(g_menuLib.nWinVersion)
    {
        g_menuLib.nWinVersion = nVersion;
    }
    ~CVersionScope() { g_menuLib.nWinVersion = m_nOld; }
};

void DrawRecord(CAltMenu& menu, int nIndex, UINT nState, HDC hDC, const RECT& rc)
{
    CAltMenuItemData* pData = menu.GetItemRecord(nIndex);
    DRAWITEMSTRUCT dis {};
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

std::wstring Text(CAltMenu* pMenu, int nIndex)
{
    return pMenu->GetItemRecord(nIndex)->m_strText;
}

TEST(AltMenu, AddedItemsAreOwnerDrawnWithNormalisedFlags)
{
    CAltMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    const struct {
        UINT nFlags;
        UINT_PTR nID;
        UINT nRecordFlags;
        UINT fType;
    } cases[] = {
        { 0, 0, MF_SEPARATOR | MF_OWNERDRAW, MFT_SEPARATOR | MFT_OWNERDRAW },
        { MF_BYPOSITION, 0, 0xD00, MFT_SEPARATOR | MFT_OWNERDRAW },
        { MF_CHECKED, 41, MF_CHECKED | MF_OWNERDRAW, MFT_OWNERDRAW },
        { MF_GRAYED, 42, MF_GRAYED | MF_OWNERDRAW, MFT_OWNERDRAW },
    };
    for (const auto& c : cases) {
        const int nIndex = menu.GetItemRecordCount();
        ASSERT_TRUE(menu.AppendItem(L"item", c.nFlags, c.nID));
        CAltMenuItemData* pData = menu.GetItemRecord(nIndex);
        EXPECT_EQ(c.nRecordFlags, pData->m_nFlags) << c.nID;
        const mtest::CItemInfo info = mtest::GetItem(menu.m_hMenu, nIndex);
        EXPECT_EQ(c.fType, info.fType & (MFT_SEPARATOR | MFT_OWNERDRAW)) << c.nID;
        EXPECT_EQ((ULONG_PTR)pData, info.dwItemData);
        EXPECT_EQ(-1, pData->m_nImageIndex);
    }
    // ANSI text is converted; inserting by position and by command keeps the records in menu order.
    ASSERT_TRUE(menu.InsertItem(0, "&First", MF_BYPOSITION, 43));
    ASSERT_TRUE(menu.InsertItem(42, "&Before", 0, 44));
    EXPECT_EQ(L"&First", Text(&menu, 0));
    EXPECT_EQ(L"&Before", Text(&menu, 4));
    for (int i = 0; i < menu.GetItemRecordCount(); ++i)
        EXPECT_EQ((ULONG_PTR)menu.GetItemRecord(i), mtest::GetItem(menu.m_hMenu, i).dwItemData) << i;
    CString str;
    EXPECT_TRUE(menu.GetMenuText(44, str, MF_BYCOMMAND));
    EXPECT_STREQ("&Before", (LPCSTR)str);
    EXPECT_TRUE(menu.SetMenuText(0, "F&irst", MF_BYPOSITION));
    EXPECT_EQ(L"F&irst", Text(&menu, 0));
    EXPECT_FALSE(menu.GetMenuText(999, str, MF_BYCOMMAND));
    // A popup's handle goes into the static list.
    CAltMenu* pSub = menu.AppendPopup("&Sub");
    ASSERT_NE(nullptr, pSub);
    EXPECT_TRUE(CAltMenu::IsMenu(pSub));
    EXPECT_FALSE(CAltMenu::IsMenu(&menu));
    EXPECT_EQ(pSub, menu.GetSubMenuByText("&Sub"));
    EXPECT_EQ(menu.GetItemRecordCount() - 1, menu.GetMenuPosition("&Sub"));
    const HMENU hSub = pSub->m_hMenu;
    menu.DestroyMenu();
    EXPECT_FALSE(CAltMenu::IsMenu(hSub));
    EXPECT_FALSE(::IsMenu(hSub));
    EXPECT_EQ(0, CAltMenuItemData::GetLiveCount());
}

TEST(AltMenu, LoadMenuBuildsOwnerDrawnPopupsAndAlignsShortcuts)
{
    CVersionScope version(6); // classic look: shortcuts are always aligned
    CAltMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TWO_LEVELS));
    ASSERT_EQ(2, ::GetMenuItemCount(menu.m_hMenu));
    // The bar keeps system-drawn top-level items.
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(mtest::GetItem(menu.m_hMenu, i).fType & MFT_OWNERDRAW) << i;
        EXPECT_EQ(0x410u, menu.GetItemRecord(i)->m_nFlags) << i;
    }
    CAltMenu* pFile = menu.GetSubAltMenu(0);
    CAltMenu* pTen = menu.GetSubMenuByText("&Ten");
    ASSERT_NE(nullptr, pFile);
    ASSERT_NE(nullptr, pTen);
    EXPECT_EQ(5, ::GetMenuItemCount(pFile->m_hMenu)); // Open, Save, separator, More, Exit
    EXPECT_EQ(10, ::GetMenuItemCount(pTen->m_hMenu));
    EXPECT_TRUE(pFile->GetItemRecord(2)->m_nFlags & MF_SEPARATOR);
    EXPECT_EQ(L"E&xit", Text(pFile, 4));
    CAltMenu* pMore = pFile->GetSubAltMenu(3);
    ASSERT_NE(nullptr, pMore);
    EXPECT_EQ(1, ::GetMenuItemCount(pMore->m_hMenu));
    EXPECT_EQ((UINT_PTR)ID_DEEP, pMore->GetItemRecord(0)->m_nID);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(mtest::GetItem(pFile->m_hMenu, i).fType & MFT_OWNERDRAW) << i;
    // "&Open\tCtrl+O" is padded with blanks before its tab to the widest text.
    const std::wstring strOpen = Text(pFile, 0);
    ASSERT_EQ(0u, strOpen.find(L"&Open "));
    EXPECT_EQ(strOpen.size() - 7, strOpen.find(L"\tCtrl+O"));
    // A missing resource changes nothing.
    EXPECT_FALSE(menu.LoadMenu(20999));
    EXPECT_EQ(pFile, menu.GetSubAltMenu(0));
}

TEST(AltMenu, ToolBarImagesGoIntoTheSharedList)
{
    const struct {
        int nVersion; // 7: XP look with its three derived images per image
        int nImagesPerCommand;
    } cases[] = { { 6, 1 }, { 7, 4 } };
    for (const auto& c : cases) {
        CVersionScope version(c.nVersion);
        CAltMenu::FreeSharedImages();
        CAltMenu menu;
        menu.CreatePopupMenu();
        menu.AppendItem("red", 0, ID_TB_RED);
        menu.AppendItem("blue", 0, ID_TB_BLUE);
        menu.AppendItem("none", 0, 777);
        ASSERT_TRUE(menu.LoadToolbar(IDR_TOOLBAR));
        EXPECT_FALSE(menu.LoadToolbar(20998));
        // Several at once: 1 only when all loaded; a null array loads nothing.
        const UINT withMissing[] = { IDR_TOOLBAR, 20998 };
        EXPECT_FALSE(menu.LoadToolbars(withMissing, 2));
        EXPECT_TRUE(menu.LoadToolbars(withMissing, 1));
        EXPECT_FALSE(menu.LoadToolbars(nullptr, 1));
        EXPECT_TRUE(menu.LoadToolbars(nullptr, 0));
        ASSERT_NE(nullptr, CAltMenu::GetSharedImages());
        EXPECT_EQ(2 * c.nImagesPerCommand, CAltMenu::GetSharedImages()->GetImageCount());
        EXPECT_EQ(0, menu.GetItemRecord(0)->m_nImageIndex);
        EXPECT_EQ(c.nImagesPerCommand, menu.GetItemRecord(1)->m_nImageIndex);
        EXPECT_EQ(-1, menu.GetItemRecord(2)->m_nImageIndex);
        // The images are the buttons' own: red and blue in the middle of the icon.
        CCanvas canvas(16, 15);
        for (int i = 0; i < 2; ++i) {
            ::FillRect(canvas.m_hDC, CRect(0, 0, 16, 15), (HBRUSH)::GetStockObject(BLACK_BRUSH));
            ImageList_Draw(CAltMenu::GetSharedImages()->m_hImageList, menu.GetItemRecord(i)->m_nImageIndex,
                canvas.m_hDC, 0, 0, ILD_TRANSPARENT);
            EXPECT_EQ(i == 0 ? RGB(255, 0, 0) : RGB(0, 0, 255), canvas.Pixel(8, 7)) << c.nVersion;
        }
        // A later item with a recorded command shares the image.
        menu.AppendItem("red again", 0, ID_TB_RED);
        EXPECT_EQ(0, menu.GetItemRecord(3)->m_nImageIndex);
        // A colour swatch: the border's colour at the edge, the fill inside.
        ASSERT_TRUE(menu.ModifyItemWithColor("swatch", 777, RGB(0, 200, 0), RGB(90, 0, 0)));
        ::FillRect(canvas.m_hDC, CRect(0, 0, 16, 15), (HBRUSH)::GetStockObject(BLACK_BRUSH));
        ImageList_Draw(CAltMenu::GetSharedImages()->m_hImageList, menu.GetItemRecord(2)->m_nImageIndex,
            canvas.m_hDC, 0, 0, ILD_TRANSPARENT);
        EXPECT_EQ(RGB(90, 0, 0), canvas.Pixel(0, 7)) << c.nVersion;
        EXPECT_EQ(RGB(0, 200, 0), canvas.Pixel(8, 7)) << c.nVersion;
        EXPECT_EQ(L"swatch", menu.GetItemRecord(2)->m_strText);
    }
    CAltMenu::FreeSharedImages();
}

TEST(AltMenu, EditsByTextAndKeyboardShortcuts)
{
    CAltMenu menu;
    menu.CreatePopupMenu();
    menu.AppendItem("&Alpha", 0, 1);
    menu.AppendItem("", 0, 0);
    menu.AppendItem("&Beta", 0, 2);
    menu.AppendItem("", 0, 0);
    menu.AppendItem("&Gamma", 0, 3);
    CAltMenu* pSub = menu.AppendPopup("&Sub");
    pSub->AppendItem("&Deep", 0, 4);
    // Removing by text with separators 3 takes the separators on both sides.
    EXPECT_TRUE(menu.RemoveMenuByText("&Beta", 3));
    EXPECT_EQ(3, ::GetMenuItemCount(menu.m_hMenu));
    EXPECT_EQ(L"&Gamma", Text(&menu, 1));
    EXPECT_FALSE(menu.RemoveMenuByText("&Beta", 3));
    // Changes by id reach sub-menus; an item made by plain calls gets a record.
    EXPECT_TRUE(menu.ModifyItem(L"&Deeper", 4));
    EXPECT_EQ(L"&Deeper", Text(pSub, 0));
    ::AppendMenuA(pSub->m_hMenu, MF_STRING, 5, "&Plain");
    EXPECT_TRUE(menu.ModifyItem((LPCWSTR) nullptr, 5));
    EXPECT_EQ(2, pSub->GetItemRecordCount());
    EXPECT_EQ(L"&Plain", Text(pSub, 1));
    EXPECT_TRUE(mtest::GetItem(pSub->m_hMenu, 1).fType & MFT_OWNERDRAW);
    EXPECT_FALSE(menu.ModifyItem(L"x", 999));
    EXPECT_TRUE(menu.ModifyItemByText("&Gamma", "&Gamma2", -1));
    EXPECT_EQ(L"&Gamma2", Text(&menu, 1));
    // A missing bitmap leaves no own image list.
    EXPECT_TRUE(menu.ModifyItemByText("&Gamma2", nullptr, 20997));
    EXPECT_EQ(nullptr, menu.GetItemRecord(1)->m_pImageList);
    EXPECT_EQ(-1, menu.GetItemRecord(1)->m_nOwnImageIndex);
    EXPECT_TRUE(menu.ModifyItemByText("&Gamma2", nullptr, IDB_ICON16));
    EXPECT_NE(nullptr, menu.GetItemRecord(1)->m_pImageList);
    EXPECT_EQ(IDB_ICON16, menu.GetItemRecord(1)->m_nOwnImageResource);
    EXPECT_TRUE(menu.ModifyItemByTextFromToolbar("&Alpha", IDR_TOOLBAR, ID_TB_GREEN));
    EXPECT_FALSE(menu.ModifyItemByTextFromToolbar("&Alpha", IDR_TOOLBAR, 999));
    EXPECT_EQ(0, menu.GetItemRecord(0)->m_nOwnImageIndex);
    EXPECT_FALSE(menu.LoadCheckmarkBitmaps(0, IDB_ICON16));
    EXPECT_FALSE(menu.LoadCheckmarkBitmaps(IDB_ICON16, 20996));
    EXPECT_EQ(nullptr, menu.GetCheckMarks());
    ASSERT_TRUE(menu.LoadCheckmarkBitmaps(IDB_ICON16, IDB_ICON16));
    EXPECT_EQ(2, menu.GetCheckMarks()->GetImageCount());

    const struct {
        UINT nChar;
        UINT nFlags;
        LRESULT lResult;
    } keys[] = { { 'g', MF_POPUP, MAKELONG(1, MNC_EXECUTE) }, { 'G', MF_POPUP, MAKELONG(1, MNC_EXECUTE) },
        { 'a', MF_POPUP, MAKELONG(0, MNC_EXECUTE) }, { 'g', 0, 0 }, { 'q', MF_POPUP, 0 } };
    for (const auto& k : keys)
        EXPECT_EQ(k.lResult, CAltMenu::FindKeyboardShortcut(k.nChar, k.nFlags, &menu)) << (char)k.nChar;
    // An item added by plain calls is picked up before the search.
    ::AppendMenuA(menu.m_hMenu, MF_STRING, 6, "&Zulu");
    EXPECT_EQ(MAKELONG(3, MNC_EXECUTE), CAltMenu::FindKeyboardShortcut('z', MF_POPUP, &menu));
    EXPECT_EQ(::GetMenuItemCount(menu.m_hMenu), menu.GetItemRecordCount());
}

// The bitmap forms take a copy for the masked add: the caller's bitmap keeps its
// background, and every item made from it shows the same icon, transparent at its border.
TEST(AltMenu, BitmapFormsLeaveTheCallersBitmapAsItWas)
{
    CVersionScope version(6); // the classic look: one image per item
    CAltMenu::FreeSharedImages();
    const COLORREF clrBack = Sys(COLOR_BTNFACE);
    const COLORREF clrInk = RGB(30, 160, 30);
    const COLORREF clrCanvas = RGB(1, 2, 3);
    CBitmap bmp;
    ASSERT_TRUE(mtest::MakeFramedBitmap(bmp, 16, 15, clrBack, clrInk));
    const long nGdi = AfxGetLiveGdiObjectCount();
    {
        CAltMenu menu;
        menu.CreatePopupMenu();
        ASSERT_TRUE(menu.AppendItemFromBitmap("&Appended", 0, 701, &bmp));
        ASSERT_TRUE(menu.InsertItemFromBitmap(0, "&Inserted", MF_BYPOSITION, 702, &bmp));
        menu.AppendItem("&Modified", 0, 703);
        ASSERT_TRUE(menu.ModifyItemFromBitmap((LPCSTR) nullptr, 703, &bmp));
        EXPECT_FALSE(menu.AppendItemFromBitmap("&None", 0, 704, nullptr));
        ASSERT_EQ(3, menu.GetItemRecordCount());
        EXPECT_EQ(L"&Inserted", Text(&menu, 0));
        EXPECT_EQ(L"&Appended", Text(&menu, 1));
        EXPECT_EQ(clrBack, mtest::BitmapPixel(bmp, 0, 0));
        EXPECT_EQ(clrInk, mtest::BitmapPixel(bmp, 8, 7));
        ASSERT_NE(nullptr, CAltMenu::GetSharedImages());
        const HIMAGELIST hShared = CAltMenu::GetSharedImages()->m_hImageList;
        for (int i = 0; i < 3; ++i) {
            const int nImage = menu.GetItemRecord(i)->m_nImageIndex;
            ASSERT_GE(nImage, 0) << i;
            EXPECT_EQ(clrCanvas, mtest::ImagePixel(hShared, nImage, 0, 0, clrCanvas)) << i;
            EXPECT_EQ(clrInk, mtest::ImagePixel(hShared, nImage, 8, 7, clrCanvas)) << i;
        }
    }
    CAltMenu::FreeSharedImages();
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}

// Items whose command has a button on the tool bar get an image list of their own
// with the button's image from the bitmap; other items, a missing tool bar or a
// bitmap that cannot be loaded change nothing.
TEST(AltMenu, AddFromToolBarGivesItemsTheirButtonsImages)
{
    CVersionScope version(6);
    const long nGdi = AfxGetLiveGdiObjectCount();
    {
        CWnd host;
        ASSERT_TRUE(host.CreateEx(0, "STATIC", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        CToolBar bar;
        ASSERT_TRUE(bar.CreateEx(&host, TBSTYLE_FLAT, WS_CHILD | CBRS_ALIGN_TOP, 0xE800));
        ASSERT_TRUE(bar.LoadToolBar(IDR_TOOLBAR));
        CAltMenu menu;
        menu.CreatePopupMenu();
        menu.AppendItem("&Red", 0, ID_TB_RED);
        menu.AppendItem("&Plain", 0, 777);
        CAltMenu* pSub = menu.AppendPopup("&Sub");
        pSub->AppendItem("&Green", 0, ID_TB_GREEN);
        EXPECT_FALSE(menu.AddFromToolBar(nullptr, IDR_TOOLBAR));
        EXPECT_FALSE(menu.AddFromToolBar(&bar, 0));
        EXPECT_FALSE(menu.AddFromToolBar(&bar, 20998));
        EXPECT_EQ(nullptr, menu.GetItemRecord(0)->m_pImageList);
        ASSERT_TRUE(menu.AddFromToolBar(&bar, IDR_TOOLBAR));
        const struct {
            CAltMenuItemData* pData;
            COLORREF clr;
        } items[] = { { menu.GetItemRecord(0), RGB(255, 0, 0) }, { pSub->GetItemRecord(0), RGB(0, 128, 0) } };
        for (const auto& item : items) {
            ASSERT_NE(nullptr, item.pData->m_pImageList);
            EXPECT_EQ(0, item.pData->m_nOwnImageIndex);
            EXPECT_EQ(IDR_TOOLBAR, item.pData->m_nOwnImageResource);
            EXPECT_EQ(item.clr, mtest::ImagePixel(item.pData->m_pImageList->m_hImageList, 0, 8, 7, RGB(1, 2, 3)));
        }
        EXPECT_EQ(nullptr, menu.GetItemRecord(1)->m_pImageList);
        EXPECT_EQ(-1, menu.GetItemRecord(1)->m_nOwnImageIndex);
    }
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}

// DeleteMenuByText removes the item and the separators asked for, as RemoveMenuByText
// does, and also destroys a sub-menu no object holds, which RemoveMenuByText leaves.
TEST(AltMenu, DeleteMenuByTextAlsoDestroysASubMenuNoObjectHolds)
{
    const int nRecords = CAltMenuItemData::GetLiveCount();
    for (bool bDelete : { false, true }) {
        CAltMenu menu;
        menu.CreatePopupMenu();
        menu.AppendItem("&Alpha", 0, 1);
        menu.AppendItem("", 0, 0);
        menu.AppendItem("&Beta", 0, 2);
        menu.AppendItem("", 0, 0);
        const HMENU hPlain = ::CreatePopupMenu();
        ::AppendMenuA(hPlain, MF_STRING, 9, "inner");
        menu.AppendItem("&Plain", MF_POPUP, (UINT_PTR)hPlain);
        menu.AppendItem("", 0, 0);
        menu.AppendItem("&Gamma", 0, 3);
        auto byText = [&](const char* psz, int nSeparators) {
            return bDelete ? menu.DeleteMenuByText(psz, nSeparators)
                           : menu.RemoveMenuByText(psz, nSeparators);
        };
        EXPECT_TRUE(byText("&Beta", 1)); // with the separator after it
        EXPECT_TRUE(byText("&Plain", 2)); // with the separator before it
        EXPECT_FALSE(byText("&Missing", 3));
        ASSERT_EQ(3, ::GetMenuItemCount(menu.m_hMenu)) << bDelete;
        ASSERT_EQ(3, menu.GetItemRecordCount()) << bDelete;
        EXPECT_EQ(L"&Alpha", Text(&menu, 0));
        EXPECT_TRUE(menu.GetItemRecord(1)->m_nFlags & MF_SEPARATOR);
        EXPECT_EQ(L"&Gamma", Text(&menu, 2));
        EXPECT_FALSE(CAltMenu::IsMenu(hPlain));
        EXPECT_EQ(!bDelete, ::IsMenu(hPlain) != FALSE) << bDelete;
        if (!bDelete)
            ::DestroyMenu(hPlain);
    }
    EXPECT_EQ(nRecords, CAltMenuItemData::GetLiveCount());
}

// UpdateMenu brings the records in step with the items the menu really has: items
// made by plain calls become owner-drawn with their text, records of items gone are
// deleted, a popup keeps its record; a menu of another class is left alone.
TEST(AltMenu, UpdateMenuBringsTheRecordsInStepWithTheItems)
{
    const int nRecords = CAltMenuItemData::GetLiveCount();
    {
        CAltMenu menu;
        menu.CreatePopupMenu();
        menu.AppendItem("&One", 0, 1);
        menu.AppendItem("&Two", 0, 2);
        menu.AppendPopup("&Sub");
        CAltMenuItemData* pSubRecord = menu.GetItemRecord(2);
        ::AppendMenuA(menu.m_hMenu, MF_STRING | MF_GRAYED, 3, "&Plain");
        ::DeleteMenu(menu.m_hMenu, 0, MF_BYPOSITION);
        EXPECT_EQ(nRecords + 3, CAltMenuItemData::GetLiveCount());
        CAltMenu::UpdateMenu(&menu);
        ASSERT_EQ(3, menu.GetItemRecordCount());
        EXPECT_EQ(L"&Two", Text(&menu, 0));
        EXPECT_EQ(pSubRecord, menu.GetItemRecord(1));
        CAltMenuItemData* pPlain = menu.GetItemRecord(2);
        EXPECT_EQ(L"&Plain", pPlain->m_strText);
        EXPECT_EQ(3u, pPlain->m_nID);
        EXPECT_EQ((UINT)(MF_GRAYED | MF_OWNERDRAW), pPlain->m_nFlags & (MF_GRAYED | MF_OWNERDRAW));
        for (int i = 0; i < 3; ++i) {
            const mtest::CItemInfo info = mtest::GetItem(menu.m_hMenu, i);
            EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << i;
            EXPECT_EQ((ULONG_PTR)menu.GetItemRecord(i), info.dwItemData) << i;
        }
        EXPECT_EQ(nRecords + 3, CAltMenuItemData::GetLiveCount());
        CMenu plain;
        plain.CreatePopupMenu();
        plain.AppendMenu(MF_STRING, 1, "plain");
        CAltMenu::UpdateMenu(&plain);
        EXPECT_FALSE(mtest::GetItem(plain.m_hMenu, 0).fType & MFT_OWNERDRAW);
    }
    EXPECT_EQ(nRecords, CAltMenuItemData::GetLiveCount());
}

// A disabled image embossed: its ink (neither face nor highlight) once in the
// highlight colour a pixel right and down, then in the shadow colour in place,
// over the image's area filled with the background; nothing else is touched.
TEST(AltMenu, EmbossedDrawingOfADisabledImage)
{
    const COLORREF clrFace = Sys(COLOR_BTNFACE);
    const COLORREF clrHilight = Sys(COLOR_BTNHIGHLIGHT);
    const COLORREF clrShadow = Sys(COLOR_BTNSHADOW);
    const COLORREF clrBack = RGB(10, 20, 30);
    CBitmap bmp;
    ASSERT_TRUE(mtest::MakeFramedBitmap(bmp, 16, 15, clrFace, clrFace));
    {
        CClientDC dcScreen(nullptr);
        CDC dc;
        dc.CreateCompatibleDC(&dcScreen);
        CSelectGuard guard(&dc, &bmp);
        dc.FillSolidRect(4, 4, 4, 4, RGB(0, 0, 200)); // ink at 4..7
        dc.SetPixelV(12, 10, clrHilight); // no ink
    }
    CImageList list;
    ASSERT_TRUE(list.Create(16, 15, ILC_COLOR24, 1, 1));
    ASSERT_EQ(0, list.Add(&bmp, (CBitmap*)nullptr));
    CCanvas canvas(40, 30);
    const long nGdi = AfxGetLiveGdiObjectCount();
    AltDrawEmbossed(CDC::FromHandle(canvas.m_hDC), &list, 0, 10, 5, 16, 15, clrBack);
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
    const struct {
        int x, y; // in the image
        COLORREF clr;
        const char* pszWhat;
    } pixels[] = {
        { 4, 4, clrShadow, "ink, top left" },
        { 7, 7, clrShadow, "ink, bottom right" },
        { 8, 8, clrHilight, "the highlight below and right of the ink" },
        { 8, 5, clrHilight, "the highlight right of the ink" },
        { 8, 4, clrBack, "beside the ink" },
        { 2, 2, clrBack, "face" },
        { 12, 10, clrBack, "a highlight pixel of the image" },
        { 16, 8, RGB(0, 0, 0), "right of the image" },
        { -1, 8, RGB(0, 0, 0), "left of the image" },
    };
    for (const auto& p : pixels)
        EXPECT_EQ(p.clr, canvas.Pixel(10 + p.x, 5 + p.y)) << p.pszWhat;
}

// A foreign item is never read through its data; sub-menus are freed exactly once,
// and a caller's sub-menu stays the caller's.
TEST(AltMenu, RecordsAndSubMenusHaveOneOwner)
{
    const int nRecords = CAltMenuItemData::GetLiveCount();
    CAltMenu callers;
    callers.CreatePopupMenu();
    callers.AppendItem("&Kept", 0, 9);
    {
        CAltMenu menu;
        menu.CreatePopupMenu();
        menu.AppendItem("&One", 0, 1);
        CAltMenu* pOwned = menu.AppendPopup("&Owned");
        pOwned->AppendItem("&Two", 0, 2);
        ASSERT_TRUE(menu.AppendItem("&Callers", MF_POPUP, (UINT_PTR)callers.m_hMenu));
        // Foreign data: measuring and drawing leave it alone.
        int nForeign = 0;
        MEASUREITEMSTRUCT mis { ODT_MENU, 0, 1, 0, 0, (ULONG_PTR)&nForeign };
        menu.MeasureItem(&mis);
        EXPECT_EQ(0u, mis.itemWidth);
        CCanvas canvas(100, 20);
        DRAWITEMSTRUCT dis { ODT_MENU, 0, 1, ODA_DRAWENTIRE, 0, (HWND)menu.m_hMenu, canvas.m_hDC,
            { 0, 0, 100, 20 }, (ULONG_PTR)&nForeign };
        menu.DrawItem(&dis);
        EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(50, 10));
        // Deleting the owned popup by its command (its handle) frees it and its records once.
        const HMENU hOwned = pOwned->m_hMenu;
        EXPECT_TRUE(menu.DeleteMenu((UINT)(UINT_PTR)hOwned, MF_BYCOMMAND));
        EXPECT_FALSE(::IsMenu(hOwned));
        EXPECT_FALSE(CAltMenu::IsMenu(hOwned));
        EXPECT_EQ(2, menu.GetItemRecordCount());
        // DeleteMenu of the caller's popup only takes it out, items and all.
        EXPECT_TRUE(menu.DeleteMenu(1, MF_BYPOSITION));
        EXPECT_TRUE(::IsMenu(callers.m_hMenu));
        ASSERT_TRUE(menu.AppendItem("&Callers", MF_POPUP, (UINT_PTR)callers.m_hMenu));
    }
    EXPECT_TRUE(::IsMenu(callers.m_hMenu));
    EXPECT_EQ(1, callers.GetItemRecordCount());
    EXPECT_EQ(nRecords + 1, CAltMenuItemData::GetLiveCount());
}

TEST(AltMenu, ImageEffectsChangeOnlyOpaquePixels)
{
    const COLORREF clrFace = Sys(COLOR_BTNFACE);
    const COLORREF clrInk = RGB(100, 50, 0);
    const int nBrightness = (100 + 50 + 0) / 3;
    CVersionScope version(7);
    const struct {
        const char* pszName;
        void (*pfn)(CBitmap&);
        COLORREF clrInk;
    } cases[] = {
        { "washed-out", [](CBitmap& b) { AltWashOut(b); }, AltLighten(clrInk, 0.3) },
        { "dimmed", [](CBitmap& b) { AltDim(b); }, AltLighten(Sys(COLOR_BTNSHADOW), nBrightness / 255.0) },
        { "shadow", [](CBitmap& b) { AltShadow(b); }, Sys(COLOR_BTNSHADOW) },
    };
    CClientDC dcScreen(nullptr);
    for (const auto& c : cases) {
        CBitmap bmp;
        bmp.CreateCompatibleBitmap(&dcScreen, 2, 1);
        CDC dc;
        dc.CreateCompatibleDC(&dcScreen);
        {
            CSelectGuard guard(&dc, &bmp);
            dc.SetPixelV(0, 0, clrFace);
            dc.SetPixelV(1, 0, clrInk);
        }
        c.pfn(bmp);
        CSelectGuard guard(&dc, &bmp);
        EXPECT_EQ(clrFace, dc.GetPixel(0, 0)) << c.pszName;
        EXPECT_EQ(c.clrInk, dc.GetPixel(1, 0)) << c.pszName;
    }
    const struct {
        COLORREF clr;
        double f;
        COLORREF clrLight;
        COLORREF clrDark;
    } colours[] = { { RGB(100, 200, 0), 0.5, RGB(177, 227, 127), RGB(50, 100, 0) },
        { RGB(100, 200, 0), 1.0, RGB(100, 200, 0), RGB(100, 200, 0) },
        { RGB(100, 200, 0), 0.0, RGB(100, 200, 0), RGB(100, 200, 0) } };
    for (const auto& c : colours) {
        EXPECT_EQ(c.clrLight, AltLighten(c.clr, c.f)) << c.f;
        EXPECT_EQ(c.clrDark, AltDarken(c.clr, c.f)) << c.f;
    }
}

TEST(AltMenu, MeasuresInBothLooks)
{
    CAltMenu menu;
    menu.CreatePopupMenu();
    menu.AppendItem("&Options...", 0, 1);
    menu.AppendItem("", 0, 0);
    HDC hDC = ::GetDC(nullptr);
    NONCLIENTMETRICSA ncm {};
    ncm.cbSize = 340;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &ncm, 0));
    HFONT hFont = ::CreateFontIndirectA(&ncm.lfMenuFont);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    SIZE size {};
    ::GetTextExtentPoint32W(hDC, L"&Options...", 11, &size);
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hFont);
    ::ReleaseDC(nullptr, hDC);
    const int nMenuHeight = ::GetSystemMetrics(SM_CYMENU);
    const struct {
        int nVersion;
        UINT nWidth, nHeight, nSeparator;
    } cases[] = {
        { 6, (UINT)(16 + size.cx + 16 + 1), (UINT)std::max(nMenuHeight, 15 + 4),
            (UINT)std::max(nMenuHeight / 2, 19 / 2) },
        { 7, (UINT)(16 + 7 + size.cx + 8), (UINT)std::max(nMenuHeight, 15 + 7), 3u },
    };
    {
        // Without the theme key the theme is not classic: on XP and later the XP look is the default.
        CVersionScope version(7);
        EXPECT_FALSE(CAltMenu::IsClassicTheme());
        EXPECT_TRUE(CAltMenu::UseXPLook());
        EXPECT_EQ(0, CAltMenu::GetSelectDisableMode());
    }
    for (const auto& c : cases) {
        CVersionScope version(c.nVersion);
        MEASUREITEMSTRUCT mis { ODT_MENU, 0, 1, 0, 0, (ULONG_PTR)menu.GetItemRecord(0) };
        menu.MeasureItem(&mis);
        EXPECT_EQ(c.nWidth, mis.itemWidth) << c.nVersion;
        EXPECT_EQ(c.nHeight, mis.itemHeight) << c.nVersion;
        MEASUREITEMSTRUCT sep { ODT_MENU, 0, 0, 0, 0, (ULONG_PTR)menu.GetItemRecord(1) };
        menu.MeasureItem(&sep);
        EXPECT_EQ(0u, sep.itemWidth) << c.nVersion;
        EXPECT_EQ(c.nSeparator, sep.itemHeight) << c.nVersion;
    }
}

// Pixels of items drawn in each look: fills, selection, check boxes and marks,
// separators, disabled images and text, and the off-screen path of the XP look.
TEST(AltMenu, DrawsItemsInBothLooks)
{
    CImageList icons;
    const COLORREF kInk[] = { RGB(0, 120, 215) };
    ASSERT_TRUE(mtest::MakeIconList(icons, 16, 15, kInk, 1));
    CAltMenu::FreeSharedImages();
    const long nGdi = AfxGetLiveGdiObjectCount();
    CAltMenu menu;
    menu.CreatePopupMenu();
    menu.AppendItem("&Plain", 0, 1);
    menu.AppendItemFromImageList("&Image", 0, 2, &icons, 0);
    menu.AppendItem("", 0, 0);
    menu.AppendItem("&Checked", MF_CHECKED, 3);
    const CRect rc(0, 0, 120, 22); // the image box is (0, 2, 20, 21), the image at (2, 4)
    const COLORREF clrHi = Sys(COLOR_HIGHLIGHT);
    const COLORREF clrTextArea = AltDarken(Sys(COLOR_WINDOW), 0.02);
    const struct {
        const char* pszName;
        int nVersion;
        int nRecord;
        UINT nState;
        int x, y;
        COLORREF clr;
        int nSelectDisabled = 1; // the classic look's static
    } cases[] = {
        { "classic plain", 6, 0, 0, 5, 3, Sys(COLOR_MENU) },
        { "classic disabled selected", 6, 0, ODS_GRAYED | ODS_SELECTED, 2, 2, clrHi },
        { "classic disabled not selectable", 6, 0, ODS_GRAYED | ODS_SELECTED, 2, 2, Sys(COLOR_MENU), 0 },
        { "classic selected", 6, 0, ODS_SELECTED, 2, 2, clrHi },
        { "classic selected image: column", 6, 1, ODS_SELECTED, 10, 2, Sys(COLOR_MENU) },
        { "classic selected image: text", 6, 1, ODS_SELECTED, 30, 2, clrHi },
        { "classic image raised box", 6, 1, ODS_SELECTED, 0, 2, Sys(COLOR_BTNHIGHLIGHT) },
        { "classic image", 6, 1, 0, 8, 10, kInk[0] },
        { "classic separator", 6, 2, 0, 40, 11, Sys(COLOR_BTNSHADOW) },
        { "classic check box", 6, 3, ODS_CHECKED, 2, 18, AltLighten(Sys(COLOR_MENU), 0.6) },
        { "classic check mark", 6, 3, ODS_CHECKED, 4 + 3, 6 + 4, Sys(COLOR_MENUTEXT) },
        { "classic disabled image: shadow", 6, 1, ODS_GRAYED, 3, 5, Sys(COLOR_BTNSHADOW) },
        { "classic disabled image: light", 6, 1, ODS_GRAYED, 2 + 15, 4 + 14, Sys(COLOR_BTNHIGHLIGHT) },
        { "xp plain text area", 7, 0, 0, 60, 3, clrTextArea },
        { "xp plain column", 7, 0, 0, 3, 3, Sys(COLOR_BTNFACE) },
        { "xp selected frame", 7, 0, ODS_SELECTED, 0, 0, clrHi },
        { "xp selected fill", 7, 0, ODS_SELECTED, 60, 5, AltLighten(clrHi, 0.7) },
        { "xp check box", 7, 3, ODS_CHECKED, 1, 18, AltLighten(clrHi, 0.85) },
        { "xp separator", 7, 2, 0, 60, 3, clrTextArea },
        { "xp disabled (off-screen)", 7, 0, ODS_GRAYED, 60, 3, clrTextArea },
        { "xp washed-out image", 7, 1, 0, 8, 10, AltLighten(kInk[0], 0.3) },
    };
    for (const auto& c : cases) {
        CVersionScope version(c.nVersion);
        if (c.nRecord == 1 && c.nVersion == 7) {
            CAltMenu::FreeSharedImages(); // the XP look's derived images come with the image
            menu.ModifyItemFromImageList((LPCWSTR) nullptr, 2, &icons, 0);
        }
        CAltMenu::s_nSelectDisabledClassic = c.nSelectDisabled;
        CCanvas canvas(rc.Width(), rc.Height());
        DrawRecord(menu, c.nRecord, c.nState, canvas.m_hDC, rc);
        CAltMenu::s_nSelectDisabledClassic = 1;
        EXPECT_EQ(c.clr, canvas.Pixel(c.x, c.y)) << c.pszName;
    }
    CAltMenu::FreeSharedImages();
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}

} // namespace
