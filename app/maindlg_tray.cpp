// The tray menu: built from the tray model, popped up at the cursor.
#include "app/maindlg.h"

#include "app/settings.h"

void CMainDlg::DestroyTrayMenu()
{
    m_trayMenu.DestroyMenu();
    m_trayPopupMenus.clear();
}

namespace
{
void AppendItems(CMenu& menu, const std::vector<CTrayMenuItem>& items,
                 std::vector<std::unique_ptr<CMenu>>& popups)
{
    for (const CTrayMenuItem& item : items)
    {
        if (item.m_nKind == TRAYITEM_SEPARATOR)
            menu.AppendMenu(MF_SEPARATOR, 0, "");
        else if (item.m_nKind == TRAYITEM_POPUP)
        {
            std::unique_ptr<CMenu> pSub(new CMenu);
            pSub->CreatePopupMenu();
            AppendItems(*pSub, item.m_subItems, popups);
            menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(pSub->GetSafeHmenu()), item.m_strText);
            popups.push_back(std::move(pSub));
        }
        else
            menu.AppendMenu(item.m_bGrayed ? MF_GRAYED : 0, item.m_nID, item.m_strText);
    }
}
} // namespace

void CMainDlg::BuildTrayMenu()
{
    DestroyTrayMenu();
    AlarmEnsureIdentities(g_alarms);
    m_trayAlarmIds.clear();
    for (INT_PTR i = 0; i < g_alarms.GetSize(); i++)
        m_trayAlarmIds.push_back(g_alarms[i].m_nIdentity);
    m_trayMenu.CreatePopupMenu();
    AppendItems(m_trayMenu, BuildTrayMenuModel(g_alarms), m_trayPopupMenus);
}

void CMainDlg::ShowTrayMenu()
{
    if (m_bTrayMenuOpen || m_trayMenu.GetSafeHmenu() == nullptr)
        return;
    ::SetForegroundWindow(m_hWnd);
    POINT pt = {};
    ::GetCursorPos(&pt);
    m_bTrayMenuOpen = TRUE;
    m_trayMenu.TrackPopupMenu(TPM_BOTTOMALIGN, pt.x, pt.y, this);
    m_bTrayMenuOpen = FALSE;
    PostMessage(WM_NULL);
    if (m_bTrayMenuStale)
    {
        m_bTrayMenuStale = FALSE;
        BuildTrayMenu();
    }
}

void CMainDlg::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    CDialog::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
}

LRESULT CMainDlg::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu)
{
    return CDialog::OnMenuChar(nChar, nFlags, pMenu);
}
