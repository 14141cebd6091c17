// Printing the game's render window into a 32-bit image.
//
// PrintWindow makes the window draw itself into a DIB section selected into a memory device
// context, also while the window lies off-screen; the DIB's rows are then copied into the
// image at the image's own pitch. The memory device context lives for the whole run; the DIB
// section and the image are made together and kept while the window's outer size stays.
#include "viewer/pipeline/capture.h"

#include "platform/dib.h"
#include "viewer/lifecycle/game/target_game.h"
#include "viewer/pipeline/capture_image.h"
#include "viewer/surface/image.h"
#include "viewer/surface/pass_timing.h"
#include "viewer/surface/surface.h"
#ifdef _WIN32
#include "platform/performance_counter.h"
#include "viewer/wine_capture/remote_capture.h"
#include "viewer/wine_capture/remote_frame.h"
#endif

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

} // namespace

#ifdef _WIN32
int CaptureThroughHelper(HWND window, Image*& image) {
    int width = 0, height = 0;
    const std::uint8_t* pixels = nullptr;
    const int reply = FetchRemoteFrame(window, &width, &height, &pixels);
    PassMark(StageHelperWait);
    if (reply != RemoteFrameReady) return RemoteFrameCaptureResult(reply);
    const int fit = FitCaptureImage(image, width, height);
    if (fit < 0) return -1;
    CaptureState.pictureChanged = CopyPackedRows(pixels, width, height, image) || fit > 0;
    std::int64_t began = 0, ended = 0;
    RemotePrintTimes(&began, &ended);
    CaptureState.printBegan = double(began) / (PerformanceTicksPerMs() * 1000.0);
    CaptureState.printEnded = double(ended) / (PerformanceTicksPerMs() * 1000.0);
#ifdef LMP_PASS_TIMING
    PassPrinted(began, ended);
#endif
    return 1;
}
#endif

void CaptureAhead(int wakeUpMs) {
#ifdef _WIN32
    RequestRemoteFrameAhead(wakeUpMs);
#else
    (void)wakeUpMs;
#endif
}

int CaptureGameWindow(HWND window, Image*& image) {
    if (!IsWindow(window)) return 0;
#ifdef _WIN32
    // A picture the helper has printed ahead took an answer of the game's window thread, and
    // taking it waits for nothing: no need to ask the game whether it answers.
    if (RemoteFrameArrived(window)) return CaptureThroughHelper(window, image);
#endif
    // Printing waits on the game's window thread: a game that does not answer now is not
    // printed, and the image keeps the last picture.
    const bool answers = GameAnswers(window);
    PassMark(StageGameAnswers);
    if (!answers) return -5;
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

    // The DIB section is made together with the image and follows its size.
    const int fit = FitCaptureImage(image, width, height);
    if (fit != 0) ReleaseDibSection();
    if (fit < 0) {
        DeleteDC(display);
        return -1;
    }
    if (fit > 0) MakeDibSection(display, width, height);
    DeleteDC(display);

    if (!CaptureState.dibSection) {
        DestroyImage(image);
        image = nullptr;
        return -2;
    }
    SelectDibSection();
    const double began = Timer();
    if (!PrintWindow(window, CaptureState.memoryDc, 0)) return -3;
    CaptureState.printBegan = began;
    CaptureState.printEnded = Timer();
    CaptureState.pictureChanged =
        CopyPackedRows(static_cast<const std::uint8_t*>(CaptureState.dibBits), width, height,
                       image) ||
        fit > 0;
    return 1;
}
