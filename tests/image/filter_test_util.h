// Helpers of the filter tests: pictures whose colours name their position,
// a scripted random source, an escape raised at a chosen row and
// whole-picture snapshots.
#pragma once

#include "image/picprogress.h"
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

// Raises the picture's escape as the operation is about to start its row
// number `stopAt` (counting the rows and columns it starts, from 0), for the
// life of the scope.
struct EscapeAt {
    explicit EscapeAt(int stopAt)
        : stopAt(stopAt)
    {
        PicSetRowObserverForTesting(&Observe, this);
    }
    ~EscapeAt() { PicSetRowObserverForTesting(nullptr, nullptr); }
    EscapeAt(const EscapeAt&) = delete;
    EscapeAt& operator=(const EscapeAt&) = delete;

    static void Observe(CPicture& pic, void* context)
    {
        EscapeAt* e = static_cast<EscapeAt*>(context);
        if (e->started++ == e->stopAt)
            pic.SetEscape(1);
    }
    int stopAt;
    int started = 0;
};

// Rows below `split` (counted from the bottom) as in `done`, the others as in
// `old`: the pixel rows byte for byte, and the alpha planes.
inline ::testing::AssertionResult RowsSplitAt(
    const CPicture& got, const CPicture& done, const CPicture& old, LONG split)
{
    if (got.GetWidth() != old.GetWidth() || got.GetHeight() != old.GetHeight()
        || got.GetBpp() != old.GetBpp())
        return ::testing::AssertionFailure() << "shape";
    for (LONG y = 0; y < LONG(got.GetHeight()); ++y) {
        const CPicture& want = y < split ? done : old;
        if (std::memcmp(got.GetBits(DWORD(y)), want.GetBits(DWORD(y)), got.GetEffWidth()) != 0)
            return ::testing::AssertionFailure() << "row " << y << (y < split ? " is not done" : " changed");
        if (got.AlphaIsValid()
            && std::memcmp(got.AlphaGetPointer(0, y), want.AlphaGetPointer(0, y), got.GetWidth()) != 0)
            return ::testing::AssertionFailure() << "alpha of row " << y;
    }
    return ::testing::AssertionSuccess();
}
