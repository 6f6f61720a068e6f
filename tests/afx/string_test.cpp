#include "afx/afxexcept.h"
#include "afx/afxstr.h"

#include "afx_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

std::string Bytes(const CString& s)
{
    return std::string(static_cast<const char*>(s), static_cast<size_t>(s.GetLength()));
}

} // namespace

TEST(CStringTest, ConstructionKeepsCountedBytes)
{
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_STREQ("", CString());

    CString strZero("a\0b", 3);
    EXPECT_EQ(3, strZero.GetLength());
    EXPECT_EQ(std::string("a\0b", 3), Bytes(strZero));
    EXPECT_EQ('\0', strZero[1]);

    EXPECT_EQ("xxxx", Bytes(CString('x', 4)));
    EXPECT_TRUE(CString('x', 0).IsEmpty());
    ExpectThrows<CInvalidArgException>([] { CString s('x', -1); });
    ExpectThrows<CInvalidArgException>([] { CString s("abc", -1); });
    ExpectThrows<CMemoryException>([] { CString s('x', INT_MAX); });
}

TEST(CStringTest, IndexingStopsAtTheTerminator)
{
    CString s("abc");
    EXPECT_EQ('c', s.GetAt(2));
    EXPECT_EQ('\0', s.GetAt(3)); // the terminator is readable, as in MFC
    ExpectThrows<CInvalidArgException>([&] { s.GetAt(4); });
    ExpectThrows<CInvalidArgException>([&] { s.GetAt(-1); });
    ExpectThrows<CInvalidArgException>([&] { s.SetAt(3, 'x'); });
    s.SetAt(0, 'X');
    EXPECT_STREQ("Xbc", s);
    ExpectThrows<CInvalidArgException>([] { CString().SetAt(0, 'x'); });
}

TEST(CStringTest, AssignAndAppendFromItself)
{
    CString s("abcdef");
    s = static_cast<const char*>(s) + 2;
    EXPECT_STREQ("cdef", s);

    s += s;
    EXPECT_STREQ("cdefcdef", s);

    // Growing while the source still points into the old buffer.
    CString t("0123456789");
    for (int i = 0; i < 6; i++)
        t += static_cast<const char*>(t) + 5;
    EXPECT_EQ(10 + 5 + 10 + 20 + 40 + 80 + 160, t.GetLength());
    EXPECT_EQ(5, t.Find("56789567895678956789"));
    EXPECT_EQ('9', t[t.GetLength() - 1]);
    EXPECT_STREQ("0123456789", t.Left(10));

    CString u("keep");
    u = u;
    EXPECT_STREQ("keep", u);
}

TEST(CStringTest, CopyAndMoveLeaveUsableStrings)
{
    CString a("value");
    CString b(a);
    b.SetAt(0, 'V');
    EXPECT_STREQ("value", a);
    CString c(std::move(b));
    EXPECT_STREQ("Value", c);
    EXPECT_TRUE(b.IsEmpty());
    b += "again";
    EXPECT_STREQ("again", b);
    a = std::move(c);
    EXPECT_STREQ("Value", a);
    a.Empty();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_STREQ("", a);
}

TEST(CStringTest, ComparisonsAreUnsignedAndCounted)
{
    CString s("abc");
    EXPECT_TRUE(s == "abc");
    EXPECT_TRUE("abc" == s);
    EXPECT_TRUE(s != "abd");
    EXPECT_TRUE(s < "abd");
    EXPECT_TRUE("abb" < s);
    EXPECT_TRUE(s > CString("ab"));
    EXPECT_TRUE(s <= "abc" && s >= "abc");
    EXPECT_TRUE(CString("") < CString("a"));
    // Bytes above 127 sort after ASCII, as strcmp does.
    EXPECT_GT(CString("\xE9").Compare("z"), 0);
    EXPECT_LT(s.Compare("abcd"), 0);
    EXPECT_GT(s.Compare(static_cast<const char*>(nullptr)), 0);
    EXPECT_EQ(0, CString().Compare(static_cast<const char*>(nullptr)));
    EXPECT_NE(CString("a\0b", 3), CString("a"));

    EXPECT_EQ(0, CString("HeLLo").CompareNoCase("hello"));
    EXPECT_LT(CString("ABC").CompareNoCase("abd"), 0);
    EXPECT_GT(CString("abcd").CompareNoCase("ABC"), 0);
    // Only ASCII letters fold.
    EXPECT_NE(0, CString("\xC9").CompareNoCase("\xE9"));
    EXPECT_EQ(0, CString("same").Collate("same"));
}

