#include "controls_dialog.h"

#include "controls/uihelpers.h"

namespace {
const UINT UM_ACT = WM_APP + 40;
}

void CControlsDialog::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_TEST_PICKER, m_picker);
    DDX_Control(pDX, IDC_TEST_PICKER_TEXT, m_pickerText);
    DDX_Control(pDX, IDC_TEST_COLORBUTTON, m_button);
    DDX_Control(pDX, IDC_TEST_COMBO, m_combo);
    if (!pDX->m_bSaveAndValidate && m_combo.GetCount() == 0)
        m_combo.AddNamedColours();
    DDX_ColourPicker(pDX, IDC_TEST_PICKER, m_crPicker);
    DDX_ColorButton(pDX, IDC_TEST_COLORBUTTON, m_crButton);
    DDX_ColorValue(pDX, IDC_TEST_COMBO, m_crCombo);
    if (!m_strCombo.IsEmpty() || pDX->m_bSaveAndValidate)
        DDX_ColorName(pDX, IDC_TEST_COMBO, m_strCombo);
}

BOOL CControlsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_bBanner) {
        SetupDialogBanner(&m_banner, this);
        m_banner.SetIcon(::LoadIconA(nullptr, IDI_APPLICATION), BANNER_ICON_BEFORE | BANNER_ICON_CENTRE, FALSE);
        m_banner.SetTitle("Calendar options");
        m_banner.SetCaption("Colours of the calendar");
    }
    if (m_fnAct)
        PostMessage(UM_ACT);
    return TRUE;
}

BOOL CControlsDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message >= UM_COLOR_SELCHANGE && message <= UM_COLOR_SELENDCANCEL) {
        m_notes.push_back({message, (COLORREF)wParam, (int)lParam});
        *pResult = 0;
        if (message == m_nCloseOn)
            DestroyWindow();
        return TRUE;
    }
    if (message == UM_ACT && m_fnAct) {
        m_fnAct(this);
        *pResult = 0;
        return TRUE;
    }
    return CDialog::OnWndMsg(message, wParam, lParam, pResult);
}
