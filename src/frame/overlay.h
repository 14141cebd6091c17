// The overlay: the filter's name after F8, or the frames-per-second counter or the full meter,
// in a small box over the frame buffer's top-left corner.
#pragma once

struct Image;

// The overlay's box: its corner in the frame, its height with one line of text and the pitch
// of further lines; the largest box, which stays inside the 640x480 frame.
constexpr int OverlayBoxX = 16, OverlayBoxY = 16, OverlayBoxHeight = 24, OverlayLinePitch = 12;
constexpr int OverlayMaxLines = 4;
constexpr int OverlayBoxMaxWidth = 640 - 2 * OverlayBoxX;
constexpr int OverlayBoxMaxHeight = OverlayBoxHeight + (OverlayMaxLines - 1) * OverlayLinePitch;

// The overlay's kept images. The frame step makes them with its work images; with the smooth
// pacing a change of the overlay alone is drawn over the clean picture kept beneath the box.
// Threads: the render thread's alone.
struct OverlayImagesRecord {
    char shownText[160] = {}; // the overlay's text on the frame buffer ("" none)
    int shownHeight = 0;      // the height of its box (0: none)
    Image* backing = nullptr; // the picture beneath the overlay's box
    Image* box = nullptr;     // the overlay's box, drawn anew in each frame showing it
};

extern OverlayImagesRecord OverlayImages;

// The overlay's text for this moment, its lines apart by '\n', and the width of its box, or 0
// when no overlay shows; DrawOverlay blends the box onto the frame buffer and returns its
// height (0: none).
int OverlayText(double now, char* text, int capacity);
int DrawOverlay(double now);
// With the smooth pacing: the box's area of the picture kept beneath the overlay, and put back.
void KeepOverlayBacking();
void RestoreOverlayBacking();
