// Palette entries and single pixels of a picture.
#include "image/picture.h"

#include "image/picture_ops.h"

namespace {

using picops::Quad;
using picops::SameQuad;

// The 16 standard Windows colours (red, green, blue).
const BYTE kStd16[16][3] = { { 0, 0, 0 }, { 128, 0, 0 }, { 0, 128, 0 }, { 128, 128, 0 }, { 0, 0, 128 },
    { 128, 0, 128 }, { 0, 128, 128 }, { 192, 192, 192 }, { 128, 128, 128 }, { 255, 0, 0 }, { 0, 255, 0 },
    { 255, 255, 0 }, { 0, 0, 255 }, { 255, 0, 255 }, { 0, 255, 255 }, { 255, 255, 255 } };

// The fixed entries of the 256-colour standard palette around its colour cube.
const BYTE kStd256Low[3][3] = { { 192, 220, 192 }, { 166, 202, 240 }, { 255, 240, 212 } };
const BYTE kStd256High[10][3] = { { 255, 251, 240 }, { 160, 160, 164 }, { 128, 128, 128 }, { 255, 0, 0 },
    { 0, 255, 0 }, { 255, 255, 0 }, { 0, 0, 255 }, { 255, 0, 255 }, { 0, 255, 255 }, { 255, 255, 255 } };
const BYTE kStd256Greys[6] = { 74, 62, 50, 38, 26, 14 };

// Stores index i at column x of a row of a 1-, 4- or 8-bit picture.
void PutIndex(BYTE* row, WORD bpp, LONG x, BYTE i)
{
    switch (bpp) {
    case 8:
        row[x] = i;
        break;
    case 4: {
        BYTE& v = row[x >> 1];
        if (x & 1)
            v = BYTE((v & 0xF0) | (i & 15));
        else
            v = BYTE((v & 0x0F) | ((i & 15) << 4));
        break;
    }
    case 1: {
        BYTE mask = BYTE(0x80 >> (x & 7));
        BYTE& v = row[x >> 3];
        v = (i & 1) ? BYTE(v | mask) : BYTE(v & ~mask);
        break;
    }
    default:
        break;
    }
}

} // namespace

// ---- palette ---------------------------------------------------------------

void CPicture::StorePaletteEntry(DWORD i, RGBQUAD c)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || i >= header.biClrUsed)
        return;
    pal[i] = c;
    info.nearestCacheValid = false;
}

DWORD CPicture::GetPaletteSize() const { return header.biClrUsed * 4; }

RGBQUAD* CPicture::GetPalette() const
{
    if (!dibBlock || header.biClrUsed == 0)
        return nullptr;
    return reinterpret_cast<RGBQUAD*>(dibBlock + header.biSize);
}

RGBQUAD CPicture::GetPaletteColor(BYTE i) const
{
    RGBQUAD* pal = GetPalette();
    if (!pal || i >= header.biClrUsed)
        return Quad(0, 0, 0);
    return pal[i];
}

bool CPicture::GetPaletteColor(BYTE i, BYTE* r, BYTE* g, BYTE* b) const
{
    RGBQUAD* pal = GetPalette();
    if (!pal || i >= header.biClrUsed)
        return false;
    if (r)
        *r = pal[i].rgbRed;
    if (g)
        *g = pal[i].rgbGreen;
    if (b)
        *b = pal[i].rgbBlue;
    return true;
}

void CPicture::SetPaletteColor(BYTE i, BYTE r, BYTE g, BYTE b, BYTE alphaValue)
{
    StorePaletteEntry(i, Quad(r, g, b, alphaValue));
}

void CPicture::SetPaletteColor(BYTE i, RGBQUAD c) { StorePaletteEntry(i, c); }

void CPicture::SetPaletteColor(BYTE i, COLORREF c) { StorePaletteEntry(i, RGBtoRGBQUAD(c)); }

void CPicture::SetPalette(const RGBQUAD* pal, DWORD n)
{
    if (!pal || !GetPalette())
        return;
    DWORD count = n < header.biClrUsed ? n : header.biClrUsed;
    for (DWORD i = 0; i < count; ++i)
        StorePaletteEntry(i, pal[i]);
}

void CPicture::SetPalette(const rgb_color* rgb, DWORD n)
{
    RGBQUAD* pal = GetPalette();
    if (!rgb || !pal)
        return;
    DWORD count = n < header.biClrUsed ? n : header.biClrUsed;
    for (DWORD i = 0; i < count; ++i)
        StorePaletteEntry(i, Quad(rgb[i].r, rgb[i].g, rgb[i].b, pal[i].rgbReserved));
}

