// The codecs built into the library, in the order a type-0 decode probes them:
// BMP, JPEG, ICO, GIF, PNG, TIFF, TGA, PCX, WBMP, WMF, JPEG-2000 family.
#include "image/picture_codecs.h"

#include "image/picture_bmp.h"
#include "image/picture_gif.h"
#include "image/picture_ico.h"
#include "image/picture_j2k.h"
#include "image/picture_jpg.h"
#include "image/picture_pcx.h"
#include "image/picture_png.h"
#include "image/picture_tga.h"
#include "image/picture_tif.h"
#include "image/picture_wbmp.h"
#if defined(_WIN32)
#include "image/picture_wmf_win.h"
#endif

const CPicCodecEntry g_picCodecs[] = {
    PicCodec<CPictureBMP>(PIC_FORMAT_BMP),
    PicCodec<CPictureJPG>(PIC_FORMAT_JPG),
    PicCodec<CPictureICO>(PIC_FORMAT_ICO),
    PicPagedCodec<CPictureGIF>(PIC_FORMAT_GIF),
    PicCodec<CPicturePNG>(PIC_FORMAT_PNG),
    PicPagedCodec<CPictureTIF>(PIC_FORMAT_TIF),
    PicCodec<CPictureTGA>(PIC_FORMAT_TGA),
    PicCodec<CPicturePCX>(PIC_FORMAT_PCX),
    PicCodec<CPictureWBMP>(PIC_FORMAT_WBMP),
#if defined(_WIN32)
    PicCodec<CPictureWMF>(PIC_FORMAT_WMF),
#endif
    PicCodec<CPictureJAS>(PIC_FORMAT_JP2, PIC_FORMAT_RAS, 0),
};

const size_t g_picCodecCount = sizeof(g_picCodecs) / sizeof(g_picCodecs[0]);

const CPicCodecEntry* PicFindCodec(DWORD type)
{
    for (size_t i = 0; i < g_picCodecCount; ++i) {
        if (type >= g_picCodecs[i].firstType && type <= g_picCodecs[i].lastType)
            return &g_picCodecs[i];
    }
    return nullptr;
}
