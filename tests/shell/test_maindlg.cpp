// The main dialog under Wine with recording windows and services plugged in:
// every command and private message reaches its window or service, each
// window it makes is deleted once, the alarm timer fires through the
// executor (also while a box is open), hot keys and the tray menu follow the
// array, and the exit question's No keeps everything running.
#include "shell/maindlg.h"

#include "core/appseams.h"
#include "core/config.h"
#include "core/settings.h"
#include "menus/styledmenu.h"
#include "res/app_res.h"
#include "support/shellrestore.h"
#include "support/tempfolder.h"
#include "support/win_process.h"
#include "support/win_window.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const UINT IDD_OWNED = 300;  // shell_test.rc

int g_nMade[WK_COUNT];
int g_nDeleted[WK_COUNT];
int g_nLoadSkinResult = 1;
int g_nSkinFailsFor = -1;  // the one kind whose skin fails, -1 none
int g_nAutoChange = 0;
int g_nApplyOptions = 0;
int g_nStore = 0;
int g_nFill = 0;
int g_nApply = 0;
int g_nEdits = 0;
INT_PTR g_nEditAnswer = IDCANCEL;
WORD g_wEditKey = 0;
int g_nNotifications = 0;
int g_nFileWrites = 0;
std::vector<BYTE> g_lastWrite;
std::function<void()> g_fnOnStore;
std::vector<CString> g_executed;
std::function<void(const CAlarm&)> g_fnOnExecute;

// Each recording window stays unmapped when shown: under Wine without a
// window manager, hiding a mapped window waits two seconds for the manager.
template <class Base, int K> class CRec : public Base
{
public:
    CRec() { g_nMade[K]++; }
    ~CRec() override { g_nDeleted[K]++; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_WINDOWPOSCHANGING)
            reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
        return Base::WindowProc(message, wParam, lParam);
    }
};

template <int K> class CRecClock : public CRec<CClockWindow, K>
{
public:
    int LoadSkin(int) override { return K == g_nSkinFailsFor ? 0 : g_nLoadSkinResult; }
    void SetAutoChangeTimer(BOOL) override { g_nAutoChange++; }
    void ApplyOptions() override { g_nApplyOptions++; }
    CPoint GetWindowCenter() override { return CPoint(123, 456); }
};

class CRecList : public CRec<CAlarmListWindow, WK_ALARMLIST>
{
public:
    void StoreListToArray() override
    {
        g_nStore++;
        if (g_fnOnStore)
            g_fnOnStore();
    }
    void FillList() override { g_nFill++; }
    void ApplyOptions() override { g_nApply++; }
};

template <class T> CDialog* Make()
{
    return new T;
}

INT_PTR EditAlarm(CAlarm& alarm)
{
    g_nEdits++;
    alarm.m_wHotKeyVK = g_wEditKey;
    return g_nEditAnswer;
}

void Notifications()
{
    g_nNotifications++;
}

void ExecuteAlarm(const CString&, DWORD, const CAlarm& alarm)
{
    g_executed.push_back(alarm.m_strName);
    if (g_fnOnExecute)
        g_fnOnExecute(alarm);
}

CString TestModulePath()
{
    static const vtest::CTempFolder s_folder("veltran_maindlg");
    return CString(s_folder.Str("Veltran.exe").c_str());
}

RUNVALUERESULT WriteRunValue(LPCSTR)
{
    return RUNVALUE_WRITTEN;
}

BOOL WriteFile(LPCSTR, const BYTE* pData, size_t nSize)
{
    g_nFileWrites++;
    g_lastWrite.assign(pData, pData + nSize);
    return TRUE;
}

// The alarms of the file written last.
CAlarmArray LastWrittenAlarms()
{
    CSettings settings;
    CAlarmArray alarms;
    EXPECT_TRUE(CConfigFile::ParseStream(g_lastWrite.data(), g_lastWrite.size(), CONFIG_LAYOUT, settings, alarms));
    return alarms;
}

BOOL ReplaceFile(LPCSTR, LPCSTR)
{
    return TRUE;
}

void AddAlarm(CAlarm alarm)
{
    g_alarms.Add(alarm);
}

int g_nMenuItems = -1;

// Fires inside the tray menu's loop: counts the tracked menu's items and closes it.
void CALLBACK ReadAndCloseMenu(HWND, UINT, UINT_PTR, DWORD)
{
    if (HMENU hMenu = CMenu::GetTrackingMenu())
    {
        g_nMenuItems = ::GetMenuItemCount(hMenu);
        ::EndMenu();
    }
}

CMainDlg* g_pMain = nullptr;

// Inside the tray menu's loop: the alarm list swaps the two alarms and the
// timer ticks, then the user picks the first alarm item (posted, as the
// menu posts its command) and the menu closes.
void CALLBACK SwapTickAndPickFirstAlarm(HWND, UINT, UINT_PTR, DWORD)
{
    if (CMenu::GetTrackingMenu() == nullptr || g_pMain == nullptr)
        return;
    CAlarm first = g_alarms[0];
    g_alarms.RemoveAt(0);
    g_alarms.Add(first);
    g_pMain->CheckAlarms();
    g_pMain->PostMessage(WM_COMMAND, ID_TRAY_FIRSTALARM);
    ::EndMenu();
}

void SaveWindowState()
{
    if (g_pMain != nullptr)
        g_pMain->SendMessage(UM_SAVEWINDOWSTATE);
}

CAlarm NamedAlarm(LPCSTR pszName)
{
    CAlarm alarm;
    alarm.m_strName = pszName;
    alarm.m_bShowInTray = 1;
    return alarm;
}

class MainDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_nGdi = AfxGetLiveGdiObjectCount();
        for (int k = 0; k < WK_COUNT; k++)
            g_nMade[k] = g_nDeleted[k] = 0;
        g_nLoadSkinResult = 1;
        g_nSkinFailsFor = -1;
        g_nAutoChange = g_nApplyOptions = g_nStore = g_nFill = g_nApply = g_nEdits = g_nNotifications = g_nFileWrites = 0;
        g_nEditAnswer = IDCANCEL;
        g_wEditKey = 0;
        g_executed.clear();
        g_fnOnExecute = nullptr;
        g_fnOnStore = nullptr;
        g_lastWrite.clear();
        g_settings = CSettings();
        g_alarms.RemoveAll();

        g_windowServices.pfnMake[WK_ABOUT] = Make<CRec<CDialog, WK_ABOUT>>;
        g_windowServices.pfnMake[WK_ALARMLIST] = Make<CRecList>;
        g_windowServices.pfnMake[WK_ANALOGCLOCK] = Make<CRecClock<WK_ANALOGCLOCK>>;
        g_windowServices.pfnMake[WK_DIGITALCLOCK] = Make<CRecClock<WK_DIGITALCLOCK>>;
        g_windowServices.pfnMake[WK_CALENDAR] = Make<CRec<CDialog, WK_CALENDAR>>;
        g_windowServices.pfnMake[WK_SKINBROWSER] = Make<CRec<CDialog, WK_SKINBROWSER>>;
        g_windowServices.pfnMake[WK_ANALOGOPTIONS] = Make<CRec<COptionsWindow, WK_ANALOGOPTIONS>>;
        g_windowServices.pfnMake[WK_DIGITALOPTIONS] = Make<CRec<COptionsWindow, WK_DIGITALOPTIONS>>;
        g_windowServices.pfnMake[WK_CALENDAROPTIONS] = Make<CRec<COptionsWindow, WK_CALENDAROPTIONS>>;
        g_windowServices.pfnMake[WK_GENERALSETTINGS] = Make<CRec<CDialog, WK_GENERALSETTINGS>>;
        g_windowServices.pfnMake[WK_ALARMLISTOPTIONS] = Make<CRec<COptionsWindow, WK_ALARMLISTOPTIONS>>;
        for (int k = 0; k < WK_COUNT; k++)
            g_windowServices.nTemplate[k] = IDD_OWNED;
        g_windowServices.pfnEditAlarm = EditAlarm;
        g_windowServices.pfnNotifications = Notifications;
        g_windowServices.pfnExecuteAlarm = ExecuteAlarm;
        g_appSeams.pfnGetModulePath = TestModulePath;
        g_appSeams.pfnWriteRunValue = WriteRunValue;
        g_appSeams.pfnWriteFile = WriteFile;
        g_appSeams.pfnReplaceFile = ReplaceFile;
        g_appSeams.pfnSaveWindowState = SaveWindowState;
    }

    // Opens the main dialog after the test has set what it starts with.
    void Open()
    {
        g_pMain = m_pDlg = new CMainDlg;
        ASSERT_TRUE(m_pDlg->Create(IDD_MAINDLG));
    }

    void TearDown() override
    {
        g_pMain = nullptr;
        delete m_pDlg;
        vtest::PumpPending();
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        {
        }
        for (int k = 0; k < WK_COUNT; k++)
            EXPECT_EQ(g_nMade[k], g_nDeleted[k]) << "window kind " << k;
        g_alarms.RemoveAll();
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
    }

    int CountContaining(const std::string& strPart) const
    {
        return vtest::CountContaining(m_seams.m_calls, strPart);
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return m_pDlg->SendMessage(message, wParam, lParam);
    }

    vtest::CShellRestore m_restore;
    CRecordingSeams m_seams;
    CSeamsScope m_scope{&m_seams};
    CMainDlg* m_pDlg = nullptr;
    long m_nGdi = 0;
};

TEST_F(MainDlgTest, EveryTrayCommandReachesItsTarget)
{
    vtest::CSpyWindow trayClock;
    m_seams.m_hFoundWindow = trayClock.GetSafeHwnd();
    AddAlarm(NamedAlarm("Tea"));
    Open();
    struct CCase
    {
        UINT nCommand;
        int nKind;            // the window it opens, or -1
        const char* pszSeam;  // a seam call it makes, or null
        const int* pnCounter; // a service it reaches, or null
    };
    const CCase cases[] = {
        {2001, WK_ANALOGCLOCK, nullptr, nullptr},
        {2002, WK_ANALOGOPTIONS, nullptr, nullptr},
        {2003, WK_DIGITALCLOCK, nullptr, nullptr},
        {2004, WK_DIGITALOPTIONS, nullptr, nullptr},
        {2006, -1, "PostMessage 0x111 100 0", nullptr},
        {2007, WK_CALENDAR, nullptr, nullptr},
        {2008, WK_CALENDAROPTIONS, nullptr, nullptr},
        {2009, -1, "PostMessage 0x111 104 0", nullptr},
        {2010, -1, "//vodoze.exe\" \"\" \"\" 1", nullptr},
        {2011, WK_ALARMLIST, nullptr, nullptr},
        {2012, WK_ALARMLISTOPTIONS, nullptr, nullptr},
        {2017, -1, "\\\\Veltran.chm::/General/index.htm\" 0", nullptr},
        {2018, -1, nullptr, &g_nNotifications},
        {2019, WK_ABOUT, nullptr, nullptr},
        {2020, -1, "/downloads.php\"", nullptr},
        {2021, -1, "ShellExecute \"open\" \"http://www.veltranclock.example/\"", nullptr},
        {2022, -1, "PostMessage 0x111 408 0", nullptr},
        {2023, -1, "PostMessage 0x111 127 0", nullptr},
        {2024, -1, "PostMessage 0x111 420 0", nullptr},
        {2025, -1, "PostMessage 0x111 413 0", nullptr},
        {2026, WK_GENERALSETTINGS, nullptr, nullptr},
        {2029, WK_SKINBROWSER, nullptr, nullptr},
        {3000, -1, nullptr, &g_nEdits},
        {3067, -1, nullptr, &g_nEdits},
    };
    for (const CCase& c : cases)
    {
        const int nMade = c.nKind >= 0 ? g_nMade[c.nKind] : 0;
        const int nSeam = c.pszSeam != nullptr ? CountContaining(c.pszSeam) : 0;
        const int nCounter = c.pnCounter != nullptr ? *c.pnCounter : 0;
        Send(WM_COMMAND, c.nCommand);
        if (c.nKind >= 0)
            EXPECT_EQ(nMade + 1, g_nMade[c.nKind]) << c.nCommand;
        if (c.pszSeam != nullptr)
            EXPECT_EQ(nSeam + 1, CountContaining(c.pszSeam)) << c.nCommand;
        if (c.pnCounter != nullptr)
            EXPECT_EQ(nCounter + 1, *c.pnCounter) << c.nCommand;
    }
    EXPECT_EQ(1, g_settings.m_nSkinBrowserType);
    // The alarm items run the alarm; past the array, and the ids nothing
    // handles, do nothing.
    Send(WM_COMMAND, 5000);
    Send(WM_COMMAND, 5001);
    Send(WM_COMMAND, 2000);
    Send(WM_COMMAND, 2005);
    EXPECT_EQ(std::vector<CString>{"Tea"}, g_executed);
    EXPECT_EQ(0, g_alarms[0].m_nStarts);
    // Without the tray-clock window nothing is posted.
    m_seams.m_hFoundWindow = nullptr;
    const int nPosts = CountContaining("PostMessage");
    Send(WM_COMMAND, 2006);
    EXPECT_EQ(nPosts, CountContaining("PostMessage"));
}

