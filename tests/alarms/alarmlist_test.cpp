// The alarm list window driven through its buttons, its check boxes and the
// alarm editor; its options dialog; and both as the main dialog opens them.
// The list itself stays hidden: only the editor and the shell's list show.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "afx/afxwin.h"
#include "alarms/alarmdlg.h"
#include "alarms/alarmexecutor.h"
#include "alarms/alarmlistdlg.h"
#include "alarms/alarmlistoptionsdlg.h"
#include "alarms/alarmtime.h"
#include "shell/alarmcheck.h"
#include "core/appseams.h"
#include "shell/maindlg.h"
#include "core/messages.h"
#include "core/settings.h"
#include "res/alarms_res.h"
#include "shellscope.h"
#include "support/win_drivers.h"
#include "support/win_menu_driver.h"
#include "support/tempfolder.h"
#include "support/win_process.h"
#include "support/win_window.h"

namespace
{
using vtest::FindDescendant;

// The editor with its name typed in and OK pressed; nullptr keeps the name.
void EditorOk(HWND hDlg, const char* pszName)
{
    if (pszName != nullptr)
        ::SetWindowTextA(FindDescendant(hDlg, IDC_INFO_NAME), pszName);
    vtest::PressButton(hDlg, IDOK);
}

CString ModulePath()
{
    char sz[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, sz, MAX_PATH);
    return sz;
}

// Icons come from this program's own icon resources, a different one by index.
CAlarm MakeAlarm(const char* pszName, int nIcon)
{
    CAlarm alarm;
    alarm.m_bEnabled = TRUE;
    alarm.m_nRepeat = ALARM_DAILY;
    alarm.m_time = CTime(2026, 1, 1, 8, 0, 0);
    alarm.m_strName = pszName;
    alarm.m_nIconIndex = nIcon;
    alarm.m_nSoundExtra = 1;
    return alarm;
}

// Image nImage of the list drawn on white, pixel by pixel.
std::vector<DWORD> ImagePixels(CImageList& images, int nImage)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = 16;
    bmi.bmiHeader.biHeight = -16;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HDC hDC = ::CreateCompatibleDC(nullptr);
    HBITMAP hBitmap = ::CreateDIBSection(hDC, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    ::PatBlt(hDC, 0, 0, 16, 16, WHITENESS);
    ImageList_Draw(images.GetSafeHandle(), nImage, hDC, 0, 0, ILD_NORMAL);
    ::GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD*>(pBits), static_cast<DWORD*>(pBits) + 256);
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hDC);
    return pixels;
}

std::vector<DWORD> Rows(const CReportCtrl& report)
{
    std::vector<DWORD> rows;
    for (DWORD h = report.GetChildItem(RVI_ROOT, 0); h != RVI_NONE; h = report.GetNextItem(h, RVGN_NEXTSIBLING))
        rows.push_back(h);
    return rows;
}

std::string Text(const CReportCtrl& report, DWORD hItem, int nColumn)
{
    return std::string(report.GetItemText(hItem, nColumn));
}

bool IsShown(CWnd* pDlg, int nID)
{
    return (::GetWindowLongA(pDlg->GetDlgItem(nID)->GetSafeHwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
}

class AlarmListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_nGdi = AfxGetLiveGdiObjectCount();
        g_settings = CSettings();
        g_settings.m_nUsedAlarmAction = 1;
        g_settings.m_strIconLibrary = ModulePath();
        g_alarms.RemoveAll();
        m_wndMain.Attach(m_spy.GetSafeHwnd());
        m_app.m_pMainWnd = &m_wndMain;
    }
    void TearDown() override
    {
        if (m_pList != nullptr)
        {
            m_pList->DestroyWindow();
            delete m_pList;
        }
        m_app.m_pMainWnd = nullptr;
        m_wndMain.Detach();
        vtest::PumpPending();
        g_alarms.RemoveAll();
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
    }
    CAlarmListDlg& Open()
    {
        m_pList = new CAlarmListDlg;
        EXPECT_TRUE(m_pList->Create(IDD_ALARMLIST, nullptr));
        return *m_pList;
    }
    // A click on the row's check box, as a person makes it.
    void ClickCheck(DWORD hItem)
    {
        CReportCtrl& report = m_pList->GetReport();
        report.SelectItem(hItem, -1, TRUE);
        CRect rc;
        ASSERT_TRUE(report.GetCellRect(hItem, 0, RVP_CHECKBOX, rc));
        vtest::SendClick(report.m_hWnd, rc.CenterPoint().x, rc.CenterPoint().y);
    }
    int Plays() const { return m_seams.CountCalls("PlaySound"); }
    bool Recorded(const std::string& strText) const
    {
        return vtest::CountContaining(m_seams.m_calls, strText) > 0;
    }

    long m_nGdi = 0;
    CWinApp m_app{"alarmlist"};
    CRecordingSeams m_seams;
    CSeamsScope m_scope{&m_seams};
    vtest::CSpyWindow m_spy;
    CWnd m_wndMain;
    CAlarmListDlg* m_pList = nullptr;
};

