// The row observer of the long operations. Picture operations run on the
// user-interface thread only, so plain globals do, as for the random source.
#include "image/picprogress.h"

#include "image/picture.h"

namespace {

PicRowObserver g_observer = nullptr;
void* g_context = nullptr;

} // namespace

void PicSetRowObserverForTesting(PicRowObserver observer, void* context)
{
    g_observer = observer;
    g_context = observer ? context : nullptr;
}

bool PicStopBeforeRow(CPicture& pic, LONG progress)
{
    pic.SetProgress(progress);
    if (g_observer)
        g_observer(pic, g_context);
    return pic.GetEscape() != 0;
}
