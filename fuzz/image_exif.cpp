// The EXIF walk over hostile blocks: each input is the TIFF part of an APP1
// section in an otherwise well-formed stream. What is read must write back
// and read again to the same values.
#include "image/picture_exif.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Section(std::vector<BYTE>& s, BYTE code, const BYTE* payload, size_t n)
{
    s.push_back(0xFF);
    s.push_back(code);
    s.push_back(BYTE((n + 2) >> 8));
    s.push_back(BYTE(n + 2));
    s.insert(s.end(), payload, payload + n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 65533 - 6)
        size = 65533 - 6;
    std::vector<BYTE> payload = { 'E', 'x', 'i', 'f', 0, 0 };
    payload.insert(payload.end(), data, data + size);
    std::vector<BYTE> stream = { 0xFF, 0xD8 };
    Section(stream, 0xE1, payload.data(), payload.size());
    const BYTE sof[] = { 8, 0, 16, 0, 16, 1, 1, 0x11, 0 };
    Section(stream, 0xC0, sof, sizeof(sof));
    const BYTE sos[] = { 1, 1, 0, 0, 63, 0 };
    Section(stream, 0xDA, sos, sizeof(sos));
    const BYTE tail[] = { 0x12, 0x34, 0xFF, 0xD9 };
    stream.insert(stream.end(), tail, tail + sizeof(tail));

    tag_ExifInfo info;
    std::memset(&info, 0, sizeof(info));
    CPicExifInfo reader(&info);
    CPicMemFile in(stream.data(), DWORD(stream.size()));
    if (!reader.DecodeExif(&in, CPicExifInfo::EXIF_READ_EXIF | CPicExifInfo::EXIF_READ_IMAGE))
        std::abort(); // the stream around the block is sound
    CPicMemFile out;
    if (!out.Open() || !reader.EncodeExif(&out))
        std::abort();
    tag_ExifInfo again;
    std::memset(&again, 0, sizeof(again));
    CPicExifInfo second(&again);
    CPicMemFile back(out.GetBuffer(false), DWORD(out.Size()));
    if (!second.DecodeExif(&back, CPicExifInfo::EXIF_READ_EXIF))
        std::abort();
    if (again.hasExif != info.hasExif || std::strcmp(again.make, info.make) != 0
        || again.orientation != info.orientation || std::strcmp(again.comments, info.comments) != 0)
        std::abort();
    // The thumbnail is read in full (the sanitizer checks its bounds) and survives the rewrite.
    if (again.thumbnailSize != info.thumbnailSize
        || (info.thumbnail && std::memcmp(again.thumbnail, info.thumbnail, info.thumbnailSize) != 0))
        std::abort();
    return 0;
}
