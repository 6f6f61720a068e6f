// GIF codec: lossless round trips through the three coders, tiled true
// colour, animations, hand-built streams, hostile LZW data, truncations and
// write failures.
#include "image/picture.h"
#include "image/picture_gif.h"
#include "raster_test_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct GifFrameInfo {
    unsigned left, top, width, height, flags;
    unsigned codeSize;
};

// Walks the block structure the way a reader must: descriptors, tables,
// extensions and sub-blocks.
std::vector<GifFrameInfo> ListFrames(const std::vector<BYTE>& g)
{
    std::vector<GifFrameInfo> frames;
    size_t p = 13;
    if (g.size() < 13)
        return frames;
    if (g[10] & 0x80)
        p += 3u << ((g[10] & 7) + 1);
    auto skipBlocks = [&]() {
        while (p < g.size() && g[p] != 0)
            p += g[p] + 1u;
        ++p;
    };
    while (p < g.size()) {
        BYTE b = g[p++];
        if (b == 0x21) {
            ++p;
            skipBlocks();
        } else if (b == 0x2C) {
            GifFrameInfo f;
            f.left = g[p] | (g[p + 1] << 8);
            f.top = g[p + 2] | (g[p + 3] << 8);
            f.width = g[p + 4] | (g[p + 5] << 8);
            f.height = g[p + 6] | (g[p + 7] << 8);
            f.flags = g[p + 8];
            p += 9;
            if (f.flags & 0x80)
                p += 3u << ((f.flags & 7) + 1);
            f.codeSize = g[p++];
            skipBlocks();
            frames.push_back(f);
        } else {
            break;
        }
    }
    return frames;
}

size_t Find(const std::vector<BYTE>& g, const std::vector<BYTE>& what, size_t from = 0)
{
    for (size_t i = from; i + what.size() <= g.size(); ++i)
        if (std::equal(what.begin(), what.end(), g.begin() + long(i)))
            return i;
    return std::string::npos;
}

