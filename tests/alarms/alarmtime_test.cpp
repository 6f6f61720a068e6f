#include "alarms/alarmtime.h"
#include "timepin.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
bool IsLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

// The reference for expected instants: days summed year by year, a way of
// counting that shares nothing with the product's.
long long UtcInstant(int y, int mo, int d, int h, int mi, int s)
{
    static const int s_nBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    long long nDays = 0;
    for (int yy = 1970; yy < y; yy++)
        nDays += IsLeap(yy) ? 366 : 365;
    nDays += s_nBefore[mo - 1] + ((mo > 2 && IsLeap(y)) ? 1 : 0) + d - 1;
    return nDays * 86400 + h * 3600LL + mi * 60LL + s;
}

// The main tables run in a zone three hours east of UTC without daylight
// saving, so a mix-up of local time and UTC moves every result.
const long long kEastOffset = 3 * 3600;

long long L(int y, int mo, int d, int h, int mi, int s)
{
    return UtcInstant(y, mo, d, h, mi, s) - kEastOffset;
}

class AlarmTimeTest : public ::testing::Test
{
protected:
    void SetUp() override { m_zone.Pin(TIMEPIN_EAST3); }

    long long NextAt(long long tNow, const CAlarmSchedule& schedule)
    {
        m_clock.Set(tNow);
        return static_cast<long long>(CAlarmTime().GetNextTime(schedule).GetTime());
    }

    static CAlarmSchedule Schedule(int nRepeat)
    {
        CAlarmSchedule s;
        s.m_nRepeat = nRepeat;
        s.m_time = CTime(static_cast<LONGLONG>(L(2020, 6, 15, 8, 0, 0)));   // time of day 08:00:00
        return s;
    }

    static CAlarmSchedule Seconds(int nPreset, const char* pszList = "")
    {
        CAlarmSchedule s = Schedule(ALARM_SECONDS);
        s.m_nSecondPreset = nPreset;
        s.m_strSecondList = pszList;
        return s;
    }

    static CAlarmSchedule Minutes(int nPreset, const char* pszList = "")
    {
        CAlarmSchedule s = Schedule(ALARM_MINUTES);
        s.m_nMinutePreset = nPreset;
        s.m_strMinuteList = pszList;
        return s;
    }

    static CAlarmSchedule Daily(int nDays, const char* pszDays = "")
    {
        CAlarmSchedule s = Schedule(ALARM_DAILY);
        s.m_nDays = nDays;
        s.m_strWeekDays = pszDays;
        return s;
    }

    CTimePin m_zone;
    CClockPin m_clock;
};

// --- kind 1, seconds ----------------------------------------------------

TEST_F(AlarmTimeTest, SecondsCarryIntoMinuteHourDayAndYear)
{
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 59, 58), Seconds(4)), L(2024, 5, 6, 11, 0, 0));
    EXPECT_EQ(NextAt(L(2023, 12, 31, 23, 59, 58), Seconds(4)), L(2024, 1, 1, 0, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 2, 28, 23, 59, 58), Seconds(8, "00")), L(2024, 2, 29, 0, 0, 0));
    EXPECT_EQ(NextAt(L(2023, 2, 28, 23, 59, 58), Seconds(8, "00")), L(2023, 3, 1, 0, 0, 0));
    EXPECT_EQ(NextAt(L(2000, 2, 28, 23, 59, 58), Seconds(8, "00")), L(2000, 2, 29, 0, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 4, 30, 23, 59, 59), Seconds(0)), L(2024, 5, 1, 0, 0, 0));
}

TEST_F(AlarmTimeTest, SecondsAcceptATieWithNow)
{
    // Now is the current time plus one second; a listed second equal to it counts.
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 20, 4), Seconds(8, "05")), L(2024, 5, 6, 10, 20, 5));
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 20, 5), Seconds(8, "05")), L(2024, 5, 6, 10, 21, 5));
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 0, 0), Seconds(0)), L(2024, 5, 6, 10, 0, 1));
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 0, 0), Seconds(1)), L(2024, 5, 6, 10, 0, 2));
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 0, 1), Seconds(2)), L(2024, 5, 6, 10, 0, 3));
}

