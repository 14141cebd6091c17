// MMPX at every instruction-set level against the reference written from the paper, over
// lines at many angles, single-pixel details, pictures cut at the vector widths and the
// game-like test pictures: the same pixels, only the input's colours, the fourth byte of no
// account, and twice over for 4x.
#include "pixels/mmpx.h"
#include "pixels/mmpx_rows.h"

#include "pixels_reference.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t Sentinel = 0xDEADBEEF;

struct Picture {
    std::string name;
    int width, height;
    std::vector<std::uint32_t> pixels;
};

// Lines of three colours from three centres at every 6 degrees over a field, single pixels
// of four colours strewn over it and a checkerboard in one corner.
Picture Details() {
    Picture p{"details", 91, 67, std::vector<std::uint32_t>(91 * 67, 0xFF203040)};
    const std::uint32_t colours[] = {0xFFF0E0A0, 0xFF80FF20, 0xFF102010, 0xFF0000FF};
    const int centres[][2] = {{20, 20}, {70, 30}, {45, 55}};
    for (int angle = 0; angle < 180; angle += 6) {
        const double t = angle * 3.14159265358979 / 180;
        for (int step = -30; step <= 30; ++step) {
            const int x = centres[angle / 6 % 3][0] + int(std::lround(step * std::cos(t)));
            const int y = centres[angle / 6 % 3][1] + int(std::lround(step * std::sin(t)));
            if (x >= 0 && x < p.width && y >= 0 && y < p.height)
                p.pixels[y * p.width + x] = colours[angle / 6 % 3];
        }
    }
    std::mt19937 random(3);
    for (int n = 0; n < 160; ++n) p.pixels[random() % p.pixels.size()] = colours[n % 4];
    for (int i = 0; i < 64; ++i)
        p.pixels[i / 8 * p.width + i % 8] = (i / 8 + i) % 2 ? colours[0] : colours[2];
    return p;
}

std::vector<Picture> Pictures() {
    std::vector<Picture> pictures = {Details()};
    pictures.push_back({"game", 320, 240, GameLikeArgb(320, 240)});
    pictures.push_back({"dithered", 160, 96, DitheredGameLikeArgb(160, 96)});
    const std::vector<std::uint32_t> palette = {0xFF204060, 0xFFC0A080, 0xFF000000, 0xFFFFFFFF};
    // Widths around the vector groups' ends (4 and 8 lanes, 3 columns each side).
    const int sizes[][2] = {{1, 1},  {1, 7},  {7, 1},  {2, 3},  {9, 4},  {10, 10}, {11, 3},
                            {13, 6}, {14, 5}, {15, 9}, {17, 2}, {22, 6}, {33, 5}};
    for (const auto& size : sizes)
        pictures.push_back(
            {"few colours " + std::to_string(size[0]) + "x" + std::to_string(size[1]), size[0],
             size[1], PaletteArgb(size[0], size[1], palette, std::uint32_t(size[0]))});
    pictures.push_back({"noise", 37, 23, NoiseArgb(37, 23, 5)});
    return pictures;
}

// The filter at 2x, or 4x when twice, from a source with rows `pad` pixels longer than the
// picture into a destination with 5 spare pixels a row, which must stay untouched.
std::vector<std::uint32_t> Filter(const Picture& p, int pad, bool twice) {
    const int factor = twice ? 4 : 2, width = factor * p.width, height = factor * p.height;
    std::vector<std::uint32_t> source(std::size_t(p.width + pad) * p.height, 0xFF123456);
    for (int y = 0; y < p.height; ++y)
        std::copy_n(&p.pixels[y * p.width], p.width, &source[y * (p.width + pad)]);
    std::vector<std::uint32_t> out(std::size_t(width + 5) * height, Sentinel), packed;
    std::vector<std::uint32_t> middle(std::size_t(4) * p.width * p.height);
    if (twice)
        Mmpx4x(source.data(), 4 * (p.width + pad), p.width, p.height, middle.data(), 8 * p.width,
               out.data(), 4 * (width + 5));
    else
        Mmpx2x(source.data(), 4 * (p.width + pad), p.width, p.height, out.data(), 4 * (width + 5));
    for (int y = 0; y < height; ++y) {
        for (int x = width; x < width + 5; ++x) EXPECT_EQ(out[y * (width + 5) + x], Sentinel);
        packed.insert(packed.end(), &out[y * (width + 5)], &out[y * (width + 5) + width]);
    }
    return packed;
}

std::vector<std::uint32_t> Reference(const std::vector<std::uint32_t>& source, int width,
                                     int height) {
    std::vector<std::uint32_t> out(std::size_t(4) * width * height);
    return ReferenceMmpx(source.data(), out.data(), width, height), out;
}

TEST(Mmpx, MatchesThePaperAtEveryLevelKeepingThePalette) {
    const SimdLevel start = MmpxLevels::InUse();
    int levelsRun = 0;
    for (SimdLevel level : AllSimdLevels) {
        if (!MmpxLevels::Use(level)) continue;
        ++levelsRun;
        int pad = 0;
        for (const Picture& p : Pictures()) {
            SCOPED_TRACE(p.name + " at " + SimdLevelName(level));
            const std::vector<std::uint32_t> twice = Reference(p.pixels, p.width, p.height);
            const std::vector<std::uint32_t> out = Filter(p, pad++ % 3, false);
            ASSERT_EQ(out, twice);
            ASSERT_EQ(Filter(p, 0, true), Reference(twice, 2 * p.width, 2 * p.height));
            const std::set<std::uint32_t> palette(p.pixels.begin(), p.pixels.end());
            for (std::uint32_t pixel : out) ASSERT_TRUE(palette.count(pixel)) << std::hex << pixel;
            // Another fourth byte in every pixel chooses the same colours.
            Picture scrambled = p;
            std::mt19937 random(11);
            for (std::uint32_t& pixel : scrambled.pixels)
                pixel = (pixel & 0xFFFFFF) | random() << 24;
            std::vector<std::uint32_t> colours = Filter(scrambled, 0, false);
            for (std::size_t i = 0; i < out.size(); ++i)
                ASSERT_EQ(colours[i] & 0xFFFFFF, out[i] & 0xFFFFFF) << i;
        }
    }
    MmpxLevels::Use(start);
    EXPECT_GE(levelsRun, 1);
}

} // namespace
