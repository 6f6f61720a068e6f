// The styled menu class: building, ownership, icon sets, conversion, the
// title, editing and the menu messages.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "afx/afxwin.h"
#include "menus/menustyles.h"
#include "menus/menuutil.h"
#include "menus/styledmenu.h"
#include "menus_test_res.h"
#include "menus_test_util.h"
#include "support/win_menu_driver.h"

namespace {

using mtest::GetItem;

// Records and items must match one to one, each item owner-drawn with its record.
void ExpectInStep(const CStyledMenu& menu) {
    const int nCount = ::GetMenuItemCount(menu.m_hMenu);
    ASSERT_EQ(nCount, menu.GetItemRecordCount());
    for (int i = 0; i < nCount; ++i) {
        mtest::CItemInfo info = GetItem(menu.m_hMenu, i);
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << i;
        EXPECT_EQ((ULONG_PTR)menu.GetItemRecord(i), info.dwItemData) << i;
    }
}

CString TextsOf(const CStyledMenu& menu) {
    CString str;
    for (int i = 0; i < menu.GetItemRecordCount(); ++i)
        str += menu.GetItemRecord(i)->m_strText;
    return str;
}

TEST(StyledMenu, AppendNormalisesFlagsAndMakesEveryItemOwnerDrawn) {
    CStyledMenu sub;
    ASSERT_TRUE(sub.CreatePopupMenu());
    CStyledMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    const struct {
        const char* pszText;
        UINT nFlags;
        UINT_PTR nID;
        UINT nRecordFlags;
        UINT nState;
    } cases[] = {
        {"", MF_SEPARATOR, 0, 0x900, 0},
        {"Open", 0, 100, MF_OWNERDRAW, 0},
        {"Checked", MF_CHECKED, 101, MF_OWNERDRAW | MF_CHECKED, MFS_CHECKED},
        {"Grey", MF_GRAYED, 102, MF_OWNERDRAW | MF_GRAYED, MF_GRAYED},
        {"Both", MF_CHECKED | MF_GRAYED, 103, MF_OWNERDRAW | MF_CHECKED | MF_GRAYED, MFS_CHECKED | MF_GRAYED},
        {"Sub", MF_POPUP | MF_BYPOSITION, (UINT_PTR)sub.m_hMenu, MF_OWNERDRAW | MF_POPUP | MF_BYPOSITION, 0},
        {"NoID", MF_BYPOSITION, 0, 0xD00, 0},
    };
    for (const auto& c : cases)
        ASSERT_TRUE(menu.AppendItem(c.pszText, c.nFlags, c.nID, -1)) << c.pszText;
    ExpectInStep(menu);
    for (int i = 0; i < (int)(sizeof(cases) / sizeof(cases[0])); ++i) {
        const CStyledMenuItemData* pData = menu.GetItemRecord(i);
        EXPECT_STREQ(cases[i].pszText, pData->m_strText);
        EXPECT_STREQ("MenuItem: " + CString(cases[i].pszText) + "\n", pData->Dump());
        EXPECT_EQ(cases[i].nRecordFlags, pData->m_nFlags) << i;
        EXPECT_EQ(cases[i].nID, pData->m_nID) << i;
        EXPECT_EQ(-1, pData->m_nIconIndex);
        if (!(cases[i].nRecordFlags & MF_SEPARATOR))  // Wine greys every separator
            EXPECT_EQ(cases[i].nState, GetItem(menu.m_hMenu, i).fState & (MFS_CHECKED | MF_GRAYED)) << i;
    }
    EXPECT_TRUE(GetItem(menu.m_hMenu, 0).fType & MFT_SEPARATOR);
    EXPECT_EQ(sub.m_hMenu, GetItem(menu.m_hMenu, 5).hSubMenu);
    EXPECT_EQ(menu.m_hMenu, sub.GetParentMenu());
    menu.RemoveMenu(5, MF_BYPOSITION);  // the sub-menu is the caller's
}

TEST(StyledMenu, IconSetsAreSharedCountedAndReleasedWithTheirLastItem) {
    const size_t nSetsBefore = CStyledMenuIcons::GetSharedList().size();
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 0, 255)};
    CImageList list16;
    CImageList list24;
    ASSERT_TRUE(mtest::MakeIconList(list16, 16, 16, colours, 2));
    ASSERT_TRUE(mtest::MakeIconList(list24, 24, 24, colours, 1));
    {
        CStyledMenu menu1;
        CStyledMenu menu2;
        ASSERT_TRUE(menu1.CreatePopupMenu());
        ASSERT_TRUE(menu2.CreatePopupMenu());
        EXPECT_EQ(CSize(16, 15), menu1.GetIconSize());
        ASSERT_TRUE(menu1.AppendItemFromImageList("a", 0, 200, &list16, 0));
        ASSERT_TRUE(menu2.AppendItemFromImageList("b", 0, 201, &list16, 1));
        CStyledMenuIcons* pSet = menu1.GetItemRecord(0)->m_pIcons;
        ASSERT_NE(nullptr, pSet);
        EXPECT_EQ(pSet, menu2.GetItemRecord(0)->m_pIcons);
        EXPECT_EQ(0, menu1.GetItemRecord(0)->m_nIconIndex);
        EXPECT_EQ(3, menu2.GetItemRecord(0)->m_nIconIndex);
        EXPECT_EQ(6, pSet->m_imageList.GetImageCount());
        EXPECT_EQ(2, pSet->GetRefCount());
        EXPECT_EQ(CSize(16, 16), menu1.GetIconSize());
        // Another size: another set; the menu's icon size grows, never shrinks.
        ASSERT_TRUE(menu2.AppendItemFromImageList("c", 0, 202, &list24, 0));
        EXPECT_NE(pSet, menu2.GetItemRecord(1)->m_pIcons);
        EXPECT_EQ(CSize(24, 24), menu2.GetIconSize());
        ASSERT_TRUE(menu2.AppendItemFromImageList("d", 0, 203, &list16, 0));
        EXPECT_EQ(CSize(24, 24), menu2.GetIconSize());
        // A command already in the set has its images replaced, at the same index.
        ASSERT_TRUE(menu1.AppendItemFromImageList("a again", 0, 200, &list16, 1));
        EXPECT_EQ(0, menu1.GetItemRecord(1)->m_nIconIndex);
        EXPECT_EQ(9, pSet->m_imageList.GetImageCount());
        EXPECT_EQ(nSetsBefore + 2, CStyledMenuIcons::GetSharedList().size());
        // No image list or no index: no icon.
        ASSERT_TRUE(menu1.AppendItemFromImageList("none", 0, 204, nullptr, 0));
        ASSERT_TRUE(menu1.AppendItemFromImageList("none", 0, 205, &list16, -1));
        EXPECT_EQ(nullptr, menu1.GetItemRecord(2)->m_pIcons);
        EXPECT_EQ(-1, menu1.GetItemRecord(3)->m_nIconIndex);
    }
    EXPECT_EQ(nSetsBefore, CStyledMenuIcons::GetSharedList().size());
    EXPECT_EQ(0, CStyledMenuIcons::AddRef(nullptr));
    EXPECT_EQ(0, CStyledMenuIcons::Release(nullptr));
}

