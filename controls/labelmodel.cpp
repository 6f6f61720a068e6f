#include "controls/labelmodel.h"

#include <algorithm>


std::vector<LABELBAND> LabelGradientBands(int nLeft, int nRight, COLORREF crFrom, COLORREF crTo, int nBands) {
    std::vector<LABELBAND> bands;
    const int nWidth = nRight - nLeft;
    if (nWidth <= 0)
        return bands;
    if (nBands > nWidth)
        nBands = nWidth;
    const int nDivisor = std::max(nBands, 1);
    if (nBands < 1)
        nBands = 1;
    int r = GetRValue(crFrom) * 256, g = GetGValue(crFrom) * 256, b = GetBValue(crFrom) * 256;
    const int dr = (GetRValue(crTo) - GetRValue(crFrom)) * 256 / nDivisor;
    const int dg = (GetGValue(crTo) - GetGValue(crFrom)) * 256 / nDivisor;
    const int db = (GetBValue(crTo) - GetBValue(crFrom)) * 256 / nDivisor;
    const int nBandWidth = nWidth / nDivisor;
    int x = nLeft;
    for (int i = 0; i < nBands; ++i) {
        const int nEnd = i + 1 == nBands ? nRight : x + nBandWidth;
        bands.push_back({x, nEnd, RGB(r / 256, g / 256, b / 256)});
        x = nEnd;
        r += dr, g += dg, b += db;
    }
    return bands;
}

UINT LabelTextFormat(DWORD dwStyle, const CString& strText) {
    UINT nFormat;
    switch (dwStyle & 0x1F) {
    case SS_CENTER:
        nFormat = DT_CENTER | DT_WORDBREAK;
        break;
    case SS_RIGHT:
        nFormat = DT_RIGHT | DT_WORDBREAK;
        break;
    case SS_LEFTNOWORDWRAP:
        nFormat = DT_LEFT;
        break;
    default:
        nFormat = DT_WORDBREAK;
        break;
    }
    if (strText.Find('\t') >= 0)
        nFormat |= DT_EXPANDTABS;
    if (dwStyle & SS_CENTERIMAGE) {
        nFormat = DT_CENTER;
        if (strText.Find("\r\n") < 0)
            nFormat |= DT_VCENTER | DT_SINGLELINE;
    }
    return nFormat;
}

CString LinkFallbackCommand(const CString& strCommand, const CString& strURL) {
    CString strLine = strCommand;
    int nCut = strLine.Find("\"%1\"");
    if (nCut < 0)
        nCut = strLine.Find("%1");
    if (nCut >= 0)
        strLine = strLine.Left(nCut);
    strLine.TrimRight();
    // Quotes cannot be part of an address; dropping them keeps it one argument.
    CString strArgument = strURL;
    strArgument.Remove('"');
    return strLine + " \"" + strArgument + "\"";
}

CString LinkErrorText(int nResult) {
    switch (nResult) {
    case 0:
        return "The operating system is out\nof memory or resources.";
    case 2:
        return "The specified file was not found.";
    case 3:
        return "The specified path was not found.";
    case 5:
        return "The operating system denied\naccess to the specified file.";
    case 8:
        return "There was not enough memory to complete the operation.";
    case 11:
        return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26:
        return "A sharing violation occurred. ";
    case 27:
        return "The filename association is\nincomplete or invalid.";
    case 28:
        return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29:
        return "The DDE transaction failed.";
    case 30:
        return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case 31:
        return "There is no application associated\nwith the given filename extension.";
    case 32:
        return "The specified dynamic-link library was not found.";
    default: {
        CString str;
        str.Format("Unknown Error (%d) occurred.", nResult);
        return str;
    }
    }
}
