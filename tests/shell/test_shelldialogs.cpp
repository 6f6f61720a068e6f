// The shell's small dialogs under Wine, opened by the real main dialog from
// their templates and driven through their controls: General settings with
// the Run value read back from the registry, Notifications with its address
// through the shell seam, About with and without its picture.
#include "shell/aboutdlg_win.h"
#include "shell/generalsettingsdlg_win.h"
#include "shell/notificationsdlg_win.h"

#include "afx/afxapp.h"
#include "core/appseams.h"
#include "core/settings.h"
#include "shell/maindlg.h"
#include "support/shellrestore.h"
#include "support/win_drivers.h"
#include "support/win_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {
int g_nAlive = 0;
int g_nFileWrites = 0;

template <class Base> using CUnmapped = vtest::CUnmapped<Base, &g_nAlive>;

template <class T> CDialog* Make()
{
    return new T;
}

const char kModulePath[] = "C:\\Program Files\\Veltran Test\\Veltran.exe";

// The machine's Run value as the registry holds it; "(none)" when absent.
std::string ReadRunValue()
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
            KEY_QUERY_VALUE, &hKey)
        != ERROR_SUCCESS)
        return "(no key)";
    char sz[512] = "";
    DWORD nBytes = sizeof(sz) - 1;
    DWORD nType = 0;
    const LONG nResult
        = RegQueryValueExA(hKey, "Veltran Clock", nullptr, &nType, reinterpret_cast<BYTE*>(sz), &nBytes);
    RegCloseKey(hKey);
    if (nResult != ERROR_SUCCESS)
        return "(none)";
    return nType == REG_SZ ? std::string(sz) : "(not text)";
}

void DeleteRunValue()
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(
            HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_SET_VALUE, &hKey)
        == ERROR_SUCCESS) {
        RegDeleteValueA(hKey, "Veltran Clock");
        RegCloseKey(hKey);
    }
}

class ShellDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_nGdi = AfxGetLiveGdiObjectCount();
        g_settings = CSettings();
        g_nFileWrites = 0;
        g_windowServices.pfnMake[WK_GENERALSETTINGS] = Make<CUnmapped<CGeneralSettingsDlg>>;
        g_windowServices.pfnMake[WK_ABOUT] = Make<CUnmapped<CAboutDlg>>;
        g_windowServices.pfnNotifications = RunNotificationsDialog;
        g_appSeams.pfnGetModulePath = []() { return CString(kModulePath); };
        g_appSeams.pfnWriteFile = [](LPCSTR, const BYTE*, size_t) {
            g_nFileWrites++;
            return TRUE;
        };
        g_appSeams.pfnReplaceFile = [](LPCSTR, LPCSTR) { return TRUE; };
        m_pMain = new CMainDlg;
        ASSERT_TRUE(m_pMain->Create(IDD_MAINDLG));
        m_app.m_pMainWnd = m_pMain;
        DeleteRunValue();
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        delete m_pMain;
        vtest::PumpPending();
        EXPECT_EQ(0, g_nAlive);
        DeleteRunValue();
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
    }

    HWND OpenGeneralSettings()
    {
        m_pMain->SendMessage(UM_SHOWGENERALSETTINGS);
        return m_pMain->m_pGeneralSettingsDlg != nullptr ? m_pMain->m_pGeneralSettingsDlg->GetSafeHwnd()
                                                         : nullptr;
    }
    // A click on a check box's box, as the mouse gives it.
    static void ClickControl(HWND hDlg, int nID)
    {
        HWND hCtrl = ::GetDlgItem(hDlg, nID);
        RECT rc;
        ::GetWindowRect(hCtrl, &rc);
        POINT pt = { rc.left + 6, (rc.top + rc.bottom) / 2 };
        ::ScreenToClient(hDlg, &pt);
        EXPECT_EQ(::GetDlgItem(hDlg, nID), vtest::Click(hDlg, pt)) << nID;
    }
    int Count(const std::string& strPart) const
    {
        int n = 0;
        for (const std::string& s : m_seams.m_calls)
            n += s.find(strPart) != std::string::npos ? 1 : 0;
        return n;
    }

    vtest::CShellRestore m_restore;
    CWinApp m_app { "Veltran Clock" };
    CRecordingSeams m_seams;
    CSeamsScope m_scope { &m_seams };
    CMainDlg* m_pMain = nullptr;
    long m_nGdi = 0;
};

