// The viewer's filters as one table: a row per filter with its names (overlay, settings,
// screenshots, pass timings and lumenpane-scale), whether it reads the game's doubled
// picture, and its pass at each grid. The F8 cycle, the frame step, the pass timings, the
// screenshots and the tool read the table; a new filter is one row.
#pragma once

#include "pixels/filter_work.h"
#include "pixels/pixel_view.h"
#include "pixels/simd_level.h"

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

// One filter's pass from its source picture to the frame. source: the game's doubled picture
// for a filter that reads it (the frame's part beyond it is left alone), else the single-size
// picture; destination: grid times the single-size picture. work: prepared for the source's
// size (the single-size one) and the grid. False when the filter could not draw (tables
// missing).
using FilterPass = bool (*)(ConstPixelView source, PixelView destination, FilterWork& work);

struct FilterRow {
    const char* key;                  // settings and lumenpane-scale --filter: "scale2x"
    const char* names[GridCount];     // overlay and pass timings at each grid: "Scale4x"
    const char* fileNames[GridCount]; // screenshot names at each grid: "scale4x"
    bool readsDoubled;                // the game's doubled picture (F5 switches to it)
    bool inDefaultCycle;              // in F8's cycle unless lumenpane.ini lists others
    bool usesHq2xTables;              // needs hq2x's lookup tables filled
    FilterPass passes[GridCount];     // at each grid
    bool (*useLevel)(SimdLevel);      // the pass's instruction-set level (null: one level)
    SimdLevel (*levelInUse)();
};

bool OffPass2(ConstPixelView, PixelView, FilterWork&);
bool OffPass3(ConstPixelView, PixelView, FilterWork&);
bool OffPass4(ConstPixelView, PixelView, FilterWork&);
bool Scale2xPass(ConstPixelView, PixelView, FilterWork&);
bool Scale3xPass(ConstPixelView, PixelView, FilterWork&);
bool Scale4xPass(ConstPixelView, PixelView, FilterWork&);
bool UseScaleLevel(SimdLevel level); // Scale3x's and Scale4x's level (grid 2 has one level)
SimdLevel ScaleLevelInUse();
bool Hq2xPass2(ConstPixelView, PixelView, FilterWork&);
bool Hq2xPass3(ConstPixelView, PixelView, FilterWork&);
bool Hq2xPass4(ConstPixelView, PixelView, FilterWork&);
bool UseHq2xLevel(SimdLevel level);
SimdLevel Hq2xLevelInUse();
bool MmpxPass2(ConstPixelView, PixelView, FilterWork&);
bool MmpxPass3(ConstPixelView, PixelView, FilterWork&);
bool MmpxPass4(ConstPixelView, PixelView, FilterWork&);
bool UseMmpxLevel(SimdLevel level);
SimdLevel MmpxLevelInUse();

// The filter modes are the rows' places; Off comes first.
enum FilterMode : std::int32_t { FilterOff = 0, FilterScale2x = 1, FilterHq2x = 2, FilterMmpx = 3 };

inline constexpr FilterRow FilterTable[] = {
    {"off",
     {"Off", "Off", "Off"},
     {"off", "off", "off"},
     true,
     true,
     false,
     {OffPass2, OffPass3, OffPass4},
     nullptr,
     nullptr},
    {"scale2x",
     {"Scale2x", "Scale3x", "Scale4x"},
     {"scale2x", "scale3x", "scale4x"},
     false,
     true,
     false,
     {Scale2xPass, Scale3xPass, Scale4xPass},
     UseScaleLevel,
     ScaleLevelInUse},
    {"hq2x",
     {"hq2x", "hq2x", "hq2x"},
     {"hq2x", "hq2x", "hq2x"},
     false,
     true,
     true,
     {Hq2xPass2, Hq2xPass3, Hq2xPass4},
     UseHq2xLevel,
     Hq2xLevelInUse},
    {"mmpx",
     {"MMPX", "MMPX", "MMPX"},
     {"mmpx", "mmpx", "mmpx"},
     false,
     false,
     false,
     {MmpxPass2, MmpxPass3, MmpxPass4},
     UseMmpxLevel,
     MmpxLevelInUse},
};
constexpr int FilterCount = int(std::size(FilterTable));

// The row of a mode; a mode outside the table counts as Off.
inline const FilterRow& FilterRowOf(int mode) {
    return FilterTable[mode >= 0 && mode < FilterCount ? mode : FilterOff];
}
// The place of a grid in a row's arrays; grids outside MinGrid..MaxGrid count as MinGrid.
constexpr int GridIndex(int grid) {
    return grid >= MinGrid && grid <= MaxGrid ? grid - MinGrid : 0;
}
// The mode whose key is `key` (exactly), or -1.
int FilterModeOfKey(const char* key);

// The F8 cycle: the modes in the order F8 runs through them, Off first.
struct FilterCycle {
    FilterMode modes[FilterCount] = {};
    int count = 0;
};
// The rows in the default cycle, in the table's order.
FilterCycle DefaultFilterCycle();
// The mode after `mode` in the cycle (the first one when `mode` is not in it).
FilterMode NextFilterMode(const FilterCycle& cycle, FilterMode mode);
// The cycle a comma-separated list of keys names (filter_cycle.cpp): case and blanks ignored,
// each key counted once, Off put first when missing; a list without names is the default
// cycle. An unknown name is left out, and logLines (when given) receives one line naming it.
FilterCycle ReadFilterCycle(std::string_view value, std::vector<std::string>* logLines);
