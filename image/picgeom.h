// Float point and rectangle for sub-pixel geometry (rotation, area sampling).
#pragma once

#include "image/image_api.h"

class VELTRAN_IMAGE_API CPicPoint2 {
public:
    CPicPoint2();
    CPicPoint2(float x, float y);
    CPicPoint2(const CPicPoint2& p);
    CPicPoint2& operator=(const CPicPoint2& p);

    float Distance(float x, float y) const;
    float Distance(CPicPoint2 p) const;

    float x;
    float y;
};

class VELTRAN_IMAGE_API CPicRect2 {
public:
    CPicRect2();
    CPicRect2(float x1, float y1, float x2, float y2);
    CPicRect2(const CPicRect2& r);
    CPicRect2& operator=(const CPicRect2& r);

    float Width() const;
    float Height() const;
    float Surface() const;
    CPicPoint2 Center() const;
    CPicRect2 CrossSection(const CPicRect2& r2) const;

    CPicPoint2 lowCorner;
    CPicPoint2 highCorner;
};
