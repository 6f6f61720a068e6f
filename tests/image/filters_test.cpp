// Neighbourhood filters against plain per-pixel references written from the
// rules (window order, outside points, selection), plus their edge cases.
#include "filter_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

BYTE Clamp(int64_t v) { return BYTE(v < 0 ? 0 : (v > 255 ? 255 : v)); }

BYTE GreyOf(const RGBQUAD& c) { return BYTE((306 * c.rgbRed + 601 * c.rgbGreen + 117 * c.rgbBlue) >> 10); }

// Calls f(dx, dy) over the window of `size` in the documented order.
template <class F> void ForWindow(LONG size, F f)
{
    LONG half = size / 2, rest = size - half;
    for (LONG dx = -half; dx < rest; ++dx)
        for (LONG dy = -half; dy < rest; ++dy)
            f(dx, dy);
}

RGBQUAD ReferenceFilter(const CPicture& pic, LONG x, LONG y, const std::vector<LONG>& k, LONG size, LONG divisor,
    LONG offset)
{
    LONG half = size / 2;
    int64_t r = 0, g = 0, b = 0;
    ForWindow(size, [&](LONG dx, LONG dy) {
        RGBQUAD c = pic.GetPixelColor(x + dx, y + dy, true);
        LONG w = k[size_t((dy + half) * size + (dx + half))];
        r += int64_t(c.rgbRed) * w;
        g += int64_t(c.rgbGreen) * w;
        b += int64_t(c.rgbBlue) * w;
    });
    if (divisor) {
        r /= divisor;
        g /= divisor;
        b /= divisor;
    }
    return Rgb(Clamp(r + offset), Clamp(g + offset), Clamp(b + offset));
}

RGBQUAD ReferenceExtremes(const CPicture& pic, LONG x, LONG y, LONG size, int rule)
{
    int lo[3] = { 255, 255, 255 }, hi[3] = { 0, 0, 0 };
    ForWindow(size, [&](LONG dx, LONG dy) {
        RGBQUAD c = pic.GetPixelColor(x + dx, y + dy, true);
        int v[3] = { c.rgbRed, c.rgbGreen, c.rgbBlue };
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], v[i]);
            hi[i] = std::max(hi[i], v[i]);
        }
    });
    if (rule == 0)
        return Rgb(BYTE(lo[0]), BYTE(lo[1]), BYTE(lo[2]));
    if (rule == 1)
        return Rgb(BYTE(hi[0]), BYTE(hi[1]), BYTE(hi[2]));
    return Rgb(BYTE(255 - (hi[0] - lo[0])), BYTE(255 - (hi[1] - lo[1])), BYTE(255 - (hi[2] - lo[2])));
}

RGBQUAD ReferenceContour(const CPicture& pic, LONG x, LONG y)
{
    RGBQUAD c = pic.GetPixelColor(x, y, true);
    BYTE kr = 0, kg = 0, kb = 0;
    ForWindow(3, [&](LONG dx, LONG dy) {
        RGBQUAD n = pic.GetPixelColor(x + dx, y + dy, true);
        if (n.rgbBlue - c.rgbBlue > kb)
            kb = n.rgbBlue;
        if (n.rgbGreen - c.rgbGreen > kg)
            kg = n.rgbGreen;
        if (n.rgbRed - c.rgbRed > kr)
            kr = n.rgbRed;
    });
    return Rgb(BYTE(255 - kr), BYTE(255 - kg), BYTE(255 - kb));
}

