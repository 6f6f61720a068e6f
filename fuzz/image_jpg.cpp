// JPEG decoding of hostile bytes from memory, EXIF pass included. What
// decodes must encode (carrying its EXIF over) and decode back to its size.
// Decoded again with colour quantisation, the picture holds the library's
// palette (at times fewer entries than 256): its copy must travel through
// another codec with its colours.
#include "image/picture_jpg.h"

#include "fuzz/codec_fuzz_util.h"
#include "fuzz/raster_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzDecodeRoundTrip<CPictureJPG>(data, size, [](const CPictureJPG& pic, const CPictureJPG& back) {
        // The carried-over block must read as it did.
        return !pic.GetExifInfo().hasExif || back.GetExifInfo().hasExif;
    });

    std::vector<BYTE> bytes(data, data + size);
    bytes.reserve(1);
    CPictureJPG quantised;
    quantised.SetMaxDecodePixels(kFuzzMaxPixels);
    quantised.SetJpegQuality(BYTE(2 + size % 254)); // 2 to 255 colours
    DWORD options = CPictureJPG::JPEG_OPT_QUANTIZE;
    if (size & 1)
        options |= CPictureJPG::JPEG_OPT_ONE_PASS;
    if (size & 2)
        options |= CPictureJPG::JPEG_OPT_GREY_DECODE;
    quantised.SetCodecOption(options, PIC_FORMAT_JPG);
    CPicMemFile in(bytes.data(), DWORD(bytes.size()));
    if (!quantised.Decode(&in) || !quantised.IsValid())
        return 0;
    if (quantised.GetNumColors() == 0 || quantised.GetNumColors() > 256)
        std::abort();
    CPicture copy(quantised);
    CPicture back;
    if (!FuzzReencode(copy, PIC_FORMAT_BMP, back))
        std::abort();
    FuzzRequireSameColors(quantised, back);
    return 0;
}