TEST_F(AlarmListTest, TwoHundredAlarmsSortedStoredClonedEditedAndNew)
{
    for (int i = 0; i < 200; i++)
    {
        CString strName;
        strName.Format("Alarm %03d", 199 - i);
        CAlarm alarm = MakeAlarm(strName, i % 7);
        g_alarms.Add(alarm);
    }
    CAlarmListDlg& list = Open();
    CReportCtrl& report = list.GetReport();
    std::vector<DWORD> rows = Rows(report);
    ASSERT_EQ(200u, rows.size());
    EXPECT_EQ("Alarm 000", Text(report, rows[0], 0));
    EXPECT_EQ("Alarm 199", Text(report, rows[199], 0));
    // The "Time" cell shows the schedule's next time; the row keeps the array's times.
    const CAlarm first = report.GetItemAlarm(rows[0]);
    EXPECT_EQ(std::string(AlarmListFormatTime(CAlarmTime().GetNextTime(first))), Text(report, rows[0], 1));
    EXPECT_EQ(g_alarms[199].m_timeNext, first.m_timeNext);
    EXPECT_EQ(g_alarms[199].m_timeLastRun, first.m_timeLastRun);
    EXPECT_EQ(rows[199], report.GetSelectedItem());  // the array's first, chosen before the sort
    EXPECT_TRUE(IsShown(&list, IDC_ALARMLIST_NAME));
    EXPECT_TRUE(list.GetDlgItem(IDC_ALARMLIST_EDIT)->IsWindowEnabled());

    // Stored, the array takes the list's order, by name, each alarm itself.
    const DWORD nIdentity = g_alarms[199].m_nIdentity;  // "Alarm 000"
    list.StoreListToArray();
    ASSERT_EQ(200, g_alarms.GetSize());
    for (INT_PTR i = 0; i < g_alarms.GetSize(); i++)
        ASSERT_EQ(Text(report, rows[i], 0), std::string(g_alarms[i].m_strName)) << i;
    EXPECT_EQ(nIdentity, g_alarms[0].m_nIdentity);

    // Clone: No leaves the list, Yes puts the copy right after its source.
    report.SelectItem(rows[5], -1, FALSE);
    for (int nAnswer : {IDNO, IDYES})
    {
        m_seams.m_messageBoxAnswers = {nAnswer};
        list.SendMessage(WM_COMMAND, IDC_ALARMLIST_CLONE);
    }
    EXPECT_TRUE(Recorded("MessageBox \"Clone the 'Alarm 005' Alarm ?\" \"Clone Alarm...\""));
    rows = Rows(report);
    ASSERT_EQ(201u, rows.size());
    EXPECT_EQ("Alarm 005", Text(report, rows[6], 0));
    EXPECT_EQ(rows[6], report.GetSelectedItem());
    ASSERT_EQ(201, g_alarms.GetSize());
    EXPECT_EQ("Alarm 005", std::string(g_alarms[6].m_strName));
    EXPECT_NE(g_alarms[5].m_nIdentity, g_alarms[6].m_nIdentity);

    // Edit through the editor: the row keeps its place, icon slot and identity.
    report.SelectItem(rows[21], -1, FALSE);
    const int nImage = report.GetItemImage(rows[21], 0);
    const DWORD nEdited = report.GetItemAlarm(rows[21]).m_nIdentity;
    {
        vtest::CDialogDriver driver({"#32770", nullptr, IDD_ALARMEDITOR},
                                    [](HWND hDlg) { EditorOk(hDlg, "Renamed 020"); });
        list.SendMessage(WM_COMMAND, IDC_ALARMLIST_EDIT);
        EXPECT_EQ(1, driver.Driven());
        EXPECT_FALSE(driver.TimedOut());
    }
    EXPECT_EQ("Renamed 020", Text(report, rows[21], 0));
    EXPECT_EQ(nImage, report.GetItemImage(rows[21], 0));
    EXPECT_EQ("Renamed 020", std::string(g_alarms[21].m_strName));
    EXPECT_EQ(nEdited, g_alarms[21].m_nIdentity);
    EXPECT_TRUE(list.IsWindowEnabled());

    // New: after the selected row.
    report.SelectItem(rows[3], -1, FALSE);
    {
        vtest::CDialogDriver driver({"#32770", nullptr, IDD_ALARMEDITOR}, [](HWND hDlg) { EditorOk(hDlg, nullptr); });
        list.SendMessage(WM_COMMAND, IDC_ALARMLIST_NEW);
        EXPECT_EQ(1, driver.Driven());
    }
    rows = Rows(report);
    ASSERT_EQ(202u, rows.size());
    EXPECT_EQ("New Alarm", Text(report, rows[4], 0));
    ASSERT_EQ(202, g_alarms.GetSize());
    EXPECT_EQ("New Alarm", std::string(g_alarms[4].m_strName));
    EXPECT_EQ(ALARM_ONCE, g_alarms[4].m_nRepeat);
}

// Test runs the executor on Yes; an alarm the check fired while the question
// was open does not run a second time.
TEST_F(AlarmListTest, TestRunsTheExecutorOnceOnly)
{
    CAlarm alarm = MakeAlarm("Bell", 0);
    alarm.m_bPlaySounds = TRUE;
    alarm.m_strSounds = "TRUETRUETRUEC:\\bell.wav***";
    g_alarms.Add(alarm);
    CAlarmListDlg& list = Open();
    list.StoreListToArray();
    CAlarmCheck check;
    // Only a run of the Test's own asks the main window to save.
    const struct
    {
        int nAnswer;
        bool bCheckFires;
        int nPlays;
        int nSaves;
    } cases[] = {{IDNO, false, 0, 0}, {IDYES, false, 1, 1}, {IDYES, true, 1, 0}};
    for (const auto& c : cases)
    {
        // Due now as the array holds it.
        g_alarms[0].m_timeNext = CTime::GetCurrentTime() - CTimeSpan(5);
        g_alarms[0].m_timeLastRun = CTime::GetCurrentTime() - CTimeSpan(100);
        const bool bFires = c.bCheckFires;
        m_seams.m_fnMessageBoxOpenUntil = [&check, bFires]() {
            if (bFires)
                check.Run(g_alarms, [](const CAlarm& fired) {
                    CAlarmExecutor().ExecuteAlarm(fired.m_strName, nullptr, fired);
                });
            return true;
        };
        m_seams.m_messageBoxAnswers = {c.nAnswer};
        const int nBefore = Plays();
        const int nSavesBefore = m_spy.Count(UM_SAVESETTINGS);
        list.SendMessage(WM_COMMAND, IDC_ALARMLIST_TEST);
        EXPECT_EQ(c.nPlays, Plays() - nBefore) << c.nAnswer << " " << c.bCheckFires;
        EXPECT_EQ(c.nSaves, m_spy.Count(UM_SAVESETTINGS) - nSavesBefore) << c.nAnswer << " " << c.bCheckFires;
    }
    m_seams.m_fnMessageBoxOpenUntil = nullptr;
    EXPECT_TRUE(Recorded("MessageBox \"Test the 'Bell' Alarm ?\" \"Alarm Testing...\""));
    EXPECT_TRUE(Recorded("PlaySound \"C:\\\\bell.wav\""));  // backslashes come escaped
}

