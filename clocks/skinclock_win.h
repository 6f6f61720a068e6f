// CSkinClockDlg: what the analog and the digital clock windows do alike. Each
// kind keeps its own settings fields and command ids; CClockKindSettings
// names them, so one body serves both: the centre, placement and work area,
// stacking order, the automatic change of skins, the skin list, the timer
// guard, hit testing, the context menu and its commands, double clicks, Skin
// information and the back buffer's painting.
#pragma once

#include "clocks/clockmodel.h"
#include "clocks/skinarchive.h"
#include "core/settings.h"
#include "core/windowbases.h"

#include "afx/afxctl.h"
#include "afx/afxgdi.h"

#include <memory>
#include <vector>

class CClockMenu;
class CPicture;
class CSkinInfoDlg;

// Where a clock kind keeps its settings in CSettings.
struct CClockKindSettings {
    SkinKind kind;
    CString CSettings::*pstrSkin;
    CString CSettings::*pstrSkinDir;
    CString CSettings::*pstrChangeSkins;
    int CSettings::*pnScale;
    POINT CSettings::*pptCenter;
    BOOL CSettings::*pbOnTop;
    BOOL CSettings::*pbOnBottom;
    BOOL CSettings::*pbAlwaysCenter;
    BOOL CSettings::*pbAutoRemove;
    BOOL CSettings::*pbLockMovement;
    BOOL CSettings::*pbAutoChange;
    BOOL CSettings::*pbChangeByMinutes;
    int CSettings::*pnChangeMinutes;
    BOOL CSettings::*pbChangeBySeconds;
    int CSettings::*pnChangeSeconds;
    int CSettings::*pnLight;
    int CSettings::*pnContrast;
    int CSettings::*pnJitter;
    int CSettings::*pnDblClkAction;
    // The commands both kinds have, by the kind's ids.
    UINT nOnTopID;
    UINT nOnBottomID;
    UINT nAutoRemoveID;
    UINT nAlwaysCenterID;
    UINT nAutoChangeID;
    UINT nLockID;
    UINT nCenterID;
    UINT nSkinBrowserID;
    UINT nOptionsID;
    UINT nSkinInfoID;
    UINT nHideID;
    UINT nLightFirstID; // light 0..10, then contrast, then jitter
    UINT nContrastFirstID;
    UINT nJitterFirstID;
    UINT nEffectLastID;
    // What the main window is sent to show the options and to hide the clock.
    UINT nOptionsMessage;
    UINT nHideMessage;
    // The description fields Skin information shows.
    int nNameField;
    int nAuthorField;
    int nDateField;
};

extern const CClockKindSettings g_analogClockSettings;
extern const CClockKindSettings g_digitalClockSettings;

class CSkinClockDlg : public CClockWindow {
public:
    CSkinClockDlg(UINT nIDTemplate, CWnd* pParent, const CClockKindSettings& kind, UINT nDrawTimer,
                  UINT nChangeTimer);
    ~CSkinClockDlg() override;

    void SetAutoChangeTimer(BOOL bOn) override;
    CPoint GetWindowCenter() override;
    // Stacking order and placement at once; a skin other than the one shown
    // is loaded, and a load that fails leaves the shown one as the setting.
    void ApplyOptions() override;

    virtual void DrawClock() = 0;
    // The next skin of the automatic change, loaded around the stored centre.
    void NextRandomSkin();
    void FindSkins();
    // The context menu made again from the settings and the skin list, unless
    // it is open: then it stays as it was built, with the list its items index.
    void BuildContextMenu();
    void CenterOnScreen(BOOL bHorizontal, BOOL bVertical);
    void KeepInWorkArea();
    void ApplyOnTop();
    void ApplyOnBottom();
    // A top-most clock put first again once another window came forward.
    void KeepOnTop();

    // What the window holds, for its owner and its tests.
    const CSortStringArray& GetSkins() const { return m_arrSkins; }
    const CSkinChangePool& GetChangePool() const { return m_arrChangePool; }
    CClockMenu* GetContextMenu() const { return m_pMenu.get(); }
    const CString& GetDataPath() const { return m_strDataPath; }
    const CString& GetArchivePath() const { return m_strArchivePath; }

    CImageList m_imageList;
    CString m_strSeparator;
    CString m_strSkinDescription;
    CSortStringArray m_arrSkins;
    CSkinChangePool m_arrChangePool;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;

    // TRUE when the command was one of the clock's and must not go further.
    BOOL OnClockCommand(UINT nID);
    // The commands of this kind alone (scaling, fixed size and its own).
    virtual void OnKindCommand(UINT nID) = 0;
    // The items of the context menu; they also tidy the settings as the menu shows them.
    virtual std::vector<CClockMenuItem> BuildMenuItems() = 0;
    // Skin information's fields that differ by kind: the resolution, the hands' axis.
    virtual void FillSkinInfo(CSkinInfoDlg& dlg) const = 0;
    // After the system's move loop: the clock kept in the work area.
    virtual void OnEndOfMove();
    // The picture painted into the window, centred, and its size.
    virtual HBITMAP GetBackBuffer() const = 0;
    virtual CSize GetBackBufferSize() const = 0;
    // A memory context kept in dc from tick to tick, made at its first use;
    // NULL when none can be made. Bitmaps are selected into it only while drawing.
    static HDC GetMemoryDC(CDC& dc);
    // The back buffer, selected into hBufferDC, into the window at once as
    // WM_PAINT puts it there: the new second shows before the tick returns.
    void ShowBackBuffer(HDC hBufferDC);

    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnNcRButtonDown(UINT nHitTest, CPoint point);
    afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    DECLARE_MESSAGE_MAP()

    // The 16 x 16 icons of the context menu, in menu order.
    void LoadMenuIcons(const UINT* pnIcons, int nCount);
    void StoreCenter();
    void Reload();
    // Moves the window and, once a load has placed it, records its centre.
    virtual void PlaceWindow(const CRect& rc);
    // A loaded skin's window of that size around the stored centre.
    void PlaceAroundStoredCenter(int nWidth, int nHeight);
    // Kept in the work area as if auto-removing were on.
    void KeepInWorkAreaAlways();
    // The Skin information dialog of the current skin.
    void ShowSkinInfo();
    // A bitmap of a picture for the window; NULL when the system cannot make one.
    virtual HBITMAP MakeClockBitmap(const CPicture& picture) const;
    // Tells the user why a load failed; FALSE. The last good clock stays.
    BOOL LoadFailed(const CString& strMessage);
    // What ApplyOptions does when the skin stays: the kind's own settings
    // that drawing reads (the second hand, the format).
    virtual void ApplyDrawingOptions() = 0;

    CSettings& Settings() const { return g_settings; }

    const CClockKindSettings& m_kind;
    const UINT m_nDrawTimer;
    const UINT m_nChangeTimer;
    std::unique_ptr<CClockMenu> m_pMenu;
    CDC m_dcBuffer; // the back buffer's memory context
    CString m_strArchivePath;
    CString m_strDataPath;
    CString m_strShownSkin; // what the last good load showed, as listed
    int m_nTicking = 0;     // a timer handler is running
    int m_nLoading = 0;     // a load is running
    int m_nMenuOpen = 0;    // the context menu is being tracked
    BOOL m_bPlaced = FALSE; // a load has placed the window
    HWND m_hForeground = nullptr; // the foreground window at the last tick
};
