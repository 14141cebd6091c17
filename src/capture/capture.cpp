// Printing the game's render window into a 32-bit image.
//
// PrintWindow makes the window draw itself into a DIB section selected into a memory device
// context, also while the window lies off-screen; the DIB's rows are then copied into the
// image at the image's own pitch. The memory device context lives for the whole run; the DIB
// section and the image are made together and kept while the window's outer size stays.
// The probe and PrintWindow run on the print worker (print_worker.h); everything else here,
// on the render thread.
#include "capture/capture.h"

#include "capture/capture_image.h"
#include "pixels/image.h"
#include "platform/dib.h"
#include "runtime/pass_timing.h"
#ifdef _WIN32
#include "capture/remote_capture.h"
#include "capture/remote_frame.h"
#include "platform/performance_counter.h"
#endif

CaptureStateRecord CaptureState;
CapturePathRecord CapturePath;

namespace {

// A bitmap selected into a device context cannot be deleted: put the context's original
// bitmap back first.
void ReleaseDibSection() {
    if (!CaptureState.dibSection) return;
    if (CapturePath.originalBitmap) SelectObject(CaptureState.memoryDc, CapturePath.originalBitmap);
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
    if (!CapturePath.originalBitmap && previous != CaptureState.dibSection)
        CapturePath.originalBitmap = previous;
}

// The image and the DIB section at the window's outer size, the DIB section selected into
// the memory device context: 0, or -1 no image, -2 no DIB section (and then no image).
int PrepareDibSection(HWND window, Image*& image) {
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
    return 0;
}

bool ImageFitsDibSection(const Image* image) {
    return image && CaptureState.dibBits &&
           image->width == std::uint32_t(CaptureState.dibHeader.biWidth) &&
           image->height == std::uint32_t(-CaptureState.dibHeader.biHeight);
}

int CopyPrintedPicture(Image* image, CapturedPicture* picture) {
    const RowSpan changed =
        CopyPackedRows(static_cast<const std::uint8_t*>(CaptureState.dibBits),
                       CaptureState.dibHeader.biWidth, -CaptureState.dibHeader.biHeight, image);
    *picture = {image, changed, CapturePath.worker.printBegan, CapturePath.worker.printEnded};
    return 1;
}

// Probe and print wait on the game's window thread: they run on the print worker, and the
// pass waits for them at most PrintWaitMs.
int PrintJob(HWND window, int job) {
    const int result =
        PrintThroughWorker(CapturePath.worker, window, CaptureState.memoryDc, job, PrintWaitMs);
    PassMark("answer check");
    return result;
}

// The job of an earlier pass that did not end within its wait. While it runs on, this pass
// asks for nothing (PrintJobRunning: the image keeps its picture). Once it has ended, a
// picture it printed is this pass's: the print ended when the game answered again, so it
// shows the game as it is now, and taking it spares a second print. Without a picture, 0:
// the pass goes on as usual.
int CollectEarlierPrint(Image* image, CapturedPicture* picture) {
    const int earlier = AwaitPrintJob(CapturePath.worker, 0);
    if (earlier == PrintJobRunning) return PrintJobRunning;
    if (earlier == 1 && ImageFitsDibSection(image)) return CopyPrintedPicture(image, picture);
    return 0;
}

} // namespace

#ifdef _WIN32
int CaptureThroughHelper(HWND window, Image*& image, CapturedPicture* picture) {
    int width = 0, height = 0;
    const std::uint8_t* pixels = nullptr;
    const int reply = FetchRemoteFrame(window, &width, &height, &pixels);
    PassMark("helper wait");
    if (reply != RemoteFrameReady) return RemoteFrameCaptureResult(reply);
    const int fit = FitCaptureImage(image, width, height);
    if (fit < 0) return -1;
    RowSpan changed = CopyPackedRows(pixels, width, height, image);
    if (fit > 0) changed = {0, height}; // a new image counts whole
    std::int64_t began = 0, ended = 0;
    RemotePrintTimes(&began, &ended);
    *picture = {image, changed, PerformanceCounterSeconds(began), PerformanceCounterSeconds(ended)};
#ifdef LMP_PASS_TIMING
    PassPrinted(began, ended);
#endif
    return 1;
}

namespace {

// The first capture of a game that answers decides whether the helper inside the game
// prints; for its captures the worker runs the probe alone. Returns the print job still to
// run here, or 0 when the capture is done with *result.
int ProbeForHelper(HWND window, Image*& image, CapturedPicture* picture, int* result) {
    if (CapturePath.routeDecided && !CapturePath.throughHelper)
        return PrintJobProbe | PrintJobPrint;
    const int answer = PrintJob(window, PrintJobProbe);
    if (answer != PrintJobAnswered) {
        *result = answer;
        return 0;
    }
    if (!CapturePath.routeDecided) {
        // Wine cannot print a window of another process: a helper inside the game prints it.
        CapturePath.throughHelper = RemoteCaptureActive(window);
        CapturePath.routeDecided = true;
    }
    if (!CapturePath.throughHelper) return PrintJobPrint; // the probe is done
    *result = CaptureThroughHelper(window, image, picture);
    return 0;
}

} // namespace
#endif

void CaptureAhead(int wakeUpMs) {
#ifdef _WIN32
    RequestRemoteFrameAhead(wakeUpMs);
#else
    (void)wakeUpMs;
#endif
}

void CaptureAt(double sampleTime) {
#ifdef _WIN32
    RequestRemoteFrameAt(sampleTime);
#else
    (void)sampleTime;
#endif
}

int CaptureGameWindow(HWND window, Image*& image) {
    CapturedPicture picture;
    return CaptureGameWindow(window, image, &picture);
}

int CaptureGameWindow(HWND window, Image*& image, CapturedPicture* picture) {
    if (!IsWindow(window)) return 0;
#ifdef _WIN32
    // A picture the helper has printed ahead took an answer of the game's window thread, and
    // taking it waits for nothing: no need to ask the game whether it answers.
    if (RemoteFrameArrived(window)) return CaptureThroughHelper(window, image, picture);
#endif
    if (CapturePath.worker.inFlight) {
        const int earlier = CollectEarlierPrint(image, picture);
        if (earlier != 0) return earlier;
    }
    // A game that does not answer now is not printed, and the image keeps the last picture.
    int job = PrintJobProbe | PrintJobPrint;
#ifdef _WIN32
    int result = 0;
    job = ProbeForHelper(window, image, picture, &result);
    if (job == 0) return result;
#endif
    const int prepared = PrepareDibSection(window, image);
    if (prepared < 0) return prepared;
    const int printed = PrintJob(window, job);
    return printed == 1 ? CopyPrintedPicture(image, picture) : printed;
}

void StopCapture() {
    StopPrintWorker(CapturePath.worker);
}