TEST_F(MainDlgTest, EachWindowIsRaisedWhileOpenAndDeletedOnceWhenClosedOrLeftOver)
{
    Open();
    struct CCase
    {
        int nKind;
        UINT nShow, nClosed;
    };
    const CCase cases[] = {
        {WK_ABOUT, UM_SHOWABOUT, UM_ABOUTCLOSED},
        {WK_ALARMLIST, UM_SHOWALARMLIST, UM_ALARMLISTCLOSED},
        {WK_ANALOGCLOCK, UM_SHOWANALOGCLOCK, UM_HIDEANALOGCLOCK},
        {WK_DIGITALCLOCK, UM_SHOWDIGITALCLOCK, UM_HIDEDIGITALCLOCK},
        {WK_CALENDAR, UM_SHOWCALENDAR, UM_CALENDARCLOSED},
        {WK_SKINBROWSER, UM_SHOWSKINBROWSER, UM_SKINBROWSERCLOSED},
        {WK_ANALOGOPTIONS, UM_SHOWANALOGOPTIONS, UM_ANALOGOPTIONSCLOSED},
        {WK_DIGITALOPTIONS, UM_SHOWDIGITALOPTIONS, UM_DIGITALOPTIONSCLOSED},
        {WK_CALENDAROPTIONS, UM_SHOWCALENDAROPTIONS, UM_CALENDAROPTIONSCLOSED},
        {WK_GENERALSETTINGS, UM_SHOWGENERALSETTINGS, UM_GENERALSETTINGSCLOSED},
        {WK_ALARMLISTOPTIONS, UM_SHOWALARMLISTOPTIONS, UM_ALARMLISTOPTIONSCLOSED},
    };
    CDialog* const* const pointers[WK_COUNT] = {
        &m_pDlg->m_pAboutDlg,
        reinterpret_cast<CDialog* const*>(&m_pDlg->m_pAlarmListDlg),
        reinterpret_cast<CDialog* const*>(&m_pDlg->m_pAnalogClockDlg),
        reinterpret_cast<CDialog* const*>(&m_pDlg->m_pDigitalClockDlg),
        &m_pDlg->m_pCalendarDlg,
        &m_pDlg->m_pSkinBrowserDlg,
        reinterpret_cast<CDialog* const*>(&m_pDlg->m_pAnalogOptionsDlg),
        reinterpret_cast<CDialog* const*>(&m_pDlg->m_pDigitalOptionsDlg),
        reinterpret_cast<CDialog* const*>(&m_pDlg->m_pCalendarOptionsDlg),
        &m_pDlg->m_pGeneralSettingsDlg,
        reinterpret_cast<CDialog* const*>(&m_pDlg->m_pAlarmListOptionsDlg),
    };
    for (const CCase& c : cases)
    {
        Send(c.nShow);
        Send(c.nShow);  // open: only raised (a clock reloads its skin)
        EXPECT_EQ(1, g_nMade[c.nKind]) << c.nKind;
        ASSERT_TRUE(CMainDlg::IsOpen(*pointers[c.nKind])) << c.nKind;
        ::DestroyWindow((*pointers[c.nKind])->GetSafeHwnd());  // the window ends on its own
        Send(c.nShow);  // the leftover goes, a fresh one comes
        EXPECT_EQ(2, g_nMade[c.nKind]) << c.nKind;
        Send(c.nClosed);
        Send(c.nClosed);
        EXPECT_EQ(nullptr, *pointers[c.nKind]) << c.nKind;
        vtest::PumpPending();
        EXPECT_EQ(2, g_nDeleted[c.nKind]) << c.nKind;
    }
    EXPECT_EQ(0, g_settings.m_bCalendarVisible);
}

