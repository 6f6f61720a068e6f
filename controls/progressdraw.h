// The gradient progress bar apart from its window: colour bands of a
// multi-colour gradient, and the progress logic (range, position, step,
// snake tail, animation offset, text) with the painting of a whole bar into
// any device context. The window is CGradientProgressCtrl.
#pragma once

#include <vector>

#include "afx/afxcoll.h"
#include "afx/afxgeom.h"
#include "afx/afxstr.h"
#include "afx/wintypes.h"

#ifdef _WIN32
#include <commctrl.h>

#include "afx/afxgdi.h"
#else
#define PBS_VERTICAL 0x0004
#define CLR_NONE 0xFFFFFFFFL
#define CLR_INVALID 0xFFFFFFFF
#endif

enum : DWORD {
    PGS_TEXT_LEFT = 0x0010,
    PGS_TEXT_RIGHT = 0x0020,
    PGS_TEXT_TOP = 0x0040,
    PGS_TEXT_BOTTOM = 0x0080,
    PGS_TEXT_PERCENT = 0x0100,
    PGS_TEXT_POSITION = 0x0200,
    PGS_TEXT_ONLY = 0x0300,
    PGS_TEXT_MODE = 0x0300,
    PGS_TEXT_ON_BAR = 0x1000,
    PGS_STRETCH_TO_BAR = 0x2000,
    PGS_REVERSED = 0x4000,
    PGS_SNAKE = 0x8000,
};

// One run of a gradient: a colour and its width in pixels along the bar.
struct GRADIENTBAND {
    COLORREF crColour;
    int nWidth;
    bool operator==(const GRADIENTBAND& o) const { return crColour == o.crColour && nWidth == o.nWidth; }
};
typedef std::vector<GRADIENTBAND> CBandList;

// No limit on the number of colour steps.
const UINT GRADIENT_UNLIMITED = (UINT)-1;

// Expands the one integer placeholder of a progress text: the first "%d"
// (or "%i", with its flags, width and precision) takes the value, "%%" gives
// "%", and any other "%" sequence stays as it is. The text is never used as a
// printf format.
CString ExpandProgressText(const CString& strFormat, int nValue);

class CGradientDraw {
public:
    CGradientDraw();
    virtual ~CGradientDraw();
    CGradientDraw(const CGradientDraw&) = delete;
    CGradientDraw& operator=(const CGradientDraw&) = delete;

    // nCount colours (COLORREF arguments); nCount - 1 equal pegs.
    void SetColors(int nCount, ...);
    void SetGradientColors(COLORREF crFirst, COLORREF crSecond) { SetColors(2, crFirst, crSecond); }
    void GetGradientColors(COLORREF& crFirst, COLORREF& crSecond) const;
    void AddColor(COLORREF crColour);
    // One weight (double) per colour segment, in percent; normalised to 100.
    void SetPegs(double dFirst, ...);
    void SetStretch(float fStretch) { m_fStretch = fStretch < 1.0f ? 1.0f : fStretch; }
    float GetStretch() const { return m_fStretch; }
    const CDWordArray& GetColors() const { return m_colors; }
    const std::vector<double>& GetPegs() const { return m_pegs; }

#ifdef _WIN32
    CPalette* GetPalette();
    virtual void DrawGradient(CDC* pDC, const CRect& rect, int nStart, int nEnd, int nShift);
#endif
    // The bands of [nStart, nEnd) (nEnd -1: nLength) of a gradient nLength
    // long, rotated by nShift pixels.
    virtual void CalcShiftedBands(CBandList& bands, int nShift, int nLength, int nStart, int nEnd, UINT nLimit) const;
    virtual void CalcBands(CBandList& bands, int nLength, int nStart, int nEnd, UINT nLimit) const;
    virtual void CalcSegmentBands(CBandList& bands, COLORREF crFrom, COLORREF crTo, int nLength, int nClipStart,
                                  int nClipEnd, UINT nLimit) const;

protected:
    void NormalisePegs();
    void ColoursChanged();

    CDWordArray m_colors;
    BOOL m_bUsePalette = FALSE;
#ifdef _WIN32
    CPalette m_palette;
#endif
    std::vector<double> m_pegs;
    int m_nDirection = 0;  // 0 left to right, 1 right to left, 2 top to bottom, 3 bottom to top
    float m_fStretch = 1.0f;
};

#ifdef _WIN32
// What the drawing steps pass on to each other.
struct PROGRESSDRAWINFO {
    CDC* pDC;
    DWORD dwStyle;
    CRect rect;  // after the borders
    int nPos;
    int nLower;
    int nUpper;
};
#else
class CBrush;
class CFont;
#endif

class CProgressDraw : public CGradientDraw {
public:
    CProgressDraw();
    ~CProgressDraw() override;

