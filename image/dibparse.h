// The packed DIB (header, optional colour masks, palette, pixels in one
// block), as the clipboard's CF_DIB and global memory handles carry it.
// Portable, so that the reader behind CreateFromHANDLE is tested and
// fuzzed natively.
#pragma once

#include "afx/wintypes.h"

#include <cstddef>

class CPicture;

struct CPicDibLayout {
    DWORD headerSize;       // 12 (core), 40, 52, 56, 108 or 124
    DWORD width;
    DWORD height;
    bool topDown;
    WORD bitCount;          // 1, 4, 8, 16, 24 or 32
    DWORD compression;      // BI_RGB, BI_RLE8, BI_RLE4 or BI_BITFIELDS
    DWORD paletteOffset;
    DWORD paletteEntrySize; // 3 for the core header, else 4
    DWORD paletteEntries;   // entries present in the block
    DWORD masks[3];         // red, green, blue of 16- and 32-bit pixels
    size_t pixelOffset;
    LONG xPelsPerMeter;
    LONG yPelsPerMeter;
};

// Describes size bytes at data as a packed DIB. False, with the reason in
// *error, when a header field is unusable or a table reaches past the end.
bool PicParseDibLayout(const BYTE* data, size_t size, CPicDibLayout& layout, const char** error);

// Replaces pic by the packed DIB at data. On failure pic is empty and its
// last error says why.
bool PicReadPackedDib(CPicture& pic, const BYTE* data, size_t size);
