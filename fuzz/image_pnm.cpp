// PNM (P1-P6) reading of hostile bytes, through the reader and the picture object.
#include "image/picture_pnm.h"
#include "image_planes_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzPlanes(
        data, size, PIC_FORMAT_PNM, PicReadPnm, PicWritePnm, [](const opj_image_t*) { return true; });
}
