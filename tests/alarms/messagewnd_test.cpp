// The alarm message window: countdown, rectangle rules, text layout and the
// modal preview the alarm editor runs.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "afx/afxwin.h"
#include "alarms/alarmmessagewnd.h"
#include "res/alarms_res.h"
#include "support/win_window.h"

namespace
{
const UINT UM_ACT = WM_APP + 21;
const char kLongText[] = "The quick brown fox jumps over the lazy dog and keeps running far beyond "
                         "the fence, the field and the river until the sun goes down.";

// A message window that runs a test's action once it is up (for the modal preview).
class CActingMessageWnd : public CAlarmMessageWnd
{
public:
    std::function<void(CActingMessageWnd*)> m_fnAct;

protected:
    BOOL OnInitDialog() override
    {
        CAlarmMessageWnd::OnInitDialog();
        if (m_fnAct)
            PostMessage(UM_ACT);
        return TRUE;
    }
    afx_msg LRESULT OnAct(WPARAM, LPARAM)
    {
        m_fnAct(this);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CActingMessageWnd, CAlarmMessageWnd)
    ON_MESSAGE(UM_ACT, OnAct)
END_MESSAGE_MAP()

std::string Caption(HWND hWnd)
{
    char sz[256] = {};
    ::GetWindowTextA(hWnd, sz, sizeof(sz));
    return sz;
}

RECT Rect(LONG l, LONG t, LONG r, LONG b)
{
    RECT rc = {l, t, r, b};
    return rc;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return ::EqualRect(&a, &b) != FALSE;
}

std::string Text(const RECT& rc)
{
    return "(" + std::to_string(rc.left) + "," + std::to_string(rc.top) + ")-(" + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom) + ")";
}

// The message button's text as drawn: how many separate bands of rows hold
// dark pixels, and the leftmost column that holds one (the button's frame
// left out).
struct CTextLayout
{
    int nLines = 0;
    int nLeft = -1;
};

CTextLayout MeasureText(HWND hWndButton)
{
    vtest::CWindowSnapshot shot;
    CTextLayout layout;
    if (!shot.Capture(hWndButton))
        return layout;
    const int nMargin = 4;
    bool bInLine = false;
    for (int y = nMargin; y < shot.Height() - nMargin; y++)
    {
        bool bDark = false;
        for (int x = nMargin; x < shot.Width() - nMargin; x++)
        {
            const COLORREF clr = shot.Pixel(x, y);
            if (GetRValue(clr) < 0x60 && GetGValue(clr) < 0x60 && GetBValue(clr) < 0x60)
            {
                bDark = true;
                if (layout.nLeft < 0 || x < layout.nLeft)
                    layout.nLeft = x;
            }
        }
        if (bDark && !bInLine)
            layout.nLines++;
        bInLine = bDark;
    }
    return layout;
}

class MessageWndTest : public ::testing::Test
{
protected:
    void SetUp() override { m_nGdi = AfxGetLiveGdiObjectCount(); }
    void TearDown() override
    {
        vtest::PumpPending();
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
    }
    long m_nGdi = 0;
};
} // namespace

TEST_F(MessageWndTest, CountdownShowsTheSecondsLeftAndClosesAtTheLastTick)
{
    for (int nSeconds : {10, 1, 0})
    {
        SCOPED_TRACE(nSeconds);
        CAlarmMessageWnd wnd;
        wnd.SetCaptionText(" Tea");
        wnd.SetMessageRect(Rect(100, 100, 400, 300));
        wnd.SetAutoClose(nSeconds);
        ASSERT_TRUE(wnd.Create());
        const HWND hWnd = wnd.GetSafeHwnd();
        if (nSeconds == 0)
        {
            // No countdown: no timer, a plain caption, and stray ticks change nothing.
            EXPECT_EQ(" Tea", Caption(hWnd));
            EXPECT_FALSE(::KillTimer(hWnd, ALARMMESSAGE_TIMER));
            for (int i = 0; i < 3; i++)
                ::SendMessageA(hWnd, WM_TIMER, ALARMMESSAGE_TIMER, 0);
            EXPECT_TRUE(::IsWindowVisible(hWnd));
            EXPECT_EQ(" Tea", Caption(hWnd));
            wnd.DestroyWindow();
            continue;
        }
        EXPECT_TRUE(::KillTimer(hWnd, ALARMMESSAGE_TIMER));   // it was armed; the test ticks itself
        for (int nLeft = nSeconds; nLeft >= 1; nLeft--)
        {
            ASSERT_TRUE(::IsWindow(hWnd)) << nLeft;
            EXPECT_EQ(" Tea - " + std::to_string(nLeft) + " second(s)", Caption(hWnd));
            ::SendMessageA(hWnd, WM_TIMER, 99, 0);   // another timer counts nothing
            ::SendMessageA(hWnd, WM_TIMER, ALARMMESSAGE_TIMER, 0);
        }
        EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_EQ(nullptr, wnd.GetSafeHwnd());
        EXPECT_TRUE(SameRect(Rect(100, 100, 400, 300), wnd.GetMessageRect())) << Text(wnd.GetMessageRect());
    }
}

