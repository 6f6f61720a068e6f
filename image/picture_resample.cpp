// Size-changing and region operations: resampling, shrinking, cropping,
// canvas expansion, thumbnails and the two in-place warps.
#include "image/picture.h"

#include "image/picture_ops.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

using picops::Quad;
using picops::TruncFarOutside;
using picops::WeightedChannel;

LONG SaturatedSum(LONG a, LONG b) { return LONG(std::clamp<int64_t>(int64_t(a) + b, INT32_MIN, INT32_MAX)); }

// The columns and rows a warp visits (library coordinates, top exclusive):
// the selection's box, else the whole picture.
RECT WarpBox(const CPicture& pic)
{
    RECT r;
    r.left = 0;
    r.right = LONG(pic.GetWidth());
    r.bottom = 0;
    r.top = LONG(pic.GetHeight());
    if (pic.SelectionIsValid())
        pic.SelectionGetBox(r);
    return r;
}

// Pixel (sx, sy) of src, or what reads there when it lies outside, as pixel
// (x, y) of dst.
void WarpPixel(const CPicture& src, LONG sx, LONG sy, bool indexed, CPicture& dst, LONG x, LONG y)
{
    if (indexed)
        dst.SetPixelIndex(x, y, src.GetPixelIndex(sx, sy));
    else
        dst.SetPixelColor(x, y, src.GetPixelColor(sx, sy, true), false);
    dst.AlphaSet(x, y, src.AlphaGet(sx, sy));
}

template <class T> std::unique_ptr<T[]> Table(size_t n) { return std::unique_ptr<T[]>(new (std::nothrow) T[n]()); }

// Box-filter footprint of one axis: source index i gives (1000 - w1[i])
// thousandths to destination at[i] and w1[i] to at[i] + 1. Everything comes
// from integer indices, so no boundary drifts and at[i] + 1 is written only
// while it is a real destination index.
struct BoxAxis {
    std::unique_ptr<LONG[]> at;
    std::unique_ptr<LONG[]> w1;
    std::unique_ptr<uint64_t[]> sum; // total thousandths per destination index

    bool Build(uint64_t src, uint64_t dst)
    {
        at = Table<LONG>(src);
        w1 = Table<LONG>(src);
        sum = Table<uint64_t>(dst);
        if (!at || !w1 || !sum)
            return false;
        for (uint64_t i = 0; i < src; ++i) {
            uint64_t p = i * dst / src;
            uint64_t end = (i + 1) * dst, boundary = (p + 1) * src;
            uint64_t w = end > boundary ? (end - boundary) * 1000 / dst : 0;
            at[i] = LONG(p);
            w1[i] = LONG(w);
            sum[p] += 1000 - w;
            if (w)
                sum[p + 1] += w;
        }
        return true;
    }
};

// The area average of Resample2 when it shrinks both ways: the weight of a
// source pixel is the product of its column's and its row's share of the
// area, so each axis is weighed once up front and the pixels are read from
// their rows. Weights and order of sums follow GetAreaColorInterpolated.
struct AreaAxis {
    std::vector<LONG> index; // source index of each tap
    std::vector<double> weight;
    std::vector<size_t> first; // taps of output i: first[i] .. first[i + 1] - 1
    std::vector<double> span; // the area's extent along the axis

    // False when a tap that counts lies outside and no overflow method maps it.
    bool Build(const CPicture& src, LONG count, float scale, bool horizontal, CPicture::OverflowMethod om)
    {
        const bool maps = om == CPicture::OM_WRAP || om == CPicture::OM_REPEAT || om == CPicture::OM_MIRROR;
        const LONG size = LONG(horizontal ? src.GetWidth() : src.GetHeight());
        first.assign(1, 0);
        span.clear();
        for (LONG o = 0; o < count; ++o) {
            const float centre = (float(o) + 0.5f) * scale - 0.5f;
            const float low = centre - scale / 2, high = centre + scale / 2;
            const LONG i1 = LONG(std::floor(low + 0.5f)), i2 = LONG(std::floor(high + 0.5f));
            auto cut = [&](LONG i) {
                float a = std::fmax(low, float(i) - 0.5f), b = std::fmin(high, float(i) + 0.5f);
                return a <= b ? double(b - a) : 0.0;
            };
            for (LONG i = i1; i <= i2; ++i) {
                const double w = i == i1 ? cut(i1) : (i == i2 ? cut(i2) : 1.0);
                LONG at = i;
                if (at < 0 || at >= size) {
                    if (w == 0)
                        continue;
                    if (!maps)
                        return false;
                    LONG other = 0;
                    if (horizontal)
                        src.OverflowCoordinates(at, other, om);
                    else
                        src.OverflowCoordinates(other, at, om);
                }
                index.push_back(at);
                weight.push_back(w);
            }
            first.push_back(index.size());
            span.push_back(double(high - low));
        }
        return true;
    }
};

