#include "tools/skinmaker/skinbuild.h"

#include "clocks/digitalface.h"
#include "clocks/skinarchive.h"
#include "clocks/skinzip.h"
#include "image/picture.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Pixels counted from the top, as the regions count them. JPEG moves flat
// colours by a few steps at most.
void ExpectColor(const CPicture& picture, LONG x, LONG y, COLORREF expected)
{
    const RGBQUAD c = picture.GetPixelColor(x, static_cast<LONG>(picture.GetHeight()) - 1 - y);
    EXPECT_NEAR(c.rgbRed, GetRValue(expected), 12) << x << "," << y;
    EXPECT_NEAR(c.rgbGreen, GetGValue(expected), 12) << x << "," << y;
    EXPECT_NEAR(c.rgbBlue, GetBValue(expected), 12) << x << "," << y;
}

std::vector<BYTE> Stream(const CSkinMakerOptions& options)
{
    std::vector<BYTE> stream;
    CString strError;
    EXPECT_TRUE(BuildSkinStream(options, stream, strError)) << strError.GetString();
    return stream;
}

TEST(SkinMaker, AnalogRoundTrip)
{
    for (bool bSecond : {true, false}) {
        CSkinMakerOptions options;
        options.bSecondHand = bSecond;
        options.nFaceSize = 120;
        const std::vector<BYTE> stream = Stream(options);
        AnalogSkinData data;
        CPicture pictures[4];
        CString strError;
        ASSERT_TRUE(LoadAnalogSkin(stream.data(), stream.size(), data, pictures, strError)) << strError.GetString();
        EXPECT_EQ(data.dwHasSecondHand, bSecond ? 1u : 0u);
        EXPECT_EQ(pictures[3].IsValid(), bSecond);
        const int nPictures = bSecond ? 4 : 3;
        for (int i = 0; i < nPictures; i++) {
            EXPECT_EQ(pictures[i].GetWidth(), 120u) << i;
            EXPECT_EQ(pictures[i].GetHeight(), 120u) << i;
            // The turned mask fills its corners with this pixel: it must stay black.
            ExpectColor(pictures[i], 0, 0, SKINMAKER_BLACK);
        }
        ExpectColor(pictures[0], 60, 60, SKINMAKER_FACE);
        ExpectColor(pictures[0], 60, 5, SKINMAKER_FACE);
        ExpectColor(pictures[0], 2, 2, SKINMAKER_BLACK);
        ExpectColor(pictures[1], 60, 45, SKINMAKER_HOUR);
        ExpectColor(pictures[2], 60, 20, SKINMAKER_MINUTE);
        ExpectColor(pictures[2], 75, 20, SKINMAKER_BLACK);
        if (bSecond)
            ExpectColor(pictures[3], 60, 12, SKINMAKER_SECOND);

        // The face region is a disc of one rectangle per row, inside the picture.
        EXPECT_GT(data.faceRegion.rects.size(), 100u);
        EXPECT_EQ(data.faceRegion.rcBound.left, 2);
        EXPECT_EQ(data.faceRegion.rcBound.right, 118);
        EXPECT_EQ(data.faceRegion.rcBound.top, 1);
        EXPECT_EQ(data.faceRegion.rcBound.bottom, 119);
        ASSERT_EQ(data.hourRegion.rects.size(), 1u);
        EXPECT_EQ(data.hourRegion.rects[0].left, 55);
        EXPECT_EQ(data.hourRegion.rects[0].top, 30);
        EXPECT_EQ(data.hourRegion.rects[0].right, 65);
        EXPECT_EQ(data.hourRegion.rects[0].bottom, 65);
    }
}

