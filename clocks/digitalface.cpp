#include "clocks/digitalface.h"

#include "clocks/clockmodel.h"

#include <algorithm>
#include <cstring>

const char g_szDigitalGlyphSet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890 !@#$%^&*()-+=.:,;/";
static_assert(sizeof(g_szDigitalGlyphSet) - 1 == DIGITAL_GLYPH_SET_LENGTH, "glyph set");

namespace {

// Which cell each byte takes. A table rather than a search of the set, whose
// terminator would otherwise give the byte 0 the spare cell.
struct CGlyphTable {
    signed char cells[256];
    CGlyphTable()
    {
        std::memset(cells, -1, sizeof(cells));
        for (int k = 0; k < DIGITAL_GLYPH_SET_LENGTH; k++)
            cells[static_cast<BYTE>(g_szDigitalGlyphSet[k])] = static_cast<signed char>(k);
    }
};
const CGlyphTable g_glyphTable;

// At least 1; 0 for a side the clock cannot have.
DWORD Bounded(uint64_t n)
{
    if (n < 1)
        return 1;
    return n > CLOCK_MAX_SIDE ? 0 : static_cast<DWORD>(n);
}

uint64_t Scaled(uint64_t nLength, int nScale)
{
    return nScale > 0 ? nLength * static_cast<uint64_t>(nScale) / 100 : 0;
}

BOOL To24Bits(CPicture& picture)
{
    if (!picture.IsValid())
        return FALSE;
    return picture.GetBpp() == 24 || picture.IncreaseBpp(24);
}

void ApplyEffects(CPicture& picture, const CDigitalFaceOptions& options)
{
    if (options.nLight > 0 || options.nContrast > 0)
        picture.Light(options.nLight * 10, options.nContrast * 10);
    if (options.nJitter > 0)
        picture.Jitter(options.nJitter);
}

// Row y counted from the top of a bottom-up picture.
BYTE* TopRow(const CPicture& picture, LONG y)
{
    return picture.GetBits(picture.GetHeight() - 1 - static_cast<DWORD>(y));
}

} // namespace

int GetGlyphIndex(BYTE ch)
{
    return g_glyphTable.cells[ch];
}

CString UpperCaseClockText(const CString& strText)
{
    CString strUpper(strText);
    for (int i = 0; i < strUpper.GetLength(); i++) {
        const char ch = strUpper[i];
        if (ch >= 'a' && ch <= 'z')
            strUpper.SetAt(i, static_cast<char>(ch - 'a' + 'A'));
    }
    return strUpper;
}

int GetDigitalLoadScale(int nScale, int nFixedSize, DWORD nBackWidth, DWORD nBackHeight)
{
    const DWORD nLargest = std::max(nBackWidth, nBackHeight);
    if (nFixedSize <= 0 || nLargest == 0)
        return nScale;
    const uint64_t s = static_cast<uint64_t>(nFixedSize) * 100 / nLargest;
    return static_cast<int>(std::min<uint64_t>(s / 10 * 10 + 10, INT32_MAX));
}

DWORD GetDigitalBackgroundWidth(DWORD nStoredWidth, int64_t nLength, int nScale)
{
    if (nScale <= 0)
        return 1;
    const uint64_t nChars = static_cast<uint64_t>(std::max<int64_t>(nLength, 1));
    // Past the limit the product only grows: stop before it can overflow.
    const uint64_t nPerChar = static_cast<uint64_t>(nScale) * nStoredWidth;
    if (nPerChar != 0 && nChars > (static_cast<uint64_t>(CLOCK_MAX_SIDE) * 800) / nPerChar + 1)
        return 0;
    const uint64_t w = nPerChar * nChars / 800;
    return Bounded(w + w % DIGITAL_GLYPH_CELLS);
}

DWORD GetDigitalStripWidth(DWORD nStripWidth, int nScale)
{
    const uint64_t w = Scaled(nStripWidth, nScale);
    return Bounded(std::max<uint64_t>(w + w % DIGITAL_GLYPH_CELLS, DIGITAL_GLYPH_CELLS));
}

DWORD GetDigitalScaledLength(DWORD nLength, int nScale)
{
    return Bounded(Scaled(nLength, nScale));
}

