// The overlay: a half-transparent black box at (16, 16) with white text, showing the
// filter's name for three seconds after F8, otherwise the frames-per-second counter when F7
// has switched it on. The box is made and destroyed in each frame that shows it.
#include "viewer/pipeline/frame_step.h"
#include "viewer/surface/image.h"

#include "viewer/surface/surface.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* FilterNames[] = {"Off", "Scale2x", "hq2x"};

constexpr int BoxHeight = OverlayBoxHeight;
constexpr int CounterBoxWidth = 80;
constexpr int TextMargin = 8;
constexpr int GlyphWidth = 8;
constexpr float BoxX = float(OverlayBoxX), BoxY = float(OverlayBoxY);
constexpr std::uint32_t BoxColour = 0x80000000u; // black at alpha 128
constexpr std::uint32_t TextColour = 0xFFFFFFFFu;

} // namespace

int OverlayText(double now, char* text, int capacity) {
    if (now < FrameState.lastFilterKeyTime + FilterOverlaySeconds) {
        const int length = std::snprintf(text, std::size_t(capacity), "Filter: %s",
                                         FilterNames[FrameState.filterMode]);
        return GlyphWidth * length + 2 * TextMargin;
    }
    if (!FrameState.fpsOverlayOn) return 0;
    if (FrameState.fps == -1)
        std::snprintf(text, std::size_t(capacity), "FPS: ???");
    else
        std::snprintf(text, std::size_t(capacity), "FPS: %3d", int(FrameState.fps));
    return CounterBoxWidth;
}

void DrawOverlay(double now) {
    char text[32];
    const int width = OverlayText(now, text, int(sizeof text));
    if (width == 0) return;
    Image* box = CreateImage(width, BoxHeight, BoxColour, 0, 0);
    if (!box) return;
    DrawText(box, float(TextMargin), float(TextMargin), text, TextColour);
    PutImage(nullptr, BoxX, BoxY, box, WholeImage, 0, 0, 0, Alpha);
    DestroyImage(box);
}

namespace {

// Copies the box's area between the frame buffer and the backing image, either way.
void CopyBoxArea(bool toFrame) {
    auto* frame = static_cast<std::uint8_t*>(SurfacePixels());
    Image* backing = FrameState.overlayBacking;
    if (!frame || !backing || Surface.bytesPerPixel != 4 ||
        Surface.width < OverlayBoxX + OverlayBoxMaxWidth ||
        Surface.height < OverlayBoxY + OverlayBoxHeight)
        return;
    const std::size_t bytes = std::size_t(OverlayBoxMaxWidth) * 4;
    for (int y = 0; y < OverlayBoxHeight; ++y) {
        std::uint8_t* screen =
            frame + std::size_t(OverlayBoxY + y) * Surface.pitch + std::size_t(OverlayBoxX) * 4;
        auto* kept = static_cast<std::uint8_t*>(ImageRow(backing, y));
        if (toFrame)
            std::memcpy(screen, kept, bytes);
        else
            std::memcpy(kept, screen, bytes);
    }
}

} // namespace

void KeepOverlayBacking() {
    CopyBoxArea(false);
}

void RestoreOverlayBacking() {
    CopyBoxArea(true);
}
