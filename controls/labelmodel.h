// The arithmetic of the colour label and the link statics, apart from any
// window: the label's banded gradient, its text format flags, the link's
// fallback command line and the texts of its error report.
#pragma once

#include <vector>

#include "afx/afxstr.h"
#include "afx/wintypes.h"

#ifndef _WIN32
#define SS_LEFT 0x00000000L
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L
#define SS_LEFTNOWORDWRAP 0x0000000CL
#define SS_LEFT 0x00000000L
#define SS_CENTERIMAGE 0x00000200L
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_LEFT 0x00000000
#define DT_VCENTER 0x00000004
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_EXPANDTABS 0x00000040
#endif

// One band of the label's gradient: [nLeft, nRight) in the colour.
struct LABELBAND {
    int nLeft;
    int nRight;
    COLORREF crColour;
};
// At most nBands bands (cut to the width) from crFrom to crTo over [nLeft, nRight),
// in 8.8 fixed point per channel; the last band ends at nRight.
std::vector<LABELBAND> LabelGradientBands(int nLeft, int nRight, COLORREF crFrom, COLORREF crTo, int nBands);

// DrawText flags of a label from its static style and text.
UINT LabelTextFormat(DWORD dwStyle, const CString& strText);

// The command registered for ".htm" with its "%1" placeholder cut off and the
// address appended after a blank: the address becomes one quoted argument, so
// that no text of it can start a second command.
CString LinkFallbackCommand(const CString& strCommand, const CString& strURL);

// The line shown under "Unable to open hyperlink:" for a shell result.
CString LinkErrorText(int nResult);