TEST_F(ShellDialogsTest, GeneralSettingsShowTheStoredChoicesCorrectingTheTrayAction)
{
    struct CCase {
        int nStored, nShown;
    };
    for (const CCase& c : { CCase { 9, 0 }, CCase { -1, 0 }, CCase { 5, 5 } }) {
        g_settings.m_nTrayDblClkAction = c.nStored;
        g_settings.m_bAskOnExit = TRUE;
        g_settings.m_bSkinBrowserAutoConnect = TRUE;
        g_settings.m_hkOptions = { 'G', HOTKEYF_CONTROL, 0 };
        HWND hDlg = OpenGeneralSettings();
        ASSERT_NE(nullptr, hDlg);
        EXPECT_EQ(c.nShown, ::SendDlgItemMessageA(hDlg, 1357, CB_GETCURSEL, 0, 0));
        EXPECT_EQ(7, ::SendDlgItemMessageA(hDlg, 1357, CB_GETCOUNT, 0, 0));
        EXPECT_EQ(c.nShown, g_settings.m_nTrayDblClkAction) << "corrected at once";
        EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(hDlg, 1305));
        EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(hDlg, 1120));
        EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(hDlg, 1306));
        EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(hDlg, 1121));
        EXPECT_EQ(MAKEWORD('G', HOTKEYF_CONTROL), ::SendDlgItemMessageA(hDlg, 1343, HKM_GETHOTKEY, 0, 0));
        EXPECT_TRUE(::GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_TOPMOST);
        // Cancel stores nothing but the correction and only closes.
        ClickControl(hDlg, 1120);
        vtest::PressButton(hDlg, IDCANCEL);
        vtest::PumpPending();
        EXPECT_EQ(nullptr, m_pMain->m_pGeneralSettingsDlg);
        EXPECT_TRUE(g_settings.m_bAskOnExit);
        EXPECT_EQ(0, g_nFileWrites);
    }
}

TEST_F(ShellDialogsTest, GeneralSettingsOkStoresSavesAndKeepsTheRunValueInPlace)
{
    HWND hDlg = OpenGeneralSettings();
    ASSERT_NE(nullptr, hDlg);
    ClickControl(hDlg, 1305);
    vtest::SetCheck(hDlg, 1306, true); // inside a group box, which the driver's hit test stops at
    vtest::SelectItem(hDlg, 1357, 3);
    // The hot key as typed into its control.
    HWND hHotKey = ::GetDlgItem(hDlg, 1343);
    ::PostMessageA(hHotKey, WM_KEYDOWN, VK_F7, 0x00410001);
    ::PostMessageA(hHotKey, WM_KEYUP, VK_F7, 0xC0410001);
    vtest::PumpPending();
    m_seams.m_calls.clear();
    vtest::PressButton(hDlg, IDOK);
    vtest::PumpPending();
    EXPECT_EQ(nullptr, m_pMain->m_pGeneralSettingsDlg);
    EXPECT_TRUE(g_settings.m_bRunAtStartup);
    EXPECT_TRUE(g_settings.m_bSkinBrowserAtStartup);
    EXPECT_FALSE(g_settings.m_bAskOnExit);
    EXPECT_EQ(3, g_settings.m_nTrayDblClkAction);
    EXPECT_EQ((HOTKEYSETTING { VK_F7, 0, 0 }), g_settings.m_hkOptions);
    // The hot keys were registered again with the new one, then the configuration saved.
    EXPECT_EQ(1, Count("RegisterHotKey 4 0x0 0x76"));
    EXPECT_EQ(1, g_nFileWrites);
    EXPECT_EQ(std::string("\"") + kModulePath + "\" /autorun", ReadRunValue());

    // Cleared: the value stays, with empty data; a cleared hot key stores 0 and 0.
    hDlg = OpenGeneralSettings();
    ASSERT_NE(nullptr, hDlg);
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(hDlg, 1305));
    ClickControl(hDlg, 1305);
    ::SendDlgItemMessageA(hDlg, 1343, HKM_SETHOTKEY, 0, 0);
    vtest::PressButton(hDlg, IDOK);
    vtest::PumpPending();
    EXPECT_FALSE(g_settings.m_bRunAtStartup);
    EXPECT_EQ((HOTKEYSETTING { 0, 0, 0 }), g_settings.m_hkOptions);
    EXPECT_EQ(2, g_nFileWrites);
    EXPECT_EQ("", ReadRunValue());
}

bool Near(COLORREF c, COLORREF ref)
{
    return std::abs(GetRValue(c) - GetRValue(ref)) < 12 && std::abs(GetGValue(c) - GetGValue(ref)) < 12
        && std::abs(GetBValue(c) - GetBValue(ref)) < 12;
}

