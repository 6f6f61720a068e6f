#include "clocks/clockmodel.h"

#include "core/settings.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ClockModel, HandAnglesAtTheEdgesOfTheDial)
{
    struct {
        int h, m, s;
        int nHour, nMinute, nSecond;
    } const cases[] = {
        {3, 30, 0, 105, 180, 0},  {11, 59, 59, 359, 354, 354}, {23, 59, 0, 359, 354, 0},
        {12, 0, 0, 0, 0, 0},      {0, 0, 0, 0, 0, 0},          {0, 1, 30, 0, 6, 180},
        {13, 2, 1, 31, 12, 6},
    };
    for (const auto& c : cases) {
        const CHandAngles a = GetHandAngles(c.h, c.m, c.s);
        EXPECT_EQ(a.nHour, c.nHour) << c.h << ":" << c.m;
        EXPECT_EQ(a.nMinute, c.nMinute) << c.h << ":" << c.m;
        EXPECT_EQ(a.nSecond, c.nSecond) << c.s;
    }
}

TEST(ClockModel, ScaleRules)
{
    EXPECT_EQ(NormalizeScale(5), 100);
    EXPECT_EQ(NormalizeScale(-3), 100);
    EXPECT_EQ(NormalizeScale(10), 10);
    EXPECT_EQ(NormalizeScale(150), 150);

    struct {
        int nScale, nFixed;
        DWORD nLargest;
        int nExpected;
    } const loads[] = {
        {120, -1, 400, 120},  // fixed size off
        {120, 0, 400, 120},   // 0 is off as well
        {120, 200, 400, 50},  // fixed 200 on a 400-pixel skin draws at 50 %
        {120, 250, 300, 83},  // integer division
        {120, 200, 0, 20},    // no side at all
        {100, INT_MAX, 1, INT_MAX},
    };
    for (const auto& c : loads)
        EXPECT_EQ(GetLoadScale(c.nScale, c.nFixed, c.nLargest), c.nExpected) << c.nFixed << " / " << c.nLargest;

    struct {
        DWORD nLength;
        int nScale;
        DWORD nExpected;
    } const lengths[] = {
        {301, 100, 301}, {200, 150, 300}, {5, 10, 1},  // a 5-pixel hand at 10 % keeps one pixel
        {1, 10, 1},      {0, 100, 1},     {9, 50, 4},
        {200, 0, 0},     {200, -50, 0},   {0xFFFFFFFF, 100, 0},  // past the largest side
        {100000, INT_MAX, 0},                                   // 64-bit product, refused
    };
    for (const auto& c : lengths)
        EXPECT_EQ(ScaleLength(c.nLength, c.nScale), c.nExpected) << c.nLength << " at " << c.nScale;
}

TEST(ClockModel, Pivots)
{
    struct {
        const char* pszField;
        DWORD nScaledLength;
        int nScale;
        LONG nSkin, nScaled;
    } const cases[] = {
        {"middle", 301, 100, 150, 150}, {"middle", 450, 150, 225, 225}, {"Middle", 300, 100, 0, 0},
        {"", 300, 100, 0, 0},          {"80", 300, 150, 80, 120},      {"-7", 300, 50, -7, -3},
        {"12abc", 300, 100, 12, 12},
    };
    for (const auto& c : cases) {
        const CPivot p = GetPivot(c.pszField, c.nScaledLength, c.nScale);
        EXPECT_EQ(p.nSkin, c.nSkin) << c.pszField;
        EXPECT_EQ(p.nScaled, c.nScaled) << c.pszField;
    }
}

