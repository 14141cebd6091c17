// The overlay: the filter's name after F8, or the frames-per-second counter, in a small box
// over the frame buffer's top-left corner.
#pragma once

struct Image;

// The overlay's box: its corner in the frame, its height and its widest width ("Filter: Scale2x").
constexpr int OverlayBoxX = 16, OverlayBoxY = 16, OverlayBoxHeight = 24, OverlayBoxMaxWidth = 136;

// The overlay's kept images. The frame step makes them with its work images; with the smooth
// pacing a change of the overlay alone is drawn over the clean picture kept beneath the box.
// Threads: the render thread's alone.
struct OverlayImagesRecord {
    char shownText[32] = {};  // the overlay's text on the frame buffer ("" none)
    Image* backing = nullptr; // the picture beneath the overlay's box
    Image* box = nullptr;     // the overlay's box, drawn anew in each frame showing it
};

extern OverlayImagesRecord OverlayImages;

// The overlay's text for this moment and the width of its box, or 0 when no overlay shows;
// DrawOverlay blends the box onto the frame buffer.
int OverlayText(double now, char* text, int capacity);
void DrawOverlay(double now);
// With the smooth pacing: the box's area of the picture kept beneath the overlay, and put back.
void KeepOverlayBacking();
void RestoreOverlayBacking();
