// The DPI awareness of the viewer's own window. The process stays DPI-unaware, so every call
// on the game's window sees the coordinates it always did; only the window thread, and the
// calls that place the viewer window, run per-monitor aware. The functions come from user32
// of Windows 10 1607 and later, looked up at run time: elsewhere nothing changes.
#pragma once

#include "platform/win32.h"

// Whether the viewer's window is to be DPI-aware (lumenpane.ini [display] dpi=aware, the
// default). Written by the main thread before the surface opens; read by the window thread.
void SetSurfaceDpiAware(bool aware);
bool SurfaceDpiAware();

// Makes the calling thread per-monitor aware for good: v2 where Windows offers it, v1
// otherwise (Wine 8 refuses v2). True when the thread is now per-monitor aware.
bool MakeThreadPerMonitorAware();

// Runs the calling thread in a window's awareness context while it lives, then restores the
// thread's own. Does nothing where Windows offers no contexts.
class WindowDpiScope {
  public:
    explicit WindowDpiScope(HWND window);
    ~WindowDpiScope();
    WindowDpiScope(const WindowDpiScope&) = delete;
    WindowDpiScope& operator=(const WindowDpiScope&) = delete;

  private:
    DPI_AWARENESS_CONTEXT previous = nullptr;
};

// Runs the calling thread per-monitor aware while it lives (v2 where Windows offers it, v1
// otherwise), then restores the thread's own context: monitors read meanwhile come in their
// real pixels. Does nothing where Windows offers no contexts.
class PerMonitorDpiScope {
  public:
    PerMonitorDpiScope();
    ~PerMonitorDpiScope();
    PerMonitorDpiScope(const PerMonitorDpiScope&) = delete;
    PerMonitorDpiScope& operator=(const PerMonitorDpiScope&) = delete;

  private:
    DPI_AWARENESS_CONTEXT previous = nullptr;
};

// Whether the window is per-monitor aware; false where Windows offers no contexts.
bool WindowPerMonitorAware(HWND window);
// The window's DPI (96 where Windows does not tell).
UINT WindowDpi(HWND window);
// A length of the 96-DPI frame at this DPI: round(length * dpi / 96).
int ScaledLength(int length, UINT dpi);
