#include "controls/uihelpers.h"

#include "controls/textprogress.h"

#include "controls/sidebanner.h"

void SetupDialogBanner(CSideBanner* pBanner, CWnd* pDialog) {
    if (pBanner == nullptr || pDialog == nullptr)
        return;
    pBanner->Attach(pDialog, BANNER_EDGE_TOP, IDC_DIALOG_BANNER);
    pBanner->SetBkColor1(0xFFEBEB);
    pBanner->SetBkColor2(0xFFC0C0);
    pBanner->SetEdgeColor(0x000000);
}

namespace {

BOOL SendOrderArray(HWND hList, UINT nMessage, int* pOrder, int nCount) {
    if (hList == nullptr || pOrder == nullptr)
        return FALSE;
    HWND hHeader = (HWND)::SendMessageA(hList, LVM_GETHEADER, 0, 0);
    if (hHeader == nullptr)
        return FALSE;
    return ::SendMessageA(hHeader, nMessage, (WPARAM)nCount, (LPARAM)pOrder) != 0;
}

}  // namespace

BOOL GetListColumnOrder(HWND hList, int* pOrder, int nCount) {
    return SendOrderArray(hList, HDM_GETORDERARRAY, pOrder, nCount);
}

BOOL SetListColumnOrder(HWND hList, const int* pOrder, int nCount) {
    // The header only reads the array it is given here.
    return SendOrderArray(hList, HDM_SETORDERARRAY, const_cast<int*>(pOrder), nCount);
}

COLORREF GetButtonFaceColor() { return ::GetSysColor(COLOR_BTNFACE); }

void RefreshWindowText(CWnd* pWnd) {
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return;
    CString str;
    pWnd->GetWindowText(str);
    pWnd->SetWindowText(str);
}

BOOL CALLBACK RefreshChildText(HWND hWnd, LPARAM) {
    char szText[1023];
    // A text that fills the buffer may have been cut: leave it alone.
    int nLen = ::GetWindowTextA(hWnd, szText, sizeof(szText));
    if (nLen >= 0 && nLen <= 1021)
        ::SetWindowTextA(hWnd, szText);
    return TRUE;
}

void SetupTextProgress(CTextProgressCtrl* pProgress) {
    if (pProgress == nullptr)
        return;
    pProgress->SetStartColour(0x0080FF);
    pProgress->SetEndColour(0x00FF00);
    pProgress->SetStep(1);
    pProgress->SetRange(0, 128);
    pProgress->SetPos(0);
}
