#include "afx/afxwin.h"

#include <atomic>

#include "afx/afxstate.h"

namespace {
std::atomic<long> g_nLiveGdi{0};
}

long AfxGetLiveGdiObjectCount() { return g_nLiveGdi.load(); }
void AfxGdiCountAdjust(long nDelta) { g_nLiveGdi += nDelta; }

// --- CGdiObject ----------------------------------------------------------

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

CGdiObject::~CGdiObject() { DeleteObject(); }

HGDIOBJ CGdiObject::GetSafeHandle() const {
    const CGdiObject* p = AfxLaunder(this);
    return p == nullptr ? nullptr : p->m_hObject;
}

template <class T>
T* CGdiObject::FromHandleT(HGDIOBJ hObject) {
    if (hObject == nullptr)
        return nullptr;
    CAfxThreadState& state = AfxGetThreadState();
    auto range = state.m_temporaryGdi.equal_range(hObject);
    for (auto it = range.first; it != range.second; ++it)
        if (it->second->GetRuntimeClass() == T::GetThisClass())
            return static_cast<T*>(it->second);
    T* p = new T;
    p->m_hObject = hObject;  // borrowed: not counted, never deleted
    state.m_temporaryGdi.emplace(hObject, p);
    return p;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) { return FromHandleT<CGdiObject>(hObject); }
CPen* CPen::FromHandle(HPEN hPen) { return FromHandleT<CPen>(hPen); }
CBrush* CBrush::FromHandle(HBRUSH hBrush) { return FromHandleT<CBrush>(hBrush); }
CFont* CFont::FromHandle(HFONT hFont) { return FromHandleT<CFont>(hFont); }
CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) { return FromHandleT<CBitmap>(hBitmap); }
CPalette* CPalette::FromHandle(HPALETTE hPalette) { return FromHandleT<CPalette>(hPalette); }
CRgn* CRgn::FromHandle(HRGN hRgn) { return FromHandleT<CRgn>(hRgn); }

void CGdiObject::DeleteTempMap() {
    CAfxThreadState& state = AfxGetThreadState();
    std::unordered_multimap<HGDIOBJ, CGdiObject*> temps;
    temps.swap(state.m_temporaryGdi);
    for (auto& e : temps) {
        e.second->m_hObject = nullptr;
        delete e.second;
    }
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (hObject == nullptr || m_hObject != nullptr)
        return FALSE;
    m_hObject = hObject;
    m_bStock = false;
    AfxGdiCountAdjust(+1);
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    if (h != nullptr && !m_bStock)
        AfxGdiCountAdjust(-1);
    m_hObject = nullptr;
    m_bStock = false;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (m_hObject == nullptr)
        return FALSE;
    if (m_bStock)
        return Detach() != nullptr;
    HGDIOBJ h = Detach();
    return ::DeleteObject(h);
}

BOOL CGdiObject::CreateStockObject(int nIndex) {
    if (m_hObject != nullptr)
        return FALSE;
    m_hObject = ::GetStockObject(nIndex);
    m_bStock = true;
    return m_hObject != nullptr;
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}
BOOL CPen::CreatePenIndirect(LPLOGPEN lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }

BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor) { return Attach(::CreateHatchBrush(nIndex, crColor)); }
BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush) { return Attach(::CreateBrushIndirect(lpLogBrush)); }
BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
    return Attach(::CreatePatternBrush((HBITMAP)pBitmap->GetSafeHandle()));
}
BOOL CBrush::CreateSysColorBrush(int nIndex) {
    // System colour brushes belong to the system: held like stock objects.
    if (m_hObject != nullptr)
        return FALSE;
    m_hObject = ::GetSysColorBrush(nIndex);
    m_bStock = true;
    return m_hObject != nullptr;
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont) { return Attach(::CreateFontIndirectA(lpLogFont)); }
BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCSTR lpszFacename) {
    return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                                nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
}
BOOL CFont::CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC) {
    LOGFONT lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = nPointSize;
    lstrcpynA(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
    return CreatePointFontIndirect(&lf, pDC);
}
BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC) {
    HDC hDC = pDC != nullptr ? pDC->m_hAttribDC : ::GetDC(nullptr);
    LOGFONT lf = *lpLogFont;
    // lfHeight is in tenths of a point: to device pixels, then to logical units.
    POINT pt = {0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), lf.lfHeight, 720)};
    ::DPtoLP(hDC, &pt, 1);
    POINT ptOrg = {0, 0};
    ::DPtoLP(hDC, &ptOrg, 1);
    lf.lfHeight = -labs(pt.y - ptOrg.y);
    if (pDC == nullptr)
        ::ReleaseDC(nullptr, hDC);
    return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(LPCSTR lpszResourceName) {
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, (LPCSTR)RT_BITMAP);
    return Attach(::LoadBitmapA(hInst, lpszResourceName));
}
BOOL CBitmap::LoadOEMBitmap(UINT nIDBitmap) { return Attach(::LoadBitmapA(nullptr, MAKEINTRESOURCEA(nIDBitmap))); }
BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits) {
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}
BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap) { return Attach(::CreateBitmapIndirect(lpBitmap)); }
BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    return Attach(::CreateCompatibleBitmap(pDC->GetSafeHdc(), nWidth, nHeight));
}
BOOL CBitmap::CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight) {
    return Attach(::CreateDiscardableBitmap(pDC->GetSafeHdc(), nWidth, nHeight));
}
CSize CBitmap::GetBitmapDimension() const {
    SIZE size{0, 0};
    ::GetBitmapDimensionEx((HBITMAP)m_hObject, &size);
    return CSize(size.cx, size.cy);
}

BOOL CPalette::CreatePalette(LPLOGPALETTE lpLogPalette) { return Attach(::CreatePalette(lpLogPalette)); }
BOOL CPalette::CreateHalftonePalette(CDC* pDC) { return Attach(::CreateHalftonePalette(pDC->GetSafeHdc())); }
int CPalette::GetEntryCount() const {
    WORD nEntries = 0;
    ::GetObjectA(m_hObject, sizeof(WORD), &nEntries);
    return nEntries;
}
UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const {
    return ::GetPaletteEntries((HPALETTE)m_hObject, nStartIndex, nNumEntries, lpPaletteColors);
}
UINT CPalette::SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) {
    return ::SetPaletteEntries((HPALETTE)m_hObject, nStartIndex, nNumEntries, lpPaletteColors);
}
UINT CPalette::GetNearestPaletteIndex(COLORREF crColor) const {
    return ::GetNearestPaletteIndex((HPALETTE)m_hObject, crColor);
}
BOOL CPalette::ResizePalette(UINT nNumEntries) { return ::ResizePalette((HPALETTE)m_hObject, nNumEntries); }

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateEllipticRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT lpRect) { return Attach(::CreateEllipticRgnIndirect(lpRect)); }
BOOL CRgn::CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode) {
    return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
}
BOOL CRgn::CreatePolyPolygonRgn(const POINT* lpPoints, const INT* lpPolyCounts, int nCount, int nPolyFillMode) {
    return Attach(::CreatePolyPolygonRgn(lpPoints, lpPolyCounts, nCount, nPolyFillMode));
}
BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3) {
    return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}
