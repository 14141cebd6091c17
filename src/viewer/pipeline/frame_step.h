// One frame of the viewer: frame counting, hot keys, capture, filter and overlay.
#pragma once

#include "viewer/pipeline/focus_hand_over.h"
#include "viewer/pipeline/pacing.h"

#include <cstdint>

struct Image;

enum FilterMode : std::int32_t { FilterOff = 0, FilterScale2x = 1, FilterHq2x = 2 };

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
    double lastFilterKeyTime = 0.0;
    Image* captureImage = nullptr;
    Image* smallArgbImage = nullptr;
    Image* largeArgbImage = nullptr;
    Image* smallRgb565Image = nullptr;
    Image* largeRgb565Image = nullptr;

    // The pacing, set at start-up. With the smooth one, the schedule of the samples, and what
    // the frame buffer shows, so that a sample that finds the picture unchanged draws nothing
    // and a change of the overlay alone is drawn over the clean picture kept beneath it.
    Pacing pacing = Pacing::Fixed;
    GameFrameSchedule schedule;
    bool sampledNewPicture = false; // the latest pass's capture found a new picture
    bool pictureShown = false;      // the frame buffer holds the picture of shownFilter
    FilterMode shownFilter = FilterOff;
    char shownOverlay[32] = {};      // the overlay's text on it ("" none)
    Image* overlayBacking = nullptr; // the picture beneath the overlay's box
    Image* overlayBox = nullptr;     // the overlay's box, drawn anew in each frame showing it
    double f5ReleaseAt = 0.0;        // F5 held down for the game until then (0: not held)
};

extern FrameStateRecord FrameState;

// The overlay's box: its corner in the frame, its height and its widest width ("Filter: Scale2x").
constexpr int OverlayBoxX = 16, OverlayBoxY = 16, OverlayBoxHeight = 24, OverlayBoxMaxWidth = 136;

// How long the filter's name shows after F8, in seconds.
constexpr double FilterOverlaySeconds = 3.0;

void RenderFrame();

// The parts of RenderFrame, in the order it runs them (frame_step.cpp unless noted).
void MakeWorkImages();
void CountFrame(double now, bool counted = true);
void ReopenSurfaceWhenResized();
void HandleHotKeys(); // hot_keys.cpp
// Queries F6, F7 and F8 and ignores the answers (hot_keys.cpp): for passes that do not read
// the hot keys, so presses made meanwhile are not reported later. The latches stay.
void DiscardHotKeyPresses();
void DrawPicture();
// overlay.cpp: the overlay's text for this moment and the width of its box, or 0 when no
// overlay shows; DrawOverlay blends the box onto the frame buffer.
int OverlayText(double now, char* text, int capacity);
void DrawOverlay(double now);
// With the smooth pacing: the box's area of the picture kept beneath the overlay, and put back.
void KeepOverlayBacking();
void RestoreOverlayBacking();
// Releases F5 for the game once its press, begun by a filter change, is due to end.
void ReleaseF5WhenDue(double now);
