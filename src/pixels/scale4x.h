// Scale2x with the picture's edge pixels repeating beyond it, and Scale4x: that Scale2x
// applied twice. Colours are compared without their alpha byte; every output pixel is one
// of the source's pixels as it is.
#pragma once

#include "pixels/pixel_view.h"

// destination: 2 * width x 2 * height of the source (or larger: the rest is left alone).
void Scale2xRepeatingEdges(ConstPixelView source, PixelView destination);
// destination: 4 * width x 4 * height; between: room for the 2 * width x 2 * height picture
// of the first step.
void Scale4x(ConstPixelView source, PixelView between, PixelView destination);