class CCountingIcons : public CStyledMenuIcons {
public:
    int m_nRefreshed = 0;
    void Refresh() override { ++m_nRefreshed; }
};

TEST(StyledMenu, IconSetsRefreshAtMostOnceInTwoSeconds) {
    auto* pSet = new CCountingIcons;
    CStyledMenuIcons::GetSharedList().push_back(pSet);
    CStyledMenuIcons::AddRef(pSet);
    CStyledMenuIcons::RefreshIconSets();
    CStyledMenuIcons::RefreshIconSets();
    EXPECT_EQ(1, pSet->m_nRefreshed);
    EXPECT_EQ(0, CStyledMenuIcons::Release(pSet));  // leaves the list and is deleted
}

TEST(StyledMenu, DestroyingFreesExactlyWhatTheMenuOwns) {
    const int nRecords = CStyledMenuItemData::GetLiveCount();
    {
        CStyledMenu held;
        ASSERT_TRUE(held.CreatePopupMenu());
        held.AppendItem("held item", 0, 300);
        HMENU hOwned = nullptr;
        {
            CStyledMenu parent;
            ASSERT_TRUE(parent.CreatePopupMenu());
            parent.AppendItem("x", 0, 301);
            CStyledMenu* pOwned = parent.AppendPopup("owned");
            ASSERT_NE(nullptr, pOwned);
            pOwned->AppendItem("o", 0, 302);
            hOwned = pOwned->m_hMenu;
            ASSERT_TRUE(parent.AppendItem("held", MF_POPUP, (UINT_PTR)held.m_hMenu));
            EXPECT_EQ(parent.m_hMenu, held.GetParentMenu());
            EXPECT_EQ(parent.m_hMenu, pOwned->GetParentMenu());
            EXPECT_EQ(1u, parent.GetOwnedSubMenus().size());
            EXPECT_EQ(nRecords + 5, CStyledMenuItemData::GetLiveCount());
        }
        EXPECT_FALSE(::IsMenu(hOwned));
        ASSERT_TRUE(::IsMenu(held.m_hMenu));
        EXPECT_EQ(1, ::GetMenuItemCount(held.m_hMenu));
        EXPECT_EQ(nRecords + 1, CStyledMenuItemData::GetLiveCount());
    }
    EXPECT_EQ(nRecords, CStyledMenuItemData::GetLiveCount());
    // A caller's sub-menu that goes first takes its item out of the parent.
    CStyledMenu parent;
    ASSERT_TRUE(parent.CreatePopupMenu());
    parent.AppendItem("x", 0, 310);
    {
        CStyledMenu early;
        ASSERT_TRUE(early.CreatePopupMenu());
        early.AppendItem("e", 0, 311);
        ASSERT_TRUE(parent.AppendItem("early", MF_POPUP, (UINT_PTR)early.m_hMenu));
    }
    EXPECT_EQ(1, ::GetMenuItemCount(parent.m_hMenu));
    ExpectInStep(parent);
    EXPECT_EQ(nRecords + 1, CStyledMenuItemData::GetLiveCount());
}

TEST(StyledMenu, LoadedMenuHasAStyledMenuPerSubMenuAndReadsPopupStatesRight) {
    const int nRecords = CStyledMenuItemData::GetLiveCount();
    std::vector<HMENU> handles;
    {
        CStyledMenu bar;
        ASSERT_TRUE(bar.LoadMenu(IDR_TWO_LEVELS));
        EXPECT_FALSE(bar.IsPopupMenu());
        EXPECT_TRUE(bar.IsMenuBar());
        ExpectInStep(bar);
        ASSERT_EQ(2u, bar.GetOwnedSubMenus().size());
        CStyledMenu* pFile = CStyledMenu::FromHandleStyled(::GetSubMenu(bar.m_hMenu, 0));
        CStyledMenu* pTen = CStyledMenu::FromHandleStyled(::GetSubMenu(bar.m_hMenu, 1));
        ASSERT_NE(nullptr, pFile);
        ASSERT_NE(nullptr, pTen);
        CStyledMenu* pMore = CStyledMenu::FromHandleStyled(::GetSubMenu(pFile->m_hMenu, 3));
        ASSERT_NE(nullptr, pMore);
        for (CStyledMenu* p : {pFile, pTen, pMore}) {
            ExpectInStep(*p);
            EXPECT_TRUE(p->IsPopupMenu());
            handles.push_back(p->m_hMenu);
        }
        EXPECT_EQ(bar.m_hMenu, pFile->GetParentMenu());
        EXPECT_EQ(pFile->m_hMenu, pMore->GetParentMenu());
        // A sub-menu of ten items: its item count (high byte 0x0A) is not read as MF_SEPARATOR.
        const CStyledMenuItemData* pTenItem = bar.GetItemRecord(1);
        EXPECT_TRUE(pTenItem->m_nFlags & MF_POPUP);
        EXPECT_FALSE(pTenItem->m_nFlags & MF_SEPARATOR);
        EXPECT_STREQ("&Ten", pTenItem->m_strText);
        EXPECT_STREQ("&Open\tCtrl+O", pFile->GetItemRecord(0)->m_strText);
        EXPECT_TRUE(pFile->GetItemRecord(2)->IsSeparator());
        // An item added behind the class's back is taken in at the next operation.
        pFile->CMenu::AppendMenu(MF_STRING, 399, "&Late");
        EXPECT_EQ(0x20005, CStyledMenu::HandleMenuChar('L', 0, pFile));
        ExpectInStep(*pFile);
        handles.push_back(bar.m_hMenu);
    }
    for (HMENU h : handles)
        EXPECT_FALSE(::IsMenu(h));
    EXPECT_EQ(nRecords, CStyledMenuItemData::GetLiveCount());
}

