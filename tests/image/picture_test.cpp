// Creation, size gates, copying and hand-over of pictures, and the float
// geometry classes.
#include "image/picgeom.h"
#include "image/picture.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

// Reaches the protected side the codecs use.
class ExposedPicture : public CPicture {
public:
    using CPicture::CopyInfo;
    using CPicture::Ghost;
    using CPicture::info;
};

TEST(PictureCreate, NormalisesDepthAndLaysOutRows)
{
    const DWORD asked[] = { 0, 1, 2, 3, 4, 5, 8, 9, 16, 24, 32 };
    const WORD got[] = { 1, 1, 4, 4, 4, 8, 8, 24, 24, 24, 24 };
    for (size_t i = 0; i < sizeof(asked) / sizeof(asked[0]); ++i) {
        CPicture pic(3, 2, asked[i]);
        ASSERT_TRUE(pic.IsValid());
        EXPECT_EQ(pic.GetBpp(), got[i]) << asked[i];
        EXPECT_EQ(pic.GetNumColors(), got[i] == 24 ? 0u : (1u << got[i]));
    }
    for (DWORD bpp : { 1u, 4u, 8u, 24u }) {
        for (DWORD w = 1; w <= 70; ++w) {
            CPicture pic(w, 3, bpp);
            ASSERT_EQ(pic.GetEffWidth(), (w * bpp + 31) / 32 * 4) << w << "x" << bpp;
            ASSERT_EQ(pic.GetSize(), 40 + pic.GetNumColors() * 4 + pic.GetEffWidth() * 3);
            ASSERT_EQ(pic.GetBits(0), pic.GetDIB() + 40 + pic.GetNumColors() * 4);
            ASSERT_EQ(pic.GetBits(2), pic.GetBits(0) + 2 * pic.GetEffWidth());
            ASSERT_EQ(pic.GetBits(3), nullptr);
            // Pixels and palette start out zero.
            const BYTE* block = pic.GetDIB();
            for (DWORD k = 40; k < pic.GetSize(); ++k)
                ASSERT_EQ(block[k], 0) << k;
            BITMAPINFOHEADER h;
            std::memcpy(&h, block, sizeof(h));
            EXPECT_EQ(h.biWidth, LONG(w));
            EXPECT_EQ(h.biSizeImage, pic.GetEffWidth() * 3);
        }
    }
}

TEST(PictureCreate, RefusesZeroSizesAfterDestroyingTheOldPicture)
{
    CPicture pic(5, 5, 8);
    ASSERT_TRUE(pic.IsValid());
    EXPECT_EQ(pic.Create(100, 0, 8, 0), nullptr);
    EXPECT_STREQ(pic.GetLastError(), "CPicture::Create : width and height must be greater than zero");
    EXPECT_FALSE(pic.IsValid());
    EXPECT_EQ(pic.GetBits(0), nullptr);
    EXPECT_EQ(pic.GetWidth(), 0u);
}

TEST(PictureCreate, RefusesBlocksAndPlanesPastTwoGigabytes)
{
    struct Case {
        DWORD w, h, bpp;
    } refused[] = {
        { 60000, 60000, 24 }, // the memory rule
        { 30000, 24000, 24 }, // block of 2.16e9 bytes
        { 46341, 46341, 8 }, // width x height past 2^31 - 1
        { 65536, 32768, 1 }, // a 268 MB block, but a 2^31-byte alpha plane
        { 0xFFFFFFFFu, 1, 1 }, // would wrap in 32 bits
        { 1, 0x80000000u, 1 },
    };
    for (const Case& c : refused) {
        CPicture pic(2, 2, 8);
        EXPECT_EQ(pic.Create(c.w, c.h, c.bpp, 0), nullptr) << c.w << "x" << c.h;
        EXPECT_STREQ(pic.GetLastError(), "CPICTURE_MAX_MEMORY exceeded");
        EXPECT_FALSE(pic.IsValid());
        EXPECT_EQ(pic.GetEffWidth(), 0u);
    }
}

TEST(PictureCreate, DecoderPixelLimitDefaultsAndResets)
{
    CPicture pic;
    EXPECT_EQ(pic.GetMaxDecodePixels(), 100000000u);
    pic.SetMaxDecodePixels(5000);
    EXPECT_EQ(pic.GetMaxDecodePixels(), 5000u);
    pic.SetMaxDecodePixels(0);
    EXPECT_EQ(pic.GetMaxDecodePixels(), 100000000u);
    // Not a limit for pictures made by hand.
    pic.SetMaxDecodePixels(10);
    EXPECT_NE(pic.Create(20, 20, 8, 0), nullptr);
}

