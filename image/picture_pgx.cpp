#include "image/picture_pgx.h"

#include <cstdio>
#include <memory>
#include <new>

namespace {

bool IsBlank(int c)
{
    return c == ' ' || c == '\t';
}

void SkipBlanks(CPicByteReader& in)
{
    while (IsBlank(in.Peek()))
        in.Get();
}

} // namespace

CPicPlanes PicReadPgx(CPicFile* file, uint64_t maxPixels, const char** why)
{
    CPicByteReader in(file);
    *why = "PGX: bad header";
    if (in.Get() != 'P' || in.Get() != 'G' || !IsBlank(in.Peek()))
        return nullptr;
    SkipBlanks(in);
    int a = in.Get(), b = in.Get();
    bool bigEndian;
    if (a == 'M' && b == 'L')
        bigEndian = true;
    else if (a == 'L' && b == 'M')
        bigEndian = false;
    else
        return nullptr;
    SkipBlanks(in);
    bool sgnd = false;
    if (in.Peek() == '+' || in.Peek() == '-') {
        sgnd = in.Get() == '-';
        SkipBlanks(in);
    }
    DWORD prec = 0, width = 0, height = 0;
    if (!in.ReadNumber(prec))
        return nullptr;
    SkipBlanks(in);
    if (!in.ReadNumber(width))
        return nullptr;
    SkipBlanks(in);
    if (!in.ReadNumber(height))
        return nullptr;
    // The samples follow one line end.
    int end = in.Get();
    if (end == '\r' && in.Peek() == '\n')
        end = in.Get();
    if (end != '\n')
        return nullptr;
    if (prec == 0 || prec > 16 || width == 0 || height == 0) {
        *why = "PGX: bad size or precision";
        return nullptr;
    }
    const size_t bytes = prec > 8 ? 2 : 1;
    if (!in.CanHold(uint64_t(width) * height, bytes)) {
        *why = "PGX: data truncated";
        return nullptr;
    }
    CPicPlanes image = PicNewPlanes(1, width, height, prec, sgnd, OPJ_CLRSPC_GRAY, maxPixels, why);
    if (!image)
        return nullptr;

    const DWORD mask = (DWORD(1) << prec) - 1;
    const DWORD signBit = DWORD(1) << (prec - 1);
    const size_t rowBytes = size_t(width) * bytes;
    std::unique_ptr<BYTE[]> row(new (std::nothrow) BYTE[rowBytes]);
    if (!row) {
        *why = "PGX: out of memory";
        return nullptr;
    }
    OPJ_INT32* out = image->comps[0].data;
    for (DWORD y = 0; y < height; ++y, out += width) {
        if (!in.Read(row.get(), rowBytes)) {
            *why = "PGX: data truncated";
            return nullptr;
        }
        for (DWORD x = 0; x < width; ++x) {
            const BYTE* p = row.get() + size_t(x) * bytes;
            DWORD raw
                = bytes == 1 ? p[0] : (bigEndian ? (DWORD(p[0]) << 8) | p[1] : (DWORD(p[1]) << 8) | p[0]);
            // Bits above the precision carry nothing; the sign is the top bit kept.
            raw &= mask;
            out[x] = sgnd && (raw & signBit) ? OPJ_INT32(raw) - OPJ_INT32(mask) - 1 : OPJ_INT32(raw);
        }
    }
    return image;
}

bool PicWritePgx(CPicFile* file, const opj_image_t* image, const char** why)
{
    if (!PicPlanesWritable(image, 1, 1, why))
        return false;
    const opj_image_comp_t& c = image->comps[0];
    char head[64];
    int n = std::snprintf(head, sizeof(head), "PG ML + %lu %lu %lu\n", (unsigned long)c.prec,
        (unsigned long)c.w, (unsigned long)c.h);
    if (!PicWriteAll(file, head, size_t(n))) {
        *why = "PGX: write error";
        return false;
    }
    return PicWriteSamples(file, image, "PGX: write error", why);
}
