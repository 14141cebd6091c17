// Printing the game's render window into a 32-bit image.
#pragma once

#include "capture/print_worker.h"
#include "pixels/row_span.h"
#include "platform/win32.h"

struct Image;

// Threads. Only the thread that captures (the render thread) writes or reads the record,
// apart from the print worker (print_worker.h): while a job is in flight
// (CapturePath.worker.inFlight), memoryDc and the DIB section selected into it are the
// worker's, and the render thread neither changes them nor reads dibBits. The memory device
// context lives for the whole run, and a print still stuck when the viewer ends leaves it and
// the DIB section to the process end. memoryDcCreated is kept as its own field although it
// always equals memoryDc != nullptr: other code reads it by that name.
struct CaptureStateRecord {
    bool memoryDcCreated = false;
    HDC memoryDc = nullptr;
    HBITMAP dibSection = nullptr;
    BITMAPINFOHEADER dibHeader{};
    void* dibBits = nullptr;
};

extern CaptureStateRecord CaptureState;

// How the picture is printed. Threads: the render thread's, apart from the print worker's
// share of `worker` (print_worker.h).
struct CapturePathRecord {
    HGDIOBJ originalBitmap = nullptr; // what memoryDc held before dibSection was first selected
    // Under Windows: whether the helper inside the game prints (throughHelper), decided on
    // the first capture of a game that answers.
    bool routeDecided = false;
    bool throughHelper = false;
    PrintWorkerRecord worker;
};

extern CapturePathRecord CapturePath;

// What a capture that copied a picture hands on to the frame step: the image that holds it
// (pixels, pitch and size), the rows that differ from the picture before (a replaced image
// counts whole), and when its print began and ended (Timer()).
struct CapturedPicture {
    const Image* image = nullptr;
    RowSpan changed;
    double printBegan = 0.0, printEnded = 0.0;
};

// How long a pass waits for its own print (the probe included) on the print worker.
constexpr DWORD PrintWaitMs = 50;

// 1 copied, 0 not a window, -1 no image, -2 no DIB section, -3 printing failed, -5 the game
// does not answer (not printed, the image keeps its picture), -6 (PrintJobRunning) a print
// has not ended within PrintWaitMs, or the print of an earlier pass runs on: the game
// stopped answering after the probe; the image keeps its picture and no other print is
// asked for until that one has ended. Through the helper also -4, the window is larger than
// the helper accepts.
int CaptureGameWindow(HWND window, Image*& image);
// The same, and on 1 the picture as the frame step takes it.
int CaptureGameWindow(HWND window, Image*& image, CapturedPicture* picture);

// After the last capture (the render thread's end): ends the print worker without waiting
// for a stuck print.
void StopCapture();

// Asks for the next capture ahead, to be ready `wakeUpMs` from now, where the capture can
// be prepared without waiting (the helper inside the game under Wine); otherwise nothing.
void CaptureAhead(int wakeUpMs);
// The same for a capture at `sampleTime` (Timer() seconds), which that moment's pass waits
// for: the smooth pacing's samples.
void CaptureAt(double sampleTime);

#ifdef _WIN32
// CaptureGameWindow's work through the helper inside the game, with the same image rules:
// 1 copied, 0 not a window, -1 no image could be made, -3 no new picture within
// RemoteFrameWaitMs (the image keeps its earlier picture), -4 too large for the helper.
int CaptureThroughHelper(HWND window, Image*& image, CapturedPicture* picture);
#endif