    virtual DWORD GetStyle() const { return m_dwStyle; }
    virtual void ModifyStyle(DWORD dwRemove, DWORD dwAdd) { m_dwStyle = (m_dwStyle & ~dwRemove) | dwAdd; }

    void SetRange(int nA, int nB);
    void GetRange(int& nLower, int& nUpper) const {
        nLower = m_nLower;
        nUpper = m_nUpper;
    }
    int GetPos() const { return m_nPos; }
    int SetPos(int nPos);
    int OffsetPos(int nDelta);
    int SetStep(int nStep);
    int GetStep() const { return m_nStep; }
    int StepIt() { return OffsetPos(m_nStep); }
    void SetText(const char* pszText, DWORD dwMode);
    const CString& GetText() const { return m_strText; }
    void SetTailSize(int nSize) { m_nTailSize = nSize < 0 ? 0 : nSize; }
    int GetTailPos() const { return m_nTail; }
    int GetAnimPos() const { return m_nAnimPos; }
    // One animation tick: the offset moves by nStep and wraps at the stretched range.
    void AdvanceAnimation(int nStep);

    COLORREF SetBkColor(COLORREF cr);
    COLORREF GetBkColor() const { return m_crBk; }
    void SetTextColors(COLORREF crOnBar, COLORREF crOnBk) {
        m_crTextOnBar = crOnBar;
        m_crTextOnBk = crOnBk;
    }
    void SetBarBrush(CBrush* pBrush) { m_pBarBrush = pBrush; }
    void SetBkBrush(CBrush* pBrush) { m_pBkBrush = pBrush; }
    void SetBorders(const RECT& rc) { m_rcBorders = rc; }
    void SetFont(CFont* pFont) { m_pFont = pFont; }
    CFont* GetFont() const { return m_pFont; }

    // The filled part [nStart, nEnd) of a bar nLength pixels long; FALSE when
    // the position lies outside the range (nothing to fill).
    BOOL CalcParts(int nLength, int& nStart, int& nEnd) const;
    // The gradient shift for an extent nExtent long.
    int CalcShift(int nExtent) const;
    // Where a part [a, b) of the bar lies in the drawing rectangle.
    static CRect PartToRect(const CRect& rect, DWORD dwStyle, int a, int b);

    virtual BOOL SetSnakePos(int nPos, BOOL bIncrement);
    virtual CString FormatText(const CString& strText, double dValue) const { return FormatText(strText, dValue, GetStyle()); }
    virtual double GetValue() const { return GetValue(GetStyle()); }
    virtual BOOL OnPosChanging(int /*nOld*/, int /*nNew*/) { return TRUE; }
    virtual void OnPosChanged(int /*nNew*/) {}

#ifdef _WIN32
    void SetClipRegion(HRGN hRgn);
    void Draw(CDC* pDC, const CRect& rect, BOOL bDirect);
    virtual void DrawText(const PROGRESSDRAWINFO& info, int nWholeStart, int nWholeEnd, int nStart, int nEnd);
    virtual void DrawClippedText(const PROGRESSDRAWINFO& info, const CRect& rcPart, const CString& strText,
                                 const CPoint& ptWindowOrg);
#endif

protected:
    // The value and text for a given text mode (the style's, or the tooltip's).
    double GetValue(DWORD dwMode) const;
    static CString FormatText(const CString& strText, double dValue, DWORD dwMode);
    void UpdatePos(int nPos, BOOL bForce);
    // (position - lower) / (upper - lower) without overflow; 0 for equal bounds.
    double Fraction(int nPos) const;

    CBrush* m_pBarBrush = nullptr;
    COLORREF m_crBk;
    CBrush* m_pBkBrush = nullptr;
    COLORREF m_crTextOnBar;
    COLORREF m_crTextOnBk;
    int m_nTail = 0;
    int m_nTailSize = 40;
    int m_nStep = 10;
    int m_nLower = 0;
    int m_nUpper = 100;
    CRect m_rcBorders;
    CString m_strText;
    CFont* m_pFont = nullptr;
    DWORD m_dwStyle = 0x00F0;
#ifdef _WIN32
    CRgn m_rgnClip;
#endif
    int m_nPos = 0;
    int m_nAnimPos = 0;
};

// The text progress bar's arithmetic: how long the bar is, what percentage it
// shows and the colour bands of its two-colour gradient.
struct TEXTPROGRESSBAND {
    int nFrom;
    int nTo;
    COLORREF crColour;
};
// Filled length of an nExtent bar; 0 unless lower < pos <= upper.
int TextProgressLength(int nPos, int nLower, int nUpper, int nExtent);
// "%3.0f %%" of the percentage.
CString TextProgressPercent(int nPos, int nLower, int nUpper);
// The gradient over the whole extent, cut where a band passes nLength; the
// last entry (colour CLR_INVALID) is the background to the end.
std::vector<TEXTPROGRESSBAND> TextProgressBands(COLORREF crStart, COLORREF crEnd, int nExtent, int nLength);