TEST(CStringTest, MidLeftRightClampToTheString)
{
    CString s("abcdef");
    EXPECT_STREQ("cdef", s.Mid(2));
    EXPECT_STREQ("cd", s.Mid(2, 2));
    EXPECT_STREQ("", s.Mid(6));
    EXPECT_STREQ("", s.Mid(60, 2));
    EXPECT_STREQ("ab", s.Mid(-3, 2));
    EXPECT_STREQ("bcdef", s.Mid(1, INT_MAX));
    EXPECT_STREQ("", s.Mid(1, -5));
    EXPECT_STREQ("", s.Left(-1));
    EXPECT_STREQ("abc", s.Left(3));
    EXPECT_STREQ("abcdef", s.Left(100));
    EXPECT_STREQ("", s.Right(0));
    EXPECT_STREQ("ef", s.Right(2));
    EXPECT_STREQ("abcdef", s.Right(INT_MAX));
    EXPECT_STREQ("", CString().Mid(0, 3));
}

TEST(CStringTest, SpanStopsAtTheFirstMismatch)
{
    CString s("cabbage");
    EXPECT_STREQ("cabba", s.SpanIncluding("abc"));
    EXPECT_STREQ("", s.SpanIncluding("xyz"));
    EXPECT_STREQ("", s.SpanIncluding(""));
    EXPECT_STREQ("key", CString("key=value;x").SpanExcluding("=;"));
    EXPECT_STREQ("cabbage", s.SpanExcluding(""));
    EXPECT_STREQ("cabbage", s.SpanExcluding("xyz"));
}

TEST(CStringTest, FindReportsMinusOneWhenAbsent)
{
    CString s("one two two");
    EXPECT_EQ(4, s.Find("two"));
    EXPECT_EQ(8, s.Find("two", 5));
    EXPECT_EQ(-1, s.Find("two", 9));
    EXPECT_EQ(-1, s.Find("three"));
    EXPECT_EQ(-1, s.Find("two two two"));
    EXPECT_EQ(0, s.Find("one", -4));
    EXPECT_EQ(3, s.Find("", 3));
    EXPECT_EQ(11, s.Find("", 11));
    EXPECT_EQ(-1, s.Find("", 12));
    EXPECT_EQ(1, s.Find('n'));
    EXPECT_EQ(-1, s.Find('n', 2));
    EXPECT_EQ(-1, s.Find('z'));
    EXPECT_EQ(-1, s.Find('o', 100));
    EXPECT_EQ(10, s.ReverseFind('o'));
    EXPECT_EQ(-1, s.ReverseFind('z'));
    EXPECT_EQ(-1, CString().ReverseFind('a'));
    EXPECT_EQ(-1, CString().Find("a"));
    EXPECT_EQ(2, s.FindOneOf("ezw"));
    EXPECT_EQ(-1, s.FindOneOf(""));
    EXPECT_EQ(-1, s.FindOneOf("xyz"));
}