void CPicture::SetPalette(DWORD n, const BYTE* r, const BYTE* g, const BYTE* b)
{
    RGBQUAD* pal = GetPalette();
    if (!r || !pal)
        return;
    if (!g)
        g = r;
    if (!b)
        b = g;
    DWORD count = n < header.biClrUsed ? n : header.biClrUsed;
    for (DWORD i = 0; i < count; ++i)
        StorePaletteEntry(i, Quad(r[i], g[i], b[i], pal[i].rgbReserved));
}

void CPicture::SetGrayPalette()
{
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return;
    DWORD n = header.biClrUsed;
    DWORD step = n > 1 ? 255 / (n - 1) : 0;
    for (DWORD i = 0; i < n; ++i) {
        BYTE v = BYTE(step * i);
        StorePaletteEntry(i, Quad(v, v, v, pal[i].rgbReserved));
    }
}

void CPicture::BlendPalette(COLORREF c, LONG percent)
{
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return;
    LONG p = percent > 100 ? 100 : (percent < 0 ? 0 : percent);
    RGBQUAD t = RGBtoRGBQUAD(c);
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        RGBQUAD e = pal[i];
        e.rgbBlue = BYTE((e.rgbBlue * (100 - p) + t.rgbBlue * p) / 100);
        e.rgbGreen = BYTE((e.rgbGreen * (100 - p) + t.rgbGreen * p) / 100);
        e.rgbRed = BYTE((e.rgbRed * (100 - p) + t.rgbRed * p) / 100);
        StorePaletteEntry(i, e);
    }
}

bool CPicture::IsGrayScale() const
{
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return false;
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        if (pal[i].rgbBlue != i || pal[i].rgbGreen != i || pal[i].rgbRed != i)
            return false;
    }
    return true;
}

bool CPicture::IsSamePalette(const CPicture& other, bool checkAlpha) const
{
    DWORD n = header.biClrUsed;
    if (n == 0 || n != other.header.biClrUsed)
        return false;
    RGBQUAD* a = GetPalette();
    RGBQUAD* b = other.GetPalette();
    if (!a || !b)
        return false;
    for (DWORD i = 0; i < n; ++i) {
        if (a[i].rgbRed != b[i].rgbRed || a[i].rgbGreen != b[i].rgbGreen || a[i].rgbBlue != b[i].rgbBlue)
            return false;
        if (checkAlpha && a[i].rgbReserved != b[i].rgbReserved)
            return false;
    }
    return true;
}

void CPicture::SwapIndex(BYTE a, BYTE b)
{
    RGBQUAD* pal = GetPalette();
    if (!pal || a >= header.biClrUsed || b >= header.biClrUsed || a == b)
        return;
    RGBQUAD ea = pal[a];
    StorePaletteEntry(a, pal[b]);
    StorePaletteEntry(b, ea);
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            BYTE i = BlindGetPixelIndex(x, y);
            if (i == a)
                SetPixelIndex(x, y, b);
            else if (i == b)
                SetPixelIndex(x, y, a);
        }
    }
}

void CPicture::SetClrImportant(DWORD n)
{
    if (n == 0 || n > 256)
        n = 0;
    switch (header.biBitCount) {
    case 1:
        n = n < 2 ? n : 2;
        break;
    case 4:
        n = n < 16 ? n : 16;
        break;
    case 8:
        break;
    default:
        return;
    }
    header.biClrImportant = n;
    if (dibBlock)
        reinterpret_cast<BITMAPINFOHEADER*>(dibBlock)->biClrImportant = n;
}

void CPicture::SetStdPalette()
{
    if (!dibBlock)
        return;
    if (header.biBitCount == 4) {
        for (DWORD i = 0; i < 16; ++i)
            StorePaletteEntry(i, Quad(kStd16[i][0], kStd16[i][1], kStd16[i][2]));
    } else if (header.biBitCount == 8) {
        DWORD i = 0;
        for (; i < 8; ++i)
            StorePaletteEntry(i, Quad(kStd16[i][0], kStd16[i][1], kStd16[i][2]));
        for (DWORD k = 0; k < 3; ++k, ++i)
            StorePaletteEntry(i, Quad(kStd256Low[k][0], kStd256Low[k][1], kStd256Low[k][2]));
        // 11..226: a 6 x 6 x 6 colour cube; 227..239: a grey ramp.
        for (DWORD r = 0; r < 6; ++r)
            for (DWORD g = 0; g < 6; ++g)
                for (DWORD b = 0; b < 6; ++b, ++i)
                    StorePaletteEntry(i, Quad(BYTE(r * 51), BYTE(g * 51), BYTE(b * 51)));
        for (DWORD k = 0; i < 240; ++k, ++i) {
            BYTE v = BYTE(232 - k * 16);
            StorePaletteEntry(i, Quad(v, v, v));
        }
        for (DWORD k = 0; k < 6; ++k, ++i)
            StorePaletteEntry(i, Quad(kStd256Greys[k], kStd256Greys[k], kStd256Greys[k]));
        for (DWORD k = 0; k < 10; ++k, ++i)
            StorePaletteEntry(i, Quad(kStd256High[k][0], kStd256High[k][1], kStd256High[k][2]));
    }
}