TEST_F(MainDlgTest, ClockWhoseSkinFailsClosesAndKeepsItsCentreAToggleThatHidesRecordsIt)
{
    g_settings.m_bAnalogVisible = 1;
    g_settings.m_ptAnalogCenter = {7, 8};
    g_nLoadSkinResult = 0;
    Open();  // start-up reopens the analog clock, whose skin fails
    EXPECT_EQ(nullptr, m_pDlg->m_pAnalogClockDlg);
    EXPECT_EQ(1, g_nMade[WK_ANALOGCLOCK]);
    EXPECT_EQ(0, g_settings.m_bAnalogVisible);
    EXPECT_EQ(7, g_settings.m_ptAnalogCenter.x);

    g_nLoadSkinResult = 1;
    Send(WM_COMMAND, 2001);
    ASSERT_TRUE(CMainDlg::IsOpen(m_pDlg->m_pAnalogClockDlg));
    EXPECT_EQ(1, g_settings.m_bAnalogVisible);
    Send(WM_COMMAND, 2001);  // toggle without hiding: raised only
    EXPECT_TRUE(CMainDlg::IsOpen(m_pDlg->m_pAnalogClockDlg));
    g_settings.m_bAnalogToggleHides = 1;
    Send(WM_COMMAND, 2001);
    EXPECT_EQ(nullptr, m_pDlg->m_pAnalogClockDlg);
    EXPECT_EQ(0, g_settings.m_bAnalogVisible);
    EXPECT_EQ(123, g_settings.m_ptAnalogCenter.x);
    EXPECT_EQ(456, g_settings.m_ptAnalogCenter.y);
}

// The analog clock's failing skin at start-up records the clocks' state as
// it then is; the digital clock that was shown at the last exit still opens.
TEST_F(MainDlgTest, StartUpReopensTheDigitalClockAfterTheAnalogClocksSkinFails)
{
    g_settings.m_bAnalogVisible = 1;
    g_settings.m_bDigitalVisible = 1;
    g_nSkinFailsFor = WK_ANALOGCLOCK;
    Open();
    EXPECT_EQ(nullptr, m_pDlg->m_pAnalogClockDlg);
    EXPECT_TRUE(CMainDlg::IsOpen(m_pDlg->m_pDigitalClockDlg));
    EXPECT_EQ(0, g_settings.m_bAnalogVisible);
    EXPECT_EQ(1, g_settings.m_bDigitalVisible);
}

// The open clock is never made anew: after OK and after Cancel, whether the
// skin changed or not, the same clock applies the settings in place, once
// per close.
TEST_F(MainDlgTest, AnalogOptionsApplyToTheSameOpenClockAfterOkAndCancel)
{
    Open();
    g_settings.m_strAnalogSkin = "Simple";
    struct CCase
    {
        int nResult;
        const char* pszInitialSkin;
    };
    const CCase cases[] = {{1, "Simple"}, {2, "Other"}, {1, "Other"}, {2, "Simple"}};
    Send(UM_SHOWANALOGCLOCK);
    const CClockWindow* pClock = m_pDlg->m_pAnalogClockDlg;
    for (const CCase& c : cases)
    {
        Send(UM_SHOWANALOGOPTIONS);
        ASSERT_NE(nullptr, m_pDlg->m_pAnalogOptionsDlg);
        m_pDlg->m_pAnalogOptionsDlg->m_nCloseResult = c.nResult;
        m_pDlg->m_pAnalogOptionsDlg->m_strInitialSkin = c.pszInitialSkin;
        const int nAutoChange = g_nAutoChange;
        const int nApplied = g_nApplyOptions;
        Send(UM_ANALOGOPTIONSCLOSED);
        EXPECT_EQ(nullptr, m_pDlg->m_pAnalogOptionsDlg);
        EXPECT_EQ(nAutoChange + 1, g_nAutoChange);
        EXPECT_EQ(nApplied + 1, g_nApplyOptions) << c.nResult << " " << c.pszInitialSkin;
        EXPECT_EQ(1, g_nMade[WK_ANALOGCLOCK]) << c.pszInitialSkin;
        EXPECT_EQ(pClock, m_pDlg->m_pAnalogClockDlg);
        EXPECT_TRUE(CMainDlg::IsOpen(m_pDlg->m_pAnalogClockDlg));
    }
    // With no clock open (its window gone, then none), closing the options
    // changes nothing else.
    const int nApplied = g_nApplyOptions;
    for (int i = 0; i < 2; i++)
    {
        if (m_pDlg->m_pAnalogClockDlg != nullptr)
            ::DestroyWindow(m_pDlg->m_pAnalogClockDlg->GetSafeHwnd());
        Send(UM_SHOWANALOGOPTIONS);
        m_pDlg->m_pAnalogOptionsDlg->m_nCloseResult = 1;
        Send(UM_ANALOGOPTIONSCLOSED);
        Send(UM_HIDEANALOGCLOCK);
    }
    EXPECT_EQ(1, g_nMade[WK_ANALOGCLOCK]);
    EXPECT_EQ(nApplied, g_nApplyOptions);
    EXPECT_EQ(nullptr, m_pDlg->m_pAnalogClockDlg);
}

CAlarm DueAlarm(LPCSTR pszName, CTime now)
{
    CAlarm alarm = NamedAlarm(pszName);
    alarm.m_bEnabled = 1;
    alarm.m_nRepeat = ALARM_DAILY;
    alarm.m_time = now;
    alarm.m_timeNext = now;
    alarm.m_timeLastRun = now - CTimeSpan(60);
    return alarm;
}

// The first alarm's executor holds a box open that pumps messages; the
// one-second timer fires the second inside it, never the first again.
TEST_F(MainDlgTest, TimerFiresEachDueAlarmOnceAlsoWhileABoxIsOpen)
{
    const CTime now(2023, 3, 6, 10, 0, 0);
    m_seams.m_nNow = now.GetTime();
    AddAlarm(DueAlarm("First", now));
    AddAlarm(DueAlarm("Second", now));
    bool bBoxOpen = false;
    bool bSecondInsideBox = false;
    g_fnOnExecute = [&](const CAlarm& alarm) {
        if (alarm.m_strName != "First")
        {
            bSecondInsideBox = bBoxOpen;
            return;
        }
        m_seams.m_fnMessageBoxOpenUntil = [] { return g_executed.size() >= 2; };
        bBoxOpen = true;
        AfxGetSeams()->MessageBox(nullptr, "Stop the alarm?", "First", MB_YESNO);
        bBoxOpen = false;
        m_seams.m_fnMessageBoxOpenUntil = nullptr;
    };
    Open();
    // This tick fires the first; only the timer running inside its box can
    // fire the second, and the box ends once it has.
    m_pDlg->CheckAlarms();
    EXPECT_EQ((std::vector<CString>{"First", "Second"}), g_executed);
    EXPECT_TRUE(bSecondInsideBox);
    EXPECT_EQ(1, g_alarms[0].m_nStarts);
    EXPECT_EQ(1, g_alarms[1].m_nStarts);
    m_pDlg->CheckAlarms();
    EXPECT_EQ(2u, g_executed.size());
}

