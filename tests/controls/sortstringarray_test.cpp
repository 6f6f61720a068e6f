#include "controls/sortstringarray.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

CSortStringArray Make(std::initializer_list<const char*> items)
{
    CSortStringArray a;
    for (const char* p : items)
        a.Add(p);
    return a;
}

std::vector<std::string> Items(const CSortStringArray& a)
{
    std::vector<std::string> v;
    for (INT_PTR i = 0; i < a.GetSize(); i++)
        v.emplace_back(a[i].GetString(), static_cast<size_t>(a[i].GetLength()));
    return v;
}

using V = std::vector<std::string>;

TEST(SortStringArray, EmptyAndSingle)
{
    CSortStringArray empty;
    empty.Sort();
    EXPECT_EQ(empty.GetSize(), 0);
    CSortStringArray one = Make({"Only"});
    one.Sort();
    EXPECT_EQ(Items(one), V{"Only"});
}

TEST(SortStringArray, CaseInsensitiveAndStable)
{
    CSortStringArray a = Make({"beta", "Alpha", "alpha"});
    a.Sort();
    EXPECT_EQ(Items(a), (V{"Alpha", "alpha", "beta"}));

    CSortStringArray same = Make({"abc", "ABC", "Abc", "aBc"});
    same.Sort();
    EXPECT_EQ(Items(same), (V{"abc", "ABC", "Abc", "aBc"}));

    CSortStringArray skins = Make({"zulu", "Red Digital", "Simple", "red digital", "Analog", "simple"});
    skins.Sort();
    EXPECT_EQ(Items(skins), (V{"Analog", "Red Digital", "red digital", "Simple", "simple", "zulu"}));
}

TEST(SortStringArray, ByteOrderOutsideLetters)
{
    // Letters fold to lower case, so "_" (0x5F) sorts before "B" (as "b").
    CSortStringArray a = Make({"B", "_", "a", "[", "1"});
    a.Sort();
    EXPECT_EQ(Items(a), (V{"1", "[", "_", "a", "B"}));

    // Bytes above 0x7F count as unsigned and are not folded.
    CSortStringArray high = Make({"\xC9t\xE9", "zz", "\xE9t\xE9"});
    high.Sort();
    EXPECT_EQ(Items(high), (V{"zz", "\xC9t\xE9", "\xE9t\xE9"}));

    // A prefix sorts first.
    CSortStringArray prefix = Make({"abcd", "ABC", "ab", ""});
    prefix.Sort();
    EXPECT_EQ(Items(prefix), (V{"", "ab", "ABC", "abcd"}));
}

TEST(SortStringArray, CompareAndSwap)
{
    CSortStringArray a = Make({"b", "A", "a"});
    EXPECT_TRUE(a.CompareAndSwap(0));
    EXPECT_EQ(Items(a), (V{"A", "b", "a"}));
    EXPECT_TRUE(a.CompareAndSwap(1));
    EXPECT_EQ(Items(a), (V{"A", "a", "b"}));
    EXPECT_FALSE(a.CompareAndSwap(0));
    EXPECT_FALSE(a.CompareAndSwap(1));
    EXPECT_EQ(Items(a), (V{"A", "a", "b"}));

    EXPECT_LT(CSortStringArray::CompareNoCase("Alpha", "beta"), 0);
    EXPECT_GT(CSortStringArray::CompareNoCase("beta", "ALPHA"), 0);
    EXPECT_EQ(CSortStringArray::CompareNoCase("MiXeD", "mixed"), 0);
}

TEST(SortStringArray, ReversedListOfMany)
{
    CSortStringArray a;
    for (int i = 199; i >= 0; i--) {
        CString s;
        s.Format(i % 2 ? "Skin%03d" : "skin%03d", i);
        a.Add(s);
    }
    a.Sort();
    ASSERT_EQ(a.GetSize(), 200);
    for (INT_PTR i = 0; i + 1 < a.GetSize(); i++)
        EXPECT_LT(CSortStringArray::CompareNoCase(a[i], a[i + 1]), 0) << i;
    EXPECT_STREQ(a[0], "skin000");
    EXPECT_STREQ(a[199], "Skin199");
}

} // namespace
