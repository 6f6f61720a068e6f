// Skins drawn from scratch: flat, widely separated colours so that window
// tests can check pixels, every layout variant, and damaged variants.
#pragma once

#include "afx/afxstr.h"
#include "afx/wintypes.h"
#include "clocks/skinarchive.h"
#include "clocks/skindata.h"

#include <utility>
#include <vector>

// Colours of the drawn pictures (COLORREF order: red in the low byte).
const COLORREF SKINMAKER_FACE = RGB(0, 0, 170);
const COLORREF SKINMAKER_HOUR = RGB(220, 0, 0);
const COLORREF SKINMAKER_MINUTE = RGB(0, 200, 0);
const COLORREF SKINMAKER_SECOND = RGB(240, 240, 0);
const COLORREF SKINMAKER_BACKGROUND = RGB(0, 0, 128);
const COLORREF SKINMAKER_GLYPH = RGB(230, 0, 0);
const COLORREF SKINMAKER_BLACK = RGB(0, 0, 0);
// Every glyph cell is black with a red box inset by 2 pixels, except the
// blank cell and the spare last cell, which stay black. JPEG smears finer
// detail past what a pixel test could tell apart.
const int SKINMAKER_GLYPH_CELLS = 56;
const int SKINMAKER_BLANK_CELL = 36;

// The sample look, for the skins a user meets first: a clock face with hour
// marks, shaped hands and a centre cap; glyphs that spell their characters.
const COLORREF SKINMAKER_SAMPLE_DIAL = RGB(244, 240, 228);
const COLORREF SKINMAKER_SAMPLE_INK = RGB(32, 36, 52);
const COLORREF SKINMAKER_SAMPLE_SECOND = RGB(200, 30, 30);
const COLORREF SKINMAKER_SAMPLE_PANEL = RGB(24, 8, 8);
const COLORREF SKINMAKER_SAMPLE_GLYPH = RGB(255, 48, 32);
// The sample glyphs are a 5 x 7 dot font, each dot this many pixels at least.
const int SKINMAKER_SAMPLE_MIN_GLYPH_WIDTH = 7;
const int SKINMAKER_SAMPLE_MIN_GLYPH_HEIGHT = 9;

struct CSkinMakerOptions {
    SkinKind kind = SKIN_ANALOG;
    bool bSample = false; // the sample look above instead of flat test colours
    CString strName = "Simple";
    // Analog.
    bool bSecondHand = true;
    bool bPivotMiddle = true;
    int nPivotX = 0;
    int nPivotY = 0;
    int nFaceSize = 160;
    // Digital.
    bool bAbcRegion = false;
    int nGlyphWidth = 16;
    int nGlyphHeight = 24;
    // Damage, applied to the data stream, then to the archive.
    long nTruncate = -1;                           // keep only this many bytes
    std::vector<std::pair<DWORD, DWORD>> patches; // DWORD value at byte offset
    bool bBreakCrc = false;
    bool bRaw = false; // write the data stream itself, not an archive
};

BOOL BuildAnalogSkin(const CSkinMakerOptions& options, AnalogSkinData& data, CString& strError);
BOOL BuildDigitalSkin(const CSkinMakerOptions& options, DigitalSkinData& data, CString& strError);
// The data stream with truncation and patches applied.
BOOL BuildSkinStream(const CSkinMakerOptions& options, std::vector<BYTE>& stream, CString& strError);
// The archive (or the raw stream) at lpszPath.
BOOL WriteSkinFile(const CSkinMakerOptions& options, LPCSTR lpszPath, CString& strError);
// The skin's preview as the skin server offers it: the analog face or the
// digital background, as JPEG.
BOOL WriteSkinPreview(const CSkinMakerOptions& options, LPCSTR lpszPath, CString& strError);
// Flips the CRC of a one-member archive in its local and its central header.
BOOL BreakArchiveCrc(std::vector<BYTE>& zip);