// A firing is in the file before its alarm runs and again with its start;
// a change the list stores, a quick alarm and the list's close are each
// written at once; nothing is written while nothing changed.
TEST_F(MainDlgTest, EveryChangeOfTheArrayReachesTheFileAtOnce)
{
    const CTime now(2023, 3, 6, 10, 0, 0);
    m_seams.m_nNow = now.GetTime();
    AddAlarm(DueAlarm("Tea", now));
    Open();
    EXPECT_EQ(0, g_nFileWrites);
    int nWritesAtRun = -1;
    CAlarmArray atRun;
    g_fnOnExecute = [&](const CAlarm&) {
        nWritesAtRun = g_nFileWrites;
        atRun = LastWrittenAlarms();
    };
    m_pDlg->CheckAlarms();
    EXPECT_EQ(1, nWritesAtRun);
    ASSERT_EQ(1, atRun.GetSize());
    EXPECT_EQ(now, atRun[0].m_timeLastRun);
    EXPECT_EQ(now + CTimeSpan(86400), atRun[0].m_timeNext);
    EXPECT_EQ(0, atRun[0].m_nStarts);
    EXPECT_EQ(2, g_nFileWrites);
    ASSERT_EQ(1, LastWrittenAlarms().GetSize());
    EXPECT_EQ(1, LastWrittenAlarms()[0].m_nStarts);

    Send(UM_SHOWALARMLIST);
    Send(UM_STOREALARMLIST);
    EXPECT_EQ(2, g_nFileWrites) << "stored unchanged";
    g_fnOnStore = [] { g_alarms[0].m_strName = "Coffee"; };
    Send(UM_STOREALARMLIST);
    EXPECT_EQ(3, g_nFileWrites);
    EXPECT_EQ(CString("Coffee"), LastWrittenAlarms()[0].m_strName);
    Send(UM_STOREALARMLIST);
    EXPECT_EQ(3, g_nFileWrites) << "stored again unchanged";
    g_fnOnStore = nullptr;

    g_nEditAnswer = IDOK;
    Send(WM_COMMAND, 3001);
    EXPECT_EQ(4, g_nFileWrites);
    EXPECT_EQ(2, LastWrittenAlarms().GetSize());

    g_fnOnStore = [] { g_alarms.RemoveAt(0); };
    Send(UM_ALARMLISTCLOSED);
    EXPECT_EQ(5, g_nFileWrites);
    EXPECT_EQ(1, LastWrittenAlarms().GetSize());
}

// The settings of the file written last.
CSettings LastWrittenSettings()
{
    CSettings settings;
    CAlarmArray alarms;
    EXPECT_TRUE(CConfigFile::ParseStream(g_lastWrite.data(), g_lastWrite.size(), CONFIG_LAYOUT, settings, alarms));
    return settings;
}

// An alarm run from its tray item or by its hot key is written with what it
// did (here a clock it showed, with its place) once per run; a firing of the
// timer still writes twice, and a run whose index is gone writes nothing.
TEST_F(MainDlgTest, AlarmsRunFromTheTrayOrTheirHotKeyAreSavedOnceEach)
{
    const CTime now(2023, 3, 6, 10, 0, 0);
    m_seams.m_nNow = now.GetTime();
    AddAlarm(DueAlarm("Tea", now + CTimeSpan(3600)));
    g_alarms[0].m_wHotKeyVK = 'T';
    Open();
    ASSERT_EQ(0, g_nFileWrites);
    g_fnOnExecute = [this](const CAlarm&) {
        if (!CMainDlg::IsOpen(m_pDlg->m_pAnalogClockDlg))
            Send(UM_SHOWANALOGCLOCK);
    };

    Send(WM_COMMAND, ID_TRAY_FIRSTALARM);
    EXPECT_EQ(1u, g_executed.size());
    EXPECT_EQ(1, g_nFileWrites);
    const CSettings written = LastWrittenSettings();
    EXPECT_EQ(1, written.m_bAnalogVisible);
    EXPECT_EQ(123, written.m_ptAnalogCenter.x);
    EXPECT_EQ(456, written.m_ptAnalogCenter.y);
    EXPECT_EQ(0, LastWrittenAlarms()[0].m_nStarts) << "a run by hand is not counted";

    Send(WM_HOTKEY, HOTKEY_FIRSTALARM);
    EXPECT_EQ(2u, g_executed.size());
    EXPECT_EQ(2, g_nFileWrites);

    // Past the array's end nothing runs and nothing is written.
    Send(WM_COMMAND, ID_TRAY_FIRSTALARM + 1);
    Send(WM_HOTKEY, HOTKEY_FIRSTALARM + 1);
    EXPECT_EQ(2u, g_executed.size());
    EXPECT_EQ(2, g_nFileWrites);

    // The timer's firing: before the run and with its start counted, no third.
    m_seams.m_nNow = (now + CTimeSpan(3600)).GetTime();
    m_pDlg->CheckAlarms();
    EXPECT_EQ(3u, g_executed.size());
    EXPECT_EQ(4, g_nFileWrites);
    EXPECT_EQ(1, LastWrittenAlarms()[0].m_nStarts);
}

