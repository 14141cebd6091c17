// Where PutImage and DrawText draw: an image, or the surface's frame buffer when the
// target image is null. Shared by the blit and the text code; no platform header.
#pragma once

#include "pixels/image.h"

#include <cstdint>

struct DrawTarget {
    std::uint8_t* pixels = nullptr; // row 0
    int width = 0;
    int height = 0;
    int pitch = 0;
    int bytesPerPixel = 0;
    bool frameBuffer = false; // rows written must be marked for presentation
};

// False while no surface is open: drawing then does nothing.
bool ResolveDrawTarget(Image* target, DrawTarget* out);
// Nearest integer, halves away from zero; false for a NaN. Huge values are clamped far
// outside any image so that later arithmetic cannot overflow.
bool RoundCoordinate(float value, long long* out);
// Marks rows first..last for presentation when the target is the frame buffer.
void MarkTargetRows(const DrawTarget& target, int first, int last);
