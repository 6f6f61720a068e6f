// Every case runs in a pinned zone, UTC+1 with daylight time UTC+2 from the
// second Sunday of March to the first Sunday of November, so the expected
// values are the same natively (glibc) and under Wine (Win32 zone functions).
#include "afx/afxtime.h"

#include <gtest/gtest.h>

#include <climits>
#include <ctime>

namespace {

class CTimeTest : public testing::Test {
protected:
    void SetUp() override { AfxSetTimeZoneForTesting("XST-1XDT"); }
    void TearDown() override
    {
        AfxSetTimeZoneForTesting(nullptr);
        AfxSetClockForTesting(nullptr);
    }
};

CString Stamp(const CTime& t)
{
    return t.Format("%Y-%m-%d %H:%M:%S");
}

} // namespace

TEST_F(CTimeTest, FieldsGiveTheExpectedInstant)
{
    EXPECT_EQ(1705316400, CTime(2024, 1, 15, 12, 0, 0).GetTime()); // UTC+1
    EXPECT_EQ(1721037600, CTime(2024, 7, 15, 12, 0, 0).GetTime()); // UTC+2
    CTime t(2024, 2, 29, 13, 5, 9);
    EXPECT_EQ(2024, t.GetYear());
    EXPECT_EQ(2, t.GetMonth());
    EXPECT_EQ(29, t.GetDay());
    EXPECT_EQ(13, t.GetHour());
    EXPECT_EQ(5, t.GetMinute());
    EXPECT_EQ(9, t.GetSecond());
}

TEST_F(CTimeTest, FieldsCarryLikeMktime)
{
    EXPECT_STREQ("2024-03-02 00:00:00", Stamp(CTime(2024, 2, 31, 0, 0, 0)));
    EXPECT_STREQ("2023-03-01 00:00:00", Stamp(CTime(2023, 2, 29, 0, 0, 0)));
    EXPECT_STREQ("2024-02-29 00:00:00", Stamp(CTime(2024, 2, 29, 0, 0, 0)));
    EXPECT_STREQ("2000-02-29 00:00:00", Stamp(CTime(2000, 2, 29, 0, 0, 0)));
    EXPECT_STREQ("2100-03-01 00:00:00", Stamp(CTime(2100, 2, 29, 0, 0, 0)));
    EXPECT_STREQ("2025-01-01 00:00:00", Stamp(CTime(2024, 13, 1, 0, 0, 0)));
    EXPECT_STREQ("2023-12-01 00:00:00", Stamp(CTime(2024, 0, 1, 0, 0, 0)));
    EXPECT_STREQ("2024-04-30 00:00:00", Stamp(CTime(2024, 5, 0, 0, 0, 0)));
    EXPECT_STREQ("2025-01-01 00:00:00", Stamp(CTime(2024, 12, 31, 24, 0, 0)));
    EXPECT_STREQ("2025-01-01 00:00:00", Stamp(CTime(2024, 12, 31, 23, 59, 60)));
    EXPECT_STREQ("2024-02-29 23:59:00", Stamp(CTime(2024, 3, 1, 0, -1, 0)));
    EXPECT_STREQ("2024-03-01 12:00:00", Stamp(CTime(2024, 1, 31 + 29 + 1, 12, 0, 0)));
    EXPECT_STREQ("2026-01-01 00:00:00", Stamp(CTime(2024, 25, 1, 0, 0, 0)));
    EXPECT_STREQ("2024-01-02 01:00:00", Stamp(CTime(2024, 1, 1, 0, 0, 90000)));

    // Negative months borrow whole years, as the C library does.
    const struct {
        int nMonth;
        const char* pszExpect;
    } months[] = {{-1, "2023-11-15 12:00:00"}, {-10, "2023-02-15 12:00:00"}, {-12, "2022-12-15 12:00:00"},
                  {-22, "2022-02-15 12:00:00"}};
    for (const auto& m : months) {
        const CTime t(2024, m.nMonth, 15, 12, 0, 0);
        EXPECT_STREQ(m.pszExpect, Stamp(t)) << m.nMonth;
#ifndef _WIN32
        // The pinned zone is the C library's too here.
        struct tm tm = {};
        tm.tm_year = 124;
        tm.tm_mon = m.nMonth - 1;
        tm.tm_mday = 15;
        tm.tm_hour = 12;
        tm.tm_isdst = -1;
        EXPECT_EQ(std::mktime(&tm), t.GetTime()) << m.nMonth;
#endif
    }
}

