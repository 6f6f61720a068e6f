#include "tools/skinmaker/skinbuild.h"

#include "afx/afxfile.h"
#include "afx/afxgeom.h"
#include "clocks/digitalface.h"
#include "clocks/skinzip.h"
#include "image/byteorder.h"
#include "image/picture.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace {

struct CHandShape {
    COLORREF color;
    int nHalfWidth; // of the bar, about the axis
    int nLength;    // from the axis up
    int nTail;      // below the axis
};

void Fill(CPicture& picture, const RECT& rc, COLORREF color)
{
    for (LONG y = rc.top; y < rc.bottom; y++) {
        for (LONG x = rc.left; x < rc.right; x++)
            picture.SetPixelColor(x, static_cast<LONG>(picture.GetHeight()) - 1 - y, color);
    }
}

RECT MakeRect(LONG l, LONG t, LONG r, LONG b)
{
    RECT rc = {l, t, r, b};
    return rc;
}

RegionBlock RectRegion(const RECT& rc)
{
    RegionBlock region;
    region.rcBound = rc;
    region.rects.push_back(rc);
    return region;
}

// Rows are counted from the top here, as regions count them; the picture
// stores rows bottom-up.
BOOL Encode(CPicture& picture, PictureBlock& block, CString& strError)
{
    BYTE* pBuffer = nullptr;
    LONG nSize = 0;
    picture.SetJpegQuality(95);
    if (!picture.Encode(pBuffer, nSize, PIC_FORMAT_JPG) || pBuffer == nullptr || nSize <= 0) {
        strError = CString("JPEG encoding failed: ") + picture.GetLastError();
        return FALSE;
    }
    block.bytes.assign(pBuffer, pBuffer + nSize);
    CPicture::FreeMemory(pBuffer);
    return TRUE;
}

BOOL NewPicture(CPicture& picture, int nWidth, int nHeight, CString& strError)
{
    if (nWidth < 1 || nHeight < 1 || nWidth > 4096 || nHeight > 4096
        || picture.Create(static_cast<DWORD>(nWidth), static_cast<DWORD>(nHeight), 24) == nullptr) {
        strError.Format("cannot make a %d x %d picture", nWidth, nHeight);
        return FALSE;
    }
    picture.Clear(0);
    return TRUE;
}

BOOL Hand(int nSize, const CHandShape& shape, RegionBlock& region, PictureBlock& block, CString& strError)
{
    CPicture picture;
    if (!NewPicture(picture, nSize, nSize, strError))
        return FALSE;
    const int c = nSize / 2;
    const RECT rc = MakeRect(c - shape.nHalfWidth, c - shape.nLength, c + shape.nHalfWidth, c + shape.nTail);
    Fill(picture, rc, shape.color);
    region = RectRegion(rc);
    return Encode(picture, block, strError);
}

// The sample look.

// A mark of the dial: its direction from the centre and its extent along
// and across it.
struct CDialMark {
    double sine, cosine, length, half;
};

// The hour marks and, on a face with room for them, the minute marks.
std::vector<CDialMark> DialMarks(double r)
{
    const double pi = 3.14159265358979323846;
    std::vector<CDialMark> marks;
    for (int i = 0; i < 60; i++) {
        const bool bHour = i % 5 == 0;
        if (!bHour && r < 60)
            continue;
        const double a = i * pi / 30;
        marks.push_back({ std::sin(a), std::cos(a), bHour ? r * (i % 15 == 0 ? 0.22 : 0.16) : r * 0.06,
            bHour ? std::max(1.0, r / (i % 15 == 0 ? 28 : 40)) : 0.6 });
    }
    return marks;
}

// The face's outline and marks, as a coverage test at a point given from the
// face's centre (y up), radius r.
bool IsDialInk(double x, double y, double r, const std::vector<CDialMark>& marks)
{
    const double d = std::sqrt(x * x + y * y);
    const double rim = std::max(2.0, r / 20);
    if (d > r - rim)
        return true;
    const double outer = r - rim - std::max(2.0, r / 25);
    for (const CDialMark& mark : marks) {
        const double along = x * mark.sine + y * mark.cosine;
        const double across = x * mark.cosine - y * mark.sine;
        if (along > outer - mark.length && along < outer && std::fabs(across) < mark.half)
            return true;
    }
    return false;
}

