// Puts the frame step's and the capture's records back to the values they have when the
// program loads: the work images destroyed, a print worker ended.
#pragma once

#include "capture/capture.h"
#include "frame/frame_step.h"
#include "pixels/image.h"

#include <initializer_list>

inline void ResetFrameRecords() {
    StopCapture();
    for (Image** image : {&FrameState.captureImage, &FrameState.smallArgbImage,
                          &FrameState.largeArgbImage, &FrameState.smallRgb565Image,
                          &FrameState.largeRgb565Image, &OverlayImages.backing, &OverlayImages.box})
        if (*image) DestroyImage(*image);
    FrameState = FrameStateRecord{};
    FrameBufferShows = FrameBufferShowsRecord{};
    FramePacing = FramePacingRecord{};
    OverlayImages = OverlayImagesRecord{};
    HotKeys = HotKeysRecord{};
    CaptureState = CaptureStateRecord{};
    CapturePath = CapturePathRecord{};
}
