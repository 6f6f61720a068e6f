#include "clocks/analogface.h"

#include "tests/clocks/facepixels.h"
#include "tools/skinmaker/skinbuild.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

struct CReadSkin {
    AnalogSkinData data;
    CPicture pictures[4];
};

void ReadSkin(const CSkinMakerOptions& options, CReadSkin& skin)
{
    std::vector<BYTE> stream;
    CString strError;
    ASSERT_TRUE(BuildSkinStream(options, stream, strError)) << strError.GetString();
    ASSERT_TRUE(LoadAnalogSkin(stream.data(), stream.size(), skin.data, skin.pictures, strError))
        << strError.GetString();
}

bool InRegion(const RegionBlock& region, LONG x, LONG y)
{
    const POINT pt = {x, y};
    for (const RECT& rc : region.rects) {
        if (PtInRect(&rc, pt))
            return true;
    }
    return false;
}

void Put(CPicture& p, LONG x, LONG y, RGBQUAD c)
{
    p.SetPixelColor(x, static_cast<LONG>(p.GetHeight()) - 1 - y, c);
}

// The clock at 100 % without effects, pixel by pixel from the read skin and
// the library's Rotate alone: the face blackened outside its shape within its
// bounding box, then each hand where its turned mask is brighter than 16.
void ReferenceClock(const CReadSkin& skin, int h, int m, int s, bool bSecond, CPicture& out)
{
    const CPicture& face = skin.pictures[0];
    const LONG w = static_cast<LONG>(face.GetWidth()), fh = static_cast<LONG>(face.GetHeight());
    out.Create(face.GetWidth(), face.GetHeight(), 24);
    const RegionBlock& shape = skin.data.faceRegion;
    for (LONG y = 0; y < fh; y++) {
        for (LONG x = 0; x < w; x++) {
            const bool bBlack = x < shape.rcBound.right && y < shape.rcBound.bottom && !InRegion(shape, x, y);
            Put(out, x, y, bBlack ? RGBQUAD{0, 0, 0, 0} : At(face, x, y));
        }
    }
    const int angles[3] = {(h % 12) * 30 + m / 2, m * 6, s * 6};
    const RegionBlock* regions[3] = {&skin.data.hourRegion, &skin.data.minuteRegion, &skin.data.secondRegion};
    const LONG px = w / 2, py = fh / 2; // the skinmaker's "middle" pivots
    for (int i = 0; i < (bSecond ? 3 : 2); i++) {
        CPicture hand(skin.pictures[1 + i]);
        hand.IncreaseBpp(24);
        CPicture mask(hand.GetWidth(), hand.GetHeight(), 24);
        for (LONG y = 0; y < static_cast<LONG>(hand.GetHeight()); y++) {
            for (LONG x = 0; x < static_cast<LONG>(hand.GetWidth()); x++) {
                const BYTE v = InRegion(*regions[i], x, y) ? 255 : 0;
                Put(mask, x, y, RGBQUAD{v, v, v, 0});
            }
        }
        ASSERT_TRUE(hand.Rotate(static_cast<float>(angles[i])));
        ASSERT_TRUE(mask.Rotate(static_cast<float>(angles[i])));
        const LONG ox = px - static_cast<LONG>(hand.GetWidth() / 2), oy = py - static_cast<LONG>(hand.GetHeight() / 2);
        for (LONG y = 0; y < static_cast<LONG>(mask.GetHeight()); y++) {
            for (LONG x = 0; x < static_cast<LONG>(mask.GetWidth()); x++) {
                const RGBQUAD c = At(mask, x, y);
                const bool bOpaque = c.rgbRed > 16 || c.rgbGreen > 16 || c.rgbBlue > 16;
                if (bOpaque && ox + x >= 0 && oy + y >= 0 && ox + x < w && oy + y < fh)
                    Put(out, ox + x, oy + y, At(hand, x, y));
            }
        }
    }
}