TEST(StyledMenu, TitleIsOneLeadingSeparatorCarryingItsFlags) {
    CStyledMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    EXPECT_FALSE(menu.SetMenuTitle("alone", 0x22));  // one item: no second item to break
    EXPECT_TRUE(menu.RemoveMenuTitle());
    menu.AppendItem("a", 0, 1);
    menu.AppendItem("b", 0, 2);
    const struct {
        const char* pszTitle;
        DWORD dwFlags;
        bool bBreak;
    } steps[] = {{"Veltran Clock", 0x22, true}, {"Again", 0x22, true}, {"Flat", 0x20, false}, {"Side", 0x02, true}};
    for (const auto& s : steps) {
        ASSERT_TRUE(menu.SetMenuTitle(s.pszTitle, s.dwFlags)) << s.pszTitle;
        ASSERT_EQ(3, ::GetMenuItemCount(menu.m_hMenu));
        EXPECT_STREQ(s.pszTitle, menu.GetItemRecord(0)->m_strText);
        EXPECT_EQ(s.dwFlags | 1, menu.GetItemRecord(0)->m_dwTitleFlags);
        EXPECT_EQ(s.bBreak, (GetItem(menu.m_hMenu, 1).fType & MFT_MENUBREAK) != 0) << s.pszTitle;
        ExpectInStep(menu);
    }
    EXPECT_TRUE(menu.RemoveMenuTitle());
    EXPECT_STREQ("ab", TextsOf(menu));
    EXPECT_FALSE(GetItem(menu.m_hMenu, 0).fType & MFT_MENUBREAK);
    EXPECT_FALSE(menu.RemoveMenuTitle());
}

TEST(StyledMenu, OptionsReturnTheirOldValueAndDrawModeOnlyTakesKnownStyles) {
    EXPECT_EQ(2, CStyledMenu::GetMenuDrawMode());
    EXPECT_EQ(-1, CStyledMenu::SetMenuDrawMode(12));
    EXPECT_EQ(2, CStyledMenu::GetMenuDrawMode());
    EXPECT_EQ(2, CStyledMenu::SetMenuDrawMode(8));
    EXPECT_EQ(8, CStyledMenu::SetMenuDrawMode(2));
    const struct {
        int (*pfnSet)(int);
        int nDefault;
    } options[] = {{&CStyledMenu::SetDisabledIconStyle, 1},
                   {&CStyledMenu::SetSelectDisableMode, 1},
                   {&CStyledMenu::SetFrameAllPopups, 1}};
    for (const auto& o : options) {
        EXPECT_EQ(o.nDefault, o.pfnSet(0));
        EXPECT_EQ(0, o.pfnSet(o.nDefault));
    }
    LOGFONT lf{};
    CStyledMenu::GetTitleFont(&lf);
    EXPECT_EQ(16, lf.lfHeight);
    EXPECT_EQ(700, lf.lfWeight);
    EXPECT_STREQ("Arial", lf.lfFaceName);
}

// --- editing -----------------------------------------------------------------

TEST(StyledMenuEdit, InsertModifyAndRemoveKeepRecordsAndItemsInStep) {
    const int nRecords = CStyledMenuItemData::GetLiveCount();
    CStyledMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem("a", 0, 1);
    menu.AppendItem("b", 0, 2);
    menu.AppendItem("c", 0, 3);
    ASSERT_TRUE(menu.InsertItemFromImageList((UINT)-1, "end", MF_BYPOSITION, 4, nullptr, -1));
    ASSERT_TRUE(menu.InsertItem(0, "first", MF_BYPOSITION, 5));
    ASSERT_TRUE(menu.InsertItem(2, "before b", MF_BYCOMMAND, 6));  // 2 is b's command
    EXPECT_STREQ("firstabefore bbcend", TextsOf(menu));
    ExpectInStep(menu);
    CStyledMenu* pSub = menu.AppendPopup("sub");
    ASSERT_NE(nullptr, pSub);
    pSub->AppendItem("s1", 0, 7);
    ASSERT_TRUE(menu.InsertItem(7, "s0", MF_BYCOMMAND, 8));  // lands in the sub-menu
    EXPECT_STREQ("s0s1", TextsOf(*pSub));
    EXPECT_FALSE(menu.InsertItem(999, "nowhere", MF_BYCOMMAND, 9));

    ASSERT_TRUE(menu.ModifyItem(1, MF_BYCOMMAND | MF_STRING, 11, "A!"));
    EXPECT_EQ(11u, menu.GetItemRecord(1)->m_nID);
    EXPECT_STREQ("A!", menu.GetItemRecord(1)->m_strText);
    EXPECT_EQ(11u, GetItem(menu.m_hMenu, 1).wID);
    ASSERT_TRUE(menu.SetMenuText(7, "S1", MF_BYCOMMAND));
    CString str;
    ASSERT_TRUE(menu.GetMenuText(7, str, MF_BYCOMMAND));
    EXPECT_STREQ("S1", str);
    ASSERT_TRUE(menu.GetMenuText(0, str, MF_BYPOSITION));
    EXPECT_STREQ("first", str);
    EXPECT_FALSE(menu.GetMenuText(99, str, MF_BYPOSITION));
    ExpectInStep(menu);
    ExpectInStep(*pSub);

    EXPECT_EQ(pSub->m_hMenu, menu.GetSubMenu("sub")->GetSafeHmenu());
    EXPECT_EQ(nullptr, menu.GetSubMenu("a"));
    EXPECT_TRUE(menu.SwapItemCommand(3, 33));
    EXPECT_EQ(33u, GetItem(menu.m_hMenu, 4).wID);
    EXPECT_FALSE(menu.SwapItemCommand(999, 1));

    // Removing the popup by position hands the sub-menu back: it is no longer ours.
    const int nSubPos = ::GetMenuItemCount(menu.m_hMenu) - 1;
    HMENU hSub = pSub->m_hMenu;
    ASSERT_TRUE(menu.RemoveMenu((UINT)nSubPos, MF_BYPOSITION));
    EXPECT_TRUE(menu.GetOwnedSubMenus().empty());
    ExpectInStep(menu);
    ASSERT_TRUE(::IsMenu(hSub));
    delete CStyledMenu::FromHandleStyled(hSub);
    // Deleting an owned popup deletes its object and records with it.
    CStyledMenu* pOwned = menu.AppendPopup("owned");
    pOwned->AppendItem("o", 0, 12);
    HMENU hOwned = pOwned->m_hMenu;
    const int nBefore = CStyledMenuItemData::GetLiveCount();
    ASSERT_TRUE(menu.DeleteMenu(12, MF_BYCOMMAND));  // the item inside it
    ASSERT_TRUE(menu.DeleteMenu((UINT)::GetMenuItemCount(menu.m_hMenu) - 1, MF_BYPOSITION));
    EXPECT_FALSE(::IsMenu(hOwned));
    EXPECT_EQ(nBefore - 2, CStyledMenuItemData::GetLiveCount());
    ExpectInStep(menu);
    menu.DestroyMenu();
    EXPECT_EQ(nRecords, CStyledMenuItemData::GetLiveCount());
}

