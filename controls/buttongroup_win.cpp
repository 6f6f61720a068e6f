#include "controls/buttongroup.h"

#include "controls/shadebutton.h"
#include "controls/skinbutton.h"

namespace {

bool AnswersUncheck(HWND hWnd) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    return DYNAMIC_DOWNCAST(CShadeButton, pWnd) != nullptr || DYNAMIC_DOWNCAST(CSkinButton, pWnd) != nullptr;
}

}  // namespace

void UncheckRadioGroup(CWnd* pButton) {
    HWND hButton = pButton->GetSafeHwnd();
    if (hButton == nullptr || ::GetParent(hButton) == nullptr)
        return;
    // The group runs from the last WS_GROUP sibling at or before the button
    // to the next WS_GROUP sibling, whatever their state; the platform's own
    // walk skips disabled and hidden controls and could leave two checked.
    HWND hFirst = hButton;
    while (!(::GetWindowLongA(hFirst, GWL_STYLE) & WS_GROUP)) {
        HWND hPrev = ::GetWindow(hFirst, GW_HWNDPREV);
        if (hPrev == nullptr)
            break;
        hFirst = hPrev;
    }
    for (HWND h = hFirst; h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != hFirst && (::GetWindowLongA(h, GWL_STYLE) & WS_GROUP))
            break;
        if (h != hButton && AnswersUncheck(h))
            ::SendMessageA(h, UM_UNCHECKGROUP, 0, 0);
    }
}

BOOL TrackMouseLeave(HWND hWnd, BOOL bCancel) {
    TRACKMOUSEEVENT tme{};
    tme.cbSize = sizeof(tme);
    tme.dwFlags = bCancel ? (TME_CANCEL | TME_LEAVE) : TME_LEAVE;
    tme.hwndTrack = hWnd;
    return ::TrackMouseEvent(&tme);
}
