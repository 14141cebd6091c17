// The overlay: a half-transparent black box at (16, 16) with white text, showing the
// filter's name for three seconds after F8 or a notice for three seconds, whichever came
// last, otherwise the frames-per-second counter when F7 has switched it on. The box is drawn
// anew, in a work image kept for it, in each frame that shows it.
#include "frame/frame_step.h"
#include "pixels/image.h"

#include "window/surface.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

OverlayImagesRecord OverlayImages;

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
    const double filterUntil = FrameState.lastFilterKeyTime + FilterOverlaySeconds;
    if (now < OverlayImages.noticeUntil && OverlayImages.noticeUntil >= filterUntil) {
        const int length = std::snprintf(text, std::size_t(capacity), "%s", OverlayImages.notice);
        return GlyphWidth * std::min(length, capacity - 1) + 2 * TextMargin;
    }
    if (now < filterUntil) {
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

void ShowOverlayNotice(const char* text, double now) {
    std::snprintf(OverlayImages.notice, sizeof OverlayImages.notice, "%s", text);
    OverlayImages.noticeUntil = now + OverlayNoticeSeconds;
}

void DrawOverlay(double now) {
    char text[OverlayTextCapacity];
    const int width = OverlayText(now, text, int(sizeof text));
    Image* box = OverlayImages.box;
    if (width == 0 || !box || width > int(box->width)) return;
    for (int y = 0; y < BoxHeight; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(ImageRow(box, y));
        std::fill(row, row + width, BoxColour);
    }
    DrawText(box, float(TextMargin), float(TextMargin), text, TextColour);
    PutImage(nullptr, BoxX, BoxY, box, 0, 0, width - 1, BoxHeight - 1, Alpha);
}

namespace {

// Copies the box's area between the frame buffer and the backing image, either way.
void CopyBoxArea(bool toFrame) {
    auto* frame = static_cast<std::uint8_t*>(SurfacePixels());
    Image* backing = OverlayImages.backing;
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
