// Printing the game's render window into a 32-bit image.
//
// PrintWindow makes the window draw itself into a DIB section selected into a memory device
// context, also while the window lies off-screen; the DIB's rows are then copied into the
// image at the image's own pitch. The memory device context lives for the whole run; the DIB
// section and the image are made together and kept while the window's outer size stays.
#include "viewer/pipeline/capture.h"

#include "platform/dib.h"
#include "viewer/pipeline/remote_frame.h"
#include "viewer/surface/image.h"
#ifdef _WIN32
#include "viewer/pipeline/remote_capture.h"
#endif

#include <cstring>

CaptureStateRecord CaptureState;

namespace {

// A bitmap selected into a device context cannot be deleted: put the context's original
// bitmap back first.
void ReleaseDibSection() {
    if (!CaptureState.dibSection) return;
    if (CaptureState.originalBitmap)
        SelectObject(CaptureState.memoryDc, CaptureState.originalBitmap);
    DeleteObject(CaptureState.dibSection);
    CaptureState.dibSection = nullptr;
    CaptureState.dibBits = nullptr;
}

void MakeDibSection(HDC display, int width, int height) {
    BITMAPINFOHEADER& header = CaptureState.dibHeader;
    header = TopDownDibHeader(width, height);
    CaptureState.dibSection =
        CreateDIBSection(display, reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS,
                         &CaptureState.dibBits, nullptr, 0);
    if (!CaptureState.dibSection) CaptureState.dibBits = nullptr;
}

void SelectDibSection() {
    HGDIOBJ previous = SelectObject(CaptureState.memoryDc, CaptureState.dibSection);
    if (!CaptureState.originalBitmap && previous != CaptureState.dibSection)
        CaptureState.originalBitmap = previous;
}

void CopyRows(Image* image, int width, int height) {
    const auto* source = static_cast<const std::uint8_t*>(CaptureState.dibBits);
    const std::size_t rowBytes = std::size_t(width) * 4;
    for (int y = 0; y < height; ++y)
        std::memcpy(ImageRow(image, y), source + std::size_t(y) * rowBytes, rowBytes);
}

} // namespace

int CaptureGameWindow(HWND window, Image*& image) {
    if (!IsWindow(window)) return 0;
#ifdef _WIN32
    // Wine cannot print a window of another process: a helper inside the game prints it.
    if (RemoteCaptureActive(window)) return CaptureThroughHelper(window, image);
#endif
    HDC display = CreateDCA("Display", nullptr, nullptr, nullptr);
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;

    // Tried again on a later call if the first attempt found no memory for it.
    if (!CaptureState.memoryDc) CaptureState.memoryDc = CreateCompatibleDC(display);
    CaptureState.memoryDcCreated = CaptureState.memoryDc != nullptr;

    if (!CaptureImageFits(image, width, height)) {
        if (image) DestroyImage(image);
        image = nullptr;
        ReleaseDibSection();
        image = CreateImage(width, height, 0, 32, DefaultColour);
        if (!image) {
            DeleteDC(display);
            return -1;
        }
        MakeDibSection(display, width, height);
    }
    DeleteDC(display);

    if (!CaptureState.dibSection) {
        DestroyImage(image);
        image = nullptr;
        return -2;
    }
    SelectDibSection();
    if (!PrintWindow(window, CaptureState.memoryDc, 0)) return -3;
    CopyRows(image, width, height);
    return 1;
}
