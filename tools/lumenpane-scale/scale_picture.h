// Doubling a picture with the viewer's filters: the same functions, in the same order.
#pragma once

#include "png_io.h"

enum class ScaleFilter { Off, Scale2x, Hq2x };

// Allocates and fills the hq2x lookup tables once, as the viewer's start-up does.
void PrepareFilterTables();
// out becomes 2 * width x 2 * height. Off doubles every pixel (nearest neighbour). The input
// is taken over and freed as soon as it is no longer needed, to lower the peak of memory.
void ScalePicture(Picture&& in, ScaleFilter filter, Picture* out);
