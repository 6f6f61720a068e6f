// Neighbourhood filters: each pixel is computed from a square window around
// it in the unfiltered picture and written into a working copy, which then
// replaces the picture. Stopped by escape, a filter still hands over the
// rows it finished; the working copy starts as a full copy, so every other
// row keeps its old pixels.
#include "image/checked_math.h"
#include "image/picprogress.h"
#include "image/picrandom.h"
#include "image/picture.h"
#include "image/picture_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>

using namespace picops;

namespace {

// The picture's colours in one plane, so that window reads are plain loads;
// a point outside reads as the picture's colour for outside points.
struct ColourPlane {
    std::unique_ptr<RGBQUAD[]> px;
    LONG w = 0, h = 0;
    RGBQUAD outside = {};

    bool Load(const CPicture& pic)
    {
        w = LONG(pic.GetWidth());
        h = LONG(pic.GetHeight());
        size_t bytes;
        if (!PicCheckedMulSize(uint64_t(w) * uint64_t(h), sizeof(RGBQUAD), bytes))
            return false;
        px.reset(new (std::nothrow) RGBQUAD[size_t(w) * size_t(h)]);
        if (!px)
            return false;
        outside = pic.GetPixelColor(-1, -1, true);
        RGBQUAD* d = px.get();
        if (pic.GetBpp() == 24) {
            for (LONG y = 0; y < h; ++y) {
                const BYTE* s = pic.GetBits(DWORD(y));
                for (LONG x = 0; x < w; ++x, s += 3)
                    *d++ = Quad(s[2], s[1], s[0]);
            }
        } else {
            for (LONG y = 0; y < h; ++y)
                for (LONG x = 0; x < w; ++x)
                    *d++ = pic.GetPixelColor(x, y, false);
        }
        return true;
    }
    bool Inside(LONG x, LONG y) const { return x >= 0 && y >= 0 && x < w && y < h; }
    const RGBQUAD& At(LONG x, LONG y) const { return Inside(x, y) ? px[size_t(y) * w + x] : outside; }
    const RGBQUAD* Row(LONG y) const { return px.get() + size_t(y) * w; }
};

// Offsets -half .. rest - 1 of a window of `size` (one more on the negative
// side for an even size).
struct Window {
    LONG half, rest;
    explicit Window(LONG size)
        : half(size / 2)
        , rest(size - size / 2)
    {
    }
    bool InsideOf(LONG x, LONG y, LONG w, LONG h) const
    {
        return x - half >= 0 && y - half >= 0 && x + rest - 1 < w && y + rest - 1 < h;
    }
};

// Window sizes beyond twice the picture add nothing but outside points.
bool SizeInRange(const CPicture& pic, LONG size)
{
    uint64_t most = 2 * uint64_t(std::max(pic.GetWidth(), pic.GetHeight())) + 1;
    return size >= 1 && uint64_t(size) <= most;
}

// The writes of a filter into its working copy.
void Put(CPicture& tmp, LONG x, LONG y, const RGBQUAD& c)
{
    if (tmp.GetBpp() == 24) {
        BYTE* p = tmp.GetBits(DWORD(y)) + size_t(x) * 3;
        p[0] = c.rgbBlue;
        p[1] = c.rgbGreen;
        p[2] = c.rgbRed;
    } else {
        tmp.SetPixelColor(x, y, c, false);
    }
}

// The progress of the filters at row y.
LONG FilterProgress(LONG y, LONG h)
{
    return LONG(int64_t(y) * 100 / h);
}

// Visits the selected pixels of the working box row by row with the
// progress rule of the filters, up to the row where escape stops it.
template <class F> void ForEachSelected(CPicture& pic, F visit)
{
    Box box = WorkingBox(pic);
    LONG h = LONG(pic.GetHeight());
    bool selected = pic.SelectionIsValid();
    for (LONG y = box.bottom; y < box.top; ++y) {
        if (PicStopBeforeRow(pic, FilterProgress(y, h)))
            return;
        for (LONG x = box.left; x < box.right; ++x)
            if (!selected || pic.SelectionIsInside(x, y))
                visit(x, y);
    }
}

} // namespace

// ---- Jitter ----------------------------------------------------------------

