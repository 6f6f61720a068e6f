// ICO codec: transparency through the mask at every depth, frame selection
// in hand-assembled files, refusals, truncations and write failures.
#include "image/picture.h"
#include "image/picture_ico.h"
#include "raster_test_util.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Several single-entry icons joined under one directory.
std::vector<BYTE> JoinIcons(const std::vector<std::vector<BYTE>>& icons)
{
    std::vector<BYTE> out(6 + 16 * icons.size(), 0);
    PutU16(out, 2, 1);
    PutU16(out, 4, unsigned(icons.size()));
    for (size_t i = 0; i < icons.size(); ++i) {
        std::copy(icons[i].begin() + 6, icons[i].begin() + 22, out.begin() + long(6 + 16 * i));
        PutU32(out, 6 + 16 * i + 12, uint32_t(out.size()));
        out.insert(out.end(), icons[i].begin() + 22, icons[i].end());
    }
    return out;
}

TEST(IcoRoundTrip, EightBitsWithATransparentIndex)
{
    CPicture pic(16, 9, 8);
    FillRandom(pic, 1);
    for (LONG x = 0; x < 16; ++x)
        pic.SetPixelIndex(x, 0, 200);
    pic.SetPixelIndex(3, 5, 200);
    pic.SetTransIndex(200);
    CPicture back;
    ASSERT_TRUE(DecodeVector(back, EncodeToBytes(pic, PIC_FORMAT_ICO), PIC_FORMAT_ICO))
        << back.GetLastError();
    EXPECT_EQ(back.GetBpp(), 8);
    EXPECT_FALSE(back.AlphaIsValid());
    ASSERT_TRUE(back.IsTransparent());
    for (LONG y = 0; y < 9; ++y)
        for (LONG x = 0; x < 16; ++x) {
            EXPECT_EQ(back.IsTransparent(x, y), pic.IsTransparent(x, y)) << x << "," << y;
            if (!pic.IsTransparent(x, y))
                EXPECT_TRUE(SameRgb(back.GetPixelColor(x, y), pic.GetPixelColor(x, y)));
        }
}

TEST(IcoRoundTrip, TrueColourKeyAndAlpha)
{
    CPicture keyed(20, 11, 24);
    FillRandom(keyed, 2);
    RGBQUAD key = Rgb(0, 0, 0);
    for (LONG y = 0; y < 11; ++y)
        keyed.SetPixelColor(0, y, key);
    keyed.SetTransIndex(0);
    keyed.SetTransColor(key);
    std::vector<BYTE> bytes = EncodeToBytes(keyed, PIC_FORMAT_ICO);
    CPicture back;
    ASSERT_TRUE(DecodeVector(back, bytes, PIC_FORMAT_ICO));
    EXPECT_TRUE(SameColors(keyed, back));
    EXPECT_EQ(back.GetTransIndex(), 0);
    EXPECT_TRUE(SameRgb(back.GetTransColor(), key));
    EXPECT_FALSE(back.AlphaIsValid());

    // The key colour also on an unmasked pixel: the mask stays an alpha plane.
    keyed.SetPixelColor(5, 5, key);
    bytes = EncodeToBytes(keyed, PIC_FORMAT_ICO);
    size_t maskRow = 4, mask = bytes.size() - maskRow * 11;
    BYTE* row5 = &bytes[mask + 5 * maskRow];
    row5[0] = BYTE(row5[0] & ~(0x80 >> 5));
    ASSERT_TRUE(DecodeVector(back, bytes, PIC_FORMAT_ICO));
    EXPECT_FALSE(back.IsTransparent());
    ASSERT_TRUE(back.AlphaIsValid());
    EXPECT_EQ(back.AlphaGet(0, 3), 0);
    EXPECT_EQ(back.AlphaGet(5, 5), 255);

    CPicture alpha(7, 5, 24);
    FillRandom(alpha, 3);
    alpha.AlphaCreate();
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 7; ++x)
            alpha.AlphaSet(x, y, BYTE(x * 40 + y));
    bytes = EncodeToBytes(alpha, PIC_FORMAT_ICO);
    EXPECT_EQ(bytes[6 + 6], 32) << "entry bit count";
    EXPECT_EQ(bytes[22 + 14], 32) << "header bit count";
    EXPECT_EQ(GetU32(bytes, 22 + 20), 7u * 5 * 4);
    ASSERT_TRUE(DecodeVector(back, bytes, PIC_FORMAT_ICO));
    EXPECT_TRUE(SameColors(alpha, back));
    ASSERT_TRUE(back.AlphaIsValid());
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 7; ++x)
            EXPECT_EQ(back.AlphaGet(x, y), BYTE(x * 40 + y));
}

