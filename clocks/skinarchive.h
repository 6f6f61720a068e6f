// Where skin archives live, the list of installed skins, and the steps that
// turn the current skin's archive into its data file. No windows: the caller
// shows the messages collected here.
#pragma once

#include "afx/afxstr.h"
#include "afx/wintypes.h"
#include "controls/sortstringarray.h"

#include <vector>

enum SkinKind { SKIN_ANALOG = 0, SKIN_DIGITAL = 1 };

#ifdef _WIN32
const char SKIN_PATH_SEPARATOR = '\\';
#else
const char SKIN_PATH_SEPARATOR = '/';
#endif

// ".acs" or ".dcs".
const char* GetSkinExtension(SkinKind kind);
// The Skin Browser's type of the kind: 0 analog, 1 digital.
int GetSkinBrowserType(SkinKind kind);

// A name fit to become part of a path: not empty, not "." or "..", no
// separator, no drive colon, no device name (CON, NUL, COM1 ..., with any
// extension). Other dots are the name's own: "Retro..Gold" is a name.
BOOL IsSafeSkinName(const CString& strName);

// Empties names, lists the kind's archives in strFolder (extension matched
// without regard to case), keeps the names fit for paths and sorts them. An
// empty strFolder is no folder: it lists nothing.
void FindSkins(const CString& strFolder, SkinKind kind, CSortStringArray& names);
// Index of strName in names: its exact entry, else the one entry equal to it
// ignoring case (Windows opens such a file by either spelling); -1 when
// there is none, or several that differ only in case and none exactly.
INT_PTR FindSkinName(const CSortStringArray& names, const CString& strName);

CString GetSkinArchivePath(const CString& strFolder, const CString& strName, SkinKind kind);
// strTempFolder ends with a separator, as GetTempPathA gives it.
CString GetSkinDataPath(const CString& strTempFolder, const CString& strName);

enum SkinOpenResult {
    SKIN_OPEN_OK,
    SKIN_OPEN_NO_SKINS,     // strError: show it, then open the Skin Browser
    SKIN_OPEN_UNREADABLE,   // messages tell which archives could not be read
    SKIN_OPEN_UNPACK_FAILED // strError: "Cannot unpack skin: ..."
};

// The steps of opening the current skin, up to its unpacked data file.
class CSkinOpen {
public:
    CSkinOpen(SkinKind kind, const CString& strFolder, const CString& strTempFolder)
        : m_kind(kind), m_strFolder(strFolder), m_strTempFolder(strTempFolder)
    {
    }

    // strSkin is the current skin setting; it becomes the listed spelling of
    // the skin it names, or the first listed skin when it names none.
    SkinOpenResult Open(CString& strSkin);

    SkinKind m_kind;
    CString m_strFolder;
    CString m_strTempFolder;

    // Filled by Open.
    CSortStringArray m_names;
    CString m_strArchivePath;
    CString m_strDataPath;
    CStringArray m_glimmarkMessages; // shown first, in order, captioned "Glimmark"
    CString m_strError;
};

// Reads the unpacked data file whole, at most nMaxBytes. FALSE leaves data empty.
BOOL ReadSkinDataFile(const CString& strPath, DWORD nMaxBytes, std::vector<BYTE>& data);

// The folder's file names that end in strExtension (any case); "." and ".."
// are never among them. Per platform.
void ListSkinFolder(const CString& strFolder, const CString& strExtension, CStringArray& fileNames);
