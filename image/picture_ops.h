// Helpers shared by the point operations, the filters and the samplers;
// not exported.
#pragma once

#include "image/picture.h"

#include <cstdint>

namespace picops {

inline RGBQUAD Quad(BYTE r, BYTE g, BYTE b, BYTE reserved = 0)
{
    RGBQUAD q;
    q.rgbBlue = b;
    q.rgbGreen = g;
    q.rgbRed = r;
    q.rgbReserved = reserved;
    return q;
}

inline bool SameQuad(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed
        && a.rgbReserved == b.rgbReserved;
}

inline BYTE Gray(const RGBQUAD& c) { return BYTE((306 * c.rgbRed + 601 * c.rgbGreen + 117 * c.rgbBlue) >> 10); }

// Truncation toward zero after clamping to 0..255, decided in double so that
// no out-of-range or NaN value ever reaches an integer conversion.
inline BYTE ClampTrunc(double v)
{
    if (!(v > 0))
        return 0;
    if (v >= 255)
        return 255;
    return BYTE(v);
}

inline BYTE ClampInt(int64_t v) { return BYTE(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// A channel from normalised weights: they sum to one only up to a few float
// ulps, and without the small margin a flat area would come out one level
// darker after truncation.
inline BYTE WeightedChannel(double v) { return ClampTrunc(v + 1.0e-3); }

// A coordinate as a LONG, held at +-1e9 (outside every picture the library
// can create) so that the conversion stays defined. v is finite.
inline LONG TruncFarOutside(double v)
{
    if (v <= -1.0e9)
        return -1000000000;
    if (v >= 1.0e9)
        return 1000000000;
    return LONG(v);
}

// trunc(v), one less for negative v (so -0.3 gives -1 and -1.0 gives -2),
// held within +-1e9. v is finite.
inline LONG CellOf(float v)
{
    if (v <= -1.0e9f)
        return -1000000000;
    if (v >= 1.0e9f)
        return 1000000000;
    LONG i = LONG(v);
    return v < 0 ? i - 1 : i;
}

// Bilinear mix of the 2 x 2 pixels from (xi, yi) of a 24-bit picture, all
// inside it, with 8-bit fixed-point weights from the fractions of x and y.
// alpha (width bytes a row) may be null: the mix then carries alpha 0.
inline RGBQUAD BilinearInside(
    const BYTE* bits, size_t effWidth, const BYTE* alpha, size_t width, LONG xi, LONG yi, float x, float y)
{
    const LONG a = LONG((x - float(xi)) * 256), b = LONG((y - float(yi)) * 256);
    const LONG w11 = (a * b) >> 8, w10 = a - w11, w01 = b - w11, w00 = 256 - a - b + w11;
    const BYTE* r0 = bits + size_t(yi) * effWidth + size_t(xi) * 3;
    const BYTE* r1 = r0 + effWidth;
    auto mix = [&](BYTE p00, BYTE p10, BYTE p01, BYTE p11) {
        return BYTE((p00 * w00 + p10 * w10 + p01 * w01 + p11 * w11) >> 8);
    };
    BYTE mixedAlpha = 0;
    if (alpha) {
        const BYTE* a0 = alpha + size_t(yi) * width + size_t(xi);
        mixedAlpha = mix(a0[0], a0[1], a0[width], a0[width + 1]);
    }
    return Quad(mix(r0[2], r0[5], r1[2], r1[5]), mix(r0[1], r0[4], r1[1], r1[4]), mix(r0[0], r0[3], r1[0], r1[3]),
        mixedAlpha);
}

// The rows and columns an operation visits: the selection's bounding box
// (bottom and right exclusive ends counted as in RECT top and right), or the
// whole picture. Clamped to the picture.
struct Box {
    LONG left, right, bottom, top;
    bool Empty() const { return left >= right || bottom >= top; }
};

inline Box WorkingBox(const CPicture& pic)
{
    LONG w = LONG(pic.GetWidth()), h = LONG(pic.GetHeight());
    Box b = { 0, w, 0, h };
    if (pic.SelectionIsValid()) {
        RECT r;
        pic.SelectionGetBox(r);
        b.left = r.left < 0 ? 0 : r.left;
        b.right = r.right > w ? w : r.right;
        b.bottom = r.bottom < 0 ? 0 : r.bottom;
        b.top = r.top > h ? h : r.top;
    }
    return b;
}

} // namespace picops
