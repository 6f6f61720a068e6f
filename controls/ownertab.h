// Tab controls that paint their tabs themselves through overridable hooks,
// and the coloured look that fills those hooks.
#pragma once

#include <windows.h>

#include "afx/afxctl.h"
#include "controls/tabcolours.h"

class COwnerTabCtrl : public CTabCtrl {
    DECLARE_DYNAMIC(COwnerTabCtrl)
public:
    // 0: the system paints; 1: the system paints the frame, DrawItem each
    // tab; 2: the control paints everything through the hooks.
    explicit COwnerTabCtrl(int nDrawMode = 0);

    void SetBkColor(COLORREF cr);
    COLORREF GetBkColor() const { return m_crBack; }
    BOOL SetDrawMode(int nMode);
    int GetDrawMode() const { return m_nDrawMode; }

    void DrawItem(LPDRAWITEMSTRUCT) override {}
    virtual void DrawMainBorder(LPDRAWITEMSTRUCT) {}
    virtual void DrawItemBorder(LPDRAWITEMSTRUCT) {}
    virtual COLORREF GetTabColor(BOOL /*bSelected*/ = FALSE) { return ::GetSysColor(COLOR_BTNFACE); }
    virtual COLORREF GetTabTextColor(BOOL /*bSelected*/ = FALSE) { return ::GetSysColor(COLOR_WINDOWTEXT); }

protected:
    void PreSubclassWindow() override;
    // The background colour, COLOR_BTNFACE while it is -1.
    COLORREF OwnBkColor() const { return m_crBack == TAB_DEFAULT_BK ? ::GetSysColor(COLOR_BTNFACE) : m_crBack; }

    COLORREF m_crBack = TAB_DEFAULT_BK;
    int m_nDrawMode = 0;

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    void Paint(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

class CColorTabCtrl : public COwnerTabCtrl {
    DECLARE_DYNAMIC(CColorTabCtrl)
public:
    CColorTabCtrl() : COwnerTabCtrl(0) {}

    static void SetDrawFlags(BOOL bEnable, DWORD dwFlags) { s_dwDrawFlags = bEnable ? dwFlags : 0; }
    static DWORD GetDrawFlags() { return s_dwDrawFlags; }

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    void DrawMainBorder(LPDRAWITEMSTRUCT lpDIS) override;
    void DrawItemBorder(LPDRAWITEMSTRUCT lpDIS) override;
    COLORREF GetTabColor(BOOL bSelected = FALSE) override;
    COLORREF GetTabTextColor(BOOL bSelected = FALSE) override;

protected:
    void PreSubclassWindow() override;
    COLORREF BaseColour() const;

    static DWORD s_dwDrawFlags;
};
