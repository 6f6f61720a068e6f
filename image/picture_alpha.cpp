// The alpha plane (one byte per pixel, rows bottom-up) and the alpha carried
// in palette reserved bytes.
#include "image/picture.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

bool CPicture::AlphaCreate()
{
    if (alpha)
        return true;
    if (!dibBlock)
        return false;
    size_t n = PlaneSize();
    alpha = static_cast<BYTE*>(std::malloc(n));
    if (!alpha)
        return false;
    std::memset(alpha, 255, n);
    return true;
}

void CPicture::AlphaDelete()
{
    std::free(alpha);
    alpha = nullptr;
}

void CPicture::AlphaClear()
{
    if (alpha)
        std::memset(alpha, 0, PlaneSize());
}

void CPicture::AlphaSet(BYTE level)
{
    if (alpha)
        std::memset(alpha, level, PlaneSize());
}

void CPicture::AlphaSet(LONG x, LONG y, BYTE level)
{
    if (alpha && IsInside(x, y))
        alpha[size_t(y) * GetWidth() + x] = level;
}

bool CPicture::AlphaSet(const CPicture& from)
{
    // Only an 8-bit identity-ramp picture has indices that are grey levels.
    if (from.GetBpp() != 8 || !from.IsGrayScale() || !dibBlock || from.GetWidth() != GetWidth()
        || from.GetHeight() != GetHeight())
        return false;
    if (!AlphaCreate())
        return false;
    DWORD w = GetWidth();
    for (DWORD y = 0; y < GetHeight(); ++y)
        std::memcpy(alpha + size_t(y) * w, from.GetBits(y), w);
    return true;
}

BYTE CPicture::BlindAlphaGet(LONG x, LONG y) const { return alpha[size_t(y) * GetWidth() + x]; }

BYTE CPicture::AlphaGet(LONG x, LONG y) const
{
    if (!alpha || !IsInside(x, y))
        return 0;
    return BlindAlphaGet(x, y);
}

BYTE* CPicture::AlphaGetPointer(LONG x, LONG y) const
{
    if (!alpha || !IsInside(x, y))
        return nullptr;
    return alpha + size_t(y) * GetWidth() + x;
}

void CPicture::AlphaInvert()
{
    if (!alpha)
        return;
    size_t n = PlaneSize();
    for (size_t i = 0; i < n; ++i)
        alpha[i] = BYTE(255 - alpha[i]);
}

bool CPicture::AlphaCopy(const CPicture& from)
{
    if (!from.alpha || !dibBlock || from.GetWidth() != GetWidth() || from.GetHeight() != GetHeight())
        return false;
    if (!AlphaCreate())
        return false;
    std::memcpy(alpha, from.alpha, PlaneSize());
    info.alphaMax = from.info.alphaMax;
    return true;
}

// Both turn the plane in place: no second plane, nothing that can fail.
bool CPicture::AlphaFlip()
{
    if (!alpha)
        return false;
    size_t w = GetWidth(), h = GetHeight();
    for (size_t y = 0; y < h / 2; ++y)
        std::swap_ranges(alpha + y * w, alpha + (y + 1) * w, alpha + (h - 1 - y) * w);
    return true;
}

bool CPicture::AlphaMirror()
{
    if (!alpha)
        return false;
    size_t w = GetWidth(), h = GetHeight();
    for (size_t y = 0; y < h; ++y)
        std::reverse(alpha + y * w, alpha + (y + 1) * w);
    return true;
}

// An 8-bit grey picture of this size whose indices come from level(x, y).
template <class Level>
static bool SplitInto(const CPicture& src, CPicture* dest, Level level)
{
    CPicture plane;
    if (!plane.Create(src.GetWidth(), src.GetHeight(), 8, 0))
        return false;
    plane.SetGrayPalette();
    LONG w = LONG(src.GetWidth()), h = LONG(src.GetHeight());
    for (LONG y = 0; y < h; ++y) {
        BYTE* row = plane.GetBits(DWORD(y));
        for (LONG x = 0; x < w; ++x)
            row[x] = level(x, y);
    }
    return dest->Transfer(plane);
}

bool CPicture::AlphaSplit(CPicture* dest) const
{
    if (!alpha || !dest)
        return false;
    return SplitInto(*this, dest, [this](LONG x, LONG y) { return BlindAlphaGet(x, y); });
}

bool CPicture::AlphaPaletteSplit(CPicture* dest) const
{
    if (!AlphaPaletteIsValid() || !dest)
        return false;
    return SplitInto(*this, dest, [this](LONG x, LONG y) { return GetPixelColor(x, y, true).rgbReserved; });
}

bool CPicture::AlphaPaletteIsValid() const
{
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return false;
    for (DWORD i = 0; i < header.biClrUsed; ++i)
        if (pal[i].rgbReserved)
            return true;
    return false;
}

void CPicture::AlphaPaletteClear()
{
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return;
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        RGBQUAD c = pal[i];
        c.rgbReserved = 0;
        StorePaletteEntry(i, c);
    }
}

void CPicture::AlphaStrip()
{
    bool p = AlphaPaletteIsValid();
    bool a = AlphaIsValid();
    if ((!p && !a) || !dibBlock)
        return;
    RGBQUAD back = info.transColor;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());

    auto flatten = [&](LONG x, LONG y) {
        RGBQUAD c = GetPixelColor(x, y, true);
        long weight = a ? long(info.alphaMax) * AlphaGet(x, y) / 255 : long(info.alphaMax);
        if (p)
            weight = long(c.rgbReserved) * weight / 255;
        RGBQUAD out = c;
        out.rgbBlue = BYTE((back.rgbBlue * (255 - weight) + c.rgbBlue * weight) / 255);
        out.rgbGreen = BYTE((back.rgbGreen * (255 - weight) + c.rgbGreen * weight) / 255);
        out.rgbRed = BYTE((back.rgbRed * (255 - weight) + c.rgbRed * weight) / 255);
        out.rgbReserved = 0;
        return out;
    };

    if (header.biBitCount == 24) {
        for (LONG y = 0; y < h; ++y)
            for (LONG x = 0; x < w; ++x)
                SetPixelColor(x, y, flatten(x, y), false);
        AlphaDelete();
        return;
    }
    CPicture flat;
    flat.CopyInfo(*this);
    if (!flat.Create(GetWidth(), GetHeight(), 24, info.type))
        return;
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            flat.SetPixelColor(x, y, flatten(x, y), false);
    Transfer(flat);
}
