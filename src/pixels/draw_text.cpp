// DrawText: text in the built-in 8x8 font onto an image or the frame buffer.
#include "pixels/alpha_blend.h"
#include "pixels/draw_target.h"
#include "pixels/font8x8.h"
#include "pixels/image.h"
#include "pixels/pixel_format.h"
#include "runtime/frame_buffer.h"

#include <algorithm>

namespace {

// What one set glyph bit does to a pixel.
struct Pen {
    std::uint32_t value; // the colour as a pixel of the target's size
    bool blend;          // translucent colour on 32-bit pixels under AlphaPrimitives
};

Pen MakePen(const DrawTarget& to, std::uint32_t colour) {
    const bool translucent = (colour >> 24) < 255;
    const bool blend = to.bytesPerPixel == 4 && translucent && (Surface.flags & AlphaPrimitives);
    return {PixelValueForSize(colour, to.bytesPerPixel), blend};
}

void WritePixel(std::uint8_t* row, int x, int bytesPerPixel, const Pen& pen) {
    if (bytesPerPixel == 4) {
        auto* p = reinterpret_cast<std::uint32_t*>(row) + x;
        // Red, green and blue move towards the colour; alpha becomes the colour's.
        *p = pen.blend ? (BlendPixel(pen.value, *p) & 0xFFFFFFu) | (pen.value & 0xFF000000u)
                       : pen.value;
    } else if (bytesPerPixel == 2) {
        reinterpret_cast<std::uint16_t*>(row)[x] = std::uint16_t(pen.value);
    } else {
        row[x] = std::uint8_t(pen.value);
    }
}

// The glyph rows firstRow..lastRow (already clipped) of the cell at (cellX, cellY).
void DrawGlyph(const DrawTarget& to, const std::uint8_t* glyph, long long cellX, long long cellY,
               int firstRow, int lastRow, const Pen& pen) {
    const int firstColumn = int(std::max(0LL, -cellX));
    const int lastColumn = int(std::min(7LL, to.width - 1 - cellX));
    for (int r = firstRow; r <= lastRow; ++r) {
        const unsigned bits = glyph[r];
        if (bits == 0) continue;
        std::uint8_t* row = to.pixels + std::size_t(cellY + r) * to.pitch;
        for (int c = firstColumn; c <= lastColumn; ++c)
            if (bits & (0x80u >> c)) WritePixel(row, int(cellX + c), to.bytesPerPixel, pen);
    }
}

} // namespace

void DrawText(Image* target, float x, float y, const char* text, std::uint32_t colour) {
    DrawTarget to;
    long long cellX = 0, cellY = 0;
    if (!text || !ResolveDrawTarget(target, &to)) return;
    if (!RoundCoordinate(x, &cellX) || !RoundCoordinate(y, &cellY)) return;
    if (cellY <= -8 || cellY >= to.height) return;
    const int firstRow = int(std::max(0LL, -cellY));
    const int lastRow = int(std::min(7LL, to.height - 1 - cellY));
    const Pen pen = MakePen(to, colour);
    bool drawn = false;
    LockSurface();
    for (const char* c = text; *c && cellX < to.width; ++c, cellX += 8) {
        if (cellX <= -8) continue; // wholly left of the target
        DrawGlyph(to, Font8x8Glyph(static_cast<unsigned char>(*c)), cellX, cellY, firstRow, lastRow,
                  pen);
        drawn = true;
    }
    if (drawn) MarkTargetRows(to, int(cellY) + firstRow, int(cellY) + lastRow);
    UnlockSurface(1, 0); // marks nothing: the rows written are marked above
}
