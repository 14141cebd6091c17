// Switching the viewer window between its framed placement and full screen, and reopening
// the surface under the same lock.
#pragma once

#include "game/monitor_choice.h"
#include "platform/win32.h"

#include <cstdint>

// The extended style of the full-screen viewer window.
constexpr LONG FullscreenExStyle = LONG(0x96000008u);

// Opens the surface again at this size (closing the old one) and hides the pointer over it;
// returns OpenSurface's result. The reopen replaces the viewer window with a new, framed and
// centred one, so it runs under the same lock as the mode switches: no switch acts on the
// window being replaced, and a full-screen mode set before is applied to the new window.
int ReopenViewerSurface(int width, int height);

// Switch the viewer window between its framed placement (0) and full screen (1) over the
// chosen monitor (monitor_choice.h). Called by the main thread once after start-up
// (MonitorUse::GameStart) and by the render thread on F6.
void SetViewerFullscreen(std::uint8_t on, MonitorUse use = MonitorUse::FromWindow);

// Where the framed window opens: centred on the chosen monitor. Called by the main thread
// before it opens the surface.
void PlanFramedWindowHome();

// After a display change the window procedure noted (surface.h): a full-screen viewer covers
// the monitor the player's rule chooses now (monitor_choice.h: a numbered monitor that is
// gone gives the primary, and is chosen again once it is back; with `game`, the nearest to
// where the choice was made), at its new rectangle; a framed window left off every monitor
// moves onto the nearest one. The saved framed placement is kept.
// Called by the render thread before it takes the surface lock, as it handles F6.
void FollowDisplayChange();

// Forgets the saved windowed placement, the monitor choice, a noted display change, the DPI
// setting and the player's window size, as at program start (for tests).
void ResetViewerPlacement();
