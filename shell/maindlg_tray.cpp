// The tray menu: owner-drawn styled menus built from the tray model, with the
// program's icons, the "Execute alarm..." items with each alarm's icon, and a
// vertical side title.
#include "shell/maindlg.h"

#include "core/alarmicon.h"
#include "core/iconhandle.h"
#include "core/settings.h"
#include "menus/styledmenu.h"

// Children before parents (the list is in creation order, parents first), and
// the tray menu last: no object is left holding a handle its parent destroyed.
void CMainDlg::DestroyTrayMenu()
{
    for (auto it = m_trayPopups.rbegin(); it != m_trayPopups.rend(); ++it)
        delete *it;
    m_trayPopups.clear();
    delete m_pTrayMenu;
    m_pTrayMenu = nullptr;
}

namespace
{
void RecreateIconList(CImageList& list)
{
    list.DeleteImageList();
    list.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
}
} // namespace

void CMainDlg::AppendTrayItems(CStyledMenu& menu, const std::vector<CTrayMenuItem>& items)
{
    for (const CTrayMenuItem& item : items)
    {
        if (item.m_nKind == TRAYITEM_SEPARATOR)
        {
            menu.AppendItem("", MF_SEPARATOR, 0, -1);
            continue;
        }
        UINT nFlags = item.m_bGrayed ? MF_GRAYED : 0;
        UINT_PTR nID = item.m_nID;
        CImageList* pList = &m_imlMenuIcons;
        int nIcon = -1;
        if (item.m_nKind == TRAYITEM_POPUP)
        {
            CStyledMenu* pSub = new CStyledMenu(nullptr);
            m_trayPopups.push_back(pSub);
            pSub->CreatePopupMenu();
            if (item.m_nIcon == IDI_EXECUTEALARM)
                RecreateIconList(m_imlAlarmIcons);
            AppendTrayItems(*pSub, item.m_subItems);
            nFlags |= MF_POPUP;
            nID = reinterpret_cast<UINT_PTR>(pSub->GetSafeHmenu());
        }
        if (item.m_nAlarm >= 0 && item.m_nAlarm < g_alarms.GetSize())
        {
            // The application's alarm icon when the alarm's own does not come out.
            CIconHandle icon(AlarmExtractIcon(g_alarms[item.m_nAlarm], g_settings.m_strIconLibrary));
            HICON hIcon = icon.Get() != nullptr ? icon.Get() : AfxGetApp()->LoadIcon(IDI_NEWALARM);
            pList = &m_imlAlarmIcons;
            nIcon = m_imlAlarmIcons.Add(hIcon);
        }
        else if (item.m_nIcon != 0)
            nIcon = m_imlMenuIcons.Add(AfxGetApp()->LoadIcon(item.m_nIcon));
        if (nIcon >= 0)
            menu.AppendItemFromImageList(item.m_strText, nFlags, nID, pList, nIcon);
        else
            menu.AppendItem(item.m_strText, nFlags, nID, -1);
    }
}

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
    m_pTrayMenu = new CStyledMenu(nullptr);
    m_pTrayMenu->CreatePopupMenu();
    CStyledMenu::SetDisabledIconStyle(0);
    RecreateIconList(m_imlMenuIcons);
    AppendTrayItems(*m_pTrayMenu, BuildTrayMenuModel(g_alarms));
}

// The timer keeps running while the menu is open; anything that rebuilds the
// menu meanwhile waits until it has closed and its command has run.
void CMainDlg::ShowTrayMenu()
{
    if (m_bTrayMenuOpen || m_pTrayMenu == nullptr)
        return;
    ::SetForegroundWindow(m_hWnd);
    CStyledMenu::SetMenuDrawMode(2);
    CStyledMenu::SetDisabledIconStyle(0);
    POINT pt = {};
    ::GetCursorPos(&pt);
    m_pTrayMenu->SetMenuTitle("Veltran Clock", CStyledMenu::titleVertical | CStyledMenu::titleRounded);
    m_bTrayMenuOpen = TRUE;
    m_pTrayMenu->TrackPopupMenu(TPM_BOTTOMALIGN, pt.x, pt.y, this);
    m_bTrayMenuOpen = FALSE;
    PostMessage(WM_NULL);
    // The chosen command is already posted and still names positions of the
    // menu that was shown: the rebuild waits behind it in the queue.
    if (m_bTrayMenuStale)
    {
        m_bTrayMenuStale = FALSE;
        PostMessage(UM_REBUILDTRAYMENU);
    }
}

void CMainDlg::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType == ODT_MENU && m_pTrayMenu != nullptr)
        m_pTrayMenu->MeasureItem(lpMeasureItemStruct);
    else
        CDialog::OnMeasureItem(nIDCtl, lpMeasureItemStruct);
}

LRESULT CMainDlg::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu)
{
    return CStyledMenu::HandleMenuChar(nChar, nFlags, pMenu);
}
