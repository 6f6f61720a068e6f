// The alarm list's row rules: the time-left and row texts at their edges, the
// rename rule, and the store of rows into an array the alarm check changed.
#include "alarms/alarmlistmodel.h"
#include "timepin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
TEST(AlarmListModel, TimeLeftText)
{
    const struct
    {
        LONGLONG nSeconds;
        const char* pszText;
    } cases[] = {
        {86400 + 3600 + 60 + 1, "1 day , 01 hour , 01 minute , 01 second "},
        {86400 + 2 * 3600 + 3 * 60 + 4, "1 day , 02 hours, 03 minutes, 04 seconds"},
        {59, "0 days, 00 hours, 00 minutes, 59 seconds"},
        {1, "0 days, 00 hours, 00 minutes, 01 second "},
        {3600, "0 days, 01 hour , 00 minutes, 00 seconds"},
        {12 * 86400 + 23 * 3600 + 59 * 60 + 59, "12 days, 23 hours, 59 minutes, 59 seconds"},
        {0, "Expired"},
        {-61, "Expired"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(c.pszText), std::string(AlarmListFormatTimeLeft(CTimeSpan(c.nSeconds))))
            << c.nSeconds;
}

TEST(AlarmListModel, RenameRule)
{
    const struct
    {
        const char* pszName;
        int nAnswer;
    } cases[] = {
        {"invalid text", ALARMNAME_REFUSE},   {"INVALID Text", ALARMNAME_REFUSE},
        {"continue", ALARMNAME_KEEPEDITING},  {"Continue", ALARMNAME_KEEPEDITING},
        {"invalid text ", ALARMNAME_ACCEPT},  {"continued", ALARMNAME_ACCEPT},
        {"", ALARMNAME_ACCEPT},               {"Tea", ALARMNAME_ACCEPT},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.nAnswer, AlarmListCheckName(c.pszName)) << c.pszName;
}

class AlarmListRowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_zone.Pin(TIMEPIN_EAST3);
        m_now = CTime(2026, 12, 5, 20, 0, 0);
        m_clock.Set(m_now.GetTime());
    }
    CAlarm Once(CTime when)
    {
        CAlarm alarm;
        alarm.m_bEnabled = TRUE;
        alarm.m_nRepeat = ALARM_ONCE;
        alarm.m_time = when;
        alarm.m_timeLastRun = CTime(2026, 12, 1, 7, 5, 9);
        return alarm;
    }
    CTimePin m_zone;
    CClockPin m_clock;
    CTime m_now;
};

// Columns: check state, used-alarm action; what the row and the panel show.
TEST_F(AlarmListRowTest, RowTexts)
{
    const CAlarm future = Once(CTime(2026, 12, 5, 20, 45, 0));
    const CAlarm past = Once(CTime(2026, 12, 5, 19, 0, 0));
    const struct
    {
        const CAlarm* pAlarm;
        int nCheck;
        int nUsedAction;
        BOOL bRemove;
        const char* pszTime;
        const char* pszLeft;
        const char* pszStatus;
    } cases[] = {
        {&future, 1, 1, FALSE, "Saturday, December 05, 2026, 20:45:00", "0 days, 00 hours, 45 minutes, 00 seconds",
         "Active"},
        {&future, 1, 0, FALSE, "Saturday, December 05, 2026, 20:45:00", "0 days, 00 hours, 45 minutes, 00 seconds",
         "Active"},
        {&past, 1, 1, FALSE, "Saturday, December 05, 2026, 19:00:00", "Expired", "Expired"},
        {&future, 0, 1, FALSE, "Not actual", "Not actual", "Active"},
        {&future, 2, 1, FALSE, "Not actual", "Not actual", "Active"},  // only 1 counts as enabled
        {&future, 0, 0, TRUE, "", "", ""},
        {&past, 2, 0, TRUE, "", "", ""},
    };
    for (const auto& c : cases)
    {
        const CAlarmRowTexts texts = AlarmListRowTexts(*c.pAlarm, c.nCheck, c.nUsedAction);
        SCOPED_TRACE(std::string(c.pszTime) + " check " + std::to_string(c.nCheck));
        EXPECT_EQ(c.bRemove, texts.m_bRemove);
        EXPECT_EQ(std::string(c.pszTime), std::string(texts.m_strTime));
        EXPECT_EQ(std::string(c.pszLeft), std::string(texts.m_strLeft));
        EXPECT_EQ(std::string(c.pszStatus), std::string(texts.m_strStatus));
        if (!c.bRemove)
        {
            EXPECT_EQ(std::string(texts.m_strTime), std::string(texts.m_strNextRun));
            EXPECT_EQ("Tuesday, December 01, 2026, 07:05:09", std::string(texts.m_strLastRun));
        }
    }
    // A disabled row still tells the panel how long its time has left.
    EXPECT_EQ("0 days, 00 hours, 45 minutes, 00 seconds", std::string(AlarmListRowTexts(future, 0, 1).m_strTimeLeft));
}