// Colour classes as the skinmaker paints them; JPEG moves each channel a little.
bool Near(RGBQUAD c, COLORREF ref)
{
    return std::abs(c.rgbRed - GetRValue(ref)) < 48 && std::abs(c.rgbGreen - GetGValue(ref)) < 48
           && std::abs(c.rgbBlue - GetBValue(ref)) < 48;
}

TEST(AnalogFace, ComposesAsTheReferenceAtPinnedTimes)
{
    CReadSkin skin;
    ReadSkin(CSkinMakerOptions(), skin);
    CAnalogClockFace face;
    ASSERT_TRUE(face.Prepare(skin.data, skin.pictures, CClockFaceOptions()));
    struct {
        int h, m, s;
        bool bSecond;
    } const times[] = {{3, 30, 0, true}, {11, 59, 59, true}, {23, 59, 7, false}, {0, 0, 0, true}, {7, 21, 44, true}};
    for (const auto& t : times) {
        ASSERT_TRUE(face.Turn(t.h, t.m, t.s, t.bSecond));
        CPicture composed, expected;
        ASSERT_TRUE(face.Compose(composed));
        ReferenceClock(skin, t.h, t.m, t.s, t.bSecond, expected);
        // Exact: both take the same decoded pixels through the same Rotate.
        EXPECT_EQ(CountDifferences(composed, expected), 0) << t.h << ":" << t.m << ":" << t.s;
    }
}

bool SameRuns(const std::vector<RECT>& a, const std::vector<RECT>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++) {
        if (!EqualRect(&a[i], &b[i]))
            return false;
    }
    return true;
}

// The runs come from the mask carried in the picture's alpha plane; they
// must be the runs of the mask turned on its own, including a mask whose
// corner belongs to the hand (whose turned corners then belong to it too).
TEST(AnalogFace, RunsAreThoseOfTheTurnedMask)
{
    CReadSkin skin;
    ReadSkin(CSkinMakerOptions(), skin);
    skin.data.minuteRegion.rects.push_back(RECT{0, 159, 3, 160}); // the corner Rotate fills from
    CAnalogClockFace face;
    ASSERT_TRUE(face.Prepare(skin.data, skin.pictures, CClockFaceOptions()));
    EXPECT_FALSE(face.GetHand(HAND_HOUR).bCornerInMask);
    EXPECT_TRUE(face.GetHand(HAND_MINUTE).bCornerInMask);
    for (int s = 0; s < 60; s += 7) {
        ASSERT_TRUE(face.Turn(s % 12, s, s, TRUE));
        for (int i = 0; i < HAND_COUNT; i++) {
            CPicture turnedMask;
            ASSERT_TRUE(face.TurnMask(i, turnedMask));
            std::vector<RECT> runs;
            GetMaskRuns(turnedMask, runs);
            EXPECT_TRUE(SameRuns(runs, face.GetHand(i).runs)) << "hand " << i << " at " << s;
            EXPECT_EQ(face.GetHand(i).turned.GetWidth(), turnedMask.GetWidth());
        }
    }
}

// Pixels of a turned hand that differ from the library's own turn of its
// picture: in the alpha plane anywhere, in colour where the plane is above 16.
int DifferencesFromTheLibrarysTurn(const CAnalogClockFace::CHand& hand)
{
    CPicture picture(hand.picture), reference;
    if (!picture.Rotate(static_cast<float>(hand.nAngle), &reference)
        || reference.GetWidth() != hand.turned.GetWidth() || reference.GetHeight() != hand.turned.GetHeight())
        return -1;
    int n = 0;
    const LONG w = static_cast<LONG>(reference.GetWidth());
    for (LONG y = 0; y < static_cast<LONG>(reference.GetHeight()); y++) {
        const BYTE* a = reference.AlphaGetPointer(0, y);
        const BYTE* b = hand.turned.AlphaGetPointer(0, y);
        const BYTE* p = reference.GetBits(static_cast<DWORD>(y));
        const BYTE* q = hand.turned.GetBits(static_cast<DWORD>(y));
        for (LONG x = 0; x < w; x++)
            n += a[x] != b[x] || (a[x] > 16 && std::memcmp(p + 3 * x, q + 3 * x, 3) != 0) ? 1 : 0;
    }
    return n;
}

