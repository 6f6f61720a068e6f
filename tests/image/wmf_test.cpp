// Metafile codec under GDI: enhanced and placeable metafiles recorded here
// render as drawn; header checks, empty and inside-out boxes, shrinking.
#include "image/picture.h"
#include "image/picture_wmf_win.h"
#include "raster_test_util.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// An enhanced metafile of w x h pixels: red left half, blue right half.
std::vector<BYTE> RecordEnhanced(int w, int h)
{
    HDC ref = GetDC(nullptr);
    int mmX = GetDeviceCaps(ref, HORZSIZE), mmY = GetDeviceCaps(ref, VERTSIZE);
    int pxX = GetDeviceCaps(ref, HORZRES), pxY = GetDeviceCaps(ref, VERTRES);
    RECT frame = { 0, 0, w * mmX * 100 / pxX, h * mmY * 100 / pxY };
    HDC dc = CreateEnhMetaFileA(ref, nullptr, &frame, nullptr);
    ReleaseDC(nullptr, ref);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT left = { 0, 0, w / 2, h }, right = { w / 2, 0, w, h };
    FillRect(dc, &left, red);
    FillRect(dc, &right, blue);
    DeleteObject(red);
    DeleteObject(blue);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    std::vector<BYTE> bytes(GetEnhMetaFileBits(emf, 0, nullptr));
    GetEnhMetaFileBits(emf, UINT(bytes.size()), bytes.data());
    DeleteEnhMetaFile(emf);
    return bytes;
}

// A placeable metafile: box in units of 1/inch inch, a green rectangle over it all.
std::vector<BYTE> RecordPlaceable(short right, short bottom, WORD inch, short left = 0, short top = 0)
{
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowExtEx(dc, right - left, bottom - top, nullptr);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    HGDIOBJ old = SelectObject(dc, green);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Rectangle(dc, 0, 0, right - left + 1, bottom - top + 1);
    SelectObject(dc, old);
    DeleteObject(green);
    HMETAFILE mf = CloseMetaFile(dc);
    std::vector<BYTE> bits(GetMetaFileBitsEx(mf, 0, nullptr));
    GetMetaFileBitsEx(mf, UINT(bits.size()), bits.data());
    DeleteMetaFile(mf);

    CPlaceableMetaHeader h = {};
    h.key = 0x9AC6CDD7u;
    h.left = left;
    h.top = top;
    h.right = right;
    h.bottom = bottom;
    h.inch = inch;
    const WORD* words = reinterpret_cast<const WORD*>(&h);
    for (int i = 0; i < 10; ++i)
        h.checksum = WORD(h.checksum ^ words[i]);
    // Sized once: growing a vector of the 22 header bytes sets off a false GCC overread warning.
    std::vector<BYTE> out(22 + bits.size());
    std::memcpy(out.data(), &h, 22);
    std::copy(bits.begin(), bits.end(), out.begin() + 22);
    return out;
}

int ScreenPpi(int index)
{
    HDC dc = GetDC(nullptr);
    int v = GetDeviceCaps(dc, index);
    ReleaseDC(nullptr, dc);
    return v;
}

TEST(Metafile, EnhancedRendersAsRecorded)
{
    std::vector<BYTE> emf = RecordEnhanced(80, 40);
    const ENHMETAHEADER* eh = reinterpret_cast<const ENHMETAHEADER*>(emf.data());
    LONG w = eh->rclBounds.right - eh->rclBounds.left, h = eh->rclBounds.bottom - eh->rclBounds.top;
    ASSERT_GT(w, 0);
    CPicture pic;
    ASSERT_TRUE(DecodeVector(pic, emf, PIC_FORMAT_WMF)) << pic.GetLastError();
    EXPECT_EQ(pic.GetType(), DWORD(PIC_FORMAT_WMF));
    EXPECT_EQ(LONG(pic.GetWidth()), w);
    EXPECT_EQ(LONG(pic.GetHeight()), h);
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(w / 4, h / 2), Rgb(255, 0, 0)));
    EXPECT_TRUE(SameRgb(pic.GetPixelColor(3 * w / 4, h / 2), Rgb(0, 0, 255)));

    CPicture probed;
    ASSERT_TRUE(DecodeVector(probed, emf, 0));
    EXPECT_EQ(probed.GetType(), DWORD(PIC_FORMAT_WMF));

    CPictureWMF forced;
    CPicMemFile file(emf.data(), DWORD(emf.size()));
    ASSERT_TRUE(forced.Decode(&file, 30, 12));
    EXPECT_EQ(forced.GetWidth(), 30u);
    EXPECT_EQ(forced.GetHeight(), 12u);
    EXPECT_TRUE(SameRgb(forced.GetPixelColor(25, 6), Rgb(0, 0, 255)));
}

