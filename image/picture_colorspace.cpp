// Colour models: single-colour converters between RGB and HSL, YUV, YIQ,
// XYZ, the split of a picture into grey channel pictures and their
// recombination.
#include "image/picture.h"
#include "image/picture_ops.h"

#include <cmath>

using namespace picops;

// ---- converters ------------------------------------------------------------

RGBQUAD CPicture::RGBtoHSL(RGBQUAD c)
{
    int r = c.rgbRed, g = c.rgbGreen, b = c.rgbBlue;
    int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
    int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
    int l = ((mx + mn) * 255 + 255) / 510;
    int s = 0, h = 170; // 170: the hue that stands for "undefined"
    if (mx != mn) {
        int sum = mx + mn;
        if (l <= 127)
            s = ((mx - mn) * 255 + sum / 2) / sum;
        else
            s = ((mx - mn) * 255 + (510 - sum) / 2) / (510 - sum);
        // Hues in steps of 42 a sixth on either side of red (0), green (85)
        // and blue (170); a hue just below red wraps to the top of the byte:
        // (255, 0, 10) gives 254, (255, 255, 0) gives 42. HSLtoRGB reads a
        // circle of 255 steps, so a round trip may move a hue a few steps.
        int d = mx - mn;
        int rd = ((mx - r) * 42 + d / 2) / d;
        int gd = ((mx - g) * 42 + d / 2) / d;
        int bd = ((mx - b) * 42 + d / 2) / d;
        if (r == mx)
            h = bd - gd;
        else if (g == mx)
            h = 85 + rd - bd;
        else
            h = 170 + gd - rd;
        h &= 0xFF;
    }
    return Quad(BYTE(h), BYTE(s), BYTE(l));
}

float CPicture::HueToRGB(float lo, float hi, float hue)
{
    if (hue > 360)
        hue -= 360;
    else if (hue < 0)
        hue += 360;
    if (hue < 60)
        return float(lo + double(hi - lo) * hue * double(0.016666668f));
    if (hue < 180)
        return hi;
    if (hue < 240)
        return float(lo + double(hi - lo) * (240.0 - hue) * double(0.016666668f));
    return lo;
}

RGBQUAD CPicture::HSLtoRGB(RGBQUAD c)
{
    double h = c.rgbRed * double(1.4117647f);
    double s = c.rgbGreen * double(0.003921569f);
    double l = c.rgbBlue * double(0.003921569f);
    double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    double m1 = 2 * l - m2;
    if (c.rgbGreen == 0) {
        BYTE v = ClampTrunc(l * 255);
        return Quad(v, v, v);
    }
    float lo = float(m1), hi = float(m2);
    // Each channel keeps its low byte; the values stay within 0..255.
    BYTE r = ClampTrunc(double(HueToRGB(lo, hi, float(h + 120))) * 255);
    BYTE g = ClampTrunc(double(HueToRGB(lo, hi, float(h))) * 255);
    BYTE b = ClampTrunc(double(HueToRGB(lo, hi, float(h - 120))) * 255);
    return Quad(r, g, b);
}

RGBQUAD CPicture::HSLtoRGB(COLORREF c) { return HSLtoRGB(RGBtoRGBQUAD(c)); }

RGBQUAD CPicture::RGBtoYUV(RGBQUAD c)
{
    double r = c.rgbRed, g = c.rgbGreen, b = c.rgbBlue;
    double y = std::trunc(double(0.299f) * r + double(0.587f) * g + double(0.114f) * b);
    BYTE u = ClampTrunc((b - y) * double(0.565f) + 128);
    BYTE v = ClampTrunc((r - y) * double(0.713f) + 128);
    return Quad(ClampTrunc(y), u, v);
}

RGBQUAD CPicture::YUVtoRGB(RGBQUAD c)
{
    double y = c.rgbRed, u = c.rgbGreen - 128.0, v = c.rgbBlue - 128.0;
    return Quad(ClampTrunc(y + double(1.403f) * v), ClampTrunc(y - double(0.344f) * u - double(0.714f) * v),
        ClampTrunc(y + double(1.77f) * u));
}

