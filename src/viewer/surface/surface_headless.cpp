// The surface without a window: the same record and rules, for the native tests and the
// command-line tools. Nothing is presented and no other thread takes the lock.
#include "viewer/surface/surface.h"

#include <cstdlib>
#include <cstring>
#ifndef _WIN32
#include <thread>
#endif

void TakeSurfaceLock() {}
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

HWND__* SurfaceWindowHandle() {
    return nullptr;
}

void HideMouse() {
    Surface.pointerVisible = false;
}

#ifndef _WIN32
struct ThreadRecord {
    std::thread thread;
};

ThreadRecord* StartThread(ThreadProcedure procedure, void* parameter, unsigned /*stackSize*/) {
    return new ThreadRecord{std::thread(procedure, parameter)};
}

void WaitThread(ThreadRecord* thread) {
    if (!thread) return;
    thread->thread.join();
    delete thread;
}
#endif

void EndProgram(int exitCode) {
    CloseSurface();
    std::exit(exitCode);
}
