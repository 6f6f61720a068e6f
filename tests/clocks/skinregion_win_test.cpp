#include "clocks/skindata.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(SkinRegionWin, RectanglesBecomeTheRegion)
{
    RegionBlock region;
    region.rects = {{0, 0, 10, 2}, {4, 2, 6, 20}, {-50, -50, 500, 500}};
    ClipRegionBlock(region, 8, 30);
    HRGN hRgn = CreateSkinRegion(region);
    ASSERT_NE(hRgn, nullptr);
    EXPECT_TRUE(PtInRegion(hRgn, 7, 29));
    EXPECT_FALSE(PtInRegion(hRgn, 8, 0));
    EXPECT_FALSE(PtInRegion(hRgn, 0, 30));
    RECT rcBox;
    EXPECT_EQ(GetRgnBox(hRgn, &rcBox), SIMPLEREGION);
    EXPECT_EQ(rcBox.right, 8);
    EXPECT_EQ(rcBox.bottom, 30);
    DeleteObject(hRgn);

    RegionBlock empty;
    hRgn = CreateSkinRegion(empty);
    ASSERT_NE(hRgn, nullptr);
    EXPECT_EQ(GetRgnBox(hRgn, &rcBox), NULLREGION);
    DeleteObject(hRgn);
}

} // namespace
