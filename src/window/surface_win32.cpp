// The surface as a Win32 window: opening and closing it, its title, the pointer, the screen
// saver while it is open, and ending the program with the surface closed. The window itself
// belongs to the window thread (window_thread_win32.cpp); the rules for who may touch what
// stand in surface_win32.h.
#include "window/surface_win32.h"

#include "window/surface.h"

#include <cstdlib>
#include <cstring>

WindowRecord Win;

HINSTANCE ProgramInstance() {
    return GetModuleHandleA(nullptr);
}

std::string ProgramName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

namespace {

void DisableScreenSaver() {
    Win.screenSaverWasActive = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &Win.screenSaverWasActive, 0);
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
}

void RestoreScreenSaver() {
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, UINT(Win.screenSaverWasActive), nullptr, 0);
}

void CloseSurfaceAtExit() {
    CloseSurface();
}

} // namespace

void SetSurfaceTitle(const char* title) {
    std::strncpy(Surface.title, title ? title : "", MaxSurfaceTitle);
    Surface.title[MaxSurfaceTitle] = '\0';
    HWND window = Win.window.load();
    if (!Surface.open || !window) return;
    // Not while holding the lock the window thread may be waiting for.
    const int depth = DropCallersLock();
    SetWindowTextA(window, Surface.title[0] ? Surface.title : ProgramName().c_str());
    RetakeCallersLock(depth);
}

int OpenSurface(int width, int height, int depth, int /*pages*/, std::uint32_t flags,
                int /*refreshRate*/) {
    if (width < 1 || height < 1 || SurfaceBytesPerPixelForDepth(depth) == 0) return 1;
    CloseSurface();
    if (!AllocateSurfaceState(width, height, depth, flags)) return 1;
    PlanWindow();
    if (!RegisterSurfaceClass()) {
        ReleaseSurfaceState();
        return 1;
    }
    DisableScreenSaver();
    if (!StartWindowThread()) {
        StopWindowThread();
        Win.window = nullptr;
        RestoreScreenSaver();
        UnregisterClassA(Win.className.c_str(), ProgramInstance());
        ReleaseSurfaceState();
        return 1;
    }
    if (!Win.exitActionRegistered) {
        Win.exitActionRegistered = true;
        std::atexit(CloseSurfaceAtExit);
    }
    return 0;
}

int CloseSurface() {
    if (!Surface.open) return 0;
    if (CallerHoldsLock()) {
        Surface.lockCount = 0;
        DropCallersLock();
    }
    Win.window = nullptr;
    StopWindowThread();
    TakeSurfaceLock();
    ReleaseSurfaceState();
    ReleaseSurfaceLock();
    RestoreScreenSaver();
    UnregisterClassA(Win.className.c_str(), ProgramInstance());
    return 0;
}

HWND__* SurfaceWindowHandle() {
    return Win.window.load();
}

void SetSurfaceFit(DisplayFit fit) {
    Win.fit = fit;
}

int SurfaceGrid(int maxGrid) {
    return ChooseGrid(Win.fit.load(), maxGrid, Win.shownWidth.load(), Win.shownHeight.load());
}

void SetSurfaceScaling(DisplayScaling scaling) {
    Win.scaling = scaling;
}

void SetSurfacePresentInStep(bool inStep) {
    Win.cadence.inStep = inStep;
}

void HideMouse() {
    Surface.pointerVisible = false;
}

void EndProgram(int exitCode) {
    if (Win.exitActionRegistered) CloseSurface();
    ExitProcess(UINT(exitCode));
}
