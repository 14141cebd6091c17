// The viewer's filter passes applied to a whole picture of any size.
#include "scale_picture.h"

#include "pixels/hq2x.h"

#include <vector>

namespace {

// Off shows the game's doubled picture, each pixel of it at (2x / grid, 2y / grid): for a
// game that doubles its picture exactly, the input's pixel (x / grid, y / grid).
void NearestEnlarge(const Picture& in, int grid, Picture* out) {
    for (int y = 0; y < out->height; ++y)
        for (int x = 0; x < out->width; ++x)
            out->pixels[std::size_t(y) * out->width + x] =
                in.pixels[std::size_t(y / grid) * in.width + x / grid];
}

ConstPixelView ViewOf(const Picture& picture) {
    return {picture.pixels.data(), picture.width, picture.height,
            std::ptrdiff_t(picture.width) * 4};
}

} // namespace

void PrepareFilterTables() {
    MakeFilterTables();
}

void ScalePicture(Picture&& in, ScaleFilter filter, Picture* out) {
    const FilterRow& row = FilterRowOf(filter.mode);
    const int grid = filter.grid >= MinGrid && filter.grid <= MaxGrid ? filter.grid : MinGrid;
    out->width = grid * in.width;
    out->height = grid * in.height;
    Release(out->pixels);
    out->pixels.assign(std::size_t(out->width) * out->height, 0);
    if (row.readsDoubled) {
        NearestEnlarge(in, grid, out);
    } else {
        if (row.usesHq2xTables) PrepareFilterTables();
        FilterWork work;
        PrepareFilterWork(work, in.width, in.height, grid);
        const PixelView destination{out->pixels.data(), out->width, out->height,
                                    std::ptrdiff_t(out->width) * 4};
        row.passes[GridIndex(grid)](ViewOf(in), destination, work);
    }
    Release(in.pixels);
}
