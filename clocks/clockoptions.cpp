#include "clocks/clockoptions.h"

#include "clocks/timeformat.h"

const char g_szChosenSkinsSeparator[] = "***";

namespace {
const CClockOptionsFields g_analogFields = {
    &CSettings::m_strAnalogSkinDir,
    &CSettings::m_strAnalogSkin,
    &CSettings::m_bAnalogOnTop,
    &CSettings::m_bAnalogOnBottom,
    &CSettings::m_bAnalogAlwaysCenter,
    &CSettings::m_bAnalogAutoRemove,
    &CSettings::m_bAnalogLockMovement,
    &CSettings::m_nAnalogDblClkAction,
    &CSettings::m_hkAnalog,
    &CSettings::m_bAnalogAutoChange,
    &CSettings::m_bAnalogChangeByMinutes,
    &CSettings::m_nAnalogChangeMinutes,
    &CSettings::m_bAnalogChangeBySeconds,
    &CSettings::m_nAnalogChangeSeconds,
    &CSettings::m_strAnalogChangeSkins,
};

const CClockOptionsFields g_digitalFields = {
    &CSettings::m_strDigitalSkinDir,
    &CSettings::m_strDigitalSkin,
    &CSettings::m_bDigitalOnTop,
    &CSettings::m_bDigitalOnBottom,
    &CSettings::m_bDigitalAlwaysCenter,
    &CSettings::m_bDigitalAutoRemove,
    &CSettings::m_bDigitalLockMovement,
    &CSettings::m_nDigitalDblClkAction,
    &CSettings::m_hkDigital,
    &CSettings::m_bDigitalAutoChange,
    &CSettings::m_bDigitalChangeByMinutes,
    &CSettings::m_nDigitalChangeMinutes,
    &CSettings::m_bDigitalChangeBySeconds,
    &CSettings::m_nDigitalChangeSeconds,
    &CSettings::m_strDigitalChangeSkins,
};
} // namespace

const CClockOptionsFields& GetClockOptionsFields(SkinKind kind)
{
    return kind == SKIN_ANALOG ? g_analogFields : g_digitalFields;
}

void FillClockDblClkActions(SkinKind kind, CStringArray& actions)
{
    const CString strKind = kind == SKIN_ANALOG ? "analog" : "digital";
    actions.RemoveAll();
    actions.Add("Nothing");
    actions.Add("Next skin");
    actions.Add("Hide " + strKind + " clock");
    actions.Add("Show " + strKind + " clock options");
    actions.Add("Show context menu");
    actions.Add("Visit " + strKind + " clock Web page");
}

int ValidListIndex(int nStored, int nCount)
{
    return nStored >= 0 && nStored < nCount ? nStored : 0;
}

int ChooseCurrentSkin(const CSortStringArray& names, CString& strCurrent)
{
    const INT_PTR nFound = FindSkinName(names, strCurrent);
    if (nFound >= 0) {
        strCurrent = names[nFound]; // the spelling of the file, as a load stores it
        return static_cast<int>(nFound);
    }
    if (names.GetSize() == 0)
        return -1;
    strCurrent = names[0];
    return 0;
}

void CVisiblePageValues::Load(SkinKind kind, CSettings& settings)
{
    const CClockOptionsFields& f = GetClockOptionsFields(kind);
    if (kind == SKIN_DIGITAL) {
        if (settings.m_strDigitalFormat.IsEmpty())
            settings.m_strDigitalFormat = g_szDefaultDigitalFormat;
        strFormat = settings.m_strDigitalFormat;
    } else
        bSecondHand = settings.m_bAnalogSecondHand;
    bOnTop = settings.*f.pbOnTop;
    bOnBottom = settings.*f.pbOnBottom;
    bAlwaysCenter = settings.*f.pbAlwaysCenter;
    bAutoRemove = settings.*f.pbAutoRemove;
    bLockMovement = settings.*f.pbLockMovement;
    nDblClkAction = ValidListIndex(settings.*f.pnDblClkAction, CLOCK_DBLCLK_ACTIONS);
    wHotKeyVK = (settings.*f.phkShowHide).wVirtualKey;
    wHotKeyMods = (settings.*f.phkShowHide).wModifiers;
}

