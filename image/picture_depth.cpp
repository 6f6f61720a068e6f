// Flips, colour inversion and changes of colour depth. Each operation builds
// a fresh picture and hands it over with Transfer, so a failure leaves the
// picture as it was.
#include "image/picture.h"

#include "image/picture_ops.h"

#include <cstring>

namespace {

using picops::ClampInt;
using picops::Gray;

// The colour with red, green and blue inverted; the reserved byte is kept.
RGBQUAD Inverted(RGBQUAD c)
{
    c.rgbBlue = BYTE(255 - c.rgbBlue);
    c.rgbGreen = BYTE(255 - c.rgbGreen);
    c.rgbRed = BYTE(255 - c.rgbRed);
    return c;
}

struct DiffusionTap {
    int dx, dy, weight;
};

struct DiffusionKernel {
    const DiffusionTap* taps;
    int count;
    int divisor;
};

const DiffusionTap kFloyd[] = { { 1, 0, 7 }, { -1, 1, 3 }, { 0, 1, 5 }, { 1, 1, 1 } };
const DiffusionTap kBurkes[] = { { 1, 0, 8 }, { 2, 0, 4 }, { -2, 1, 2 }, { -1, 1, 4 }, { 0, 1, 8 }, { 1, 1, 4 },
    { 2, 1, 2 } };
const DiffusionTap kStucki[] = { { 1, 0, 8 }, { 2, 0, 4 }, { -2, 1, 2 }, { -1, 1, 4 }, { 0, 1, 8 }, { 1, 1, 4 },
    { 2, 1, 2 }, { -2, 2, 1 }, { -1, 2, 2 }, { 0, 2, 4 }, { 1, 2, 2 }, { 2, 2, 1 } };
const DiffusionTap kJarvis[] = { { 1, 0, 7 }, { 2, 0, 5 }, { -2, 1, 3 }, { -1, 1, 5 }, { 0, 1, 7 }, { 1, 1, 5 },
    { 2, 1, 3 }, { -2, 2, 1 }, { -1, 2, 3 }, { 0, 2, 5 }, { 1, 2, 3 }, { 2, 2, 1 } };
const DiffusionTap kSierra[] = { { 1, 0, 5 }, { 2, 0, 3 }, { -2, 1, 2 }, { -1, 1, 4 }, { 0, 1, 5 }, { 1, 1, 4 },
    { 2, 1, 2 }, { -1, 2, 2 }, { 0, 2, 3 }, { 1, 2, 2 } };
const DiffusionTap kStevensonArce[] = { { 2, 0, 32 }, { -3, 1, 12 }, { -1, 1, 26 }, { 1, 1, 30 }, { 3, 1, 16 },
    { -2, 2, 12 }, { 0, 2, 26 }, { 2, 2, 12 }, { -3, 2, 5 }, { -1, 2, 12 }, { 1, 2, 12 }, { 3, 2, 5 } };

DiffusionKernel KernelFor(LONG method)
{
    switch (method) {
    case 2:
        return { kBurkes, 7, 32 };
    case 3:
        return { kStucki, 12, 42 };
    case 4:
        return { kJarvis, 12, 48 };
    case 5:
        return { kSierra, 10, 32 };
    case 6:
        return { kStevensonArce, 12, 200 };
    default:
        return { kFloyd, 4, 16 };
    }
}

const int kBayer4[4][4] = { { 0, 8, 2, 10 }, { 12, 4, 14, 6 }, { 3, 11, 1, 9 }, { 15, 7, 13, 5 } };
const int kThreshold4[4][4] = { { 0, 192, 48, 240 }, { 128, 64, 176, 112 }, { 32, 224, 16, 208 },
    { 160, 96, 144, 80 } };

} // namespace

bool CPicture::Flip()
{
    if (!dibBlock)
        return false;
    CPicture copy(*this, false, false, true);
    if (!copy.IsValid())
        return false;
    DWORD h = GetHeight();
    for (DWORD y = 0; y < h; ++y)
        std::memcpy(copy.GetBits(y), GetBits(h - 1 - y), info.effWidth);
    if (copy.alpha && !copy.AlphaFlip())
        return false;
    return Transfer(copy);
}

bool CPicture::Mirror()
{
    if (!dibBlock)
        return false;
    CPicture copy(*this, false, false, true);
    if (!copy.IsValid())
        return false;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    for (LONG y = 0; y < h; ++y) {
        const BYTE* src = GetBits(DWORD(y));
        BYTE* dst = copy.GetBits(DWORD(y));
        switch (header.biBitCount) {
        case 8:
            for (LONG x = 0; x < w; ++x)
                dst[x] = src[w - 1 - x];
            break;
        case 24:
            for (LONG x = 0; x < w; ++x)
                std::memcpy(dst + size_t(x) * 3, src + size_t(w - 1 - x) * 3, 3);
            break;
        default:
            for (LONG x = 0; x < w; ++x)
                copy.SetPixelIndex(x, y, BlindGetPixelIndex(w - 1 - x, y));
            break;
        }
    }
    if (copy.alpha && !copy.AlphaMirror())
        return false;
    return Transfer(copy);
}

