// CAnalogClockDlg: the analog clock on the desktop, a borderless popup shaped
// like its skin's face, redrawn every second with the hands turned to the
// local time; its context menu, dragging, placement, stacking order and the
// automatic change of skins.
#pragma once

#include "app/windowservices.h"
#include "clocks/analogface.h"
#include "clocks/clockmodel.h"

#include "afx/afxgdi.h"

#include <memory>
#include <vector>

class CClockMenu;

class CAnalogClockDlg : public CClockWindow {
public:
    enum { IDD = 185 };
    enum { TIMER_DRAW = 400, TIMER_AUTOCHANGE = 403 };

    explicit CAnalogClockDlg(CWnd* pParent = nullptr);
    ~CAnalogClockDlg() override;

    int LoadSkin(int nScale) override;
    void SetAutoChangeTimer(BOOL bOn) override;
    CPoint GetWindowCenter() override;

    void DrawClock();
    BOOL HasSecondHand() const { return m_bHasSecondHand; }
    // A region of the bitmap's pixels that are not within 16 of crKey in every
    // channel; owned by the caller; NULL when no bitmap or context can be made.
    static HRGN BitmapToRegion(HBITMAP hBmp, COLORREF crKey, COLORREF crTolerance);
    void FindSkins();
    void BuildContextMenu();
    void NextRandomSkin();
    void CenterOnScreen(BOOL bHorizontal, BOOL bVertical);
    void KeepInWorkArea();
    void ApplyOnTop();
    void ApplyOnBottom();

    // What the window holds, for its owner and its tests.
    const CAnalogClockFace& GetFace() const { return m_face; }
    const CSortStringArray& GetSkins() const { return m_arrSkins; }
    const CSkinChangePool& GetChangePool() const { return m_arrChangePool; }
    CClockMenu* GetContextMenu() const { return m_pMenu.get(); }
    const CString& GetDataPath() const { return m_strDataPath; }
    const CString& GetArchivePath() const { return m_strArchivePath; }
    HBITMAP GetClockBitmap() const { return m_bmpClock; }

    CImageList m_imageList;
    CPoint m_ptSkinPivot;
    CSize m_sizeSkinFace;
    CPoint m_ptPivot;
    CString m_strSkinDescription;
    CRect m_rcMoving;
    CString m_strSeparator;
    CRgn m_rgnFace;
    int m_nClockWidth = 0;
    int m_nClockHeight = 0;
    CSortStringArray m_arrSkins;
    BOOL m_bHasSecondHand = FALSE;
    CSkinChangePool m_arrChangePool;
    int m_nScale = 100;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcRButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    afx_msg void OnMoving(UINT nSide, LPRECT lpRect);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    DECLARE_MESSAGE_MAP()

private:
    // TRUE when the command was one of the clock's and must not go further.
    BOOL OnClockCommand(UINT nID);
    void EndOfMove();
    void StoreCenter();
    void Reload();
    // Moves the window and records where it is: the drag rectangle and the centre.
    void PlaceWindow(const CRect& rc);
    void ShowSkinInfo();
    // The clip region of a hand at its last turn, made again when it moved.
    HRGN GetHandRegion(int nHand);

    std::unique_ptr<CClockMenu> m_pMenu;
    CAnalogClockFace m_face;
    CBitmap m_bmpClock; // face plus hands: the back buffer
    CRgn m_rgnHands[HAND_COUNT];
    int m_nRegionAngle[HAND_COUNT] = {-1, -1, -1};
    CString m_strArchivePath;
    CString m_strDataPath;
    int m_nTicking = 0;        // a timer handler is running
    int m_nLoading = 0;        // a load is running
    BOOL m_bPlaced = FALSE;    // a load has placed the window
};
