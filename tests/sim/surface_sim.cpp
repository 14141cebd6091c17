// The surface on the simulated desktop: its window is a simulated window with the class,
// caption, placement and style the real one gets, so the viewer's decisions can be tested.
// Threads do not run concurrently here: a started thread's procedure runs when it is waited
// for, which is what a test needs to stop a viewer deterministically.
#include "sim_desktop.h"
#include "window/dpi_awareness.h"
#include "window/framed_placement.h"
#include "window/surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

HWND surfaceWindow = nullptr;
// As the Win32 surface does: the screen saver is off while the surface is open.
bool screenSaverWasActive = false;

// The frame a captioned window without a sizing border adds around its client area.
constexpr int FrameWidth = 6;
constexpr int FrameHeight = 29;
constexpr LONG SurfaceStyle = 0x10CA0000; // visible, caption, system menu, minimise box

std::string ProgramName() {
    std::string name = Sim.modulePath.substr(Sim.modulePath.find_last_of('\\') + 1);
    return name.substr(0, name.find_last_of('.'));
}

// As the Win32 surface's window thread: per-monitor aware where Windows offers it, unless the
// player keeps the viewer unaware.
bool WindowThreadAware() {
    return SurfaceDpiAware() && Sim.dpiContextsOffered;
}

} // namespace

BOOL GetClientRect(HWND window, RECT* rect) {
    const bool framed = Sim.windows.count(window) && SimWindowOf(window).style & WS_CAPTION;
    if (!GetWindowRect(window, rect)) return FALSE;
    *rect = RECT{0, 0, rect->right - rect->left - (framed ? FrameWidth : 0),
                 rect->bottom - rect->top - (framed ? FrameHeight : 0)};
    return TRUE;
}

struct ThreadRecord {
    ThreadProcedure procedure;
    void* parameter;
};

void TakeSurfaceLock() {}
void SignalRowsMarked() {}
void* RowsMarkedEvent() {
    return nullptr;
}
void ReleaseSurfaceLock() {}

void SetSurfaceTitle(const char* title) {
    std::strncpy(Surface.title, title ? title : "", MaxSurfaceTitle);
    Surface.title[MaxSurfaceTitle] = '\0';
    if (surfaceWindow) SimWindowOf(surfaceWindow).caption = Surface.title;
}

int OpenSurface(int width, int height, int depth, int /*pages*/, std::uint32_t flags,
                int /*refreshRate*/) {
    if (width < 1 || height < 1 || SurfaceBytesPerPixelForDepth(depth) == 0) return 1;
    CloseSurface();
    if (Sim.failOpenSurface) return 1;
    if (!AllocateSurfaceState(width, height, depth, flags)) return 1;
    const std::string caption = Surface.title[0] ? Surface.title : ProgramName();
    // As the window thread places it: planned, created, its client area fitted.
    const RECT outer =
        FramedWindowOpening(width + FrameWidth, height + FrameHeight, SurfaceDpiAware());
    surfaceWindow = SimAddWindow(std::string("fbgfxclass_") + Surface.title, caption, outer,
                                 Sim.currentProcessId);
    SimWindowOf(surfaceWindow).style = SurfaceStyle | FramedSizingStyle();
    SimWindowOf(surfaceWindow).perMonitorAware = WindowThreadAware();
    FitFramedClient(surfaceWindow);
    Sim.foreground = surfaceWindow;
    screenSaverWasActive = Sim.screenSaverActive;
    Sim.screenSaverActive = false;
    Sim.calls.push_back("OpenSurface(" + std::to_string(width) + "," + std::to_string(height) +
                        "," + std::to_string(depth) + "," + std::to_string(flags) + ")");
    return 0;
}

int CloseSurface() {
    if (!Surface.open) return 0;
    Surface.lockCount = 0;
    ReleaseSurfaceState();
    if (surfaceWindow && Sim.windows.count(surfaceWindow)) SimRemoveWindow(surfaceWindow);
    surfaceWindow = nullptr;
    Sim.screenSaverActive = screenSaverWasActive;
    Sim.calls.push_back("CloseSurface");
    return 0;
}

int SurfaceGrid(int maxGrid) {
    return std::min(Sim.surfaceGrid, maxGrid);
}

const char* SurfacePresentRoad() {
    return "";
}

HWND__* SurfaceWindowHandle() {
    return Surface.open ? surfaceWindow : nullptr;
}

void HideMouse() {
    Surface.pointerVisible = false;
    Sim.calls.push_back("HideMouse");
}

ThreadRecord* StartThread(ThreadProcedure procedure, void* parameter, unsigned, ThreadCom) {
    Sim.calls.push_back("StartThread");
    return new ThreadRecord{procedure, parameter};
}

// The smooth pacing's waits end on the first microsecond of the performance counter at or
// after the deadline, as on a high-resolution timer.
void SleepUntil(double deadline) {
    Sim.calls.push_back("SleepUntil");
    const double endMs = std::ceil(deadline * 1e6) / 1e3;
    if (endMs > Sim.clockMs) SimAdvance(endMs - Sim.clockMs);
}

bool BeginTimerPeriod(UINT milliseconds) {
    return timeBeginPeriod(milliseconds) == TIMERR_NOERROR;
}

void EndTimerPeriod(UINT milliseconds) {
    timeEndPeriod(milliseconds);
}

void RaiseThreadForPacing() {
    Sim.calls.push_back("RaiseThreadForPacing");
}

void LowerThreadFromPacing() {
    Sim.calls.push_back("LowerThreadFromPacing");
}

void WaitThread(ThreadRecord* thread) {
    if (!thread) return;
    Sim.calls.push_back("WaitThread");
    thread->procedure(thread->parameter);
    delete thread;
}

void EndProgram(int exitCode) {
    CloseSurface();
    throw SimProgramEnd{exitCode};
}
