// The tray menu as plain Windows menus, for a build without the owner-drawn
// menu library: the same items and commands, without icons or side title.
#include "app/maindlg.h"

#include "app/settings.h"

void CMainDlg::DestroyTrayMenu()
{
    m_trayMenu.DestroyMenu();
    for (CMenu* pPopup : m_trayPopupMenus)
        delete pPopup;
    m_trayPopupMenus.clear();
}

namespace
{
void AppendItems(CMenu& menu, const std::vector<CTrayMenuItem>& items, std::vector<CMenu*>& popups)
{
    for (const CTrayMenuItem& item : items)
    {
        if (item.m_nKind == TRAYITEM_SEPARATOR)
            menu.AppendMenu(MF_SEPARATOR, 0, "");
        else if (item.m_nKind == TRAYITEM_POPUP)
        {
            CMenu* pSub = new CMenu;
            pSub->CreatePopupMenu();
            AppendItems(*pSub, item.m_subItems, popups);
            menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(pSub->GetSafeHmenu()), item.m_strText);
            // The parent destroys the Windows menu; the object only lets go of it.
            pSub->Detach();
            delete pSub;
        }
        else
            menu.AppendMenu(item.m_bGrayed ? MF_GRAYED : 0, item.m_nID, item.m_strText);
    }
}
} // namespace

void CMainDlg::BuildTrayMenu()
{
    if (m_bTrayMenuOpen)
    {
        m_bTrayMenuStale = TRUE;
        return;
    }
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

void CMainDlg::AppendTrayItems(CStyledMenu&, const std::vector<CTrayMenuItem>&)
{
}
