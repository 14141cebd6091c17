// Switching the viewer window between its framed placement and a borderless, topmost window
// over the whole screen. Only the window changes: the surface keeps its 640x480 frame buffer
// and stretches it to the client area.
//
// The main thread switches once, a second after start-up, and the render thread on F6; a
// lock of its own (not the surface lock, which the window thread needs to answer these
// calls) keeps the two from interleaving. Switching into the mode the window is already in
// changes nothing, so the saved windowed placement is never overwritten by the full-screen
// one and never restored when nothing was saved.
#include "viewer/lifecycle/game/fullscreen.h"

#include "platform/load_time_lock.h"
#include "viewer/lifecycle/game/target_game.h"
#include "viewer/surface/surface.h"

namespace {

// The viewer window's windowed placement, kept while it covers the screen. Written and read
// only under PlacementLock, by the thread that switches.
struct ViewerPlacementRecord {
    RECT rect{};
    LONG style = 0;
    LONG exStyle = 0;
};

ViewerPlacementRecord ViewerPlacement;
LoadTimeLock PlacementLock;

HWND Viewer() {
    return ViewerWindowHandle(TargetGame);
}

void EnterFullscreen() {
    GetWindowRect(Viewer(), &ViewerPlacement.rect);
    ShowWindow(Viewer(), SW_HIDE);
    ViewerPlacement.style = GetWindowLongA(Viewer(), GWL_STYLE);
    ViewerPlacement.exStyle = GetWindowLongA(Viewer(), GWL_EXSTYLE);
    SetWindowLongA(Viewer(), GWL_STYLE, 0);
    SetWindowLongA(Viewer(), GWL_EXSTYLE, FullscreenExStyle);
    SetWindowPos(Viewer(), HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), SWP_SHOWWINDOW);
    TargetGame.fullscreen = 1;
}

void LeaveFullscreen() {
    const RECT& rect = ViewerPlacement.rect;
    ShowWindow(Viewer(), SW_HIDE);
    SetWindowLongA(Viewer(), GWL_STYLE, ViewerPlacement.style);
    SetWindowLongA(Viewer(), GWL_EXSTYLE, ViewerPlacement.exStyle);
    SetWindowPos(Viewer(), HWND_NOTOPMOST, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_SHOWWINDOW);
    TargetGame.fullscreen = 0;
}

} // namespace

void SetViewerFullscreen(std::uint8_t on) {
    if (TargetGame.running != 1) return;
    PlacementLock.Enter();
    const bool wantFullscreen = on == 1, isFullscreen = TargetGame.fullscreen == 1;
    if (TargetGame.running == 1 && wantFullscreen != isFullscreen) {
        if (wantFullscreen)
            EnterFullscreen();
        else
            LeaveFullscreen();
    }
    PlacementLock.Leave();
}

void ResetViewerPlacement() {
    PlacementLock.Enter();
    ViewerPlacement = ViewerPlacementRecord{};
    PlacementLock.Leave();
}

int ReopenViewerSurface(int width, int height) {
    PlacementLock.Enter();
    const int result = OpenSurface(width, height, 32, 1, NoModeSwitch | AlphaPrimitives, 0);
    HideMouse();
    if (result == 0 && TargetGame.running == 1 && TargetGame.fullscreen == 1) {
        TargetGame.fullscreen = 0;
        EnterFullscreen();
    }
    PlacementLock.Leave();
    return result;
}