// Dial and ink blended by coverage (4 x 4 samples a pixel), inside the rows
// of the face region only.
void PaintDial(CPicture& face, const RegionBlock& region, int n)
{
    const double r = n / 2.0 - 1;
    const std::vector<CDialMark> marks = DialMarks(r);
    for (const RECT& rc : region.rects) {
        for (LONG x = rc.left; x < rc.right; x++) {
            int nInk = 0;
            for (int sy = 0; sy < 4; sy++) {
                for (int sx = 0; sx < 4; sx++) {
                    const double px = x + (sx + 0.5) / 4 - n / 2.0;
                    const double py = n / 2.0 - (rc.top + (sy + 0.5) / 4);
                    nInk += IsDialInk(px, py, r, marks) ? 1 : 0;
                }
            }
            const auto mix = [nInk](int dial, int ink) { return (dial * (16 - nInk) + ink * nInk) / 16; };
            const COLORREF color = RGB(mix(GetRValue(SKINMAKER_SAMPLE_DIAL), GetRValue(SKINMAKER_SAMPLE_INK)),
                mix(GetGValue(SKINMAKER_SAMPLE_DIAL), GetGValue(SKINMAKER_SAMPLE_INK)),
                mix(GetBValue(SKINMAKER_SAMPLE_DIAL), GetBValue(SKINMAKER_SAMPLE_INK)));
            Fill(face, MakeRect(x, rc.top, x + 1, rc.bottom), color);
        }
    }
}

// A pointed hand about the picture's centre, one region row per pixel row:
// full width from the tail to the axis, narrowing to a point at the tip; with
// a cap, a disc over the axis.
BOOL ShapedHand(
    int nSize, const CHandShape& shape, int nCap, RegionBlock& region, PictureBlock& block, CString& strError)
{
    CPicture picture;
    if (!NewPicture(picture, nSize, nSize, strError))
        return FALSE;
    const int c = nSize / 2;
    region.rcBound = MakeRect(nSize, nSize, 0, 0);
    region.rects.clear();
    for (int y = c - shape.nLength; y < c + std::max(shape.nTail, nCap); y++) {
        const int up = c - y;
        double half = 0;
        if (up <= 0 && -up < shape.nTail)
            half = shape.nHalfWidth;
        else if (up > 0)
            half = std::max(1.0, shape.nHalfWidth * (1.0 - static_cast<double>(up) / shape.nLength) + 0.5);
        if (std::abs(up) < nCap)
            half = std::max(half, std::sqrt(static_cast<double>(nCap * nCap - up * up)));
        const int h = static_cast<int>(half + 0.5);
        if (h == 0)
            continue;
        const RECT rc = MakeRect(c - h, y, c + h, y + 1);
        Fill(picture, rc, shape.color);
        region.rects.push_back(rc);
        ::UnionRect(&region.rcBound, &region.rcBound, &rc);
    }
    return Encode(picture, block, strError);
}

