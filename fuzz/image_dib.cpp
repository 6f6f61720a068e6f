// Feeds the packed-DIB reader hostile blocks. A block it accepts must give
// a picture of the size its header names, whose own block reads back the same.
#include "image/dibparse.h"
#include "image/picture.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CPicture pic;
    pic.SetMaxDecodePixels(1u << 22);
    CPicDibLayout layout;
    bool described = PicParseDibLayout(data, size, layout, nullptr);
    if (!PicReadPackedDib(pic, data, size)) {
        if (pic.IsValid())
            std::abort(); // a refused block left a picture behind
        return 0;
    }
    if (!described || pic.GetWidth() != layout.width || pic.GetHeight() != layout.height)
        std::abort();
    CPicture again;
    if (!PicReadPackedDib(again, pic.GetDIB(), pic.GetSize()))
        std::abort();
    if (std::memcmp(again.GetDIB(), pic.GetDIB(), pic.GetSize()) != 0)
        std::abort();
    return 0;
}