TEST_F(AlarmTimeTest, SecondListsReadTheWayAtoiDoes)
{
    const long long tNow = L(2024, 5, 6, 10, 20, 5);
    const long long tNext = L(2024, 5, 6, 10, 21, 5);
    EXPECT_EQ(NextAt(tNow, Seconds(8, "05")), tNext);
    EXPECT_EQ(NextAt(tNow, Seconds(8, "5")), tNext);    // a last single character
    EXPECT_EQ(NextAt(tNow, Seconds(8, " 5")), tNext);   // leading blank
    EXPECT_EQ(NextAt(tNow, Seconds(8, "+5")), tNext);
    EXPECT_EQ(NextAt(tNow, Seconds(8, "0030")), L(2024, 5, 6, 10, 20, 30));
    EXPECT_EQ(NextAt(tNow, Seconds(8, "3005")), L(2024, 5, 6, 10, 20, 30));   // order does not matter
    EXPECT_EQ(NextAt(tNow, Seconds(8, "305")), L(2024, 5, 6, 10, 20, 30));    // "30" and "5"
    // "x5" has no leading digit and reads as 0.
    EXPECT_EQ(NextAt(tNow, Seconds(8, "x5")), L(2024, 5, 6, 10, 21, 0));
    // Out of range values are ignored.
    EXPECT_EQ(NextAt(tNow, Seconds(8, "-560")), L(2024, 5, 6, 10, 22, 0));   // "-5" and "60": none usable
    EXPECT_EQ(NextAt(tNow, Seconds(8, "7540")), L(2024, 5, 6, 10, 20, 40));
}

TEST_F(AlarmTimeTest, SecondListsWithoutUsableValues)
{
    const long long tNow = L(2024, 5, 6, 10, 20, 5);
    // Only out-of-range numbers: second 60 of the following minute.
    EXPECT_EQ(NextAt(tNow, Seconds(8, "6070")), L(2024, 5, 6, 10, 22, 0));
    // Empty lists and unknown presets have no time.
    EXPECT_EQ(NextAt(tNow, Seconds(8, "")), 0);
    EXPECT_EQ(NextAt(tNow, Seconds(9)), 0);
    EXPECT_EQ(NextAt(tNow, Seconds(-1)), 0);
    EXPECT_EQ(NextAt(tNow, Seconds(INT_MIN)), 0);
}

// --- kind 2, minutes ----------------------------------------------------

TEST_F(AlarmTimeTest, MinutesMustBeStrictlyAfterNow)
{
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 14, 58), Minutes(5)), L(2024, 5, 6, 10, 15, 0));
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 14, 59), Minutes(5)), L(2024, 5, 6, 10, 30, 0));
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 45, 0), Minutes(5)), L(2024, 5, 6, 11, 0, 0));
    EXPECT_EQ(NextAt(L(2023, 12, 31, 23, 59, 0), Minutes(7)), L(2024, 1, 1, 0, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 14, 0), Minutes(0)), L(2024, 5, 6, 10, 15, 0));
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 10, 0), Minutes(8, "5520")), L(2024, 5, 6, 10, 20, 0));
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 10, 0), Minutes(8, " 5")), L(2024, 5, 6, 11, 5, 0));
    // Only out-of-range minutes: minute 60 of the next hour.
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 20, 0), Minutes(8, "6070")), L(2024, 5, 6, 12, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 20, 0), Minutes(8, "")), 0);
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 20, 0), Minutes(12)), 0);
}

// --- kind 3, hourly -----------------------------------------------------

TEST_F(AlarmTimeTest, HourlyTakesTheMinuteOfThisOrTheNextHour)
{
    CAlarmSchedule s = Schedule(ALARM_HOURLY);
    s.m_nMinuteOfHour = 15;
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 14, 58), s), L(2024, 5, 6, 10, 15, 0));
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 14, 59), s), L(2024, 5, 6, 11, 15, 0));
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 15, 0), s), L(2024, 5, 6, 11, 15, 0));
    EXPECT_EQ(NextAt(L(2024, 2, 29, 23, 30, 0), s), L(2024, 3, 1, 0, 15, 0));
    EXPECT_EQ(NextAt(L(2024, 12, 31, 23, 30, 0), s), L(2025, 1, 1, 0, 15, 0));
    // A stored minute beyond the hour carries, with no overflow for the largest.
    s.m_nMinuteOfHour = 75;
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 20, 0), s), L(2024, 5, 6, 11, 15, 0));
    s.m_nMinuteOfHour = INT_MAX;
    EXPECT_EQ(NextAt(L(2024, 5, 6, 10, 20, 0), s), 0);
}

