// Sharp scaling in presentation: the presentation buffer scaled to the picture's size in the
// window thread, outside the surface lock, and shown 1:1.
#include "platform/dib.h"
#include "runtime/aligned_memory.h"
#include "window/surface.h"
#include "window/surface_win32.h"

#include <cstddef>

namespace {

FitRect PictureOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return FitFrame(Win.fit.load(), client.right - client.left, client.bottom - client.top,
                    Win.frameWidth, Win.frameHeight);
}

// Tables and picture for a new size; false (nothing sharp) when memory ran out.
bool MakeSharpPicture(int width, int height) {
    FreeSharpPicture();
    Win.sharpPixels = static_cast<std::uint32_t*>(AlignedAlloc(std::size_t(width) * height * 4));
    if (!Win.sharpPixels) return false;
    PrepareSharpScale(Win.sharp, Win.frameWidth, Win.frameHeight, width, height);
    Win.sharpInfo = TopDownDibInfo(width, height);
    return true;
}

} // namespace

bool ScaleSharply(HWND window, int fromRow, int toRow) {
    const FitRect picture = PictureOf(window);
    const bool sameSize = picture.width == Win.frameWidth && picture.height == Win.frameHeight;
    if (Win.scaling.load() != DisplayScaling::Sharp || sameSize || picture.width <= 0 ||
        picture.height <= 0) {
        FreeSharpPicture();
        return false;
    }
    if (!Win.sharpPixels || picture.width != Win.sharp.width ||
        picture.height != Win.sharp.height) {
        if (!MakeSharpPicture(picture.width, picture.height)) return false;
        fromRow = 0, toRow = Win.frameHeight;
    }
    int endRow = 0;
    const int firstRow = SharpScaleRows(Win.sharp, Win.pixels, Win.frameWidth, fromRow, toRow,
                                        Win.sharpPixels, picture.width, &endRow);
    return endRow > firstRow;
}

bool ShowSharpPicture(HDC dc, const FitRect& picture) {
    if (!Win.sharpPixels || picture.width != Win.sharp.width || picture.height != Win.sharp.height)
        return false;
    return StretchDIBits(dc, picture.x, picture.y, picture.width, picture.height, 0, 0,
                         picture.width, picture.height, Win.sharpPixels, &Win.sharpInfo,
                         DIB_RGB_COLORS, SRCCOPY) != 0;
}

void FreeSharpPicture() {
    if (!Win.sharpPixels) return;
    AlignedFree(Win.sharpPixels);
    Win.sharpPixels = nullptr;
    Win.sharp = SharpScale{};
}