TEST(ClockModel, WorkAreaRules)
{
    const RECT work = {0, 0, 1000, 700};
    const RECT offset = {200, 100, 1200, 800}; // a task bar on the left and top
    struct {
        const char* pszCase;
        RECT rcWork, rcWindow;
        BOOL bAutoRemove;
        RECT rcExpected;
        BOOL bCenterH, bCenterV;
    } const cases[] = {
        {"inside stays", work, {100, 100, 300, 300}, FALSE, {100, 100, 300, 300}, FALSE, FALSE},
        {"half off the right stays", work, {900, 100, 1100, 300}, FALSE, {900, 100, 1100, 300}, FALSE, FALSE},
        {"more than half off the right snaps", work, {901, 100, 1101, 300}, FALSE, {800, 100, 1000, 300}, FALSE,
         FALSE},
        {"auto removing pulls any part back", work, {990, -5, 1190, 195}, TRUE, {800, 0, 1000, 200}, FALSE, FALSE},
        {"more than half off the left", work, {-150, 100, 50, 300}, FALSE, {0, 100, 200, 300}, FALSE, FALSE},
        {"more than half off the bottom", work, {100, 650, 300, 850}, FALSE, {100, 500, 300, 700}, FALSE, FALSE},
        {"taller than the work area is centred", work, {100, -500, 300, 300}, FALSE, {100, -500, 300, 300}, FALSE,
         TRUE},
        {"taller, over the bottom", work, {100, 300, 300, 1100}, TRUE, {100, 300, 300, 1100}, FALSE, TRUE},
        {"wider than the work area is centred", work, {-600, 0, 600, 200}, TRUE, {-600, 0, 600, 200}, TRUE, FALSE},
        {"work area origin: left", offset, {50, 150, 250, 350}, FALSE, {200, 150, 400, 350}, FALSE, FALSE},
        {"work area origin: top", offset, {300, 0, 500, 180}, FALSE, {300, 100, 500, 280}, FALSE, FALSE},
        {"work area origin: half off its left stays", offset, {100, 150, 300, 350}, FALSE, {100, 150, 300, 350},
         FALSE, FALSE},
        {"work area origin: inside its left edge stays", offset, {150, 150, 350, 350}, FALSE, {150, 150, 350, 350},
         FALSE, FALSE},
    };
    for (const auto& c : cases) {
        const CPlacement p = KeepRectInWorkArea(c.rcWindow, c.rcWork, c.bAutoRemove);
        EXPECT_TRUE(EqualRect(&p.rc, &c.rcExpected))
            << c.pszCase << ": " << p.rc.left << "," << p.rc.top << "," << p.rc.right << "," << p.rc.bottom;
        EXPECT_EQ(p.bCenterH, c.bCenterH) << c.pszCase;
        EXPECT_EQ(p.bCenterV, c.bCenterV) << c.pszCase;
    }
}

TEST(ClockModel, CentreArithmetic)
{
    const RECT rc = {101, 51, 302, 252};
    EXPECT_EQ(GetCenterOf(rc, 201, 201), CPoint(201, 151));
    EXPECT_EQ(GetTopLeftAround(CPoint(201, 151), 201, 201), CPoint(101, 51));
    EXPECT_EQ(GetCenterOffset(rc, 1024, 740, TRUE, TRUE), CPoint(512 - 100 - 101, 370 - 100 - 51));
    EXPECT_EQ(GetCenterOffset(rc, 1024, 740, FALSE, TRUE), CPoint(0, 370 - 100 - 51));
}

TEST(ClockModel, AutoChangeInterval)
{
    EXPECT_EQ(GetAutoChangeInterval(TRUE, 2, TRUE, 30), 150000u);
    EXPECT_EQ(GetAutoChangeInterval(TRUE, 2, FALSE, 30), 120000u);
    EXPECT_EQ(GetAutoChangeInterval(FALSE, 2, FALSE, 30), 0u);
    EXPECT_EQ(GetAutoChangeInterval(TRUE, 0, TRUE, 0), 0u);
    EXPECT_EQ(GetAutoChangeInterval(TRUE, -5, TRUE, 10), 0u);
    EXPECT_EQ(GetAutoChangeInterval(TRUE, INT_MAX, TRUE, INT_MAX), 0x7FFFFFFFu);
}

TEST(ClockModel, ChangePool)
{
    struct {
        const char* pszList;
        std::vector<const char*> names;
    } const cases[] = {
        {"b***a***", {"a", "b"}}, {"a***b", {"a"}}, {"", {}}, {"no separator", {}}, {"***", {""}},
        {"x******y***", {"", "x", "y"}},
    };
    for (const auto& c : cases) {
        CSkinChangePool pool;
        EXPECT_EQ(pool.Refill(c.pszList, "***"), !c.names.empty()) << c.pszList;
        ASSERT_EQ(pool.GetSize(), static_cast<INT_PTR>(c.names.size())) << c.pszList;
        for (size_t i = 0; i < c.names.size(); i++)
            EXPECT_EQ(pool.GetNames()[static_cast<INT_PTR>(i)], CString(c.names[i]));
    }

    // Each name once per cycle; a refill only when the pool ran empty.
    CSkinChangePool pool;
    ASSERT_TRUE(pool.Refill("c***a***b***", "***"));
    EXPECT_EQ(pool.Take(4), CString("b")); // 4 mod 3
    EXPECT_TRUE(pool.Refill("z***", "***"));
    EXPECT_EQ(pool.GetSize(), 2);
    EXPECT_EQ(pool.Take(-1), CString("c")); // the generator's value is never negative; still no overrun
    EXPECT_EQ(pool.Take(0), CString("a"));
    EXPECT_TRUE(pool.Refill("z***", "***"));
    EXPECT_EQ(pool.Take(7), CString("z"));
    EXPECT_EQ(pool.Take(7), CString(""));
}

