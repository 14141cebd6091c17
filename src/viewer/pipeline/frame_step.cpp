// One frame of the viewer, run by the render thread about every 17 ms: work images, frame
// counting, the surface's size, hot keys, then under the surface lock the capture, the
// picture of the current filter and the overlay.
#include "viewer/pipeline/frame_step.h"

#include "viewer/lifecycle/game/fullscreen.h"
#include "viewer/lifecycle/game/target_game.h"
#include "viewer/pipeline/capture.h"
#include "viewer/pipeline/filters/hq2x.h"
#include "viewer/pipeline/filters/hq2x_frame.h"
#include "viewer/pipeline/filters/scale2x.h"
#include "viewer/surface/image.h"
#include "viewer/surface/pass_timing.h"
#include "viewer/surface/surface.h"

#include <cstring>

FrameStateRecord FrameState;

namespace {

struct WorkImagePlan {
    Image* FrameStateRecord::*slot;
    int width, height, depth; // depth 0: the surface's (32-bit)
    std::uint32_t colour, flags;
};

constexpr WorkImagePlan WorkImages[] = {
    {&FrameStateRecord::smallArgbImage, 320, 240, 0, 0, DefaultColour},
    {&FrameStateRecord::largeArgbImage, 640, 480, 0, 0, DefaultColour},
    {&FrameStateRecord::smallRgb565Image, 320, 240, 16, 0, 0},
    {&FrameStateRecord::largeRgb565Image, 640, 480, 16, 0, 0},
    {&FrameStateRecord::overlayBacking, OverlayBoxMaxWidth, OverlayBoxHeight, 0, 0, DefaultColour},
    {&FrameStateRecord::overlayBox, OverlayBoxMaxWidth, OverlayBoxHeight, 0, 0, DefaultColour},
};

// The game draws its picture 2 pixels right of and below its render window's corner.
constexpr int PictureLeft = 2, PictureTop = 2;

// The game's single-size picture into smallArgbImage; false when that image is missing.
bool CopySmallPicture() {
    Image* small = FrameState.smallArgbImage;
    if (!small) return false;
    PutImage(small, 0.0f, 0.0f, FrameState.captureImage, PictureLeft, PictureTop, PictureLeft + 319,
             PictureTop + 239, Copy);
    return true;
}

void DrawScale2x() {
    if (!CopySmallPicture()) return;
    void* frameBuffer = SurfacePixels();
    if (frameBuffer) Scale2xFrame(ImagePixels(FrameState.smallArgbImage), frameBuffer);
}

void DrawHq2x() {
    Image* small = FrameState.smallArgbImage;
    Image* large = FrameState.largeArgbImage;
    Image* small565 = FrameState.smallRgb565Image;
    Image* large565 = FrameState.largeRgb565Image;
    if (!small || !large || !small565 || !large565 || !Rgb565To888Table || !Rgb565ToYuvTable)
        return;
    CopySmallPicture();
    // small565's rows are packed (320 x 2 bytes, already a multiple of 16).
    Hq2xFrame(reinterpret_cast<const std::uint32_t*>(ImagePixels(small)), small->pitch,
              int(small->width), int(small->height),
              reinterpret_cast<std::uint16_t*>(ImagePixels(small565)),
              reinterpret_cast<std::uint16_t*>(ImagePixels(large565)), large565->pitch,
              reinterpret_cast<std::uint32_t*>(ImagePixels(large)), large->pitch);
    PutImage(nullptr, 0.0f, 0.0f, large, WholeImage, 0, 0, 0, Copy);
}

} // namespace

void MakeWorkImages() {
    for (const WorkImagePlan& plan : WorkImages) {
        Image*& image = FrameState.*plan.slot;
        if (!image)
            image = CreateImage(plan.width, plan.height, plan.colour, plan.depth, plan.flags);
    }
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
    FrameState.pictureShown = false; // a new frame buffer holds no picture yet
    TargetGame.currentWidth = TargetGame.wantedWidth;
    TargetGame.currentHeight = TargetGame.wantedHeight;
}

