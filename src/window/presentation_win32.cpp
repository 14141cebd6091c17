// GDI presentation of the surface: the presentation buffer, shown where the display fit
// places it in the window's client area (nearest neighbour) by StretchDIBits or from a DIB
// section, or its sharp picture 1:1 (sharp_presentation_win32.cpp), black around it.
#include "platform/dib.h"
#include "runtime/aligned_memory.h"
#include "window/surface.h"
#include "window/surface_win32.h"

#include <cstring>

namespace {

// Blackens the client area outside the picture, never over it, so nothing flickers.
void PaintBars(HDC dc, int width, int height, const FitRect& picture) {
    const int right = picture.x + picture.width, bottom = picture.y + picture.height;
    const RECT bars[] = {
        {0, 0, width, picture.y},          // above
        {0, bottom, width, height},        // below
        {0, picture.y, picture.x, bottom}, // left
        {right, picture.y, width, bottom}, // right
    };
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (const RECT& bar : bars)
        if (bar.right > bar.left && bar.bottom > bar.top) FillRect(dc, &bar, black);
}

} // namespace

bool PresentTo(HWND window, HDC dc, bool fullRepaint) {
    if (FlipPresentationActive()) return PresentRows(window, -1, -1);
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return true; // minimised: nothing to show
    const int w = Win.frameWidth, h = Win.frameHeight;
    const DisplayFit fit = Win.fit.load();
    const FitRect picture = FitFrame(fit, width, height, w, h);
    if (fullRepaint || fit != Win.barsFit || width != Win.barsWidth || height != Win.barsHeight) {
        PaintBars(dc, width, height, picture);
        Win.barsFit = fit;
        Win.barsWidth = width;
        Win.barsHeight = height;
    }
    if (ShowSharpPicture(dc, picture)) return true;
    SetStretchBltMode(dc, COLORONCOLOR);
    if (Win.method == PresentStretchDib)
        return StretchDIBits(dc, picture.x, picture.y, picture.width, picture.height, 0, 0, w, h,
                             Win.pixels, &Win.info, DIB_RGB_COLORS, SRCCOPY) != 0;
    if (Win.method == PresentDibSection) {
        if (picture.width == w && picture.height == h)
            return BitBlt(dc, picture.x, picture.y, w, h, Win.memoryDc, 0, 0, SRCCOPY);
        return StretchBlt(dc, picture.x, picture.y, picture.width, picture.height, Win.memoryDc, 0,
                          0, w, h, SRCCOPY);
    }
    return false;
}

bool PresentRows(HWND window, int firstRow, int endRow) {
    if (!FlipPresentationActive()) return PresentNow(window);
    PresentFlip(window, firstRow, endRow);
    return true;
}

bool PresentNow(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return false;
    const bool shown = PresentTo(window, dc, false);
    ReleaseDC(window, dc);
    return shown;
}

namespace {

void FreeDibSection() {
    if (Win.memoryDc) {
        if (Win.previousBitmap) SelectObject(Win.memoryDc, Win.previousBitmap);
        DeleteDC(Win.memoryDc);
    }
    if (Win.dibSection) DeleteObject(Win.dibSection);
    Win.memoryDc = nullptr;
    Win.dibSection = nullptr;
    Win.previousBitmap = nullptr;
}

} // namespace

void TearDownPresentation() {
    TearDownFlipPresentation();
    FreeSharpPicture();
    if (Win.method == PresentStretchDib) AlignedFree(Win.pixels);
    FreeDibSection();
    Win.pixels = nullptr;
    Win.method = PresentNone;
    Win.barsWidth = Win.barsHeight = 0;
}

namespace {

bool SetUpDibSection(HWND window) {
    HDC dc = GetDC(window);
    void* bits = nullptr;
    Win.memoryDc = CreateCompatibleDC(dc);
    if (Win.memoryDc)
        Win.dibSection = CreateDIBSection(dc, &Win.info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(window, dc);
    if (!Win.dibSection) return false;
    Win.previousBitmap = SelectObject(Win.memoryDc, Win.dibSection);
    Win.pixels = static_cast<std::uint32_t*>(bits);
    std::memset(Win.pixels, 0, std::size_t(Win.frameWidth) * Win.frameHeight * 4);
    return true;
}

} // namespace

// The StretchDIBits road keeps its buffer, made for the room; a DIB section holds one size.
bool FollowFrameSize(HWND window) {
    Win.frameWidth = Surface.width;
    Win.frameHeight = Surface.height;
    Win.info = TopDownDibInfo(Win.frameWidth, Win.frameHeight);
    Win.barsWidth = Win.barsHeight = 0; // the picture's place changes with its size
    FreeSharpPicture();
    if (Win.method != PresentDibSection) return Win.pixels != nullptr;
    FreeDibSection();
    Win.pixels = nullptr;
    if (SetUpDibSection(window)) return true;
    FreeDibSection();
    Win.method = PresentNone;
    return false;
}

// Each method is tried once on the new window.
bool SetUpPresentation(HWND window) {
    Win.frameWidth = Surface.width;
    Win.frameHeight = Surface.height;
    Win.info = TopDownDibInfo(Win.frameWidth, Win.frameHeight);

    const std::size_t bytes = std::size_t(Surface.roomWidth) * Surface.roomHeight * 4;
    Win.pixels = static_cast<std::uint32_t*>(AlignedAlloc(bytes));
    if (Win.pixels) {
        std::memset(Win.pixels, 0, bytes);
        Win.method = PresentStretchDib;
        if (PresentNow(window)) return true;
        TearDownPresentation();
    }
    if (SetUpDibSection(window)) {
        Win.method = PresentDibSection;
        if (PresentNow(window)) return true;
    }
    TearDownPresentation();
    return false;
}
