// The shell's window-free rules: the alarm check (each repeat kind,
// re-entry, an array rebuilt under it), the tray menu's items and the hot-key
// plan. The zone is pinned so local times mean the same in both builds.
#include "shell/alarmcheck.h"
#include "shell/hotkeys.h"
#include "shell/traymodel.h"
#include "tests/alarms/timepin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
class ShellModel : public ::testing::Test
{
protected:
    void SetUp() override { m_zone.Pin(TIMEPIN_EAST1_DST); }
    void SetNow(CTime t) { m_clock.Set(t.GetTime()); }

    CTimePin m_zone;
    CClockPin m_clock;
};

void AddAlarm(CAlarmArray& alarms, CAlarm alarm)
{
    alarms.Add(alarm);
}

// A usable schedule of each kind, due at now.
CAlarm DueAlarm(int nRepeat, CTime now)
{
    CAlarm a;
    a.m_bEnabled = 1;
    a.m_nRepeat = nRepeat;
    a.m_time = CTime(2023, 3, 6, 10, 0, 0);
    a.m_nSecondPreset = 0;   // every second
    a.m_nMinutePreset = 0;   // every minute
    a.m_nMinuteOfHour = 0;
    a.m_nDays = ALARMDAYS_ALL;
    a.m_nWeekDay = 2;
    a.m_nMonthDay = 6;
    a.m_nYearDay = 6;
    a.m_nYearMonth = 2;
    a.m_timeNext = now;
    a.m_timeLastRun = now - CTimeSpan(3600);
    return a;
}

TEST_F(ShellModel, EachKindFiresOnceAndMovesOnPastTheFiring)
{
    const CTime now(2023, 3, 6, 10, 0, 0);  // a Monday at 10:00, the schedules' time of day
    for (int nRepeat = ALARM_ONCE; nRepeat <= ALARM_ANNUALLY; nRepeat++)
    {
        SetNow(now);
        CAlarmArray alarms;
        AddAlarm(alarms, DueAlarm(nRepeat, now));
        std::vector<CAlarm> executed;
        CAlarmCheck check;
        const CAlarmCheck::EXECUTE fnRecord = [&](const CAlarm& a) { executed.push_back(a); };
        EXPECT_EQ(1, check.Run(alarms, fnRecord)) << "kind " << nRepeat;
        EXPECT_EQ(0, check.Run(alarms, fnRecord)) << "kind " << nRepeat << ": twice in one second";
        ASSERT_EQ(1u, executed.size());
        EXPECT_EQ(now, executed[0].m_timeNext) << "the copy is taken before the update";
        EXPECT_EQ(1, alarms[0].m_nStarts);
        EXPECT_EQ(now, alarms[0].m_timeLastRun);
        if (nRepeat == ALARM_ONCE)
            EXPECT_EQ(alarms[0].m_time, alarms[0].m_timeNext);
        else
            EXPECT_GT(alarms[0].m_timeNext, now) << "kind " << nRepeat;
    }
}

// What the array holds at each save and while the alarm runs: the moved times
// are in before it runs (so a nested pass cannot fire it again and a file
// written meanwhile has them), the start only after it has run.
TEST_F(ShellModel, AFiringIsStoredAndSavedBeforeItRunsAndSavedAgainWithItsStart)
{
    const CTime now(2023, 3, 6, 10, 0, 0);
    SetNow(now);
    CAlarmArray alarms;
    AddAlarm(alarms, DueAlarm(ALARM_DAILY, now - CTimeSpan(86400)));  // due since yesterday
    alarms[0].m_timeNext = now;
    const CTime nextDay = now + CTimeSpan(86400);
    std::vector<std::string> events;
    auto state = [&](const char* pszWhen) {
        const CAlarm& a = alarms[0];
        events.push_back(std::string(pszWhen) + (a.m_timeNext == nextDay ? " next" : " old-next") +
                         (a.m_timeLastRun == now ? " run" : " old-run") + " starts " + std::to_string(a.m_nStarts));
    };
    CAlarmCheck check;
    EXPECT_EQ(1, check.Run(alarms, [&](const CAlarm&) { state("execute"); }, [&] { state("save"); }));
    EXPECT_EQ((std::vector<std::string>{"save next run starts 0", "execute next run starts 0",
                                        "save next run starts 1"}),
              events);
    // Nothing fired, nothing saved; without a save function the firing still counts.
    events.clear();
    EXPECT_EQ(0, check.Run(alarms, [&](const CAlarm&) { state("execute"); }, [&] { state("save"); }));
    EXPECT_TRUE(events.empty());
    SetNow(nextDay);
    EXPECT_EQ(1, check.Run(alarms, [](const CAlarm&) {}));
    EXPECT_EQ(2, alarms[0].m_nStarts);
}