RGBQUAD CPicture::RGBtoYIQ(RGBQUAD c)
{
    double r = c.rgbRed, g = c.rgbGreen, b = c.rgbBlue;
    return Quad(ClampTrunc(double(0.2992f) * r + double(0.5868f) * g + double(0.114f) * b),
        ClampTrunc(double(0.596f) * r - double(0.2742f) * g - double(0.3219f) * b + 128),
        ClampTrunc(double(0.2109f) * r - double(0.5229f) * g + double(0.312f) * b + 128));
}

RGBQUAD CPicture::YIQtoRGB(RGBQUAD c)
{
    double y = c.rgbRed, i = c.rgbGreen - 128.0, q = c.rgbBlue - 128.0;
    return Quad(ClampTrunc(y + double(0.956f) * i + double(0.621f) * q),
        ClampTrunc(y - double(0.273f) * i - double(0.647f) * q),
        ClampTrunc(y - double(1.104f) * i + double(1.701f) * q));
}

RGBQUAD CPicture::RGBtoXYZ(RGBQUAD c)
{
    double r = c.rgbRed, g = c.rgbGreen, b = c.rgbBlue;
    return Quad(ClampTrunc(double(0.412453f) * r + double(0.35758f) * g + double(0.180423f) * b),
        ClampTrunc(double(0.212671f) * r + double(0.71516f) * g + double(0.072169f) * b),
        ClampTrunc((double(0.019334f) * r + double(0.119193f) * g + double(0.950227f) * b) * double(0.9184837f)));
}

RGBQUAD CPicture::XYZtoRGB(RGBQUAD c)
{
    const double k = 1.088751;
    double x = c.rgbRed, y = c.rgbGreen, z = c.rgbBlue;
    return Quad(ClampTrunc(double(3.240479f) * x - double(1.53715f) * y - double(0.498535f) * z * k),
        ClampTrunc(double(-0.969256f) * x + double(1.875992f) * y + double(0.041556f) * z * k),
        ClampTrunc(double(0.055648f) * x - double(0.204043f) * y + double(1.057311f) * z * k));
}

// ---- split and combine -----------------------------------------------------

namespace {

typedef RGBQUAD (*Converter)(RGBQUAD);

// Fills up to four grey channel pictures from this picture's colours; the
// outputs change only when every requested temporary could be made.
bool SplitChannels(const CPicture& pic, CPicture* const* out, int count, Converter convert, bool cmyk)
{
    if (!pic.IsValid())
        return false;
    bool any = false;
    for (int k = 0; k < count; ++k)
        any = any || out[k] != nullptr;
    if (!any)
        return false;

    DWORD w = pic.GetWidth(), h = pic.GetHeight();
    CPicture tmp[4];
    for (int k = 0; k < count; ++k) {
        if (!out[k])
            continue;
        if (!tmp[k].Create(w, h, 8, 0))
            return false;
        tmp[k].SetGrayPalette();
    }
    for (DWORD y = 0; y < h; ++y) {
        BYTE* rows[4] = { nullptr, nullptr, nullptr, nullptr };
        for (int k = 0; k < count; ++k)
            rows[k] = out[k] ? tmp[k].GetBits(y) : nullptr;
        for (DWORD x = 0; x < w; ++x) {
            RGBQUAD c = pic.GetPixelColor(LONG(x), LONG(y), true);
            BYTE v[4];
            if (cmyk) {
                v[0] = BYTE(255 - c.rgbRed);
                v[1] = BYTE(255 - c.rgbGreen);
                v[2] = BYTE(255 - c.rgbBlue);
                v[3] = Gray(c);
            } else {
                if (convert)
                    c = convert(c);
                v[0] = c.rgbRed;
                v[1] = c.rgbGreen;
                v[2] = c.rgbBlue;
                v[3] = 0;
            }
            for (int k = 0; k < count; ++k)
                if (rows[k])
                    rows[k][x] = v[k];
        }
    }
    // Same object named twice: the later channel wins, as with plain writes.
    for (int k = 0; k < count; ++k)
        if (out[k] && !out[k]->Transfer(tmp[k]))
            return false;
    return true;
}

} // namespace

