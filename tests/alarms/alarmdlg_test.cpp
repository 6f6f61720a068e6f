// The alarm editor driven through its tabs and pages: what OK stores, what
// Cancel and a refused OK leave, the list dialogs, the preview and the
// dialogs it opens through the seams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "afx/afxwin.h"
#include "alarms/alarmdlg.h"
#include "core/messages.h"
#include "core/settings.h"
#include "res/alarms_res.h"
#include "support/tempfolder.h"
#include "support/win_window.h"
#include "timepin.h"

namespace
{
const UINT UM_ACT = WM_APP + 31;
const UINT UM_NESTED = WM_APP + 32;

// Every field of the record, so one comparison shows which one moved.
std::string Describe(const CAlarm& a)
{
    char sz[2048];
    std::snprintf(sz, sizeof(sz),
                  "en=%d rep=%d time=%lld sec=%d/%s min=%d/%s moh=%d md=%d yd=%d ym=%d days=%d/%s wd=%d res=%d "
                  "next=%lld last=%lld | ask=%d hk=%d/%d/%lu icon=%d/%d/%s name=%s tray=%d starts=%d | show=%d top=%d "
                  "msg=%s center=%d font=%s/%ld/%ld rc=%ld,%ld,%ld,%ld auto=%d/%d toggles=%d%d%d%d | apps=%d/%s "
                  "sys=%d/%s | play=%d/%s/%d",
                  a.m_bEnabled, a.m_nRepeat, (long long)a.m_time.GetTime(), a.m_nSecondPreset,
                  (LPCSTR)a.m_strSecondList, a.m_nMinutePreset, (LPCSTR)a.m_strMinuteList, a.m_nMinuteOfHour,
                  a.m_nMonthDay, a.m_nYearDay, a.m_nYearMonth, a.m_nDays, (LPCSTR)a.m_strWeekDays, a.m_nWeekDay,
                  a.m_nScheduleReserved, (long long)a.m_timeNext.GetTime(), (long long)a.m_timeLastRun.GetTime(),
                  a.m_bAskNotify, a.m_wHotKeyVK, a.m_wHotKeyMods, (unsigned long)a.m_nHotKeyExtra, a.m_bCustomIcon,
                  a.m_nIconIndex, (LPCSTR)a.m_strIconFile, (LPCSTR)a.m_strName, a.m_bShowInTray, a.m_nStarts,
                  a.m_bShowMessage, a.m_bMsgOnTop, (LPCSTR)a.m_strMessage, a.m_bMsgCenter, a.m_lfMessage.lfFaceName,
                  a.m_lfMessage.lfHeight, a.m_lfMessage.lfWeight, a.m_rcMessage.left, a.m_rcMessage.top,
                  a.m_rcMessage.right, a.m_rcMessage.bottom, a.m_bAutoClose, a.m_nAutoCloseSec,
                  a.m_bToggleTrayClock, a.m_bToggleAnalog, a.m_bToggleDigital, a.m_bToggleCalendar, a.m_bRunApps,
                  (LPCSTR)a.m_strApps, a.m_bSysFuncs, (LPCSTR)a.m_strSysFuncs, a.m_bPlaySounds,
                  (LPCSTR)a.m_strSounds, a.m_nSoundExtra);
    return sz;
}

// Everything set, every value inside what the pages show.
CAlarm TestAlarm()
{
    CAlarm alarm;
    alarm.m_bEnabled = TRUE;
    alarm.m_nRepeat = ALARM_ONCE;
    alarm.m_time = CTime(2031, 5, 17, 6, 45, 10);
    alarm.m_nSecondPreset = 3;
    alarm.m_strSecondList = " 530";
    alarm.m_nMinutePreset = 2;
    alarm.m_strMinuteList = "45";
    alarm.m_nMinuteOfHour = 75;
    alarm.m_nMonthDay = 0;
    alarm.m_nYearDay = 40;
    alarm.m_nYearMonth = 1;
    alarm.m_nDays = 1;
    alarm.m_strWeekDays = "71";
    alarm.m_nWeekDay = 1;
    alarm.m_nScheduleReserved = 7;
    alarm.m_timeNext = CTime(2031, 5, 17, 6, 45, 10);
    alarm.m_timeLastRun = CTime(2020, 1, 1, 0, 0, 0);
    alarm.m_bAskNotify = TRUE;
    alarm.m_wHotKeyVK = 'K';
    alarm.m_wHotKeyMods = HOTKEYF_CONTROL | HOTKEYF_ALT;
    alarm.m_nHotKeyExtra = 3;
    alarm.m_bCustomIcon = 1;
    alarm.m_nIconIndex = 4;
    alarm.m_strIconFile = "C:\\nowhere\\icons.ico";
    alarm.m_strName = "Tea";
    alarm.m_bShowInTray = TRUE;
    alarm.m_nStarts = 12;
    alarm.m_bShowMessage = TRUE;
    alarm.m_bMsgOnTop = TRUE;
    alarm.m_strMessage = "The tea is ready";
    alarm.m_bMsgCenter = TRUE;
    std::strcpy(alarm.m_lfMessage.lfFaceName, "Tahoma");
    alarm.m_lfMessage.lfHeight = -16;
    alarm.m_lfMessage.lfWeight = FW_BOLD;
    alarm.m_rcMessage = {100, 120, 500, 420};
    alarm.m_nAutoCloseSec = 30;
    alarm.m_bAutoClose = TRUE;
    alarm.m_bToggleTrayClock = TRUE;
    alarm.m_bToggleDigital = TRUE;
    alarm.m_bRunApps = TRUE;
    alarm.m_strApps = "C:\\a.exe***D:\\tools\\b.exe***";
    alarm.m_bSysFuncs = TRUE;
    alarm.m_strSysFuncs = "0310";
    alarm.m_bPlaySounds = TRUE;
    alarm.m_strSounds = "TRUETRUETRUEring.wav***C:\\wav\\bell.wav***";
    alarm.m_nSoundExtra = 1;
    return alarm;
}

// The editor, driven by a test's script once it is up; the script may queue
// input and return, and the modal loop goes on with it.
class CDrivenAlarmDlg : public CAlarmDlg
{
public:
    std::function<void(CDrivenAlarmDlg&)> m_fnAct;
    std::function<void()> m_fnNested;

