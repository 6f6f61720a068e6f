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
