// Pictures through GDI under Wine: bitmaps and global blocks both ways, and
// drawing into a memory context whose pixels are read back.
#include "image/picture.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
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

// ---- smooth drawing, icons and text ---------------------------------------

TEST(Draw, SmoothStretchGivesInBetweenValuesOnAnEdge)
{
    // Left column black, right column a colour; stretched 2x across.
    CPicture pic(2, 2, 24);
    for (LONG y = 0; y < 2; ++y) {
        pic.SetPixelColor(0, y, Rgb(0, 0, 0));
        pic.SetPixelColor(1, y, Rgb(200, 100, 40));
    }
    Surface hard(4, 4, RGB(9, 9, 9)), soft(4, 4, RGB(9, 9, 9));
    ASSERT_EQ(pic.Draw(hard.dc(), 0, 0, 4, 4, nullptr, false), 1);
    ASSERT_EQ(pic.Draw(soft.dc(), 0, 0, 4, 4, nullptr, true), 1);
    for (LONG y = 0; y < 4; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(hard.At(1, y), RGB(0, 0, 0));
        EXPECT_EQ(hard.At(2, y), RGB(200, 100, 40));
        // Screen columns sample at 0, 0.5, 1 and 1.5 minus half a pixel:
        // -0.5 and 0 give the left colour, 0.5 the mean, 1 the right colour.
        EXPECT_EQ(soft.At(0, y), RGB(0, 0, 0));
        EXPECT_EQ(soft.At(1, y), RGB(0, 0, 0));
        COLORREF mid = soft.At(2, y);
        EXPECT_NEAR(GetRValue(mid), 100, 1);
        EXPECT_NEAR(GetGValue(mid), 50, 1);
        EXPECT_NEAR(GetBValue(mid), 20, 1);
        EXPECT_EQ(soft.At(3, y), RGB(200, 100, 40));
    }
    // At its own size the picture is copied as it is, smooth or not.
    Surface same(2, 2, RGB(9, 9, 9));
    ASSERT_EQ(pic.Draw(same.dc(), 0, 0, -1, -1, nullptr, true), 1);
    EXPECT_EQ(same.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(same.At(1, 1), RGB(200, 100, 40));
}

namespace {

COLORREF IconColour(LONG x, LONG y) { return RGB(10 + 40 * x, 20 + 50 * y, 7 * x + 3 * y + 1); }
// Top-down: the whole top row and the left column are transparent.
bool IconMasked(LONG x, LONG y) { return y == 0 || x == 0; }

HICON MakeIcon(bool withColour)
{
    const LONG n = 4;
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof(bi));
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = n;
    bi.bmiHeader.biHeight = -n;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    BYTE* bits = nullptr;
    HBITMAP colour = withColour ? CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0)
                                : nullptr;
    if (colour) {
        for (LONG y = 0; y < n; ++y)
            for (LONG x = 0; x < n; ++x) {
                BYTE* p = bits + size_t(y) * ((n * 3 + 3) & ~3) + size_t(x) * 3;
                COLORREF c = IconColour(x, y);
                p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
            }
        GdiFlush();
    }
    // Monochrome rows are padded to 16 bits; without a colour bitmap the mask
    // is twice as high (AND mask over XOR mask).
    LONG maskRows = withColour ? n : 2 * n;
    WORD maskBits[8] = {};
    for (LONG y = 0; y < n; ++y) {
        BYTE row = 0;
        for (LONG x = 0; x < n; ++x)
            if (IconMasked(x, y))
                row |= BYTE(0x80 >> x);
        maskBits[y] = row; // the low byte is the first byte of the row
    }
    HBITMAP mask = CreateBitmap(n, maskRows, 1, 1, maskBits);
    ICONINFO ii;
    std::memset(&ii, 0, sizeof(ii));
    ii.fIcon = TRUE;
    ii.hbmColor = colour;
    ii.hbmMask = mask;
    HICON icon = CreateIconIndirect(&ii);
    if (colour)
        DeleteObject(colour);
    DeleteObject(mask);
    return icon;
}

} // namespace

