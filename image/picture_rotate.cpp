// Rotation: any angle by nearest source pixel (the clock hands, every
// second), any angle with interpolation, and the exact quarter and half turns.
#include "image/picture.h"

#include "image/picgeom.h"
#include "image/picture_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const LONG kTile = 8;
const LONG kBlock = 256;
const LONG kTurnTile = 64;

// Corners turned by Rotate stay far inside LONG for every picture Create
// accepts; the bound only refuses what cannot be a picture size.
bool FitsSize(double v) { return v >= 1 && v <= 2147483647.0; }

} // namespace

bool CPicture::MakeTransformTarget(CPicture& tmp, DWORD width, DWORD height) const
{
    tmp.CopyInfo(*this);
    if (!tmp.Create(width, height, GetBpp(), GetType()))
        return false;
    tmp.SetXDPI(GetXDPI());
    tmp.SetYDPI(GetYDPI());
    tmp.SetPalette(GetPalette(), header.biClrUsed);
    if (AlphaIsValid() && !tmp.AlphaCreate()) {
        tmp.Destroy();
        return false;
    }
    return true;
}

bool CPicture::HandOver(CPicture& tmp, CPicture* dst)
{
    CPicture& target = dst ? *dst : *this;
    if (!target.Transfer(tmp))
        return SetError("can't replace a borrowed picture");
    return true;
}

bool CPicture::Rotate(float angle, CPicture* dst)
{
    if (!dibBlock)
        return false;
    if (!std::isfinite(angle))
        return SetError("Rotate: the angle is not a number");

    double theta = -double(angle) * std::acos(0.0) / 90.0;
    double c = std::cos(theta), s = std::sin(theta);
    double w = GetWidth(), h = GetHeight();

    // P1 = (0, 0) stays; P4 uses w - 1.
    double px[4] = { 0, w, 0, w - 1 }, py[4] = { 0, 0, h, h };
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (int k = 1; k < 4; ++k) {
        double tx = std::floor(px[k] * c - py[k] * s), ty = std::floor(px[k] * s + py[k] * c);
        minX = std::min(minX, tx);
        maxX = std::max(maxX, tx);
        minY = std::min(minY, ty);
        maxY = std::max(maxY, ty);
    }
    double newWidth = (maxX + 2) - minX, newHeight = (maxY + 2) - minY;
    if (!FitsSize(newWidth) || !FitsSize(newHeight))
        return SetError("CPICTURE_MAX_MEMORY exceeded");

    CPicture tmp(0);
    if (!MakeTransformTarget(tmp, DWORD(newWidth), DWORD(newHeight)))
        return SetError(tmp.GetLastError());
    tmp.AlphaClear();

    LONG nw = LONG(newWidth), nh = LONG(newHeight);
    LONG sw = LONG(GetWidth()), sh = LONG(GetHeight());
    WORD bpp = header.biBitCount;
    // What every source position outside the picture reads as.
    BYTE outsideIndex = IsIndexed() ? GetPixelIndex(-1, -1) : 0;
    RGBQUAD outside = GetPixelColor(-1, -1, true);
    const BYTE* srcBits = info.bits;
    DWORD srcEff = info.effWidth;
    // Rows of the planes read directly: this loop runs for every clock hand every second.
    const BYTE* srcAlpha = tmp.alpha ? alpha : nullptr;

    // Destination tiles of 64 x 64: the source pixels a tile reads lie close
    // together, whatever the angle and the picture's size.
    for (LONG j0 = 0; j0 < nh; j0 += kTurnTile) {
        info.progress = LONG(int64_t(100) * j0 / nh);
        if (info.escape)
            break;
        const LONG j1 = std::min(nh, j0 + kTurnTile);
        for (LONG i0 = 0; i0 < nw; i0 += kTurnTile) {
            const LONG i1 = std::min(nw, i0 + kTurnTile);
            for (LONG j = j0; j < j1; ++j) {
                double y = minY + j;
                double ys = y * s, yc = y * c;
                BYTE* drow = tmp.GetBits(DWORD(j));
                BYTE* arow = tmp.alpha ? tmp.alpha + size_t(j) * nw : nullptr;
                for (LONG i = i0; i < i1; ++i) {
                    double x = minX + i;
                    // Truncation toward zero: everything in (-1, 0) reads column or row 0.
                    double fx = x * c + ys - 0.5, fy = yc - x * s - 0.5;
                    bool inside = fx > -1 && fy > -1 && fx < sw && fy < sh;
                    LONG sx = inside ? LONG(fx) : -1, sy = inside ? LONG(fy) : -1;
                    if (bpp == 24) {
                        BYTE* d = drow + size_t(i) * 3;
                        if (inside) {
                            const BYTE* p = srcBits + size_t(sy) * srcEff + size_t(sx) * 3;
                            d[0] = p[0];
                            d[1] = p[1];
                            d[2] = p[2];
                        } else {
                            d[0] = outside.rgbBlue;
                            d[1] = outside.rgbGreen;
                            d[2] = outside.rgbRed;
                        }
                    } else if (bpp == 8) {
                        drow[i] = inside ? srcBits[size_t(sy) * srcEff + size_t(sx)] : outsideIndex;
                    } else {
                        tmp.SetPixelIndex(i, j, inside ? BlindGetPixelIndex(sx, sy) : outsideIndex);
                    }
                    if (arow)
                        arow[i] = inside ? srcAlpha[size_t(sy) * size_t(sw) + size_t(sx)] : 0;
                }
            }
        }
    }
    return HandOver(tmp, dst);
}