// Every angle a hand takes at 100 %, every sixth at 150 %: the turned hand
// is the library's turn wherever it is drawn.
TEST(AnalogFace, TurnedHandsAreTheLibrarysTurnWhereverTheyAreDrawn)
{
    CReadSkin skin;
    ReadSkin(CSkinMakerOptions(), skin);
    for (int nScale : {100, 150}) {
        CClockFaceOptions options;
        options.nScale = nScale;
        CAnalogClockFace face;
        ASSERT_TRUE(face.Prepare(skin.data, skin.pictures, options));
        for (int nAngle = 0; nAngle < 360; nAngle += nScale == 100 ? 1 : 6) {
            // The hour hand takes every degree; the others every sixth.
            ASSERT_TRUE(face.Turn(nAngle / 30, (nAngle % 30) * 2, nAngle / 6, TRUE));
            ASSERT_EQ(face.GetHand(HAND_HOUR).nAngle, nAngle);
            for (int i = 0; i < HAND_COUNT; i++) {
                if (i != HAND_HOUR && nAngle % 6 != 0)
                    continue;
                EXPECT_EQ(DifferencesFromTheLibrarysTurn(face.GetHand(i)), 0) << "hand " << i << " at " << nAngle
                                                                               << " degrees, " << nScale << " %";
            }
        }
    }
}

TEST(AnalogFace, HandsPointWhereTheTimeSays)
{
    CReadSkin skin;
    ReadSkin(CSkinMakerOptions(), skin);
    CClockFaceOptions options;
    options.nScale = 150;
    CAnalogClockFace face;
    ASSERT_TRUE(face.Prepare(skin.data, skin.pictures, options));
    ASSERT_EQ(face.GetWidth(), 240);
    ASSERT_EQ(face.GetPivot(), CPoint(120, 120));
    ASSERT_TRUE(face.Turn(3, 0, 45, TRUE));
    CPicture out;
    ASSERT_TRUE(face.Compose(out));
    // Hour hand (60 px at 150 %) to the right, minute hand (96 px) up,
    // second hand (108 px) to the left, the dial below.
    EXPECT_TRUE(Near(At(out, 120 + 40, 120), SKINMAKER_HOUR));
    EXPECT_TRUE(Near(At(out, 120, 120 - 80), SKINMAKER_MINUTE));
    EXPECT_TRUE(Near(At(out, 120 - 90, 120), SKINMAKER_SECOND));
    EXPECT_TRUE(Near(At(out, 120, 120 + 60), SKINMAKER_FACE));
    EXPECT_TRUE(Near(At(out, 2, 2), SKINMAKER_BLACK)); // outside the disc
}

TEST(AnalogFace, SecondHandIsTurnedFromItsOriginalEverySecond)
{
    CReadSkin skin;
    ReadSkin(CSkinMakerOptions(), skin);
    CAnalogClockFace face;
    ASSERT_TRUE(face.Prepare(skin.data, skin.pictures, CClockFaceOptions()));
    ASSERT_TRUE(face.Turn(10, 10, 7, TRUE));
    const CPicture first(face.GetHand(HAND_SECOND).turned);
    const std::vector<RECT> firstRuns = face.GetHand(HAND_SECOND).runs;
    for (int lap = 0; lap < 2; lap++) {
        for (int s = 0; s < 60; s++)
            ASSERT_TRUE(face.Turn(10, 10, s, TRUE));
    }
    ASSERT_TRUE(face.Turn(10, 10, 7, TRUE));
    EXPECT_EQ(CountDifferences(face.GetHand(HAND_SECOND).turned, first), 0);
    EXPECT_EQ(face.GetHand(HAND_SECOND).runs.size(), firstRuns.size());
}

