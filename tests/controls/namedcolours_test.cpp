// The named-colour table and its look-ups.
#include "controls/namedcolours.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(NamedColours, TableOrderValuesAndLookUps) {
    EXPECT_STREQ("AliceBlue", g_namedColours[0].szName);
    EXPECT_STREQ("YellowGreen", g_namedColours[kNamedColourCount - 1].szName);
    for (int i = 1; i < kNamedColourCount; ++i) {
        EXPECT_LT(CompareColourNames(g_namedColours[i - 1].szName, g_namedColours[i].szName), 0) << i;
        EXPECT_LT(std::strlen(g_namedColours[i].szName), 21u) << i;
    }
    struct Case {
        const char* pszName;
        int nIndex;           // -1: not a name
        COLORREF crColour;
    } cases[] = {
        {"AliceBlue", 0, 0xFFF8F0}, {"Coral", 16, 0x507FFF},       {"Tomato", 132, 0x4763FF},
        {"YellowGreen", 139, 0x32CD9A}, {"lightgrey", 68, 0xD3D3D3}, {"LIGHTGREY", 68, 0xD3D3D3},
        {"Gray", 50, 0x808080},     {"Green", 51, 0x008000},       {"LightGray", -1, 0},
        {"Light Grey", -1, 0},      {"", -1, 0},                   {nullptr, -1, 0},
        {"AliceBlueX", -1, 0},      {"Alice", -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName ? c.pszName : "(null)");
        EXPECT_EQ(c.nIndex, FindNamedColour(c.pszName));
        if (c.nIndex >= 0)
            EXPECT_EQ(c.crColour, g_namedColours[c.nIndex].crColour);
    }
    // Aqua and Cyan share a value: the first one is found.
    EXPECT_EQ(FindNamedColour("Aqua"), FindNamedColourValue(0xFFFF00));
    EXPECT_EQ(g_namedColours[FindNamedColour("Cyan")].crColour, 0xFFFF00u);
    EXPECT_EQ(FindNamedColour("Black"), FindNamedColourValue(0));
    EXPECT_EQ(-1, FindNamedColourValue(0x123457));
}

// Every entry is found by its name, and by its value unless an earlier entry has
// that value: only Cyan and Magenta repeat Aqua and Fuchsia.
TEST(NamedColours, EveryEntryIsFoundByNameAndByValue) {
    const int nAqua = FindNamedColour("Aqua");
    const int nFuchsia = FindNamedColour("Fuchsia");
    const int nCyan = FindNamedColour("Cyan");
    const int nMagenta = FindNamedColour("Magenta");
    ASSERT_LT(nAqua, nCyan);
    ASSERT_LT(nFuchsia, nMagenta);
    for (int i = 0; i < kNamedColourCount; ++i) {
        SCOPED_TRACE(g_namedColours[i].szName);
        EXPECT_EQ(i, FindNamedColour(g_namedColours[i].szName));
        const int nFirst = i == nCyan ? nAqua : (i == nMagenta ? nFuchsia : i);
        EXPECT_EQ(nFirst, FindNamedColourValue(g_namedColours[i].crColour));
    }
    EXPECT_EQ(kNamedColourCount - 1, FindNamedColourValue(0x32CD9A));
}

}  // namespace