// Switching off with both rules, and deleting: every row left keeps its icon.
TEST_F(AlarmListTest, SwitchedOffAndDeletedRowsLeaveTheOtherIconsRight)
{
    for (int i = 0; i < 6; i++)
    {
        CString strName;
        strName.Format("A%d", i);
        CAlarm alarm = MakeAlarm(strName, i);
        g_alarms.Add(alarm);
    }
    CAlarmListDlg& list = Open();
    CReportCtrl& report = list.GetReport();
    CImageList& images = list.GetImageList();
    std::vector<DWORD> rows = Rows(report);
    ASSERT_EQ(6u, rows.size());
    std::vector<std::vector<DWORD>> pictures;
    for (DWORD h : rows)
        pictures.push_back(ImagePixels(images, report.GetItemImage(h, 0)));
    ASSERT_NE(pictures[1], pictures[2]);  // neighbours differ, so a stale index shows

    // Keep: the row stays, both time cells "Not actual", the array disabled.
    ClickCheck(rows[0]);
    EXPECT_EQ("Not actual", Text(report, rows[0], 1));
    EXPECT_EQ("Not actual", Text(report, rows[0], 2));
    EXPECT_EQ(0, g_alarms[0].m_bEnabled);
    ClickCheck(rows[0]);
    EXPECT_EQ(1, report.GetItemCheck(rows[0], 0));
    EXPECT_EQ(1, g_alarms[0].m_bEnabled);

    // Remove: the row and its alarm go within the click.
    g_settings.m_nUsedAlarmAction = 0;
    const DWORD nGone = report.GetItemAlarm(rows[1]).m_nIdentity;
    ClickCheck(rows[1]);
    EXPECT_EQ(-1, report.GetItemRow(rows[1]));
    EXPECT_EQ(-1, AlarmFindByIdentity(g_alarms, nGone));
    EXPECT_EQ(5, g_alarms.GetSize());

    // A typed name: refused and kept open by the rule, accepted then stored
    // once the control has written it.
    const struct
    {
        const char* pszName;
        LRESULT nAnswer;
    } names[] = {{"INVALID TEXT", ALARMNAME_REFUSE}, {"Continue", ALARMNAME_KEEPEDITING}, {"Tea", ALARMNAME_ACCEPT}};
    for (const auto& c : names)
    {
        NMREPORT nm;
        report.FillNotify(nm, RCN_ENDEDIT, rows[2], 0);
        nm.strText = c.pszName;
        EXPECT_EQ(c.nAnswer, list.SendMessage(WM_NOTIFY, IDC_ALARMLIST_REPORT, reinterpret_cast<LPARAM>(&nm)))
            << c.pszName;
    }
    report.SetItemText(rows[2], 0, "Tea");
    EXPECT_TRUE(vtest::PumpUntil([] { return g_alarms[1].m_strName == "Tea"; }));

    // Delete: No keeps, Yes removes.
    report.SelectItem(rows[3], -1, FALSE);
    for (int nAnswer : {IDNO, IDYES})
    {
        m_seams.m_messageBoxAnswers = {nAnswer};
        list.SendMessage(WM_COMMAND, IDC_ALARMLIST_DELETE);
    }
    EXPECT_TRUE(Recorded("MessageBox \"Are you sure to remove 'A3' alarm ?\" \"Alarm removing...\""));
    EXPECT_EQ(-1, report.GetItemRow(rows[3]));
    EXPECT_EQ(4, g_alarms.GetSize());
    EXPECT_EQ(4, images.GetImageCount());
    for (size_t i : {0u, 2u, 4u, 5u})
        EXPECT_EQ(pictures[i], ImagePixels(images, report.GetItemImage(rows[i], 0))) << i;

    // The context menu opens only while the list has the focus; its
    // commands reach the list.
    report.SelectItem(rows[4], -1, FALSE);
    for (bool bListFocused : {false, true})
    {
        (bListFocused ? static_cast<CWnd&>(report) : *list.GetDlgItem(IDC_ALARMLIST_NEW)).SetFocus();
        vtest::CMenuDriver menu(ID_ALARMLIST_CLONE);
        m_seams.m_messageBoxAnswers = {IDYES};
        list.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(report.m_hWnd), MAKELPARAM(-1, -1));
        vtest::PumpPending();  // the chosen command comes posted
        EXPECT_EQ(bListFocused, menu.Chose());
        EXPECT_EQ(bListFocused ? 5u : 4u, Rows(report).size());
    }
}

