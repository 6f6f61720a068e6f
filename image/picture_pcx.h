// ZSoft PCX codec of our own: the 128-byte header, run-length coding,
// plane-separated and packed rows, the 16-entry header palette and the
// 256-entry palette at the end of 8-bit files.
#pragma once

#include "image/picture.h"

#include <cstdio>
#include <vector>

struct CPcxHeader {
    BYTE manufacturer;
    BYTE version;
    BYTE encoding;
    signed char bitsPerPixel;
    WORD xMin, yMin, xMax, yMax;
    WORD hDpi, vDpi;
    BYTE colorMap[48];
    BYTE reserved;
    signed char colorPlanes;
    WORD bytesPerLine;
    WORD paletteInfo;
};

class VELTRAN_IMAGE_API CPicturePCX : public CPicture {
public:
    CPicturePCX()
        : CPicture(PIC_FORMAT_PCX)
    {
    }

    bool Decode(CPicFile* file);
    bool Encode(CPicFile* file);
    bool Decode(FILE* stream);
    bool Encode(FILE* stream);

protected:
    bool PlanesToPixels(BYTE* pixels, const BYTE* bitPlanes, int bytesPerLine, int planes, int bitsPerPixel);
    bool UnpackPixels(BYTE* pixels, const BYTE* data, int bytesPerLine, int planes, int bitsPerPixel);
    static void PixelsToPlanes(const BYTE* raw, LONG width, BYTE* planeLine, int plane);
    static void PackPixels(const BYTE* data, size_t size, std::vector<BYTE>& out);
    static void PackPixel(int value, int& previous, int& count, std::vector<BYTE>& out);
};
