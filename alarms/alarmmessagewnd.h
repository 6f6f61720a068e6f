// The window that shows an alarm's message: a resizable top-most popup whose
// whole client area is one flat button carrying the text in the alarm's
// font, with an optional countdown in the caption after which it closes.
// The executor opens it modeless; the alarm editor runs it modally as a
// preview and reads the rectangle the user gave it.
#pragma once

#include "afx/afxwin.h"

class CAlarmMessageWnd : public CDialog
{
public:
    CAlarmMessageWnd();
    ~CAlarmMessageWnd() override;

    // Setters only store; they take effect at the next opening.
    void SetTextAlign(DWORD dwStyleAdd, DWORD dwStyleRemove);
    void SetMessageText(CString strText);
    void SetMessageFont(LOGFONT lfFont);
    void SetCaptionText(CString strCaptionText);
    // An inverted rectangle stands for the middle half of the screen.
    void SetMessageRect(RECT rcWindow);
    // 0 (or less): no countdown.
    void SetAutoClose(int nSeconds);
    // The stored rectangle; once the window is gone, the last one it had.
    RECT GetMessageRect() const { return m_rcWindow; }

    // Opens the window modeless from its template.
    BOOL Create();
    using CDialog::Create;
    // Remembers the window's rectangle, then destroys it.
    BOOL DestroyWindow() override;
    // From now on the object deletes itself once its window is gone (at
    // once when there is none): for an owner that goes before the window.
    void DeleteWhenClosed();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;

    afx_msg void OnSizing(UINT nSide, LPRECT lpRect);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnTimer(UINT_PTR nIDEvent);

    void LayOutMessage();
    void ShowCountdown();

    CString m_strText;
    LOGFONT m_lfFont;
    CFont m_font;
    CString m_strCaptionText;
    RECT m_rcWindow;
    int m_nSeconds = 0;
    CString m_strCaption;
    DWORD m_dwStyleAdd = 0;
    DWORD m_dwStyleRemove = 0;
    CButton m_btnMessage;
    BOOL m_bDeleteWhenClosed = FALSE;

    DECLARE_MESSAGE_MAP()
};

// The countdown timer of the message window.
constexpr UINT_PTR ALARMMESSAGE_TIMER = 1000;
