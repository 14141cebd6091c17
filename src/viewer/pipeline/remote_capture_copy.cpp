// A frame from the capture helper into the capture image, by the capture's image rules: the
// image is replaced when it is not a 32-bit image of the frame's size.
#include "viewer/pipeline/remote_capture.h"

#include "viewer/pipeline/remote_frame.h"
#include "viewer/surface/image.h"

int CaptureThroughHelper(HWND window, Image*& image) {
    int width = 0, height = 0;
    const std::uint8_t* pixels = nullptr;
    const int reply = FetchRemoteFrame(window, &width, &height, &pixels);
    if (reply != RemoteFrameReady) return RemoteFrameCaptureResult(reply);
    if (!CaptureImageFits(image, width, height)) {
        if (image) DestroyImage(image);
        image = CreateImage(width, height, 0, 32, DefaultColour);
        if (!image) return -1;
    }
    CopyRemoteFrameRows(pixels, width, height, image);
    return 1;
}
