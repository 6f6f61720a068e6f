// Shared by the fuzz targets of our own PGX, PNM and Sun-raster readers: what
// a reader accepts must go out through its writer and read back unchanged,
// and must decode through the picture object.
#pragma once

#include "image/picture.h"
#include "image/picture_planes.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using PicPlaneReader = CPicPlanes (*)(CPicFile*, uint64_t, const char**);
using PicPlaneWriter = bool (*)(CPicFile*, const opj_image_t*, const char**);

inline bool SamePlanes(const opj_image_t* a, const opj_image_t* b)
{
    if (a->numcomps != b->numcomps)
        return false;
    for (OPJ_UINT32 i = 0; i < a->numcomps; ++i) {
        const opj_image_comp_t &p = a->comps[i], &q = b->comps[i];
        if (p.w != q.w || p.h != q.h || p.prec != q.prec || p.sgnd != q.sgnd)
            return false;
        if (std::memcmp(p.data, q.data, size_t(p.w) * p.h * sizeof(OPJ_INT32)) != 0)
            return false;
    }
    return true;
}

// `writable` says whether the writer takes what the reader gave.
template <class Writable>
int FuzzPlanes(const uint8_t* data, size_t size, DWORD type, PicPlaneReader read, PicPlaneWriter write,
    Writable writable)
{
    const uint64_t limit = 1 << 20; // keeps each run small; the limit itself is what is tested
    std::vector<BYTE> bytes(data, data + size);
    bytes.reserve(1);

    CPicture pic;
    pic.SetMaxDecodePixels(DWORD(limit));
    if (pic.Decode(bytes.data(), DWORD(bytes.size()), type) && !pic.IsValid())
        std::abort();

    CPicMemFile in(bytes.data(), DWORD(bytes.size()));
    const char* why = nullptr;
    CPicPlanes planes = read(&in, limit, &why);
    if (!planes) {
        if (!why)
            std::abort();
        return 0;
    }
    if (!writable(planes.get()))
        return 0;
    CPicMemFile out;
    if (!out.Open() || !write(&out, planes.get(), &why))
        std::abort();
    CPicMemFile again(out.GetBuffer(false), DWORD(out.Size()));
    CPicPlanes back = read(&again, limit, &why);
    if (!back || !SamePlanes(planes.get(), back.get()))
        std::abort();
    return 0;
}
