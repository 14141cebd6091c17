// The header of a 32-bit DIB whose first row in memory is the top row: what the capture, the
// capture helper and the test tools print into and draw from.
#pragma once

#include "platform/win32.h"

inline BITMAPINFOHEADER TopDownDibHeader(int width, int height) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    return header;
}

// The same as a BITMAPINFO without a colour table.
inline BITMAPINFO TopDownDibInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = TopDownDibHeader(width, height);
    return info;
}