TEST(StyledMenuEdit, RemoveItemByTextRemovesAroundTheFoundItem) {
    const struct {
        int nMode;
        const char* pszLeft;
    } cases[] = {{0, "abde"}, {1, "acde"}, {2, "abce"}, {3, "ace"}, {4, "abcde"}};
    for (const auto& c : cases) {
        CStyledMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        for (const char* p : {"a", "b", "c", "d", "e"})
            menu.AppendItem(p, 0, (UINT_PTR)p[0]);
        EXPECT_EQ(2, menu.RemoveItemByText("c", c.nMode)) << c.nMode;
        EXPECT_STREQ(c.pszLeft, TextsOf(menu)) << c.nMode;
        ExpectInStep(menu);
        EXPECT_EQ(-1, menu.RemoveItemByText("zzz", 0));
    }
    // A menu of sub-menus only has no item position to give.
    CStyledMenu popups;
    ASSERT_TRUE(popups.CreatePopupMenu());
    popups.AppendPopup("p");
    EXPECT_EQ(-1, popups.GetItemPosition("p"));
}

TEST(StyledMenuEdit, ItemValuesCheckMarksAndBitmapBackground) {
    CStyledMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem("a", 0, 1);
    menu.CMenu::AppendMenu(MF_OWNERDRAW, 50, (LPCSTR)(ULONG_PTR)0x1234);  // not ours
    EXPECT_TRUE(menu.SetItemUserData(1, 77, FALSE));
    EXPECT_EQ(77u, menu.GetItemUserData(0, TRUE));
    EXPECT_EQ((DWORD)-1, menu.GetItemUserData(50, FALSE));
    EXPECT_FALSE(menu.SetItemUserData(50, 1, FALSE));
    EXPECT_EQ((DWORD)-1, menu.GetItemUserData(999, FALSE));

    EXPECT_FALSE(menu.SetCheckBitmaps(0, IDB_ICON16));
    EXPECT_EQ(nullptr, menu.GetCheckMarks());
    ASSERT_TRUE(menu.SetCheckBitmaps(IDB_ICON16, IDB_ICON16));
    ASSERT_NE(nullptr, menu.GetCheckMarks());
    EXPECT_EQ(2, menu.GetCheckMarks()->GetImageCount());
    CStyledMenu* pSub = menu.AppendPopup("sub");
    EXPECT_EQ(menu.GetCheckMarks(), pSub->GetCheckMarks());  // shared, freed once by its owner

    EXPECT_EQ(::GetSysColor(COLOR_3DFACE), menu.GetBitmapBackground());
    EXPECT_EQ(0xFF000000u, menu.SetBitmapBackground(RGB(1, 2, 3)));
    EXPECT_EQ(RGB(1, 2, 3), menu.GetBitmapBackground());
    EXPECT_EQ(20, menu.SetIconSize(18, 20));
    EXPECT_EQ(CSize(18, 20), menu.GetIconSize());
    EXPECT_TRUE(menu.SetMenuData(5));
    EXPECT_EQ(5u, menu.GetMenuUserData());
    EXPECT_TRUE(menu.SetPopupMenu(FALSE));
    EXPECT_FALSE(menu.IsPopupMenu());
}

TEST(StyledMenuEdit, ModifyODMenuReachesEveryOccurrenceOfTheCommand) {
    const COLORREF colours[] = {RGB(0, 200, 0)};
    CImageList list;
    ASSERT_TRUE(mtest::MakeIconList(list, 16, 16, colours, 1));
    CStyledMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem("top", 0, 400);
    CStyledMenu* pSub = menu.AppendPopup("sub");
    pSub->AppendItem("inner", 0, 400);
    pSub->AppendItem("other", 0, 401);
    ASSERT_TRUE(menu.ModifyODMenuFromImageList(nullptr, 400, &list, 0));
    for (const CStyledMenuItemData* p : {menu.GetItemRecord(0), pSub->GetItemRecord(0)}) {
        EXPECT_NE(nullptr, p->m_pIcons);
        EXPECT_EQ(0, p->m_nIconIndex);
    }
    EXPECT_STREQ("inner", pSub->GetItemRecord(0)->m_strText);
    EXPECT_EQ(-1, pSub->GetItemRecord(1)->m_nIconIndex);
    ASSERT_TRUE(menu.ModifyODMenu("New", 400, -1));
    EXPECT_STREQ("New", menu.GetItemRecord(0)->m_strText);
    EXPECT_STREQ("New", pSub->GetItemRecord(0)->m_strText);
    EXPECT_EQ(-1, pSub->GetItemRecord(0)->m_nIconIndex);
    ASSERT_TRUE(menu.ModifyODMenuWithColour("Colour", 401, RGB(255, 0, 0), RGB(0, 0, 0)));
    EXPECT_GE(pSub->GetItemRecord(1)->m_nIconIndex, 0);
    EXPECT_TRUE(menu.ModifyODMenuByText("Renamed", "Colour", -1));
    EXPECT_STREQ("Renamed", pSub->GetItemRecord(1)->m_strText);
    EXPECT_FALSE(menu.ModifyODMenuByText("x", "absent", -1));
    EXPECT_FALSE(menu.ModifyODMenu(nullptr, 999, -1));
    ExpectInStep(menu);
    ExpectInStep(*pSub);
}

