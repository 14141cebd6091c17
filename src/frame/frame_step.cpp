// One frame of the viewer, run by the render thread about every 17 ms: work images, frame
// counting, the surface's size, hot keys, then under the surface lock the capture (with the
// smooth pacing before the lock), the picture of the current filter, a screenshot's copy when
// one is wanted, and the overlay.
#include "frame/frame_step.h"
#include "frame/screenshots.h"

#include "capture/capture.h"
#include "frame/frame_meter.h"
#include "game/fullscreen.h"
#include "game/target_game.h"
#include "pixels/image.h"
#include "runtime/pass_timing.h"
#include "window/surface.h"

#include <algorithm>
#include <cstring>

FrameStateRecord FrameState;
FrameBufferShowsRecord FrameBufferShows;

namespace {

struct WorkImagePlan {
    Image** slot;
    int width, height, depth; // depth 0: the surface's (32-bit)
    std::uint32_t colour, flags;
};

// The picture beneath the overlay's largest box at its largest scale.
constexpr int BackingWidth = OverlayMaxScale * OverlayBoxMaxWidth;
constexpr int BackingHeight = OverlayMaxScale * OverlayBoxMaxHeight;

const WorkImagePlan WorkImages[] = {
    {&FrameState.smallArgbImage, 320, 240, 0, 0, DefaultColour},
    {&FrameState.largeArgbImage, 640, 480, 0, 0, DefaultColour},
    {&FrameState.smallRgb565Image, 320, 240, 16, 0, 0},
    {&FrameState.largeRgb565Image, 640, 480, 16, 0, 0},
    {&OverlayImages.backing, BackingWidth, BackingHeight, 0, 0, DefaultColour},
    {&OverlayImages.box, OverlayBoxMaxWidth, OverlayBoxMaxHeight, 0, 0, DefaultColour},
};

// The game draws its picture 2 pixels right of and below its render window's corner.
constexpr int PictureLeft = 2, PictureTop = 2;

constexpr RowSpan NoRows{};

// The whole frame buffer, as the filters draw it.
RowSpan FrameBufferRows() {
    return SurfacePixels() ? RowSpan{0, Surface.height} : NoRows;
}

// The game's single-size picture into smallArgbImage; false when that image is missing.
bool CopySmallPicture(const Image* captured) {
    Image* small = FrameState.smallArgbImage;
    if (!small) return false;
    PutImage(small, 0.0f, 0.0f, captured, PictureLeft, PictureTop, PictureLeft + 319,
             PictureTop + 239, Copy);
    return true;
}

// The game's doubled picture in the capture, cut to what the capture holds.
ConstPixelView DoubledPicture(const Image* captured) {
    if (!captured || captured->bytesPerPixel != 4) return {};
    const int width = std::min(640, int(captured->width) - PictureLeft);
    const int height = std::min(480, int(captured->height) - PictureTop);
    if (width <= 0 || height <= 0) return {};
    const auto* first = reinterpret_cast<const std::uint32_t*>(
        ImagePixels(captured) + std::size_t(PictureTop) * captured->pitch + PictureLeft * 4);
    return {first, width, height, std::ptrdiff_t(captured->pitch)};
}

ConstPixelView SmallPicture(const Image* captured) {
    if (!CopySmallPicture(captured)) return {};
    const Image* small = FrameState.smallArgbImage;
    return {reinterpret_cast<const std::uint32_t*>(ImagePixels(small)), int(small->width),
            int(small->height), std::ptrdiff_t(small->pitch)};
}

PixelView FrameBufferView() {
    auto* pixels = static_cast<std::uint32_t*>(SurfacePixels());
    if (!pixels || Surface.bytesPerPixel != 4) return {};
    return {pixels, Surface.width, Surface.height, std::ptrdiff_t(Surface.pitch)};
}

} // namespace

void MakeWorkImages() {
    for (const WorkImagePlan& plan : WorkImages) {
        Image*& image = *plan.slot;
        if (!image)
            image = CreateImage(plan.width, plan.height, plan.colour, plan.depth, plan.flags);
    }
    for (int grid = MinGrid; grid <= FrameState.maxGrid && grid <= MaxGrid; ++grid)
        PrepareFilterWork(FrameState.filterWorks[GridIndex(grid)], 320, 240, grid);
}

