#include "image/picture_ras.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

const DWORD kMagic = 0x59A66A95;
enum { RT_OLD = 0, RT_STANDARD = 1, RT_BYTE_ENCODED = 2, RT_FORMAT_RGB = 3 };
enum { RMT_NONE = 0, RMT_EQUAL_RGB = 1, RMT_RAW = 2 };
const char kTruncated[] = "RAS: data truncated";

void PutBE32(BYTE* p, DWORD v)
{
    p[0] = BYTE(v >> 24);
    p[1] = BYTE(v >> 16);
    p[2] = BYTE(v >> 8);
    p[3] = BYTE(v);
}

// Rows of either coding: literal bytes, or 0x80 n v for n + 1 copies of v
// (n = 0 is one 0x80). A run may cross rows.
class CRowSource {
public:
    CRowSource(CPicByteReader& in, bool packed)
        : in(in)
        , packed(packed)
    {
    }

    bool Row(BYTE* dest, size_t n)
    {
        if (!packed)
            return in.Read(dest, n);
        for (size_t i = 0; i < n; ++i) {
            if (runLeft == 0) {
                int c = in.Get();
                if (c < 0)
                    return false;
                if (c == 0x80) {
                    int count = in.Get();
                    if (count < 0)
                        return false;
                    if (count == 0) {
                        runValue = 0x80;
                        runLeft = 1;
                    } else {
                        int v = in.Get();
                        if (v < 0)
                            return false;
                        runValue = BYTE(v);
                        runLeft = size_t(count) + 1;
                    }
                } else {
                    runValue = BYTE(c);
                    runLeft = 1;
                }
            }
            dest[i] = runValue;
            --runLeft;
        }
        return true;
    }

private:
    CPicByteReader& in;
    bool packed;
    size_t runLeft = 0;
    BYTE runValue = 0;
};

} // namespace

CPicPlanes PicReadRas(CPicFile* file, uint64_t maxPixels, const char** why)
{
    CPicByteReader in(file);
    BYTE head[32];
    if (!in.Read(head, sizeof(head)) || PicGetBE32(head) != kMagic) {
        *why = "RAS: bad header";
        return nullptr;
    }
    const DWORD width = PicGetBE32(head + 4), height = PicGetBE32(head + 8), depth = PicGetBE32(head + 12);
    const DWORD type = PicGetBE32(head + 20), mapType = PicGetBE32(head + 24), mapLength = PicGetBE32(head + 28);
    if (width == 0 || height == 0 || (depth != 1 && depth != 8 && depth != 24 && depth != 32)) {
        *why = "RAS: bad size or depth";
        return nullptr;
    }
    if (type > RT_FORMAT_RGB || mapType > RMT_RAW) {
        *why = "RAS: unsupported type";
        return nullptr;
    }
    if (mapLength > in.Left() || (mapType == RMT_EQUAL_RGB && (mapLength % 3 != 0 || mapLength > 768))) {
        *why = "RAS: bad colour map";
        return nullptr;
    }
    BYTE map[768];
    std::memset(map, 0, sizeof(map));
    DWORD colours = 0;
    if (mapType == RMT_EQUAL_RGB) {
        if (!in.Read(map, mapLength)) {
            *why = kTruncated;
            return nullptr;
        }
        colours = mapLength / 3;
    } else {
        // A raw map means nothing to us; it is skipped in bounded steps.
        for (DWORD left = mapLength; left > 0;) {
            DWORD take = left < sizeof(map) ? left : DWORD(sizeof(map));
            if (!in.Read(map, take)) {
                *why = kTruncated;
                return nullptr;
            }
            left -= take;
        }
    }
    const bool mapped = colours > 0 && depth <= 8;
    bool greyMap = true;
    for (DWORD i = 0; i < colours; ++i)
        greyMap = greyMap && map[i] == map[colours + i] && map[i] == map[2 * colours + i];

    // Rows are padded to 16 bits.
    const uint64_t rowBits = uint64_t(width) * depth;
    const uint64_t rowBytes64 = (rowBits + 15) / 16 * 2;
    const bool packed = type == RT_BYTE_ENCODED;
    // A run of three bytes gives at most 256.
    if (!in.CanHold(rowBytes64, height, packed ? 86 : 1)) {
        *why = kTruncated;
        return nullptr;
    }
    const bool bitmap = depth == 1 && !mapped;
    const DWORD comps = depth > 8 || (mapped && !greyMap) ? 3 : 1;
    CPicPlanes image = PicNewPlanes(comps, width, height, bitmap ? 1 : 8, false,
        comps == 3 ? OPJ_CLRSPC_SRGB : OPJ_CLRSPC_GRAY, maxPixels, why);
    if (!image)
        return nullptr;

    const size_t rowBytes = size_t(rowBytes64);
    std::unique_ptr<BYTE[]> row(new (std::nothrow) BYTE[rowBytes]);
    if (!row) {
        *why = "RAS: out of memory";
        return nullptr;
    }
    // Standard rows are blue-green-red (after a pad byte at depth 32); the
    // RGB type stores red first.
    const bool rgbOrder = type == RT_FORMAT_RGB;
    CRowSource source(in, packed);
    for (DWORD y = 0; y < height; ++y) {
        if (!source.Row(row.get(), rowBytes)) {
            *why = kTruncated;
            return nullptr;
        }
        const size_t at = size_t(y) * width;
        for (DWORD x = 0; x < width; ++x) {
            if (depth > 8) {
                const BYTE* p = row.get() + size_t(x) * (depth / 8) + (depth == 32 ? 1 : 0);
                image->comps[0].data[at + x] = rgbOrder ? p[0] : p[2];
                image->comps[1].data[at + x] = p[1];
                image->comps[2].data[at + x] = rgbOrder ? p[2] : p[0];
                continue;
            }
            DWORD index = depth == 8 ? row[x] : (row[x >> 3] >> (7 - (x & 7))) & 1;
            if (bitmap) {
                // Set bits are black.
                image->comps[0].data[at + x] = index ? 0 : 1;
            } else if (!mapped) {
                image->comps[0].data[at + x] = OPJ_INT32(index);
            } else {
                // An index past the map is black.
                bool inMap = index < colours;
                for (DWORD c = 0; c < comps; ++c)
                    image->comps[c].data[at + x] = inMap ? map[c * colours + index] : 0;
            }
        }
    }
    return image;
}

