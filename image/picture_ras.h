// Sun raster read into and written from component planes.
#pragma once

#include "image/picture_planes.h"

// Depths 1, 8, 24 and 32, plain or run-length coded, with or without a
// colour map; a grey result is one plane, a colour one three RGB planes,
// all at 8 bits except a map-less bitmap (1 bit, 0 black). Null with *why set.
CPicPlanes PicReadRas(CPicFile* file, uint64_t maxPixels, const char** why);

// One 8-bit plane as depth 8 with a grey map, three as depth 24.
bool PicWriteRas(CPicFile* file, const opj_image_t* image, const char** why);