bool CPicture::Negative()
{
    if (!dibBlock)
        return false;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    if (header.biBitCount == 24) {
        if (selection) {
            const RECT& box = info.selectionBox;
            for (LONG y = box.bottom; y <= box.top; ++y) {
                for (LONG x = box.left; x <= box.right; ++x) {
                    if (!SelectionIsInside(x, y))
                        continue;
                    SetPixelColor(x, y, Inverted(GetPixelColor(x, y, true)), false);
                }
            }
        } else {
            // Only pixel bytes: row padding stays zero.
            for (LONG y = 0; y < h; ++y) {
                BYTE* row = GetBits(DWORD(y));
                for (size_t i = 0; i < size_t(w) * 3; ++i)
                    row[i] = BYTE(255 - row[i]);
            }
        }
        info.transColor = Inverted(info.transColor);
        return true;
    }
    if (!IsGrayScale()) {
        RGBQUAD* pal = GetPalette();
        for (DWORD i = 0; pal && i < header.biClrUsed; ++i)
            StorePaletteEntry(i, Inverted(pal[i]));
        return true;
    }
    BYTE top = BYTE(header.biClrUsed - 1);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            if (SelectionIsInside(x, y))
                SetPixelIndex(x, y, BYTE(top - BlindGetPixelIndex(x, y)));
    return true;
}

bool CPicture::GrayScale()
{
    if (!dibBlock)
        return false;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());

    if (header.biBitCount == 8) {
        BYTE level[256];
        for (DWORD i = 0; i < 256; ++i)
            level[i] = Gray(GetPaletteColor(BYTE(i)));
        if (info.transIndex >= 0 && info.transIndex < 256)
            info.transIndex = level[info.transIndex];
        for (LONG y = 0; y < h; ++y) {
            BYTE* row = GetBits(DWORD(y));
            for (LONG x = 0; x < w; ++x)
                row[x] = level[row[x]];
        }
        SetGrayPalette();
        return true;
    }

    CPicture gray;
    gray.CopyInfo(*this);
    if (!gray.Create(GetWidth(), GetHeight(), 8, info.type))
        return false;
    gray.SetGrayPalette();
    if (selection && !gray.SelectionCopy(*this))
        return false;
    if (alpha && !gray.AlphaCopy(*this))
        return false;
    if (header.biBitCount < 8 && info.transIndex >= 0)
        gray.info.transIndex = Gray(GetPaletteColor(BYTE(info.transIndex)));
    for (LONG y = 0; y < h; ++y) {
        BYTE* dst = gray.GetBits(DWORD(y));
        for (LONG x = 0; x < w; ++x)
            dst[x] = Gray(BlindGetPixelColor(x, y));
    }
    return Transfer(gray);
}

bool CPicture::IncreaseBpp(DWORD nbit)
{
    if (!dibBlock)
        return false;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    if (nbit == 4 || nbit == 8) {
        if (header.biBitCount == nbit)
            return true;
        if (header.biBitCount > nbit)
            return false;
        CPicture deeper;
        deeper.CopyInfo(*this);
        if (!deeper.Create(GetWidth(), GetHeight(), nbit, info.type))
            return false;
        deeper.SetPalette(GetPalette(), GetNumColors());
        if (selection && !deeper.SelectionCopy(*this))
            return false;
        if (alpha && !deeper.AlphaCopy(*this))
            return false;
        for (LONG y = 0; y < h && !info.escape; ++y)
            for (LONG x = 0; x < w; ++x)
                deeper.SetPixelIndex(x, y, BlindGetPixelIndex(x, y));
        return Transfer(deeper);
    }
    if (nbit != 24)
        return false;
    if (header.biBitCount == 24)
        return true;
    CPicture rgb;
    rgb.CopyInfo(*this);
    if (!rgb.Create(GetWidth(), GetHeight(), 24, info.type))
        return false;
    if (info.transIndex >= 0)
        rgb.info.transColor = GetPaletteColor(BYTE(info.transIndex));
    if (selection && !rgb.SelectionCopy(*this))
        return false;
    if (alpha && !rgb.AlphaCopy(*this))
        return false;
    if (AlphaPaletteIsValid() && !alpha && !rgb.AlphaCreate())
        return false;
    for (LONG y = 0; y < h && !info.escape; ++y)
        for (LONG x = 0; x < w; ++x)
            rgb.SetPixelColor(x, y, GetPixelColor(x, y, true), true);
    return Transfer(rgb);
}

