// Sub-pixel sampling for the geometric transforms: reading a colour at a
// float position or averaged over a float rectangle, with the value of
// positions outside the picture chosen by an overflow method.
#include "image/picture.h"

#include "image/picgeom.h"
#include "image/picture_ops.h"

#include <cmath>

namespace {

using picops::Quad;
using picops::TruncFarOutside;
using picops::BilinearInside;
using picops::CellOf;
using picops::WeightedChannel;

const float kPi = 3.1415927f;
const float k2Pi = 6.2831855f;

// Positions farther out than this lie outside every picture the library can
// create; keeping to it makes the float-to-integer conversions defined.
const float kFarOutside = 1.0e9f;

RGBQUAD Replacement(const RGBQUAD* replacement)
{
    return replacement ? *replacement : Quad(255, 255, 255, 0);
}

// n(u) / d(u), coefficients from the highest power down.
template <int N> double PolyRatio(const double (&n)[N], const double (&d)[N], double u)
{
    double p = n[0], q = d[0];
    for (int i = 1; i < N; ++i) {
        p = p * u + n[i];
        q = q * u + d[i];
    }
    return p / q;
}

typedef float (*Kernel)(float);

float GeneralizedCubicHalf(float x) { return CPicture::KernelGeneralizedCubic(x, -0.5f); }
float Lanczos6(float x) { return CPicture::KernelLanczosSinc(x, 6.0f); }

Kernel KernelFor(int im)
{
    switch (im) {
    case CPicture::IM_BSPLINE:
        return &CPicture::KernelBSpline;
    case CPicture::IM_BICUBIC:
        return &CPicture::KernelCubic;
    case CPicture::IM_BICUBIC2:
        return &GeneralizedCubicHalf;
    case CPicture::IM_LANCZOS:
        return &Lanczos6;
    case CPicture::IM_BOX:
        return &CPicture::KernelBox;
    case CPicture::IM_HERMITE:
        return &CPicture::KernelHermite;
    case CPicture::IM_HAMMING:
        return &CPicture::KernelHamming;
    case CPicture::IM_SINC:
        return &CPicture::KernelSinc;
    case CPicture::IM_BLACKMAN:
        return &CPicture::KernelBlackman;
    case CPicture::IM_BESSEL:
        return &CPicture::KernelBessel;
    case CPicture::IM_GAUSSIAN:
        return &CPicture::KernelGaussian;
    case CPicture::IM_QUADRATIC:
        return &CPicture::KernelQuadratic;
    case CPicture::IM_MITCHELL:
        return &CPicture::KernelMitchell;
    case CPicture::IM_CATROM:
        return &CPicture::KernelCatrom;
    default:
        return nullptr;
    }
}

// Kernel weights for taps first .. first + n - 1 around v. Several kernels
// (Blackman, Bessel, Gaussian, sinc, Hamming) do not sum to one over the
// taps; dividing by the sum keeps flat areas flat. Used as they come, a flat
// area of 100 would read 185-255 with Blackman and 72-100 with sinc.
void Weights(Kernel k, LONG first, int n, float v, double* w)
{
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        w[i] = k(float(first + i) - v);
        sum += w[i];
    }
    if (std::fabs(sum) > 1.0e-6)
        for (int i = 0; i < n; ++i)
            w[i] /= sum;
}

} // namespace

// ---- overflow --------------------------------------------------------------

void CPicture::OverflowCoordinates(LONG& x, LONG& y, OverflowMethod om) const
{
    if (IsInside(x, y))
        return;
    int64_t w = GetWidth(), h = GetHeight();
    if (w <= 0 || h <= 0)
        return;
    // 64 bits: -x of the most negative LONG does not fit in a LONG.
    int64_t xx = x, yy = y;
    switch (om) {
    case OM_WRAP:
        xx %= w;
        yy %= h;
        if (xx < 0)
            xx += w;
        if (yy < 0)
            yy += h;
        break;
    case OM_REPEAT:
        xx = xx < 0 ? 0 : (xx > w - 1 ? w - 1 : xx);
        yy = yy < 0 ? 0 : (yy > h - 1 ? h - 1 : yy);
        break;
    case OM_MIRROR:
        if (xx < 0)
            xx = (-xx) % w;
        else if (xx >= w)
            xx = w - (xx % w) - 1;
        if (yy < 0)
            yy = (-yy) % h;
        else if (yy >= h)
            yy = h - (yy % h) - 1;
        break;
    default:
        return;
    }
    x = LONG(xx);
    y = LONG(yy);
}