// Every selected pixel of `after` must equal expect(x, y) computed on
// `before`; every other pixel must be as it was.
// A palette picture stores the nearest palette colour of each result.
template <class F>
::testing::AssertionResult MatchesReference(const CPicture& before, const CPicture& after, F expect)
{
    CPicture palette(before);
    for (LONG y = 0; y < LONG(before.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(before.GetWidth()); ++x) {
            RGBQUAD want = before.SelectionIsInside(x, y) ? expect(x, y) : before.GetPixelColor(x, y, false);
            if (before.IsIndexed())
                want = palette.GetPaletteColor(palette.GetNearestIndex(want));
            RGBQUAD got = after.GetPixelColor(x, y, false);
            if (!SameRgb(want, got))
                return ::testing::AssertionFailure()
                    << "pixel (" << x << ", " << y << "): got " << int(got.rgbRed) << "," << int(got.rgbGreen)
                    << "," << int(got.rgbBlue) << " want " << int(want.rgbRed) << "," << int(want.rgbGreen) << ","
                    << int(want.rgbBlue);
        }
    return ::testing::AssertionSuccess();
}

// Random 24-bit and palette pictures, half of them with a selection and a
// transparent colour, so that outside points and unselected pixels both count.
std::vector<CPicture> Samples(uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<CPicture> out;
    for (int i = 0; i < 8; ++i) {
        DWORD bpp = i % 4 == 3 ? 8 : 24;
        CPicture pic(1 + rng() % 13, 1 + rng() % 11, bpp);
        FillRandom(pic, rng());
        if (i % 2) {
            RECT r;
            r.left = LONG(rng() % pic.GetWidth());
            r.right = r.left + 1 + LONG(rng() % pic.GetWidth());
            r.bottom = LONG(rng() % pic.GetHeight());
            r.top = r.bottom + 1 + LONG(rng() % pic.GetHeight());
            pic.SelectionAddRect(r);
            pic.SetTransIndex(3);
            pic.SetTransColor(Rgb(9, 8, 7));
        }
        out.push_back(pic);
    }
    return out;
}

} // namespace

TEST(Filter, MatchesTheReferenceForEveryKernelSize)
{
    std::mt19937 rng(21);
    for (CPicture& before : Samples(1)) {
        for (LONG size = 1; size <= 6; ++size) {
            std::vector<LONG> k(size_t(size * size));
            for (LONG& v : k)
                v = LONG(rng() % 11) - 4;
            LONG divisor = LONG(rng() % 5), offset = LONG(rng() % 41) - 20;
            CPicture after(before);
            if (uint64_t(size) > 2 * uint64_t(std::max(before.GetWidth(), before.GetHeight())) + 1) {
                EXPECT_FALSE(after.Filter(k.data(), size, divisor, offset));
                continue;
            }
            ASSERT_TRUE(after.Filter(k.data(), size, divisor, offset));
            EXPECT_TRUE(MatchesReference(before, after,
                [&](LONG x, LONG y) { return ReferenceFilter(before, x, y, k, size, divisor, offset); }))
                << "size " << size << " bpp " << before.GetBpp();
        }
    }
}

TEST(Filter, GreyPictureKeepsItsUnfilteredBorder)
{
    CPicture pic(8, 7, 8);
    pic.SetGrayPalette();
    FillRandom(pic, 4);
    pic.SetGrayPalette();
    CPicture before(pic);
    std::vector<LONG> ones(9, 1);
    ASSERT_TRUE(pic.Filter(ones.data(), 3, 9, 0));
    for (LONG y = 0; y < 7; ++y)
        for (LONG x = 0; x < 8; ++x) {
            bool border = y < 2 || x < 2 || y == 6 || x == 7;
            int sum = 0;
            for (LONG dy = -1; dy <= 1; ++dy)
                for (LONG dx = -1; dx <= 1; ++dx)
                    sum += before.GetPixelIndex(x + dx, y + dy);
            BYTE want = border ? before.GetPixelIndex(x, y) : BYTE(sum / 9);
            EXPECT_EQ(pic.GetPixelIndex(x, y), want) << x << "," << y;
        }
}

TEST(Filter, ZeroDivisorAddsTheOffsetToTheRawSum)
{
    CPicture pic(3, 3, 24);
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 3; ++x)
            pic.SetPixelColor(x, y, Rgb(10, 20, 30));
    LONG k[9] = { 0, 0, 0, 0, 2, 0, 0, 0, 0 };
    ASSERT_TRUE(pic.Filter(k, 3, 0, 5));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 1), Rgb(25, 45, 65)));
}

TEST(Filter, BadKernelsAreRefusedWithoutChange)
{
    CPicture pic(5, 4, 24);
    FillRandom(pic, 2);
    Snapshot before(pic);
    LONG k[121] = { 1 };
    EXPECT_FALSE(pic.Filter(nullptr, 3, 1, 0));
    EXPECT_FALSE(pic.Filter(k, 0, 1, 0));
    EXPECT_FALSE(pic.Filter(k, -3, 1, 0));
    EXPECT_FALSE(pic.Filter(k, 12, 1, 0)); // 2 x 5 + 1 is the largest window
    EXPECT_TRUE(Snapshot(pic) == before);
    EXPECT_STRNE(pic.GetLastError(), "");
    EXPECT_TRUE(pic.Filter(k, 11, 1, 0));
}