TEST_F(ShellModel, DecisionsAtTheEdges)
{
    const CTime now(2023, 3, 6, 10, 0, 0);
    const CTime later = now + CTimeSpan(60);
    struct CCase
    {
        const char* pszName;
        BOOL bEnabled;
        int nRepeat;
        LONGLONG nNext, nLastRun;  // relative to now
        CTime next;
        ALARMDECISION nExpected;
    };
    const CCase cases[] = {
        {"disabled and due", FALSE, ALARM_DAILY, 0, -60, later, ALARMCHECK_DISABLED},
        {"one second early", TRUE, ALARM_DAILY, 1, -60, later, ALARMCHECK_WAIT},
        {"due this second", TRUE, ALARM_DAILY, 0, -60, later, ALARMCHECK_FIRE},
        {"once, passed while closed", TRUE, ALARM_ONCE, -86400, -90000, later, ALARMCHECK_FIRE},
        {"once, already run", TRUE, ALARM_ONCE, -86400, -86400, later, ALARMCHECK_WAIT},
        {"repeating, stuck on its last run", TRUE, ALARM_SECONDS, -5, -5, later, ALARMCHECK_RESCHEDULE},
        {"repeating, stuck, no next time", TRUE, ALARM_SECONDS, -5, -5, CTime(), ALARMCHECK_WAIT},
    };
    for (const CCase& c : cases)
    {
        CAlarmSchedule s;
        s.m_bEnabled = c.bEnabled;
        s.m_nRepeat = c.nRepeat;
        s.m_timeNext = now + CTimeSpan(c.nNext);
        s.m_timeLastRun = now + CTimeSpan(c.nLastRun);
        EXPECT_EQ(c.nExpected, DecideAlarm(s, now, c.next)) << c.pszName;
    }
}

TEST_F(ShellModel, StuckRepeatingAlarmIsRescheduledAndDisabledIsLeftAlone)
{
    const CTime now(2023, 3, 6, 10, 0, 0);
    SetNow(now);
    CAlarmArray alarms;
    AddAlarm(alarms, DueAlarm(ALARM_SECONDS, now));
    alarms[0].m_timeLastRun = alarms[0].m_timeNext;
    AddAlarm(alarms, DueAlarm(ALARM_DAILY, now));
    alarms[1].m_bEnabled = 0;
    int nFired = 0;
    CAlarmCheck check;
    const CAlarmCheck::EXECUTE fnCount = [&](const CAlarm&) { nFired++; };
    check.Run(alarms, fnCount);
    EXPECT_EQ(0, nFired);
    EXPECT_EQ(now + CTimeSpan(1), alarms[0].m_timeNext);
    EXPECT_EQ(now, alarms[1].m_timeNext);
    SetNow(now + CTimeSpan(1));
    check.Run(alarms, fnCount);
    EXPECT_EQ(1, nFired);
}