void CPicture::OverflowCoordinates(float& x, float& y, OverflowMethod om) const
{
    float w = float(GetWidth()), h = float(GetHeight());
    if (x >= 0 && x < w && y >= 0 && y < h)
        return;
    if (w <= 0 || h <= 0)
        return;
    switch (om) {
    case OM_WRAP:
        x = std::fmod(x, w);
        y = std::fmod(y, h);
        if (x < 0)
            x += w;
        if (y < 0)
            y += h;
        break;
    case OM_REPEAT:
        if (x <= 0)
            x = 0;
        if (y <= 0)
            y = 0;
        if (x >= w - 1)
            x = w - 1;
        if (y >= h - 1)
            y = h - 1;
        break;
    case OM_MIRROR:
        if (x < 0)
            x = std::fmod(-x, w);
        else if (x >= w)
            x = w - (std::fmod(x, w) + 1);
        if (y < 0)
            y = std::fmod(-y, h);
        else if (y >= h)
            y = h - (std::fmod(y, h) + 1);
        break;
    default:
        break;
    }
}

RGBQUAD CPicture::GetPixelColorWithOverflow(LONG x, LONG y, OverflowMethod om, RGBQUAD* const replacement) const
{
    auto inside = [this](LONG ix, LONG iy) {
        RGBQUAD c = BlindGetPixelColor(ix, iy);
        if (alpha)
            c.rgbReserved = BlindAlphaGet(ix, iy);
        return c;
    };
    if (dibBlock && IsInside(x, y))
        return inside(x, y);
    RGBQUAD repl = Replacement(replacement);
    if (!dibBlock)
        return repl;
    switch (om) {
    case OM_BACKGROUND:
        if (info.transIndex == -1)
            return repl;
        return header.biBitCount < 24 ? GetPaletteColor(BYTE(info.transIndex)) : info.transColor;
    case OM_TRANSPARENT:
        if (alpha) {
            repl.rgbReserved = 0;
            return repl;
        }
        return info.transIndex >= 0 ? GetTransColor() : repl;
    case OM_WRAP:
    case OM_REPEAT:
    case OM_MIRROR: {
        OverflowCoordinates(x, y, om);
        return inside(x, y);
    }
    default:
        return repl;
    }
}

// ---- point sampling --------------------------------------------------------

RGBQUAD CPicture::GetPixelColorInterpolated(
    float x, float y, InterpolationMethod im, OverflowMethod om, RGBQUAD* const replacement) const
{
    // A position that is no number names no pixel.
    if (!std::isfinite(x) || !std::isfinite(y) || !dibBlock)
        return Replacement(replacement);

    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    if (im == IM_NEAREST_NEIGHBOUR)
        return GetPixelColorWithOverflow(
            TruncFarOutside(x + 0.5f), TruncFarOutside(y + 0.5f), om, replacement);

    Kernel kernel = KernelFor(im);
    int taps = im == IM_LANCZOS ? 12 : (kernel ? 4 : 2);
    int before = im == IM_LANCZOS ? 5 : (kernel ? 1 : 0); // taps left of the cell
    int after = taps - before - 1;

    LONG xi = CellOf(x), yi = CellOf(y);
    if (xi + after < 0 || xi - before >= w || yi + after < 0 || yi - before >= h) {
        if (om != OM_WRAP && om != OM_REPEAT && om != OM_MIRROR)
            return GetPixelColorWithOverflow(-999, -999, om, replacement);
        OverflowCoordinates(x, y, om);
        xi = CellOf(x);
        yi = CellOf(y);
    }
    bool direct = !IsIndexed() && xi - before >= 0 && xi + after < w && yi - before >= 0 && yi + after < h;

    if (!kernel) {
        // Bilinear with 8-bit fixed-point weights on every path, so that an
        // edge or an indexed picture mixes exactly as the inside does.
        if (direct)
            return BilinearInside(info.bits, info.effWidth, alpha, size_t(w), xi, yi, x, y);
        LONG a = LONG((x - float(xi)) * 256), b = LONG((y - float(yi)) * 256);
        LONG w11 = (a * b) >> 8, w10 = a - w11, w01 = b - w11, w00 = 256 - a - b + w11;
        RGBQUAD p[4];
        p[0] = GetPixelColorWithOverflow(xi, yi, om, replacement);
        p[1] = GetPixelColorWithOverflow(xi + 1, yi, om, replacement);
        p[2] = GetPixelColorWithOverflow(xi, yi + 1, om, replacement);
        p[3] = GetPixelColorWithOverflow(xi + 1, yi + 1, om, replacement);
        auto mix = [&](BYTE RGBQUAD::*ch) {
            return BYTE((p[0].*ch * w00 + p[1].*ch * w10 + p[2].*ch * w01 + p[3].*ch * w11) >> 8);
        };
        return Quad(mix(&RGBQUAD::rgbRed), mix(&RGBQUAD::rgbGreen), mix(&RGBQUAD::rgbBlue),
            alpha ? mix(&RGBQUAD::rgbReserved) : BYTE(0));
    }

    double wx[12], wy[12];
    Weights(kernel, xi - before, taps, x, wx);
    Weights(kernel, yi - before, taps, y, wy);
    double rr = 0, gg = 0, bb = 0, aa = 0;
    for (int j = 0; j < taps; ++j) {
        LONG sy = yi - before + j;
        double r = 0, g = 0, b = 0, a = 0;
        if (direct) {
            const BYTE* p = info.bits + size_t(sy) * info.effWidth + size_t(xi - before) * 3;
            const BYTE* ap = alpha ? alpha + size_t(sy) * w + (xi - before) : nullptr;
            for (int i = 0; i < taps; ++i, p += 3) {
                b += wx[i] * p[0];
                g += wx[i] * p[1];
                r += wx[i] * p[2];
                if (ap)
                    a += wx[i] * ap[i];
            }
        } else {
            for (int i = 0; i < taps; ++i) {
                RGBQUAD c = GetPixelColorWithOverflow(xi - before + i, sy, om, replacement);
                b += wx[i] * c.rgbBlue;
                g += wx[i] * c.rgbGreen;
                r += wx[i] * c.rgbRed;
                a += wx[i] * c.rgbReserved;
            }
        }
        rr += wy[j] * r;
        gg += wy[j] * g;
        bb += wy[j] * b;
        aa += wy[j] * a;
    }
    return Quad(
        WeightedChannel(rr), WeightedChannel(gg), WeightedChannel(bb), alpha ? WeightedChannel(aa) : BYTE(0));
}

