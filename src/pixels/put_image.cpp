// PutImage: copying a rectangle of one image onto another image or the frame buffer,
// either as it is or blended by each source pixel's alpha.
#include "pixels/alpha_blend.h"
#include "pixels/draw_target.h"
#include "pixels/image.h"
#include "runtime/frame_buffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// A source rectangle and where it lands, already clipped to both images.
struct Blit {
    int sourceX, sourceY, targetX, targetY, width, height;
};

// The source region as the caller gave it: swapped corners put right, clamped to the
// source. The result is never empty because an image has at least one pixel.
void SourceRegion(const Image& source, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                  std::int32_t y2, Blit* blit) {
    const int lastX = int(source.width) - 1, lastY = int(source.height) - 1;
    if (x1 == WholeImage) {
        x1 = 0, y1 = 0, x2 = lastX, y2 = lastY;
    }
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    x1 = std::clamp(x1, 0, lastX), x2 = std::clamp(x2, 0, lastX);
    y1 = std::clamp(y1, 0, lastY), y2 = std::clamp(y2, 0, lastY);
    blit->sourceX = x1, blit->sourceY = y1;
    blit->width = x2 - x1 + 1, blit->height = y2 - y1 + 1;
}

// Clips one axis: skips what falls before 0 or at or after size. False when nothing is left.
bool ClipAxis(long long position, int size, int* sourceStart, int* length, int* targetStart) {
    long long start = position, end = position + *length;
    if (start < 0) start = 0;
    if (end > size) end = size;
    if (start >= end) return false;
    *sourceStart += int(start - position);
    *length = int(end - start);
    *targetStart = int(start);
    return true;
}

bool PlaceBlit(const DrawTarget& to, float x, float y, Blit* blit) {
    long long px = 0, py = 0;
    if (!RoundCoordinate(x, &px) || !RoundCoordinate(y, &py)) return false;
    return ClipAxis(px, to.width, &blit->sourceX, &blit->width, &blit->targetX) &&
           ClipAxis(py, to.height, &blit->sourceY, &blit->height, &blit->targetY);
}

// Blends backwards, for a row blended onto itself further right.
void BlendRowBackward(const std::uint32_t* source, std::uint32_t* target, int count) {
    for (int i = count - 1; i >= 0; --i) target[i] = BlendPixel(source[i], target[i]);
}

// A 1-byte source onto 32-bit pixels: each byte is the coverage of white.
void BlendMaskRow(const std::uint8_t* mask, std::uint32_t* target, int count) {
    for (int i = 0; i < count; ++i)
        target[i] = BlendPixel((std::uint32_t(mask[i]) << 24) | 0xFFFFFFu, target[i]);
}

struct RowJob {
    const std::uint8_t* source;
    std::uint8_t* target;
    int count;
    int sourceBytesPerPixel;
    int targetBytesPerPixel;
    int mode;
};

void PutRow(const RowJob& job) {
    if (job.sourceBytesPerPixel != job.targetBytesPerPixel) {
        BlendMaskRow(job.source, reinterpret_cast<std::uint32_t*>(job.target), job.count);
    } else if (job.mode == Alpha && job.targetBytesPerPixel == 4) {
        auto* s = reinterpret_cast<const std::uint32_t*>(job.source);
        auto* d = reinterpret_cast<std::uint32_t*>(job.target);
        const auto from = std::uintptr_t(s), to = std::uintptr_t(d);
        if (to > from && to < from + std::uintptr_t(job.count) * 4)
            BlendRowBackward(s, d, job.count);
        else
            BlendRow(s, d, job.count);
    } else {
        std::memmove(job.target, job.source, std::size_t(job.count) * job.targetBytesPerPixel);
    }
}

// Rows go top to bottom, except for a blit within one image to lower rows, which goes
// bottom to top so that no source row is overwritten before it is read.
void PutRows(const Image& source, const DrawTarget& to, const Blit& b, int mode) {
    const bool sameImage = !to.frameBuffer && to.pixels == ImagePixels(&source);
    const bool upwards = sameImage && b.targetY > b.sourceY;
    const int sbpp = int(source.bytesPerPixel), tbpp = to.bytesPerPixel;
    const std::uint8_t* sourceBase = ImagePixels(&source);
    for (int k = 0; k < b.height; ++k) {
        const int row = upwards ? b.height - 1 - k : k;
        const std::uint8_t* s = sourceBase + std::size_t(b.sourceY + row) * source.pitch +
                                std::size_t(b.sourceX) * sbpp;
        std::uint8_t* d =
            to.pixels + std::size_t(b.targetY + row) * to.pitch + std::size_t(b.targetX) * tbpp;
        PutRow({s, d, b.width, sbpp, tbpp, mode});
    }
}

bool SizesMatch(const Image& source, const DrawTarget& to, int mode) {
    if (int(source.bytesPerPixel) == to.bytesPerPixel) return true;
    // The one mixed case: a 1-byte alpha mask onto 32-bit pixels.
    return mode == Alpha && source.bytesPerPixel == 1 && to.bytesPerPixel == 4;
}

} // namespace

int PutImage(Image* target, float x, float y, const Image* source, std::int32_t x1, std::int32_t y1,
             std::int32_t x2, std::int32_t y2, int mode) {
    DrawTarget to;
    if (!source || !ResolveDrawTarget(target, &to)) return 1;
    if ((mode != Copy && mode != Alpha) || !SizesMatch(*source, to, mode)) return 1;
    Blit blit{};
    SourceRegion(*source, x1, y1, x2, y2, &blit);
    if (!PlaceBlit(to, x, y, &blit)) return 0;
    LockSurface();
    PutRows(*source, to, blit, mode);
    MarkTargetRows(to, blit.targetY, blit.targetY + blit.height - 1);
    UnlockSurface(1, 0); // marks nothing: the rows written are marked above
    return 0;
}
