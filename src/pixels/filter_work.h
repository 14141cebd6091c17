// The work memory the filters use between the single-size picture and the frame: the hq2x
// narrowing, the doubled picture that Scale4x and the enlarged 2x filters go through, and the
// area-weighted enlargement's tables. Made when the picture's size or the grid changes, never
// in between.
#pragma once

#include "pixels/pixel_view.h"
#include "pixels/sharp_scale.h"

#include <cstdint>
#include <vector>

// The grids the frame can have: the frame is grid x 320 by grid x 240 for the 320x240 game.
constexpr int MinGrid = 2, MaxGrid = 4, GridCount = MaxGrid - MinGrid + 1;

// Threads: owned by the one thread that filters (the render thread, a tool, a benchmark).
struct FilterWork {
    int width = 0, height = 0, grid = 0; // what it was made for (0: nothing yet)
    std::vector<std::uint16_t> narrow;   // the picture in RGB565, rows packed
    std::vector<std::uint16_t> wide;     // two rows of the doubled picture in RGB565
    std::vector<std::uint32_t> doubled;  // the doubled picture, rows packed
    SharpScale enlarge;                  // doubled picture to the 3x frame (grid 3)

    PixelView Doubled() {
        return {doubled.data(), 2 * width, 2 * height, std::ptrdiff_t(8) * width};
    }
};

// Makes the memory for a width x height single-size picture filtered at grid (MinGrid to
// MaxGrid); nothing when it is made for those already. Allocates.
void PrepareFilterWork(FilterWork& work, int width, int height, int grid);