// A 5 x 7 dot font for the glyph set, in its order (cell k shows character
// k), rows from the top, the high bit of five the leftmost dot.
struct CGlyphDots {
    char ch;
    BYTE rows[7];
};
const CGlyphDots kGlyphDots[] = {
    { 'A', { 14, 17, 17, 31, 17, 17, 17 } },
    { 'B', { 30, 17, 17, 30, 17, 17, 30 } },
    { 'C', { 14, 17, 16, 16, 16, 17, 14 } },
    { 'D', { 30, 17, 17, 17, 17, 17, 30 } },
    { 'E', { 31, 16, 16, 30, 16, 16, 31 } },
    { 'F', { 31, 16, 16, 30, 16, 16, 16 } },
    { 'G', { 14, 17, 16, 23, 17, 17, 15 } },
    { 'H', { 17, 17, 17, 31, 17, 17, 17 } },
    { 'I', { 14, 4, 4, 4, 4, 4, 14 } },
    { 'J', { 7, 2, 2, 2, 2, 18, 12 } },
    { 'K', { 17, 18, 20, 24, 20, 18, 17 } },
    { 'L', { 16, 16, 16, 16, 16, 16, 31 } },
    { 'M', { 17, 27, 21, 21, 17, 17, 17 } },
    { 'N', { 17, 17, 25, 21, 19, 17, 17 } },
    { 'O', { 14, 17, 17, 17, 17, 17, 14 } },
    { 'P', { 30, 17, 17, 30, 16, 16, 16 } },
    { 'Q', { 14, 17, 17, 17, 21, 18, 13 } },
    { 'R', { 30, 17, 17, 30, 20, 18, 17 } },
    { 'S', { 15, 16, 16, 14, 1, 1, 30 } },
    { 'T', { 31, 4, 4, 4, 4, 4, 4 } },
    { 'U', { 17, 17, 17, 17, 17, 17, 14 } },
    { 'V', { 17, 17, 17, 17, 17, 10, 4 } },
    { 'W', { 17, 17, 17, 21, 21, 21, 10 } },
    { 'X', { 17, 17, 10, 4, 10, 17, 17 } },
    { 'Y', { 17, 17, 10, 4, 4, 4, 4 } },
    { 'Z', { 31, 1, 2, 4, 8, 16, 31 } },
    { '1', { 4, 12, 4, 4, 4, 4, 14 } },
    { '2', { 14, 17, 1, 2, 4, 8, 31 } },
    { '3', { 31, 2, 4, 2, 1, 17, 14 } },
    { '4', { 2, 6, 10, 18, 31, 2, 2 } },
    { '5', { 31, 16, 30, 1, 1, 17, 14 } },
    { '6', { 6, 8, 16, 30, 17, 17, 14 } },
    { '7', { 31, 1, 2, 4, 8, 8, 8 } },
    { '8', { 14, 17, 17, 14, 17, 17, 14 } },
    { '9', { 14, 17, 17, 15, 1, 2, 12 } },
    { '0', { 14, 17, 19, 21, 25, 17, 14 } },
    { ' ', { 0, 0, 0, 0, 0, 0, 0 } },
    { '!', { 4, 4, 4, 4, 4, 0, 4 } },
    { '@', { 14, 17, 1, 13, 21, 21, 14 } },
    { '#', { 10, 10, 31, 10, 31, 10, 10 } },
    { '$', { 4, 15, 20, 14, 5, 30, 4 } },
    { '%', { 24, 25, 2, 4, 8, 19, 3 } },
    { '^', { 4, 10, 17, 0, 0, 0, 0 } },
    { '&', { 12, 18, 20, 8, 21, 18, 13 } },
    { '*', { 0, 4, 21, 14, 21, 4, 0 } },
    { '(', { 2, 4, 8, 8, 8, 4, 2 } },
    { ')', { 8, 4, 2, 2, 2, 4, 8 } },
    { '-', { 0, 0, 0, 31, 0, 0, 0 } },
    { '+', { 0, 4, 4, 31, 4, 4, 0 } },
    { '=', { 0, 0, 31, 0, 31, 0, 0 } },
    { '.', { 0, 0, 0, 0, 0, 12, 12 } },
    { ':', { 0, 12, 12, 0, 12, 12, 0 } },
    { ',', { 0, 0, 0, 0, 12, 4, 8 } },
    { ';', { 0, 12, 12, 0, 12, 4, 8 } },
    { '/', { 0, 1, 2, 4, 8, 16, 0 } },
};
static_assert(sizeof(kGlyphDots) / sizeof(kGlyphDots[0]) == DIGITAL_GLYPH_SET_LENGTH, "one glyph a character");

// The glyph of cell k, its dots as large as the cell allows, centred.
void DrawGlyph(CPicture& strip, int k, int w, int h)
{
    const CGlyphDots& glyph = kGlyphDots[k];
    const int dx = (w - 2) / 5;
    const int dy = (h - 2) / 7;
    const int x0 = k * w + (w - 5 * dx) / 2;
    const int y0 = (h - 7 * dy) / 2;
    for (int row = 0; row < 7; row++) {
        for (int col = 0; col < 5; col++) {
            if (glyph.rows[row] & (16 >> col))
                Fill(strip, MakeRect(x0 + col * dx, y0 + row * dy, x0 + (col + 1) * dx, y0 + (row + 1) * dy),
                    SKINMAKER_SAMPLE_GLYPH);
        }
    }
}

} // namespace

