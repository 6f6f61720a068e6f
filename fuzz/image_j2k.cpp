// JP2 and J2K decoding of hostile bytes through the picture object. What
// decodes to 8-bit grey or 24-bit colour must survive a lossless round trip.
#include "image/picture_j2k.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> bytes(data, data + size);
    bytes.reserve(1);
    CPictureJAS pic;
    pic.SetMaxDecodePixels(1 << 20); // keeps each run small; the limit itself is what is tested
    CPicMemFile in(bytes.data(), DWORD(bytes.size()));
    if (!pic.Decode(&in, 0))
        return 0;
    if (!pic.IsValid() || (pic.GetType() != PIC_FORMAT_JP2 && pic.GetType() != PIC_FORMAT_JPC))
        std::abort();
    // Encoding is the slow half: only small pictures go round.
    if (pic.GetWidth() * pic.GetHeight() > 4096 || (pic.IsIndexed() && !pic.IsGrayScale()))
        return 0;
    pic.SetJpegQuality(100);
    CPicMemFile out;
    if (!out.Open() || !pic.Encode(&out, PIC_FORMAT_JPC))
        std::abort();
    CPictureJAS back;
    CPicMemFile again(out.GetBuffer(false), DWORD(out.Size()));
    if (!back.Decode(&again, 0) || back.GetWidth() != pic.GetWidth() || back.GetHeight() != pic.GetHeight()
        || back.GetBpp() != pic.GetBpp())
        std::abort();
    for (DWORD y = 0; y < pic.GetHeight(); ++y)
        if (std::memcmp(pic.GetBits(y), back.GetBits(y), pic.GetWidth() * (pic.GetBpp() / 8)) != 0)
            std::abort();
    return 0;
}
