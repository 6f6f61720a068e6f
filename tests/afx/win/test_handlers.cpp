// Base handlers of the window messages: each map entry that names only the
// base handler passes the message, unchanged, to the procedure underneath;
// argument decoding of the newer entries; tooltip colours; COleDateTime.
#include <gtest/gtest.h>

#include <vector>

#include "afx/afx.h"
#include "afx/afxwin.h"
#include "support/win_window.h"

#include <oleauto.h>

namespace {

// A plain window procedure underneath the CWnd: it records what reaches it.
struct CRawRecord {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<CRawRecord> g_raw;
const LRESULT kRawAnswer = 0x5A;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER || message == WM_NCDESTROY || message == WM_DESTROY)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    g_raw.push_back({message, wParam, lParam});
    return kRawAnswer;
}

// Every entry names a handler this class does not define: the base one runs.
class CBaseHandlersWnd : public CWnd {
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseHandlersWnd, CWnd)
    ON_WM_ACTIVATEAPP()
    ON_WM_SIZING()
    ON_WM_NCRBUTTONDOWN()
    ON_WM_NCLBUTTONUP()
    ON_WM_NCMOUSEMOVE()
    ON_WM_NCCALCSIZE()
    ON_WM_RBUTTONDBLCLK()
    ON_WM_MBUTTONDOWN()
    ON_WM_MBUTTONUP()
    ON_WM_SYSKEYUP()
    ON_WM_ENABLE()
    ON_WM_ENDSESSION()
    ON_WM_DROPFILES()
    ON_WM_PARENTNOTIFY()
    ON_WM_HELPINFO()
    ON_WM_HOTKEY()
    ON_WM_MOUSELEAVE()
    ON_WM_QUERYNEWPALETTE()
    ON_WM_PALETTECHANGED()
    ON_WM_FONTCHANGE()
END_MESSAGE_MAP()

class CRawWindow {
public:
    CRawWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "VeltranRecordingRaw";
        ::RegisterClassA(&wc);
        m_hWnd = ::CreateWindowExA(0, wc.lpszClassName, "raw", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    }
    ~CRawWindow() { ::DestroyWindow(m_hWnd); }
    HWND m_hWnd;
};

TEST(BaseHandlers, PassTheMessageUnchangedToTheProcedureUnderneath) {
    CRawWindow raw;
    ASSERT_NE(raw.m_hWnd, nullptr);
    CBaseHandlersWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(raw.m_hWnd));
    RECT rc = {1, 2, 3, 4};
    NCCALCSIZE_PARAMS ncp{};
    HELPINFO hi{};
    hi.cbSize = sizeof(hi);
    struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool bResult;  // the handler returns what the procedure answered
    } const cases[] = {
        {WM_ACTIVATEAPP, TRUE, 0x1234, false},
        {WM_SIZING, WMSZ_BOTTOMRIGHT, (LPARAM)&rc, false},
        {WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(-5, 40), false},
        {WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(10, 20), false},
        {WM_NCMOUSEMOVE, HTBORDER, MAKELPARAM(11, 21), false},
        {WM_NCCALCSIZE, TRUE, (LPARAM)&ncp, false},
        {WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(3, 4), false},
        {WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(5, 6), false},
        {WM_MBUTTONUP, 0, MAKELPARAM(7, 8), false},
        {WM_SYSKEYUP, VK_MENU, (LPARAM)0xC0380001, false},
        {WM_ENABLE, FALSE, 0, false},
        {WM_ENDSESSION, TRUE, 0, false},
        {WM_DROPFILES, 0x5678, 0, false},
        {WM_PARENTNOTIFY, WM_CREATE, 0x9ABC, false},
        {WM_HELP, 0, (LPARAM)&hi, true},
        {WM_HOTKEY, 7, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'K'), false},
        {WM_MOUSELEAVE, 0, 0, false},
        {WM_QUERYNEWPALETTE, 0, 0, true},
        {WM_PALETTECHANGED, (WPARAM)::GetDesktopWindow(), 0, false},
        {WM_FONTCHANGE, 0, 0, false},
    };
    for (const auto& c : cases) {
        g_raw.clear();
        LRESULT lResult = wnd.SendMessage(c.message, c.wParam, c.lParam);
        ASSERT_EQ(g_raw.size(), 1u) << "message 0x" << std::hex << c.message;
        EXPECT_EQ(g_raw[0].message, c.message);
        EXPECT_EQ(g_raw[0].wParam, c.wParam) << "message 0x" << std::hex << c.message;
        EXPECT_EQ(g_raw[0].lParam, c.lParam) << "message 0x" << std::hex << c.message;
        if (c.bResult)
            EXPECT_EQ(lResult, kRawAnswer) << "message 0x" << std::hex << c.message;
    }
    wnd.UnsubclassWindow();
    vtest::PumpPending();
}

