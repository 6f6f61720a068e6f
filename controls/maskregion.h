// The runs of a mask that make a skinned button's window region: every
// maximal run of a row whose pixels differ from the transparent colour
// becomes a rectangle one row high.
#pragma once

#include <functional>
#include <vector>

#include "afx/afxgeom.h"
#include "afx/wintypes.h"

// Rows are read from the bottom up, each from left to right.
std::vector<CRect> MaskRuns(int nWidth, int nHeight, const std::function<COLORREF(int x, int y)>& fnPixel,
                            COLORREF crTransparent);
