#include "clocks/skinarchive.h"

#include "afx/afxfile.h"
#include "clocks/skinzip.h"

#include <cstdio>
#include <cstring>

const char* GetSkinExtension(SkinKind kind)
{
    return kind == SKIN_DIGITAL ? ".dcs" : ".acs";
}

int GetSkinBrowserType(SkinKind kind)
{
    return kind == SKIN_DIGITAL ? 1 : 0;
}

namespace {

// Windows opens a device for these stems whatever follows the first dot:
// "CON.acs" and "con.x.acs" are the console.
BOOL IsDeviceName(const CString& strName)
{
    CString strStem = strName;
    const int nDot = strStem.Find('.');
    if (nDot >= 0)
        strStem = strStem.Left(nDot);
    strStem.TrimRight(' ');
    strStem.MakeUpper();
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* pszDevice : kDevices) {
        if (strStem == pszDevice)
            return TRUE;
    }
    return strStem.GetLength() == 4 && (strStem.Left(3) == "COM" || strStem.Left(3) == "LPT") && strStem[3] >= '0'
           && strStem[3] <= '9';
}

} // namespace

BOOL IsSafeSkinName(const CString& strName)
{
    return !strName.IsEmpty() && strName != "." && strName != ".." && strName.FindOneOf("\\/:") < 0
           && static_cast<int>(std::strlen(strName)) == strName.GetLength() && !IsDeviceName(strName);
}

void FindSkins(const CString& strFolder, SkinKind kind, CSortStringArray& names)
{
    names.RemoveAll();
    // No skins folder (the program's folder is unknown) is none: "\*.acs"
    // would list the root of the drive, "" the current folder.
    if (strFolder.IsEmpty())
        return;
    CStringArray fileNames;
    ListSkinFolder(strFolder, GetSkinExtension(kind), fileNames);
    for (INT_PTR i = 0; i < fileNames.GetSize(); i++) {
        const CString strName = fileNames[i].Left(fileNames[i].GetLength() - 4);
        if (IsSafeSkinName(strName))
            names.Add(strName);
    }
    names.Sort();
}

INT_PTR FindSkinName(const CSortStringArray& names, const CString& strName)
{
    INT_PTR nFolded = -1;
    int nFoldedCount = 0;
    for (INT_PTR i = 0; i < names.GetSize(); i++) {
        if (names[i] == strName)
            return i;
        if (names[i].CompareNoCase(strName) == 0) {
            nFolded = i;
            nFoldedCount++;
        }
    }
    // Two spellings of one name (a case-sensitive file system): neither is
    // "the" skin, and the listing's order must not choose.
    return nFoldedCount == 1 ? nFolded : -1;
}

CString GetSkinArchivePath(const CString& strFolder, const CString& strName, SkinKind kind)
{
    return strFolder + SKIN_PATH_SEPARATOR + strName + GetSkinExtension(kind);
}

CString GetSkinDataPath(const CString& strTempFolder, const CString& strName)
{
    return strTempFolder + strName + ".dat";
}

namespace {

BOOL CanRead(const CString& strPath)
{
    FILE* pFile = std::fopen(strPath, "rb");
    if (pFile == nullptr)
        return FALSE;
    std::fclose(pFile);
    return TRUE;
}

} // namespace

// Only names from the listing reach a path, so a setting such as "..\x"
// can never name a file outside the skins folder.
SkinOpenResult CSkinOpen::Open(CString& strSkin)
{
    m_glimmarkMessages.RemoveAll();
    m_strError.Empty();
    m_strArchivePath.Empty();
    m_strDataPath.Empty();

    FindSkins(m_strFolder, m_kind, m_names);
    if (m_names.GetSize() == 0) {
        m_strError = "No skins were found! Use Skin Browser to download skins or download them manually!";
        return SKIN_OPEN_NO_SKINS;
    }

    const INT_PTR nListed = FindSkinName(m_names, strSkin);
    if (nListed >= 0)
        strSkin = m_names[nListed];
    if (nListed < 0 || !CanRead(GetSkinArchivePath(m_strFolder, strSkin, m_kind))) {
        m_glimmarkMessages.Add("Cannot read " + strSkin + " skin file!");
        strSkin = m_names[0];
        if (!CanRead(GetSkinArchivePath(m_strFolder, strSkin, m_kind))) {
            m_glimmarkMessages.Add("Cannot read " + strSkin + " skin file!\n\nOpen "
                                   + (m_kind == SKIN_DIGITAL ? "digital" : "Analog")
                                   + " clock options and choose any available skin");
            return SKIN_OPEN_UNREADABLE;
        }
    }
    m_strArchivePath = GetSkinArchivePath(m_strFolder, strSkin, m_kind);

    // A stale data file must never be read as this skin.
    m_strDataPath = GetSkinDataPath(m_strTempFolder, strSkin);
    std::remove(m_strDataPath);

    try {
        CUnzip unzip(m_strArchivePath);
        unzip.SwapSize(m_strDataPath);
    } catch (CZipException* e) {
        m_strError = "Cannot unpack skin: " + m_strDataPath + "\n\nError: " + e->GetString();
        e->Delete();
        return SKIN_OPEN_UNPACK_FAILED;
    }
    return SKIN_OPEN_OK;
}

BOOL ReadSkinDataFile(const CString& strPath, DWORD nMaxBytes, std::vector<BYTE>& data)
{
    data.clear();
    return AfxReadWholeFile(strPath, nMaxBytes, data) == AFX_FILE_READ_OK;
}