bool CPicture::Rotate2(float angle, CPicture* dst, InterpolationMethod im, OverflowMethod om, RGBQUAD* background,
    bool optimizeRightAngles, bool keepSize)
{
    if (!dibBlock)
        return false;
    if (!std::isfinite(angle))
        return SetError("Rotate2: the angle is not a number");

    double theta = -double(angle) * std::acos(0.0) / 90.0;
    float c = float(std::cos(theta)), s = float(std::sin(theta));
    float w = float(GetWidth()), h = float(GetHeight());

    CPicPoint2 p[4] = { CPicPoint2(-0.5f, -0.5f), CPicPoint2(w - 0.5f, -0.5f), CPicPoint2(-0.5f, h - 0.5f),
        CPicPoint2(w - 0.5f, h - 0.5f) };
    if (!keepSize) {
        for (CPicPoint2& q : p)
            q = CPicPoint2(c * q.x - s * q.y, s * q.x + c * q.y);
        if (optimizeRightAngles) {
            if (p[3].Distance(h - 0.5f, 0.5f - w) < 0.25f)
                return RotateRight(dst);
            if (p[3].Distance(0.5f - h, w - 0.5f) < 0.25f)
                return RotateLeft(dst);
            if (p[3].Distance(0.5f - w, 0.5f - h) < 0.25f)
                return Rotate180(dst);
            if (p[3].Distance(w - 0.5f, h - 0.5f) < 0.25f) {
                if (dst)
                    return dst->Copy(*this, true, true, true);
                return true;
            }
        }
    }
    float minX = p[0].x, maxX = p[0].x, minY = p[0].y, maxY = p[0].y;
    for (const CPicPoint2& q : p) {
        minX = std::min(minX, q.x);
        maxX = std::max(maxX, q.x);
        minY = std::min(minY, q.y);
        maxY = std::max(maxY, q.y);
    }
    double fw = std::floor(double(maxX) - minX + 0.5), fh = std::floor(double(maxY) - minY + 0.5);
    if (!FitsSize(fw) || !FitsSize(fh))
        return SetError("CPICTURE_MAX_MEMORY exceeded");
    LONG newWidth = LONG(fw), newHeight = LONG(fh);

    float sx0 = ((maxX + minX) - float(newWidth - 1)) * 0.5f;
    float sy0 = ((maxY + minY) - float(newHeight - 1)) * 0.5f;
    float hw = float(newWidth) * 0.5f, hh = float(newHeight) * 0.5f;
    if (keepSize) {
        sx0 -= w * 0.5f;
        sy0 -= h * 0.5f;
    }

    // Unlike Rotate, a failed temporary must not be handed over: the
    // true-colour path below writes its pixels directly.
    CPicture tmp(0);
    if (!MakeTransformTarget(tmp, DWORD(newWidth), DWORD(newHeight)))
        return SetError(tmp.GetLastError());

    RGBQUAD back;
    if (background) {
        back = *background;
    } else {
        back.rgbBlue = back.rgbGreen = back.rgbRed = 255;
        back.rgbReserved = 0;
    }
    bool indexed = IsIndexed();
    bool withAlpha = AlphaIsValid();
    // The common case (bilinear, true colour, no selection) reads the rows
    // itself; edges and the other cases ask the sampler, with the same result.
    const bool rows = !indexed && im == IM_BILINEAR && !SelectionIsValid();
    const bool maps = om == OM_WRAP || om == OM_REPEAT || om == OM_MIRROR;
    const RGBQUAD outside = GetPixelColorWithOverflow(-999, -999, om, &back);
    const LONG sw = LONG(GetWidth()), sh = LONG(GetHeight());
    float y = sy0;
    for (LONG j = 0; j < newHeight; ++j, y += 1.0f) {
        info.progress = LONG(int64_t(100) * j / newHeight);
        if (info.escape)
            break;
        BYTE* drow = tmp.GetBits(DWORD(j));
        BYTE* arow = tmp.alpha ? tmp.alpha + size_t(j) * newWidth : nullptr;
        float x = sx0;
        for (LONG i = 0; i < newWidth; ++i, x += 1.0f) {
            float X = c * x + s * y, Y = c * y - s * x;
            if (keepSize) {
                X += hw;
                Y += hh;
            }
            RGBQUAD colour;
            const LONG xi = rows && std::isfinite(X) ? picops::CellOf(X) : -1;
            const LONG yi = rows && std::isfinite(Y) ? picops::CellOf(Y) : -1;
            if (xi >= 0 && xi + 1 < sw && yi >= 0 && yi + 1 < sh)
                colour = picops::BilinearInside(info.bits, info.effWidth, alpha, size_t(sw), xi, yi, X, Y);
            else if (rows && !maps && std::isfinite(X) && std::isfinite(Y)
                && (xi + 1 < 0 || xi >= sw || yi + 1 < 0 || yi >= sh))
                colour = outside;
            else
                colour = GetPixelColorInterpolated(X, Y, im, om, &back);
            if (indexed) {
                tmp.SetPixelColor(i, j, colour, withAlpha);
            } else {
                BYTE* d = drow + size_t(i) * 3;
                d[0] = colour.rgbBlue;
                d[1] = colour.rgbGreen;
                d[2] = colour.rgbRed;
                if (arow)
                    arow[i] = colour.rgbReserved;
            }
        }
    }
    return HandOver(tmp, dst);
}