TEST(IcoDecode, FrameSelection)
{
    CPicture a(4, 4, 4), b(8, 3, 8), c(5, 6, 24);
    FillRandom(a, 1);
    FillRandom(b, 2);
    FillRandom(c, 3);
    std::vector<BYTE> file = JoinIcons({ EncodeToBytes(a, PIC_FORMAT_ICO), EncodeToBytes(b, PIC_FORMAT_ICO),
        EncodeToBytes(c, PIC_FORMAT_ICO) });
    CPicture* expect[] = { &a, &b, &c };
    for (LONG f = 0; f < 3; ++f) {
        CPicture pic;
        pic.SetFrame(f);
        ASSERT_TRUE(DecodeVector(pic, file, PIC_FORMAT_ICO)) << f << ": " << pic.GetLastError();
        EXPECT_EQ(pic.GetNumFrames(), 3);
        EXPECT_TRUE(SameColors(*expect[f], pic)) << f;
    }
    CPicture past;
    past.SetFrame(3);
    EXPECT_FALSE(DecodeVector(past, file, PIC_FORMAT_ICO));
    EXPECT_STREQ(past.GetLastError(), "ICO: no such frame");
    EXPECT_EQ(past.GetNumFrames(), 0) << "a failed decode hands nothing over";

    // One entry, followed by a copy of it: the frame after the last is still
    // no frame, however much the bytes there look like one.
    std::vector<BYTE> one = JoinIcons({ EncodeToBytes(a, PIC_FORMAT_ICO) });
    one.insert(one.begin() + 22, one.begin() + 6, one.begin() + 22);
    PutU32(one, 6 + 12, uint32_t(6 + 32));
    PutU32(one, 22 + 12, uint32_t(6 + 32));
    CPicture only;
    ASSERT_TRUE(DecodeVector(only, one, PIC_FORMAT_ICO)) << only.GetLastError();
    only.SetFrame(1);
    EXPECT_FALSE(DecodeVector(only, one, PIC_FORMAT_ICO));
    EXPECT_STREQ(only.GetLastError(), "ICO: no such frame");
    CPicture probed;
    ASSERT_TRUE(DecodeVector(probed, file, 0));
    EXPECT_EQ(probed.GetType(), DWORD(PIC_FORMAT_ICO));
}