bool AreaAverageRows(const CPicture& src, CPicture& dst, float xScale, float yScale, CPicture::OverflowMethod om,
    LONG& progress, const LONG& escape)
{
    const LONG newx = LONG(dst.GetWidth()), newy = LONG(dst.GetHeight());
    AreaAxis cols, rows;
    if (!cols.Build(src, newx, xScale, true, om) || !rows.Build(src, newy, yScale, false, om))
        return false;
    const bool withAlpha = src.AlphaIsValid();
    const BYTE* srcAlpha = withAlpha ? src.AlphaGetPointer(0, 0) : nullptr;
    BYTE* dstAlpha = dst.AlphaIsValid() ? dst.AlphaGetPointer(0, 0) : nullptr;
    const size_t srcWidth = src.GetWidth();
    std::vector<double> acc(size_t(newx) * 4);
    for (LONG y = 0; y < newy && !escape; ++y) {
        progress = LONG(int64_t(100) * y / newy);
        std::fill(acc.begin(), acc.end(), 0.0);
        for (size_t t = rows.first[size_t(y)]; t < rows.first[size_t(y) + 1]; ++t) {
            const LONG sy = rows.index[t];
            const double wy = rows.weight[t];
            const BYTE* row = src.GetBits(DWORD(sy));
            const BYTE* alphaRow = srcAlpha ? srcAlpha + size_t(sy) * srcWidth : nullptr;
            double* a = acc.data();
            for (LONG x = 0; x < newx; ++x, a += 4) {
                double b = 0, g = 0, r = 0, al = 0;
                for (size_t k = cols.first[size_t(x)]; k < cols.first[size_t(x) + 1]; ++k) {
                    const double wx = cols.weight[k];
                    const BYTE* p = row + size_t(cols.index[k]) * 3;
                    b += wx * p[0];
                    g += wx * p[1];
                    r += wx * p[2];
                    if (alphaRow)
                        al += wx * alphaRow[cols.index[k]];
                }
                a[0] += wy * b;
                a[1] += wy * g;
                a[2] += wy * r;
                a[3] += wy * al;
            }
        }
        BYTE* d = dst.GetBits(DWORD(y));
        const double* a = acc.data();
        for (LONG x = 0; x < newx; ++x, a += 4, d += 3) {
            const double surface = cols.span[size_t(x)] * rows.span[size_t(y)];
            d[0] = WeightedChannel(a[0] / surface);
            d[1] = WeightedChannel(a[1] / surface);
            d[2] = WeightedChannel(a[2] / surface);
            if (dstAlpha)
                dstAlpha[size_t(y) * newx + x] = withAlpha ? WeightedChannel(a[3] / surface) : BYTE(0);
        }
    }
    return true;
}

} // namespace

// ---- Resample --------------------------------------------------------------