// ---- pixels ----------------------------------------------------------------

BYTE CPicture::BlindGetPixelIndex(LONG x, LONG y) const
{
    const BYTE* row = info.bits + size_t(y) * info.effWidth;
    switch (header.biBitCount) {
    case 8:
        return row[x];
    case 4: {
        BYTE v = row[x >> 1];
        return (x & 1) ? BYTE(v & 15) : BYTE(v >> 4);
    }
    case 1:
        return BYTE((row[x >> 3] >> (7 - (x & 7))) & 1);
    default:
        return 0;
    }
}

BYTE CPicture::GetPixelIndex(LONG x, LONG y) const
{
    if (!dibBlock || header.biClrUsed == 0)
        return 0;
    if (!IsInside(x, y)) {
        if (info.transIndex != -1)
            return BYTE(info.transIndex);
        return info.bits[0];
    }
    return BlindGetPixelIndex(x, y);
}

RGBQUAD CPicture::BlindGetPixelColor(LONG x, LONG y) const
{
    // A trimmed palette (a quantised JPEG) may hold fewer entries than the
    // indices reach: those read as GetPaletteColor answers, black.
    if (header.biClrUsed)
        return GetPaletteColor(BlindGetPixelIndex(x, y));
    const BYTE* p = info.bits + size_t(y) * info.effWidth + size_t(x) * 3;
    return Quad(p[2], p[1], p[0], alpha ? BlindAlphaGet(x, y) : BYTE(0));
}

RGBQUAD CPicture::GetPixelColor(LONG x, LONG y, bool getAlpha) const
{
    if (dibBlock && IsInside(x, y)) {
        RGBQUAD c;
        if (header.biClrUsed) {
            c = GetPaletteColor(BlindGetPixelIndex(x, y));
        } else {
            const BYTE* p = info.bits + size_t(y) * info.effWidth + size_t(x) * 3;
            c = Quad(p[2], p[1], p[0]);
        }
        if (alpha && getAlpha)
            c.rgbReserved = BlindAlphaGet(x, y);
        return c;
    }
    if (info.transIndex != -1 && header.biBitCount < 24)
        return GetPaletteColor(BYTE(info.transIndex));
    if (info.transIndex == -1 && dibBlock)
        return GetPixelColor(0, 0, true);
    return info.transColor;
}

BYTE CPicture::GetPixelGray(LONG x, LONG y) const
{
    return picops::Gray(GetPixelColor(x, y));
}

void CPicture::SetPixelIndex(LONG x, LONG y, BYTE i)
{
    if (!dibBlock || header.biClrUsed == 0 || !IsInside(x, y))
        return;
    PutIndex(info.bits + size_t(y) * info.effWidth, header.biBitCount, x, i);
}

void CPicture::SetPixelColor(LONG x, LONG y, RGBQUAD c, bool setAlpha)
{
    if (!dibBlock || !IsInside(x, y))
        return;
    // Checked once above: the writes below go straight to the row and plane.
    BYTE* row = info.bits + size_t(y) * info.effWidth;
    if (header.biClrUsed) {
        PutIndex(row, header.biBitCount, x, GetNearestIndex(c));
        return;
    }
    BYTE* p = row + size_t(x) * 3;
    p[0] = c.rgbBlue;
    p[1] = c.rgbGreen;
    p[2] = c.rgbRed;
    if (setAlpha && alpha)
        alpha[size_t(y) * GetWidth() + size_t(x)] = c.rgbReserved;
}

void CPicture::SetPixelColor(LONG x, LONG y, COLORREF c) { SetPixelColor(x, y, RGBtoRGBQUAD(c), false); }

