// How many F8 presses select the filter the starter's count names: the viewer's cycle as
// lumenpane.ini's [display] filters= lists it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// The length of the cycle a filters= value lists: off and each known name (platform/
// game_contract.h) once, unknown names ignored; 3 (off, scale2x, hq2x) for a value without
// names.
int CycleLengthOf(std::string_view filters);

// A count n >= 1 is pressed ((n - 1) mod length) + 1 times, so a huge count ends after at most
// one round; a count <= 0 is no press.
int PressesForCount(std::int32_t count, int cycleLength);

// The value of key in [section] of an INI text, read as Windows' profile functions read it:
// names without regard to case, the value trimmed of blanks; the first such key counts.
// Empty when there is none.
std::string IniValue(std::FILE* file, std::string_view section, std::string_view key);

// The cycle's length from the lumenpane.ini at path; 3 when it or the key is missing.
int ReadCycleLength(const std::string& path);
