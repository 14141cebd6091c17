#include "pixels/filter_work.h"

void PrepareFilterWork(FilterWork& work, int width, int height, int grid) {
    if (work.width == width && work.height == height && work.grid == grid) return;
    const std::size_t pixels = std::size_t(width) * height;
    work.narrow.assign(pixels + 1, 0);
    work.wide.assign(std::size_t(8) * width, 0);
    work.doubled.assign(grid > 2 ? 4 * pixels : 0, 0);
    if (grid == 3) PrepareSharpScale(work.enlarge, 2 * width, 2 * height, 3 * width, 3 * height);
    work.width = width, work.height = height, work.grid = grid;
}
