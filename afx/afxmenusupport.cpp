// What owner-drawn menus need of the layer besides CMenu: the command-UI
// update of a popup with its parent menu, and bitmaps in the system colours.
#include "afx/afxwin.h"

#include <cstring>
#include <vector>

#include "afx/afxstate.h"

// --- command-UI update of a popup --------------------------------------------

namespace {
// The menu bar of hWnd's top-level window when it holds hPopup as a sub-menu.
CMenu* FindParentMenu(HWND hWnd, HMENU hPopup) {
    HWND hTop = ::GetAncestor(hWnd, GA_ROOT);
    HMENU hBar = hTop != nullptr ? ::GetMenu(hTop) : nullptr;
    if (hBar == nullptr || !::IsMenu(hBar))
        return nullptr;
    const int nCount = ::GetMenuItemCount(hBar);
    for (int i = 0; i < nCount; ++i)
        if (::GetSubMenu(hBar, i) == hPopup)
            return CMenu::FromHandle(hBar);
    return nullptr;
}
}  // namespace

void AfxUpdateMenuPopupCmdUI(CCmdTarget* pTarget, HWND hWnd, CMenu* pPopupMenu) {
    if (pTarget == nullptr || pPopupMenu == nullptr || pPopupMenu->m_hMenu == nullptr)
        return;
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_pParentMenu = pPopupMenu->m_hMenu == CMenu::GetTrackingMenu() ? pPopupMenu
                                                                         : FindParentMenu(hWnd, pPopupMenu->m_hMenu);
    state.m_nIndexMax = (UINT)pPopupMenu->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = pPopupMenu->GetMenuItemID((int)state.m_nIndex);
        if (state.m_nID == 0)
            continue;  // separator
        if (state.m_nID == (UINT)-1) {
            // A sub-menu follows the handler of its first item, and is never disabled for want of one.
            CMenu* pSub = pPopupMenu->GetSubMenu((int)state.m_nIndex);
            UINT nFirst = pSub != nullptr ? pSub->GetMenuItemID(0) : 0;
            if (pSub == nullptr || nFirst == 0 || nFirst == (UINT)-1)
                continue;
            state.m_pSubMenu = pSub;
            state.m_nID = nFirst;
            state.DoUpdate(pTarget, FALSE);
        } else {
            state.m_pSubMenu = nullptr;
            state.DoUpdate(pTarget, state.m_nID < 0xF000);
        }
        // A handler may have removed items: step back and skip what it left of this command.
        UINT nCount = (UINT)pPopupMenu->GetMenuItemCount();
        if (nCount < state.m_nIndexMax) {
            state.m_nIndex -= state.m_nIndexMax - nCount;
            while (state.m_nIndex + 1 < nCount && pPopupMenu->GetMenuItemID((int)state.m_nIndex + 1) == state.m_nID)
                ++state.m_nIndex;
        }
        state.m_nIndexMax = nCount;
    }
}

// --- bitmaps in the system colours -------------------------------------------

HBITMAP AfxLoadSysColorBitmap(HINSTANCE hInst, HRSRC hRsrc, BOOL bMono) {
    if (hRsrc == nullptr)
        return nullptr;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    const BYTE* pData = hGlobal != nullptr ? static_cast<const BYTE*>(::LockResource(hGlobal)) : nullptr;
    const DWORD nSize = ::SizeofResource(hInst, hRsrc);
    if (pData == nullptr || nSize < sizeof(BITMAPINFOHEADER))
        return nullptr;
    BITMAPINFOHEADER header;
    memcpy(&header, pData, sizeof(header));
    const UINT nColours = header.biClrUsed != 0 ? header.biClrUsed : (header.biBitCount <= 8 ? 1u << header.biBitCount : 0);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > nSize || nColours > 256 || header.biWidth <= 0 ||
        header.biHeight == 0 || header.biPlanes != 1)
        return nullptr;
    const size_t nHeader = header.biSize + (size_t)nColours * sizeof(RGBQUAD);
    const LONG nHeight = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const size_t nStride = (((size_t)header.biWidth * header.biBitCount + 31) / 32) * 4;
    if (nHeader > nSize || nStride * (size_t)nHeight > nSize - nHeader)
        return nullptr;

    // A writable copy of header and colour table, the greys replaced.
    std::vector<BYTE> info(nHeader);
    memcpy(info.data(), pData, nHeader);
    static const struct {
        COLORREF clrFrom;
        int nSysColor;
    } kMap[] = {
        {RGB(0, 0, 0), COLOR_BTNTEXT},
        {RGB(128, 128, 128), COLOR_BTNSHADOW},
        {RGB(192, 192, 192), COLOR_BTNFACE},
        {RGB(255, 255, 255), COLOR_BTNHIGHLIGHT},
    };
    RGBQUAD* pTable = reinterpret_cast<RGBQUAD*>(info.data() + header.biSize);
    for (UINT i = 0; i < nColours; ++i) {
        COLORREF clr = RGB(pTable[i].rgbRed, pTable[i].rgbGreen, pTable[i].rgbBlue);
        for (const auto& m : kMap) {
            if (clr == m.clrFrom) {
                COLORREF clrSys = ::GetSysColor(m.nSysColor);
                pTable[i].rgbRed = GetRValue(clrSys);
                pTable[i].rgbGreen = GetGValue(clrSys);
                pTable[i].rgbBlue = GetBValue(clrSys);
                break;
            }
        }
    }
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hBitmap = bMono ? ::CreateBitmap(header.biWidth, nHeight, 1, 1, nullptr)
                            : ::CreateCompatibleBitmap(hScreen, header.biWidth, nHeight);
    if (hBitmap != nullptr &&
        ::SetDIBits(hScreen, hBitmap, 0, (UINT)nHeight, pData + nHeader,
                    reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS) == 0) {
        ::DeleteObject(hBitmap);
        hBitmap = nullptr;
    }
    ::ReleaseDC(nullptr, hScreen);
    return hBitmap;
}