TEST(SkinMaker, PivotAndNameInTheDescription)
{
    CSkinMakerOptions options;
    options.strName = "Test Face";
    AnalogSkinData data;
    CString strError;
    ASSERT_TRUE(BuildAnalogSkin(options, data, strError));
    SkinDescription middle(data.strDescription);
    EXPECT_TRUE(middle.GetPivotX().bMiddle);
    EXPECT_TRUE(middle.GetPivotY().bMiddle);
    EXPECT_EQ(middle.GetField(SkinDescription::ANALOG_NAME), CString("Test Face"));

    options.bPivotMiddle = false;
    options.nPivotX = 70;
    options.nPivotY = -3;
    ASSERT_TRUE(BuildAnalogSkin(options, data, strError));
    SkinDescription numbers(data.strDescription);
    EXPECT_FALSE(numbers.GetPivotX().bMiddle);
    EXPECT_EQ(numbers.GetPivotX().nValue, 70);
    EXPECT_EQ(numbers.GetPivotY().nValue, -3);
}

TEST(SkinMaker, DigitalRoundTrip)
{
    for (bool bAbc : {false, true}) {
        CSkinMakerOptions options;
        options.kind = SKIN_DIGITAL;
        options.strName = "Red Digital";
        options.bAbcRegion = bAbc;
        options.nGlyphWidth = 12;
        options.nGlyphHeight = 20;
        const std::vector<BYTE> stream = Stream(options);
        DigitalSkinData data;
        CPicture pictures[2];
        CString strError;
        ASSERT_TRUE(LoadDigitalSkin(stream.data(), stream.size(), data, pictures, strError)) << strError.GetString();
        EXPECT_EQ(SkinDescription(data.strDescription).GetField(SkinDescription::DIGITAL_NAME),
                  CString("Red Digital"));
        EXPECT_EQ(data.nHasAbcRegion, bAbc ? 1 : 0);
        EXPECT_EQ(data.abcRegion.rects.size(), bAbc ? 1u : 0u);
        EXPECT_EQ(pictures[0].GetWidth(), 96u);
        EXPECT_EQ(pictures[0].GetHeight(), 28u);
        EXPECT_EQ(pictures[1].GetWidth(), 56u * 12);
        EXPECT_EQ(pictures[1].GetHeight(), 20u);
        ExpectColor(pictures[0], 48, 14, SKINMAKER_BACKGROUND);
        for (int k : {0, 26, 35, 51, 54}) {
            ExpectColor(pictures[1], k * 12 + 6, 10, SKINMAKER_GLYPH);
            ExpectColor(pictures[1], k * 12 + 5, 5, SKINMAKER_GLYPH);
        }
        ExpectColor(pictures[1], SKINMAKER_BLANK_CELL * 12 + 6, 10, SKINMAKER_BLACK);
        ExpectColor(pictures[1], 55 * 12 + 6, 10, SKINMAKER_BLACK);
    }
}

TEST(SkinMaker, DamagedStreams)
{
    CSkinMakerOptions options;
    options.nFaceSize = 64;
    const std::vector<BYTE> whole = Stream(options);
    AnalogSkinData data;
    CPicture pictures[4];
    CString strError;
    ASSERT_TRUE(LoadAnalogSkin(whole.data(), whole.size(), data, pictures, strError));

    // The face region's RGNDATA count follows the description, the switch,
    // the block count and three header fields.
    const DWORD nFaceCount = static_cast<DWORD>(1 + data.strDescription.GetLength() + 4 + 4 + 8);
    options.patches = {{nFaceCount, 0x7FFFFFFF}};
    std::vector<BYTE> stream = Stream(options);
    AnalogSkinData kept;
    kept.strDescription = "kept";
    EXPECT_FALSE(LoadAnalogSkin(stream.data(), stream.size(), kept, pictures, strError));
    EXPECT_STREQ(strError, "Cannot read Clockface region!");
    EXPECT_EQ(kept.strDescription, CString("kept"));

    // Cut inside the last picture's JPEG bytes: the block count no longer fits.
    options.patches.clear();
    options.nTruncate = static_cast<long>(whole.size() - 10);
    stream = Stream(options);
    EXPECT_FALSE(LoadAnalogSkin(stream.data(), stream.size(), data, pictures, strError));
    EXPECT_STREQ(strError, "Cannot read Second hand picture!");
}

