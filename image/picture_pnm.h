// PNM (P1-P6) read into and written from component planes, for the
// JPEG-2000 family codec.
#pragma once

#include "image/picture_planes.h"

// The first picture of a PNM stream: one grey plane (a bitmap at 1 bit with
// 0 black) or three RGB planes, at the bits of its maxval with the samples
// rescaled when maxval is not 2^bits - 1. Null with *why set.
CPicPlanes PicReadPnm(CPicFile* file, uint64_t maxPixels, const char** why);

// One plane as P5, three as P6; unsigned planes of 1-16 bits and equal size.
bool PicWritePnm(CPicFile* file, const opj_image_t* image, const char** why);
