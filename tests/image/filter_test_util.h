// Helpers of the filter tests: pictures whose colours name their position,
// a scripted random source and whole-picture snapshots.
#pragma once

#include "image/picrandom.h"
#include "image/picture.h"
#include "image_test_util.h"

#include <cstring>
#include <vector>

// 24-bit picture whose pixel (x, y) is red x, green y, blue `blue`.
inline void FillCoordinates(CPicture& pic, BYTE blue = 7)
{
    for (LONG y = 0; y < LONG(pic.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(pic.GetWidth()); ++x)
            pic.SetPixelColor(x, y, Rgb(BYTE(x), BYTE(y), blue));
}

// The pixel rows, palette and alpha of a picture, to prove it unchanged.
struct Snapshot {
    std::vector<BYTE> block;
    std::vector<BYTE> alphaPlane;
    explicit Snapshot(const CPicture& pic)
    {
        if (pic.IsValid())
            block.assign(pic.GetDIB(), pic.GetDIB() + pic.GetSize());
        if (pic.AlphaIsValid())
            alphaPlane.assign(pic.AlphaGetPointer(0, 0), pic.AlphaGetPointer(0, 0) + pic.GetWidth() * pic.GetHeight());
    }
    bool operator==(const Snapshot& o) const { return block == o.block && alphaPlane == o.alphaPlane; }
};

// Replays a fixed list of values (cycling) and counts the draws.
struct ScriptedRandom {
    std::vector<int> values;
    size_t next = 0;
    size_t draws = 0;
    static int Draw(void* context)
    {
        ScriptedRandom* s = static_cast<ScriptedRandom*>(context);
        ++s->draws;
        int v = s->values[s->next % s->values.size()];
        ++s->next;
        return v;
    }
};

// Installs a source for one scope and restores the built-in one after it.
struct RandomScope {
    explicit RandomScope(ScriptedRandom& s) { PicSetRandomSource(&ScriptedRandom::Draw, &s); }
    RandomScope(unsigned seed)
    {
        PicSetRandomSource(nullptr, nullptr);
        PicSeedRandom(seed);
    }
    ~RandomScope() { PicSetRandomSource(nullptr, nullptr); }
};

// Selects the rectangle [left, right) x [bottom, top) (rows from the bottom).
inline void SelectBox(CPicture& pic, LONG left, LONG bottom, LONG right, LONG top)
{
    RECT r;
    r.left = left;
    r.right = right;
    r.bottom = bottom;
    r.top = top;
    ASSERT_TRUE(pic.SelectionAddRect(r));
}