// --- kinds 4 and 5, days of the week ------------------------------------

TEST_F(AlarmTimeTest, DailyWorkDaysAndWeekendAcrossTheWeekEnd)
{
    // 8 March 2024 is a Friday.
    EXPECT_EQ(NextAt(L(2024, 3, 8, 9, 0, 0), Daily(ALARMDAYS_WORK)), L(2024, 3, 11, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 3, 8, 7, 0, 0), Daily(ALARMDAYS_WORK)), L(2024, 3, 8, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 3, 9, 9, 0, 0), Daily(ALARMDAYS_WORK)), L(2024, 3, 11, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 3, 8, 9, 0, 0), Daily(ALARMDAYS_WEEKEND)), L(2024, 3, 9, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 3, 9, 9, 0, 0), Daily(ALARMDAYS_WEEKEND)), L(2024, 3, 10, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 3, 10, 9, 0, 0), Daily(ALARMDAYS_WEEKEND)), L(2024, 3, 16, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 3, 7, 9, 0, 0), Daily(ALARMDAYS_CUSTOM, "4")), L(2024, 3, 13, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 3, 7, 9, 0, 0), Daily(ALARMDAYS_CUSTOM, "x1y")), L(2024, 3, 10, 8, 0, 0));
}

TEST_F(AlarmTimeTest, DailyTieWithNowMovesToTheNextDay)
{
    EXPECT_EQ(NextAt(L(2024, 3, 8, 7, 59, 58), Daily(ALARMDAYS_ALL)), L(2024, 3, 8, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 3, 8, 7, 59, 59), Daily(ALARMDAYS_ALL)), L(2024, 3, 9, 8, 0, 0));
    // Month and year ends.
    EXPECT_EQ(NextAt(L(2024, 1, 31, 9, 0, 0), Daily(ALARMDAYS_ALL)), L(2024, 2, 1, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 2, 29, 9, 0, 0), Daily(ALARMDAYS_ALL)), L(2024, 3, 1, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2023, 12, 31, 9, 0, 0), Daily(ALARMDAYS_ALL)), L(2024, 1, 1, 8, 0, 0));
    // Unknown day sets count as all days.
    EXPECT_EQ(NextAt(L(2024, 3, 8, 9, 0, 0), Daily(17)), L(2024, 3, 9, 8, 0, 0));
}

TEST_F(AlarmTimeTest, DaySetsWithoutAnyDay)
{
    CAlarmSchedule s = Daily(ALARMDAYS_CUSTOM, "");
    EXPECT_EQ(NextAt(L(2024, 3, 8, 9, 0, 0), s), L(2020, 6, 15, 8, 0, 0));   // the base time itself
    EXPECT_EQ(NextAt(L(2024, 3, 8, 9, 0, 0), Daily(ALARMDAYS_CUSTOM, "0890")), 0);
    EXPECT_EQ(NextAt(L(2024, 3, 8, 9, 0, 0), Daily(ALARMDAYS_CUSTOM, " ")), 0);
}

TEST_F(AlarmTimeTest, WeeklyOnTheGivenDay)
{
    CAlarmSchedule s = Schedule(ALARM_WEEKLY);
    s.m_nWeekDay = 6;   // Friday
    EXPECT_EQ(NextAt(L(2024, 3, 8, 7, 59, 58), s), L(2024, 3, 8, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 3, 8, 7, 59, 59), s), L(2024, 3, 15, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 3, 4, 12, 0, 0), s), L(2024, 3, 8, 8, 0, 0));
    s.m_nWeekDay = 1;   // Sunday, across the month end
    EXPECT_EQ(NextAt(L(2024, 3, 28, 12, 0, 0), s), L(2024, 3, 31, 8, 0, 0));
    s.m_nWeekDay = 7;
    EXPECT_EQ(NextAt(L(2024, 3, 8, 12, 0, 0), s), L(2024, 3, 9, 8, 0, 0));
    for (int nDay : {0, 8, -1, INT_MAX})
    {
        s.m_nWeekDay = nDay;
        EXPECT_EQ(NextAt(L(2024, 3, 8, 12, 0, 0), s), 0) << nDay;
    }
}

// --- kinds 6 and 7, month and year ---------------------------------------

