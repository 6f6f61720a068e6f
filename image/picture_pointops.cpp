// Point operations: every pixel (or palette entry) changes by a rule that
// looks at that pixel alone.
#include "image/picrandom.h"
#include "image/picture.h"
#include "image/picture_ops.h"

#include <cmath>
#include <cstdint>

using namespace picops;

namespace {

// The progress of a row loop whose rows end below `top`.
LONG RowProgress(LONG y, LONG top) { return top > 0 ? LONG(double(y) * (100.0 / top)) : 0; }

// Passes every palette entry through change; false when there is no palette.
template <class Change> bool ChangePalette(CPicture& pic, Change change)
{
    DWORD n = pic.GetNumColors();
    for (DWORD i = 0; i < n; ++i)
        pic.SetPaletteColor(BYTE(i), change(pic.GetPaletteColor(BYTE(i))));
    return n != 0;
}

// pixel(x, y) for every selected pixel of the working box, rows counted in progress.
template <class Pixel> void EachSelected(const CPicture& pic, LONG& progress, Pixel pixel)
{
    Box box = WorkingBox(pic);
    for (LONG y = box.bottom; y < box.top; ++y) {
        progress = RowProgress(y, box.top);
        for (LONG x = box.left; x < box.right; ++x)
            if (pic.SelectionIsInside(x, y))
                pixel(x, y);
    }
}

} // namespace

bool CPicture::Light(LONG brightness, LONG contrast)
{
    if (!dibBlock)
        return false;
    // The factor keeps the single-precision 0.01 of the original tables;
    // everything stays in double until the clamp, so any LONG is safe.
    double factor = (double(contrast) + 100.0) * double(0.01f);
    double base = double(brightness) + 128.0;
    BYTE table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = ClampTrunc((i - 128) * factor + base);
    return Lut(table);
}

bool CPicture::Lut(const BYTE* table)
{
    if (!dibBlock || !table)
        return false;
    if (header.biClrUsed == 0) {
        if (!selection) {
            // Padding bytes included: one pass over the whole row block.
            BYTE* p = info.bits;
            for (DWORD i = 0; i < header.biSizeImage; ++i)
                p[i] = table[p[i]];
            return true;
        }
        Box box = WorkingBox(*this);
        for (LONG y = box.bottom; y < box.top; ++y) {
            info.progress = RowProgress(y, info.selectionBox.top);
            BYTE* row = info.bits + size_t(y) * info.effWidth;
            for (LONG x = box.left; x < box.right; ++x) {
                if (!SelectionIsInside(x, y))
                    continue;
                BYTE* p = row + size_t(x) * 3;
                p[0] = table[p[0]];
                p[1] = table[p[1]];
                p[2] = table[p[2]];
            }
        }
        return true;
    }
    if (selection && header.biBitCount == 8 && IsGrayScale()) {
        Box box = WorkingBox(*this);
        for (LONG y = box.bottom; y < box.top; ++y) {
            info.progress = RowProgress(y, info.selectionBox.top);
            BYTE* row = info.bits + size_t(y) * info.effWidth;
            for (LONG x = box.left; x < box.right; ++x)
                if (SelectionIsInside(x, y))
                    row[x] = table[row[x]];
        }
        return true;
    }
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        RGBQUAD c = GetPaletteColor(BYTE(i));
        c.rgbRed = table[c.rgbRed];
        c.rgbGreen = table[c.rgbGreen];
        c.rgbBlue = table[c.rgbBlue];
        StorePaletteEntry(i, c);
    }
    return true;
}

bool CPicture::Lut(const BYTE* redTable, const BYTE* greenTable, const BYTE* blueTable, const BYTE* alphaTable)
{
    if (!dibBlock || !redTable || !greenTable || !blueTable)
        return false;
    auto map = [&](RGBQUAD c) {
        c.rgbRed = redTable[c.rgbRed];
        c.rgbGreen = greenTable[c.rgbGreen];
        c.rgbBlue = blueTable[c.rgbBlue];
        return c;
    };
    if (ChangePalette(*this, map))
        return true;
    EachSelected(*this, info.progress, [&](LONG x, LONG y) {
        RGBQUAD c = map(BlindGetPixelColor(x, y));
        if (alphaTable)
            c.rgbReserved = alphaTable[c.rgbReserved];
        SetPixelColor(x, y, c, true);
    });
    return true;
}

bool CPicture::Gamma(float gamma)
{
    if (!dibBlock)
        return false;
    if (!(gamma > 0) || !std::isfinite(gamma))
        return SetError("Gamma: the gamma value must be a positive number");
    double inverse = 1.0 / double(gamma);
    double scale = std::pow(255.0, inverse) * 0.00392156862745098;
    BYTE table[256];
    for (int i = 0; i < 256; ++i) {
        double v = std::pow(double(i), inverse) / scale;
        // Very small gammas overflow the power; the ratio form gives the same curve.
        if (!std::isfinite(v))
            v = 255.0 * std::pow(i / 255.0, inverse);
        table[i] = ClampTrunc(v);
    }
    return Lut(table);
}

