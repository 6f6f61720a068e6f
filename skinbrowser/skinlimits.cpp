#include "skinbrowser/skinlimits.h"

CString DescribeSkinBound(SKINBOUND nBound)
{
    CString str;
    switch (nBound) {
    case SKB_NONE:
        break;
    case SKB_TIMEOUT:
        str.Format("no answer within %lu s", static_cast<unsigned long>(SKIN_NET_TIMEOUT_MS / 1000));
        break;
    case SKB_HEADERS:
        str.Format("no answer headers within %lu s", static_cast<unsigned long>(SKIN_HEADERS_TIMEOUT_MS / 1000));
        break;
    case SKB_SLOW:
        str.Format("less than %lu bytes in %lu s", static_cast<unsigned long>(SKIN_PACE_MIN_BYTES),
                   static_cast<unsigned long>(SKIN_PACE_WINDOW_MS / 1000));
        break;
    case SKB_REDIRECTS:
        str.Format("more than %d redirections", SKIN_MAX_REDIRECTS);
        break;
    case SKB_LINE:
        str.Format("a line longer than %d characters", SKIN_LIST_MAX_LINE);
        break;
    case SKB_LINES:
        str.Format("more than %d skins", SKIN_LIST_MAX_LINES);
        break;
    case SKB_BYTES:
        str.Format("more than %lu MB", static_cast<unsigned long>(SKIN_LIST_MAX_BYTES / (1024 * 1024)));
        break;
    case SKB_PIXELS:
        str.Format("the picture has more than %lu pixels", static_cast<unsigned long>(SKIN_PREVIEW_MAX_PIXELS));
        break;
    }
    return str;
}

CString DescribeIncomplete(ULONGLONG nRead, ULONGLONG nLength)
{
    CString str;
    str.Format("incomplete, %llu of %llu bytes", static_cast<unsigned long long>(nRead),
               static_cast<unsigned long long>(nLength));
    return str;
}

bool CTransferPace::Arrived(DWORD nBytes, DWORD dwNowMs)
{
    m_nInWindow += nBytes;
    if (dwNowMs - m_dwWindowStart < SKIN_PACE_WINDOW_MS)
        return true;
    if (m_nInWindow < SKIN_PACE_MIN_BYTES)
        return false;
    m_dwWindowStart = dwNowMs;
    m_nInWindow = 0;
    return true;
}