// ---- area sampling ---------------------------------------------------------

void CPicture::AddAveragingCont(const RGBQUAD& colour, float surface, float& rr, float& gg, float& bb, float& aa)
{
    rr += colour.rgbRed * surface;
    gg += colour.rgbGreen * surface;
    bb += colour.rgbBlue * surface;
    aa += colour.rgbReserved * surface;
}

RGBQUAD CPicture::GetAreaColorInterpolated(
    float xc, float yc, float w, float h, InterpolationMethod im, OverflowMethod om, RGBQUAD* const replacement) const
{
    if (!std::isfinite(xc) || !std::isfinite(yc) || !std::isfinite(w) || !std::isfinite(h) || !dibBlock)
        return Replacement(replacement);
    if (w <= 1 && h <= 1)
        return GetPixelColorInterpolated(xc, yc, im, om, replacement);

    if (std::fabs(xc) >= kFarOutside || std::fabs(yc) >= kFarOutside)
        return GetPixelColorInterpolated(xc, yc, im, om, replacement);
    CPicRect2 area(xc - w / 2, yc - h / 2, xc + w / 2, yc + h / 2);
    // An area larger than the picture many times over says nothing more
    // than its centre; refusing it keeps the loops below bounded.
    double span = (double(area.Width()) + 2) * (double(area.Height()) + 2);
    if (!(span < 4.0 * (double(GetWidth()) + 2) * (double(GetHeight()) + 2) + 64))
        return Replacement(replacement);
    // floor, not truncation: the cell of a corner left of or below the
    // picture must still be the one whose square holds it.
    LONG x1 = LONG(std::floor(area.lowCorner.x + 0.5f));
    LONG y1 = LONG(std::floor(area.lowCorner.y + 0.5f));
    LONG x2 = LONG(std::floor(area.highCorner.x + 0.5f));
    LONG y2 = LONG(std::floor(area.highCorner.y + 0.5f));

    double rr = 0, gg = 0, bb = 0, aa = 0;
    auto accumulate = [&](const RGBQUAD& c, double weight) {
        rr += c.rgbRed * weight;
        gg += c.rgbGreen * weight;
        bb += c.rgbBlue * weight;
        aa += c.rgbReserved * weight;
    };
    auto add = [&](LONG x, LONG y, double weight) {
        accumulate(GetPixelColorWithOverflow(x, y, om, replacement), weight);
    };

    if (w > 1 && h > 1) {
        CPicRect2 cutA = area.CrossSection(CPicRect2(x1 - 0.5f, y1 - 0.5f, x1 + 0.5f, y1 + 0.5f));
        CPicRect2 cutB = area.CrossSection(CPicRect2(x2 - 0.5f, y2 - 0.5f, x2 + 0.5f, y2 + 0.5f));
        double wa = cutA.Width(), ha = cutA.Height(), wb = cutB.Width(), hb = cutB.Height();
        add(x1, y1, wa * ha);
        add(x2, y1, wb * ha);
        add(x1, y2, wa * hb);
        add(x2, y2, wb * hb);
        for (LONG x = x1 + 1; x < x2; ++x) {
            add(x, y1, ha);
            add(x, y2, hb);
        }
        for (LONG y = y1 + 1; y < y2; ++y) {
            add(x1, y, wa);
            add(x2, y, wb);
        }
        for (LONG y = y1 + 1; y < y2; ++y)
            for (LONG x = x1 + 1; x < x2; ++x)
                add(x, y, 1.0);
    } else {
        for (LONG y = y1; y <= y2; ++y)
            for (LONG x = x1; x <= x2; ++x) {
                CPicRect2 cut = area.CrossSection(CPicRect2(x - 0.5f, y - 0.5f, x + 0.5f, y + 0.5f));
                CPicPoint2 c = cut.Center();
                accumulate(GetPixelColorInterpolated(c.x, c.y, im, om, replacement), cut.Surface());
            }
    }

    double surface = double(area.Width()) * area.Height();
    if (!(surface > 0))
        return GetPixelColorInterpolated(xc, yc, im, om, replacement);
    return Quad(WeightedChannel(rr / surface), WeightedChannel(gg / surface), WeightedChannel(bb / surface),
        alpha ? WeightedChannel(aa / surface) : BYTE(0));
}

