// The overlay: a half-transparent black box at (16, 16) with white text, showing the
// filter's name for three seconds after F8 or a notice for three seconds, whichever came
// last, otherwise the frames-per-second counter when F7 has switched it on; with the full
// meter F7 shows the meter's lines, below the filter's name while that shows. The box is drawn
// anew, in a work image kept for it, in each frame that shows it.
#include "frame/frame_meter.h"
#include "frame/frame_step.h"
#include "pixels/alpha_blend.h"
#include "pixels/image.h"

#include "window/surface.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

OverlayImagesRecord OverlayImages;

namespace {

constexpr int CounterBoxWidth = 80;
constexpr int TextMargin = 8;
constexpr int GlyphWidth = 8;
constexpr float BoxX = float(OverlayBoxX), BoxY = float(OverlayBoxY);
constexpr std::uint32_t BoxColour = 0x80000000u; // black at alpha 128
constexpr std::uint32_t TextColour = 0xFFFFFFFFu;

} // namespace

int OverlayScale() {
    return std::max(1, FrameGrid() / 2);
}

namespace {

// The box's width x height pixels blended onto the frame buffer, each a scale x scale square,
// its corner scale times the box's; the part beyond the frame buffer left out.
void BlendEnlarged(const Image* box, int width, int height, int scale) {
    auto* frame = static_cast<std::uint8_t*>(SurfacePixels());
    if (!frame || Surface.bytesPerPixel != 4) return;
    const int left = scale * OverlayBoxX, top = scale * OverlayBoxY;
    const int columns = std::min(scale * width, Surface.width - left);
    const int rows = std::min(scale * height, Surface.height - top);
    for (int y = 0; y < rows; ++y) {
        const auto* source = reinterpret_cast<const std::uint32_t*>(
            ImagePixels(box) + std::size_t(y / scale) * box->pitch);
        auto* target =
            reinterpret_cast<std::uint32_t*>(frame + std::size_t(top + y) * Surface.pitch) + left;
        for (int x = 0; x < columns; ++x) target[x] = BlendPixel(source[x / scale], target[x]);
    }
}

// The width of a box holding the text's longest line.
int BoxWidthFor(const char* text) {
    int longest = 0, length = 0;
    for (const char* c = text;; ++c) {
        if (*c && *c != '\n') {
            ++length;
            continue;
        }
        longest = std::max(longest, length);
        length = 0;
        if (!*c) break;
    }
    return std::min(GlyphWidth * longest + 2 * TextMargin, OverlayBoxMaxWidth);
}

int LineCount(const char* text) {
    return 1 + int(std::count(text, text + std::strlen(text), '\n'));
}

} // namespace

int OverlayText(double now, char* text, int capacity) {
    const double filterUntil = FrameState.lastFilterKeyTime + FilterOverlaySeconds;
    if (now < OverlayImages.noticeUntil && OverlayImages.noticeUntil >= filterUntil) {
        std::snprintf(text, std::size_t(capacity), "%s", OverlayImages.notice);
        return BoxWidthFor(text);
    }
    const bool filterShows = now < filterUntil;
    const char* filterName = FilterRowOf(FrameState.filterMode).names[GridIndex(FrameGrid())];
    if (FrameMeterState.kind == Meter::Full && FrameState.fpsOverlayOn) {
        char meter[sizeof OverlayImages.shownText];
        MeterText(now, FramePacing.pacing == Pacing::Smooth, meter, int(sizeof meter));
        // The top line names the road the picture takes to the screen, where the player let
        // the viewer choose one.
        const char* road = SurfacePresentRoad();
        const char* afterRoad = road[0] ? "\n" : "";
        if (filterShows)
            std::snprintf(text, std::size_t(capacity), "%s%sFilter: %s\n%s", road, afterRoad,
                          filterName, meter);
        else
            std::snprintf(text, std::size_t(capacity), "%s%s%s", road, afterRoad, meter);
        return BoxWidthFor(text);
    }
    if (filterShows) {
        std::snprintf(text, std::size_t(capacity), "Filter: %s", filterName);
        return BoxWidthFor(text);
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

int DrawOverlay(double now) {
    char text[sizeof OverlayImages.shownText];
    const int width = OverlayText(now, text, int(sizeof text));
    return DrawOverlayText(text, width);
}

int DrawOverlayText(const char* text, int width) {
    Image* box = OverlayImages.box;
    if (width == 0 || !box || width > int(box->width)) return 0;
    const int lines = std::min(LineCount(text), OverlayMaxLines);
    const int height = OverlayBoxHeight + (lines - 1) * OverlayLinePitch;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(ImageRow(box, y));
        std::fill(row, row + width, BoxColour);
    }
    const char* line = text;
    for (int i = 0; i < lines; ++i) {
        char one[sizeof OverlayImages.shownText];
        const char* end = std::strchr(line, '\n');
        const std::size_t length = end ? std::size_t(end - line) : std::strlen(line);
        std::memcpy(one, line, length);
        one[length] = 0;
        DrawText(box, float(TextMargin), float(TextMargin + i * OverlayLinePitch), one, TextColour);
        if (!end) break;
        line = end + 1;
    }
    const int scale = OverlayScale();
    if (scale == 1)
        PutImage(nullptr, BoxX, BoxY, box, 0, 0, width - 1, height - 1, Alpha);
    else
        BlendEnlarged(box, width, height, scale);
    return scale * height;
}

namespace {

// Copies the box's area between the frame buffer and the backing image, either way.
void CopyBoxArea(bool toFrame) {
    auto* frame = static_cast<std::uint8_t*>(SurfacePixels());
    Image* backing = OverlayImages.backing;
    const int scale = OverlayScale();
    const int x = scale * OverlayBoxX, y0 = scale * OverlayBoxY;
    const int width = scale * OverlayBoxMaxWidth, height = scale * OverlayBoxMaxHeight;
    if (!frame || !backing || Surface.bytesPerPixel != 4 || Surface.width < x + width ||
        Surface.height < y0 + height || int(backing->width) < width ||
        int(backing->height) < height)
        return;
    const std::size_t bytes = std::size_t(width) * 4;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* screen = frame + std::size_t(y0 + y) * Surface.pitch + std::size_t(x) * 4;
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
