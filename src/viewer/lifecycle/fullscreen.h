// The viewer window's windowed placement, kept while it covers the screen.
#pragma once

#include "platform/win32.h"

struct ViewerPlacementRecord {
    RECT rect{};
    LONG style = 0;
    LONG exStyle = 0;
};

extern ViewerPlacementRecord ViewerPlacement;

// The extended style of the full-screen viewer window.
constexpr LONG FullscreenExStyle = LONG(0x96000008u);

// Opens the surface again at this size (closing the old one) and hides the pointer over it;
// returns OpenSurface's result. The reopen replaces the viewer window with a new, framed and
// centred one, so it runs under the same lock as the mode switches: no switch acts on the
// window being replaced, and a full-screen mode set before is applied to the new window.
int ReopenViewerSurface(int width, int height);
