// Pictures through GDI under Wine: bitmaps and global blocks both ways, and
// drawing into a memory context whose pixels are read back.
#include "image/picture.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

namespace {

// A 24-bit memory surface: a DIB section selected into a memory context.
class Surface {
public:
    Surface(LONG w, LONG h, COLORREF fill)
        : m_w(w)
        , m_h(h)
    {
        BITMAPINFO bi;
        std::memset(&bi, 0, sizeof(bi));
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h; // top-down, so row r is screen row r
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 24;
        m_dc = CreateCompatibleDC(nullptr);
        m_bmp = CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = SelectObject(m_dc, m_bmp);
        Fill(fill);
    }
    ~Surface()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bmp);
        DeleteDC(m_dc);
    }
    void Fill(COLORREF c)
    {
        HBRUSH b = CreateSolidBrush(c);
        RECT r = { 0, 0, m_w, m_h };
        FillRect(m_dc, &r, b);
        DeleteObject(b);
        GdiFlush();
    }
    HDC dc() const { return m_dc; }
    COLORREF At(LONG x, LONG y) const
    {
        GdiFlush();
        const BYTE* p = m_bits + size_t(y) * ((m_w * 3 + 3) & ~3) + size_t(x) * 3;
        return RGB(p[2], p[1], p[0]);
    }

private:
    LONG m_w, m_h;
    HDC m_dc;
    HBITMAP m_bmp;
    HGDIOBJ m_old;
    BYTE* m_bits = nullptr;
};

COLORREF Ref(RGBQUAD q) { return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }

// A picture whose rows are top-down on screen: (x, y) on screen is pixel (x, h - 1 - y).
RGBQUAD ScreenPixel(const CPicture& pic, LONG x, LONG y)
{
    return pic.GetPixelColor(x, LONG(pic.GetHeight()) - 1 - y, false);
}

// An 8-bit picture whose index 0 (the key) forms a checkerboard.
CPicture KeyedPicture(LONG w, LONG h)
{
    CPicture pic(w, h, 8);
    for (int i = 0; i < 256; ++i)
        pic.SetPaletteColor(BYTE(i), BYTE(i), BYTE(255 - i), BYTE(i / 2));
    pic.SetPaletteColor(BYTE(0), BYTE(0), BYTE(0), BYTE(255));
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            pic.SetPixelIndex(x, y, BYTE(((x + y) & 1) ? 0 : 10 + x));
    pic.SetTransIndex(0);
    return pic;
}

} // namespace

TEST(GdiBitmaps, MakeBitmapThenCreateFromHBITMAPAtEveryDepth)
{
    for (DWORD bpp : { 1u, 4u, 8u, 24u }) {
        SCOPED_TRACE(bpp);
        CPicture pic(29, 17, bpp);
        FillRandom(pic, bpp);
        HBITMAP bmp = pic.MakeBitmap();
        ASSERT_NE(bmp, nullptr);
        if (bpp <= 8) {
            // The section keeps the picture's palette.
            HDC mem = CreateCompatibleDC(nullptr);
            HGDIOBJ old = SelectObject(mem, bmp);
            RGBQUAD table[256];
            UINT n = GetDIBColorTable(mem, 0, 256, table);
            SelectObject(mem, old);
            DeleteDC(mem);
            ASSERT_EQ(n, pic.GetNumColors());
            for (UINT i = 0; i < n; ++i)
                EXPECT_TRUE(SameRgb(table[i], pic.GetPaletteColor(BYTE(i))));
        }
        CPicture back;
        ASSERT_TRUE(back.CreateFromHBITMAP(bmp));
        DeleteObject(bmp);
        EXPECT_TRUE(SamePixels(back, pic));
    }
}

TEST(GdiBitmaps, DeviceBitmapAndThirtyTwoBitSectionsComeBackAsTrueColour)
{
    CPicture pic(20, 10, 24);
    FillRandom(pic, 5);
    HDC screen = GetDC(nullptr);
    HBITMAP ddb = pic.MakeBitmap(screen);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(ddb, nullptr);
    CPicture back;
    ASSERT_TRUE(back.CreateFromHBITMAP(ddb));
    DeleteObject(ddb);
    EXPECT_EQ(back.GetBpp(), 24);
    EXPECT_TRUE(SamePixels(back, pic));

    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof(bi));
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 4;
    bi.bmiHeader.biHeight = 3;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP s32 = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(s32, nullptr);
    static_cast<BYTE*>(bits)[0] = 200; // blue of pixel (0, 0)
    ASSERT_TRUE(back.CreateFromHBITMAP(s32));
    DeleteObject(s32);
    EXPECT_EQ(back.GetBpp(), 24);
    EXPECT_EQ(back.GetPixelColor(0, 0).rgbBlue, 200);
    EXPECT_FALSE(back.CreateFromHBITMAP(nullptr));
    EXPECT_FALSE(back.IsValid());
}