TEST_F(AlarmListRowTest, NewAlarmStartsNowAndFiresAtItsTime)
{
    LOGFONTA lf = {};
    lf.lfHeight = -13;
    CAlarm alarm;
    AlarmListInitNewAlarm(alarm, m_now, 800, 600, lf);
    EXPECT_EQ("New Alarm", std::string(alarm.m_strName));
    EXPECT_TRUE(alarm.m_bEnabled);
    EXPECT_EQ(ALARM_ONCE, alarm.m_nRepeat);
    EXPECT_EQ(m_now, alarm.m_time);
    EXPECT_EQ(1, alarm.m_nSoundExtra);
    EXPECT_EQ(200, alarm.m_rcMessage.left);
    EXPECT_EQ(450, alarm.m_rcMessage.bottom);
    EXPECT_EQ(-13, alarm.m_lfMessage.lfHeight);
    alarm.m_time = CTime(2026, 12, 6, 8, 0, 0);
    AlarmListSetStart(alarm, m_now);
    EXPECT_EQ(alarm.m_time, alarm.m_timeNext);
    EXPECT_EQ(m_now, alarm.m_timeLastRun);
    EXPECT_NE(AlarmListNewIdentity(), AlarmListNewIdentity());
}

// --- the store ---------------------------------------------------------------

CAlarm Named(const char* pszName, DWORD nIdentity, LONGLONG tNext, LONGLONG tLast, int nStarts)
{
    CAlarm alarm;
    alarm.m_strName = pszName;
    alarm.m_nIdentity = nIdentity;
    alarm.m_timeNext = CTime(tNext);
    alarm.m_timeLastRun = CTime(tLast);
    alarm.m_nStarts = nStarts;
    return alarm;
}

std::string Names(const CAlarmArray& alarms)
{
    std::string str;
    for (INT_PTR i = 0; i < alarms.GetSize(); i++)
        str += std::string(alarms[i].m_strName) + "/" + std::to_string(alarms[i].m_nIdentity) + " ";
    return str;
}

class AlarmListStoreTest : public ::testing::Test
{
protected:
    // The array C, A, B as the list found it; the rows sorted by name and
    // given fresh times at opening (next 1500, last run 1000).
    void SetUp() override
    {
        for (CAlarm alarm : {Named("C", 903, 500, 100, 3), Named("A", 901, 500, 100, 1), Named("B", 902, 500, 100, 2)})
            m_array.Add(alarm);
        for (INT_PTR i = 0; i < m_array.GetSize(); i++)
            m_store.Took(m_array[i]);
        for (const char* psz : {"A", "B", "C"})
        {
            for (INT_PTR i = 0; i < m_array.GetSize(); i++)
            {
                if (m_array[i].m_strName == psz)
                {
                    CAlarm row = m_array[i];
                    row.m_timeNext = CTime(1500);
                    row.m_timeLastRun = CTime(1000);
                    m_rows.push_back(row);
                }
            }
        }
    }
    // The alarm check fired the alarm of that identity at tFired.
    void Fire(DWORD nIdentity, LONGLONG tFired, LONGLONG tNext)
    {
        const INT_PTR i = AlarmFindByIdentity(m_array, nIdentity);
        ASSERT_GE(i, 0);
        m_array[i].m_timeLastRun = CTime(tFired);
        m_array[i].m_timeNext = CTime(tNext);
        m_array[i].m_nStarts++;
    }
    const CAlarm& InArray(DWORD nIdentity)
    {
        const INT_PTR i = AlarmFindByIdentity(m_array, nIdentity);
        EXPECT_GE(i, 0);
        return m_array[i < 0 ? 0 : i];
    }
    CAlarmArray m_array;
    std::vector<CAlarm> m_rows;
    CAlarmListStore m_store;
};

