// The pixel formats' rules shared by the images, the presentation and the filters: narrowing
// a colour to the pixel size, and widening 5- and 6-bit channels back to 8 bits.
#pragma once

#include <cstdint>

// Converts a 0xAARRGGBB colour to the pixel value of the given size (RGB565 for 2 bytes,
// the low byte for 1).
constexpr std::uint32_t PixelValueForSize(std::uint32_t colour, int bytesPerPixel) {
    switch (bytesPerPixel) {
    case 2:
        return ((colour & 0xF80000u) >> 8) | ((colour & 0xFC00u) >> 5) | ((colour & 0xF8u) >> 3);
    case 1:
        return colour & 0xFFu;
    default:
        return colour;
    }
}

// round(v * 255 / 31) and round(v * 255 / 63) in integers: the multipliers and offsets give
// the nearest integer for every 5-bit and 6-bit value (no quotient is a tie), and the
// products stay below 2^15 so 16-bit vector lanes can hold them.
constexpr std::uint32_t Widen5(std::uint32_t v) {
    return (v * 527 + 23) >> 6;
}
constexpr std::uint32_t Widen6(std::uint32_t v) {
    return (v * 259 + 33) >> 6;
}

static_assert(Widen5(31) == 255 && Widen5(16) == 132 && Widen6(63) == 255 && Widen6(32) == 130);