bool CPicture::Resample(LONG newx, LONG newy, int mode, CPicture* dst)
{
    if (!dibBlock || newx <= 0 || newy <= 0)
        return false;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    if (newx == w && newy == h) {
        if (dst)
            return dst->Copy(*this, true, true, true);
        return true;
    }
    float xScale = float(double(w) / newx), yScale = float(double(h) / newy);

    CPicture tmp(0);
    if (!MakeTransformTarget(tmp, DWORD(newx), DWORD(newy)))
        return false;

    auto sxOf = [&](LONG x) { return std::min<LONG>(LONG(double(x) * xScale), w - 1); };
    auto syOf = [&](LONG y) { return std::min<LONG>(LONG(double(y) * yScale), h - 1); };
    bool indexed = IsIndexed();
    bool trueColour = header.biBitCount == 24;

    // The nearest source column of each target column: mode 1 and the alpha plane.
    std::unique_ptr<LONG[]> cols = Table<LONG>(size_t(newx));
    if (!cols)
        return false;
    for (LONG x = 0; x < newx; ++x)
        cols[x] = sxOf(x);

    if (mode == 1) {
        for (LONG y = 0; y < newy && !info.escape; ++y) {
            info.progress = LONG(int64_t(100) * y / newy);
            LONG sy = syOf(y);
            if (trueColour) {
                const BYTE* s = GetBits(DWORD(sy));
                BYTE* d = tmp.GetBits(DWORD(y));
                for (LONG x = 0; x < newx; ++x, d += 3) {
                    const BYTE* p = s + size_t(cols[x]) * 3;
                    d[0] = p[0];
                    d[1] = p[1];
                    d[2] = p[2];
                }
            } else if (header.biBitCount == 8) {
                const BYTE* s = GetBits(DWORD(sy));
                BYTE* d = tmp.GetBits(DWORD(y));
                for (LONG x = 0; x < newx; ++x)
                    d[x] = s[cols[x]];
            } else {
                for (LONG x = 0; x < newx; ++x)
                    tmp.SetPixelIndex(x, y, BlindGetPixelIndex(cols[x], sy));
            }
        }
    } else if (mode == 2) {
        // B-spline: four clamped taps and weights per column and per row.
        auto ix = Table<LONG>(size_t(newx) * 4);
        auto wx = Table<double>(size_t(newx) * 4);
        if (!ix || !wx)
            return false;
        for (LONG x = 0; x < newx; ++x) {
            float fx = float(x) * xScale - 0.5f;
            float fix = std::floor(fx);
            float a = fx - fix;
            for (int n = -1; n <= 2; ++n) {
                ix[x * 4 + (n + 1)] = std::clamp<LONG>(LONG(fix) + n, 0, w - 1);
                wx[x * 4 + (n + 1)] = KernelBSpline(a - float(n));
            }
        }
        for (LONG y = 0; y < newy && !info.escape; ++y) {
            info.progress = LONG(int64_t(100) * y / newy);
            float fy = float(y) * yScale - 0.5f;
            float fiy = std::floor(fy);
            float b = fy - fiy;
            LONG iy[4];
            double wy[4];
            for (int m = -1; m <= 2; ++m) {
                iy[m + 1] = std::clamp<LONG>(LONG(fiy) + m, 0, h - 1);
                wy[m + 1] = KernelBSpline(float(m) - b);
            }
            BYTE* d = tmp.GetBits(DWORD(y));
            for (LONG x = 0; x < newx; ++x) {
                double rr = 0, gg = 0, bb = 0;
                for (int m = 0; m < 4; ++m) {
                    double r = 0, g = 0, bl = 0;
                    for (int n = 0; n < 4; ++n) {
                        double k = wx[x * 4 + n];
                        LONG sx = ix[x * 4 + n];
                        if (trueColour) {
                            const BYTE* p = info.bits + size_t(iy[m]) * info.effWidth + size_t(sx) * 3;
                            bl += k * p[0];
                            g += k * p[1];
                            r += k * p[2];
                        } else {
                            RGBQUAD c = GetPixelColor(sx, iy[m], true);
                            bl += k * c.rgbBlue;
                            g += k * c.rgbGreen;
                            r += k * c.rgbRed;
                        }
                    }
                    rr += wy[m] * r;
                    gg += wy[m] * g;
                    bb += wy[m] * bl;
                }
                if (trueColour) {
                    d[x * 3] = WeightedChannel(bb);
                    d[x * 3 + 1] = WeightedChannel(gg);
                    d[x * 3 + 2] = WeightedChannel(rr);
                } else {
                    tmp.SetPixelColor(
                        x, y, Quad(WeightedChannel(rr), WeightedChannel(gg), WeightedChannel(bb)));
                }
            }
        }
    } else if (trueColour && w > newx && h > newy) {
        // Area averaging: each destination pixel is the box average of the
        // source area it covers, weights in thousandths, sums in 64 bits.
        BoxAxis cx, cy;
        size_t rowSums = size_t(newx) * 3;
        auto across = Table<uint64_t>(rowSums);
        auto cur = Table<uint64_t>(rowSums);
        auto next = Table<uint64_t>(rowSums);
        if (!cx.Build(DWORD(w), DWORD(newx)) || !cy.Build(DWORD(h), DWORD(newy)) || !across || !cur || !next)
            return false;
        for (LONG y = 0; y < h && !info.escape; ++y) {
            info.progress = LONG(int64_t(100) * y / h);
            std::fill(across.get(), across.get() + rowSums, 0);
            const BYTE* s = GetBits(DWORD(y));
            for (LONG x = 0; x < w; ++x, s += 3) {
                uint64_t* a = across.get() + size_t(cx.at[x]) * 3;
                uint64_t w1 = uint64_t(cx.w1[x]), w0 = 1000 - w1;
                a[0] += s[0] * w0;
                a[1] += s[1] * w0;
                a[2] += s[2] * w0;
                if (w1) {
                    a[3] += s[0] * w1;
                    a[4] += s[1] * w1;
                    a[5] += s[2] * w1;
                }
            }
            LONG q = cy.at[y];
            uint64_t r1 = uint64_t(cy.w1[y]), r0 = 1000 - r1;
            for (size_t i = 0; i < rowSums; ++i) {
                cur[i] += across[i] * r0;
                if (r1)
                    next[i] += across[i] * r1;
            }
            if (y + 1 < h && cy.at[y + 1] == q)
                continue;
            BYTE* d = tmp.GetBits(DWORD(q));
            for (LONG x = 0; x < newx; ++x) {
                uint64_t total = cx.sum[x] * cy.sum[q];
                for (int k = 0; k < 3; ++k)
                    d[x * 3 + k] = total ? BYTE((cur[x * 3 + k] + total / 2) / total) : 0;
            }
            std::swap(cur, next);
            std::fill(next.get(), next.get() + rowSums, 0);
        }
    } else {
        // Bilinear between the pixel the scaled position falls in and its
        // right and upper neighbours.
        auto ix = Table<LONG>(size_t(newx));
        auto dxs = Table<double>(size_t(newx));
        if (!ix || !dxs)
            return false;
        for (LONG x = 0; x < newx; ++x) {
            float fx = float(x) * xScale;
            ix[x] = std::min<LONG>(LONG(fx), w - 1);
            dxs[x] = fx - float(ix[x]);
        }
        auto colour = [&](LONG x, LONG y) {
            if (indexed)
                return GetPaletteColor(BlindGetPixelIndex(x, y));
            const BYTE* p = info.bits + size_t(y) * info.effWidth + size_t(x) * 3;
            return Quad(p[2], p[1], p[0]);
        };
        for (LONG y = 0; y < newy && !info.escape; ++y) {
            info.progress = LONG(int64_t(100) * y / newy);
            float fy = float(y) * yScale;
            LONG iy = std::min<LONG>(LONG(fy), h - 1), iy1 = std::min<LONG>(iy + 1, h - 1);
            double dy = fy - float(iy);
            for (LONG x = 0; x < newx; ++x) {
                LONG x0 = ix[x], x1 = std::min<LONG>(x0 + 1, w - 1);
                double dx = dxs[x];
                RGBQUAD p00 = colour(x0, iy), p10 = colour(x1, iy), p01 = colour(x0, iy1), p11 = colour(x1, iy1);
                auto mix = [&](BYTE RGBQUAD::*ch) {
                    double left = p00.*ch * (1 - dy) + p01.*ch * dy;
                    double right = p10.*ch * (1 - dy) + p11.*ch * dy;
                    return WeightedChannel((1 - dx) * left + dx * right);
                };
                RGBQUAD c = Quad(mix(&RGBQUAD::rgbRed), mix(&RGBQUAD::rgbGreen), mix(&RGBQUAD::rgbBlue));
                if (trueColour) {
                    BYTE* d = tmp.GetBits(DWORD(y)) + size_t(x) * 3;
                    d[0] = c.rgbBlue;
                    d[1] = c.rgbGreen;
                    d[2] = c.rgbRed;
                } else {
                    tmp.SetPixelColor(x, y, c);
                }
            }
        }
    }

    if (alpha && tmp.alpha) {
        for (LONG y = 0; y < newy; ++y) {
            const BYTE* sa = alpha + size_t(syOf(y)) * w;
            BYTE* da = tmp.alpha + size_t(y) * newx;
            for (LONG x = 0; x < newx; ++x)
                da[x] = sa[cols[x]];
        }
    }
    return HandOver(tmp, dst);
}

