#include "core/alarmicon.h"

#include <shellapi.h>

// Asked with index -1, ExtractIconEx counts the file's icons everywhere; some
// systems answer 0 to any other index without output buffers.
HICON AlarmExtractIcon(const CAlarmGeneral& general, const CString& strIconLibrary)
{
    const CString& strFile = general.m_bCustomIcon == 0 ? strIconLibrary : general.m_strIconFile;
    if (strFile.IsEmpty())
        return nullptr;
    HICON hIcon = nullptr;
    switch (general.m_bCustomIcon)
    {
    case 0:
    case 1:
        if (::ExtractIconExA(strFile, -1, nullptr, nullptr, 0) != 0)
            ::ExtractIconExA(strFile, general.m_nIconIndex, &hIcon, nullptr, 1);
        break;
    case 2:
    {
        // The index goes as the file-attributes word.
        SHFILEINFOA info = {};
        if (::SHGetFileInfoA(strFile, static_cast<DWORD>(general.m_nIconIndex), &info, sizeof(info), SHGFI_ICON))
            hIcon = info.hIcon;
        break;
    }
    default:
        break;
    }
    return hIcon;
}
