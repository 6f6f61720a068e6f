// PNG codec on libpng, reading and writing through a CPicFile: every file
// arrives as 1, 4, 8 or 24-bit rows, with an alpha plane where it has alpha.
#pragma once

#include "image/picture.h"

#include <cstdio>

struct CPngDecodeJob;
struct CPngEncodeJob;

class VELTRAN_IMAGE_API CPicturePNG : public CPicture {
public:
    CPicturePNG()
        : CPicture(PIC_FORMAT_PNG)
    {
    }

    bool Decode(CPicFile* file);
    bool Decode(FILE* stream);
    bool Encode(CPicFile* file);
    bool Encode(FILE* stream);

protected:
    static bool DecodeRun(CPngDecodeJob& job);
    static bool EncodeRun(CPngEncodeJob& job);
    // 2-bit pixels to 4-bit ones in place, last pixel first; the row must
    // hold (width + 1) / 2 bytes.
    static void ExpandTwoBitRow(BYTE* row, DWORD width);
};
