// Reading [display] filters= into the F8 cycle, and stepping through it.
#include "frame/filter_cycle.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

int IndexOf(std::string_view name, const std::vector<const char*>& names) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (SameLetters(name, names[i])) return int(i);
    return -1;
}

bool Holds(const FilterCycle& cycle, int filter) {
    for (int i = 0; i < cycle.length; ++i)
        if (cycle.filters[i] == filter) return true;
    return false;
}

} // namespace

int FilterCycle::Next(int current) const {
    for (int i = 0; i < length; ++i)
        if (filters[i] == current) return filters[(i + 1) % length];
    return filters[0];
}

FilterCycle ReadFilterCycle(std::string_view value, const std::vector<const char*>& names,
                            std::vector<std::string>* logLines) {
    if (value.find_first_not_of(" \t\r\n,") == std::string_view::npos) value = DefaultFilterCycle;
    FilterCycle cycle; // off, first
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        const std::string_view name = Trimmed(value.substr(0, comma));
        value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
        if (name.empty()) continue;
        const int filter = IndexOf(name, names);
        if (filter < 0) {
            if (logLines)
                logLines->push_back("lumenpane.ini: unknown filter \"" + std::string(name) +
                                    "\" in filters in [display], left out");
        } else if (!Holds(cycle, filter) && cycle.length < MostCycleFilters) {
            cycle.filters[cycle.length++] = filter;
        }
    }
    return cycle;
}
