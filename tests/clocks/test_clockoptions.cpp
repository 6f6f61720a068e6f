// The analog and digital clock options under Wine, made by the real main
// dialog from their templates and driven through their controls and tabs:
// what they show of stored values out of range, what they write at once,
// what OK stores and Cancel leaves, the chosen skins and the format presets;
// and what the open clocks show once the options closed.
#include "clocks/clockoptions_win.h"

#include "afx/afxapp.h"
#include "clocks/analogclock_win.h"
#include "clocks/clockmenu_win.h"
#include "clocks/digitalclock_win.h"
#include "clocks/timeformat.h"
#include "core/appseams.h"
#include "core/settings.h"
#include "shell/maindlg.h"
#include "support/shellrestore.h"
#include "support/tempfolder.h"
#include "support/win_drivers.h"
#include "support/win_menu_driver.h"
#include "support/win_window.h"
#include "tools/skinmaker/skinbuild.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <tuple>

namespace fs = std::filesystem;

namespace {
int g_nAlive = 0;

template <class Base> using CUnmapped = vtest::CUnmapped<Base, &g_nAlive>;

template <class T> CDialog* Make()
{
    return new T;
}

class ClockOptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_nGdi = AfxGetLiveGdiObjectCount();
        m_folder = std::make_unique<vtest::CTempFolder>("veltran_clockoptions");
        m_root = m_folder->Path();
        fs::create_directories(m_root / "acs");
        fs::create_directories(m_root / "dcs");
        for (const char* pszName : { "Gamma", "Alpha" })
            std::ofstream(m_root / "acs" / (std::string(pszName) + ".acs")) << "x";
        g_settings = CSettings();
        g_settings.m_strAnalogSkinDir = (m_root / "acs").string().c_str();
        g_settings.m_strDigitalSkinDir = (m_root / "dcs").string().c_str();
        g_windowServices.pfnMake[WK_ANALOGOPTIONS] = Make<CUnmapped<CAnalogOptionsDlg>>;
        g_windowServices.pfnMake[WK_DIGITALOPTIONS] = Make<CUnmapped<CDigitalOptionsDlg>>;
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
        m_folder.reset();
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
    }

    CClockOptionsDlg* Open(UINT nShow)
    {
        m_pMain->SendMessage(nShow);
        return static_cast<CClockOptionsDlg*>(
            nShow == UM_SHOWANALOGOPTIONS ? m_pMain->m_pAnalogOptionsDlg : m_pMain->m_pDigitalOptionsDlg);
    }
    static bool Checked(HWND hDlg, int nID) { return ::IsDlgButtonChecked(hDlg, nID) == BST_CHECKED; }
    static bool Enabled(HWND hDlg, int nID) { return ::IsWindowEnabled(::GetDlgItem(hDlg, nID)) != FALSE; }
    static CString ComboText(HWND hDlg, int nID)
    {
        char sz[128] = "";
        const LRESULT nSel = ::SendDlgItemMessageA(hDlg, nID, CB_GETCURSEL, 0, 0);
        if (nSel >= 0)
            ::SendDlgItemMessageA(hDlg, nID, CB_GETLBTEXT, nSel, reinterpret_cast<LPARAM>(sz));
        return sz;
    }
    static bool ItemChecked(HWND hList, int nItem)
    {
        return (::SendMessageA(hList, LVM_GETITEMSTATE, nItem, LVIS_STATEIMAGEMASK) >> 12) == 2;
    }
    static void CheckItem(HWND hList, int nItem, bool bCheck)
    {
        LVITEMA item = {};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(bCheck ? 2 : 1);
        ::SendMessageA(hList, LVM_SETITEMSTATE, nItem, reinterpret_cast<LPARAM>(&item));
    }
    // A click on a tab, as the mouse gives it.
    static void ClickTab(HWND hTab, int nTab)
    {
        RECT rc;
        ::SendMessageA(hTab, TCM_GETITEMRECT, nTab, reinterpret_cast<LPARAM>(&rc));
        vtest::Click(hTab, POINT { (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2 });
    }

    vtest::CShellRestore m_restore;
    CWinApp m_app { "Veltran Clock" };
    CRecordingSeams m_seams;
    CSeamsScope m_scope { &m_seams };
    CMainDlg* m_pMain = nullptr;
    std::unique_ptr<vtest::CTempFolder> m_folder;
    fs::path m_root;
    long m_nGdi = 0;
};

