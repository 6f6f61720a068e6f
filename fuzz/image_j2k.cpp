// JP2 and J2K decoding of hostile bytes through the picture object. What
// decodes to 8-bit grey or 24-bit colour must survive a lossless round trip.
#include "image/picture_j2k.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The family's other formats have targets of their own.
    const DWORD format = CPictureJAS::DetectFormat(data, size);
    if (format != PIC_FORMAT_JP2 && format != PIC_FORMAT_JPC)
        return 0;
    std::vector<BYTE> bytes(data, data + size);
    CPictureJAS pic;
    pic.SetMaxDecodePixels(1 << 20); // keeps each run small; the limit itself is what is tested
    CPicMemFile in(bytes.data(), DWORD(bytes.size()));
    if (!pic.Decode(&in, 0))
        return 0;
    if (!pic.IsValid() || pic.GetType() != format)
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