int FrameGrid() {
    for (int grid = MinGrid; grid <= MaxGrid; ++grid)
        if (Surface.width == grid * 320 && Surface.height == grid * 240) return grid;
    return MinGrid;
}

void FollowShownGrid() {
    const int grid = SurfaceGrid(FrameState.maxGrid);
    if (grid == FrameGrid() || !SurfacePixels()) return;
    if (ResizeFrameBuffer(grid * 320, grid * 240)) FrameBufferShows.picture = false;
}

void CountFrame(double now, bool counted) {
    if (FrameState.nextFpsUpdate == 0.0) FrameState.nextFpsUpdate = now + 1.0;
    if (counted) ++FrameState.frameCount;
    if (now > FrameState.nextFpsUpdate) {
        FrameState.fps = FrameState.frameCount;
        FrameState.frameCount = 0;
        FrameState.nextFpsUpdate = now + 1.0;
    }
}

// The current size starts at 0x0, so the first frame opens the surface again at the wanted
// size. It is taken over only when the open succeeds: a surface that could not be opened is
// tried again on the next frame instead of leaving the viewer without a window for good.
void ReopenSurfaceWhenResized() {
    if (TargetGame.currentWidth == TargetGame.wantedWidth &&
        TargetGame.currentHeight == TargetGame.wantedHeight)
        return;
    if (ReopenViewerSurface(TargetGame.wantedWidth, TargetGame.wantedHeight) != 0) return;
    FrameBufferShows.picture = false; // a new frame buffer holds no picture yet
    TargetGame.currentWidth = TargetGame.wantedWidth;
    TargetGame.currentHeight = TargetGame.wantedHeight;
}

RowSpan DrawPicture(const Image* captured) {
    const FilterRow& row = FilterRowOf(FrameState.filterMode);
    const ConstPixelView source =
        row.readsDoubled ? DoubledPicture(captured) : SmallPicture(captured);
    const PixelView frame = FrameBufferView();
    if (source.Empty() || frame.Empty()) return NoRows;
    const int grid = FrameGrid();
    FilterWork& work = FrameState.filterWorks[GridIndex(grid)];
    if (work.grid != grid || !row.passes[GridIndex(grid)](source, frame, work)) return NoRows;
    return FrameBufferRows();
}