TEST_F(AlarmTimeTest, MonthlyRollsShortMonthsAndYears)
{
    CAlarmSchedule s = Schedule(ALARM_MONTHLY);
    s.m_nMonthDay = 31;
    EXPECT_EQ(NextAt(L(2024, 4, 15, 12, 0, 0), s), L(2024, 5, 1, 8, 0, 0));
    s.m_nMonthDay = 10;
    EXPECT_EQ(NextAt(L(2023, 12, 10, 12, 0, 0), s), L(2024, 1, 10, 8, 0, 0));
    // A tie with now is taken.
    EXPECT_EQ(NextAt(L(2024, 3, 10, 7, 59, 59), s), L(2024, 3, 10, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 3, 10, 8, 0, 0), s), L(2024, 4, 10, 8, 0, 0));
    s.m_nMonthDay = 30;
    EXPECT_EQ(NextAt(L(2024, 1, 31, 12, 0, 0), s), L(2024, 3, 1, 8, 0, 0));   // 30 February 2024
    EXPECT_EQ(NextAt(L(2023, 1, 31, 12, 0, 0), s), L(2023, 3, 2, 8, 0, 0));   // 30 February 2023
    s.m_nMonthDay = INT_MAX;
    EXPECT_EQ(NextAt(L(2024, 3, 10, 8, 0, 0), s), 0);
}

TEST_F(AlarmTimeTest, AnnuallyAndLeapDays)
{
    CAlarmSchedule s = Schedule(ALARM_ANNUALLY);
    s.m_nYearMonth = 1;   // February
    s.m_nYearDay = 29;
    EXPECT_EQ(NextAt(L(2023, 1, 10, 12, 0, 0), s), L(2023, 3, 1, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 1, 10, 12, 0, 0), s), L(2024, 2, 29, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 3, 10, 12, 0, 0), s), L(2025, 3, 1, 8, 0, 0));
    s.m_nYearMonth = 11;
    s.m_nYearDay = 25;
    EXPECT_EQ(NextAt(L(2024, 12, 26, 12, 0, 0), s), L(2025, 12, 25, 8, 0, 0));
    EXPECT_EQ(NextAt(L(2024, 12, 25, 7, 59, 59), s), L(2024, 12, 25, 8, 0, 0));
    // A month beyond December wraps once into the next year.
    s.m_nYearMonth = 12;
    s.m_nYearDay = 5;
    EXPECT_EQ(NextAt(L(2024, 3, 1, 12, 0, 0), s), L(2025, 1, 5, 8, 0, 0));
    s.m_nYearMonth = INT_MAX;
    EXPECT_EQ(NextAt(L(2024, 3, 1, 12, 0, 0), s), 0);
}

// --- once, unknown kinds and the 32-bit limit ---------------------------

TEST_F(AlarmTimeTest, OnceGivesTheBaseTimeEvenInThePast)
{
    CAlarmSchedule s = Schedule(ALARM_ONCE);
    s.m_time = CTime(static_cast<LONGLONG>(L(2024, 3, 8, 8, 0, 0)));
    EXPECT_EQ(NextAt(L(2024, 3, 8, 9, 0, 0), s), L(2024, 3, 8, 8, 0, 0));
    m_clock.Set(L(2024, 3, 8, 9, 0, 0));
    EXPECT_EQ(CAlarmTime().GetTimeLeft(s).GetTotalSeconds(), -3600);
    s.m_time = CTime(static_cast<LONGLONG>(-5));
    EXPECT_EQ(NextAt(L(2024, 3, 8, 9, 0, 0), s), 0);
}

TEST_F(AlarmTimeTest, UnknownKindsHaveNoTime)
{
    for (int nRepeat : {8, -1, 100, INT_MIN})
        EXPECT_EQ(NextAt(L(2024, 3, 8, 9, 0, 0), Schedule(nRepeat)), 0) << nRepeat;
}

TEST_F(AlarmTimeTest, ResultsBeyond2038HaveNoTime)
{
    // 03:14:07 UTC on 19 January 2038 is the last storable second.
    EXPECT_EQ(NextAt(0x7FFFFFFFLL - 3, Seconds(0)), 0x7FFFFFFFLL - 2);
    EXPECT_EQ(NextAt(0x7FFFFFFFLL - 1, Seconds(0)), 0x7FFFFFFFLL);
    EXPECT_EQ(NextAt(0x7FFFFFFFLL, Seconds(0)), 0);
    CAlarmSchedule s = Schedule(ALARM_ANNUALLY);
    s.m_nYearMonth = 0;   // 1 January 2038 still fits
    s.m_nYearDay = 1;
    EXPECT_EQ(NextAt(L(2037, 6, 1, 0, 0, 0), s), L(2038, 1, 1, 8, 0, 0));
    s.m_nYearMonth = 1;   // 1 February 2038 does not
    EXPECT_EQ(NextAt(L(2037, 6, 1, 0, 0, 0), s), 0);
}