void CPicture::BlendPixelColor(LONG x, LONG y, RGBQUAD c, float blend, bool setAlpha)
{
    if (!dibBlock || !IsInside(x, y))
        return;
    // Out-of-range (and NaN) weights would make the integer conversion undefined.
    if (!(blend >= 0.0f))
        blend = 0.0f;
    if (blend > 1.0f)
        blend = 1.0f;
    int w = int(blend * 256);
    RGBQUAD old = BlindGetPixelColor(x, y);
    // The alpha level is c's, not a mix (SetPixelColor gives indexed pictures none).
    RGBQUAD mixed = c;
    mixed.rgbBlue = BYTE((c.rgbBlue * w + old.rgbBlue * (256 - w)) >> 8);
    mixed.rgbGreen = BYTE((c.rgbGreen * w + old.rgbGreen * (256 - w)) >> 8);
    mixed.rgbRed = BYTE((c.rgbRed * w + old.rgbRed * (256 - w)) >> 8);
    SetPixelColor(x, y, mixed, setAlpha);
}

BYTE* CPicture::BlindGetPixelPointer(LONG x, LONG y) const
{
    if (header.biClrUsed || !info.bits)
        return nullptr;
    return info.bits + size_t(y) * info.effWidth + size_t(x) * 3;
}

bool CPicture::IsTransparent(LONG x, LONG y) const
{
    if (!dibBlock)
        return false;
    if (info.transIndex >= 0) {
        if (header.biClrUsed) {
            if (GetPixelIndex(x, y) == BYTE(info.transIndex))
                return true;
        } else if (SameQuad(GetPixelColor(x, y, false), info.transColor)) {
            return true;
        }
    }
    return alpha && AlphaGet(x, y) == 0;
}

BYTE CPicture::GetNearestIndex(RGBQUAD c)
{
    RGBQUAD* pal = GetPalette();
    if (!pal)
        return 0;
    if (info.nearestCacheValid && SameQuad(info.nearestCacheColor, c))
        return info.nearestCacheIndex;
    info.nearestCacheColor = c;
    info.nearestCacheValid = true;

    DWORD m = header.biClrImportant ? header.biClrImportant : header.biClrUsed;
    if (m > header.biClrUsed)
        m = header.biClrUsed;
    long best = 200000;
    BYTE answer = 0;
    for (DWORD i = 0; i < m; ++i) {
        long db = long(pal[i].rgbBlue) - c.rgbBlue;
        long dg = long(pal[i].rgbGreen) - c.rgbGreen;
        long dr = long(pal[i].rgbRed) - c.rgbRed;
        long d = db * db + dg * dg + dr * dr;
        if (d == 0) {
            answer = BYTE(i);
            break;
        }
        if (d < best) {
            best = d;
            answer = BYTE(i);
        }
    }
    info.nearestCacheIndex = answer;
    return answer;
}

void CPicture::DrawLine(LONG x0, LONG x1, LONG y0, LONG y1, RGBQUAD c, bool setAlpha)
{
    if (!dibBlock)
        return;
    int64_t x = x0, y = y0;
    int64_t dx = x1 > x0 ? int64_t(x1) - x0 : int64_t(x0) - x1;
    int64_t dy = y1 > y0 ? int64_t(y1) - y0 : int64_t(y0) - y1;
    int sx = x1 >= x0 ? 1 : -1;
    int sy = y1 >= y0 ? 1 : -1;
    // One step a pixel along the longer axis; the other follows its error.
    bool alongX = dx >= dy;
    int64_t& major = alongX ? x : y;
    int64_t& minor = alongX ? y : x;
    const int64_t length = alongX ? dx : dy, rise = alongX ? dy : dx;
    const int majorStep = alongX ? sx : sy, minorStep = alongX ? sy : sx;
    int64_t acc = length / 2;
    for (int64_t i = 0; i <= length; ++i) {
        SetPixelColor(LONG(x), LONG(y), c, setAlpha);
        major += majorStep;
        acc += rise;
        if (acc >= length) {
            acc -= length;
            minor += minorStep;
        }
    }
}

void CPicture::DrawLine(LONG x0, LONG x1, LONG y0, LONG y1, COLORREF c)
{
    DrawLine(x0, x1, y0, y1, RGBtoRGBQUAD(c), false);
}

RGBQUAD CPicture::RGBtoRGBQUAD(COLORREF c)
{
    return Quad(BYTE(c & 0xFF), BYTE((c >> 8) & 0xFF), BYTE((c >> 16) & 0xFF));
}

COLORREF CPicture::RGBQUADtoRGB(RGBQUAD c)
{
    return COLORREF(c.rgbRed) | (COLORREF(c.rgbGreen) << 8) | (COLORREF(c.rgbBlue) << 16);
}

void CPicture::RGBtoBGR(BYTE* buffer, int length) const
{
    if (!buffer || header.biClrUsed)
        return;
    int n = length < int(info.effWidth) ? length : int(info.effWidth);
    for (int i = 0; i + 2 < n; i += 3) {
        BYTE t = buffer[i];
        buffer[i] = buffer[i + 2];
        buffer[i + 2] = t;
    }
}
