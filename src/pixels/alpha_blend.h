// Blending 32-bit pixels by the source pixel's own alpha byte.
//
// Each channel c (blue, green, red and alpha itself) of the target becomes
// (d + floor((s - d) * a / 256)) mod 256, with a the source's alpha. Only bits 8..15 of
// (s - d) * a matter for that, and those survive a 16-bit multiply, so two pixels fit in
// one 128-bit register as eight 16-bit lanes and the result is bit-identical to the
// per-channel formula.
#pragma once

#include <cstdint>

std::uint32_t BlendPixel(std::uint32_t source, std::uint32_t target);
// count pixels; source and target must not overlap.
void BlendRow(const std::uint32_t* source, std::uint32_t* target, int count);