bool CPicture::Resample2(
    LONG newx, LONG newy, InterpolationMethod im, OverflowMethod om, CPicture* dst, bool disableAveraging)
{
    if (newx < 1 || newy < 1 || !dibBlock)
        return false;
    if (DWORD(newx) == GetWidth() && DWORD(newy) == GetHeight()) {
        if (dst)
            return dst->Copy(*this, true, true, true);
        return true;
    }
    float xScale = float(double(GetWidth()) / newx), yScale = float(double(GetHeight()) / newy);
    CPicture tmp(0);
    if (!MakeTransformTarget(tmp, DWORD(newx), DWORD(newy)))
        return false;

    bool averaging = (xScale > 1 || yScale > 1) && !disableAveraging;
    bool indexed = IsIndexed();
    if (averaging && xScale > 1 && yScale > 1 && !indexed
        && AreaAverageRows(*this, tmp, xScale, yScale, om, info.progress, info.escape))
        return HandOver(tmp, dst);
    for (LONG y = 0; y < newy && !info.escape; ++y) {
        info.progress = LONG(int64_t(100) * y / newy);
        float Y = (float(y) + 0.5f) * yScale - 0.5f;
        BYTE* d = tmp.GetBits(DWORD(y));
        for (LONG x = 0; x < newx; ++x) {
            float X = (float(x) + 0.5f) * xScale - 0.5f;
            if (averaging) {
                tmp.SetPixelColor(x, y, GetAreaColorInterpolated(X, Y, xScale, yScale, im, om, nullptr), true);
                continue;
            }
            RGBQUAD c = GetPixelColorInterpolated(X, Y, im, om, nullptr);
            if (indexed) {
                tmp.SetPixelColor(x, y, c, true);
            } else {
                d[x * 3] = c.rgbBlue;
                d[x * 3 + 1] = c.rgbGreen;
                d[x * 3 + 2] = c.rgbRed;
                if (tmp.alpha)
                    tmp.alpha[size_t(y) * newx + x] = c.rgbReserved;
            }
        }
    }
    return HandOver(tmp, dst);
}