TEST(CStringTest, ReplaceCountsAndNeverRescans)
{
    const struct {
        const char* pszText;
        const char* pszOld;
        const char* pszNew;
        int nCount;
        const char* pszResult;
    } aCases[] = {
        { "a.b.c", ".", "", 2, "abc" },
        { "aaaa", "aa", "b", 2, "bb" },
        { "aaa", "aa", "a", 1, "aa" },
        { "aaa", "a", "aa", 3, "aaaaaa" },
        { "xabx", "ab", "abab", 1, "xababx" },
    };
    for (const auto& c : aCases) {
        SCOPED_TRACE(std::string(c.pszText) + " " + c.pszOld);
        CString s(c.pszText);
        EXPECT_EQ(c.nCount, s.Replace(c.pszOld, c.pszNew));
        EXPECT_STREQ(c.pszResult, s);
    }

    CString x("unchanged");
    EXPECT_EQ(0, x.Replace("", "y"));
    EXPECT_EQ(0, x.Replace("zz", "y"));
    EXPECT_EQ(0, x.Replace(static_cast<const char*>(nullptr), "y"));
    EXPECT_STREQ("unchanged", x);

    CString y("a-b-c");
    EXPECT_EQ(2, y.Replace('-', '+'));
    EXPECT_STREQ("a+b+c", y);
    EXPECT_EQ(0, y.Replace('-', '+'));
}

TEST(CStringTest, RemoveInsertDeleteAtTheEdges)
{
    CString s("banana");
    EXPECT_EQ(3, s.Remove('a'));
    EXPECT_STREQ("bnn", s);
    EXPECT_EQ(0, s.Remove('z'));
    CString all("xxx");
    EXPECT_EQ(3, all.Remove('x'));
    EXPECT_TRUE(all.IsEmpty());

    CString t("ac");
    EXPECT_EQ(3, t.Insert(1, 'b'));
    EXPECT_STREQ("abc", t);
    EXPECT_EQ(6, t.Insert(100, "def"));
    EXPECT_STREQ("abcdef", t);
    EXPECT_EQ(7, t.Insert(-5, ">"));
    EXPECT_STREQ(">abcdef", t);
    EXPECT_EQ(7, t.Insert(3, ""));
    EXPECT_STREQ(">abcdef", t);

    EXPECT_EQ(6, t.Delete(0));
    EXPECT_EQ(3, t.Delete(3, 100));
    EXPECT_STREQ("abc", t);
    EXPECT_EQ(3, t.Delete(3, 1));
    EXPECT_EQ(3, t.Delete(1, 0));
    EXPECT_EQ(2, t.Delete(-2, 1));
    EXPECT_STREQ("bc", t);
}

TEST(CStringTest, CaseAndReverseTouchOnlyAscii)
{
    CString s("Mixed \xE9 Case 123");
    EXPECT_STREQ("MIXED \xE9 CASE 123", CString(s).MakeUpper());
    EXPECT_STREQ("mixed \xE9 case 123", CString(s).MakeLower());
    EXPECT_STREQ("cba", CString("abc").MakeReverse());
    EXPECT_STREQ("dcba", CString("abcd").MakeReverse());
    EXPECT_STREQ("", CString().MakeReverse());
    EXPECT_STREQ("x", CString("x").MakeReverse());
}

TEST(CStringTest, TrimHandlesBlankAndTargetSets)
{
    EXPECT_STREQ("", CString(" \t\r\n\v\f ").Trim());
    EXPECT_STREQ("", CString().Trim());
    EXPECT_STREQ("x y", CString(" \t x y \n").Trim());
    EXPECT_STREQ("x  ", CString("  x  ").TrimLeft());
    EXPECT_STREQ("  x", CString("  x  ").TrimRight());
    EXPECT_STREQ("axx", CString("xxaxx").TrimLeft('x'));
    EXPECT_STREQ("xxa", CString("xxaxx").TrimRight('x'));
    EXPECT_STREQ("a", CString("xxaxx").Trim('x'));
    EXPECT_STREQ("", CString("xxxx").Trim('x'));
    EXPECT_STREQ("ab", CString("abxyyx").TrimRight("xy"));
    EXPECT_STREQ("ab", CString("*-ab-*").Trim("-*"));
    EXPECT_STREQ("*ab*", CString("*ab*").Trim(""));
    // A byte above 127 is not white space.
    EXPECT_STREQ("\xA0", CString(" \xA0 ").Trim());
}