TEST(StyledMenuEdit, ToolBarIconsComeFromTheToolBarResourceAndAreShared) {
    const size_t nSetsBefore = CStyledMenuIcons::GetSharedList().size();
    {
        CStyledMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        menu.AppendItem("blue", 0, ID_TB_BLUE);
        menu.AppendItem("green", 0, ID_TB_GREEN);
        menu.AppendItem("plain", 0, 555);
        ASSERT_TRUE(menu.LoadToolbar(IDR_TOOLBAR));
        CStyledMenuIcons* pSet = menu.GetItemRecord(0)->m_pIcons;
        ASSERT_NE(nullptr, pSet);
        EXPECT_EQ(3, menu.GetItemRecord(0)->m_nIconIndex);  // the second button with an image
        EXPECT_EQ(6, menu.GetItemRecord(1)->m_nIconIndex);
        EXPECT_EQ(-1, menu.GetItemRecord(2)->m_nIconIndex);
        EXPECT_EQ(9, pSet->m_imageList.GetImageCount());
        CStyledMenu other;
        ASSERT_TRUE(other.CreatePopupMenu());
        ASSERT_TRUE(other.InsertItem(0, "red", MF_BYPOSITION, ID_TB_RED, IDR_TOOLBAR));
        EXPECT_EQ(pSet, other.GetItemRecord(0)->m_pIcons);
        EXPECT_EQ(0, other.GetItemRecord(0)->m_nIconIndex);
        // A command the tool bar lacks takes the bitmap of that id as its icon.
        ASSERT_TRUE(other.InsertItem(1, "bitmap", MF_BYPOSITION, 556, IDB_ICON16));
        EXPECT_TRUE(other.GetItemRecord(1)->m_pIcons->IsKindOf(RUNTIME_CLASS(CStyledMenuBitmaps)));
        EXPECT_GE(other.GetItemRecord(1)->m_nIconIndex, 0);
        EXPECT_FALSE(other.LoadToolbar(4242));
        // A description of the same bitmap and commands finds the same set; another makes its own.
        const WORD desc[] = {IDR_TOOLBAR, 16, 15, ID_TB_RED, ID_TB_BLUE, ID_TB_GREEN, 0};
        EXPECT_EQ(pSet, other.FindOrLoadToolBarData(desc, (COLORREF)-1));
        const WORD descTwo[] = {IDR_TOOLBAR, 16, 15, ID_TB_GREEN, ID_TB_BLUE, 0};
        CStyledMenuIcons* pFromData = other.FindOrLoadToolBarData(descTwo, (COLORREF)-1);
        ASSERT_NE(nullptr, pFromData);
        EXPECT_NE(pSet, pFromData);
        EXPECT_EQ(pFromData, other.FindOrLoadToolBarData(descTwo, (COLORREF)-1));
        EXPECT_EQ(3, pFromData->FindImageIndex(ID_TB_BLUE));
        int nImage = -1;
        EXPECT_TRUE(CStyledMenu::GetToolBarImageIndex(ID_TB_GREEN, IDR_TOOLBAR, nImage));
        EXPECT_EQ(2, nImage);
        EXPECT_FALSE(CStyledMenu::GetToolBarImageIndex(555, IDR_TOOLBAR, nImage));
    }
    // The data-loaded set was never held by an item: it stays until the library ends.
    EXPECT_EQ(nSetsBefore + 1, CStyledMenuIcons::GetSharedList().size());
}

// The bitmap forms take a copy for the image list's masked add, which blackens
// the background of what it is given: the caller's bitmap stays as it was, so
// the same bitmap used again gives the same icon, transparent at its border.
TEST(StyledMenuEdit, BitmapFormsLeaveTheCallersBitmapAsItWas) {
    const COLORREF clrBack = ::GetSysColor(COLOR_3DFACE);
    const COLORREF clrInk = RGB(200, 30, 30);
    const COLORREF clrCanvas = RGB(1, 2, 3);
    CBitmap bmp;
    ASSERT_TRUE(mtest::MakeFramedBitmap(bmp, 16, 15, clrBack, clrInk));
    const long nGdi = AfxGetLiveGdiObjectCount();
    {  // the menu and the set hold image lists of their own
        CStyledMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        ASSERT_TRUE(menu.AppendItemWithBitmap("appended", 0, 601, &bmp));
        ASSERT_TRUE(menu.InsertItemWithBitmap(0, "inserted", MF_BYPOSITION, 602, &bmp));
        ASSERT_TRUE(menu.InsertMenu(601, MF_BYCOMMAND, 603, "before appended", &bmp));
        menu.AppendItem("modified", 0, 604);
        ASSERT_TRUE(menu.ModifyODMenuWithBitmap("modified!", 604, &bmp));
        EXPECT_STREQ("insertedbefore appendedappendedmodified!", TextsOf(menu));
        ExpectInStep(menu);
        CStyledMenuBitmaps set;
        const int nOwn = set.AddBitmap(&bmp, clrBack);
        ASSERT_EQ(0, nOwn);
        EXPECT_EQ(clrBack, mtest::BitmapPixel(bmp, 0, 0));
        EXPECT_EQ(clrInk, mtest::BitmapPixel(bmp, 8, 7));
        std::vector<std::pair<HIMAGELIST, int>> icons{{set.m_imageList.m_hImageList, nOwn}};
        for (int i = 0; i < menu.GetItemRecordCount(); ++i) {
            const CStyledMenuItemData* pData = menu.GetItemRecord(i);
            ASSERT_NE(nullptr, pData->m_pIcons) << i;
            icons.emplace_back(pData->m_pIcons->m_imageList.m_hImageList, pData->m_nIconIndex);
        }
        for (const auto& icon : icons) {
            EXPECT_EQ(clrCanvas, mtest::ImagePixel(icon.first, icon.second, 0, 0, clrCanvas)) << icon.second;
            EXPECT_EQ(clrInk, mtest::ImagePixel(icon.first, icon.second, 8, 7, clrCanvas)) << icon.second;
        }
        // No bitmap: no icon, or only the new text.
        ASSERT_TRUE(menu.AppendItemWithBitmap("none", 0, 605, nullptr));
        EXPECT_EQ(nullptr, menu.GetItemRecord(4)->m_pIcons);
        ASSERT_TRUE(menu.ModifyODMenuWithBitmap("text only", 604, nullptr));
        EXPECT_STREQ("text only", menu.GetItemRecord(3)->m_strText);
        EXPECT_EQ(-1, menu.GetItemRecord(3)->m_nIconIndex);
    }
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}

