#include "clocks/skinarchive.h"

#include <dirent.h>
#include <sys/stat.h>

void ListSkinFolder(const CString& strFolder, const CString& strExtension, CStringArray& fileNames)
{
    fileNames.RemoveAll();
    DIR* pDir = opendir(strFolder);
    if (pDir == nullptr)
        return;
    const int nExt = strExtension.GetLength();
    while (const dirent* pEntry = readdir(pDir)) {
        const CString strName(pEntry->d_name);
        if (strName == "." || strName == ".." || strName.GetLength() <= nExt)
            continue;
        if (strName.Right(nExt).CompareNoCase(strExtension) != 0)
            continue;
        // Only files, as FindFirstFile's pattern would mostly give.
        struct stat st;
        const CString strPath = strFolder + '/' + strName;
        if (stat(strPath, &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        fileNames.Add(strName);
    }
    closedir(pDir);
}