TEST(CreateFromHICON, ColourBitmapAndMaskBecomePixelsAndAlpha)
{
    HICON icon = MakeIcon(true);
    ASSERT_NE(icon, nullptr);
    CPicture pic;
    ASSERT_TRUE(pic.CreateFromHICON(icon));
    DestroyIcon(icon);
    ASSERT_EQ(pic.GetWidth(), 4u);
    ASSERT_EQ(pic.GetHeight(), 4u);
    EXPECT_EQ(pic.GetBpp(), 24u);
    ASSERT_TRUE(pic.AlphaIsValid());
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 4; ++x) {
            SCOPED_TRACE(::testing::Message() << x << "," << y);
            // Picture rows count from the bottom.
            LONG row = 3 - y;
            EXPECT_EQ(pic.AlphaGet(x, row), IconMasked(x, y) ? 0 : 255);
            if (!IconMasked(x, y))
                EXPECT_EQ(Ref(pic.GetPixelColor(x, row, false)), IconColour(x, y));
        }
}

TEST(CreateFromHICON, RefusesNullAndMonochromeIcons)
{
    CPicture pic(3, 3, 24);
    EXPECT_FALSE(pic.CreateFromHICON(nullptr));
    EXPECT_FALSE(pic.IsValid());

    HICON mono = MakeIcon(false);
    ASSERT_NE(mono, nullptr);
    CPicture other(3, 3, 24);
    EXPECT_FALSE(other.CreateFromHICON(mono));
    DestroyIcon(mono);
}

namespace {

struct Bounds {
    LONG left = LONG_MAX, right = LONG_MIN, bottom = LONG_MAX, top = LONG_MIN; // inclusive, picture rows
    long count = 0;
    void Add(LONG x, LONG y)
    {
        left = (std::min)(left, x), right = (std::max)(right, x);
        bottom = (std::min)(bottom, y), top = (std::max)(top, y);
        ++count;
    }
};

// The measured size of a text in a given font, as DrawText reports it.
SIZE Measure(const char* text, LONG height, const char* face)
{
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof(lf));
    lf.lfHeight = height;
    lf.lfWeight = 400;
    std::strcpy(lf.lfFaceName, face);
    HFONT f = CreateFontIndirectA(&lf);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, f);
    RECT r = { 0, 0, 0, 0 };
    DrawTextA(dc, text, -1, &r, DT_LEFT | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(f);
    SIZE s = { r.right, r.bottom };
    return s;
}

CPicture Plain(LONG w, LONG h, RGBQUAD c)
{
    CPicture pic(w, h, 24);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            pic.SetPixelColor(x, y, c);
    return pic;
}

} // namespace

TEST(DrawString, ChangesOnlyTheTextBoxAndInTheAskedColour)
{
    const RGBQUAD bg = Rgb(10, 20, 30), ink = Rgb(200, 50, 100, 77);
    CPicture pic = Plain(120, 60, bg);
    ASSERT_TRUE(pic.AlphaCreate());
    pic.AlphaSet(BYTE(255));
    Surface s(4, 4, RGB(0, 0, 0));
    SIZE m = Measure("Hi", 24, "Arial");
    ASSERT_GT(m.cx, 0);
    ASSERT_GT(m.cy, 0);
    ASSERT_LT(m.cx + m.cy + 5, 120);
    ASSERT_EQ(pic.DrawString(s.dc(), 5, 40, "Hi", ink, "Arial", 24, 400, 0, 0, true), 1);
    // (5, 40) top-down is the bottom-left corner: picture row 60 - 40 - 1 = 19
    // and the text rises from there.
    Bounds b;
    for (LONG y = 0; y < 60; ++y)
        for (LONG x = 0; x < 120; ++x) {
            RGBQUAD c = pic.GetPixelColor(x, y, false);
            if (SameRgb(c, bg)) {
                ASSERT_EQ(pic.AlphaGet(x, y), 255) << x << "," << y;
                continue;
            }
            ASSERT_TRUE(SameRgb(c, ink)) << x << "," << y;
            ASSERT_EQ(pic.AlphaGet(x, y), 77) << x << "," << y;
            b.Add(x, y);
        }
    ASSERT_GT(b.count, 10);
    EXPECT_GE(b.left, 5);
    EXPECT_LT(b.right, 5 + m.cx + m.cy);
    EXPECT_GE(b.bottom, 19);
    EXPECT_LT(b.top, 19 + m.cy);
    // Glyphs of "Hi" reach well into the measured box, not a stray pixel.
    EXPECT_GT(b.top - b.bottom, m.cy / 3);
}

