// Helpers shared by the image tests: seeded random pictures, pixel-exact
// comparison and encoding into a byte vector.
#pragma once

#include "image/picfile.h"
#include "image/picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

inline RGBQUAD Rgb(BYTE r, BYTE g, BYTE b, BYTE reserved = 0)
{
    RGBQUAD q;
    q.rgbRed = r;
    q.rgbGreen = g;
    q.rgbBlue = b;
    q.rgbReserved = reserved;
    return q;
}

inline bool SameRgb(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// Distinct palette entries, so that nearest-colour lookups are exact.
inline void FillRandom(CPicture& pic, uint32_t seed)
{
    std::mt19937 rng(seed);
    DWORD colors = pic.GetNumColors();
    for (DWORD i = 0; i < colors; ++i)
        pic.SetPaletteColor(BYTE(i), BYTE(i), BYTE(rng() & 0xFF), BYTE((i * 37) & 0xFF), 0);
    LONG w = LONG(pic.GetWidth()), h = LONG(pic.GetHeight());
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            if (colors)
                pic.SetPixelIndex(x, y, BYTE(rng() % colors));
            else
                pic.SetPixelColor(x, y, Rgb(BYTE(rng()), BYTE(rng()), BYTE(rng())));
        }
}

inline ::testing::AssertionResult SamePixels(const CPicture& a, const CPicture& b)
{
    if (!a.IsValid() || !b.IsValid())
        return ::testing::AssertionFailure() << "invalid picture";
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight() || a.GetBpp() != b.GetBpp())
        return ::testing::AssertionFailure() << a.GetWidth() << "x" << a.GetHeight() << "x" << a.GetBpp()
                                             << " vs " << b.GetWidth() << "x" << b.GetHeight() << "x"
                                             << b.GetBpp();
    for (DWORD i = 0; i < a.GetNumColors(); ++i)
        if (!SameRgb(a.GetPaletteColor(BYTE(i)), b.GetPaletteColor(BYTE(i))))
            return ::testing::AssertionFailure() << "palette entry " << i;
    for (LONG y = 0; y < LONG(a.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(a.GetWidth()); ++x) {
            bool same = a.IsIndexed() ? a.GetPixelIndex(x, y) == b.GetPixelIndex(x, y)
                                      : SameRgb(a.GetPixelColor(x, y, false), b.GetPixelColor(x, y, false));
            if (!same)
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ")";
        }
    return ::testing::AssertionSuccess();
}

// A memory file that takes at most `limit` bytes: a write past it is cut
// short, as a full disk would.
struct CCappedFile : CPicMemFile {
    explicit CCappedFile(LONG limit)
        : limit(limit)
    {
        Open();
    }
    size_t Write(const void* b, size_t s, size_t n) override
    {
        size_t room = Size() < limit ? size_t(limit - Size()) / (s ? s : 1) : 0;
        return CPicMemFile::Write(b, s, n < room ? n : room);
    }
    LONG limit;
};

inline std::vector<BYTE> EncodeToBytes(CPicture& pic, DWORD type)
{
    BYTE* buffer = nullptr;
    LONG size = 0;
    std::vector<BYTE> out;
    if (pic.Encode(buffer, size, type)) {
        out.assign(buffer, buffer + size);
        CPicture::FreeMemory(buffer);
    }
    return out;
}

inline void PutU16(std::vector<BYTE>& v, size_t at, unsigned value)
{
    v[at] = BYTE(value);
    v[at + 1] = BYTE(value >> 8);
}

inline void PutU32(std::vector<BYTE>& v, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = BYTE(value >> (8 * i));
}

inline uint32_t GetU32(const std::vector<BYTE>& v, size_t at)
{
    return uint32_t(v[at]) | (uint32_t(v[at + 1]) << 8) | (uint32_t(v[at + 2]) << 16) | (uint32_t(v[at + 3]) << 24);
}
