// "Skin information": the description fields of a clock's skin, its picture
// size, the hands' pivot (analog skins), the archive and data file with their
// sizes, and a button that opens the Skin Browser. The opener fills the
// members before DoModal.
#pragma once

#include "afx/afxdlg.h"

class CSkinInfoDlg : public CDialog {
public:
    explicit CSkinInfoDlg(CWnd* pParent = nullptr);
    ~CSkinInfoDlg() override;

    CString m_strName;
    CString m_strVersion;
    CString m_strType;
    CString m_strAuthor;
    CString m_strDate;
    CString m_strResolution;
    CString m_strHandsCoords; // empty for a digital skin: the row is hidden
    CString m_strArchiveSize;
    CString m_strUnpackedSize;
    CString m_strSkinPath;
    CString m_strUnpackedPath;

    // "<length> bytes" of a file, or "" when it can no longer be opened.
    static CString GetFileSizeText(const CString& strPath);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnLaunchSkinBrowser();
    DECLARE_MESSAGE_MAP()
};
