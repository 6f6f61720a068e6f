// The random numbers of Jitter and Noise: values 0..32767 like the C
// runtime's rand(), from one replaceable source so that results repeat and
// agree between the native and the Windows builds.
#pragma once

#include "image/image_api.h"

// Returns the next value, 0..32767.
typedef int (*PicRandomSource)(void* context);

VELTRAN_IMAGE_API int PicRandom();
// Restarts the built-in generator (the C runtime's linear congruence).
VELTRAN_IMAGE_API void PicSeedRandom(unsigned int seed);
// A null source restores the built-in generator.
VELTRAN_IMAGE_API void PicSetRandomSource(PicRandomSource source, void* context);