// The executor re-enters the check (a box pumps the timer) and rewrites the
// array under it, as the alarm list does from its rows.
TEST_F(ShellModel, ReentryFiresOthersNeverTheSameAndFindsTheFiredAlarmByIdentity)
{
    const CTime now(2023, 3, 6, 10, 0, 0);
    SetNow(now);
    CAlarmArray alarms;
    for (int i = 0; i < 3; i++)
    {
        AddAlarm(alarms, DueAlarm(ALARM_DAILY, now));
        alarms[i].m_strName.Format("A%d", i);
    }
    AlarmEnsureIdentities(alarms);
    std::vector<CAlarm> stale;  // rows taken before anything ran
    for (INT_PTR i = 0; i < alarms.GetSize(); i++)
        stale.push_back(alarms[i]);
    CAlarmCheck check;
    std::vector<CString> order;
    CAlarmCheck::EXECUTE fnExecute = [&](const CAlarm& a) {
        order.push_back(a.m_strName);
        if (a.m_strName == "A0")
        {
            check.Run(alarms, fnExecute);  // the nested pass fires A1 and A2, not A0
            // The list writes back its old rows without A1, in another order.
            alarms.RemoveAll();
            AddAlarm(alarms, stale[2]);
            AddAlarm(alarms, stale[0]);
            check.Run(alarms, fnExecute);  // stale A0 is still executing, stale A2 already ran
        }
    };
    check.Run(alarms, fnExecute);
    EXPECT_EQ((std::vector<CString>{"A0", "A1", "A2"}), order);
    EXPECT_EQ(now, alarms[0].m_timeLastRun) << "the stale A2 row counts its firing";
    ASSERT_EQ(2, alarms.GetSize());
    EXPECT_EQ(CString("A0"), alarms[1].m_strName);
    EXPECT_EQ(1, alarms[1].m_nStarts);
    EXPECT_EQ(now, alarms[1].m_timeLastRun) << "the stale row's times are moved past the firing";
    EXPECT_GT(alarms[1].m_timeNext, now);
    // Nothing fires again in the same second.
    EXPECT_EQ(0, check.Run(alarms, fnExecute));
}

TEST_F(ShellModel, PassSurvivesTheArrayEmptiedByTheExecutor)
{
    const CTime now(2023, 3, 6, 10, 0, 0);
    SetNow(now);
    CAlarmArray alarms;
    AddAlarm(alarms, DueAlarm(ALARM_DAILY, now));
    AddAlarm(alarms, DueAlarm(ALARM_DAILY, now));
    CAlarmCheck check;
    int nFired = 0;
    EXPECT_EQ(1, check.Run(alarms, [&](const CAlarm&) {
        nFired++;
        alarms.RemoveAll();
    }));
    EXPECT_EQ(0, alarms.GetSize());
}

TEST(ShellIdentity, CopiesKeepIdentityRepeatsGetNewOnes)
{
    CAlarmArray alarms;
    alarms.SetSize(2);
    AlarmEnsureIdentities(alarms);
    const DWORD n0 = alarms[0].m_nIdentity;
    EXPECT_NE(0u, n0);
    EXPECT_NE(n0, alarms[1].m_nIdentity);
    AddAlarm(alarms, alarms[0]);  // a clone
    AlarmEnsureIdentities(alarms);
    EXPECT_EQ(n0, alarms[0].m_nIdentity);
    EXPECT_NE(n0, alarms[2].m_nIdentity);
    EXPECT_EQ(2, AlarmFindByIdentity(alarms, alarms[2].m_nIdentity));
    EXPECT_EQ(-1, AlarmFindByIdentity(alarms, 0));
}

void CollectCommands(const std::vector<CTrayMenuItem>& items, std::multiset<UINT>& ids)
{
    for (const CTrayMenuItem& item : items)
    {
        if (item.m_nKind == TRAYITEM_COMMAND)
            ids.insert(item.m_nID);
        CollectCommands(item.m_subItems, ids);
    }
}

const CTrayMenuItem* FindPopup(const std::vector<CTrayMenuItem>& items, LPCSTR pszText)
{
    for (const CTrayMenuItem& item : items)
    {
        if (item.m_nKind == TRAYITEM_POPUP && item.m_strText == pszText)
            return &item;
        if (const CTrayMenuItem* p = FindPopup(item.m_subItems, pszText))
            return p;
    }
    return nullptr;
}

