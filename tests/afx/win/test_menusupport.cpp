// What owner-drawn menus need of the layer: the command-UI update of a popup
// with its parent menu, the tracking window, system-colour bitmaps, the tool
// bar reader, run-time classes of class templates, and the popup-menu driver
// of the tests, each checked against what Win32 itself answers.
#include <gtest/gtest.h>

#include "afx/afxwin.h"
#include "menusupport_res.h"
#include "support/win_menu_driver.h"
#include "support/win_window.h"

namespace {

// --- command-UI update -------------------------------------------------------

const UINT kChecked = 30001;     // its handler checks it
const UINT kUnhandled = 30002;   // no handler: disabled
const UINT kSystem = 0xF100;     // no handler, but a system command: left alone
const UINT kSubFirst = 30003;    // first item of a sub-menu; its handler disables
const UINT kRemoving = 30004;    // its handler removes its own item
const UINT kAfterRemoved = 30005;

class CUpdateWnd : public CWnd {
public:
    int m_nSubCalls = 0;
    CMenu* m_pSeenParent = nullptr;
    CMenu* m_pSeenSub = nullptr;
    int m_nAfterCalls = 0;

    afx_msg void OnUpdateChecked(CCmdUI* pCmdUI) {
        pCmdUI->SetCheck(1);
        m_pSeenParent = pCmdUI->m_pParentMenu;
    }
    afx_msg void OnUpdateSubFirst(CCmdUI* pCmdUI) {
        ++m_nSubCalls;
        m_pSeenSub = pCmdUI->m_pSubMenu;
        pCmdUI->Enable(FALSE);
    }
    afx_msg void OnUpdateRemoving(CCmdUI* pCmdUI) { pCmdUI->m_pMenu->RemoveMenu(pCmdUI->m_nIndex, MF_BYPOSITION); }
    afx_msg void OnUpdateAfter(CCmdUI* pCmdUI) {
        ++m_nAfterCalls;
        pCmdUI->Enable(TRUE);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CUpdateWnd, CWnd)
    ON_UPDATE_COMMAND_UI(kChecked, OnUpdateChecked)
    ON_UPDATE_COMMAND_UI(kSubFirst, OnUpdateSubFirst)
    ON_UPDATE_COMMAND_UI(kRemoving, OnUpdateRemoving)
    ON_UPDATE_COMMAND_UI(kAfterRemoved, OnUpdateAfter)
END_MESSAGE_MAP()

TEST(MenuSupport, PopupCommandUIUpdateFollowsHandlersAndParentMenu) {
    CUpdateWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
    CMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    CMenu sub;
    ASSERT_TRUE(sub.CreatePopupMenu());
    sub.AppendMenu(MF_STRING, kSubFirst, "first");
    popup.AppendMenu(MF_STRING, kChecked, "checked");
    popup.AppendMenu(MF_SEPARATOR, 0, (LPCSTR)nullptr);
    popup.AppendMenu(MF_STRING, kUnhandled, "unhandled");
    popup.AppendMenu(MF_STRING, kSystem, "system");
    popup.AppendMenu(MF_POPUP, (UINT_PTR)sub.m_hMenu, "sub");
    popup.AppendMenu(MF_STRING, kRemoving, "removing");
    popup.AppendMenu(MF_STRING, kAfterRemoved, "after");
    bar.AppendMenu(MF_POPUP, (UINT_PTR)popup.m_hMenu, "File");
    ASSERT_TRUE(wnd.SetMenu(&bar));

    AfxUpdateMenuPopupCmdUI(&wnd, wnd.m_hWnd, &popup);

    // The popup sits in the window's menu bar: that is its parent menu.
    EXPECT_EQ(bar.m_hMenu, wnd.m_pSeenParent->GetSafeHmenu());
    const struct {
        UINT nID;
        UINT nExpected;  // state bits that must be set
        UINT nAbsent;    // state bits that must be clear
    } cases[] = {
        {kChecked, MF_CHECKED, MF_GRAYED},
        {kUnhandled, MF_GRAYED, MF_CHECKED},
        {kSystem, 0, MF_GRAYED},
        {kAfterRemoved, 0, MF_GRAYED},
    };
    for (const auto& c : cases) {
        UINT nState = ::GetMenuState(popup.m_hMenu, c.nID, MF_BYCOMMAND);
        EXPECT_EQ(c.nExpected, nState & c.nExpected) << c.nID;
        EXPECT_EQ(0u, nState & c.nAbsent) << c.nID;
    }
    // The sub-menu asked through its first item, which itself is not touched.
    EXPECT_EQ(1, wnd.m_nSubCalls);
    EXPECT_EQ(sub.m_hMenu, wnd.m_pSeenSub->GetSafeHmenu());
    EXPECT_EQ(0u, ::GetMenuState(sub.m_hMenu, kSubFirst, MF_BYCOMMAND) & MF_GRAYED);
    // The removed item is gone, and the one after it was asked exactly once.
    EXPECT_EQ(0xFFFFFFFFu, ::GetMenuState(popup.m_hMenu, kRemoving, MF_BYCOMMAND));
    EXPECT_EQ(1, wnd.m_nAfterCalls);
    wnd.SetMenu(nullptr);
    popup.RemoveMenu(4, MF_BYPOSITION);  // the sub-menu object destroys its own menu
    bar.RemoveMenu(0, MF_BYPOSITION);
    AfxDeleteTempMaps();
}

// --- tracking window and the menu driver -------------------------------------

TEST(MenuSupport, TrackingWindowIsKnownWhileThePopupRunsAndTheDriverChoosesByID) {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr, nullptr));
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    CMenu sub;
    ASSERT_TRUE(sub.CreatePopupMenu());
    sub.AppendMenu(MF_STRING, 31003, "deep");
    menu.AppendMenu(MF_STRING, 31001, "one");
    menu.AppendMenu(MF_SEPARATOR, 0, (LPCSTR)nullptr);
    menu.AppendMenu(MF_STRING, 31002, "two");
    menu.AppendMenu(MF_POPUP, (UINT_PTR)sub.m_hMenu, "sub");
    ::SetForegroundWindow(wnd.m_hWnd);

