// The calendar window and its options under Wine, made by the real main
// dialog: colours on pixels, panes, first day of the week, Escape and the
// close box, the About item of the system menu, and the options dialog
// driven through its controls, whose OK re-creates a shown calendar.
#include "clocks/calendar_win.h"
#include "clocks/calendaroptions_win.h"

#include "afx/afxapp.h"
#include "controls/colourpopup.h"
#include "core/appseams.h"
#include "core/settings.h"
#include "shell/maindlg.h"
#include "support/shellrestore.h"
#include "support/win_drivers.h"
#include "support/win_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {
int g_nAlive = 0;

template <class Base> using CUnmapped = vtest::CUnmapped<Base, &g_nAlive>;

template <class T> CDialog* Make()
{
    return new T;
}

// A point of the month calendar whose hit test answers nHit, looked for in
// the rows of rcIn in steps of two pixels from the corner given; false when none.
bool FindHit(HWND hMonths, UINT nHit, const CRect& rcIn, bool bFromRight, bool bFromBottom, CPoint& pt)
{
    for (int j = 0; j < rcIn.Height(); j += 2) {
        for (int i = 0; i < rcIn.Width(); i += 2) {
            MCHITTESTINFO info = {};
            info.cbSize = MCHITTESTINFO_V1_SIZE;
            info.pt.x = bFromRight ? rcIn.right - 1 - i : rcIn.left + i;
            info.pt.y = bFromBottom ? rcIn.bottom - 1 - j : rcIn.top + j;
            ::SendMessageA(hMonths, MCM_HITTEST, 0, (LPARAM)&info);
            if (info.uHit == nHit) {
                pt = info.pt;
                return true;
            }
        }
    }
    return false;
}

int FirstVisibleMonth(HWND hMonths)
{
    SYSTEMTIME range[2] = {};
    ::SendMessageA(hMonths, MCM_GETMONTHRANGE, GMR_VISIBLE, (LPARAM)range);
    return range[0].wYear * 12 + range[0].wMonth;
}

bool Near(COLORREF c, COLORREF ref)
{
    return std::abs(GetRValue(c) - GetRValue(ref)) < 8 && std::abs(GetGValue(c) - GetGValue(ref)) < 8
        && std::abs(GetBValue(c) - GetBValue(ref)) < 8;
}

class CalendarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_nGdi = AfxGetLiveGdiObjectCount();
        g_settings = CSettings();
        g_windowServices.pfnMake[WK_CALENDAR] = Make<CUnmapped<CCalendarDlg>>;
        g_windowServices.pfnMake[WK_CALENDAROPTIONS] = Make<CUnmapped<CCalendarOptionsDlg>>;
        g_windowServices.pfnMake[WK_ABOUT] = Make<CUnmapped<CDialog>>;
        g_appSeams.pfnWriteFile = [](LPCSTR, const BYTE*, size_t) { return TRUE; };
        g_appSeams.pfnReplaceFile = [](LPCSTR, LPCSTR) { return TRUE; };
        g_appSeams.pfnWriteRunValue = [](LPCSTR) { return RUNVALUE_WRITTEN; };
        m_pMain = new CMainDlg;
        ASSERT_TRUE(m_pMain->Create(IDD_MAINDLG));
        m_app.m_pMainWnd = m_pMain;
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        delete m_pMain;
        vtest::PumpPending();
        EXPECT_EQ(0, g_nAlive);
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
    }

    CCalendarDlg* OpenCalendar()
    {
        m_pMain->SendMessage(UM_SHOWCALENDAR);
        return static_cast<CCalendarDlg*>(m_pMain->m_pCalendarDlg);
    }
    HWND OpenOptions()
    {
        m_pMain->SendMessage(UM_SHOWCALENDAROPTIONS);
        return m_pMain->m_pCalendarOptionsDlg != nullptr ? m_pMain->m_pCalendarOptionsDlg->GetSafeHwnd()
                                                         : nullptr;
    }

    vtest::CShellRestore m_restore;
    CWinApp m_app { "Veltran Clock" };
    CRecordingSeams m_seams;
    CSeamsScope m_scope { &m_seams };
    CMainDlg* m_pMain = nullptr;
    long m_nGdi = 0;
};