bool CPicture::QIShrink(LONG newx, LONG newy, CPicture* dst)
{
    if (!dibBlock)
        return false;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    if (newx > w || newy > h)
        return SetError("QIShrink can't enlarge image");
    if (newx < 1 || newy < 1)
        return false;
    if (newx == w && newy == h) {
        if (dst)
            return dst->Copy(*this, true, true, true);
        return true;
    }
    CPicture tmp(0);
    if (!MakeTransformTarget(tmp, DWORD(newx), DWORD(newy)))
        return false;

    // Per destination column: blue, green, red, alpha sums and the count.
    auto acc = Table<uint64_t>(size_t(newx) * 5);
    if (!acc)
        return false;
    bool trueColour = header.biBitCount == 24;
    LONG accY = 0, outY = 0;
    for (LONG y = 0; y < h && !info.escape; ++y) {
        info.progress = LONG(int64_t(100) * y / h);
        accY += newy;
        LONG accX = 0, c = 0;
        for (LONG x = 0; x < w; ++x) {
            uint64_t* a = acc.get() + size_t(c) * 5;
            if (trueColour) {
                const BYTE* p = info.bits + size_t(y) * info.effWidth + size_t(x) * 3;
                a[0] += p[0];
                a[1] += p[1];
                a[2] += p[2];
                if (alpha)
                    a[3] += BlindAlphaGet(x, y);
            } else {
                RGBQUAD q = GetPixelColor(x, y, true);
                a[0] += q.rgbBlue;
                a[1] += q.rgbGreen;
                a[2] += q.rgbRed;
                a[3] += q.rgbReserved;
            }
            a[4] += 1;
            accX += newx;
            if (accX > w) {
                accX -= w;
                if (c + 1 < newx)
                    ++c;
            }
        }
        if (accY >= h) {
            accY -= h;
            if (outY < newy) {
                for (LONG x = 0; x < newx; ++x) {
                    uint64_t* a = acc.get() + size_t(x) * 5;
                    uint64_t n = a[4] ? a[4] : 1;
                    RGBQUAD q = Quad(BYTE(a[2] / n), BYTE(a[1] / n), BYTE(a[0] / n), BYTE(a[3] / n));
                    if (trueColour) {
                        BYTE* d = tmp.GetBits(DWORD(outY)) + size_t(x) * 3;
                        d[0] = q.rgbBlue;
                        d[1] = q.rgbGreen;
                        d[2] = q.rgbRed;
                        if (tmp.alpha)
                            tmp.alpha[size_t(outY) * newx + x] = q.rgbReserved;
                    } else {
                        tmp.SetPixelColor(x, outY, q, alpha != nullptr);
                    }
                }
                ++outY;
            }
            std::fill(acc.get(), acc.get() + size_t(newx) * 5, 0);
        }
    }
    return HandOver(tmp, dst);
}