TEST_F(AlarmListStoreTest, TheArrayTakesTheListsOrderAndTheRowsTimes)
{
    m_store.Store(m_rows, m_array);
    EXPECT_EQ("A/901 B/902 C/903 ", Names(m_array));
    EXPECT_EQ(CTime(1500), InArray(902).m_timeNext);
    EXPECT_EQ(CTime(1000), InArray(902).m_timeLastRun);
    EXPECT_EQ(2, InArray(902).m_nStarts);
    // Stored again unchanged: the same array.
    m_store.Store(m_rows, m_array);
    EXPECT_EQ("A/901 B/902 C/903 ", Names(m_array));
    EXPECT_EQ(CTime(1500), InArray(902).m_timeNext);
}

// Fired before the first store and again between two stores: each time the
// check's times and count survive, in the array and in the row.
TEST_F(AlarmListStoreTest, WhatTheCheckWroteMeanwhileSurvives)
{
    Fire(902, 1500, 2500);
    m_store.Store(m_rows, m_array);
    EXPECT_EQ(CTime(2500), InArray(902).m_timeNext);
    EXPECT_EQ(CTime(1500), InArray(902).m_timeLastRun);
    EXPECT_EQ(3, InArray(902).m_nStarts);
    EXPECT_EQ(CTime(2500), m_rows[1].m_timeNext);
    EXPECT_EQ(3, m_rows[1].m_nStarts);

    Fire(902, 2500, 3500);
    Fire(901, 1500, 9000);
    m_store.Store(m_rows, m_array);
    EXPECT_EQ(CTime(3500), InArray(902).m_timeNext);
    EXPECT_EQ(4, InArray(902).m_nStarts);
    EXPECT_EQ(CTime(9000), InArray(901).m_timeNext);
    EXPECT_EQ(2, InArray(901).m_nStarts);
    EXPECT_EQ(3, InArray(903).m_nStarts);  // untouched by the check
    EXPECT_EQ(3, m_array.GetSize());
}

// The user edited B while the check fired it: the edit's later next time and
// its schedule stay, the check's last run and count join them.
TEST_F(AlarmListStoreTest, AnEditAndAFiringJoin)
{
    m_store.Store(m_rows, m_array);
    Fire(902, 1500, 2500);
    m_rows[1].m_nRepeat = ALARM_DAILY;
    m_rows[1].m_timeNext = CTime(5000);
    m_rows[1].m_timeLastRun = CTime(1600);
    m_store.Store(m_rows, m_array);
    EXPECT_EQ(ALARM_DAILY, InArray(902).m_nRepeat);
    EXPECT_EQ(CTime(5000), InArray(902).m_timeNext);
    EXPECT_EQ(CTime(1600), InArray(902).m_timeLastRun);
    EXPECT_EQ(3, InArray(902).m_nStarts);
}

// Removed in the list, added from elsewhere, made in the list, cloned with
// the source's identity: nothing removed comes back, nothing is lost or doubled.
TEST_F(AlarmListStoreTest, RowsAndArrayMembersAreNeitherLostNorDoubled)
{
    m_store.Store(m_rows, m_array);
    m_rows.erase(m_rows.begin());  // A removed in the list
    CAlarm quick = Named("Quick", 950, 700, 100, 0);  // a quick alarm added meanwhile
    m_array.Add(quick);
    CAlarm made = Named("New", AlarmListNewIdentity(), 800, 100, 0);
    m_store.Made(made);
    m_rows.insert(m_rows.begin() + 1, made);  // after B
    CAlarm clone = m_rows.back();              // a copy of C, identity and all
    m_rows.push_back(clone);
    m_store.Store(m_rows, m_array);
    ASSERT_EQ(5, m_array.GetSize()) << Names(m_array);
    EXPECT_EQ(-1, AlarmFindByIdentity(m_array, 901));
    EXPECT_EQ("B", std::string(m_array[0].m_strName));
    EXPECT_EQ("New", std::string(m_array[1].m_strName));
    EXPECT_EQ(made.m_nIdentity, m_array[1].m_nIdentity);
    EXPECT_EQ("C", std::string(m_array[2].m_strName));
    EXPECT_EQ(903u, m_array[2].m_nIdentity);
    EXPECT_EQ("C", std::string(m_array[3].m_strName));
    EXPECT_NE(903u, m_array[3].m_nIdentity);
    EXPECT_NE(0u, m_array[3].m_nIdentity);
    EXPECT_EQ(m_array[3].m_nIdentity, m_rows.back().m_nIdentity);
    EXPECT_EQ("Quick", std::string(m_array[4].m_strName));
    // A second store keeps exactly these.
    m_store.Store(m_rows, m_array);
    EXPECT_EQ(5, m_array.GetSize()) << Names(m_array);
}
} // namespace
