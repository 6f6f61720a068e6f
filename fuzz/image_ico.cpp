// Icon decoding of hostile bytes; the last input byte picks the entry, so
// every entry of the directory is reached. What decodes must encode again
// when it fits an icon.
#include "fuzz/raster_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CPicture pic;
    pic.SetFrame(size ? data[size - 1] % 8 : 0);
    if (!FuzzDecode(pic, data, size, PIC_FORMAT_ICO))
        return 0;
    if (!pic.IsValid() || pic.GetFrame() >= pic.GetNumFrames())
        std::abort();
    BYTE* encoded = nullptr;
    LONG encodedSize = 0;
    bool fits = pic.GetWidth() <= 255 && pic.GetHeight() <= 255;
    if (pic.Encode(encoded, encodedSize, PIC_FORMAT_ICO) != fits)
        std::abort();
    CPicture::FreeMemory(encoded);
    return 0;
}
