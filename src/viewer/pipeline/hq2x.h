// The hq2x filter on RGB565 pixels and its two lookup tables.
#pragma once

#include <cstdint>

// 65,536 entries each, indexed by an RGB565 value; allocated by the viewer's start-up
// (zero-filled) and filled once by BuildFilterTables.
extern std::uint32_t* Rgb565To888Table;
extern std::uint32_t* Rgb565ToYuvTable;

void BuildFilterTables();
// width x height source pixels, rows packed (2 * width bytes apart); destination rows
// pitch bytes apart (pitch = 4 * width).
void Hq2xScale(const void* source, void* destination, int width, int height, int pitch);