// The newer entries decode their arguments as the messages define them.
class CDecodingWnd : public CWnd {
public:
    std::vector<UINT> m_hotKey;
    HWND m_hWndPalette = nullptr;
    int m_nLeaves = 0;
    int m_nFontChanges = 0;
    BOOL m_bPaletteAnswer = FALSE;

protected:
    afx_msg void OnHotKey(UINT nId, UINT nKey1, UINT nKey2) { m_hotKey = {nId, nKey1, nKey2}; }
    afx_msg void OnPaletteChanged(CWnd* pFocusWnd) { m_hWndPalette = pFocusWnd->GetSafeHwnd(); }
    afx_msg BOOL OnQueryNewPalette() { return m_bPaletteAnswer; }
    afx_msg void OnMouseLeave() { ++m_nLeaves; }
    afx_msg void OnFontChange() { ++m_nFontChanges; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDecodingWnd, CWnd)
    ON_WM_HOTKEY()
    ON_WM_PALETTECHANGED()
    ON_WM_QUERYNEWPALETTE()
    ON_WM_MOUSELEAVE()
    ON_WM_FONTCHANGE()
END_MESSAGE_MAP()

TEST(BaseHandlers, NewerEntriesDecodeTheirArguments) {
    CDecodingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "decode", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80, nullptr, nullptr));
    // A hot key arrives posted, as the system sends it: through the queue.
    wnd.PostMessage(WM_HOTKEY, 3, MAKELPARAM(MOD_SHIFT | MOD_WIN, VK_F5));
    ASSERT_TRUE(vtest::PumpUntil([&] { return !wnd.m_hotKey.empty(); }));
    EXPECT_EQ(wnd.m_hotKey, (std::vector<UINT>{3, MOD_SHIFT | MOD_WIN, VK_F5}));
    wnd.SendMessage(WM_PALETTECHANGED, (WPARAM)wnd.m_hWnd);
    EXPECT_EQ(wnd.m_hWndPalette, wnd.m_hWnd);
    wnd.m_bPaletteAnswer = TRUE;
    EXPECT_EQ(wnd.SendMessage(WM_QUERYNEWPALETTE), TRUE);
    wnd.SendMessage(WM_MOUSELEAVE);
    wnd.SendMessage(WM_FONTCHANGE);
    EXPECT_EQ(wnd.m_nLeaves, 1);
    EXPECT_EQ(wnd.m_nFontChanges, 1);
    wnd.DestroyWindow();
}

TEST(ToolTipColours, SettersReachTheControl) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80, nullptr, nullptr));
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&owner));
    for (COLORREF clr : {RGB(255, 255, 225), RGB(0, 0, 0), RGB(12, 34, 56)}) {
        tip.SetTipBkColor(clr);
        tip.SetTipTextColor(RGB(255, 255, 255) - clr);
        EXPECT_EQ((COLORREF)::SendMessageA(tip.m_hWnd, TTM_GETTIPBKCOLOR, 0, 0), clr);
        EXPECT_EQ((COLORREF)::SendMessageA(tip.m_hWnd, TTM_GETTIPTEXTCOLOR, 0, 0), RGB(255, 255, 255) - clr);
        EXPECT_EQ(tip.GetTipBkColor(), clr);
    }
    tip.DestroyWindow();
    owner.DestroyWindow();
}

