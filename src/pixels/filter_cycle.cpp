// Reading [display] filters= into the F8 cycle, and stepping through it.
#include "pixels/filter_table.h"
#include "platform/setting_text.h"

namespace {

int ModeNamed(std::string_view name) {
    for (int mode = 0; mode < FilterCount; ++mode)
        if (SameSettingWord(name, FilterTable[mode].key)) return mode;
    return -1;
}

bool Holds(const FilterCycle& cycle, int mode) {
    for (int i = 0; i < cycle.count; ++i)
        if (cycle.modes[i] == mode) return true;
    return false;
}

} // namespace

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

FilterCycle ReadFilterCycle(std::string_view value, std::vector<std::string>* logLines) {
    if (value.find_first_not_of(" \t\r\n,") == std::string_view::npos) return DefaultFilterCycle();
    FilterCycle cycle;
    cycle.modes[cycle.count++] = FilterOff;
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        const std::string_view name = TrimmedSetting(value.substr(0, comma));
        value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
        if (name.empty()) continue;
        const int mode = ModeNamed(name);
        if (mode < 0) {
            if (logLines)
                logLines->push_back("lumenpane.ini: unknown filter \"" + std::string(name) +
                                    "\" in filters in [display], left out");
        } else if (!Holds(cycle, mode)) {
            cycle.modes[cycle.count++] = FilterMode(mode);
        }
    }
    return cycle;
}
