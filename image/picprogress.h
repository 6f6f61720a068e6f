// Where a long operation starts each row: it sets the picture's progress and
// then looks at its escape field. Tests install an observer there to raise
// escape at a chosen row.
#pragma once

#include "afx/wintypes.h"
#include "image/image_api.h"

class CPicture;

typedef void (*PicRowObserver)(CPicture& pic, void* context);

// A null observer removes it.
VELTRAN_IMAGE_API void PicSetRowObserverForTesting(PicRowObserver observer, void* context);

// Sets the progress, tells the observer, and answers whether escape is set.
bool PicStopBeforeRow(CPicture& pic, LONG progress);
