// Component planes (OpenJPEG's opj_image_t) as the one form the JPEG-2000
// family codec works in: the library's decoder fills them, so do our own
// PGX, PNM and Sun-raster readers, and every writer takes them.
#pragma once

#include "afx/wintypes.h"
#include "image/picfile.h"

#include <cstddef>
#include <cstdint>
#include <memory>

#include <openjpeg.h>

struct CPicPlanesFree {
    void operator()(opj_image_t* image) const { opj_image_destroy(image); }
};
using CPicPlanes = std::unique_ptr<opj_image_t, CPicPlanesFree>;

// The text the readers give when a picture passes the caller's pixel limit.

// `comps` planes of width x height samples at `prec` bits, origin (0, 0), no
// subsampling. Null with *why set when a size is 0, the pixels pass
// maxPixels or memory runs out.
CPicPlanes PicNewPlanes(DWORD comps, DWORD width, DWORD height, DWORD prec, bool sgnd, OPJ_COLOR_SPACE space,
    uint64_t maxPixels, const char** why);

// Plane data read through a small buffer, never past the bytes the file
// holds: a header that asks for more pixel bytes than remain fails before
// anything is allocated.
class CPicByteReader {
public:
    explicit CPicByteReader(CPicFile* file);

    // -1 at the end of the data.
    int Get();
    int Peek();
    bool Read(BYTE* dest, size_t n);
    // Bytes not yet consumed (those buffered included).
    uint64_t Left() const { return fileLeft + (end - pos); }
    // True when `need` bytes (as a checked product) fit in what is left
    // times `ratio` (the best a packed encoding can do).
    bool CanHold(uint64_t a, uint64_t b, uint64_t ratio = 1) const;

    // PNM and PGX headers: white space and (with `comments`) '#' lines.
    void SkipSpace(bool comments);
    // A decimal number of at most nine digits; false when none is there.
    bool ReadNumber(DWORD& value);

private:
    bool Fill();

    CPicFile* file;
    uint64_t fileLeft;
    size_t pos;
    size_t end;
    BYTE buffer[16384];
};

// Writes through the file; false when it takes fewer bytes.
inline bool PicWriteAll(CPicFile* file, const void* data, size_t n)
{
    return n == 0 || file->Write(data, 1, n) == n;
}

// Big-endian fields, as the JPEG-2000 boxes and raster headers hold them.
inline WORD PicGetBE16(const BYTE* p) { return WORD((p[0] << 8) | p[1]); }

inline DWORD PicGetBE32(const BYTE* p)
{
    return (DWORD(p[0]) << 24) | (DWORD(p[1]) << 16) | (DWORD(p[2]) << 8) | p[3];
}

// The planes' samples interleaved row by row, big-endian, one byte each up to
// 8 bits and two above, held to 0..2^prec - 1. *why is writeError when the
// file takes less.
bool PicWriteSamples(CPicFile* file, const opj_image_t* image, const char* writeError, const char** why);

// Checks shared by the plane writers: minComps..maxComps planes of one
// size, unsigned, of 1-16 bits, without subsampling.
bool PicPlanesWritable(const opj_image_t* image, DWORD minComps, DWORD maxComps, const char** why);

// The number of bits that holds 0..maxValue (maxValue >= 1).
DWORD PicBitsFor(DWORD maxValue);
