#include "afx/afxcoll.h"
#include "afx/afxexcept.h"
#include "afx/afxstr.h"

#include "afx_test_util.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Like the alarm record: the constructor sets the string and leaves the
// numbers to the array's zero fill.
struct CRecord {
    CRecord() { }
    CString m_strName;
    int m_nValue;
    double m_dValue;
    BYTE m_abRaw[7];
};

// Counts live objects, so that every construction meets one destruction.
struct CTracked {
    static int s_nLive;
    CTracked()
        : m_strText("default")
    {
        s_nLive++;
    }
    CTracked(const char* psz)
        : m_strText(psz)
    {
        s_nLive++;
    }
    CTracked(const CTracked& src)
        : m_strText(src.m_strText)
    {
        s_nLive++;
    }
    CTracked(CTracked&& src) noexcept
        : m_strText(std::move(src.m_strText))
    {
        s_nLive++;
    }
    CTracked& operator=(const CTracked&) = default;
    CTracked& operator=(CTracked&&) = default;
    ~CTracked() { s_nLive--; }
    CString m_strText;
};
int CTracked::s_nLive = 0;

// Points into itself: moving it bytewise would leave the pointer in the old block.
struct CSelfRef {
    CSelfRef()
        : m_p(m_ach)
    {
        std::strcpy(m_ach, "self");
    }
    CSelfRef(const CSelfRef& src)
        : m_p(m_ach)
    {
        std::memcpy(m_ach, src.m_ach, sizeof(m_ach));
    }
    CSelfRef& operator=(const CSelfRef& src)
    {
        std::memcpy(m_ach, src.m_ach, sizeof(m_ach));
        return *this;
    }
    char m_ach[8];
    char* m_p;
};

CString Join(const CArray<CTracked>& a)
{
    CString str;
    for (INT_PTR i = 0; i < a.GetSize(); i++)
        str += (i == 0 ? "" : ",") + a[i].m_strText;
    return str;
}

} // namespace

TEST(CArrayTest, GrowingZeroFillsEvenReusedSlots)
{
    CArray<CRecord, CRecord&> a;
    a.SetSize(3);
    for (INT_PTR i = 0; i < 3; i++) {
        EXPECT_EQ(0, a[i].m_nValue);
        EXPECT_EQ(0.0, a[i].m_dValue);
        EXPECT_TRUE(a[i].m_strName.IsEmpty());
    }
    for (INT_PTR i = 0; i < 3; i++) {
        a[i].m_nValue = 77;
        a[i].m_dValue = 1.5;
        std::memset(a[i].m_abRaw, 0xCC, sizeof(a[i].m_abRaw));
        a[i].m_strName = "used";
    }
    // Shrink and grow again within the same memory: no stale values.
    a.SetSize(1);
    a.SetSize(3);
    EXPECT_EQ(77, a[0].m_nValue);
    for (INT_PTR i = 1; i < 3; i++) {
        EXPECT_EQ(0, a[i].m_nValue);
        EXPECT_EQ(0.0, a[i].m_dValue);
        EXPECT_EQ(0, a[i].m_abRaw[6]);
        EXPECT_TRUE(a[i].m_strName.IsEmpty());
    }
    // One element at a time, as reading a file grows the alarm array.
    for (int nRound = 0; nRound < 3; nRound++) {
        CArray<CRecord, CRecord&> one;
        one.SetSize(1);
        EXPECT_EQ(0, one[0].m_nValue);
        EXPECT_EQ(0.0, one[0].m_dValue);
        one[0].m_nValue = -1;
        one.SetSize(0);
        one.SetSize(1);
        EXPECT_EQ(0, one[0].m_nValue);
    }
    CDWordArray dw;
    dw.SetSize(5, 2);
    dw[4] = 9;
    dw.SetSize(2);
    dw.SetSize(5);
    EXPECT_EQ(0u, dw[4]);
    CPtrArray ptrs;
    ptrs.SetSize(2);
    EXPECT_EQ(nullptr, ptrs[1]);
}

TEST(CArrayTest, ElementsAreConstructedAndDestroyedOnce)
{
    {
        CArray<CTracked> a;
        a.SetSize(4);
        EXPECT_EQ(4, CTracked::s_nLive);
        a.Add("x");
        a.InsertAt(0, CTracked("first"), 2);
        EXPECT_EQ(7, a.GetSize());
        EXPECT_EQ(7, CTracked::s_nLive);
        a.RemoveAt(1, 5);
        EXPECT_EQ(2, CTracked::s_nLive);
        EXPECT_EQ("first,x", Join(a));
        a.FreeExtra();
        EXPECT_EQ(2, CTracked::s_nLive);
        EXPECT_EQ("first,x", Join(a));
        a.SetSize(50, 7);
        EXPECT_EQ(50, CTracked::s_nLive);
        a.SetSize(0);
        EXPECT_EQ(0, CTracked::s_nLive);
        a.Add("again");
    }
    EXPECT_EQ(0, CTracked::s_nLive);
}

