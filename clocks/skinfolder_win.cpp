#include "clocks/skinarchive.h"

#include <windows.h>

void ListSkinFolder(const CString& strFolder, const CString& strExtension, CStringArray& fileNames)
{
    fileNames.RemoveAll();
    WIN32_FIND_DATAA find;
    HANDLE hFind = ::FindFirstFileA(strFolder + "\\*" + strExtension, &find);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    const int nExt = strExtension.GetLength();
    do {
        const CString strName(find.cFileName);
        if (strName == "." || strName == ".." || (find.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            continue;
        // The pattern also matches short 8.3 names and longer extensions.
        if (strName.GetLength() <= nExt || strName.Right(nExt).CompareNoCase(strExtension) != 0)
            continue;
        fileNames.Add(strName);
    } while (::FindNextFileA(hFind, &find));
    ::FindClose(hFind);
}
