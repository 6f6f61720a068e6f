// Helpers of the raster codec tests: decoding from a byte vector, a file that
// runs out of room, and index-by-index comparison across depths.
#pragma once

#include "image/picfile.h"
#include "image/picture.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <vector>

inline bool DecodeVector(CPicture& pic, const std::vector<BYTE>& bytes, DWORD type)
{
    // Decode wants a writable, non-null pointer even for no bytes.
    std::vector<BYTE> copy(bytes);
    copy.reserve(1);
    return pic.Decode(copy.data(), DWORD(copy.size()), type);
}

// A memory file that accepts only so many bytes.
class CRoomFile : public CPicMemFile {
public:
    explicit CRoomFile(size_t bytes)
        : room(bytes)
    {
        Open();
    }
    size_t Write(const void* src, size_t size, size_t count) override
    {
        if (size * count > room)
            return 0;
        room -= size * count;
        return CPicMemFile::Write(src, size, count);
    }
    bool PutC(BYTE c) override { return Write(&c, 1, 1) == 1; }

private:
    size_t room;
};

// Same size, same palette colours for the source's entries and the same
// index everywhere; the decoded picture may be deeper than the source.
inline ::testing::AssertionResult SameIndices(const CPicture& src, const CPicture& got)
{
    if (!src.IsValid() || !got.IsValid())
        return ::testing::AssertionFailure() << "invalid picture";
    if (src.GetWidth() != got.GetWidth() || src.GetHeight() != got.GetHeight())
        return ::testing::AssertionFailure() << "size " << got.GetWidth() << "x" << got.GetHeight();
    for (DWORD i = 0; i < src.GetNumColors(); ++i)
        if (!SameRgb(src.GetPaletteColor(BYTE(i)), got.GetPaletteColor(BYTE(i))))
            return ::testing::AssertionFailure() << "palette entry " << i;
    for (LONG y = 0; y < LONG(src.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(src.GetWidth()); ++x)
            if (src.GetPixelIndex(x, y) != got.GetPixelIndex(x, y))
                return ::testing::AssertionFailure()
                    << "pixel (" << x << ", " << y << ") " << int(src.GetPixelIndex(x, y)) << " vs "
                    << int(got.GetPixelIndex(x, y));
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult SameColors(const CPicture& src, const CPicture& got)
{
    if (!src.IsValid() || !got.IsValid())
        return ::testing::AssertionFailure() << "invalid picture";
    if (src.GetWidth() != got.GetWidth() || src.GetHeight() != got.GetHeight())
        return ::testing::AssertionFailure() << "size " << got.GetWidth() << "x" << got.GetHeight();
    for (LONG y = 0; y < LONG(src.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(src.GetWidth()); ++x)
            if (!SameRgb(src.GetPixelColor(x, y, false), got.GetPixelColor(x, y, false)))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ")";
    return ::testing::AssertionSuccess();
}
