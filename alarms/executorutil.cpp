#include "alarms/executorutil.h"

#include "core/appseams.h"
#include "core/config.h"

#include <cstdlib>
#include <cstring>

// Matching goes on inside a delimiter just found, so "a****b" cut at "***"
// gives "a", "" and "b": a match that starts before the field start ends an
// empty field.
CString CAlarmExecutorUtil::GetToken(const CString& strText, const CString& strDelimiter, int nIndex)
{
    if (nIndex < 0)
        return CString();
    LPCSTR pszText = strText;
    LPCSTR pszDelimiter = strDelimiter;
    const int nLength = strText.GetLength();
    const int nDelimiter = strDelimiter.GetLength();
    int nField = 0;
    int nStart = 0;
    for (int i = 0; nDelimiter > 0 && i + nDelimiter <= nLength; i++)
    {
        if (std::memcmp(pszText + i, pszDelimiter, static_cast<size_t>(nDelimiter)) != 0)
            continue;
        if (nField == nIndex)
            return i > nStart ? strText.Mid(nStart, i - nStart) : CString();
        nField++;
        nStart = i + nDelimiter;
    }
    if (nField == nIndex && nStart < nLength)
        return strText.Mid(nStart);
    return CString();
}

CString CAlarmExecutorUtil::GetAppDir()
{
    return CConfigFile::GetAppDir();
}

void CAlarmExecutorUtil::StripFileName(LPSTR pszPath)
{
    AppStripFileName(pszPath);
}

int CAlarmExecutorUtil::Random(int nMin, int nMax)
{
    if (nMax <= nMin)
        return nMin;
    const long long nRange = static_cast<long long>(nMax) - nMin + 1;
    return static_cast<int>(nMin + std::rand() % nRange);
}