// ---- cropping --------------------------------------------------------------

bool CPicture::Crop(LONG left, LONG top, LONG right, LONG bottom, CPicture* dst)
{
    if (!dibBlock)
        return false;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    LONG startx = std::clamp<LONG>(left, 0, w), endx = std::clamp<LONG>(right, 0, w);
    LONG starty = h - std::clamp<LONG>(top, 0, h), endy = h - std::clamp<LONG>(bottom, 0, h);
    if (startx == endx || starty == endy)
        return false;
    if (startx > endx)
        std::swap(startx, endx);
    if (starty > endy)
        std::swap(starty, endy);

    CPicture tmp(DWORD(endx - startx), DWORD(endy - starty), GetBpp(), GetType());
    if (!tmp.IsValid())
        return false;
    tmp.SetPalette(GetPalette(), header.biClrUsed);
    tmp.info.transIndex = info.transIndex;
    tmp.info.transColor = info.transColor;

    WORD bpp = header.biBitCount;
    for (LONG y = starty; y < endy; ++y) {
        info.progress = LONG(int64_t(100) * y / endy);
        if (bpp == 8 || bpp == 24) {
            size_t bytes = size_t(bpp) * size_t(endx - startx) / 8;
            std::memcpy(tmp.GetBits(DWORD(y - starty)), GetBits(DWORD(y)) + size_t(bpp) * startx / 8, bytes);
        } else {
            for (LONG x = startx; x < endx; ++x)
                tmp.SetPixelIndex(x - startx, y - starty, BlindGetPixelIndex(x, y));
        }
    }
    if (alpha) {
        if (!tmp.AlphaCreate())
            return false;
        for (LONG y = starty; y < endy; ++y)
            std::memcpy(tmp.alpha + size_t(y - starty) * (endx - startx), alpha + size_t(y) * w + startx,
                size_t(endx - startx));
    }
    return HandOver(tmp, dst);
}

bool CPicture::Crop(const RECT& rect, CPicture* dst) { return Crop(rect.left, rect.top, rect.right, rect.bottom, dst); }

bool CPicture::CropRotatedRectangle(LONG topx, LONG topy, LONG width, LONG height, float angle, CPicture* dst)
{
    if (!dibBlock)
        return false;
    if (!std::isfinite(angle))
        return SetError("CropRotatedRectangle: the angle is not a number");
    if (std::fabs(angle) < 0.0002f)
        return Crop(topx, topy, SaturatedSum(topx, width), SaturatedSum(topy, height), dst);

    double c = std::cos(double(angle)), s = std::sin(double(angle));
    double sx = std::min<double>(topx, topx - std::trunc(height * s));
    double ex = topx + std::trunc(width * c);
    double ey = topy + std::trunc(width * s + height * c);
    // Beyond LONG every point is outside the picture anyway.
    if (std::fabs(sx) > 2e9 || std::fabs(ex) > 2e9 || std::fabs(ey) > 2e9)
        return false;
    LONG startx = LONG(sx), endx = LONG(ex), endy = LONG(ey);
    if (!IsInside(startx, topy) || !IsInside(endx, endy))
        return false;

    CPicture tmp(*this, true, false, true);
    if (!tmp.IsValid())
        return false;
    if (!tmp.Crop(startx, topy, endx, endy, nullptr))
        return false;
    if (!tmp.Rotate(float(-double(angle) * 57.29577951308232), nullptr))
        return false;
    LONG W = LONG(tmp.GetWidth()), H = LONG(tmp.GetHeight());
    if (!tmp.Crop((W - width) / 2, (H + height) / 2, (W + width) / 2, (H - height) / 2, nullptr))
        return false;
    return HandOver(tmp, dst);
}

