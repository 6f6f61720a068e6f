// The data stream of a skin: its description string, region blocks and JPEG
// picture blocks, read into plain records and checked before any window
// sees them.
#pragma once

#include "afx/afxarch.h"
#include "afx/afxstr.h"
#include "afx/wintypes.h"

#include <cstddef>
#include <vector>

class CPicture;

const DWORD SKIN_DESCRIPTION_MAX_CHARS = 64UL * 1024;
const DWORD SKIN_REGION_HEADER_BYTES = 32;
const DWORD SKIN_REGION_MAX_BYTES = 16UL * 1024 * 1024;
const DWORD SKIN_PICTURE_MAX_BYTES = 32UL * 1024 * 1024;
// Skin pictures are screen-sized; the decoder refuses more pixels than this.
const DWORD SKIN_PICTURE_MAX_PIXELS = 16UL * 1024 * 1024;
const DWORD RDH_RECTANGLES_TYPE = 1;

// A Windows RGNDATA of rectangles, without its size fields: those are
// recomputed when the region is written or handed to the system.
struct RegionBlock {
    RECT rcBound = {0, 0, 0, 0};
    std::vector<RECT> rects;
};

struct PictureBlock {
    std::vector<BYTE> bytes; // a JPEG file
};

struct AnalogSkinData {
    CString strDescription;
    DWORD dwHasSecondHand = 0; // nonzero: the second hand blocks are present
    RegionBlock faceRegion;
    PictureBlock facePicture;
    RegionBlock hourRegion;
    PictureBlock hourPicture;
    RegionBlock minuteRegion;
    PictureBlock minutePicture;
    RegionBlock secondRegion;
    PictureBlock secondPicture;
};

struct DigitalSkinData {
    CString strDescription;
    RegionBlock backgroundRegion;
    PictureBlock backgroundPicture;
    LONG nHasAbcRegion = 0; // greater than 0: abcRegion is present
    RegionBlock abcRegion;
    PictureBlock glyphStrip;
};

// Fields of a description, separated by ";"; a field past the last reads "".
class SkinDescription {
public:
    enum { ANALOG_TYPE, ANALOG_VERSION, ANALOG_PIVOT_X, ANALOG_PIVOT_Y, ANALOG_NAME, ANALOG_AUTHOR, ANALOG_DATE };
    enum { DIGITAL_TYPE, DIGITAL_VERSION, DIGITAL_NAME, DIGITAL_AUTHOR, DIGITAL_DATE };

    explicit SkinDescription(const CString& strDescription) : m_strDescription(strDescription) {}

    CString GetField(int nIndex) const;

    struct Pivot {
        BOOL bMiddle; // the word "middle", exactly: the face's centre
        int nValue;   // otherwise the field read as atoi reads it
    };
    Pivot GetPivotX() const { return ReadPivot(GetField(ANALOG_PIVOT_X)); }
    Pivot GetPivotY() const { return ReadPivot(GetField(ANALOG_PIVOT_Y)); }

    static Pivot ReadPivot(const CString& strField);
    // atoi without its undefined overflow: out-of-range values saturate.
    static int ReadInt(const CString& strField);

private:
    CString m_strDescription;
};

// Readers of a loading archive. On failure the record is left as it was and
// strError holds the message of the element that could not be read.
BOOL ReadAnalogSkinData(CArchive& ar, AnalogSkinData& data, CString& strError);
BOOL ReadDigitalSkinData(CArchive& ar, DigitalSkinData& data, CString& strError);
BOOL ReadAnalogSkinData(const BYTE* pData, size_t nSize, AnalogSkinData& data, CString& strError);
BOOL ReadDigitalSkinData(const BYTE* pData, size_t nSize, DigitalSkinData& data, CString& strError);

// Writers, for the skin maker and the tests; they throw as CArchive does.
void WriteAnalogSkinData(CArchive& ar, const AnalogSkinData& data);
void WriteDigitalSkinData(CArchive& ar, const DigitalSkinData& data);
std::vector<BYTE> AnalogSkinDataBytes(const AnalogSkinData& data);
std::vector<BYTE> DigitalSkinDataBytes(const DigitalSkinData& data);

// The region as the RGNDATA bytes ExtCreateRegion takes.
std::vector<BYTE> RegionBlockBytes(const RegionBlock& region);
// Cuts every rectangle to 0..nWidth x 0..nHeight, drops the empty ones and
// recomputes the bound.
void ClipRegionBlock(RegionBlock& region, LONG nWidth, LONG nHeight);

// Decodes a picture block as JPEG within the skin limits. FALSE leaves
// picture empty.
BOOL DecodeSkinPicture(const PictureBlock& block, CPicture& picture);

// The whole analog skin: read, pictures decoded (index 0 face, 1 hour,
// 2 minute, 3 second; the second stays empty without a second hand), each
// region clipped to its picture. FALSE with the element's message.
BOOL LoadAnalogSkin(const BYTE* pData, size_t nSize, AnalogSkinData& data, CPicture* pPictures, CString& strError);
// The digital skin: index 0 background, 1 glyph strip; the background region
// is clipped to the background, the Abc region to the glyph strip.
BOOL LoadDigitalSkin(const BYTE* pData, size_t nSize, DigitalSkinData& data, CPicture* pPictures, CString& strError);

#ifdef _WIN32
// A region handle for the window, owned by the caller; NULL on failure.
HRGN CreateSkinRegion(const RegionBlock& region);
#endif
