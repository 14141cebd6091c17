// Row conversions between 32-bit 0xAARRGGBB pixels and 16-bit RGB565.
#pragma once

#include <cstdint>

// Truncating narrowing, two pixels per step; an odd count leaves the last pixel unwritten.
void ConvertRowTo565(const void* source, void* destination, std::uint32_t count);
// Rounded widening (channel * 255 / max, to nearest), alpha 0xFF; count <= 0 does nothing.
void ConvertRowFrom565(const void* source, void* destination, std::int32_t count);
