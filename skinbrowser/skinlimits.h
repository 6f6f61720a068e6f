// The bounds the Skin Browser puts on a skin server: how long a request may
// wait, how slowly and how much it may send, how often it may send the
// browser elsewhere, and how large a preview may be. A transfer that passes
// one ends with a text that names it; closing the browser waits no longer
// for its workers than SKIN_WORKER_WAIT_MS.
#pragma once

#include "afx/afxstr.h"
#include "afx/wintypes.h"

// Connecting, sending a request and each wait for answer bytes.
const DWORD SKIN_NET_TIMEOUT_MS = 5000;
// All of a request's answer headers, from its sending: WinINet's own wait
// for them restarts with every byte.
const DWORD SKIN_HEADERS_TIMEOUT_MS = 10000;
// A transfer that brings fewer bytes than this in a window of that length ends.
const DWORD SKIN_PACE_MIN_BYTES = 512;
const DWORD SKIN_PACE_WINDOW_MS = 5000;
const int SKIN_MAX_REDIRECTS = 5;
// "skins.inf": characters in one line, lines kept, bytes read.
const int SKIN_LIST_MAX_LINE = 1024;
const int SKIN_LIST_MAX_LINES = 250000;
const DWORD SKIN_LIST_MAX_BYTES = 16UL * 1024 * 1024;
// A preview of more pixels (2048 x 2048) is not decoded.
const DWORD SKIN_PREVIEW_MAX_PIXELS = 2048UL * 2048;
// Closing the browser (and so the program's exit) waits this long for its
// workers, then leaves them what they use and goes.
const DWORD SKIN_WORKER_WAIT_MS = 1000;

enum SKINBOUND {
    SKB_NONE,
    SKB_TIMEOUT,   // no answer within SKIN_NET_TIMEOUT_MS
    SKB_HEADERS,   // the answer headers not all in within SKIN_HEADERS_TIMEOUT_MS
    SKB_SLOW,      // fewer than SKIN_PACE_MIN_BYTES in SKIN_PACE_WINDOW_MS
    SKB_REDIRECTS, // more than SKIN_MAX_REDIRECTS
    SKB_LINE,      // a list line longer than SKIN_LIST_MAX_LINE
    SKB_LINES,     // more than SKIN_LIST_MAX_LINES lines
    SKB_BYTES,     // a list of more than SKIN_LIST_MAX_BYTES
    SKB_PIXELS,    // a preview of more than SKIN_PREVIEW_MAX_PIXELS
};

// What the bound is, for a status line: "no answer within 5 s".
CString DescribeSkinBound(SKINBOUND nBound);
// An answer that ended before its Content-Length: "incomplete, 5 of 9 bytes".
CString DescribeIncomplete(ULONGLONG nRead, ULONGLONG nLength);

// The slow-data bound: told of each arrival, it says when a whole window
// went by with fewer than the minimum bytes. Times in milliseconds of a
// wrapping tick count.
class CTransferPace {
public:
    explicit CTransferPace(DWORD dwNowMs) : m_dwWindowStart(dwNowMs) {}
    // False once the window that dwNowMs closes brought too little.
    bool Arrived(DWORD nBytes, DWORD dwNowMs);

private:
    DWORD m_dwWindowStart;
    DWORD m_nInWindow = 0;
};
