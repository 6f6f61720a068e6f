// An owner-drawn combo box listing colours as a swatch and a name; the
// selection goes in and out by value or by name.
#pragma once

#include <windows.h>

#include "afx/afxctl.h"
#include "afx/afxdlg.h"
#include "afx/afxstr.h"

class CColorComboBox : public CComboBox {
public:
    // Empties the list and adds the 140 named colours in table order.
    void AddNamedColours();
    int AddNamedColor(LPCSTR lpszName, COLORREF crColour);
    BOOL RemoveNamedColor(LPCSTR lpszName);
    BOOL RemoveColorValue(COLORREF crColour);
    COLORREF GetSelectedColorValue();
    LPCSTR GetSelectedColorName();
    void SetSelectedColorValue(COLORREF crColour);
    void SetSelectedColorName(LPCSTR lpszName);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    void PreSubclassWindow() override { CComboBox::PreSubclassWindow(); }
    // The first item whose text matches (any case), or CB_ERR.
    int FindItemByName(LPCSTR lpszName) const;
    int FindItemByValue(COLORREF crColour) const;

    char m_szColorName[64] = "";

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

void DDX_ColorValue(CDataExchange* pDX, int nIDC, COLORREF& crColour);
void DDX_ColorName(CDataExchange* pDX, int nIDC, CString& strName);
