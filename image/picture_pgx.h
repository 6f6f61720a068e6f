// PGX (the JPEG-2000 test format: one component, raw samples after a text
// line) read into and written from component planes.
#pragma once

#include "image/picture_planes.h"

// One plane of 1-16 bits, signed or not, from "PG ML|LM [+|-] prec w h".
// Null with *why set.
CPicPlanes PicReadPgx(CPicFile* file, uint64_t maxPixels, const char** why);

// One unsigned plane, big-endian samples.
bool PicWritePgx(CPicFile* file, const opj_image_t* image, const char** why);
