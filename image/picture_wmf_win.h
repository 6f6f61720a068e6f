// Windows metafile and enhanced metafile codec: plays the metafile into a
// memory bitmap through GDI (Windows build only). Decodes only.
#pragma once

#include "image/picture.h"

#include <windows.h>

#include <cstdio>

#pragma pack(push, 2)
struct CPlaceableMetaHeader {
    DWORD key;
    WORD hmf;
    SHORT left, top, right, bottom;
    WORD inch;
    DWORD reserved;
    WORD checksum;
};
#pragma pack(pop)

class VELTRAN_IMAGE_API CPictureWMF : public CPicture {
public:
    CPictureWMF()
        : CPicture(PIC_FORMAT_WMF)
    {
    }

    bool Decode(CPicFile* file, LONG forceWidth = 0, LONG forceHeight = 0);
    bool Decode(FILE* stream, LONG forceWidth = 0, LONG forceHeight = 0);
    bool Encode(CPicFile* file);
    bool Encode(FILE* stream);

protected:
    static bool CheckMetafileHeader(const CPlaceableMetaHeader& header);
    HENHMETAFILE ReadPlaceableMetafile(CPicFile* file, CPlaceableMetaHeader& header);
    HENHMETAFILE ReadEnhancedMetafile(CPicFile* file, ENHMETAHEADER& header);
    static void ShrinkMetafile(LONG& width, LONG& height);
};