TEST(DrawString, WithoutAlphaFlagKeepsTheAlphaPlane)
{
    CPicture pic = Plain(80, 40, Rgb(0, 0, 0));
    ASSERT_TRUE(pic.AlphaCreate());
    pic.AlphaSet(BYTE(200));
    ASSERT_EQ(pic.DrawString(nullptr, 2, 35, "X", Rgb(255, 0, 0, 5), "Arial", 20), 1);
    long red = 0;
    for (LONG y = 0; y < 40; ++y)
        for (LONG x = 0; x < 80; ++x) {
            ASSERT_EQ(pic.AlphaGet(x, y), 200);
            red += SameRgb(pic.GetPixelColor(x, y, false), Rgb(255, 0, 0));
        }
    EXPECT_GT(red, 5);
}

TEST(DrawString, EmptyTextAndEmptyPictureDoNothing)
{
    CPicture pic = Plain(30, 20, Rgb(1, 2, 3));
    CPicture copy(pic);
    EXPECT_EQ(pic.DrawString(nullptr, 0, 19, "", Rgb(255, 255, 255), "Arial", 12), 1);
    EXPECT_TRUE(SamePixels(pic, copy));
    EXPECT_EQ(pic.DrawString(nullptr, 0, 19, nullptr, Rgb(255, 255, 255), "Arial", 12), 1);
    EXPECT_TRUE(SamePixels(pic, copy));

    CPicture none;
    EXPECT_EQ(none.DrawString(nullptr, 0, 0, "text", Rgb(255, 255, 255), "Arial", 12), 1);
    EXPECT_FALSE(none.IsValid());
}

TEST(DrawStringEx, InitTextInfoSetsTheDefaults)
{
    CPicture pic;
    CPicture::CPicTextInfo ti;
    std::memset(&ti, 0xAB, sizeof(ti));
    pic.InitTextInfo(&ti);
    EXPECT_EQ(std::memcmp(ti.caption, "Sample Text 01234\xF5\xFB", 20), 0);
    EXPECT_EQ(ti.caption[sizeof(ti.caption) - 1], 0);
    EXPECT_EQ(ti.font.lfHeight, -36);
    EXPECT_EQ(ti.font.lfWidth, 0);
    EXPECT_EQ(ti.font.lfEscapement, 0);
    EXPECT_EQ(ti.font.lfOrientation, 0);
    EXPECT_EQ(ti.font.lfWeight, 400);
    EXPECT_EQ(ti.font.lfItalic, 0);
    EXPECT_EQ(ti.font.lfUnderline, 0);
    EXPECT_EQ(ti.font.lfStrikeOut, 0);
    EXPECT_EQ(ti.font.lfCharSet, 238);
    EXPECT_EQ(ti.font.lfOutPrecision, 0);
    EXPECT_EQ(ti.font.lfClipPrecision, 0);
    EXPECT_EQ(ti.font.lfQuality, 2);
    EXPECT_EQ(ti.font.lfPitchAndFamily, 0);
    EXPECT_STREQ(ti.font.lfFaceName, "Arial");
    EXPECT_EQ(ti.textColor, COLORREF(0x00A0FFFF));
    EXPECT_EQ(ti.alignment, 1);
    EXPECT_EQ(ti.boxed, 1);
    EXPECT_EQ(ti.boxColor, COLORREF(0x00006020));
    EXPECT_EQ(ti.boxSeeThrough, 0.0f);
    EXPECT_EQ(ti.boxBorder, 0);
    EXPECT_EQ(ti.cornerPercent, 20);
}

