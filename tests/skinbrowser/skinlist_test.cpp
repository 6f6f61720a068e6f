#include "skinbrowser/skinlist.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class SkinServer : public ::testing::Test {
protected:
    void SetUp() override { Set("http://127.0.0.1:8123/"); }
    void TearDown() override { Set(nullptr); }
    static void Set(const char* value)
    {
#ifdef _WIN32
        _putenv_s("VELTRAN_SKIN_SERVER", value != nullptr ? value : "");
#else
        if (value != nullptr)
            setenv("VELTRAN_SKIN_SERVER", value, 1);
        else
            unsetenv("VELTRAN_SKIN_SERVER");
#endif
    }
};

TEST_F(SkinServer, AddressesKeepTheServerLayoutWithEscapedNames)
{
    const CString b = "http://127.0.0.1:8123/skins/";
    EXPECT_STREQ(b + "acs/skins.inf", GetSkinListUrl(0));
    EXPECT_STREQ(b + "dcs/skins.inf", GetSkinListUrl(1));
    EXPECT_STREQ(b + "acs//G//S.jpg", GetSkinPreviewUrl(0, "G", "S"));
    EXPECT_STREQ(b + "acs/G/S.acs", GetSkinArchiveProbeUrl(0, "G", "S"));
    EXPECT_STREQ(b + "dcs/G/S.dcs", GetSkinArchiveProbeUrl(1, "G", "S"));
    EXPECT_STREQ("http://127.0.0.1:8123/downloadskin.php?type=a&categoryname=Nature&skinname=Blue",
                 GetSkinDownloadUrl(0, "Nature", "Blue"));
    EXPECT_STREQ(b + "acs//My%20Group//A%26B%2F..%2Fx.jpg", GetSkinPreviewUrl(0, "My Group", "A&B/../x"));
    EXPECT_STREQ("http://127.0.0.1:8123/downloadskin.php?type=d&categoryname=a%26b&skinname=c%3Dd",
                 GetSkinDownloadUrl(1, "a&b", "c=d"));
    EXPECT_STREQ("Cannot access http://127.0.0.1:8123", GetSkinListFailureText());
}

TEST_F(SkinServer, TheProgramsOwnRootWhenUnset)
{
    Set(nullptr);
    EXPECT_EQ(0, GetSkinServerBase().Find("http://"));
    EXPECT_EQ(GetSkinServerBase().GetLength() - 7, GetSkinServerBase().Find("/skins/"));
    EXPECT_EQ(CString("Cannot access ") + GetSkinServerRoot(), GetSkinListFailureText());
}

TEST(SkinList, LinesFieldsGroupsAndEntries)
{
    EXPECT_FALSE(IsSkinListLine("123456789"));
    EXPECT_TRUE(IsSkinListLine("1234567890"));

    CStringArray lines;
    lines.Add("Nature;Blue;Ann;2001-01-01");
    lines.Add("Sport;Ball;Bob;2002");
    lines.Add("Nature;Green;Cid;2003;extra");
    lines.Add("Sport;Blue;Dan;2004");
    lines.Add("NoFieldsAtAll");
    lines.Add("nature;Leaf;Eve;2005");

    CStringArray groups;
    GetSkinGroups(lines, groups);
    ASSERT_EQ(4, groups.GetSize());
    EXPECT_STREQ("Nature", groups[0]);
    EXPECT_STREQ("Sport", groups[1]);
    EXPECT_STREQ("", groups[2]);
    EXPECT_STREQ("nature", groups[3]);

    CStringArray nature;
    GetSkinsOfGroup(lines, "Nature", nature);
    ASSERT_EQ(2, nature.GetSize());
    EXPECT_STREQ("Green", GetSkinListField(nature[1], 1));
    EXPECT_STREQ("Cid", GetSkinListField(nature[1], 2));

    // Duplicated names: the first in file order wins.
    EXPECT_STREQ("Nature;Blue;Ann;2001-01-01", FindSkinEntry(lines, "Blue"));
    EXPECT_STREQ("", FindSkinEntry(lines, "blue"));
    EXPECT_STREQ("", GetSkinListField("NoFieldsAtAll", 3));
}

TEST(SkinList, DetailsText)
{
    EXPECT_STREQ("SKIN COMMENT\n\nSkin name: Blue\n\nSkin group: Nature\n\nMade Ann\n\nMade on 2001",
                 FormatSkinDetails("Blue", "Nature;Blue;Ann;2001"));
    EXPECT_STREQ("SKIN COMMENT\n\nSkin name: X\n\nSkin group: G\n\nMade A\n\nMade on ",
                 FormatSkinDetails("X", "G;X;A"));
}

TEST(SkinList, OnlyPlainNamesReachTheFileSystem)
{
    const struct {
        const char* name;
        bool plain;
    } cases[] = {
        {"Blue", true},        {"My Skin 2", true}, {"a&b", true},      {"v1.2", true},
        {"", false},           {"..", false},       {"..\\..\\x", false}, {"a/b", false},
        {"C:x", false},        {"CON", false},      {"con.acs", false},   {"LPT1", false},
        {"COM9.txt", false},   {"NUL ", false},     {"name.", false},     {"a?b", false},
        {"tab\there", false},  {"CONSOLE", true},   {"COM", true},        {"LPT10", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.plain, IsPlainSkinName(c.name) != FALSE) << c.name;
}

TEST(SkinList, TransferPercent)
{
    EXPECT_EQ(0, GetTransferPercent(500, 0));
    EXPECT_EQ(0, GetTransferPercent(0, 1000));
    EXPECT_EQ(37, GetTransferPercent(379, 1000));
    EXPECT_EQ(99, GetTransferPercent(999, 1000));
    EXPECT_EQ(100, GetTransferPercent(1000, 1000));
    EXPECT_EQ(100, GetTransferPercent(5000, 1000));
    EXPECT_EQ(50, GetTransferPercent(1ull << 40, 1ull << 41));
}

} // namespace
