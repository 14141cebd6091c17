// Sharp scaling's tables, made when the picture size changes, and the pass over the rows of
// the frame that changed.
#include "pixels/sharp_scale.h"

#include "pixels/sharp_scale_rows.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// Picture pixel i spans [i * source, (i + 1) * source) and frame pixel f spans
// [f * size, (f + 1) * size), both in 1/size-ths of a frame pixel.
SharpTap TapOf(int source, int size, int i) {
    SharpTap tap;
    if (size < source) { // smaller: the frame pixel under the centre
        tap.first = int((2 * std::int64_t(i) + 1) * source / (2 * std::int64_t(size)));
        return tap;
    }
    const std::int64_t start = std::int64_t(i) * source, end = start + source;
    tap.first = int(start / size);
    const std::int64_t boundary = (std::int64_t(tap.first) + 1) * size;
    if (end > boundary) tap.take = int(((end - boundary) * 512 + source) / (2 * source));
    return tap;
}

void GroupColumns(SharpColumns& c) {
    const int groups = c.width / 4;
    c.base.assign(groups, 0);
    c.kind.assign(groups, SharpGroupSingly);
    c.shuffle.assign(std::size_t(groups) * 16, 0);
    c.takeLanes.assign(std::size_t(groups) * 16, 0);
    c.leadingGroups = 0;
    c.blends = false;
    for (int g = 0; g < groups; ++g) {
        const SharpTap* taps = &c.taps[std::size_t(g) * 4];
        const int base = taps[0].first;
        bool near = true, blends = false;
        for (int k = 0; k < 4; ++k) {
            near = near && taps[k].first - base <= 3;
            blends = blends || taps[k].take > 0;
            for (int channel = 0; channel < 4; ++channel) {
                c.shuffle[g * 16 + k * 4 + channel] =
                    std::uint8_t(4 * (taps[k].first - base) + channel);
                c.takeLanes[g * 16 + k * 4 + channel] = std::uint16_t(taps[k].take);
            }
        }
        c.base[g] = base;
        // The vector routines read the 4 frame pixels from base on, and for blends the 4
        // from base + 1 on: all inside the row.
        if (near && !blends && base + 3 < c.sourceWidth) c.kind[g] = SharpGroupNearest;
        if (near && blends && base + 4 < c.sourceWidth) c.kind[g] = SharpGroupBlend;
        c.blends = c.blends || blends;
    }
    // Where columns blend, the vector routines blend every leading group.
    const auto leads = [&c](int g) {
        return c.kind[g] == (c.blends ? SharpGroupBlend : SharpGroupNearest) ||
               (c.kind[g] == SharpGroupNearest && c.base[g] + 4 < c.sourceWidth);
    };
    while (c.leadingGroups < groups && leads(c.leadingGroups)) ++c.leadingGroups;
}

// Whether the last picture row showing frame row y blends it with row y + 1.
bool BlendsWithNext(const SharpScale& s, int y) {
    const int* first = s.firstRowOf.data();
    return first[y] < first[y + 1] && s.rows[first[y + 1] - 1].take > 0;
}

bool RowShown(const SharpScale& s, int y) {
    const int* first = s.firstRowOf.data();
    return first[y] < first[y + 1] || (y > 0 && BlendsWithNext(s, y - 1));
}

std::uint32_t* AcrossRow(SharpScale& s, int y) {
    return &s.across[std::size_t(y & 1) * s.width];
}

void ScaleAcross(SharpScale& s, const std::uint32_t* frame, int framePitch, int y) {
    SharpLevels::InUseRoutines().across(s.columns, frame + std::ptrdiff_t(y) * framePitch,
                                        AcrossRow(s, y));
}

struct RowRange {
    int begin = -1, end = -1;
};

// The picture rows from..to-1 that blend (or do not), from the rows scaled across.
void EmitRows(SharpScale& s, int from, int to, bool blended, std::uint32_t* picture,
              int picturePitch, RowRange& done) {
    const SharpDownRow down = SharpLevels::InUseRoutines().down;
    for (int r = from; r < to; ++r) {
        const SharpTap tap = s.rows[r];
        if ((tap.take > 0) != blended) continue;
        const std::uint32_t* upper = AcrossRow(s, tap.first);
        std::uint32_t* out = picture + std::ptrdiff_t(r) * picturePitch;
        if (tap.take == 0)
            std::memcpy(out, upper, std::size_t(s.width) * 4);
        else
            down(upper, AcrossRow(s, tap.first + 1), tap.take, out, s.width);
        if (done.begin < 0) done.begin = r;
        done.end = r + 1;
    }
}

} // namespace

std::vector<SharpTap> SharpAxisTaps(int source, int size) {
    std::vector<SharpTap> taps(std::max(size, 0));
    for (int i = 0; i < size; ++i) taps[i] = TapOf(source, size, i);
    return taps;
}

void PrepareSharpScale(SharpScale& s, int sourceWidth, int sourceHeight, int width, int height) {
    s.sourceWidth = sourceWidth;
    s.sourceHeight = sourceHeight;
    s.width = width;
    s.height = height;
    s.columns.sourceWidth = sourceWidth;
    s.columns.width = width;
    s.columns.taps = SharpAxisTaps(sourceWidth, width);
    GroupColumns(s.columns);
    s.rows = SharpAxisTaps(sourceHeight, height);
    s.firstRowOf.assign(std::size_t(sourceHeight) + 1, height);
    for (int y = 0, r = 0; y <= sourceHeight; ++y) {
        while (r < height && s.rows[r].first < y) ++r;
        s.firstRowOf[y] = r;
    }
    s.across.assign(std::size_t(2) * width, 0);
}

int SharpScaleRows(SharpScale& s, const std::uint32_t* frame, int framePitch, int fromRow,
                   int toRow, std::uint32_t* picture, int picturePitch, int* endRow) {
    fromRow = std::max(fromRow, 0);
    toRow = std::min(toRow, s.sourceHeight);
    const int* first = s.firstRowOf.data();
    RowRange done;
    // The unchanged row above, for the picture rows that blend it with the first changed one.
    if (fromRow > 0 && fromRow < toRow && BlendsWithNext(s, fromRow - 1))
        ScaleAcross(s, frame, framePitch, fromRow - 1);
    for (int y = fromRow; y < toRow; ++y) {
        if (RowShown(s, y)) ScaleAcross(s, frame, framePitch, y);
        // Rows blending y - 1 with y, then the rows of y alone: in picture order.
        if (y > 0) EmitRows(s, first[y - 1], first[y], true, picture, picturePitch, done);
        EmitRows(s, first[y], first[y + 1], false, picture, picturePitch, done);
    }
    // Rows blending the last changed row with the unchanged one below it.
    if (fromRow < toRow && toRow < s.sourceHeight && BlendsWithNext(s, toRow - 1)) {
        ScaleAcross(s, frame, framePitch, toRow);
        EmitRows(s, first[toRow - 1], first[toRow], true, picture, picturePitch, done);
    }
    *endRow = std::max(done.end, 0);
    return std::max(done.begin, 0);
}
