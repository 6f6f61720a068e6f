// CDigitalClockDlg: the digital clock on the desktop, a borderless popup
// showing the local date and time in a chosen format, drawn glyph by glyph
// from the skin's strip over its background; its context menu, dragging,
// placement, stacking order and the automatic change of skins.
#pragma once

#include "clocks/digitalface.h"
#include "clocks/skinclock_win.h"

class CDigitalClockDlg : public CSkinClockDlg {
public:
    enum { IDD = 193 };
    enum { TIMER_DRAW = 300, TIMER_AUTOCHANGE = 303 };

    explicit CDigitalClockDlg(CWnd* pParent = nullptr);
    ~CDigitalClockDlg() override;

    int LoadSkin(int nScale) override;
    // Stops the drawing timer and keeps the centre for the next window.
    BOOL DestroyWindow() override;

    // The expanded text of the format at the current time.
    void FormatTime();
    // The settings' format (the default for none) becomes the one in use; true when it changed.
    bool TakeFormat();
    void DrawClock() override;
    // Kept for callers outside the clock: a region of a bitmap's pixels
    // (as the analog clock makes them), a menu's command-UI update through
    // this window, and whether a file exists.
    static HRGN BitmapToRegion(HBITMAP hBmp, COLORREF crKey, COLORREF crTolerance);
    void UpdateMenuCmdUI(CMenu* pPopupMenu);
    static BOOL FileExists(LPCSTR lpszPath);

    // What the window holds, for its owner and its tests.
    const CDigitalClockFace& GetFace() const { return m_face; }
    HBITMAP GetCanvasBitmap() const { return m_bmpCanvas; }
    HBITMAP GetGlyphBitmap() const { return m_bmpGlyphs; }

    CStringArray m_arrPresets;
    BOOL m_bHasAbcRegion = FALSE;
    CRgn m_rgnAbc;
    CSize m_sizeSkinBackground;
    CString m_strFormat;
    CString m_strText;
    CString m_strGlyphSet;
    int m_nGlyphWidth = 0;
    int m_nGlyphHeight = 0;
    int m_nBackWidth = 0;
    int m_nBackHeight = 0;
    CString m_strPrevText;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnKindCommand(UINT nID) override;
    std::vector<CClockMenuItem> BuildMenuItems() override;
    void FillSkinInfo(CSkinInfoDlg& dlg) const override;
    // A format other than the one in use is drawn from the next pass on.
    void ApplyDrawingOptions() override;
    HBITMAP GetBackBuffer() const override { return static_cast<HBITMAP>(m_bmpCanvas.GetSafeHandle()); }
    CSize GetBackBufferSize() const override { return CSize(m_nBackWidth, m_nBackHeight); }

private:
    // Copies the text's glyph cells onto the canvas and repaints.
    void PaintText(const CString& strText);

    CDigitalClockFace m_face;
    CBitmap m_bmpCanvas; // the scaled background, glyphs drawn on it: the back buffer
    CBitmap m_bmpGlyphs; // the scaled glyph strip
    CDC m_dcGlyphs;      // the glyph strip's memory context
};