TEST_F(MessageWndTest, RectangleRules)
{
    const int nWidth = ::GetSystemMetrics(SM_CXFULLSCREEN);
    const int nHeight = ::GetSystemMetrics(SM_CYFULLSCREEN);
    RECT rcWork;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0));

    CAlarmMessageWnd wnd;
    // Stored as given, or the middle half of the screen for an inverted one.
    const struct
    {
        RECT rcSet;
        RECT rcStored;
    } stored[] = {
        {Rect(0, 0, -1, 100), Rect(nWidth / 4, nHeight / 4, 3 * nWidth / 4, 3 * nHeight / 4)},
        {Rect(0, 0, 100, -1), Rect(nWidth / 4, nHeight / 4, 3 * nWidth / 4, 3 * nHeight / 4)},
        {Rect(0, 0, 0, 0), Rect(0, 0, 0, 0)},
        {Rect(10, 20, 10, 20), Rect(10, 20, 10, 20)},
        {Rect(-5000, -5000, -4700, -4800), Rect(-5000, -5000, -4700, -4800)},
    };
    for (const auto& c : stored)
    {
        wnd.SetMessageRect(c.rcSet);
        EXPECT_TRUE(SameRect(c.rcStored, wnd.GetMessageRect())) << Text(c.rcSet) << " -> " << Text(wnd.GetMessageRect());
    }

    // Opened where stored, top-most; one off every monitor comes onto the
    // work area with its size; the last rectangle is kept when it closes.
    const struct
    {
        RECT rcSet;
        bool bOnScreen;
    } opened[] = {
        {Rect(100, 120, 420, 330), true},
        {Rect(-5000, -5000, -4700, -4800), false},
        {Rect(rcWork.right + 50, rcWork.top + 10, rcWork.right + 350, rcWork.top + 210), false},
    };
    for (const auto& c : opened)
    {
        SCOPED_TRACE(Text(c.rcSet));
        wnd.SetMessageRect(c.rcSet);
        ASSERT_TRUE(wnd.Create());
        EXPECT_TRUE(wnd.GetExStyle() & WS_EX_TOPMOST);
        RECT rcShown;
        wnd.GetWindowRect(&rcShown);
        if (c.bOnScreen)
            EXPECT_TRUE(SameRect(c.rcSet, rcShown)) << Text(rcShown);
        else
        {
            RECT rcInside;
            EXPECT_TRUE(::IntersectRect(&rcInside, &rcShown, &rcWork) && SameRect(rcInside, rcShown)) << Text(rcShown);
            EXPECT_EQ(c.rcSet.right - c.rcSet.left, rcShown.right - rcShown.left);
            EXPECT_EQ(c.rcSet.bottom - c.rcSet.top, rcShown.bottom - rcShown.top);
        }
        wnd.DestroyWindow();
        EXPECT_TRUE(SameRect(rcShown, wnd.GetMessageRect())) << Text(wnd.GetMessageRect());
    }
}

