// Exchanging pictures with GDI (global memory blocks, bitmaps, icons) and
// drawing them onto device contexts.
#include "image/picture.h"

#include "image/dibparse.h"
#include "image/picgdi_win.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// The locked bytes of a global memory block, unlocked when done.
class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL h)
        : m_h(h)
        , m_p(h ? GlobalLock(h) : nullptr)
    {
    }
    ~CGlobalLock()
    {
        if (m_p)
            GlobalUnlock(m_h);
    }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;
    BYTE* Get() const { return static_cast<BYTE*>(m_p); }

private:
    HGLOBAL m_h;
    void* m_p;
};

// The header of a bottom-up 24-bit DIB of w x h pixels.
BITMAPINFO Info24(LONG w, LONG h)
{
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof(bi));
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

// A bottom-up 24-bit DIB section of w x h pixels; bits receives its rows.
HBITMAP CreateSection24(HDC dc, LONG w, LONG h, BYTE** bits)
{
    BITMAPINFO bi = Info24(w, h);
    void* p = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    *bits = static_cast<BYTE*>(p);
    return bmp;
}

DWORD Stride24(LONG w) { return (DWORD(w) * 24 + 31) / 32 * 4; }

} // namespace

// ---- global memory and bitmaps ---------------------------------------------

HANDLE CPicture::CopyToHandle() const
{
    if (!dibBlock)
        return nullptr;
    HGLOBAL h = GlobalAlloc(GHND, GetSize());
    if (!h)
        return nullptr;
    {
        CGlobalLock lock(h);
        if (!lock.Get()) {
            GlobalFree(h);
            return nullptr;
        }
        std::memcpy(lock.Get(), dibBlock, GetSize());
    }
    return h;
}

bool CPicture::CreateFromHANDLE(HANDLE h)
{
    if (!Destroy())
        return false;
    SIZE_T size = h ? GlobalSize(h) : 0;
    if (size == 0)
        return false;
    CGlobalLock lock(h);
    if (!lock.Get())
        return false;
    return PicReadPackedDib(*this, lock.Get(), size);
}

HBITMAP CPicture::MakeBitmap(HDC dc) const
{
    if (!dibBlock)
        return nullptr;
    const BITMAPINFO* bi = reinterpret_cast<const BITMAPINFO*>(dibBlock);
    if (dc)
        return CreateDIBitmap(dc, &bi->bmiHeader, CBM_INIT, info.bits, bi, DIB_RGB_COLORS);
    CPicScreenDC screen;
    CPicMemoryDC mem(screen.Get());
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(mem.Get(), bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp && bits)
        std::memcpy(bits, info.bits, header.biSizeImage);
    return bmp;
}

