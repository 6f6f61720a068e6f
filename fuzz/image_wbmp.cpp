// WBMP decoding of hostile bytes; what decodes and fits the writer must read
// back with the same colours.
#include "fuzz/raster_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CPicture pic;
    if (!FuzzDecode(pic, data, size, PIC_FORMAT_WBMP))
        return 0;
    if (!pic.IsValid() || pic.GetBpp() != 1)
        std::abort();
    CPicture back;
    bool fits = pic.GetWidth() <= 255 && pic.GetHeight() <= 255;
    if (FuzzReencode(pic, PIC_FORMAT_WBMP, back) != fits)
        std::abort();
    if (fits)
        FuzzRequireSameColors(pic, back);
    return 0;
}