// ---- quarter and half turns ------------------------------------------------

namespace {

// Moves every destination pixel of a quarter turn from its source pixel.
// One side is always read or written across rows, so the walk goes in blocks
// of 256 x 256 destination pixels (their rows and the source rows they need
// stay within the address cache) and, inside a block, in tiles of 8 x 8
// (eight rows a side stay within the data cache, even when the rows are a
// power of two bytes apart). from(x, y, sx, sy) gives the source pixel of
// destination (x, y).
template <class Map, class Move>
void WalkTiles(LONG dw, LONG dh, LONG* progress, LONG progressRange, Map from, Move move)
{
    for (LONG bx = 0; bx < dw; bx += kBlock) {
        const LONG bx1 = std::min(dw, bx + kBlock);
        *progress = LONG(int64_t(100) * bx / progressRange);
        for (LONG by = 0; by < dh; by += kBlock) {
            const LONG by1 = std::min(dh, by + kBlock);
            for (LONG y0 = by; y0 < by1; y0 += kTile)
                for (LONG x0 = bx; x0 < bx1; x0 += kTile) {
                    const LONG x1 = std::min(bx1, x0 + kTile), y1 = std::min(by1, y0 + kTile);
                    for (LONG y = y0; y < y1; ++y)
                        for (LONG x = x0; x < x1; ++x) {
                            LONG sx, sy;
                            from(x, y, sx, sy);
                            move(x, y, sx, sy);
                        }
                }
        }
    }
}

} // namespace

