#include "clocks/digitalface.h"

#include "clocks/digitalmodel.h"
#include "clocks/timeformat.h"
#include "core/settings.h"
#include "tests/clocks/facepixels.h"
#include "tools/skinmaker/skinbuild.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(DigitalFace, GlyphCellOfEveryByteAndUpperCasing)
{
    // The set written out by hand: letters, digits 1..9 then 0, blank, signs.
    const std::string set = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890 !@#$%^&*()-+=.:,;/";
    for (int b = 0; b < 256; b++) {
        const size_t at = b == 0 ? std::string::npos : set.find(static_cast<char>(b));
        const int nExpected = at == std::string::npos ? -1 : static_cast<int>(at);
        ASSERT_EQ(GetGlyphIndex(static_cast<BYTE>(b)), nExpected) << b;
    }
    const struct {
        char ch;
        int nCell;
    } named[] = {{'A', 0}, {'1', 26}, {'0', 35}, {' ', 36}, {'(', 45}, {':', 51}, {'/', 54}, {'a', -1}, {'?', -1}};
    for (const auto& n : named)
        EXPECT_EQ(GetGlyphIndex(static_cast<BYTE>(n.ch)), n.nCell) << n.ch;

    const char szMixed[] = "am 10:05 pm, Mar\xe4z?_";
    const CString strUpper = UpperCaseClockText(szMixed);
    EXPECT_STREQ(strUpper.GetString(), "AM 10:05 PM, MAR\xe4Z?_");
}

TEST(DigitalFace, SizeRules)
{
    // Background: s x L x W0 / 800, then + itself mod 56.
    const struct {
        DWORD nStored;
        int64_t nLength;
        int nScale;
        DWORD nWidth;
    } widths[] = {
        {128, 8, 100, 128 + 128 % 56},       // 8 characters at 100 % keep the stored width
        {128, 8, 50, 64 + 64 % 56},          // half of it at 50 %
        {300, 8, 100, 300 + 300 % 56},
        {300, 8, 50, 150 + 150 % 56},
        {128, 10, 150, 240 + 240 % 56},
        {128, 0, 100, 16 + 16},              // no text is sized as one character
        {1, 1, 10, 1},                       // rounds to 0: still a pixel
        {128, 8, 0, 1},
        {2046, 64, 100, 16384},              // 16368 + 16: exactly the largest side
        {2047, 64, 100, 0},                  // 16376 + 24: past it, no width at all
        {128, 1000000000000LL, 100, 0},
        {0xFFFFFFFF, INT64_MAX, INT32_MAX, 0},
    };
    for (const auto& w : widths)
        EXPECT_EQ(GetDigitalBackgroundWidth(w.nStored, w.nLength, w.nScale), w.nWidth)
            << w.nStored << " " << w.nLength << " " << w.nScale;

    // Fixed size: 200 over the larger side 400 is 50, rounded to tens and raised by 10.
    EXPECT_EQ(GetDigitalLoadScale(120, 200, 400, 100), 60);
    EXPECT_EQ(GetDigitalLoadScale(120, 200, 100, 400), 60);
    EXPECT_EQ(GetDigitalLoadScale(120, 5, 400, 100), 10);
    EXPECT_EQ(GetDigitalLoadScale(120, -1, 400, 100), 120);
    EXPECT_EQ(GetDigitalLoadScale(120, 200, 0, 0), 120); // nothing to divide by
    EXPECT_EQ(GetDigitalLoadScale(120, INT32_MAX, 1, 1), INT32_MAX);

    // The strip keeps a pixel per cell; a side past the limit is none.
    EXPECT_EQ(GetDigitalStripWidth(896, 150), 1344u);
    EXPECT_EQ(GetDigitalStripWidth(900, 100), 900u + 900 % 56);
    EXPECT_EQ(GetDigitalStripWidth(896, 1), 56u);
    EXPECT_EQ(GetDigitalStripWidth(16368, 100), 16384u);
    EXPECT_EQ(GetDigitalStripWidth(16369, 100), 0u);
    EXPECT_EQ(GetDigitalStripWidth(896, INT32_MAX), 0u);
    EXPECT_EQ(GetDigitalScaledLength(24, 150), 36u);
    EXPECT_EQ(GetDigitalScaledLength(24, 1), 1u);
    EXPECT_EQ(GetDigitalScaledLength(16384, 100), 16384u);
    EXPECT_EQ(GetDigitalScaledLength(16385, 100), 0u);
    EXPECT_EQ(GetDigitalScaledLength(0xFFFFFFFF, INT32_MAX), 0u);
}