// The forms in the argument order of InsertMenu put the items where and as they are told.
TEST(StyledMenuEdit, InsertMenuOrderFormsForwardTheirArguments) {
    const long nGdi = AfxGetLiveGdiObjectCount();
    {
        const COLORREF colours[] = {RGB(0, 0, 200)};
        CImageList list;
        ASSERT_TRUE(mtest::MakeIconList(list, 16, 16, colours, 1));
        CStyledMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        menu.AppendItem("a", 0, 1);
        menu.AppendItem("b", 0, 2);
        ASSERT_TRUE(menu.InsertMenu(1, MF_BYPOSITION | MF_CHECKED, ID_TB_BLUE, "tool", IDR_TOOLBAR));
        ASSERT_TRUE(menu.InsertMenu(2, MF_BYCOMMAND, 702, "listed", &list, 0));  // before the item of command 2
        ASSERT_TRUE(menu.InsertMenu((UINT)-1, MF_BYPOSITION, 703, "end", -1));
        EXPECT_STREQ("atoollistedbend", TextsOf(menu));
        ExpectInStep(menu);
        const CStyledMenuItemData* pTool = menu.GetItemRecord(1);
        EXPECT_EQ((UINT_PTR)ID_TB_BLUE, pTool->m_nID);
        EXPECT_TRUE(pTool->m_nFlags & MF_CHECKED);
        ASSERT_NE(nullptr, pTool->m_pIcons);
        EXPECT_EQ(3, pTool->m_nIconIndex);  // the tool bar's second button with an image
        const CStyledMenuItemData* pListed = menu.GetItemRecord(2);
        EXPECT_EQ(702u, pListed->m_nID);
        ASSERT_NE(nullptr, pListed->m_pIcons);
        EXPECT_EQ(RGB(0, 0, 200), mtest::ImagePixel(pListed->m_pIcons->m_imageList.m_hImageList,
                                                    pListed->m_nIconIndex, 8, 8, RGB(1, 2, 3)));
        EXPECT_EQ(nullptr, menu.GetItemRecord(4)->m_pIcons);
        EXPECT_FALSE(menu.InsertMenu(4242, MF_BYCOMMAND, 704, "nowhere", -1));
    }
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}

// 1 only when every tool bar loaded; a null array loads nothing.
TEST(StyledMenuEdit, LoadToolbarsIsOneOnlyWhenEveryToolBarLoaded) {
    const long nGdi = AfxGetLiveGdiObjectCount();
    {
        CStyledMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        menu.AppendItem("red", 0, ID_TB_RED);
        menu.AppendItem("green", 0, ID_TB_GREEN);
        EXPECT_FALSE(menu.LoadToolbars(nullptr, 1));
        EXPECT_TRUE(menu.LoadToolbars(nullptr, 0));
        EXPECT_EQ(nullptr, menu.GetItemRecord(0)->m_pIcons);
        const UINT withMissing[] = {4242, IDR_TOOLBAR};
        EXPECT_FALSE(menu.LoadToolbars(withMissing, 2));
        EXPECT_EQ(0, menu.GetItemRecord(0)->m_nIconIndex);  // the tool bar that exists still loaded
        EXPECT_EQ(6, menu.GetItemRecord(1)->m_nIconIndex);
        const UINT both[] = {IDR_TOOLBAR, IDR_TOOLBAR};
        EXPECT_TRUE(menu.LoadToolbars(both, 2));
    }
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}

// ModifyItem modifies with the flags it is given, an id of 0 included (no
// separator, unlike appending), and makes the item owner-drawn again.
TEST(StyledMenuEdit, ModifyItemKeepsTheGivenFlagsEvenWithAnIdOfZero) {
    CStyledMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem("a", 0, 1);
    menu.AppendItem("b", 0, 2);
    ASSERT_TRUE(menu.ModifyItem(0, MF_BYPOSITION | MF_STRING | MF_CHECKED, 0, "zero"));
    const CStyledMenuItemData* pData = menu.GetItemRecord(0);
    EXPECT_EQ((UINT)(MF_BYPOSITION | MF_OWNERDRAW | MF_CHECKED), pData->m_nFlags);
    EXPECT_EQ(0u, pData->m_nID);
    EXPECT_STREQ("zero", pData->m_strText);
    const mtest::CItemInfo info = GetItem(menu.m_hMenu, 0);
    EXPECT_FALSE(info.fType & MFT_SEPARATOR);
    EXPECT_TRUE(info.fState & MFS_CHECKED);
    ExpectInStep(menu);
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, 0, 0, 0, (ULONG_PTR)pData};
    menu.MeasureItem(&mis);
    EXPECT_GT(mis.itemHeight, 3u);  // measured as an item with text, not as a separator line
}

// The bitmap of an item the system draws, or null for an owner-drawn one.
HBITMAP ShownBitmap(HMENU hMenu, int nPos) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_BITMAP;
    if (!::GetMenuItemInfoA(hMenu, (UINT)nPos, TRUE, &mii) || (mii.fType & MFT_OWNERDRAW))
        return nullptr;
    return mii.hbmpItem;
}

// ModifyItemBitmap makes a bitmap item the system draws: its record has no text
// and claims no owner-draw. Edits that apply the record again keep it a bitmap
// item; SetMenuText makes it a string item; a modification that fails leaves the
// record's text.
TEST(StyledMenuEdit, BitmapItemStaysABitmapItemUntilItGetsAText) {
    CBitmap bmp;
    ASSERT_TRUE(mtest::MakeFramedBitmap(bmp, 16, 15, RGB(255, 255, 255), RGB(0, 0, 200)));
    const HBITMAP hbm = (HBITMAP)bmp.m_hObject;
    const long nGdi = AfxGetLiveGdiObjectCount();
    {  // the menu and the icons hold image lists of their own
        CStyledMenu menu;
        ASSERT_TRUE(menu.CreatePopupMenu());
        menu.AppendItem("a", 0, 1);
        menu.AppendItem("b", 0, 2);
        ASSERT_TRUE(menu.ModifyItemBitmap(1, MF_BYCOMMAND, 10, &bmp));
        CStyledMenuItemData* pData = menu.GetItemRecord(0);
        auto expectBitmapItem = [&](int nPos, UINT nID, const char* pszStep) {
            EXPECT_EQ(hbm, ShownBitmap(menu.m_hMenu, nPos)) << pszStep;
            EXPECT_EQ(nID, GetItem(menu.m_hMenu, nPos).wID) << pszStep;
            EXPECT_EQ(pData, menu.GetItemRecord(nPos)) << pszStep;
            EXPECT_TRUE(pData->m_nFlags & MF_BITMAP) << pszStep;
            EXPECT_FALSE(pData->m_nFlags & MF_OWNERDRAW) << pszStep;
            EXPECT_EQ(::GetMenuItemCount(menu.m_hMenu), menu.GetItemRecordCount()) << pszStep;
        };
        expectBitmapItem(0, 10, "modified");
        EXPECT_STREQ("", pData->m_strText);
        EXPECT_EQ(10u, pData->m_nID);
        ASSERT_TRUE(menu.SwapItemCommand(10, 11));
        expectBitmapItem(0, 11, "swapped");
        ASSERT_TRUE(menu.ModifyODMenu("named", 11, -1));
        expectBitmapItem(0, 11, "no new icon");
        ASSERT_TRUE(menu.ModifyODMenuWithBitmap("renamed", 11, nullptr));
        expectBitmapItem(0, 11, "no new bitmap");
        ASSERT_TRUE(menu.SetMenuTitle("Title", CStyledMenu::titleVertical));
        expectBitmapItem(1, 11, "second item of a side title");
        EXPECT_TRUE(GetItem(menu.m_hMenu, 1).fType & MFT_MENUBREAK);
        ASSERT_TRUE(menu.RemoveMenuTitle());
        expectBitmapItem(0, 11, "title removed");
        EXPECT_FALSE(GetItem(menu.m_hMenu, 0).fType & MFT_MENUBREAK);
        // A text makes it a string item, owner-drawn with its record.
        ASSERT_TRUE(menu.SetMenuText(0, "text", MF_BYPOSITION));
        EXPECT_EQ(nullptr, ShownBitmap(menu.m_hMenu, 0));
        EXPECT_FALSE(pData->m_nFlags & MF_BITMAP);
        ExpectInStep(menu);
        // A new icon makes a bitmap item owner-drawn too.
        ASSERT_TRUE(menu.ModifyItemBitmap(0, MF_BYPOSITION, 11, &bmp));
        const COLORREF colours[] = {RGB(0, 200, 0)};
        CImageList list;
        ASSERT_TRUE(mtest::MakeIconList(list, 16, 16, colours, 1));
        ASSERT_TRUE(menu.ModifyODMenuFromImageList("icon", 11, &list, 0));
        EXPECT_EQ(nullptr, ShownBitmap(menu.m_hMenu, 0));
        EXPECT_GE(pData->m_nIconIndex, 0);
        ExpectInStep(menu);

        // A menu cannot hold itself: the modification fails and the record keeps its text.
        EXPECT_FALSE(menu.ModifyItemBitmap(1, MF_BYPOSITION | MF_POPUP, (UINT_PTR)menu.m_hMenu, &bmp));
        EXPECT_STREQ("b", menu.GetItemRecord(1)->m_strText);
    }
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}

