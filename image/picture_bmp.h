// Windows bitmap codec: BITMAPFILEHEADER (or a bare DIB), core, info and
// OS/2 headers, palettes, 16/32-bit bit fields and RLE8/RLE4.
#pragma once

#include "image/picture.h"

class CPictureBMP : public CPicture {
public:
    CPictureBMP()
        : CPicture(PIC_FORMAT_BMP)
    {
    }

    bool Decode(CPicFile* file);
    bool Encode(CPicFile* file);
    bool Decode(FILE* stream);
    bool Encode(FILE* stream);

    // Fills h from a core (12-byte) or info (40 bytes and up) header and
    // completes a zero image size and colour count.
    static bool ReadInfoHeader(CPicFile* file, BITMAPINFOHEADER* h);

protected:
    bool ReadPixels(CPicFile* file, const BITMAPINFOHEADER& bih, bool coreHeader, LONG start, DWORD offBits);
    bool DecodeRle(CPicFile* file, bool rle4);
};
