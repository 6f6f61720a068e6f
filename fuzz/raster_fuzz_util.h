// Shared by the raster codec fuzz targets: decoding hostile bytes under a
// small pixel limit, a picture made from bytes, and colour comparison.
#pragma once

#include "image/picture.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

// Keeps each run small; the limit itself is what is tested.
constexpr DWORD kFuzzMaxPixels = 1 << 20;

inline bool FuzzDecode(
    CPicture& pic, const uint8_t* data, size_t size, DWORD type, DWORD maxPixels = kFuzzMaxPixels)
{
    // Decode wants a writable, non-null pointer even for no bytes.
    std::vector<BYTE> bytes(data, data + size);
    BYTE none = 0;
    pic.SetMaxDecodePixels(maxPixels);
    return pic.Decode(bytes.empty() ? &none : bytes.data(), DWORD(bytes.size()), type);
}

// Encodes and decodes back; returns false when the codec refused the picture.
inline bool FuzzReencode(CPicture& pic, DWORD type, CPicture& back)
{
    BYTE* encoded = nullptr;
    LONG size = 0;
    if (!pic.Encode(encoded, size, type))
        return false;
    bool ok = back.Decode(encoded, DWORD(size), type);
    CPicture::FreeMemory(encoded);
    if (!ok)
        std::abort(); // what we wrote we must read
    return true;
}

inline void FuzzRequireSameColors(const CPicture& a, const CPicture& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        std::abort();
    for (LONG y = 0; y < LONG(a.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(a.GetWidth()); ++x) {
            RGBQUAD p = a.GetPixelColor(x, y, false), q = b.GetPixelColor(x, y, false);
            if (p.rgbRed != q.rgbRed || p.rgbGreen != q.rgbGreen || p.rgbBlue != q.rgbBlue)
                std::abort();
        }
}

// A picture from raw bytes: 4 bytes of shape (width, height, depth, extra),
// then the palette and pixels in the order the bytes come.
inline bool FuzzPicture(
    CPicture& pic, const uint8_t* data, size_t size, const DWORD* depths, size_t depthCount, BYTE& extra)
{
    if (size < 4)
        return false;
    DWORD w = 1 + data[0] % 64, h = 1 + data[1] % 64;
    DWORD bpp = depths[data[2] % depthCount];
    extra = data[3];
    data += 4;
    size -= 4;
    if (!pic.Create(w, h, bpp))
        return false;
    size_t at = 0;
    auto next = [&]() -> BYTE { return size ? data[at++ % size] : BYTE(at++); };
    for (DWORD i = 0; i < pic.GetNumColors(); ++i)
        pic.SetPaletteColor(BYTE(i), next(), next(), next(), 0);
    for (LONG y = 0; y < LONG(h); ++y)
        for (LONG x = 0; x < LONG(w); ++x) {
            if (pic.IsIndexed()) {
                pic.SetPixelIndex(x, y, next());
            } else {
                RGBQUAD c = { next(), next(), next(), 0 };
                pic.SetPixelColor(x, y, c);
            }
        }
    return true;
}
