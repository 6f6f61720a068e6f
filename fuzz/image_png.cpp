// PNG decoding of hostile bytes; whatever decodes must encode and decode back
// to the same size and depth. Every whole chunk gets its CRC recomputed
// first, so that mutations reach the decoder instead of the CRC check.
#include "image/picture_png.h"

#include "fuzz/codec_fuzz_util.h"

#include <vector>

#include <zlib.h>

namespace {

uint32_t GetBE32(const BYTE* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }

void PutBE32(BYTE* p, uint32_t v)
{
    p[0] = BYTE(v >> 24);
    p[1] = BYTE(v >> 16);
    p[2] = BYTE(v >> 8);
    p[3] = BYTE(v);
}

// Chunks follow the 8-byte signature: length, type, data, CRC of type and data.
void FixChunkCrcs(std::vector<BYTE>& png)
{
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint64_t length = GetBE32(&png[at]);
        if (length > png.size() - at - 12)
            break;
        const size_t crcAt = at + 8 + size_t(length);
        PutBE32(&png[crcAt], uint32_t(crc32(0L, &png[at + 4], uInt(length + 4))));
        at = crcAt + 4;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> png(data, data + size);
    FixChunkCrcs(png);
    return FuzzDecodeRoundTrip<CPicturePNG>(png.data(), png.size(), [](const CPicturePNG& pic, const CPicturePNG& back) {
        return back.AlphaIsValid() == (pic.AlphaIsValid() || pic.GetTransIndex() >= 0 && !pic.IsIndexed());
    });
}
