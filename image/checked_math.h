// Overflow-checked size arithmetic. Every size the image library derives from
// a caller or a file goes through these before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>

// The largest block, plane or file position the library handles (2^31 - 1 bytes).
constexpr uint64_t kPicMaxBytes = 0x7FFFFFFFu;

// Pixels a decoder may create unless the caller sets another limit.
constexpr uint32_t kPicDefaultMaxDecodePixels = 100000000u;
// The one text every decoder leaves when a picture is over the pixel limit.
inline constexpr char kPicDecodeLimitText[] = "CPicture: picture exceeds the decoder pixel limit";

inline bool PicCheckedMul(uint64_t a, uint64_t b, uint64_t& result)
{
    if (a != 0 && b > UINT64_MAX / a)
        return false;
    result = a * b;
    return true;
}

inline bool PicCheckedAdd(uint64_t a, uint64_t b, uint64_t& result)
{
    if (b > UINT64_MAX - a)
        return false;
    result = a + b;
    return true;
}

// a x b, refused when it passes kPicMaxBytes (so it also fits size_t on i686).
inline bool PicCheckedMulSize(uint64_t a, uint64_t b, size_t& result)
{
    uint64_t r;
    if (!PicCheckedMul(a, b, r) || r > kPicMaxBytes)
        return false;
    result = static_cast<size_t>(r);
    return true;
}

inline bool PicCheckedAddSize(uint64_t a, uint64_t b, size_t& result)
{
    uint64_t r;
    if (!PicCheckedAdd(a, b, r) || r > kPicMaxBytes)
        return false;
    result = static_cast<size_t>(r);
    return true;
}

// A resolution read from a file as a real number, as the picture stores it:
// truncated, NaN and negatives as 0 (unknown), huge values held at INT32_MAX.
inline int32_t PicDpiFromDouble(double v)
{
    if (!(v >= 0))
        return 0;
    return v >= 2147483647.0 ? INT32_MAX : int32_t(v);
}
