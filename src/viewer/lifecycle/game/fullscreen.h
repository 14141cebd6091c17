// Switching the viewer window between its framed placement and full screen, and reopening
// the surface under the same lock.
#pragma once

#include "platform/win32.h"

#include <cstdint>

// The extended style of the full-screen viewer window.
constexpr LONG FullscreenExStyle = LONG(0x96000008u);

// Opens the surface again at this size (closing the old one) and hides the pointer over it;
// returns OpenSurface's result. The reopen replaces the viewer window with a new, framed and
// centred one, so it runs under the same lock as the mode switches: no switch acts on the
// window being replaced, and a full-screen mode set before is applied to the new window.
int ReopenViewerSurface(int width, int height);

// Switch the viewer window between its framed placement (0) and full screen (1). Called by
// the main thread once after start-up and by the render thread on F6.
void SetViewerFullscreen(std::uint8_t on);

// Forgets the saved windowed placement, as at program start (for tests).
void ResetViewerPlacement();
