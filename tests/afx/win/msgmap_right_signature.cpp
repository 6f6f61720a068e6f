// The same window as msgmap_wrong_signature.cpp with the right handler: it
// must compile, so that the failing check fails for the right reason.
#include "afx/afxwin.h"

class CRightWnd : public CWnd {
protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRightWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()
