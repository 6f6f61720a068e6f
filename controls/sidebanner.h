// A coloured strip with an optional icon, a bold title and a smaller caption
// along one edge of a dialog. Attach grows the dialog by the strip, moves its
// controls out of the way and creates the banner in the freed strip.
#pragma once

#include <windows.h>

#include "afx/afxgdi.h"
#include "afx/afxstr.h"
#include "afx/afxwnd.h"
#include "controls/bannerlayout.h"

// Registers a window class of its own name once per process.
class CWndClassRegistrar {
public:
    explicit CWndClassRegistrar(LPCSTR lpszClassName) : m_strClassName(lpszClassName) {}
    virtual ~CWndClassRegistrar() = default;
    virtual BOOL RegisterWndClass() = 0;
    LPCSTR GetClassName() const { return m_strClassName; }

protected:
    CString m_strClassName;
};

class CSideBanner : public CWnd, public CWndClassRegistrar {
public:
    CSideBanner();
    ~CSideBanner() override;

    // Throws CResourceException when the class cannot be registered.
    BOOL RegisterWndClass() override;

    using CWnd::Create;
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
    virtual void DrawBackground(CDC* pDC, CRect rect);
    virtual void DrawContent(CDC* pDC, CRect rect);
    virtual void DrawEdgeLine(CDC* pDC, CRect rect);
    virtual void DrawIcon(CDC* pDC, CRect* pRect);

    BOOL Attach(CWnd* pDialog, UINT nEdge, UINT nID);
    void SetTitle(LPCSTR lpszTitle);
    void SetCaption(LPCSTR lpszCaption);
    BOOL SetIcon(HICON hIcon, UINT nPlacement, BOOL bOwn);
    void SetBackgroundBitmap(HBITMAP hBitmap, BOOL bOwn);
    void SetBkColor1(COLORREF cr) { m_crColor1 = cr; }
    void SetBkColor2(COLORREF cr) { m_crColor2 = cr; }
    CSideBanner* SetEdgeColor(COLORREF cr) {
        m_crEdge = cr;
        return this;
    }
    void SetTitleFont(CFont* pFont);
    void SetCaptionFont(CFont* pFont);
    void GetTitleFont(LOGFONT* pLogFont) const;
    void GetCaptionFont(LOGFONT* pLogFont) const;
    void SetSize(int nSize);
    void SetEdge(UINT nEdge);
    void UpdatePosition();

    int GetSize() const { return m_nSize; }
    UINT GetEdge() const { return m_nEdge; }
    UINT GetBackgroundStyle() const { return m_nBkStyle; }
    void SetBackgroundStyle(UINT nStyle) { m_nBkStyle = nStyle; }
    HICON GetIcon() const { return m_hIcon; }
    const CString& GetTitle() const { return m_strTitle; }
    const CString& GetCaption() const { return m_strCaption; }

    // The fallback painter for systems without a gradient function; a zero
    // rectangle means the clip box.
    static void FillGradientRect(CDC* pDC, COLORREF crFrom, COLORREF crTo, CRect rect, BOOL bAcross, BOOL bSwap);

protected:
    typedef BOOL(WINAPI* PFNGRADIENTFILL)(HDC, TRIVERTEX*, ULONG, void*, ULONG, ULONG);

    // Moves every direct child of the dialog except the banner by the offset.
    void MoveDialogChildren(CSize szOffset);

    CWnd* m_pParent = nullptr;
    int m_nSize = 50;
    UINT m_nEdge = 0;
    UINT m_nBkStyle = BANNER_BK_GRADIENT;
    UINT m_nIconPlacement = BANNER_ICON_AFTER;
    CString m_strTitle = "This is the sample title";
    CString m_strCaption = "This is the sample caption...";
    HICON m_hIcon = nullptr;
    BYTE m_bIconOwned = FALSE;
    BITMAP m_bmIcon{};
    HBITMAP m_hBkBitmap = nullptr;
    BYTE m_bBitmapOwned = FALSE;
    PFNGRADIENTFILL m_pfnGradientFill = nullptr;
    HMODULE m_hGradientLib = nullptr;
    CSize m_szEdgeOffset{5, 3};
    CSize m_szCaptionOffset{4, 10};
    LOGFONT m_lfTitle{};
    LOGFONT m_lfCaption{};
    COLORREF m_crColor1 = RGB(0xFF, 0xFF, 0xFF);
    COLORREF m_crColor2 = 0xC08080;
    COLORREF m_crEdge = 0;
    COLORREF m_crTitle = 0;
    COLORREF m_crCaption = 0;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    DECLARE_MESSAGE_MAP()
};
