// The table's lookups and the F8 cycle.
#include "pixels/filter_table.h"

#include "platform/game_contract.h"

#include <cstring>

namespace {

constexpr int DefaultCycleRows() {
    int count = 0;
    for (const FilterRow& row : FilterTable) count += row.inDefaultCycle ? 1 : 0;
    return count;
}
static_assert(DefaultCycleRows() == DefaultFilterCycleLength,
              "the starter counts its presses over the default cycle");
static_assert(FilterTable[FilterOff].readsDoubled && FilterTable[FilterOff].inDefaultCycle);

} // namespace

int FilterModeOfKey(const char* key) {
    for (int mode = 0; mode < FilterCount; ++mode)
        if (std::strcmp(FilterTable[mode].key, key) == 0) return mode;
    return -1;
}

FilterCycle DefaultFilterCycle() {
    FilterCycle cycle;
    for (int mode = 0; mode < FilterCount; ++mode)
        if (FilterTable[mode].inDefaultCycle) cycle.modes[cycle.count++] = FilterMode(mode);
    return cycle;
}

FilterMode NextFilterMode(const FilterCycle& cycle, FilterMode mode) {
    for (int i = 0; i < cycle.count; ++i)
        if (cycle.modes[i] == mode) return cycle.modes[(i + 1) % cycle.count];
    return cycle.count > 0 ? cycle.modes[0] : FilterOff;
}
