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

// The instruction sets the filter has routines for. Plain is the portable build's C++ code
// (the only level there); the other builds start with the best level the processor offers.
enum class Hq2xLevel { Plain, Sse2, Ssse3, Sse41, Avx2 };
// True when this build has the level's routines and the processor can run them.
bool Hq2xLevelAvailable(Hq2xLevel level);
Hq2xLevel Hq2xLevelInUse();
// For tests and benchmarks, before any filtering starts: switches to an available level;
// false (and nothing changed) for one that is not.
bool UseHq2xLevel(Hq2xLevel level);
const char* Hq2xLevelName(Hq2xLevel level);
