// Any picture of 4, 8 or 24 bits (24 with or without alpha) and any black and
// white picture reads back with the same colours.
#include "fuzz/raster_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const DWORD depths[] = { 1, 4, 8, 24 };
    CPicture pic;
    BYTE extra = 0;
    if (!FuzzPicture(pic, data, size, depths, 4, extra))
        return 0;
    if (pic.GetBpp() == 1) {
        // Mono files carry no colours, only which entry is the white one.
        BYTE white = extra & 1;
        pic.SetPaletteColor(white, 255, 255, 255);
        pic.SetPaletteColor(BYTE(1 - white), 0, 0, 0);
    }
    if (pic.GetBpp() == 24 && (extra & 2)) {
        pic.AlphaCreate();
        pic.AlphaSet(0, 0, extra);
    }
    CPicture back;
    if (!FuzzReencode(pic, PIC_FORMAT_PCX, back))
        std::abort();
    FuzzRequireSameColors(pic, back);
    if (pic.AlphaIsValid() && back.AlphaGet(0, 0) != extra)
        std::abort();
    return 0;
}