TEST(CStringTest, FormatFollowsPrintf)
{
    CString s;
    s.Format("%d-%s-%c-%05.1f-%x-%%", -42, "txt", 'q', 3.14159, 255);
    EXPECT_STREQ("-42-txt-q-003.1-ff-%", s);
    s.Format("%lld|%u", -9000000000LL, 4000000000U);
    EXPECT_STREQ("-9000000000|4000000000", s);
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());

    // Formatting a string into itself reads the old value.
    CString t("abc");
    t.Format("[%s|%s]", static_cast<const char*>(t), static_cast<const char*>(t));
    EXPECT_STREQ("[abc|abc]", t);

    CString strLong;
    strLong.Format("%5000d|%s", 7, "end");
    EXPECT_EQ(5004, strLong.GetLength());
    EXPECT_EQ('7', strLong[4999]);
    EXPECT_STREQ("|end", strLong.Right(4));
    EXPECT_EQ(4999, strLong.SpanIncluding(" ").GetLength());
}

TEST(CStringTest, BufferAccessKeepsTheLengthHonest)
{
    CString s;
    char* p = s.GetBuffer(10);
    std::strcpy(p, "hello");
    s.ReleaseBuffer();
    EXPECT_EQ(5, s.GetLength());
    EXPECT_STREQ("hello", s);

    p = s.GetBuffer(0);
    EXPECT_STREQ("hello", p); // the text is kept
    s.ReleaseBuffer(3);
    EXPECT_STREQ("hel", s);

    p = s.GetBuffer(100);
    EXPECT_STREQ("hel", p);
    std::strcpy(p + 3, "p me");
    s.ReleaseBuffer(-1);
    EXPECT_STREQ("help me", s);

    CString t("ab");
    p = t.GetBufferSetLength(4);
    EXPECT_EQ(4, t.GetLength());
    p[2] = 'c';
    p[3] = 'd';
    t.ReleaseBuffer(4);
    EXPECT_STREQ("abcd", t);

    // A buffer filled to the last byte, without a terminator.
    CString u;
    p = u.GetBuffer(8);
    std::memset(p, 'z', 8);
    u.ReleaseBuffer();
    EXPECT_STREQ("zzzzzzzz", u);

    // A claimed length beyond the buffer is cut to it (a new string's buffer is exact).
    CString v;
    std::memcpy(v.GetBuffer(4), "abcd", 4);
    v.ReleaseBuffer(1000);
    EXPECT_STREQ("abcd", v);
    ExpectThrows<CInvalidArgException>([&] { v.GetBuffer(-1); });
}

TEST(CStringTest, ConcatenationOperators)
{
    CString s("mid");
    EXPECT_STREQ("<mid>", '<' + s + '>');
    EXPECT_STREQ("pre-mid-post", "pre-" + s + "-post");
    EXPECT_STREQ("midmid", s + s);
    CString t;
    t += 'a';
    t += "bc";
    t += CString("de");
    t += static_cast<const char*>(nullptr);
    EXPECT_STREQ("abcde", t);
}

TEST(CStringArrayTest, TakesCStringsAndLiterals)
{
    CStringArray a;
    EXPECT_EQ(0, a.Add("zero"));
    EXPECT_EQ(1, a.Add(CString("one")));
    a.InsertAt(1, "half");
    a.ElementAt(0) += "!";
    ASSERT_EQ(3, a.GetCount());
    EXPECT_STREQ("zero!", a[0]);
    EXPECT_STREQ("half", a[1]);
    a.SetSize(4);
    EXPECT_TRUE(a[3].IsEmpty());

    CStringArray b;
    b.Add("x");
    EXPECT_EQ(1, b.Append(a));
    ASSERT_EQ(5, b.GetSize());
    EXPECT_STREQ("one", b[3]);
}
