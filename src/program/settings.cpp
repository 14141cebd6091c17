// The keys of lumenpane.ini: each key's section, name, values and default in one table, and
// how a value read for it is understood.
#include "program/settings.h"

#include "platform/setting_text.h"
#include "window/framed_placement.h"

#include <algorithm>
#include <string_view>

namespace {

// A key whose value names one of a few choices; the first is the default.
struct ChoiceKey {
    const char* section;
    const char* key;
    std::vector<const char*> names;
    void (*store)(ViewerSettings& settings, int choice);
};

const ChoiceKey ChoiceKeys[] = {
    {"display",
     "fit",
     {"stretch", "aspect", "integer"},
     [](ViewerSettings& s, int choice) { s.fit = DisplayFit(choice); }},
    {"display",
     "scaling",
     {"nearest", "sharp"},
     [](ViewerSettings& s, int choice) { s.scaling = DisplayScaling(choice); }},
    {"display",
     "pacing",
     {"fixed", "smooth"},
     [](ViewerSettings& s, int choice) { s.pacing = Pacing(choice); }},
    {"display",
     "present",
     {"auto", "gdi"},
     [](ViewerSettings& s, int choice) {
         s.present = choice == 0 ? PresentSetting::Auto : PresentSetting::Gdi;
     }},
    {"display",
     "tearing",
     {"off", "allow"},
     [](ViewerSettings& s, int choice) { s.tearing = TearingSetting(choice); }},
    {"display",
     "meter",
     {"fps", "full"},
     [](ViewerSettings& s, int choice) { s.meter = Meter(choice); }},
    {"display",
     "dpi",
     {"aware", "unaware"},
     [](ViewerSettings& s, int choice) { s.dpiAware = choice == 0; }},
    {"display",
     "grid",
     {"2", "3", "4"},
     [](ViewerSettings& s, int choice) { s.grid = MinGrid + choice; }},
    {"keys",
     "screenshot",
     {"F9", "F11", "none"},
     [](ViewerSettings& s, int choice) { s.screenshotKey = ScreenshotKey(choice); }},
};
// A key whose value is a list, read by its own reader; its unknown entries are logged.
struct ListKey {
    const char* section;
    const char* key;
    void (*store)(ViewerSettings& settings, std::string_view value,
                  std::vector<std::string>* logLines);
};

const ListKey ListKeys[] = {
    {"display", "filters",
     [](ViewerSettings& s, std::string_view value, std::vector<std::string>* logLines) {
         s.filterCycle = ReadFilterCycle(value, logLines);
     }},
};
// [display] monitor= takes a number as well: primary (the default), game, or 1, 2 ...
constexpr const char* MonitorSection = "display";
constexpr const char* MonitorKey = "monitor";
const std::vector<const char*> MonitorNames = {"primary", "game"};
// [display] window= takes 1 (the default), 2 ... MostFramedMultiple, or largest.
constexpr const char* WindowSection = "display";
constexpr const char* WindowKey = "window";
const std::vector<const char*> WindowNames = {"1", "largest"};
constexpr int MostFramedMultiple = 8;

const ChoiceKey& KeyNamed(const char* key) {
    return *std::find_if(std::begin(ChoiceKeys), std::end(ChoiceKeys),
                         [key](const ChoiceKey& k) { return std::string_view(k.key) == key; });
}

// The index of the name `value` stands for, without regard to case or surrounding blanks.
// An empty value is the default; any other unknown value is the default too, and logLine
// (when given) receives one line naming it and the key; otherwise logLine is left empty.
int InterpretChoice(const char* section, const char* key, const char* value,
                    const std::vector<const char*>& names, std::string* logLine) {
    if (logLine) logLine->clear();
    const std::string_view text = TrimmedSetting(value ? value : "");
    if (text.empty()) return 0;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (SameSettingWord(text, names[i])) return int(i);
    if (logLine) {
        *logLine = "lumenpane.ini: unknown ";
        *logLine += key;
        *logLine += " \"";
        *logLine += text;
        *logLine += "\" in [";
        *logLine += section;
        *logLine += "], using ";
        *logLine += names[0];
    }
    return 0;
}

int InterpretChoiceKey(const char* key, const char* value, std::string* logLine) {
    const ChoiceKey& k = KeyNamed(key);
    return InterpretChoice(k.section, k.key, value, k.names, logLine);
}

// A whole number 1..999 with nothing else but blanks around it; 0 otherwise.
int WholeNumber(const char* value) {
    const std::string_view text = TrimmedSetting(value ? value : "");
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::stoi(std::string(text));
}

std::string MonitorLine(int number, const RECT& r) {
    return "lumenpane.ini: monitor " + std::to_string(number) + " is " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + " at (" +
           std::to_string(r.left) + "," + std::to_string(r.top) + ")";
}

} // namespace

