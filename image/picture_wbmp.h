// Wireless bitmap (WBMP type 0) codec: one bit per pixel, 1 = white.
#pragma once

#include "image/picture.h"

#include <cstdio>

class VELTRAN_IMAGE_API CPictureWBMP : public CPicture {
public:
    CPictureWBMP()
        : CPicture(PIC_FORMAT_WBMP)
    {
    }

    bool Decode(CPicFile* file);
    bool Encode(CPicFile* file);
    bool Decode(FILE* stream);
    bool Encode(FILE* stream);
};
