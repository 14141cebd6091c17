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