bool PicWriteRas(CPicFile* file, const opj_image_t* image, const char** why)
{
    if (!PicPlanesWritable(image, 1, 3, why))
        return false;
    if (image->numcomps == 2 || image->comps[0].prec != 8) {
        *why = "RAS: one or three components of 8 bits";
        return false;
    }
    const DWORD comps = image->numcomps, w = image->comps[0].w, h = image->comps[0].h;
    const DWORD depth = comps == 3 ? 24 : 8;
    const size_t rowBytes = (size_t(w) * depth + 15) / 16 * 2;
    const uint64_t length = uint64_t(rowBytes) * h;
    BYTE head[32];
    PutBE32(head, kMagic);
    PutBE32(head + 4, w);
    PutBE32(head + 8, h);
    PutBE32(head + 12, depth);
    PutBE32(head + 16, length > 0xFFFFFFFFu ? 0 : DWORD(length));
    PutBE32(head + 20, RT_STANDARD);
    PutBE32(head + 24, comps == 1 ? RMT_EQUAL_RGB : RMT_NONE);
    PutBE32(head + 28, comps == 1 ? 768 : 0);
    bool ok = PicWriteAll(file, head, sizeof(head));
    if (ok && comps == 1) {
        // A grey map, so that readers which want a map for depth 8 see grey.
        BYTE map[768];
        for (int i = 0; i < 768; ++i)
            map[i] = BYTE(i & 255);
        ok = PicWriteAll(file, map, sizeof(map));
    }
    std::unique_ptr<BYTE[]> row(new (std::nothrow) BYTE[rowBytes]);
    if (ok && !row) {
        *why = "RAS: out of memory";
        return false;
    }
    for (DWORD y = 0; ok && y < h; ++y) {
        std::memset(row.get(), 0, rowBytes);
        const size_t at = size_t(y) * w;
        for (DWORD x = 0; x < w; ++x) {
            for (DWORD c = 0; c < comps; ++c) {
                OPJ_INT32 v = image->comps[c].data[at + x];
                BYTE b = BYTE(v < 0 ? 0 : (v > 255 ? 255 : v));
                // Blue-green-red for colour.
                row[size_t(x) * comps + (comps == 3 ? 2 - c : 0)] = b;
            }
        }
        ok = PicWriteAll(file, row.get(), rowBytes);
    }
    if (!ok)
        *why = "RAS: write error";
    return ok;
}