// Switched off before its time and ticked on again after it, an alarm starts
// afresh: the daily one waits for its next day, the Once one that expired
// meanwhile never fires. Both are checked as the shell checks them.
TEST_F(AlarmListTest, TickedOnAgainAnAlarmFiresNoTimeThatPassedWhileItWasOff)
{
    const CTime at8(2026, 3, 2, 8, 0, 0);
    const CTime at7 = at8 - CTimeSpan(0, 1, 0, 0);
    m_seams.m_nNow = at7.GetTime();
    CAlarm daily = MakeAlarm("Daily", 0);  // every day at 08:00
    CAlarm once = MakeAlarm("Once", 1);
    once.m_nRepeat = ALARM_ONCE;
    once.m_time = at8;
    for (CAlarm* pAlarm : {&daily, &once})
    {
        AlarmListSetStart(*pAlarm, at7);
        g_alarms.Add(*pAlarm);
    }
    ASSERT_EQ(at8, g_alarms[0].m_timeNext);
    ASSERT_EQ(at8, g_alarms[1].m_timeNext);

    CAlarmListDlg& list = Open();
    CReportCtrl& report = list.GetReport();
    const std::vector<DWORD> rows = Rows(report);
    ASSERT_EQ(2u, rows.size());
    ASSERT_EQ("Daily", Text(report, rows[0], 0));
    ASSERT_EQ("Once", Text(report, rows[1], 0));
    for (DWORD h : rows)
        ClickCheck(h);
    ASSERT_EQ(0, g_alarms[0].m_bEnabled);
    ASSERT_EQ(0, g_alarms[1].m_bEnabled);

    std::vector<std::string> fired;
    CAlarmCheck check;
    auto checkAt = [&](const CTime& now) {
        m_seams.m_nNow = now.GetTime();
        check.Run(g_alarms, [&fired](const CAlarm& alarm) { fired.push_back(std::string(alarm.m_strName)); });
    };
    checkAt(at8 + CTimeSpan(0, 0, 30, 0));
    EXPECT_EQ(std::vector<std::string>{}, fired);

    m_seams.m_nNow = (at8 + CTimeSpan(0, 1, 0, 0)).GetTime();  // 09:00
    for (DWORD h : rows)
        ClickCheck(h);
    ASSERT_EQ(1, g_alarms[0].m_bEnabled);
    ASSERT_EQ(1, g_alarms[1].m_bEnabled);
    EXPECT_EQ(at8 + CTimeSpan(1, 0, 0, 0), g_alarms[0].m_timeNext);
    EXPECT_EQ("Expired", Text(report, rows[1], 2));
    for (const CTime& now : {at8 + CTimeSpan(0, 1, 0, 0), at8 + CTimeSpan(0, 1, 0, 1),
                             at8 + CTimeSpan(0, 23, 59, 59)})
        checkAt(now);
    EXPECT_EQ(std::vector<std::string>{}, fired);

    // The next day at 08:00 the daily alarm fires once; the Once alarm stays quiet.
    checkAt(at8 + CTimeSpan(1, 0, 0, 0));
    checkAt(at8 + CTimeSpan(1, 0, 0, 1));
    EXPECT_EQ(std::vector<std::string>{"Daily"}, fired);

    // Ticking a row off renews nothing: its times stay as they were.
    const CTime nextBefore = g_alarms[0].m_timeNext;
    ClickCheck(rows[0]);
    EXPECT_EQ(nextBefore, g_alarms[0].m_timeNext);
}

// The middle of a row's "Time" cell, where a click selects the row.
POINT RowPoint(CReportCtrl& report, DWORD hItem)
{
    CRect rc;
    EXPECT_TRUE(report.GetCellRect(hItem, 1, RVP_CELL, rc));
    return rc.CenterPoint();
}

std::string ItemText(CWnd& list, int nID)
{
    CString str;
    list.GetDlgItemText(nID, str);
    return std::string(str);
}

// Real boxes for the list's questions, answered by a driver; the rest records.
class CRealBoxSeams : public CRecordingSeams
{
public:
    int MessageBox(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) override
    {
        CRecordingSeams::MessageBox(hWnd, lpText, lpCaption, uType);
        return ::MessageBoxA(hWnd, lpText, lpCaption, uType);
    }
};

// Two alarms of one name (a clone) and a third. A click selects the row it
// lands on and the panel shows that alarm whole at once; Yes in a real
// question box removes the row before the box goes away (under Wine its hiding
// takes two seconds), painted; the next click and Delete act on the row the
// user then sees, by its alarm, not on a position.
TEST_F(AlarmListTest, DeletedRowGoesAtTheYesAndClicksActOnTheRowsShown)
{
    for (int nHour : {8, 9})
    {
        CAlarm twin = MakeAlarm("Twin", 0);
        twin.m_time = CTime(2026, 1, 1, nHour, 0, 0);
        g_alarms.Add(twin);
    }
    CAlarm zed = MakeAlarm("Zed", 1);
    g_alarms.Add(zed);
    CAlarmListDlg& list = Open();
    list.ShowWindow(SW_SHOWNA);
    CReportCtrl& report = list.GetReport();
    const std::vector<DWORD> rows = Rows(report);
    ASSERT_EQ(3u, rows.size());
    const DWORD nSecond = report.GetItemAlarm(rows[1]).m_nIdentity;
    const DWORD nZed = report.GetItemAlarm(rows[2]).m_nIdentity;
    ASSERT_NE(Text(report, rows[0], 1), Text(report, rows[1], 1));

    for (int nRow : {1, 0})
    {
        vtest::Click(report.m_hWnd, RowPoint(report, rows[static_cast<size_t>(nRow)]));
        EXPECT_EQ(rows[static_cast<size_t>(nRow)], report.GetSelectedItem());
        EXPECT_EQ(Text(report, rows[static_cast<size_t>(nRow)], 1), ItemText(list, IDC_ALARMLIST_NEXT)) << nRow;
    }

    CRealBoxSeams boxes;
    CSeamsScope scope(&boxes);
    const POINT ptFirst = RowPoint(report, rows[0]);
    bool bGoneInsideTheBox = false;
    bool bPaintedInsideTheBox = false;
    {
        vtest::CDialogDriver driver({"#32770", "Alarm removing...", 0}, [&](HWND hBox) {
            RECT rcBox = {};
            ::GetWindowRect(hBox, &rcBox);
            POINT ptScreen = ptFirst;
            ::ClientToScreen(report.m_hWnd, &ptScreen);
            vtest::PressButton(hBox, IDYES);
            bGoneInsideTheBox =
                report.GetItemRow(rows[0]) == -1 && ::SendMessageA(report.m_hWnd, LVM_GETITEMCOUNT, 0, 0) == 2;
            // Where the box did not cover it, the first row is painted anew already.
            HRGN hUpdate = ::CreateRectRgn(0, 0, 0, 0);
            ::GetUpdateRgn(report.m_hWnd, hUpdate, FALSE);
            bPaintedInsideTheBox = !::PtInRect(&rcBox, ptScreen) && !::PtInRegion(hUpdate, ptFirst.x, ptFirst.y);
            ::DeleteObject(hUpdate);
            // The user clicks the first row while the box is still going away.
            ::PostMessageA(report.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptFirst.x, ptFirst.y));
            ::PostMessageA(report.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(ptFirst.x, ptFirst.y));
        });
        list.SendMessage(WM_COMMAND, IDC_ALARMLIST_DELETE);
        EXPECT_EQ(1, driver.Driven());
    }
    EXPECT_TRUE(bGoneInsideTheBox);
    EXPECT_TRUE(bPaintedInsideTheBox);
    vtest::PumpPending();
    ASSERT_EQ(2, g_alarms.GetSize());
    EXPECT_EQ(rows[1], report.GetSelectedItem()) << "the click selects the Twin now shown first";
    EXPECT_EQ(Text(report, rows[1], 1), ItemText(list, IDC_ALARMLIST_NEXT));

    // Delete again removes that one, the one the user sees selected.
    {
        vtest::CDialogDriver driver({"#32770", "Alarm removing...", 0},
                                    [](HWND hBox) { vtest::PressButton(hBox, IDYES); });
        list.SendMessage(WM_COMMAND, IDC_ALARMLIST_DELETE);
        EXPECT_EQ(1, driver.Driven());
    }
    EXPECT_EQ(-1, AlarmFindByIdentity(g_alarms, nSecond));
    ASSERT_EQ(1, g_alarms.GetSize());
    EXPECT_EQ(nZed, g_alarms[0].m_nIdentity);
    list.ShowWindow(SW_HIDE);
}

