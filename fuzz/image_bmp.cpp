// BMP decoding of hostile bytes; whatever decodes must encode and decode
// back to the same pixels.
#include "image/picture.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> bytes(data, data + size);
    bytes.reserve(1);
    CPicture pic;
    pic.SetMaxDecodePixels(1 << 20); // keeps each run small; the limit itself is what is tested
    if (!pic.Decode(bytes.data(), DWORD(bytes.size()), PIC_FORMAT_BMP) || !pic.IsValid())
        return 0;

    BYTE* encoded = nullptr;
    LONG encodedSize = 0;
    if (!pic.Encode(encoded, encodedSize, PIC_FORMAT_BMP))
        std::abort();
    CPicture back;
    if (!back.Decode(encoded, DWORD(encodedSize), PIC_FORMAT_BMP))
        std::abort();
    CPicture::FreeMemory(encoded);
    if (back.GetWidth() != pic.GetWidth() || back.GetHeight() != pic.GetHeight() || back.GetBpp() != pic.GetBpp())
        std::abort();
    uint64_t usedBits = uint64_t(pic.GetWidth()) * pic.GetBpp();
    size_t used = size_t((usedBits + 7) / 8);
    // Bits past a row's last pixel are not carried through the file.
    BYTE lastMask = BYTE(usedBits % 8 ? 0xFF << (8 - usedBits % 8) : 0xFF);
    for (DWORD y = 0; y < pic.GetHeight(); ++y) {
        const BYTE* a = pic.GetBits(y);
        const BYTE* b = back.GetBits(y);
        if (std::memcmp(a, b, used - 1) != 0 || ((a[used - 1] ^ b[used - 1]) & lastMask) != 0)
            std::abort();
    }
    return 0;
}
