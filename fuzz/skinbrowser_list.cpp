// Reads a hostile "skins.inf" as the Skin Browser does: kept lines (whole
// and in blocks as they may arrive), groups, each group's skins and every
// entry. Every line of ten characters or more before a bound is kept, as a
// plain splitter finds them; a name passed as plain never holds a
// separator, a drive colon or a wildcard, nor is it "." or "..".
#include "skinbrowser/skinlist.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The lines a reader keeps of the bytes, fed in blocks of nStep bytes.
void ReadInBlocks(const uint8_t* pData, size_t nSize, size_t nStep, CStringArray& lines, SKINBOUND& nBound)
{
    CSkinListReader reader;
    for (size_t n = 0; n < nSize; n += nStep) {
        const size_t nBlock = nSize - n < nStep ? nSize - n : nStep;
        if (!reader.Feed(reinterpret_cast<const char*>(pData + n), nBlock))
            break;
    }
    reader.End();
    reader.TakeLines(lines);
    nBound = reader.GetBound();
}

// The lines of ten characters or more, split the plain way, up to the first
// that is longer than a list line may be.
void SplitPlainly(const uint8_t* pData, size_t nSize, CStringArray& lines)
{
    size_t nStart = 0;
    while (nStart < nSize) {
        const void* pEnd = std::memchr(pData + nStart, '\n', nSize - nStart);
        const size_t nEnd = pEnd != nullptr ? size_t(static_cast<const uint8_t*>(pEnd) - pData) : nSize;
        size_t nLength = nEnd - nStart;
        if (nLength > 0 && pData[nStart + nLength - 1] == '\r')
            nLength--;
        if (nLength > size_t(SKIN_LIST_MAX_LINE))
            return;
        if (nLength >= 10)
            lines.Add(CString(reinterpret_cast<const char*>(pData + nStart), int(nLength)));
        nStart = nEnd + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > 16384)
        return 0;
    // However the answer arrives, the same lines are kept: those of ten
    // characters or more before the first line too long.
    CStringArray lines, blocks;
    SKINBOUND nBound = SKB_NONE, nBlockBound = SKB_NONE;
    ReadInBlocks(pData, nSize, nSize > 0 ? nSize : 1, lines, nBound);
    ReadInBlocks(pData, nSize, nSize > 0 ? 1 + pData[0] % 7 : 1, blocks, nBlockBound);
    CStringArray plain;
    SplitPlainly(pData, nSize, plain);
    if (nBound != nBlockBound || lines.GetSize() != blocks.GetSize() || lines.GetSize() != plain.GetSize())
        std::abort();
    for (INT_PTR i = 0; i < lines.GetSize(); i++) {
        if (lines[i] != blocks[i] || lines[i] != plain[i] || lines[i].GetLength() > SKIN_LIST_MAX_LINE
            || !IsSkinListLine(lines[i]))
            std::abort();
    }
    CStringArray groups;
    GetSkinGroups(lines, groups);
    for (INT_PTR g = 0; g < groups.GetSize(); g++) {
        CStringArray skins;
        GetSkinsOfGroup(lines, groups[g], skins);
        if (skins.GetSize() == 0 && !groups[g].IsEmpty())
            std::abort();
        for (INT_PTR s = 0; s < skins.GetSize(); s++) {
            const CString name = GetSkinListField(skins[s], 1);
            if (GetSkinListField(FindSkinEntry(lines, name), 1) != name)
                std::abort();
            if (IsPlainSkinName(name) && (name.FindOneOf("\\/:*?\"<>|") >= 0 || name == ".." || name == "."))
                std::abort();
            GetSkinPreviewUrl(0, groups[g], name);
            FormatSkinDetails(name, skins[s]);
        }
    }
    return 0;
}
