// Cuts hostile descriptions into fields. Joined again with ";" the fields
// must give back the description, and no field may hold a ";".
#include "clocks/skindata.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > 4096)
        return 0;
    const CString strText(reinterpret_cast<const char*>(pData), static_cast<int>(nSize));
    const SkinDescription description(strText);
    int nSeparators = 0;
    for (int i = 0; i < strText.GetLength(); i++)
        nSeparators += strText[i] == ';';
    CString strJoined;
    for (int i = 0; i <= nSeparators; i++) {
        const CString strField = description.GetField(i);
        if (strField.Find(';') >= 0)
            std::abort();
        strJoined += (i == 0 ? "" : ";") + strField;
        SkinDescription::ReadPivot(strField);
    }
    if (strJoined != strText || !description.GetField(nSeparators + 1).IsEmpty())
        std::abort();
    return 0;
}