// ---- kernels ---------------------------------------------------------------

float CPicture::KernelBSpline(float x)
{
    if (x > 2.0f)
        return 0.0f;
    auto cube = [](float t) { return t > 0 ? t * t * t : 0.0f; };
    return (cube(x + 2) - 4 * cube(x + 1) + 6 * cube(x) - 4 * cube(x - 1)) * 0.16666667f;
}

float CPicture::KernelLinear(float x)
{
    if (x < -1.0f)
        return 0.0f;
    if (x < 0.0f)
        return 1.0f + x;
    if (x < 1.0f)
        return 1.0f - x;
    return 0.0f;
}

float CPicture::KernelCubic(float x)
{
    float t = std::fabs(x);
    if (t < 1.0f)
        return 1.0f - 2.0f * t * t + t * t * t;
    if (t < 2.0f)
        return 4.0f - 8.0f * t + 5.0f * t * t - t * t * t;
    return 0.0f;
}

float CPicture::KernelGeneralizedCubic(float x, float a)
{
    float t = std::fabs(x);
    if (t < 1.0f)
        return (a + 2.0f) * t * t * t - (a + 3.0f) * t * t + 1.0f;
    if (t < 2.0f)
        return a * t * t * t - 5.0f * a * t * t + 8.0f * a * t - 4.0f * a;
    return 0.0f;
}

float CPicture::KernelLanczosSinc(float x, float radius)
{
    if (std::fabs(x) > radius)
        return 0.0f;
    if (x == 0.0f)
        return 1.0f;
    float pix = kPi * x;
    float pixr = pix / radius;
    return std::sin(pixr) / pixr * std::sin(pix) / pix;
}

float CPicture::KernelBox(float x) { return (x >= -0.5f && x < 0.5f) ? 1.0f : 0.0f; }

float CPicture::KernelHermite(float x)
{
    if (x < -1.0f)
        return 0.0f;
    if (x < 0.0f)
        return (-2.0f * x - 3.0f) * x * x + 1.0f;
    if (x < 1.0f)
        return (2.0f * x - 3.0f) * x * x + 1.0f;
    return 0.0f;
}

float CPicture::KernelHamming(float x)
{
    if (x < -1.0f)
        return 0.0f;
    if (x < 0.0f)
        return 0.92f * (-2.0f * x - 3.0f) * x * x + 1.0f;
    if (x < 1.0f)
        return 0.92f * (2.0f * x - 3.0f) * x * x + 1.0f;
    return 0.0f;
}