bool CPicture::Jitter(LONG radius)
{
    if (!dibBlock)
        return false;
    CPicture tmp(*this, true, true, true);
    if (!tmp.IsValid())
        return SetError("Jitter: no memory for the working copy");

    // In double, so that no radius overflows; offsets run from -radius to
    // radius - 1 and are applied in 64 bits.
    double span = 2.0 * double(radius);
    double unit = double(3.0518509e-5f);
    bool indexed = header.biClrUsed != 0;
    ForEachSelected(*this, [&](LONG x, LONG y) {
        int64_t nx = x + int64_t(std::trunc((PicRandom() * unit - 0.5) * span));
        int64_t ny = y + int64_t(std::trunc((PicRandom() * unit - 0.5) * span));
        if (nx < 0 || ny < 0 || nx >= int64_t(GetWidth()) || ny >= int64_t(GetHeight())) {
            nx = x;
            ny = y;
        }
        LONG sx = LONG(nx), sy = LONG(ny);
        if (indexed)
            tmp.SetPixelIndex(x, y, BlindGetPixelIndex(sx, sy));
        else
            Put(tmp, x, y, BlindGetPixelColor(sx, sy));
        if (alpha)
            tmp.AlphaSet(x, y, BlindAlphaGet(sx, sy));
    });
    return Transfer(tmp);
}

// ---- Filter ----------------------------------------------------------------

bool CPicture::Filter(const LONG* kernel, LONG size, LONG divisor, LONG offset)
{
    if (!dibBlock)
        return false;
    if (!kernel)
        return SetError("Filter: no kernel");
    if (!SizeInRange(*this, size))
        return SetError("Filter: the kernel size is out of range");
    // A bound on every sum: with it no 64-bit sum or offset can overflow.
    uint64_t n = uint64_t(size) * uint64_t(size), weight = 0;
    for (uint64_t i = 0; i < n; ++i) {
        weight += uint64_t(kernel[i] < 0 ? -int64_t(kernel[i]) : int64_t(kernel[i]));
        if (weight > (uint64_t(INT64_MAX) >> 9) / 255)
            return SetError("Filter: the kernel weights are too large");
    }

    CPicture tmp(*this, true, true, true);
    if (!tmp.IsValid())
        return SetError("Filter: no memory for the working copy");
    Window win(size);
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());

    if (header.biBitCount == 8 && IsGrayScale()) {
        // Raw grey bytes; the edge rows and columns (tested strictly, as the
        // grey filter always has) keep their old value.
        int64_t div = divisor ? divisor : 1;
        ForEachSelected(*this, [&](LONG x, LONG y) {
            BYTE* out = tmp.GetBits(DWORD(y)) + x;
            const BYTE* in = GetBits(DWORD(y)) + x;
            if (!(y - win.half > 0 && y + win.rest - 1 < h && x - win.half > 0 && x + win.rest - 1 < w)) {
                *out = *in;
                return;
            }
            int64_t sum = 0;
            for (LONG dy = -win.half; dy < win.rest; ++dy) {
                const BYTE* row = GetBits(DWORD(y + dy)) + x;
                const LONG* k = kernel + size_t(dy + win.half) * size + win.half;
                for (LONG dx = -win.half; dx < win.rest; ++dx)
                    sum += int64_t(row[dx]) * k[dx];
            }
            *out = ClampInt(sum / div + offset);
        });
    } else {
        ColourPlane plane;
        if (!plane.Load(*this))
            return SetError("Filter: no memory for the colour plane");
        ForEachSelected(*this, [&](LONG x, LONG y) {
            int64_t r = 0, g = 0, b = 0;
            bool inside = win.InsideOf(x, y, w, h);
            for (LONG dy = -win.half; dy < win.rest; ++dy) {
                const LONG* k = kernel + size_t(dy + win.half) * size + win.half;
                if (inside) {
                    const RGBQUAD* row = plane.Row(y + dy) + x;
                    for (LONG dx = -win.half; dx < win.rest; ++dx) {
                        r += int64_t(row[dx].rgbRed) * k[dx];
                        g += int64_t(row[dx].rgbGreen) * k[dx];
                        b += int64_t(row[dx].rgbBlue) * k[dx];
                    }
                } else {
                    for (LONG dx = -win.half; dx < win.rest; ++dx) {
                        const RGBQUAD& c = plane.At(x + dx, y + dy);
                        r += int64_t(c.rgbRed) * k[dx];
                        g += int64_t(c.rgbGreen) * k[dx];
                        b += int64_t(c.rgbBlue) * k[dx];
                    }
                }
            }
            if (divisor) {
                r /= divisor;
                g /= divisor;
                b /= divisor;
            }
            Put(tmp, x, y, Quad(ClampInt(r + offset), ClampInt(g + offset), ClampInt(b + offset)));
        });
    }
    return Transfer(tmp);
}