// Quarter turns share everything but the mapping: right = true turns
// clockwise as displayed.
static bool QuarterTurn(CPicture& self, CPicture& tmp, bool right, LONG* progress, const BYTE* const srcPlanes[2],
    BYTE* const dstPlanes[2])
{
    LONG W = LONG(self.GetWidth()), H = LONG(self.GetHeight());
    LONG dw = H, dh = W;
    auto from = [&](LONG x, LONG y, LONG& sx, LONG& sy) {
        if (right) {
            sx = W - 1 - y;
            sy = x;
        } else {
            sx = y;
            sy = H - 1 - x;
        }
    };
    WORD bpp = self.GetBpp();
    if (bpp == 24) {
        BYTE* sbits = self.GetBits(0);
        BYTE* dbits = tmp.GetBits(0);
        size_t seff = self.GetEffWidth(), deff = tmp.GetEffWidth();
        WalkTiles(dw, dh, progress, H, from, [&](LONG x, LONG y, LONG sx, LONG sy) {
            const BYTE* s = sbits + size_t(sy) * seff + size_t(sx) * 3;
            BYTE* d = dbits + size_t(y) * deff + size_t(x) * 3;
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        });
    } else if (bpp == 8) {
        BYTE* sbits = self.GetBits(0);
        BYTE* dbits = tmp.GetBits(0);
        size_t seff = self.GetEffWidth(), deff = tmp.GetEffWidth();
        WalkTiles(dw, dh, progress, H, from, [&](LONG x, LONG y, LONG sx, LONG sy) {
            dbits[size_t(y) * deff + x] = sbits[size_t(sy) * seff + sx];
        });
    } else if (bpp == 4) {
        WalkTiles(dw, dh, progress, H, from,
            [&](LONG x, LONG y, LONG sx, LONG sy) { tmp.SetPixelIndex(x, y, self.GetPixelIndex(sx, sy)); });
    } else {
        // 1 bit: visit the set bits of whole source bytes; the row padding
        // beyond the last pixel is never read.
        tmp.Clear(0);
        size_t deff = tmp.GetEffWidth();
        BYTE* dbits = tmp.GetBits(0);
        for (LONG sy = 0; sy < H; ++sy) {
            *progress = LONG(int64_t(100) * sy / H);
            const BYTE* srow = self.GetBits(DWORD(sy));
            for (LONG b = 0; b * 8 < W; ++b) {
                BYTE v = srow[b];
                if (!v)
                    continue;
                LONG bits = std::min<LONG>(8, W - b * 8);
                for (LONG k = 0; k < bits; ++k) {
                    if (!(v & (0x80 >> k)))
                        continue;
                    LONG sx = b * 8 + k;
                    LONG x = right ? sy : H - 1 - sy;
                    LONG y = right ? W - 1 - sx : sx;
                    dbits[size_t(y) * deff + (x >> 3)] |= BYTE(0x80 >> (x & 7));
                }
            }
        }
    }
    // The alpha plane and the selection mask move with the pixels.
    for (int k = 0; k < 2; ++k) {
        const BYTE* sp = srcPlanes[k];
        BYTE* dp = dstPlanes[k];
        if (sp && dp)
            WalkTiles(dw, dh, progress, H, from,
                [&](LONG x, LONG y, LONG sx, LONG sy) { dp[size_t(y) * dw + x] = sp[size_t(sy) * W + sx]; });
    }
    return true;
}

