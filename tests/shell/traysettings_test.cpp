// The tray-clock settings store against a temporary ini file (the Windows
// build reads and writes it with the system's profile functions, the native
// build with its own reader, so both must agree), its helpers, and under
// Windows the registry form below HKEY_CURRENT_USER.
#include "shell/traysettings.h"

#include "core/appseams.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {
std::string g_strModulePath;

class TraySettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = std::make_unique<vtest::CTempFolder>("veltran_traysettings");
        m_dir = m_folder->Path();
        m_ini = m_dir / "Veltran.ini";
        std::snprintf(g_szSettingsIniPath, sizeof(g_szSettingsIniPath), "%s", m_ini.string().c_str());
        g_bSettingsInIni = 1;
        m_savedSeams = g_appSeams;
    }
    void TearDown() override
    {
        g_appSeams = m_savedSeams;
        g_szSettingsIniPath[0] = '\0';
        g_bSettingsInIni = 1;
        m_folder.reset();
    }
    std::string IniText() const
    {
        std::ifstream in(m_ini, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string ReadString(
        LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault, int nNumber = 0, int nSize = 64)
    {
        char sz[256];
        std::memset(sz, 'X', sizeof(sz));
        ReadSettingStringIndexed(pszSection, pszKey, sz, nSize, pszDefault, nNumber);
        EXPECT_NE(nullptr, std::memchr(sz, '\0', static_cast<size_t>(nSize))) << "not terminated";
        return sz;
    }

    std::unique_ptr<vtest::CTempFolder> m_folder;
    fs::path m_dir;
    fs::path m_ini;
    CAppSeams m_savedSeams;
};

TEST(TraySettingsHelpers, CommaFieldsLoseTheirSpacesAndEndEmpty)
{
    const char szList[] = "  first ,  second  ,third";
    const char* const expected[] = { "first", "second", "third", "", "" };
    for (int i = 0; i < 5; i++) {
        char sz[sizeof(szList)];
        std::memset(sz, 'X', sizeof(sz));
        GetCommaField(sz, szList, i);
        EXPECT_STREQ(expected[i], sz) << i;
    }
    char szCut[4];
    GetCommaField(szCut, sizeof(szCut), szList, 1);
    EXPECT_STREQ("sec", szCut);
    char szEmpty[4] = "abc";
    GetCommaField(szEmpty, sizeof(szEmpty), " , x", 0);
    EXPECT_STREQ("", szEmpty);
}

TEST(TraySettingsHelpers, StrNCompareCountsOnlyTheGivenCharacters)
{
    EXPECT_EQ(0, StrNCompare("abX", "abY", 2));
    EXPECT_EQ('X' - 'Y', StrNCompare("abX", "abY", 3));
    EXPECT_EQ(0, StrNCompare("ab", "ab", 10));
    EXPECT_EQ('c', StrNCompare("abc", "ab", 3));
    EXPECT_GT(0, StrNCompare("a\xE4", "ab", 2)); // bytes above 127 count as negative chars
}

TEST(TraySettingsHelpers, SectionsAndKeysOfNumberedSettings)
{
    struct CCase {
        const char* pszSection;
        int nNumber;
        const char* pszIni;
        const char* pszRegistry;
    };
    const CCase cases[] = {
        { nullptr, 0, "Main", "Software\\Tessaly\\VArizi" },
        { "", 1, "Main", "Software\\Tessaly\\VArizi" },
        { "Alarm", 1, "Alarm", "Software\\Tessaly\\VArizi\\Alarm" },
        { "Alarm", 3, "Alarm3", "Software\\Tessaly\\VArizi\\Alarm3" },
        { nullptr, 2, "Main2", "Software\\Tessaly\\VArizi\\Main2" },
        { "Alarm", -4, "Alarm", "Software\\Tessaly\\VArizi\\Alarm" },
    };
    for (const CCase& c : cases) {
        EXPECT_STREQ(c.pszIni, GetTraySettingsSection(c.pszSection, c.nNumber, FALSE)) << c.nNumber;
        EXPECT_STREQ(c.pszRegistry, GetTraySettingsSection(c.pszSection, c.nNumber, TRUE)) << c.nNumber;
    }
}

TEST(TraySettingsHelpers, PathsAreCutAndJoined)
{
    struct CCut {
        const char* pszPath;
        const char* pszResult;
    };
    for (const CCut& c : { CCut { "C:\\a\\b.exe", "C:\\a" }, CCut { "C:\\b.exe", "C:\\" },
             CCut { "b.exe", "" }, CCut { "x/y/z", "x/y" } }) {
        char sz[MAX_PATH];
        std::snprintf(sz, sizeof(sz), "%s", c.pszPath);
        CutFileName(sz);
        EXPECT_STREQ(c.pszResult, sz) << c.pszPath;
    }
    struct CAdd {
        const char* pszPath;
        const char* pszName;
        const char* pszResult;
    };
    const CAdd adds[] = {
        { "C:\\dir", "file.ini", "C:\\dir\\file.ini" },
        { "C:\\dir\\", "file.ini", "C:\\dir\\file.ini" },
        { "C:\\dir/", "f", "C:\\dir\\f" },
        { "C:\\dir", "D:\\other\\f", "D:\\other\\f" },
        { "C:\\dir\\sub", "\\root\\f", "C:\\root\\f" },
        { "dir\\sub", "\\root", "\\root" },
    };
    for (const CAdd& c : adds) {
        char sz[MAX_PATH];
        std::snprintf(sz, sizeof(sz), "%s", c.pszPath);
        AddFileNameToPath(sz, c.pszName);
        EXPECT_STREQ(c.pszResult, sz) << c.pszPath << " + " << c.pszName;
    }
    char szSmall[8] = "C:\\d";
    AddFileNameToPath(szSmall, sizeof(szSmall), "longname");
    EXPECT_STREQ("C:\\d", szSmall); // would not fit: unchanged
}

TEST_F(TraySettingsTest, ValuesAreQuotedAsNeededAndReadBackAsWritten)
{
    struct CCase {
        const char* pszValue;
        const char* pszLine; // as the file holds it
    };
    const CCase cases[] = {
        { "plain", "k0=plain" },
        { "two words", "k1=\"two words\"" },
        { "say \"hi\"", "k2=\"say \"hi\"\"" },
        { "it's", "k3=\"it's\"" },
        { "a,b,,c", "k4=a,b,,c" },
        { "\xC4rger\xFC\xDF", "k5=\xC4rger\xFC\xDF" },
        { " padded ", "k6=\" padded \"" },
        { "\"quoted\"", "k7=\"\"quoted\"\"" },
        { "", "k8=" },
    };
    int i = 0;
    for (const CCase& c : cases) {
        const std::string strKey = "k" + std::to_string(i++);
        ASSERT_TRUE(WriteSettingString(nullptr, strKey.c_str(), c.pszValue)) << strKey;
    }
    const std::string strText = IniText();
    EXPECT_EQ(0u, strText.find("[Main]"));
    i = 0;
    for (const CCase& c : cases) {
        const std::string strKey = "k" + std::to_string(i++);
        EXPECT_NE(std::string::npos, strText.find(std::string(c.pszLine) + "\r\n")) << c.pszLine;
        EXPECT_EQ(c.pszValue, ReadString(nullptr, strKey.c_str(), "default")) << strKey;
    }
}

TEST_F(TraySettingsTest, MissingKeysGiveTheDefaultCutToTheBuffer)
{
    EXPECT_EQ("fallback", ReadString("Nowhere", "none", "fallback"));
    ASSERT_TRUE(WriteSettingString("Here", "k", "value"));
    EXPECT_EQ("fallback", ReadString("Here", "other", "fallback"));
    EXPECT_EQ("", ReadString("Here", "other", nullptr));
    EXPECT_EQ("fal", ReadString("Here", "other", "fallback", 0, 4));
    EXPECT_EQ("val", ReadString("Here", "k", "fallback", 0, 4));
    EXPECT_EQ(-7, ReadSettingInt("Here", "missing", -7));
}

TEST_F(TraySettingsTest, NumberedSectionsRoundTripEverySetting)
{
    struct CCase {
        const char* pszSection;
        int nNumber;
    };
    for (const CCase& c :
        { CCase { nullptr, 0 }, CCase { "Alarm", 1 }, CCase { "Alarm", 3 }, CCase { nullptr, 2 } }) {
        const std::string strText = "text of " + std::to_string(c.nNumber);
        ASSERT_TRUE(WriteSettingStringIndexed(c.pszSection, "Name", strText.c_str(), c.nNumber));
        ASSERT_TRUE(WriteSettingIntIndexed(c.pszSection, "Count", 100 + c.nNumber, c.nNumber));
        ASSERT_TRUE(WriteSettingIntIndexed(c.pszSection, "Negative", -40 - c.nNumber, c.nNumber));
    }
    for (const CCase& c :
        { CCase { nullptr, 0 }, CCase { "Alarm", 1 }, CCase { "Alarm", 3 }, CCase { nullptr, 2 } }) {
        EXPECT_EQ("text of " + std::to_string(c.nNumber), ReadString(c.pszSection, "Name", "", c.nNumber));
        EXPECT_EQ(100 + c.nNumber, ReadSettingIntIndexed(c.pszSection, "Count", 0, c.nNumber));
        EXPECT_EQ(-40 - c.nNumber, ReadSettingIntIndexed(c.pszSection, "Negative", 0, c.nNumber));
    }
    // Number 1 is the plain section, number 3 the section named with a 3.
    EXPECT_EQ(101, ReadSettingInt("Alarm", "Count", 0));
    EXPECT_EQ(103, ReadSettingIntIndexed("Alarm3", "Count", 0, 0));
    EXPECT_EQ(100, ReadSettingInt("", "Count", 0));
    const std::string strText = IniText();
    for (const char* pszSection : { "[Main]", "[Alarm]", "[Alarm3]", "[Main2]" })
        EXPECT_NE(std::string::npos, strText.find(pszSection)) << pszSection;
    // Rewriting a key replaces it in place.
    ASSERT_TRUE(WriteSettingInt("Alarm", "Count", 5));
    EXPECT_EQ(5, ReadSettingInt("Alarm", "Count", 0));
    EXPECT_EQ(103, ReadSettingIntIndexed("Alarm", "Count", 0, 3));
}

TEST_F(TraySettingsTest, IniPathAndDebugLogLieInTheProgramFolder)
{
    g_strModulePath = (m_dir / "Veltran.exe").string();
    g_appSeams.pfnGetModulePath = []() { return CString(g_strModulePath.c_str()); };
    const std::string strDir = m_dir.string();
    InitSettingsIniPath();
    EXPECT_EQ(strDir + "\\Veltran.ini", g_szSettingsIniPath);
#ifdef _WIN32
    AppendDebugLog("first");
    AppendDebugLog("second");
    std::ifstream in(m_dir / "DEBUG.TXT", std::ios::binary);
    EXPECT_EQ("first\r\nsecond\r\n",
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
#endif
}

// What is at a path, as a before-and-after mark: its size, or -1 for nothing.
long long SizeAt(const fs::path& path)
{
    std::error_code ec;
    const auto nSize = fs::file_size(path, ec);
    return ec ? -1 : static_cast<long long>(nSize);
}

// A program that cannot tell its folder has no ini file and no log: reads
// give their defaults, writes fail, and nothing is read or written at the
// root of the drive (on Windows "\Veltran.ini" is the current drive's; the
// native build takes the backslash as part of a name in the current folder).
TEST_F(TraySettingsTest, WithoutAProgramFolderTheIniFileAndTheLogAreNotUsed)
{
    g_appSeams.pfnGetModulePath = []() { return CString(); };
    struct CCurrentFolder {
        const fs::path old = fs::current_path();
        ~CCurrentFolder() { fs::current_path(old); }
    } current;
    fs::current_path(m_dir);
    const fs::path rootIni("\\Veltran.ini");
    const fs::path rootLog("\\DEBUG.TXT");
    const long long nIniBefore = SizeAt(rootIni);
    const long long nLogBefore = SizeAt(rootLog);

    InitSettingsIniPath();
    EXPECT_STREQ("", g_szSettingsIniPath);
    EXPECT_FALSE(WriteSettingString(nullptr, "Skin", "Blue"));
    EXPECT_FALSE(WriteSettingIntIndexed("Alarm", "Count", 3, 2));
    EXPECT_EQ("fallback", ReadString(nullptr, "Skin", "fallback"));
    EXPECT_EQ("fal", ReadString(nullptr, "Skin", "fallback", 0, 4));
    EXPECT_EQ("", ReadString(nullptr, "Skin", nullptr));
    EXPECT_EQ(-7, ReadSettingIntIndexed("Alarm", "Count", -7, 2));
    AppendDebugLog("lost");
    // A read or write that finds the path empty asks for it again, and still gets none.
    g_szSettingsIniPath[0] = '\0';
    EXPECT_FALSE(WriteSettingInt(nullptr, "Count", 1));

    EXPECT_EQ(nIniBefore, SizeAt(rootIni));
    EXPECT_EQ(nLogBefore, SizeAt(rootLog));
    EXPECT_TRUE(fs::is_empty(m_dir));
}

#ifdef _WIN32
TEST_F(TraySettingsTest, TheRegistryFormRoundTripsAndRefusesWhatIsNoText)
{
    g_bSettingsInIni = 0;
    ASSERT_TRUE(WriteSettingString(nullptr, "Skin", "two words"));
    ASSERT_TRUE(WriteSettingStringIndexed("Alarm", "Name", "third", 3));
    ASSERT_TRUE(WriteSettingInt("Alarm", "Count", -12));
    EXPECT_EQ("two words", ReadString(nullptr, "Skin", "d"));
    char sz[64];
    EXPECT_EQ(6, ReadSettingStringIndexed("Alarm", "Name", sz, sizeof(sz), "d", 3)); // bytes, zero included
    EXPECT_STREQ("third", sz);
    EXPECT_EQ(-12, ReadSettingInt("Alarm", "Count", 0));
    EXPECT_EQ("d", ReadString("Alarm", "Name", "d")); // number 1: the plain key has none
    EXPECT_EQ(77, ReadSettingInt("Alarm", "Missing", 77));
    // A number read as text would hand out raw bytes: it gives the default.
    EXPECT_EQ("d", ReadString("Alarm", "Count", "d"));
    EXPECT_EQ(5, ReadSettingInt(nullptr, "Skin", 5)); // 10 bytes of text are no number
    EXPECT_EQ(-12, ReadRegistryInt(HKEY_CURRENT_USER, "Software\\Tessaly\\VArizi\\Alarm", "Count", 0));
    EXPECT_EQ(
        9, ReadRegistryString(HKEY_CURRENT_USER, "Software\\Tessaly\\VArizi", "Skin", sz, sizeof(sz), ""));
    EXPECT_STREQ("two words", sz);
    EXPECT_EQ(3, ReadRegistryString(HKEY_CURRENT_USER, "Software\\Tessaly\\None", "Skin", sz, 4, "default"));
    EXPECT_STREQ("def", sz);
    EXPECT_FALSE(fs::exists(m_ini));
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tessaly\\VArizi\\Alarm3");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tessaly\\VArizi\\Alarm");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tessaly\\VArizi");
}
#endif

} // namespace
