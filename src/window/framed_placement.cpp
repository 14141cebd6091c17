#include "window/framed_placement.h"

#include "platform/primary_screen.h"
#include "runtime/frame_buffer.h"
#include "window/dpi_awareness.h"

namespace {

int FloorHalf(int value) {
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

struct Corner {
    LONG x, y;
};

// The corner of a width x height rectangle centred on area.
Corner CentredCorner(const RECT& area, int width, int height) {
    return Corner{area.left + FloorHalf(area.right - area.left - width),
                  area.top + FloorHalf(area.bottom - area.top - height)};
}

} // namespace

RECT HomeMonitorArea(HMONITOR home) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (home && GetMonitorInfoA(home, &info)) return info.rcMonitor;
    return PrimaryScreenRect();
}

RECT FramedWindowOpening(int outerWidth, int outerHeight, bool windowAware) {
    RECT home{};
    if (windowAware) {
        const PerMonitorDpiScope realPixels;
        home = HomeMonitorArea(Surface.homeMonitor);
    } else {
        home = HomeMonitorArea(Surface.homeMonitor);
    }
    const Corner corner = CentredCorner(home, Surface.width, Surface.height);
    return RECT{corner.x, corner.y, corner.x + outerWidth, corner.y + outerHeight};
}

void FitFramedClient(HWND window, bool centre, UINT forcedDpi) {
    const WindowDpiScope windowContext(window);
    const bool aware = WindowPerMonitorAware(window);
    const UINT dpi = !aware ? 96 : forcedDpi ? forcedDpi : WindowDpi(window);
    const int width = ScaledLength(Surface.width, dpi), height = ScaledLength(Surface.height, dpi);
    RECT client{}, outer{};
    if (!GetClientRect(window, &client) || !GetWindowRect(window, &outer)) return;
    const int dw = width - (client.right - client.left);
    const int dh = height - (client.bottom - client.top);
    Corner corner{outer.left, outer.top};
    if (centre) corner = CentredCorner(HomeMonitorArea(Surface.homeMonitor), width, height);
    if (dw == 0 && dh == 0 && corner.x == outer.left && corner.y == outer.top) return;
    SetWindowPos(window, nullptr, corner.x, corner.y, outer.right - outer.left + dw,
                 outer.bottom - outer.top + dh, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FollowWindowDpi(HWND window, const RECT& suggested, UINT dpi) {
    {
        const WindowDpiScope windowContext(window);
        SetWindowPos(window, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FitFramedClient(window, false, dpi);
}
