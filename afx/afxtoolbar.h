// A minimal tool bar: reads an RT_TOOLBAR resource (button ids and the bitmap
// of the same name) into a tool bar common control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "afx/afxwnd.h"

#ifndef RT_TOOLBAR
#define RT_TOOLBAR MAKEINTRESOURCEA(241)
#endif

// Control-bar alignment bits of the window style given to CToolBar::CreateEx;
// they say where the bar sits and never reach the control.
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_TOP CBRS_ALIGN_TOP

// The words of an RT_TOOLBAR resource: version, image width and height, then
// one command id per button (0 for a separator).
struct CToolBarResource {
    WORD m_wVersion = 0;
    int m_cx = 0;
    int m_cy = 0;
    std::vector<UINT> m_ids;

    // Reads the resource of hInst (null: the module that holds the name); FALSE when missing or short.
    BOOL Load(HINSTANCE hInst, LPCSTR lpszResourceName);
};

class CToolBar : public CWnd {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar() = default;
    ~CToolBar() override;

    // dwStyle: window style with the CBRS_ alignment bits; dwCtrlStyle: TBSTYLE_ bits.
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, UINT nID = 0xE800);
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, UINT nID = 0xE800) {
        return CreateEx(pParentWnd, 0, dwStyle, nID);
    }
    BOOL LoadToolBar(LPCSTR lpszResourceName);
    BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCEA(nIDResource)); }
    // Buttons for the ids (0: separator); images are numbered over the non-separators.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);

    int GetCount() const;
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    CSize GetImageSize() const { return m_sizeImage; }
    DWORD GetBarStyle() const { return m_dwBarStyle; }

protected:
    HBITMAP m_hbmImageWell = nullptr;  // owned
    CSize m_sizeImage{16, 15};
    DWORD m_dwBarStyle = 0;
};