TEST(Metafile, PlaceableHeaderChecksAndScaling)
{
    int ppiX = ScreenPpi(LOGPIXELSX), ppiY = ScreenPpi(LOGPIXELSY);
    for (WORD inch : { WORD(1), WORD(2540) }) {
        short right = inch == 1 ? 1 : 2540, bottom = inch == 1 ? 1 : 1270;
        std::vector<BYTE> wmf = RecordPlaceable(right, bottom, inch);
        CPicture pic;
        ASSERT_TRUE(DecodeVector(pic, wmf, PIC_FORMAT_WMF)) << inch << ": " << pic.GetLastError();
        EXPECT_EQ(LONG(pic.GetWidth()), LONG(right) * ppiX / inch);
        EXPECT_EQ(LONG(pic.GetHeight()), LONG(bottom) * ppiY / inch);
        EXPECT_TRUE(
            SameRgb(pic.GetPixelColor(LONG(pic.GetWidth()) / 2, LONG(pic.GetHeight()) / 2), Rgb(0, 255, 0)));
    }
    for (WORD inch : { WORD(0), WORD(2541) }) {
        CPicture pic;
        EXPECT_FALSE(DecodeVector(pic, RecordPlaceable(100, 100, inch), PIC_FORMAT_WMF));
        EXPECT_STREQ(pic.GetLastError(), "corrupted WMF");
    }
    std::vector<BYTE> off = RecordPlaceable(100, 100, 96);
    off[20] = BYTE(off[20] + 1);
    CPicture pic;
    EXPECT_FALSE(DecodeVector(pic, off, PIC_FORMAT_WMF));
    EXPECT_STREQ(pic.GetLastError(), "corrupted WMF");

    // Inside out or empty boxes are refused, not scaled for ever.
    for (short right : { short(0), short(-50) }) {
        EXPECT_FALSE(DecodeVector(pic, RecordPlaceable(right, 100, 96), PIC_FORMAT_WMF));
        EXPECT_STREQ(pic.GetLastError(), "empty WMF");
    }

    // Shrinking keeps the shape: 8000 x 2000 pixels become 4000 x 1000.
    std::vector<BYTE> big = RecordPlaceable(short(8000 * 96 / ppiX), short(2000 * 96 / ppiY), 96);
    ASSERT_TRUE(DecodeVector(pic, big, PIC_FORMAT_WMF)) << pic.GetLastError();
    EXPECT_EQ(pic.GetWidth(), 4000u);
    EXPECT_EQ(pic.GetHeight(), 1000u);
}

TEST(Metafile, EmptyAndUnwritable)
{
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    HENHMETAFILE emf = CloseEnhMetaFile(dc);
    std::vector<BYTE> bytes(GetEnhMetaFileBits(emf, 0, nullptr));
    GetEnhMetaFileBits(emf, UINT(bytes.size()), bytes.data());
    DeleteEnhMetaFile(emf);
    CPicture pic;
    EXPECT_FALSE(DecodeVector(pic, bytes, PIC_FORMAT_WMF));
    EXPECT_STREQ(pic.GetLastError(), "empty WMF");

    EXPECT_FALSE(DecodeVector(pic, std::vector<BYTE>(200, 0x55), PIC_FORMAT_WMF));
    EXPECT_STREQ(pic.GetLastError(), "corrupted WMF");

    CPicture some(4, 4, 24);
    EXPECT_TRUE(EncodeToBytes(some, PIC_FORMAT_WMF).empty());
    EXPECT_STREQ(some.GetLastError(), "Save WMF not supported");
}

} // namespace