// --- messages ----------------------------------------------------------------

TEST(StyledMenuMessages, MenuCharFindsTheMnemonicInAnyCase) {
    CStyledMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem("&Open", 0, 1);
    menu.AppendItem("E&xit", 0, 2);
    menu.AppendItem("Save &&quit", 0, 3);
    const struct {
        char ch;
        LRESULT lResult;
    } cases[] = {{'X', 0x20001}, {'x', 0x20001}, {'o', 0x20000}, {'q', 0x20002}, {'z', 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.lResult, CStyledMenu::HandleMenuChar((BYTE)c.ch, MF_POPUP, &menu)) << c.ch;
    CMenu plain;
    ASSERT_TRUE(plain.CreatePopupMenu());
    plain.AppendMenu(MF_STRING, 1, "&x");
    EXPECT_EQ(0, CStyledMenu::HandleMenuChar('x', 0, &plain));
    EXPECT_EQ(0, CStyledMenu::HandleMenuChar('x', 0, nullptr));
}

TEST(StyledMenuMessages, MeasureRequestFindsTheMenuThatHoldsTheItem) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
    CStyledMenu bar;
    ASSERT_TRUE(bar.LoadMenu(IDR_TWO_LEVELS));
    ASSERT_TRUE(::SetMenu(wnd.m_hWnd, bar.m_hMenu));
    CStyledMenu* pFile = CStyledMenu::FromHandleStyled(::GetSubMenu(bar.m_hMenu, 0));
    CStyledMenu* pMore = CStyledMenu::FromHandleStyled(::GetSubMenu(pFile->m_hMenu, 3));
    auto measure = [&](UINT nCtlType, UINT nID, ULONG_PTR itemData, MEASUREITEMSTRUCT* pMIS) {
        *pMIS = MEASUREITEMSTRUCT{nCtlType, 0, nID, 0, 0, itemData};
        MSG msg{wnd.m_hWnd, WM_MEASUREITEM, 0, (LPARAM)pMIS, 0, {0, 0}};
        return CStyledMenu::OnMeasureItem(&msg);
    };
    MEASUREITEMSTRUCT mis;
    const ULONG_PTR deepData = (ULONG_PTR)pMore->GetItemRecord(0);
    EXPECT_TRUE(measure(ODT_MENU, ID_DEEP, deepData, &mis));
    EXPECT_GT(mis.itemWidth, 0u);
    EXPECT_FALSE(measure(ODT_MENU, ID_DEEP, 0x1234, &mis));  // a foreign item is not ours to measure
    EXPECT_FALSE(measure(ODT_LISTBOX, ID_DEEP, deepData, &mis));
    EXPECT_FALSE(measure(ODT_MENU, 4242, deepData, &mis));
    // A popup item is measured on the menu that holds its record.
    EXPECT_TRUE(measure(ODT_MENU, (UINT)(UINT_PTR)pMore->m_hMenu, (ULONG_PTR)pFile->GetItemRecord(3), &mis));
    EXPECT_GT(mis.itemHeight, 0u);
    ::SetMenu(wnd.m_hWnd, nullptr);

    EXPECT_EQ(pFile->m_hMenu, CStyledMenu::FindMenuOfCommand(&bar, ID_EXIT)->GetSafeHmenu());
    EXPECT_EQ(pMore->m_hMenu, CStyledMenu::FindMenuOfCommand(&bar, ID_DEEP)->GetSafeHmenu());
    EXPECT_EQ(nullptr, CStyledMenu::FindMenuOfCommand(&bar, 4242));
    EXPECT_EQ(pMore->m_hMenu, CStyledMenu::FindMenuOfItem(&bar, ID_DEEP, deepData)->GetSafeHmenu());
    EXPECT_EQ(nullptr, CStyledMenu::FindMenuOfItem(&bar, ID_DEEP, deepData + 1));
    AfxDeleteTempMaps();
}

