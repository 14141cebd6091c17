// Printing the game's render window into a 32-bit image.
#pragma once

#include "platform/win32.h"

struct Image;

struct CaptureStateRecord {
    bool memoryDcCreated = false;
    HDC memoryDc = nullptr;
    HGDIOBJ originalBitmap = nullptr; // what memoryDc held before dibSection was first selected
    HBITMAP dibSection = nullptr;
    BITMAPINFOHEADER dibHeader{};
    void* dibBits = nullptr;
};

extern CaptureStateRecord CaptureState;

// 1 copied, 0 not a window, -1 no image, -2 no DIB section, -3 printing failed.
int CaptureGameWindow(HWND window, Image*& image);
