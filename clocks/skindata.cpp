#include "clocks/skindata.h"

#include "afx/afxgeom.h"
#include "image/byteorder.h"
#include "image/picture.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace {

const char kDescription[] = "Cannot read Skin description!";
const char kSecondHandSwitch[] = "Cannot read Second hand switch!";
const char kFaceRegion[] = "Cannot read Clockface region!";
const char kFacePicture[] = "Cannot read Clockface picture!";
const char kHourRegion[] = "Cannot read Hour hand region!";
const char kHourPicture[] = "Cannot read Hour hand picture!";
const char kMinuteRegion[] = "Cannot read Minute hand region!";
const char kMinutePicture[] = "Cannot read Minute hand picture!";
const char kSecondRegion[] = "Cannot read Second hand region!";
const char kSecondPicture[] = "Cannot read Second hand picture!";
const char kBackgroundRegion[] = "Cannot read Background region!";
const char kBackgroundPicture[] = "Cannot read Background picture!";
const char kAbcSwitch[] = "Cannot read Abc region switch!";
const char kAbcRegion[] = "Cannot read Abc region!";
const char kGlyphStrip[] = "Cannot read Abc hand picture!";

LONG GetLong(const BYTE* p)
{
    return static_cast<LONG>(PicGetU32(p));
}

void PutLong(std::vector<BYTE>& out, DWORD dw)
{
    BYTE ab[4];
    PicPutU32(ab, dw);
    out.insert(out.end(), ab, ab + 4);
}

RECT GetRect(const BYTE* p)
{
    RECT rc;
    rc.left = GetLong(p);
    rc.top = GetLong(p + 4);
    rc.right = GetLong(p + 8);
    rc.bottom = GetLong(p + 12);
    return rc;
}

void PutRect(std::vector<BYTE>& out, const RECT& rc)
{
    PutLong(out, static_cast<DWORD>(rc.left));
    PutLong(out, static_cast<DWORD>(rc.top));
    PutLong(out, static_cast<DWORD>(rc.right));
    PutLong(out, static_cast<DWORD>(rc.bottom));
}

DWORD ReadDword(CArchive& ar)
{
    BYTE ab[4];
    ar.EnsureRead(ab, 4);
    return PicGetU32(ab);
}

void Skip(CArchive& ar, DWORD nBytes)
{
    BYTE buffer[4096];
    while (nBytes > 0) {
        const UINT nChunk = nBytes < sizeof(buffer) ? nBytes : static_cast<UINT>(sizeof(buffer));
        ar.EnsureRead(buffer, nChunk);
        nBytes -= nChunk;
    }
}

// Each element reader returns FALSE for a malformed element and lets the
// archive's exceptions through; ReadElement turns both into the message.
BOOL ReadDescription(CArchive& ar, CString& str)
{
    const DWORD nOldLimit = ar.GetStringLimit();
    ar.SetStringLimit(SKIN_DESCRIPTION_MAX_CHARS);
    try {
        ar >> str;
    } catch (...) {
        ar.SetStringLimit(nOldLimit);
        throw;
    }
    ar.SetStringLimit(nOldLimit);
    return TRUE;
}

BOOL ReadRegion(CArchive& ar, RegionBlock& region)
{
    const DWORD nBytes = ReadDword(ar);
    if (nBytes < SKIN_REGION_HEADER_BYTES || nBytes > SKIN_REGION_MAX_BYTES || nBytes > ar.GetBytesLeft())
        return FALSE;
    BYTE header[SKIN_REGION_HEADER_BYTES];
    ar.EnsureRead(header, sizeof(header));
    const DWORD dwSize = PicGetU32(header);
    const DWORD iType = PicGetU32(header + 4);
    const DWORD nCount = PicGetU32(header + 8);
    if (dwSize != SKIN_REGION_HEADER_BYTES || iType != RDH_RECTANGLES_TYPE)
        return FALSE;
    if (nCount > (nBytes - SKIN_REGION_HEADER_BYTES) / sizeof(RECT))
        return FALSE;
    RegionBlock read;
    read.rcBound = GetRect(header + 16);
    read.rects.resize(nCount);
    for (DWORD i = 0; i < nCount; i++) {
        BYTE ab[sizeof(RECT)];
        ar.EnsureRead(ab, sizeof(ab));
        read.rects[i] = GetRect(ab);
    }
    Skip(ar, nBytes - SKIN_REGION_HEADER_BYTES - nCount * static_cast<DWORD>(sizeof(RECT)));
    region = std::move(read);
    return TRUE;
}