    const struct {
        UINT nPick;
        UINT nReturned;
    } cases[] = {{31002, 31002}, {31003, 31003}, {31001, 31001}, {0, 0}};
    for (const auto& c : cases) {
        HWND hSeenWindow = nullptr;
        HMENU hSeenMenu = nullptr;
        vtest::CMenuDriver driver(c.nPick);
        driver.m_onOpen = [&](HWND, HMENU) {
            hSeenWindow = CMenu::GetTrackingWindow();
            hSeenMenu = CMenu::GetTrackingMenu();
        };
        UINT nResult = (UINT)menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD, 20, 20, &wnd);
        EXPECT_EQ(c.nReturned, nResult) << c.nPick;
        EXPECT_EQ(c.nPick != 0, driver.Chose());
        EXPECT_EQ(wnd.m_hWnd, hSeenWindow);
        EXPECT_EQ(menu.m_hMenu, hSeenMenu);
        EXPECT_EQ(nullptr, CMenu::GetTrackingWindow());
    }
    menu.RemoveMenu(3, MF_BYPOSITION);
}

// --- system-colour bitmaps ---------------------------------------------------

TEST(MenuSupport, SysColorBitmapMapsTheFourGreysToButtonColours) {
    HINSTANCE hInst = ::GetModuleHandleA(nullptr);
    HRSRC hRsrc = ::FindResourceA(hInst, MAKEINTRESOURCEA(IDB_SYSCOLORS), (LPCSTR)RT_BITMAP);
    ASSERT_NE(nullptr, hRsrc);
    HBITMAP hbm = AfxLoadSysColorBitmap(hInst, hRsrc);
    ASSERT_NE(nullptr, hbm);
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HGDIOBJ hOld = ::SelectObject(hMem, hbm);
    auto nearest = [&](COLORREF clr) { return ::GetNearestColor(hMem, clr); };
    const COLORREF expected[] = {
        nearest(::GetSysColor(COLOR_BTNTEXT)),  nearest(::GetSysColor(COLOR_BTNSHADOW)),
        nearest(::GetSysColor(COLOR_BTNFACE)),  nearest(::GetSysColor(COLOR_BTNHIGHLIGHT)),
        nearest(RGB(255, 0, 0)),                nearest(RGB(0, 0, 255)),
    };
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 2; ++y)
            EXPECT_EQ(expected[x], ::GetPixel(hMem, x, y)) << x << "," << y;
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
    ::DeleteObject(hbm);
    EXPECT_EQ(nullptr, AfxLoadSysColorBitmap(hInst, nullptr));
}

// --- tool bar ----------------------------------------------------------------

