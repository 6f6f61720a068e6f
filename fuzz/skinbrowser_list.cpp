// Reads a hostile "skins.inf" as the Skin Browser does: kept lines, groups,
// each group's skins and every entry. A name passed as plain never holds a
// separator, a drive colon, ".." or a wildcard.
#include "skinbrowser/skinlist.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > 16384)
        return 0;
    const CString text(reinterpret_cast<const char*>(pData), static_cast<int>(nSize));
    CStringArray lines;
    for (int start = 0; start <= text.GetLength();) {
        int end = text.Find('\n', start);
        if (end < 0)
            end = text.GetLength();
        const CString line = text.Mid(start, end - start);
        if (IsSkinListLine(line))
            lines.Add(line);
        start = end + 1;
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
            if (IsPlainSkinName(name) && (name.FindOneOf("\\/:*?\"<>|") >= 0 || name.Find("..") >= 0))
                std::abort();
            GetSkinPreviewUrl(0, groups[g], name);
            FormatSkinDetails(name, skins[s]);
        }
    }
    return 0;
}