BOOL ReadPicture(CArchive& ar, PictureBlock& picture)
{
    const DWORD nBytes = ReadDword(ar);
    if (nBytes > SKIN_PICTURE_MAX_BYTES || nBytes > ar.GetBytesLeft())
        return FALSE;
    std::vector<BYTE> bytes(nBytes);
    if (nBytes != 0)
        ar.EnsureRead(bytes.data(), nBytes);
    picture.bytes = std::move(bytes);
    return TRUE;
}

template <class READ>
BOOL ReadElement(CArchive& ar, READ read, const char* pszMessage, CString& strError)
{
    BOOL bRead = FALSE;
    try {
        bRead = read(ar);
    } catch (CException* e) {
        e->Delete();
        bRead = FALSE;
    }
    if (!bRead)
        strError = pszMessage;
    return bRead;
}

void WriteRegion(CArchive& ar, const RegionBlock& region)
{
    const std::vector<BYTE> bytes = RegionBlockBytes(region);
    ar << static_cast<DWORD>(bytes.size());
    ar.Write(bytes.data(), static_cast<UINT>(bytes.size()));
}

void WritePicture(CArchive& ar, const PictureBlock& picture)
{
    ar << static_cast<DWORD>(picture.bytes.size());
    if (!picture.bytes.empty())
        ar.Write(picture.bytes.data(), static_cast<UINT>(picture.bytes.size()));
}

template <class WRITE>
std::vector<BYTE> StreamBytes(WRITE write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    const ULONGLONG nLength = file.GetLength();
    BYTE* pBuffer = file.Detach();
    std::vector<BYTE> bytes(pBuffer, pBuffer + nLength);
    free(pBuffer);
    return bytes;
}

template <class READ>
BOOL ReadBytes(const BYTE* pData, size_t nSize, READ read, CString& strError)
{
    static BYTE s_empty[1];
    if (nSize > UINT_MAX) {
        strError = kDescription;
        return FALSE;
    }
    CMemFile file(pData != nullptr ? const_cast<BYTE*>(pData) : s_empty, static_cast<UINT>(nSize));
    CArchive ar(&file, CArchive::load);
    return read(ar);
}

} // namespace

CString SkinDescription::GetField(int nIndex) const
{
    if (nIndex < 0)
        return CString();
    int nStart = 0;
    for (int nField = 0; nField < nIndex; nField++) {
        const int nNext = m_strDescription.Find(';', nStart);
        if (nNext < 0)
            return CString();
        nStart = nNext + 1;
    }
    const int nEnd = m_strDescription.Find(';', nStart);
    return m_strDescription.Mid(nStart, (nEnd < 0 ? m_strDescription.GetLength() : nEnd) - nStart);
}

SkinDescription::Pivot SkinDescription::ReadPivot(const CString& strField)
{
    Pivot pivot;
    pivot.bMiddle = strField == "middle";
    pivot.nValue = pivot.bMiddle ? 0 : ReadInt(strField);
    return pivot;
}

