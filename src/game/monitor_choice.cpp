// The monitors present and the one the player's choice points at.
#include "game/monitor_choice.h"

#include "game/target_game.h"
#include "platform/primary_screen.h"
#include "window/dpi_awareness.h"

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

HMONITOR PrimaryOf(const std::vector<MonitorArea>& monitors) {
    for (const MonitorArea& m : monitors)
        if (m.primary) return m.handle;
    return monitors.front().handle;
}

} // namespace

std::vector<MonitorArea> SortedMonitors() {
    std::vector<MonitorArea> monitors;
    // Read per-monitor aware: the process is DPI-unaware, and an unaware thread sees a scaled
    // monitor smaller than it is and moved.
    const PerMonitorDpiScope realPixels;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) monitors.push_back(MonitorArea{nullptr, PrimaryScreenRect(), true});
    std::stable_sort(
        monitors.begin(), monitors.end(), [](const MonitorArea& a, const MonitorArea& b) {
            return a.rect.left != b.rect.left ? a.rect.left < b.rect.left : a.rect.top < b.rect.top;
        });
    return monitors;
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