// A press queued before the rows moved (made on the old picture while the
// question was open) is dropped instead of selecting the row that moved into
// its place; a press made afterwards selects as usual.
TEST_F(AlarmListTest, APressMadeBeforeTheRowsMovedIsDropped)
{
    for (const char* psz : {"A", "B", "C"})
    {
        CAlarm alarm = MakeAlarm(psz, 0);
        g_alarms.Add(alarm);
    }
    CAlarmListDlg& list = Open();
    CReportCtrl& report = list.GetReport();
    const std::vector<DWORD> rows = Rows(report);
    ASSERT_EQ(3u, rows.size());
    report.SelectItem(rows[0], -1, FALSE);
    const POINT ptSecond = RowPoint(report, rows[1]);
    m_seams.m_messageBoxAnswers = {IDYES};
    m_seams.m_fnMessageBoxOpenUntil = [&] {
        ::PostMessageA(report.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptSecond.x, ptSecond.y));
        ::PostMessageA(report.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(ptSecond.x, ptSecond.y));
        return true;
    };
    list.SendMessage(WM_COMMAND, IDC_ALARMLIST_DELETE);
    m_seams.m_fnMessageBoxOpenUntil = nullptr;
    vtest::PumpPending();
    ASSERT_EQ(2u, Rows(report).size());
    EXPECT_EQ(rows[1], report.GetSelectedItem()) << "C moved to where B was; the press on B does not pick it";
    // A press of a later millisecond than the move.
    const DWORD dwMoved = ::GetTickCount();
    vtest::PumpUntil([dwMoved] { return ::GetTickCount() != dwMoved; });
    vtest::Click(report.m_hWnd, RowPoint(report, rows[2]));
    EXPECT_EQ(rows[2], report.GetSelectedItem());
}

// The tick count wraps: a press made 24.8 days or more after the rows last
// moved (a list left open that long) is a press like any other, not one from
// before the move.
TEST_F(AlarmListTest, APressLongAfterTheRowsMovedIsNotTakenForOneBefore)
{
    CAlarm alarm = MakeAlarm("A", 0);
    g_alarms.Add(alarm);
    const DWORD dwBefore = ::GetTickCount();
    CAlarmListDlg& list = Open();
    const DWORD dwAfter = ::GetTickCount();
    MSG press = {list.GetReport().m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, {}};
    press.time = dwBefore - 1;
    EXPECT_TRUE(list.PreTranslateMessage(&press)) << "made before the list was filled";
    for (DWORD dwLater : {1ul, 0x7FFFFFFFul, 0x80000001ul, 0xC0000000ul})
    {
        press.time = dwAfter + dwLater;
        EXPECT_FALSE(list.PreTranslateMessage(&press)) << dwLater;
    }
}

TEST_F(AlarmListTest, WithNoAlarmsTheButtonsAreOffAndThePanelHidden)
{
    CAlarmListDlg& list = Open();
    for (int nID : {IDC_ALARMLIST_EDIT, IDC_ALARMLIST_TEST, IDC_ALARMLIST_CLONE, IDC_ALARMLIST_DELETE})
        EXPECT_FALSE(list.GetDlgItem(nID)->IsWindowEnabled()) << nID;
    EXPECT_TRUE(list.GetDlgItem(IDC_ALARMLIST_NEW)->IsWindowEnabled());
    for (int nID = IDC_ALARMLIST_NAMELABEL; nID <= IDC_ALARMLIST_STATUS; nID++)
        EXPECT_FALSE(IsShown(&list, nID)) << nID;
    for (UINT nID : {ID_ALARMLIST_EDIT, ID_ALARMLIST_TEST, ID_ALARMLIST_CLONE, ID_ALARMLIST_REMOVE})
        list.SendMessage(WM_COMMAND, nID);
    EXPECT_EQ(3, vtest::CountContaining(m_seams.m_calls, "\"Select any alarm!\""));
    EXPECT_TRUE(Recorded("MessageBox \"No alarms selected!\" \"Veltran Clock\""));
    list.SendMessage(WM_COMMAND, IDC_ALARMLIST_HELP);
    EXPECT_TRUE(Recorded("\\\\Veltran.chm::/General/index.htm\""));
    list.SendMessage(WM_COMMAND, IDC_ALARMLIST_OPTIONS);
    EXPECT_EQ(1, m_spy.Count(UM_SHOWALARMLISTOPTIONS));
    // Closing stores and tells the main window.
    list.SendMessage(WM_COMMAND, IDC_ALARMLIST_CLOSE);
    EXPECT_EQ(1, m_spy.Count(UM_ALARMLISTCLOSED));
}

