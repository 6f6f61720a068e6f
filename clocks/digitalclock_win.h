// CDigitalClockDlg: the digital clock on the desktop, a borderless popup
// showing the local date and time in a chosen format, drawn glyph by glyph
// from the skin's strip over its background; its context menu, dragging,
// placement, stacking order and the automatic change of skins.
#pragma once

#include "app/windowservices.h"
#include "clocks/clockmodel.h"
#include "clocks/digitalface.h"

#include "afx/afxgdi.h"

#include <memory>

class CClockMenu;

class CDigitalClockDlg : public CClockWindow {
public:
    enum { IDD = 193 };
    enum { TIMER_DRAW = 300, TIMER_AUTOCHANGE = 303 };

    explicit CDigitalClockDlg(CWnd* pParent = nullptr);
    ~CDigitalClockDlg() override;

    int LoadSkin(int nScale) override;
    void SetAutoChangeTimer(BOOL bOn) override;
    CPoint GetWindowCenter() override;
    // Stops the drawing timer and keeps the centre for the next window.
    BOOL DestroyWindow() override;

    // The expanded text of the format at the current time.
    void FormatTime();
    void DrawClock();
    void FindSkins();
    void BuildContextMenu();
    void NextRandomSkin();
    void CenterOnScreen(BOOL bHorizontal, BOOL bVertical);
    void KeepInWorkArea();
    void ApplyOnTop();
    void ApplyOnBottom();
    // Kept for callers outside the clock: a region of a bitmap's pixels
    // (as the analog clock makes them), a menu's command-UI update through
    // this window, and whether a file exists.
    static HRGN BitmapToRegion(HBITMAP hBmp, COLORREF crKey, COLORREF crTolerance);
    void UpdateMenuCmdUI(CMenu* pPopupMenu);
    static BOOL FileExists(LPCSTR lpszPath);

    // What the window holds, for its owner and its tests.
    const CDigitalClockFace& GetFace() const { return m_face; }
    const CSortStringArray& GetSkins() const { return m_arrSkins; }
    const CSkinChangePool& GetChangePool() const { return m_arrChangePool; }
    CClockMenu* GetContextMenu() const { return m_pMenu.get(); }
    const CString& GetDataPath() const { return m_strDataPath; }
    const CString& GetArchivePath() const { return m_strArchivePath; }
    HBITMAP GetCanvasBitmap() const { return m_bmpCanvas; }
    HBITMAP GetGlyphBitmap() const { return m_bmpGlyphs; }

    CImageList m_imageList;
    CStringArray m_arrPresets;
    CString m_strSeparator;
    CString m_strSkinDescription;
    BOOL m_bHasAbcRegion = FALSE;
    CRgn m_rgnAbc;
    CSize m_sizeSkinBackground;
    CString m_strFormat;
    CString m_strText;
    CString m_strGlyphSet;
    CSortStringArray m_arrSkins;
    int m_nGlyphWidth = 0;
    int m_nGlyphHeight = 0;
    int m_nBackWidth = 0;
    int m_nBackHeight = 0;
    CString m_strPrevText;
    CSkinChangePool m_arrChangePool;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcRButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    DECLARE_MESSAGE_MAP()

private:
    // TRUE when the command was one of the clock's and must not go further.
    BOOL OnClockCommand(UINT nID);
    void StoreCenter();
    void Reload();
    // Moves the window and, once a load has placed it, records its centre.
    void PlaceWindow(const CRect& rc);
    // Copies the text's glyph cells onto the canvas and repaints.
    void PaintText(const CString& strText);
    void ShowSkinInfo();

    std::unique_ptr<CClockMenu> m_pMenu;
    CDigitalClockFace m_face;
    CBitmap m_bmpCanvas; // the scaled background, glyphs drawn on it: the back buffer
    CBitmap m_bmpGlyphs; // the scaled glyph strip
    CString m_strArchivePath;
    CString m_strDataPath;
    int m_nTicking = 0;     // a timer handler is running
    int m_nLoading = 0;     // a load is running
    int m_nMenuOpen = 0;    // the context menu is being tracked
    BOOL m_bPlaced = FALSE; // a load has placed the window
};
