// Scale3x: each source pixel becomes a 3x3 block from its eight neighbours, with the
// picture's edge pixels repeating beyond it. Colours are compared without their alpha byte;
// every output pixel is one of the source's pixels as it is.
#pragma once

#include "pixels/pixel_view.h"

// destination: 3 * width x 3 * height of the source (or larger: the rest is left alone).
void Scale3x(ConstPixelView source, PixelView destination);