// Runs of random length, so the run-length coder meets short and long runs
// and LZW sees both repeats and noise.
void FillRuns(CPicture& pic, uint32_t seed)
{
    std::mt19937 rng(seed);
    DWORD colors = pic.GetNumColors();
    for (DWORD i = 0; i < colors; ++i)
        pic.SetPaletteColor(BYTE(i), BYTE(i * 7), BYTE(rng()), BYTE(255 - i), 0);
    BYTE value = 0;
    int left = 0;
    for (LONG y = 0; y < LONG(pic.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(pic.GetWidth()); ++x) {
            if (left-- <= 0) {
                value = BYTE(rng() % colors);
                left = (rng() % 4 == 0) ? int(rng() % 3000) : int(rng() % 5);
            }
            pic.SetPixelIndex(x, y, value);
        }
}

std::vector<BYTE> EncodeGif(CPicture& pic, DWORD coder)
{
    pic.SetCodecOption(coder, PIC_FORMAT_GIF);
    return EncodeToBytes(pic, PIC_FORMAT_GIF);
}

std::vector<BYTE> EncodeAnimation(
    std::vector<CPicture*> frames, CPictureGIF* codec = nullptr, bool local = false)
{
    CPictureGIF own;
    CPictureGIF& gif = codec ? *codec : own;
    CPicMemFile file;
    file.Open();
    if (!gif.Encode(&file, frames.data(), int(frames.size()), local))
        return {};
    BYTE* b = file.GetBuffer(false);
    return std::vector<BYTE>(b, b + file.Size());
}

// A hand-built 2 x 2 picture: codes clear, 1, 0, 0, 1, end (3, 3, 3, 3, 4, 4 bits).
std::vector<BYTE> TinyGif(const char* version = "GIF87a")
{
    std::vector<BYTE> g(version, version + 6);
    const BYTE rest[] = { 2, 0, 2, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, ',', 0, 0, 0, 0, 2, 0, 2, 0, 0, 2,
        3, 0x0C, 0x10, 0x05, 0, ';' };
    g.insert(g.end(), rest, rest + sizeof(rest));
    return g;
}

TEST(GifRoundTrip, EveryCoderAtEveryDepthAcrossWidthChangesAndClears)
{
    // 300 x 200 of noise and runs passes every code width up to 12 bits and
    // several table clears at each depth.
    for (DWORD bpp : { 1u, 4u, 8u }) {
        for (DWORD coder : { 0u, 1u, 2u }) {
            for (int pattern = 0; pattern < 2; ++pattern) {
                CPicture pic(300, 200, bpp);
                if (pattern == 0)
                    FillRandom(pic, bpp * 10 + coder);
                else
                    FillRuns(pic, bpp * 10 + coder);
                std::vector<BYTE> g = EncodeGif(pic, coder);
                ASSERT_FALSE(g.empty()) << pic.GetLastError();
                CPicture back;
                ASSERT_TRUE(DecodeVector(back, g, PIC_FORMAT_GIF)) << back.GetLastError();
                EXPECT_TRUE(SameIndices(pic, back))
                    << "bpp " << bpp << " coder " << coder << " pattern " << pattern;
                EXPECT_EQ(back.GetType(), DWORD(PIC_FORMAT_GIF));
                CPicture probed;
                ASSERT_TRUE(DecodeVector(probed, g, 0));
                EXPECT_EQ(probed.GetType(), DWORD(PIC_FORMAT_GIF));
            }
        }
    }
}

TEST(GifRoundTrip, SmallAndOddSizes)
{
    for (DWORD coder : { 0u, 1u, 2u })
        for (DWORD w : { 1u, 2u, 7u, 9u, 33u })
            for (DWORD h : { 1u, 3u, 8u }) {
                CPicture pic(w, h, 4);
                FillRuns(pic, w * 100 + h);
                CPicture back;
                ASSERT_TRUE(DecodeVector(back, EncodeGif(pic, coder), PIC_FORMAT_GIF)) << back.GetLastError();
                EXPECT_TRUE(SameIndices(pic, back)) << w << "x" << h << " coder " << coder;
            }
}

TEST(GifRoundTrip, LongRunsOfOneIndexThroughTheRunLengthCoder)
{
    // A whole 8-bit picture of one index: the run-length coder's table
    // repeats and its clear points are what is exercised.
    for (DWORD size : { 64u, 257u, 1000u }) {
        CPicture pic(size, size, 8);
        FillRandom(pic, 5);
        pic.Clear(77);
        pic.SetPixelIndex(LONG(size) - 1, 0, 3);
        CPicture back;
        ASSERT_TRUE(DecodeVector(back, EncodeGif(pic, 2), PIC_FORMAT_GIF));
        EXPECT_TRUE(SameIndices(pic, back)) << size;
    }
}

TEST(GifRoundTrip, TrueColourTilesReadBackWhole)
{
    struct Size {
        DWORD w, h;
    };
    for (Size s : { Size { 17, 40 }, Size { 100, 10 }, Size { 17, 15 }, Size { 40, 20 }, Size { 1, 1 },
             Size { 18, 16 } }) {
        for (DWORD coder : { 0u, 2u }) {
            CPicture pic(s.w, s.h, 24);
            FillRandom(pic, s.w * s.h);
            CPicture back;
            ASSERT_TRUE(DecodeVector(back, EncodeGif(pic, coder), PIC_FORMAT_GIF)) << back.GetLastError();
            EXPECT_EQ(back.GetBpp(), s.w * s.h > 255 ? 24 : 8) << s.w << "x" << s.h;
            EXPECT_TRUE(SameColors(pic, back)) << s.w << "x" << s.h;
        }
    }
}

TEST(GifRoundTrip, TrueColourTransparencyKeepsItsColour)
{
    CPicture pic(30, 20, 24);
    FillRandom(pic, 9);
    RGBQUAD key = Rgb(1, 2, 3);
    pic.SetPixelColor(4, 4, key);
    pic.SetTransIndex(0);
    pic.SetTransColor(key);
    CPicture back;
    ASSERT_TRUE(DecodeVector(back, EncodeGif(pic, 0), PIC_FORMAT_GIF)) << back.GetLastError();
    EXPECT_TRUE(SameColors(pic, back));
    EXPECT_TRUE(back.IsTransparent());
    EXPECT_TRUE(SameRgb(back.GetTransColor(), key));
}

TEST(GifEncode, TilesAreSeventeenByFifteenWithLocalTables)
{
    CPicture pic(40, 20, 24);
    FillRandom(pic, 3);
    std::vector<BYTE> g = EncodeGif(pic, 0);
    ASSERT_GE(g.size(), 13u);
    EXPECT_EQ(g[10], 0x11);
    std::vector<GifFrameInfo> frames = ListFrames(g);
    ASSERT_EQ(frames.size(), 6u);
    const unsigned widths[] = { 17, 17, 6, 17, 17, 6 }, heights[] = { 15, 15, 15, 5, 5, 5 };
    const unsigned lefts[] = { 0, 17, 34, 0, 17, 34 }, tops[] = { 0, 0, 0, 15, 15, 15 };
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(frames[i].width, widths[i]);
        EXPECT_EQ(frames[i].height, heights[i]);
        EXPECT_EQ(frames[i].left, lefts[i]);
        EXPECT_EQ(frames[i].top, tops[i]);
        EXPECT_EQ(frames[i].flags, 0x87u) << "256-entry local table";
    }
    EXPECT_EQ(g.back(), ';');
}

