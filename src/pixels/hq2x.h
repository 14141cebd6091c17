// The hq2x filter on RGB565 pixels and its two lookup tables.
#pragma once

#include <cstdint>

// 65,536 entries each, indexed by an RGB565 value; allocated (zero-filled) by
// AllocateFilterTables and filled once by BuildFilterTables. Written only before the render
// thread starts; read-only afterwards.
extern std::uint32_t* Rgb565To888Table;
extern std::uint32_t* Rgb565ToYuvTable;

// Allocates each table that is missing, zero-filled; tables that exist are kept. False when
// either could not be allocated.
bool AllocateFilterTables();
// Fills the tables that were allocated; a missing table is left alone.
void BuildFilterTables();
// Both steps at once, for programs that only filter pictures: does nothing when both tables
// exist already. False when memory ran out.
bool MakeFilterTables();
// width x height source pixels, rows packed (2 * width bytes apart); destination rows
// pitch bytes apart (pitch = 4 * width).
void Hq2xScale(const void* source, void* destination, int width, int height, int pitch);
