// Switching the viewer window between its framed placement and a borderless, topmost window
// over one whole monitor, and following display changes. Only the window changes: the surface keeps
// its 640x480 frame buffer and stretches it to the client area.
//
// The main thread switches once, a second after start-up, and the render thread on F6; a
// lock of its own (not the surface lock, which the window thread needs to answer these
// calls) keeps the two from interleaving. Switching into the mode the window is already in
// changes nothing, so the saved windowed placement is never overwritten by the full-screen
// one and never restored when nothing was saved.
#include "game/fullscreen.h"

#include "game/target_game.h"
#include "platform/load_time_lock.h"
#include "platform/primary_screen.h"
#include "window/dpi_awareness.h"
#include "window/framed_placement.h"
#include "window/surface.h"

#include <algorithm>

namespace {

// The viewer window's windowed placement, kept while it covers the screen. Written and read
// only under PlacementLock, by the thread that switches.
struct ViewerPlacementRecord {
    RECT rect{};
    // A window of the player's size (framed_placement.h): its size, place and maximised state.
    WINDOWPLACEMENT placement{};
    LONG style = 0;
    LONG exStyle = 0;
    HMONITOR monitor = nullptr;             // the monitor covered while full screen
    MonitorUse use = MonitorUse::GameStart; // what it was chosen for
};

ViewerPlacementRecord ViewerPlacement;
LoadTimeLock PlacementLock;

HWND Viewer() {
    return ViewerWindowHandle(TargetGame);
}

// The monitor's rectangle, or the primary screen where Windows tells of no monitor.
RECT AreaOf(HMONITOR monitor) {
    RECT area = PrimaryScreenRect();
    MonitorRect(monitor, &area);
    return area;
}

void CoverArea(const RECT& area, UINT flags) {
    SetWindowPos(Viewer(), HWND_TOPMOST, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, flags);
}

void EnterFullscreen(HMONITOR monitor) {
    const RECT area = AreaOf(monitor);
    ViewerPlacement.monitor = monitor;
    GetWindowRect(Viewer(), &ViewerPlacement.rect);
    ViewerPlacement.placement.length = sizeof ViewerPlacement.placement;
    if (FramedWindowResizable()) GetWindowPlacement(Viewer(), &ViewerPlacement.placement);
    ShowWindow(Viewer(), SW_HIDE);
    ViewerPlacement.style = GetWindowLongA(Viewer(), GWL_STYLE);
    ViewerPlacement.exStyle = GetWindowLongA(Viewer(), GWL_EXSTYLE);
    SetWindowLongA(Viewer(), GWL_STYLE, 0);
    SetWindowLongA(Viewer(), GWL_EXSTYLE, FullscreenExStyle);
    CoverArea(area, SWP_SHOWWINDOW);
    TargetGame.fullscreen = 1;
}

// A framed window no monitor shows any of moves onto the nearest one, its size kept.
void KeepFramedWindowOnAMonitor() {
    RECT area{}, now{};
    if (MonitorFromWindow(Viewer(), MONITOR_DEFAULTTONULL) ||
        !MonitorRect(MonitorFromWindow(Viewer(), MONITOR_DEFAULTTONEAREST), &area) ||
        !GetWindowRect(Viewer(), &now))
        return;
    const int width = now.right - now.left, height = now.bottom - now.top;
    const int left = std::max(area.left, std::min(now.left, area.right - width));
    const int top = std::max(area.top, std::min(now.top, area.bottom - height));
    SetWindowPos(Viewer(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// A window of the player's size gets its placement back after its styles, maximised where it
// was (a rectangle cannot restore that); a window of the frame's size its rectangle.
void LeaveFullscreen() {
    const RECT& rect = ViewerPlacement.rect;
    const bool placed = FramedWindowResizable();
    ShowWindow(Viewer(), SW_HIDE);
    SetWindowLongA(Viewer(), GWL_STYLE,
                   placed ? ViewerPlacement.style & ~(WS_MAXIMIZE | WS_MINIMIZE)
                          : ViewerPlacement.style);
    SetWindowLongA(Viewer(), GWL_EXSTYLE, ViewerPlacement.exStyle);
    SetWindowPos(Viewer(), HWND_NOTOPMOST, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top,
                 placed ? SWP_NOACTIVATE | SWP_FRAMECHANGED : SWP_SHOWWINDOW);
    if (placed) SetWindowPlacement(Viewer(), &ViewerPlacement.placement);
    KeepFramedWindowOnAMonitor(); // the saved placement's monitor may be gone meanwhile
    TargetGame.fullscreen = 0;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The player's rule applied anew after a display change, in the thread's own context as a
// switch applies it: a numbered monitor that came back (woken from power saving, plugged in
// again) is chosen again. Null for `game` chosen from the framed window: that monitor is
// found from the framed window's saved place, in the viewer window's context.
HMONITOR ChosenAgain() {
    if (ViewerMonitor.rule == MonitorRule::Game && ViewerPlacement.use == MonitorUse::FromWindow)
        return nullptr;
    return ChosenMonitor(MonitorUse::GameStart, nullptr);
}

void CoverMonitorAgain(HMONITOR chosen) {
    if (!chosen) chosen = MonitorFromRect(&ViewerPlacement.rect, MONITOR_DEFAULTTONEAREST);
    ViewerPlacement.monitor = chosen;
    const RECT area = AreaOf(chosen);
    RECT now{};
    GetWindowRect(Viewer(), &now);
    if (!SameRect(now, area)) CoverArea(area, SWP_NOACTIVATE);
}

} // namespace

void SetViewerFullscreen(std::uint8_t on, MonitorUse use) {
    if (TargetGame.running != 1) return;
    PlacementLock.Enter();
    const bool wantFullscreen = on == 1, isFullscreen = TargetGame.fullscreen == 1;
    if (TargetGame.running == 1 && wantFullscreen != isFullscreen) {
        // The monitor is found in the thread's own context (the game's), its rectangle read
        // and the window placed in the viewer window's.
        const HMONITOR monitor = wantFullscreen ? ChosenMonitor(use, Viewer()) : nullptr;
        const WindowDpiScope viewerContext(Viewer());
        if (wantFullscreen) {
            ViewerPlacement.use = use;
            EnterFullscreen(monitor);
        } else {
            LeaveFullscreen();
        }
    }
    PlacementLock.Leave();
}

void PlanFramedWindowHome() {
    // The primary screen by default, as without a choice.
    Surface.homeMonitor = ViewerMonitor.rule == MonitorRule::Primary
                              ? nullptr
                              : ChosenMonitor(MonitorUse::GameStart, nullptr);
}

void FollowDisplayChange() {
    if (!TakeDisplayChange() || TargetGame.running != 1) return;
    PlacementLock.Enter();
    const HMONITOR chosen = TargetGame.fullscreen == 1 ? ChosenAgain() : nullptr;
    {
        const WindowDpiScope viewerContext(Viewer());
        if (TargetGame.running == 1 && TargetGame.fullscreen == 1)
            CoverMonitorAgain(chosen);
        else if (TargetGame.running == 1)
            KeepFramedWindowOnAMonitor();
    }
    PlacementLock.Leave();
}

void ResetViewerPlacement() {
    PlacementLock.Enter();
    ViewerPlacement = ViewerPlacementRecord{};
    ViewerMonitor = MonitorChoice{};
    TakeDisplayChange();
    SetSurfaceDpiAware(true);
    SetFramedMultiple(1);
    PlacementLock.Leave();
}

int ReopenViewerSurface(int width, int height) {
    PlacementLock.Enter();
    const int result = OpenSurface(width, height, 32, 1, NoModeSwitch | AlphaPrimitives, 0);
    HideMouse();
    if (result == 0 && TargetGame.running == 1 && TargetGame.fullscreen == 1) {
        TargetGame.fullscreen = 0;
        const WindowDpiScope viewerContext(Viewer());
        EnterFullscreen(ViewerPlacement.monitor);
    }
    PlacementLock.Leave();
    return result;
}