TEST(Filter, WeightsThatCouldOverflowTheSumsAreRefused)
{
    // 183 x 183 weights of INT32_MAX: 255 times their total passes 2^63.
    CPicture pic(91, 1, 24);
    FillRandom(pic, 5);
    Snapshot before(pic);
    std::vector<LONG> k(183 * 183, INT32_MAX);
    EXPECT_FALSE(pic.Filter(k.data(), 183, 1, 0));
    EXPECT_TRUE(Snapshot(pic) == before);
    // Nine of them are exact in 64 bits and accepted.
    EXPECT_TRUE(pic.Filter(k.data(), 3, INT32_MAX, 0));
}

TEST(Filter, LargeUniformWeightsSaturateWithoutOverflow)
{
    CPicture pic(4, 4, 24);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 4; ++x)
            pic.SetPixelColor(x, y, Rgb(255, 1, 0));
    LONG k[9];
    std::fill(k, k + 9, INT32_MIN);
    ASSERT_TRUE(pic.Filter(k, 3, 1, INT32_MAX));
    // 255 x 9 x INT32_MIN + INT32_MAX is far below 0; 0 x ... + INT32_MAX far above 255.
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 1), Rgb(0, 0, 255)));
}

// Escape stops a filter between rows: the result is handed over, with the
// rows done filtered and every other row as it was.
TEST(Filters, EscapeKeepsTheRowsDoneAndTheOthersAsTheyWere)
{
    LONG box[9] = { 1, 2, 1, 2, 4, 2, 1, 2, 1 };
    LONG sharp[9] = { 0, -1, 0, -1, 5, -1, 0, -1, 0 };
    struct Case {
        const char* name;
        std::function<bool(CPicture&)> run;
        WORD bpp;
    } cases[] = {
        { "Filter", [&](CPicture& p) { return p.Filter(box, 3, 16, 0); }, 24 },
        { "Filter on grey", [&](CPicture& p) { return p.Filter(sharp, 3, 1, 0); }, 8 },
        { "Erode", [](CPicture& p) { return p.Erode(3); }, 24 },
        { "Dilate", [](CPicture& p) { return p.Dilate(2); }, 24 },
        { "Edge", [](CPicture& p) { return p.Edge(3); }, 24 },
        { "Median, small window", [](CPicture& p) { return p.Median(3); }, 24 },
        { "Median, histogram", [](CPicture& p) { return p.Median(5); }, 24 },
        { "Contour", [](CPicture& p) { return p.Contour(); }, 24 },
        { "Jitter", [](CPicture& p) { return p.Jitter(2); }, 24 },
        { "Jitter on a palette", [](CPicture& p) { return p.Jitter(3); }, 8 },
    };
    for (const Case& c : cases) {
        CPicture original(17, 12, c.bpp);
        FillRandom(original, 40);
        if (c.name == std::string("Filter on grey"))
            original.SetGrayPalette();
        ASSERT_TRUE(original.AlphaCreate());
        for (LONG x = 0; x < 17; ++x)
            original.AlphaSet(x, 5, BYTE(x * 13));
        CPicture whole(original);
        {
            RandomScope seeded(9u);
            ASSERT_TRUE(c.run(whole)) << c.name;
        }
        ASSERT_FALSE(SamePixels(whole, original)) << c.name << " changes nothing here";
        for (int stop : { 0, 5, 11 }) {
            CPicture part(original);
            {
                RandomScope seeded(9u);
                EscapeAt escape(stop);
                EXPECT_TRUE(c.run(part)) << c.name << ", stopped at row " << stop;
            }
            EXPECT_TRUE(RowsSplitAt(part, whole, original, stop)) << c.name << ", stopped at row " << stop;
        }
    }
}

TEST(ErodeDilateEdge, MatchTheReferenceForEveryWindowSize)
{
    for (CPicture& before : Samples(2)) {
        for (LONG size = 1; size <= 7; ++size) {
            for (int rule = 0; rule < 3; ++rule) {
                CPicture after(before);
                bool ok = rule == 0 ? after.Erode(size) : rule == 1 ? after.Dilate(size) : after.Edge(size);
                ASSERT_TRUE(ok);
                EXPECT_TRUE(MatchesReference(
                    before, after, [&](LONG x, LONG y) { return ReferenceExtremes(before, x, y, size, rule); }))
                    << "size " << size << " rule " << rule << " bpp " << before.GetBpp();
            }
        }
    }
}