bool CPicture::Threshold(BYTE level)
{
    if (!dibBlock)
        return false;
    if (header.biBitCount == 1)
        return true;

    // The two-level result is built beside the picture, which stays as it is
    // until the hand-over.
    CPicture tmp;
    tmp.CopyInfo(*this);
    if (!tmp.Create(GetWidth(), GetHeight(), 1, 0))
        return SetError(tmp.GetLastError());
    tmp.SetXDPI(GetXDPI());
    tmp.SetYDPI(GetYDPI());
    tmp.info.transIndex = -1; // the old index meant an entry of the old palette
    tmp.SetPaletteColor(0, 0, 0, 0, 0);
    tmp.SetPaletteColor(1, 255, 255, 255, 0);

    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    // Unlike the filters, a stopped threshold hands nothing over: its result
    // is a new two-level picture, whose unreached rows would all be black.
    for (LONG y = 0; y < h; ++y) {
        info.progress = LONG(int64_t(y) * 100 / h);
        if (info.escape)
            return false;
        BYTE* row = tmp.info.bits + size_t(y) * tmp.info.effWidth;
        for (LONG x = 0; x < w; ++x)
            if (Gray(BlindGetPixelColor(x, y)) > level)
                row[x >> 3] = BYTE(row[x >> 3] | (0x80 >> (x & 7)));
    }
    return Transfer(tmp);
}

bool CPicture::ShiftRGB(LONG r, LONG g, LONG b)
{
    if (!dibBlock)
        return false;
    auto shift = [&](RGBQUAD c) {
        c.rgbRed = ClampInt(int64_t(c.rgbRed) + r);
        c.rgbGreen = ClampInt(int64_t(c.rgbGreen) + g);
        c.rgbBlue = ClampInt(int64_t(c.rgbBlue) + b);
        return c;
    };
    if (ChangePalette(*this, shift))
        return true;
    EachSelected(*this, info.progress,
        [&](LONG x, LONG y) { SetPixelColor(x, y, shift(BlindGetPixelColor(x, y)), false); });
    return true;
}

bool CPicture::Colorize(BYTE hue, BYTE saturation, float blend)
{
    if (!dibBlock)
        return false;
    if (std::isnan(blend))
        return SetError("Colorize: the blend is not a number");
    if (blend < 0)
        blend = 0;
    if (blend > 1)
        blend = 1;
    int weight = int(blend * 256);
    bool full = blend > 0.999f;

    auto recolour = [&](const RGBQUAD& old) {
        RGBQUAD hsl = RGBtoHSL(old);
        hsl.rgbRed = hue;
        hsl.rgbGreen = saturation;
        return HSLtoRGB(hsl);
    };
    bool palette = ChangePalette(*this, [&](const RGBQUAD& old) {
        RGBQUAD c = recolour(old);
        if (!full) {
            double keep = 1.0 - double(blend);
            c.rgbRed = ClampTrunc(old.rgbRed * keep + c.rgbRed * double(blend));
            c.rgbGreen = ClampTrunc(old.rgbGreen * keep + c.rgbGreen * double(blend));
            c.rgbBlue = ClampTrunc(old.rgbBlue * keep + c.rgbBlue * double(blend));
        }
        c.rgbReserved = old.rgbReserved;
        return c;
    });
    if (palette)
        return true;
    EachSelected(*this, info.progress, [&](LONG x, LONG y) {
        RGBQUAD old = BlindGetPixelColor(x, y);
        RGBQUAD c = recolour(old);
        if (!full) {
            c.rgbRed = BYTE((c.rgbRed * weight + old.rgbRed * (256 - weight)) >> 8);
            c.rgbGreen = BYTE((c.rgbGreen * weight + old.rgbGreen * (256 - weight)) >> 8);
            c.rgbBlue = BYTE((c.rgbBlue * weight + old.rgbBlue * (256 - weight)) >> 8);
        }
        SetPixelColor(x, y, c, false);
    });
    return true;
}

void CPicture::HuePalette(float factor)
{
    DWORD n = header.biClrUsed;
    // One entry has no ramp to spread over; a non-finite factor has no hue.
    if (!dibBlock || n < 2 || !std::isfinite(factor))
        return;
    DWORD step = 255 / (n - 1);
    for (DWORD j = 0; j < n; ++j) {
        // The low byte of the truncated product, taken without an integer
        // conversion of a value that may not fit one.
        double t = std::trunc(double(step) * j * double(factor));
        double low = std::fmod(t, 256.0);
        if (low < 0)
            low += 256.0;
        RGBQUAD hsl = Quad(BYTE(low), 240, 120);
        StorePaletteEntry(j, HSLtoRGB(hsl));
    }
}

bool CPicture::RedEyeRemove()
{
    if (!dibBlock)
        return false;
    EachSelected(*this, info.progress, [&](LONG x, LONG y) {
        RGBQUAD c = BlindGetPixelColor(x, y);
        c.rgbRed = c.rgbGreen < c.rgbBlue ? c.rgbGreen : c.rgbBlue;
        SetPixelColor(x, y, c, false);
    });
    return true;
}

bool CPicture::Noise(LONG level)
{
    if (!dibBlock)
        return false;
    double spread = double(level);
    auto offset = [&]() { return std::trunc((PicRandom() * double(3.0518509e-5f) - 0.5) * spread); };
    EachSelected(*this, info.progress, [&](LONG x, LONG y) {
        RGBQUAD c = BlindGetPixelColor(x, y);
        c.rgbRed = ClampTrunc(c.rgbRed + offset());
        c.rgbGreen = ClampTrunc(c.rgbGreen + offset());
        c.rgbBlue = ClampTrunc(c.rgbBlue + offset());
        SetPixelColor(x, y, c, false);
    });
    return true;
}

float CPicture::Mean()
{
    if (!dibBlock)
        return 0;
    Box box = WorkingBox(*this);
    if (box.Empty())
        return 0;
    // The grey level of a pixel is what GrayScale would make of it; summing
    // it directly spares the copy.
    uint64_t sum = 0;
    for (LONG y = box.bottom; y < box.top; ++y) {
        info.progress = RowProgress(y, box.top);
        for (LONG x = box.left; x < box.right; ++x)
            sum += Gray(BlindGetPixelColor(x, y));
    }
    return float(double(sum) / double(box.right - box.left) / double(box.top - box.bottom));
}
