// GIF decoding of hostile bytes at frames 0, 1 and the last; whatever decodes
// must encode and decode back to the same colours.
#include "fuzz/raster_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LONG frames = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        CPicture pic;
        LONG frame = attempt == 2 ? frames - 1 : attempt;
        if (attempt == 2 && frame <= 1)
            break;
        pic.SetFrame(frame);
        // A screen is composed and written again three times: keep it small.
        bool ok = FuzzDecode(pic, data, size, PIC_FORMAT_GIF, 1 << 16);
        if (attempt == 0)
            frames = pic.GetNumFrames();
        if (!ok)
            continue;
        if (!pic.IsValid())
            std::abort();
        pic.SetCodecOption(DWORD(size % 3), PIC_FORMAT_GIF);
        CPicture back;
        if (FuzzReencode(pic, PIC_FORMAT_GIF, back))
            FuzzRequireSameColors(pic, back);
    }
    return 0;
}
