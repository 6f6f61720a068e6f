// One colour channel of a 16- or 32-bit bit-field pixel.
#pragma once

#include "afx/wintypes.h"

#include <cstdint>

// The masked bits are shifted down from the mask's lowest set bit and scaled
// from the mask's own range to 0..255, so any mask (up to all 32 bits) works
// without an undefined shift.
struct CPicBitfieldChannel {
    DWORD mask = 0;
    int shift = 0;
    uint64_t max = 0;

    explicit CPicBitfieldChannel(DWORD m)
        : mask(m)
    {
        if (mask == 0)
            return;
        while (!(mask & (DWORD(1) << shift)))
            ++shift;
        max = mask >> shift;
    }

    BYTE Expand(DWORD v) const
    {
        if (max == 0)
            return 0;
        uint64_t value = (v & mask) >> shift;
        return BYTE((value * 255 + max / 2) / max);
    }
};
