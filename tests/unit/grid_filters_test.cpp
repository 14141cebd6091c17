// The filters at grids 3 and 4: Scale3x and Scale4x against their references at each
// instruction-set level, and each row of the filter table at each grid against what it should
// show.
#include "pixels/filter_table.h"
#include "pixels/hq2x.h"
#include "pixels/hq2x_frame.h"
#include "pixels/scale3x.h"
#include "pixels/scale4x.h"
#include "pixels/scale_rows.h"

#include "pixels_reference.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Pixels = std::vector<std::uint32_t>;
constexpr std::uint32_t Untouched = 0xDEADBEEF;

// A picture with its rows fromPitch pixels apart, put toPitch apart; the pixels beyond each
// row of the first must be Untouched.
Pixels Repitch(const Pixels& from, int width, int height, int fromPitch, int toPitch) {
    Pixels to(std::size_t(toPitch) * height, Untouched);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < fromPitch; ++x)
            if (x < width)
                to[y * toPitch + x] = from[y * fromPitch + x];
            else
                EXPECT_EQ(from[y * fromPitch + x], Untouched) << "beyond row " << y;
    return to;
}

// Scale3x or Scale4x of a picture through the routine, with rows padded on both sides.
Pixels Routine(int grid, const Pixels& source, int width, int height) {
    const int w = grid * width, h = grid * height;
    const Pixels in = Repitch(source, width, height, width, width + 3);
    Pixels out(std::size_t(w + 5) * h, Untouched), between(std::size_t(4) * width * height);
    const ConstPixelView from{in.data(), width, height, std::ptrdiff_t(width + 3) * 4};
    const PixelView to{out.data(), w, h, std::ptrdiff_t(w + 5) * 4};
    if (grid == 3)
        Scale3x(from, to);
    else
        Scale4x(from, {between.data(), 2 * width, 2 * height, std::ptrdiff_t(8) * width}, to);
    return Repitch(out, w, h, w + 5, w);
}

Pixels Reference(int grid, const Pixels& source, int width, int height) {
    Pixels out(std::size_t(grid * grid) * width * height);
    (grid == 3 ? ReferenceScale3x : ReferenceScale4x)(source.data(), out.data(), width, height);
    return out;
}

// The same picture with each pixel's alpha byte set at random.
Pixels WithRandomAlpha(Pixels picture, std::uint32_t seed) {
    for (std::uint32_t& pixel : picture) {
        seed = seed * 1103515245u + 12345u;
        pixel = (pixel & 0xFFFFFFu) | (seed & 0xFF000000u);
    }
    return picture;
}

// Scale3x and Scale4x at each instruction-set level, switched through the filter table's row
// of them (levels this build or processor lacks are skipped); the level in use comes back.
class GridFilterLevels : public testing::TestWithParam<SimdLevel> {
  protected:
    static const FilterRow& Row() { return FilterTable[FilterScale2x]; }
    static void SetUpTestSuite() { start = Row().levelInUse(); }
    static void TearDownTestSuite() { Row().useLevel(start); }
    void SetUp() override {
        if (!Row().useLevel(GetParam())) GTEST_SKIP() << SimdLevelName(GetParam()) << " not here";
        ASSERT_EQ(Row().levelInUse(), GetParam());
    }
    static inline SimdLevel start = SimdLevel::Plain;
};

TEST_P(GridFilterLevels, Scale3xAndScale4xMatchTheirReferences) {
    const Pixels palette = {0xFF204060, 0xFFC0A080, 0xFF000000, 0xFFFFFFFF};
    const int sizes[][2] = {{1, 1},  {1, 5},  {6, 1},  {2, 2},  {3, 3}, {7, 4},
                            {12, 5}, {17, 9}, {9, 17}, {25, 3}, {40, 6}};
    for (int grid : {3, 4}) {
        for (const auto& size : sizes) {
            for (std::uint32_t seed = 1; seed <= 5; ++seed) {
                const Pixels few = PaletteArgb(
                    size[0], size[1], {palette.begin(), palette.begin() + 2 + seed % 3}, seed);
                ASSERT_EQ(Routine(grid, few, size[0], size[1]),
                          Reference(grid, few, size[0], size[1]))
                    << grid << "x " << size[0] << "x" << size[1] << " seed " << seed;
            }
        }
        const Pixels game = GameLikeArgb(320, 240), dithered = DitheredGameLikeArgb(64, 48);
        EXPECT_EQ(Routine(grid, game, 320, 240), Reference(grid, game, 320, 240)) << grid;
        EXPECT_EQ(Routine(grid, dithered, 64, 48), Reference(grid, dithered, 64, 48)) << grid;
        const Pixels noise = NoiseArgb(37, 7, 5);
        EXPECT_EQ(Routine(grid, noise, 37, 7), Reference(grid, noise, 37, 7)) << grid;
    }
}

// Colours that differ only in alpha are one colour: the rules decide as on the opaque picture,
// and each output pixel is still one of the source's pixels as it is.
TEST_P(GridFilterLevels, TheAlphaBytePlaysNoPart) {
    const Pixels opaque = PaletteArgb(23, 11, {0xFF204060, 0xFFC0A080, 0xFF000000}, 9);
    const Pixels mixed = WithRandomAlpha(opaque, 77);
    for (int grid : {3, 4}) {
        const Pixels a = Routine(grid, opaque, 23, 11), b = Routine(grid, mixed, 23, 11);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i)
            ASSERT_EQ(a[i] & 0xFFFFFF, b[i] & 0xFFFFFF) << grid << " at " << i;
        EXPECT_EQ(b, Reference(grid, mixed, 23, 11)) << grid;
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, GridFilterLevels, testing::ValuesIn(AllSimdLevels),
                         [](const testing::TestParamInfo<SimdLevel>& info) {
                             std::string name = SimdLevelName(info.param);
                             std::erase_if(name, [](char c) { return !std::isalnum(c); });
                             return name;
                         });