TEST(ErodeDilateEdge, WindowOfOneIsIdentityOrWhite)
{
    CPicture pic(7, 5, 24);
    FillRandom(pic, 12);
    CPicture eroded(pic), dilated(pic), edged(pic);
    ASSERT_TRUE(eroded.Erode(1));
    ASSERT_TRUE(dilated.Dilate(1));
    ASSERT_TRUE(edged.Edge(1));
    EXPECT_TRUE(SamePixels(eroded, pic));
    EXPECT_TRUE(SamePixels(dilated, pic));
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 7; ++x)
            EXPECT_TRUE(SameRgb(edged.GetPixelColor(x, y), Rgb(255, 255, 255)));
}

TEST(ErodeDilateEdge, WindowsBeyondTwiceThePictureAreRefused)
{
    CPicture pic(3, 2, 24);
    FillRandom(pic, 1);
    Snapshot before(pic);
    EXPECT_FALSE(pic.Erode(0));
    EXPECT_FALSE(pic.Dilate(8));
    EXPECT_FALSE(pic.Edge(INT32_MAX));
    EXPECT_TRUE(Snapshot(pic) == before);
    EXPECT_TRUE(pic.Dilate(7));
}

TEST(Median, PicksAColourOfTheMedianGreyFromTheWindow)
{
    // Sizes up to 3 select directly, larger ones slide a histogram.
    for (CPicture& before : Samples(3)) {
        for (LONG size : { 1L, 2L, 3L, 4L, 5L, 8L, 9L, 12L }) {
            if (uint64_t(size) > 2 * uint64_t(std::max(before.GetWidth(), before.GetHeight())) + 1)
                continue;
            CPicture after(before);
            ASSERT_TRUE(after.Median(size));
            for (LONG y = 0; y < LONG(before.GetHeight()); ++y)
                for (LONG x = 0; x < LONG(before.GetWidth()); ++x) {
                    RGBQUAD got = after.GetPixelColor(x, y, false);
                    if (!before.SelectionIsInside(x, y)) {
                        EXPECT_TRUE(SameRgb(got, before.GetPixelColor(x, y, false)));
                        continue;
                    }
                    std::vector<RGBQUAD> window;
                    ForWindow(size, [&](LONG dx, LONG dy) { window.push_back(before.GetPixelColor(x + dx, y + dy)); });
                    std::vector<BYTE> greys;
                    for (const RGBQUAD& c : window)
                        greys.push_back(GreyOf(c));
                    std::sort(greys.begin(), greys.end());
                    BYTE median = greys[greys.size() / 2];
                    bool fromWindow = std::any_of(window.begin(), window.end(),
                        [&](const RGBQUAD& c) { return SameRgb(c, got) && GreyOf(c) == median; });
                    ASSERT_TRUE(fromWindow) << "size " << size << " at " << x << "," << y;
                }
        }
    }
}

TEST(Median, UniformPictureStaysUniformAndSizesAreBounded)
{
    CPicture pic(10, 6, 24);
    for (LONG y = 0; y < 6; ++y)
        for (LONG x = 0; x < 10; ++x)
            pic.SetPixelColor(x, y, Rgb(40, 50, 60));
    ASSERT_TRUE(pic.Median(3));
    ASSERT_TRUE(pic.Median(21));
    for (LONG y = 0; y < 6; ++y)
        for (LONG x = 0; x < 10; ++x)
            EXPECT_TRUE(SameRgb(pic.GetPixelColor(x, y), Rgb(40, 50, 60)));
    Snapshot before(pic);
    EXPECT_FALSE(pic.Median(0));
    EXPECT_FALSE(pic.Median(22));
    EXPECT_FALSE(pic.Median(INT32_MIN));
    EXPECT_TRUE(Snapshot(pic) == before);
}

TEST(Contour, MatchesTheReference)
{
    for (CPicture& before : Samples(4)) {
        CPicture after(before);
        ASSERT_TRUE(after.Contour());
        EXPECT_TRUE(MatchesReference(before, after, [&](LONG x, LONG y) { return ReferenceContour(before, x, y); }));
    }
}

TEST(Repair, NoIterationsOnlySplitsAndRecombines)
{
    CPicture pic(9, 7, 8);
    FillRandom(pic, 6);
    CPicture before(pic);
    ASSERT_TRUE(pic.Repair(0.5f, 0, 0));
    EXPECT_EQ(pic.GetBpp(), 24);
    for (LONG y = 0; y < 7; ++y)
        for (LONG x = 0; x < 9; ++x)
            EXPECT_TRUE(SameRgb(pic.GetPixelColor(x, y), before.GetPixelColor(x, y)));
}

