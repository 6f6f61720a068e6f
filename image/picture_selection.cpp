// The selection mask: one byte per pixel (0 or 255) in pixel storage order,
// with a bounding box in library coordinates (y grows upward).
#include "image/picture.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int64_t Clamp(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

// Widens the bounding box to take in the given edges (within the picture).
void GrowBox(RECT& box, int64_t left, int64_t right, int64_t bottom, int64_t top)
{
    if (top > box.top)
        box.top = LONG(top);
    if (left < box.left)
        box.left = LONG(left);
    if (right > box.right)
        box.right = LONG(right);
    if (bottom < box.bottom)
        box.bottom = LONG(bottom);
}

} // namespace

void CPicture::EmptySelectionBox()
{
    info.selectionBox.left = LONG(GetWidth());
    info.selectionBox.top = 0;
    info.selectionBox.right = 0;
    info.selectionBox.bottom = LONG(GetHeight());
}

bool CPicture::SelectionCreate()
{
    SelectionDelete();
    if (!dibBlock)
        return false;
    selection = static_cast<BYTE*>(std::calloc(1, PlaneSize()));
    return selection != nullptr;
}

bool CPicture::SelectionDelete()
{
    std::free(selection);
    selection = nullptr;
    EmptySelectionBox();
    return true;
}

bool CPicture::SelectionClear()
{
    if (!selection)
        return false;
    std::memset(selection, 0, PlaneSize());
    EmptySelectionBox();
    return true;
}

bool CPicture::SelectionIsInside(LONG x, LONG y) const
{
    if (!IsInside(x, y))
        return false;
    if (!selection)
        return true;
    return selection[size_t(y) * GetWidth() + x] != 0;
}

bool CPicture::SelectionAddRect(RECT r)
{
    if (!selection && !SelectionCreate())
        return false;
    int64_t w = GetWidth(), h = GetHeight();
    int64_t x0 = r.left < r.right ? r.left : r.right;
    int64_t x1 = r.left < r.right ? r.right : r.left;
    int64_t y0 = r.top < r.bottom ? r.top : r.bottom;
    int64_t y1 = r.top < r.bottom ? r.bottom : r.top;
    x0 = Clamp(x0, 0, w), x1 = Clamp(x1, 0, w);
    y0 = Clamp(y0, 0, h), y1 = Clamp(y1, 0, h);

    GrowBox(info.selectionBox, x0, x1, y0, y1);

    for (int64_t y = y0; y < y1; ++y)
        std::memset(selection + size_t(y) * size_t(w) + size_t(x0), 255, size_t(x1 - x0));
    return true;
}

bool CPicture::SelectionAddEllipse(RECT r)
{
    if (!selection && !SelectionCreate())
        return false;
    int64_t rx = (int64_t(r.right) - r.left);
    int64_t ry = (int64_t(r.top) - r.bottom);
    rx = (rx < 0 ? -rx : rx) / 2;
    ry = (ry < 0 ? -ry : ry) / 2;
    if (rx == 0 || ry == 0)
        return false;
    int64_t cx = (int64_t(r.left) + r.right) / 2;
    int64_t cy = (int64_t(r.top) + r.bottom) / 2;
    int64_t w = GetWidth(), h = GetHeight();

    int64_t top = Clamp(cy + ry, 0, h), bottom = Clamp(cy - ry, 0, h);
    int64_t left = Clamp(cx - rx, 0, w), right = Clamp(cx + rx, 0, w);
    GrowBox(info.selectionBox, left, right, bottom, top);

    // Columns and rows are clamped to the picture, so a huge ellipse costs
    // no more than the picture itself.
    int64_t yLow = Clamp(cy - ry, 0, h), yMid = Clamp(cy, 0, h), yHigh = Clamp(cy + ry, 0, h);
    for (int64_t x = left; x < right; ++x) {
        double t = double(x - cx) / double(rx);
        double hx = std::sqrt(1.0 - t * t) * double(ry);
        double lower = std::trunc(double(cy) - hx);
        double upper = std::trunc(hx + double(cy));
        for (int64_t y = yLow; y < yMid; ++y)
            if (lower < double(y))
                selection[size_t(y) * size_t(w) + size_t(x)] = 255;
        for (int64_t y = yMid; y < yHigh; ++y)
            if (upper > double(y))
                selection[size_t(y) * size_t(w) + size_t(x)] = 255;
    }
    return true;
}