TEST(PictureCreate, ClearFillsWholeIndices)
{
    CPicture one(9, 2, 1);
    one.Clear(7);
    for (DWORD i = 0; i < one.GetEffWidth() * 2; ++i)
        ASSERT_EQ(one.GetBits(0)[i], 255);
    CPicture four(3, 2, 4);
    four.Clear(0x13);
    EXPECT_EQ(four.GetBits(0)[0], 0x33);
    EXPECT_EQ(four.GetPixelIndex(2, 1), 3);
}

TEST(PictureCopy, CopiesPixelsPlanesAndInfoButNotBuffers)
{
    CPicture src(7, 5, 24);
    FillRandom(src, 3);
    src.AlphaCreate();
    src.AlphaSet(2, 3, 40);
    src.SelectionAddPixel(1, 1);
    src.SetXDPI(300);
    src.SetTransIndex(4);

    CPicture all(src);
    EXPECT_TRUE(SamePixels(src, all));
    EXPECT_NE(all.GetBits(0), src.GetBits(0));
    EXPECT_EQ(all.AlphaGet(2, 3), 40);
    EXPECT_TRUE(all.SelectionIsInside(1, 1));
    EXPECT_FALSE(all.SelectionIsInside(2, 1));
    EXPECT_EQ(all.GetXDPI(), 300);
    EXPECT_EQ(all.GetTransIndex(), 4);

    CPicture bare(src, true, false, false);
    EXPECT_FALSE(bare.AlphaIsValid());
    EXPECT_FALSE(bare.SelectionIsValid());
    EXPECT_EQ(bare.GetColorType(), 2u);
    EXPECT_EQ(all.GetColorType(), 4u);

    // The copy reads its own block after the source is gone.
    src.Destroy();
    EXPECT_TRUE(all.IsValid());
    EXPECT_EQ(all.GetPixelColor(6, 4, false).rgbRed, bare.GetPixelColor(6, 4, false).rgbRed);
}

TEST(PictureCopy, CopyOfAnEmptyPictureIsEmpty)
{
    CPicture empty;
    CPicture pic(4, 4, 8);
    pic = empty;
    EXPECT_FALSE(pic.IsValid());
    EXPECT_EQ(pic.GetBits(0), nullptr);
}

TEST(PictureTransfer, MovesBuffersAndEmptiesTheSource)
{
    CPicture from(6, 4, 8);
    FillRandom(from, 9);
    from.AlphaCreate();
    CPicture expected(from);
    BYTE* block = from.GetDIB();

    CPicture to(2, 2, 24);
    ASSERT_TRUE(to.Transfer(from));
    EXPECT_EQ(to.GetDIB(), block);
    EXPECT_EQ(to.GetBits(0), block + 40 + 256 * 4);
    EXPECT_TRUE(SamePixels(to, expected));
    EXPECT_TRUE(to.AlphaIsValid());
    EXPECT_FALSE(from.IsValid());
    EXPECT_FALSE(from.AlphaIsValid());
    EXPECT_EQ(from.GetTransIndex(), 0);
    EXPECT_EQ(from.GetBits(0), nullptr);
}

TEST(PictureGhost, SharesBuffersAndCannotBeRecreated)
{
    CPicture src(4, 3, 8);
    FillRandom(src, 1);
    {
        ExposedPicture ghost;
        ghost.Ghost(&src);
        EXPECT_EQ(ghost.GetDIB(), src.GetDIB());
        EXPECT_EQ(ghost.GetPixelIndex(3, 2), src.GetPixelIndex(3, 2));
        EXPECT_FALSE(ghost.Destroy());
        EXPECT_EQ(ghost.Create(2, 2, 8, 0), nullptr);
        CPicture thief;
        EXPECT_FALSE(thief.Transfer(ghost)); // the buffers are src's
        EXPECT_FALSE(thief.IsValid());
    }
    EXPECT_TRUE(src.IsValid()); // the ghost freed nothing

    // Information copied from a ghost never carries its link or pointers.
    ExposedPicture ghost;
    ghost.Ghost(&src);
    ExposedPicture plain;
    plain.CopyInfo(ghost);
    EXPECT_EQ(plain.info.ghostOf, nullptr);
    EXPECT_EQ(plain.info.bits, nullptr);
    EXPECT_TRUE(plain.Destroy());
}