TEST_F(CTimeTest, OutOfRangeDatesGiveTimeZero)
{
    EXPECT_EQ(0, CTime(1969, 12, 31, 23, 0, 0).GetTime());
    EXPECT_EQ(0, CTime(1970, 1, 1, 0, 30, 0).GetTime()); // 1969 in UTC
    EXPECT_EQ(1, CTime(1970, 1, 1, 1, 0, 1).GetTime());
    EXPECT_EQ(AFX_TIME_MAX, CTime(3001, 1, 1, 0, 59, 59).GetTime());
    EXPECT_EQ(0, CTime(3001, 1, 1, 1, 0, 0).GetTime());
    EXPECT_EQ(0, CTime(0, 0, 0, 0, 0, 0).GetTime());
    EXPECT_EQ(0, CTime(INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX).GetTime());
    EXPECT_EQ(0, CTime(INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN, INT_MIN).GetTime());
    EXPECT_EQ(0, CTime(2024, INT_MAX, 1, 0, 0, 0).GetTime());
}

TEST_F(CTimeTest, TimesPast2038)
{
    CTime t(2040, 6, 1, 12, 0, 0);
    EXPECT_EQ(2222157600, t.GetTime());
    EXPECT_STREQ("2040-06-01 12:00:00", Stamp(t));
    EXPECT_EQ(6, t.GetDayOfWeek()); // Friday
    EXPECT_EQ(4294983600, CTime(2106, 2, 7, 12, 0, 0).GetTime());
    EXPECT_STREQ("3000-12-31 23:59:59", CTime(AFX_TIME_MAX).FormatGmt("%Y-%m-%d %H:%M:%S"));
    EXPECT_STREQ("2040-06-01 10:00:00", t.FormatGmt("%Y-%m-%d %H:%M:%S"));
    CTime tEnd(2037, 12, 31, 23, 59, 59);
    EXPECT_EQ(2038, (tEnd + CTimeSpan(0, 0, 0, 1)).GetYear());
}

TEST_F(CTimeTest, DayOfWeekStartsOnSunday)
{
    EXPECT_EQ(2, CTime(2024, 1, 1, 12, 0, 0).GetDayOfWeek()); // Monday
    EXPECT_EQ(7, CTime(2000, 1, 1, 12, 0, 0).GetDayOfWeek()); // Saturday
    EXPECT_EQ(5, CTime(1970, 1, 1, 12, 0, 0).GetDayOfWeek()); // Thursday
    EXPECT_EQ(3, CTime(2038, 1, 19, 12, 0, 0).GetDayOfWeek()); // Tuesday
    EXPECT_EQ(2, CTime(2100, 3, 1, 12, 0, 0).GetDayOfWeek()); // Monday
    EXPECT_EQ(1, CTime(2024, 3, 10, 12, 0, 0).GetDayOfWeek()); // Sunday
}

TEST_F(CTimeTest, OutsideTheRangeFieldsAndTextAreEmpty)
{
    struct tm tm;
    EXPECT_EQ(nullptr, CTime(-1).GetLocalTm(&tm));
    EXPECT_EQ(0, tm.tm_mday);
    EXPECT_EQ(nullptr, CTime(AFX_TIME_MAX + 1).GetLocalTm(&tm));
    EXPECT_EQ(1900, CTime(-1).GetYear());
    EXPECT_EQ(1, CTime(-1).GetMonth());
    EXPECT_EQ(1, CTime(-1).GetDayOfWeek());
    EXPECT_TRUE(CTime(-1).Format("%Y").IsEmpty());
    EXPECT_TRUE(CTime(AFX_TIME_MAX + 1).FormatGmt("%Y").IsEmpty());
    EXPECT_NE(nullptr, CTime(0).GetLocalTm(&tm));
    EXPECT_EQ(70, tm.tm_year);
    EXPECT_EQ(1, tm.tm_hour);
}

