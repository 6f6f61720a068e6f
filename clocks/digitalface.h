// The digital clock without windows: which glyph cell a character takes,
// the sizes of the background and of the glyph cells at a scale, where each
// glyph of a text goes on the canvas, and the canvas composed in memory.
// The window draws what this lays out; Draw gives the same picture in memory.
#pragma once

#include "afx/afxgeom.h"
#include "afx/afxstr.h"
#include "afx/wintypes.h"
#include "clocks/skindata.h"
#include "image/picture.h"

#include <cstdint>
#include <vector>

// The characters of the glyph strip, cell k showing character k; the strip
// holds one cell more than the set.
extern const char g_szDigitalGlyphSet[];
const int DIGITAL_GLYPH_SET_LENGTH = 55;
const int DIGITAL_GLYPH_CELLS = DIGITAL_GLYPH_SET_LENGTH + 1;
// The stored background is for this many characters at 100 %.
const int DIGITAL_BACKGROUND_CHARS = 8;

// The cell of a character, -1 for one the set lacks (lower-case letters
// included: the text is upper-cased first).
int GetGlyphIndex(BYTE ch);
// Letters a..z made capitals; every other byte stays, so the length never changes.
CString UpperCaseClockText(const CString& strText);

// The scale a load uses: with a fixed size above 0, the fixed size over the
// background's larger side, rounded down to tens and raised by ten; else nScale.
int GetDigitalLoadScale(int nScale, int nFixedSize, DWORD nBackWidth, DWORD nBackHeight);
// nScale x nLength x nStoredWidth / 800, then raised by itself modulo 56, in
// 64 bits. A text of no characters is sized as one, so the clock keeps an
// area to click; the width is at least 1, and 0 when it would pass
// CLOCK_MAX_SIDE.
DWORD GetDigitalBackgroundWidth(DWORD nStoredWidth, int64_t nLength, int nScale);
// The strip's width at a scale, raised by itself modulo 56 and to at least
// one pixel per cell; 0 past CLOCK_MAX_SIDE.
DWORD GetDigitalStripWidth(DWORD nStripWidth, int nScale);
// nLength x nScale / 100 in 64 bits, at least 1; 0 past CLOCK_MAX_SIDE.
DWORD GetDigitalScaledLength(DWORD nLength, int nScale);

// One glyph cell copied onto the canvas, already clipped to it.
struct CGlyphPlacement {
    LONG xSrc, ySrc; // in the scaled strip
    LONG xDst, yDst; // on the canvas
    LONG cx, cy;
};
// The cells of the text centred on a canvas, in text order. Characters
// without a glyph and cells wholly outside the canvas get none; offsets are
// worked out in 64 bits, so no text is too long.
void GetGlyphPlacements(const CString& strText, LONG nCanvasWidth, LONG nCanvasHeight, LONG nGlyphWidth,
                        LONG nGlyphHeight, std::vector<CGlyphPlacement>& placements);

struct CDigitalFaceOptions {
    int nScale = 100;    // requested, already normalised
    int nFixedSize = -1; // above 0: the larger side in pixels
    int nLight = 0;      // 0..10
    int nContrast = 0;
    int nJitter = 0;
};

class CDigitalClockFace {
public:
    // Makes the scaled background and glyph strip from a skin's pictures (as
    // LoadDigitalSkin gives them: background, strip) for a text of
    // nTextLength characters. FALSE when a picture cannot be made, with the
    // message in GetLastError; the face is then unchanged.
    BOOL Prepare(const CPicture* pPictures, const CDigitalFaceOptions& options, int64_t nTextLength);
    const CString& GetLastError() const { return m_strError; }

    // Copies the glyph cells of the (upper-cased) text onto canvas, which has
    // the background's size; pixels under characters without a glyph stay.
    BOOL Draw(const CString& strText, CPicture& canvas) const;

    BOOL IsValid() const { return m_background.IsValid() && m_strip.IsValid(); }
    const CPicture& GetBackground() const { return m_background; }
    const CPicture& GetStrip() const { return m_strip; }
    LONG GetWidth() const { return m_nWidth; }
    LONG GetHeight() const { return m_nHeight; }
    LONG GetGlyphWidth() const { return m_nGlyphWidth; }
    LONG GetGlyphHeight() const { return m_nGlyphHeight; }
    int GetScale() const { return m_nScale; }
    CSize GetSkinBackgroundSize() const { return m_sizeSkinBackground; }

private:
    BOOL Fail(const CString& strError);

    CPicture m_background; // scaled, with effects: the canvas at load
    CPicture m_strip;      // scaled glyph strip, with effects
    LONG m_nWidth = 0;
    LONG m_nHeight = 0;
    LONG m_nGlyphWidth = 0;
    LONG m_nGlyphHeight = 0;
    int m_nScale = 100;
    CSize m_sizeSkinBackground;
    CString m_strError;
};