float CPicture::KernelSinc(float x)
{
    if (x == 0.0f)
        return 1.0f;
    float pix = kPi * x;
    return std::sin(pix) / pix;
}

float CPicture::KernelBlackman(float x) { return 0.42f + 0.5f * std::cos(kPi * x) + 0.08f * std::cos(k2Pi * x); }

float CPicture::KernelBessel_J1(float x)
{
    static const double n[9] = { 2701.1227108923235, -4695753.530642996, 3413234182.3017006,
        -1322983480332.1265, 290879526383477.56, -3.588817569910106e16, 2.3164335806340024e18,
        -6.672106568924916e19, 5.811993540016061e20 };
    static const double d[9] = { 1.0, 1606.9315734814877, 1501793.5949985855, 1013863514.358674,
        524371026216.76495, 208166122130760.75, 6.092061398917522e16, 1.185770712190321e19,
        1.1623987080032122e21 };
    return float(PolyRatio(n, d, double(x) * x));
}

float CPicture::KernelBessel_P1(float x)
{
    static const double n[6] = { 1.2571716929145342, 211.15291828539623, 4985.4832060594335, 31353.963110915956,
        62758.84524716128, 35224.66491336798 };
    static const double d[6] = { 1.0, 203.07751891347593, 4930.396490181089, 31240.406381904104,
        62694.34695935605, 35224.66491336798 };
    double u = 8.0 / x;
    return float(PolyRatio(n, d, u * u));
}

float CPicture::KernelBessel_Q1(float x)
{
    static const double n[6] = { 0.03532840052740124, 4.568171629551227, 83.18989576738508, 425.98730116544425,
        721.0391804904475, 351.17519143035526 };
    static const double d[6] = { 1.0, 103.81875854621337, 1811.1867005523513, 9152.231701516992,
        15414.177339265098, 7491.737417180912 };
    double u = 8.0 / x;
    return float(PolyRatio(n, d, u * u));
}

float CPicture::KernelBessel_Order1(float x)
{
    if (x == 0.0f)
        return 0.0f;
    double t = std::fabs(double(x));
    if (t < 8.0)
        return float(double(x) * KernelBessel_J1(float(t)));
    const double pi = 3.14159265358979323846;
    double s = std::sin(t), c = std::cos(t);
    double q = std::sqrt(2.0 / (pi * t))
        * (KernelBessel_P1(float(t)) * (s - c) / std::sqrt(2.0)
            - (8.0 / t) * KernelBessel_Q1(float(t)) * (-(s + c) / std::sqrt(2.0)));
    return float(x < 0 ? -q : q);
}

float CPicture::KernelBessel(float x)
{
    if (x == 0.0f)
        return 0.7853982f;
    return KernelBessel_Order1(kPi * x) / (2.0f * x);
}

float CPicture::KernelGaussian(float x) { return std::exp(-2.0f * x * x) * 0.79788458f; }

float CPicture::KernelQuadratic(float x)
{
    if (x < -1.5f)
        return 0.0f;
    if (x < -0.5f)
        return 0.5f * (x + 1.5f) * (x + 1.5f);
    if (x < 0.5f)
        return 0.75f - x * x;
    if (x < 1.5f)
        return 0.5f * (x - 1.5f) * (x - 1.5f);
    return 0.0f;
}

float CPicture::KernelMitchell(float x)
{
    if (x < -2.0f)
        return 0.0f;
    if (x < -1.0f)
        return 1.7777778f + 3.3333333f * x + 2.0f * x * x + 0.3888889f * x * x * x;
    if (x < 0.0f)
        return -1.1666666f * x * x * x - 2.0f * x * x + 0.8888889f;
    if (x < 1.0f)
        return 1.1666666f * x * x * x - 2.0f * x * x + 0.8888889f;
    if (x < 2.0f)
        return 1.7777778f - 3.3333333f * x + 2.0f * x * x - 0.3888889f * x * x * x;
    return 0.0f;
}

float CPicture::KernelCatrom(float x)
{
    if (x < -2.0f)
        return 0.0f;
    if (x < -1.0f)
        return 0.5f * (((x + 5.0f) * x + 8.0f) * x + 4.0f);
    if (x < 0.0f)
        return 0.5f * ((-3.0f * x - 5.0f) * x * x + 2.0f);
    if (x < 1.0f)
        return 0.5f * ((3.0f * x - 5.0f) * x * x + 2.0f);
    if (x < 2.0f)
        return 0.5f * (((5.0f - x) * x - 8.0f) * x + 4.0f);
    return 0.0f;
}