// Every command id of a menu, depth first.
void CollectIds(const std::vector<CClockMenuItem>& items, std::vector<UINT>& ids)
{
    for (const CClockMenuItem& item : items) {
        if (item.nFlags & CLOCK_MF_POPUP)
            CollectIds(item.children, ids);
        else if (!(item.nFlags & CLOCK_MF_SEPARATOR))
            ids.push_back(item.nID);
    }
}

TEST(ClockModel, SkinCommandsNeverMeetOtherCommands)
{
    CSettings settings;
    CSortStringArray none;
    std::vector<UINT> fixed;
    CollectIds(BuildAnalogMenu(settings, none, TRUE), fixed);
    // The digital clock's commands and the dialog commands as well.
    for (UINT id : {1u, 2u, 300u, 316u, 900u, 930u})
        fixed.push_back(id);

    CSortStringArray many;
    for (int i = 0; i < 30000; i++) {
        CString s;
        s.Format("skin%05d", i);
        many.Add(s);
    }
    settings.m_strAnalogSkin = "skin00401";
    const CClockMenuItem menu = BuildSkinMenu(many, settings.m_strAnalogSkin, ID_ANALOG_SKINBROWSER, 6, 2);
    const size_t nItems = ID_CLOCK_SKIN_LAST - ID_CLOCK_SKIN_FIRST + 1;
    ASSERT_EQ(menu.children.size(), nItems + 2);
    EXPECT_EQ(menu.children[401].nFlags, static_cast<UINT>(CLOCK_MF_CHECKED));
    EXPECT_EQ(menu.children[nItems + 1].nID, static_cast<UINT>(ID_ANALOG_SKINBROWSER));
    for (size_t i = 0; i < nItems; i++) {
        const UINT id = menu.children[i].nID;
        ASSERT_EQ(GetSkinIndexOfCommand(id, many.GetSize()), static_cast<INT_PTR>(i));
        ASSERT_LT(id, 0xF000u); // below the system commands
    }
    for (UINT id : fixed)
        EXPECT_EQ(GetSkinIndexOfCommand(id, many.GetSize()), -1) << id;
    EXPECT_EQ(GetSkinIndexOfCommand(ID_CLOCK_SKIN_FIRST + 3, 3), -1);
    EXPECT_EQ(GetSkinIndexOfCommand(ID_CLOCK_SKIN_FIRST + 2, 3), 2);
}

// The item of a menu with that text, at any depth.
const CClockMenuItem* FindItem(const std::vector<CClockMenuItem>& items, const char* pszText)
{
    for (const CClockMenuItem& item : items) {
        if (item.strText == pszText)
            return &item;
        if (const CClockMenuItem* p = FindItem(item.children, pszText))
            return p;
    }
    return nullptr;
}

UINT FlagsOf(const std::vector<CClockMenuItem>& menu, const char* pszText)
{
    const CClockMenuItem* p = FindItem(menu, pszText);
    return p ? p->nFlags : 0xFFFFFFFF;
}