bool CPicture::CreateFromHBITMAP(HBITMAP bmp, HPALETTE pal)
{
    if (!Destroy() || !bmp)
        return false;
    BITMAP bm;
    if (!GetObject(bmp, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    if (!Create(DWORD(bm.bmWidth), DWORD(bm.bmHeight), bm.bmBitsPixel, 0))
        return false;
    CPicScreenDC screen;
    if (!screen.Get()) {
        Destroy();
        return false;
    }
    HPALETTE oldPal = nullptr;
    if (pal) {
        oldPal = SelectPalette(screen.Get(), pal, FALSE);
        RealizePalette(screen.Get());
    }
    // GetDIBits may rewrite the header it is given (colour count, image
    // size); it gets a copy, and the palette lands in the block.
    BITMAPINFOHEADER* bh = reinterpret_cast<BITMAPINFOHEADER*>(dibBlock);
    int rows = GetDIBits(screen.Get(), bmp, 0, UINT(bm.bmHeight), info.bits, reinterpret_cast<BITMAPINFO*>(bh),
        DIB_RGB_COLORS);
    if (oldPal)
        SelectPalette(screen.Get(), oldPal, FALSE);
    std::memcpy(dibBlock, &header, sizeof(header));
    if (rows == 0) {
        Destroy();
        return SetError("GetDIBits failed");
    }
    info.nearestCacheValid = false;
    return true;
}

bool CPicture::CreateFromHICON(HICON icon)
{
    if (!Destroy() || !icon)
        return false;
    ICONINFO ii;
    if (!GetIconInfo(icon, &ii))
        return false;
    CPicGdiObject colour(ii.hbmColor), mask(ii.hbmMask);
    if (!colour.Get() || !CreateFromHBITMAP(ii.hbmColor))
        return false;
    CPicture m;
    if (m.CreateFromHBITMAP(ii.hbmMask) && m.GetWidth() == GetWidth() && m.GetHeight() >= GetHeight()
        && AlphaCreate()) {
        // Opaque where the mask is 0, transparent where it is 1.
        for (LONG y = 0; y < LONG(GetHeight()); ++y)
            for (LONG x = 0; x < LONG(GetWidth()); ++x) {
                RGBQUAD c = m.GetPixelColor(x, y, false);
                AlphaSet(x, y, (c.rgbRed | c.rgbGreen | c.rgbBlue) ? 0 : 255);
            }
    }
    return true;
}

// ---- drawing ---------------------------------------------------------------

LONG CPicture::Stretch(HDC dc, LONG x, LONG y, LONG cx, LONG cy, DWORD rop) const
{
    if (!dibBlock || !dc)
        return 0;
    CPicSavedDC saved(dc);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, x, y, cx, cy, 0, 0, header.biWidth, header.biHeight, info.bits,
        reinterpret_cast<const BITMAPINFO*>(dibBlock), DIB_RGB_COLORS, rop);
    return 1;
}

LONG CPicture::Stretch(HDC dc, const RECT& r, DWORD rop) const
{
    return Stretch(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, rop);
}

LONG CPicture::Draw2(HDC dc, LONG x, LONG y, LONG cx, LONG cy) const
{
    if (!dibBlock || !dc || cx == 0 || cy == 0 || !info.enabled)
        return 0;
    LONG w = header.biWidth, h = header.biHeight;
    if (cx < 0)
        cx = w;
    if (cy < 0)
        cy = h;
    const BITMAPINFO* bi = reinterpret_cast<const BITMAPINFO*>(dibBlock);
    CPicSavedDC saved(dc);
    SetStretchBltMode(dc, COLORONCOLOR);
    if (info.transIndex == -1) {
        StretchDIBits(dc, x, y, cx, cy, 0, 0, w, h, info.bits, bi, DIB_RGB_COLORS, SRCCOPY);
        return 1;
    }
    RECT target = { x, y, x + cx, y + cy };
    if (!RectVisible(dc, &target))
        return 1;

    CPicMemoryDC image(dc), maskDC(dc);
    CPicGdiObject colour(CreateCompatibleBitmap(dc, w, h));
    CPicGdiObject mask(CreateBitmap(w, h, 1, 1, nullptr));
    if (!image.Get() || !maskDC.Get() || !colour.Get() || !mask.Get())
        return 0;
    CPicSelect selColour(image.Get(), colour.Get());
    CPicSelect selMask(maskDC.Get(), mask.Get());
    SetStretchBltMode(image.Get(), COLORONCOLOR);
    StretchDIBits(image.Get(), 0, 0, w, h, 0, 0, w, h, info.bits, bi, DIB_RGB_COLORS, SRCCOPY);

    // The key colour: 1 in the mask, 0 elsewhere.
    RGBQUAD key = header.biBitCount < 24 ? GetPaletteColor(BYTE(info.transIndex)) : info.transColor;
    SetBkColor(image.Get(), RGB(key.rgbRed, key.rgbGreen, key.rgbBlue));
    BitBlt(maskDC.Get(), 0, 0, w, h, image.Get(), 0, 0, SRCCOPY);

    // A monochrome source blitted onto colour takes the destination's text
    // colour for 0 and background colour for 1: black and white here.
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    StretchBlt(dc, x, y, cx, cy, image.Get(), 0, 0, w, h, SRCINVERT);
    StretchBlt(dc, x, y, cx, cy, maskDC.Get(), 0, 0, w, h, SRCAND);
    StretchBlt(dc, x, y, cx, cy, image.Get(), 0, 0, w, h, SRCINVERT);
    return 1;
}

LONG CPicture::Draw2(HDC dc, const RECT& r) const { return Draw2(dc, r.left, r.top, r.right - r.left, r.bottom - r.top); }

LONG CPicture::Draw(HDC dc, LONG x, LONG y, LONG cx, LONG cy, RECT* clip, bool smooth) const
{
    if (!dibBlock || !dc || cx == 0 || cy == 0 || !info.enabled)
        return 0;
    LONG w = header.biWidth, h = header.biHeight;
    if (cx < 0)
        cx = w;
    if (cy < 0)
        cy = h;
    bool transparent = info.transIndex != -1;
    bool hasAlpha = alpha != nullptr;

    // Saving the whole context brings back any clipping region, however shaped.
    CPicSavedDC saved(dc);
    if (clip) {
        HRGN r = CreateRectRgnIndirect(clip);
        ExtSelectClipRgn(dc, r, RGN_AND);
        DeleteObject(r);
    }
    RECT clipBox, target = { x, y, x + cx, y + cy }, paint;
    if (GetClipBox(dc, &clipBox) == ERROR)
        clipBox = target;
    if (!IntersectRect(&paint, &clipBox, &target))
        return 1;
    LONG dw = paint.right - paint.left, dh = paint.bottom - paint.top;
    const BITMAPINFO* bi = reinterpret_cast<const BITMAPINFO*>(dibBlock);

    bool plain = !transparent && !hasAlpha && !info.alphaPaletteEnabled;
    if (plain && cx == w && cy == h) {
        SetStretchBltMode(dc, COLORONCOLOR);
        SetDIBitsToDevice(dc, x, y, DWORD(cx), DWORD(cy), 0, 0, 0, DWORD(cy), info.bits, bi, DIB_RGB_COLORS);
        return 1;
    }

    CPicMemoryDC mem(dc);
    BYTE* bits = nullptr;
    CPicGdiObject section(CreateSection24(dc, dw, dh, &bits));
    if (!mem.Get() || !section.Get() || !bits)
        return 0;
    CPicSelect sel(mem.Get(), section.Get());
    if (!plain)
        BitBlt(mem.Get(), 0, 0, dw, dh, dc, paint.left, paint.top, SRCCOPY);
    GdiFlush();

    float fx = float(w) / float(cx), fy = float(h) / float(cy);
    DWORD stride = Stride24(dw);
    RGBQUAD key = GetTransColor();
    bool indexed = IsIndexed();
    // The source column of each painted column is the same on every row.
    std::vector<float> columnF(size_t(dw), 0.0f);
    std::vector<LONG> column(size_t(dw), 0);
    for (LONG c = 0; c < dw; ++c) {
        columnF[c] = float(paint.left + c - x) * fx;
        column[c] = std::min<LONG>(std::max<LONG>(LONG(std::floor(columnF[c])), 0), w - 1);
    }
    for (LONG r = 0; r < dh; ++r) {
        float syf = float(h) - float(paint.bottom - r - y) * fy;
        LONG sy = std::min<LONG>(std::max<LONG>(LONG(std::floor(syf)), 0), h - 1);
        BYTE* d = bits + size_t(r) * stride;
        for (LONG c = 0; c < dw; ++c, d += 3) {
            float sxf = columnF[c];
            LONG sx = column[c];
            RGBQUAD s;
            BYTE index = 0;
            if (indexed) {
                index = BlindGetPixelIndex(sx, sy);
                s = GetPaletteColor(index);
            } else {
                s = BlindGetPixelColor(sx, sy);
            }
            if (smooth) {
                RGBQUAD i = GetPixelColorInterpolated(sxf - 0.5f, syf - 0.5f, IM_BILINEAR, OM_REPEAT, nullptr);
                s.rgbRed = i.rgbRed, s.rgbGreen = i.rgbGreen, s.rgbBlue = i.rgbBlue;
            }
            if (plain) {
                d[0] = s.rgbBlue, d[1] = s.rgbGreen, d[2] = s.rgbRed;
                continue;
            }
            int a = hasAlpha ? BlindAlphaGet(sx, sy) : 255;
            a = ((info.alphaMax + 1) * a) >> 8;
            if (indexed && info.alphaPaletteEnabled)
                a = ((s.rgbReserved + 1) * a) >> 8; // s is still the palette entry here
            if (transparent) {
                bool keyed = indexed ? index == BYTE(info.transIndex)
                                         : (s.rgbBlue == key.rgbBlue && s.rgbGreen == key.rgbGreen
                                               && s.rgbRed == key.rgbRed);
                if (keyed)
                    continue;
            }
            if (a == 0)
                continue;
            if (a >= 255) {
                d[0] = s.rgbBlue, d[1] = s.rgbGreen, d[2] = s.rgbRed;
                continue;
            }
            d[0] = BYTE((d[0] * (255 - a) + s.rgbBlue * a) >> 8);
            d[1] = BYTE((d[1] * (255 - a) + s.rgbGreen * a) >> 8);
            d[2] = BYTE((d[2] * (255 - a) + s.rgbRed * a) >> 8);
        }
    }
    BITMAPINFO sbi = Info24(dw, dh);
    SetDIBitsToDevice(dc, paint.left, paint.top, DWORD(dw), DWORD(dh), 0, 0, 0, DWORD(dh), bits, &sbi, DIB_RGB_COLORS);
    return 1;
}

LONG CPicture::Draw(HDC dc, const RECT& r, RECT* clip, bool smooth) const
{
    return Draw(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, clip, smooth);
}

LONG CPicture::Tile(HDC dc, RECT* r) const
{
    if (!dibBlock || !dc || !r)
        return 0;
    LONG w = header.biWidth, h = header.biHeight;
    for (LONG j = 0; j < r->bottom - r->top; j += h)
        for (LONG i = 0; i < r->right - r->left; i += w) {
            RECT copy = { r->left + i, r->top + j, std::min(r->left + i + w, r->right),
                std::min(r->top + j + h, r->bottom) };
            Draw(dc, r->left + i, r->top + j, -1, -1, &copy, false);
        }
    return 1;
}

// ---- text ------------------------------------------------------------------

void CPicture::InitTextInfo(CPicTextInfo* ti)
{
    if (!ti)
        return;
    std::memset(ti, 0, sizeof(*ti));
    static const char kCaption[] = "Sample Text 01234\xF5\xFB";
    std::memcpy(ti->caption, kCaption, sizeof(kCaption));
    ti->font.lfHeight = -36;
    ti->font.lfWeight = 400;
    ti->font.lfCharSet = 238;
    ti->font.lfQuality = 2;
    std::strcpy(ti->font.lfFaceName, "Arial");
    ti->textColor = 0x00A0FFFF;
    ti->alignment = 1;
    ti->boxed = 1;
    ti->boxColor = 0x00006020;
    ti->boxSeeThrough = 0;
    ti->cornerPercent = 20;
}

namespace {

// White text on black in a zeroed 24-bit section of the measured size, wider
// by extraWidth (or by the measured height when widenByHeight, room for
// overhanging glyphs) and with margin on every side, read back into pic.
bool RenderText(HDC dc, HFONT font, const char* text, UINT format, LONG extraWidth, bool widenByHeight, LONG margin,
    CPicture& pic, RECT& measured)
{
    CPicMemoryDC mem(dc);
    if (!mem.Get())
        return false;
    CPicSelect selFont(mem.Get(), font);
    SetTextColor(mem.Get(), RGB(255, 255, 255));
    SetBkColor(mem.Get(), RGB(0, 0, 0));
    SetBkMode(mem.Get(), OPAQUE);
    measured = RECT { 0, 0, 0, 0 };
    DrawTextA(mem.Get(), text, -1, &measured, format | DT_CALCRECT);
    measured.right += widenByHeight ? measured.bottom : extraWidth;
    LONG w = measured.right + 2 * margin, h = measured.bottom + 2 * margin;
    if (w <= 0 || h <= 0)
        return false;
    BYTE* bits = nullptr;
    CPicGdiObject section(CreateSection24(mem.Get(), w, h, &bits));
    if (!section.Get() || !bits)
        return false;
    {
        CPicSelect sel(mem.Get(), section.Get());
        std::memset(bits, 0, size_t(Stride24(w)) * h);
        RECT box = { margin, margin, margin + measured.right, margin + measured.bottom };
        DrawTextA(mem.Get(), text, -1, &box, format);
        GdiFlush();
    }
    return pic.CreateFromHBITMAP(static_cast<HBITMAP>(section.Get()));
}

} // namespace

LONG CPicture::DrawString(HDC dc, LONG x, LONG y, const char* text, RGBQUAD color, const char* font, LONG size,
    LONG weight, BYTE italic, BYTE underline, bool setAlpha)
{
    if (!dibBlock || !text)
        return 1;
    LOGFONTA lf;
    std::memset(&lf, 0, sizeof(lf));
    if (font)
        std::strncpy(lf.lfFaceName, font, 31);
    lf.lfHeight = size;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    CPicGdiObject own(CreateFontIndirectA(&lf));
    HFONT hf = own.Get() ? static_cast<HFONT>(own.Get()) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

    CPicScreenDC screen;
    HDC ref = dc ? dc : screen.Get();
    CPicture glyphs;
    RECT measured;
    if (!RenderText(ref, hf, text, DT_LEFT, 0, true, 0, glyphs, measured))
        return 1;
    // (x, y), top-down, is the text's bottom-left corner; rows grow upward.
    LONG row = LONG(GetHeight()) - y - 1;
    for (LONG j = 0; j < LONG(glyphs.GetHeight()); ++j)
        for (LONG i = 0; i < LONG(glyphs.GetWidth()); ++i)
            if (glyphs.GetPixelColor(i, j, false).rgbBlue)
                SetPixelColor(x + i, row + j, color, setAlpha);
    return 1;
}

LONG CPicture::DrawStringEx(HDC dc, LONG x, LONG y, CPicTextInfo* ti, bool setAlpha)
{
    if (!dibBlock)
        return -1;
    if (!ti)
        return 1;
    CPicGdiObject own(CreateFontIndirectA(&ti->font));
    HFONT hf = own.Get() ? static_cast<HFONT>(own.Get()) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LONG align = ti->alignment;
    if (align < 0 || align > 2)
        align = 1;
    LONG corner = ti->cornerPercent > 50 ? 10 : ti->cornerPercent;
    float seeThrough = ti->boxSeeThrough;
    if (!(seeThrough >= 0 && seeThrough <= 1))
        seeThrough = 0;
    UINT flag = align == 0 ? DT_LEFT : (align == 2 ? DT_RIGHT : DT_CENTER);

    // Measure first: the margin depends on the height.
    const char* text = ti->caption;
    LONG lines = 1;
    ti->caption[sizeof(ti->caption) - 1] = '\0';
    for (size_t k = 0; text[k]; ++k)
        if (text[k] == '\r')
            ++lines;
    CPicScreenDC screen;
    HDC ref = dc ? dc : screen.Get();
    CPicture glyphs;
    RECT m0;
    {
        CPicMemoryDC mem(ref);
        CPicSelect sel(mem.Get(), hf);
        m0 = RECT { 0, 0, 0, 0 };
        DrawTextA(mem.Get(), text, -1, &m0, flag | DT_NOPREFIX | DT_CALCRECT);
    }
    LONG height = m0.bottom;
    LONG extra = ti->font.lfItalic ? height / 2 / lines : 0;
    LONG lh = height / lines, radius = 0, margin = 0;
    if (ti->boxed) {
        radius = corner * lh / 100;
        margin = LONG(radius * 0.29289);
        extra += lh / 3;
    }
    RECT measured;
    if (!RenderText(ref, hf, text, flag | DT_NOPREFIX, extra, false, margin, glyphs, measured))
        return 1;
    LONG sw = LONG(glyphs.GetWidth()), sh = LONG(glyphs.GetHeight());
    LONG row = LONG(GetHeight()) - y - 1;
    if (align == 1)
        x -= sw / 2;
    else if (align == 2)
        x -= sw;
    if (x < 0)
        x = 0;

    if (ti->boxed) {
        RGBQUAD box = RGBtoRGBQUAD(ti->boxColor);
        for (LONG j = 0; j < sh; ++j)
            for (LONG i = 0; i < sw; ++i) {
                LONG d = i < radius ? radius - i : (i > sw - 1 - radius ? i - (sw - 1 - radius) : -1);
                if (d >= 0) {
                    double inner = double(radius) * radius - double(d) * d;
                    LONG cut = LONG(radius + 0.5 - std::sqrt(inner > 0 ? inner : 0));
                    if (j < cut || j > sh - cut - 1)
                        continue;
                }
                RGBQUAD c = box;
                if (seeThrough > 0 && seeThrough < 1) {
                    RGBQUAD p = GetPixelColor(x + i, row + j, false);
                    c.rgbBlue = BYTE(p.rgbBlue * seeThrough + box.rgbBlue * (1 - seeThrough));
                    c.rgbGreen = BYTE(p.rgbGreen * seeThrough + box.rgbGreen * (1 - seeThrough));
                    c.rgbRed = BYTE(p.rgbRed * seeThrough + box.rgbRed * (1 - seeThrough));
                }
                c.rgbReserved = 0;
                SetPixelColor(x + i, row + j, c, setAlpha);
            }
    }
    RGBQUAD textColour = RGBtoRGBQUAD(ti->textColor);
    for (LONG j = 0; j < sh; ++j)
        for (LONG i = 0; i < sw; ++i)
            if (glyphs.GetPixelColor(i, j, false).rgbBlue)
                SetPixelColor(x + i, row + j, textColour, setAlpha);
    return 1;
}