TEST(PictureInfo, AccessorsKeepTheirRules)
{
    CPicture pic(2, 2, 8, PIC_FORMAT_BMP);
    pic.SetXDPI(0);
    EXPECT_EQ(pic.GetXDPI(), 96);
    pic.SetXDPI(300);
    pic.SetYDPI(-4);
    EXPECT_EQ(pic.GetYDPI(), 96);
    pic.SetYDPI(INT32_MAX); // pels per metre saturate instead of overflowing
    EXPECT_EQ(pic.GetYDPI(), INT32_MAX);
    CPicture copy(pic);
    BITMAPINFOHEADER h;
    std::memcpy(&h, copy.GetDIB(), sizeof(h));
    EXPECT_EQ(h.biXPelsPerMeter, 11811);

    EXPECT_EQ(pic.GetCodecOption(16), 0u);
    EXPECT_FALSE(pic.SetCodecOption(5, 16));
    EXPECT_TRUE(pic.SetCodecOption(7));
    EXPECT_EQ(pic.GetCodecOption(PIC_FORMAT_BMP), 7u);
    EXPECT_EQ(pic.GetCodecOption(PIC_FORMAT_PNG), 0u);

    pic.SetTransColor(Rgb(1, 2, 3, 4));
    EXPECT_EQ(pic.GetTransColor().rgbReserved, 0) << "stored without its reserved byte";
    pic.SetPaletteColor(9, 50, 60, 70);
    pic.SetTransIndex(9);
    EXPECT_EQ(pic.GetTransColor().rgbRed, 50);

}

TEST(PictureCreateFrom, ArrayAndMatrixRows)
{
    // Two rows of 2 BGRA pixels; with flipImage the first row lands on top.
    const BYTE rows[2][8] = { { 1, 2, 3, 10, 4, 5, 6, 20 }, { 7, 8, 9, 30, 11, 12, 13, 40 } };
    CPicture pic;
    ASSERT_TRUE(pic.CreateFromArray(&rows[0][0], 2, 2, 32, 8, true));
    EXPECT_EQ(pic.GetBpp(), 24);
    EXPECT_EQ(pic.GetPixelColor(0, 1, false).rgbBlue, 1);
    EXPECT_EQ(pic.AlphaGet(1, 1), 20);
    EXPECT_EQ(pic.AlphaGet(0, 0), 30);
    EXPECT_FALSE(pic.CreateFromArray(&rows[0][0], 2, 2, 32, 7, false)) << "rows shorter than their pixels";
    EXPECT_FALSE(pic.CreateFromArray(&rows[0][0], 2, 2, 16, 8, false));

    const BYTE gray0[4] = { 0, 50, 100, 150 };
    const BYTE* matrix[3] = { gray0, nullptr, gray0 };
    ASSERT_TRUE(pic.CreateFromMatrix(matrix, 4, 3, 8, 4, false));
    EXPECT_TRUE(pic.IsGrayScale());
    EXPECT_EQ(pic.GetPixelIndex(3, 0), 150);
    EXPECT_EQ(pic.GetPixelIndex(3, 1), 0); // skipped row stays zero
    EXPECT_EQ(pic.GetPixelIndex(1, 2), 50);
}

TEST(FloatGeometry, CrossSectionSurfaceAndDistance)
{
    CPicRect2 cut = CPicRect2(0, 0, 2, 2).CrossSection(CPicRect2(1, 1, 3, 3));
    EXPECT_FLOAT_EQ(cut.lowCorner.x, 1);
    EXPECT_FLOAT_EQ(cut.highCorner.y, 2);
    EXPECT_FLOAT_EQ(cut.Surface(), 1);

    CPicRect2 edge = CPicRect2(0, 0, 1, 1).CrossSection(CPicRect2(1, 0, 2, 1));
    EXPECT_FLOAT_EQ(edge.lowCorner.x, 1);
    EXPECT_FLOAT_EQ(edge.highCorner.x, 1);
    EXPECT_FLOAT_EQ(edge.Height(), 1);
    EXPECT_FLOAT_EQ(edge.Surface(), 0);

    CPicRect2 none = CPicRect2(0, 0, 1, 1).CrossSection(CPicRect2(5, 5, 6, 6));
    EXPECT_FLOAT_EQ(none.Width(), 0);
    EXPECT_FLOAT_EQ(none.highCorner.x, 0);

    EXPECT_FLOAT_EQ(CPicPoint2(3, 4).Distance(0, 0), 5);
    EXPECT_FLOAT_EQ(CPicPoint2(3, 4).Distance(CPicPoint2(0, 0)), 5);
    CPicPoint2 c = CPicRect2(1, 2, 3, 6).Center();
    EXPECT_FLOAT_EQ(c.x, 2);
    EXPECT_FLOAT_EQ(c.y, 4);
    EXPECT_FLOAT_EQ(CPicRect2(2, 2, 1, 0).Surface(), 2) << "unordered corners are kept as given";
}

} // namespace