// ---- Erode, Dilate, Edge ---------------------------------------------------

namespace {

enum MinMaxRule { kErode, kDilate, kEdge };

struct Extremes {
    BYTE lo[3], hi[3];
    void Start()
    {
        lo[0] = lo[1] = lo[2] = 255;
        hi[0] = hi[1] = hi[2] = 0;
    }
    void Take(const RGBQUAD& c)
    {
        const BYTE v[3] = { c.rgbRed, c.rgbGreen, c.rgbBlue };
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], v[k]);
            hi[k] = std::max(hi[k], v[k]);
        }
    }
    void Take(const Extremes& e)
    {
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], e.lo[k]);
            hi[k] = std::max(hi[k], e.hi[k]);
        }
    }
};

} // namespace

bool CPicture::Erode(LONG size) { return WindowExtremes(size, 0); }

bool CPicture::Dilate(LONG size) { return WindowExtremes(size, 1); }

bool CPicture::Edge(LONG size) { return WindowExtremes(size, 2); }

// Minimum and maximum are separable: first down each column of the window,
// then across the columns, so that a large window stays affordable.
bool CPicture::WindowExtremes(LONG size, int rule)
{
    if (!dibBlock)
        return false;
    if (!SizeInRange(*this, size))
        return SetError("Erode, Dilate, Edge: the window size is out of range");
    CPicture tmp(*this, true, true, true);
    if (!tmp.IsValid())
        return SetError("Erode, Dilate, Edge: no memory for the working copy");
    ColourPlane plane;
    if (!plane.Load(*this))
        return SetError("Erode, Dilate, Edge: no memory for the colour plane");

    Window win(size);
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    Box box = WorkingBox(*this);
    if (box.Empty())
        return Transfer(tmp);
    // Columns box.left - half .. box.right + rest - 2, in 64 bits because a
    // window may reach far outside the picture.
    int64_t first = int64_t(box.left) - win.half;
    size_t columns = size_t(int64_t(box.right) + win.rest - 1 - first);
    std::unique_ptr<Extremes[]> column(new (std::nothrow) Extremes[columns]);
    if (!column)
        return SetError("Erode, Dilate, Edge: no memory for the column extremes");
    Extremes outsideOnly;
    outsideOnly.Start();
    outsideOnly.Take(plane.outside);

    for (LONG y = box.bottom; y < box.top; ++y) {
        if (PicStopBeforeRow(*this, FilterProgress(y, h)))
            break;
        int64_t lowRow = std::max<int64_t>(int64_t(y) - win.half, 0);
        int64_t highRow = std::min<int64_t>(int64_t(y) + win.rest - 1, h - 1);
        bool clipped = int64_t(y) - win.half < 0 || int64_t(y) + win.rest - 1 > h - 1;
        for (size_t i = 0; i < columns; ++i) {
            int64_t cx = first + int64_t(i);
            if (cx < 0 || cx >= w) {
                column[i] = outsideOnly;
                continue;
            }
            Extremes& e = column[i];
            e.Start();
            for (int64_t ry = lowRow; ry <= highRow; ++ry)
                e.Take(plane.px[size_t(ry) * w + size_t(cx)]);
            if (clipped)
                e.Take(plane.outside);
        }
        for (LONG x = box.left; x < box.right; ++x) {
            if (selection && !SelectionIsInside(x, y))
                continue;
            Extremes e;
            e.Start();
            const Extremes* c = column.get() + (x - box.left);
            for (LONG k = 0; k < size; ++k)
                e.Take(c[k]);
            RGBQUAD out;
            if (rule == 0)
                out = Quad(e.lo[0], e.lo[1], e.lo[2]);
            else if (rule == 1)
                out = Quad(e.hi[0], e.hi[1], e.hi[2]);
            else
                out = Quad(BYTE(255 - (e.hi[0] - e.lo[0])), BYTE(255 - (e.hi[1] - e.lo[1])),
                    BYTE(255 - (e.hi[2] - e.lo[2])));
            Put(tmp, x, y, out);
        }
    }
    return Transfer(tmp);
}

// ---- Median ----------------------------------------------------------------