namespace {

CPicture::CPicTextInfo SmallText(const char* caption, LONG alignment, BYTE boxed)
{
    CPicture::CPicTextInfo ti;
    CPicture().InitTextInfo(&ti);
    std::strcpy(ti.caption, caption);
    ti.font.lfHeight = -16;
    ti.alignment = alignment;
    ti.boxed = boxed;
    return ti;
}

Bounds Changed(const CPicture& pic, RGBQUAD bg)
{
    Bounds b;
    for (LONG y = 0; y < LONG(pic.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(pic.GetWidth()); ++x)
            if (!SameRgb(pic.GetPixelColor(x, y, false), bg))
                b.Add(x, y);
    return b;
}

} // namespace

TEST(DrawStringEx, BoxAndTextInTheirColoursAndPlace)
{
    const RGBQUAD bg = Rgb(1, 2, 3), box = Rgb(32, 96, 0), ink = Rgb(255, 255, 160);
    CPicture pic = Plain(160, 60, bg);
    CPicture::CPicTextInfo ti = SmallText("Ab", 0, 1);
    ASSERT_EQ(pic.DrawStringEx(nullptr, 60, 45, &ti), 1);
    long boxes = 0, inks = 0;
    for (LONG y = 0; y < 60; ++y)
        for (LONG x = 0; x < 160; ++x) {
            RGBQUAD c = pic.GetPixelColor(x, y, false);
            if (SameRgb(c, box))
                ++boxes;
            else if (SameRgb(c, ink))
                ++inks;
            else
                ASSERT_TRUE(SameRgb(c, bg)) << x << "," << y;
        }
    EXPECT_GT(boxes, 50);
    EXPECT_GT(inks, 10);
    Bounds left = Changed(pic, bg);
    // Left aligned: the box starts at x and at row 60 - 45 - 1 = 14.
    EXPECT_EQ(left.left, 60);
    EXPECT_EQ(left.bottom, 14);
    LONG width = left.right - left.left + 1;
    ASSERT_GT(width, 10);

    // Centred: the same box, moved left by half its width.
    CPicture centre = Plain(160, 60, bg);
    ti.alignment = 1;
    ASSERT_EQ(centre.DrawStringEx(nullptr, 60, 45, &ti), 1);
    Bounds c = Changed(centre, bg);
    EXPECT_EQ(c.left, 60 - width / 2);
    EXPECT_EQ(c.right - c.left + 1, width);
    // Right aligned: moved left by the whole width; out-of-range alignments centre.
    CPicture right = Plain(160, 60, bg);
    ti.alignment = 2;
    ASSERT_EQ(right.DrawStringEx(nullptr, 60, 45, &ti), 1);
    EXPECT_EQ(Changed(right, bg).left, 60 - width);
    CPicture odd = Plain(160, 60, bg);
    ti.alignment = 7;
    ASSERT_EQ(odd.DrawStringEx(nullptr, 60, 45, &ti), 1);
    EXPECT_TRUE(SamePixels(odd, centre));
}

TEST(DrawStringEx, SeeThroughBoxMixesWithThePicture)
{
    const RGBQUAD bg = Rgb(100, 100, 100);
    CPicture pic = Plain(160, 60, bg);
    CPicture::CPicTextInfo ti = SmallText("Ab", 0, 1);
    ti.boxSeeThrough = 0.5f;
    ASSERT_EQ(pic.DrawStringEx(nullptr, 10, 45, &ti), 1);
    // Box (red 32, green 96, blue 0) half over grey 100: red 66, green 98, blue 50.
    long mixed = 0, solid = 0;
    for (LONG y = 0; y < 60; ++y)
        for (LONG x = 0; x < 160; ++x) {
            RGBQUAD c = pic.GetPixelColor(x, y, false);
            mixed += SameRgb(c, Rgb(66, 98, 50));
            solid += SameRgb(c, Rgb(32, 96, 0));
        }
    EXPECT_GT(mixed, 50);
    EXPECT_EQ(solid, 0);
}

TEST(DrawStringEx, UnboxedTextOnlyAndEmptyPictureRefused)
{
    const RGBQUAD bg = Rgb(1, 2, 3);
    CPicture pic = Plain(160, 60, bg);
    CPicture::CPicTextInfo ti = SmallText("Ab", 0, 0);
    ti.textColor = RGB(250, 10, 20);
    ASSERT_EQ(pic.DrawStringEx(nullptr, 10, 45, &ti, false), 1);
    Bounds b = Changed(pic, bg);
    ASSERT_GT(b.count, 10);
    EXPECT_GE(b.left, 10);
    EXPECT_GE(b.bottom, 14);
    for (LONG y = 0; y < 60; ++y)
        for (LONG x = 0; x < 160; ++x) {
            RGBQUAD c = pic.GetPixelColor(x, y, false);
            ASSERT_TRUE(SameRgb(c, bg) || SameRgb(c, Rgb(250, 10, 20))) << x << "," << y;
        }

    CPicture none;
    EXPECT_EQ(none.DrawStringEx(nullptr, 0, 0, &ti), -1);
    EXPECT_FALSE(none.IsValid());
}