bool CPicture::SplitRGB(CPicture* r, CPicture* g, CPicture* b)
{
    CPicture* out[3] = { r, g, b };
    return SplitChannels(*this, out, 3, nullptr, false);
}

bool CPicture::SplitYUV(CPicture* y, CPicture* u, CPicture* v)
{
    CPicture* out[3] = { y, u, v };
    return SplitChannels(*this, out, 3, RGBtoYUV, false);
}

bool CPicture::SplitYIQ(CPicture* y, CPicture* i, CPicture* q)
{
    CPicture* out[3] = { y, i, q };
    return SplitChannels(*this, out, 3, RGBtoYIQ, false);
}

bool CPicture::SplitXYZ(CPicture* x, CPicture* y, CPicture* z)
{
    CPicture* out[3] = { x, y, z };
    return SplitChannels(*this, out, 3, RGBtoXYZ, false);
}

bool CPicture::SplitHSL(CPicture* h, CPicture* s, CPicture* l)
{
    CPicture* out[3] = { h, s, l };
    return SplitChannels(*this, out, 3, RGBtoHSL, false);
}

bool CPicture::SplitCMYK(CPicture* c, CPicture* m, CPicture* y, CPicture* k)
{
    CPicture* out[4] = { c, m, y, k };
    return SplitChannels(*this, out, 4, nullptr, true);
}

bool CPicture::Combine(CPicture* r, CPicture* g, CPicture* b, CPicture* a, LONG colourSpace)
{
    if (!r || !g || !b)
        return false;
    if (!r->IsValid() || !g->IsValid() || !b->IsValid() || (a && !a->IsValid()))
        return SetError("Combine: a channel picture holds no pixels");
    DWORD w = r->GetWidth(), h = r->GetHeight();

    // Channels of another size are brought to the first one's size in copies,
    // so that nothing is touched before the result exists. Any of the inputs
    // may be this picture.
    CPicture sized[3];
    CPicture* in[4] = { r, g, b, a };
    const CPicture* use[4] = { r, g, b, a };
    for (int k = 1; k < 4; ++k) {
        if (!in[k] || (in[k]->GetWidth() == w && in[k]->GetHeight() == h))
            continue;
        if (!in[k]->Resample(LONG(w), LONG(h), 1, &sized[k - 1]))
            return SetError("Combine: a channel picture cannot be resized");
        use[k] = &sized[k - 1];
    }

    CPicture tmp;
    tmp.CopyInfo(*this);
    if (!tmp.Create(w, h, 24, 0))
        return SetError(tmp.GetLastError());
    if (a && !tmp.AlphaCreate())
        return SetError("Combine: no memory for the alpha plane");

    Converter convert = nullptr;
    switch (colourSpace) {
    case 1:
        convert = HSLtoRGB;
        break;
    case 2:
        convert = YUVtoRGB;
        break;
    case 3:
        convert = YIQtoRGB;
        break;
    case 4:
        convert = XYZtoRGB;
        break;
    default:
        break;
    }
    for (DWORD y = 0; y < h; ++y) {
        info.progress = LONG(uint64_t(y) * 100 / h);
        BYTE* row = tmp.GetBits(y);
        for (DWORD x = 0; x < w; ++x) {
            LONG px = LONG(x), py = LONG(y);
            RGBQUAD c = Quad(use[0]->GetPixelIndex(px, py), use[1]->GetPixelIndex(px, py),
                use[2]->GetPixelIndex(px, py));
            if (convert)
                c = convert(c);
            row[x * 3] = c.rgbBlue;
            row[x * 3 + 1] = c.rgbGreen;
            row[x * 3 + 2] = c.rgbRed;
            if (a)
                tmp.AlphaSet(px, py, use[3]->GetPixelIndex(px, py));
        }
    }
    // The channels that were resized take their new size, as callers expect
    // of Combine; then the result replaces this picture.
    for (int k = 1; k < 4; ++k)
        if (use[k] == &sized[k - 1] && in[k] != this)
            in[k]->Transfer(sized[k - 1]);
    tmp.SetXDPI(GetXDPI());
    tmp.SetYDPI(GetYDPI());
    return Transfer(tmp);
}
