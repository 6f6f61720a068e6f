#include "image/picgeom.h"

#include <cmath>

CPicPoint2::CPicPoint2()
    : x(0)
    , y(0)
{
}

CPicPoint2::CPicPoint2(float x, float y)
    : x(x)
    , y(y)
{
}

CPicPoint2::CPicPoint2(const CPicPoint2& p) = default;

CPicPoint2& CPicPoint2::operator=(const CPicPoint2& p) = default;

float CPicPoint2::Distance(float px, float py) const
{
    double dx = double(x) - px, dy = double(y) - py;
    return float(std::sqrt(dx * dx + dy * dy));
}

float CPicPoint2::Distance(CPicPoint2 p) const { return Distance(p.x, p.y); }

CPicRect2::CPicRect2() = default;

CPicRect2::CPicRect2(float x1, float y1, float x2, float y2)
    : lowCorner(x1, y1)
    , highCorner(x2, y2)
{
}

CPicRect2::CPicRect2(const CPicRect2& r) = default;

CPicRect2& CPicRect2::operator=(const CPicRect2& r) = default;

float CPicRect2::Width() const { return highCorner.x - lowCorner.x; }

float CPicRect2::Height() const { return highCorner.y - lowCorner.y; }

float CPicRect2::Surface() const { return Height() * Width(); }

CPicPoint2 CPicRect2::Center() const
{
    return CPicPoint2((lowCorner.x + highCorner.x) * 0.5f, (lowCorner.y + highCorner.y) * 0.5f);
}

CPicRect2 CPicRect2::CrossSection(const CPicRect2& r2) const
{
    CPicRect2 cut(std::fmax(lowCorner.x, r2.lowCorner.x), std::fmax(lowCorner.y, r2.lowCorner.y),
        std::fmin(highCorner.x, r2.highCorner.x), std::fmin(highCorner.y, r2.highCorner.y));
    if (cut.lowCorner.x <= cut.highCorner.x && cut.lowCorner.y <= cut.highCorner.y)
        return cut;
    return CPicRect2();
}
