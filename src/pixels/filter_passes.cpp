// The filters' passes at each grid (filter_table.h): Off takes the game's doubled picture's
// pixel under each frame pixel; Scale2x is the filter's own at grid 2, Scale3x and Scale4x at
// 3 and 4; hq2x makes its doubled picture, which grid 4 repeats and grid 3 enlarges by the
// area-weighted scaling; MMPX is applied twice at grid 4, and grid 3 enlarges its doubled
// picture as hq2x's.
#include "pixels/filter_table.h"

#include "pixels/hq2x.h"
#include "pixels/hq2x_frame.h"
#include "pixels/hq2x_rows.h"
#include "pixels/mmpx.h"
#include "pixels/mmpx_rows.h"
#include "pixels/scale2x.h"
#include "pixels/scale3x.h"
#include "pixels/scale4x.h"
#include "pixels/scale_rows.h"

#include <algorithm>
#include <cstring>

namespace {

// Frame pixel (x, y) shows the doubled picture's pixel (2x / grid, 2y / grid); frame pixels
// whose pixel lies beyond the source are left alone.
template <int Grid> void NearestFromDoubled(ConstPixelView source, PixelView destination) {
    const int width = std::min(destination.width, (Grid * source.width + 1) / 2);
    const int height = std::min(destination.height, (Grid * source.height + 1) / 2);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* from = source.Row(2 * y / Grid);
        std::uint32_t* to = destination.Row(y);
        if constexpr (Grid == 2) {
            std::memcpy(to, from, std::size_t(width) * 4);
        } else {
            for (int x = 0; x < width; ++x) to[x] = from[2 * x / Grid];
        }
    }
}

// Each pixel of the source as a 2x2 block.
void RepeatTwice(ConstPixelView source, PixelView destination) {
    for (int y = 0; y < source.height; ++y) {
        const std::uint32_t* from = source.Row(y);
        std::uint32_t* top = destination.Row(2 * y);
        for (int x = 0; x < source.width; ++x) top[2 * x] = top[2 * x + 1] = from[x];
        std::memcpy(destination.Row(2 * y + 1), top, std::size_t(source.width) * 8);
    }
}

// The doubled picture enlarged into the 3x frame by the area-weighted scaling.
void EnlargeDoubled(FilterWork& work, PixelView destination) {
    const PixelView doubled = work.Doubled();
    int end = 0;
    SharpScaleRows(work.enlarge, doubled.pixels, doubled.width, 0, doubled.height,
                   destination.pixels, int(destination.pitch / 4), &end);
}

void Mmpx2xInto(ConstPixelView source, PixelView destination) {
    Mmpx2x(source.pixels, int(source.pitch), source.width, source.height, destination.pixels,
           int(destination.pitch));
}

bool Hq2xInto(ConstPixelView source, PixelView destination, FilterWork& work) {
    if (!Rgb565To888Table || !Rgb565ToYuvTable) return false;
    Hq2xFrame(source.pixels, std::size_t(source.pitch), source.width, source.height,
              work.narrow.data(), work.wide.data(), std::size_t(source.width) * 4,
              destination.pixels, std::size_t(destination.pitch));
    return true;
}

} // namespace

bool OffPass2(ConstPixelView source, PixelView destination, FilterWork&) {
    NearestFromDoubled<2>(source, destination);
    return true;
}
bool OffPass3(ConstPixelView source, PixelView destination, FilterWork&) {
    NearestFromDoubled<3>(source, destination);
    return true;
}
bool OffPass4(ConstPixelView source, PixelView destination, FilterWork&) {
    NearestFromDoubled<4>(source, destination);
    return true;
}

// The filter's own edge rule reads the source as one run of pixels: its rows must be packed.
bool Scale2xPass(ConstPixelView source, PixelView destination, FilterWork&) {
    if (source.pitch != std::ptrdiff_t(4) * source.width) return false;
    Scale2x(source.pixels, destination.pixels, source.width, source.height, int(destination.pitch));
    return true;
}
bool Scale3xPass(ConstPixelView source, PixelView destination, FilterWork&) {
    Scale3x(source, destination);
    return true;
}
bool Scale4xPass(ConstPixelView source, PixelView destination, FilterWork& work) {
    Scale4x(source, work.Doubled(), destination);
    return true;
}

bool UseScaleLevel(SimdLevel level) {
    return ScaleLevels::Use(level);
}
SimdLevel ScaleLevelInUse() {
    return ScaleLevels::InUse();
}

bool Hq2xPass2(ConstPixelView source, PixelView destination, FilterWork& work) {
    return Hq2xInto(source, destination, work);
}
bool Hq2xPass3(ConstPixelView source, PixelView destination, FilterWork& work) {
    if (!Hq2xInto(source, work.Doubled(), work)) return false;
    EnlargeDoubled(work, destination);
    return true;
}
bool Hq2xPass4(ConstPixelView source, PixelView destination, FilterWork& work) {
    const PixelView doubled = work.Doubled();
    if (!Hq2xInto(source, doubled, work)) return false;
    RepeatTwice(AsConst(doubled), destination);
    return true;
}

bool UseHq2xLevel(SimdLevel level) {
    return Hq2xLevels::Use(level);
}
SimdLevel Hq2xLevelInUse() {
    return Hq2xLevels::InUse();
}

bool MmpxPass2(ConstPixelView source, PixelView destination, FilterWork&) {
    Mmpx2xInto(source, destination);
    return true;
}
bool MmpxPass3(ConstPixelView source, PixelView destination, FilterWork& work) {
    Mmpx2xInto(source, work.Doubled());
    EnlargeDoubled(work, destination);
    return true;
}
bool MmpxPass4(ConstPixelView source, PixelView destination, FilterWork& work) {
    const PixelView doubled = work.Doubled();
    Mmpx4x(source.pixels, int(source.pitch), source.width, source.height, doubled.pixels,
           int(doubled.pitch), destination.pixels, int(destination.pitch));
    return true;
}

bool UseMmpxLevel(SimdLevel level) {
    return MmpxLevels::Use(level);
}
SimdLevel MmpxLevelInUse() {
    return MmpxLevels::InUse();
}