TEST(ClockModel, AnalogMenuStates)
{
    const UINT C = CLOCK_MF_CHECKED, G = CLOCK_MF_GRAYED;
    CSortStringArray skins;
    skins.Add("Alpha");
    skins.Add("simple");
    skins.Add("Simple");

    CSettings s;
    s.m_bAnalogOnTop = TRUE;
    s.m_bAnalogOnBottom = TRUE;
    s.m_bAnalogAutoRemove = TRUE;
    s.m_bAnalogAlwaysCenter = TRUE;
    s.m_nAnalogFixedSize = 5;
    s.m_nAnalogScale = 120;
    s.m_nAnalogContrast = 3;
    s.m_strAnalogSkin = "Simple";
    std::vector<CClockMenuItem> menu = BuildAnalogMenu(s, skins, FALSE);
    EXPECT_FALSE(s.m_bAnalogOnBottom);       // cleared by on top
    EXPECT_EQ(s.m_nAnalogFixedSize, -1);     // 5 is no fixed size
    EXPECT_EQ(FlagsOf(menu, "Always on top"), C);
    EXPECT_EQ(FlagsOf(menu, "Always bottom"), G);
    EXPECT_EQ(FlagsOf(menu, "Auto removing"), C | G);
    EXPECT_EQ(FlagsOf(menu, "Show second hand"), G); // setting off, skin without one
    EXPECT_EQ(FlagsOf(menu, "120%"), C);
    EXPECT_EQ(FlagsOf(menu, "100%"), 0u);
    EXPECT_EQ(FlagsOf(menu, "Fixed size"), 0u);
    EXPECT_EQ(FindItem(menu, "120%")->nID, 512u);
    EXPECT_EQ(FindItem(menu, "Contrast")->children[3].nFlags, C);
    EXPECT_EQ(FindItem(menu, "Contrast")->children[3].nID, 614u);
    EXPECT_EQ(FindItem(menu, "Jitter")->children[0].nFlags, C);
    EXPECT_EQ(FlagsOf(menu, "Simple"), C);   // names match case-sensitively
    EXPECT_EQ(FlagsOf(menu, "simple"), 0u);
    EXPECT_EQ(FindItem(menu, "Hide clock")->nIcon, ANALOG_ICON_HIDE);
    EXPECT_EQ(FindItem(menu, "Alpha")->nIcon, ANALOG_ICON_SKIN);

    s.m_bAnalogOnTop = FALSE;
    s.m_bAnalogOnBottom = TRUE;
    s.m_bAnalogSecondHand = TRUE;
    s.m_nAnalogFixedSize = 250;
    menu = BuildAnalogMenu(s, skins, TRUE);
    EXPECT_EQ(FlagsOf(menu, "Always on top"), G);
    EXPECT_EQ(FlagsOf(menu, "Always bottom"), C);
    EXPECT_EQ(FlagsOf(menu, "Show second hand"), C);
    EXPECT_EQ(FlagsOf(menu, "Fixed size"), C);
    EXPECT_EQ(FlagsOf(menu, "120%"), 0u);     // no percentage while the size is fixed
    EXPECT_EQ(s.m_nAnalogFixedSize, 250);

    // Top level order, separators included.
    const char* const order[] = {"Always on top", "Always bottom", "Auto removing", "Always center clock",
                                 "Show second hand", "Auto-changing skin", "Lock movement", "", "Effects",
                                 "Scaling", "Choose skin", "", "Center clock", "Show clock options...",
                                 "Skin info...", "", "Hide clock"};
    ASSERT_EQ(menu.size(), sizeof(order) / sizeof(order[0]));
    for (size_t i = 0; i < menu.size(); i++)
        EXPECT_EQ(menu[i].strText, CString(order[i])) << i;
}

// A setting spelled in another case names the skin Windows opens by it, so
// the menu checks that one; one the list does not name leaves all unchecked,
// and so do two spellings of it that neither is exactly.
TEST(ClockModel, SkinMenuChecksTheSkinASettingInAnotherCaseNames)
{
    const UINT C = CLOCK_MF_CHECKED;
    struct {
        const char* pszSetting;
        std::vector<const char*> skins;
        const char* pszChecked; // nullptr: none
    } const cases[] = {
        {"alpha", {"Alpha", "Beta"}, "Alpha"},
        {"BETA", {"Alpha", "Beta"}, "Beta"},
        {"Gone", {"Alpha", "Beta"}, nullptr},
        {"", {"Alpha", "Beta"}, nullptr},
        {"alpha", {"Alpha", "ALPHA", "Beta"}, nullptr},
        {"ALPHA", {"Alpha", "ALPHA", "Beta"}, "ALPHA"},
    };
    for (const auto& c : cases) {
        CSortStringArray skins;
        for (const char* pszSkin : c.skins)
            skins.Add(pszSkin);
        CSettings s;
        s.m_strAnalogSkin = c.pszSetting;
        const std::vector<CClockMenuItem> menu = BuildAnalogMenu(s, skins, TRUE);
        for (const char* pszSkin : c.skins) {
            const bool bChecked = c.pszChecked != nullptr && CString(pszSkin) == c.pszChecked;
            EXPECT_EQ(FlagsOf(menu, pszSkin), bChecked ? C : 0u) << c.pszSetting << " / " << pszSkin;
        }
    }
}

} // namespace
