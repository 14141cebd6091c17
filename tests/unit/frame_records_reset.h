// Puts the frame step's and the capture's records back to the values they have when the
// program loads: the work images destroyed, a print worker ended.
#pragma once

#include "viewer/pipeline/capture.h"
#include "viewer/pipeline/frame_step.h"
#include "viewer/surface/image.h"

inline void ResetFrameRecords() {
    StopCapture();
    for (Image** image :
         {&FrameState.captureImage, &FrameState.smallArgbImage, &FrameState.largeArgbImage,
          &FrameState.smallRgb565Image, &FrameState.largeRgb565Image, &FrameState.overlayBacking,
          &FrameState.overlayBox})
        if (*image) DestroyImage(*image);
    FrameState = FrameStateRecord{};
    CaptureState = CaptureStateRecord{};
}
