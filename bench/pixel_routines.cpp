// The pictures and routines of the pixel benchmarks.
#include "pixel_routines.h"

#include "pixels/hq2x_frame.h"
#include "pixels/pixel_convert.h"
#include "pixels/scale2x.h"
#include "pixels/scale3x.h"
#include "pixels/scale4x.h"

#include <cstring>

#include "pixels_reference.h"
#include "test_pictures.h"

namespace {

constexpr int W = kBenchWidth, H = kBenchHeight;
constexpr int kSharpFrameWidth = 640, kSharpFrameHeight = 480;

void Narrow(PixelStage& s) {
    for (int y = 0; y < H; ++y) ConvertRowTo565(&s.smallArgb[y * W], &s.small565[y * W], W);
}
void NarrowReference(PixelStage& s) {
    for (int y = 0; y < H; ++y)
        ReferenceConvertRowTo565(&s.smallArgb[y * W], &s.small565[y * W], W);
}
void Filter(PixelStage& s) {
    Hq2xScale(s.small565.data(), s.large565.data(), W, H, 4 * W);
}
void FilterReference(PixelStage& s) {
    ReferenceHq2x(s.small565.data(), s.large565.data(), W, H, BundledHq2xRules());
}
void Widen(PixelStage& s) {
    for (int y = 0; y < 2 * H; ++y)
        ConvertRowFrom565(&s.large565[y * 2 * W], &s.largeArgb[y * 2 * W], 2 * W);
}
void WidenReference(PixelStage& s) {
    for (int y = 0; y < 2 * H; ++y)
        ReferenceConvertRowFrom565(&s.large565[y * 2 * W], &s.largeArgb[y * 2 * W], 2 * W);
}
void Path(PixelStage& s) {
    Hq2xFrame(s.smallArgb.data(), W * 4, W, H, s.small565.data(), s.large565.data(), 4 * W,
              s.largeArgb.data(), 8 * W);
}
void PathReference(PixelStage& s) {
    NarrowReference(s);
    FilterReference(s);
    WidenReference(s);
}
void Scale(PixelStage& s) {
    Scale2xFrame(s.smallArgb.data(), s.largeArgb.data());
}
void ScaleReference(PixelStage& s) {
    ReferenceScale2x(s.smallArgb.data(), s.largeArgb.data(), W, H);
}

ConstPixelView SmallView(const PixelStage& s) {
    return {s.smallArgb.data(), W, H, W * 4};
}
void Scale3xGrid(PixelStage& s) {
    Scale3x(SmallView(s), {s.gridArgb.data(), 3 * W, 3 * H, 12 * W});
}
void Scale3xGridReference(PixelStage& s) {
    ReferenceScale3x(s.smallArgb.data(), s.gridArgb.data(), W, H);
}
void Copy3x(PixelStage& s) {
    std::memcpy(s.gridCopy.data(), s.gridArgb.data(), std::size_t(9) * W * H * 4);
}
void Scale4xGrid(PixelStage& s) {
    Scale4x(SmallView(s), {s.largeArgb.data(), 2 * W, 2 * H, 8 * W},
            {s.gridArgb.data(), 4 * W, 4 * H, 16 * W});
}
void Scale4xGridReference(PixelStage& s) {
    ReferenceScale4x(s.smallArgb.data(), s.gridArgb.data(), W, H);
}
void Copy4x(PixelStage& s) {
    std::memcpy(s.gridCopy.data(), s.gridArgb.data(), std::size_t(16) * W * H * 4);
}

} // namespace

const LevelFamily kHq2xFamily = {Hq2xLevels::Available, Hq2xLevels::Use};
const LevelFamily kScaleFamily = {ScaleLevels::Available, ScaleLevels::Use};

const PixelRoutine kPixelRoutines[] = {
    {"ConvertRowTo565 320x240", Narrow, NarrowReference, nullptr, 0, 0, 0, nullptr, 0},
    {"Hq2xScale", Filter, FilterReference, &kHq2xFamily, 0, 0, 3.0, nullptr, 0},
    {"ConvertRowFrom565 640x480", Widen, WidenReference, nullptr, 0, 0, 0, nullptr, 0},
    {"hq2x path", Path, PathReference, &kHq2xFamily, 500, 3000, 0, nullptr, 0},
    {"Scale2xFrame", Scale, ScaleReference, nullptr, 150, 150, 0, nullptr, 0},
    {"Scale3x 320x240", Scale3xGrid, Scale3xGridReference, &kScaleFamily, 0, 0, 0, Copy3x, 3.0},
    {"Scale4x 320x240", Scale4xGrid, Scale4xGridReference, &kScaleFamily, 0, 0, 0, Copy4x, 3.0},
};
const int kPixelRoutineCount = int(sizeof kPixelRoutines / sizeof kPixelRoutines[0]);

std::vector<BenchPicture> MakeBenchPictures() {
    std::vector<BenchPicture> pictures(3);
    pictures[0] = {"game", {}};
    pictures[0].stage.smallArgb = GameLikeArgb(W, H);
    pictures[1] = {"dithered", {}};
    pictures[1].stage.smallArgb = DitheredGameLikeArgb(W, H);
    pictures[2] = {"noise", {}};
    pictures[2].stage.smallArgb = NoiseArgb(W, H, 99);
    for (BenchPicture& picture : pictures) {
        Narrow(picture.stage); // the filter and the widening start from the real images
        Filter(picture.stage);
    }
    return pictures;
}

std::vector<SimdLevel> AvailableLevels(const LevelFamily& family) {
    std::vector<SimdLevel> levels;
    for (SimdLevel level : AllSimdLevels)
        if (family.available(level)) levels.push_back(level);
    return levels;
}

const LevelFamily& FamilyOf(const PixelRoutine& routine) {
    return routine.levels ? *routine.levels : kHq2xFamily;
}

const SharpRoutine kSharpRoutines[] = {
    {"sharp 640x480 -> 1440x1080", 1440, 1080, 1000, 2000},
    {"sharp 640x480 -> 1920x1080", 1920, 1080, 1000, 2000},
    {"sharp 640x480 -> 3840x2160", 3840, 2160, 0, 0},
};
const int kSharpRoutineCount = int(sizeof kSharpRoutines / sizeof kSharpRoutines[0]);

SharpStage MakeSharpStage(const SharpRoutine& routine) {
    SharpStage stage;
    stage.frame = GameLikeArgb(kSharpFrameWidth, kSharpFrameHeight);
    PrepareSharpScale(stage.scale, kSharpFrameWidth, kSharpFrameHeight, routine.width,
                      routine.height);
    stage.picture.assign(std::size_t(routine.width) * routine.height, 0);
    ScaleSharp(stage); // the first call fills the tables' rows
    return stage;
}

void ScaleSharp(SharpStage& s) {
    int end = 0;
    SharpScaleRows(s.scale, s.frame.data(), kSharpFrameWidth, 0, kSharpFrameHeight,
                   s.picture.data(), s.scale.width, &end);
}

void ScaleSharpReference(SharpStage& s) {
    ReferenceSharpScale(s.frame.data(), kSharpFrameWidth, kSharpFrameHeight, s.picture.data(),
                        s.scale.width, s.scale.height);
}

std::vector<SimdLevel> AvailableSharpLevels() {
    std::vector<SimdLevel> levels;
    for (SimdLevel level : {SimdLevel::Plain, SimdLevel::Sse2, SimdLevel::Ssse3, SimdLevel::Avx2})
        if (SharpLevels::Available(level)) levels.push_back(level);
    return levels;
}
