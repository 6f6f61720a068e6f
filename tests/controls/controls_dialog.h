// The test dialog holding the colour controls, and what it was told.
#pragma once

#include <functional>
#include <vector>

#include "afx/afxwin.h"
#include "controls/colorbutton.h"
#include "controls/colorcombobox.h"
#include "controls/colourpicker.h"
#include "controls/sidebanner.h"
#include "controls_test_res.h"

struct COLOURNOTE {
    UINT nMessage;
    COLORREF crColour;
    int nID;
    bool operator==(const COLOURNOTE& o) const {
        return nMessage == o.nMessage && crColour == o.crColour && nID == o.nID;
    }
};

class CControlsDialog : public CDialog {
public:
    explicit CControlsDialog(CWnd* pParent = nullptr) : CDialog(IDD_CONTROLS_TEST, pParent) {}

    CColourPicker m_picker;
    CColourPicker m_pickerText;
    CColorButton m_button;
    CColorComboBox m_combo;
    CSideBanner m_banner;
    bool m_bBanner = false;
    COLORREF m_crPicker = 0;
    COLORREF m_crButton = CLR_DEFAULT;
    COLORREF m_crCombo = 0;
    CString m_strCombo;
    std::vector<COLOURNOTE> m_notes;
    UINT m_nCloseOn = 0;  // a notification on which the dialog destroys itself
    std::function<void(CControlsDialog*)> m_fnAct;  // run once a modal run is up

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