// The colour at the middle of the window sorted by grey level. Colours of
// equal grey may come in any order, so any window colour of the median grey
// is the answer. 3 x 3 and smaller windows select among their greys
// directly; larger ones keep a histogram that slides along the row (faster
// from 4 x 4 on).
bool CPicture::Median(LONG size)
{
    if (!dibBlock)
        return false;
    if (!SizeInRange(*this, size))
        return SetError("Median: the window size is out of range");
    CPicture tmp(*this, true, true, true);
    if (!tmp.IsValid())
        return SetError("Median: no memory for the working copy");
    ColourPlane plane;
    if (!plane.Load(*this))
        return SetError("Median: no memory for the colour plane");
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    std::unique_ptr<BYTE[]> grey(new (std::nothrow) BYTE[size_t(w) * size_t(h)]);
    if (!grey)
        return SetError("Median: no memory for the grey plane");
    for (size_t i = 0; i < size_t(w) * size_t(h); ++i)
        grey[i] = Gray(plane.px[i]);
    BYTE outsideGrey = Gray(plane.outside);
    auto greyAt = [&](int64_t x, int64_t y) {
        return x >= 0 && y >= 0 && x < w && y < h ? grey[size_t(y) * w + size_t(x)] : outsideGrey;
    };

    Window win(size);
    uint64_t n = uint64_t(size) * uint64_t(size);
    uint64_t middle = n / 2;

    // The first window colour (row by row) of grey level g.
    auto colourOfGrey = [&](LONG x, LONG y, BYTE g) {
        for (int64_t yy = int64_t(y) - win.half; yy < int64_t(y) + win.rest; ++yy)
            for (int64_t xx = int64_t(x) - win.half; xx < int64_t(x) + win.rest; ++xx)
                if (greyAt(xx, yy) == g)
                    return xx >= 0 && yy >= 0 && xx < w && yy < h ? plane.px[size_t(yy) * w + size_t(xx)]
                                                                   : plane.outside;
        return plane.outside; // not reached: the median grey is in the window
    };

    if (size <= 3) {
        BYTE values[9];
        ForEachSelected(*this, [&](LONG x, LONG y) {
            size_t k = 0;
            if (win.InsideOf(x, y, w, h)) {
                for (LONG dy = -win.half; dy < win.rest; ++dy) {
                    const BYTE* row = grey.get() + size_t(y + dy) * w + x;
                    for (LONG dx = -win.half; dx < win.rest; ++dx)
                        values[k++] = row[dx];
                }
            } else {
                for (LONG dy = -win.half; dy < win.rest; ++dy)
                    for (LONG dx = -win.half; dx < win.rest; ++dx)
                        values[k++] = greyAt(int64_t(x) + dx, int64_t(y) + dy);
            }
            std::nth_element(values, values + middle, values + k);
            Put(tmp, x, y, colourOfGrey(x, y, values[middle]));
        });
        return Transfer(tmp);
    }

    Box box = WorkingBox(*this);
    for (LONG y = box.bottom; y < box.top; ++y) {
        if (PicStopBeforeRow(*this, FilterProgress(y, h)))
            break;
        uint64_t histogram[256] = {};
        auto addColumn = [&](int64_t cx, int64_t delta) {
            for (int64_t yy = int64_t(y) - win.half; yy < int64_t(y) + win.rest; ++yy)
                histogram[greyAt(cx, yy)] += uint64_t(delta);
        };
        for (int64_t cx = int64_t(box.left) - win.half; cx < int64_t(box.left) + win.rest; ++cx)
            addColumn(cx, 1);
        for (LONG x = box.left; x < box.right; ++x) {
            if (x > box.left) {
                addColumn(int64_t(x) - 1 - win.half, -1);
                addColumn(int64_t(x) + win.rest - 1, 1);
            }
            if (selection && !SelectionIsInside(x, y))
                continue;
            uint64_t seen = 0;
            int g = 0;
            for (; g < 255; ++g) {
                seen += histogram[g];
                if (seen > middle)
                    break;
            }
            Put(tmp, x, y, colourOfGrey(x, y, BYTE(g)));
        }
    }
    return Transfer(tmp);
}

// ---- Contour ---------------------------------------------------------------

