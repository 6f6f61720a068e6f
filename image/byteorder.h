// Little-endian fields of file headers, read and written one by one.
#pragma once

#include "afx/wintypes.h"
#include "image/picfile.h"

#include <cstddef>

inline WORD PicGetU16(const BYTE* p) { return WORD(p[0] | (p[1] << 8)); }

inline DWORD PicGetU32(const BYTE* p)
{
    return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

inline void PicPutU16(BYTE* p, WORD v)
{
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
}

inline void PicPutU32(BYTE* p, DWORD v)
{
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
    p[2] = BYTE(v >> 16);
    p[3] = BYTE(v >> 24);
}

// Reads exactly n bytes; a short read is a failure.
inline bool PicReadExact(CPicFile* file, void* dest, size_t n)
{
    return n == 0 || file->Read(dest, 1, n) == n;
}
