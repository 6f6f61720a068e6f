// PNG decoding of hostile bytes; whatever decodes must encode and decode back
// to the same size and depth.
#include "image/picture_png.h"

#include "fuzz/codec_fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzDecodeRoundTrip<CPicturePNG>(data, size, [](const CPicturePNG& pic, const CPicturePNG& back) {
        return back.AlphaIsValid() == (pic.AlphaIsValid() || pic.GetTransIndex() >= 0 && !pic.IsIndexed());
    });
}