void DrawPicture() {
    switch (FrameState.filterMode) {
    case FilterOff:
        PutImage(nullptr, 0.0f, 0.0f, FrameState.captureImage, PictureLeft, PictureTop,
                 PictureLeft + 639, PictureTop + 479, Copy);
        break;
    case FilterScale2x:
        DrawScale2x();
        break;
    case FilterHq2x:
        DrawHq2x();
        break;
    }
}

namespace {

// How long after the game's change its picture is presented: the schedule's main sample
// comes GameFrameSchedule::Offset after it, and the print, the filter and the hand-over take
// a few milliseconds more. A picture that is later than that is presented at once.
constexpr double PresentLatencySeconds = GameFrameSchedule::Offset + 0.003;

// Every picture of a game frame goes to the display at the same moment of its frame, not as
// soon as it is drawn: samples land on whole milliseconds, and a picture ready a little
// earlier or later than the one before would otherwise meet a display refresh on either side
// of it, showing one frame twice and dropping the next.
void PresentInStep() {
    const double change = FrameState.schedule.CaughtChange();
    Surface.presentAfter = change > 0.0 ? change + PresentLatencySeconds : 0.0;
}

// With the smooth pacing only what changed is drawn: the picture when the capture brought a
// new one (or the filter or the frame buffer changed), else the overlay alone over the clean
// picture kept beneath it, else nothing. Only the rows drawn are handed to presentation.
void DrawChanges(bool newPicture) {
    const double now = Timer();
    CountFrame(now, newPicture);
    char text[sizeof FrameState.shownOverlay] = {};
    OverlayText(now, text, int(sizeof text));
    const bool overlayChanged = std::strcmp(text, FrameState.shownOverlay) != 0;
    const bool redraw =
        newPicture || !FrameState.pictureShown || FrameState.shownFilter != FrameState.filterMode;
    if (redraw) {
        DrawPicture();
        if (newPicture) PresentInStep();
        KeepOverlayBacking();
        FrameState.pictureShown = true;
        FrameState.shownFilter = FrameState.filterMode;
    } else if (overlayChanged) {
        RestoreOverlayBacking();
    }
    if (redraw || overlayChanged) {
        DrawOverlay(now);
        std::memcpy(FrameState.shownOverlay, text, sizeof text);
    }
    PassMark(StageOverlay);
    if (redraw)
        UnlockSurface(-1, -1);
    else if (overlayChanged)
        UnlockSurface(OverlayBoxY, OverlayBoxY + OverlayBoxHeight - 1);
    else
        UnlockSurface(1, 0); // no row changed
}

} // namespace

void RenderFrame() {
    const bool smooth = FrameState.pacing == Pacing::Smooth;
    MakeWorkImages();
    if (!smooth) CountFrame(Timer());
    HWND renderWindow = GetWindow(TargetGame.gameWindow, GW_CHILD);
    ReopenSurfaceWhenResized();
    PassMark(StagePrepare);
    // Display changes and hot keys come before the lock: both may place or restyle the viewer
    // window, which the surface's window thread must answer, and it does not while the lock is
    // held.
    FollowDisplayChange();
    HandleHotKeys();
    PassMark(StageHotKeys);
    LockSurface();
    PassMark(StageLockWait);
    const int captured = CaptureGameWindow(renderWindow, FrameState.captureImage);
    FrameState.sampledNewPicture = captured == 1 && CaptureState.pictureChanged;
    PassMark(StageCaptureCopy);
    if (smooth) {
        // A pass that copied no picture counts as a look that found the old one, now.
        const double now = Timer();
        FrameState.schedule.Sampled(captured == 1 ? CaptureState.printBegan : now,
                                    captured == 1 ? CaptureState.printEnded : now,
                                    FrameState.sampledNewPicture);
        DrawChanges(FrameState.sampledNewPicture);
    } else {
        DrawPicture();
        PassMark(StagePicture);
        DrawOverlay(Timer());
        PassMark(StageOverlay);
        UnlockSurface(-1, -1);
    }
    PassMark(StageUnlock);
}