TEST(IcoDecode, MaskRules)
{
    // An all-set mask on a palette icon is the old inverted form ...
    CPicture mono(8, 2, 1);
    mono.SetPaletteColor(0, 0, 0, 0);
    mono.SetPaletteColor(1, 255, 255, 255);
    mono.SetPixelIndex(0, 0, 1);
    std::vector<BYTE> bytes = EncodeToBytes(mono, PIC_FORMAT_ICO);
    for (size_t i = bytes.size() - 8; i < bytes.size(); ++i)
        bytes[i] = 0xFF;
    CPicture back;
    ASSERT_TRUE(DecodeVector(back, bytes, PIC_FORMAT_ICO));
    EXPECT_EQ(back.GetTransIndex(), 0);
    EXPECT_TRUE(SameRgb(back.GetPixelColor(0, 0), Rgb(0, 0, 0)));
    EXPECT_TRUE(SameRgb(back.GetPixelColor(1, 0), Rgb(255, 255, 255)));

    // ... but on a true-colour icon the colours stay as they are.
    CPicture rgb(8, 2, 24);
    FillRandom(rgb, 4);
    bytes = EncodeToBytes(rgb, PIC_FORMAT_ICO);
    for (size_t i = bytes.size() - 8; i < bytes.size(); ++i)
        bytes[i] = 0xFF;
    ASSERT_TRUE(DecodeVector(back, bytes, PIC_FORMAT_ICO));
    EXPECT_TRUE(SameColors(rgb, back));
    ASSERT_TRUE(back.AlphaIsValid());
    EXPECT_EQ(back.AlphaGet(3, 1), 0);

    // Every index used: the mask stays as alpha.
    CPicture full(16, 16, 8);
    FillRandom(full, 5);
    for (LONG i = 0; i < 256; ++i)
        full.SetPixelIndex(i % 16, i / 16, BYTE(i));
    full.SetTransIndex(7);
    ASSERT_TRUE(DecodeVector(back, EncodeToBytes(full, PIC_FORMAT_ICO), PIC_FORMAT_ICO));
    EXPECT_EQ(back.GetTransIndex(), -1);
    ASSERT_TRUE(back.AlphaIsValid());
    EXPECT_EQ(back.AlphaGet(7, 0), 0);
    EXPECT_EQ(back.AlphaGet(8, 0), 255);
}

TEST(IcoDecode, RefusesWhatItCannotRead)
{
    CPicture pic(4, 4, 8);
    FillRandom(pic, 6);
    std::vector<BYTE> good = EncodeToBytes(pic, PIC_FORMAT_ICO);
    struct Case {
        size_t at;
        std::vector<BYTE> bytes;
        const char* text;
    };
    Case cases[] = {
        { 0, { 1 }, "Not an icon" },
        { 2, { 3 }, "Not an icon" },
        { 22, { 0x89, 'P', 'N', 'G' }, "ICO: PNG-compressed icons are not supported" },
        { 22 + 14, { 16 }, "ICO: unsupported bit count" },
        { 22 + 14, { 2 }, "ICO: unsupported bit count" },
        { 22 + 16, { 1 }, "ICO: unsupported image header" },
        { 18, { 0xFF, 0xFF }, "ICO: image data truncated" },
        { 4, { 0xFF, 0x0F }, "ICO: directory truncated" },
    };
    for (const Case& c : cases) {
        std::vector<BYTE> bad(good);
        std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + long(c.at));
        CPicture got;
        EXPECT_FALSE(DecodeVector(got, bad, PIC_FORMAT_ICO)) << c.text;
        EXPECT_STREQ(got.GetLastError(), c.text);
    }
    // Past the colour data a missing mask only means no transparency.
    for (size_t len = 0; len < good.size(); ++len) {
        std::vector<BYTE> part(good.begin(), good.begin() + long(len));
        CPicture got(1, 1, 1);
        bool ok = DecodeVector(got, part, PIC_FORMAT_ICO);
        EXPECT_EQ(ok, len >= good.size() - 16) << len;
        if (ok)
            EXPECT_TRUE(SamePixels(pic, got));
        else
            EXPECT_EQ(got.GetWidth(), 1u);
    }
}

TEST(IcoEncode, SizesAndWriteFailures)
{
    CPicture big(256, 1, 8);
    EXPECT_TRUE(EncodeToBytes(big, PIC_FORMAT_ICO).empty());
    EXPECT_STREQ(big.GetLastError(), "Can't save this image as icon");
    CPicture most(255, 255, 4);
    FillRandom(most, 1);
    CPicture back;
    ASSERT_TRUE(DecodeVector(back, EncodeToBytes(most, PIC_FORMAT_ICO), PIC_FORMAT_ICO));
    EXPECT_TRUE(SamePixels(most, back));

    CPicture pic(9, 3, 24);
    FillRandom(pic, 2);
    pic.AlphaCreate();
    EXPECT_TRUE(FailsShortOfRoom(pic, PIC_FORMAT_ICO, "Error writing ICO data"));
}

} // namespace
