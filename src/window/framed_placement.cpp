#include "window/framed_placement.h"

#include "platform/primary_screen.h"
#include "runtime/frame_buffer.h"
#include "window/dpi_awareness.h"

#include <algorithm>
#include <atomic>

namespace {

// The player's choice, the multiple the window opened at and the DPI its client area was last
// fitted for (threads: framed_placement.h).
struct FramedSizeRecord {
    std::atomic<int> multiple{1};
    int opened = 1;
    UINT fittedDpi = 96;
};

FramedSizeRecord FramedSize;

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

SIZE SizeOf(const RECT& r) {
    return SIZE{r.right - r.left, r.bottom - r.top};
}

bool SameSize(const SIZE& a, const SIZE& b) {
    return a.cx == b.cx && a.cy == b.cy;
}

// The DPI the client area is sized for: the window's own (or `dpi` where given) when it is
// per-monitor aware, 96 otherwise.
UINT ClientDpi(HWND window, UINT dpi = 0) {
    if (!WindowPerMonitorAware(window)) return 96;
    return dpi ? dpi : WindowDpi(window);
}

SIZE MultipleAt(int multiple, UINT dpi) {
    return SIZE{ScaledLength(multiple * Surface.openedWidth, dpi),
                ScaledLength(multiple * Surface.openedHeight, dpi)};
}

// The home monitor's work area (without the taskbar) as the calling thread sees it; the
// primary monitor's, which holds the desktop's origin, where none is set or it is gone.
RECT HomeWorkArea(HMONITOR home) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const RECT origin{0, 0, 1, 1};
    if (!home || !GetMonitorInfoA(home, &info))
        if (!GetMonitorInfoA(MonitorFromRect(&origin, MONITOR_DEFAULTTOPRIMARY), &info))
            return PrimaryScreenRect();
    return info.rcWork;
}

// The largest multiple, at least 1, whose client area with this frame around it fits the area.
int MostThatFit(const RECT& area, SIZE frame, UINT dpi) {
    const SIZE room = SizeOf(area);
    const auto fits = [&](int multiple) {
        const SIZE client = MultipleAt(multiple, dpi);
        return client.cx + frame.cx <= room.cx && client.cy + frame.cy <= room.cy;
    };
    int multiple = 1;
    while (fits(multiple + 1)) ++multiple;
    return multiple;
}

// Gives the window a client area of `size`, its outer corner at `corner`.
void PlaceClient(HWND window, const RECT& outer, const RECT& client, SIZE size, Corner corner) {
    const int dw = size.cx - (client.right - client.left);
    const int dh = size.cy - (client.bottom - client.top);
    if (dw == 0 && dh == 0 && corner.x == outer.left && corner.y == outer.top) return;
    SetWindowPos(window, nullptr, corner.x, corner.y, outer.right - outer.left + dw,
                 outer.bottom - outer.top + dh, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

RECT HomeMonitorArea(HMONITOR home) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (home && GetMonitorInfoA(home, &info)) return info.rcMonitor;
    return PrimaryScreenRect();
}

void SetFramedMultiple(int multiple) {
    FramedSize.multiple = multiple;
}

int FramedMultiple() {
    return FramedSize.multiple.load();
}

bool FramedWindowResizable() {
    return FramedMultiple() != 1;
}

LONG FramedSizingStyle() {
    return FramedWindowResizable() ? WS_THICKFRAME | WS_MAXIMIZEBOX : 0;
}

int FramedMultipleOpened() {
    return FramedSize.opened;
}

RECT FramedWindowOpening(int outerWidth, int outerHeight, bool windowAware) {
    RECT home{};
    if (windowAware) {
        const PerMonitorDpiScope realPixels;
        home = HomeMonitorArea(Surface.homeMonitor);
    } else {
        home = HomeMonitorArea(Surface.homeMonitor);
    }
    const Corner corner = CentredCorner(home, Surface.openedWidth, Surface.openedHeight);
    return RECT{corner.x, corner.y, corner.x + outerWidth, corner.y + outerHeight};
}

void FitFramedClient(HWND window) {
    const WindowDpiScope windowContext(window);
    const UINT dpi = ClientDpi(window);
    RECT client{}, outer{};
    if (!GetClientRect(window, &client) || !GetWindowRect(window, &outer)) return;
    int multiple = 1;
    SIZE size = MultipleAt(1, dpi);
    Corner corner = CentredCorner(HomeMonitorArea(Surface.homeMonitor), size.cx, size.cy);
    if (FramedWindowResizable()) {
        const RECT work = HomeWorkArea(Surface.homeMonitor);
        const SIZE outerSize = SizeOf(outer), clientSize = SizeOf(client);
        const SIZE frame{outerSize.cx - clientSize.cx, outerSize.cy - clientSize.cy};
        const int most = MostThatFit(work, frame, dpi);
        multiple =
            FramedMultiple() == LargestFramedMultiple ? most : std::min(FramedMultiple(), most);
        size = MultipleAt(multiple, dpi);
        corner = CentredCorner(work, size.cx + frame.cx, size.cy + frame.cy);
    }
    FramedSize.opened = multiple;
    FramedSize.fittedDpi = dpi;
    PlaceClient(window, outer, client, size, corner);
}

SIZE FramedClientForDpi(HWND window, UINT dpi) {
    const WindowDpiScope windowContext(window);
    RECT client{};
    GetClientRect(window, &client);
    const SIZE now = SizeOf(client);
    const UINT was = FramedSize.fittedDpi, next = ClientDpi(window, dpi);
    if (!FramedWindowResizable() || SameSize(now, MultipleAt(FramedSize.opened, was)))
        return MultipleAt(FramedSize.opened, next);
    const auto scaled = [&](LONG length) {
        return LONG((2LL * length * next + was) / (2LL * was));
    };
    return SIZE{scaled(now.cx), scaled(now.cy)};
}

void FollowWindowDpi(HWND window, const RECT& suggested, UINT dpi) {
    const SIZE size = FramedClientForDpi(window, dpi);
    const WindowDpiScope windowContext(window);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{}, outer{};
    if (GetClientRect(window, &client) && GetWindowRect(window, &outer))
        PlaceClient(window, outer, client, size, Corner{outer.left, outer.top});
    FramedSize.fittedDpi = ClientDpi(window, dpi);
}