TEST_F(MessageWndTest, TextFillsTheWindowWrapsAndFollowsItsSize)
{
    const struct
    {
        const char* pszText;
        bool bCenter;
        DWORD dwButtonStyle;
        int nMinLines, nMaxLines;
        int nStartsLeft;   // 1 near the left edge, 0 well inside, -1 not checked
    } cases[] = {
        {"Wake up", true, 0x5001AF00, 1, 1, 0},
        {"Wake up", false, 0x5001AD00, 1, 1, 1},
        {kLongText, true, 0x5001AF00, 3, 20, -1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszText);
        CAlarmMessageWnd wnd;
        wnd.SetMessageText(c.pszText);
        wnd.SetTextAlign(c.bCenter ? BS_CENTER : BS_LEFT, c.bCenter ? BS_LEFT : BS_CENTER);
        wnd.SetMessageRect(Rect(50, 50, 350, 250));
        ASSERT_TRUE(wnd.Create());
        // The system adds sibling clipping and the 3-D look to a top-level dialog.
        EXPECT_EQ(0x90CC0040u, (DWORD)wnd.GetStyle() & ~(DWORD)(WS_CLIPSIBLINGS | DS_3DLOOK));
        CWnd* pButton = wnd.GetDlgItem(IDC_ALARMMESSAGE_TEXT);
        ASSERT_NE(nullptr, pButton);
        EXPECT_EQ(c.dwButtonStyle, (DWORD)pButton->GetStyle());
        CRect rcClient, rcButton;
        wnd.GetClientRect(&rcClient);
        pButton->GetWindowRect(&rcButton);
        wnd.ScreenToClient(&rcButton);
        EXPECT_TRUE(SameRect(rcClient, rcButton)) << Text(rcButton);

        const CTextLayout layout = MeasureText(pButton->GetSafeHwnd());
        EXPECT_GE(layout.nLines, c.nMinLines);
        EXPECT_LE(layout.nLines, c.nMaxLines);
        if (c.nStartsLeft == 1)
            EXPECT_LT(layout.nLeft, rcClient.Width() / 6);
        else if (c.nStartsLeft == 0)
            EXPECT_GT(layout.nLeft, rcClient.Width() / 6);

        // Wider: the button covers the new client area and the text needs fewer lines.
        wnd.MoveWindow(50, 50, 750, 250);
        wnd.GetClientRect(&rcClient);
        pButton->GetWindowRect(&rcButton);
        wnd.ScreenToClient(&rcButton);
        EXPECT_TRUE(SameRect(rcClient, rcButton)) << Text(rcButton);
        if (c.nMinLines > 1)
            EXPECT_LT(MeasureText(pButton->GetSafeHwnd()).nLines, layout.nLines);
        wnd.DestroyWindow();
    }
}

TEST_F(MessageWndTest, EnterKeepsTheWindowAndEscapeClosesIt)
{
    CAlarmMessageWnd wnd;
    wnd.SetMessageRect(Rect(80, 90, 380, 290));
    ASSERT_TRUE(wnd.Create());
    const HWND hWnd = wnd.GetSafeHwnd();
    ::SendMessageA(hWnd, WM_COMMAND, IDOK, 0);
    ::SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDC_ALARMMESSAGE_TEXT, BN_CLICKED), 0);
    EXPECT_TRUE(::IsWindowVisible(hWnd));
    ::MoveWindow(hWnd, 120, 130, 300, 220, TRUE);
    ::SendMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(::IsWindow(hWnd));   // gone, not merely hidden
    EXPECT_TRUE(SameRect(Rect(120, 130, 420, 350), wnd.GetMessageRect())) << Text(wnd.GetMessageRect());
    // The object opens again from what it stored.
    ASSERT_TRUE(wnd.Create());
    RECT rcShown;
    wnd.GetWindowRect(&rcShown);
    EXPECT_TRUE(SameRect(Rect(120, 130, 420, 350), rcShown)) << Text(rcShown);
    wnd.DestroyWindow();
}

TEST_F(MessageWndTest, PreviewRunsModallyAndReturnsTheMovedRectangle)
{
    CActingMessageWnd wnd;
    wnd.SetCaptionText(" Set window's size");
    wnd.SetMessageRect(Rect(0, 0, -1, 100));
    std::string strCaption;
    bool bStayedAfterEnter = false;
    wnd.m_fnAct = [&](CActingMessageWnd* p) {
        strCaption = Caption(p->GetSafeHwnd());
        ::MoveWindow(p->GetSafeHwnd(), 60, 70, 330, 240, TRUE);
        p->SendMessage(WM_COMMAND, IDOK, 0);
        bStayedAfterEnter = ::IsWindowVisible(p->GetSafeHwnd()) != FALSE;
        p->SendMessage(WM_COMMAND, IDCANCEL, 0);
    };
    EXPECT_EQ(IDCANCEL, wnd.DoModal());
    EXPECT_EQ(" Set window's size", strCaption);
    EXPECT_TRUE(bStayedAfterEnter);
    EXPECT_TRUE(SameRect(Rect(60, 70, 390, 310), wnd.GetMessageRect())) << Text(wnd.GetMessageRect());
}