bool CPicture::DecreaseBpp(DWORD nbit, bool errorDiffusion, const RGBQUAD* palette, DWORD clrImportant)
{
    if (!dibBlock || header.biBitCount < nbit)
        return false;
    if (nbit != 1 && nbit != 4 && nbit != 8)
        return false;
    if (header.biBitCount == nbit) {
        if (clrImportant == 0)
            return true;
        if (header.biClrImportant != 0 && header.biClrImportant < clrImportant)
            return true;
    }
    bool wasOneBit = header.biBitCount == 1;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());

    CPicture lower;
    lower.CopyInfo(*this);
    if (!lower.Create(GetWidth(), GetHeight(), nbit, info.type))
        return false;
    if (clrImportant)
        lower.SetClrImportant(clrImportant);
    if (selection && !lower.SelectionCopy(*this))
        return false;
    if (alpha && !lower.AlphaCopy(*this))
        return false;

    if (nbit == 1) {
        if (palette) {
            lower.SetPalette(palette, 2);
        } else {
            lower.SetPaletteColor(0, 0, 0, 0);
            lower.SetPaletteColor(1, 255, 255, 255);
        }
    } else if (palette) {
        lower.SetPalette(palette, nbit == 4 ? 16 : 256);
    } else {
        lower.SetStdPalette();
    }

    for (LONG y = 0; y < h; ++y) {
        info.progress = LONG(int64_t(100) * y / h);
        if (info.escape)
            break;
        for (LONG x = 0; x < w; ++x) {
            RGBQUAD c = GetPixelColor(x, y, true);
            lower.SetPixelColor(x, y, c, false);
            if (!errorDiffusion)
                continue;
            RGBQUAD q = lower.GetPixelColor(x, y, false);
            long er = long(c.rgbRed) - q.rgbRed;
            long eg = long(c.rgbGreen) - q.rgbGreen;
            long eb = long(c.rgbBlue) - q.rgbBlue;
            static const int taps[4][3] = { { 1, 0, 7 }, { -1, 1, 2 }, { 0, 1, 4 }, { 1, 1, 1 } };
            for (const auto& t : taps) {
                LONG nx = x + t[0], ny = y + t[1];
                if (!IsInside(nx, ny))
                    continue;
                RGBQUAD n = GetPixelColor(nx, ny, false);
                n.rgbRed = ClampInt(n.rgbRed + er * t[2] / 16);
                n.rgbGreen = ClampInt(n.rgbGreen + eg * t[2] / 16);
                n.rgbBlue = ClampInt(n.rgbBlue + eb * t[2] / 16);
                SetPixelColor(nx, ny, n, false);
            }
        }
    }
    if (wasOneBit) {
        lower.SetPaletteColor(0, 0, 0, 0);
        lower.SetPaletteColor(1, 255, 255, 255);
    }
    return Transfer(lower);
}

bool CPicture::Dither(LONG method)
{
    if (!dibBlock)
        return false;
    if (header.biBitCount == 1)
        return true;
    if (!GrayScale())
        return false;

    CPicture mono;
    mono.CopyInfo(*this);
    if (!mono.Create(GetWidth(), GetHeight(), 1, info.type))
        return false;
    if (selection && !mono.SelectionCopy(*this))
        return false;
    if (alpha && !mono.AlphaCopy(*this))
        return false;

    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    DiffusionKernel kernel = KernelFor(method);
    for (LONG y = 0; y < h; ++y) {
        info.progress = LONG(int64_t(100) * y / h);
        if (info.escape)
            break;
        BYTE* row = GetBits(DWORD(y));
        for (LONG x = 0; x < w; ++x) {
            int v = row[x];
            if (method == 1) {
                int level = v * 16 / 255;
                mono.SetPixelIndex(x, y, (level == 16 || kBayer4[y & 3][x & 3] < level) ? 1 : 0);
                continue;
            }
            if (method == 7) {
                mono.SetPixelIndex(x, y, v > kThreshold4[y & 3][x & 3] ? 1 : 0);
                continue;
            }
            long e;
            if (v > 128) {
                mono.SetPixelIndex(x, y, 1);
                e = v - 255;
            } else {
                mono.SetPixelIndex(x, y, 0);
                e = v;
            }
            for (int k = 0; k < kernel.count; ++k) {
                const DiffusionTap& t = kernel.taps[k];
                LONG nx = x + t.dx, ny = y + t.dy;
                if (!IsInside(nx, ny))
                    continue;
                BYTE& p = GetBits(DWORD(ny))[nx];
                p = ClampInt(p + e * t.weight / kernel.divisor);
            }
        }
    }
    mono.SetPaletteColor(0, 0, 0, 0);
    mono.SetPaletteColor(1, 255, 255, 255);
    return Transfer(mono);
}
