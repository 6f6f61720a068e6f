// PNG decoding of hostile bytes; whatever decodes must encode and decode back
// to the same size and depth.
#include "image/picture_png.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> bytes(data, data + size);
    bytes.reserve(1);
    CPicturePNG pic;
    pic.SetMaxDecodePixels(1 << 20); // keeps each run small; the limit itself is what is tested
    CPicMemFile in(bytes.data(), DWORD(bytes.size()));
    if (!pic.Decode(&in) || !pic.IsValid())
        return 0;

    CPicMemFile out;
    if (!out.Open() || !pic.Encode(&out))
        std::abort();
    CPicturePNG back;
    CPicMemFile again(out.GetBuffer(false), DWORD(out.Size()));
    if (!back.Decode(&again))
        std::abort();
    if (back.GetWidth() != pic.GetWidth() || back.GetHeight() != pic.GetHeight()
        || back.AlphaIsValid() != (pic.AlphaIsValid() || pic.GetTransIndex() >= 0 && !pic.IsIndexed()))
        std::abort();
    return 0;
}
