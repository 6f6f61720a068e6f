// Any picture of 1, 4, 8 or 24 bits, through any of the three coders, reads
// back with the same colours.
#include "fuzz/raster_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const DWORD depths[] = { 1, 4, 8, 24 };
    CPicture pic;
    BYTE extra = 0;
    if (!FuzzPicture(pic, data, size, depths, 4, extra))
        return 0;
    pic.SetCodecOption(extra % 3, PIC_FORMAT_GIF);
    if (extra & 4)
        pic.SetTransIndex(extra >> 4);
    CPicture back;
    if (!FuzzReencode(pic, PIC_FORMAT_GIF, back))
        std::abort();
    FuzzRequireSameColors(pic, back);
    return 0;
}
