// JPEG decoding of hostile bytes from memory, EXIF pass included. What
// decodes must encode (carrying its EXIF over) and decode back to its size.
#include "image/picture_jpg.h"

#include "fuzz/codec_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzDecodeRoundTrip<CPictureJPG>(data, size, [](const CPictureJPG& pic, const CPictureJPG& back) {
        // The carried-over block must read as it did.
        return !pic.GetExifInfo().hasExif || back.GetExifInfo().hasExif;
    });
}
