// The monitors present and the one the player's choice points at.
#include "viewer/lifecycle/game/monitor_choice.h"

#include "platform/primary_screen.h"
#include "viewer/lifecycle/game/target_game.h"
#include "viewer/surface/setting_choice.h"

#include <algorithm>

MonitorChoice ViewerMonitor;

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, RECT*, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info))
        reinterpret_cast<std::vector<MonitorArea>*>(data)->push_back(
            MonitorArea{monitor, info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

// A whole number 1..999 with nothing else but blanks around it; 0 otherwise.
int WholeNumber(const char* value) {
    std::string text = value ? value : "";
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return 0;
    text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::stoi(text);
}

std::string MonitorLine(int number, const RECT& r) {
    return "lumenpane.ini: monitor " + std::to_string(number) + " is " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + " at (" +
           std::to_string(r.left) + "," + std::to_string(r.top) + ")";
}

HMONITOR PrimaryOf(const std::vector<MonitorArea>& monitors) {
    for (const MonitorArea& m : monitors)
        if (m.primary) return m.handle;
    return monitors.front().handle;
}

} // namespace

std::vector<MonitorArea> SortedMonitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) monitors.push_back(MonitorArea{nullptr, PrimaryScreenRect(), true});
    std::stable_sort(
        monitors.begin(), monitors.end(), [](const MonitorArea& a, const MonitorArea& b) {
            return a.rect.left != b.rect.left ? a.rect.left < b.rect.left : a.rect.top < b.rect.top;
        });
    return monitors;
}

MonitorChoice InterpretMonitorValue(const char* value, const std::vector<MonitorArea>& monitors,
                                    std::vector<std::string>* logLines) {
    static constexpr const char* Names[] = {"primary", "game"};
    if (logLines) logLines->clear();
    const int number = WholeNumber(value);
    if (number >= 1 && number <= int(monitors.size())) return {MonitorRule::Number, number};
    std::string line; // a number no monitor has is named as an unknown value is
    const int index = InterpretSettingChoice("monitor", value, Names, &line);
    if (number == 0 && line.empty())
        return {index == 1 ? MonitorRule::Game : MonitorRule::Primary, 0};
    if (logLines) {
        logLines->push_back(line);
        for (std::size_t i = 0; i < monitors.size(); ++i)
            logLines->push_back(MonitorLine(int(i) + 1, monitors[i].rect));
    }
    return {};
}

HMONITOR ChosenMonitor(MonitorUse use, HWND framedWindow) {
    const std::vector<MonitorArea> monitors = SortedMonitors();
    switch (ViewerMonitor.rule) {
    case MonitorRule::Game:
        if (use == MonitorUse::FromWindow && framedWindow)
            return MonitorFromWindow(framedWindow, MONITOR_DEFAULTTONEAREST);
        return MonitorFromRect(&TargetGame.savedRect, MONITOR_DEFAULTTONEAREST);
    case MonitorRule::Number:
        if (ViewerMonitor.number <= int(monitors.size()))
            return monitors[std::size_t(ViewerMonitor.number - 1)].handle;
        return PrimaryOf(monitors);
    case MonitorRule::Primary:
        break;
    }
    return PrimaryOf(monitors);
}

bool MonitorRect(HMONITOR monitor, RECT* rect) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoA(monitor, &info)) {
        *rect = info.rcMonitor;
        return true;
    }
    return false;
}
