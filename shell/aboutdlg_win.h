// The About window: a captioned dialog whose client area is a picture from
// the program's resources, with transparent labels and three links drawn
// over it; a drag anywhere on the picture moves it. Modeless and owned by
// the main window, which destroys it on its closed message.
#pragma once

#include "afx/afxdlg.h"
#include "afx/afxgdi.h"
#include "controls/colorlabel.h"
#include "controls/hyperlink.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* pParent = nullptr);
    ~CAboutDlg() override;

    // The picture as a bitmap; none when its resource could not be read.
    HBITMAP GetPicture() const { return static_cast<HBITMAP>(m_bmPicture.GetSafeHandle()); }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    DECLARE_MESSAGE_MAP()

    // The picture resource, turned into a bitmap that the dialog keeps.
    void LoadPicture();

    HBRUSH m_hHollowBrush = nullptr; // stock: never deleted
    CColorLabel m_labelVendor; // 1404
    CColorLabel m_labelMail; // 1398
    CColorLabel m_labelSite; // 1400
    CColorLabel m_labelCompany; // 1402
    CColorLabel m_labelLegal; // 1414
    CHyperLink m_linkMail; // 1399
    CHyperLink m_linkSite; // 1401
    CHyperLink m_linkCompany; // 1403
    CBitmap m_bmPicture;
};

// The name and type of the About picture among the program's resources.
extern const char g_szAboutPictureName[];
extern const char g_szAboutPictureType[];