TEST(MenuSupport, ToolBarHoldsTheButtonsOfItsResource) {
    const long nGdi = AfxGetLiveGdiObjectCount();
    // The raw resource words, read here without the layer.
    HINSTANCE hInst = ::GetModuleHandleA(nullptr);
    HRSRC hRsrc = ::FindResourceA(hInst, MAKEINTRESOURCEA(IDR_TOOLBAR), RT_TOOLBAR);
    ASSERT_NE(nullptr, hRsrc);
    const WORD* pWords = static_cast<const WORD*>(::LockResource(::LoadResource(hInst, hRsrc)));
    const int nButtons = pWords[3];
    {
        CWnd host;
        ASSERT_TRUE(host.CreateEx(0, nullptr, "host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 100, nullptr, nullptr));
        CToolBar bar;
        ASSERT_TRUE(bar.CreateEx(&host, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 0xE800));
        EXPECT_EQ(0u, (DWORD)::GetWindowLongA(bar.m_hWnd, GWL_STYLE) & CBRS_ALIGN_TOP);
        EXPECT_EQ((DWORD)CBRS_ALIGN_TOP, bar.GetBarStyle());
        ASSERT_TRUE(bar.LoadToolBar(IDR_TOOLBAR));
        ASSERT_EQ(nButtons, bar.GetCount());
        int nImage = 0;
        for (int i = 0; i < nButtons; ++i) {
            UINT nID = 0;
            UINT nStyle = 0;
            int iImage = -1;
            bar.GetButtonInfo(i, nID, nStyle, iImage);
            EXPECT_EQ((UINT)pWords[4 + i], nID) << i;
            if (pWords[4 + i] != 0) {
                EXPECT_EQ(nImage++, iImage) << i;  // images count the buttons, not the separators
                EXPECT_EQ(i, bar.CommandToIndex(nID));
            }
        }
        EXPECT_EQ(CSize(16, 15), bar.GetImageSize());
        EXPECT_EQ(-1, bar.CommandToIndex(12345));
    }
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
    CToolBarResource res;
    EXPECT_TRUE(res.Load(nullptr, MAKEINTRESOURCEA(IDR_TOOLBAR)));
    EXPECT_EQ(4u, res.m_ids.size());
    // A resource that claims more buttons than it holds is refused.
    EXPECT_FALSE(res.Load(nullptr, MAKEINTRESOURCEA(IDR_TOOLBAR_SHORT)));
    EXPECT_TRUE(res.m_ids.empty());
    EXPECT_FALSE(res.Load(nullptr, MAKEINTRESOURCEA(4242)));
}

// --- run-time classes of class templates -------------------------------------

template <class Base>
class CMixIn : public Base {
    DECLARE_TEMPLATE_DYNAMIC(CMixIn)
};
IMPLEMENT_TEMPLATE_DYNAMIC(CMixIn, Base)

class CMixedWnd : public CMixIn<CWnd> {
    DECLARE_DYNAMIC(CMixedWnd)
};
IMPLEMENT_DYNAMIC_OVER_TEMPLATE(CMixedWnd, CMixIn<CWnd>)

class CMixedCmdTarget : public CMixIn<CCmdTarget> {};

TEST(MenuSupport, TemplateRunTimeClassesChainToTheirBase) {
    CMixedWnd wnd;
    CMixedCmdTarget target;
    EXPECT_STREQ("CMixedWnd", wnd.GetRuntimeClass()->m_lpszClassName);
    EXPECT_STREQ("CMixIn", RUNTIME_CLASS_T(CMixIn, CWnd)->m_lpszClassName);
    const struct {
        CObject* pObject;
        CRuntimeClass* pClass;
        bool bKind;
    } cases[] = {
        {&wnd, RUNTIME_CLASS_T(CMixIn, CWnd), true},
        {&wnd, RUNTIME_CLASS(CWnd), true},
        {&wnd, RUNTIME_CLASS(CMixedWnd), true},
        {&wnd, RUNTIME_CLASS_T(CMixIn, CCmdTarget), false},
        {&target, RUNTIME_CLASS_T(CMixIn, CCmdTarget), true},
        {&target, RUNTIME_CLASS(CWnd), false},
        {&target, RUNTIME_CLASS(CCmdTarget), true},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        EXPECT_EQ(cases[i].bKind, cases[i].pObject->IsKindOf(cases[i].pClass)) << i;
    // One record per instance of the template.
    EXPECT_NE(RUNTIME_CLASS_T(CMixIn, CWnd), RUNTIME_CLASS_T(CMixIn, CCmdTarget));
    EXPECT_EQ(RUNTIME_CLASS(CMixedWnd), CRuntimeClass::FromName("CMixedWnd"));
}

}  // namespace