// ---- canvas ----------------------------------------------------------------

bool CPicture::Expand(LONG left, LONG top, LONG right, LONG bottom, RGBQUAD canvasColor, CPicture* dst)
{
    if (!dibBlock || left < 0 || top < 0 || right < 0 || bottom < 0)
        return false;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    // Margins near LONG's limit would wrap a 32-bit sum.
    uint64_t nw = uint64_t(left) + uint64_t(w) + uint64_t(right);
    uint64_t nh = uint64_t(top) + uint64_t(h) + uint64_t(bottom);
    if (nw > DWORD(INT32_MAX) || nh > DWORD(INT32_MAX))
        return SetError("CPICTURE_MAX_MEMORY exceeded");

    CPicture tmp(DWORD(nw), DWORD(nh), GetBpp(), GetType());
    if (!tmp.IsValid())
        return false;
    tmp.SetPalette(GetPalette(), header.biClrUsed);
    tmp.info.transIndex = info.transIndex;
    tmp.info.transColor = info.transColor;

    WORD bpp = header.biBitCount;
    if (bpp == 8 || bpp == 24) {
        for (LONG y = 0; y < LONG(nh); ++y) {
            BYTE* d = tmp.GetBits(DWORD(y));
            if (bpp == 8) {
                std::memset(d, tmp.GetNearestIndex(canvasColor), size_t(nw));
            } else {
                for (uint64_t x = 0; x < nw; ++x, d += 3) {
                    d[0] = canvasColor.rgbBlue;
                    d[1] = canvasColor.rgbGreen;
                    d[2] = canvasColor.rgbRed;
                }
            }
        }
        size_t bytes = size_t(bpp / 8) * size_t(w);
        for (LONG y = 0; y < h; ++y) {
            info.progress = LONG(int64_t(100) * (y + bottom) / h);
            std::memcpy(tmp.GetBits(DWORD(y + bottom)) + size_t(bpp / 8) * left, GetBits(DWORD(y)), bytes);
        }
    } else {
        BYTE canvas = tmp.GetNearestIndex(canvasColor);
        for (LONG y = 0; y < LONG(nh); ++y) {
            info.progress = LONG(int64_t(100) * y / LONG(nh));
            for (LONG x = 0; x < LONG(nw); ++x) {
                bool inside = x >= left && x - left < w && y >= bottom && y - bottom < h;
                tmp.SetPixelIndex(x, y, inside ? BlindGetPixelIndex(x - left, y - bottom) : canvas);
            }
        }
    }
    return HandOver(tmp, dst);
}

bool CPicture::Expand(LONG newx, LONG newy, RGBQUAD canvasColor, CPicture* dst)
{
    if (!dibBlock || newx < LONG(GetWidth()) || newy < LONG(GetHeight()))
        return false;
    LONG dx = newx - LONG(GetWidth()), dy = newy - LONG(GetHeight());
    return Expand(dx / 2, dy / 2, dx - dx / 2, dy - dy / 2, canvasColor, dst);
}

bool CPicture::Thumbnail(LONG newx, LONG newy, RGBQUAD canvasColor, CPicture* dst)
{
    if (!dibBlock || newx <= 0 || newy <= 0)
        return false;
    CPicture tmp(*this, true, true, true);
    if (!tmp.IsValid())
        return false;
    float width = float(GetWidth()), height = float(GetHeight());
    if (width > float(newx) || height > float(newy)) {
        float aspect = float(newx) / float(newy);
        float scale = height * aspect <= width ? float(newx) / width : float(newy) / height;
        // A sliver of a picture still keeps one pixel across.
        LONG tw = std::max<LONG>(1, std::min<LONG>(newx, LONG(width * scale)));
        LONG th = std::max<LONG>(1, std::min<LONG>(newy, LONG(height * scale)));
        if (!tmp.Resample(tw, th, 0, nullptr))
            return false;
    }
    if (!tmp.Expand(newx, newy, canvasColor, nullptr))
        return false;
    return HandOver(tmp, dst);
}