BOOL BuildAnalogSkin(const CSkinMakerOptions& options, AnalogSkinData& data, CString& strError)
{
    const int n = options.nFaceSize;
    if (n < 16) {
        strError = "the face must be at least 16 pixels";
        return FALSE;
    }
    AnalogSkinData built;
    const CString strPivot = options.bPivotMiddle ? CString("middle;middle") : [&] {
        CString s;
        s.Format("%d;%d", options.nPivotX, options.nPivotY);
        return s;
    }();
    built.strDescription = "Analog;1.0;" + strPivot + ";" + options.strName + ";Veltran skinmaker;2026-01-01";
    built.dwHasSecondHand = options.bSecondHand ? 1 : 0;

    // The face is a disc: one rectangle per row.
    CPicture face;
    if (!NewPicture(face, n, n, strError))
        return FALSE;
    const int r = n / 2 - 1;
    built.faceRegion.rcBound = MakeRect(n, n, 0, 0);
    for (int y = 0; y < n; y++) {
        const int dy = 2 * y + 1 - n;
        int nHalf = 0;
        while (4 * (nHalf + 1) * (nHalf + 1) + dy * dy <= 4 * r * r)
            nHalf++;
        if (nHalf == 0)
            continue;
        const RECT rc = MakeRect(n / 2 - nHalf, y, n / 2 + nHalf, y + 1);
        Fill(face, rc, SKINMAKER_FACE);
        built.faceRegion.rects.push_back(rc);
        ::UnionRect(&built.faceRegion.rcBound, &built.faceRegion.rcBound, &rc);
    }
    if (options.bSample)
        PaintDial(face, built.faceRegion, n);
    if (!Encode(face, built.facePicture, strError))
        return FALSE;

    // Flat bars in the test colours, or the sample look's pointed hands with
    // a cap on the hand drawn last.
    const bool bSample = options.bSample;
    const CHandShape hour = bSample
        ? CHandShape { SKINMAKER_SAMPLE_INK, std::max(3, n / 32), n * 27 / 100, n / 14 }
        : CHandShape { SKINMAKER_HOUR, 5, n / 4, 5 };
    const CHandShape minute = bSample
        ? CHandShape { SKINMAKER_SAMPLE_INK, std::max(2, n / 45), n * 39 / 100, n / 14 }
        : CHandShape { SKINMAKER_MINUTE, 3, n * 2 / 5, 4 };
    const CHandShape second = bSample ? CHandShape { SKINMAKER_SAMPLE_SECOND, 1, n * 43 / 100, n / 7 }
                                      : CHandShape { SKINMAKER_SECOND, 2, n * 9 / 20, 8 };
    const auto hand = [&](const CHandShape& shape, bool bCap, RegionBlock& region, PictureBlock& block) {
        return bSample ? ShapedHand(n, shape, bCap ? std::max(3, n / 26) : 0, region, block, strError)
                       : Hand(n, shape, region, block, strError);
    };
    if (!hand(hour, false, built.hourRegion, built.hourPicture)
        || !hand(minute, !options.bSecondHand, built.minuteRegion, built.minutePicture))
        return FALSE;
    if (options.bSecondHand && !hand(second, true, built.secondRegion, built.secondPicture))
        return FALSE;
    data = std::move(built);
    return TRUE;
}

BOOL BuildDigitalSkin(const CSkinMakerOptions& options, DigitalSkinData& data, CString& strError)
{
    const int w = options.nGlyphWidth;
    const int h = options.nGlyphHeight;
    if (w < 4 || h < 8) {
        strError = "glyph cells must be at least 4 x 8 pixels";
        return FALSE;
    }
    if (options.bSample && (w < SKINMAKER_SAMPLE_MIN_GLYPH_WIDTH || h < SKINMAKER_SAMPLE_MIN_GLYPH_HEIGHT)) {
        strError.Format("sample glyph cells must be at least %d x %d pixels",
            SKINMAKER_SAMPLE_MIN_GLYPH_WIDTH, SKINMAKER_SAMPLE_MIN_GLYPH_HEIGHT);
        return FALSE;
    }
    DigitalSkinData built;
    built.strDescription = "Digital;1.0;" + options.strName + ";Veltran skinmaker;2026-01-01";

    CPicture background;
    if (!NewPicture(background, 8 * w, h + 8, strError))
        return FALSE;
    const RECT rcBackground = MakeRect(0, 0, 8 * w, h + 8);
    if (options.bSample) {
        Fill(background, rcBackground, SKINMAKER_SAMPLE_INK);
        Fill(background, MakeRect(2, 2, 8 * w - 2, h + 6), SKINMAKER_SAMPLE_PANEL);
    } else {
        Fill(background, rcBackground, SKINMAKER_BACKGROUND);
    }
    built.backgroundRegion = RectRegion(rcBackground);
    if (!Encode(background, built.backgroundPicture, strError))
        return FALSE;

    CPicture strip;
    if (!NewPicture(strip, SKINMAKER_GLYPH_CELLS * w, h, strError))
        return FALSE;
    if (options.bSample) {
        Fill(strip, MakeRect(0, 0, SKINMAKER_GLYPH_CELLS * w, h), SKINMAKER_SAMPLE_PANEL);
        for (int k = 0; k < DIGITAL_GLYPH_SET_LENGTH; k++)
            DrawGlyph(strip, k, w, h);
    } else {
        for (int k = 0; k < SKINMAKER_GLYPH_CELLS; k++) {
            if (k == SKINMAKER_BLANK_CELL || k == SKINMAKER_GLYPH_CELLS - 1)
                continue;
            Fill(strip, MakeRect(k * w + 2, 2, (k + 1) * w - 2, h - 2), SKINMAKER_GLYPH);
        }
    }
    built.nHasAbcRegion = options.bAbcRegion ? 1 : 0;
    if (options.bAbcRegion)
        built.abcRegion = RectRegion(MakeRect(0, 0, SKINMAKER_GLYPH_CELLS * w, h));
    if (!Encode(strip, built.glyphStrip, strError))
        return FALSE;
    data = std::move(built);
    return TRUE;
}