TEST_F(CTimeTest, FormatIsTheSameInBothRuntimes)
{
    CTime t(2024, 2, 29, 13, 5, 9);
    EXPECT_STREQ("Thursday Thu February Feb", t.Format("%A %a %B %b"));
    EXPECT_STREQ("060 08 09 4", t.Format("%j %U %W %w"));
    EXPECT_STREQ("01 PM 24", t.Format("%I %p %y"));
    EXPECT_STREQ("02/29/24 13:05:09", t.Format("%c"));
    EXPECT_STREQ("02/29/24|13:05:09", t.Format("%x|%X"));
    EXPECT_STREQ("Thursday, February 29, 2024", t.Format("%#x"));
    EXPECT_STREQ("2-29 1:5:9", t.Format("%#m-%#d %#I:%#M:%#S"));
    EXPECT_STREQ("100% %Q %", t.Format("100%% %Q %"));
    EXPECT_STREQ("", t.Format(""));
    EXPECT_STREQ("12 AM", CTime(2024, 3, 1, 0, 30, 0).Format("%I %p"));
    EXPECT_STREQ("12 PM", CTime(2024, 3, 1, 12, 30, 0).Format("%I %p"));
    EXPECT_STREQ("366 52 53", CTime(2024, 12, 31, 12, 0, 0).Format("%j %U %W"));
    EXPECT_STREQ("00 01", CTime(2024, 1, 6, 12, 0, 0).Format("%U %W"));
}

TEST_F(CTimeTest, SpansSplitIntoDaysHoursMinutesSeconds)
{
    CTimeSpan span(1, 2, 3, 4);
    EXPECT_EQ(93784, span.GetTotalSeconds());
    EXPECT_EQ(1, span.GetDays());
    EXPECT_EQ(2, span.GetHours());
    EXPECT_EQ(3, span.GetMinutes());
    EXPECT_EQ(4, span.GetSeconds());
    EXPECT_EQ(26, span.GetTotalHours());
    EXPECT_EQ(1563, span.GetTotalMinutes());
    EXPECT_STREQ("1 days 02:03:04 100%", span.Format("%D days %H:%M:%S 100%%"));

    CTimeSpan negative(-93784);
    EXPECT_EQ(-1, negative.GetDays());
    EXPECT_EQ(-2, negative.GetHours());
    EXPECT_EQ(-3, negative.GetMinutes());
    EXPECT_EQ(-4, negative.GetSeconds());

    CTimeSpan carried(0, 25, 61, 61);
    EXPECT_EQ(1, carried.GetDays());
    EXPECT_EQ(2, carried.GetHours());
    EXPECT_EQ(2, carried.GetMinutes());
    EXPECT_EQ(1, carried.GetSeconds());
    EXPECT_EQ(CTimeSpan(0, 0, 0, 10), CTimeSpan(5) + CTimeSpan(5));
    EXPECT_TRUE(CTimeSpan(4) < CTimeSpan(5));
}

TEST_F(CTimeTest, ArithmeticCountsElapsedSeconds)
{
    CTime t(2024, 3, 9, 12, 0, 0);
    EXPECT_EQ(1709982000, t.GetTime());
    // A day later in elapsed time crosses the change to daylight time.
    CTime tNext = t + CTimeSpan(1, 0, 0, 0);
    EXPECT_STREQ("2024-03-10 13:00:00", Stamp(tNext));
    EXPECT_EQ(CTimeSpan(86400), tNext - t);
    EXPECT_EQ(-86400, (t - tNext).GetTotalSeconds());
    EXPECT_TRUE(t < tNext && tNext > t && t <= t && t >= t && t != tNext);
    tNext -= CTimeSpan(0, 0, 0, 86400);
    EXPECT_EQ(t, tNext);
    tNext += CTimeSpan(0, 1, 0, 0);
    EXPECT_EQ(13, tNext.GetHour());
}

TEST_F(CTimeTest, CurrentTimeComesFromTheClockSeam)
{
    AfxSetClockForTesting([] { return LONGLONG(1234567890); });
    EXPECT_EQ(1234567890, CTime::GetCurrentTime().GetTime());
    std::function<LONGLONG()> fnPrevious = AfxSetClockForTesting([] { return LONGLONG(2222157600); });
    ASSERT_TRUE(static_cast<bool>(fnPrevious));
    EXPECT_EQ(1234567890, fnPrevious());
    EXPECT_EQ(2040, CTime::GetCurrentTime().GetYear());

    AfxSetClockForTesting(nullptr);
    LONGLONG tSystem = static_cast<LONGLONG>(std::time(nullptr));
    LONGLONG tNow = CTime::GetCurrentTime().GetTime();
    EXPECT_LE(tSystem - 5, tNow);
    EXPECT_GE(tSystem + 5, tNow);
}