// --- the options dialog ------------------------------------------------------

class AlarmListOptionsTest : public AlarmListTest
{
protected:
    CAlarmListOptionsDlg& OpenOptions()
    {
        m_pOptions.reset(new CAlarmListOptionsDlg);
        EXPECT_TRUE(m_pOptions->Create(IDD_ALARMLISTOPTIONS, nullptr));
        return *m_pOptions;
    }
    void CloseOptions()
    {
        m_pOptions->DestroyWindow();
        m_pOptions.reset();
    }
    CColourPicker& Picker(int nID)
    {
        return *static_cast<CColourPicker*>(CWnd::FromHandlePermanent(m_pOptions->GetDlgItem(nID)->GetSafeHwnd()));
    }
    std::unique_ptr<CAlarmListOptionsDlg> m_pOptions;
};

TEST_F(AlarmListOptionsTest, StoredActionOutOfRangeCancelAndClearedHotKey)
{
    g_settings.m_nUsedAlarmAction = 5;
    g_settings.m_crAlarmWndBack = RGB(1, 2, 3);
    g_settings.m_hkAlarmList = {'L', HOTKEYF_CONTROL, 0};

    // Cancel: the action is already mended, the colours stay as they were.
    CAlarmListOptionsDlg& dlg = OpenOptions();
    EXPECT_EQ(1, g_settings.m_nUsedAlarmAction);
    EXPECT_EQ(BST_CHECKED, dlg.IsDlgButtonChecked(IDC_ALOPT_KEEP));
    EXPECT_EQ(RGB(1, 2, 3), Picker(IDC_ALOPT_WNDBACK).GetColour());
    Picker(IDC_ALOPT_WNDBACK).SetColour(RGB(200, 0, 0));
    dlg.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_EQ(RGB(1, 2, 3), g_settings.m_crAlarmWndBack);
    EXPECT_EQ(1, m_spy.Count(UM_ALARMLISTOPTIONSCLOSED));
    EXPECT_EQ(0, m_spy.Count(UM_SAVESETTINGS));
    CloseOptions();

    // OK with the hot key cleared, "Remove" chosen and a colour changed.
    m_spy.Clear();
    CAlarmListOptionsDlg& again = OpenOptions();
    again.SendDlgItemMessage(IDC_ALOPT_HOTKEY, HKM_SETHOTKEY, 0, 0);
    again.CheckRadioButton(IDC_ALOPT_REMOVE, IDC_ALOPT_KEEP, IDC_ALOPT_REMOVE);
    Picker(IDC_ALOPT_LISTTEXT).SetColour(RGB(0, 0, 255));
    again.SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(0, g_settings.m_hkAlarmList.wVirtualKey);
    EXPECT_EQ(0, g_settings.m_hkAlarmList.wModifiers);
    EXPECT_EQ(0, g_settings.m_nUsedAlarmAction);
    EXPECT_EQ(RGB(0, 0, 255), g_settings.m_crAlarmListText);
    std::vector<UINT> order;
    for (const auto& record : m_spy.Records())
        order.push_back(record.message);
    EXPECT_EQ((std::vector<UINT>{UM_APPLYALARMLISTOPTIONS, UM_ALARMLISTOPTIONSCLOSED, UM_REGISTERHOTKEYS,
                                 UM_SAVESETTINGS}),
              order);
    CloseOptions();
}

// --- as the program opens them -------------------------------------------------

