#include "controls/progressdraw.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

COLORREF SysColour(int nIndex, COLORREF crFallback) {
#ifdef _WIN32
    (void)crFallback;
    return ::GetSysColor(nIndex);
#else
    (void)nIndex;
    return crFallback;
#endif
}

// Indices of the system colours, the same numbers on every build.
const int kActiveCaption = 2, kCaptionText = 9, kBtnFace = 15, kBtnText = 18;

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

}  // namespace

CString ExpandProgressText(const CString& strFormat, int nValue) {
    const char* psz = strFormat;
    const int nLength = strFormat.GetLength();
    CString strOut;
    bool bExpanded = false;
    int i = 0;
    while (i < nLength) {
        if (psz[i] != '%') {
            strOut += psz[i++];
            continue;
        }
        if (i + 1 < nLength && psz[i + 1] == '%') {
            strOut += '%';
            i += 2;
            continue;
        }
        // %[flags][width][.precision](d|i), width and precision of at most
        // two digits, so no placeholder asks for a huge field.
        int j = i + 1;
        while (j < nLength && std::strchr("-+ 0#", psz[j]) != nullptr)
            ++j;
        int nDigits = 0;
        while (j < nLength && IsDigit(psz[j]) && nDigits <= 2)
            ++j, ++nDigits;
        bool bValid = nDigits <= 2;
        if (bValid && j < nLength && psz[j] == '.') {
            ++j;
            nDigits = 0;
            while (j < nLength && IsDigit(psz[j]) && nDigits <= 2)
                ++j, ++nDigits;
            bValid = nDigits <= 2;
        }
        if (!bExpanded && bValid && j < nLength && (psz[j] == 'd' || psz[j] == 'i')) {
            char szDirective[16];
            const int nDirective = j - i;  // '%' and what follows, without the letter
            std::memcpy(szDirective, psz + i, (size_t)nDirective);
            szDirective[nDirective] = 'd';
            szDirective[nDirective + 1] = '\0';
            char szValue[256];
            std::snprintf(szValue, sizeof(szValue), szDirective, nValue);
            strOut += szValue;
            bExpanded = true;
            i = j + 1;
            continue;
        }
        strOut += '%';  // shown as it is
        ++i;
    }
    return strOut;
}

// ---------------------------------------------------------------- gradient

CGradientDraw::CGradientDraw() = default;
CGradientDraw::~CGradientDraw() = default;

void CGradientDraw::ColoursChanged() {
#ifdef _WIN32
    m_palette.DeleteObject();
#endif
}

void CGradientDraw::SetColors(int nCount, ...) {
    m_colors.RemoveAll();
    m_pegs.clear();
    va_list args;
    va_start(args, nCount);
    for (int i = 0; i < nCount; ++i)
        m_colors.Add((DWORD)va_arg(args, COLORREF));
    va_end(args);
    for (int i = 1; i < nCount; ++i)
        m_pegs.push_back(100.0 / (nCount - 1));
    ColoursChanged();
}

void CGradientDraw::GetGradientColors(COLORREF& crFirst, COLORREF& crSecond) const {
    if (m_colors.GetSize() == 0) {
        crFirst = crSecond = (COLORREF)-1;
        return;
    }
    crFirst = m_colors[0];
    crSecond = m_colors.GetSize() > 1 ? m_colors[1] : m_colors[0];
}

void CGradientDraw::AddColor(COLORREF crColour) {
    m_colors.Add(crColour);
    if (m_colors.GetSize() >= 2) {
        const size_t nBefore = m_pegs.size();
        m_pegs.push_back(nBefore == 0 ? 100.0 : 100.0 / (double)nBefore);
        NormalisePegs();
    }
    ColoursChanged();
}

void CGradientDraw::SetPegs(double dFirst, ...) {
    const int nPegs = (int)m_colors.GetSize() - 1;
    if (nPegs < 1)
        return;
    m_pegs.assign(1, dFirst);
    va_list args;
    va_start(args, dFirst);
    for (int i = 1; i < nPegs; ++i)
        m_pegs.push_back(va_arg(args, double));
    va_end(args);
    NormalisePegs();
}

void CGradientDraw::NormalisePegs() {
    double dSum = 0;
    for (double d : m_pegs)
        dSum += d;
    if (dSum <= 0)
        return;  // nothing sensible to scale; drawing treats it as empty segments
    for (double& d : m_pegs)
        d = d * 100.0 / dSum;
}