// ---- warps -----------------------------------------------------------------

bool CPicture::Skew(float xgain, float ygain, LONG xpivot, LONG ypivot, bool enableInterpolation)
{
    if (!dibBlock)
        return false;
    if (!std::isfinite(xgain) || !std::isfinite(ygain))
        return SetError("Skew: the gain is not a number");
    CPicture tmp(*this, SelectionIsValid(), true, true);
    if (!tmp.IsValid())
        return false;

    RECT box = WarpBox(*this);
    LONG xmin = box.left, xmax = box.right, ymin = box.bottom, ymax = box.top;
    bool indexed = IsIndexed();
    for (LONG y = ymin; y < ymax && !info.escape; ++y) {
        info.progress = LONG(int64_t(100) * y / LONG(GetHeight()));
        for (LONG x = xmin; x < xmax; ++x) {
            if (!SelectionIsInside(x, y))
                continue;
            float nx = float(x) + xgain * float(y - ypivot);
            float ny = float(y) + ygain * float(x - xpivot);
            if (enableInterpolation) {
                tmp.SetPixelColor(x, y, GetPixelColorInterpolated(nx, ny, IM_BILINEAR, OM_BACKGROUND, nullptr), true);
                continue;
            }
            LONG sx = std::isfinite(nx) ? TruncFarOutside(nx) : -1;
            LONG sy = std::isfinite(ny) ? TruncFarOutside(ny) : -1;
            WarpPixel(*this, sx, sy, indexed, tmp, x, y);
        }
    }
    return Transfer(tmp);
}

bool CPicture::CircleTransform(int type, LONG rmax, float koeff)
{
    if (!dibBlock)
        return false;
    if (!std::isfinite(koeff))
        return SetError("CircleTransform: the factor is not a number");
    CPicture tmp(*this, SelectionIsValid(), true, true);
    if (!tmp.IsValid())
        return false;

    RECT box = WarpBox(*this);
    LONG xmin = box.left, xmax = box.right, ymin = box.bottom, ymax = box.top;
    LONG xmid = LONG(tmp.GetWidth() / 2), ymid = LONG(tmp.GetHeight() / 2);
    double radius = rmax;
    if (rmax == 0)
        radius = std::trunc(std::sqrt(double(xmid - xmin) * (xmid - xmin) + double(ymid - ymin) * (ymid - ymin)));
    if (koeff == 0)
        koeff = 1;
    bool indexed = IsIndexed();
    const double twoPiInv = 0.15915494580678602;

    for (LONG y = ymin; y < ymax && !info.escape; ++y) {
        info.progress = LONG(int64_t(100) * y / LONG(GetHeight()));
        for (LONG x = xmin; x < xmax; ++x) {
            if (!SelectionIsInside(x, y))
                continue;
            double dx = double(xmid) - x, dy = double(ymid) - y;
            double r = std::sqrt(dx * dx + dy * dy);
            double sx = -1, sy = -1;
            if (r < radius) {
                double theta = std::atan2(dy, dx);
                // Negative types warp like type 0.
                int kind = type < 0 ? 0 : type;
                if (kind <= 2) {
                    double nr = r;
                    if (kind == 0)
                        nr = r * r / radius;
                    else if (kind == 1)
                        nr = std::sqrt(r * radius);
                    else
                        theta += r / koeff;
                    sx = xmid + std::trunc(std::cos(theta) * nr);
                    sy = ymid - std::trunc(std::sin(theta) * nr);
                } else if (kind == 3) {
                    sx = std::trunc(std::fabs(xmax * theta * twoPiInv));
                    sy = std::trunc(std::fabs(ymax * r / radius));
                } else {
                    sx = x + (x % 32) - 16;
                    sy = y;
                }
            }
            WarpPixel(*this, TruncFarOutside(sx), TruncFarOutside(sy), indexed, tmp, x, y);
        }
    }
    return Transfer(tmp);
}