// Quarter and half turns keep the selection: a mask plane for the result,
// filled by the caller with the pixels' mapping, and the box turned here.
bool CPicture::TurnSelectionInto(CPicture& tmp, int quarterTurns) const
{
    if (!selection)
        return true;
    tmp.selection = static_cast<BYTE*>(std::calloc(1, tmp.PlaneSize()));
    if (!tmp.selection)
        return false;
    LONG W = LONG(GetWidth()), H = LONG(GetHeight());
    const RECT& b = info.selectionBox;
    RECT& d = tmp.info.selectionBox;
    if (quarterTurns == 1) { // right
        d.left = b.bottom, d.right = b.top, d.bottom = W - b.right, d.top = W - b.left;
    } else if (quarterTurns == 3) { // left
        d.left = H - b.top, d.right = H - b.bottom, d.bottom = b.left, d.top = b.right;
    } else {
        d.left = W - b.right, d.right = W - b.left, d.bottom = H - b.top, d.top = H - b.bottom;
    }
    return true;
}

bool CPicture::RotateLeft(CPicture* dst)
{
    if (!dibBlock)
        return false;
    CPicture tmp(0);
    if (!MakeTransformTarget(tmp, GetHeight(), GetWidth()))
        return SetError(tmp.GetLastError());
    if (!TurnSelectionInto(tmp, 3))
        return SetError("CPicture::Create can't allocate memory");
    const BYTE* const from[2] = { alpha, selection };
    BYTE* const to[2] = { tmp.alpha, tmp.selection };
    QuarterTurn(*this, tmp, false, &info.progress, from, to);
    return HandOver(tmp, dst);
}

bool CPicture::RotateRight(CPicture* dst)
{
    if (!dibBlock)
        return false;
    CPicture tmp(0);
    if (!MakeTransformTarget(tmp, GetHeight(), GetWidth()))
        return SetError(tmp.GetLastError());
    if (!TurnSelectionInto(tmp, 1))
        return SetError("CPicture::Create can't allocate memory");
    const BYTE* const from[2] = { alpha, selection };
    BYTE* const to[2] = { tmp.alpha, tmp.selection };
    QuarterTurn(*this, tmp, true, &info.progress, from, to);
    return HandOver(tmp, dst);
}

bool CPicture::Rotate180(CPicture* dst)
{
    if (!dibBlock)
        return false;
    CPicture tmp(0);
    if (!MakeTransformTarget(tmp, GetWidth(), GetHeight()))
        return SetError(tmp.GetLastError());
    if (!TurnSelectionInto(tmp, 2))
        return SetError("CPicture::Create can't allocate memory");
    LONG W = LONG(GetWidth()), H = LONG(GetHeight());
    bool indexed = IsIndexed();
    for (LONG y = 0; y < H; ++y) {
        info.progress = LONG(int64_t(100) * y / H);
        LONG dy = H - 1 - y;
        if (header.biBitCount == 24) {
            const BYTE* s = GetBits(DWORD(y));
            BYTE* d = tmp.GetBits(DWORD(dy)) + size_t(W - 1) * 3;
            for (LONG x = 0; x < W; ++x, s += 3, d -= 3) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        } else if (indexed) {
            for (LONG x = 0; x < W; ++x)
                tmp.SetPixelIndex(W - 1 - x, dy, BlindGetPixelIndex(x, y));
        }
        const BYTE* const from[2] = { alpha, selection };
        BYTE* const to[2] = { tmp.alpha, tmp.selection };
        for (int k = 0; k < 2; ++k) {
            if (!from[k] || !to[k])
                continue;
            const BYTE* sa = from[k] + size_t(y) * W;
            BYTE* da = to[k] + size_t(dy) * W;
            for (LONG x = 0; x < W; ++x)
                da[W - 1 - x] = sa[x];
        }
    }
    return HandOver(tmp, dst);
}