void CGradientDraw::CalcSegmentBands(CBandList& bands, COLORREF crFrom, COLORREF crTo, int nLength, int nClipStart,
                                     int nClipEnd, UINT nLimit) const {
    if (nClipEnd == -1)
        nClipEnd = nLength;
    const int dr = GetRValue(crTo) - GetRValue(crFrom), dg = GetGValue(crTo) - GetGValue(crFrom),
              db = GetBValue(crTo) - GetBValue(crFrom);
    UINT nSteps = (UINT)std::max({std::abs(dr), std::abs(dg), std::abs(db)});
    nSteps = std::min(nSteps, nLimit);
    if (nLength > 0)
        nSteps = std::min(nSteps, (UINT)nLength);
    nSteps = std::max(nSteps, 1u);
    const float fr = dr / (float)nSteps, fg = dg / (float)nSteps, fb = db / (float)nSteps;
    const float fWidth = nLength / (float)nSteps;
    for (UINT i = 0; i < nSteps; ++i) {
        const int a = (int)(i * fWidth);
        const int b = i + 1 == nSteps ? nLength : (int)((i + 1) * fWidth);
        if (b <= nClipStart)
            continue;
        const int from = std::max(a, nClipStart), to = std::min(b, nClipEnd);
        if (to > from) {
            const COLORREF cr = RGB((GetRValue(crFrom) + (int)(i * fr)) & 0xFF, (GetGValue(crFrom) + (int)(i * fg)) & 0xFF,
                                    (GetBValue(crFrom) + (int)(i * fb)) & 0xFF);
            bands.push_back({cr, to - from});
        }
        if (b >= nClipEnd)
            break;
    }
}

void CGradientDraw::CalcBands(CBandList& bands, int nLength, int nStart, int nEnd, UINT nLimit) const {
    if (nEnd == -1)
        nEnd = nLength;
    const int nColours = (int)m_colors.GetSize();
    if (nColours == 0)
        return;
    if (nColours == 1 || (int)m_pegs.size() < nColours - 1) {
        bands.push_back({m_colors[0], nEnd - nStart});
        return;
    }
    const int nSegments = nColours - 1;
    const UINT nSegLimit = nLimit / (UINT)nSegments;
    double dSum = 0;
    for (int i = 0; i < nSegments; ++i) {
        const int nSegStart = (int)(nLength * dSum / 100.0);
        dSum += m_pegs[(size_t)i];
        const int nSegEnd = i + 1 == nSegments ? nLength : std::min(nLength, (int)(nLength * dSum / 100.0));
        if (nSegEnd <= nStart)
            continue;
        CalcSegmentBands(bands, m_colors[i], m_colors[i + 1], nSegEnd - nSegStart, std::max(nStart - nSegStart, 0),
                         std::min(nEnd, nSegEnd) - nSegStart, nSegLimit);
        if (nSegEnd >= nEnd)
            break;
    }
}

void CGradientDraw::CalcShiftedBands(CBandList& bands, int nShift, int nLength, int nStart, int nEnd,
                                     UINT nLimit) const {
    if (nLength <= 0) {
        nShift = 0;
    } else {
        while (nShift < 0)
            nShift += nLength;
        nShift %= nLength;
    }
    if (nShift == 0 || m_colors.GetSize() < 2) {
        CalcBands(bands, nLength, nStart, nEnd, nLimit);
        return;
    }
    if (nEnd == -1)
        nEnd = nLength;
    CBandList full;
    CalcBands(full, nLength, 0, -1, nLimit);
    if (full.size() < 2) {
        bands.push_back({m_colors[0], nEnd - nStart});
        return;
    }
    // Bands from the end go to the front until they make up the shift.
    CBandList front;
    int nNeed = nShift;
    while (nNeed > 0 && !full.empty()) {
        GRADIENTBAND& last = full.back();
        if (last.nWidth <= nNeed) {
            front.insert(front.begin(), last);
            nNeed -= last.nWidth;
            full.pop_back();
        } else {
            front.insert(front.begin(), GRADIENTBAND{last.crColour, nNeed});
            last.nWidth -= nNeed;
            nNeed = 0;
        }
    }
    front.insert(front.end(), full.begin(), full.end());
    int p = 0;
    for (const GRADIENTBAND& band : front) {
        const int a = std::max(p, nStart), b = std::min(p + band.nWidth, nEnd);
        if (b > a)
            bands.push_back({band.crColour, b - a});
        p += band.nWidth;
        if (p >= nEnd)
            break;
    }
}

