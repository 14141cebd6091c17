// The table's lookups and the F8 cycle.
#include "pixels/filter_table.h"

#include "platform/game_contract.h"

#include <cstring>
#include <string_view>

namespace {

constexpr int DefaultCycleRows() {
    int count = 0;
    for (const FilterRow& row : FilterTable) count += row.inDefaultCycle ? 1 : 0;
    return count;
}
static_assert(DefaultCycleRows() == DefaultFilterCycleLength,
              "the starter counts its presses over the default cycle");
static_assert(FilterTable[FilterOff].readsDoubled && FilterTable[FilterOff].inDefaultCycle);

// The starter knows the filters by the keys the viewer's lumenpane.ini lists.
constexpr bool KeysAreTheStartersNames() {
    if (std::size(CycleFilterNames) != std::size_t(FilterCount)) return false;
    for (int mode = 0; mode < FilterCount; ++mode)
        if (std::string_view(FilterTable[mode].key) != CycleFilterNames[mode]) return false;
    return true;
}
static_assert(KeysAreTheStartersNames(), "the starter's filter names are the table's keys");

} // namespace

int FilterModeOfKey(const char* key) {
    for (int mode = 0; mode < FilterCount; ++mode)
        if (std::strcmp(FilterTable[mode].key, key) == 0) return mode;
    return -1;
}
