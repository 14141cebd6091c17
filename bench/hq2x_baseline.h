// The hq2x routines as they were before the many-block routines (hq2x_baseline.cpp), for
// the benchmarks only; same arguments as Hq2xScale and Hq2xFrame.
#pragma once

#include <cstddef>
#include <cstdint>

void BaselineHq2xScale(const void* source, void* destination, int width, int height, int pitch);
void BaselineHq2xFrame(const std::uint32_t* source, std::size_t sourcePitch, int width, int height,
                       std::uint16_t* narrow, std::uint16_t* wide, std::size_t widePitch,
                       std::uint32_t* destination, std::size_t destinationPitch);
