#include "clocks/timeformat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Tuesday, 1 March 2005.
CClockFields At(int nHour, int nMinute, int nSecond)
{
    return CClockFields{2005, 3, 1, 3, nHour, nMinute, nSecond};
}

std::string Expand(const char* pszFormat, const CClockFields& fields)
{
    CString str = ExpandTimeFormat(pszFormat, fields);
    return std::string(str.GetString(), static_cast<size_t>(str.GetLength()));
}

TEST(TimeFormat, DateTokens)
{
    const CClockFields t = At(9, 5, 7);
    EXPECT_EQ(Expand("%mmm %dd %ddd %hhh:%nn:%ss", t), "Mar 01 Tue 09:05:07");
    EXPECT_EQ(Expand("%m/%d/%yy", t), "3/1/05");
    EXPECT_EQ(Expand("%mmmm %dddd", t), "March Tuesday");
    EXPECT_EQ(Expand("%yyyy-%mm-%dd", t), "2005-03-01");
    EXPECT_EQ(Expand("%h %n %s", t), "9 5 7");

    CClockFields late{1999, 12, 31, 6, 23, 59, 59};
    EXPECT_EQ(Expand("%mmmm %mmm %mm %m %dddd %ddd %dd %d", late), "December Dec 12 12 Friday Fri 31 31");
}

TEST(TimeFormat, LongerTokensWinOverTheirPrefixes)
{
    const CClockFields t = At(9, 5, 7);
    EXPECT_EQ(Expand("%yyy", t), "05y");
    EXPECT_EQ(Expand("%hhhh", t), "09h");
    EXPECT_EQ(Expand("%mmmmm", t), "Marchm");
    EXPECT_EQ(Expand("%ddddd", t), "Tuesdayd");
    EXPECT_EQ(Expand("%sss %nnn", t), "07s 05n");
    EXPECT_EQ(Expand("%hhh%hh%h", At(14, 0, 0)), "14214");
}

TEST(TimeFormat, OtherTextStaysAsWritten)
{
    const CClockFields t = At(9, 5, 7);
    EXPECT_EQ(Expand("plain text, no tokens", t), "plain text, no tokens");
    EXPECT_EQ(Expand("%q %M %H %%", t), "%q %M %H %%");
    EXPECT_EQ(Expand("%%hhh", t), "%09");
    EXPECT_EQ(Expand("%", t), "%");
    EXPECT_EQ(Expand("", t), "");
    // Names keep their case; upper-casing is the drawing's business.
    EXPECT_EQ(Expand("%ddd", t), "Tue");
}