namespace {

// A new picture goes to the window thread with what the meter and the measuring build want to
// know of it; the window thread notes when it presented it (Surface.pictureShownAt). Under the
// surface lock.
void NotePictureHanded(const CapturedPicture& picture) {
    const double now = Timer();
    Surface.pictureSeenAt = picture.printBegan > 0.0 ? picture.printBegan : now;
    FrameMeterState.figures.NewPicture(now);
    PassPictureHanded(picture.printBegan, picture.printEnded);
}

// What the window thread presented since the last pass, and what the pacing skipped and
// repeated, for the meter. Under the surface lock.
void FeedMeter(double now) {
    FrameMeterRecord& meter = FrameMeterState;
    if (Surface.pictureShownAt > 0.0 && Surface.shownSeenAt != meter.lastShownSeenAt) {
        meter.figures.Presented(Surface.shownSeenAt, Surface.pictureShownAt);
        meter.lastShownSeenAt = Surface.shownSeenAt;
    }
    const GameFrameSchedule& schedule = FramePacing.schedule;
    meter.figures.Skipped(now, schedule.Skipped() - meter.skippedSeen);
    meter.figures.Repeated(now, schedule.Repeated() - meter.repeatedSeen);
    meter.skippedSeen = schedule.Skipped();
    meter.repeatedSeen = schedule.Repeated();
}

// The rows drawn, marked for presentation, and the lock let go.
void HandOverRows(RowSpan drawn) {
    PassHandedOver();
    if (drawn.Empty())
        UnlockSurface(1, 0); // no row changed
    else
        UnlockSurface(drawn.first, drawn.end - 1);
}

// With the smooth pacing only what changed is drawn: the picture when the capture brought a
// new one (or the filter or the frame buffer changed), else the overlay alone over the clean
// picture kept beneath it, else nothing. Returns the frame buffer's rows drawn.
RowSpan DrawChanges(const CapturedPicture& picture, bool newPicture) {
    const double now = Timer();
    CountFrame(now, newPicture);
    char text[sizeof OverlayImages.shownText] = {};
    const int boxWidth = OverlayText(now, text, int(sizeof text));
    bool overlayChanged = std::strcmp(text, OverlayImages.shownText) != 0;
    const bool redraw =
        newPicture || !FrameBufferShows.picture || FrameBufferShows.filter != FrameState.filterMode;
    RowSpan drawn;
    if (redraw) {
        drawn = DrawPicture(picture.image);
        if (newPicture) NotePictureHanded(picture);
        KeepOverlayBacking();
        FrameBufferShows.picture = true;
        FrameBufferShows.filter = FrameState.filterMode;
    } else if (overlayChanged || Screenshots.wanted) {
        RestoreOverlayBacking(); // a screenshot is taken without the overlay, drawn again after
        overlayChanged = true;
    }
    TakeWantedScreenshot();
    if (redraw || overlayChanged) {
        // The rows of the box drawn and of the one it replaces.
        const int height = DrawOverlayText(text, boxWidth);
        const int top = OverlayScale() * OverlayBoxY;
        drawn = drawn.With({top, top + std::max(height, OverlayImages.shownHeight)});
        std::memcpy(OverlayImages.shownText, text, sizeof text);
        OverlayImages.shownHeight = height;
    }
    PassMark("overlay");
    return drawn;
}

} // namespace

void RenderFrame() {
    const bool smooth = FramePacing.pacing == Pacing::Smooth;
    MakeWorkImages();
    if (!smooth) CountFrame(Timer());
    HWND renderWindow = GetWindow(TargetGame.gameWindow, GW_CHILD);
    ReopenSurfaceWhenResized();
    PassMark("prepare");
    // Display changes and hot keys come before the lock: both may place or restyle the viewer
    // window, which the surface's window thread must answer, and it does not while the lock is
    // held.
    FollowDisplayChange();
    HandleHotKeys();
    ShowScreenshotOutcome(Timer());
    PassMark("hot keys");
    // The fixed pacing holds the surface lock from the capture on. The smooth one prints
    // first: on Windows a print waits for the game's thread to pump its messages, and the
    // window thread must go on presenting and pumping meanwhile. The capture image is the
    // render thread's own, so the lock has nothing of it to guard.
    if (!smooth) LockSurface();
    PassMark("lock wait");
    CapturedPicture picture;
    const int captured = CaptureGameWindow(renderWindow, FrameState.captureImage, &picture);
    const bool newPicture = captured == 1 && !picture.changed.Empty();
    FramePacing.sampledNewPicture = newPicture;
    PassMark("capture copy");
    picture.image = FrameState.captureImage;
    if (captured == 1) NoteGamePicture(picture.image, picture.printBegan);
    ReadHotKeysAgain(); // the print may have waited for the game: no press missed meanwhile
    if (smooth) {
        LockSurface();
        PassMark("lock wait");
        FollowShownGrid();
        // A pass that copied no picture counts as a look that found the old one, now.
        const double now = Timer();
        FramePacing.schedule.Sampled(captured == 1 ? picture.printBegan : now,
                                     captured == 1 ? picture.printEnded : now, newPicture);
        FeedMeter(now);
        HandOverRows(DrawChanges(picture, newPicture));
    } else {
        FeedMeter(Timer());
        FollowShownGrid();
        DrawPicture(FrameState.captureImage);
        if (newPicture) NotePictureHanded(picture);
        PassMark("picture");
        TakeWantedScreenshot();
        DrawOverlay(Timer());
        PassMark("overlay");
        PassHandedOver();
        UnlockSurface(-1, -1);
    }
    PassMark("unlock");
}