// ---------------------------------------------------------------- progress

CProgressDraw::CProgressDraw()
    : m_crBk(SysColour(kBtnFace, 0xC0C0C0)),
      m_crTextOnBar(SysColour(kCaptionText, 0xFFFFFF)),
      m_crTextOnBk(SysColour(kBtnText, 0x000000)),
      m_rcBorders(0, 0, 0, 0) {
    const COLORREF cr = SysColour(kActiveCaption, 0x800000);
    SetGradientColors(cr, cr);
}

CProgressDraw::~CProgressDraw() = default;

double CProgressDraw::Fraction(int nPos) const {
    const long long nSpan = (long long)m_nUpper - m_nLower;
    if (nSpan <= 0)
        return 0.0;
    return (double)((long long)nPos - m_nLower) / (double)nSpan;
}

void CProgressDraw::SetRange(int nA, int nB) {
    m_nLower = std::min(nA, nB);
    m_nUpper = std::max(nA, nB);
    UpdatePos(m_nPos, FALSE);
}

int CProgressDraw::SetPos(int nPos) {
    const int nOld = m_nPos;
    if (!SetSnakePos(nPos, FALSE))
        UpdatePos(nPos, FALSE);
    return nOld;
}

int CProgressDraw::OffsetPos(int nDelta) {
    const int nOld = m_nPos;
    if (!SetSnakePos(nDelta, TRUE)) {
        const long long n = (long long)m_nPos + nDelta;
        UpdatePos((int)std::max<long long>(INT32_MIN, std::min<long long>(INT32_MAX, n)), FALSE);
    }
    return nOld;
}

int CProgressDraw::SetStep(int nStep) {
    const int nOld = m_nStep;
    m_nStep = nStep;
    return nOld;
}

void CProgressDraw::SetText(const char* pszText, DWORD dwMode) {
    dwMode &= PGS_TEXT_MODE;
    if (pszText != nullptr && *pszText != '\0' && dwMode != 0) {
        ModifyStyle(PGS_TEXT_MODE, dwMode);
        m_strText = pszText;
    } else {
        ModifyStyle(PGS_TEXT_MODE, 0);
        m_strText.Empty();
    }
}

COLORREF CProgressDraw::SetBkColor(COLORREF cr) {
    const COLORREF crOld = m_crBk;
    m_crBk = cr;
    return crOld;
}

void CProgressDraw::UpdatePos(int nPos, BOOL bForce) {
    nPos = std::max(m_nLower, std::min(m_nUpper, nPos));
    if (nPos == m_nPos)
        return;
    if (!OnPosChanging(m_nPos, nPos) && !bForce)
        return;
    m_nPos = nPos;
    OnPosChanged(nPos);
}

BOOL CProgressDraw::SetSnakePos(int nPos, BOOL bIncrement) {
    if (!(GetStyle() & PGS_SNAKE))
        return FALSE;
    // In 64 bits: the tail reaches past the upper bound.
    long long n = nPos;
    const long long nUpperEnd = (long long)m_nUpper + m_nTailSize;
    if (bIncrement) {
        long long nCurrent = m_nPos;
        if (m_nPos == m_nUpper && (long long)m_nPos - m_nTail < m_nTailSize)
            nCurrent = (long long)m_nTail + m_nTailSize;
        n = nCurrent + std::llabs(n);
    }
    if (n > nUpperEnd) {
        n -= ((long long)m_nUpper - m_nLower) + m_nTailSize;
        if (n > nUpperEnd)
            n = nUpperEnd;
        ModifyStyle(PGS_REVERSED, (GetStyle() & PGS_REVERSED) ^ PGS_REVERSED);
    }
    m_nTail = (int)std::max<long long>(m_nLower, n - m_nTailSize);
    UpdatePos((int)std::min<long long>(n, m_nUpper), FALSE);
    return TRUE;
}

