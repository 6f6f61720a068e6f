// The analog clock window under Wine: shape and pixels from a skinmaker
// skin at a pinned time, stacking, locking, dragging with the work-area
// rules, double-click actions, menu commands, the automatic change, Skin
// information, failed reloads and deletion from the clock's own handler.
#include "clocks/analogclock_win.h"

#include "afx/afxwin.h"
#include "clocks/clockmenu_win.h"
#include "clocks/clockwindow_win.h"
#include "clocks/skininfodlg_win.h"
#include "core/messages.h"
#include "core/settings.h"
#include "support/tempfolder.h"
#include "support/win_menu_driver.h"
#include "support/win_window.h"
#include "tests/clocks/clockrefusal.h"
#include "tools/skinmaker/skinbuild.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

// The program's main window as the clock sees it: records the private
// messages and may act on them.
class CMainSpy : public CWnd {
public:
    std::vector<UINT> m_messages;
    std::function<void(UINT)> m_fnOnMessage;

    BOOL Make()
    {
        return CreateEx(0, AfxRegisterWndClass(0), "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
    }
    int Count(UINT nMessage) const
    {
        int n = 0;
        for (UINT m : m_messages)
            n += m == nMessage ? 1 : 0;
        return n;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= 0x8000 && message < 0xC000) {
            m_messages.push_back(message);
            if (m_fnOnMessage)
                m_fnOnMessage(message);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

int g_nClocksAlive = 0;

class CCountedClock : public CAnalogClockDlg {
public:
    CCountedClock() { g_nClocksAlive++; }
    ~CCountedClock() override { g_nClocksAlive--; }
};

// 2026-01-01 at h:m:s local time, as the seams give it to CTime.
long long LocalTime(int h, int m, int s)
{
    return CTime(2026, 1, 1, h, m, s).GetTime();
}

bool Near(COLORREF c, COLORREF ref, int nTolerance = 48)
{
    return std::abs(GetRValue(c) - GetRValue(ref)) < nTolerance && std::abs(GetGValue(c) - GetGValue(ref)) < nTolerance
           && std::abs(GetBValue(c) - GetBValue(ref)) < nTolerance;
}

// Ends whatever menu or modal box the clock opens, from inside its loop.
std::function<void()> g_fnInLoop;
void CALLBACK InLoopTimer(HWND, UINT, UINT_PTR nID, DWORD)
{
    ::KillTimer(nullptr, nID);
    if (g_fnInLoop)
        g_fnInLoop();
}

class AnalogClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pOld = AfxSetSeams(&m_seams);
        m_seams.m_nNow = LocalTime(3, 30, 45);
        m_folder = std::make_unique<vtest::CTempFolder>("veltran_analogclock");
        m_root = m_folder->Path();
        fs::create_directories(m_root / "acs");
        MakeSkin("Simple");
        m_nGdiStart = AfxGetLiveGdiObjectCount();
        ASSERT_TRUE(m_main.Make());
        m_app.m_pMainWnd = &m_main;

        m_saved = g_settings;
        g_settings = CSettings();
        g_settings.m_strAnalogSkinDir = (m_root / "acs").string().c_str();
        g_settings.m_strAnalogSkin = "Simple";
        g_settings.m_nAnalogScale = 100;
        g_settings.m_nAnalogFixedSize = -1;
        g_settings.m_bAnalogSecondHand = TRUE;
        const CRect work = GetClockWorkArea(nullptr);
        g_settings.m_ptAnalogCenter = work.CenterPoint();
    }
    void TearDown() override
    {
        if (m_pClock != nullptr) {
            m_pClock->DestroyWindow();
            delete m_pClock;
            m_pClock = nullptr;
        }
        vtest::PumpPending();
        m_app.m_pMainWnd = nullptr;
        m_main.DestroyWindow();
        vtest::PumpPending();
        EXPECT_EQ(AfxGetLiveGdiObjectCount(), m_nGdiStart);
        EXPECT_EQ(g_nClocksAlive, 0);
        g_settings = m_saved;
        AfxSetSeams(m_pOld);
        m_folder.reset();
    }

    void MakeSkin(const char* pszName, bool bSecondHand = true, long nTruncate = -1)
    {
        CSkinMakerOptions options;
        options.strName = pszName;
        options.bSecondHand = bSecondHand;
        options.nTruncate = nTruncate;
        CString strError;
        const std::string path = (m_root / "acs" / (std::string(pszName) + ".acs")).string();
        ASSERT_TRUE(WriteSkinFile(options, path.c_str(), strError)) << strError.GetString();
    }

    CAnalogClockDlg* Open()
    {
        m_pClock = new CCountedClock;
        EXPECT_TRUE(m_pClock->Create(CAnalogClockDlg::IDD, CWnd::GetDesktopWindow()));
        EXPECT_TRUE(m_pClock->LoadSkin(g_settings.m_nAnalogScale));
        return m_pClock;
    }
    void Command(UINT nID) { m_pClock->SendMessage(WM_COMMAND, nID, 0); }
    CRect WindowRect() const
    {
        CRect rc;
        m_pClock->GetWindowRect(&rc);
        return rc;
    }
    // Runs fn inside the next modal loop (menu or dialog) the clock enters.
    void WhenLooping(std::function<void()> fn)
    {
        g_fnInLoop = std::move(fn);
        ::SetTimer(nullptr, 0, 50, InLoopTimer);
    }

    CWinApp m_app{"Veltran Clock"};
    CRecordingSeams m_seams;
    CSystemSeams* m_pOld = nullptr;
    CMainSpy m_main;
    CAnalogClockDlg* m_pClock = nullptr;
    std::unique_ptr<vtest::CTempFolder> m_folder;
    fs::path m_root;
    CSettings m_saved;
    long m_nGdiStart = 0;
};

TEST_F(AnalogClockTest, ShowsTheSkinsShapeAndItsHandsAtAPinnedTime)
{
    CAnalogClockDlg* pClock = Open();
    ASSERT_TRUE(pClock->IsWindowVisible());
    EXPECT_EQ(pClock->m_nClockWidth, 160);
    CRect rcClient;
    pClock->GetClientRect(&rcClient);
    EXPECT_EQ(rcClient.Width(), 160);

    // The window's region is the face's disc.
    CRgn shape;
    shape.CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(pClock->GetWindowRgn(shape), ERROR);
    EXPECT_TRUE(shape.PtInRegion(80, 80));
    EXPECT_TRUE(shape.PtInRegion(80, 2));
    EXPECT_FALSE(shape.PtInRegion(3, 3));
    EXPECT_FALSE(shape.PtInRegion(157, 157));
    std::vector<RECT> runs;
    GetMaskRuns(pClock->GetFace().GetShape(), runs);
    CRgn expected;
    expected.Attach(CreateRunsRegion(runs, 0, 0));
    EXPECT_TRUE(shape.EqualRgn(&expected));

    // The back buffer holds exactly what the portable composition gives.
    CPicture composed, drawn;
    ASSERT_TRUE(pClock->GetFace().Compose(composed));
    ASSERT_TRUE(drawn.CreateFromHBITMAP(pClock->GetClockBitmap()));
    ASSERT_EQ(drawn.GetWidth(), composed.GetWidth());
    int nDifferent = 0;
    for (LONG y = 0; y < 160; y++) {
        for (LONG x = 0; x < 160; x++) {
            const RGBQUAD a = drawn.GetPixelColor(x, y, false), b = composed.GetPixelColor(x, y, false);
            nDifferent += (a.rgbRed != b.rgbRed || a.rgbGreen != b.rgbGreen || a.rgbBlue != b.rgbBlue) ? 1 : 0;
        }
    }
    EXPECT_EQ(nDifferent, 0);

    // On the screen at 3:30:45: hour hand down-right of the axis (105
    // degrees), minute hand straight down, second hand to the left.
    vtest::CWindowSnapshot snap;
    ASSERT_TRUE(snap.Capture(pClock->GetSafeHwnd()));
    EXPECT_TRUE(Near(snap.Pixel(80 + 25, 80 + 6), SKINMAKER_HOUR)) << std::hex << snap.Pixel(105, 86);
    EXPECT_TRUE(Near(snap.Pixel(80, 80 + 50), SKINMAKER_MINUTE)) << std::hex << snap.Pixel(80, 130);
    EXPECT_TRUE(Near(snap.Pixel(80 - 60, 80), SKINMAKER_SECOND)) << std::hex << snap.Pixel(20, 80);
    EXPECT_TRUE(Near(snap.Pixel(80, 80 - 50), SKINMAKER_FACE)) << std::hex << snap.Pixel(80, 30);

    // A tick later the second hand has moved on by six degrees, nothing else.
    m_seams.m_nNow = LocalTime(3, 30, 46);
    pClock->SendMessage(WM_TIMER, CAnalogClockDlg::TIMER_DRAW, 0);
    EXPECT_EQ(pClock->GetFace().GetHand(HAND_SECOND).nAngle, 276);
    EXPECT_EQ(pClock->GetFace().GetHand(HAND_HOUR).nAngle, 105);

    // The window shows the new second when the tick returns, before any
    // message is dispatched: the second hand up at 3:31:00, gone from the left.
    m_seams.m_nNow = LocalTime(3, 31, 0);
    pClock->SendMessage(WM_TIMER, CAnalogClockDlg::TIMER_DRAW, 0);
    HDC hDC = ::GetDC(pClock->GetSafeHwnd());
    const COLORREF crUp = ::GetPixel(hDC, 80, 80 - 60), crLeft = ::GetPixel(hDC, 80 - 60, 80);
    ::ReleaseDC(pClock->GetSafeHwnd(), hDC);
    EXPECT_TRUE(Near(crUp, SKINMAKER_SECOND)) << std::hex << crUp;
    EXPECT_TRUE(Near(crLeft, SKINMAKER_FACE)) << std::hex << crLeft;
}

TEST_F(AnalogClockTest, TurnedMaskRegionEqualsTheBitmapRegion)
{
    CAnalogClockDlg* pClock = Open();
    for (int nHand = HAND_HOUR; nHand < HAND_COUNT; nHand++) {
        const CAnalogClockFace::CHand& hand = pClock->GetFace().GetHand(nHand);
        CPicture turnedMask;
        ASSERT_TRUE(pClock->GetFace().TurnMask(nHand, turnedMask));
        CBitmap bitmap;
        bitmap.Attach(turnedMask.MakeBitmap(nullptr));
        CRgn fromBitmap, fromRuns;
        fromBitmap.Attach(CAnalogClockDlg::BitmapToRegion(bitmap, RGB(0, 0, 0), 0));
        fromRuns.Attach(CreateRunsRegion(hand.runs, 0, 0));
        ASSERT_NE(fromBitmap.GetSafeHandle(), nullptr);
        EXPECT_TRUE(fromBitmap.EqualRgn(&fromRuns)) << nHand;
        EXPECT_FALSE(hand.runs.empty());
    }
    EXPECT_EQ(CAnalogClockDlg::BitmapToRegion(nullptr, 0, 0), nullptr);
}

TEST_F(AnalogClockTest, StackingAndLock)
{
    CAnalogClockDlg* pClock = Open();
    Command(ID_ANALOG_ONTOP);
    EXPECT_TRUE(g_settings.m_bAnalogOnTop);
    EXPECT_NE(pClock->GetExStyle() & WS_EX_TOPMOST, 0u);
    Command(ID_ANALOG_ONTOP);
    EXPECT_EQ(pClock->GetExStyle() & WS_EX_TOPMOST, 0u);

    // Always bottom: the clock goes below the main window and stays there
    // when it is activated.
    ::SetWindowPos(m_main, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Command(ID_ANALOG_ONBOTTOM);
    EXPECT_TRUE(g_settings.m_bAnalogOnBottom);
    pClock->SendMessage(WM_NCACTIVATE, TRUE, 0);
    bool bBelowMain = false;
    for (HWND h = ::GetWindow(pClock->GetSafeHwnd(), GW_HWNDPREV); h != nullptr; h = ::GetWindow(h, GW_HWNDPREV))
        bBelowMain = bBelowMain || h == m_main.GetSafeHwnd();
    EXPECT_TRUE(bBelowMain);

    const CRect rc = WindowRect();
    const LPARAM lCenter = MAKELPARAM(rc.left + 80, rc.top + 80);
    EXPECT_EQ(pClock->SendMessage(WM_NCHITTEST, 0, lCenter), HTCAPTION);
    Command(ID_ANALOG_LOCK);
    EXPECT_EQ(pClock->SendMessage(WM_NCHITTEST, 0, lCenter), HTBORDER);
    Command(ID_ANALOG_LOCK);
    EXPECT_FALSE(g_settings.m_bAnalogLockMovement);
}

// An always-on-top clock made top-most before it first showed, as at a start,
// stays above an ordinary window shown and brought forward after it: on the
// screen too, from its next tick on, and still top-most. A top-most window
// shown later stays above the clock.
TEST_F(AnalogClockTest, OnTopStaysAboveWindowsShownLater)
{
    g_settings.m_bAnalogOnTop = TRUE;
    CAnalogClockDlg* pClock = Open();
    const CRect rc = WindowRect();
    // The face above the axis, read from the screen.
    const CPoint pt(rc.left + 80, rc.top + 30);
    COLORREF cr = 0;
    auto screenShows = [&](COLORREF crExpected) {
        return vtest::PumpUntil([&] {
            HDC hScreen = ::GetDC(nullptr);
            cr = ::GetPixel(hScreen, pt.x, pt.y);
            ::ReleaseDC(nullptr, hScreen);
            return Near(cr, crExpected);
        });
    };
    auto showOver = [&](CWnd& wnd, DWORD dwExStyle, int nBrush) {
        ASSERT_TRUE(wnd.CreateEx(dwExStyle,
                                 AfxRegisterWndClass(0, nullptr, static_cast<HBRUSH>(::GetStockObject(nBrush))),
                                 "later", WS_POPUP, rc.left - 20, rc.top - 20, rc.Width() + 40, rc.Height() + 40,
                                 nullptr, nullptr));
        wnd.ShowWindow(SW_SHOW);
        wnd.SetForegroundWindow();
        wnd.UpdateWindow();
        m_seams.m_nNow += 1;
        pClock->SendMessage(WM_TIMER, CAnalogClockDlg::TIMER_DRAW, 0);
    };
    CWnd ordinary, topMost;
    showOver(ordinary, 0, WHITE_BRUSH);
    EXPECT_TRUE(screenShows(SKINMAKER_FACE)) << std::hex << cr;
    EXPECT_NE(pClock->GetExStyle() & WS_EX_TOPMOST, 0u);
    showOver(topMost, WS_EX_TOPMOST, BLACK_BRUSH);
    EXPECT_TRUE(screenShows(RGB(0, 0, 0))) << std::hex << cr;
    topMost.DestroyWindow();
    ordinary.DestroyWindow();
}

TEST_F(AnalogClockTest, DragKeepsTheWorkAreaRules)
{
    CAnalogClockDlg* pClock = Open();
    const CRect work = GetClockWorkArea(pClock->GetSafeHwnd());
    auto drag = [&](CRect rc) {
        pClock->SendMessage(WM_MOVING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&rc));
        pClock->SendMessage(WM_EXITSIZEMOVE, 0, 0);
        return WindowRect();
    };
    // Half off the right edge stays; more than half snaps back to the edge.
    CRect half(work.right - 80, work.top + 10, work.right + 80, work.top + 170);
    EXPECT_EQ(drag(half), half);
    EXPECT_EQ(CPoint(g_settings.m_ptAnalogCenter), CPoint(work.right, work.top + 90));
    CRect more(work.right - 79, work.top + 10, work.right + 81, work.top + 170);
    const CRect snapped = drag(more);
    EXPECT_EQ(snapped.right, work.right);
    EXPECT_EQ(snapped.top, work.top + 10);
    EXPECT_EQ(CPoint(g_settings.m_ptAnalogCenter), CPoint(work.right - 80, work.top + 90));

    // Auto removing pulls any part back; always-centre wins over both.
    Command(ID_ANALOG_AUTOREMOVE);
    CRect little(work.left - 5, work.top + 10, work.left + 155, work.top + 170);
    EXPECT_EQ(drag(little).left, work.left);
    Command(ID_ANALOG_ALWAYSCENTER);
    const CRect centred = drag(more);
    EXPECT_EQ(centred.left, ::GetSystemMetrics(SM_CXFULLSCREEN) / 2 - 80);
    EXPECT_EQ(centred.top, ::GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 80);
}

TEST_F(AnalogClockTest, CommandsAndDoubleClicksReachTheirTargets)
{
    MakeSkin("Beta", false);
    CAnalogClockDlg* pClock = Open();
    struct {
        UINT nID;
        UINT nMessage;
    } const sent[] = {{ID_ANALOG_OPTIONS, UM_SHOWANALOGOPTIONS}, {ID_ANALOG_SKINBROWSER, UM_SHOWSKINBROWSER}};
    for (const auto& c : sent) {
        g_settings.m_nSkinBrowserType = 7;
        Command(c.nID);
        EXPECT_EQ(m_main.Count(c.nMessage), 1) << c.nID;
    }
    EXPECT_EQ(g_settings.m_nSkinBrowserType, 0);

    Command(ID_ANALOG_SCALE_FIRST + 11); // 120 %
    EXPECT_EQ(g_settings.m_nAnalogScale, 120);
    EXPECT_EQ(WindowRect().Width(), 192);
    Command(ID_ANALOG_FIXEDSIZE);
    EXPECT_EQ(g_settings.m_nAnalogFixedSize, 192);
    Command(ID_ANALOG_SCALE_FIRST + 4); // 50 %: fixed size goes on at the new shape's size
    EXPECT_EQ(g_settings.m_nAnalogFixedSize, 79); // the disc leaves the face's edge pixels out
    Command(ID_ANALOG_FIXEDSIZE);
    EXPECT_EQ(g_settings.m_nAnalogFixedSize, -1);
    EXPECT_EQ(WindowRect().Width(), 80);

    Command(ID_ANALOG_LIGHT_FIRST + 4);
    Command(ID_ANALOG_JITTER_FIRST + 10);
    EXPECT_EQ(g_settings.m_nAnalogLight, 4);
    EXPECT_EQ(g_settings.m_nAnalogJitter, 10);

    // The skins are listed sorted: "Beta" is item 0.
    ASSERT_EQ(pClock->GetSkins().GetSize(), 2);
    Command(ID_CLOCK_SKIN_FIRST);
    EXPECT_EQ(g_settings.m_strAnalogSkin, CString("Beta"));
    EXPECT_FALSE(pClock->HasSecondHand());

    Command(ID_ANALOG_SECONDHAND);
    EXPECT_FALSE(g_settings.m_bAnalogSecondHand);

    // The menu as an opening builds it: every top-level item, the second
    // hand grayed for a skin without one, the chosen skin and scale checked.
    pClock->BuildContextMenu();
    CClockMenu* pMenu = pClock->GetContextMenu();
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(pMenu->GetMenuItemCount(), 17);
    EXPECT_NE(pMenu->GetMenuState(ID_ANALOG_SECONDHAND, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_NE(pMenu->GetMenuState(ID_CLOCK_SKIN_FIRST, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(pMenu->GetMenuState(ID_CLOCK_SKIN_FIRST + 1, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(pMenu->GetMenuState(ID_ANALOG_SCALE_FIRST + 4, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(pMenu->GetMenuState(ID_ANALOG_LIGHT_FIRST + 4, MF_BYCOMMAND) & MF_CHECKED, 0u);

    // Double clicks: options, hide, the menu (closed from inside its loop), nothing.
    m_main.m_messages.clear();
    g_settings.m_nAnalogDblClkAction = 3;
    pClock->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_EQ(m_main.Count(UM_SHOWANALOGOPTIONS), 1);
    g_settings.m_nAnalogDblClkAction = 2;
    pClock->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_EQ(m_main.Count(UM_HIDEANALOGCLOCK), 1);
    g_settings.m_nAnalogDblClkAction = 4;
    HMENU hTracked = nullptr;
    WhenLooping([&] {
        hTracked = CMenu::GetTrackingMenu();
        ::EndMenu();
    });
    pClock->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_NE(hTracked, nullptr);
    ASSERT_NE(pClock->GetContextMenu(), nullptr);
    EXPECT_EQ(hTracked, pClock->GetContextMenu()->GetSafeHmenu());
    g_settings.m_nAnalogDblClkAction = 5;
    const size_t nBefore = m_main.m_messages.size();
    pClock->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_EQ(m_main.m_messages.size(), nBefore);
}

// A right click opens the owner-drawn menu at the cursor; an item chosen in
// it, in a sub-menu too, reaches its command.
TEST_F(AnalogClockTest, RightClickMenuChoosesItsCommands)
{
    CAnalogClockDlg* pClock = Open();
    struct {
        UINT nID;
        std::function<bool()> fnDone;
    } const cases[] = {
        {ID_ANALOG_ONTOP, [] { return g_settings.m_bAnalogOnTop != FALSE; }},
        {ID_ANALOG_CONTRAST_FIRST + 3, [] { return g_settings.m_nAnalogContrast == 3; }},
        {ID_ANALOG_OPTIONS, [&] { return m_main.Count(UM_SHOWANALOGOPTIONS) == 1; }},
    };
    for (const auto& c : cases) {
        vtest::CMenuDriver driver(c.nID);
        pClock->SendMessage(WM_NCRBUTTONDOWN, HTCAPTION, 0); // as the drag hit test makes every click
        EXPECT_TRUE(driver.Chose()) << c.nID;
        EXPECT_EQ(driver.MenuSeen(), pClock->GetContextMenu()->GetSafeHmenu()) << c.nID;
        EXPECT_TRUE(vtest::PumpUntil(c.fnDone)) << c.nID;
    }
}

// Loads that run while the menu is open (the automatic change, a reload the
// main window asks for) leave the tracked menu and the skins its items stand
// for; the next opening lists what was installed meanwhile.
TEST_F(AnalogClockTest, AnOpenMenuSurvivesLoads)
{
    MakeSkin("Beta");
    g_settings.m_strAnalogChangeSkins = "Beta***";
    CAnalogClockDlg* pClock = Open(); // the menu will list Beta, Simple
    bool bKept = false;
    CString strLoaded;
    vtest::CMenuDriver driver(ID_CLOCK_SKIN_FIRST + 1); // "Simple"
    driver.m_onOpen = [&](HWND, HMENU hMenu) {
        if (!strLoaded.IsEmpty())
            return; // a sub-menu opening
        MakeSkin("Alpha"); // sorts first from now on
        pClock->SendMessage(WM_TIMER, CAnalogClockDlg::TIMER_AUTOCHANGE, 0);
        strLoaded = SkinDescription(pClock->GetFace().GetDescription()).GetField(SkinDescription::ANALOG_NAME);
        pClock->LoadSkin(g_settings.m_nAnalogScale);
        bKept = ::IsMenu(hMenu) && pClock->GetContextMenu()->GetSafeHmenu() == hMenu;
    };
    pClock->SendMessage(WM_NCRBUTTONDOWN, HTCAPTION, 0);
    EXPECT_TRUE(driver.Chose());
    EXPECT_TRUE(bKept);
    EXPECT_STREQ(strLoaded.GetString(), "Beta");
    EXPECT_TRUE(vtest::PumpUntil([] { return g_settings.m_strAnalogSkin == "Simple"; }));
    EXPECT_EQ(SkinDescription(pClock->GetFace().GetDescription()).GetField(SkinDescription::ANALOG_NAME), "Simple");
    pClock->BuildContextMenu();
    EXPECT_EQ(pClock->GetSkins().GetSize(), 3);
}

TEST_F(AnalogClockTest, AutomaticChangeShowsEverySkinOncePerCycle)
{
    MakeSkin("Alpha");
    MakeSkin("Gamma");
    g_settings.m_strAnalogChangeSkins = "Gamma***Simple***Alpha***";
    CAnalogClockDlg* pClock = Open();
    std::set<std::string> seen;
    for (int i = 0; i < 3; i++) {
        m_seams.m_nNow += 7;
        pClock->SendMessage(WM_TIMER, CAnalogClockDlg::TIMER_AUTOCHANGE, 0);
        seen.insert(g_settings.m_strAnalogSkin.GetString());
        EXPECT_EQ(SkinDescription(pClock->GetFace().GetDescription()).GetField(SkinDescription::ANALOG_NAME),
                  g_settings.m_strAnalogSkin);
    }
    EXPECT_EQ(seen, (std::set<std::string>{"Alpha", "Gamma", "Simple"}));
    EXPECT_EQ(pClock->GetChangePool().GetSize(), 0);
    pClock->SendMessage(WM_TIMER, CAnalogClockDlg::TIMER_AUTOCHANGE, 0);
    EXPECT_EQ(pClock->GetChangePool().GetSize(), 2); // a new cycle
}

TEST_F(AnalogClockTest, SkinInformationShowsTheDescription)
{
    CAnalogClockDlg* pClock = Open();
    std::map<int, std::string> texts;
    bool bHandsVisible = false;
    WhenLooping([&] {
        HWND hDlg = vtest::FindThreadWindow("Skin information");
        if (hDlg == nullptr)
            return;
        for (int id : {1449, 1450, 1042, 1451, 1045, 1452, 1453, 1454, 1455, 1320, 1322}) {
            char sz[512] = "";
            ::GetDlgItemTextA(hDlg, id, sz, sizeof(sz));
            texts[id] = sz;
        }
        // The style, not IsWindowVisible: the dialog may not be shown yet.
        bHandsVisible = (::GetWindowLongA(::GetDlgItem(hDlg, 1444), GWL_STYLE) & WS_VISIBLE) != 0;
        ::SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(1438, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, 1438));
        ::PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
    });
    Command(ID_ANALOG_SKININFO);
    EXPECT_EQ(texts[1449], "Simple");
    EXPECT_EQ(texts[1450], "1.0");
    EXPECT_EQ(texts[1042], "Analog");
    EXPECT_EQ(texts[1451], "Veltran skinmaker");
    EXPECT_EQ(texts[1045], "2026-01-01");
    EXPECT_EQ(texts[1452], "160x160");
    EXPECT_EQ(texts[1453], "80x80");
    EXPECT_TRUE(bHandsVisible);
    EXPECT_EQ(texts[1454], std::to_string(fs::file_size(m_root / "acs" / "Simple.acs")) + " bytes");
    EXPECT_EQ(texts[1322], pClock->GetDataPath().GetString());
    EXPECT_EQ(texts[1455], std::to_string(fs::file_size(pClock->GetDataPath().GetString())) + " bytes");
    EXPECT_EQ(texts[1320], pClock->GetArchivePath().GetString());
    EXPECT_EQ(m_main.Count(UM_SHOWSKINBROWSER), 1);
}

// A skin without hands' coordinates (the digital clock's) shows no row for them.
TEST_F(AnalogClockTest, SkinInformationHidesTheEmptyHandsRow)
{
    CSkinInfoDlg dlg;
    dlg.m_strName = "Red Digital";
    int nHandsStyles = -1;
    WhenLooping([&] {
        HWND hDlg = vtest::FindThreadWindow("Skin information");
        if (hDlg == nullptr)
            return;
        nHandsStyles = 0;
        for (int id : {1444, 1453})
            nHandsStyles |= (::GetWindowLongA(::GetDlgItem(hDlg, id), GWL_STYLE) & WS_VISIBLE) != 0 ? 1 : 0;
        ::PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(nHandsStyles, 0);
}

TEST_F(AnalogClockTest, AFailedReloadKeepsTheLastGoodClock)
{
    MakeSkin("Broken", true, 400); // cut inside the face picture
    CAnalogClockDlg* pClock = Open();
    const CPoint ptCenter = pClock->GetWindowCenter();
    HBITMAP hBefore = pClock->GetClockBitmap();
    Command(ID_CLOCK_SKIN_FIRST); // "Broken" sorts first
    EXPECT_EQ(m_seams.CountCalls("MessageBox"), 1);
    EXPECT_TRUE(pClock->IsWindowVisible());
    EXPECT_EQ(pClock->GetClockBitmap(), hBefore);
    m_seams.m_nNow += 1;
    pClock->SendMessage(WM_TIMER, CAnalogClockDlg::TIMER_DRAW, 0);
    EXPECT_EQ(pClock->GetFace().GetHand(HAND_SECOND).nAngle, 276);
    EXPECT_EQ(pClock->GetWindowCenter(), ptCenter);

    // A clock that no load has placed keeps the stored centre.
    CCountedClock fresh;
    ASSERT_TRUE(fresh.Create(CAnalogClockDlg::IDD, CWnd::GetDesktopWindow()));
    g_settings.m_strAnalogSkin = "Broken";
    g_settings.m_ptAnalogCenter = CPoint(321, 234);
    EXPECT_FALSE(fresh.LoadSkin(100));
    EXPECT_EQ(fresh.GetWindowCenter(), CPoint(321, 234));
    fresh.DestroyWindow();
}

// A stored scale or fixed size the clock cannot be drawn at, and a bitmap the
// system cannot make, fail the load with their cause; the settings stay as
// stored and a clock already shown keeps its last good skin.
TEST_F(AnalogClockTest, ALoadThatCannotDrawTheClockSaysWhy)
{
    auto* pClock = new CBitmapFailingClock<CCountedClock>;
    m_pClock = pClock;
    ExpectRefusedLoadsSayWhy(CAnalogClockDlg::IDD, *pClock, &CCountedClock::GetClockBitmap, m_seams, g_settings.m_nAnalogScale,
                             g_settings.m_nAnalogFixedSize, "Not enough memory for a clock of 160 x 160 pixels!");
    HBITMAP hBefore = pClock->GetClockBitmap();
    EXPECT_EQ(pClock->m_nClockWidth, 160);
    EXPECT_TRUE(pClock->LoadSkin(100));
    EXPECT_NE(pClock->GetClockBitmap(), hBefore);
    EXPECT_EQ(m_seams.CountCalls("MessageBox"), 4);
}

// Message boxes that run code of their own, as a real one's loop dispatches
// the clock's timer messages.
class CReenteringSeams : public CRecordingSeams {
public:
    std::function<void()> m_fnInBox;
    int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) override
    {
        if (m_fnInBox)
            m_fnInBox();
        return CRecordingSeams::MessageBox(hWnd, lpText, lpCaption, uType);
    }
};

TEST_F(AnalogClockTest, TicksNeverRunInsideAChangeOfSkin)
{
    MakeSkin("Broken", true, 400);
    g_settings.m_strAnalogChangeSkins = "Broken***";
    CAnalogClockDlg* pClock = Open();
    CReenteringSeams seams;
    seams.m_nNow = LocalTime(3, 30, 50);
    CSeamsScope scope(&seams);
    int nAngleInBox = -1;
    seams.m_fnInBox = [&] {
        pClock->SendMessage(WM_TIMER, CAnalogClockDlg::TIMER_DRAW, 0);
        pClock->SendMessage(WM_TIMER, CAnalogClockDlg::TIMER_AUTOCHANGE, 0);
        nAngleInBox = pClock->GetFace().GetHand(HAND_SECOND).nAngle;
    };
    pClock->SendMessage(WM_TIMER, CAnalogClockDlg::TIMER_AUTOCHANGE, 0);
    EXPECT_EQ(seams.CountCalls("MessageBox"), 1); // the nested change did not run
    EXPECT_EQ(nAngleInBox, 270);                   // nor did the nested tick
    seams.m_fnInBox = nullptr;
    pClock->SendMessage(WM_TIMER, CAnalogClockDlg::TIMER_DRAW, 0);
    EXPECT_EQ(pClock->GetFace().GetHand(HAND_SECOND).nAngle, 300);
}

TEST_F(AnalogClockTest, HideFromItsOwnMenuDeletesAfterTheHandler)
{
    CAnalogClockDlg* pClock = Open();
    m_main.m_fnOnMessage = [&](UINT nMessage) {
        if (nMessage != UM_HIDEANALOGCLOCK || m_pClock == nullptr)
            return;
        m_pClock->DestroyWindow();
        AfxDeleteLater(m_pClock);
        m_pClock = nullptr;
    };
    pClock->PostMessage(WM_COMMAND, ID_ANALOG_HIDE, 0);
    EXPECT_TRUE(vtest::PumpUntil([] { return g_nClocksAlive == 0; }));
    EXPECT_EQ(m_main.Count(UM_HIDEANALOGCLOCK), 1);
}

TEST_F(AnalogClockTest, EmptySkinsFolderOpensTheSkinBrowser)
{
    fs::remove(m_root / "acs" / "Simple.acs");
    m_pClock = new CCountedClock;
    ASSERT_TRUE(m_pClock->Create(CAnalogClockDlg::IDD, CWnd::GetDesktopWindow()));
    g_settings.m_nSkinBrowserType = 1;
    EXPECT_FALSE(m_pClock->LoadSkin(100));
    EXPECT_EQ(m_seams.CountCalls("MessageBox"), 1);
    EXPECT_EQ(g_settings.m_nSkinBrowserType, 0);
    EXPECT_EQ(m_main.Count(UM_SHOWSKINBROWSER), 1);
    EXPECT_FALSE(m_pClock->IsWindowVisible());
}

} // namespace
