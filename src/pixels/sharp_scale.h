// Sharp scaling of the frame to any picture size: each picture pixel shows the frame pixels
// it covers, each weighted by the area it covers. Per axis that is one frame pixel or two
// with a split, the axes combining as the product of their weights. An axis whose scale is a
// whole number is exactly nearest neighbour, and so is an axis where the picture is smaller
// than the frame (the frame pixel under the picture pixel's centre). No platform calls.
//
// The work is separable: each frame row is first scaled across into a row of the picture's
// width, then each picture row is that row, or a blend of two neighbouring ones. Blends weigh in
// 1/256ths and round to nearest: every channel lies within 2 of the exact area weights.
#pragma once

#include <cstdint>
#include <vector>

// One picture column or row: the frame pixel `first`, and `take` (0..256) 256ths of the
// frame pixel after it; take 0 shows `first` alone.
struct SharpTap {
    std::int32_t first = 0;
    std::int32_t take = 0;
};

// The columns in groups of four, for the vector routines: a group whose four frame pixels
// (and the ones after them) lie within base..base+4 is gathered by one shuffle of the frame
// pixels from base on; the others, and the last width % 4 columns, go one at a time.
enum SharpGroupKind : std::uint8_t { SharpGroupSingly, SharpGroupNearest, SharpGroupBlend };
struct SharpColumns {
    int sourceWidth = 0;
    int width = 0;
    std::vector<SharpTap> taps;           // one per picture column
    std::vector<std::int32_t> base;       // one per group of four columns
    std::vector<std::uint8_t> kind;       // SharpGroupKind, one per group
    std::vector<std::uint8_t> shuffle;    // 16 per group: byte offsets from base
    std::vector<std::uint16_t> takeLanes; // 16 per group: each column's take, per channel
    bool blends = false;                  // some column takes two frame pixels
    // The groups before the first one that goes singly, or where columns blend, the first
    // whose frame pixels from base + 1 on leave the row.
    int leadingGroups = 0;
};

// Everything a picture size needs, made by PrepareSharpScale when the size changes and used
// by SharpScaleRows. Owned by the one thread that scales.
struct SharpScale {
    int sourceWidth = 0, sourceHeight = 0, width = 0, height = 0;
    SharpColumns columns;
    std::vector<SharpTap> rows;           // one per picture row
    std::vector<std::int32_t> firstRowOf; // sourceHeight + 1: first picture row whose first >= y
    std::vector<std::uint32_t> across;    // two frame rows scaled across: even and odd rows
};

// The taps of one axis from `source` frame pixels to `size` picture pixels.
std::vector<SharpTap> SharpAxisTaps(int source, int size);

// Makes the tables and buffers for a sourceWidth x sourceHeight frame shown as a
// width x height picture (all above 0). Allocates: call it when the size changes only.
void PrepareSharpScale(SharpScale& scale, int sourceWidth, int sourceHeight, int width, int height);

// The frame (sourceHeight rows, framePitch pixels apart, 0x00RRGGBB) changed in rows
// fromRow..toRow-1: rewrites the picture rows that show them (width pixels each, rows
// picturePitch pixels apart), reading the unchanged rows beside the range where a picture row
// blends them in. No allocation. Returns the first picture row rewritten and sets *endRow
// past the last one (equal when none was).
int SharpScaleRows(SharpScale& scale, const std::uint32_t* frame, int framePitch, int fromRow,
                   int toRow, std::uint32_t* picture, int picturePitch, int* endRow);