void CVisiblePageValues::Store(SkinKind kind, CSettings& settings) const
{
    const CClockOptionsFields& f = GetClockOptionsFields(kind);
    if (kind == SKIN_DIGITAL)
        settings.m_strDigitalFormat = strFormat;
    else
        settings.m_bAnalogSecondHand = bSecondHand;
    settings.*f.pbOnTop = bOnTop;
    settings.*f.pbOnBottom = bOnBottom;
    settings.*f.pbAlwaysCenter = bAlwaysCenter;
    settings.*f.pbAutoRemove = bAutoRemove;
    settings.*f.pbLockMovement = bLockMovement;
    settings.*f.pnDblClkAction = ValidListIndex(nDblClkAction, CLOCK_DBLCLK_ACTIONS);
    (settings.*f.phkShowHide).wVirtualKey = wHotKeyVK;
    (settings.*f.phkShowHide).wModifiers = wHotKeyMods;
}

CVisiblePageEnables GetVisiblePageEnables(SkinKind kind, const CVisiblePageValues& values)
{
    CVisiblePageEnables enables;
    enables.bOnTop = !values.bOnBottom;
    enables.bOnBottom = !values.bOnTop;
    enables.bAutoRemove = kind != SKIN_ANALOG || !values.bAlwaysCenter;
    return enables;
}

int ValidChangeMinutes(int nMinutes)
{
    return nMinutes >= CHANGE_MINUTES_MIN && nMinutes <= CHANGE_MINUTES_MAX ? nMinutes
                                                                            : CHANGE_MINUTES_FALLBACK;
}

int ValidChangeSeconds(int nSeconds)
{
    return nSeconds >= CHANGE_SECONDS_MIN && nSeconds <= CHANGE_SECONDS_MAX ? nSeconds
                                                                            : CHANGE_SECONDS_FALLBACK;
}

void CAutoChangeValues::Load(SkinKind kind, CSettings& settings)
{
    const CClockOptionsFields& f = GetClockOptionsFields(kind);
    bAutoChange = settings.*f.pbAutoChange;
    bByMinutes = settings.*f.pbChangeByMinutes;
    bBySeconds = settings.*f.pbChangeBySeconds;
    settings.*f.pnChangeMinutes = ValidChangeMinutes(settings.*f.pnChangeMinutes);
    settings.*f.pnChangeSeconds = ValidChangeSeconds(settings.*f.pnChangeSeconds);
    nMinutes = settings.*f.pnChangeMinutes;
    nSeconds = settings.*f.pnChangeSeconds;
}

void CAutoChangeValues::Store(SkinKind kind, CSettings& settings) const
{
    const CClockOptionsFields& f = GetClockOptionsFields(kind);
    settings.*f.pbAutoChange = bAutoChange;
    settings.*f.pbChangeByMinutes = bByMinutes;
    settings.*f.pbChangeBySeconds = bBySeconds;
    settings.*f.pnChangeMinutes = ValidChangeMinutes(nMinutes);
    settings.*f.pnChangeSeconds = ValidChangeSeconds(nSeconds);
}

CAutoChangeEnables GetAutoChangeEnables(const CAutoChangeValues& values)
{
    CAutoChangeEnables enables;
    enables.bEveryChecks = values.bAutoChange;
    enables.bMinutes = values.bAutoChange && values.bByMinutes;
    enables.bSeconds = values.bAutoChange && values.bBySeconds;
    enables.bSkinList = values.bAutoChange && (values.bByMinutes || values.bBySeconds);
    return enables;
}

void SplitChosenSkins(const CString& strChosen, CStringArray& names)
{
    names.RemoveAll();
    const int nSeparator = static_cast<int>(sizeof(g_szChosenSkinsSeparator)) - 1;
    int nStart = 0;
    for (int nEnd = strChosen.Find(g_szChosenSkinsSeparator); nEnd >= 0;
         nEnd = strChosen.Find(g_szChosenSkinsSeparator, nStart)) {
        names.Add(strChosen.Mid(nStart, nEnd - nStart));
        nStart = nEnd + nSeparator;
    }
}

CString JoinChosenSkins(const CStringArray& names)
{
    CString strChosen;
    for (INT_PTR i = 0; i < names.GetSize(); i++) {
        if (names[i].Find('*') >= 0)
            continue;
        strChosen += names[i] + g_szChosenSkinsSeparator;
    }
    return strChosen;
}
