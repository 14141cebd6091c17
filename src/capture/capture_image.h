// The capture image's rules, shared by both capture paths (printing the window here, or a
// frame from the helper inside the game): when the image is replaced, and how packed rows
// land in it.
#pragma once

#include "pixels/row_span.h"

#include <cstdint>

struct Image;

// Whether a capture image can take a w x h picture as it is (32-bit, exactly that size).
bool CaptureImageFits(const Image* image, int width, int height);
// Keeps the image when it fits, otherwise destroys it and makes a w x h 32-bit one.
// Returns 0 kept, 1 replaced, -1 no image could be made (image is then null).
int FitCaptureImage(Image*& image, int width, int height);
// Copies w x h pixels whose rows lie w x 4 bytes apart into the image's rows, at its pitch;
// returns the rows that differed from what the image held (every row is compared whole).
RowSpan CopyPackedRows(const std::uint8_t* pixels, int width, int height, Image* image);