TEST(DigitalFace, BlinkPhasesKeepTheWidth)
{
    CStringArray formats;
    FillFormatPresets(formats);
    formats.Add(g_szDefaultDigitalFormat);
    for (INT_PTR i = 0; i < formats.GetSize(); i++) {
        for (int nSecond : {58, 8}) {
            const CClockFields even = {2026, 3, 1, 1, 9, 59, nSecond};
            CClockFields odd = even;
            odd.nSecond++;
            const CString a = ExpandTimeFormat(formats[i], even), b = ExpandTimeFormat(formats[i], odd);
            EXPECT_EQ(GetDigitalBackgroundWidth(128, a.GetLength(), 150),
                      GetDigitalBackgroundWidth(128, b.GetLength(), 150))
                << formats[i].GetString() << " " << a.GetString() << " / " << b.GetString();
        }
    }
}

TEST(DigitalFace, GlyphPlacements)
{
    std::vector<CGlyphPlacement> p;
    // Centred: 3 glyphs of 10 x 20 on 100 x 40; "?" gets no cell.
    GetGlyphPlacements("A?0", 100, 40, 10, 20, p);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].xDst, 35);
    EXPECT_EQ(p[0].yDst, 10);
    EXPECT_EQ(p[0].xSrc, 0);
    EXPECT_EQ(p[1].xDst, 55);
    EXPECT_EQ(p[1].xSrc, 350);
    EXPECT_EQ(p[1].cx, 10);
    EXPECT_EQ(p[1].cy, 20);

    // Wider and taller than the canvas: cut on every side, the source moved along.
    GetGlyphPlacements("ABC", 25, 10, 10, 20, p);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].xDst, 0);
    EXPECT_EQ(p[0].xSrc, 3);
    EXPECT_EQ(p[0].cx, 7);
    EXPECT_EQ(p[0].ySrc, 5);
    EXPECT_EQ(p[0].cy, 10);
    EXPECT_EQ(p[2].xDst, 17);
    EXPECT_EQ(p[2].xSrc, 20);
    EXPECT_EQ(p[2].cx, 8);

    // A very long text: only the cells on the canvas, no overflow.
    const CString strLong(std::string(1000000, '8').c_str());
    GetGlyphPlacements(strLong, 100, 40, 3000, 20, p);
    // x0 = 50 - 1500000000: glyph 499999 ends at 50, glyph 500000 starts there.
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].xDst, 0);
    EXPECT_EQ(p[0].cx, 50);
    EXPECT_EQ(p[0].xSrc, 33 * 3000 + 2950);
    EXPECT_EQ(p[1].xDst, 50);
    EXPECT_EQ(p[1].cx, 50);
    EXPECT_EQ(p[1].xSrc, 33 * 3000);

    GetGlyphPlacements("", 100, 40, 10, 20, p);
    EXPECT_TRUE(p.empty());
    GetGlyphPlacements("AB", 100, 40, 0, 20, p);
    EXPECT_TRUE(p.empty());
}

// Cell k of the strip copied by hand to (x, y) of the picture.
void CopyCell(const CPicture& strip, int k, LONG gw, LONG gh, CPicture& out, LONG x, LONG y)
{
    for (LONG j = 0; j < gh; j++) {
        for (LONG i = 0; i < gw; i++)
            out.SetPixelColor(x + i, static_cast<LONG>(out.GetHeight()) - 1 - (y + j), At(strip, k * gw + i, j));
    }
}

// The pictures of the skin maker's digital skin: background, glyph strip.
void ReadDigitalPictures(CPicture* pPictures)
{
    CSkinMakerOptions options;
    options.kind = SKIN_DIGITAL;
    std::vector<BYTE> stream;
    CString strError;
    ASSERT_TRUE(BuildSkinStream(options, stream, strError)) << strError.GetString();
    DigitalSkinData data;
    ASSERT_TRUE(LoadDigitalSkin(stream.data(), stream.size(), data, pPictures, strError)) << strError.GetString();
}

