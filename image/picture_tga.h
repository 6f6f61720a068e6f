// Truevision TGA codec of our own: colour-mapped, true-colour and grey files,
// plain and run-length, 8/15/16/24/32 bits; writes 8-bit colour-mapped and
// 24/32-bit true-colour files.
#pragma once

#include "image/picture.h"

#include <cstdio>

struct CTgaHeader {
    BYTE idLength;
    BYTE colorMapType;
    BYTE imageType;
    WORD colorMapFirst;
    WORD colorMapLength;
    BYTE colorMapEntrySize;
    WORD xOrigin;
    WORD yOrigin;
    WORD width;
    WORD height;
    BYTE pixelDepth;
    BYTE descriptor;
};

// A run-length packet may run past a row's end; its rest starts the next row.
struct CTgaPacketState {
    DWORD left; // pixels of the current packet still to come
    bool run;
    BYTE value[4]; // the run's pixel as stored in the file
};

class VELTRAN_IMAGE_API CPictureTGA : public CPicture {
public:
    CPictureTGA()
        : CPicture(PIC_FORMAT_TGA)
    {
    }

    bool Decode(CPicFile* file);
    bool Encode(CPicFile* file);
    bool Decode(FILE* stream);
    bool Encode(FILE* stream);

protected:
    bool ExpandUncompressedLine(
        BYTE* dest, const CTgaHeader& h, CPicFile* file, DWORD count, LONG row, LONG x);
    bool ExpandCompressedLine(
        BYTE* dest, const CTgaHeader& h, CPicFile* file, DWORD width, LONG row, CTgaPacketState& packet);
    void StorePixel(BYTE* dest, const CTgaHeader& h, const BYTE* src, LONG row, LONG x);
};