DisplayFit InterpretFitValue(const char* value, std::string* logLine) {
    return DisplayFit(InterpretChoiceKey("fit", value, logLine));
}

DisplayScaling InterpretScalingValue(const char* value, std::string* logLine) {
    return DisplayScaling(InterpretChoiceKey("scaling", value, logLine));
}

Pacing InterpretPacingValue(const char* value, std::string* logLine) {
    return Pacing(InterpretChoiceKey("pacing", value, logLine));
}

int InterpretWindowValue(const char* value, std::string* logLine) {
    const int number = WholeNumber(value);
    if (number >= 2 && number <= MostFramedMultiple) {
        if (logLine) logLine->clear();
        return number;
    }
    const int index = InterpretChoice(WindowSection, WindowKey, value, WindowNames, logLine);
    return index == 1 ? LargestFramedMultiple : 1;
}

std::string WindowBeyondWorkAreaLine(int asked, int opened) {
    if (asked == LargestFramedMultiple || opened >= asked) return {};
    return "lumenpane.ini: window " + std::to_string(asked) + " in [" + WindowSection +
           "] does not fit the work area of its monitor, using largest (" + std::to_string(opened) +
           ")";
}

MonitorChoice InterpretMonitorValue(const char* value, const std::vector<MonitorArea>& monitors,
                                    std::vector<std::string>* logLines) {
    if (logLines) logLines->clear();
    const int number = WholeNumber(value);
    if (number >= 1 && number <= int(monitors.size())) return {MonitorRule::Number, number};
    std::string line; // a number no monitor has is named as an unknown value is
    const int index = InterpretChoice(MonitorSection, MonitorKey, value, MonitorNames, &line);
    if (number == 0 && line.empty())
        return {index == 1 ? MonitorRule::Game : MonitorRule::Primary, 0};
    if (logLines) {
        logLines->push_back(line);
        for (std::size_t i = 0; i < monitors.size(); ++i)
            logLines->push_back(MonitorLine(int(i) + 1, monitors[i].rect));
    }
    return {};
}

ViewerSettings InterpretSettings(SettingReader read, void* context,
                                 const std::vector<MonitorArea>& monitors,
                                 std::vector<std::string>* logLines) {
    ViewerSettings settings;
    std::string line;
    for (const ChoiceKey& k : ChoiceKeys) {
        const std::string value = read(k.section, k.key, context);
        k.store(settings, InterpretChoice(k.section, k.key, value.c_str(), k.names, &line));
        if (!line.empty() && logLines) logLines->push_back(line);
    }
    for (const ListKey& k : ListKeys) k.store(settings, read(k.section, k.key, context), logLines);
    settings.window = InterpretWindowValue(read(WindowSection, WindowKey, context).c_str(), &line);
    if (!line.empty() && logLines) logLines->push_back(line);
    std::vector<std::string> monitorLines;
    settings.monitor = InterpretMonitorValue(read(MonitorSection, MonitorKey, context).c_str(),
                                             monitors, &monitorLines);
    if (logLines) logLines->insert(logLines->end(), monitorLines.begin(), monitorLines.end());
    return settings;
}