// A JPEG whose header claims 60000 x 60000 pixels is refused before any
// pixel memory is taken.
TEST(SkinMaker, HugeJpegHeaderIsRefused)
{
    CSkinMakerOptions options;
    options.nFaceSize = 32;
    options.bSecondHand = false;
    AnalogSkinData data;
    CString strError;
    ASSERT_TRUE(BuildAnalogSkin(options, data, strError));
    std::vector<BYTE>& jpeg = data.hourPicture.bytes;
    bool bPatched = false;
    for (size_t i = 0; i + 9 < jpeg.size(); i++) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = 0xEA; // height 60000
            jpeg[i + 6] = 0x60;
            jpeg[i + 7] = 0xEA; // width 60000
            jpeg[i + 8] = 0x60;
            bPatched = true;
            break;
        }
    }
    ASSERT_TRUE(bPatched);
    CPicture picture;
    EXPECT_FALSE(DecodeSkinPicture(data.hourPicture, picture));
    EXPECT_FALSE(picture.IsValid());

    const std::vector<BYTE> stream = AnalogSkinDataBytes(data);
    CPicture pictures[4];
    AnalogSkinData read;
    EXPECT_FALSE(LoadAnalogSkin(stream.data(), stream.size(), read, pictures, strError));
    EXPECT_STREQ(strError, "Cannot read Hour hand picture!");
    EXPECT_FALSE(pictures[0].IsValid());
}

class SkinMakerFiles : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_root / "dcs");
        fs::create_directories(m_root / "tmp");
    }
    // A folder of each test's own, gone with the test.
    const vtest::CTempFolder m_folder { "veltran_skinmaker" };
    const fs::path m_root = m_folder.Path();
};

TEST_F(SkinMakerFiles, ArchiveToLoadedSkin)
{
    CSkinMakerOptions options;
    options.kind = SKIN_DIGITAL;
    CString strError;
    for (const char* pszName : {"Red Digital", "blue", "Amber"}) {
        options.strName = pszName;
        ASSERT_TRUE(WriteSkinFile(options, (m_root / "dcs" / (std::string(pszName) + ".dcs")).string().c_str(),
                                  strError));
    }
    CSkinOpen open(SKIN_DIGITAL, (m_root / "dcs").string().c_str(), ((m_root / "tmp").string() + "/").c_str());
    CString strSkin = "gone";
    ASSERT_EQ(open.Open(strSkin), SKIN_OPEN_OK) << open.m_strError.GetString();
    EXPECT_EQ(strSkin, CString("Amber"));
    std::vector<BYTE> stream;
    ASSERT_TRUE(ReadSkinDataFile(open.m_strDataPath, SKIN_DATA_MAX_BYTES, stream));
    DigitalSkinData data;
    CPicture pictures[2];
    ASSERT_TRUE(LoadDigitalSkin(stream.data(), stream.size(), data, pictures, strError)) << strError.GetString();
    EXPECT_EQ(SkinDescription(data.strDescription).GetField(SkinDescription::DIGITAL_NAME), CString("Amber"));
}

TEST_F(SkinMakerFiles, BrokenCrcFailsTheUnpack)
{
    CSkinMakerOptions options;
    options.kind = SKIN_DIGITAL;
    options.bBreakCrc = true;
    CString strError;
    ASSERT_TRUE(WriteSkinFile(options, (m_root / "dcs" / "Bad.dcs").string().c_str(), strError));
    CSkinOpen open(SKIN_DIGITAL, (m_root / "dcs").string().c_str(), ((m_root / "tmp").string() + "/").c_str());
    CString strSkin = "Bad";
    ASSERT_EQ(open.Open(strSkin), SKIN_OPEN_UNPACK_FAILED);
    EXPECT_NE(open.m_strError.Find("Error: Bad.dcs: member \"skin.dat\": "), -1) << open.m_strError.GetString();
    EXPECT_FALSE(fs::exists(m_root / "tmp" / "Bad.dat"));
}

