// What the analog and digital clock options show and store, apart from their
// windows: which settings belong to each kind, the two pages' values with the
// limits the dialogs apply, the controls each choice enables, and the
// chosen-skins string of the automatic change.
#pragma once

#include "afx/afxstr.h"
#include "clocks/skinarchive.h"
#include "controls/sortstringarray.h"
#include "core/settings.h"

// The settings of one kind of clock, as members of CSettings.
struct CClockOptionsFields {
    CString CSettings::*pstrSkinDir;
    CString CSettings::*pstrSkin;
    BOOL CSettings::*pbOnTop;
    BOOL CSettings::*pbOnBottom;
    BOOL CSettings::*pbAlwaysCenter;
    BOOL CSettings::*pbAutoRemove;
    BOOL CSettings::*pbLockMovement;
    int CSettings::*pnDblClkAction;
    HOTKEYSETTING CSettings::*phkShowHide;
    BOOL CSettings::*pbAutoChange;
    BOOL CSettings::*pbChangeByMinutes;
    int CSettings::*pnChangeMinutes;
    BOOL CSettings::*pbChangeBySeconds;
    int CSettings::*pnChangeSeconds;
    CString CSettings::*pstrChangeSkins;
};

const CClockOptionsFields& GetClockOptionsFields(SkinKind kind);

// The double-click actions of a clock, in the order of their stored index.
const int CLOCK_DBLCLK_ACTIONS = 6;
void FillClockDblClkActions(SkinKind kind, CStringArray& actions);

// The entry a stored list index selects: itself when it lies in 0..nCount - 1, else 0.
int ValidListIndex(int nStored, int nCount);

// The skin list's selection: the current skin's index (FindSkinName), its
// listed spelling becoming the current skin; when it is not listed, the
// first skin, whose name becomes the current skin; -1 (and the current skin
// unchanged) when there are no skins.
int ChooseCurrentSkin(const CSortStringArray& names, CString& strCurrent);

// "Visible settings".
struct CVisiblePageValues {
    BOOL bOnTop = FALSE;
    BOOL bOnBottom = FALSE;
    BOOL bAlwaysCenter = FALSE;
    BOOL bAutoRemove = FALSE;
    BOOL bLockMovement = FALSE;
    BOOL bSecondHand = FALSE; // analog
    int nDblClkAction = 0; // the list's selection
    WORD wHotKeyVK = 0;
    WORD wHotKeyMods = 0;
    CString strFormat; // digital

    // An empty digital format becomes the default one in the settings at once.
    void Load(SkinKind kind, CSettings& settings);
    void Store(SkinKind kind, CSettings& settings) const;
};

struct CVisiblePageEnables {
    BOOL bOnTop;
    BOOL bOnBottom;
    BOOL bAutoRemove;
};
// "Always on top" and "Always bottom" exclude each other; the analog clock
// cannot keep itself in the work area while it keeps itself centred.
CVisiblePageEnables GetVisiblePageEnables(SkinKind kind, const CVisiblePageValues& values);

// The limits of the automatic change: a value outside becomes the fallback.
const int CHANGE_MINUTES_MIN = 1, CHANGE_MINUTES_MAX = 999, CHANGE_MINUTES_FALLBACK = 1;
const int CHANGE_SECONDS_MIN = 3, CHANGE_SECONDS_MAX = 59, CHANGE_SECONDS_FALLBACK = 10;
int ValidChangeMinutes(int nMinutes);
int ValidChangeSeconds(int nSeconds);

// "Auto-change skins".
struct CAutoChangeValues {
    BOOL bAutoChange = FALSE;
    BOOL bByMinutes = FALSE;
    BOOL bBySeconds = FALSE;
    int nMinutes = CHANGE_MINUTES_FALLBACK;
    int nSeconds = CHANGE_SECONDS_FALLBACK;

    // Minutes and seconds outside their limits are corrected in the settings.
    void Load(SkinKind kind, CSettings& settings);
    // The chosen skins are stored apart (JoinChosenSkins).
    void Store(SkinKind kind, CSettings& settings) const;
};

struct CAutoChangeEnables {
    BOOL bEveryChecks; // the two "Every" boxes
    BOOL bMinutes; // minutes edit, spin and label
    BOOL bSeconds; // seconds edit, spin and label
    BOOL bSkinList; // the label, the list and its two buttons
};
CAutoChangeEnables GetAutoChangeEnables(const CAutoChangeValues& values);

// Names in the chosen-skins string each end with this separator.
extern const char g_szChosenSkinsSeparator[];
// The names the string holds: each run of text that a separator ends; text after
// the last separator is no name.
void SplitChosenSkins(const CString& strChosen, CStringArray& names);
// Each name followed by the separator, in order. A name holding "*" could not
// be told apart from the separator when read back, so it is left out; skin
// files cannot carry the character on Windows anyway.
CString JoinChosenSkins(const CStringArray& names);