// The platform takes a menu handle's low word alone for the handle too: a
// command whose id happens to be that word is still measured as the command
// of its own menu, the same as its twin of another id.
TEST(StyledMenuMessages, ACommandIdThatIsAMenuHandlesLowWordIsMeasuredAsACommand) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
    CStyledMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    bar.SetPopupMenu(FALSE);
    CStyledMenu* pFile = bar.AppendPopup("&File");
    ASSERT_NE(nullptr, pFile);
    const UINT nClash = LOWORD((UINT_PTR)pFile->m_hMenu);
    const UINT nTwin = 7;
    ASSERT_TRUE(::IsMenu((HMENU)(UINT_PTR)nClash)) << "the platform no longer takes the low word for the handle";
    ASSERT_FALSE(::IsMenu((HMENU)(UINT_PTR)nTwin));
    pFile->AppendItem("&Clock options...", 0, nClash, -1);
    pFile->AppendItem("&Clock options...", 0, nTwin, -1);
    ASSERT_TRUE(::SetMenu(wnd.m_hWnd, bar.m_hMenu));
    MEASUREITEMSTRUCT clash{ODT_MENU, 0, nClash, 0, 0, (ULONG_PTR)pFile->GetItemRecord(0)};
    MEASUREITEMSTRUCT twin{ODT_MENU, 0, nTwin, 0, 0, (ULONG_PTR)pFile->GetItemRecord(1)};
    MSG msg{wnd.m_hWnd, WM_MEASUREITEM, 0, (LPARAM)&clash, 0, {0, 0}};
    EXPECT_TRUE(CStyledMenu::OnMeasureItem(&msg));
    msg.lParam = (LPARAM)&twin;
    ASSERT_TRUE(CStyledMenu::OnMeasureItem(&msg));
    EXPECT_EQ(twin.itemWidth, clash.itemWidth);
    EXPECT_EQ(twin.itemHeight, clash.itemHeight);
    // Asked of its menu directly, as a popup item would not be.
    clash.itemWidth = clash.itemHeight = 0;
    pFile->MeasureItem(&clash);
    EXPECT_EQ(twin.itemWidth, clash.itemWidth);
    EXPECT_EQ(twin.itemHeight, clash.itemHeight);
    ::SetMenu(wnd.m_hWnd, nullptr);
    AfxDeleteTempMaps();
}

TEST(StyledMenuMessages, OpenCountsFollowNestedPopupsOfAMenuBar) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
    CStyledMenu bar;
    ASSERT_TRUE(bar.LoadMenu(IDR_TWO_LEVELS));
    CStyledMenu* pFile = CStyledMenu::FromHandleStyled(::GetSubMenu(bar.m_hMenu, 0));
    CStyledMenu* pMore = CStyledMenu::FromHandleStyled(::GetSubMenu(pFile->m_hMenu, 3));
    CStyledMenu::OnInitMenuPopup(wnd.m_hWnd, pFile, 0, FALSE);
    CStyledMenu::OnInitMenuPopup(wnd.m_hWnd, pMore, 3, FALSE);
    EXPECT_EQ(pMore->m_hMenu, CStyledMenu::GetLastOpenedPopup());
    EXPECT_EQ(wnd.m_hWnd, pMore->GetOwnerWindow());
    EXPECT_EQ(1, bar.GetOpenCount());
    EXPECT_EQ(1, pFile->GetOpenCount());
    EXPECT_FALSE(pMore->OnUnInitPopupMenu());  // its parent is a popup
    EXPECT_EQ(0, pFile->GetOpenCount());
    EXPECT_EQ(1, bar.GetOpenCount());
    EXPECT_TRUE(pFile->OnUnInitPopupMenu());  // its parent is the menu bar
    EXPECT_EQ(0, bar.GetOpenCount());
}

TEST(StyledMenuMessages, MenuBarItemDrawnOnHotTrackingIsRememberedUntilDrawnPlain) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
    CStyledMenu bar;
    ASSERT_TRUE(bar.LoadMenu(IDR_TWO_LEVELS));
    ASSERT_TRUE(wnd.SetMenu(&bar));
    wnd.DrawMenuBar();
    const ULONG_PTR fileData = (ULONG_PTR)bar.GetItemRecord(0);
    EXPECT_FALSE(CStyledMenu::DrawMenuBarItem(&wnd, &bar, -1, ODS_HOTLIGHT));
    EXPECT_FALSE(CStyledMenu::DrawMenuBarItem(&wnd, &bar, 7, ODS_HOTLIGHT));
    ASSERT_TRUE(CStyledMenu::DrawMenuBarItem(&wnd, &bar, 0, ODS_HOTLIGHT));
    EXPECT_EQ(fileData, CStyledMenu::GetHotMenuBarItem());
    // Drawn again without the hot state (the WM_DRAWITEM reaches the menu through the window).
    ASSERT_TRUE(CStyledMenu::DrawMenuBarItem(&wnd, &bar, 0, 0));
    EXPECT_EQ(0u, CStyledMenu::GetHotMenuBarItem());
    // A plain item of a plain menu bar is not ours to draw.
    CMenu plain;
    ASSERT_TRUE(plain.CreateMenu());
    plain.AppendMenu(MF_STRING, 1, "plain");
    ASSERT_TRUE(wnd.SetMenu(&plain));
    EXPECT_FALSE(CStyledMenu::DrawMenuBarItem(&wnd, &plain, 0, ODS_HOTLIGHT));
    wnd.SetMenu(nullptr);
}

TEST(StyledMenuMessages, SystemCommandsCarryPrivateIdsWhileTheSystemMenuIsOpen) {
    const int nVersion = g_menuLib.nWinVersion;
    for (int nCode : {7, 6}) {
        g_menuLib.nWinVersion = nCode;
        CStyledMenu sysMenu;
        CWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
        ASSERT_TRUE(sysMenu.LoadMenu(::GetSystemMenu(wnd.m_hWnd, FALSE)));
        ASSERT_NE(0xFFFFFFFFu, ::GetMenuState(sysMenu.m_hMenu, SC_CLOSE, MF_BYCOMMAND));
        CStyledMenu::OnInitMenuPopup(wnd.m_hWnd, &sysMenu, 0, TRUE);
        const bool bSwapped = nCode == 7;
        EXPECT_EQ(bSwapped, ::GetMenuState(sysMenu.m_hMenu, 0xF061, MF_BYCOMMAND) != 0xFFFFFFFF) << nCode;
        EXPECT_EQ(!bSwapped, ::GetMenuState(sysMenu.m_hMenu, SC_CLOSE, MF_BYCOMMAND) != 0xFFFFFFFF) << nCode;
        sysMenu.OnUnInitPopupMenu();
        EXPECT_NE(0xFFFFFFFFu, ::GetMenuState(sysMenu.m_hMenu, SC_CLOSE, MF_BYCOMMAND));
        EXPECT_EQ(0xFFFFFFFFu, ::GetMenuState(sysMenu.m_hMenu, 0xF061, MF_BYCOMMAND));
        ExpectInStep(sysMenu);
    }
    g_menuLib.nWinVersion = nVersion;
}

}  // namespace