BOOL CRgn::CreateFromData(const XFORM* lpXForm, int nCount, const RGNDATA* pRgnData) {
    return Attach(::ExtCreateRegion(lpXForm, (DWORD)nCount, pRgnData));
}
BOOL CRgn::CreateFromPath(CDC* pDC) { return Attach(::PathToRegion(pDC->GetSafeHdc())); }
int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode) {
    return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgn1->GetSafeHandle(), (HRGN)pRgn2->GetSafeHandle(), nCombineMode);
}
int CRgn::CopyRgn(const CRgn* pRgnSrc) {
    return ::CombineRgn((HRGN)m_hObject, (HRGN)pRgnSrc->GetSafeHandle(), nullptr, RGN_COPY);
}
BOOL CRgn::EqualRgn(const CRgn* pRgn) const { return ::EqualRgn((HRGN)m_hObject, (HRGN)pRgn->GetSafeHandle()); }
int CRgn::OffsetRgn(int x, int y) { return ::OffsetRgn((HRGN)m_hObject, x, y); }
int CRgn::GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox((HRGN)m_hObject, lpRect); }
BOOL CRgn::PtInRegion(int x, int y) const { return ::PtInRegion((HRGN)m_hObject, x, y); }
BOOL CRgn::RectInRegion(LPCRECT lpRect) const { return ::RectInRegion((HRGN)m_hObject, lpRect); }
int CRgn::GetRegionData(LPRGNDATA lpRgnData, int nDataSize) const {
    return (int)::GetRegionData((HRGN)m_hObject, (DWORD)nDataSize, lpRgnData);
}
void CRgn::SetRectRgn(int x1, int y1, int x2, int y2) { ::SetRectRgn((HRGN)m_hObject, x1, y1, x2, y2); }
void CRgn::SetRectRgn(LPCRECT lpRect) { SetRectRgn(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }

CSelectGuard::CSelectGuard(CDC* pDC, CGdiObject* pObject)
    : m_hDC(pDC->GetSafeHdc()), m_hOld(pObject->GetSafeHandle() ? ::SelectObject(m_hDC, pObject->m_hObject) : nullptr) {}

// --- CDC -----------------------------------------------------------------

IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

CDC::~CDC() {
    if (m_hDC != nullptr)
        DeleteDC();
}

HDC CDC::GetSafeHdc() const {
    const CDC* p = AfxLaunder(this);
    return p == nullptr ? nullptr : p->m_hDC;
}

CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

CDC* CDC::FromHandle(HDC hDC) {
    if (hDC == nullptr)
        return nullptr;
    CDC*& pTemp = AfxGetThreadState().m_temporaryDC[hDC];
    if (pTemp == nullptr) {
        pTemp = new CDC;
        pTemp->m_hDC = pTemp->m_hAttribDC = hDC;
    }
    return pTemp;
}

void CDC::DeleteTempMap() {
    std::unordered_map<HDC, CDC*> temps;
    temps.swap(AfxGetThreadState().m_temporaryDC);
    for (auto& e : temps) {
        e.second->m_hDC = e.second->m_hAttribDC = nullptr;
        delete e.second;
    }
}

BOOL CDC::Attach(HDC hDC) {
    if (hDC == nullptr || m_hDC != nullptr)
        return FALSE;
    m_hDC = m_hAttribDC = hDC;
    AfxGdiCountAdjust(+1);
    return TRUE;
}

HDC CDC::Detach() {
    HDC hDC = m_hDC;
    if (hDC != nullptr)
        AfxGdiCountAdjust(-1);
    m_hDC = m_hAttribDC = nullptr;
    return hDC;
}

BOOL CDC::CreateDC(LPCSTR lpszDriverName, LPCSTR lpszDeviceName, LPCSTR lpszOutput, const void* lpInitData) {
    return Attach(::CreateDCA(lpszDriverName, lpszDeviceName, lpszOutput, (const DEVMODEA*)lpInitData));
}
BOOL CDC::CreateIC(LPCSTR lpszDriverName, LPCSTR lpszDeviceName, LPCSTR lpszOutput, const void* lpInitData) {
    return Attach(::CreateICA(lpszDriverName, lpszDeviceName, lpszOutput, (const DEVMODEA*)lpInitData));
}
BOOL CDC::CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC->GetSafeHdc())); }

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr)
        return FALSE;
    return ::DeleteDC(Detach());
}

