// The hq2x frame sequence that the viewer, lumenpane-scale and the benchmarks share: the
// 32-bit picture narrowed to RGB565, filtered as Hq2xScale does and the doubled picture
// widened back, row by row. The lookup tables must be filled (hq2x.h).
#pragma once

#include <cstddef>
#include <cstdint>

// source: width x height 32-bit pixels, rows sourcePitch bytes apart. narrow: room for
// width x height RGB565 pixels, rows packed. wide: scratch, two rows of 2 * width RGB565
// pixels, widePitch bytes apart. destination: 2 * width x 2 * height 32-bit pixels, rows
// destinationPitch bytes apart. A width of 1 or an odd width is fine.
void Hq2xFrame(const std::uint32_t* source, std::size_t sourcePitch, int width, int height,
               std::uint16_t* narrow, std::uint16_t* wide, std::size_t widePitch,
               std::uint32_t* destination, std::size_t destinationPitch);
