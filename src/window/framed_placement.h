// Where the framed viewer window opens and how large its client area is, worked out in the
// window's own DPI context: a per-monitor aware window is placed in its monitors' real
// pixels, so it opens centred on its home monitor at any mix of display scales. The Win32
// window thread places the window with these, and the simulated desktop's surface alike.
#pragma once

#include "platform/win32.h"

// The home monitor's rectangle as the calling thread sees it, or the primary screen where
// none is set or it is gone.
RECT HomeMonitorArea(HMONITOR home);

// The framed window's outer corner as it opens: where a frameless window of the surface's
// size would be centred on the home monitor (Surface.homeMonitor). In real pixels when the
// window is to be per-monitor aware (the thread's context is switched meanwhile), in the
// calling thread's own coordinates otherwise.
RECT FramedWindowOpening(int outerWidth, int outerHeight, bool windowAware);

// Sizes the framed window's client area to the surface at the window's DPI: round(width * s)
// x round(height * s), s = DPI / 96, for a per-monitor aware window, the surface's size
// otherwise; the outer size is corrected by what the client area lacks. With centre, the
// window is centred on its home monitor as FramedWindowOpening centres it. Runs in the
// window's own context, whichever thread calls. A dpi other than 0 is used instead of the
// window's own (the one WM_DPICHANGED carries, which the window may not report yet).
void FitFramedClient(HWND window, bool centre, UINT dpi = 0);

// After WM_DPICHANGED for `dpi`: the framed window takes the place Windows suggests, and its
// client area is refitted to that DPI. Per-monitor v2 asked for the outer size first, so the
// suggestion fits already; per-monitor v1 (Windows 10 1607 to 1703) suggests the old outer
// rectangle scaled, frame and all, while the frame keeps its size.
void FollowWindowDpi(HWND window, const RECT& suggested, UINT dpi);