CGdiObject* CDC::SelectStockObject(int nIndex) { return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex))); }
CPen* CDC::SelectObject(CPen* pPen) { return CPen::FromHandle((HPEN)::SelectObject(m_hDC, pPen->GetSafeHandle())); }
CBrush* CDC::SelectObject(CBrush* pBrush) { return CBrush::FromHandle((HBRUSH)::SelectObject(m_hDC, pBrush->GetSafeHandle())); }
CFont* CDC::SelectObject(CFont* pFont) { return CFont::FromHandle((HFONT)::SelectObject(m_hDC, pFont->GetSafeHandle())); }
CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    return CBitmap::FromHandle((HBITMAP)::SelectObject(m_hDC, pBitmap->GetSafeHandle()));
}
int CDC::SelectObject(CRgn* pRgn) { return (int)(INT_PTR)::SelectObject(m_hDC, pRgn->GetSafeHandle()); }
CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->GetSafeHandle()));
}
HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground) {
    return CPalette::FromHandle(::SelectPalette(m_hDC, (HPALETTE)pPalette->GetSafeHandle(), bForceBackground));
}
CPen* CDC::GetCurrentPen() const { return CPen::FromHandle((HPEN)::GetCurrentObject(m_hDC, OBJ_PEN)); }
CBrush* CDC::GetCurrentBrush() const { return CBrush::FromHandle((HBRUSH)::GetCurrentObject(m_hDC, OBJ_BRUSH)); }
CFont* CDC::GetCurrentFont() const { return CFont::FromHandle((HFONT)::GetCurrentObject(m_hDC, OBJ_FONT)); }
CBitmap* CDC::GetCurrentBitmap() const { return CBitmap::FromHandle((HBITMAP)::GetCurrentObject(m_hDC, OBJ_BITMAP)); }

// Attribute setters act on both contexts when they differ (printing).
#define AFX_DC_SET(call)                                \
    auto old = call(m_hAttribDC, value);                \
    if (m_hDC != m_hAttribDC && m_hDC != nullptr)       \
        call(m_hDC, value);                             \
    return old

COLORREF CDC::SetBkColor(COLORREF value) { AFX_DC_SET(::SetBkColor); }
int CDC::SetBkMode(int value) { AFX_DC_SET(::SetBkMode); }
COLORREF CDC::SetTextColor(COLORREF value) { AFX_DC_SET(::SetTextColor); }
int CDC::SetROP2(int value) { AFX_DC_SET(::SetROP2); }
int CDC::SetStretchBltMode(int value) { AFX_DC_SET(::SetStretchBltMode); }
int CDC::SetPolyFillMode(int value) { AFX_DC_SET(::SetPolyFillMode); }
UINT CDC::SetTextAlign(UINT value) { AFX_DC_SET(::SetTextAlign); }
int CDC::SetMapMode(int value) { AFX_DC_SET(::SetMapMode); }
#undef AFX_DC_SET

// Mapping changes act on both contexts when they differ; the attribute
// context reports the old value.
template <class T>
static T AfxDcSetPair(HDC hDC, HDC hAttribDC, BOOL(WINAPI* pfn)(HDC, int, int, T*), int a, int b) {
    T old{0, 0};
    if (hDC != hAttribDC && hDC != nullptr)
        pfn(hDC, a, b, nullptr);
    pfn(hAttribDC, a, b, &old);
    return old;
}

