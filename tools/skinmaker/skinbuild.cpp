#include "tools/skinmaker/skinbuild.h"

#include "afx/afxfile.h"
#include "afx/afxgeom.h"
#include "clocks/skinzip.h"
#include "image/byteorder.h"
#include "image/picture.h"

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
    if (!Encode(face, built.facePicture, strError))
        return FALSE;

    const CHandShape hour = {SKINMAKER_HOUR, 5, n / 4, 5};
    const CHandShape minute = {SKINMAKER_MINUTE, 3, n * 2 / 5, 4};
    const CHandShape second = {SKINMAKER_SECOND, 2, n * 9 / 20, 8};
    if (!Hand(n, hour, built.hourRegion, built.hourPicture, strError)
        || !Hand(n, minute, built.minuteRegion, built.minutePicture, strError))
        return FALSE;
    if (options.bSecondHand && !Hand(n, second, built.secondRegion, built.secondPicture, strError))
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
    DigitalSkinData built;
    built.strDescription = "Digital;1.0;" + options.strName + ";Veltran skinmaker;2026-01-01";

    CPicture background;
    if (!NewPicture(background, 8 * w, h + 8, strError))
        return FALSE;
    const RECT rcBackground = MakeRect(0, 0, 8 * w, h + 8);
    Fill(background, rcBackground, SKINMAKER_BACKGROUND);
    built.backgroundRegion = RectRegion(rcBackground);
    if (!Encode(background, built.backgroundPicture, strError))
        return FALSE;

    CPicture strip;
    if (!NewPicture(strip, SKINMAKER_GLYPH_CELLS * w, h, strError))
        return FALSE;
    for (int k = 0; k < SKINMAKER_GLYPH_CELLS; k++) {
        if (k == SKINMAKER_BLANK_CELL || k == SKINMAKER_GLYPH_CELLS - 1)
            continue;
        Fill(strip, MakeRect(k * w + 2, 2, (k + 1) * w - 2, h - 2), SKINMAKER_GLYPH);
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
