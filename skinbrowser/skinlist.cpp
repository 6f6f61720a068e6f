#include "skinbrowser/skinlist.h"

#include "alarms/executorutil.h"
#include "clocks/skinarchive.h"

#include <cstdlib>
#include <cstring>

namespace {

// The vendor's host, as in the shell's addresses; VELTRAN_SKIN_SERVER points the
// browser elsewhere (tests, make run).
const char kSkinServerRoot[] = "http://www.veltranclock.example";

} // namespace

CString GetSkinServerRoot()
{
    const char* psz = std::getenv("VELTRAN_SKIN_SERVER");
    CString root = psz != nullptr && *psz != '\0' ? CString(psz) : CString(kSkinServerRoot);
    root.TrimRight('/');
    return root;
}

CString GetSkinServerBase() { return GetSkinServerRoot() + "/skins/"; }

CString GetSkinDownloadScript() { return GetSkinServerRoot() + "/downloadskin.php?type="; }

CString GetSkinListFailureText() { return "Cannot access " + GetSkinServerRoot(); }

LPCSTR GetSkinKindWord(int nKind) { return nKind == 1 ? "dcs" : "acs"; }

LPCSTR GetSkinKindLetter(int nKind) { return nKind == 1 ? "d" : "a"; }

CString EscapeUrlText(const CString& strText)
{
    static const char kHex[] = "0123456789ABCDEF";
    CString out;
    for (int i = 0; i < strText.GetLength(); i++) {
        const unsigned char c = static_cast<unsigned char>(strText[i]);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || std::strchr("-_.~", c) != nullptr) {
            out += char(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

CString GetSkinListUrl(int nKind) { return GetSkinServerBase() + GetSkinKindWord(nKind) + "/skins.inf"; }

CString GetSkinPreviewUrl(int nKind, const CString& strGroup, const CString& strName)
{
    return GetSkinServerBase() + GetSkinKindWord(nKind) + "//" + EscapeUrlText(strGroup) + "//" + EscapeUrlText(strName)
           + ".jpg";
}

CString GetSkinArchiveProbeUrl(int nKind, const CString& strGroup, const CString& strName)
{
    const CString word = GetSkinKindWord(nKind);
    return GetSkinServerBase() + word + "/" + EscapeUrlText(strGroup) + "/" + EscapeUrlText(strName) + "." + word;
}

CString GetSkinDownloadUrl(int nKind, const CString& strGroup, const CString& strName)
{
    return GetSkinDownloadScript() + GetSkinKindLetter(nKind) + "&categoryname=" + EscapeUrlText(strGroup)
           + "&skinname=" + EscapeUrlText(strName);
}

BOOL IsSkinListLine(const CString& strLine) { return strLine.GetLength() >= 10; }

CString GetSkinListField(const CString& strLine, int nField)
{
    return CAlarmExecutorUtil::GetToken(strLine, ";", nField);
}

void GetSkinGroups(const CStringArray& lines, CStringArray& groups)
{
    groups.RemoveAll();
    for (INT_PTR i = 0; i < lines.GetSize(); i++) {
        const int semi = lines[i].Find(';');
        const CString group = semi >= 0 ? lines[i].Left(semi) : CString();
        bool bSeen = false;
        for (INT_PTR j = 0; j < groups.GetSize() && !bSeen; j++)
            bSeen = groups[j] == group;
        if (!bSeen)
            groups.Add(group);
    }
}

void GetSkinsOfGroup(const CStringArray& lines, const CString& strGroup, CStringArray& groupLines)
{
    groupLines.RemoveAll();
    for (INT_PTR i = 0; i < lines.GetSize(); i++) {
        if (GetSkinListField(lines[i], 0) == strGroup)
            groupLines.Add(lines[i]);
    }
}

CString FindSkinEntry(const CStringArray& lines, const CString& strName)
{
    for (INT_PTR i = 0; i < lines.GetSize(); i++) {
        if (GetSkinListField(lines[i], 1) == strName)
            return lines[i];
    }
    return CString();
}

BOOL IsPlainSkinName(const CString& strName)
{
    if (!IsSafeSkinName(strName))
        return FALSE;
    for (int i = 0; i < strName.GetLength(); i++) {
        const unsigned char c = static_cast<unsigned char>(strName[i]);
        if (c < 32 || std::strchr("*?\"<>|", c) != nullptr)
            return FALSE;
    }
    const char last = strName[strName.GetLength() - 1];
    if (last == '.' || last == ' ')
        return FALSE;
    // A device name stays a device with any extension: "CON.acs" is CON.
    CString stem = strName;
    const int dot = stem.Find('.');
    if (dot >= 0)
        stem = stem.Left(dot);
    stem.TrimRight(' ');
    stem.MakeUpper();
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices) {
        if (stem == device)
            return FALSE;
    }
    if (stem.GetLength() == 4 && (stem.Left(3) == "COM" || stem.Left(3) == "LPT") && stem[3] >= '0' && stem[3] <= '9')
        return FALSE;
    return TRUE;
}

CString FormatSkinDetails(const CString& strName, const CString& strEntry)
{
    return "SKIN COMMENT\n\nSkin name: " + strName + "\n\nSkin group: " + GetSkinListField(strEntry, 0) + "\n\nMade "
           + GetSkinListField(strEntry, 2) + "\n\nMade on " + GetSkinListField(strEntry, 3);
}

int GetTransferPercent(ULONGLONG nReceived, ULONGLONG nExpected)
{
    if (nExpected == 0)
        return 0;
    const double percent = double(nReceived) / double(nExpected) * 100.0;
    return percent >= 100.0 ? 100 : int(percent);
}
