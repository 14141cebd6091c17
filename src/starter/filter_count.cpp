// The starter's count over the viewer's filter cycle.
#include "starter/filter_count.h"

#include "platform/game_contract.h"
#include "platform/program_files.h"
#include "platform/setting_text.h"

#include <iterator>

namespace {} // namespace

int CycleLengthOf(std::string_view filters) {
    if (filters.find_first_not_of(" \t\r\n,") == std::string_view::npos)
        return DefaultFilterCycleLength;
    bool listed[std::size(CycleFilterNames)] = {};
    listed[0] = true; // off comes first whether listed or not
    while (!filters.empty()) {
        const std::size_t comma = filters.find(',');
        const std::string_view name = TrimmedSetting(filters.substr(0, comma));
        filters = comma == std::string_view::npos ? std::string_view() : filters.substr(comma + 1);
        for (std::size_t i = 0; i < std::size(CycleFilterNames); ++i)
            if (SameSettingWord(name, CycleFilterNames[i])) listed[i] = true;
    }
    int length = 0;
    for (bool known : listed) length += known ? 1 : 0;
    return length;
}

int PressesForCount(std::int32_t count, int cycleLength) {
    return count > 0 && cycleLength > 0 ? int((count - 1) % cycleLength) + 1 : 0;
}

std::string IniValue(std::FILE* file, std::string_view section, std::string_view key) {
    bool inSection = false;
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, file)) {
        const std::string_view line = TrimmedSetting(buffer);
        if (!line.empty() && line.front() == '[') {
            const std::size_t end = line.find(']');
            inSection = end != std::string_view::npos &&
                        SameSettingWord(TrimmedSetting(line.substr(1, end - 1)), section);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inSection && equals != std::string_view::npos &&
            SameSettingWord(TrimmedSetting(line.substr(0, equals)), key))
            return std::string(TrimmedSetting(line.substr(equals + 1)));
    }
    return {};
}

int ReadCycleLength(const std::string& path) {
    std::FILE* file = OpenFileAt(path, "rb");
    if (!file) return DefaultFilterCycleLength;
    const std::string filters = IniValue(file, "display", "filters");
    std::fclose(file);
    return CycleLengthOf(filters);
}
