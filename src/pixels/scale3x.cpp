// Scale3x on a source pixel E and its neighbours
//     A B C
//     D E F
//     G H I
// Where B differs from H and D from F, the block's corners follow Scale2x (the corner takes
// the colour of the two edge neighbours beside it when they are equal), an edge cell takes
// its neighbour's colour when a corner beside it would and the block's pixel diagonally
// across that corner is not E; the centre is E. Elsewhere the block is E.
#include "pixels/scale3x.h"
#include "pixels/scale_rows.h"

namespace {

struct Around {
    std::uint32_t a, b, c, d, e, f, g, h, i;
};

inline void Block(const Around& n, std::uint32_t* top, std::uint32_t* middle,
                  std::uint32_t* bottom) {
    const std::uint32_t e = n.e;
    if (SameColour(n.b, n.h) || SameColour(n.d, n.f)) {
        top[0] = top[1] = top[2] = middle[0] = middle[1] = middle[2] = e;
        bottom[0] = bottom[1] = bottom[2] = e;
        return;
    }
    const bool db = SameColour(n.d, n.b), bf = SameColour(n.b, n.f);
    const bool dh = SameColour(n.d, n.h), hf = SameColour(n.h, n.f);
    top[0] = db ? n.d : e;
    top[1] = (db && !SameColour(e, n.c)) || (bf && !SameColour(e, n.a)) ? n.b : e;
    top[2] = bf ? n.f : e;
    middle[0] = (db && !SameColour(e, n.g)) || (dh && !SameColour(e, n.a)) ? n.d : e;
    middle[1] = e;
    middle[2] = (bf && !SameColour(e, n.i)) || (hf && !SameColour(e, n.c)) ? n.f : e;
    bottom[0] = dh ? n.d : e;
    bottom[1] = (dh && !SameColour(e, n.i)) || (hf && !SameColour(e, n.g)) ? n.h : e;
    bottom[2] = hf ? n.f : e;
}

} // namespace

void Scale3xBlocks(const ScaleSourceRows& rows, int width, int from, int to, std::uint32_t* top,
                   std::uint32_t* middle, std::uint32_t* bottom) {
    const int lastX = width - 1;
    for (int x = from; x < to; ++x) {
        const int l = x > 0 ? x - 1 : 0, r = x < lastX ? x + 1 : lastX;
        const Around n{rows.above[l], rows.above[x], rows.above[r], rows.row[l],  rows.row[x],
                       rows.row[r],   rows.below[l], rows.below[x], rows.below[r]};
        Block(n, top + 3 * x, middle + 3 * x, bottom + 3 * x);
    }
}

void Scale3x(ConstPixelView source, PixelView destination) {
    if (source.Empty() || destination.Empty()) return;
    const Scale3xRowFilter filterRow = ScaleLevels::InUseRoutines().scale3xRow;
    const int lastY = source.height - 1;
    for (int y = 0; y <= lastY; ++y) {
        const ScaleSourceRows rows{source.Row(y > 0 ? y - 1 : 0), source.Row(y),
                                   source.Row(y < lastY ? y + 1 : lastY)};
        filterRow(rows, source.width, destination.Row(3 * y), destination.Row(3 * y + 1),
                  destination.Row(3 * y + 2));
    }
}
