// The generated faces of the shaded push button: an 8-bit palette image
// filled by one of the shade patterns with random grain, coloured towards a
// chosen colour, and its lighter copy for the hovered and pressed states.
#pragma once

#include <functional>

#include "afx/wintypes.h"
#include "controls/dib.h"

// A source of random numbers 0..32767 (the runtime library's rand by default).
typedef std::function<int()> ShadeRandom;
int ShadeDefaultRandom();

struct SHADECOLOURS {
    COLORREF crShadow;     // index 0
    COLORREF crFace;       // index 128
    COLORREF crHighlight;  // index 255
};

// The normal surface: palette ramp, blended towards crColour by nColouring
// percent, pixels of shade kind nKind with granularity nGrain. FALSE when the
// size is empty.
BOOL ShadeNormalSurface(CDib& dib, int nWidth, int nHeight, UINT nKind, BYTE nGrain, BYTE nColouring, COLORREF crColour,
                        const SHADECOLOURS& colours, const ShadeRandom& fnRandom = ShadeDefaultRandom);

// All four faces: the disabled face is the normal one; the over face is the
// normal one blended towards the highlight colour by nHighlight percent; the
// down face is the over one.
BOOL ShadeSurfaces(CDib& normal, CDib& down, CDib& disabled, CDib& over, int nWidth, int nHeight, UINT nKind,
                   BYTE nGrain, BYTE nHighlight, BYTE nColouring, COLORREF crColour, const SHADECOLOURS& colours,
                   const ShadeRandom& fnRandom = ShadeDefaultRandom);