TEST(DigitalFace, ComposesASkinmakerSkinAtAPinnedTime)
{
    CPicture pictures[2];
    ReadDigitalPictures(pictures);
    ASSERT_EQ(pictures[0].GetWidth(), 128u); // 8 cells of 16 x 24 and a margin
    ASSERT_EQ(pictures[1].GetWidth(), 896u);

    // 10:20:30, an even second: the default format blanks its colons.
    const CClockFields fields = {2026, 3, 1, 1, 10, 20, 30};
    const CString strText = UpperCaseClockText(ExpandTimeFormat(g_szDefaultDigitalFormat, fields));
    ASSERT_STREQ(strText.GetString(), "10 20 30");

    CDigitalFaceOptions faceOptions;
    faceOptions.nScale = 150;
    CDigitalClockFace face;
    ASSERT_TRUE(face.Prepare(pictures, faceOptions, strText.GetLength()));
    EXPECT_EQ(face.GetWidth(), 216);  // 192 + 192 mod 56
    EXPECT_EQ(face.GetHeight(), 48);
    EXPECT_EQ(face.GetGlyphWidth(), 24);
    EXPECT_EQ(face.GetGlyphHeight(), 36);
    EXPECT_EQ(face.GetSkinBackgroundSize(), CSize(128, 32));

    // The reference: the library's own resampling, then the cells by hand at
    // x = 216 / 2 - 8 x 24 / 2 = 12, y = 48 / 2 - 36 / 2 = 6.
    CPicture background(pictures[0]), strip(pictures[1]);
    ASSERT_TRUE(background.IncreaseBpp(24) || background.GetBpp() == 24);
    ASSERT_TRUE(strip.GetBpp() == 24 || strip.IncreaseBpp(24));
    ASSERT_TRUE(background.Resample(216, 48, 1));
    ASSERT_TRUE(strip.Resample(1344, 36, 1));
    CPicture reference(background);
    const int cells[8] = {26, 35, 36, 27, 35, 36, 28, 35};
    for (int i = 0; i < 8; i++)
        CopyCell(strip, cells[i], 24, 36, reference, 12 + 24 * i, 6);

    CPicture canvas(face.GetBackground());
    ASSERT_TRUE(face.Draw(strText, canvas));
    EXPECT_EQ(CountDifferences(canvas, reference), 0);
    // The blank cells really differ from the digits next to them.
    EXPECT_FALSE(Same(At(canvas, 12 + 24 * 2 + 12, 24), At(canvas, 12 + 24 * 1 + 12, 24)));

    // A second later over the same canvas; characters without a glyph leave
    // what the canvas showed.
    ASSERT_TRUE(face.Draw("1?:2_?31", canvas));
    const int later[8] = {26, -1, 51, 27, -1, -1, 28, 26};
    for (int i = 0; i < 8; i++) {
        if (later[i] >= 0)
            CopyCell(strip, later[i], 24, 36, reference, 12 + 24 * i, 6);
    }
    EXPECT_EQ(CountDifferences(canvas, reference), 0);

    // A scale that rounds the cells to nothing still gives a face of pixels.
    faceOptions.nScale = 1;
    ASSERT_TRUE(face.Prepare(pictures, faceOptions, 8));
    EXPECT_EQ(face.GetGlyphWidth(), 1);
    EXPECT_EQ(face.GetHeight(), 1);
    CPicture tiny(face.GetBackground());
    EXPECT_TRUE(face.Draw(strText, tiny));

    // Pictures that cannot be made leave the face as it was.
    const CPicture none[2];
    EXPECT_FALSE(face.Prepare(none, faceOptions, 8));
    EXPECT_EQ(face.GetGlyphWidth(), 1);
    // So does a scale, a fixed size or a text that would pass the largest side,
    // with the cause.
    faceOptions.nScale = 12800; // 4096 high, but 16384 + 16384 mod 56 wide
    EXPECT_FALSE(face.Prepare(pictures, faceOptions, 8));
    EXPECT_STREQ(face.GetLastError().GetString(),
                 "Cannot show the clock at 12800 %: a side would be larger than 16384 pixels!");
    faceOptions.nScale = 100;
    EXPECT_FALSE(face.Prepare(pictures, faceOptions, 1025)); // 1025 x 16 wide
    faceOptions.nFixedSize = 20000;
    EXPECT_FALSE(face.Prepare(pictures, faceOptions, 8));
    EXPECT_STREQ(face.GetLastError().GetString(),
                 "Cannot show the clock at a fixed size of 20000 pixels: a side would be larger than 16384 pixels!");
    EXPECT_EQ(face.GetGlyphWidth(), 1);
    EXPECT_FALSE(face.Draw(strText, canvas)); // a canvas of another size
}

// Light and contrast each act alone, ten times their setting, on the
// background and the glyph strip exactly as the library's Light does.
TEST(DigitalFace, LightAndContrastEachChangeBothPictures)
{
    CPicture pictures[2];
    ReadDigitalPictures(pictures);
    CDigitalClockFace plain;
    ASSERT_TRUE(plain.Prepare(pictures, CDigitalFaceOptions(), 8));
    for (const CLightCase& c : g_lightCases) {
        CDigitalFaceOptions faceOptions;
        faceOptions.nLight = c.nLight;
        faceOptions.nContrast = c.nContrast;
        CDigitalClockFace lit;
        ASSERT_TRUE(lit.Prepare(pictures, faceOptions, 8));
        ExpectLitAsTheLibraryLightsIt(plain.GetBackground(), lit.GetBackground(), c, "background");
        ExpectLitAsTheLibraryLightsIt(plain.GetStrip(), lit.GetStrip(), c, "glyph strip");
    }
}

