// One frame of the viewer: frame counting, hot keys, capture, filter and overlay.
#pragma once

#include <cstdint>

struct Image;

enum FilterMode : std::int32_t { FilterOff = 0, FilterScale2x = 1, FilterHq2x = 2 };

struct FrameStateRecord {
    std::int32_t fps = -1;
    std::int32_t frameCount = 0;
    double nextFpsUpdate = 0.0;
    bool fpsOverlayOn = false;
    bool f6Latch = false;
    bool f7Latch = false;
    bool f8Latch = false;
    FilterMode filterMode = FilterOff;
    double lastFilterKeyTime = 0.0;
    Image* captureImage = nullptr;
    Image* smallArgbImage = nullptr;
    Image* largeArgbImage = nullptr;
    Image* smallRgb565Image = nullptr;
    Image* largeRgb565Image = nullptr;
};

extern FrameStateRecord FrameState;

void RenderFrame();