TEST(GifEncode, HeaderFlagsCodeSizesAndGraphicControl)
{
    struct Case {
        DWORD bpp;
        BYTE flags;
        BYTE codeSize;
    };
    for (Case c : { Case { 1, 0x80, 2 }, Case { 4, 0xE3, 4 }, Case { 8, 0xE7, 8 } }) {
        CPicture pic(5, 4, c.bpp);
        FillRandom(pic, c.bpp);
        std::vector<BYTE> g = EncodeGif(pic, 0);
        ASSERT_FALSE(g.empty());
        EXPECT_EQ(std::string(g.begin(), g.begin() + 6), "GIF89a");
        EXPECT_EQ(g[10], c.flags);
        std::vector<GifFrameInfo> frames = ListFrames(g);
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0].codeSize, c.codeSize);
        EXPECT_EQ(frames[0].flags, 0u);
    }

    CPictureGIF gif;
    gif.Create(3, 3, 8);
    gif.SetTransIndex(5);
    gif.SetDisposalMethod(2);
    gif.SetFrameDelay(0x1234);
    CPicMemFile file;
    file.Open();
    ASSERT_TRUE(gif.Encode(&file));
    std::vector<BYTE> g(file.GetBuffer(false), file.GetBuffer(false) + file.Size());
    size_t at = Find(g, { 0x21, 0xF9, 0x04 });
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(g[at + 3], 0x09);
    EXPECT_EQ(g[at + 4], 0x34);
    EXPECT_EQ(g[at + 5], 0x12);
    EXPECT_EQ(g[at + 6], 5);
}

TEST(GifEncode, PlainCodesForOnePixel)
{
    CPicture pic(1, 1, 1);
    pic.SetPixelIndex(0, 0, 1);
    std::vector<BYTE> g = EncodeGif(pic, 1);
    // Codes 4, 1, 5 at 3 bits each, least significant first: 0x4C 0x01.
    size_t at = Find(g, { 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0 });
    ASSERT_NE(at, std::string::npos);
    std::vector<BYTE> data(g.begin() + long(at) + 10, g.end());
    std::vector<BYTE> expected = { 2, 2, 0x4C, 0x01, 0, ';' };
    EXPECT_EQ(data, expected);
}

TEST(GifEncode, CommentIsCutTo255AndTerminated)
{
    CPictureGIF gif;
    gif.Create(2, 2, 1);
    std::string text(300, 'c');
    gif.SetComment(text.c_str());
    char back[300];
    std::memset(back, 'x', sizeof(back));
    gif.GetComment(back);
    EXPECT_EQ(std::string(back, 255), std::string(255, 'c'));

    CPicMemFile file;
    file.Open();
    ASSERT_TRUE(gif.Encode(&file));
    std::vector<BYTE> g(file.GetBuffer(false), file.GetBuffer(false) + file.Size());
    size_t at = Find(g, { 0x21, 0xFE, 0xFF });
    ASSERT_NE(at, std::string::npos);
    ASSERT_GT(g.size(), at + 3 + 255);
    EXPECT_EQ(g[at + 3 + 255], 0) << "one sub-block, then the terminator";

    CPictureGIF read;
    CPicMemFile in(g.data(), DWORD(g.size()));
    ASSERT_TRUE(read.Decode(&in));
    char got[256];
    read.GetComment(got);
    EXPECT_EQ(std::string(got), std::string(255, 'c'));
}

TEST(GifEncode, RefusesWhatItCannotWrite)
{
    CPicture wide(65536, 1, 1);
    ASSERT_TRUE(wide.IsValid());
    EXPECT_TRUE(EncodeGif(wide, 0).empty());
    EXPECT_STREQ(wide.GetLastError(), "GIF: width and height must be 65535 or less");

    CPicture a(8, 8, 4), b(8, 8, 8), big(9, 8, 4), rgb(8, 8, 24), small(4, 4, 4);
    FillRandom(a, 1);
    FillRandom(b, 2);
    FillRandom(big, 3);
    FillRandom(rgb, 4);
    FillRandom(small, 5);
    CPictureGIF gif;
    CPicMemFile file;
    file.Open();
    CPicture* mixed[] = { &a, &b };
    EXPECT_FALSE(gif.Encode(&file, mixed, 2));
    EXPECT_STREQ(gif.GetLastError(), "GIF: animation frames must share one bit depth");
    CPicture* larger[] = { &a, &big };
    EXPECT_FALSE(gif.Encode(&file, larger, 2));
    EXPECT_STREQ(gif.GetLastError(), "GIF: animation frame does not fit the first frame's size");
    small.SetOffset(5, 0);
    CPicture* offset[] = { &a, &small };
    EXPECT_FALSE(gif.Encode(&file, offset, 2));
    small.SetOffset(4, 4);
    EXPECT_TRUE(gif.Encode(&file, offset, 2)) << gif.GetLastError();
    CPicMemFile again;
    again.Open();
    CPicture* trueColour[] = { &rgb };
    EXPECT_FALSE(gif.Encode(&again, trueColour, 1));
    CPicture* withNull[] = { &a, nullptr };
    EXPECT_FALSE(gif.Encode(&again, withNull, 2));
    EXPECT_STREQ(gif.GetLastError(), "Bad image pointer");
    EXPECT_EQ(again.Size(), 0) << "nothing is written before the checks pass";
    EXPECT_FALSE(gif.Encode(&again, withNull, 0));
    EXPECT_STREQ(gif.GetLastError(), "multipage GIF, no images!");
    EXPECT_FALSE(gif.Encode(static_cast<CPicFile*>(nullptr), mixed, 2));
    EXPECT_STREQ(gif.GetLastError(), "invalid file pointer");
}

