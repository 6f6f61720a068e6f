// CAnalogClockDlg: the analog clock on the desktop, a borderless popup shaped
// like its skin's face, redrawn every second with the hands turned to the
// local time; its context menu, dragging, placement, stacking order and the
// automatic change of skins.
#pragma once

#include "clocks/analogface.h"
#include "clocks/skinclock_win.h"

#include <vector>

class CAnalogClockDlg : public CSkinClockDlg {
public:
    enum { IDD = 185 };
    enum { TIMER_DRAW = 400, TIMER_AUTOCHANGE = 403 };

    explicit CAnalogClockDlg(CWnd* pParent = nullptr);
    ~CAnalogClockDlg() override;

    int LoadSkin(int nScale) override;

    void DrawClock() override;
    BOOL HasSecondHand() const { return m_bHasSecondHand; }
    // A region of the bitmap's pixels that are not within 16 of crKey in every
    // channel; owned by the caller; NULL when no bitmap or context can be made.
    static HRGN BitmapToRegion(HBITMAP hBmp, COLORREF crKey, COLORREF crTolerance);

    // What the window holds, for its owner and its tests.
    const CAnalogClockFace& GetFace() const { return m_face; }
    HBITMAP GetClockBitmap() const { return m_bmpClock; }

    CPoint m_ptSkinPivot;
    CSize m_sizeSkinFace;
    CPoint m_ptPivot;
    CRect m_rcMoving;
    CRgn m_rgnFace;
    int m_nClockWidth = 0;
    int m_nClockHeight = 0;
    BOOL m_bHasSecondHand = FALSE;
    int m_nScale = 100;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnKindCommand(UINT nID) override;
    std::vector<CClockMenuItem> BuildMenuItems() override;
    void FillSkinInfo(CSkinInfoDlg& dlg) const override;
    // The drag rectangle is where the window ends up, then the work-area rules.
    void OnEndOfMove() override;
    // The second hand as the settings say.
    void ApplyDrawingOptions() override { DrawClock(); }
    HBITMAP GetBackBuffer() const override { return static_cast<HBITMAP>(m_bmpClock.GetSafeHandle()); }
    CSize GetBackBufferSize() const override { return CSize(m_nClockWidth, m_nClockHeight); }

    afx_msg void OnMoving(UINT nSide, LPRECT lpRect);
    DECLARE_MESSAGE_MAP()

private:
    // Also records the drag rectangle.
    void PlaceWindow(const CRect& rc) override;
    // The clip region of a hand at its last turn, made again when it moved.
    HRGN GetHandRegion(int nHand);

    CAnalogClockFace m_face;
    CBitmap m_bmpClock; // face plus hands: the back buffer
    CRgn m_rgnHands[HAND_COUNT];
    int m_nRegionAngle[HAND_COUNT] = {-1, -1, -1};
};