int SkinDescription::ReadInt(const CString& strField)
{
    const char* p = strField.GetString();
    const char* pEnd = p + strField.GetLength();
    while (p < pEnd && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        p++;
    bool bNegative = false;
    if (p < pEnd && (*p == '-' || *p == '+'))
        bNegative = *p++ == '-';
    long long nValue = 0;
    for (; p < pEnd && *p >= '0' && *p <= '9'; p++) {
        nValue = nValue * 10 + (*p - '0');
        if (nValue > 1LL + INT_MAX)
            nValue = 1LL + INT_MAX;
    }
    if (bNegative)
        nValue = -nValue;
    return static_cast<int>(std::min<long long>(std::max<long long>(nValue, INT_MIN), INT_MAX));
}

BOOL ReadAnalogSkinData(CArchive& ar, AnalogSkinData& data, CString& strError)
{
    AnalogSkinData read;
    const struct {
        RegionBlock* pRegion;
        const char* pszRegion;
        PictureBlock* pPicture;
        const char* pszPicture;
    } parts[] = {
        {&read.faceRegion, kFaceRegion, &read.facePicture, kFacePicture},
        {&read.hourRegion, kHourRegion, &read.hourPicture, kHourPicture},
        {&read.minuteRegion, kMinuteRegion, &read.minutePicture, kMinutePicture},
        {&read.secondRegion, kSecondRegion, &read.secondPicture, kSecondPicture},
    };
    if (!ReadElement(ar, [&](CArchive& a) { return ReadDescription(a, read.strDescription); }, kDescription,
                     strError))
        return FALSE;
    if (!ReadElement(ar, [&](CArchive& a) { return (read.dwHasSecondHand = ReadDword(a)), TRUE; },
                     kSecondHandSwitch, strError))
        return FALSE;
    const int nParts = read.dwHasSecondHand != 0 ? 4 : 3;
    for (int i = 0; i < nParts; i++) {
        if (!ReadElement(ar, [&](CArchive& a) { return ReadRegion(a, *parts[i].pRegion); }, parts[i].pszRegion,
                         strError))
            return FALSE;
        if (!ReadElement(ar, [&](CArchive& a) { return ReadPicture(a, *parts[i].pPicture); },
                         parts[i].pszPicture, strError))
            return FALSE;
    }
    data = std::move(read);
    return TRUE;
}

BOOL ReadDigitalSkinData(CArchive& ar, DigitalSkinData& data, CString& strError)
{
    DigitalSkinData read;
    if (!ReadElement(ar, [&](CArchive& a) { return ReadDescription(a, read.strDescription); }, kDescription,
                     strError))
        return FALSE;
    if (!ReadElement(ar, [&](CArchive& a) { return ReadRegion(a, read.backgroundRegion); }, kBackgroundRegion,
                     strError))
        return FALSE;
    if (!ReadElement(ar, [&](CArchive& a) { return ReadPicture(a, read.backgroundPicture); },
                     kBackgroundPicture, strError))
        return FALSE;
    if (!ReadElement(ar, [&](CArchive& a) { return (read.nHasAbcRegion = static_cast<LONG>(ReadDword(a))), TRUE; },
                     kAbcSwitch, strError))
        return FALSE;
    if (read.nHasAbcRegion > 0
        && !ReadElement(ar, [&](CArchive& a) { return ReadRegion(a, read.abcRegion); }, kAbcRegion, strError))
        return FALSE;
    if (!ReadElement(ar, [&](CArchive& a) { return ReadPicture(a, read.glyphStrip); }, kGlyphStrip, strError))
        return FALSE;
    data = std::move(read);
    return TRUE;
}

BOOL ReadAnalogSkinData(const BYTE* pData, size_t nSize, AnalogSkinData& data, CString& strError)
{
    return ReadBytes(pData, nSize, [&](CArchive& ar) { return ReadAnalogSkinData(ar, data, strError); }, strError);
}

BOOL ReadDigitalSkinData(const BYTE* pData, size_t nSize, DigitalSkinData& data, CString& strError)
{
    return ReadBytes(pData, nSize, [&](CArchive& ar) { return ReadDigitalSkinData(ar, data, strError); }, strError);
}

void WriteAnalogSkinData(CArchive& ar, const AnalogSkinData& data)
{
    ar << data.strDescription;
    ar << data.dwHasSecondHand;
    WriteRegion(ar, data.faceRegion);
    WritePicture(ar, data.facePicture);
    WriteRegion(ar, data.hourRegion);
    WritePicture(ar, data.hourPicture);
    WriteRegion(ar, data.minuteRegion);
    WritePicture(ar, data.minutePicture);
    if (data.dwHasSecondHand != 0) {
        WriteRegion(ar, data.secondRegion);
        WritePicture(ar, data.secondPicture);
    }
}

void WriteDigitalSkinData(CArchive& ar, const DigitalSkinData& data)
{
    ar << data.strDescription;
    WriteRegion(ar, data.backgroundRegion);
    WritePicture(ar, data.backgroundPicture);
    ar << data.nHasAbcRegion;
    if (data.nHasAbcRegion > 0)
        WriteRegion(ar, data.abcRegion);
    WritePicture(ar, data.glyphStrip);
}

std::vector<BYTE> AnalogSkinDataBytes(const AnalogSkinData& data)
{
    return StreamBytes([&](CArchive& ar) { WriteAnalogSkinData(ar, data); });
}

std::vector<BYTE> DigitalSkinDataBytes(const DigitalSkinData& data)
{
    return StreamBytes([&](CArchive& ar) { WriteDigitalSkinData(ar, data); });
}

std::vector<BYTE> RegionBlockBytes(const RegionBlock& region)
{
    std::vector<BYTE> bytes;
    bytes.reserve(SKIN_REGION_HEADER_BYTES + region.rects.size() * sizeof(RECT));
    PutLong(bytes, SKIN_REGION_HEADER_BYTES);
    PutLong(bytes, RDH_RECTANGLES_TYPE);
    PutLong(bytes, static_cast<DWORD>(region.rects.size()));
    PutLong(bytes, static_cast<DWORD>(region.rects.size() * sizeof(RECT)));
    PutRect(bytes, region.rcBound);
    for (const RECT& rc : region.rects)
        PutRect(bytes, rc);
    return bytes;
}

void ClipRegionBlock(RegionBlock& region, LONG nWidth, LONG nHeight)
{
    std::vector<RECT> kept;
    RECT rcBound = {0, 0, 0, 0};
    for (RECT rc : region.rects) {
        rc.left = std::max<LONG>(rc.left, 0);
        rc.top = std::max<LONG>(rc.top, 0);
        rc.right = std::min<LONG>(rc.right, nWidth);
        rc.bottom = std::min<LONG>(rc.bottom, nHeight);
        if (rc.left >= rc.right || rc.top >= rc.bottom)
            continue;
        // The empty start does not count in the union.
        ::UnionRect(&rcBound, &rcBound, &rc);
        kept.push_back(rc);
    }
    region.rects = std::move(kept);
    region.rcBound = rcBound;
}

BOOL DecodeSkinPicture(const PictureBlock& block, CPicture& picture)
{
    picture.Destroy();
    if (block.bytes.empty())
        return FALSE;
    picture.SetMaxDecodePixels(SKIN_PICTURE_MAX_PIXELS);
    // Decode only reads the buffer.
    if (!picture.Decode(const_cast<BYTE*>(block.bytes.data()), static_cast<DWORD>(block.bytes.size()), PIC_FORMAT_JPG)
        || !picture.IsValid()) {
        picture.Destroy();
        return FALSE;
    }
    return TRUE;
}

namespace {

BOOL DecodeAndClip(const PictureBlock& block, RegionBlock* pRegion, CPicture& picture, const char* pszMessage,
                   CString& strError)
{
    if (!DecodeSkinPicture(block, picture)) {
        strError = pszMessage;
        return FALSE;
    }
    if (pRegion != nullptr)
        ClipRegionBlock(*pRegion, static_cast<LONG>(picture.GetWidth()), static_cast<LONG>(picture.GetHeight()));
    return TRUE;
}

} // namespace

BOOL LoadAnalogSkin(const BYTE* pData, size_t nSize, AnalogSkinData& data, CPicture* pPictures, CString& strError)
{
    AnalogSkinData read;
    if (!ReadAnalogSkinData(pData, nSize, read, strError))
        return FALSE;
    CPicture pictures[4];
    if (!DecodeAndClip(read.facePicture, &read.faceRegion, pictures[0], kFacePicture, strError)
        || !DecodeAndClip(read.hourPicture, &read.hourRegion, pictures[1], kHourPicture, strError)
        || !DecodeAndClip(read.minutePicture, &read.minuteRegion, pictures[2], kMinutePicture, strError))
        return FALSE;
    if (read.dwHasSecondHand != 0
        && !DecodeAndClip(read.secondPicture, &read.secondRegion, pictures[3], kSecondPicture, strError))
        return FALSE;
    for (int i = 0; i < 4; i++)
        pPictures[i].Transfer(pictures[i]);
    data = std::move(read);
    return TRUE;
}

BOOL LoadDigitalSkin(const BYTE* pData, size_t nSize, DigitalSkinData& data, CPicture* pPictures, CString& strError)
{
    DigitalSkinData read;
    if (!ReadDigitalSkinData(pData, nSize, read, strError))
        return FALSE;
    CPicture pictures[2];
    if (!DecodeAndClip(read.backgroundPicture, &read.backgroundRegion, pictures[0], kBackgroundPicture, strError)
        || !DecodeAndClip(read.glyphStrip, read.nHasAbcRegion > 0 ? &read.abcRegion : nullptr, pictures[1],
                          kGlyphStrip, strError))
        return FALSE;
    for (int i = 0; i < 2; i++)
        pPictures[i].Transfer(pictures[i]);
    data = std::move(read);
    return TRUE;
}