CPoint CDC::GetBrushOrg() const {
    POINT pt{0, 0};
    ::GetBrushOrgEx(m_hDC, &pt);
    return CPoint(pt.x, pt.y);
}
CPoint CDC::SetBrushOrg(int x, int y) {
    POINT pt{0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}
CPoint CDC::GetViewportOrg() const {
    POINT pt{0, 0};
    ::GetViewportOrgEx(m_hAttribDC, &pt);
    return CPoint(pt.x, pt.y);
}
CPoint CDC::SetViewportOrg(int x, int y) {
    return AfxDcSetPair(m_hDC, m_hAttribDC, ::SetViewportOrgEx, x, y);
}
CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight) {
    return AfxDcSetPair(m_hDC, m_hAttribDC, ::OffsetViewportOrgEx, nWidth, nHeight);
}
CPoint CDC::GetWindowOrg() const {
    POINT pt{0, 0};
    ::GetWindowOrgEx(m_hAttribDC, &pt);
    return CPoint(pt.x, pt.y);
}
CPoint CDC::SetWindowOrg(int x, int y) {
    return AfxDcSetPair(m_hDC, m_hAttribDC, ::SetWindowOrgEx, x, y);
}
CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight) {
    return AfxDcSetPair(m_hDC, m_hAttribDC, ::OffsetWindowOrgEx, nWidth, nHeight);
}
CSize CDC::GetViewportExt() const {
    SIZE size{0, 0};
    ::GetViewportExtEx(m_hAttribDC, &size);
    return CSize(size.cx, size.cy);
}
CSize CDC::SetViewportExt(int cx, int cy) {
    return AfxDcSetPair(m_hDC, m_hAttribDC, ::SetViewportExtEx, cx, cy);
}
CSize CDC::GetWindowExt() const {
    SIZE size{0, 0};
    ::GetWindowExtEx(m_hAttribDC, &size);
    return CSize(size.cx, size.cy);
}
CSize CDC::SetWindowExt(int cx, int cy) {
    return AfxDcSetPair(m_hDC, m_hAttribDC, ::SetWindowExtEx, cx, cy);
}

CPoint CDC::MoveTo(int x, int y) {
    POINT pt{0, 0};
    ::MoveToEx(m_hDC, x, y, &pt);
    return CPoint(pt.x, pt.y);
}
CPoint CDC::GetCurrentPosition() const {
    POINT pt{0, 0};
    ::GetCurrentPositionEx(m_hAttribDC, &pt);
    return CPoint(pt.x, pt.y);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    COLORREF clrOld = ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, clrOld);
}
void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
    RECT rc = {x, y, x + cx, y + cy};
    FillSolidRect(&rc, clr);
}
void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
               clrBottomRight);
}
void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush) {
    return ::DrawStateA(m_hDC, hBrush, nullptr, (LPARAM)hIcon, 0, pt.x, pt.y, size.cx, size.cy, nFlags | DST_ICON);
}
BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush) {
    return ::DrawStateA(m_hDC, hBrush, nullptr, (LPARAM)hBitmap, 0, pt.x, pt.y, size.cx, size.cy, nFlags | DST_BITMAP);
}
BOOL CDC::DrawState(CPoint pt, CSize size, LPCSTR lpszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                    HBRUSH hBrush) {
    return ::DrawStateA(m_hDC, hBrush, nullptr, (LPARAM)lpszText, (WPARAM)nTextLen, pt.x, pt.y, size.cx, size.cy,
                        nFlags | (bPrefixText ? DST_PREFIXTEXT : DST_TEXT));
}

BOOL CDC::TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc, int ySrc,
                         int nSrcWidth, int nSrcHeight, UINT clrTransparent) {
    return ::TransparentBlt(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC->GetSafeHdc(), xSrc, ySrc, nSrcWidth,
                            nSrcHeight, clrTransparent);
}
BOOL CDC::GradientFill(TRIVERTEX* pVertices, ULONG nVertices, void* pMesh, ULONG nMeshElements, DWORD dwMode) {
    return ::GradientFill(m_hDC, pVertices, nVertices, pMesh, nMeshElements, dwMode);
}

CSize CDC::GetTextExtent(LPCSTR lpszString, int nCount) const {
    SIZE size{0, 0};
    ::GetTextExtentPoint32A(m_hAttribDC, lpszString, nCount, &size);
    return CSize(size.cx, size.cy);
}
CSize CDC::GetOutputTextExtent(LPCSTR lpszString, int nCount) const {
    SIZE size{0, 0};
    ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
    return CSize(size.cx, size.cy);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) {
    HDC hDC = ::BeginPaint(m_hWnd, &m_ps);
    Attach(hDC);
}
CPaintDC::~CPaintDC() {
    if (m_hDC != nullptr) {
        Detach();
        ::EndPaint(m_hWnd, &m_ps);
    }
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) { Attach(::GetDC(m_hWnd)); }
CClientDC::~CClientDC() {
    if (m_hDC != nullptr)
        ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) { Attach(::GetWindowDC(m_hWnd)); }
