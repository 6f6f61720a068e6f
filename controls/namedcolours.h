// The 140 named web colours, filled at start-up, and their look-ups.
#pragma once

#include "afx/wintypes.h"

const int kNamedColourCount = 140;

struct NAMEDCOLOUR {
    COLORREF crColour;  // 0x00BBGGRR
    char szName[32];    // at most 31 characters, always terminated
};

// In alphabetical order; Aqua and Cyan (and Fuchsia and Magenta) share a value.
extern NAMEDCOLOUR g_namedColours[kNamedColourCount];

// Compares without regard to ASCII letter case; a null name sorts first.
int CompareColourNames(const char* psz1, const char* psz2);
// Index of the first entry of that name (any case), or -1; never reads past the table.
int FindNamedColour(const char* pszName);
// Index of the first entry of that value, or -1.
int FindNamedColourValue(COLORREF crColour);
