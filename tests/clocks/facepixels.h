// What the clock face tests compare pictures by: pixels addressed from the
// top, colours alike, the count of pixels that differ, and the effects of the
// light and contrast settings as the library's Light makes them.
#pragma once

#include "image/picture.h"

#include <gtest/gtest.h>

inline bool Same(RGBQUAD a, RGBQUAD b)
{
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}

// Pixels addressed from the top, as regions address them.
inline RGBQUAD At(const CPicture& p, LONG x, LONG y)
{
    return p.GetPixelColor(x, static_cast<LONG>(p.GetHeight()) - 1 - y, false);
}

// Pixels whose colour differs; -1 for pictures of different sizes.
inline int CountDifferences(const CPicture& a, const CPicture& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return -1;
    int n = 0;
    for (LONG y = 0; y < static_cast<LONG>(a.GetHeight()); y++) {
        for (LONG x = 0; x < static_cast<LONG>(a.GetWidth()); x++)
            n += Same(At(a, x, y), At(b, x, y)) ? 0 : 1;
    }
    return n;
}

// Light and contrast settings, each alone and both at their largest.
struct CLightCase {
    int nLight, nContrast;
};
const CLightCase g_lightCases[] = {{0, 4}, {3, 0}, {10, 10}};

// lit is plain as the library's Light makes it at ten times the settings, and
// so differs from plain.
inline void ExpectLitAsTheLibraryLightsIt(const CPicture& plain, const CPicture& lit, const CLightCase& c,
                                          const char* pszWhat)
{
    CPicture expected(plain);
    ASSERT_TRUE(expected.Light(c.nLight * 10, c.nContrast * 10)) << pszWhat;
    EXPECT_GT(CountDifferences(lit, plain), 0) << pszWhat << " " << c.nLight << "/" << c.nContrast;
    EXPECT_EQ(CountDifferences(lit, expected), 0) << pszWhat << " " << c.nLight << "/" << c.nContrast;
}
