// The members that exchange pictures with Windows: selection to region and
// decoding from resources (Windows build only).
#include "image/picture.h"
#include "image/picture_codecs.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(SelectionRegion, OneRectanglePerRunInStorageRows)
{
    CPicture pic(8, 4, 24);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(region, nullptr);
    EXPECT_FALSE(pic.SelectionToHRGN(region)) << "no mask";
    ASSERT_TRUE(pic.SelectionAddPixel(3, 0));
    ASSERT_TRUE(pic.SelectionToHRGN(region));
    RECT box;
    ASSERT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 3);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 4);
    EXPECT_EQ(box.bottom, 1);

    RECT r = { 5, 4, 8, 2 };
    ASSERT_TRUE(pic.SelectionAddRect(r));
    ASSERT_TRUE(pic.SelectionToHRGN(region));
    EXPECT_TRUE(PtInRegion(region, 7, 3));
    EXPECT_TRUE(PtInRegion(region, 5, 2));
    EXPECT_FALSE(PtInRegion(region, 4, 2));
    EXPECT_FALSE(PtInRegion(region, 5, 1));
    DeleteObject(region);

    HRGN none = nullptr;
    EXPECT_FALSE(pic.SelectionToHRGN(none));
}

TEST(Resource, DecodesAPictureFromTheModule)
{
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(1), "JPG");
    ASSERT_NE(res, nullptr);
    CPicture pic;
    ASSERT_TRUE(pic.LoadResource(res, PIC_FORMAT_BMP, nullptr)) << pic.GetLastError();
    EXPECT_EQ(pic.GetWidth(), 2u);
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(0, 0), Rgb(0, 0, 255)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(1, 1), Rgb(255, 255, 255)));

    CPicture probed;
    ASSERT_TRUE(probed.LoadResource(res, 0, nullptr));
    EXPECT_TRUE(SamePixels(pic, probed));
    // Typed as JPEG: the bitmap is refused with that codec's text, or the
    // dispatcher's when no JPEG codec is built.
    CPicture asJpeg;
    EXPECT_FALSE(asJpeg.LoadResource(res, PIC_FORMAT_JPG, nullptr));
    if (PicFindCodec(PIC_FORMAT_JPG)) {
        EXPECT_STRNE(asJpeg.GetLastError(), "Decode: Unknown or wrong format");
    } else {
        EXPECT_STREQ(asJpeg.GetLastError(), "Decode: Unknown or wrong format");
    }
    EXPECT_FALSE(asJpeg.IsValid());
}

} // namespace
