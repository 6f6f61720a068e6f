// PCX decoding of hostile bytes; whatever decodes must encode and decode back
// to the same colours.
#include "fuzz/raster_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CPicture pic;
    if (!FuzzDecode(pic, data, size, PIC_FORMAT_PCX))
        return 0;
    if (!pic.IsValid())
        std::abort();
    CPicture back;
    if (FuzzReencode(pic, PIC_FORMAT_PCX, back))
        FuzzRequireSameColors(pic, back);
    return 0;
}
