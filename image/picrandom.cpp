// Built-in generator and the replaceable source of PicRandom. The picture
// operations run on the user-interface thread only, so plain globals do.
#include "image/picrandom.h"

#include <cstdint>

namespace {

uint32_t g_seed = 1;
PicRandomSource g_source = nullptr;
void* g_context = nullptr;

} // namespace

int PicRandom()
{
    if (g_source)
        return g_source(g_context) & 0x7FFF;
    // The same sequence as the Windows C runtime's rand().
    g_seed = g_seed * 214013u + 2531011u;
    return int((g_seed >> 16) & 0x7FFF);
}

void PicSeedRandom(unsigned int seed) { g_seed = seed; }

void PicSetRandomSource(PicRandomSource source, void* context)
{
    g_source = source;
    g_context = source ? context : nullptr;
}