TEST(TimeFormat, TwelveHourDial)
{
    const struct {
        CClockFields fields;
        const char* pszExpected;
    } cases[] = {
        {At(0, 30, 0), "0 AM"},
        {At(1, 0, 0), "1 AM"},
        {At(11, 59, 59), "11 AM"},
        {At(12, 5, 0), "12 PM"},
        {At(13, 0, 0), "1 PM"},
        {At(23, 59, 59), "11 PM"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Expand("%hh %tt", c.fields), c.pszExpected) << c.fields.nHour;
}

TEST(TimeFormat, YearText)
{
    const struct {
        int nYear;
        const char* pszExpected;
    } cases[] = {{2000, "00 2000"}, {999, "00 999"}, {12345, "45 12345"}};
    for (const auto& c : cases) {
        CClockFields t = At(0, 0, 0);
        t.nYear = c.nYear;
        EXPECT_EQ(Expand("%yy %yyyy", t), c.pszExpected) << c.nYear;
    }
}

TEST(TimeFormat, OutOfRangeNamesReadErr)
{
    for (int nMonth : {0, 13, -1}) {
        CClockFields t = At(0, 0, 0);
        t.nMonth = nMonth;
        EXPECT_EQ(Expand("%mmmm|%mmm", t), "Error|Err") << nMonth;
    }
    for (int nDay : {0, 8}) {
        CClockFields t = At(0, 0, 0);
        t.nDayOfWeek = nDay;
        EXPECT_EQ(Expand("%dddd|%ddd", t), "Error|Err") << nDay;
    }
    CClockFields t = At(0, 0, 0);
    t.nMonth = 12;
    t.nDayOfWeek = 7;
    EXPECT_EQ(Expand("%mmm %ddd", t), "Dec Sat");
    t.nMonth = 1;
    t.nDayOfWeek = 1;
    EXPECT_EQ(Expand("%mmm %ddd", t), "Jan Sun");
}

TEST(TimeFormat, NumbersHaveNoSign)
{
    CClockFields t = At(0, 0, 0);
    t.nDay = -7;
    t.nMinute = INT32_MIN;
    EXPECT_EQ(Expand("%dd %n", t), "07 2147483648");
}

TEST(TimeFormat, BlinkPhases)
{
    EXPECT_EQ(Expand("%h(:)%n(:)%s", At(7, 3, 9)), "7:3:9");
    EXPECT_EQ(Expand("%h(:)%n(:)%s", At(7, 3, 10)), "7 3 10");
    EXPECT_EQ(Expand("%hh(:)%nn(:)%ss", At(10, 20, 30)), "10 20 30");
    EXPECT_EQ(Expand("%hh(:)%nn(:)%ss", At(10, 20, 31)), "10:20:31");
    // A group holding a token blinks the token's value.
    EXPECT_EQ(Expand("%hh:%nn:%ss (%tt)", At(13, 0, 0)), "1:00:00   ");
    EXPECT_EQ(Expand("%hh:%nn:%ss (%tt)", At(13, 0, 1)), "1:00:01 PM");
}

TEST(TimeFormat, Brackets)
{
    for (int nSecond : {0, 1}) {
        const CClockFields t = At(0, 0, nSecond);
        EXPECT_EQ(Expand("a()b", t), "ab");
        EXPECT_EQ(Expand("()", t), "");
        // Unmatched brackets stay as written.
        EXPECT_EQ(Expand(")x(", t), ")x(");
        EXPECT_EQ(Expand("x(y", t), "x(y");
        EXPECT_EQ(Expand("a)b)", t), "a)b)");
    }
    const CClockFields odd = At(0, 0, 1);
    const CClockFields even = At(0, 0, 2);
    // Nested: the innermost pair goes, the outer brackets stay.
    EXPECT_EQ(Expand("x(((a)b)", odd), "x((ab)");
    EXPECT_EQ(Expand("x(((a)b)", even), "x(( b)");
    EXPECT_EQ(Expand("((ab))", odd), "(ab)");
    EXPECT_EQ(Expand("((ab))", even), "(  )");
    // Two groups side by side, also at the start of the text.
    EXPECT_EQ(Expand("(a)(b)", odd), "ab");
    EXPECT_EQ(Expand("(a)(b)", even), "  ");
    EXPECT_EQ(Expand("(ab)c)", odd), "abc)");
    EXPECT_EQ(Expand("(ab)c)", even), "  c)");
    // A ")" without "(" resets nothing it could pair with later.
    EXPECT_EQ(Expand("(a)b(c", odd), "ab(c");
}

TEST(TimeFormat, Presets)
{
    CStringArray presets;
    presets.Add("left over");
    FillFormatPresets(presets);
    ASSERT_EQ(presets.GetSize(), 28);
    EXPECT_STREQ(presets[0], "%hhh:%nn:%ss");
    EXPECT_STREQ(presets[16], "%h(:)%n(:)%s");
    EXPECT_STREQ(presets[27], "%mm:%dd:%yyyy, %dddd");
    for (INT_PTR i = 0; i < presets.GetSize(); i++)
        EXPECT_NE(presets[i], CString(g_szDefaultDigitalFormat));

    EXPECT_EQ(Expand(g_apszDigitalFormatPresets[15], At(9, 5, 7)), "March 01 Tuesday 09:05:07");
    EXPECT_EQ(Expand(g_apszDigitalFormatPresets[21], At(9, 5, 8)), "01 of Mar,    ");
    EXPECT_EQ(Expand(g_apszDigitalFormatPresets[21], At(9, 5, 9)), "01 of Mar, Tue");
}

TEST(TimeFormat, FromTime)
{
    const CTime time(2005, 3, 1, 9, 5, 7);
    EXPECT_EQ(std::string(ExpandTimeFormat("%dddd %mmm %d %yyyy %hhh:%nn:%ss", time).GetString()),
              "Tuesday Mar 1 2005 09:05:07");
    const CClockFields f = ClockFieldsFromTime(CTime(2024, 2, 29, 23, 59, 58));
    EXPECT_EQ(f.nYear, 2024);
    EXPECT_EQ(f.nMonth, 2);
    EXPECT_EQ(f.nDay, 29);
    EXPECT_EQ(f.nDayOfWeek, 5);
    EXPECT_EQ(f.nHour, 23);
    EXPECT_EQ(f.nMinute, 59);
    EXPECT_EQ(f.nSecond, 58);
}

// The window is sized from one second's text: both phases must have one length.
TEST(TimeFormat, PhasesKeepTheLength)
{
    static const char* const kTokens[] = {"(", ")", "%", "%h", "%hh", "%hhh", "%m", "%mmmm", "%ddd", "%tt",
                                          "%yy", "%s", "x", " ", ":", "((", "))", "%d", "%n"};
    const int nTokens = sizeof(kTokens) / sizeof(kTokens[0]);
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int nCase = 0; nCase < 3000; nCase++) {
        std::string format;
        const int nLength = static_cast<int>(next() % 12);
        for (int i = 0; i < nLength; i++)
            format += kTokens[next() % nTokens];
        const CClockFields even{2005, static_cast<int>(next() % 14), 1, static_cast<int>(next() % 9),
                                static_cast<int>(next() % 24), 5, 10};
        CClockFields odd = even;
        odd.nSecond = 11;
        EXPECT_EQ(Expand(format.c_str(), even).size(), Expand(format.c_str(), odd).size()) << format;
    }
}

} // namespace