// The tray opens the list and its hot key toggles it; the hot key while the
// list's editor is open leaves the list alone.
TEST(AlarmListShell, TrayOpensHotKeyTogglesAndWaitsForTheEditor)
{
    const long nGdi = AfxGetLiveGdiObjectCount();
    CWinApp app("alarmlistshell");
    CRecordingSeams seams;
    CSeamsScope scope(&seams);
    CShellScope shell;
    g_windowServices.pfnMake[WK_ALARMLIST] = []() -> CDialog* { return new CAlarmListDlg; };
    g_windowServices.pfnEditAlarm = AlarmRunEditor;
    g_settings = CSettings();
    g_settings.m_nUsedAlarmAction = 1;
    g_alarms.RemoveAll();
    for (const char* psz : {"B", "A"})
    {
        CAlarm alarm = MakeAlarm(psz, 0);  // "B" first
        g_alarms.Add(alarm);
    }

    CMainDlg* pMain = new CMainDlg;
    ASSERT_TRUE(pMain->Create(IDD_MAINDLG));
    app.m_pMainWnd = pMain;

    pMain->SendMessage(WM_COMMAND, ID_TRAY_ALARMLIST);
    ASSERT_NE(nullptr, pMain->m_pAlarmListDlg);
    CAlarmListWindow* pList = pMain->m_pAlarmListDlg;
    EXPECT_TRUE(pList->IsWindowVisible());

    {
        vtest::CDialogDriver driver({"#32770", nullptr, IDD_ALARMEDITOR}, [pMain, pList](HWND hDlg) {
            pMain->SendMessage(WM_HOTKEY, HOTKEY_ALARMLIST, 0);
            EXPECT_EQ(pList, pMain->m_pAlarmListDlg);
            EXPECT_TRUE(::IsWindow(pList->GetSafeHwnd()));
            EditorOk(hDlg, "Between");
        });
        pList->SendMessage(WM_COMMAND, IDC_ALARMLIST_NEW);
        EXPECT_EQ(1, driver.Driven());
    }
    ASSERT_EQ(pList, pMain->m_pAlarmListDlg);
    // After "B", the row selected at opening (the array's first), in the list's order.
    ASSERT_EQ(3, g_alarms.GetSize());
    EXPECT_EQ("A", std::string(g_alarms[0].m_strName));
    EXPECT_EQ("B", std::string(g_alarms[1].m_strName));
    EXPECT_EQ("Between", std::string(g_alarms[2].m_strName));
    EXPECT_EQ(2, pMain->FindTrayAlarm(2));  // the tray's items follow at once

    pMain->SendMessage(WM_HOTKEY, HOTKEY_ALARMLIST, 0);
    EXPECT_EQ(nullptr, pMain->m_pAlarmListDlg);
    EXPECT_EQ(3, g_alarms.GetSize());
    pMain->SendMessage(WM_HOTKEY, HOTKEY_ALARMLIST, 0);
    ASSERT_NE(nullptr, pMain->m_pAlarmListDlg);
    EXPECT_EQ(3, static_cast<CAlarmListDlg*>(pMain->m_pAlarmListDlg)->GetReport().GetChildCount(RVI_ROOT));

    app.m_pMainWnd = nullptr;
    delete pMain;
    vtest::PumpPending();
    g_alarms.RemoveAll();
    EXPECT_EQ(nGdi, AfxGetLiveGdiObjectCount());
}
int g_nQuickFired = 0;

// The real main dialog with the real list and its options, the editor as the
// program wires it.
class AlarmListShellTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_nGdi = AfxGetLiveGdiObjectCount();
        g_windowServices.pfnMake[WK_ALARMLIST] = []() -> CDialog* { return new CAlarmListDlg; };
        g_windowServices.pfnMake[WK_ALARMLISTOPTIONS] = []() -> CDialog* { return new CAlarmListOptionsDlg; };
        g_windowServices.pfnEditAlarm = AlarmRunEditor;
        g_settings = CSettings();
        g_settings.m_nUsedAlarmAction = 1;
        g_alarms.RemoveAll();
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        delete m_pMain;
        vtest::PumpPending();
        g_alarms.RemoveAll();
        EXPECT_EQ(m_nGdi, AfxGetLiveGdiObjectCount());
    }
    // The main dialog on the alarms the test has added, and the list opened from the tray; null if it did not open.
    CAlarmListDlg* OpenList()
    {
        m_pMain = new CMainDlg;
        EXPECT_TRUE(m_pMain->Create(IDD_MAINDLG));
        m_app.m_pMainWnd = m_pMain;
        m_pMain->SendMessage(WM_COMMAND, ID_TRAY_ALARMLIST);
        return static_cast<CAlarmListDlg*>(m_pMain->m_pAlarmListDlg);
    }

    long m_nGdi = 0;
    CWinApp m_app{"alarmlistshell"};
    CRecordingSeams m_seams;
    CSeamsScope m_scope{&m_seams};
    CShellScope m_shell;
    CMainDlg* m_pMain = nullptr;
};

// "Custom..." accepted unchanged while the list is open: the list shows the
// alarm at once, and it fires once, at its time, also after the list has
// stored its rows again.
TEST_F(AlarmListShellTest, CustomQuickAlarmMadeWhileTheListIsOpenFiresOnce)
{
    const CTime now(2026, 3, 2, 9, 30, 15);
    m_seams.m_nNow = now.GetTime();
    g_windowServices.pfnExecuteAlarm = [](const CString& strName, DWORD, const CAlarm&) {
        if (strName == "New Alarm")
            g_nQuickFired++;
    };
    g_nQuickFired = 0;
    CAlarm other = MakeAlarm("Bus", 0);
    g_alarms.Add(other);
    CAlarmListDlg* pList = OpenList();
    ASSERT_NE(nullptr, pList);
    CReportCtrl& report = pList->GetReport();
    {
        vtest::CDialogDriver driver({"#32770", nullptr, IDD_ALARMEDITOR}, [](HWND hDlg) { EditorOk(hDlg, nullptr); });
        m_pMain->SendMessage(WM_COMMAND, 3000);
        EXPECT_EQ(1, driver.Driven());
    }
    const std::vector<DWORD> rows = Rows(report);
    ASSERT_EQ(2u, rows.size()) << "the list is filled again";
    EXPECT_EQ("New Alarm", Text(report, rows[1], 0));

    m_pMain->SendMessage(UM_STOREALARMLIST);
    m_pMain->CheckAlarms();
    EXPECT_EQ(1, g_nQuickFired);
    for (int i = 1; i <= 2; i++)
    {
        m_seams.m_nNow = (now + CTimeSpan(i)).GetTime();
        m_pMain->SendMessage(UM_STOREALARMLIST);
        m_pMain->CheckAlarms();
    }
    EXPECT_EQ(1, g_nQuickFired);
}

int g_nTestWrites = 0;