TEST_F(CalendarTest, CustomColoursPaintTheMonthsAndTheWindowAroundThem)
{
    const COLORREF crBack = RGB(0, 128, 64), crMonth = RGB(255, 240, 200), crTitle = RGB(128, 0, 128);
    g_settings.m_bCalUseBackColor = g_settings.m_bCalUseMonthBackColor = g_settings.m_bCalUseTitleBackColor
        = TRUE;
    g_settings.m_crCalBack = crBack;
    g_settings.m_crCalMonthBack = crMonth;
    g_settings.m_crCalTitleBack = crTitle;
    g_settings.m_crCalText = RGB(255, 0, 0); // its flag is clear: not applied
    g_settings.m_nCalFirstDay = 9;
    g_settings.m_bCalCustomFirstDay = TRUE;
    CCalendarDlg* pCalendar = OpenCalendar();
    ASSERT_NE(nullptr, pCalendar);
    EXPECT_TRUE(g_settings.m_bCalendarVisible);
    EXPECT_TRUE(pCalendar->IsZoomed());
    CCalendarCtrl& ctl = pCalendar->GetCalendarCtrl();
    EXPECT_EQ(crBack, ctl.GetColor(CAL_COLOR_BACKGROUND));
    EXPECT_NE(RGB(255, 0, 0), ctl.GetColor(CAL_COLOR_TEXT));
    EXPECT_EQ(0, ctl.GetFirstDayOfWeek());
    EXPECT_EQ(0, g_settings.m_nCalFirstDay);
    CString strCaption;
    pCalendar->GetWindowText(strCaption);
    EXPECT_STREQ("Veltran Clock - Calendar", strCaption);

    // Whole panes, centred in the window, whose edges show the background.
    CRect rcClient, rcControl;
    pCalendar->GetClientRect(&rcClient);
    ctl.GetWindowRect(&rcControl);
    pCalendar->ScreenToClient(&rcControl);
    EXPECT_GE(pCalendar->GetMonthCols(), 1);
    EXPECT_GE(pCalendar->GetMonthRows(), 1);
    EXPECT_LE(std::abs(rcControl.left - (rcClient.right - rcControl.right)), 1);
    EXPECT_LE(std::abs(rcControl.top - (rcClient.bottom - rcControl.bottom)), 1);
    vtest::CWindowSnapshot window;
    ASSERT_TRUE(window.Capture(pCalendar->GetSafeHwnd()));
    ASSERT_GT(rcControl.left, 0);
    EXPECT_TRUE(Near(window.Pixel(0, rcClient.Height() / 2), crBack));
    vtest::CWindowSnapshot months;
    ASSERT_TRUE(months.Capture(ctl.GetSafeHwnd()));
    const int nPixels = months.Width() * months.Height();
    EXPECT_GT(months.CountPixels(crMonth), nPixels / 4);
    EXPECT_GT(months.CountPixels(crTitle), nPixels / 40);

    // Smaller than one pane: still one pane, centred and clipped.
    pCalendar->ShowWindow(SW_RESTORE);
    pCalendar->MoveWindow(0, 0, 60, 60);
    EXPECT_EQ(1, pCalendar->GetMonthCols());
    EXPECT_EQ(1, pCalendar->GetMonthRows());
    ctl.GetWindowRect(&rcControl);
    pCalendar->ScreenToClient(&rcControl);
    GetClientRect(pCalendar->GetSafeHwnd(), &rcClient);
    EXPECT_GT(rcControl.Width(), rcClient.Width());
    EXPECT_LT(rcControl.left, 0);
    EXPECT_LT(rcControl.top, 0);
    EXPECT_LE(std::abs(rcControl.CenterPoint().x - rcClient.CenterPoint().x), 1);
    EXPECT_LE(std::abs(rcControl.CenterPoint().y - rcClient.CenterPoint().y), 1);
    m_pMain->SendMessage(UM_CALENDARCLOSED);
}

