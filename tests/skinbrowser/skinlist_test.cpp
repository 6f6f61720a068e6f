#include "skinbrowser/skinlist.h"
#include "support/cputime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

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

// The clocks list and load a name with two dots inside, so the Skin Browser
// takes it too; its own refusals stay.
TEST(SkinList, TwoDotsInsideANameArePlain)
{
    EXPECT_TRUE(IsPlainSkinName("Retro..Gold"));
    for (const char* pszName : {".", "Retro..", "..\\Gold", "CON..x", "a..b?"})
        EXPECT_FALSE(IsPlainSkinName(pszName)) << pszName;
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

TEST(SkinList, GroupsOfAHugeListInLinearTime)
{
    // Every line its own group: a scan of the groups found so far per line
    // would take minutes here.
    CStringArray lines;
    const int nLines = 200000;
    lines.SetSize(0, nLines);
    for (int i = 0; i < nLines; i++) {
        CString str;
        str.Format("Group %06d;Skin;A;2001", nLines - i);
        lines.Add(str);
    }
    lines.Add("Group 000001;Again;A;2001");
    const auto t0 = vtest::ThreadCpuTime();
    CStringArray groups;
    GetSkinGroups(lines, groups);
    EXPECT_LT(vtest::ThreadCpuTime() - t0, std::chrono::seconds(10)) << "CPU time";
    ASSERT_EQ(nLines, groups.GetSize());
    EXPECT_STREQ("Group 200000", groups[0]);
    EXPECT_STREQ("Group 000001", groups[nLines - 1]);
}

TEST(SkinList, RedirectionsResolveAgainstTheAnsweringAddress)
{
    const CString base = "http://h:81/skins/acs//G//S.jpg?x=1";
    EXPECT_STREQ("https://other/a.jpg", ResolveSkinRedirect(base, "https://other/a.jpg"));
    EXPECT_STREQ("HTTP://other/a", ResolveSkinRedirect(base, "HTTP://other/a"));
    EXPECT_STREQ("http://other/b", ResolveSkinRedirect(base, "//other/b"));
    EXPECT_STREQ("http://h:81/r/1", ResolveSkinRedirect(base, "/r/1"));
    EXPECT_STREQ("http://h:81/skins/acs//G//T.jpg", ResolveSkinRedirect(base, "T.jpg"));
    EXPECT_STREQ("http://h:81/x", ResolveSkinRedirect("http://h:81", "x"));
    EXPECT_STREQ("http://h/a/c?d", ResolveSkinRedirect("http://h/a/b?q/r", "c?d"));
    // Never to a file, an FTP site or nowhere.
    EXPECT_STREQ("", ResolveSkinRedirect(base, "file:///C:/Windows/win.ini"));
    EXPECT_STREQ("", ResolveSkinRedirect(base, "ftp://h/x.acs"));
    EXPECT_STREQ("", ResolveSkinRedirect(base, ""));
    EXPECT_STREQ("", ResolveSkinRedirect("not an address", "/x"));
}

TEST(SkinList, PathsOfANameMustFitTheWindowsLimit)
{
    const CString folder = "C:\\Veltran\\acs";
    const CString temp = "C:\\T\\";
    // The archive, folder + "\" + name + ".acs", may be 259 characters long.
    const CString fits('a', MAX_PATH - 1 - folder.GetLength() - 1 - 4);
    EXPECT_STREQ("", GetSkinPathFault(folder, temp, fits, 0));
    EXPECT_STREQ("the name is too long for the skins folder", GetSkinPathFault(folder, temp, fits + "a", 0));
    EXPECT_STREQ("the name is too long for the skins folder", GetSkinPathFault(folder + "x", temp, fits, 1));
    // The data file while it is written, temp + name + ".dat.part", too.
    const CString longTemp = "C:\\users\\somebody with a long name\\AppData\\Local\\Temp\\";
    const CString unpacks('b', MAX_PATH - 1 - longTemp.GetLength() - 9);
    EXPECT_STREQ("", GetSkinPathFault(folder, longTemp, unpacks, 0));
    EXPECT_STREQ("the name is too long for the temporary folder",
                 GetSkinPathFault(folder, longTemp, unpacks + "b", 0));
    EXPECT_STREQ("the name is too long for the temporary folder",
                 GetSkinPathFault(folder, "C:\\users\\me\\Temp\\", CString('c', 240), 0));
}

std::vector<std::string> Take(CSkinListReader& reader)
{
    CStringArray lines;
    reader.TakeLines(lines);
    std::vector<std::string> out;
    for (INT_PTR i = 0; i < lines.GetSize(); i++)
        out.push_back(lines[i].GetString());
    return out;
}

TEST(SkinListReader, SplitsLinesInAnyBlocksAndKeepsTheListsLines)
{
    // Every line of ten characters or more is kept, whatever its fields:
    // names that are no file names are shown, and Install refuses them.
    const std::string list = "G;First;A;2001\r\nshort\r\nG;CON;A;2001\nG;Tab\there;A;2001\nG;Second;A;2001;more\n\n"
                             "123456789\r\nabcdefghij\nGroup;;Auth;2005\r\nNat;..;x;y\n\r\nG;Last;A;2001";
    // Fed whole, and one byte at a time: the same lines.
    for (size_t nBlock : {list.size(), size_t(1), size_t(7)}) {
        SCOPED_TRACE(nBlock);
        CSkinListReader reader;
        for (size_t i = 0; i < list.size(); i += nBlock)
            ASSERT_TRUE(reader.Feed(list.data() + i, std::min(nBlock, list.size() - i)));
        EXPECT_EQ((std::vector<std::string>{"G;First;A;2001", "G;CON;A;2001", "G;Tab\there;A;2001",
                                            "G;Second;A;2001;more", "abcdefghij", "Group;;Auth;2005", "Nat;..;x;y"}),
                  Take(reader));
        ASSERT_TRUE(reader.End());
        EXPECT_EQ(std::vector<std::string>{"G;Last;A;2001"}, Take(reader));
        EXPECT_EQ(8, reader.GetKeptCount());
        EXPECT_EQ(SKB_NONE, reader.GetBound());
    }
}

TEST(SkinListReader, ALineTooLongStopsTheListAndKeepsWhatCameBefore)
{
    const std::string longest = "G;" + std::string(SKIN_LIST_MAX_LINE - 2 - 9, 'n') + ";A;200001";
    ASSERT_EQ(size_t(SKIN_LIST_MAX_LINE), longest.size());
    CSkinListReader reader;
    const std::string text = "G;Kept;A;2001\n" + longest + "\r\n" + longest + "x\n";
    EXPECT_FALSE(reader.Feed(text.data(), text.size()));
    EXPECT_EQ(SKB_LINE, reader.GetBound());
    EXPECT_EQ(2u, Take(reader).size());
    EXPECT_FALSE(reader.End());

    // Without any line end the list is cut as soon as the line is too long,
    // however much more would come.
    CSkinListReader endless;
    const std::string block(512, 'x');
    int nFed = 0;
    while (endless.Feed(block.data(), block.size()) && nFed < 100)
        nFed++;
    EXPECT_EQ(2, nFed);
    EXPECT_EQ(SKB_LINE, endless.GetBound());
    EXPECT_TRUE(Take(endless).empty());
}

TEST(SkinListReader, TooManyLinesOrBytesStopTheList)
{
    CSkinListReader reader;
    std::string lines;
    for (int i = 0; i <= SKIN_LIST_MAX_LINES; i++)
        lines += "G;Skin " + std::to_string(i) + ";A;2001\n";
    EXPECT_FALSE(reader.Feed(lines.data(), lines.size()));
    EXPECT_EQ(SKB_LINES, reader.GetBound());
    EXPECT_EQ(SKIN_LIST_MAX_LINES, reader.GetKeptCount());
    EXPECT_EQ(size_t(SKIN_LIST_MAX_LINES), Take(reader).size());

    // Lines too short to keep still count as bytes.
    CSkinListReader bytes;
    std::string shortLines;
    for (int i = 0; i < 6553; i++)
        shortLines += "123456789\n";
    DWORD nFed = 0;
    while (bytes.Feed(shortLines.data(), shortLines.size()))
        nFed += DWORD(shortLines.size());
    EXPECT_LE(nFed, SKIN_LIST_MAX_BYTES);
    EXPECT_GT(nFed + shortLines.size(), SKIN_LIST_MAX_BYTES);
    EXPECT_EQ(SKB_BYTES, bytes.GetBound());
    EXPECT_EQ(0, bytes.GetKeptCount());
    EXPECT_STREQ("more than 16 MB", DescribeSkinBound(bytes.GetBound()));
}

TEST(SkinLimits, SlowDataEndsAtTheFirstWindowWithTooLittle)
{
    CTransferPace pace(0xFFFFF000u); // the tick count wraps on the way
    DWORD now = 0xFFFFF000u;
    // 1.3 KB a second goes on for ever.
    for (int i = 0; i < 400; i++)
        ASSERT_TRUE(pace.Arrived(64, now += 50)) << i;
    // A byte every 200 ms: the window that ends after 5 s ends the transfer.
    CTransferPace drip(now);
    int nArrivals = 0;
    while (drip.Arrived(1, now += 200))
        nArrivals++;
    EXPECT_EQ(24, nArrivals);
    EXPECT_STREQ("less than 512 bytes in 5 s", DescribeSkinBound(SKB_SLOW));
    EXPECT_STREQ("no answer within 5 s", DescribeSkinBound(SKB_TIMEOUT));
    EXPECT_STREQ("no answer headers within 10 s", DescribeSkinBound(SKB_HEADERS));
    EXPECT_STREQ("more than 5 redirections", DescribeSkinBound(SKB_REDIRECTS));
    EXPECT_STREQ("a line longer than 1024 characters", DescribeSkinBound(SKB_LINE));
    EXPECT_STREQ("more than 250000 skins", DescribeSkinBound(SKB_LINES));
    EXPECT_STREQ("the picture has more than 4194304 pixels", DescribeSkinBound(SKB_PIXELS));
    EXPECT_STREQ("Skin list stopped: more than 250000 skins", FormatSkinListStop(SKB_LINES));
    EXPECT_STREQ("Skin list stopped: incomplete, 3015 of 6030 bytes", FormatSkinListIncomplete(3015, 6030));
    EXPECT_STREQ("incomplete, 0 of 5000000000 bytes", DescribeIncomplete(0, 5000000000ull));
}

// Each window's count starts afresh: a burst that carried one window does
// not carry the next, and a window is judged only once it has passed.
TEST(SkinLimits, SlowDataAfterABurstEndsInTheWindowAfterIt)
{
    for (DWORD dwStart : {0u, 0xFFFFF000u}) {
        SCOPED_TRACE(dwStart);
        CTransferPace pace(dwStart);
        DWORD now = dwStart;
        ASSERT_TRUE(pace.Arrived(1024, now));
        DWORD dwEnded = 0;
        for (int i = 0; i < 200 && dwEnded == 0; i++) {
            if (!pace.Arrived(1, now += 200))
                dwEnded = now - dwStart;
        }
        // The burst carries the first window; the second, a byte every 200 ms, ends it.
        EXPECT_GE(dwEnded, 2 * SKIN_PACE_WINDOW_MS);
        EXPECT_LE(dwEnded, 2 * SKIN_PACE_WINDOW_MS + 200);
    }
    // Just enough in each window goes on; one byte short ends at that window.
    CTransferPace steady(0);
    DWORD now = 0;
    for (int nWindow = 0; nWindow < 5; nWindow++) {
        ASSERT_TRUE(steady.Arrived(SKIN_PACE_MIN_BYTES, now += 100));
        ASSERT_TRUE(steady.Arrived(0, now += SKIN_PACE_WINDOW_MS)) << nWindow;
    }
    ASSERT_TRUE(steady.Arrived(SKIN_PACE_MIN_BYTES - 1, now += 100));
    EXPECT_TRUE(steady.Arrived(0, now + SKIN_PACE_WINDOW_MS - 200));
    EXPECT_FALSE(steady.Arrived(0, now += SKIN_PACE_WINDOW_MS));
}

} // namespace
