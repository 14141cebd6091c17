// Monitors of the simulated desktop: enumeration, their rectangles, and which one holds a
// rectangle or a window, as Windows decides it (the largest overlap, else nearest or none).
#include "sim_desktop.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

HMONITOR MonitorHandle(int id) {
    return reinterpret_cast<HMONITOR>(std::uintptr_t(0x7000 + id));
}

long long Overlap(const RECT& a, const RECT& b) {
    const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// The gap between two rectangles (0 when they touch or overlap), squared.
long long GapSquared(const RECT& a, const RECT& b) {
    const long long dx = std::max({0L, long(b.left - a.right), long(a.left - b.right)});
    const long long dy = std::max({0L, long(b.top - a.bottom), long(a.top - b.bottom)});
    return dx * dx + dy * dy;
}

} // namespace

std::vector<std::pair<HMONITOR, RECT>> SimMonitorList() {
    std::vector<std::pair<HMONITOR, RECT>> list;
    if (Sim.monitors.empty()) {
        list.emplace_back(MonitorHandle(1), RECT{0, 0, Sim.screenWidth, Sim.screenHeight});
        return list;
    }
    for (std::size_t i = 0; i < Sim.monitors.size(); ++i) {
        const SimMonitor& m = Sim.monitors[i];
        list.emplace_back(MonitorHandle(m.id ? m.id : int(i) + 1), m.rect);
    }
    return list;
}

BOOL EnumDisplayMonitors(HDC, const RECT*, MONITORENUMPROC callback, LPARAM data) {
    for (auto [handle, rect] : SimMonitorList())
        if (!callback(handle, nullptr, &rect, data)) break;
    return TRUE;
}

BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) {
    const auto list = SimMonitorList();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].first != monitor) continue;
        info->rcMonitor = info->rcWork = list[i].second;
        info->dwFlags = i == 0 ? MONITORINFOF_PRIMARY : 0;
        return TRUE;
    }
    return FALSE;
}

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) {
    const auto list = SimMonitorList();
    HMONITOR best = nullptr, nearest = nullptr;
    long long bestOverlap = 0, nearestGap = std::numeric_limits<long long>::max();
    for (const auto& [handle, area] : list) {
        if (Overlap(*rect, area) > bestOverlap) best = handle, bestOverlap = Overlap(*rect, area);
        if (GapSquared(*rect, area) < nearestGap)
            nearest = handle, nearestGap = GapSquared(*rect, area);
    }
    if (best) return best;
    if (flags == MONITOR_DEFAULTTONEAREST) return nearest;
    if (flags == MONITOR_DEFAULTTOPRIMARY) return list.front().first;
    return nullptr;
}

HMONITOR MonitorFromWindow(HWND window, DWORD flags) {
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        return flags == MONITOR_DEFAULTTONULL ? nullptr : SimMonitorList().front().first;
    return MonitorFromRect(&rect, flags);
}
