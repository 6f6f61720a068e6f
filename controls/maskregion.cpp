#include "controls/maskregion.h"

std::vector<CRect> MaskRuns(int nWidth, int nHeight, const std::function<COLORREF(int x, int y)>& fnPixel,
                            COLORREF crTransparent) {
    std::vector<CRect> runs;
    for (int y = nHeight - 1; y >= 0; --y) {
        int x = 0;
        while (x < nWidth) {
            while (x < nWidth && fnPixel(x, y) == crTransparent)
                ++x;
            const int nStart = x;
            while (x < nWidth && fnPixel(x, y) != crTransparent)
                ++x;
            if (x > nStart)
                runs.push_back(CRect(nStart, y, x, y + 1));
        }
    }
    return runs;
}
