// Packed-DIB reader: every offset and length is checked against the bytes
// that are there before it is used.
#include "image/dibparse.h"

#include "image/bitfields.h"
#include "image/byteorder.h"
#include "image/checked_math.h"
#include "image/picture.h"
#include "image/picture_codecs.h"

#include <cstdint>
#include <cmath>
#include <cstring>

namespace {

bool Fail(const char** error, const char* text)
{
    if (error)
        *error = text;
    return false;
}

LONG DpiFromPels(LONG pels)
{
    if (pels <= 0)
        return 96;
    return LONG(std::floor(double(pels) * 0.0254 + 0.5));
}

// Run-length rows (RLE8, RLE4), bottom-up. Runs and deltas that leave the
// picture are clipped; a stream that ends without its end mark keeps what
// was decoded, as readers of damaged bitmaps do.
void DecodeRle(CPicture& pic, const BYTE* p, size_t n, bool rle4)
{
    LONG w = LONG(pic.GetWidth()), h = LONG(pic.GetHeight());
    LONG x = 0, y = 0;
    size_t i = 0;
    auto put = [&](BYTE index) {
        if (x < w && y < h)
            pic.SetPixelIndex(x, y, index);
        ++x;
    };
    while (i + 1 < n && y < h) {
        BYTE count = p[i], value = p[i + 1];
        i += 2;
        if (count) {
            for (int k = 0; k < count && x < w; ++k)
                put(rle4 ? BYTE((k & 1) ? (value & 15) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (i + 1 >= n)
                return;
            x += p[i];
            y += p[i + 1];
            i += 2;
        } else {
            size_t bytes = rle4 ? (size_t(value) + 1) / 2 : value;
            size_t padded = (bytes + 1) & ~size_t(1);
            if (padded > n - i)
                return;
            for (int k = 0; k < value; ++k) {
                BYTE b = p[i + (rle4 ? size_t(k) / 2 : size_t(k))];
                put(rle4 ? BYTE((k & 1) ? (b & 15) : (b >> 4)) : b);
            }
            i += padded;
        }
    }
}

} // namespace

bool PicParseDibLayout(const BYTE* data, size_t size, CPicDibLayout& out, const char** error)
{
    CPicDibLayout l;
    std::memset(&l, 0, sizeof(l));
    if (!data || size < 12)
        return Fail(error, "DIB too short");
    l.headerSize = PicGetU32(data);
    DWORD colorsUsed = 0;
    if (l.headerSize == 12) {
        l.width = PicGetU16(data + 4);
        l.height = PicGetU16(data + 6);
        l.bitCount = PicGetU16(data + 10);
        l.paletteEntrySize = 3;
    } else if (l.headerSize == 40 || l.headerSize == 52 || l.headerSize == 56 || l.headerSize == 108
        || l.headerSize == 124) {
        if (size < l.headerSize)
            return Fail(error, "DIB header truncated");
        LONG width = LONG(PicGetU32(data + 4)), height = LONG(PicGetU32(data + 8));
        // INT_MIN has no positive counterpart.
        if (width <= 0 || height == 0 || height == INT32_MIN)
            return Fail(error, "Invalid DIB dimensions");
        l.width = DWORD(width);
        l.topDown = height < 0;
        l.height = DWORD(l.topDown ? -height : height);
        l.bitCount = PicGetU16(data + 14);
        l.compression = PicGetU32(data + 16);
        l.xPelsPerMeter = LONG(PicGetU32(data + 24));
        l.yPelsPerMeter = LONG(PicGetU32(data + 28));
        colorsUsed = PicGetU32(data + 32);
        l.paletteEntrySize = 4;
    } else {
        return Fail(error, "DIB header size not supported");
    }
    if (l.width == 0 || l.height == 0)
        return Fail(error, "Invalid DIB dimensions");
    WORD bpp = l.bitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return Fail(error, "DIB bit count not supported");

    switch (l.compression) {
    case BI_RGB:
        break;
    case BI_RLE8:
    case BI_RLE4:
        if (bpp != (l.compression == BI_RLE8 ? 8 : 4) || l.topDown)
            return Fail(error, "compression type not supported");
        break;
    case BI_BITFIELDS:
        if (bpp != 16 && bpp != 32)
            return Fail(error, "unknown compression");
        break;
    default:
        return Fail(error, bpp <= 8 ? "compression type not supported" : "unknown compression");
    }

    uint64_t offset = l.headerSize;
    if (bpp == 16) {
        l.masks[0] = 0x7C00, l.masks[1] = 0x03E0, l.masks[2] = 0x001F;
    } else if (bpp == 32) {
        l.masks[0] = 0xFF0000, l.masks[1] = 0xFF00, l.masks[2] = 0xFF;
    }
    if (l.compression == BI_BITFIELDS) {
        // A plain info header is followed by the three masks; later headers hold them.
        const BYTE* m = data + 40;
        if (l.headerSize == 40) {
            if (size < 52)
                return Fail(error, "DIB colour masks truncated");
            offset += 12;
        }
        l.masks[0] = PicGetU32(m), l.masks[1] = PicGetU32(m + 4), l.masks[2] = PicGetU32(m + 8);
    }

    DWORD fullPalette = bpp <= 8 ? (DWORD(1) << bpp) : 0;
    l.paletteEntries = colorsUsed ? colorsUsed : fullPalette;
    l.paletteOffset = DWORD(offset);
    uint64_t paletteBytes = uint64_t(l.paletteEntries) * l.paletteEntrySize;
    if (paletteBytes > size - offset)
        return Fail(error, "DIB palette truncated");
    offset += paletteBytes;
    l.pixelOffset = size_t(offset);

    if (l.compression == BI_RGB || l.compression == BI_BITFIELDS) {
        uint64_t bits, rows;
        if (!PicCheckedMul(l.width, bpp, bits))
            return Fail(error, "Invalid DIB dimensions");
        uint64_t stride = (bits + 31) / 32 * 4;
        if (!PicCheckedMul(stride, l.height, rows) || rows > size - offset)
            return Fail(error, "DIB pixels truncated");
    }
    out = l;
    return true;
}

bool PicReadPackedDib(CPicture& pic, const BYTE* data, size_t size)
{
    pic.Destroy();
    const char* error = nullptr;
    CPicDibLayout l;
    if (!PicParseDibLayout(data, size, l, &error))
        return CPicCodecCalls::SetError(pic, error);
    if (pic.ExceedsDecodeLimit(l.width, l.height))
        return CPicCodecCalls::SetError(pic, kPicDecodeLimitText);
    if (!pic.Create(l.width, l.height, l.bitCount, 0))
        return false;
    pic.SetXDPI(DpiFromPels(l.xPelsPerMeter));
    pic.SetYDPI(DpiFromPels(l.yPelsPerMeter));

    if (l.bitCount <= 8) {
        RGBQUAD pal[256];
        std::memset(pal, 0, sizeof(pal));
        DWORD n = l.paletteEntries < 256 ? l.paletteEntries : 256;
        for (DWORD i = 0; i < n; ++i) {
            const BYTE* e = data + l.paletteOffset + size_t(i) * l.paletteEntrySize;
            pal[i].rgbBlue = e[0];
            pal[i].rgbGreen = e[1];
            pal[i].rgbRed = e[2];
        }
        pic.SetPalette(pal, pic.GetNumColors());
    }

    const BYTE* pixels = data + l.pixelOffset;
    if (l.compression == BI_RLE8 || l.compression == BI_RLE4) {
        DecodeRle(pic, pixels, size - l.pixelOffset, l.compression == BI_RLE4);
        return true;
    }
    size_t stride = size_t((uint64_t(l.width) * l.bitCount + 31) / 32 * 4);
    CPicBitfieldChannel red(l.masks[0]), green(l.masks[1]), blue(l.masks[2]);
    for (DWORD row = 0; row < l.height; ++row) {
        const BYTE* s = pixels + size_t(row) * stride;
        BYTE* d = pic.GetBits(l.topDown ? l.height - 1 - row : row);
        if (l.bitCount != 16 && l.bitCount != 32) {
            // Same depth, same row layout.
            std::memcpy(d, s, stride);
            continue;
        }
        for (DWORD x = 0; x < l.width; ++x, d += 3) {
            DWORD v = l.bitCount == 16 ? DWORD(PicGetU16(s + size_t(x) * 2)) : PicGetU32(s + size_t(x) * 4);
            d[0] = blue.Expand(v);
            d[1] = green.Expand(v);
            d[2] = red.Expand(v);
        }
    }
    return true;
}
