// The presentation surface's window: the viewer's own window that shows the frame buffer,
// its fit and scaling, display changes and program end.
//
// Two variants share the record in runtime/frame_buffer.h: the Win32 window
// (surface_win32.cpp) and a headless one without a window (surface_headless.cpp), which the
// native tests and the command-line tools use. Both keep the same record and rules.
#pragma once

#include "runtime/clock.h"
#include "runtime/frame_buffer.h"
#include "runtime/threads.h"
#include "window/display_fit.h"
#include "window/present_road.h"

#include <cstdint>

struct HWND__;
struct HMONITOR__;

// Operations every variant provides (surface_win32.cpp or surface_headless.cpp).
void SetSurfaceTitle(const char* title);
int OpenSurface(int width, int height, int depth, int pages, std::uint32_t flags, int refreshRate);
int CloseSurface();
HWND__* SurfaceWindowHandle();
void HideMouse();
// How the window variant places the frame in its client area (Stretch until set); black
// outside the picture.
void SetSurfaceFit(DisplayFit fit);
// Nearest neighbour (the default) or sharp scaling of the frame where the picture is not
// 640x480; any thread, any time.
void SetSurfaceScaling(DisplayScaling scaling);
// The grid (display_fit.h: ChooseGrid, up to maxGrid) for the frame where the window shows it
// now: its client area, which covers the monitor in full screen, at the fit set. The window
// thread notes the area at each presentation; MinGrid before it has, and without a window.
// Any thread.
int SurfaceGrid(int maxGrid);
// Whether the window variant presents in step with the display's refresh where it can
// (present_cadence.h); set before the surface opens.
void SetSurfacePresentInStep(bool inStep);

// The road to the screen ([display] present= and tearing=); set before the surface opens.
void SetSurfacePresentation(PresentSetting setting, TearingSetting tearing);
// With present=auto "flip", "flip, tearing" or "GDI": the road the latest picture took; with
// present=gdi, the only road, nothing (""). Any thread.
const char* SurfacePresentRoad();

// Display changes (another resolution, a monitor connected or removed): the window thread
// notes one when the window hears of it, the render thread takes it before it takes the
// surface lock and places the window anew. Any thread (display_change.cpp, an atomic flag).
void NoteDisplayChange();
bool TakeDisplayChange();

[[noreturn]] void EndProgram(int exitCode);
