#include "image/picture_pnm.h"

#include <cstdio>
#include <memory>
#include <new>

namespace {

const char kTruncated[] = "PNM: data truncated";

// Bitmaps store 1 for black; a grey plane has 0 for black.
bool ReadBitmap(CPicByteReader& in, opj_image_t* image, bool ascii)
{
    const DWORD w = image->comps[0].w, h = image->comps[0].h;
    OPJ_INT32* out = image->comps[0].data;
    if (ascii) {
        for (uint64_t i = 0, n = uint64_t(w) * h; i < n; ++i) {
            in.SkipSpace(true);
            int c = in.Get();
            if (c != '0' && c != '1')
                return false;
            out[i] = c == '1' ? 0 : 1;
        }
        return true;
    }
    const size_t rowBytes = (size_t(w) + 7) / 8;
    std::unique_ptr<BYTE[]> row(new (std::nothrow) BYTE[rowBytes]);
    if (!row)
        return false;
    for (DWORD y = 0; y < h; ++y, out += w) {
        if (!in.Read(row.get(), rowBytes))
            return false;
        for (DWORD x = 0; x < w; ++x)
            out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1 ? 0 : 1;
    }
    return true;
}

// Interleaved samples of `comps` planes; false on a sample above maxval.
bool ReadSamples(CPicByteReader& in, opj_image_t* image, DWORD comps, DWORD maxval, bool ascii)
{
    const DWORD w = image->comps[0].w, h = image->comps[0].h;
    const DWORD bits = image->comps[0].prec;
    const DWORD top = (DWORD(1) << bits) - 1;
    const bool rescale = maxval != top;
    const size_t bytes = maxval > 255 ? 2 : 1;
    const size_t rowBytes = size_t(w) * comps * bytes;
    std::unique_ptr<BYTE[]> row;
    if (!ascii) {
        row.reset(new (std::nothrow) BYTE[rowBytes]);
        if (!row)
            return false;
    }
    for (DWORD y = 0; y < h; ++y) {
        if (!ascii && !in.Read(row.get(), rowBytes))
            return false;
        const BYTE* p = row.get();
        for (DWORD x = 0; x < w; ++x) {
            for (DWORD c = 0; c < comps; ++c) {
                DWORD v;
                if (ascii) {
                    in.SkipSpace(true);
                    if (!in.ReadNumber(v))
                        return false;
                } else if (bytes == 2) {
                    v = (DWORD(p[0]) << 8) | p[1];
                    p += 2;
                } else {
                    v = *p++;
                }
                if (v > maxval)
                    return false;
                if (rescale)
                    v = DWORD((uint64_t(v) * top + maxval / 2) / maxval);
                image->comps[c].data[size_t(y) * w + x] = OPJ_INT32(v);
            }
        }
    }
    return true;
}

} // namespace

CPicPlanes PicReadPnm(CPicFile* file, uint64_t maxPixels, const char** why)
{
    CPicByteReader in(file);
    if (in.Get() != 'P') {
        *why = "PNM: no signature";
        return nullptr;
    }
    const int kind = in.Get() - '0';
    if (kind < 1 || kind > 6) {
        *why = "PNM: unknown kind";
        return nullptr;
    }
    const bool bitmap = kind == 1 || kind == 4;
    const bool ascii = kind <= 3;
    const DWORD comps = (kind == 3 || kind == 6) ? 3 : 1;

    DWORD width = 0, height = 0, maxval = 1;
    in.SkipSpace(true);
    bool ok = in.ReadNumber(width);
    in.SkipSpace(true);
    ok = ok && in.ReadNumber(height);
    if (ok && !bitmap) {
        in.SkipSpace(true);
        ok = in.ReadNumber(maxval);
    }
    // Binary data starts after exactly one white-space byte.
    int sep = in.Get();
    if (!ok || (sep != ' ' && sep != '\t' && sep != '\n' && sep != '\r')) {
        *why = "PNM: bad header";
        return nullptr;
    }
    if (width == 0 || height == 0 || maxval == 0 || maxval > 65535) {
        *why = "PNM: bad size or maxval";
        return nullptr;
    }
    // Each sample takes at least a byte in the ASCII forms, an eighth of one in P4.
    uint64_t perPixel = bitmap ? 1 : uint64_t(comps) * (maxval > 255 && !ascii ? 2 : 1);
    if (!in.CanHold(uint64_t(width) * height, perPixel, kind == 4 ? 8 : 1)) {
        *why = kTruncated;
        return nullptr;
    }
    // A maxval of 2^n - 1 gives n bits as they are; any other is stretched
    // over 8 or 16 bits.
    DWORD bits = PicBitsFor(maxval);
    if (maxval != (DWORD(1) << bits) - 1)
        bits = bits <= 8 ? 8 : 16;
    CPicPlanes image = PicNewPlanes(comps, width, height, bitmap ? 1 : bits, false,
        comps == 3 ? OPJ_CLRSPC_SRGB : OPJ_CLRSPC_GRAY, maxPixels, why);
    if (!image)
        return nullptr;
    ok = bitmap ? ReadBitmap(in, image.get(), ascii) : ReadSamples(in, image.get(), comps, maxval, ascii);
    if (!ok) {
        *why = kTruncated;
        return nullptr;
    }
    return image;
}

bool PicWritePnm(CPicFile* file, const opj_image_t* image, const char** why)
{
    if (!PicPlanesWritable(image, 1, 3, why))
        return false;
    if (image->numcomps == 2) {
        *why = "PNM: one or three components";
        return false;
    }
    const DWORD comps = image->numcomps, w = image->comps[0].w, h = image->comps[0].h;
    const DWORD maxval = (DWORD(1) << image->comps[0].prec) - 1;
    char head[64];
    int n = std::snprintf(head, sizeof(head), "P%c\n%lu %lu\n%lu\n", comps == 3 ? '6' : '5', (unsigned long)w,
        (unsigned long)h, (unsigned long)maxval);
    if (!PicWriteAll(file, head, size_t(n))) {
        *why = "PNM: write error";
        return false;
    }
    return PicWriteSamples(file, image, "PNM: write error", why);
}
