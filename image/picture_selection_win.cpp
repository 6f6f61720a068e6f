// Selection mask to a GDI region (Windows build only).
#include "image/picture.h"

#include <windows.h>

bool CPicture::SelectionToHRGN(HRGN& region) const
{
    if (!selection || !region)
        return false;
    LONG w = LONG(GetWidth()), h = LONG(GetHeight());
    for (LONG y = 0; y < h; ++y) {
        const BYTE* row = selection + size_t(y) * size_t(w);
        LONG x = 0;
        while (x < w) {
            if (row[x] != 255) {
                ++x;
                continue;
            }
            LONG x0 = x;
            while (x < w && row[x] == 255)
                ++x;
            HRGN run = ::CreateRectRgn(x0, y, x, y + 1);
            if (!run)
                return false;
            ::CombineRgn(region, region, run, RGN_OR);
            ::DeleteObject(run);
        }
    }
    return true;
}
