// Printing the game's render window into a 32-bit image.
#pragma once

#include "platform/win32.h"

struct Image;

// Threads. Only the thread that captures (the render thread) writes or reads the record; the
// memory device context lives for the whole run. memoryDcCreated is kept as its own field
// although it always equals memoryDc != nullptr: other code reads it by that name.
struct CaptureStateRecord {
    bool memoryDcCreated = false;
    HDC memoryDc = nullptr;
    HGDIOBJ originalBitmap = nullptr; // what memoryDc held before dibSection was first selected
    HBITMAP dibSection = nullptr;
    BITMAPINFOHEADER dibHeader{};
    void* dibBits = nullptr;
    // The latest capture that copied a picture: whether it differed from the one before (a
    // replaced image counts as different), and when its print began and ended (Timer()).
    bool pictureChanged = false;
    double printBegan = 0.0, printEnded = 0.0;
};

extern CaptureStateRecord CaptureState;

// 1 copied, 0 not a window, -1 no image, -2 no DIB section, -3 printing failed, -5 the game
// does not answer (not printed, the image keeps its picture); through the helper also -4,
// the window is larger than the helper accepts.
int CaptureGameWindow(HWND window, Image*& image);

// Asks for the next capture ahead, to be ready `wakeUpMs` from now, where the capture can
// be prepared without waiting (the helper inside the game under Wine); otherwise nothing.
void CaptureAhead(int wakeUpMs);

#ifdef _WIN32
// CaptureGameWindow's work through the helper inside the game, with the same image rules:
// 1 copied, 0 not a window, -1 no image could be made, -3 no new picture within
// RemoteFrameWaitMs (the image keeps its earlier picture), -4 too large for the helper.
int CaptureThroughHelper(HWND window, Image*& image);
#endif
