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

CString FormatSkinListStop(SKINBOUND nBound) { return "Skin list stopped: " + DescribeSkinBound(nBound); }

CString FormatSkinListIncomplete(ULONGLONG nRead, ULONGLONG nLength)
{
    return "Skin list stopped: " + DescribeIncomplete(nRead, nLength);
}

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

CString ResolveSkinRedirect(const CString& strBase, const CString& strLocation)
{
    const int nSchemeEnd = strBase.Find("://");
    if (nSchemeEnd < 0 || strLocation.IsEmpty())
        return CString();
    if (strLocation.Find("://") >= 0) {
        const CString strScheme = strLocation.Left(strLocation.Find("://"));
        return strScheme.CompareNoCase("http") == 0 || strScheme.CompareNoCase("https") == 0 ? strLocation
                                                                                             : CString();
    }
    const CString strScheme = strBase.Left(nSchemeEnd);
    if (strLocation.Left(2) == "//")
        return strScheme + ":" + strLocation;
    int nPathStart = strBase.Find('/', nSchemeEnd + 3);
    if (nPathStart < 0)
        nPathStart = strBase.GetLength();
    if (strLocation[0] == '/')
        return strBase.Left(nPathStart) + strLocation;
    // Relative to the folder of the base's path, its query left out.
    CString strPath = strBase.Mid(nPathStart);
    const int nQuery = strPath.FindOneOf("?#");
    if (nQuery >= 0)
        strPath = strPath.Left(nQuery);
    const int nSlash = strPath.ReverseFind('/');
    return strBase.Left(nPathStart) + (nSlash >= 0 ? strPath.Left(nSlash + 1) : CString("/")) + strLocation;
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

CString GetSkinListGroup(const CString& strLine)
{
    const int semi = strLine.Find(';');
    return semi >= 0 ? strLine.Left(semi) : CString();
}

BOOL IsSkinOfGroup(const CString& strLine, const CString& strGroup)
{
    return GetSkinListField(strLine, 0) == strGroup;
}

void GetSkinGroups(const CStringArray& lines, CStringArray& groups)
{
    // Room for every line at once: grown a step at a time, the array would
    // copy itself again and again for a large list.
    groups.SetSize(0, lines.GetSize());
    CSkinGroupSet seen;
    for (INT_PTR i = 0; i < lines.GetSize(); i++) {
        const CString group = GetSkinListGroup(lines[i]);
        if (seen.Add(group))
            groups.Add(group);
    }
}

void GetSkinsOfGroup(const CStringArray& lines, const CString& strGroup, CStringArray& groupLines)
{
    groupLines.SetSize(0, lines.GetSize());
    for (INT_PTR i = 0; i < lines.GetSize(); i++) {
        if (IsSkinOfGroup(lines[i], strGroup))
            groupLines.Add(lines[i]);
    }
}

bool CSkinGroupSet::Add(const CString& strGroup)
{
    const std::string_view group(strGroup.GetString(), static_cast<size_t>(strGroup.GetLength()));
    if (m_names.count(group) != 0)
        return false;
    char* pszKept = static_cast<char*>(m_arena.allocate(group.size() + 1, 1));
    std::memcpy(pszKept, group.data(), group.size());
    m_names.insert(std::string_view(pszKept, group.size()));
    return true;
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
    return TRUE;
}

CString GetSkinPathFault(const CString& strFolder, const CString& strTempFolder, const CString& strName, int nKind)
{
    const SkinKind kind = nKind == 1 ? SKIN_DIGITAL : SKIN_ANALOG;
    const int nLongest = MAX_PATH - 1;
    if (GetSkinArchivePath(strFolder, strName, kind).GetLength() > nLongest)
        return "the name is too long for the skins folder";
    if ((GetSkinDataPath(strTempFolder, strName) + ".part").GetLength() > nLongest)
        return "the name is too long for the temporary folder";
    return CString();
}

bool CSkinListReader::Feed(const char* pData, size_t nSize)
{
    while (m_nBound == SKB_NONE && nSize > 0) {
        const size_t nRoom = SKIN_LIST_MAX_BYTES - m_nBytes;
        if (nRoom == 0) {
            m_nBound = SKB_BYTES;
            break;
        }
        const size_t nTake = nSize < nRoom ? nSize : nRoom;
        const char* pEnd = static_cast<const char*>(std::memchr(pData, '\n', nTake));
        const size_t nPart = pEnd != nullptr ? size_t(pEnd - pData) : nTake;
        // A "\r" may still come before the line end.
        if (m_line.size() + nPart > size_t(SKIN_LIST_MAX_LINE) + 1) {
            m_nBound = SKB_LINE;
            break;
        }
        m_line.append(pData, nPart);
        const size_t nUsed = pEnd != nullptr ? nPart + 1 : nPart;
        m_nBytes += DWORD(nUsed);
        pData += nUsed;
        nSize -= nUsed;
        if (pEnd != nullptr)
            LineEnded();
    }
    return m_nBound == SKB_NONE;
}

bool CSkinListReader::End()
{
    if (m_nBound == SKB_NONE && !m_line.empty())
        LineEnded();
    return m_nBound == SKB_NONE;
}

void CSkinListReader::LineEnded()
{
    if (!m_line.empty() && m_line.back() == '\r')
        m_line.pop_back();
    if (m_line.size() > size_t(SKIN_LIST_MAX_LINE)) {
        m_nBound = SKB_LINE;
        return;
    }
    const CString strLine(m_line.data(), int(m_line.size()));
    m_line.clear();
    if (!IsSkinListLine(strLine))
        return;
    if (m_nKept == SKIN_LIST_MAX_LINES) {
        m_nBound = SKB_LINES;
        return;
    }
    m_lines.Add(strLine);
    m_nKept++;
}

void CSkinListReader::TakeLines(CStringArray& lines)
{
    lines.Append(m_lines);
    m_lines.RemoveAll();
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
