// Sun-raster reading of hostile bytes, through the reader and the picture object.
#include "image/picture_ras.h"
#include "image_planes_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Map-less bitmaps come out at 1 bit; the writer takes 8.
    return FuzzPlanes(data, size, PIC_FORMAT_RAS, PicReadRas, PicWriteRas,
        [](const opj_image_t* p) { return p->comps[0].prec == 8; });
}
