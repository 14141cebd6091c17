// One frame of the viewer: frame counting, hot keys, capture, filter and overlay.
#pragma once

#include "frame/focus_hand_over.h"
#include "frame/hot_keys.h"
#include "frame/overlay.h"
#include "frame/pacing.h"
#include "pixels/filter_table.h"
#include "pixels/filter_work.h"
#include "pixels/row_span.h"

#include <cstdint>

struct Image;

// Threads. The render thread owns the whole record: RenderFrame and its parts are its only
// writers and readers while the viewer runs. Other threads touch it only before the render
// thread starts or after it has ended (start-up, shutdown, tests).
struct FrameStateRecord {
    std::int32_t fps = -1;
    std::int32_t frameCount = 0;
    double nextFpsUpdate = 0.0;
    bool fpsOverlayOn = false;
    bool f6Latch = false;
    bool f7Latch = false;
    bool f8Latch = false;
    // Begun by the render thread's pass, read by the hot keys; times are Timer()'s.
    FocusHandOver focusHandOver;
    FilterMode filterMode = FilterOff;
    FilterCycle filterCycle = DefaultFilterCycle(); // F8's order
    int maxGrid = MinGrid; // [display] grid: the largest grid the frame is made at
    // One for each grid up to maxGrid, all made by MakeWorkImages before the first frame, so
    // that a change of the grid allocates nothing.
    FilterWork filterWorks[GridCount];
    double lastFilterKeyTime = 0.0;
    Image* captureImage = nullptr;
    Image* smallArgbImage = nullptr;
    Image* largeArgbImage = nullptr;
    Image* smallRgb565Image = nullptr;
    Image* largeRgb565Image = nullptr;
};

extern FrameStateRecord FrameState;

// With the smooth pacing, what the frame buffer shows, so that a sample that finds the picture
// unchanged draws nothing. Threads: the render thread's alone (the frame step); a reopened
// surface clears it.
struct FrameBufferShowsRecord {
    bool picture = false; // the frame buffer holds the picture of `filter`
    FilterMode filter = FilterOff;
};

extern FrameBufferShowsRecord FrameBufferShows;

// How long the filter's name shows after F8, in seconds.
constexpr double FilterOverlaySeconds = 3.0;

void RenderFrame();

// The parts of RenderFrame, in the order it runs them (frame_step.cpp unless noted).
void MakeWorkImages();
// The frame's grid: the frame buffer is grid x 320 by grid x 240 (MinGrid without one).
int FrameGrid();
// Under the surface lock: the frame buffer resized to the grid for where the window shows the
// frame now (SurfaceGrid, up to maxGrid), to be drawn whole in the same pass.
void FollowShownGrid();
void CountFrame(double now, bool counted = true);
void ReopenSurfaceWhenResized();
// The picture of the current filter, made from the captured one, into the frame buffer;
// returns the frame buffer's rows it drew (none without a frame buffer or a picture).
RowSpan DrawPicture(const Image* captured);
// overlay.h: the overlay; hot_keys.h: releasing F5 for the game.
