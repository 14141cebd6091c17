// The viewer's filter passes applied to a whole picture of any size.
#include "scale_picture.h"

#include "pixels/hq2x.h"

#include <vector>

namespace {

// Off's pass takes the game's doubled picture: each pixel of the input as a 2x2 block.
void NearestDouble(const Picture& in, Picture* doubled) {
    doubled->width = 2 * in.width;
    doubled->height = 2 * in.height;
    doubled->pixels.assign(std::size_t(doubled->width) * doubled->height, 0);
    for (int y = 0; y < doubled->height; ++y)
        for (int x = 0; x < doubled->width; ++x)
            doubled->pixels[std::size_t(y) * doubled->width + x] =
                in.pixels[std::size_t(y / 2) * in.width + x / 2];
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
    if (row.usesHq2xTables) PrepareFilterTables();
    Picture doubled;
    if (row.readsDoubled) NearestDouble(in, &doubled);
    FilterWork work;
    if (!row.readsDoubled) PrepareFilterWork(work, in.width, in.height, grid);
    const PixelView destination{out->pixels.data(), out->width, out->height,
                                std::ptrdiff_t(out->width) * 4};
    row.passes[GridIndex(grid)](ViewOf(row.readsDoubled ? doubled : in), destination, work);
    Release(in.pixels);
}
