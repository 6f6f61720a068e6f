// Shared by the fuzz targets of codecs that must write back what they read:
// decoding hostile bytes, then a round trip through the same codec.
#pragma once

#include "image/picfile.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

// Decodes the bytes as a P; what decodes must encode and decode back to the
// same size, and then pass sameEnough(pic, back). Anything less aborts.
template <class P, class Check> int FuzzDecodeRoundTrip(const uint8_t* data, size_t size, Check sameEnough)
{
    std::vector<BYTE> bytes(data, data + size);
    bytes.reserve(1);
    P pic;
    pic.SetMaxDecodePixels(1 << 20); // keeps each run small; the limit itself is what is tested
    CPicMemFile in(bytes.data(), DWORD(bytes.size()));
    if (!pic.Decode(&in) || !pic.IsValid())
        return 0;

    CPicMemFile out;
    if (!out.Open() || !pic.Encode(&out))
        std::abort();
    P back;
    CPicMemFile again(out.GetBuffer(false), DWORD(out.Size()));
    if (!back.Decode(&again))
        std::abort();
    if (back.GetWidth() != pic.GetWidth() || back.GetHeight() != pic.GetHeight() || !sameEnough(pic, back))
        std::abort();
    return 0;
}
