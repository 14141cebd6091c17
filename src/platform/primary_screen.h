// The primary screen's rectangle at (0, 0), where Windows tells of no monitor.
#pragma once

#include "platform/win32.h"

inline RECT PrimaryScreenRect() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}
