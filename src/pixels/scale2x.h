// The Scale2x filter on 32-bit pixels.
//
// The source is read as one run of pixels in row order: the left neighbour of a pixel in
// column 0 is the last pixel of the row above, the right neighbour of the last pixel in a
// row is the first pixel of the next one. The top row stands in for the row above itself,
// the bottom row for the row below itself, and the image's last pixel for its own right
// neighbour; pixel (0, 0) is copied four times. Nothing outside the source is read.
#pragma once

#include <cstdint>

// width x height source pixels, rows packed; destination rows destinationPitch bytes apart.
void Scale2x(const std::uint32_t* source, std::uint32_t* destination, int width, int height,
             int destinationPitch);
// The viewer's fixed size: 320x240 into 640x480 with rows 2560 bytes apart.
void Scale2xFrame(const void* source, void* destination);