TEST(GifEncode, ReportsFailedWrites)
{
    for (DWORD coder : { 0u, 1u, 2u }) {
        for (DWORD bpp : { 4u, 24u }) {
            // Two tiles at 24 bits: every write of both frames is met.
            CPicture pic(bpp == 24 ? 18 : 20, bpp == 24 ? 2 : 17, bpp);
            FillRandom(pic, 8);
            pic.SetCodecOption(coder, PIC_FORMAT_GIF);
            EXPECT_TRUE(FailsShortOfRoom(pic, PIC_FORMAT_GIF, "Write Error in GIF file"))
                << "coder " << coder << " bpp " << bpp;
        }
    }
}

TEST(GifAnimation, FramesLoopsAndLocalTables)
{
    CPicture f0(12, 9, 4), f1(12, 9, 4), f2(12, 9, 4);
    FillRandom(f0, 10);
    FillRandom(f1, 11);
    FillRandom(f2, 12);
    CPicture* frames[] = { &f0, &f1, &f2 };
    for (bool local : { false, true }) {
        CPictureGIF codec;
        codec.SetLoops(3);
        std::vector<BYTE> g = EncodeAnimation({ frames[0], frames[1], frames[2] }, &codec, local);
        ASSERT_FALSE(g.empty());
        size_t at = Find(g, { 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1 });
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(g[at + 13], 2) << "loops 3 are written as 2 repeats";
        for (LONG i = 0; i < 3; ++i) {
            CPicture back;
            back.SetFrame(i);
            ASSERT_TRUE(DecodeVector(back, g, PIC_FORMAT_GIF)) << i << ": " << back.GetLastError();
            EXPECT_EQ(back.GetNumFrames(), 3);
            // Without a local table a frame reads through the first one's palette.
            CPicture expect(*frames[i]);
            if (!local)
                expect.SetPalette(f0.GetPalette(), 16);
            EXPECT_TRUE(SameIndices(expect, back)) << "frame " << i << (local ? " local" : " global");
        }
        CPictureGIF read;
        CPicMemFile in(g.data(), DWORD(g.size()));
        ASSERT_TRUE(read.Decode(&in));
        EXPECT_EQ(read.GetLoops(), 2);
        CPicture past;
        past.SetFrame(3);
        EXPECT_FALSE(DecodeVector(past, g, PIC_FORMAT_GIF));
        EXPECT_STREQ(past.GetLastError(), "GIF: no such frame");
        past.SetFrame(-1);
        EXPECT_FALSE(DecodeVector(past, g, PIC_FORMAT_GIF));
    }

    for (LONG loops : { 0, 1 }) {
        CPictureGIF codec;
        codec.SetLoops(loops);
        std::vector<BYTE> g = EncodeAnimation({ &f0, &f1 }, &codec);
        size_t at = Find(g, { 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E' });
        if (loops == 1) {
            EXPECT_EQ(at, std::string::npos);
        } else {
            ASSERT_NE(at, std::string::npos);
            EXPECT_EQ(g[at + 13], 0);
            EXPECT_EQ(g[at + 14], 0);
        }
    }
}

TEST(GifAnimation, CountingPassLeaksNothingIntoTheFirstFrame)
{
    CPicture f0(6, 6, 8), f1(6, 6, 8);
    FillRandom(f0, 1);
    FillRandom(f1, 2);
    f1.SetPixelIndex(2, 2, 3);
    f1.SetPixelIndex(0, 5, 3);
    f1.SetTransIndex(3);
    f1.SetFrameDelay(40);
    std::vector<BYTE> g = EncodeAnimation({ &f0, &f1 });
    size_t second = Find(g, { 0x21, 0xF9, 0x04 }, Find(g, { 0x21, 0xF9, 0x04 }) + 1);
    ASSERT_NE(second, std::string::npos);
    g[second + 3] = BYTE(g[second + 3] | (3 << 2));

    CPictureGIF gif;
    CPicMemFile in(g.data(), DWORD(g.size()));
    ASSERT_TRUE(gif.Decode(&in));
    EXPECT_EQ(gif.GetTransIndex(), -1);
    EXPECT_EQ(gif.GetDisposalMethod(), 0);
    EXPECT_EQ(gif.GetFrameDelay(), 0u);

    CPicture one;
    one.SetFrame(1);
    ASSERT_TRUE(DecodeVector(one, g, PIC_FORMAT_GIF));
    EXPECT_EQ(one.GetFrameDelay(), 40u);
    // Frame 1 is pasted over frame 0 except where it is transparent.
    for (LONG y = 0; y < 6; ++y)
        for (LONG x = 0; x < 6; ++x) {
            BYTE i1 = f1.GetPixelIndex(x, y);
            BYTE expect = i1 == 3 ? f0.GetPixelIndex(x, y) : i1;
            EXPECT_EQ(one.GetPixelIndex(x, y), expect) << x << "," << y;
        }
}

TEST(GifDecode, HandBuiltTwoByTwo)
{
    for (const char* version : { "GIF87a", "GIF89a" }) {
        CPicture pic;
        ASSERT_TRUE(DecodeVector(pic, TinyGif(version), PIC_FORMAT_GIF)) << pic.GetLastError();
        EXPECT_EQ(pic.GetWidth(), 2u);
        EXPECT_EQ(pic.GetHeight(), 2u);
        EXPECT_EQ(pic.GetBpp(), 1) << "two table entries need one bit";
        EXPECT_EQ(pic.GetNumColors(), 2u);
        EXPECT_EQ(pic.GetNumFrames(), 1);
        EXPECT_EQ(pic.GetPixelIndex(0, 1), 1);
        EXPECT_EQ(pic.GetPixelIndex(1, 1), 0);
        EXPECT_EQ(pic.GetPixelIndex(0, 0), 0);
        EXPECT_EQ(pic.GetPixelIndex(1, 0), 1);
        EXPECT_TRUE(SameRgb(pic.GetPaletteColor(1), Rgb(255, 255, 255)));
    }
    CPicture pic(3, 3, 8);
    FillRandom(pic, 4);
    CPicture before(pic);
    EXPECT_FALSE(DecodeVector(pic, TinyGif("GIF97a"), PIC_FORMAT_GIF));
    EXPECT_STREQ(pic.GetLastError(), "Not a GIF");
    EXPECT_TRUE(SamePixels(pic, before)) << "a failed decode leaves the picture as it was";
}

// The TinyGif frame under a global table of `entries` colours (a power of 2).
std::vector<BYTE> TinyGifWithTable(int entries)
{
    std::vector<BYTE> g = TinyGif("GIF89a");
    int exponent = 0;
    while ((2 << exponent) < entries)
        ++exponent;
    g[10] = BYTE(0x80 | exponent);
    std::vector<BYTE> table;
    for (int i = 0; i < entries; ++i) {
        table.push_back(BYTE(i * 3));
        table.push_back(BYTE(255 - i));
        table.push_back(BYTE(i * 7));
    }
    g.erase(g.begin() + 13, g.begin() + 19);
    g.insert(g.begin() + 13, table.begin(), table.end());
    return g;
}

TEST(GifDecode, DepthFollowsTheColourTable)
{
    const struct {
        int entries;
        WORD bpp;
    } cases[] = { { 2, 1 }, { 4, 4 }, { 8, 4 }, { 16, 4 }, { 32, 8 }, { 256, 8 } };
    for (const auto& c : cases) {
        CPicture pic;
        ASSERT_TRUE(DecodeVector(pic, TinyGifWithTable(c.entries), PIC_FORMAT_GIF)) << pic.GetLastError();
        EXPECT_EQ(pic.GetBpp(), c.bpp) << c.entries;
        EXPECT_EQ(pic.GetNumColors(), DWORD(1) << c.bpp) << c.entries;
        EXPECT_EQ(pic.GetPixelIndex(0, 1), 1) << c.entries;
        EXPECT_EQ(pic.GetPixelIndex(1, 1), 0) << c.entries;
        EXPECT_TRUE(SameRgb(pic.GetPaletteColor(1), Rgb(3, 254, 7))) << c.entries;
    }
    // Encoded pictures come back at their own depth.
    for (DWORD bpp : { 1u, 4u, 8u }) {
        CPicture pic(11, 7, bpp);
        FillRandom(pic, bpp);
        CPicture back;
        ASSERT_TRUE(DecodeVector(back, EncodeGif(pic, 1), PIC_FORMAT_GIF));
        EXPECT_TRUE(SamePixels(pic, back)) << bpp;
    }
}

// The area a smaller first frame leaves is cleared to the transparent index,
// which may lie beyond the colour table: the depth grows to hold it.
TEST(GifDecode, TransparentIndexBeyondTheTableRaisesTheDepth)
{
    std::vector<BYTE> g = TinyGif("GIF89a");
    g[6] = 3; // a 3 x 2 screen over the 2 x 2 frame at (0, 0)
    const BYTE control[] = { '!', 0xF9, 4, 0x01, 0, 0, 2, 0 }; // transparency on, index 2
    const size_t descriptor = 13 + 6;
    ASSERT_EQ(g[descriptor], ',');
    g.insert(g.begin() + long(descriptor), control, control + sizeof(control));
    CPicture pic;
    ASSERT_TRUE(DecodeVector(pic, g, PIC_FORMAT_GIF)) << pic.GetLastError();
    EXPECT_EQ(pic.GetWidth(), 3u);
    EXPECT_EQ(pic.GetHeight(), 2u);
    EXPECT_EQ(pic.GetTransIndex(), 2);
    EXPECT_EQ(pic.GetBpp(), 4);
    EXPECT_EQ(pic.GetPixelIndex(2, 0), 2);
    EXPECT_EQ(pic.GetPixelIndex(2, 1), 2);
    // The frame itself is where it was put.
    EXPECT_EQ(pic.GetPixelIndex(0, 1), 1);
    EXPECT_EQ(pic.GetPixelIndex(1, 1), 0);
    EXPECT_EQ(pic.GetPixelIndex(0, 0), 0);
    EXPECT_EQ(pic.GetPixelIndex(1, 0), 1);
}

TEST(GifAnimation, DepthIsTheLargestTableOfTheFramesComposed)
{
    // A two-colour first frame, then one of 256 colours on its own table.
    CPicture f0(10, 6, 1), f1(10, 6, 8);
    FillRandom(f0, 3);
    FillRandom(f1, 4);
    std::vector<BYTE> g = EncodeGif(f0, 1);
    std::vector<BYTE> deep = EncodeGif(f1, 1);
    ASSERT_GT(g.size(), 13u);
    ASSERT_GT(deep.size(), 13u + 768u);
    // The second file's blocks after its global table, its table made local.
    ASSERT_EQ(deep[10] & 0x87, 0x87);
    std::vector<BYTE> table(deep.begin() + 13, deep.begin() + 13 + 768);
    std::vector<BYTE> frame(deep.begin() + 13 + 768, deep.end() - 1);
    size_t descriptor = Find(frame, { 0x2C, 0, 0, 0, 0, 10, 0, 6, 0 });
    ASSERT_NE(descriptor, std::string::npos);
    frame[descriptor + 9] = BYTE(frame[descriptor + 9] | 0x87);
    frame.insert(frame.begin() + long(descriptor) + 10, table.begin(), table.end());
    g.insert(g.end() - 1, frame.begin(), frame.end());
    CPicture first;
    ASSERT_TRUE(DecodeVector(first, g, PIC_FORMAT_GIF)) << first.GetLastError();
    EXPECT_EQ(first.GetBpp(), 1);
    EXPECT_TRUE(SamePixels(first, f0));
    CPicture second;
    second.SetFrame(1);
    ASSERT_TRUE(DecodeVector(second, g, PIC_FORMAT_GIF)) << second.GetLastError();
    EXPECT_EQ(second.GetBpp(), 8);
    EXPECT_EQ(second.GetNumColors(), 256u);
    EXPECT_TRUE(SamePixels(second, f1)) << "the second frame's indices and colours";
}

// A frame whose codes go bad may sit in a damaged chain of sub-blocks: the
// next frame is found by its descriptor. Sound data is walked block by block.
TEST(GifDecode, AFrameAfterBadCodesStillDecodes)
{
    std::vector<BYTE> g = TinyGif("GIF89a");
    const size_t end = g.size() - 1; // the trailer
    // The second of two frames, the TinyGif one, decodes whole.
    auto expectSecondFrame = [](const std::vector<BYTE>& bytes, const char* what) {
        CPicture second;
        second.SetFrame(1);
        ASSERT_TRUE(DecodeVector(second, bytes, PIC_FORMAT_GIF)) << what << ": " << second.GetLastError();
        EXPECT_EQ(second.GetNumFrames(), 2) << what;
        EXPECT_EQ(second.GetPixelIndex(0, 1), 1) << what;
        EXPECT_EQ(second.GetPixelIndex(1, 1), 0) << what;
        EXPECT_EQ(second.GetPixelIndex(0, 0), 0) << what;
        EXPECT_EQ(second.GetPixelIndex(1, 0), 1) << what;
    };
    // Codes clear, 1, 7 (two past the next free code), end; then a block
    // length that runs far past the next frame, some bytes and a terminator.
    const BYTE bad[] = { ',', 0, 0, 0, 0, 2, 0, 2, 0, 0, 2, 2, 0xCC, 0x0B, 0x40, 0x11, 0x22, 0x33, 0 };
    std::vector<BYTE> damaged(g);
    damaged.insert(damaged.begin() + 19, bad, bad + sizeof(bad));
    expectSecondFrame(damaged, "after bad codes");
    CPicture first;
    ASSERT_TRUE(DecodeVector(first, damaged, PIC_FORMAT_GIF)) << first.GetLastError();
    EXPECT_EQ(first.GetPixelIndex(0, 1), 1) << "the bad code reads as the next one, 1 1";
    EXPECT_EQ(first.GetPixelIndex(1, 1), 1);

    // Without bad codes a descriptor-like 0, ',' inside the data is walked over.
    std::vector<BYTE> sound(g);
    const BYTE trailing[] = { 3, 0, ',', 0 };
    sound.insert(sound.begin() + long(end) - 1, trailing, trailing + sizeof(trailing));
    sound.insert(sound.begin() + long(end) + sizeof(trailing), g.begin() + 19, g.end() - 1);
    expectSecondFrame(sound, "after sound data");
}

TEST(GifDecode, SizeOnlyRequest)
{
    CPicture pic;
    pic.SetEscape(-1);
    ASSERT_TRUE(DecodeVector(pic, TinyGif(), PIC_FORMAT_GIF));
    EXPECT_EQ(pic.GetWidth(), 2u);
    EXPECT_EQ(pic.GetHeight(), 2u);
    EXPECT_FALSE(pic.IsValid());
}

TEST(GifDecode, InterlacedRowsArriveInPassOrder)
{
    CPicture pic(1, 10, 8);
    FillRandom(pic, 1);
    for (LONG k = 0; k < 10; ++k)
        pic.SetPixelIndex(0, 9 - k, BYTE(k)); // file line k holds k
    std::vector<BYTE> g = EncodeGif(pic, 1);
    size_t at = Find(g, { 0x2C, 0, 0, 0, 0, 1, 0, 10, 0 });
    ASSERT_NE(at, std::string::npos);
    g[at + 9] |= 0x40;
    CPicture back;
    ASSERT_TRUE(DecodeVector(back, g, PIC_FORMAT_GIF));
    const int order[10] = { 0, 8, 4, 2, 6, 1, 3, 5, 7, 9 };
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(back.GetPixelIndex(0, 9 - order[k]), k) << "line " << k << " is row " << order[k];
}

TEST(GifDecode, ExtensionsCommentAndLoops)
{
    std::vector<BYTE> g = TinyGif("GIF89a");
    size_t body = 13 + 6;
    // A comment of 300 bytes in two sub-blocks keeps the first one.
    std::vector<BYTE> ext = { 0x21, 0xFE, 255 };
    ext.insert(ext.end(), 255, 'a');
    ext.push_back(45);
    ext.insert(ext.end(), 45, 'b');
    ext.push_back(0);
    // An application block that is not the looping one carries no count.
    const BYTE other[]
        = { 0x21, 0xFF, 11, 'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P', 3, 1, 9, 0, 0 };
    ext.insert(ext.end(), other, other + sizeof(other));
    std::vector<BYTE> withOther(g);
    withOther.insert(withOther.begin() + long(body), ext.begin(), ext.end());
    CPictureGIF gif;
    CPicMemFile in(withOther.data(), DWORD(withOther.size()));
    ASSERT_TRUE(gif.Decode(&in)) << gif.GetLastError();
    char text[256];
    gif.GetComment(text);
    EXPECT_EQ(std::string(text), std::string(255, 'a'));
    EXPECT_EQ(gif.GetLoops(), 0);

    const BYTE netscape[]
        = { 0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 9, 0, 0 };
    std::vector<BYTE> looping(g);
    looping.insert(looping.begin() + long(body), netscape, netscape + sizeof(netscape));
    CPictureGIF gif2;
    CPicMemFile in2(looping.data(), DWORD(looping.size()));
    ASSERT_TRUE(gif2.Decode(&in2));
    EXPECT_EQ(gif2.GetLoops(), 9);

    // Extensions whose first sub-block is empty end at that terminator.
    const std::vector<BYTE> empties[] = { { 0x21, 0xFE, 0 }, { 0x21, 0xFF, 0 }, { 0x21, 0xF9, 0 },
        { 0x21, 0xFF, 11, 'X', 'M', 'P', ' ', 'D', 'a', 't', 'a', 'X', 'M', 'P', 0 } };
    for (const std::vector<BYTE>& empty : empties) {
        std::vector<BYTE> e(g);
        e.insert(e.begin() + long(body), empty.begin(), empty.end());
        CPicture pic;
        ASSERT_TRUE(DecodeVector(pic, e, PIC_FORMAT_GIF)) << empty.size() << ": " << pic.GetLastError();
        EXPECT_EQ(pic.GetPixelIndex(0, 1), 1);
        EXPECT_EQ(pic.GetPixelIndex(1, 0), 1);
    }
}

TEST(GifDecode, ZeroSizeAndOutsideFramesAreNotFrames)
{
    std::vector<BYTE> g = TinyGif();
    size_t frame = 13 + 6;
    const BYTE empty[] = { ',', 0, 0, 0, 0, 0, 0, 5, 0, 0, 2, 1, 0x44, 0 };
    const BYTE outside[] = { ',', 1, 0, 0, 0, 2, 0, 1, 0, 0, 2, 1, 0x44, 0 };
    g.insert(g.begin() + long(frame), outside, outside + sizeof(outside));
    g.insert(g.begin() + long(frame), empty, empty + sizeof(empty));
    CPicture pic;
    ASSERT_TRUE(DecodeVector(pic, g, PIC_FORMAT_GIF)) << pic.GetLastError();
    EXPECT_EQ(pic.GetNumFrames(), 1);
    EXPECT_EQ(pic.GetPixelIndex(0, 1), 1);
    EXPECT_EQ(pic.GetPixelIndex(1, 0), 1);
}

TEST(GifDecode, PixelLimitRefusesTheScreen)
{
    CPicture big(200, 100, 8);
    FillRandom(big, 2);
    std::vector<BYTE> g = EncodeGif(big, 0);
    CPicture pic;
    pic.SetMaxDecodePixels(19999);
    EXPECT_FALSE(DecodeVector(pic, g, PIC_FORMAT_GIF));
    EXPECT_STREQ(pic.GetLastError(), "CPicture: picture exceeds the decoder pixel limit");
    pic.SetMaxDecodePixels(20000);
    EXPECT_TRUE(DecodeVector(pic, g, PIC_FORMAT_GIF));
}

TEST(GifDecode, BadCodeSizesFailTheDecode)
{
    for (BYTE size : { BYTE(1), BYTE(10) }) {
        std::vector<BYTE> g = TinyGif();
        g[13 + 6 + 10] = size;
        CPicture pic(3, 3, 8);
        EXPECT_FALSE(DecodeVector(pic, g, PIC_FORMAT_GIF)) << int(size);
        EXPECT_STREQ(pic.GetLastError(), "GIF: bad LZW minimum code size");
        EXPECT_EQ(pic.GetWidth(), 3u) << "untouched after a failure";
    }
}

// Reaches the re-synchronising step, which only damaged data needs.
struct CGifProbe : CPictureGIF {
    using CPictureGIF::seek_next_image;
};

TEST(GifDecode, SeekNextImageFindsADescriptorAfterAZeroByte)
{
    // A ',' counts only after a 0 byte (the end of the previous block).
    std::vector<BYTE> data = { 'x', ',', 7, 0, 5, 0, ',', 1, 2 };
    const struct {
        long from;
        long found;
    } cases[] = { { 0, 6 }, { 6, -1 }, { 3, 6 }, { 9, -1 } };
    for (const auto& c : cases) {
        CGifProbe probe;
        CPicMemFile file(data.data(), DWORD(data.size()));
        EXPECT_EQ(probe.seek_next_image(&file, c.from), c.found) << c.from;
        if (c.found >= 0)
            EXPECT_EQ(file.GetC(), ',');
    }
}

// Hostile LZW data: undefined codes, long self-referencing chains, a table
// that fills without a clear, codes past the picture's last row.
TEST(GifDecode, HostileCodeStreamsStayInside)
{
    std::mt19937 rng(77);
    for (int round = 0; round < 300; ++round) {
        int codeSize = 2 + int(rng() % 7);
        int w = 1 + int(rng() % 40), h = 1 + int(rng() % 40);
        std::vector<BYTE> g = { 'G', 'I', 'F', '8', '9', 'a', BYTE(w), 0, BYTE(h), 0, 0x87, 0, 0 };
        for (int i = 0; i < 768; ++i)
            g.push_back(BYTE(i));
        const BYTE desc[] = { ',', 0, 0, 0, 0, BYTE(w), 0, BYTE(h), 0, BYTE(round % 3 == 0 ? 0x40 : 0) };
        g.insert(g.end(), desc, desc + sizeof(desc));
        g.push_back(BYTE(codeSize));
        int blocks = 1 + int(rng() % 30);
        for (int b = 0; b < blocks; ++b) {
            int n = 1 + int(rng() % 255);
            g.push_back(BYTE(n));
            for (int i = 0; i < n; ++i)
                g.push_back(
                    round % 2 ? BYTE(rng()) : BYTE(0xFF)); // all ones: the highest code again and again
        }
        g.push_back(0);
        g.push_back(';');
        CPicture pic;
        ASSERT_TRUE(DecodeVector(pic, g, PIC_FORMAT_GIF)) << round << ": " << pic.GetLastError();
        EXPECT_EQ(pic.GetWidth(), DWORD(w));
        EXPECT_EQ(pic.GetHeight(), DWORD(h));
    }
}

TEST(GifDecode, TruncatedAtEveryLengthFailsOrStaysWhole)
{
    CPicture f0(9, 7, 8), f1(9, 7, 8);
    FillRandom(f0, 3);
    FillRandom(f1, 4);
    std::vector<BYTE> anim = EncodeAnimation({ &f0, &f1 });
    CPicture rgb(20, 16, 24);
    FillRandom(rgb, 5);
    std::vector<BYTE> tiles = EncodeGif(rgb, 0);
    for (const std::vector<BYTE>* whole : { &anim, &tiles }) {
        for (size_t len = 0; len < whole->size(); ++len) {
            std::vector<BYTE> part(whole->begin(), whole->begin() + long(len));
            CPicture pic(2, 2, 1);
            pic.SetFrame(1);
            bool ok = DecodeVector(pic, part, PIC_FORMAT_GIF);
            if (ok) {
                EXPECT_TRUE(pic.IsValid());
                EXPECT_EQ(pic.GetWidth(), whole == &anim ? 9u : 20u);
            } else {
                EXPECT_STRNE(pic.GetLastError(), "") << len;
                EXPECT_EQ(pic.GetWidth(), 2u) << "untouched after a failure";
            }
        }
    }
}

} // namespace