TEST(Repair, FlatAreasStayFlatAndNoiseIsSmoothed)
{
    CPicture pic(12, 12, 24);
    for (LONG y = 0; y < 12; ++y)
        for (LONG x = 0; x < 12; ++x)
            pic.SetPixelColor(x, y, Rgb(100, 100, 100));
    pic.SetPixelColor(6, 6, Rgb(200, 200, 200));
    ASSERT_TRUE(pic.AlphaCreate());
    pic.AlphaSet(2, 2, 33);
    ASSERT_TRUE(pic.Repair(0.125f, 1, 0));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 1), Rgb(100, 100, 100)));
    // At the spike both gradients vanish: 200 + 0.125 x (-200 - 200) = 150.
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(6, 6), Rgb(150, 150, 150)));
    EXPECT_EQ(pic.AlphaGet(2, 2), 33); // the alpha plane comes back
}

// Red, green or blue of a colour by number.
BYTE Channel(const RGBQUAD& c, int k) { return k == 0 ? c.rgbRed : k == 1 ? c.rgbGreen : c.rgbBlue; }

// Channel k of `got` equals channel k of `want` at every pixel.
::testing::AssertionResult SameChannel(const CPicture& got, const CPicture& want, int k)
{
    for (LONG y = 0; y < LONG(want.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(want.GetWidth()); ++x)
            if (Channel(got.GetPixelColor(x, y), k) != Channel(want.GetPixelColor(x, y), k))
                return ::testing::AssertionFailure() << "channel " << k << " at " << x << "," << y;
    return ::testing::AssertionSuccess();
}

// Escape is looked at before each channel's step: stopped, Repair combines
// the channels as they stand, succeeds, and leaves lastError alone.
TEST(Repair, EscapeKeepsTheChannelStepsDone)
{
    CPicture noisy(9, 8, 24);
    FillRandom(noisy, 21);
    CPicture once(noisy), twice(noisy);
    ASSERT_TRUE(once.Repair(0.25f, 1, 0));
    ASSERT_TRUE(twice.Repair(0.25f, 2, 0));
    for (int k = 0; k < 3; ++k) {
        ASSERT_FALSE(SameChannel(once, noisy, k)) << "one step changes channel " << k;
        ASSERT_FALSE(SameChannel(twice, once, k)) << "a second step changes channel " << k;
    }
    const struct {
        int stopAt;
        const CPicture* red;
        const CPicture* green;
        const CPicture* blue;
    } cases[] = {
        { 0, &noisy, &noisy, &noisy },
        { 1, &once, &noisy, &noisy },
        { 2, &once, &once, &noisy },
        { 3, &once, &once, &once },
        { 4, &twice, &once, &once },
    };
    for (const auto& c : cases) {
        CPicture pic(noisy);
        ASSERT_FALSE(pic.Repair(std::numeric_limits<float>::quiet_NaN(), 1, 0));
        const std::string said = pic.GetLastError();
        {
            EscapeAt escape(c.stopAt);
            EXPECT_TRUE(pic.Repair(0.25f, 3, 0)) << "stopped before step " << c.stopAt;
        }
        EXPECT_EQ(pic.GetBpp(), 24);
        EXPECT_TRUE(SameChannel(pic, *c.red, 0)) << "stopped before step " << c.stopAt;
        EXPECT_TRUE(SameChannel(pic, *c.green, 1)) << "stopped before step " << c.stopAt;
        EXPECT_TRUE(SameChannel(pic, *c.blue, 2)) << "stopped before step " << c.stopAt;
        EXPECT_EQ(said, pic.GetLastError()) << "stopped before step " << c.stopAt;
    }
}

TEST(Repair, NonFiniteRadiusIsRefused)
{
    CPicture pic(5, 5, 24);
    FillRandom(pic, 1);
    Snapshot before(pic);
    EXPECT_FALSE(pic.Repair(std::numeric_limits<float>::quiet_NaN(), 1, 0));
    EXPECT_FALSE(pic.Repair(std::numeric_limits<float>::infinity(), 1, 2));
    EXPECT_TRUE(Snapshot(pic) == before);
    // Every colour space and a huge finite radius still give a valid picture.
    for (LONG space = 0; space <= 5; ++space) {
        CPicture p(5, 5, 24);
        FillRandom(p, uint32_t(space));
        ASSERT_TRUE(p.Repair(1e30f, 2, space));
        EXPECT_EQ(p.GetWidth(), 5u);
    }
}