// --- MakeTime and month lengths ------------------------------------------

TEST_F(AlarmTimeTest, MakeTimeCarriesEveryField)
{
    const CAlarmTime at;
    EXPECT_EQ(at.MakeTime(2024, 1, 40, 10, 75, 30).GetTime(), L(2024, 2, 9, 11, 15, 30));
    EXPECT_EQ(at.MakeTime(2024, 12, 31, 23, 59, 60).GetTime(), L(2025, 1, 1, 0, 0, 0));
    EXPECT_EQ(at.MakeTime(2024, 11, 45, 0, 0, 0).GetTime(), L(2024, 12, 15, 0, 0, 0));
    EXPECT_EQ(at.MakeTime(2024, 13, 1, 0, 0, 0).GetTime(), L(2025, 1, 1, 0, 0, 0));
    EXPECT_EQ(at.MakeTime(2024, 1, 1, 0, 0, 86400 * 60).GetTime(), L(2024, 3, 1, 0, 0, 0));
    // Days carry month by month: 31 + 29 + 31 days of 2024 from 1 January.
    EXPECT_EQ(at.MakeTime(2024, 1, 92, 0, 0, 0).GetTime(), L(2024, 4, 1, 0, 0, 0));
    EXPECT_EQ(at.MakeTime(2023, 1, 91, 0, 0, 0).GetTime(), L(2023, 4, 1, 0, 0, 0));
    EXPECT_EQ(at.MakeTime(2000, 2, 29, 12, 0, 0).GetTime(), L(2000, 2, 29, 12, 0, 0));
}

TEST_F(AlarmTimeTest, MakeTimeOutsideThe32BitRangeIsNoTime)
{
    const CAlarmTime at;
    EXPECT_EQ(at.MakeTime(2038, 1, 19, 6, 14, 7).GetTime(), 0x7FFFFFFFLL);   // 03:14:07 UTC
    EXPECT_EQ(at.MakeTime(2038, 1, 19, 6, 14, 8).GetTime(), 0);
    EXPECT_EQ(at.MakeTime(2100, 2, 28, 0, 0, 0).GetTime(), 0);
    EXPECT_EQ(at.MakeTime(1969, 12, 31, 0, 0, 0).GetTime(), 0);
    EXPECT_EQ(at.MakeTime(INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX).GetTime(), 0);
    EXPECT_EQ(at.MakeTime(INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN).GetTime(), 0);
}

TEST(AlarmTimeMonths, DaysInMonth)
{
    const CAlarmTime at;
    EXPECT_EQ(at.GetDaysInMonth(2024, 2), 29);
    EXPECT_EQ(at.GetDaysInMonth(2023, 2), 28);
    EXPECT_EQ(at.GetDaysInMonth(2100, 2), 28);
    EXPECT_EQ(at.GetDaysInMonth(2000, 2), 29);
    EXPECT_EQ(at.GetDaysInMonth(2024, 12), 31);
    EXPECT_EQ(at.GetDaysInMonth(2024, 4), 30);
    EXPECT_EQ(at.GetDaysInMonth(2024, 1), 31);
    EXPECT_EQ(at.GetDaysInMonth(2024, 0), 0);
    EXPECT_EQ(at.GetDaysInMonth(2024, 13), 0);
}

// --- daylight saving ------------------------------------------------------

// UTC+1 with daylight time UTC+2 on the US rules: 10 March 2024 02:00 standard
// becomes 03:00 daylight; 3 November 2024 02:00 daylight becomes 01:00
// standard, so 01:00-01:59 happens twice.
class AlarmTimeDstTest : public AlarmTimeTest
{
protected:
    void SetUp() override { m_zone.Pin(TIMEPIN_EAST1_DST); }

