// PGX reading of hostile bytes, through the reader and the picture object.
#include "image/picture_pgx.h"
#include "image_planes_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Signed samples have no PGX form of ours to go out in.
    return FuzzPlanes(data, size, PIC_FORMAT_PGX, PicReadPgx, PicWritePgx,
        [](const opj_image_t* p) { return p->comps[0].sgnd == 0; });
}
