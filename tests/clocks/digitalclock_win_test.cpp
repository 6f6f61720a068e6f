// The digital clock window under Wine: the canvas from a skinmaker skin at
// pinned times in the default and a 12-hour format, reloads when the text
// changes length, Enter and Escape, menu commands and double clicks,
// dragging and placement, failed loads, ticks inside a load and deletion
// from the clock's own handler.
#include "clocks/digitalclock_win.h"

#include "afx/afxwin.h"
#include "clocks/clockmenu_win.h"
#include "clocks/clockwindow_win.h"
#include "clocks/digitalmodel.h"
#include "core/messages.h"
#include "core/settings.h"
#include "support/tempfolder.h"
#include "support/win_drivers.h"
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
#include <string>
#include <utility>

namespace fs = std::filesystem;

namespace {

// The program's main window as the clock sees it: records the private
// messages with their wParam and may act on them.
class CMainSpy : public CWnd {
public:
    std::vector<std::pair<UINT, WPARAM>> m_messages;
    std::function<void(UINT)> m_fnOnMessage;

    BOOL Make() { return CreateEx(0, AfxRegisterWndClass(0), "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr); }
    int Count(UINT nMessage, WPARAM wParam = 0) const
    {
        int n = 0;
        for (const auto& m : m_messages)
            n += m.first == nMessage && m.second == wParam ? 1 : 0;
        return n;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= 0x8000 && message < 0xC000) {
            m_messages.emplace_back(message, wParam);
            if (m_fnOnMessage)
                m_fnOnMessage(message);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

int g_nClocksAlive = 0;

class CCountedClock : public CDigitalClockDlg {
public:
    CCountedClock() { g_nClocksAlive++; }
    ~CCountedClock() override { g_nClocksAlive--; }
};

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

// After three seconds, posts a right button release to a window whose
// handler has not returned by then; Stop says whether it had to.
class CWatchdog {
public:
    explicit CWatchdog(HWND hWnd) : m_hWnd(hWnd)
    {
        m_hStop = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_hThread = ::CreateThread(nullptr, 0, &CWatchdog::Run, this, 0, nullptr);
    }
    ~CWatchdog() { Stop(); }
    bool Stop()
    {
        if (m_hThread != nullptr) {
            ::SetEvent(m_hStop);
            ::WaitForSingleObject(m_hThread, INFINITE);
            ::CloseHandle(m_hThread);
            ::CloseHandle(m_hStop);
            m_hThread = nullptr;
        }
        return m_bFired;
    }

private:
    static DWORD WINAPI Run(LPVOID p)
    {
        CWatchdog* pThis = static_cast<CWatchdog*>(p);
        if (::WaitForSingleObject(pThis->m_hStop, 3000) == WAIT_TIMEOUT) {
            pThis->m_bFired = true;
            ::PostMessageA(pThis->m_hWnd, WM_RBUTTONUP, 0, 0);
        }
        return 0;
    }
    HWND m_hWnd;
    HANDLE m_hStop = nullptr;
    HANDLE m_hThread = nullptr;
    volatile bool m_bFired = false;
};

class DigitalClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pOld = AfxSetSeams(&m_seams);
        m_seams.m_nNow = LocalTime(10, 20, 30);
        m_folder = std::make_unique<vtest::CTempFolder>("veltran_digitalclock");
        m_root = m_folder->Path();
        fs::create_directories(m_root / "dcs");
        MakeSkin("Red Digital");
        m_nGdiStart = AfxGetLiveGdiObjectCount();
        ASSERT_TRUE(m_main.Make());
        m_app.m_pMainWnd = &m_main;

        m_saved = g_settings;
        g_settings = CSettings();
        g_settings.m_strDigitalSkinDir = (m_root / "dcs").string().c_str();
        g_settings.m_strDigitalSkin = "Red Digital";
        g_settings.m_nDigitalScale = 100;
        g_settings.m_nDigitalFixedSize = -1;
        g_settings.m_ptDigitalCenter = GetClockWorkArea(nullptr).CenterPoint();
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

    void MakeSkin(const char* pszName, long nTruncate = -1, bool bBreakCrc = false)
    {
        CSkinMakerOptions options;
        options.kind = SKIN_DIGITAL;
        options.strName = pszName;
        options.nTruncate = nTruncate;
        options.bBreakCrc = bBreakCrc;
        options.bAbcRegion = true;
        CString strError;
        const std::string path = (m_root / "dcs" / (std::string(pszName) + ".dcs")).string();
        ASSERT_TRUE(WriteSkinFile(options, path.c_str(), strError)) << strError.GetString();
    }

    CDigitalClockDlg* Open()
    {
        m_pClock = new CCountedClock;
        EXPECT_TRUE(m_pClock->Create(CDigitalClockDlg::IDD, CWnd::GetDesktopWindow()));
        EXPECT_TRUE(m_pClock->LoadSkin(g_settings.m_nDigitalScale));
        return m_pClock;
    }
    void Command(UINT nID) { m_pClock->SendMessage(WM_COMMAND, nID, 0); }
    void Tick(int h, int m, int s)
    {
        m_seams.m_nNow = LocalTime(h, m, s);
        m_pClock->SendMessage(WM_TIMER, CDigitalClockDlg::TIMER_DRAW, 0);
    }
    CRect WindowRect() const
    {
        CRect rc;
        m_pClock->GetWindowRect(&rc);
        return rc;
    }
    // The canvas the window drew equals the portable composition of its
    // texts, drawn one after the other over the background.
    void ExpectCanvas(std::initializer_list<const char*> texts)
    {
        const CDigitalClockFace& face = m_pClock->GetFace();
        CPicture composed(face.GetBackground()), drawn;
        for (const char* pszText : texts)
            ASSERT_TRUE(face.Draw(pszText, composed));
        ASSERT_TRUE(drawn.CreateFromHBITMAP(m_pClock->GetCanvasBitmap()));
        ASSERT_EQ(drawn.GetWidth(), composed.GetWidth());
        ASSERT_EQ(drawn.GetHeight(), composed.GetHeight());
        int nDifferent = 0;
        for (LONG y = 0; y < static_cast<LONG>(drawn.GetHeight()); y++) {
            for (LONG x = 0; x < static_cast<LONG>(drawn.GetWidth()); x++) {
                const RGBQUAD a = drawn.GetPixelColor(x, y, false), b = composed.GetPixelColor(x, y, false);
                nDifferent += (a.rgbRed != b.rgbRed || a.rgbGreen != b.rgbGreen || a.rgbBlue != b.rgbBlue) ? 1 : 0;
            }
        }
        EXPECT_EQ(nDifferent, 0);
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
    CDigitalClockDlg* m_pClock = nullptr;
    std::unique_ptr<vtest::CTempFolder> m_folder;
    fs::path m_root;
    CSettings m_saved;
    long m_nGdiStart = 0;
};

TEST_F(DigitalClockTest, DrawsTheDefaultAndATwelveHourFormatAtPinnedTimes)
{
    CDigitalClockDlg* pClock = Open();
    ASSERT_TRUE(pClock->IsWindowVisible());
    EXPECT_EQ(g_settings.m_strDigitalFormat, CString("%hh(:)%nn(:)%ss")); // the empty setting took the default
    EXPECT_STREQ(pClock->m_strPrevText.GetString(), "10 20 30");
    // 8 characters at 100 %: the stored 128 plus 128 mod 56; cells of 16 x 24.
    CRect rcClient;
    pClock->GetClientRect(&rcClient);
    EXPECT_EQ(rcClient.Size(), CSize(144, 32));
    EXPECT_EQ(pClock->m_nGlyphWidth, 16);
    EXPECT_EQ(pClock->m_nGlyphHeight, 24);
    EXPECT_TRUE(pClock->m_bHasAbcRegion);
    ExpectCanvas({"10 20 30"});

    // The odd second shows the colons, drawn over the same canvas.
    HBITMAP hCanvas = pClock->GetCanvasBitmap();
    Tick(10, 20, 31);
    EXPECT_EQ(pClock->GetCanvasBitmap(), hCanvas);
    ExpectCanvas({"10 20 30", "10:20:31"});
    vtest::CWindowSnapshot snap;
    ASSERT_TRUE(snap.Capture(pClock->GetSafeHwnd()));
    const int xColon = 8 + 2 * 16 + 8;
    EXPECT_TRUE(Near(snap.Pixel(xColon, 16), SKINMAKER_GLYPH)) << std::hex << snap.Pixel(xColon, 16);
    EXPECT_TRUE(Near(snap.Pixel(2, 2), SKINMAKER_BACKGROUND)) << std::hex << snap.Pixel(2, 2);
    // The window shows the new second when the tick returns, before any
    // message is dispatched: the colons go again.
    Tick(10, 20, 32);
    HDC hDC = ::GetDC(pClock->GetSafeHwnd());
    const COLORREF crColon = ::GetPixel(hDC, xColon, 16);
    ::ReleaseDC(pClock->GetSafeHwnd(), hDC);
    CPicture canvas;
    ASSERT_TRUE(canvas.CreateFromHBITMAP(pClock->GetCanvasBitmap()));
    const RGBQUAD blank = canvas.GetPixelColor(xColon, static_cast<LONG>(canvas.GetHeight()) - 1 - 16, false);
    EXPECT_EQ(crColon, RGB(blank.rgbRed, blank.rgbGreen, blank.rgbBlue)) << std::hex << crColon;
    EXPECT_FALSE(Near(crColon, SKINMAKER_GLYPH)) << std::hex << crColon;
    ExpectCanvas({"10 20 30", "10:20:31", "10 20 32"});

    // Enter, Escape and a close request leave the clock as it is.
    const CRect rcBefore = WindowRect();
    for (UINT nID : {IDOK, IDCANCEL})
        pClock->PostMessage(WM_COMMAND, nID, 0);
    pClock->PostMessage(WM_CLOSE, 0, 0);
    vtest::PumpPending();
    EXPECT_TRUE(pClock->IsWindowVisible());
    EXPECT_EQ(WindowRect(), rcBefore);
    EXPECT_EQ(m_main.m_messages.size(), 0u);

    // "%hh(:)%nn(:)%ss %tt" from the menu: ten characters at 0:30:15.
    m_seams.m_nNow = LocalTime(0, 30, 15);
    Command(ID_DIGITAL_FORMAT_FIRST + 5);
    EXPECT_EQ(g_settings.m_strDigitalFormat, CString("%hh(:)%nn(:)%ss %tt"));
    EXPECT_STREQ(pClock->m_strPrevText.GetString(), "0:30:15 AM");
    EXPECT_EQ(WindowRect().Width(), 160 + 160 % 56);
    ExpectCanvas({"0:30:15 AM"});
    Tick(13, 5, 8);
    ExpectCanvas({"0:30:15 AM", "1 05 08 PM"});
    EXPECT_EQ(pClock->GetWindowCenter(), CPoint(g_settings.m_ptDigitalCenter));
}

TEST_F(DigitalClockTest, AChangeOfLengthReloadsAboutTheStoredCentre)
{
    g_settings.m_strDigitalFormat = "%h:%nn:%ss";
    m_seams.m_nNow = LocalTime(9, 59, 59);
    CDigitalClockDlg* pClock = Open();
    const CPoint ptCenter(g_settings.m_ptDigitalCenter);
    EXPECT_EQ(WindowRect().Width(), 112); // 7 characters: 112 + 112 mod 56
    EXPECT_EQ(pClock->GetWindowCenter(), ptCenter);
    const long nGdi = AfxGetLiveGdiObjectCount();

    // The change comes while the menu is open: the clock reloads and the
    // open menu stays as it was.
    HMENU hTracked = nullptr;
    bool bMenuKept = false;
    WhenLooping([&] {
        hTracked = CMenu::GetTrackingMenu();
        Tick(10, 0, 0);
        bMenuKept = ::IsMenu(hTracked) && pClock->GetContextMenu()->GetSafeHmenu() == hTracked;
        ::EndMenu();
    });
    pClock->SendMessage(WM_NCRBUTTONDOWN, HTNOWHERE, 0);
    ASSERT_NE(hTracked, nullptr);
    EXPECT_TRUE(bMenuKept);
    EXPECT_STREQ(pClock->m_strPrevText.GetString(), "10:00:00");
    EXPECT_EQ(WindowRect().Width(), 144);
    EXPECT_EQ(pClock->GetWindowCenter(), ptCenter);
    EXPECT_EQ(CPoint(g_settings.m_ptDigitalCenter), ptCenter);
    EXPECT_EQ(AfxGetLiveGdiObjectCount(), nGdi); // the old bitmaps went
    ExpectCanvas({"10:00:00"});

    // Back to seven characters and on again: nothing drifts, nothing leaks.
    Tick(9, 0, 0);
    Tick(10, 0, 0);
    EXPECT_EQ(pClock->GetWindowCenter(), ptCenter);
    EXPECT_EQ(AfxGetLiveGdiObjectCount(), nGdi);

    // A format that expands to nothing keeps a clock one character wide.
    g_settings.m_strDigitalFormat = "()";
    pClock->LoadSkin(100);
    EXPECT_EQ(WindowRect().Width(), 16 + 16);
    Tick(10, 0, 1);
    EXPECT_TRUE(pClock->m_strPrevText.IsEmpty());
}

TEST_F(DigitalClockTest, MenuCommandsAndDoubleClicks)
{
    MakeSkin("Amber");
    CDigitalClockDlg* pClock = Open();

    // A press on the clock opens the real menu, walked to "Always on top";
    // the press returns once the menu closes. A watchdog releases a press
    // that stays inside the system's wait for the button to come up.
    {
        vtest::CMenuDriver driver(ID_DIGITAL_ONTOP);
        CWatchdog watchdog(pClock->GetSafeHwnd());
        const CRect rc = WindowRect();
        pClock->SendMessage(WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(rc.left + 8, rc.top + 8));
        EXPECT_FALSE(watchdog.Stop());
        EXPECT_TRUE(vtest::PumpUntil([&] { return g_settings.m_bDigitalOnTop != FALSE; }));
        EXPECT_TRUE(driver.Chose());
    }
    EXPECT_NE(pClock->GetExStyle() & WS_EX_TOPMOST, 0u);
    Command(ID_DIGITAL_ONTOP);
    EXPECT_EQ(pClock->GetExStyle() & WS_EX_TOPMOST, 0u);

    const struct {
        UINT nID;
        UINT nMessage;
        WPARAM wParam;
    } sent[] = {{ID_DIGITAL_OPTIONS, UM_SHOWDIGITALOPTIONS, 0},
                {ID_DIGITAL_FORMAT_CUSTOM, UM_SHOWDIGITALOPTIONS, 2},
                {ID_DIGITAL_SKINBROWSER, UM_SHOWSKINBROWSER, 0},
                {ID_DIGITAL_HIDE, UM_HIDEDIGITALCLOCK, 0}};
    for (const auto& c : sent) {
        Command(c.nID);
        EXPECT_EQ(m_main.Count(c.nMessage, c.wParam), 1) << c.nID;
    }
    EXPECT_EQ(g_settings.m_nSkinBrowserType, 1);

    // Scale, then fixed size: on at the size before the load; a scale
    // chosen meanwhile keeps it on at the new size; off again.
    Command(ID_DIGITAL_SCALE_FIRST + 14); // 150 %
    EXPECT_EQ(g_settings.m_nDigitalScale, 150);
    EXPECT_EQ(WindowRect().Size(), CSize(216, 48));
    Command(ID_DIGITAL_FIXEDSIZE);
    EXPECT_EQ(g_settings.m_nDigitalFixedSize, 216);
    Command(ID_DIGITAL_LIGHT_FIRST + 3); // reloads at 216 x 100 / 128 = 168, so 170 %
    EXPECT_EQ(g_settings.m_nDigitalLight, 3);
    EXPECT_EQ(pClock->GetFace().GetScale(), 170);
    Command(ID_DIGITAL_SCALE_FIRST + 4); // 50 %
    EXPECT_EQ(WindowRect().Size(), CSize(72, 16));
    EXPECT_EQ(g_settings.m_nDigitalFixedSize, 72);
    Command(ID_DIGITAL_FIXEDSIZE);
    EXPECT_EQ(g_settings.m_nDigitalFixedSize, -1);
    EXPECT_EQ(pClock->GetFace().GetScale(), 50);
    Command(ID_DIGITAL_CONTRAST_FIRST + 10);
    Command(ID_DIGITAL_JITTER_FIRST + 2);
    EXPECT_EQ(g_settings.m_nDigitalContrast, 10);
    EXPECT_EQ(g_settings.m_nDigitalJitter, 2);

    // Skins are listed sorted: "Amber" is item 0.
    ASSERT_EQ(pClock->GetSkins().GetSize(), 2);
    Command(ID_CLOCK_SKIN_FIRST);
    EXPECT_EQ(g_settings.m_strDigitalSkin, CString("Amber"));
    EXPECT_EQ(SkinDescription(pClock->m_strSkinDescription).GetField(SkinDescription::DIGITAL_NAME), "Amber");

    // Locked, a click is no drag but still reaches the menu and double clicks.
    const CRect rc = WindowRect();
    const LPARAM lCenter = MAKELPARAM(rc.left + rc.Width() / 2, rc.top + rc.Height() / 2);
    EXPECT_EQ(pClock->SendMessage(WM_NCHITTEST, 0, lCenter), HTCAPTION);
    Command(ID_DIGITAL_LOCK);
    EXPECT_EQ(pClock->SendMessage(WM_NCHITTEST, 0, lCenter), HTBORDER);

    // Double clicks: options, hide, the menu (closed from inside its loop), nothing.
    m_main.m_messages.clear();
    g_settings.m_nDigitalDblClkAction = 3;
    pClock->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_EQ(m_main.Count(UM_SHOWDIGITALOPTIONS), 1);
    g_settings.m_nDigitalDblClkAction = 2;
    pClock->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_EQ(m_main.Count(UM_HIDEDIGITALCLOCK), 1);
    g_settings.m_nDigitalDblClkAction = 4;
    HMENU hTracked = nullptr;
    WhenLooping([&] {
        hTracked = CMenu::GetTrackingMenu();
        ::EndMenu();
    });
    pClock->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    ASSERT_NE(pClock->GetContextMenu(), nullptr);
    EXPECT_EQ(hTracked, pClock->GetContextMenu()->GetSafeHmenu());
    EXPECT_EQ(pClock->GetContextMenu()->GetMenuItemCount(), 17);
    EXPECT_NE(pClock->GetContextMenu()->GetMenuState(ID_DIGITAL_LOCK, MF_BYCOMMAND) & MF_CHECKED, 0u);
    for (int nAction : {5, 1}) { // no web page; no skins chosen for the change
        g_settings.m_nDigitalDblClkAction = nAction;
        const size_t nBefore = m_main.m_messages.size();
        pClock->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
        EXPECT_EQ(m_main.m_messages.size(), nBefore);
        EXPECT_EQ(g_settings.m_strDigitalSkin, CString("Amber"));
    }

    // Skin information: the digital fields, no hands row.
    std::map<int, std::string> texts;
    bool bHandsVisible = true;
    WhenLooping([&] {
        HWND hDlg = vtest::FindThreadWindow("Skin information");
        if (hDlg == nullptr)
            return;
        for (int id : {1449, 1450, 1042, 1451, 1045, 1452, 1454, 1320}) {
            char sz[512] = "";
            ::GetDlgItemTextA(hDlg, id, sz, sizeof(sz));
            texts[id] = sz;
        }
        bHandsVisible = ::IsWindowVisible(::GetDlgItem(hDlg, 1444)) != FALSE;
        ::PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
    });
    Command(ID_DIGITAL_SKININFO);
    EXPECT_EQ(texts[1449], "Amber");
    EXPECT_EQ(texts[1450], "1.0");
    EXPECT_EQ(texts[1042], "Digital");
    EXPECT_EQ(texts[1451], "Veltran skinmaker");
    EXPECT_EQ(texts[1045], "2026-01-01");
    EXPECT_EQ(texts[1452], "128x32");
    EXPECT_FALSE(bHandsVisible);
    EXPECT_EQ(texts[1454], std::to_string(fs::file_size(m_root / "dcs" / "Amber.dcs")) + " bytes");
    EXPECT_EQ(texts[1320], pClock->GetArchivePath().GetString());
}

TEST_F(DigitalClockTest, DraggingAndPlacement)
{
    CDigitalClockDlg* pClock = Open();
    const CRect work = GetClockWorkArea(pClock->GetSafeHwnd());
    auto drag = [&](CPoint ptTo) {
        const CRect rc = WindowRect();
        // Grabbed near its left edge, which every drag here leaves on the screen.
        EXPECT_TRUE(vtest::DragCaption(pClock->GetSafeHwnd(), CPoint(10, 10), ptTo.x - rc.left, ptTo.y - rc.top));
        return WindowRect();
    };
    // Half off the right edge stays; more than half snaps back to the edge.
    const CRect half = drag(CPoint(work.right - 72, work.top + 10));
    EXPECT_EQ(half.left, work.right - 72);
    EXPECT_EQ(CPoint(g_settings.m_ptDigitalCenter), CPoint(work.right, work.top + 26));
    const CRect snapped = drag(CPoint(work.right - 71, work.top + 10));
    EXPECT_EQ(snapped.right, work.right);
    EXPECT_EQ(CPoint(g_settings.m_ptDigitalCenter), CPoint(work.right - 72, work.top + 26));

    // "Center clock" stays where it put the clock through the next reload.
    Command(ID_DIGITAL_CENTER);
    const CPoint ptCentred(::GetSystemMetrics(SM_CXFULLSCREEN) / 2, ::GetSystemMetrics(SM_CYFULLSCREEN) / 2);
    EXPECT_EQ(WindowRect().TopLeft(), ptCentred - CSize(72, 16));
    EXPECT_EQ(CPoint(g_settings.m_ptDigitalCenter), ptCentred);
    pClock->LoadSkin(100);
    EXPECT_EQ(WindowRect().TopLeft(), ptCentred - CSize(72, 16));

    // Auto removing pulls any part back; always-centre wins over both.
    Command(ID_DIGITAL_AUTOREMOVE);
    EXPECT_EQ(drag(CPoint(work.left - 5, work.top + 10)).left, work.left);
    Command(ID_DIGITAL_ALWAYSCENTER);
    EXPECT_EQ(drag(CPoint(work.right - 71, work.top + 10)).TopLeft(), ptCentred - CSize(72, 16));

    // The centre a destroyed window leaves behind is where it stood.
    g_settings.m_ptDigitalCenter = CPoint(1, 1);
    pClock->DestroyWindow();
    EXPECT_EQ(CPoint(g_settings.m_ptDigitalCenter), ptCentred);
}

TEST_F(DigitalClockTest, FailedLoadsKeepTheLastGoodClockAndTicksWaitForThem)
{
    MakeSkin("Broken", 300);       // ends inside the background picture
    MakeSkin("Damaged", -1, true); // its archive cannot be unpacked
    CDigitalClockDlg* pClock = Open();
    const CPoint ptCenter = pClock->GetWindowCenter();
    HBITMAP hCanvas = pClock->GetCanvasBitmap();
    const long nGdi = AfxGetLiveGdiObjectCount();
    // "Broken" and "Damaged" sort first.
    for (UINT nSkin : {0u, 1u}) {
        Command(ID_CLOCK_SKIN_FIRST + nSkin);
        EXPECT_EQ(m_seams.CountCalls("MessageBox"), static_cast<int>(nSkin) + 1);
        EXPECT_TRUE(pClock->IsWindowVisible());
        EXPECT_EQ(pClock->GetCanvasBitmap(), hCanvas);
        EXPECT_EQ(AfxGetLiveGdiObjectCount(), nGdi);
    }
    Tick(10, 20, 31);
    ExpectCanvas({"10 20 30", "10:20:31"});
    EXPECT_EQ(pClock->GetWindowCenter(), ptCenter);

    // A change of skin whose message box dispatches ticks and changes: none
    // of them runs inside the load.
    g_settings.m_strDigitalChangeSkins = "Broken***";
    CReenteringSeams seams;
    seams.m_nNow = LocalTime(10, 20, 33);
    CSeamsScope scope(&seams);
    CString strInBox;
    seams.m_fnInBox = [&] {
        pClock->SendMessage(WM_TIMER, CDigitalClockDlg::TIMER_DRAW, 0);
        pClock->SendMessage(WM_TIMER, CDigitalClockDlg::TIMER_AUTOCHANGE, 0);
        strInBox = pClock->m_strPrevText;
    };
    pClock->SendMessage(WM_TIMER, CDigitalClockDlg::TIMER_AUTOCHANGE, 0);
    EXPECT_EQ(seams.CountCalls("MessageBox"), 1);
    EXPECT_STREQ(strInBox.GetString(), "10:20:31");
    seams.m_fnInBox = nullptr;
    pClock->SendMessage(WM_TIMER, CDigitalClockDlg::TIMER_DRAW, 0);
    EXPECT_STREQ(pClock->m_strPrevText.GetString(), "10:20:33");

    // A clock that no load has placed keeps the stored centre, also when destroyed.
    CCountedClock fresh;
    ASSERT_TRUE(fresh.Create(CDigitalClockDlg::IDD, CWnd::GetDesktopWindow()));
    g_settings.m_strDigitalSkin = "Broken";
    g_settings.m_ptDigitalCenter = CPoint(321, 234);
    EXPECT_FALSE(fresh.LoadSkin(100));
    EXPECT_FALSE(fresh.IsWindowVisible());
    EXPECT_EQ(fresh.GetWindowCenter(), CPoint(321, 234));
    fresh.DestroyWindow();
    EXPECT_EQ(CPoint(g_settings.m_ptDigitalCenter), CPoint(321, 234));
}

// A stored scale or fixed size the clock cannot be drawn at, and a bitmap the
// system cannot make, fail the load with their cause; the settings stay as
// stored and a clock already shown keeps its last good skin and its timer.
TEST_F(DigitalClockTest, ALoadThatCannotDrawTheClockSaysWhy)
{
    auto* pClock = new CBitmapFailingClock<CCountedClock>;
    m_pClock = pClock;
    ExpectRefusedLoadsSayWhy(CDigitalClockDlg::IDD, *pClock, &CCountedClock::GetCanvasBitmap, m_seams, g_settings.m_nDigitalScale,
                             g_settings.m_nDigitalFixedSize, "Not enough memory for a clock of 144 x 32 pixels!");
    // The last good canvas, its timer still drawing.
    Tick(10, 20, 31);
    ExpectCanvas({"10 20 30", "10:20:31"});
    EXPECT_EQ(m_seams.CountCalls("MessageBox"), 4);
}

TEST_F(DigitalClockTest, HideFromItsOwnMenuDeletesAfterTheHandler)
{
    CDigitalClockDlg* pClock = Open();
    m_main.m_fnOnMessage = [&](UINT nMessage) {
        if (nMessage != UM_HIDEDIGITALCLOCK || m_pClock == nullptr)
            return;
        m_pClock->DestroyWindow();
        AfxDeleteLater(m_pClock);
        m_pClock = nullptr;
    };
    pClock->PostMessage(WM_COMMAND, ID_DIGITAL_HIDE, 0);
    EXPECT_TRUE(vtest::PumpUntil([] { return g_nClocksAlive == 0; }));
    EXPECT_EQ(m_main.Count(UM_HIDEDIGITALCLOCK), 1);
}

} // namespace