    static long long Std(int y, int mo, int d, int h, int mi, int s) { return UtcInstant(y, mo, d, h, mi, s) - 3600; }
    static long long Dst(int y, int mo, int d, int h, int mi, int s) { return UtcInstant(y, mo, d, h, mi, s) - 7200; }
};

TEST_F(AlarmTimeDstTest, GapMovesReadingsForward)
{
    const CAlarmTime at;
    EXPECT_EQ(at.MakeTime(2024, 3, 10, 2, 30, 0).GetTime(), Dst(2024, 3, 10, 3, 30, 0));
    EXPECT_EQ(at.MakeTime(2024, 3, 10, 1, 59, 59).GetTime(), Std(2024, 3, 10, 1, 59, 59));
    EXPECT_EQ(at.MakeTime(2024, 3, 10, 3, 0, 0).GetTime(), Dst(2024, 3, 10, 3, 0, 0));
    EXPECT_EQ(NextAt(Std(2024, 3, 10, 1, 59, 59), Seconds(0)), Dst(2024, 3, 10, 3, 0, 0));
    EXPECT_EQ(NextAt(Std(2024, 3, 10, 1, 50, 0), Minutes(7)), Dst(2024, 3, 10, 3, 0, 0));
    CAlarmSchedule daily = Daily(ALARMDAYS_ALL);
    daily.m_time = CTime(static_cast<LONGLONG>(Dst(2024, 6, 1, 2, 30, 0)));
    EXPECT_EQ(NextAt(Std(2024, 3, 9, 9, 0, 0), daily), Dst(2024, 3, 10, 3, 30, 0));
}

TEST_F(AlarmTimeDstTest, RepeatedHourNeverGivesAPastTimeForKinds1To3)
{
    // Second pass of 01:30: the first pass is an hour over.
    EXPECT_EQ(NextAt(Std(2024, 11, 3, 1, 30, 0), Seconds(0)), Std(2024, 11, 3, 1, 30, 1));
    EXPECT_EQ(NextAt(Std(2024, 11, 3, 1, 20, 0), Minutes(5)), Std(2024, 11, 3, 1, 30, 0));
    CAlarmSchedule hourly = Schedule(ALARM_HOURLY);
    hourly.m_nMinuteOfHour = 45;
    EXPECT_EQ(NextAt(Std(2024, 11, 3, 1, 20, 0), hourly), Std(2024, 11, 3, 1, 45, 0));
    // In the first pass the first instant is the right one.
    EXPECT_EQ(NextAt(Dst(2024, 11, 3, 1, 20, 0), hourly), Dst(2024, 11, 3, 1, 45, 0));
    EXPECT_EQ(NextAt(Dst(2024, 11, 3, 1, 30, 0), Seconds(0)), Dst(2024, 11, 3, 1, 30, 1));

    // Every moment around the change, every kind 1-3 schedule: strictly later.
    const CAlarmSchedule schedules[] = {Seconds(0), Seconds(3), Seconds(8, "59"), Minutes(0), Minutes(5),
                                        Minutes(8, "00"), hourly};
    for (long long t = Dst(2024, 11, 3, 0, 50, 0); t < Std(2024, 11, 3, 2, 10, 0); t += 37)
    {
        for (const CAlarmSchedule& s : schedules)
        {
            const long long tNext = NextAt(t, s);
            ASSERT_GT(tNext, t) << "now " << t << " kind " << s.m_nRepeat;
            ASSERT_LE(tNext, t + 2 * 3600) << "now " << t << " kind " << s.m_nRepeat;
        }
    }
}

TEST_F(AlarmTimeDstTest, RepeatedHourReadingsTakeTheirFirstPass)
{
    const CAlarmTime at;
    EXPECT_EQ(at.MakeTime(2024, 11, 3, 1, 30, 0).GetTime(), Dst(2024, 11, 3, 1, 30, 0));
    CAlarmSchedule daily = Daily(ALARMDAYS_ALL);
    daily.m_time = CTime(static_cast<LONGLONG>(Std(2024, 1, 1, 1, 30, 0)));
    // Already due in the first pass: the next is tomorrow, not the second pass.
    EXPECT_EQ(NextAt(Std(2024, 11, 3, 1, 40, 0), daily), Std(2024, 11, 4, 1, 30, 0));
    EXPECT_EQ(NextAt(Dst(2024, 11, 3, 1, 0, 0), daily), Dst(2024, 11, 3, 1, 30, 0));
}
} // namespace
