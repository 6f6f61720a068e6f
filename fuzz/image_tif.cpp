// TIFF decoding of hostile bytes, every page; whatever decodes must encode
// and decode back to the same size, also as a page added to that file.
#include "image/picture_tif.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> bytes(data, data + size);
    bytes.reserve(1);
    for (LONG frame = 0; frame < 4; ++frame) {
        CPictureTIF pic;
        pic.SetMaxDecodePixels(1 << 20); // keeps each run small; the limit itself is what is tested
        pic.SetFrame(frame);
        CPicMemFile in(bytes.data(), DWORD(bytes.size()));
        if (!pic.Decode(&in) || !pic.IsValid())
            return 0;
        pic.SetCodecOption(0, PIC_FORMAT_TIF);
        CPicMemFile out;
        if (!out.Open() || !pic.Encode(&out, false))
            std::abort();
        CPictureTIF back;
        CPicMemFile again(out.GetBuffer(false), DWORD(out.Size()));
        if (!back.Decode(&again) || back.GetWidth() != pic.GetWidth() || back.GetHeight() != pic.GetHeight())
            std::abort();
        if (frame == 0) {
            // Encoding at the start of that file appends a second page.
            if (!out.Seek(0, SEEK_SET) || !pic.Encode(&out, false))
                std::abort();
            CPictureTIF second;
            second.SetFrame(1);
            CPicMemFile both(out.GetBuffer(false), DWORD(out.Size()));
            if (!second.Decode(&both) || second.GetNumFrames() != 2 || second.GetWidth() != pic.GetWidth())
                std::abort();
        }
        if (frame + 1 >= pic.GetNumFrames())
            break;
    }
    return 0;
}