// After Test has run the alarm, the main window saves what it did, also when
// the run closed the list (here from inside the alarm's own question).
TEST_F(AlarmListShellTest, TestSavesAfterTheRunAlsoWhenTheRunClosedTheList)
{
    g_nTestWrites = 0;
    g_appSeams.pfnWriteFile = [](LPCSTR, const BYTE*, size_t) -> BOOL {
        g_nTestWrites++;
        return TRUE;
    };
    CAlarm bell = MakeAlarm("Bell", 0);
    bell.m_bAskNotify = TRUE;
    bell.m_bPlaySounds = TRUE;
    bell.m_strSounds = "TRUETRUETRUEC:\\bell.wav***";
    g_alarms.Add(bell);
    CAlarmListDlg* pList = OpenList();
    ASSERT_NE(nullptr, pList);
    ASSERT_NE(RVI_NONE, pList->GetReport().GetSelectedItem());

    int nBoxes = 0;
    int nWritesAtClose = -1;
    m_seams.m_messageBoxAnswers = {IDYES, IDYES};  // "Test the ...", then "Execute ..."
    m_seams.m_fnMessageBoxOpenUntil = [&]() {
        if (++nBoxes == 2)
        {
            m_pMain->SendMessage(WM_HOTKEY, HOTKEY_ALARMLIST, 0);
            nWritesAtClose = g_nTestWrites;
        }
        return true;
    };
    pList->SendMessage(WM_COMMAND, IDC_ALARMLIST_TEST);
    m_seams.m_fnMessageBoxOpenUntil = nullptr;
    EXPECT_EQ(2, nBoxes);
    EXPECT_EQ(nullptr, m_pMain->m_pAlarmListDlg);
    EXPECT_EQ(1, m_seams.CountCalls("PlaySound"));
    ASSERT_GE(nWritesAtClose, 0);
    EXPECT_EQ(nWritesAtClose + 1, g_nTestWrites);
}

// An icon drawn through a 16 x 16 list, as the tray and the list draw theirs.
std::vector<DWORD> IconPixels(HICON hIcon)
{
    CImageList images;
    images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    images.Add(hIcon);
    std::vector<DWORD> pixels = ImagePixels(images, 0);
    images.DeleteImageList();
    return pixels;
}

// An alarm whose icon is the shell's icon of its file (here a folder) shows
// that icon in the tray's "Execute alarm..." item, in its list row and on the
// editor's Info page, and not the fallback.
TEST_F(AlarmListTest, TheShellsIconOfAFileIsTheAlarmsIconEverywhere)
{
    const vtest::CTempFolder folder("veltran_alarmicon");
    CAlarm alarm = MakeAlarm("Folder", 0);
    alarm.m_bCustomIcon = 2;
    alarm.m_strIconFile = folder.Str().c_str();
    alarm.m_bShowInTray = 1;
    g_alarms.Add(alarm);

    SHFILEINFOA info = {};
    ASSERT_NE(0u, ::SHGetFileInfoA(alarm.m_strIconFile, 0, &info, sizeof(info), SHGFI_ICON));
    const std::vector<DWORD> expected = IconPixels(info.hIcon);
    ::DestroyIcon(info.hIcon);
    const std::vector<DWORD> fallback = IconPixels(m_app.LoadIcon(IDI_NEWALARM));
    ASSERT_NE(expected, fallback);

    {
        CShellScope shell;
        CMainDlg main;
        ASSERT_TRUE(main.Create(IDD_MAINDLG));
        ASSERT_EQ(1, main.m_imlAlarmIcons.GetImageCount());
        EXPECT_EQ(expected, ImagePixels(main.m_imlAlarmIcons, 0)) << "the tray";
        main.DestroyWindow();
    }

    CAlarmListDlg& list = Open();
    const DWORD hRow = Rows(list.GetReport())[0];
    EXPECT_EQ(expected, ImagePixels(list.GetImageList(), list.GetReport().GetItemImage(hRow, 0))) << "the list";

    std::vector<DWORD> shown;
    bool bCustomShown = false;
    {
        vtest::CDialogDriver driver({"#32770", nullptr, IDD_ALARMEDITOR}, [&](HWND hDlg) {
            const HWND hCustom = FindDescendant(hDlg, IDC_INFO_CUSTOMICON);
            bCustomShown = (::GetWindowLongA(hCustom, GWL_STYLE) & WS_VISIBLE) != 0;
            shown = IconPixels(reinterpret_cast<HICON>(::SendMessageA(hCustom, STM_GETICON, 0, 0)));
            vtest::PressButton(hDlg, IDCANCEL);
        });
        AlarmRunEditor(alarm);
        EXPECT_EQ(1, driver.Driven());
    }
    EXPECT_TRUE(bCustomShown);
    EXPECT_EQ(expected, shown) << "the Info page";
}
// The options' OK applies the list's colours to the open list at once.
TEST_F(AlarmListShellTest, OptionsOkAppliesTheColoursToTheOpenList)
{
    g_settings.m_crAlarmListBack = RGB(255, 255, 255);
    for (const char* psz : {"A", "B"})
    {
        CAlarm alarm = MakeAlarm(psz, 0);
        g_alarms.Add(alarm);
    }
    CAlarmListDlg* pList = OpenList();
    ASSERT_NE(nullptr, pList);
    const DWORD hUnselected = Rows(pList->GetReport())[1];
    ASSERT_NE(hUnselected, pList->GetReport().GetSelectedItem());
    EXPECT_EQ(RGB(255, 255, 255), pList->GetReport().GetCellBackColor(hUnselected, 2));

    pList->SendMessage(WM_COMMAND, IDC_ALARMLIST_OPTIONS);
    ASSERT_TRUE(CMainDlg::IsOpen(m_pMain->m_pAlarmListOptionsDlg));
    CWnd* pOptions = m_pMain->m_pAlarmListOptionsDlg;
    static_cast<CColourPicker*>(CWnd::FromHandlePermanent(pOptions->GetDlgItem(IDC_ALOPT_LISTBACK)->GetSafeHwnd()))
        ->SetColour(RGB(10, 20, 30));
    pOptions->SendMessage(WM_COMMAND, IDOK);
    vtest::PumpPending();
    EXPECT_EQ(nullptr, m_pMain->m_pAlarmListOptionsDlg);
    EXPECT_EQ(RGB(10, 20, 30), pList->GetReport().GetCellBackColor(hUnselected, 2));
}
} // namespace