// The row offers every level the processor runs that has routines of its own (none of SSSE3
// or SSE4.1), and starts at the best of them.
const SimdLevel scaleLevelAtStart = FilterTable[FilterScale2x].levelInUse();
TEST(GridFilters, EveryScaleLevelTheProcessorRunsStartingAtTheBest) {
    for (SimdLevel level : {SimdLevel::Plain, SimdLevel::Sse2, SimdLevel::Avx2})
        EXPECT_EQ(ScaleLevels::Available(level), ProcessorRuns(level)) << SimdLevelName(level);
    EXPECT_EQ(scaleLevelAtStart, ProcessorRuns(SimdLevel::Avx2)   ? SimdLevel::Avx2
                                 : ProcessorRuns(SimdLevel::Sse2) ? SimdLevel::Sse2
                                                                  : SimdLevel::Plain);
}

// A step in a diagonal edge: the corner sub-pixel beside two dark neighbours turns dark, the
// rest of the block stays.
TEST(GridFilters, ADiagonalStepGetsACutCorner) {
    constexpr std::uint32_t O = 0xFF000000, W = 0xFFFFFFFF;
    const Pixels step = {O, O, W, O, W, W, W, W, W}; // 3x3: the top-left corner dark
    const Pixels three = Routine(3, step, 3, 3);
    // The centre pixel (1,1) is W with B = O = D: its top-left sub-pixel becomes O.
    EXPECT_EQ(three[3 * 9 + 3], O);
    EXPECT_EQ(three[4 * 9 + 4], W);
    const Pixels four = Routine(4, step, 3, 3);
    EXPECT_EQ(four[4 * 12 + 4], O);
    EXPECT_EQ(four[7 * 12 + 7], W);
}

// Each row of the table at each grid, on the game-like picture: Off takes the doubled
// picture's pixel (2x/N, 2y/N), Scale2x is Scale3x and Scale4x, hq2x's doubled picture is
// repeated at 4 and enlarged by area at 3 (each channel within 2 of the exact weights); MMPX
// is applied twice at 4 and its doubled picture enlarged by area at 3.
TEST(GridFilters, EachTableRowAtEachGrid) {
    ASSERT_TRUE(MakeFilterTables());
    constexpr int W = 40, H = 30;
    const Pixels game = DitheredGameLikeArgb(W, H);
    Pixels doubled(std::size_t(4) * W * H);
    for (int y = 0; y < 2 * H; ++y)
        for (int x = 0; x < 2 * W; ++x) doubled[y * 2 * W + x] = game[(y / 2) * W + x / 2];
    Pixels hq(std::size_t(4) * W * H), narrow(W * H + 1), wide(std::size_t(8) * W);
    Hq2xFrame(game.data(), W * 4, W, H, reinterpret_cast<std::uint16_t*>(narrow.data()),
              reinterpret_cast<std::uint16_t*>(wide.data()), W * 4, hq.data(), std::size_t(8) * W);
    for (int grid : {3, 4}) {
        FilterWork work;
        PrepareFilterWork(work, W, H, grid);
        const int fw = grid * W, fh = grid * H;
        Pixels expected[FilterCount];
        expected[FilterOff].resize(std::size_t(fw) * fh);
        for (int y = 0; y < fh; ++y)
            for (int x = 0; x < fw; ++x)
                expected[FilterOff][y * fw + x] = doubled[(2 * y / grid) * 2 * W + 2 * x / grid];
        expected[FilterScale2x] = Reference(grid, game, W, H);
        expected[FilterHq2x].resize(std::size_t(fw) * fh);
        if (grid == 4)
            for (int y = 0; y < fh; ++y)
                for (int x = 0; x < fw; ++x)
                    expected[FilterHq2x][y * fw + x] = hq[(y / 2) * 2 * W + x / 2];
        else
            ReferenceSharpScale(hq.data(), 2 * W, 2 * H, expected[FilterHq2x].data(), fw, fh);
        Pixels mmpx(std::size_t(4) * W * H);
        ReferenceMmpx(game.data(), mmpx.data(), W, H);
        expected[FilterMmpx].resize(std::size_t(fw) * fh);
        if (grid == 4)
            ReferenceMmpx(mmpx.data(), expected[FilterMmpx].data(), 2 * W, 2 * H);
        else
            ReferenceSharpScale(mmpx.data(), 2 * W, 2 * H, expected[FilterMmpx].data(), fw, fh);
        for (int mode = 0; mode < FilterCount; ++mode) {
            const FilterRow& row = FilterTable[mode];
            const Pixels& source = row.readsDoubled ? doubled : game;
            const int sw = row.readsDoubled ? 2 * W : W, sh = row.readsDoubled ? 2 * H : H;
            Pixels out(std::size_t(fw) * fh, Untouched);
            ASSERT_TRUE(row.passes[GridIndex(grid)]({source.data(), sw, sh, std::ptrdiff_t(sw) * 4},
                                                    {out.data(), fw, fh, std::ptrdiff_t(fw) * 4},
                                                    work));
            const int tolerance = mode >= FilterHq2x && grid == 3 ? 2 : 0;
            for (std::size_t i = 0; i < out.size(); ++i)
                for (int shift : {0, 8, 16})
                    ASSERT_LE(std::abs(int(out[i] >> shift & 0xFF) -
                                       int(expected[mode][i] >> shift & 0xFF)),
                              tolerance)
                        << row.names[GridIndex(grid)] << " at " << i % fw << "," << i / fw;
        }
    }
}

} // namespace
