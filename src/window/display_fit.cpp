#include "window/display_fit.h"

#include "pixels/filter_work.h"

#include <algorithm>
#include <cstdint>

namespace {

// The largest rectangle of the frame's shape inside the client area, centred.
FitRect KeepShape(int clientWidth, int clientHeight, int frameWidth, int frameHeight) {
    const std::int64_t cw = clientWidth, ch = clientHeight, fw = frameWidth, fh = frameHeight;
    FitRect r;
    if (cw * fh <= ch * fw) { // the width limits: s = cw / fw
        r.width = clientWidth;
        r.height = int((2 * fh * cw + fw) / (2 * fw));
    } else { // the height limits: s = ch / fh
        r.width = int((2 * fw * ch + fh) / (2 * fh));
        r.height = clientHeight;
    }
    r.x = (clientWidth - r.width) / 2;
    r.y = (clientHeight - r.height) / 2;
    return r;
}

} // namespace

FitRect FitFrame(DisplayFit fit, int clientWidth, int clientHeight, int frameWidth,
                 int frameHeight) {
    if (clientWidth <= 0 || clientHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return {};
    switch (fit) {
    case DisplayFit::Stretch:
        break;
    case DisplayFit::Aspect:
        return KeepShape(clientWidth, clientHeight, frameWidth, frameHeight);
    case DisplayFit::Integer: {
        const int kx = clientWidth / frameWidth, ky = clientHeight / frameHeight;
        const int k = kx < ky ? kx : ky;
        if (k < 1) return KeepShape(clientWidth, clientHeight, frameWidth, frameHeight);
        const int width = k * frameWidth, height = k * frameHeight;
        return {(clientWidth - width) / 2, (clientHeight - height) / 2, width, height};
    }
    }
    return {0, 0, clientWidth, clientHeight};
}

int ChooseGrid(DisplayFit fit, int maxGrid, int areaWidth, int areaHeight) {
    int chosen = MinGrid, shown = 0;
    for (int grid = MinGrid; grid <= maxGrid && grid <= MaxGrid; ++grid) {
        const int times = std::min(areaWidth / (grid * 320), areaHeight / (grid * 240));
        if (times < 1) break; // a larger frame fits even less
        const int width = (fit == DisplayFit::Integer ? times : 1) * grid * 320;
        if (width >= shown) chosen = grid, shown = width;
    }
    return chosen;
}
