// Resolving a drawing target, rounding positions and marking the rows drawn.
#include "pixels/draw_target.h"

#include "runtime/frame_buffer.h"

#include <cmath>
#include <cstring>

bool ResolveDrawTarget(Image* target, DrawTarget* out) {
    if (!Surface.open) return false;
    if (target) {
        *out = {ImagePixels(target), int(target->width),         int(target->height),
                int(target->pitch),  int(target->bytesPerPixel), false};
    } else {
        *out = {Surface.frameBuffer, Surface.width,         Surface.height,
                Surface.pitch,       Surface.bytesPerPixel, true};
    }
    return true;
}

bool RoundCoordinate(float value, long long* out) {
    if (std::isnan(value)) return false;
    constexpr float limit = 1.0e9f;
    if (value > limit) value = limit;
    if (value < -limit) value = -limit;
    *out = std::llround(value);
    return true;
}

void MarkTargetRows(const DrawTarget& target, int first, int last) {
    if (!target.frameBuffer || first > last) return;
    std::memset(Surface.rowMarks + first, 1, std::size_t(last - first + 1));
}
