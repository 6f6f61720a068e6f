// Helpers of the raster codec tests: decoding from a byte vector, a file that
// runs out of room, and index-by-index comparison across depths.
#pragma once

#include "image/picfile.h"
#include "image/picture.h"
#include "image_test_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline bool DecodeVector(CPicture& pic, const std::vector<BYTE>& bytes, DWORD type)
{
    // Decode wants a writable, non-null pointer even for no bytes.
    std::vector<BYTE> copy(bytes);
    BYTE none = 0;
    return pic.Decode(copy.empty() ? &none : copy.data(), DWORD(copy.size()), type);
}


// Every write budget short of the whole file fails with errorAt(room); a
// budget of the whole file succeeds.
template <class ErrorAt>
::testing::AssertionResult FailsShortOfRoom(CPicture& pic, DWORD type, ErrorAt errorAt)
{
    size_t total = EncodeToBytes(pic, type).size();
    if (total == 0)
        return ::testing::AssertionFailure() << "does not encode: " << pic.GetLastError();
    for (size_t room = 0; room < total; ++room) {
        CCappedFile file{ LONG(room) };
        if (pic.Encode(&file, type))
            return ::testing::AssertionFailure() << "wrote " << total << " bytes into " << room;
        std::string expected = errorAt(room);
        if (expected != pic.GetLastError())
            return ::testing::AssertionFailure() << "room " << room << ": " << pic.GetLastError();
    }
    CCappedFile enough{ LONG(total) };
    if (!pic.Encode(&enough, type))
        return ::testing::AssertionFailure() << "fails with room for all " << total << " bytes";
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult FailsShortOfRoom(CPicture& pic, DWORD type, const char* error)
{
    return FailsShortOfRoom(pic, type, [error](size_t) { return error; });
}

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