// At every window size at least one month large the control lies inside the
// client area, centred, holds exactly the whole months that fit, shows its
// "today" line, and ">" moves on by the months shown: from the window's own
// size (nothing maximises it on a bare display) to a maximised one.
TEST_F(CalendarTest, EverySizeShowsWholeMonthsAndTheArrowsMoveByThem)
{
    CCalendarDlg* pCalendar = OpenCalendar();
    ASSERT_NE(nullptr, pCalendar);
    CCalendarCtrl& ctl = pCalendar->GetCalendarCtrl();
    HWND hMonths = ctl.GetSafeHwnd();
    CRect rcMonth;
    ASSERT_TRUE(ctl.GetMinReqRect(&rcMonth));
    const int nPaneWidth = std::max(rcMonth.Width() + rcMonth.Width() / 20,
                                    static_cast<int>(ctl.SendMessage(MCM_GETMAXTODAYWIDTH)));
    pCalendar->ShowWindow(SW_RESTORE);
    CRect rcWindow;
    pCalendar->GetWindowRect(&rcWindow);
    const CSize sizes[] = {rcWindow.Size(), CSize(300, 200), CSize(520, 420), CSize(754, 560), CSize(1000, 700),
                           CSize(1288, 1012)};
    for (const CSize& size : sizes) {
        pCalendar->MoveWindow(0, 0, size.cx, size.cy);
        CRect rcClient, rcControl;
        pCalendar->GetClientRect(&rcClient);
        ctl.GetWindowRect(&rcControl);
        pCalendar->ScreenToClient(&rcControl);
        ASSERT_GE(rcClient.Width(), nPaneWidth) << size.cx;
        ASSERT_GE(rcClient.Height(), rcMonth.Height()) << size.cy;
        const int nCols = pCalendar->GetMonthCols(), nRows = pCalendar->GetMonthRows();
        EXPECT_LT(rcClient.Width(), (nCols + 1) * nPaneWidth) << size.cx;
        EXPECT_LT(rcClient.Height(), (nRows + 1) * rcMonth.Height()) << size.cy;
        CRect rcInside;
        rcInside.IntersectRect(&rcClient, &rcControl);
        EXPECT_EQ(rcControl, rcInside) << size.cx << "x" << size.cy;
        EXPECT_LE(std::abs(rcControl.left - (rcClient.right - rcControl.right)), 1) << size.cx;
        EXPECT_LE(std::abs(rcControl.top - (rcClient.bottom - rcControl.bottom)), 1) << size.cy;

        SYSTEMTIME range[2];
        EXPECT_EQ(nCols * nRows, ctl.SendMessage(MCM_GETMONTHRANGE, GMR_VISIBLE, (LPARAM)range))
            << size.cx << "x" << size.cy;
        const CRect rcMonths(0, 0, rcControl.Width(), rcControl.Height());
        CPoint pt;
        EXPECT_TRUE(FindHit(hMonths, MCHT_TODAYLINK, CRect(0, rcMonths.bottom - rcMonth.Height(), 200, rcMonths.bottom),
                            false, true, pt))
            << size.cx << "x" << size.cy;
        ASSERT_TRUE(FindHit(hMonths, MCHT_TITLEBTNNEXT, CRect(rcMonths.right - 80, 0, rcMonths.right, 40), true,
                            false, pt));
        const int nFirst = FirstVisibleMonth(hMonths);
        vtest::SendClick(hMonths, pt.x, pt.y);
        EXPECT_EQ(nCols * nRows, FirstVisibleMonth(hMonths) - nFirst) << size.cx << "x" << size.cy;
    }
    m_pMain->SendMessage(UM_CALENDARCLOSED);
}

TEST_F(CalendarTest, WithoutColoursTheWindowFollowsTheControlAndTheFirstDayIsTheLocale)
{
    g_settings.m_crCalBack = RGB(0, 128, 64); // stored, but its flag is clear
    g_settings.m_nCalFirstDay = 3;
    CCalendarDlg* pCalendar = OpenCalendar();
    ASSERT_NE(nullptr, pCalendar);
    CCalendarCtrl& ctl = pCalendar->GetCalendarCtrl();
    EXPECT_NE(RGB(0, 128, 64), ctl.GetColor(CAL_COLOR_BACKGROUND));
    BOOL bLocal = TRUE;
    ctl.GetFirstDayOfWeek(&bLocal);
    EXPECT_FALSE(bLocal); // never set by the program
    vtest::CWindowSnapshot window;
    ASSERT_TRUE(window.Capture(pCalendar->GetSafeHwnd()));
    CRect rcControl;
    ctl.GetWindowRect(&rcControl);
    pCalendar->ScreenToClient(&rcControl);
    ASSERT_GT(rcControl.left, 0);
    EXPECT_TRUE(Near(window.Pixel(0, 0), ctl.GetColor(CAL_COLOR_BACKGROUND)));
    m_pMain->SendMessage(UM_CALENDARCLOSED);
}

TEST_F(CalendarTest, EscapeAndTheCloseBoxTellTheMainWindowEnterDoesNothing)
{
    CCalendarDlg* pCalendar = OpenCalendar();
    ASSERT_NE(nullptr, pCalendar);
    HWND hMonths = pCalendar->GetCalendarCtrl().GetSafeHwnd();
    ::PostMessageA(hMonths, WM_KEYDOWN, VK_RETURN, 1);
    vtest::PumpPending();
    ASSERT_EQ(pCalendar, m_pMain->m_pCalendarDlg);
    // The About item of the system menu asks the main window for About.
    CMenu* pSysMenu = pCalendar->GetSystemMenu(FALSE);
    ASSERT_NE(nullptr, pSysMenu);
    char szItem[64] = "";
    ::GetMenuStringA(pSysMenu->GetSafeHmenu(), 3009, szItem, sizeof(szItem), MF_BYCOMMAND);
    EXPECT_STREQ("&About Veltran Clock...", szItem);
    pCalendar->SendMessage(WM_SYSCOMMAND, 3009, 0);
    EXPECT_NE(nullptr, m_pMain->m_pAboutDlg);
    m_pMain->SendMessage(UM_ABOUTCLOSED);

    // Escape: the main window closes it and clears the shown flag itself.
    ::PostMessageA(hMonths, WM_KEYDOWN, VK_ESCAPE, 1);
    vtest::PumpUntil([&] { return m_pMain->m_pCalendarDlg == nullptr; });
    EXPECT_EQ(nullptr, m_pMain->m_pCalendarDlg);
    EXPECT_FALSE(g_settings.m_bCalendarVisible);
    // The close box clears the flag before it tells.
    pCalendar = OpenCalendar();
    ASSERT_NE(nullptr, pCalendar);
    pCalendar->SendMessage(WM_CLOSE);
    vtest::PumpPending();
    EXPECT_EQ(nullptr, m_pMain->m_pCalendarDlg);
}

