// Type-0 decoding probes every codec; a failure must leave the stream where
// it began and the picture as it was.
#include "image/picture.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks where in the buffer decoding starts.
    size_t start = data[0] % 8;
    std::vector<BYTE> bytes(data + 1, data + size);
    bytes.resize(bytes.size() + start);
    bytes.reserve(bytes.size() + 1); // a real buffer even for no bytes
    CPicMemFile file(bytes.data(), DWORD(bytes.size()));
    if (!file.Seek(LONG(start), SEEK_SET))
        std::abort();

    CPicture pic(3, 2, 8);
    pic.SetMaxDecodePixels(1 << 20);
    pic.SetPixelIndex(1, 1, 77);
    if (!pic.Decode(&file, 0)) {
        if (file.Tell() != LONG(start))
            std::abort();
        if (!pic.IsValid() || pic.GetWidth() != 3 || pic.GetPixelIndex(1, 1) != 77)
            std::abort();
    }
    return 0;
}