// The save timer's save counts as the last one: a store right after it,
// with nothing changed since, writes nothing more.
TEST_F(MainDlgTest, TheSaveTimersSaveIsTheLastSavedState)
{
    Open();
    AddAlarm(NamedAlarm("Tea"));
    Send(WM_TIMER, TIMER_SAVE);
    EXPECT_EQ(1, g_nFileWrites);
    EXPECT_EQ(1, LastWrittenAlarms().GetSize());
    Send(UM_STOREALARMLIST);
    EXPECT_EQ(1, g_nFileWrites);
}

TEST_F(MainDlgTest, HotKeysAndTheAlarmItemsFollowTheArray)
{
    g_settings.m_hkAnalog = {'A', 3, 0};
    AddAlarm(NamedAlarm("Tea"));
    g_alarms[0].m_wHotKeyVK = 'T';
    g_alarms[0].m_wHotKeyMods = 4;
    Open();
    EXPECT_EQ(1, CountContaining("RegisterHotKey 0 0x6 0x41"));
    EXPECT_EQ(1, CountContaining("RegisterHotKey 5 0x1 0x54"));
    EXPECT_EQ(6, m_pDlg->m_nHotKeyCount);

    // A quick alarm: cancelled adds nothing; confirmed is appended, its key
    // registered, all keys renewed, and the menu lists it at once.
    Send(WM_COMMAND, 3001);
    EXPECT_EQ(1, g_alarms.GetSize());
    g_nEditAnswer = IDOK;
    g_wEditKey = 'Q';
    m_seams.m_calls.clear();
    Send(WM_COMMAND, 3001);
    ASSERT_EQ(2, g_alarms.GetSize());
    EXPECT_EQ(6, CountContaining("UnregisterHotKey"));
    EXPECT_EQ(1, CountContaining("RegisterHotKey 6 0x0 0x51"));
    EXPECT_EQ(7, m_pDlg->m_nHotKeyCount);
    EXPECT_EQ(1, m_pDlg->FindTrayAlarm(1));
    EXPECT_GT(g_alarms[1].m_timeNext, g_alarms[1].m_timeLastRun) << "it fires at its time";

    // Someone reorders the array: until the next tick the keys and items
    // still run the alarm they were made for.
    CAlarm first = g_alarms[0];
    g_alarms.RemoveAt(0);
    AddAlarm(first);
    Send(WM_HOTKEY, 5);
    Send(WM_COMMAND, 5000);
    EXPECT_EQ((std::vector<CString>{"Tea", "Tea"}), g_executed);
    m_seams.m_calls.clear();
    m_pDlg->CheckAlarms();
    EXPECT_EQ(1, CountContaining("RegisterHotKey 5 0x0 0x51"));
    EXPECT_EQ(1, CountContaining("RegisterHotKey 6 0x1 0x54"));
    EXPECT_EQ(0, m_pDlg->FindTrayAlarm(0));

    // The window keys toggle: the alarm list opens, then closes storing its rows.
    Send(WM_HOTKEY, HOTKEY_ALARMLIST);
    EXPECT_TRUE(CMainDlg::IsOpen(m_pDlg->m_pAlarmListDlg));
    Send(WM_HOTKEY, HOTKEY_ALARMLIST);
    EXPECT_EQ(nullptr, m_pDlg->m_pAlarmListDlg);
    EXPECT_EQ(1, g_nStore);
    Send(WM_HOTKEY, 99);  // beyond the array: nothing
    EXPECT_EQ(2u, g_executed.size());
}

// A program that cannot tell its own folder starts neither the tray clock nor
// its options program (they would be looked for in the root of the drive).
TEST_F(MainDlgTest, WithoutAProgramFolderNoProgramIsStarted)
{
    g_appSeams.pfnGetModulePath = [] { return CString(); };
    Open();
    Send(WM_COMMAND, 2010);
    EXPECT_EQ(0, CountContaining("ShellExecute"));
    g_appSeams.pfnGetModulePath = TestModulePath;
    Send(WM_COMMAND, 2010);
    EXPECT_EQ(1, CountContaining("//vodoze.exe\" \"\" \"\" 1"));
}

// Image nIndex of a menu icon set, drawn on white.
std::vector<DWORD> SetPixels(const CStyledMenuIcons& set, int nIndex)
{
    const CSize size = set.GetIconSize();
    HDC hDC = ::CreateCompatibleDC(nullptr);
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    ::PatBlt(hDC, 0, 0, size.cx, size.cy, WHITENESS);
    ImageList_Draw(set.m_imageList.m_hImageList, nIndex, hDC, 0, 0, ILD_NORMAL);
    ::GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD*>(pBits), static_cast<DWORD*>(pBits) + size.cx * size.cy);
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hDC);
    return pixels;
}

// An icon resource as a tray item shows it: through a 16 x 16 list into a
// menu icon set, as the tray menu puts it there.
std::vector<DWORD> TrayIconPixels(UINT nIcon)
{
    CImageList tray;
    tray.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    tray.Add(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIcon)));
    HICON hIcon = ImageList_GetIcon(tray.m_hImageList, 0, ILD_NORMAL);
    CStyledMenuBitmaps set;
    const int nIndex = set.AddIcon(hIcon, 1);
    ::DestroyIcon(hIcon);
    tray.DeleteImageList();
    return nIndex >= 0 ? SetPixels(set, nIndex) : std::vector<DWORD>();
}

