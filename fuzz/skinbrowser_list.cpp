// Reads a hostile "skins.inf" as the Skin Browser does: kept lines (whole
// and in blocks as they may arrive), groups, each group's skins and every
// entry. A name passed as plain never holds a separator, a drive colon or a
// wildcard, nor is it "." or "..".
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > 16384)
        return 0;
    // However the answer arrives, the same lines are kept, each a plain,
    // bounded line.
    CStringArray lines, blocks;
    SKINBOUND nBound = SKB_NONE, nBlockBound = SKB_NONE;
    ReadInBlocks(pData, nSize, nSize > 0 ? nSize : 1, lines, nBound);
    ReadInBlocks(pData, nSize, nSize > 0 ? 1 + pData[0] % 7 : 1, blocks, nBlockBound);
    if (nBound != nBlockBound || lines.GetSize() != blocks.GetSize())
        std::abort();
    for (INT_PTR i = 0; i < lines.GetSize(); i++) {
        if (lines[i] != blocks[i] || lines[i].GetLength() > SKIN_LIST_MAX_LINE || !IsSkinListLine(lines[i])
            || !IsPlainSkinName(GetSkinListField(lines[i], 1)))
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
