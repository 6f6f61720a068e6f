// The controls of the Skin Browser dialog: the gradient progress bar of its
// status line, the details label and the picture buttons. Until the
// controls library has them, these stand-ins keep what the dialog sets
// (texts, range, position, pictures) with the same calls, drawn by the
// common controls underneath.
#pragma once

#include "afx/afxctl.h"
#include "afx/afxgdi.h"

#ifndef PGS_TEXT_PERCENT
#define PGS_TEXT_PERCENT 0x0100
#define PGS_TEXT_ONLY 0x0300
#endif

class CGradientProgressCtrl : public CProgressCtrl {
public:
    // The text is the window text; mode 0x100 puts the percentage into it.
    void SetText(const char* pszText, DWORD dwMode)
    {
        m_dwTextMode = pszText != nullptr && *pszText != '\0' ? dwMode : 0;
        SetWindowText(m_dwTextMode != 0 ? pszText : "");
    }
    CString GetText() const
    {
        CString str;
        GetWindowText(str);
        return str;
    }
    DWORD GetTextMode() const { return m_dwTextMode; }
    void SetBkColor(COLORREF cr) { SendMessage(PBM_SETBKCOLOR, 0, (LPARAM)cr); }
    void SetColors(int, COLORREF crFirst, ...) { SendMessage(PBM_SETBARCOLOR, 0, (LPARAM)crFirst); }
    void SetRange(int nLower, int nUpper) { SetRange32(nLower, nUpper); }
    void StartAnimation(UINT, int) {}

private:
    DWORD m_dwTextMode = 0;
};

class CColorLabel : public CStatic {
public:
    CColorLabel& SetText(const CString& strText)
    {
        if (m_hWnd != nullptr)
            SetWindowText(strText);
        return *this;
    }
};

class CSkinButton : public CButton {
public:
    // Takes the pictures; the normal one stands for the button's face.
    void SetSkin(HBITMAP hNormal, HBITMAP hDown, HBITMAP hOver, HBITMAP hDisabled, HBITMAP hFocus, HBITMAP hMask,
                 short, short, short)
    {
        CBitmap* bitmaps[] = {&m_normal, &m_down, &m_over, &m_disabled, &m_focus, &m_mask};
        HBITMAP handles[] = {hNormal, hDown, hOver, hDisabled, hFocus, hMask};
        for (int i = 0; i < 6; i++) {
            bitmaps[i]->DeleteObject();
            if (handles[i] != nullptr)
                bitmaps[i]->Attach(handles[i]);
        }
        SetBitmap(hNormal);
    }
    void SetToolTipText(const CString& strText) { m_strTip = strText; }
    const CString& GetToolTipText() const { return m_strTip; }

private:
    CBitmap m_normal, m_down, m_over, m_disabled, m_focus, m_mask;
    CString m_strTip;
};