bool CPicture::SelectionAddPolygon(const POINT* points, LONG count)
{
    if (!points || count < 3)
        return false;
    if (!selection && !SelectionCreate())
        return false;
    const int64_t w = GetWidth(), h = GetHeight();
    std::vector<BYTE> plane(size_t(w) * size_t(h), 0);
    auto mark = [&](int64_t x, int64_t y) {
        if (x >= 0 && x < w && y >= 0 && y < h)
            plane[size_t(y) * size_t(w) + size_t(x)] = 255;
    };

    // Each edge is stepped along x and along y, only over the part of its
    // range that lies inside the picture.
    auto edge = [&](const POINT& p, const POINT& q) {
        if (p.x != q.x) {
            double slope = double(int64_t(q.y) - p.y) / double(int64_t(q.x) - p.x);
            int64_t lo = Clamp(p.x < q.x ? p.x : q.x, 0, INT64_MAX);
            int64_t hi = Clamp(p.x < q.x ? q.x : p.x, INT64_MIN, w - 1);
            for (int64_t x = lo; x <= hi; ++x) {
                double y = std::trunc(double(x - p.x) * slope + p.y);
                if (y >= 0 && y < double(h))
                    mark(x, int64_t(y));
            }
        }
        if (p.y != q.y) {
            double inv = double(int64_t(q.x) - p.x) / double(int64_t(q.y) - p.y);
            int64_t lo = Clamp(p.y < q.y ? p.y : q.y, 0, INT64_MAX);
            int64_t hi = Clamp(p.y < q.y ? q.y : p.y, INT64_MIN, h - 1);
            for (int64_t y = lo; y <= hi; ++y) {
                double x = std::trunc(double(y - p.y) * inv + p.x);
                if (x >= 0 && x < double(w))
                    mark(int64_t(x), y);
            }
        }
    };

    int64_t minX = INT64_MAX, maxX = INT64_MIN, minY = INT64_MAX, maxY = INT64_MIN;
    LONG first = 0;
    for (LONG i = 0; i <= count; ++i) {
        bool separator = i == count || points[i].x == -1;
        if (separator) {
            // Close the figure that ended here back to its first point.
            for (LONG k = first; k + 1 < i; ++k)
                edge(points[k], points[k + 1]);
            if (i - first >= 2)
                edge(points[i - 1], points[first]);
            first = i + 1;
            continue;
        }
        minX = points[i].x < minX ? points[i].x : minX;
        maxX = points[i].x > maxX ? points[i].x : maxX;
        minY = points[i].y < minY ? points[i].y : minY;
        maxY = points[i].y > maxY ? points[i].y : maxY;
    }
    if (minX > maxX)
        return false; // only separators

    const int64_t bx0 = Clamp(minX - 1, 0, w - 1), bx1 = Clamp(maxX + 1, 0, w - 1);
    const int64_t by0 = Clamp(minY - 1, 0, h - 1), by1 = Clamp(maxY + 1, 0, h - 1);

    // Flood the outside from the work box's border with a scan-line fill; the
    // seed list grows as needed, so no seed is ever dropped.
    auto at = [&](int64_t x, int64_t y) -> BYTE& { return plane[size_t(y) * size_t(w) + size_t(x)]; };
    std::vector<std::pair<int64_t, int64_t>> seeds;
    for (int64_t x = bx0; x <= bx1; ++x) {
        seeds.emplace_back(x, by0);
        seeds.emplace_back(x, by1);
    }
    for (int64_t y = by0; y <= by1; ++y) {
        seeds.emplace_back(bx0, y);
        seeds.emplace_back(bx1, y);
    }
    while (!seeds.empty()) {
        auto [sx, sy] = seeds.back();
        seeds.pop_back();
        if (at(sx, sy) != 0)
            continue;
        int64_t l = sx, r = sx;
        while (l > bx0 && at(l - 1, sy) == 0)
            --l;
        while (r < bx1 && at(r + 1, sy) == 0)
            ++r;
        for (int64_t x = l; x <= r; ++x) {
            at(x, sy) = 1;
            if (sy > by0 && at(x, sy - 1) == 0)
                seeds.emplace_back(x, sy - 1);
            if (sy < by1 && at(x, sy + 1) == 0)
                seeds.emplace_back(x, sy + 1);
        }
    }

    for (int64_t y = by0; y <= by1; ++y)
        for (int64_t x = bx0; x <= bx1; ++x)
            if (at(x, y) != 1)
                selection[size_t(y) * size_t(w) + size_t(x)] = 255;

    GrowBox(info.selectionBox, bx0, bx1 + 1, by0, by1 + 1);
    return true;
}

bool CPicture::SelectionAddColor(RGBQUAD c)
{
    if (!selection && !SelectionCreate())
        return false;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    for (LONG y = 0; y < h; ++y) {
        for (LONG x = 0; x < w; ++x) {
            RGBQUAD p = GetPixelColor(x, y, false);
            if (p.rgbRed != c.rgbRed || p.rgbGreen != c.rgbGreen || p.rgbBlue != c.rgbBlue)
                continue;
            selection[size_t(y) * size_t(w) + size_t(x)] = 255;
            GrowBox(info.selectionBox, x, x, y, y);
        }
    }
    return true;
}

bool CPicture::SelectionAddPixel(LONG x, LONG y)
{
    if (!selection && !SelectionCreate())
        return false;
    if (!IsInside(x, y))
        return false;
    selection[size_t(y) * GetWidth() + x] = 255;
    return true;
}

bool CPicture::SelectionInvert()
{
    if (!selection)
        return false;
    size_t n = PlaneSize();
    for (size_t i = 0; i < n; ++i)
        selection[i] = BYTE(255 - selection[i]);
    return true;
}

bool CPicture::SelectionCopy(const CPicture& from)
{
    if (!from.selection || !dibBlock || from.GetWidth() != GetWidth() || from.GetHeight() != GetHeight())
        return false;
    if (!selection) {
        selection = static_cast<BYTE*>(std::malloc(PlaneSize()));
        if (!selection)
            return false;
    }
    std::memcpy(selection, from.selection, PlaneSize());
    info.selectionBox = from.info.selectionBox;
    return true;
}

bool CPicture::SelectionSplit(CPicture* dest) const
{
    if (!selection || !dest)
        return false;
    CPicture plane;
    if (!plane.Create(GetWidth(), GetHeight(), 8, 0))
        return false;
    plane.SetGrayPalette();
    size_t w = GetWidth();
    for (DWORD y = 0; y < GetHeight(); ++y)
        std::memcpy(plane.GetBits(y), selection + y * w, w);
    return dest->Transfer(plane);
}
