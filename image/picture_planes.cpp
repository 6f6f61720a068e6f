#include "image/picture_planes.h"

#include "image/checked_math.h"

#include <cstring>
#include <memory>
#include <new>


CPicPlanes PicNewPlanes(DWORD comps, DWORD width, DWORD height, DWORD prec, bool sgnd, OPJ_COLOR_SPACE space,
    uint64_t maxPixels, const char** why)
{
    if (comps == 0 || comps > 4 || width == 0 || height == 0 || prec == 0 || prec > 16) {
        *why = "planes: bad size";
        return nullptr;
    }
    if (uint64_t(width) * height > maxPixels) {
        *why = kPicDecodeLimitText;
        return nullptr;
    }
    opj_image_cmptparm_t parms[4];
    std::memset(parms, 0, sizeof(parms));
    for (DWORD i = 0; i < comps; ++i) {
        parms[i].dx = 1;
        parms[i].dy = 1;
        parms[i].w = width;
        parms[i].h = height;
        parms[i].prec = prec;
        parms[i].sgnd = sgnd ? 1 : 0;
    }
    CPicPlanes image(opj_image_create(comps, parms, space));
    if (!image) {
        *why = "planes: out of memory";
        return nullptr;
    }
    image->x0 = 0;
    image->y0 = 0;
    image->x1 = width;
    image->y1 = height;
    return image;
}

bool PicPlanesWritable(const opj_image_t* image, DWORD minComps, DWORD maxComps, const char** why)
{
    if (!image || image->numcomps < minComps || image->numcomps > maxComps) {
        *why = "planes: wrong number of components";
        return false;
    }
    const opj_image_comp_t& c0 = image->comps[0];
    for (DWORD i = 0; i < image->numcomps; ++i) {
        const opj_image_comp_t& c = image->comps[i];
        if (!c.data || c.w == 0 || c.h == 0 || c.w != c0.w || c.h != c0.h || c.dx != 1 || c.dy != 1
            || c.prec == 0 || c.prec > 16 || c.prec != c0.prec || c.sgnd) {
            *why = "planes: components of unequal or unsupported form";
            return false;
        }
    }
    return true;
}

bool PicWriteSamples(CPicFile* file, const opj_image_t* image, const char* writeError, const char** why)
{
    const DWORD comps = image->numcomps, w = image->comps[0].w, h = image->comps[0].h;
    const DWORD top = (DWORD(1) << image->comps[0].prec) - 1;
    const size_t bytes = top > 255 ? 2 : 1;
    const size_t rowBytes = size_t(w) * comps * bytes;
    std::unique_ptr<BYTE[]> row(new (std::nothrow) BYTE[rowBytes]);
    if (!row) {
        *why = "planes: out of memory";
        return false;
    }
    for (DWORD y = 0; y < h; ++y) {
        BYTE* p = row.get();
        for (DWORD x = 0; x < w; ++x) {
            for (DWORD c = 0; c < comps; ++c) {
                OPJ_INT32 v = image->comps[c].data[size_t(y) * w + x];
                DWORD u = v < 0 ? 0 : (DWORD(v) > top ? top : DWORD(v));
                if (bytes == 2)
                    *p++ = BYTE(u >> 8);
                *p++ = BYTE(u);
            }
        }
        if (!PicWriteAll(file, row.get(), rowBytes)) {
            *why = writeError;
            return false;
        }
    }
    return true;
}

DWORD PicBitsFor(DWORD maxValue)
{
    DWORD bits = 1;
    while (bits < 32 && (maxValue >> bits) != 0)
        ++bits;
    return bits;
}

// ---- byte reader -----------------------------------------------------------

CPicByteReader::CPicByteReader(CPicFile* file)
    : file(file)
    , fileLeft(0)
    , pos(0)
    , end(0)
{
    LONG here = file->Tell();
    LONG size = file->Size();
    if (here >= 0 && size > here)
        fileLeft = uint64_t(size - here);
}

bool CPicByteReader::Fill()
{
    if (pos < end)
        return true;
    if (fileLeft == 0)
        return false;
    size_t want = fileLeft < sizeof(buffer) ? size_t(fileLeft) : sizeof(buffer);
    size_t got = file->Read(buffer, 1, want);
    pos = 0;
    end = got;
    // A file that delivers less than it claimed has ended.
    fileLeft = got == want ? fileLeft - got : 0;
    return got > 0;
}

int CPicByteReader::Get()
{
    if (!Fill())
        return -1;
    return buffer[pos++];
}

int CPicByteReader::Peek()
{
    if (!Fill())
        return -1;
    return buffer[pos];
}

bool CPicByteReader::Read(BYTE* dest, size_t n)
{
    while (n > 0) {
        if (!Fill())
            return false;
        size_t take = end - pos < n ? end - pos : n;
        std::memcpy(dest, buffer + pos, take);
        pos += take;
        dest += take;
        n -= take;
    }
    return true;
}

bool CPicByteReader::CanHold(uint64_t a, uint64_t b, uint64_t ratio) const
{
    uint64_t need, room;
    if (!PicCheckedMul(a, b, need))
        return false;
    if (!PicCheckedMul(Left(), ratio, room))
        return true;
    return need <= room;
}

void CPicByteReader::SkipSpace(bool comments)
{
    for (;;) {
        int c = Peek();
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
            Get();
        } else if (comments && c == '#') {
            while (c != -1 && c != '\n' && c != '\r')
                c = Get();
        } else {
            return;
        }
    }
}

bool CPicByteReader::ReadNumber(DWORD& value)
{
    int c = Peek();
    if (c < '0' || c > '9')
        return false;
    DWORD v = 0;
    int digits = 0;
    while (c >= '0' && c <= '9') {
        if (++digits > 9)
            return false;
        v = v * 10 + DWORD(c - '0');
        Get();
        c = Peek();
    }
    value = v;
    return true;
}