CWindowDC::~CWindowDC() {
    if (m_hDC != nullptr)
        ::ReleaseDC(m_hWnd, Detach());
}

// --- CImageList ----------------------------------------------------------

IMPLEMENT_DYNCREATE(CImageList, CObject)

CImageList::~CImageList() { DeleteImageList(); }

HIMAGELIST CImageList::GetSafeHandle() const {
    const CImageList* p = AfxLaunder(this);
    return p == nullptr ? nullptr : p->m_hImageList;
}

CImageList* CImageList::FromHandle(HIMAGELIST hImageList) {
    if (hImageList == nullptr)
        return nullptr;
    CImageList*& pTemp = AfxGetThreadState().m_temporaryImageList[hImageList];
    if (pTemp == nullptr) {
        pTemp = new CImageList;
        pTemp->m_hImageList = hImageList;
    }
    return pTemp;
}

void CImageList::DeleteTempMap() {
    std::unordered_map<HIMAGELIST, CImageList*> temps;
    temps.swap(AfxGetThreadState().m_temporaryImageList);
    for (auto& e : temps) {
        e.second->m_hImageList = nullptr;
        delete e.second;
    }
}

BOOL CImageList::Attach(HIMAGELIST hImageList) {
    if (hImageList == nullptr || m_hImageList != nullptr)
        return FALSE;
    m_hImageList = hImageList;
    AfxGdiCountAdjust(+1);
    return TRUE;
}

HIMAGELIST CImageList::Detach() {
    HIMAGELIST h = m_hImageList;
    if (h != nullptr)
        AfxGdiCountAdjust(-1);
    m_hImageList = nullptr;
    return h;
}

BOOL CImageList::DeleteImageList() {
    if (m_hImageList == nullptr)
        return FALSE;
    return ImageList_Destroy(Detach());
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
    return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
    LPCSTR lpszName = MAKEINTRESOURCEA(nBitmapID);
    HINSTANCE hInst = AfxFindResourceHandle(lpszName, (LPCSTR)RT_BITMAP);
    return Attach(ImageList_LoadImageA(hInst, lpszName, cx, nGrow, crMask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

BOOL CImageList::Create(CImageList* pImageList) { return Attach(ImageList_Duplicate(pImageList->GetSafeHandle())); }

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) {
    return ImageList_Add(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), (HBITMAP)pbmMask->GetSafeHandle());
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) {
    return ImageList_AddMasked(m_hImageList, (HBITMAP)pbmImage->GetSafeHandle(), crMask);
}

BOOL CImageList::Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask) {
    return ImageList_Replace(m_hImageList, nImage, (HBITMAP)pbmImage->GetSafeHandle(),
                             (HBITMAP)pbmMask->GetSafeHandle());
}

BOOL CImageList::DrawIndirect(CDC* pDC, int nImage, POINT pt, SIZE sz, POINT ptOrigin, UINT fStyle, DWORD dwRop,
                              COLORREF rgbBack, COLORREF rgbFore) {
    IMAGELISTDRAWPARAMS params{};
    params.cbSize = sizeof(params);
    params.himl = m_hImageList;
    params.i = nImage;
    params.hdcDst = pDC->GetSafeHdc();
    params.x = pt.x;
    params.y = pt.y;
    params.cx = sz.cx;
    params.cy = sz.cy;
    params.xBitmap = ptOrigin.x;
    params.yBitmap = ptOrigin.y;
    params.rgbBk = rgbBack;
    params.rgbFg = rgbFore;
    params.fStyle = fStyle;
    params.dwRop = dwRop;
    return ImageList_DrawIndirect(&params);
}
