// The skin server's protocol: its addresses, the "skins.inf" list and how a
// skin's entry is found in it, and which names may reach the file system.
// No network and no windows: the Skin Browser's workers use these.
#pragma once

#include "afx/afxcoll.h"
#include "afx/afxstr.h"

// The server's root address (scheme and host, no slash after the host): the
// program's own constant, or VELTRAN_SKIN_SERVER when that is set.
CString GetSkinServerRoot();
// Root + "/skins/".
CString GetSkinServerBase();
// Root + "/downloadskin.php?type=".
CString GetSkinDownloadScript();
// "Cannot access " + root: the message of a failed list request.
CString GetSkinListFailureText();

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

// A "skins.inf" line is kept when it holds at least ten characters.
BOOL IsSkinListLine(const CString& strLine);
// Field n (0 group, 1 name, 2 author, 3 date) of a line; "" past the end.
CString GetSkinListField(const CString& strLine, int nField);
// The groups in the order of their first appearance, each once.
void GetSkinGroups(const CStringArray& lines, CStringArray& groups);
// The lines of a group, in file order.
void GetSkinsOfGroup(const CStringArray& lines, const CString& strGroup, CStringArray& groupLines);
// The first line whose name is strName; "" when none is.
CString FindSkinEntry(const CStringArray& lines, const CString& strName);
// A server name that may become a file name: a safe skin name that is no
// device name and holds no control or wildcard character, nor ends in a dot
// or blank (Windows would drop them).
BOOL IsPlainSkinName(const CString& strName);

// "SKIN COMMENT" and the entry's fields, as the details label shows them.
CString FormatSkinDetails(const CString& strName, const CString& strEntry);
// The progress of a transfer: the whole percentage of received / expected,
// 0 while the expected size is unknown (0).
int GetTransferPercent(ULONGLONG nReceived, ULONGLONG nExpected);