TEST(CArrayTest, InsertAndRemoveKeepOrder)
{
    CArray<CTracked> a;
    a.Add("a");
    a.Add("d");
    a.InsertAt(1, CTracked("b"));
    a.InsertAt(2, CTracked("c"));
    EXPECT_EQ("a,b,c,d", Join(a));
    a.InsertAt(6, CTracked("g")); // past the end: the gap gets default elements
    EXPECT_EQ("a,b,c,d,default,default,g", Join(a));
    a.RemoveAt(4, 2);
    EXPECT_EQ("a,b,c,d,g", Join(a));
    a.RemoveAt(4);
    a.RemoveAt(0);
    EXPECT_EQ("b,c,d", Join(a));
    a.InsertAt(0, CTracked("z"), 0);
    EXPECT_EQ("b,c,d", Join(a));

    CArray<CTracked> b;
    b.Add("1");
    b.Add("2");
    a.InsertAt(1, &b);
    EXPECT_EQ("b,1,2,c,d", Join(a));
    a.InsertAt(0, &a); // an array into itself
    EXPECT_EQ("b,1,2,c,d,b,1,2,c,d", Join(a));
    a.InsertAt(3, &b);
    EXPECT_EQ(12, a.GetSize());
}

TEST(CArrayTest, BadIndexesThrowAndChangeNothing)
{
    CArray<CTracked> a;
    a.Add("only");
    ExpectThrows<CInvalidArgException>([&] { a.RemoveAt(1); });
    ExpectThrows<CInvalidArgException>([&] { a.RemoveAt(0, 2); });
    ExpectThrows<CInvalidArgException>([&] { a.RemoveAt(-1); });
    ExpectThrows<CInvalidArgException>([&] { a.RemoveAt(2, 0); });
    ExpectThrows<CInvalidArgException>([&] { a.GetAt(1); });
    ExpectThrows<CInvalidArgException>([&] { (void)a[-1]; });
    ExpectThrows<CInvalidArgException>([&] { a.SetAt(1, CTracked("x")); });
    ExpectThrows<CInvalidArgException>([&] { a.SetSize(-1); });
    ExpectThrows<CInvalidArgException>([&] { a.InsertAt(-1, CTracked("x")); });
    ExpectThrows<CInvalidArgException>([&] { a.SetAtGrow(-1, CTracked("x")); });
    ExpectThrows<CInvalidArgException>([&] { a.InsertAt(0, nullptr); });
    EXPECT_EQ("only", Join(a));
    ExpectThrows<CMemoryException>([&] { a.SetSize(PTRDIFF_MAX / 2); });
    EXPECT_EQ("only", Join(a));
    a.RemoveAt(1, 0); // an empty range at the end is fine
    EXPECT_EQ(1, a.GetSize());
}

TEST(CArrayTest, AddingItsOwnElementSurvivesTheMove)
{
    CStringArray a;
    a.Add("survivor");
    for (int i = 0; i < 100; i++)
        a.Add(a[0]);
    a.SetAtGrow(150, a[100]);
    a.InsertAt(0, a[150], 3);
    ASSERT_EQ(154, a.GetSize());
    EXPECT_STREQ("survivor", a[0]);
    EXPECT_STREQ("survivor", a[153]);
    EXPECT_TRUE(a[120].IsEmpty());
}

TEST(CArrayTest, RelocationMovesSelfReferencingElements)
{
    CArray<CSelfRef> a;
    for (int i = 0; i < 40; i++) {
        a.Add(CSelfRef());
        a[i].m_ach[0] = static_cast<char>('A' + i % 26);
    }
    a.InsertAt(3, CSelfRef(), 10);
    a.RemoveAt(0, 2);
    a.FreeExtra();
    for (INT_PTR i = 0; i < a.GetSize(); i++)
        EXPECT_EQ(a[i].m_ach, a[i].m_p) << "element " << i;
    EXPECT_EQ('C', a[0].m_ach[0]);
    EXPECT_STREQ("self", a[1].m_p);
}

TEST(CArrayTest, AppendCopyAndMove)
{
    CUIntArray a;
    for (UINT i = 0; i < 5; i++)
        a.Add(i);
    CUIntArray b;
    b.Add(100);
    EXPECT_EQ(1, b.Append(a));
    EXPECT_EQ(6, b.GetSize());
    EXPECT_EQ(4u, b[5]);
    EXPECT_EQ(6, b.Append(b));
    EXPECT_EQ(12, b.GetSize());
    EXPECT_EQ(100u, b[6]);
    b.Copy(a);
    EXPECT_EQ(5, b.GetSize());
    b.Copy(b);
    EXPECT_EQ(5, b.GetSize());
    EXPECT_EQ(3u, b.GetData()[3]);

    CUIntArray c(std::move(b));
    EXPECT_EQ(5, c.GetSize());
    EXPECT_EQ(0, b.GetSize());
    b = std::move(c);
    EXPECT_EQ(5, b.GetSize());
    EXPECT_EQ(0, c.GetSize());

    CByteArray bytes;
    bytes.SetAtGrow(3, 0xEE);
    ASSERT_EQ(4, bytes.GetSize());
    EXPECT_EQ(0, bytes[2]);
    EXPECT_EQ(0xEE, bytes[3]);
    CWordArray words;
    for (int i = 0; i < 3000; i++)
        words.Add(static_cast<WORD>(i));
    EXPECT_EQ(2999, words.GetUpperBound());
    EXPECT_EQ(1234, words[1234]);
}