SYSTEMTIME MakeTime(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
    SYSTEMTIME st{};
    st.wYear = y;
    st.wMonth = mo;
    st.wDay = d;
    st.wHour = h;
    st.wMinute = mi;
    st.wSecond = s;
    return st;
}

// The value and fields agree with the system's own automation-date conversion.
TEST(OleDateTime, AgreesWithTheSystemConversion) {
    const SYSTEMTIME times[] = {
        MakeTime(1899, 12, 30, 0, 0, 0), MakeTime(1899, 12, 29, 6, 0, 0),  MakeTime(1800, 2, 28, 23, 59, 59),
        MakeTime(100, 1, 1, 0, 0, 0),    MakeTime(9999, 12, 31, 23, 59, 59), MakeTime(2000, 2, 29, 12, 30, 1),
        MakeTime(2026, 12, 7, 8, 5, 3),  MakeTime(1970, 1, 1, 0, 0, 0),
    };
    for (const SYSTEMTIME& st : times) {
        double dSystem = 0;
        ASSERT_TRUE(::SystemTimeToVariantTime(const_cast<SYSTEMTIME*>(&st), &dSystem));
        COleDateTime dt(st);
        ASSERT_EQ(dt.GetStatus(), COleDateTime::valid) << st.wYear;
        EXPECT_NEAR(dt.m_dt, dSystem, 1e-9) << st.wYear << "-" << st.wMonth << "-" << st.wDay;
        SYSTEMTIME stBack{};
        ASSERT_TRUE(dt.GetAsSystemTime(stBack));
        SYSTEMTIME stSystem{};
        ASSERT_TRUE(::VariantTimeToSystemTime(dSystem, &stSystem));
        EXPECT_EQ(stBack.wYear, stSystem.wYear);
        EXPECT_EQ(stBack.wMonth, stSystem.wMonth);
        EXPECT_EQ(stBack.wDay, stSystem.wDay);
        EXPECT_EQ(stBack.wHour, stSystem.wHour);
        EXPECT_EQ(stBack.wMinute, stSystem.wMinute);
        EXPECT_EQ(stBack.wSecond, stSystem.wSecond);
        EXPECT_EQ(stBack.wDayOfWeek, stSystem.wDayOfWeek);
        EXPECT_EQ(COleDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond).m_dt, dt.m_dt);
    }
}

TEST(OleDateTime, FieldsOutOfRangeAreInvalid) {
    const int fields[][6] = {
        {99, 12, 31, 0, 0, 0},  {10000, 1, 1, 0, 0, 0}, {2023, 2, 29, 0, 0, 0}, {2024, 13, 1, 0, 0, 0},
        {2024, 0, 1, 0, 0, 0},  {2024, 4, 31, 0, 0, 0}, {2024, 1, 1, 24, 0, 0}, {2024, 1, 1, 0, 60, 0},
        {2024, 1, 1, 0, 0, 60}, {2024, 1, 0, 0, 0, 0},
    };
    for (const auto& f : fields) {
        COleDateTime dt(f[0], f[1], f[2], f[3], f[4], f[5]);
        EXPECT_EQ(dt.GetStatus(), COleDateTime::invalid) << f[0] << "-" << f[1] << "-" << f[2];
        EXPECT_EQ(dt.GetYear(), -1);
        EXPECT_EQ(dt.GetSecond(), -1);
    }
    EXPECT_EQ(COleDateTime(2024, 2, 29, 23, 59, 59).GetDay(), 29);  // leap day, last second
}

}  // namespace