// Each item of the built menu against the model: its text, and the picture of
// the icon resource the model names (an alarm's: its own, else the fallback).
void ExpectItemsAsModelled(const CStyledMenu& menu, const std::vector<CTrayMenuItem>& model, int& nIcons)
{
    ASSERT_EQ(static_cast<int>(model.size()), menu.GetItemRecordCount());
    for (size_t i = 0; i < model.size(); i++)
    {
        const CStyledMenuItemData* pRecord = menu.GetItemRecord(static_cast<int>(i));
        ASSERT_NE(nullptr, pRecord);
        EXPECT_EQ(std::string(model[i].m_strText), std::string(pRecord->m_strText)) << i;
        const UINT nIcon = model[i].m_nAlarm >= 0 ? IDI_NEWALARM : model[i].m_nIcon;
        if (nIcon != 0)
        {
            ASSERT_TRUE(pRecord->m_pIcons != nullptr && pRecord->m_nIconIndex >= 0) << model[i].m_strText;
            EXPECT_EQ(TrayIconPixels(nIcon), SetPixels(*pRecord->m_pIcons, pRecord->m_nIconIndex))
                << model[i].m_strText;
            nIcons++;
        }
        else
            EXPECT_TRUE(pRecord->m_pIcons == nullptr || pRecord->m_nIconIndex < 0) << model[i].m_strText;
        if (model[i].m_nKind == TRAYITEM_POPUP)
        {
            const CStyledMenu* pSub = CStyledMenu::FromHandleStyled(::GetSubMenu(menu.m_hMenu, static_cast<int>(i)));
            ASSERT_NE(nullptr, pSub) << model[i].m_strText;
            ExpectItemsAsModelled(*pSub, model[i].m_subItems, nIcons);
        }
    }
}

TEST_F(MainDlgTest, TrayItemsShowTheirTextsAndIcons)
{
    CAlarm tea = NamedAlarm("Tea");
    tea.m_bCustomIcon = 1;
    tea.m_strIconFile = "C:\\nowhere\\tea.ico";  // no icon comes out: the fallback
    AddAlarm(tea);
    Open();
    ASSERT_NE(nullptr, m_pDlg->m_pTrayMenu);
    int nIcons = 0;
    ExpectItemsAsModelled(*m_pDlg->m_pTrayMenu, BuildTrayMenuModel(g_alarms), nIcons);
    EXPECT_EQ(34, nIcons);
}

// The window keys 0, 1, 2 and 4 toggle their windows; a change of the
// system time registers every key again.
TEST_F(MainDlgTest, WindowHotKeysToggleAndATimeChangeRegistersThemAgain)
{
    g_settings.m_hkDigital = {'D', HOTKEYF_CONTROL, 0};
    AddAlarm(NamedAlarm("Tea"));
    Open();
    const struct
    {
        int nKey;
        int nKind;
        CDialog* const* ppWnd;
    } keys[] = {
        {HOTKEY_ANALOG, WK_ANALOGCLOCK, reinterpret_cast<CDialog* const*>(&m_pDlg->m_pAnalogClockDlg)},
        {HOTKEY_DIGITAL, WK_DIGITALCLOCK, reinterpret_cast<CDialog* const*>(&m_pDlg->m_pDigitalClockDlg)},
        {HOTKEY_CALENDAR, WK_CALENDAR, &m_pDlg->m_pCalendarDlg},
        {HOTKEY_OPTIONS, WK_GENERALSETTINGS, &m_pDlg->m_pGeneralSettingsDlg},
    };
    for (const auto& k : keys)
    {
        Send(WM_HOTKEY, k.nKey);
        EXPECT_EQ(1, g_nMade[k.nKind]) << k.nKey;
        EXPECT_TRUE(CMainDlg::IsOpen(*k.ppWnd)) << k.nKey;
        Send(WM_HOTKEY, k.nKey);
        EXPECT_EQ(nullptr, *k.ppWnd) << k.nKey;
        EXPECT_EQ(1, g_nMade[k.nKind]) << k.nKey;
    }
    EXPECT_EQ(0, g_settings.m_bAnalogVisible);
    EXPECT_EQ(0, g_settings.m_bCalendarVisible);

    m_seams.m_calls.clear();
    Send(WM_TIMECHANGE);
    EXPECT_EQ(6, CountContaining("UnregisterHotKey"));
    EXPECT_EQ(1, CountContaining("RegisterHotKey 1 0x2 0x44"));
    EXPECT_EQ(6, CountContaining("RegisterHotKey"));
}

// The alarm list and the Skin Browser open at start-up when the settings ask
// for them, and only then.
TEST_F(MainDlgTest, StartUpOpensTheListAndTheSkinBrowserWhenAsked)
{
    Open();
    EXPECT_EQ(0, g_nMade[WK_ALARMLIST]);
    EXPECT_EQ(0, g_nMade[WK_SKINBROWSER]);
    delete m_pDlg;
    g_pMain = m_pDlg = nullptr;
    g_settings.m_bAlarmListAtStartup = 1;
    g_settings.m_bSkinBrowserAtStartup = 1;
    Open();
    EXPECT_TRUE(CMainDlg::IsOpen(m_pDlg->m_pAlarmListDlg));
    EXPECT_TRUE(CMainDlg::IsOpen(m_pDlg->m_pSkinBrowserDlg));
    EXPECT_EQ(1, g_nMade[WK_ALARMLIST]);
    EXPECT_EQ(1, g_nMade[WK_SKINBROWSER]);
    EXPECT_EQ(0, g_nMade[WK_ANALOGCLOCK] + g_nMade[WK_CALENDAR]);
}

