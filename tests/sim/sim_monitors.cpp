// Monitors of the simulated desktop: enumeration, their rectangles, which one holds a
// rectangle or a window, as Windows decides it (the largest overlap, else nearest or none),
// and DPI virtualisation: one conversion rule per thread context and monitor.
#include "sim_desktop.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

thread_local bool ThreadAware = false;

struct Monitor {
    HMONITOR handle;
    RECT rect; // real pixels
    UINT dpi;
};

HMONITOR MonitorHandle(int id) {
    return reinterpret_cast<HMONITOR>(std::uintptr_t(0x7000 + id));
}

std::vector<Monitor> Monitors() {
    std::vector<Monitor> list;
    if (Sim.monitors.empty())
        list.push_back(
            Monitor{MonitorHandle(1), RECT{0, 0, Sim.screenWidth, Sim.screenHeight}, 96});
    for (std::size_t i = 0; i < Sim.monitors.size(); ++i) {
        const SimMonitor& m = Sim.monitors[i];
        list.push_back(Monitor{MonitorHandle(m.id ? m.id : int(i) + 1), m.rect, m.dpi});
    }
    return list;
}

LONG Scale(LONG value, UINT numerator, UINT denominator) {
    return LONG(std::lround(double(value) * numerator / denominator));
}

RECT ScaleRect(const RECT& r, UINT numerator, UINT denominator) {
    return RECT{Scale(r.left, numerator, denominator), Scale(r.top, numerator, denominator),
                Scale(r.right, numerator, denominator), Scale(r.bottom, numerator, denominator)};
}

RECT InSpace(const Monitor& m, bool aware) {
    return aware ? m.rect : ScaleRect(m.rect, 96, m.dpi);
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

// The monitor holding the larger part of rect as a thread of this awareness sees both
// (index into list), or the nearest; -1 with no overlap when nearest is not wanted.
int Holding(const std::vector<Monitor>& list, const RECT& rect, bool aware, bool nearest) {
    int best = -1, closest = 0;
    long long bestOverlap = 0, closestGap = std::numeric_limits<long long>::max();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const RECT area = InSpace(list[i], aware);
        if (Overlap(rect, area) > bestOverlap) best = int(i), bestOverlap = Overlap(rect, area);
        if (GapSquared(rect, area) < closestGap)
            closest = int(i), closestGap = GapSquared(rect, area);
    }
    return best >= 0 ? best : nearest ? closest : -1;
}

} // namespace

bool SimThreadPerMonitorAware() {
    return ThreadAware;
}

void SimSetThreadPerMonitorAware(bool aware) {
    ThreadAware = aware;
}

RECT SimConvertRect(const RECT& rect, bool fromAware, bool toAware) {
    if (fromAware == toAware) return rect;
    const std::vector<Monitor> list = Monitors();
    const Monitor& m = list[std::size_t(Holding(list, rect, fromAware, true))];
    return toAware ? ScaleRect(rect, m.dpi, 96) : ScaleRect(rect, 96, m.dpi);
}

UINT SimMonitorDpi(HMONITOR monitor) {
    for (const Monitor& m : Monitors())
        if (m.handle == monitor) return m.dpi;
    return 96;
}

std::vector<std::pair<HMONITOR, RECT>> SimMonitorList() {
    std::vector<std::pair<HMONITOR, RECT>> list;
    for (const Monitor& m : Monitors()) list.emplace_back(m.handle, InSpace(m, ThreadAware));
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
        if (i < Sim.monitors.size() && Sim.monitors[i].work.right) // real pixels, converted
            info->rcWork = SimConvertRect(Sim.monitors[i].work, true, ThreadAware);
        info->dwFlags = i == 0 ? MONITORINFOF_PRIMARY : 0;
        return TRUE;
    }
    return FALSE;
}

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags) {
    const std::vector<Monitor> list = Monitors();
    int index = Holding(list, *rect, ThreadAware, flags == MONITOR_DEFAULTTONEAREST);
    if (index < 0 && flags == MONITOR_DEFAULTTOPRIMARY) index = 0;
    return index < 0 ? nullptr : list[std::size_t(index)].handle;
}

HMONITOR MonitorFromWindow(HWND window, DWORD flags) {
    const auto w = Sim.windows.find(window);
    const std::vector<Monitor> list = Monitors();
    if (w == Sim.windows.end())
        return flags == MONITOR_DEFAULTTONULL ? nullptr : list.front().handle;
    int index =
        Holding(list, w->second.rect, w->second.perMonitorAware, flags == MONITOR_DEFAULTTONEAREST);
    if (index < 0 && flags == MONITOR_DEFAULTTOPRIMARY) index = 0;
    return index < 0 ? nullptr : list[std::size_t(index)].handle;
}
