// The skin server's protocol: its addresses, the "skins.inf" list and how a
// skin's entry is found in it, and which names may reach the file system.
// No network and no windows: the Skin Browser's workers use these.
#pragma once

#include "afx/afxcoll.h"
#include "afx/afxstr.h"
#include "skinbrowser/skinlimits.h"

#include <memory_resource>
#include <string>
#include <string_view>
#include <unordered_set>

// The server's root address (scheme and host, no slash after the host): the
// program's own constant, or VELTRAN_SKIN_SERVER when that is set.
CString GetSkinServerRoot();
// Root + "/skins/".
CString GetSkinServerBase();
// Root + "/downloadskin.php?type=".
CString GetSkinDownloadScript();
// "Cannot access " + root: the message of a failed list request.
CString GetSkinListFailureText();
// "Skin list stopped: " + what the bound is: the status after a list a bound
// ended, and the second paragraph of its message.
CString FormatSkinListStop(SKINBOUND nBound);
// The same for a list whose answer ended before its Content-Length.
CString FormatSkinListIncomplete(ULONGLONG nRead, ULONGLONG nLength);

// The kind's word in paths and extensions ("acs", "dcs") and the download
// query's type letter ("a", "d"); nKind is the Skin Browser's type, 0 or 1.
LPCSTR GetSkinKindWord(int nKind);
LPCSTR GetSkinKindLetter(int nKind);

// Group and skin names are escaped for a URL; the server's layout of paths
// and queries is kept: base + "acs/skins.inf", base + "acs//G//S.jpg",
// base + "acs/G/S.acs", script + "a&categoryname=G&skinname=S".
CString GetSkinListUrl(int nKind);
CString GetSkinPreviewUrl(int nKind, const CString& strGroup, const CString& strName);
CString GetSkinArchiveProbeUrl(int nKind, const CString& strGroup, const CString& strName);
CString GetSkinDownloadUrl(int nKind, const CString& strGroup, const CString& strName);
// Bytes outside the unreserved set as %XX.
CString EscapeUrlText(const CString& strText);
// The address a redirection's Location names, taken against the address
// that answered with it; "" when it is not an http or https address.
CString ResolveSkinRedirect(const CString& strBase, const CString& strLocation);

// A "skins.inf" line is kept when it holds at least ten characters.
BOOL IsSkinListLine(const CString& strLine);
// Field n (0 group, 1 name, 2 author, 3 date) of a line; "" past the end.
CString GetSkinListField(const CString& strLine, int nField);
// The group a line gives the group list: the text before its first ";",
// "" when it has none.
CString GetSkinListGroup(const CString& strLine);
// A line of strGroup's skins: its field 0 is strGroup.
BOOL IsSkinOfGroup(const CString& strLine, const CString& strGroup);
// The groups seen so far, each once (exact, case-sensitive comparison). Their
// texts and the set's nodes live in one arena, so that 200,000 of them are
// let go at once, not one by one.
class CSkinGroupSet {
public:
    // False when the group is in already.
    bool Add(const CString& strGroup);

private:
    std::pmr::monotonic_buffer_resource m_arena;
    std::pmr::unordered_set<std::string_view> m_names{&m_arena};
};
// The groups in the order of their first appearance, each once; in time
// linear in the lines.
void GetSkinGroups(const CStringArray& lines, CStringArray& groups);
// The lines of a group, in file order.
void GetSkinsOfGroup(const CStringArray& lines, const CString& strGroup, CStringArray& groupLines);
// The first line whose name is strName; "" when none is.
CString FindSkinEntry(const CStringArray& lines, const CString& strName);
// A server name that may become a file name: a safe skin name (so no device
// name) that holds no control or wildcard character, nor ends in a dot or
// blank (Windows would drop them).
BOOL IsPlainSkinName(const CString& strName);

// "" when every path the program makes of a skin's name stays within
// MAX_PATH - 1 characters: its archive in strFolder, and the data file the
// clocks unpack into strTempFolder (with ".part" after it while it is
// written); otherwise why not, for a status line.
CString GetSkinPathFault(const CString& strFolder, const CString& strTempFolder, const CString& strName, int nKind);

// Reads "skins.inf" as its bytes arrive, each byte looked at once: splits
// the lines (a "\r" before a line end is dropped) and keeps every line
// IsSkinListLine accepts, whatever its fields hold: a name that is no plain
// file name is shown as text, and Install refuses it. The first bound the
// list passes (line length, lines kept, bytes) stops it; what was kept
// before stays.
class CSkinListReader {
public:
    // False once a bound stopped the list.
    bool Feed(const char* pData, size_t nSize);
    // The answer ended: its last line counts without a line end.
    bool End();
    SKINBOUND GetBound() const { return m_nBound; }
    int GetKeptCount() const { return m_nKept; }
    // Moves the lines kept since the last call into lines.
    void TakeLines(CStringArray& lines);

private:
    void LineEnded();

    std::string m_line;
    CStringArray m_lines;
    int m_nKept = 0;
    DWORD m_nBytes = 0;
    SKINBOUND m_nBound = SKB_NONE;
};

// "SKIN COMMENT" and the entry's fields, as the details label shows them.
CString FormatSkinDetails(const CString& strName, const CString& strEntry);
// The progress of a transfer: the whole percentage of received / expected,
// 0 while the expected size is unknown (0).
int GetTransferPercent(ULONGLONG nReceived, ULONGLONG nExpected);
