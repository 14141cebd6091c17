// The overlay: the filter's name after F8, a short notice (a screenshot saved), or the
// frames-per-second counter or the full meter, in a small box over the frame buffer's
// top-left corner.
#pragma once

#include "pixels/filter_work.h"

struct Image;

// The overlay's box: its corner in the frame, its height with one line of text and the pitch
// of further lines; the largest box, which stays inside the 640x480 frame.
constexpr int OverlayBoxX = 16, OverlayBoxY = 16, OverlayBoxHeight = 24, OverlayLinePitch = 12;
constexpr int OverlayMaxLines = 4;
constexpr int OverlayBoxMaxWidth = 640 - 2 * OverlayBoxX;
constexpr int OverlayBoxMaxHeight = OverlayBoxHeight + (OverlayMaxLines - 1) * OverlayLinePitch;
// At grid N the box, its text and its corner are drawn OverlayScale() = max(1, N / 2) times
// as large, each pixel of the box a square of that side.
constexpr int OverlayMaxScale = MaxGrid / 2;
int OverlayScale();
// The longest notice, with its terminating zero.
constexpr int OverlayTextCapacity = 48;
// How long a notice shows, in seconds.
constexpr double OverlayNoticeSeconds = 3.0;

// The overlay's kept images. The frame step makes them with its work images; with the smooth
// pacing a change of the overlay alone is drawn over the clean picture kept beneath the box.
// Threads: the render thread's alone.
struct OverlayImagesRecord {
    char shownText[160] = {}; // the overlay's text on the frame buffer ("" none)
    int shownHeight = 0;      // the height of its box (0: none)
    Image* backing = nullptr; // the picture beneath the overlay's box
    Image* box = nullptr;     // the overlay's box, drawn anew in each frame showing it
    // A notice shown in place of the counter until noticeUntil (Timer() seconds); a filter
    // name shown after it replaces it.
    char notice[OverlayTextCapacity] = {};
    double noticeUntil = 0.0;
};

extern OverlayImagesRecord OverlayImages;

// The overlay's text for this moment, its lines apart by '\n', and the width of its box, or 0
// when no overlay shows; DrawOverlay blends the box onto the frame buffer and returns its
// height in the frame's rows (0: none).
int OverlayText(double now, char* text, int capacity);
int DrawOverlay(double now);
// The same for a text and box width OverlayText has given.
int DrawOverlayText(const char* text, int width);
// Shows text (cut to the capacity) for OverlayNoticeSeconds from now.
void ShowOverlayNotice(const char* text, double now);
// With the smooth pacing: the box's area of the picture kept beneath the overlay, and put back.
void KeepOverlayBacking();
void RestoreOverlayBacking();