TEST_F(CTimeTest, SkippedWallTimeMovesForward)
{
    // 2024-03-10: 02:00 XST becomes 03:00 XDT.
    EXPECT_EQ(1710032399, CTime(2024, 3, 10, 1, 59, 59).GetTime());
    CTime tGap(2024, 3, 10, 2, 30, 0);
    EXPECT_EQ(1710034200, tGap.GetTime());
    EXPECT_STREQ("2024-03-10 03:30:00", Stamp(tGap));
    EXPECT_EQ(1710032400, CTime(2024, 3, 10, 2, 0, 0).GetTime());
    EXPECT_EQ(1710032400, CTime(2024, 3, 10, 3, 0, 0).GetTime());
    // An explicit flag reads the wall time with that offset, as both runtimes do.
    EXPECT_EQ(1710034200, CTime(2024, 3, 10, 2, 30, 0, 0).GetTime());
    EXPECT_EQ(1710030600, CTime(2024, 3, 10, 2, 30, 0, 1).GetTime());
}

TEST_F(CTimeTest, RepeatedWallTimeIsTheFirstUnlessFlagged)
{
    // 2024-11-03: 02:00 XDT becomes 01:00 XST, so 01:00-01:59 happens twice.
    CTime tFirst(2024, 11, 3, 1, 30, 0);
    EXPECT_EQ(1730590200, tFirst.GetTime());
    EXPECT_EQ(1730590200, CTime(2024, 11, 3, 1, 30, 0, 1).GetTime());
    CTime tSecond(2024, 11, 3, 1, 30, 0, 0);
    EXPECT_EQ(1730593800, tSecond.GetTime());
    EXPECT_EQ(CTimeSpan(3600), tSecond - tFirst);
    EXPECT_EQ(1, tFirst.GetHour());
    EXPECT_EQ(1, tSecond.GetHour());
    EXPECT_EQ(1730588399, CTime(2024, 11, 3, 0, 59, 59).GetTime());
    EXPECT_EQ(1730595600, CTime(2024, 11, 3, 2, 0, 0).GetTime());
}

TEST_F(CTimeTest, ArchiveFormKeepsSigned32Bits)
{
    EXPECT_EQ(0x7FFFFFFF, AfxTimeToArchive(CTime(0x7FFFFFFFLL)));
    EXPECT_EQ(0, AfxTimeToArchive(CTime(0x80000000LL)));
    EXPECT_EQ(0, AfxTimeToArchive(CTime(2040, 6, 1, 12, 0, 0)));
    EXPECT_EQ(LONG(-0x7FFFFFFF - 1), AfxTimeToArchive(CTime(-0x80000000LL)));
    EXPECT_EQ(0, AfxTimeToArchive(CTime(-0x80000001LL)));
    EXPECT_EQ(1705316400, AfxTimeToArchive(CTime(2024, 1, 15, 12, 0, 0)));
    EXPECT_EQ(-1, AfxTimeFromArchive(-1).GetTime());
    EXPECT_EQ(0x7FFFFFFF, AfxTimeFromArchive(0x7FFFFFFF).GetTime());
}

TEST_F(CTimeTest, SystemTimeRoundTrip)
{
    SYSTEMTIME st = {};
    st.wYear = 2024;
    st.wMonth = 2;
    st.wDay = 29;
    st.wHour = 23;
    st.wMinute = 59;
    st.wSecond = 58;
    st.wMilliseconds = 999;
    CTime t(st);
    EXPECT_STREQ("2024-02-29 23:59:58", Stamp(t));
    SYSTEMTIME back;
    ASSERT_TRUE(t.GetAsSystemTime(back));
    EXPECT_EQ(2024, back.wYear);
    EXPECT_EQ(4, back.wDayOfWeek); // Thursday, counted from Sunday = 0
    EXPECT_EQ(59, back.wMinute);
    EXPECT_EQ(0, back.wMilliseconds);
    EXPECT_FALSE(CTime(-5).GetAsSystemTime(back));
}

TEST_F(CTimeTest, ZonesWithoutDaylightTimeAndWithMinutes)
{
    AfxSetTimeZoneForTesting("XST-3");
    EXPECT_EQ(1721034000, CTime(2024, 7, 15, 12, 0, 0).GetTime());
    EXPECT_EQ(12, CTime(1721034000).GetHour());
    AfxSetTimeZoneForTesting("IST-5:30");
    EXPECT_EQ(1721025000, CTime(2024, 7, 15, 12, 0, 0).GetTime());
    EXPECT_STREQ("2024-07-15 12:00:00", Stamp(CTime(1721025000)));
    // Going back and forth keeps the daylight rules of the pinned zone.
    AfxSetTimeZoneForTesting(nullptr);
    AfxSetTimeZoneForTesting("XST-1XDT");
    EXPECT_EQ(1721037600, CTime(2024, 7, 15, 12, 0, 0).GetTime());
}