    HWND Tab() const { return m_tab.GetSafeHwnd(); }
    HWND Page(int nTab) const { return PageOfTab(nTab)->GetSafeHwnd(); }
    HWND Item(int nTab, int nID) const { return ::GetDlgItem(Page(nTab), nID); }
    int CurrentTab() const { return m_tab.GetCurSel(); }
    BOOL Running() const { return IsModal() && ContinueModalState(); }

    // Clicks the tab's header, as the user does.
    void ClickTab(int nTab)
    {
        RECT rc = {};
        TabCtrl_GetItemRect(Tab(), nTab, &rc);
        vtest::SendClick(Tab(), (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    void Click(int nTab, int nID) { ::SendMessageA(Item(nTab, nID), BM_CLICK, 0, 0); }
    void SetText(int nTab, int nID, const char* pszText) { ::SetWindowTextA(Item(nTab, nID), pszText); }
    std::string Text(int nTab, int nID) const
    {
        char sz[512] = {};
        ::GetWindowTextA(Item(nTab, nID), sz, sizeof(sz));
        return sz;
    }
    // A combo's selection as the user makes it: the page hears CBN_SELCHANGE.
    void Choose(int nTab, int nID, int nIndex)
    {
        ::SendMessageA(Item(nTab, nID), CB_SETCURSEL, nIndex, 0);
        ::SendMessageA(Page(nTab), WM_COMMAND, MAKEWPARAM(nID, CBN_SELCHANGE), (LPARAM)Item(nTab, nID));
    }
    // Runs fn from inside the next modal loop (a dialog the editor opens).
    void WhenNestedOpens(std::function<void()> fn)
    {
        m_fnNested = std::move(fn);
        PostMessage(UM_NESTED);
    }

protected:
    BOOL ContinueModalState() const { return (m_nFlags & WF_CONTINUEMODAL) != 0; }
    BOOL OnInitDialog() override
    {
        CAlarmDlg::OnInitDialog();
        if (m_fnAct)
            PostMessage(UM_ACT);
        return TRUE;
    }
    afx_msg LRESULT OnAct(WPARAM, LPARAM)
    {
        m_fnAct(*this);
        return 0;
    }
    afx_msg LRESULT OnNested(WPARAM, LPARAM)
    {
        if (m_fnNested)
            m_fnNested();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDrivenAlarmDlg, CAlarmDlg)
    ON_MESSAGE(UM_ACT, OnAct)
    ON_MESSAGE(UM_NESTED, OnNested)
END_MESSAGE_MAP()

// The main window: counts the hot-key registrations it is asked for.
class CCountingMainWnd : public CWnd
{
public:
    int m_nRegisterHotKeys = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == UM_REGISTERHOTKEYS)
        {
            m_nRegisterHotKeys++;
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Common dialogs that answer as a user would: a chosen file, a chosen font.
class CAnsweringSeams : public CRecordingSeams
{
public:
    std::string m_strOpenFile;   // empty: the open-file dialog is cancelled
    std::string m_strFontFace;   // empty: the font dialog is cancelled
    std::string m_strIconFile;   // empty: the icon picker is cancelled
    int m_nIconIndex = 0;

    BOOL GetOpenFileName(OPENFILENAMEA* pofn) override
    {
        CRecordingSeams::GetOpenFileName(pofn);
        if (m_strOpenFile.empty())
            return FALSE;
        std::strncpy(pofn->lpstrFile, m_strOpenFile.c_str(), pofn->nMaxFile - 1);
        return TRUE;
    }
    BOOL ChooseFont(CHOOSEFONTA* pcf) override
    {
        CRecordingSeams::ChooseFont(pcf);
        if (m_strFontFace.empty())
            return FALSE;
        std::strncpy(pcf->lpLogFont->lfFaceName, m_strFontFace.c_str(), LF_FACESIZE - 1);
        return TRUE;
    }
    int PickIconDlg(HWND hWnd, LPWSTR pszIconPath, UINT cchIconPath, int* piIconIndex) override
    {
        CRecordingSeams::PickIconDlg(hWnd, pszIconPath, cchIconPath, piIconIndex);
        if (m_strIconFile.empty())
            return 0;
        ::MultiByteToWideChar(CP_ACP, 0, m_strIconFile.c_str(), -1, pszIconPath, (int)cchIconPath);
        *piIconIndex = m_nIconIndex;
        return 1;
    }
};

// The window's own visible style: the editor itself shows only once its loop idles.
bool Shown(HWND hWnd)
{
    return (::GetWindowLongA(hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

HWND FindDialog(const char* pszCaption)
{
    return ::FindWindowA(MAKEINTATOM(32770), pszCaption);
}

// Presses Enter through the queue, so the dialog manager sees it. Enter in a
// page does nothing; on the tab control it is the editor's.
void PostEnter(HWND hWnd)
{
    ::SetFocus(hWnd);
    ::PostMessageA(hWnd, WM_KEYDOWN, VK_RETURN, 1);
    ::PostMessageA(hWnd, WM_KEYUP, VK_RETURN, (LPARAM)0xC0000001);
}

void ClickListItem(HWND hWndList, int nItem, bool bDouble)
{
    // Scrolled into view first: a click on a row half shown scrolls the list under the mouse.
    ::SendMessageA(hWndList, LVM_ENSUREVISIBLE, nItem, FALSE);
    RECT rc = {};
    rc.left = LVIR_LABEL;
    ::SendMessageA(hWndList, LVM_GETITEMRECT, nItem, (LPARAM)&rc);
    const int x = (rc.left + rc.right) / 2, y = (rc.top + rc.bottom) / 2;
    if (bDouble)
        vtest::SendDoubleClick(hWndList, x, y);
    else
        vtest::SendClick(hWndList, x, y);
}

std::vector<int> CheckedRows(HWND hWndList)
{
    std::vector<int> rows;
    const int nCount = (int)::SendMessageA(hWndList, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < nCount; i++)
        if (ListView_GetCheckState(hWndList, i))
            rows.push_back(i);
    return rows;
}

std::vector<std::string> RowTexts(HWND hWndList)
{
    std::vector<std::string> texts;
    const int nCount = (int)::SendMessageA(hWndList, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < nCount; i++)
    {
        char sz[MAX_PATH] = {};
        ListView_GetItemText(hWndList, i, 0, sz, sizeof(sz));
        texts.push_back(sz);
    }
    return texts;
}

class AlarmDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_nGdi = AfxGetLiveGdiObjectCount();
        ASSERT_TRUE(m_main.CreateEx(0, nullptr, "main", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr));
        m_app.m_pMainWnd = &m_main;
        m_strOldSoundDir = g_settings.m_strSoundDir;
        m_strOldIconLibrary = g_settings.m_strIconLibrary;
        g_settings.m_strSoundDir = "C:\\nowhere\\sounds";
        g_settings.m_strIconLibrary = "C:\\nowhere\\icons.icl";
        m_seams.m_nNow = CTime(2023, 2, 10, 12, 0, 0).GetTime();
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        m_main.DestroyWindow();
        g_settings.m_strSoundDir = m_strOldSoundDir;
        g_settings.m_strIconLibrary = m_strOldIconLibrary;
        vtest::PumpPending();
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
    }

    // Runs the editor on alarm with the script; the editor's result.
    INT_PTR Run(const CAlarm& alarm, std::function<void(CDrivenAlarmDlg&)> fnAct, CAlarm* pResult = nullptr)
    {
        CDrivenAlarmDlg dlg;
        dlg.m_alarm = alarm;
        dlg.m_fnAct = std::move(fnAct);
        const INT_PTR nResult = dlg.DoModal();
        if (pResult != nullptr)
            *pResult = dlg.m_alarm;
        return nResult;
    }

    CWinApp m_app{"alarms"};
    CCountingMainWnd m_main;
    CAnsweringSeams m_seams;
    CSeamsScope m_scope{&m_seams};
    CString m_strOldSoundDir;
    CString m_strOldIconLibrary;
    long m_nGdi = 0;
};
} // namespace

TEST_F(AlarmDlgTest, CancelAfterEditingEveryTabLeavesTheAlarmAsItWas)
{
    const CAlarm alarm = TestAlarm();
    for (bool bEscape : {false, true})
    {
        CAlarm result;
        const INT_PTR nResult = Run(
            alarm,
            [bEscape](CDrivenAlarmDlg& dlg) {
                EXPECT_EQ("Editing 'Tea' Alarm...", [&] {
                    char sz[128] = {};
                    ::GetWindowTextA(dlg.GetSafeHwnd(), sz, sizeof(sz));
                    return std::string(sz);
                }());
                dlg.SetText(0, IDC_INFO_NAME, "Coffee");
                dlg.Click(0, IDC_INFO_WEEKLY);
                for (int nTab : {1, 2, 3})
                {
                    dlg.ClickTab(nTab);
                    EXPECT_EQ(nTab, dlg.CurrentTab());
                    for (int i = 0; i < 4; i++)
                        EXPECT_EQ(i == nTab, Shown(dlg.Page(i))) << nTab << "/" << i;
                }
                dlg.ClickTab(1);
                dlg.SetText(1, IDC_MSG_TEXT, "Changed");
                dlg.Click(1, IDC_MSG_TOGGLEANALOG);
                dlg.ClickTab(2);
                dlg.Click(2, IDC_ACT_RUNAPPS);
                ClickListItem(dlg.Item(2, IDC_ACT_SYSFUNCLIST), 7, true);
                dlg.ClickTab(3);
                dlg.Click(3, IDC_SND_PLAY);
                // The arrow keys walk the tabs too; every page kept its edits.
                ::SetFocus(dlg.Tab());
                vtest::SendKey(dlg.Tab(), VK_LEFT);
                EXPECT_EQ(2, dlg.CurrentTab());
                EXPECT_EQ((std::vector<int>{3, 7, 10}), CheckedRows(dlg.Item(2, IDC_ACT_SYSFUNCLIST)));
                EXPECT_FALSE(::IsWindowEnabled(dlg.Item(2, IDC_ACT_APPS)));
                dlg.ClickTab(0);
                EXPECT_EQ("Coffee", dlg.Text(0, IDC_INFO_NAME));
                EXPECT_EQ(BST_CHECKED, ::SendMessageA(dlg.Item(0, IDC_INFO_WEEKLY), BM_GETCHECK, 0, 0));
                EXPECT_EQ("Changed", dlg.Text(1, IDC_MSG_TEXT));
                if (bEscape)
                {
                    ::SetFocus(dlg.Tab());
                    ::PostMessageA(dlg.Tab(), WM_KEYDOWN, VK_ESCAPE, 1);
                }
                else
                    ::SendMessageA(dlg.GetDlgItem(IDCANCEL)->GetSafeHwnd(), BM_CLICK, 0, 0);
            },
            &result);
        EXPECT_EQ(IDCANCEL, nResult) << bEscape;
        EXPECT_EQ(Describe(alarm), Describe(result)) << bEscape;
        EXPECT_EQ(0, m_main.m_nRegisterHotKeys) << bEscape;
    }
}

void CALLBACK EndLeftOpen(HWND hDlg, UINT, UINT_PTR nIDEvent, DWORD)
{
    ::KillTimer(hDlg, nIDEvent);
    static_cast<CDialog*>(CWnd::FromHandlePermanent(hDlg))->EndDialog(99);
}

// Escape typed with the focus on a control of any page ends the editor as
// Cancel does: the page's own dialog manager takes the key first, and a
// multi-line text answers it by closing its parent, the page.
TEST_F(AlarmDlgTest, EscapeInAnyPageEndsTheEditorWithCancel)
{
    const CAlarm alarm = TestAlarm();
    const struct
    {
        int nTab;
        int nID;
    } focus[] = {{0, IDC_INFO_NAME}, {1, IDC_MSG_TEXT}, {2, IDC_ACT_SYSFUNCLIST}, {3, IDC_SND_PLAY}};
    for (const auto& f : focus)
    {
        CAlarm result;
        const INT_PTR nResult = Run(
            alarm,
            [f](CDrivenAlarmDlg& dlg) {
                dlg.SetText(0, IDC_INFO_NAME, "Coffee");
                dlg.ClickTab(f.nTab);
                const HWND hControl = dlg.Item(f.nTab, f.nID);
                ::SetFocus(hControl);
                ASSERT_EQ(hControl, ::GetFocus());
                ::PostMessageA(hControl, WM_KEYDOWN, VK_ESCAPE, 1);
                ::PostMessageA(hControl, WM_KEYUP, VK_ESCAPE, (LPARAM)0xC0000001);
                // An editor the key left open ends with a result of its own.
                ::SetTimer(dlg.GetSafeHwnd(), 1, 3000, EndLeftOpen);
            },
            &result);
        EXPECT_EQ(IDCANCEL, nResult) << f.nID;
        EXPECT_EQ(Describe(alarm), Describe(result)) << f.nID;
    }
}

TEST_F(AlarmDlgTest, OkWithAnEmptyNameIsRefusedAndKeepsTheEditorOpen)
{
    const CAlarm alarm = TestAlarm();
    CAlarm result;
    const INT_PTR nResult = Run(
        alarm,
        [this](CDrivenAlarmDlg& dlg) {
            dlg.SetText(0, IDC_INFO_NAME, "");
            dlg.ClickTab(3);
            ::SendMessageA(dlg.GetDlgItem(IDOK)->GetSafeHwnd(), BM_CLICK, 0, 0);
            ASSERT_EQ(1, m_seams.CountCalls("MessageBox"));
            EXPECT_EQ("MessageBox \"Alarm Name can not be empty!\" \"alarms\" 0x30 -> 1", m_seams.m_calls.back());
            EXPECT_TRUE(dlg.Running());
            EXPECT_EQ(0, dlg.CurrentTab());
            EXPECT_TRUE(Shown(dlg.Page(0)));
            EXPECT_FALSE(Shown(dlg.Page(3)));
            EXPECT_EQ(dlg.Item(0, IDC_INFO_NAME), ::GetFocus());
            EXPECT_EQ(0, m_main.m_nRegisterHotKeys);
            EXPECT_EQ("Tea", std::string(dlg.m_alarm.m_strName));
            // Typing a name and Enter store it, and only now are the hot keys renewed.
            for (char ch : std::string("Mint"))
                vtest::SendChar(dlg.Item(0, IDC_INFO_NAME), ch);
            PostEnter(dlg.Tab());
        },
        &result);
    EXPECT_EQ(IDOK, nResult);
    EXPECT_EQ("Mint", std::string(result.m_strName));
    EXPECT_EQ(1, m_main.m_nRegisterHotKeys);
}

// The record holds times up to 2038-01-19 03:14:07 UTC (06:14:07 here, at
// UTC+3): both pickers are given that range, and OK refuses a date and time
// beyond it (the two pickers together can still name one) with a message
// instead of storing no time at all.
TEST_F(AlarmDlgTest, PickersKeepToWhatTheRecordHoldsAndOkRefusesATimeBeyond)
{
    CTimePin zone;
    zone.Pin(TIMEPIN_EAST3);
    const CAlarm alarm = TestAlarm();
    CAlarm result;
    const INT_PTR nResult = Run(
        alarm,
        [this](CDrivenAlarmDlg& dlg) {
            const SYSTEMTIME first = {1970, 1, 4, 1, 3, 0, 1, 0};
            const SYSTEMTIME last = {2038, 1, 2, 19, 6, 14, 7, 0};
            for (int nID : {IDC_INFO_TIME, IDC_INFO_DATE})
            {
                SYSTEMTIME range[2] = {};
                EXPECT_EQ(GDTR_MIN | GDTR_MAX,
                          ::SendMessageA(dlg.Item(0, nID), DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)));
                EXPECT_EQ(0, std::memcmp(&first, &range[0], sizeof(first))) << nID;
                EXPECT_EQ(0, std::memcmp(&last, &range[1], sizeof(last))) << nID;
            }

            // The last day, at a time after the last second: refused, said, and the date to correct.
            SYSTEMTIME date = {2038, 1, 2, 19, 0, 0, 0, 0};
            SYSTEMTIME time = {2031, 5, 6, 17, 7, 0, 0, 0};
            ASSERT_TRUE(::SendMessageA(dlg.Item(0, IDC_INFO_DATE), DTM_SETSYSTEMTIME, GDT_VALID,
                                       reinterpret_cast<LPARAM>(&date)));
            ASSERT_TRUE(::SendMessageA(dlg.Item(0, IDC_INFO_TIME), DTM_SETSYSTEMTIME, GDT_VALID,
                                       reinterpret_cast<LPARAM>(&time)));
            dlg.ClickTab(2);
            ::SendMessageA(dlg.GetDlgItem(IDOK)->GetSafeHwnd(), BM_CLICK, 0, 0);
            EXPECT_EQ(1, m_seams.CountCalls(
                             "MessageBox \"Alarm time must lie between January 1, 1970 and January 19, 2038, 03:14:07 "
                             "UTC!\" \"alarms\" 0x30 -> 1"));
            EXPECT_TRUE(dlg.Running());
            EXPECT_EQ(0, dlg.CurrentTab());
            EXPECT_EQ(dlg.Item(0, IDC_INFO_DATE), ::GetFocus());
            EXPECT_EQ(CTime(2031, 5, 17, 6, 45, 10), dlg.m_alarm.m_time);
            EXPECT_EQ(0, m_main.m_nRegisterHotKeys);

            time.wHour = 6;
            ASSERT_TRUE(::SendMessageA(dlg.Item(0, IDC_INFO_TIME), DTM_SETSYSTEMTIME, GDT_VALID,
                                       reinterpret_cast<LPARAM>(&time)));
            ::SendMessageA(dlg.GetDlgItem(IDOK)->GetSafeHwnd(), BM_CLICK, 0, 0);
        },
        &result);
    EXPECT_EQ(IDOK, nResult);
    EXPECT_EQ(CTime(2038, 1, 19, 6, 0, 0), result.m_time);
}

TEST_F(AlarmDlgTest, OkStoresUntouchedPagesAsLoaded)
{
    CAlarm alarm = TestAlarm();
    alarm.m_nSoundExtra = 3;   // the sounds page always stores one pass
    CAlarm result;
    ASSERT_EQ(IDOK, Run(alarm, [](CDrivenAlarmDlg& dlg) { PostEnter(dlg.Tab()); }, &result));
    CAlarm expected = alarm;
    expected.m_nSoundExtra = 1;
    EXPECT_EQ(Describe(expected), Describe(result));
    EXPECT_EQ(1, m_main.m_nRegisterHotKeys);
}

TEST_F(AlarmDlgTest, InformationPageShowsStoredValuesInTheirRangesAndStoresTheShownKind)
{
    CAlarm alarm = TestAlarm();
    alarm.m_nRepeat = 9;
    CAlarm result;
    ASSERT_EQ(IDOK, Run(
                        alarm,
                        [](CDrivenAlarmDlg& dlg) {
                            EXPECT_EQ(BST_CHECKED, ::SendMessageA(dlg.Item(0, IDC_INFO_ONCE), BM_GETCHECK, 0, 0));
                            EXPECT_TRUE(Shown(dlg.Item(0, IDC_INFO_DATE)));
                            EXPECT_FALSE(Shown(dlg.Item(0, IDC_INFO_NUMBER)));
                            EXPECT_EQ("12", dlg.Text(0, IDC_INFO_STARTS));
                            EXPECT_TRUE(::GetWindowLongA(dlg.Item(0, IDC_INFO_STARTS), GWL_STYLE) & ES_READONLY);
                            EXPECT_EQ(6, ::SendMessageA(dlg.Item(0, IDC_INFO_WEEKDAY), CB_GETCURSEL, 0, 0));
                            const HWND hWndNumber = dlg.Item(0, IDC_INFO_NUMBER);
                            const struct
                            {
                                int nID;
                                const char* pszShown;
                            } kinds[] = {{IDC_INFO_HOURLY, "30"}, {IDC_INFO_MONTHLY, "15"}, {IDC_INFO_ANNUALLY, "1"}};
                            for (const auto& k : kinds)
                            {
                                dlg.Click(0, k.nID);
                                EXPECT_TRUE(Shown(hWndNumber)) << k.nID;
                                EXPECT_EQ(k.pszShown, dlg.Text(0, IDC_INFO_NUMBER)) << k.nID;
                            }
                            // Hourly, one minute up with the arrow key, to Monthly and back: the minute stays.
                            dlg.Click(0, IDC_INFO_HOURLY);
                            vtest::SendKey(hWndNumber, VK_UP);
                            EXPECT_EQ("31", dlg.Text(0, IDC_INFO_NUMBER));
                            dlg.Click(0, IDC_INFO_MONTHLY);
                            EXPECT_EQ("15", dlg.Text(0, IDC_INFO_NUMBER));
                            dlg.Click(0, IDC_INFO_HOURLY);
                            EXPECT_EQ("31", dlg.Text(0, IDC_INFO_NUMBER));
                            // Annually on the 30th, then February of 2023: the 28th at most.
                            dlg.Click(0, IDC_INFO_ANNUALLY);
                            dlg.Choose(0, IDC_INFO_MONTH, 0);
                            for (int i = 1; i < 30; i++)
                                vtest::SendKey(hWndNumber, VK_UP);
                            EXPECT_EQ("30", dlg.Text(0, IDC_INFO_NUMBER));
                            dlg.Choose(0, IDC_INFO_MONTH, 1);
                            EXPECT_EQ("28", dlg.Text(0, IDC_INFO_NUMBER));
                            vtest::SendKey(hWndNumber, VK_UP);
                            EXPECT_EQ("28", dlg.Text(0, IDC_INFO_NUMBER));
                            dlg.Click(0, IDC_INFO_WEEKLY);
                            dlg.Choose(0, IDC_INFO_WEEKDAY, 0);
                            PostEnter(dlg.Tab());
                        },
                        &result));
    EXPECT_EQ(ALARM_WEEKLY, result.m_nRepeat);
    EXPECT_EQ(2, result.m_nWeekDay);   // "Monday"
    EXPECT_EQ(CTime(2023, 2, 10, 6, 45, 10).GetTime(), result.m_time.GetTime());
    // The other kinds keep their loaded values, out of range as they were.
    CAlarm expected = TestAlarm();
    expected.m_nRepeat = ALARM_WEEKLY;
    expected.m_nWeekDay = 2;
    expected.m_time = result.m_time;
    EXPECT_EQ(Describe(expected), Describe(result));

    // Kind 9 stored untouched: Once, with the time from the two pickers.
    ASSERT_EQ(IDOK, Run(alarm, [](CDrivenAlarmDlg& dlg) { PostEnter(dlg.Tab()); }, &result));
    EXPECT_EQ(ALARM_ONCE, result.m_nRepeat);
    EXPECT_EQ(alarm.m_time.GetTime(), result.m_time.GetTime());
}

TEST_F(AlarmDlgTest, ListDialogsOpenFromTheCustomEntriesAndStoreTheirListsOnOk)
{
    CAlarm result;
    ASSERT_EQ(IDOK, Run(
                        TestAlarm(),
                        [](CDrivenAlarmDlg& dlg) {
                            dlg.Click(0, IDC_INFO_DAILY);
                            dlg.WhenNestedOpens([] {
                                const HWND hWndDays = FindDialog("Weekly days");
                                ASSERT_NE(nullptr, hWndDays);
                                const HWND hWndList = ::GetDlgItem(hWndDays, IDC_WEEKLYDAYS_LIST);
                                EXPECT_EQ(std::vector<int>{}, CheckedRows(hWndList));
                                EXPECT_EQ("Monday", RowTexts(hWndList).front());
                                ClickListItem(hWndList, 0, true);   // Monday
                                ClickListItem(hWndList, 6, true);   // Sunday
                                ClickListItem(hWndList, 3, true);   // Thursday, on
                                ClickListItem(hWndList, 3, true);   // and off again
                                ::SendMessageA(::GetDlgItem(hWndDays, IDOK), BM_CLICK, 0, 0);
                            });
                            dlg.Choose(0, IDC_INFO_DAYS, 3);
                            // The second list opens with nothing ticked; Cancel keeps the old list.
                            dlg.Click(0, IDC_INFO_SECONDS);
                            dlg.WhenNestedOpens([] {
                                const HWND hWndSeconds = FindDialog("Second List...");
                                ASSERT_NE(nullptr, hWndSeconds);
                                const HWND hWndList = ::GetDlgItem(hWndSeconds, IDC_SECONDLIST_LIST);
                                EXPECT_EQ(60u, RowTexts(hWndList).size());
                                EXPECT_EQ(std::vector<int>{}, CheckedRows(hWndList));
                                ClickListItem(hWndList, 5, true);
                                ::SendMessageA(::GetDlgItem(hWndSeconds, IDCANCEL), BM_CLICK, 0, 0);
                            });
                            dlg.Choose(0, IDC_INFO_SECONDLIST, 8);
                            dlg.Click(0, IDC_INFO_DAILY);
                            PostEnter(dlg.Tab());
                        },
                        &result));
    EXPECT_EQ("21", std::string(result.m_strWeekDays));
    EXPECT_EQ(ALARMDAYS_CUSTOM, result.m_nDays);
    EXPECT_EQ(" 530", std::string(result.m_strSecondList));
}

TEST_F(AlarmDlgTest, MessagePageFontDialogPreviewAndEnabledControls)
{
    CAlarm alarm = TestAlarm();
    alarm.m_bShowMessage = FALSE;
    alarm.m_nAutoCloseSec = 1000000;
    alarm.m_rcMessage = {0, 0, -1, 100};   // inverted: the preview opens in the middle
    CAlarm result;
    ASSERT_EQ(IDOK, Run(
                        alarm,
                        [this](CDrivenAlarmDlg& dlg) {
                            dlg.ClickTab(1);
                            EXPECT_EQ("10", dlg.Text(1, IDC_MSG_SECONDS));
                            const struct
                            {
                                int nClick;
                                bool bMessage, bDelay;
                                int nFontDialogs;
                            } steps[] = {
                                {0, false, false, 0},
                                {IDC_MSG_AUTOCLOSE, false, false, 0},   // no message: nothing of it
                                {IDC_MSG_SHOW, true, false, 1},         // checking opens the font dialog
                                {IDC_MSG_AUTOCLOSE, true, true, 1},
                                {IDC_MSG_SHOW, false, false, 1},        // unchecking does not
                                {IDC_MSG_SHOW, true, true, 2},
                            };
                            for (const auto& s : steps)
                            {
                                if (s.nClick != 0)
                                    ::SendMessageA(dlg.Item(1, s.nClick), BM_CLICK, 0, 0);
                                EXPECT_EQ(s.bMessage, ::IsWindowEnabled(dlg.Item(1, IDC_MSG_TEXT)) != FALSE) << s.nClick;
                                EXPECT_EQ(s.bMessage, ::IsWindowEnabled(dlg.Item(1, IDC_MSG_PREVIEW)) != FALSE);
                                EXPECT_EQ(s.bDelay, ::IsWindowEnabled(dlg.Item(1, IDC_MSG_SECONDS)) != FALSE);
                                EXPECT_EQ(s.bDelay, ::IsWindowEnabled(dlg.Item(1, IDC_MSG_SECONDSLABEL)) != FALSE);
                                EXPECT_EQ(s.nFontDialogs, m_seams.CountCalls("ChooseFont"));
                            }
                            EXPECT_FALSE(Shown(dlg.Item(1, IDC_MSG_TOGGLETRAYCLOCK)));
                            // Cancelled twice so far; now a font is chosen.
                            m_seams.m_strFontFace = "Arial";
                            dlg.Click(1, IDC_MSG_CHOOSEFONT);
                            EXPECT_EQ("ChooseFont \"Tahoma\"", m_seams.m_calls.back());

                            dlg.SetText(1, IDC_MSG_TEXT, "Preview me");
                            dlg.WhenNestedOpens([] {
                                const HWND hWndPreview = FindDialog(" Set window's size");
                                ASSERT_NE(nullptr, hWndPreview);
                                char sz[64] = {};
                                ::GetDlgItemTextA(hWndPreview, IDC_ALARMMESSAGE_TEXT, sz, sizeof(sz));
                                EXPECT_STREQ("Preview me", sz);
                                const int cx = ::GetSystemMetrics(SM_CXFULLSCREEN);
                                RECT rc = {};
                                ::GetWindowRect(hWndPreview, &rc);
                                EXPECT_EQ(cx / 4, rc.left);
                                ::SetWindowPos(hWndPreview, nullptr, 40, 50, 300, 200, SWP_NOZORDER);
                                ::SendMessageA(hWndPreview, WM_CLOSE, 0, 0);
                            });
                            dlg.Click(1, IDC_MSG_PREVIEW);
                            PostEnter(dlg.Tab());
                        },
                        &result));
    EXPECT_EQ(TRUE, result.m_bShowMessage);
    EXPECT_EQ(TRUE, result.m_bAutoClose);
    EXPECT_EQ(10, result.m_nAutoCloseSec);
    EXPECT_STREQ("Arial", result.m_lfMessage.lfFaceName);
    EXPECT_EQ(-16, result.m_lfMessage.lfHeight);
    EXPECT_EQ("Preview me", std::string(result.m_strMessage));
    EXPECT_EQ(40, result.m_rcMessage.left);
    EXPECT_EQ(50, result.m_rcMessage.top);
    EXPECT_EQ(340, result.m_rcMessage.right);
    EXPECT_EQ(250, result.m_rcMessage.bottom);
}

TEST_F(AlarmDlgTest, ActionsPageListsProgramsAndSystemFunctions)
{
    CAlarm alarm = TestAlarm();
    alarm.m_strApps = "C:\\1.exe***C:\\2.exe***C:\\3.exe***C:\\4.exe***C:\\5.exe***C:\\tail.exe";
    alarm.m_strSysFuncs = "0211";
    CAlarm result;
    ASSERT_EQ(IDOK, Run(
                        alarm,
                        [this](CDrivenAlarmDlg& dlg) {
                            dlg.ClickTab(2);
                            const HWND hWndApps = dlg.Item(2, IDC_ACT_APPS);
                            const HWND hWndFuncs = dlg.Item(2, IDC_ACT_SYSFUNCLIST);
                            EXPECT_EQ(5u, RowTexts(hWndApps).size());
                            EXPECT_EQ(11u, RowTexts(hWndFuncs).size());
                            EXPECT_EQ("Block Keyboard and Mouse", RowTexts(hWndFuncs)[2]);
                            EXPECT_EQ(std::vector<int>{2}, CheckedRows(hWndFuncs));
                            ClickListItem(hWndFuncs, 5, true);

                            // Nothing selected: the buttons say so and do nothing else.
                            dlg.Click(2, IDC_ACT_TEST);
                            EXPECT_EQ("MessageBox \"You have not selected item.\\nPlease select any application or "
                                      "program and press this button again.\" \"alarms\" 0x30 -> 1",
                                      m_seams.m_calls.back());
                            // The third of five selected: a new program goes fourth.
                            ClickListItem(hWndApps, 2, false);
                            m_seams.m_strOpenFile = "E:\\new.exe";
                            dlg.Click(2, IDC_ACT_ADD);
                            EXPECT_EQ((std::vector<std::string>{"C:\\1.exe", "C:\\2.exe", "C:\\3.exe", "E:\\new.exe",
                                                                "C:\\4.exe", "C:\\5.exe"}),
                                      RowTexts(hWndApps));
                            // Testing it asks, then opens it in its folder.
                            m_seams.m_messageBoxAnswers = {IDYES};
                            ClickListItem(hWndApps, 3, false);
                            dlg.Click(2, IDC_ACT_TEST);
                            EXPECT_EQ("ShellExecute \"open\" \"E:\\\\new.exe\" \"\" \"E:\" 1", m_seams.m_calls.back());
                            // Removing asks; No keeps the row, Yes removes it.
                            ClickListItem(hWndApps, 0, false);
                            m_seams.m_messageBoxAnswers = {IDNO, IDYES};
                            dlg.Click(2, IDC_ACT_REMOVE);
                            EXPECT_EQ(6u, RowTexts(hWndApps).size());
                            dlg.Click(2, IDC_ACT_REMOVE);
                            EXPECT_EQ("MessageBox \"Are you sure to remove 'C:\\\\1.exe' ?\" \"Application removing...\" "
                                      "0x34 -> 6",
                                      m_seams.m_calls.back());
                            EXPECT_EQ(5u, RowTexts(hWndApps).size());
                            // Switched off, the list is disabled but kept.
                            dlg.Click(2, IDC_ACT_RUNAPPS);
                            dlg.Click(2, IDC_ACT_SYSFUNCS);
                            EXPECT_FALSE(::IsWindowEnabled(hWndApps));
                            EXPECT_FALSE(::IsWindowEnabled(dlg.Item(2, IDC_ACT_ADD)));
                            EXPECT_FALSE(::IsWindowEnabled(hWndFuncs));
                            PostEnter(dlg.Tab());
                        },
                        &result));
    EXPECT_EQ(FALSE, result.m_bRunApps);
    EXPECT_EQ("C:\\2.exe***C:\\3.exe***E:\\new.exe***C:\\4.exe***C:\\5.exe***", std::string(result.m_strApps));
    EXPECT_EQ(FALSE, result.m_bSysFuncs);
    EXPECT_EQ("0205", std::string(result.m_strSysFuncs));
}

TEST_F(AlarmDlgTest, SoundsPageFillsANewAlarmFromTheFolderAndKeepsChecks)
{
    const vtest::CTempFolder folder("veltran_editor_sounds");
    const std::string strDir = folder.Str();
    const std::string strLeaf = folder.Path().filename().string();
    ::CreateDirectoryA((strDir + "\\folder.wav").c_str(), nullptr);
    for (const char* pszName : {"a.wav", "b.wav", "c.txt"})
        ::CloseHandle(::CreateFileA((strDir + "\\" + pszName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                    nullptr));
    g_settings.m_strSoundDir = strDir.c_str();

    CAlarm alarm = TestAlarm();
    alarm.m_strSounds = "";
    alarm.m_nSoundExtra = 0;
    CAlarm result;
    ASSERT_EQ(IDOK, Run(
                        alarm,
                        [this, &strLeaf](CDrivenAlarmDlg& dlg) {
                            dlg.ClickTab(3);
                            const HWND hWndList = dlg.Item(3, IDC_SND_LIST);
                            std::vector<std::string> rows = RowTexts(hWndList);
                            std::sort(rows.begin(), rows.end());
                            EXPECT_EQ((std::vector<std::string>{"a.wav", "b.wav"}), rows);
                            EXPECT_EQ(std::vector<int>{}, CheckedRows(hWndList));
                            // A test plays the selected row from the folder.
                            ClickListItem(hWndList, 0, false);
                            dlg.Click(3, IDC_SND_TEST);
                            EXPECT_EQ(0u, m_seams.m_calls.back().find("PlaySound "));
                            EXPECT_NE(std::string::npos, m_seams.m_calls.back().find(strLeaf + "\\\\"));
                            // An added file goes in checked, after the selection.
                            m_seams.m_strOpenFile = "E:\\x\\y.wav";
                            dlg.Click(3, IDC_SND_ADD);
                            EXPECT_EQ("E:\\x\\y.wav", RowTexts(hWndList)[1]);
                            EXPECT_EQ(std::vector<int>{1}, CheckedRows(hWndList));
                            dlg.Click(3, IDC_SND_PLAY);
                            EXPECT_FALSE(::IsWindowEnabled(hWndList));
                            PostEnter(dlg.Tab());
                        },
                        &result));
    EXPECT_EQ(FALSE, result.m_bPlaySounds);
    EXPECT_EQ(1, result.m_nSoundExtra);
    const std::string strSounds(result.m_strSounds);
    EXPECT_TRUE(strSounds == "a.wav***TRUETRUETRUEE:\\x\\y.wav***b.wav***" ||
                strSounds == "b.wav***TRUETRUETRUEE:\\x\\y.wav***a.wav***")
        << strSounds;
}

TEST_F(AlarmDlgTest, IconButtonsPickFromTheLibraryOrAFileAndShowTheIcon)
{
    CAlarm result;
    ASSERT_EQ(IDOK, Run(
                        TestAlarm(),
                        [this](CDrivenAlarmDlg& dlg) {
                            // The alarm's own file has no icon: the program's stands in.
                            EXPECT_TRUE(Shown(dlg.Item(0, IDC_INFO_STANDARDICON)));
                            EXPECT_FALSE(Shown(dlg.Item(0, IDC_INFO_CUSTOMICON)));
                            // Cancelled: nothing changes.
                            dlg.Click(0, IDC_INFO_CHOOSESTANDARDICON);
                            EXPECT_EQ("PickIconDlg \"C:\\\\nowhere\\\\icons.icl\" 4", m_seams.m_calls.back());
                            // A file of the system's with icons: shown in the custom icon's place.
                            m_seams.m_strIconFile = "C:\\windows\\system32\\shell32.dll";
                            m_seams.m_nIconIndex = 3;
                            dlg.Click(0, IDC_INFO_CHOOSECUSTOMICON);
                            EXPECT_EQ("PickIconDlg \"C:\\\\nowhere\\\\icons.ico\" 4", m_seams.m_calls.back());
                            EXPECT_TRUE(Shown(dlg.Item(0, IDC_INFO_CUSTOMICON)));
                            EXPECT_FALSE(Shown(dlg.Item(0, IDC_INFO_STANDARDICON)));
                            EXPECT_NE(0, ::SendMessageA(dlg.Item(0, IDC_INFO_CUSTOMICON), STM_GETICON, 0, 0));
                            PostEnter(dlg.Tab());
                        },
                        &result));
    EXPECT_EQ(1, result.m_bCustomIcon);
    EXPECT_EQ("C:\\windows\\system32\\shell32.dll", std::string(result.m_strIconFile));
    EXPECT_EQ(3, result.m_nIconIndex);

    // The standard collection: the file stays the alarm's, the source becomes the library.
    m_seams.m_strIconFile = "C:\\windows\\system32\\shell32.dll";
    m_seams.m_nIconIndex = 2;
    ASSERT_EQ(IDOK, Run(
                        TestAlarm(),
                        [](CDrivenAlarmDlg& dlg) {
                            dlg.Click(0, IDC_INFO_CHOOSESTANDARDICON);
                            PostEnter(dlg.Tab());
                        },
                        &result));
    EXPECT_EQ(0, result.m_bCustomIcon);
    EXPECT_EQ("C:\\nowhere\\icons.ico", std::string(result.m_strIconFile));
    EXPECT_EQ(2, result.m_nIconIndex);
}