void GetGlyphPlacements(const CString& strText, LONG nCanvasWidth, LONG nCanvasHeight, LONG nGlyphWidth,
                        LONG nGlyphHeight, std::vector<CGlyphPlacement>& placements)
{
    placements.clear();
    if (nGlyphWidth <= 0 || nGlyphHeight <= 0 || nCanvasWidth <= 0 || nCanvasHeight <= 0)
        return;
    const int64_t nText = static_cast<int64_t>(strText.GetLength()) * nGlyphWidth;
    const int64_t x0 = nCanvasWidth / 2 - nText / 2;
    const int64_t y = nCanvasHeight / 2 - nGlyphHeight / 2;
    const int64_t yTop = std::max<int64_t>(y, 0), yBottom = std::min<int64_t>(y + nGlyphHeight, nCanvasHeight);
    if (yTop >= yBottom)
        return;
    for (int i = 0; i < strText.GetLength(); i++) {
        const int64_t x = x0 + static_cast<int64_t>(i) * nGlyphWidth;
        if (x >= nCanvasWidth)
            break;
        const int k = GetGlyphIndex(static_cast<BYTE>(strText[i]));
        const int64_t xLeft = std::max<int64_t>(x, 0), xRight = std::min<int64_t>(x + nGlyphWidth, nCanvasWidth);
        if (k < 0 || xLeft >= xRight)
            continue;
        CGlyphPlacement place;
        place.xSrc = static_cast<LONG>(static_cast<int64_t>(k) * nGlyphWidth + (xLeft - x));
        place.ySrc = static_cast<LONG>(yTop - y);
        place.xDst = static_cast<LONG>(xLeft);
        place.yDst = static_cast<LONG>(yTop);
        place.cx = static_cast<LONG>(xRight - xLeft);
        place.cy = static_cast<LONG>(yBottom - yTop);
        placements.push_back(place);
    }
}

BOOL CDigitalClockFace::Fail(const CString& strError)
{
    m_strError = strError;
    return FALSE;
}

BOOL CDigitalClockFace::Prepare(const CPicture* pPictures, const CDigitalFaceOptions& options, int64_t nTextLength)
{
    if (!pPictures[0].IsValid() || !pPictures[1].IsValid())
        return Fail("Cannot read the skin's pictures!");
    const DWORD nBackWidth = pPictures[0].GetWidth(), nBackHeight = pPictures[0].GetHeight();
    const int nScale = GetDigitalLoadScale(options.nScale, options.nFixedSize, nBackWidth, nBackHeight);
    const DWORD w = GetDigitalBackgroundWidth(nBackWidth, nTextLength, nScale);
    const DWORD h = GetDigitalScaledLength(nBackHeight, nScale);
    const DWORD gw = GetDigitalStripWidth(pPictures[1].GetWidth(), nScale);
    const DWORD gh = GetDigitalScaledLength(pPictures[1].GetHeight(), nScale);
    if (w == 0 || h == 0 || gw == 0 || gh == 0)
        return Fail(GetClockSizeText(options.nScale, options.nFixedSize, nScale));
    const CString strNoMemory = GetClockMemoryText(static_cast<LONG>(w), static_cast<LONG>(h));

    CPicture background(pPictures[0]);
    CPicture strip(pPictures[1]);
    if (!To24Bits(background) || !To24Bits(strip))
        return Fail(strNoMemory);
    const CSize sizeSkin(static_cast<int>(nBackWidth), static_cast<int>(nBackHeight));

    ApplyEffects(background, options);
    ApplyEffects(strip, options);

    if (!background.Resample(static_cast<LONG>(w), static_cast<LONG>(h), 1, nullptr)
        || !strip.Resample(static_cast<LONG>(gw), static_cast<LONG>(gh), 1, nullptr) || !To24Bits(background)
        || !To24Bits(strip))
        return Fail(strNoMemory);

    // Everything could be made: only now does the face change.
    m_background.Transfer(background);
    m_strip.Transfer(strip);
    m_nWidth = static_cast<LONG>(w);
    m_nHeight = static_cast<LONG>(h);
    m_nGlyphWidth = static_cast<LONG>(gw / DIGITAL_GLYPH_CELLS);
    m_nGlyphHeight = static_cast<LONG>(gh);
    m_nScale = nScale;
    m_sizeSkinBackground = sizeSkin;
    m_strError.Empty();
    return TRUE;
}

BOOL CDigitalClockFace::Draw(const CString& strText, CPicture& canvas) const
{
    if (!IsValid() || !canvas.IsValid() || canvas.GetBpp() != 24 || canvas.GetWidth() != m_background.GetWidth()
        || canvas.GetHeight() != m_background.GetHeight())
        return FALSE;
    std::vector<CGlyphPlacement> placements;
    GetGlyphPlacements(strText, m_nWidth, m_nHeight, m_nGlyphWidth, m_nGlyphHeight, placements);
    for (const CGlyphPlacement& place : placements) {
        for (LONG row = 0; row < place.cy; row++) {
            const BYTE* src = TopRow(m_strip, place.ySrc + row) + static_cast<size_t>(place.xSrc) * 3;
            BYTE* dst = TopRow(canvas, place.yDst + row) + static_cast<size_t>(place.xDst) * 3;
            std::memcpy(dst, src, static_cast<size_t>(place.cx) * 3);
        }
    }
    return TRUE;
}
