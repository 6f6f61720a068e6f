#include "controls/datetime.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

namespace {

typedef CHighResDateTime DT;
typedef CHighResTimeSpan TS;

std::string Fields(const DT& t)
{
    char sz[96];
    std::snprintf(sz, sizeof(sz), "%04d-%02d-%02d %02d:%02d:%02d.%03d.%03d.%03d doy %d dow %d", t.GetYear(),
        t.GetMonth(), t.GetDay(), t.GetHour(), t.GetMinute(), t.GetSecond(), t.GetMillisecond(),
        t.GetMicrosecond(), t.GetNanosecond(), t.GetDayOfYear(), t.GetDayOfWeek());
    return sz;
}

TEST(HighResDateTime, ConstructionCarriesExcessFieldsAndTestsOnlyYearAndMonth)
{
    struct {
        int y, mo, d, h, mi, s, ms, us, ns;
        const char* pszExpected; // null: invalid
    } cases[] = {
        { 1601, 1, 1, 0, 0, 0, 0, 0, 0, "1601-01-01 00:00:00.000.000.000 doy 1 dow 2" },
        { 2000, 2, 29, 23, 59, 59, 999, 999, 900, "2000-02-29 23:59:59.999.999.900 doy 60 dow 3" },
        { 2001, 4, 31, 0, 0, 0, 0, 0, 0, "2001-05-01 00:00:00.000.000.000 doy 121 dow 3" },
        { 1999, 12, 31, 23, 59, 59, 999, 999, 950, "2000-01-01 00:00:00.000.000.000 doy 1 dow 7" },
        { 2024, 1, 0, 24, 0, 61, 0, 0, 149, "2024-01-01 00:01:01.000.000.100 doy 1 dow 2" },
        { 1900, 3, 1, 0, 0, 0, 0, 0, 0, "1900-03-01 00:00:00.000.000.000 doy 60 dow 5" },
        { 29000, 12, 31, 0, 0, 0, 0, 0, 0, "29000-12-31 00:00:00.000.000.000 doy 365 dow 4" },
        { 2000, 0, 1, 0, 0, 0, 0, 0, 0, nullptr },
        { 2000, 13, 1, 0, 0, 0, 0, 0, 0, nullptr },
        { 29001, 1, 1, 0, 0, 0, 0, 0, 0, nullptr },
        // A day far past the year's end would leave 64 bits: invalid, never wrapped.
        { 29000, 12, INT_MAX, INT_MAX, 0, 0, 0, 0, 0, nullptr },
    };
    for (auto& c : cases) {
        DT t(c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms, c.us, c.ns);
        if (c.pszExpected == nullptr) {
            EXPECT_EQ(DT::invalid, t.GetStatus()) << c.y << "-" << c.mo;
            EXPECT_EQ(-1, t.GetYear());
            EXPECT_EQ(-1, t.GetDayOfWeek());
        } else {
            EXPECT_EQ(DT::valid, t.GetStatus());
            EXPECT_EQ(c.pszExpected, Fields(t));
        }
    }
    EXPECT_EQ(0, DT(1601, 1, 1, 0, 0, 0).GetTicks());
    EXPECT_EQ(10000000LL * 86400 * 365, DT(1602, 1, 1, 0, 0, 0).GetTicks());
    SYSTEMTIME st {};
    ASSERT_TRUE(DT(2001, 4, 31, 7, 8, 9, 10).GetAsSystemTime(st));
    EXPECT_EQ(2001, st.wYear);
    EXPECT_EQ(5, st.wMonth);
    EXPECT_EQ(2, st.wDayOfWeek);
    EXPECT_EQ(10, st.wMilliseconds);
    EXPECT_EQ(DT(2001, 5, 1, 7, 8, 9, 10), DT(st));
    EXPECT_FALSE(DT(2000, 0, 1, 0, 0, 0).GetAsSystemTime(st));
    EXPECT_EQ(DT(2004, 2, 29, 13, 14, 15), DT(COleDateTime(2004, 2, 29, 13, 14, 15)));
    EXPECT_EQ(DT::invalid, DT(COleDateTime(2004, 2, 30, 0, 0, 0)).GetStatus());
}

// Over the range both cover, conversions and arithmetic agree with CTime's.
TEST(HighResDateTime, AgreesWithCTime)
{
    AfxSetTimeZoneForTesting("XST-1");
    std::mt19937 rng(11);
    DT previous;
    CTime previousTime;
    for (int i = 0; i < 500; ++i) {
        LONGLONG t = (LONGLONG)(rng() % 2000000000u) * 16 % AFX_TIME_MAX;
        CTime time(t);
        DT dt(time);
        ASSERT_EQ(DT::valid, dt.GetStatus());
        ASSERT_EQ(time.GetYear(), dt.GetYear());
        ASSERT_EQ(time.GetMonth(), dt.GetMonth());
        ASSERT_EQ(time.GetDay(), dt.GetDay());
        ASSERT_EQ(time.GetHour(), dt.GetHour());
        ASSERT_EQ(time.GetDayOfWeek(), dt.GetDayOfWeek());
        ASSERT_EQ(time.Format("%Y-%m-%d %H:%M:%S %j %a"), dt.Format("%Y-%m-%d %H:%M:%S %j %a"));
        if ((LONGLONG)(time_t)t == t) // a 32-bit time_t ends in 2038
            ASSERT_EQ(DT((time_t)t), dt);
        if (i > 0) {
            CTimeSpan span = time - previousTime;
            ASSERT_EQ(span.GetTotalSeconds() * 10000000, (dt - previous).GetTicks());
            ASSERT_EQ(dt, previous + TS(span.GetDays(), span.GetHours(), span.GetMinutes(), span.GetSeconds()));
            ASSERT_EQ(time < previousTime, dt < previous);
        }
        previous = dt;
        previousTime = time;
    }
    AfxSetTimeZoneForTesting(nullptr);
}

TEST(HighResDateTime, ArithmeticStatusAndLimits)
{
    DT valid(2000, 1, 1, 0, 0, 0);
    DT bad(2000, 13, 1, 0, 0, 0);
    DT none;
    none.SetStatus(DT::null);
    TS day(1, 0, 0, 0);
    EXPECT_EQ(DT(2000, 1, 2, 0, 0, 0), valid + day);
    EXPECT_EQ(DT(1999, 12, 31, 0, 0, 0), valid - day);
    EXPECT_EQ(DT::invalid, (bad + day).GetStatus());
    EXPECT_EQ(DT::null, (none + day).GetStatus());
    EXPECT_EQ(DT::null, (bad - none).GetStatus());
    // Sums past 64 bits are invalid, not wrapped.
    DT last(29000, 12, 31, 23, 59, 59, 999, 999, 900);
    EXPECT_EQ(DT::invalid, (last + TS(1000000, 0, 0, 0)).GetStatus());
    EXPECT_EQ(DT::invalid, (last - DT(-20000, 1, 1, 0, 0, 0)).GetStatus());
    EXPECT_EQ(DT::invalid, DT(-29000, 1, 1, 0, 0, 0).GetStatus()); // its ticks would not fit
    EXPECT_EQ(DT::invalid, TS(LLONG_MAX / 1000, 0, 0, 0).GetStatus());
    EXPECT_EQ(LLONG_MAX, TS(200000, 0, 0, 0).GetTotalNanoseconds());
    EXPECT_EQ(LLONG_MIN, TS(-200000, 0, 0, 0).GetTotalNanoseconds());

    FILETIME ft = { 0, 0x80000000u };
    EXPECT_EQ(DT::invalid, DT(ft).GetStatus());
    ft = { 0x3B9ACA07u, 0 }; // 100.0000007 seconds... truncated to milliseconds by the platform
    EXPECT_EQ(DT(1601, 1, 1, 0, 1, 40), DT(ft));
}

TEST(HighResTimeSpan, FieldsRoundAndCarry)
{
    struct {
        TS span;
        LONGLONG ticks;
        int h, mi, s, ms, us, ns;
    } cases[] = {
        { TS(1, 25, 61, 61, 1001, 1001, 1049),
            864000000000LL * 2 + 36000000000LL * 2 + 600000000LL * 2 + 10000000LL * 2 + 10000LL * 2 + 10LL * 2, 2, 2,
            2, 2, 2, 0 },
        { TS(0, 0, 0, 0, 0, 0, 150), 2, 0, 0, 0, 0, 0, 200 },
        { TS(0, 0, 0, 0, 0, 0, -150), -2, 0, 0, 0, 0, 0, -200 },
        { TS(0, 0, 0, 0, 0, 0, 149), 1, 0, 0, 0, 0, 0, 100 },
        { TS(-1, -2, 0, 0), -(864000000000LL + 2 * 36000000000LL), -2, 0, 0, 0, 0, 0 },
    };
    for (auto& c : cases) {
        EXPECT_EQ(c.ticks, c.span.GetTicks());
        EXPECT_EQ(c.h, c.span.GetHours());
        EXPECT_EQ(c.mi, c.span.GetMinutes());
        EXPECT_EQ(c.s, c.span.GetSeconds());
        EXPECT_EQ(c.ms, c.span.GetMilliseconds());
        EXPECT_EQ(c.us, c.span.GetMicroseconds());
        EXPECT_EQ(c.ns, c.span.GetNanoseconds());
    }
    TS span(3, 4, 5, 6, 7);
    EXPECT_EQ(3, span.GetTotalDays());
    EXPECT_EQ(76, span.GetTotalHours());
    EXPECT_EQ(76 * 60 + 5, span.GetTotalMinutes());
    EXPECT_EQ(span.GetTotalSeconds() * 1000 + 7, span.GetTotalMilliseconds());
    EXPECT_EQ(TS(3, 4, 5, 6, 8), span + TS(0, 0, 0, 0, 1));
    EXPECT_EQ(TS(-3, -4, -5, -6, -7), TS() - span);
}

TEST(HighResDateTime, Format)
{
    DT t(2007, 3, 4, 12, 34, 56, 7, 89, 600);
    char buf[64];
    struct {
        int nSize;
        const char* pszFormat;
        const char* pszExpected;
    } cases[] = {
        { 64, "%H:%M:%S.%s", "12:34:56.007" },
        { 64, "%#s|%u|%#u|%n|%#n", "7|089|89|600|600" },
        { 64, "%Y-%m-%d %A %j", "2007-03-04 Sunday 063" },
        { 3, "%s", "%s" }, // no room for the digits: the code stays for strftime
        { 6, "%s%s", "007%s" },
        { 4, "%Y", "" },   // strftime's answer to a text that does not fit
    };
    for (auto& c : cases)
        EXPECT_STREQ(c.pszExpected, t.Format(buf, c.nSize, c.pszFormat)) << c.pszFormat;
    EXPECT_EQ(nullptr, t.Format(nullptr, 10, "%Y"));
    EXPECT_EQ(nullptr, t.Format(buf, 0, "%Y"));
    DT bad(2000, 0, 1, 0, 0, 0);
    EXPECT_STREQ("Invalid", bad.Format(buf, 8, "%Y"));
    DT none;
    none.SetStatus(DT::null);
    EXPECT_EQ(nullptr, none.Format(buf, 10, "%Y"));
    EXPECT_EQ(CString(), none.Format("%Y"));
    EXPECT_EQ(CString("Invalid datetime"), bad.Format("%Y"));
    EXPECT_EQ(CString("12:34:56.007089600"), t.Format("%H:%M:%S.%s%u%n"));

    TS span = TS(0, 0, 0, 0) - TS(12, 3, 4, 5, 6);
    EXPECT_EQ(CString("12 days 03:04:05.006"), span.Format("%#D days %H:%M:%S.%s"));
    EXPECT_STREQ("12d 03h", span.Format(buf, 64, "%Dd %Hh"));
}

TEST(HighResDateTime, ArchiveRoundTrip)
{
    DT values[] = { DT(2007, 3, 4, 12, 34, 56, 7, 89, 600), DT(1500, 1, 1, 0, 0, 0), DT(2000, 0, 1, 0, 0, 0) };
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        for (DT& v : values)
            v.Serialize(ar);
        TS(-5, 1, 2, 3).Serialize(ar);
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    for (DT& v : values) {
        DT back;
        back.Serialize(ar);
        EXPECT_EQ(v, back);
    }
    TS span;
    span.Serialize(ar);
    EXPECT_EQ(TS(-5, 1, 2, 3), span);
}

} // namespace
