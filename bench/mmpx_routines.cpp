// The pictures and routines of the MMPX benchmarks.
#include "pixel_routines.h"

#include "pixels/mmpx.h"
#include "pixels/mmpx_rows.h"

#include "test_pictures.h"

#include <cstring>

namespace {

constexpr int W = kBenchWidth, H = kBenchHeight;

MmpxStage Stage(const char* name, std::vector<std::uint32_t> source) {
    const std::size_t pixels = std::size_t(W) * H;
    return {name, std::move(source), std::vector<std::uint32_t>(4 * pixels),
            std::vector<std::uint32_t>(16 * pixels), std::vector<std::uint32_t>(16 * pixels)};
}

} // namespace

std::vector<MmpxStage> MakeMmpxStages() {
    std::vector<MmpxStage> stages;
    stages.push_back(Stage("game", GameLikeArgb(W, H)));
    stages.push_back(Stage("dithered", DitheredGameLikeArgb(W, H)));
    stages.push_back(Stage("noise", NoiseArgb(W, H, 99)));
    return stages;
}

void RunMmpx2x(MmpxStage& s) {
    Mmpx2x(s.source.data(), 4 * W, W, H, s.middle.data(), 8 * W);
}

void RunMmpx4x(MmpxStage& s) {
    Mmpx4x(s.source.data(), 4 * W, W, H, s.middle.data(), 8 * W, s.large.data(), 16 * W);
}

void CopyMmpx2xOutput(MmpxStage& s) {
    std::memcpy(s.copy.data(), s.middle.data(), s.middle.size() * 4);
}

void CopyMmpx4xOutput(MmpxStage& s) {
    std::memcpy(s.copy.data(), s.large.data(), s.large.size() * 4);
}

std::vector<SimdLevel> AvailableMmpxLevels() {
    std::vector<SimdLevel> levels;
    for (SimdLevel level : AllSimdLevels)
        if (MmpxLevels::Available(level)) levels.push_back(level);
    return levels;
}