void CProgressDraw::AdvanceAnimation(int nStep) {
    const long long nCycle = (long long)(m_fStretch * (double)((long long)m_nUpper - m_nLower));
    if (nCycle <= 0) {
        m_nAnimPos = 0;
        return;
    }
    m_nAnimPos = (int)(((long long)m_nAnimPos + nStep) % nCycle);
}

int CProgressDraw::CalcShift(int nExtent) const {
    const long long nSpan = (long long)m_nUpper - m_nLower;
    if (nSpan <= 0)
        return 0;
    return (int)((long long)nExtent * m_nAnimPos / nSpan);
}

BOOL CProgressDraw::CalcParts(int nLength, int& nStart, int& nEnd) const {
    nStart = nEnd = 0;
    if (m_nPos < m_nLower || m_nPos > m_nUpper)
        return FALSE;
    nEnd = (int)(Fraction(m_nPos) * nLength);
    if (GetStyle() & PGS_SNAKE)
        nStart = (int)(Fraction(m_nTail) * nLength);
    return TRUE;
}

CRect CProgressDraw::PartToRect(const CRect& rect, DWORD dwStyle, int a, int b) {
    CRect rc = rect;
    if (dwStyle & PBS_VERTICAL) {
        rc.top = (dwStyle & PGS_REVERSED) ? rect.top + a : rect.top + (rect.Height() - b);
        rc.bottom = rc.top + (b - a);
    } else {
        rc.left = (dwStyle & PGS_REVERSED) ? rect.left + (rect.Width() - b) : rect.left + a;
        rc.right = rc.left + (b - a);
    }
    return rc;
}

double CProgressDraw::GetValue(DWORD dwMode) const {
    switch (dwMode & PGS_TEXT_MODE) {
    case PGS_TEXT_PERCENT:
        return Fraction(m_nPos) * 100.0;
    case PGS_TEXT_POSITION:
        return m_nPos;
    default:
        return 0;
    }
}

CString CProgressDraw::FormatText(const CString& strText, double dValue, DWORD dwMode) {
    CString strFormat = strText;
    if (strFormat.IsEmpty()) {
        switch (dwMode & PGS_TEXT_MODE) {
        case PGS_TEXT_PERCENT:
            strFormat = "%d%%";
            break;
        case PGS_TEXT_POSITION:
            strFormat = "%d";
            break;
        default:
            return CString();
        }
    }
    return ExpandProgressText(strFormat, (int)dValue);
}

// ---------------------------------------------------------------- text progress bar

int TextProgressLength(int nPos, int nLower, int nUpper, int nExtent) {
    if (!(nLower < nPos && nPos <= nUpper))
        return 0;
    const double dFraction = (double)((long long)nPos - nLower) / (double)((long long)nUpper - nLower);
    return (int)(dFraction * nExtent);
}

CString TextProgressPercent(int nPos, int nLower, int nUpper) {
    const long long nSpan = (long long)nUpper - nLower;
    const float fPercent = nSpan <= 0 ? 0.0f : (float)(((long long)nPos - nLower) * 100.0 / (double)nSpan);
    CString str;
    str.Format("%3.0f %%", fPercent);
    return str;
}

std::vector<TEXTPROGRESSBAND> TextProgressBands(COLORREF crStart, COLORREF crEnd, int nExtent, int nLength) {
    std::vector<TEXTPROGRESSBAND> bands;
    const int dr = GetRValue(crEnd) - GetRValue(crStart), dg = GetGValue(crEnd) - GetGValue(crStart),
              db = GetBValue(crEnd) - GetBValue(crStart);
    // Equal colours make a plain bar of that colour.
    const int nSteps = std::max({std::abs(dr), std::abs(dg), std::abs(db), 1});
    const double dThickness = nExtent / (double)nSteps;
    const double fr = dr / (double)nSteps, fg = dg / (double)nSteps, fb = db / (double)nSteps;
    for (int i = 0; i < nSteps; ++i) {
        const int a = (int)(i * dThickness), b = (int)((i + 1) * dThickness);
        bands.push_back({a, b,
                         RGB((GetRValue(crStart) + (int)(i * fr)) & 0xFF, (GetGValue(crStart) + (int)(i * fg)) & 0xFF,
                             (GetBValue(crStart) + (int)(i * fb)) & 0xFF)});
        if (b > nLength) {
            bands.push_back({b, nExtent, CLR_INVALID});
            break;
        }
    }
    return bands;
}
