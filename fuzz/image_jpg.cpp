// JPEG decoding of hostile bytes from memory, EXIF pass included. What
// decodes must encode (carrying its EXIF over) and decode back to its size.
#include "image/picture_jpg.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> bytes(data, data + size);
    bytes.reserve(1);
    CPictureJPG pic;
    pic.SetMaxDecodePixels(1 << 20); // keeps each run small; the limit itself is what is tested
    CPicMemFile in(bytes.data(), DWORD(bytes.size()));
    if (!pic.Decode(&in) || !pic.IsValid())
        return 0;

    CPicMemFile out;
    if (!out.Open() || !pic.Encode(&out))
        std::abort();
    CPictureJPG back;
    CPicMemFile again(out.GetBuffer(false), DWORD(out.Size()));
    if (!back.Decode(&again))
        std::abort();
    if (back.GetWidth() != pic.GetWidth() || back.GetHeight() != pic.GetHeight())
        std::abort();
    if (pic.GetExifInfo().hasExif && !back.GetExifInfo().hasExif)
        std::abort(); // the carried-over block must read as it did
    return 0;
}
