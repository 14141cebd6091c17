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

void CountFrame(double now) {
    if (FrameState.nextFpsUpdate == 0.0) FrameState.nextFpsUpdate = now + 1.0;
    ++FrameState.frameCount;
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

void RenderFrame() {
    MakeWorkImages();
    CountFrame(Timer());
    HWND renderWindow = GetWindow(TargetGame.gameWindow, GW_CHILD);
    ReopenSurfaceWhenResized();
    PassMark(StagePrepare);
    // Hot keys come before the lock: F6 restyles the viewer window, which the surface's window
    // thread must answer, and it does not while the lock is held.
    HandleHotKeys();
    PassMark(StageHotKeys);
    LockSurface();
    PassMark(StageLockWait);
    CaptureGameWindow(renderWindow, FrameState.captureImage);
    PassMark(StageCaptureCopy);
    DrawPicture();
    PassMark(StagePicture);
    DrawOverlay(Timer());
    PassMark(StageOverlay);
    UnlockSurface(-1, -1);
    PassMark(StageUnlock);
}