bool CPicture::Contour()
{
    if (!dibBlock)
        return false;
    CPicture tmp(*this, true, true, true);
    if (!tmp.IsValid())
        return SetError("Contour: no memory for the working copy");
    ColourPlane plane;
    if (!plane.Load(*this))
        return SetError("Contour: no memory for the colour plane");
    ForEachSelected(*this, [&](LONG x, LONG y) {
        RGBQUAD c = plane.At(x, y);
        BYTE kr = 0, kg = 0, kb = 0;
        for (LONG dx = -1; dx <= 1; ++dx)
            for (LONG dy = -1; dy <= 1; ++dy) {
                const RGBQUAD& n = plane.At(x + dx, y + dy);
                // Against the kept neighbour channel, not the difference.
                if (int(n.rgbBlue) - c.rgbBlue > kb)
                    kb = n.rgbBlue;
                if (int(n.rgbGreen) - c.rgbGreen > kg)
                    kg = n.rgbGreen;
                if (int(n.rgbRed) - c.rgbRed > kr)
                    kr = n.rgbRed;
            }
        Put(tmp, x, y, Quad(BYTE(255 - kr), BYTE(255 - kg), BYTE(255 - kb)));
    });
    return Transfer(tmp);
}

// ---- Repair ----------------------------------------------------------------

bool CPicture::RepairChannel(CPicture* ch, float radius)
{
    if (!ch || !ch->IsValid() || !std::isfinite(radius))
        return false;
    CPicture tmp(*ch, true, true, true);
    if (!tmp.IsValid())
        return false;
    LONG w = LONG(ch->GetWidth()), h = LONG(ch->GetHeight());
    // Columns outer, as the smoothing step has always run; the borders stay
    // as copied.
    for (LONG x = 1; x < w - 1; ++x)
        for (LONG y = 1; y < h - 1; ++y) {
            auto P = [&](LONG i, LONG j) { return double(ch->GetPixelIndex(i, j)); };
            double c = P(x, y);
            double ix = (P(x + 1, y) - P(x - 1, y)) * 0.5;
            double iy = (P(x, y + 1) - P(x, y - 1)) * 0.5;
            double ixx = P(x + 1, y) - 2 * c + P(x - 1, y);
            double iyy = P(x, y + 1) - 2 * c + P(x, y - 1);
            double ixy = (P(x + 1, y + 1) - P(x - 1, y + 1) - P(x + 1, y - 1) + P(x - 1, y - 1)) * 0.25;
            double num = (1 + iy * iy) * ixx - ixy * ix * iy + (1 + ix * ix) * iyy;
            double v = c + double(radius) * num / (1 + ix * ix + iy * iy);
            tmp.SetPixelIndex(x, y, ClampTrunc(v));
        }
    return ch->Transfer(tmp);
}

bool CPicture::Repair(float radius, LONG iterations, LONG colourSpace)
{
    if (!dibBlock)
        return false;
    if (!std::isfinite(radius))
        return SetError("Repair: the radius is not a number");
    CPicture c1, c2, c3;
    bool split;
    switch (colourSpace) {
    case 1:
        split = SplitHSL(&c1, &c2, &c3);
        break;
    case 2:
        split = SplitYUV(&c1, &c2, &c3);
        break;
    case 3:
        split = SplitYIQ(&c1, &c2, &c3);
        break;
    case 4:
        split = SplitXYZ(&c1, &c2, &c3);
        break;
    default:
        split = SplitRGB(&c1, &c2, &c3);
        break;
    }
    if (!split)
        return SetError("Repair: no memory for the channel pictures");
    // The smoothing steps have no stopping point of their own, so escape is
    // looked at before each channel's step. Stopped, the channels are
    // combined as they stand: the steps done are kept, as the other filters
    // keep the rows they finished, and stopping is no failure.
    CPicture* channels[3] = { &c1, &c2, &c3 };
    const int64_t steps = int64_t(std::max<LONG>(iterations, 0)) * 3;
    for (int64_t step = 0; step < steps; ++step) {
        if (PicStopBeforeRow(*this, LONG(step * 100 / steps)))
            break;
        if (!RepairChannel(channels[step % 3], radius))
            return SetError("Repair: no memory for a smoothing step");
    }
    CPicture alphaPlane;
    bool withAlpha = alpha != nullptr;
    if (withAlpha && !AlphaSplit(&alphaPlane))
        return SetError("Repair: no memory for the alpha plane");
    CPicture out;
    out.CopyInfo(*this);
    if (!out.Combine(&c1, &c2, &c3, withAlpha ? &alphaPlane : nullptr, colourSpace))
        return SetError(out.GetLastError());
    return Transfer(out);
}
