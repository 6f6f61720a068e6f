#include "clocks/skinarchive.h"
#include "clocks/skinzip.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A fresh folder per test with "acs", "dcs" and "tmp" inside.
class SkinFolders : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder = std::make_unique<vtest::CTempFolder>("veltran_skins");
        m_root = m_folder->Path();
        fs::create_directories(m_root / "acs");
        fs::create_directories(m_root / "dcs");
        fs::create_directories(m_root / "tmp");
    }
    void TearDown() override { m_folder.reset(); }

    CString Folder(const char* pszName) const { return CString((m_root / pszName).string().c_str()); }
    CString Temp() const { return Folder("tmp") + SKIN_PATH_SEPARATOR; }

    void WriteFile(const fs::path& path, const std::vector<BYTE>& bytes) const
    {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<BYTE> ReadFile(const fs::path& path) const
    {
        std::ifstream in(path, std::ios::binary);
        return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Pack(const char* pszKind, const char* pszFile, const std::vector<BYTE>& data) const
    {
        ASSERT_TRUE(PackSkinData((m_root / pszKind / pszFile).string().c_str(), "skin.dat", data));
    }

    std::unique_ptr<vtest::CTempFolder> m_folder;
    fs::path m_root;
};

std::vector<std::string> Names(const CSortStringArray& names)
{
    std::vector<std::string> v;
    for (INT_PTR i = 0; i < names.GetSize(); i++)
        v.push_back(names[i].GetString());
    return v;
}

const std::vector<BYTE> kData = {'s', 'k', 'i', 'n', 0, 1, 2, 3, 0xFF};

TEST(SkinNames, SafeForPaths)
{
    EXPECT_TRUE(IsSafeSkinName("Red Digital"));
    EXPECT_TRUE(IsSafeSkinName("a.b"));
    EXPECT_FALSE(IsSafeSkinName(""));
    EXPECT_FALSE(IsSafeSkinName(".."));
    EXPECT_FALSE(IsSafeSkinName("..\\x"));
    // Two dots inside a name are the name's own: no step up a folder.
    EXPECT_TRUE(IsSafeSkinName("a..b"));
    EXPECT_FALSE(IsSafeSkinName("sub/x"));
    EXPECT_FALSE(IsSafeSkinName("sub\\x"));
    EXPECT_FALSE(IsSafeSkinName("C:x"));
    EXPECT_FALSE(IsSafeSkinName(CString("a\0b", 3)));
}

// "." and ".." alone, separators, drive colons and device names (with any
// extension) stay out of paths; other dots, and names that only start like a
// device, are names.
TEST(SkinNames, DotsDevicesAndSeparators)
{
    for (const char* pszName : {"Retro..Gold", "...", "x..", ".hidden", "CONSOLE", "COM", "LPT10", "Con Artist"})
        EXPECT_TRUE(IsSafeSkinName(pszName)) << pszName;
    for (const char* pszName : {".", "..", "a\\b", "../x", "C:", "CON", "con", "Con.x", "CON .y", "nul", "PRN", "AUX",
                                "COM1", "lpt9", "COM0.z", "CONIN$", "conout$"})
        EXPECT_FALSE(IsSafeSkinName(pszName)) << pszName;
}

TEST(SkinNames, Paths)
{
    EXPECT_EQ(GetSkinArchivePath("acs", "Simple", SKIN_ANALOG), CString("acs") + SKIN_PATH_SEPARATOR + "Simple.acs");
    EXPECT_EQ(GetSkinArchivePath("dcs", "Red Digital", SKIN_DIGITAL),
              CString("dcs") + SKIN_PATH_SEPARATOR + "Red Digital.dcs");
    EXPECT_EQ(GetSkinDataPath("T\\", "Simple"), CString("T\\Simple.dat"));
    EXPECT_EQ(GetSkinBrowserType(SKIN_ANALOG), 0);
    EXPECT_EQ(GetSkinBrowserType(SKIN_DIGITAL), 1);
}

TEST_F(SkinFolders, ListIsSortedAndFiltered)
{
    for (const char* name : {"beta.acs", "Alpha.acs", "ZULU.acs", "c.ACS", "x.acsx", "noext", "d.dcs", "bad..name.acs"})
        WriteFile(m_root / "acs" / name, kData);
    fs::create_directories(m_root / "acs" / "folder.acs");
    CSortStringArray names;
    names.Add("stale");
    FindSkins(Folder("acs"), SKIN_ANALOG, names);
    // Two dots inside a name are listed as any other name.
    EXPECT_EQ(Names(names), (std::vector<std::string>{"Alpha", "bad..name", "beta", "c", "ZULU"}));

    FindSkins(Folder("acs"), SKIN_DIGITAL, names);
    EXPECT_EQ(Names(names), std::vector<std::string>{"d"});
    FindSkins(Folder("missing"), SKIN_DIGITAL, names);
    EXPECT_EQ(names.GetSize(), 0);

    EXPECT_EQ(FindSkinName(names, "d"), -1);
    FindSkins(Folder("acs"), SKIN_ANALOG, names);
    EXPECT_EQ(FindSkinName(names, "c"), 3);
    // Another spelling of the one listed name finds it, as Windows opens it.
    EXPECT_EQ(FindSkinName(names, "zulu"), 4);
    EXPECT_EQ(FindSkinName(names, "zulu "), -1);
}

TEST_F(SkinFolders, EmptyFolderFindsNoSkins)
{
    CSkinOpen open(SKIN_DIGITAL, Folder("dcs"), Temp());
    CString strSkin = "Red Digital";
    EXPECT_EQ(open.Open(strSkin), SKIN_OPEN_NO_SKINS);
    EXPECT_STREQ(open.m_strError, "No skins were found! Use Skin Browser to download skins or download them manually!");
    EXPECT_EQ(strSkin, CString("Red Digital"));
}

TEST_F(SkinFolders, OpensAndUnpacksTheCurrentSkin)
{
    Pack("acs", "Simple.acs", kData);
    Pack("acs", "Other.acs", {1, 2});
    // A stale data file of the same name is replaced.
    WriteFile(m_root / "tmp" / "Simple.dat", {9, 9, 9});
    CSkinOpen open(SKIN_ANALOG, Folder("acs"), Temp());
    CString strSkin = "Simple";
    ASSERT_EQ(open.Open(strSkin), SKIN_OPEN_OK) << open.m_strError.GetString();
    EXPECT_EQ(strSkin, CString("Simple"));
    EXPECT_EQ(open.m_glimmarkMessages.GetSize(), 0);
    EXPECT_EQ(open.m_strDataPath, Temp() + "Simple.dat");
    EXPECT_EQ(open.m_strArchivePath, Folder("acs") + SKIN_PATH_SEPARATOR + "Simple.acs");
    EXPECT_EQ(ReadFile(m_root / "tmp" / "Simple.dat"), kData);
    EXPECT_FALSE(fs::exists(m_root / "tmp" / "Simple.dat.part"));

    std::vector<BYTE> data;
    ASSERT_TRUE(ReadSkinDataFile(open.m_strDataPath, 1000, data));
    EXPECT_EQ(data, kData);
    EXPECT_FALSE(ReadSkinDataFile(open.m_strDataPath, static_cast<DWORD>(kData.size() - 1), data));
    EXPECT_TRUE(data.empty());
    EXPECT_FALSE(ReadSkinDataFile(Temp() + "none.dat", 1000, data));
}

TEST_F(SkinFolders, MissingSkinFallsBackToTheFirstByName)
{
    Pack("dcs", "zeta.dcs", kData);
    Pack("dcs", "Beta.dcs", kData);
    Pack("dcs", "alpha.dcs", kData);
    for (const char* pszCurrent : {"Deleted", "../dcs/zeta", ""}) {
        CSkinOpen open(SKIN_DIGITAL, Folder("dcs"), Temp());
        CString strSkin = pszCurrent;
        ASSERT_EQ(open.Open(strSkin), SKIN_OPEN_OK) << pszCurrent;
        EXPECT_EQ(strSkin, CString("alpha"));
        ASSERT_EQ(open.m_glimmarkMessages.GetSize(), 1);
        EXPECT_EQ(open.m_glimmarkMessages[0], CString("Cannot read ") + pszCurrent + " skin file!");
        EXPECT_TRUE(fs::exists(m_root / "tmp" / "alpha.dat"));
    }
    // Nothing was written outside the temporary folder.
    EXPECT_FALSE(fs::exists(m_root / "dcs" / "zeta.dat"));

    // "ALPHA" is no missing skin: alpha in another case opens without a box.
    CSkinOpen open(SKIN_DIGITAL, Folder("dcs"), Temp());
    CString strSkin = "ALPHA";
    ASSERT_EQ(open.Open(strSkin), SKIN_OPEN_OK);
    EXPECT_EQ(strSkin, CString("alpha"));
    EXPECT_EQ(open.m_glimmarkMessages.GetSize(), 0);
}

// A setting matches its exact listed name first, else the one listed name
// equal to it ignoring case, whose spelling is then opened and stored.
TEST_F(SkinFolders, SettingsFindTheirSkinWhateverTheCase)
{
    Pack("acs", "Blue.acs", {'B'});
    Pack("acs", "Retro..Gold.acs", {'R'});
#ifndef _WIN32
    WriteFile(m_root / "acs" / "CON.acs", kData); // a device elsewhere: never listed
#endif
    const struct {
        const char* pszSetting;
        const char* pszOpened;
    } cases[] = {{"blue", "Blue"}, {"BLUE", "Blue"}, {"retro..gold", "Retro..Gold"}};
    for (const auto& c : cases) {
        CSkinOpen open(SKIN_ANALOG, Folder("acs"), Temp());
        CString strSkin = c.pszSetting;
        ASSERT_EQ(open.Open(strSkin), SKIN_OPEN_OK) << c.pszSetting;
        EXPECT_EQ(strSkin, CString(c.pszOpened));
        EXPECT_EQ(open.m_glimmarkMessages.GetSize(), 0) << c.pszSetting;
        EXPECT_EQ(ReadFile(m_root / "tmp" / (std::string(c.pszOpened) + ".dat")).at(0), c.pszOpened[0]);
        EXPECT_EQ(Names(open.m_names), (std::vector<std::string>{"Blue", "Retro..Gold"}));
    }
    // Both spellings listed (a case-sensitive folder): each finds its own, a
    // third finds neither rather than one the listing's order would choose.
    CSortStringArray names;
    for (const char* pszName : {"Alpha", "blue", "Blue"})
        names.Add(pszName);
    EXPECT_EQ(FindSkinName(names, "blue"), 1);
    EXPECT_EQ(FindSkinName(names, "Blue"), 2);
    EXPECT_EQ(FindSkinName(names, "BLUE"), -1);
    EXPECT_EQ(FindSkinName(names, "ALPHA"), 0);
}

TEST_F(SkinFolders, FailedUnpackEndsTheLoad)
{
    WriteFile(m_root / "acs" / "Broken.acs", {'P', 'K', 3, 4, 0, 0});
    WriteFile(m_root / "tmp" / "Broken.dat", kData);
    CSkinOpen open(SKIN_ANALOG, Folder("acs"), Temp());
    CString strSkin = "Broken";
    ASSERT_EQ(open.Open(strSkin), SKIN_OPEN_UNPACK_FAILED);
    EXPECT_EQ(open.m_strError,
              "Cannot unpack skin: " + Temp() + "Broken.dat\n\nError: Broken.acs: not a ZIP archive");
    // The old data is gone, so nothing half-valid can be read.
    EXPECT_FALSE(fs::exists(m_root / "tmp" / "Broken.dat"));
    EXPECT_FALSE(fs::exists(m_root / "tmp" / "Broken.dat.part"));
}

std::vector<BYTE> ZipBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Flips bits of one field in both headers of a one-member archive: the local
// header at 0 and the central entry after the data.
void FlipInBothHeaders(std::vector<BYTE>& zip, size_t nLocalAt, size_t nCentralAt, BYTE mask)
{
    zip[nLocalAt] ^= mask;
    for (size_t i = zip.size() - 22; i-- > 0;) {
        if (zip[i] == 'P' && zip[i + 1] == 'K' && zip[i + 2] == 1 && zip[i + 3] == 2) {
            zip[i + nCentralAt] ^= mask;
            return;
        }
    }
    FAIL() << "no central directory entry";
}

void BreakCrc(std::vector<BYTE>& zip)
{
    FlipInBothHeaders(zip, 14, 16, 0x01);
}

TEST_F(SkinFolders, UnzipChecks)
{
    std::vector<BYTE> big(100000);
    for (size_t i = 0; i < big.size(); i++)
        big[i] = static_cast<BYTE>(i * 7 / 13);
    Pack("acs", "big.acs", big);
    const std::vector<BYTE> zip = ZipBytes(m_root / "acs" / "big.acs");
    std::vector<BYTE> data;
    CString strError;
    ASSERT_TRUE(UnzipSkinData(zip.data(), zip.size(), 100000, "big.acs", data, strError)) << strError.GetString();
    EXPECT_EQ(data, big);

    EXPECT_FALSE(UnzipSkinData(zip.data(), zip.size(), 99999, "big.acs", data, strError));
    EXPECT_TRUE(data.empty());
    EXPECT_NE(strError.Find("more than the 99999 allowed"), -1) << strError.GetString();
    EXPECT_NE(strError.Find("member \"skin.dat\""), -1);

    std::vector<BYTE> broken = zip;
    BreakCrc(broken);
    EXPECT_FALSE(UnzipSkinData(broken.data(), broken.size(), 100000, "big.acs", data, strError));
    EXPECT_STREQ(strError, "big.acs: member \"skin.dat\": CRC error");

    // Bit 0 of the general purpose flags marks an encrypted member.
    std::vector<BYTE> encrypted = zip;
    FlipInBothHeaders(encrypted, 6, 8, 0x01);
    EXPECT_FALSE(UnzipSkinData(encrypted.data(), encrypted.size(), 100000, "big.acs", data, strError));
    EXPECT_STREQ(strError, "big.acs: member \"skin.dat\": encrypted");

    // Damaged compressed bytes, then every cut of the archive.
    broken = zip;
    broken[60] ^= 0x55;
    broken[61] ^= 0xAA;
    EXPECT_FALSE(UnzipSkinData(broken.data(), broken.size(), 100000, "big.acs", data, strError));
    for (size_t n = 0; n < zip.size(); n += 97) {
        EXPECT_FALSE(UnzipSkinData(zip.data(), n, 100000, "big.acs", data, strError)) << n;
        EXPECT_TRUE(data.empty());
    }
    EXPECT_FALSE(UnzipSkinData(nullptr, 0, 100000, "none.acs", data, strError));
    EXPECT_STREQ(strError, "none.acs: not a ZIP archive");
}

TEST_F(SkinFolders, SwapSizeThrowsAndLeavesNothing)
{
    WriteFile(m_root / "acs" / "junk.acs", {1, 2, 3});
    const CString strData = Temp() + "junk.dat";
    CString strText;
    try {
        CUnzip unzip(Folder("acs") + SKIN_PATH_SEPARATOR + "junk.acs");
        unzip.SwapSize(strData);
    } catch (CZipException* e) {
        strText = e->GetString();
        e->Delete();
    }
    EXPECT_STREQ(strText, "junk.acs: not a ZIP archive");
    EXPECT_FALSE(fs::exists(m_root / "tmp" / "junk.dat"));
    EXPECT_FALSE(fs::exists(m_root / "tmp" / "junk.dat.part"));

    strText.Empty();
    try {
        CUnzip unzip(Folder("acs") + SKIN_PATH_SEPARATOR + "absent.acs");
    } catch (CZipException* e) {
        strText = e->GetString();
        e->Delete();
    }
    EXPECT_STREQ(strText, "absent.acs: cannot open the archive");

    // Output size cap set by the caller.
    Pack("acs", "ok.acs", kData);
    strText.Empty();
    try {
        CUnzip unzip(Folder("acs") + SKIN_PATH_SEPARATOR + "ok.acs");
        unzip.SetMaxDataSize(4);
        unzip.SwapSize(strData);
    } catch (CZipException* e) {
        strText = e->GetString();
        e->Delete();
    }
    EXPECT_NE(strText.Find("more than the 4 allowed"), -1) << strText.GetString();
    EXPECT_FALSE(fs::exists(m_root / "tmp" / "junk.dat"));
}

// A skin copied in by hand whose data file's path would pass the Windows
// limit: refused before anything is written, so nothing stays behind (under
// Wine a file of that path could be made, but never removed).
TEST_F(SkinFolders, TooLongADataPathLeavesNothing)
{
    const CString strName('L', MAX_PATH - 1 - 9 - Temp().GetLength() + 1);
    Pack("acs", "long.acs", kData);
    CString strText;
    try {
        CUnzip unzip(Folder("acs") + SKIN_PATH_SEPARATOR + "long.acs");
        unzip.SwapSize(Temp() + strName + ".dat");
    } catch (CZipException* e) {
        strText = e->GetString();
        e->Delete();
    }
    EXPECT_EQ(0, strText.Find("long.acs: the path ")) << strText.GetString();
    EXPECT_NE(-1, strText.Find(" is 260 characters long, more than 259")) << strText.GetString();
    EXPECT_TRUE(fs::is_empty(m_root / "tmp"));

    // One character less fits, and unpacks.
    const CString strFits = strName.Left(strName.GetLength() - 1);
    CUnzip unzip(Folder("acs") + SKIN_PATH_SEPARATOR + "long.acs");
    unzip.SwapSize(Temp() + strFits + ".dat");
    EXPECT_EQ(kData, ReadFile(m_root / "tmp" / (std::string(strFits.GetString()) + ".dat")));
}

} // namespace
