// Windows icon and cursor codec: reads one entry of an icon or cursor file
// (colour rows plus the transparency mask), writes a single-entry icon.
#pragma once

#include "image/picture.h"

#include <cstdio>

class VELTRAN_IMAGE_API CPictureICO : public CPicture {
public:
    CPictureICO()
        : CPicture(PIC_FORMAT_ICO)
    {
    }

    bool Decode(CPicFile* file);
    bool Encode(CPicFile* file);
    bool Decode(FILE* stream);
    bool Encode(FILE* stream);

protected:
    bool ApplyMask(const BYTE* mask, size_t maskRow, WORD bitCount);
};