BOOL BuildSkinStream(const CSkinMakerOptions& options, std::vector<BYTE>& stream, CString& strError)
{
    if (options.kind == SKIN_ANALOG) {
        AnalogSkinData data;
        if (!BuildAnalogSkin(options, data, strError))
            return FALSE;
        stream = AnalogSkinDataBytes(data);
    } else {
        DigitalSkinData data;
        if (!BuildDigitalSkin(options, data, strError))
            return FALSE;
        stream = DigitalSkinDataBytes(data);
    }
    for (const auto& patch : options.patches) {
        if (patch.first > stream.size() || stream.size() - patch.first < 4) {
            strError.Format("patch offset %lu is past the stream's %lu bytes", static_cast<unsigned long>(patch.first),
                            static_cast<unsigned long>(stream.size()));
            return FALSE;
        }
        PicPutU32(stream.data() + patch.first, patch.second);
    }
    if (options.nTruncate >= 0 && static_cast<size_t>(options.nTruncate) < stream.size())
        stream.resize(static_cast<size_t>(options.nTruncate));
    return TRUE;
}

BOOL BreakArchiveCrc(std::vector<BYTE>& zip)
{
    if (zip.size() < 30 + 22 || zip[0] != 'P' || zip[1] != 'K' || zip[2] != 3 || zip[3] != 4)
        return FALSE;
    for (size_t i = zip.size() - 22; i-- > 30;) {
        if (zip[i] == 'P' && zip[i + 1] == 'K' && zip[i + 2] == 1 && zip[i + 3] == 2) {
            zip[14] ^= 0x5A;
            zip[i + 16] ^= 0x5A;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL WriteSkinFile(const CSkinMakerOptions& options, LPCSTR lpszPath, CString& strError)
{
    std::vector<BYTE> stream;
    if (!BuildSkinStream(options, stream, strError))
        return FALSE;
    if (!options.bRaw) {
        if (!PackSkinData(lpszPath, "skin.dat", stream)) {
            strError = CString("cannot write ") + lpszPath;
            return FALSE;
        }
        if (!options.bBreakCrc)
            return TRUE;
        if (AfxReadWholeFile(lpszPath, SKIN_ARCHIVE_MAX_BYTES, stream) != AFX_FILE_READ_OK || !BreakArchiveCrc(stream)) {
            strError = CString("cannot find the CRC fields in ") + lpszPath;
            return FALSE;
        }
    }
    std::ofstream out(lpszPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(stream.data()), static_cast<std::streamsize>(stream.size()));
    out.close();
    if (!out) {
        strError = CString("cannot write ") + lpszPath;
        return FALSE;
    }
    return TRUE;
}

BOOL WriteSkinPreview(const CSkinMakerOptions& options, LPCSTR lpszPath, CString& strError)
{
    std::vector<BYTE> jpeg;
    if (options.kind == SKIN_ANALOG) {
        AnalogSkinData data;
        if (!BuildAnalogSkin(options, data, strError))
            return FALSE;
        jpeg = data.facePicture.bytes;
    } else {
        DigitalSkinData data;
        if (!BuildDigitalSkin(options, data, strError))
            return FALSE;
        jpeg = data.backgroundPicture.bytes;
    }
    std::ofstream out(lpszPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
    out.close();
    if (!out) {
        strError = CString("cannot write ") + lpszPath;
        return FALSE;
    }
    return TRUE;
}