TEST(DigitalFace, MenuModel)
{
    const UINT C = CLOCK_MF_CHECKED, G = CLOCK_MF_GRAYED;
    CSortStringArray skins;
    skins.Add("Red Digital");
    CStringArray presets;
    FillFormatPresets(presets);
    CSettings s;
    s.m_bDigitalOnTop = TRUE;
    s.m_bDigitalOnBottom = TRUE;
    s.m_bDigitalAlwaysCenter = TRUE;
    s.m_nDigitalFixedSize = 9;
    s.m_nDigitalScale = 150;
    s.m_nDigitalJitter = 10;
    s.m_strDigitalSkin = "Red Digital";
    s.m_strDigitalFormat = presets[16];
    std::vector<CClockMenuItem> menu = BuildDigitalMenu(s, skins, presets);
    EXPECT_FALSE(s.m_bDigitalOnBottom);
    EXPECT_EQ(s.m_nDigitalFixedSize, -1);

    const struct {
        const char* pszText;
        UINT nID;
        UINT nFlags;
        int nIcon;
    } top[] = {{"Always on top", 301, C, -1},
               {"Always bottom", 315, G, -1},
               {"Auto removing", 310, G, -1},
               {"Always center clock", 311, C, -1},
               {"Auto-changing skin", 304, 0, -1},
               {"Lock movement", 312, 0, -1},
               {"", 0, CLOCK_MF_SEPARATOR, -1},
               {"Effects", 0, CLOCK_MF_POPUP, DIGITAL_ICON_EFFECTS},
               {"Scaling", 0, CLOCK_MF_POPUP, DIGITAL_ICON_SCALING},
               {"Choose skin", 0, CLOCK_MF_POPUP, DIGITAL_ICON_CHOOSESKIN},
               {"Date/Time formats", 0, CLOCK_MF_POPUP, DIGITAL_ICON_FORMATS},
               {"", 0, CLOCK_MF_SEPARATOR, -1},
               {"Center clock", 313, 0, DIGITAL_ICON_CENTER},
               {"Show clock options...", 307, 0, DIGITAL_ICON_OPTIONS},
               {"Skin info...", 316, 0, DIGITAL_ICON_SKIN},
               {"", 0, CLOCK_MF_SEPARATOR, -1},
               {"Hide digital clock", 302, 0, DIGITAL_ICON_HIDE}};
    ASSERT_EQ(menu.size(), sizeof(top) / sizeof(top[0]));
    for (size_t i = 0; i < menu.size(); i++) {
        EXPECT_EQ(menu[i].strText, CString(top[i].pszText)) << i;
        EXPECT_EQ(menu[i].nID, top[i].nID) << i;
        EXPECT_EQ(menu[i].nFlags, top[i].nFlags) << i;
        EXPECT_EQ(menu[i].nIcon, top[i].nIcon) << i;
    }
    const CClockMenuItem& scaling = menu[8];
    ASSERT_EQ(scaling.children.size(), 18u); // fixed size, 2 separators, 15 scales
    EXPECT_EQ(scaling.children[17].strText, CString("150%"));
    EXPECT_EQ(scaling.children[17].nID, 515u);
    EXPECT_EQ(scaling.children[17].nFlags, C);
    EXPECT_EQ(menu[7].children[2].children[10].nFlags, C); // jitter 10
    EXPECT_EQ(menu[7].children[2].children[10].nID, 632u);
    EXPECT_EQ(menu[9].children[0].nFlags, C);
    EXPECT_EQ(menu[9].children[0].nIcon, DIGITAL_ICON_SKIN);
    const CClockMenuItem& formats = menu[10];
    ASSERT_EQ(formats.children.size(), 30u);
    EXPECT_EQ(formats.children[0].nID, 900u);
    EXPECT_EQ(formats.children[2 + 16].nID, 917u);
    EXPECT_EQ(formats.children[2 + 16].nFlags, C);
    EXPECT_EQ(formats.children[2 + 15].nFlags, 0u);
    EXPECT_EQ(GetFormatIndexOfCommand(917, presets.GetSize()), 16);
    EXPECT_EQ(GetFormatIndexOfCommand(929, presets.GetSize()), -1);
    EXPECT_EQ(GetFormatIndexOfCommand(900, presets.GetSize()), -1);

    // A fixed size takes the check from the scale.
    s.m_nDigitalFixedSize = 200;
    menu = BuildDigitalMenu(s, skins, presets);
    EXPECT_EQ(menu[8].children[0].nFlags, C);
    EXPECT_EQ(menu[8].children[17].nFlags, 0u);
}

} // namespace