TEST(AnalogFace, ScalesAndPivots)
{
    struct {
        const char* pszCase;
        int nFaceSize;
        bool bMiddle;
        int nPivot;
        int nScale, nFixed;
        LONG nWidth;
        int nLoadScale;
        CPoint ptPivot, ptSkinPivot;
    } const cases[] = {
        {"middle on an odd face", 301, true, 0, 100, -1, 301, 100, {150, 150}, {150, 150}},
        {"middle at 150 %", 160, true, 0, 150, -1, 240, 150, {120, 120}, {120, 120}},
        {"numbers scale", 160, false, 81, 50, -1, 80, 50, {40, 40}, {81, 81}},
        {"fixed size", 160, true, 0, 120, 80, 80, 50, {40, 40}, {40, 40}},
        {"10 % keeps a pixel", 16, true, 0, 10, -1, 1, 10, {0, 0}, {0, 0}},
    };
    for (const auto& c : cases) {
        CSkinMakerOptions options;
        options.nFaceSize = c.nFaceSize;
        options.bPivotMiddle = c.bMiddle;
        options.nPivotX = options.nPivotY = c.nPivot;
        CReadSkin skin;
        ReadSkin(options, skin);
        CClockFaceOptions faceOptions;
        faceOptions.nScale = c.nScale;
        faceOptions.nFixedSize = c.nFixed;
        CAnalogClockFace face;
        ASSERT_TRUE(face.Prepare(skin.data, skin.pictures, faceOptions)) << c.pszCase;
        EXPECT_EQ(face.GetWidth(), c.nWidth) << c.pszCase;
        EXPECT_EQ(face.GetHeight(), c.nWidth) << c.pszCase;
        EXPECT_EQ(face.GetScale(), c.nLoadScale) << c.pszCase;
        EXPECT_EQ(face.GetPivot(), c.ptPivot) << c.pszCase;
        EXPECT_EQ(face.GetSkinPivot(), c.ptSkinPivot) << c.pszCase;
        EXPECT_EQ(face.GetSkinFaceSize(), CSize(c.nFaceSize, c.nFaceSize)) << c.pszCase;
        for (int i = 0; i < HAND_COUNT; i++) {
            EXPECT_GE(face.GetHand(i).picture.GetWidth(), 1u) << c.pszCase;
            EXPECT_EQ(face.GetHand(i).mask.GetWidth(), face.GetHand(i).picture.GetWidth()) << c.pszCase;
        }
        EXPECT_TRUE(face.Turn(4, 50, 30, TRUE)) << c.pszCase;
        CPicture out;
        EXPECT_TRUE(face.Compose(out)) << c.pszCase;
        EXPECT_EQ(static_cast<LONG>(out.GetWidth()), c.nWidth) << c.pszCase;
    }
}

TEST(AnalogFace, EffectsLeaveMasksAndEmptyMasksDrawNothing)
{
    CReadSkin skin;
    ReadSkin(CSkinMakerOptions(), skin);
    CAnalogClockFace plain, effects;
    CClockFaceOptions options;
    ASSERT_TRUE(plain.Prepare(skin.data, skin.pictures, options));
    options.nLight = 5;
    options.nContrast = 3;
    options.nJitter = 2;
    ASSERT_TRUE(effects.Prepare(skin.data, skin.pictures, options));
    for (int i = 0; i < HAND_COUNT; i++) {
        EXPECT_EQ(CountDifferences(plain.GetHand(i).mask, effects.GetHand(i).mask), 0) << i;
        EXPECT_GT(CountDifferences(plain.GetHand(i).picture, effects.GetHand(i).picture), 0) << i;
    }
    EXPECT_EQ(CountDifferences(plain.GetShape(), effects.GetShape()), 0);

    // No hand regions: the hands leave the face as it is.
    skin.data.hourRegion.rects.clear();
    skin.data.minuteRegion.rects.clear();
    skin.data.secondRegion.rects.clear();
    CAnalogClockFace empty;
    ASSERT_TRUE(empty.Prepare(skin.data, skin.pictures, CClockFaceOptions()));
    ASSERT_TRUE(empty.Turn(5, 40, 20, TRUE));
    CPicture out;
    ASSERT_TRUE(empty.Compose(out));
    EXPECT_EQ(CountDifferences(out, empty.GetFace()), 0);
    EXPECT_TRUE(empty.GetHand(HAND_SECOND).runs.empty());
}