TEST(SkinMaker, SampleSkinsOfTheBuildLoad)
{
    const fs::path app = VELTRAN_SAMPLE_SKINS_DIR;
    std::vector<BYTE> zip;
    std::vector<BYTE> stream;
    CString strError;

    CUnzip analog((app / "acs" / "Simple.acs").string().c_str());
    const vtest::CTempFolder folder("veltran_sample");
    const fs::path tmp = folder.Path() / "Simple.dat";
    analog.SwapSize(tmp.string().c_str());
    ASSERT_TRUE(ReadSkinDataFile(tmp.string().c_str(), SKIN_DATA_MAX_BYTES, stream));
    AnalogSkinData analogData;
    CPicture analogPictures[4];
    ASSERT_TRUE(LoadAnalogSkin(stream.data(), stream.size(), analogData, analogPictures, strError));
    EXPECT_EQ(SkinDescription(analogData.strDescription).GetField(SkinDescription::ANALOG_NAME), CString("Simple"));
    EXPECT_NE(analogData.dwHasSecondHand, 0u);

    CUnzip digital((app / "dcs" / "Red Digital.dcs").string().c_str());
    digital.SwapSize(tmp.string().c_str());
    ASSERT_TRUE(ReadSkinDataFile(tmp.string().c_str(), SKIN_DATA_MAX_BYTES, stream));
    DigitalSkinData digitalData;
    CPicture digitalPictures[2];
    ASSERT_TRUE(LoadDigitalSkin(stream.data(), stream.size(), digitalData, digitalPictures, strError));
    EXPECT_EQ(SkinDescription(digitalData.strDescription).GetField(SkinDescription::DIGITAL_NAME),
              CString("Red Digital"));

    // A clock face: ink at the twelve o'clock mark, the dial between it and
    // the centre; pointed hands (wider at the axis than near the tip) and a
    // cap over the axis on the hand drawn last.
    const LONG n = static_cast<LONG>(analogPictures[0].GetWidth());
    ExpectColor(analogPictures[0], n / 2, n / 8, SKINMAKER_SAMPLE_INK);
    ExpectColor(analogPictures[0], n / 2, n / 3, SKINMAKER_SAMPLE_DIAL);
    const auto widthAt = [](const RegionBlock& region, LONG y) {
        for (const RECT& rc : region.rects) {
            if (rc.top == y)
                return static_cast<LONG>(rc.right - rc.left);
        }
        return LONG(0);
    };
    EXPECT_GT(widthAt(analogData.hourRegion, n / 2 - 2),
        widthAt(analogData.hourRegion, analogData.hourRegion.rcBound.top + 2));
    EXPECT_GT(widthAt(analogData.minuteRegion, n / 2 - 2),
        widthAt(analogData.minuteRegion, analogData.minuteRegion.rcBound.top + 2));
    EXPECT_GT(widthAt(analogData.secondRegion, n / 2), 2 * widthAt(analogData.secondRegion, n / 2 - n / 5));

    // Glyphs that spell their characters: the lit dots of every cell differ
    // from every other cell's, and no digit or colon is blank.
    const CPicture& strip = digitalPictures[1];
    const LONG w = static_cast<LONG>(strip.GetWidth()) / DIGITAL_GLYPH_CELLS;
    const LONG h = static_cast<LONG>(strip.GetHeight());
    std::vector<std::vector<bool>> lit(DIGITAL_GLYPH_SET_LENGTH);
    for (int k = 0; k < DIGITAL_GLYPH_SET_LENGTH; k++) {
        for (LONG y = 0; y < h; y++) {
            for (LONG x = k * w; x < (k + 1) * w; x++)
                lit[k].push_back(strip.GetPixelColor(x, y).rgbRed > 128);
        }
    }
    for (int a = 0; a < DIGITAL_GLYPH_SET_LENGTH; a++) {
        for (int b = a + 1; b < DIGITAL_GLYPH_SET_LENGTH; b++)
            EXPECT_NE(lit[a], lit[b]) << g_szDigitalGlyphSet[a] << " and " << g_szDigitalGlyphSet[b];
    }
    for (const char ch : std::string("0123456789:")) {
        const std::vector<bool>& cell = lit[GetGlyphIndex(static_cast<BYTE>(ch))];
        EXPECT_GE(std::count(cell.begin(), cell.end(), true), 2 * h) << ch;
    }
    const std::vector<bool>& blank = lit[GetGlyphIndex(' ')];
    EXPECT_EQ(std::count(blank.begin(), blank.end(), true), 0);
}

} // namespace
