// The filters F8 steps through, as [display] filters= lists them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The cycle when the key is missing or empty.
constexpr const char* DefaultFilterCycle = "off, scale2x, hq2x";
constexpr int MostCycleFilters = 16;

// Threads. Made once from the settings before the render thread starts, read-only after.
// Filters are indices into the filter names the cycle was read with; the first is 0 (off).
struct FilterCycle {
    int filters[MostCycleFilters] = {0};
    int length = 1;

    // The filter after `current`; the first (off) when current is not in the cycle.
    int Next(int current) const;
};

// Reads a comma-separated list of filter names (names[0] is off), case and blanks ignored,
// each name counted once, off put first when missing; a list without names is DefaultFilterCycle.
// An unknown name is left out, and logLines (when given) receives one line naming it.
FilterCycle ReadFilterCycle(std::string_view value, const std::vector<const char*>& names,
                            std::vector<std::string>* logLines);