TEST_F(ClockOptionsTest, AnalogOptionsShowCorrectedValuesAndOkStoresBothPages)
{
    g_settings.m_strAnalogSkin = "Gone";
    g_settings.m_nAnalogDblClkAction = 7;
    g_settings.m_nAnalogChangeMinutes = 0;
    g_settings.m_nAnalogChangeSeconds = 60;
    g_settings.m_bAnalogAutoChange = TRUE;
    g_settings.m_bAnalogChangeByMinutes = TRUE;
    g_settings.m_strAnalogChangeSkins = "Alpha***Beta***";
    g_settings.m_bAnalogSecondHand = FALSE;
    CClockOptionsDlg* pDlg = Open(UM_SHOWANALOGOPTIONS);
    ASSERT_NE(nullptr, pDlg);
    HWND hPage1 = pDlg->GetVisiblePage()->GetSafeHwnd();
    HWND hPage2 = pDlg->GetAutoChangePage()->GetSafeHwnd();
    HWND hTab = ::GetDlgItem(pDlg->GetSafeHwnd(), 1028);
    ASSERT_NE(nullptr, hTab);
    EXPECT_EQ(hTab, ::GetParent(hPage1));
    EXPECT_EQ(2, ::SendMessageA(hTab, TCM_GETITEMCOUNT, 0, 0));

    // The missing skin falls back to the first listed one at once, and that
    // is the skin the dialog opened with.
    EXPECT_STREQ("Alpha", ComboText(hPage1, 1209));
    EXPECT_EQ(2, ::SendDlgItemMessageA(hPage1, 1209, CB_GETCOUNT, 0, 0));
    EXPECT_STREQ("Alpha", g_settings.m_strAnalogSkin);
    EXPECT_STREQ("Alpha", pDlg->m_strInitialSkin);
    EXPECT_STREQ("Nothing", ComboText(hPage1, 1357));
    EXPECT_EQ(6, ::SendDlgItemMessageA(hPage1, 1357, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(1, g_settings.m_nAnalogChangeMinutes);
    EXPECT_EQ(10, g_settings.m_nAnalogChangeSeconds);
    EXPECT_EQ(1, LOWORD(::SendDlgItemMessageA(hPage2, 1246, UDM_GETPOS, 0, 0)));
    EXPECT_EQ(10, LOWORD(::SendDlgItemMessageA(hPage2, 1250, UDM_GETPOS, 0, 0)));
    HWND hList = ::GetDlgItem(hPage2, 1334);
    ASSERT_EQ(2, ::SendMessageA(hList, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_TRUE(ItemChecked(hList, 0)); // Alpha
    EXPECT_FALSE(ItemChecked(hList, 1)); // Gamma; Beta is not installed
    // Auto-change with minutes: the seconds stay disabled, the list is on.
    EXPECT_TRUE(Enabled(hPage2, 1242));
    EXPECT_FALSE(Enabled(hPage2, 1243));
    EXPECT_TRUE(Enabled(hPage2, 1334));

    // Placement checks exclude each other; centring disables auto-removing.
    vtest::SetCheck(hPage1, 1232, true);
    EXPECT_FALSE(Enabled(hPage1, 1371));
    vtest::SetCheck(hPage1, 1232, false);
    vtest::SetCheck(hPage1, 1371, true);
    EXPECT_FALSE(Enabled(hPage1, 1232));
    vtest::SetCheck(hPage1, 1254, true);
    EXPECT_FALSE(Enabled(hPage1, 1252));
    // The second hand and the skin are written at once.
    vtest::SetCheck(hPage1, 1227, true);
    EXPECT_TRUE(g_settings.m_bAnalogSecondHand);
    vtest::SelectItem(hPage1, 1209, 1);
    EXPECT_STREQ("Gamma", g_settings.m_strAnalogSkin);
    vtest::SelectItem(hPage1, 1357, 4);
    ::SendDlgItemMessageA(hPage1, 1373, HKM_SETHOTKEY, MAKEWORD('A', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);

    // The second tab shows the other page.
    ClickTab(hTab, 1);
    EXPECT_EQ(1, ::SendMessageA(hTab, TCM_GETCURSEL, 0, 0));
    EXPECT_FALSE(::GetWindowLongA(hPage1, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(::GetWindowLongA(hPage2, GWL_STYLE) & WS_VISIBLE);
    vtest::SetCheck(hPage2, 1249, false);
    EXPECT_FALSE(Enabled(hPage2, 1334));
    vtest::SetCheck(hPage2, 1251, true);
    EXPECT_TRUE(Enabled(hPage2, 1243));
    EXPECT_TRUE(Enabled(hPage2, 1334));
    vtest::TypeText(hPage2, 1243, "45");
    vtest::TypeText(hPage2, 1242, "1000");
    vtest::PressButton(hPage2, 1000); // Check all
    EXPECT_TRUE(ItemChecked(hList, 1));
    vtest::PressButton(hPage2, 1001); // Uncheck all
    EXPECT_FALSE(ItemChecked(hList, 0));
    CheckItem(hList, 0, true);
    CheckItem(hList, 1, true);
    ClickTab(hTab, 0);
    EXPECT_TRUE(::GetWindowLongA(hPage1, GWL_STYLE) & WS_VISIBLE);

    vtest::PressButton(pDlg->GetSafeHwnd(), IDOK);
    vtest::PumpPending();
    EXPECT_EQ(nullptr, m_pMain->m_pAnalogOptionsDlg);
    EXPECT_TRUE(g_settings.m_bAnalogOnBottom);
    EXPECT_FALSE(g_settings.m_bAnalogOnTop);
    EXPECT_TRUE(g_settings.m_bAnalogAlwaysCenter);
    EXPECT_EQ(4, g_settings.m_nAnalogDblClkAction);
    EXPECT_EQ((HOTKEYSETTING { 'A', HOTKEYF_CONTROL | HOTKEYF_ALT, 0 }), g_settings.m_hkAnalog);
    EXPECT_TRUE(g_settings.m_bAnalogAutoChange);
    EXPECT_FALSE(g_settings.m_bAnalogChangeByMinutes);
    EXPECT_TRUE(g_settings.m_bAnalogChangeBySeconds);
    EXPECT_EQ(45, g_settings.m_nAnalogChangeSeconds);
    EXPECT_EQ(1, g_settings.m_nAnalogChangeMinutes); // 1000 is out of range
    EXPECT_STREQ("Alpha***Gamma***", g_settings.m_strAnalogChangeSkins);
    EXPECT_EQ(1, m_seams.CountCalls("RegisterHotKey 0 0x3 0x41"));
}

TEST_F(ClockOptionsTest, DigitalOptionsWriteTheFormatAtOnceAndCancelKeepsTheRest)
{
    g_settings.m_strDigitalSkin = "Red Digital";
    g_settings.m_nDigitalDblClkAction = -1;
    g_settings.m_bDigitalOnTop = TRUE;
    CClockOptionsDlg* pDlg = Open(UM_SHOWDIGITALOPTIONS);
    ASSERT_NE(nullptr, pDlg);
    HWND hPage1 = pDlg->GetVisiblePage()->GetSafeHwnd();
    ASSERT_NE(nullptr, ::GetDlgItem(pDlg->GetSafeHwnd(), 1366));
    // No skins: an empty list, the setting left alone.
    EXPECT_EQ(0, ::SendDlgItemMessageA(hPage1, 1209, CB_GETCOUNT, 0, 0));
    EXPECT_STREQ("Red Digital", g_settings.m_strDigitalSkin);
    EXPECT_STREQ("Nothing", ComboText(hPage1, 1357));
    EXPECT_FALSE(Enabled(hPage1, 1371));
    // An empty format shows the default and is stored at once.
    char sz[64] = "";
    ::GetDlgItemTextA(hPage1, 1256, sz, sizeof(sz));
    EXPECT_STREQ("%hh(:)%nn(:)%ss", sz);
    EXPECT_STREQ("%hh(:)%nn(:)%ss", g_settings.m_strDigitalFormat);

    // A preset from "Formats...", the current one checked in the menu.
    CStringArray presets;
    FillFormatPresets(presets);
    ASSERT_GT(presets.GetSize(), 3);
    g_settings.m_strDigitalFormat = presets[2];
    vtest::CMenuDriver driver(901 + 3);
    UINT nCheckedState = 0;
    driver.m_onOpen
        = [&](HWND, HMENU hMenu) { nCheckedState = ::GetMenuState(hMenu, 901 + 2, MF_BYCOMMAND); };
    vtest::PressButton(hPage1, 1378);
    vtest::PumpPending();
    EXPECT_TRUE(driver.Chose());
    EXPECT_TRUE(nCheckedState & MF_CHECKED);
    EXPECT_STREQ(presets[3], g_settings.m_strDigitalFormat);
    ::GetDlgItemTextA(hPage1, 1256, sz, sizeof(sz));
    EXPECT_STREQ(presets[3], sz);

    // Cancel stores nothing more; the format written at once stays.
    m_seams.m_calls.clear();
    vtest::SetCheck(hPage1, 1232, false);
    vtest::PressButton(pDlg->GetSafeHwnd(), IDCANCEL);
    vtest::PumpPending();
    EXPECT_EQ(nullptr, m_pMain->m_pDigitalOptionsDlg);
    EXPECT_TRUE(g_settings.m_bDigitalOnTop);
    EXPECT_EQ(-1, g_settings.m_nDigitalDblClkAction);
    EXPECT_STREQ(presets[3], g_settings.m_strDigitalFormat);
    EXPECT_EQ(0, m_seams.CountCalls("RegisterHotKey"));
}

// The real clocks beside the options, with skins drawn for the test in
// place of the fixture's unreadable ones; unmapped, a reload costs no wait.
class OpenClockOptionsTest : public ClockOptionsTest {
protected:
    void SetUp() override
    {
        ClockOptionsTest::SetUp();
        fs::remove(m_root / "acs" / "Alpha.acs");
        fs::remove(m_root / "acs" / "Gamma.acs");
        for (const char* pszName : { "Beta", "Simple", "Broken" }) {
            MakeSkin(SKIN_ANALOG, pszName);
            MakeSkin(SKIN_DIGITAL, pszName);
        }
        g_windowServices.pfnMake[WK_ANALOGCLOCK] = Make<CUnmapped<CAnalogClockDlg>>;
        g_windowServices.pfnMake[WK_DIGITALCLOCK] = Make<CUnmapped<CDigitalClockDlg>>;
        g_settings.m_strAnalogSkin = g_settings.m_strDigitalSkin = "Simple";
        g_settings.m_ptAnalogCenter = g_settings.m_ptDigitalCenter = CPoint(300, 300);
        m_seams.m_nNow = CTime(2026, 1, 1, 10, 20, 30).GetTime();
    }
    void MakeSkin(SkinKind kind, const std::string& name)
    {
        CSkinMakerOptions options;
        options.kind = kind;
        options.strName = name.c_str();
        options.nTruncate = name == "Broken" ? 100 : -1;
        CString strError;
        const fs::path path = m_root / (kind == SKIN_ANALOG ? "acs" : "dcs") / (name + GetSkinExtension(kind));
        ASSERT_TRUE(WriteSkinFile(options, path.string().c_str(), strError)) << strError.GetString();
    }
    CSkinClockDlg* ShowClock(SkinKind kind)
    {
        m_pMain->SendMessage(kind == SKIN_ANALOG ? UM_SHOWANALOGCLOCK : UM_SHOWDIGITALCLOCK);
        return dynamic_cast<CSkinClockDlg*>(
            kind == SKIN_ANALOG ? m_pMain->m_pAnalogClockDlg : m_pMain->m_pDigitalClockDlg);
    }
    // The options of the kind: fn acts on "Visible settings", then the button ends them.
    void Options(SkinKind kind, const std::function<void(HWND)>& fn, int nButton)
    {
        CClockOptionsDlg* pDlg = Open(kind == SKIN_ANALOG ? UM_SHOWANALOGOPTIONS : UM_SHOWDIGITALOPTIONS);
        ASSERT_NE(nullptr, pDlg);
        fn(pDlg->GetVisiblePage()->GetSafeHwnd());
        vtest::PressButton(pDlg->GetSafeHwnd(), nButton);
        vtest::PumpPending();
    }
    static void ChooseSkin(HWND hPage, const char* pszName)
    {
        vtest::SelectItem(hPage, 1209,
            static_cast<int>(::SendDlgItemMessageA(hPage, 1209, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                reinterpret_cast<LPARAM>(pszName))));
    }
    // Whether the clock's context menu, as it would open now, checks the item.
    static bool MenuChecks(CSkinClockDlg* pClock, UINT nID)
    {
        pClock->BuildContextMenu();
        return (::GetMenuState(pClock->GetContextMenu()->GetSafeHmenu(), nID, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    // The skin the clock shows (by its description) when its menu checks that one alone.
    static CString ShownAndChecked(CSkinClockDlg* pClock, SkinKind kind)
    {
        CString strChecked;
        for (INT_PTR i = 0; i < pClock->GetSkins().GetSize(); i++)
            strChecked += MenuChecks(pClock, ID_CLOCK_SKIN_FIRST + static_cast<UINT>(i)) ? pClock->GetSkins()[i] : "";
        const int nName = kind == SKIN_ANALOG ? static_cast<int>(SkinDescription::ANALOG_NAME)
                                              : static_cast<int>(SkinDescription::DIGITAL_NAME);
        const CString strShown = SkinDescription(pClock->m_strSkinDescription).GetField(nName);
        return strShown == strChecked ? strShown : strShown + " / " + strChecked;
    }
};

// "Always on top" changed and OK: the same open clock follows at once, and
// its menu agrees; unchecked and Cancel: nothing unsaved is applied.
TEST_F(OpenClockOptionsTest, OnTopFromTheOptionsReachesTheOpenClockAndItsMenu)
{
    for (SkinKind kind : { SKIN_ANALOG, SKIN_DIGITAL }) {
        const UINT nOnTopID = kind == SKIN_ANALOG ? 32813 : 301;
        (kind == SKIN_ANALOG ? g_settings.m_bAnalogOnTop : g_settings.m_bDigitalOnTop) = TRUE;
        CSkinClockDlg* pClock = ShowClock(kind);
        ASSERT_NE(nullptr, pClock);
        const struct {
            bool bCheck;
            int nButton;
            bool bOnTop;
        } steps[] = { { false, IDOK, false }, { true, IDOK, true }, { false, IDCANCEL, true } };
        for (const auto& step : steps) {
            Options(kind, [&](HWND hPage) { vtest::SetCheck(hPage, 1232, step.bCheck); }, step.nButton);
            EXPECT_EQ(step.bOnTop, (pClock->GetExStyle() & WS_EX_TOPMOST) != 0) << kind << step.nButton;
            EXPECT_EQ(step.bOnTop, MenuChecks(pClock, nOnTopID)) << kind << step.nButton;
        }
        EXPECT_EQ(pClock, ShowClock(kind));
    }
    EXPECT_EQ(0, m_seams.CountCalls("MessageBox"));
}

// OK with the skin unchanged applies the options in place: the archive is not
// unpacked again (its data file, removed here, stays gone) and the clock keeps
// the menu it had.
TEST_F(OpenClockOptionsTest, OkWithTheSameSkinNeitherUnpacksItNorRebuildsTheMenu)
{
    const std::string name = "Same";
    for (SkinKind kind : { SKIN_ANALOG, SKIN_DIGITAL }) {
        MakeSkin(kind, name);
        (kind == SKIN_ANALOG ? g_settings.m_strAnalogSkin : g_settings.m_strDigitalSkin) = name.c_str();
        CSkinClockDlg* pClock = ShowClock(kind);
        ASSERT_NE(nullptr, pClock);
        ASSERT_NE(nullptr, pClock->GetContextMenu());
        const fs::path data = pClock->GetDataPath().GetString();
        EXPECT_EQ(name + ".dat", data.filename().string());
        ASSERT_TRUE(fs::remove(data)) << data;
        const HMENU hMenu = pClock->GetContextMenu()->GetSafeHmenu();
        EXPECT_FALSE(pClock->GetExStyle() & WS_EX_TOPMOST) << kind;
        Options(kind, [](HWND hPage) { vtest::SetCheck(hPage, 1232, true); }, IDOK);
        EXPECT_TRUE(pClock->GetExStyle() & WS_EX_TOPMOST) << kind; // the options did reach the clock
        EXPECT_FALSE(fs::exists(data)) << kind;
        EXPECT_EQ(hMenu, pClock->GetContextMenu()->GetSafeHmenu()) << kind;
        EXPECT_TRUE(::IsMenu(hMenu)) << kind;
        std::error_code ec;
        fs::remove(data, ec);
    }
    EXPECT_EQ(0, m_seams.CountCalls("MessageBox"));
}

// A preset from "Formats..." is drawn by the next tick: after OK one of the
// same length in place, after Cancel (which keeps what the menu wrote) one
// of another length in a window sized for it.
TEST_F(OpenClockOptionsTest, AFormatPresetIsDrawnByTheNextTick)
{
    g_settings.m_strDigitalFormat = "%hh(:)%nn(:)%ss";
    auto* pClock = dynamic_cast<CDigitalClockDlg*>(ShowClock(SKIN_DIGITAL));
    ASSERT_NE(nullptr, pClock);
    EXPECT_STREQ("10 20 30", pClock->m_strPrevText);
    EXPECT_EQ(128 + 128 % 56, pClock->m_nBackWidth);
    // "%hhh.%nn.%ss" and "%hhh(.)%nn" at 10:20:31.
    for (const auto& c : { std::make_tuple(2, IDOK, "10.20.31"), std::make_tuple(17, IDCANCEL, "10.20") }) {
        vtest::CMenuDriver driver(901 + std::get<0>(c));
        auto choosePreset = [](HWND hPage) {
            vtest::PressButton(hPage, 1378);
            vtest::PumpPending(); // the menu posts its command
        };
        Options(SKIN_DIGITAL, choosePreset, std::get<1>(c));
        EXPECT_TRUE(driver.Chose());
        m_seams.m_nNow = CTime(2026, 1, 1, 10, 20, 31).GetTime();
        pClock->SendMessage(WM_TIMER, CDigitalClockDlg::TIMER_DRAW, 0);
        EXPECT_STREQ(std::get<2>(c), pClock->m_strPrevText);
        EXPECT_TRUE(MenuChecks(pClock, 901 + std::get<0>(c)));
    }
    EXPECT_EQ(80 + 80 % 56, pClock->m_nBackWidth); // five characters of the stored 128 for eight
    EXPECT_EQ(0, m_seams.CountCalls("MessageBox"));
}

// Another skin, then Cancel: the choice was written at once, so the clock
// shows it and its menu checks it. A skin that cannot be read, with OK,
// leaves the clock showing the last good one, which the setting keeps.
TEST_F(OpenClockOptionsTest, TheClockShowsTheSkinItsMenuChecks)
{
    for (SkinKind kind : { SKIN_ANALOG, SKIN_DIGITAL }) {
        CSkinClockDlg* pClock = ShowClock(kind);
        ASSERT_NE(nullptr, pClock);
        EXPECT_STREQ("Simple", ShownAndChecked(pClock, kind));
        Options(kind, [](HWND hPage) { ChooseSkin(hPage, "Beta"); }, IDCANCEL);
        EXPECT_STREQ("Beta", ShownAndChecked(pClock, kind)) << kind;
        EXPECT_EQ(0, m_seams.CountCalls("MessageBox"));
        Options(kind, [](HWND hPage) { ChooseSkin(hPage, "Broken"); }, IDOK);
        EXPECT_EQ(1, m_seams.CountCalls("MessageBox")) << kind; // why it failed
        EXPECT_STREQ("Beta", ShownAndChecked(pClock, kind)) << kind;
        EXPECT_STREQ("Beta", kind == SKIN_ANALOG ? g_settings.m_strAnalogSkin : g_settings.m_strDigitalSkin);
        EXPECT_EQ(pClock, ShowClock(kind));
        m_seams.m_calls.clear();
    }
}

// The options closed while the clock's modal Skin information box is open:
// the box stays over the same clock, which shows the new skin already.
TEST_F(OpenClockOptionsTest, ASkinInformationBoxOpenOnTheClockSurvivesTheOptions)
{
    CSkinClockDlg* pClock = ShowClock(SKIN_ANALOG);
    ASSERT_NE(nullptr, pClock);
    bool bBoxStayed = false;
    CString strShown;
    vtest::CDialogMatch match;
    match.pszCaption = "Skin information";
    vtest::CDialogDriver driver(match, [&](HWND hBox) {
        Options(SKIN_ANALOG, [](HWND hPage) { ChooseSkin(hPage, "Beta"); }, IDOK);
        bBoxStayed = ::IsWindow(hBox) && m_pMain->m_pAnalogClockDlg == pClock;
        strShown = ShownAndChecked(pClock, SKIN_ANALOG);
        vtest::PressButton(hBox, IDOK);
    });
    pClock->SendMessage(WM_COMMAND, 415 /* "Skin info..." */, 0);
    EXPECT_EQ(1, driver.Driven());
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_TRUE(bBoxStayed);
    EXPECT_STREQ("Beta", strShown);
    EXPECT_EQ(pClock, m_pMain->m_pAnalogClockDlg);
    EXPECT_TRUE(pClock->IsWindowEnabled());
}
} // namespace