TEST(GdiBitmaps, GlobalHandleRoundTrip)
{
    for (DWORD bpp : { 1u, 4u, 8u, 24u }) {
        CPicture pic(31, 9, bpp);
        FillRandom(pic, bpp + 3);
        HANDLE h = pic.CopyToHandle();
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(GlobalSize(h), SIZE_T(pic.GetSize()));
        CPicture back;
        ASSERT_TRUE(back.CreateFromHANDLE(h));
        GlobalFree(h);
        EXPECT_TRUE(SamePixels(back, pic)) << bpp;
    }
    CPicture empty;
    EXPECT_EQ(empty.CopyToHandle(), nullptr);
    EXPECT_FALSE(empty.CreateFromHANDLE(nullptr));
}

TEST(Draw2, KeyColourLeavesTheBackgroundPlainAndStretched)
{
    CPicture pic = KeyedPicture(8, 6);
    Surface s(40, 30, RGB(255, 0, 0));
    ASSERT_EQ(pic.Draw2(s.dc(), 2, 3), 1);
    for (LONG y = 0; y < 6; ++y)
        for (LONG x = 0; x < 8; ++x) {
            COLORREF expect = ((x + (5 - y)) & 1) ? RGB(255, 0, 0) : Ref(ScreenPixel(pic, x, y));
            ASSERT_EQ(s.At(2 + x, 3 + y), expect) << x << "," << y;
        }
    EXPECT_EQ(s.At(1, 3), RGB(255, 0, 0));
    EXPECT_EQ(s.At(10, 3), RGB(255, 0, 0));

    s.Fill(RGB(0, 0, 255));
    ASSERT_EQ(pic.Draw2(s.dc(), 0, 0, 16, 12), 1);
    for (LONG y = 0; y < 12; ++y)
        for (LONG x = 0; x < 16; ++x) {
            COLORREF expect = ((x / 2 + (5 - y / 2)) & 1) ? RGB(0, 0, 255) : Ref(ScreenPixel(pic, x / 2, y / 2));
            ASSERT_EQ(s.At(x, y), expect) << x << "," << y;
        }
}

TEST(Draw2, KeysOnTheColourNotTheIndex)
{
    CPicture pic = KeyedPicture(4, 4);
    pic.SetPaletteColor(BYTE(12), pic.GetPaletteColor(0)); // same colour as the key
    Surface s(10, 10, RGB(0, 255, 0));
    ASSERT_EQ(pic.Draw2(s.dc(), 0, 0), 1);
    // Column 2 of the bottom row uses index 12 (10 + x).
    EXPECT_EQ(s.At(2, 3), RGB(0, 255, 0));
}

TEST(Draw2, ThroughAClippingRegionAndTheContextComesBackUnchanged)
{
    CPicture pic(20, 20, 24);
    FillRandom(pic, 6);
    pic.SetTransIndex(0);
    pic.SetTransColor(Rgb(1, 2, 3));
    Surface s(30, 30, RGB(9, 9, 9));
    // A region of two squares: not a rectangle.
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(10, 10, 20, 20);
    CombineRgn(a, a, b, RGN_OR);
    SelectClipRgn(s.dc(), a);
    SetBkColor(s.dc(), RGB(12, 34, 56));
    SetTextColor(s.dc(), RGB(65, 43, 21));
    ASSERT_EQ(pic.Draw2(s.dc(), 0, 0), 1);
    EXPECT_EQ(s.At(5, 5), Ref(ScreenPixel(pic, 5, 5)));
    EXPECT_EQ(s.At(15, 15), Ref(ScreenPixel(pic, 15, 15)));
    EXPECT_EQ(s.At(15, 5), RGB(9, 9, 9));
    EXPECT_EQ(s.At(5, 15), RGB(9, 9, 9));
    EXPECT_EQ(GetBkColor(s.dc()), RGB(12, 34, 56));
    EXPECT_EQ(GetTextColor(s.dc()), RGB(65, 43, 21));
    HRGN now = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetClipRgn(s.dc(), now), 1);
    EXPECT_TRUE(EqualRgn(now, a));
    DeleteObject(now);
    DeleteObject(a);
    DeleteObject(b);
}

