// Must not compile: OnPaint is declared with a parameter, so the entry that
// expects void OnPaint() has no matching handler.
#include "afx/afxwin.h"

class CWrongWnd : public CWnd {
protected:
    afx_msg void OnPaint(int nWhatever);
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CWrongWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()
