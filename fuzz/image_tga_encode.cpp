// Any picture of 8 or 24 bits, with or without alpha, reads back the same.
#include "fuzz/raster_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const DWORD depths[] = { 8, 24 };
    CPicture pic;
    BYTE extra = 0;
    if (!FuzzPicture(pic, data, size, depths, 2, extra))
        return 0;
    if (pic.GetBpp() == 24 && (extra & 1)) {
        pic.AlphaCreate();
        for (LONG y = 0; y < LONG(pic.GetHeight()); ++y)
            for (LONG x = 0; x < LONG(pic.GetWidth()); ++x)
                pic.AlphaSet(x, y, BYTE(x * extra + y));
    }
    CPicture back;
    if (!FuzzReencode(pic, PIC_FORMAT_TGA, back))
        std::abort();
    FuzzRequireSameColors(pic, back);
    for (LONG y = 0; y < LONG(pic.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(pic.GetWidth()); ++x)
            if (pic.AlphaGet(x, y) != back.AlphaGet(x, y))
                std::abort();
    return 0;
}