TEST(ShellTrayModel, EveryCommandOnceAndTheAlarmItemsFromTheArray)
{
    CAlarmArray alarms;
    alarms.SetSize(3);
    alarms[0].m_strName = "Tea";
    alarms[0].m_bShowInTray = 1;
    alarms[1].m_strName = "Hidden";
    alarms[2].m_strName = "Bus";
    alarms[2].m_bShowInTray = 1;

    std::multiset<UINT> ids;
    CollectCommands(BuildTrayMenuModel(alarms), ids);
    std::multiset<UINT> expected = {2001, 2002, 2003, 2004, 2006, 2007, 2008, 2009, 2010, 2011, 2012, 2017, 2018,
                                    2019, 2020, 2021, 2022, 2023, 2024, 2025, 2026, 2027, 2028, 2029, 5000, 5002};
    for (UINT n = 3000; n <= 3067; n++)
        if (n != 3017)
            expected.insert(n);
    EXPECT_EQ(expected, ids);

    const std::vector<CTrayMenuItem> model = BuildTrayMenuModel(alarms);
    const CTrayMenuItem* pExecute = FindPopup(model, "Execute alarm...");
    ASSERT_NE(nullptr, pExecute);
    ASSERT_EQ(2u, pExecute->m_subItems.size());
    EXPECT_EQ(CString("Bus"), pExecute->m_subItems[1].m_strText);
    EXPECT_EQ(2, pExecute->m_subItems[1].m_nAlarm);
    EXPECT_EQ(370u, pExecute->m_nIcon);
    EXPECT_EQ(CString("Exit Veltran Clock"), model.back().m_strText);
    EXPECT_EQ(290u, model.back().m_nIcon);
    const CTrayMenuItem* pIn = FindPopup(model, "In");
    ASSERT_NE(nullptr, pIn);
    EXPECT_EQ(CString("55 min"), pIn->m_subItems[10].m_strText);
    EXPECT_EQ(CString("6 hours"), pIn->m_subItems[17].m_strText);
    EXPECT_EQ(3018u, pIn->m_subItems[17].m_nID);

    alarms[0].m_bShowInTray = alarms[2].m_bShowInTray = 0;
    const std::vector<CTrayMenuItem> empty = BuildExecuteAlarmItems(alarms);
    ASSERT_EQ(1u, empty.size());
    EXPECT_EQ(CString("Empty"), empty[0].m_strText);
    EXPECT_TRUE(empty[0].m_bGrayed);
    EXPECT_EQ(2000u, empty[0].m_nID);
}

TEST(ShellHotKeys, ModifiersAndPlan)
{
    static const UINT s_table[][2] = {{0, 0}, {1, 4}, {2, 2}, {4, 1}, {7, 7}, {8, 0}, {0xFF, 7}, {3, 6}};
    for (const auto& row : s_table)
        EXPECT_EQ(row[1], HotKeyFlagsToModifiers(row[0])) << row[0];

    CSettings settings;
    settings.m_hkCalendar = {'C', 3, 0};
    CAlarmArray alarms;
    alarms.SetSize(2);
    alarms[1].m_wHotKeyVK = 'Q';
    alarms[1].m_wHotKeyMods = 4;
    AlarmEnsureIdentities(alarms);
    const std::vector<CHotKeyEntry> plan = BuildHotKeyPlan(settings, alarms);
    ASSERT_EQ(7u, plan.size());
    for (size_t i = 0; i < plan.size(); i++)
        EXPECT_EQ(static_cast<int>(i), plan[i].nID);
    EXPECT_EQ(6u, plan[2].nModifiers);
    EXPECT_EQ(static_cast<UINT>('C'), plan[2].nVirtualKey);
    EXPECT_EQ(1u, plan[6].nModifiers);
    EXPECT_EQ(alarms[1].m_nIdentity, plan[6].nAlarmIdentity);
    EXPECT_EQ(0u, plan[0].nAlarmIdentity);
}
} // namespace