// The calendar options' OK rebuilds an open calendar; Cancel, or no open
// calendar, leaves it; the list options' OK applies them to an open list.
TEST_F(MainDlgTest, OptionsOkRebuildsTheCalendarAndAppliesTheListOptions)
{
    Open();
    Send(UM_SHOWCALENDAR);
    const struct
    {
        int nResult;
        int nCalendarsMade;
    } cases[] = {{2, 1}, {1, 2}};
    for (const auto& c : cases)
    {
        Send(UM_SHOWCALENDAROPTIONS);
        ASSERT_NE(nullptr, m_pDlg->m_pCalendarOptionsDlg);
        m_pDlg->m_pCalendarOptionsDlg->m_nCloseResult = c.nResult;
        Send(UM_CALENDAROPTIONSCLOSED);
        EXPECT_EQ(nullptr, m_pDlg->m_pCalendarOptionsDlg);
        EXPECT_EQ(c.nCalendarsMade, g_nMade[WK_CALENDAR]) << c.nResult;
        EXPECT_TRUE(CMainDlg::IsOpen(m_pDlg->m_pCalendarDlg)) << c.nResult;
        EXPECT_EQ(1, g_settings.m_bCalendarVisible);
    }
    Send(UM_CALENDARCLOSED);
    Send(UM_SHOWCALENDAROPTIONS);
    m_pDlg->m_pCalendarOptionsDlg->m_nCloseResult = 1;
    Send(UM_CALENDAROPTIONSCLOSED);
    EXPECT_EQ(2, g_nMade[WK_CALENDAR]);
    EXPECT_EQ(nullptr, m_pDlg->m_pCalendarDlg);

    Send(UM_APPLYALARMLISTOPTIONS);
    EXPECT_EQ(0, g_nApply);
    Send(UM_SHOWALARMLIST);
    Send(UM_APPLYALARMLISTOPTIONS);
    EXPECT_EQ(1, g_nApply);
}

TEST_F(MainDlgTest, ExitAsksAndNoKeepsEverythingRunning)
{
    vtest::CSpyWindow trayClock;
    m_seams.m_hFoundWindow = trayClock.GetSafeHwnd();
    g_settings.m_bAskOnExit = 1;
    Open();
    m_seams.m_messageBoxAnswers = {IDNO, IDYES};
    Send(WM_COMMAND, 2027);
    EXPECT_EQ(1, CountContaining("\"Are you sure to exit Veltran Clock ?\" \"Exit Veltran Clock...\" 0x34 -> 7"));
    EXPECT_EQ(0, CountContaining("Shell_NotifyIcon DELETE"));
    MSG msg;
    EXPECT_FALSE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    EXPECT_TRUE(::KillTimer(m_pDlg->GetSafeHwnd(), TIMER_ALARMS)) << "the alarm timer still runs";
    m_pDlg->SetTimer(TIMER_ALARMS, 1000);

    Send(WM_COMMAND, 2027);
    EXPECT_EQ(1, CountContaining("Shell_NotifyIcon DELETE 0x0"));
    EXPECT_EQ(1, CountContaining("PostMessage 0x10 0 0"));
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_FALSE(::KillTimer(m_pDlg->GetSafeHwnd(), TIMER_ALARMS)) << "no alarm fires during the exit";
}

TEST_F(MainDlgTest, SessionEndStoresTheListTheClockPlacesAndTheFile)
{
    Open();
    Send(UM_SHOWALARMLIST);
    Send(UM_SHOWDIGITALCLOCK);
    Send(WM_QUERYENDSESSION);
    EXPECT_GE(g_nStore, 1);
    EXPECT_EQ(1, g_settings.m_bDigitalVisible);
    CRect rect;
    m_pDlg->m_pDigitalClockDlg->GetWindowRect(&rect);
    EXPECT_EQ(rect.left + rect.Width() / 2, g_settings.m_ptDigitalCenter.x);
    EXPECT_EQ(1, g_nFileWrites);
}

// The tray icon: added with its tip at start, again when Explorer restarts,
// and the menu opens on a right click with the model's items.
TEST_F(MainDlgTest, TrayIconAndMenu)
{
    Open();
    EXPECT_EQ(1, CountContaining("Shell_NotifyIcon ADD 0x0 0x7 message 0x401 icon tip \"Veltran Clock\""));
    Send(::RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_EQ(2, CountContaining("Shell_NotifyIcon ADD"));

    g_nMenuItems = -1;
    const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 50, ReadAndCloseMenu);
    Send(UM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
    ::KillTimer(nullptr, nTimer);
    // The model's items and the side title.
    EXPECT_EQ(static_cast<int>(BuildTrayMenuModel(g_alarms).size()) + 1, g_nMenuItems);

    // The array changes while the menu is open: the item chosen runs the
    // alarm it showed, and the menu follows the array afterwards.
    AddAlarm(NamedAlarm("Tea"));
    AddAlarm(NamedAlarm("Bus"));
    Send(UM_REBUILDTRAYMENU);
    const UINT_PTR nSwap = ::SetTimer(nullptr, 0, 50, SwapTickAndPickFirstAlarm);
    Send(UM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
    ::KillTimer(nullptr, nSwap);
    vtest::PumpPending();
    EXPECT_EQ(std::vector<CString>{"Tea"}, g_executed);
    EXPECT_EQ(0, m_pDlg->FindTrayAlarm(0)) << "rebuilt: its first alarm item is Bus, now first in the array";

    // A double click runs the chosen action; 0 does nothing.
    const int kinds[] = {-1, WK_ANALOGCLOCK, WK_DIGITALCLOCK, WK_CALENDAR, WK_ALARMLIST, WK_GENERALSETTINGS, -1};
    for (int nAction = 0; nAction <= 6; nAction++)
    {
        g_settings.m_nTrayDblClkAction = nAction;
        const int nMade = kinds[nAction] >= 0 ? g_nMade[kinds[nAction]] : 0;
        const int nHelp = CountContaining("HtmlHelp");
        m_pDlg->SendMessage(WM_LBUTTONDBLCLK);  // reaching the dialog itself, re-sent as a tray notice
        if (kinds[nAction] >= 0)
            EXPECT_EQ(nMade + 1, g_nMade[kinds[nAction]]) << nAction;
        EXPECT_EQ(nHelp + (nAction == 6 ? 1 : 0), CountContaining("HtmlHelp")) << nAction;
    }

    // Enter and Escape do not end the hidden dialog.
    Send(WM_COMMAND, IDOK);
    Send(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(::IsWindow(m_pDlg->GetSafeHwnd()));
}
} // namespace