// Light and contrast each act alone, ten times their setting, on the face
// and every hand picture exactly as the library's Light does, never on the masks.
TEST(AnalogFace, LightAndContrastEachChangeEveryPicture)
{
    CReadSkin skin;
    ReadSkin(CSkinMakerOptions(), skin);
    CAnalogClockFace plain;
    ASSERT_TRUE(plain.Prepare(skin.data, skin.pictures, CClockFaceOptions()));
    const char* const apszHands[HAND_COUNT] = {"hour hand", "minute hand", "second hand"};
    for (const CLightCase& c : g_lightCases) {
        CClockFaceOptions options;
        options.nLight = c.nLight;
        options.nContrast = c.nContrast;
        CAnalogClockFace lit;
        ASSERT_TRUE(lit.Prepare(skin.data, skin.pictures, options));
        ExpectLitAsTheLibraryLightsIt(plain.GetFace(), lit.GetFace(), c, "face");
        for (int i = 0; i < HAND_COUNT; i++) {
            ExpectLitAsTheLibraryLightsIt(plain.GetHand(i).picture, lit.GetHand(i).picture, c, apszHands[i]);
            EXPECT_EQ(CountDifferences(lit.GetHand(i).mask, plain.GetHand(i).mask), 0) << apszHands[i];
        }
    }
}

// Prepare refuses the options with pszError; the face keeps its pictures and
// its width of nKeptWidth.
void ExpectRefused(CAnalogClockFace& face, CReadSkin& skin, const CClockFaceOptions& options,
                   const char* pszError, LONG nKeptWidth)
{
    EXPECT_FALSE(face.Prepare(skin.data, skin.pictures, options));
    EXPECT_STREQ(face.GetLastError().GetString(), pszError);
    EXPECT_EQ(face.GetWidth(), nKeptWidth);
    EXPECT_TRUE(face.IsValid());
}

TEST(AnalogFace, FailedPrepareKeepsTheFaceAndNoSecondHandDrawsNone)
{
    CSkinMakerOptions options;
    options.bSecondHand = false;
    CReadSkin skin;
    ReadSkin(options, skin);
    CAnalogClockFace face;
    ASSERT_TRUE(face.Prepare(skin.data, skin.pictures, CClockFaceOptions()));
    EXPECT_FALSE(face.HasSecondHand());
    ASSERT_TRUE(face.Turn(1, 2, 3, TRUE));
    EXPECT_FALSE(face.IsHandShown(HAND_SECOND));
    EXPECT_TRUE(face.IsHandShown(HAND_MINUTE));

    // A scale or a fixed size that would pass the largest side is refused
    // with the cause; the face stays as it was.
    CClockFaceOptions huge;
    huge.nScale = 100000;
    ExpectRefused(face, skin, huge, "Cannot show the clock at 100000 %: a side would be larger than 16384 pixels!",
                  160);
    huge.nFixedSize = 16500; // over the face's 160 pixels: 10312 %, 16499 pixels
    ExpectRefused(face, skin, huge,
                  "Cannot show the clock at a fixed size of 16500 pixels: a side would be larger than 16384 pixels!",
                  160);
    huge.nFixedSize = 1600; // 1000 %: within the limit
    ASSERT_TRUE(face.Prepare(skin.data, skin.pictures, huge));
    EXPECT_EQ(face.GetWidth(), 1600);
    EXPECT_TRUE(face.GetLastError().IsEmpty());

    // A fixed size too small for the skin's pictures gives no scale at all.
    CSkinMakerOptions large;
    large.nFaceSize = 1100;
    CReadSkin largeSkin;
    ReadSkin(large, largeSkin);
    CClockFaceOptions tiny;
    tiny.nFixedSize = 10;
    ExpectRefused(face, largeSkin, tiny,
                  "Cannot show the clock at a fixed size of 10 pixels: the skin's pictures are too large for it!",
                  1600);
}

} // namespace