TEST_F(ShellDialogsTest, AboutIsItsPictureWithLinksAndMovesWhenDraggedByIt)
{
    m_pMain->SendMessage(UM_SHOWABOUT);
    CAboutDlg* pAbout = static_cast<CAboutDlg*>(m_pMain->m_pAboutDlg);
    ASSERT_NE(nullptr, pAbout);
    HWND hDlg = pAbout->GetSafeHwnd();
    ASSERT_NE(nullptr, pAbout->GetPicture());
    BITMAP bm = {};
    ::GetObjectA(pAbout->GetPicture(), sizeof(bm), &bm);
    CRect rcClient;
    pAbout->GetClientRect(&rcClient);
    EXPECT_EQ(CSize(bm.bmWidth, bm.bmHeight), rcClient.Size());
    EXPECT_EQ(CSize(520, 368), rcClient.Size());
    EXPECT_TRUE(::GetWindowLongA(hDlg, GWL_EXSTYLE) & WS_EX_TOPMOST);
    vtest::CWindowSnapshot shot;
    ASSERT_TRUE(shot.Capture(hDlg));
    EXPECT_TRUE(Near(shot.Pixel(500, 10), RGB(205, 228, 250))); // the picture's sky behind nothing
    EXPECT_TRUE(Near(shot.Pixel(440, 80), RGB(250, 250, 245))); // its clock face

    // The links name the vendor's addresses and open them through the shell.
    char sz[128] = "";
    ::GetDlgItemTextA(hDlg, 1399, sz, sizeof(sz));
    EXPECT_STREQ("support@veltranclock.example", sz);
    struct CCase {
        int nID;
        const char* pszOpened;
    };
    for (const CCase& c : { CCase { 1399, "\"mailto:support@veltranclock.example\"" },
             CCase { 1401, "\"http://www.veltranclock.example/\"" },
             CCase { 1403, "\"http://www.veltran.example/\"" } }) {
        HWND hLink = ::GetDlgItem(hDlg, c.nID);
        RECT rc;
        ::GetWindowRect(hLink, &rc);
        POINT pt = { rc.left + 3, (rc.top + rc.bottom) / 2 };
        ::ScreenToClient(hDlg, &pt);
        EXPECT_EQ(hLink, vtest::Click(hDlg, pt)) << c.nID;
        EXPECT_EQ(1, Count(std::string("ShellExecute \"open\" ") + c.pszOpened)) << c.nID;
    }

    // A drag on the picture moves the window.
    CRect rcBefore;
    pAbout->GetWindowRect(&rcBefore);
    EXPECT_TRUE(vtest::DragCaption(hDlg, POINT { 480, 300 }, 30, 20));
    CRect rcAfter;
    pAbout->GetWindowRect(&rcAfter);
    EXPECT_EQ(rcBefore.TopLeft() + CSize(30, 20), rcAfter.TopLeft());

    // Escape closes it through the main window; the next show makes a fresh one.
    ::PostMessageA(hDlg, WM_KEYDOWN, VK_ESCAPE, 1);
    vtest::PumpUntil([&] { return m_pMain->m_pAboutDlg == nullptr; });
    EXPECT_EQ(nullptr, m_pMain->m_pAboutDlg);
    m_pMain->SendMessage(UM_SHOWABOUT);
    ASSERT_NE(nullptr, m_pMain->m_pAboutDlg);
    vtest::PressButton(m_pMain->m_pAboutDlg->GetSafeHwnd(), IDOK);
    vtest::PumpPending();
    EXPECT_EQ(nullptr, m_pMain->m_pAboutDlg);
}

TEST_F(ShellDialogsTest, NotificationsOpenTheAddressAsTypedAndRefuseAnEmptyOne)
{
    struct CCase {
        int nRadio; // button to choose
        const char* pszEmail; // typed before OK; null: Cancel
        const char* pszOpened; // the address opened, or null
    };
    const CCase cases[] = {
        { 388, " ", "http://www.veltranclock.example/subscribe.php?subscribe=1&email= " },
        { 389, "a b&c=\"d\"",
            "http://www.veltranclock.example/subscribe.php?subscribe=0&email=a b&c=\\\"d\\\"" },
    };
    for (const CCase& c : cases) {
        m_seams.m_calls.clear();
        bool bStayedOpen = false;
        vtest::CDialogMatch match;
        match.nTemplateId = 2266;
        vtest::CDialogDriver driver(match, [&](HWND hDlg) {
            vtest::SetCheck(hDlg, c.nRadio, true);
            if (c.pszEmail == nullptr) {
                vtest::PressButton(hDlg, IDCANCEL);
                return;
            }
            // An empty address is refused with a message; the dialog stays.
            vtest::TypeText(hDlg, 387, "");
            vtest::PressButton(hDlg, IDOK);
            bStayedOpen = ::IsWindow(hDlg) && ::GetFocus() == ::GetDlgItem(hDlg, 387);
            vtest::TypeText(hDlg, 387, c.pszEmail);
            vtest::PressButton(hDlg, IDOK);
        });
        m_pMain->SendMessage(WM_COMMAND, 2018);
        EXPECT_EQ(1, driver.Driven());
        EXPECT_FALSE(driver.TimedOut());
        if (c.pszOpened == nullptr) {
            EXPECT_EQ(0, Count("ShellExecute"));
            continue;
        }
        EXPECT_TRUE(bStayedOpen);
        EXPECT_EQ(1, Count("MessageBox \"Please enter e-mail!\" \"Veltran Clock\" 0x30"));
        EXPECT_EQ(1, Count(std::string("ShellExecute \"open\" \"") + c.pszOpened + "\" (null) (null) 1"))
            << c.pszOpened;
        EXPECT_EQ(1, Count("ShellExecute"));
    }
}
} // namespace
