// JPEG-2000 family codec: JP2 files and J2K code streams on OpenJPEG, and
// PGX, PNM and Sun raster through our own readers and writers, all meeting
// in component planes. Format codes 11-15.
#pragma once

#include "image/picture.h"
#include "image/picture_planes.h"

#include <cstddef>
#include <cstdio>

class VELTRAN_IMAGE_API CPictureJAS : public CPicture {
public:
    // Decoder limits beside the picture's pixel limit.
    enum { MAX_COMPONENTS = 64, MAX_TILES = 16384 };

    CPictureJAS();
    ~CPictureJAS() override;

    // The format is recognised from the data; `type` (0: the one found)
    // becomes the picture's format code.
    bool Decode(CPicFile* file, DWORD type);
    bool Decode(FILE* stream, DWORD type);
    // `type` 11-15 chooses the writer.
    bool Encode(CPicFile* file, DWORD type);
    bool Encode(FILE* stream, DWORD type);

    // The format code of the data that starts with these bytes, or 0.
    static DWORD DetectFormat(const BYTE* head, size_t size);

protected:
    bool DecodePlanes(opj_image_t* image, DWORD type);
    CPicPlanes MakePlanes();
};

inline bool PicCodecDecode(CPictureJAS& codec, CPicFile* file, DWORD type)
{
    return codec.Decode(file, type);
}
inline bool PicCodecEncode(CPictureJAS& codec, CPicFile* file, DWORD type)
{
    return codec.Encode(file, type);
}