TEST_F(CalendarTest, OptionsShowTheSettingsAndTheirOkRecreatesTheCalendar)
{
    g_settings.m_nCalFirstDay = 9;
    g_settings.m_bCalendarToggleHides = 4;
    g_settings.m_bCalUseTextColor = TRUE;
    g_settings.m_crCalText = RGB(10, 20, 30);
    g_settings.m_crCalTitleBack = RGB(1, 2, 3);
    g_settings.m_hkCalendar = { 'C', HOTKEYF_CONTROL, 0 };
    CCalendarDlg* pFirst = OpenCalendar();
    ASSERT_NE(nullptr, pFirst);
    HWND hDlg = OpenOptions();
    ASSERT_NE(nullptr, hDlg);
    EXPECT_TRUE(::GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(0, ::SendDlgItemMessageA(hDlg, 1036, CB_GETCURSEL, 0, 0)); // "Monday"
    EXPECT_EQ(0, g_settings.m_nCalFirstDay);
    EXPECT_EQ(1, g_settings.m_bCalendarToggleHides);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hDlg, 1036)));
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(hDlg, 1364));
    EXPECT_EQ(MAKEWORD('C', HOTKEYF_CONTROL), ::SendDlgItemMessageA(hDlg, 1383, HKM_GETHOTKEY, 0, 0));

    // The custom first day enables the list; Monday stays chosen.
    vtest::SetCheck(hDlg, 1362, true);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hDlg, 1036)));
    // The title colour is chosen in the colour popup, its flag checked; the
    // text colour's flag cleared (its colour stays).
    ::SendMessageA(::GetDlgItem(hDlg, 1003), UM_COLOR_SELENDOK, RGB(200, 10, 10), 0);
    vtest::SetCheck(hDlg, 1365, true);
    vtest::SetCheck(hDlg, 1364, false);
    vtest::SetCheck(hDlg, 1232, true);
    vtest::PressButton(hDlg, IDOK);
    vtest::PumpPending();
    EXPECT_EQ(nullptr, m_pMain->m_pCalendarOptionsDlg);
    EXPECT_TRUE(g_settings.m_bCalCustomFirstDay);
    EXPECT_EQ(0, g_settings.m_nCalFirstDay);
    EXPECT_TRUE(g_settings.m_bCalUseTitleBackColor);
    EXPECT_EQ(RGB(200, 10, 10), g_settings.m_crCalTitleBack);
    EXPECT_FALSE(g_settings.m_bCalUseTextColor);
    EXPECT_EQ(RGB(10, 20, 30), g_settings.m_crCalText);
    EXPECT_TRUE(g_settings.m_bCalendarOnTop);
    EXPECT_EQ(1, m_seams.CountCalls("RegisterHotKey 2 0x2 0x43"));

    // The calendar was made again with the new settings.
    CCalendarDlg* pCalendar = static_cast<CCalendarDlg*>(m_pMain->m_pCalendarDlg);
    ASSERT_NE(nullptr, pCalendar);
    EXPECT_EQ(0, pCalendar->GetCalendarCtrl().GetFirstDayOfWeek());
    EXPECT_EQ(RGB(200, 10, 10), pCalendar->GetCalendarCtrl().GetColor(CAL_COLOR_TITLEBK));
    EXPECT_TRUE(::GetWindowLongA(pCalendar->GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Cancel stores nothing.
    hDlg = OpenOptions();
    ASSERT_NE(nullptr, hDlg);
    vtest::SelectItem(hDlg, 1036, 2);
    vtest::PressButton(hDlg, IDCANCEL);
    vtest::PumpPending();
    EXPECT_EQ(nullptr, m_pMain->m_pCalendarOptionsDlg);
    EXPECT_EQ(0, g_settings.m_nCalFirstDay);
    m_pMain->SendMessage(UM_CALENDARCLOSED);
}
} // namespace
