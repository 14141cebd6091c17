// Scale2x on each source pixel E with its neighbours B (above), D (left), F (right) and
// H (below): where B differs from H and D from F, each corner of E's 2x2 block takes the
// colour of the two neighbours beside it when they are equal, else E; elsewhere the block
// is E. Beyond the picture its edge pixels repeat.
#include "pixels/scale4x.h"
#include "pixels/scale_rows.h"

namespace {

inline void Block(std::uint32_t b, std::uint32_t d, std::uint32_t e, std::uint32_t f,
                  std::uint32_t h, std::uint32_t* top, std::uint32_t* bottom) {
    if (!SameColour(b, h) && !SameColour(d, f)) {
        top[0] = SameColour(d, b) ? d : e;
        top[1] = SameColour(b, f) ? f : e;
        bottom[0] = SameColour(d, h) ? d : e;
        bottom[1] = SameColour(h, f) ? f : e;
    } else {
        top[0] = top[1] = bottom[0] = bottom[1] = e;
    }
}

// Source row y's two destination rows.
void DoubleRow(Scale2xRowFilter filterRow, ConstPixelView source, int y, PixelView destination) {
    const int last = source.height - 1;
    const ScaleSourceRows rows{source.Row(y > 0 ? y - 1 : 0), source.Row(y),
                               source.Row(y < last ? y + 1 : last)};
    filterRow(rows, source.width, destination.Row(2 * y), destination.Row(2 * y + 1));
}

} // namespace

void Scale2xBlocks(const ScaleSourceRows& rows, int width, int from, int to, std::uint32_t* top,
                   std::uint32_t* bottom) {
    const int last = width - 1;
    for (int x = from; x < to; ++x) {
        const std::uint32_t e = rows.row[x];
        Block(rows.above[x], rows.row[x > 0 ? x - 1 : 0], e, rows.row[x < last ? x + 1 : last],
              rows.below[x], top + 2 * x, bottom + 2 * x);
    }
}

void Scale2xRepeatingEdges(ConstPixelView source, PixelView destination) {
    if (source.Empty() || destination.Empty()) return;
    const Scale2xRowFilter filterRow = ScaleLevels::InUseRoutines().scale2xRow;
    for (int y = 0; y < source.height; ++y) DoubleRow(filterRow, source, y, destination);
}

// The second step takes each doubled row as soon as the row below it is made, while the rows
// it reads are still in the cache.
void Scale4x(ConstPixelView source, PixelView between, PixelView destination) {
    if (source.Empty() || between.Empty() || destination.Empty()) return;
    const Scale2xRowFilter filterRow = ScaleLevels::InUseRoutines().scale2xRow;
    const ConstPixelView doubled{between.pixels, 2 * source.width, 2 * source.height,
                                 between.pitch};
    for (int y = 0; y < source.height; ++y) {
        DoubleRow(filterRow, source, y, between);
        if (y > 0) DoubleRow(filterRow, doubled, 2 * y - 1, destination);
        DoubleRow(filterRow, doubled, 2 * y, destination);
    }
    DoubleRow(filterRow, doubled, doubled.height - 1, destination);
}
