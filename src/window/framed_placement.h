// Where the framed viewer window opens and how large its client area is, worked out in the
// window's own DPI context: a per-monitor aware window is placed in its monitors' real
// pixels, so it opens centred on its home monitor at any mix of display scales. The Win32
// window thread places the window with these, and the simulated desktop's surface alike.
//
// Threads. The player's multiple is set by the main thread before the surface opens and read by
// any thread. The multiple the window opened at and the DPI its client area was last fitted
// for belong to the thread that places the framed window: the window thread, which opens it
// before it signals that the window exists and follows its changes of scale.
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

// The framed window's size the player chose ([display] window): 1, the frame once at the
// window's scale, a fixed size (the default); 2 and more, that many times the frame at the
// window's scale, or as many as fit; LargestFramedMultiple, as many as fit. Any choice but 1
// gives the window a sizing border and a maximise button. Set before the surface opens.
constexpr int LargestFramedMultiple = 0;
void SetFramedMultiple(int multiple);
int FramedMultiple();
bool FramedWindowResizable();
// What the player's size adds to the framed window's style.
LONG FramedSizingStyle();
// The multiple the framed window last opened at: the one chosen, or the most whose framed
// window fits the work area of its home monitor (at least 1) where that is fewer or the
// player chose largest. Read by the thread that opened the surface, once it has opened.
int FramedMultipleOpened();

// Sizes a newly made framed window's client area: round(k * width * s) x round(k * height * s)
// with k the multiple it opens at and s = DPI / 96 for a per-monitor aware window (1
// otherwise); the outer size is corrected by what the client area lacks. With the multiple 1
// the window is centred on its home monitor as FramedWindowOpening centres it; with any other
// the whole framed window is centred on the home monitor's work area. Runs in the window's
// own context, whichever thread calls.
void FitFramedClient(HWND window);

// The client area the framed window takes at `dpi` on a change of scale: the multiple it
// opened at, at that scale, while its client area still is that multiple at the scale it was
// last fitted for; otherwise (the player dragged its border) the client area it has, scaled by
// the ratio of the scales. A window that is not per-monitor aware stays at 96 DPI.
SIZE FramedClientForDpi(HWND window, UINT dpi);

// After WM_DPICHANGED for `dpi`: the framed window takes the place Windows suggests, and its
// client area FramedClientForDpi's size. Per-monitor v2 asked for the outer size first, so
// the suggestion fits already; per-monitor v1 (Windows 10 1607 to 1703) suggests the old outer
// rectangle scaled, frame and all, while the frame keeps its size.
void FollowWindowDpi(HWND window, const RECT& suggested, UINT dpi);
