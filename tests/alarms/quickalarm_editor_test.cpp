// The tray's quick-alarm commands through the real main dialog open the
// alarm editor, wired as the program wires it: OK appends the edited alarm
// and renews the hot keys, Cancel adds nothing.
#include <gtest/gtest.h>

#include <string>

#include "alarms/alarmdlg.h"
#include "core/appseams.h"
#include "core/settings.h"
#include "res/alarms_res.h"
#include "shell/maindlg.h"
#include "shellscope.h"
#include "support/win_drivers.h"
#include "support/win_window.h"

namespace
{
using vtest::FindDescendant;
} // namespace

TEST(QuickAlarmEditor, TrayQuickAlarmOpensTheEditorAndOkAddsTheAlarm)
{
    const long nGdi = AfxGetLiveGdiObjectCount();
    CWinApp app("quick");
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    CShellScope shell;
    g_windowServices = CWindowServices();
    g_windowServices.pfnEditAlarm = AlarmRunEditor;   // as Veltran.exe wires it
    g_settings = CSettings();
    g_alarms.RemoveAll();

    CMainDlg* pMain = new CMainDlg;
    ASSERT_TRUE(pMain->Create(IDD_MAINDLG));
    app.m_pMainWnd = pMain;

    // Cancel: nothing is added.
    {
        vtest::CDialogDriver driver({"#32770", nullptr, IDD_ALARMEDITOR}, [](HWND hDlg) {
            char sz[64] = {};
            ::GetWindowTextA(FindDescendant(hDlg, IDC_INFO_NAME), sz, sizeof(sz));
            EXPECT_STREQ("New Alarm", sz);
            vtest::PressButton(hDlg, IDCANCEL);
        });
        pMain->SendMessage(WM_COMMAND, 3001);
        EXPECT_EQ(1, driver.Driven());
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ(0, g_alarms.GetSize());
    }

    // OK with a name and a hot key typed in: appended, and its key registered.
    seams.m_calls.clear();
    {
        vtest::CDialogDriver driver({"#32770", nullptr, IDD_ALARMEDITOR}, [](HWND hDlg) {
            ::SetWindowTextA(FindDescendant(hDlg, IDC_INFO_NAME), "Quick");
            ::SendMessageA(FindDescendant(hDlg, IDC_INFO_HOTKEY), HKM_SETHOTKEY, MAKEWORD('Q', HOTKEYF_ALT), 0);
            vtest::PressButton(hDlg, IDOK);
        });
        pMain->SendMessage(WM_COMMAND, 3001);
        EXPECT_EQ(1, driver.Driven());
        EXPECT_FALSE(driver.TimedOut());
    }
    ASSERT_EQ(1, g_alarms.GetSize());
    EXPECT_EQ("Quick", std::string(g_alarms[0].m_strName));
    EXPECT_EQ(ALARM_ONCE, g_alarms[0].m_nRepeat);
    EXPECT_EQ('Q', g_alarms[0].m_wHotKeyVK);
    // Renewed while the editor was still open, and again once the alarm is in the array.
    int nRegistered = 0;
    for (const std::string& strCall : seams.m_calls)
        nRegistered += strCall.rfind("RegisterHotKey 5 0x1 0x51", 0) == 0 ? 1 : 0;
    EXPECT_EQ(1, nRegistered);

    app.m_pMainWnd = nullptr;
    delete pMain;
    vtest::PumpPending();
    g_alarms.RemoveAll();
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}

namespace
{
int g_nFired = 0;
} // namespace

// "Custom..." accepted as it opens, at the current time: the alarm fires at
// the next check, once, and never again.
TEST(QuickAlarmEditor, CustomAcceptedUnchangedFiresExactlyOnce)
{
    const long nGdi = AfxGetLiveGdiObjectCount();
    CWinApp app("quickcustom");
    CRecordingSeams seams;
    const CTime now(2026, 3, 2, 9, 30, 15);
    seams.m_nNow = now.GetTime();
    CSeamsScope scope(&seams);
    CShellScope shell;
    g_windowServices = CWindowServices();
    g_windowServices.pfnEditAlarm = AlarmRunEditor;
    g_windowServices.pfnExecuteAlarm = [](const CString&, DWORD, const CAlarm&) { g_nFired++; };
    g_nFired = 0;
    g_settings = CSettings();
    g_alarms.RemoveAll();

    CMainDlg* pMain = new CMainDlg;
    ASSERT_TRUE(pMain->Create(IDD_MAINDLG));
    app.m_pMainWnd = pMain;
    {
        vtest::CDialogDriver driver({"#32770", nullptr, IDD_ALARMEDITOR},
                                    [](HWND hDlg) { vtest::PressButton(hDlg, IDOK); });
        pMain->SendMessage(WM_COMMAND, 3000);
        EXPECT_EQ(1, driver.Driven());
    }
    ASSERT_EQ(1, g_alarms.GetSize());
    EXPECT_EQ(now, g_alarms[0].m_time);
    for (int i = 0; i < 3; i++)
    {
        seams.m_nNow = (now + CTimeSpan(i)).GetTime();
        pMain->CheckAlarms();
    }
    EXPECT_EQ(1, g_nFired);
    EXPECT_EQ(1, g_alarms[0].m_nStarts);

    app.m_pMainWnd = nullptr;
    delete pMain;
    vtest::PumpPending();
    g_alarms.RemoveAll();
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}