TEST(Draw2, RefusalsAndPlainCopies)
{
    CPicture pic(5, 5, 24);
    FillRandom(pic, 7);
    Surface s(10, 10, RGB(0, 0, 0));
    EXPECT_EQ(pic.Draw2(s.dc(), 0, 0, 0, 5), 0);
    EXPECT_EQ(pic.Draw2(nullptr, 0, 0), 0);
    CPicture empty;
    EXPECT_EQ(empty.Draw2(s.dc(), 0, 0), 0);
    // Without a key colour an alpha plane plays no part.
    ASSERT_TRUE(pic.AlphaCreate());
    pic.AlphaSet(BYTE(0));
    ASSERT_EQ(pic.Draw2(s.dc(), 0, 0), 1);
    EXPECT_EQ(s.At(1, 1), Ref(ScreenPixel(pic, 1, 1)));
}

TEST(Draw, AlphaBlendsOverTheDestination)
{
    CPicture pic(6, 6, 24);
    FillRandom(pic, 8);
    ASSERT_TRUE(pic.AlphaCreate());
    pic.AlphaSet(BYTE(128));
    Surface s(10, 10, RGB(255, 255, 255));
    ASSERT_EQ(pic.Draw(s.dc(), 1, 1), 1);
    // a = (255 + 1) * 128 >> 8 = 128.
    RGBQUAD p = ScreenPixel(pic, 2, 3);
    COLORREF expect = RGB((255 * 127 + p.rgbRed * 128) >> 8, (255 * 127 + p.rgbGreen * 128) >> 8,
        (255 * 127 + p.rgbBlue * 128) >> 8);
    EXPECT_EQ(s.At(3, 4), expect);
    EXPECT_EQ(s.At(0, 0), RGB(255, 255, 255));
}

TEST(Draw, ClipRectangleLeavesTheContextsClippingAsItWas)
{
    CPicture pic(10, 10, 24);
    FillRandom(pic, 9);
    Surface s(20, 20, RGB(0, 0, 0));
    HRGN ellipse = CreateEllipticRgn(0, 0, 20, 20);
    SelectClipRgn(s.dc(), ellipse);
    RECT clip = { 0, 0, 5, 10 };
    ASSERT_EQ(pic.Draw(s.dc(), 0, 0, -1, -1, &clip), 1);
    EXPECT_EQ(s.At(4, 8), Ref(ScreenPixel(pic, 4, 8)));
    EXPECT_EQ(s.At(7, 8), RGB(0, 0, 0));
    HRGN now = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetClipRgn(s.dc(), now), 1);
    EXPECT_TRUE(EqualRgn(now, ellipse));
    DeleteObject(now);
    DeleteObject(ellipse);
}

TEST(Draw, ScaledPlainPicture)
{
    CPicture pic(4, 4, 24);
    FillRandom(pic, 10);
    Surface s(10, 10, RGB(0, 0, 0));
    ASSERT_EQ(pic.Draw(s.dc(), 0, 0, 8, 8), 1);
    for (LONG y = 0; y < 8; ++y)
        for (LONG x = 0; x < 8; ++x)
            ASSERT_EQ(s.At(x, y), Ref(ScreenPixel(pic, x / 2, y / 2))) << x << "," << y;
}

TEST(Tile, CoversTheRectangleAndClipsTheLastColumnAndRow)
{
    CPicture pic(10, 10, 24);
    FillRandom(pic, 11);
    Surface s(40, 30, RGB(7, 7, 7));
    RECT r = { 2, 3, 27, 18 };
    ASSERT_EQ(pic.Tile(s.dc(), &r), 1);
    for (LONG y = 3; y < 18; ++y)
        for (LONG x = 2; x < 27; ++x)
            ASSERT_EQ(s.At(x, y), Ref(ScreenPixel(pic, (x - 2) % 10, (y - 3) % 10))) << x << "," << y;
    EXPECT_EQ(s.At(27, 5), RGB(7, 7, 7));
    EXPECT_EQ(s.At(5, 18), RGB(7, 7, 7));
}
