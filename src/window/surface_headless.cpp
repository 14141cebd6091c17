// The surface without a window: the same record and rules, for the native tests and the
// command-line tools. Nothing is presented, no other thread takes the lock, and it starts
// no threads.
#include "window/surface.h"

#include "pixels/filter_work.h"

#include <cstdlib>
#include <cstring>

void TakeSurfaceLock() {}
void SignalRowsMarked() {}
void* RowsMarkedEvent() {
    return nullptr;
}
void ReleaseSurfaceLock() {}

void SetSurfaceTitle(const char* title) {
    std::strncpy(Surface.title, title ? title : "", MaxSurfaceTitle);
    Surface.title[MaxSurfaceTitle] = '\0';
}

int OpenSurface(int width, int height, int depth, int /*pages*/, std::uint32_t flags,
                int /*refreshRate*/) {
    if (width < 1 || height < 1 || SurfaceBytesPerPixelForDepth(depth) == 0) return 1;
    CloseSurface();
    return AllocateSurfaceState(width, height, depth, flags) ? 0 : 1;
}

int CloseSurface() {
    if (!Surface.open) return 0;
    Surface.lockCount = 0;
    ReleaseSurfaceState();
    return 0;
}

int SurfaceGrid(int) {
    return MinGrid; // nothing is shown
}

HWND__* SurfaceWindowHandle() {
    return nullptr;
}

// Nothing reaches a screen; the native tools and tests stand for a GDI window by default.
const char* SurfacePresentRoad() {
    return "";
}

void HideMouse() {
    Surface.pointerVisible = false;
}

void EndProgram(int exitCode) {
    CloseSurface();
    std::exit(exitCode);
}
