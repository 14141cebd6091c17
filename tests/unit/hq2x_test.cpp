// The hq2x tables, rule table and filter against the per-channel reference; the filter's
// tests run once for every instruction-set level the build and the processor offer.
#include "pixels/hq2x.h"
#include "pixels/hq2x_frame.h"
#include "pixels/hq2x_rows.h"
#include "pixels/hq2x_rules.h"

#include "pixels_reference.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// Test names and failures name the level, not its bytes.
void PrintTo(SimdLevel level, std::ostream* out) {
    *out << SimdLevelName(level);
}

namespace {

class Hq2xTables : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        rgbTable.assign(65536, 0);
        yuvTable.assign(65536, 0);
        Rgb565To888Table = rgbTable.data();
        Rgb565ToYuvTable = yuvTable.data();
        BuildFilterTables();
    }
    static std::vector<std::uint32_t> rgbTable, yuvTable;
};

std::vector<std::uint32_t> Hq2xTables::rgbTable, Hq2xTables::yuvTable;

class Hq2x : public Hq2xTables, public testing::WithParamInterface<SimdLevel> {
  protected:
    static void SetUpTestSuite() {
        Hq2xTables::SetUpTestSuite();
        if (!startLevel) startLevel = Hq2xLevels::InUse();
    }
    static void TearDownTestSuite() { Hq2xLevels::Use(*startLevel); }
    void SetUp() override {
        if (!Hq2xLevels::Use(GetParam())) GTEST_SKIP() << SimdLevelName(GetParam()) << " not here";
    }

    // The source lives in a block of exactly its size, so reading past it is caught by the
    // address sanitizer.
    static std::vector<std::uint16_t> Scale(const std::vector<std::uint16_t>& source, int width,
                                            int height) {
        std::vector<std::uint16_t> out(std::size_t(4) * width * height, 0xDEAD);
        Hq2xScale(source.data(), out.data(), width, height, 4 * width);
        return out;
    }

    static std::vector<std::uint16_t> Reference(const std::vector<std::uint16_t>& source, int width,
                                                int height,
                                                std::array<int, 256>* patterns = nullptr) {
        std::vector<std::uint16_t> out(std::size_t(4) * width * height);
        ReferenceHq2x(source.data(), out.data(), width, height, BundledHq2xRules(), patterns);
        return out;
    }

    static std::optional<SimdLevel> startLevel;
};

std::optional<SimdLevel> Hq2x::startLevel;

using Pixels = std::vector<std::uint16_t>;

// The 2x2 block of source pixel (x, y): E00, E01, E10, E11.
Pixels Block(const Pixels& out, int width, int x, int y) {
    const std::size_t top = std::size_t(2 * y) * 2 * width + 2 * x, bottom = top + 2 * width;
    return {out[top], out[top + 1], out[bottom], out[bottom + 1]};
}

TEST_F(Hq2xTables, TablesHoldShiftedChannelsAndYuv) {
    EXPECT_EQ(Rgb565ToYuvTable[0x0000], 0x00008080u);
    EXPECT_EQ(Rgb565ToYuvTable[0xFFFF], 0x00BB8081u);
    EXPECT_EQ(Rgb565ToYuvTable[0xF800], 0x003EBE61u);
    EXPECT_EQ(Rgb565ToYuvTable[0x07E0], 0x003F80BFu);
    EXPECT_EQ(Rgb565ToYuvTable[0x001F], 0x003E4261u);
    EXPECT_EQ(Rgb565To888Table[0xFFFF], 0x00F8FCF8u);
    for (std::uint32_t i = 0; i < 65536; ++i) {
        const std::uint32_t r = i >> 11, g = i >> 5 & 63, b = i & 31;
        ASSERT_EQ(Rgb565To888Table[i], (8 * r) << 16 | (4 * g) << 8 | 8 * b) << i;
        ASSERT_EQ(Rgb565ToYuvTable[i], ReferenceYuv(std::uint16_t(i))) << i;
    }
}

TEST_F(Hq2xTables, BuildingLeavesATableThatWasNotAllocatedAlone) {
    std::vector<std::uint32_t> yuv(65536, 0);
    Rgb565To888Table = nullptr;
    Rgb565ToYuvTable = yuv.data();
    BuildFilterTables();
    Rgb565To888Table = rgbTable.data();
    Rgb565ToYuvTable = yuvTable.data();
    EXPECT_EQ(yuv, yuvTable);
}

void ExpectSameRules(const ReferenceRules& expected) {
    static const int pairs[5][2] = {{0, 0}, {4, 2}, {2, 6}, {6, 8}, {8, 4}};
    for (int pattern = 0; pattern < 256; ++pattern) {
        for (int sub = 0; sub < 4; ++sub) {
            const Hq2xCell& cell = Hq2xRules[pattern].cells[sub];
            const ReferenceCell& want = expected[pattern].cells[sub];
            ASSERT_LE(cell.pair, 4);
            EXPECT_EQ(pairs[cell.pair][0], want.sideA) << pattern << " cell " << sub;
            EXPECT_EQ(pairs[cell.pair][1], want.sideB) << pattern << " cell " << sub;
            EXPECT_EQ(cell.form, want.form) << pattern << " cell " << sub;
            EXPECT_EQ(cell.formIfDiffers, want.formIfDiffers) << pattern << " cell " << sub;
        }
    }
}

TEST(Hq2xRules, MatchTheCopyKeptWithTheTests) {
    ExpectSameRules(BundledHq2xRules());
}

TEST(Hq2xRules, ParserRejectsMalformedTables) {
    ReferenceRules rules{};
    std::string error, good;
    for (int p = 0; p < 256; ++p) good += std::to_string(p) + "\t20\t20\t20\t20\n";
    EXPECT_TRUE(ParseHq2xRules(good, rules, error)) << error;
    const std::string bad[] = {
        good.substr(0, good.rfind("255\t")),                      // a pattern missing
        good + "7\t20\t20\t20\t20\n",                             // a pattern twice
        "0\t20\t20\t20\t25\n" + good.substr(good.find('\n') + 1), // unknown form
        "0\tdiff(w4,w2)?10\t20\t20\t20\n" + good.substr(good.find('\n') + 1),
    };
    for (const std::string& text : bad) EXPECT_FALSE(ParseHq2xRules(text, rules, error));
}

TEST_P(Hq2x, UniformSourceGivesUniformDestination) {
    EXPECT_EQ(Scale(Pixels(6 * 4, 0x1234), 6, 4), Pixels(24 * 4, 0x1234));
}

TEST_P(Hq2x, SimilarNeighbourAboveUsesTheUniformRounding) {
    // Centre 0x1863 with only the pixel above 0x1042: similar, and the pull towards it lands
    // on the centre, which the uniform case still rounds down.
    Pixels source(3 * 3, 0x1863);
    source[1] = 0x1042;
    EXPECT_EQ(Block(Scale(source, 3, 3), 3, 1, 1), (Pixels{0x1042, 0x1042, 0x1863, 0x1863}));
    // With the left neighbour too, the 2:1:1 blend keeps the centre where the sides are equal.
    source[3] = 0x1042;
    EXPECT_EQ(Block(Scale(source, 3, 3), 3, 1, 1), (Pixels{0x1042, 0x1863, 0x1863, 0x1863}));
}

TEST_P(Hq2x, BlackPixelInWhiteField) {
    Pixels source(5 * 5, 0xFFFF);
    source[2 * 5 + 2] = 0x0000;
    const Pixels out = Scale(source, 5, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            const std::uint16_t want = x == 2 && y == 2 ? 0x18E3 : 0xFFFF;
            EXPECT_EQ(Block(out, 5, x, y), Pixels(4, want)) << x << "," << y;
        }
    }
}

TEST_P(Hq2x, LumaDifferenceOf49DiffersAnd48DoesNot) {
    // Above a black centre: (8, 16, 8) has Y 48 and V 128, (8, 17, 8) Y 49 and V 129. Similar,
    // the top row is pulled towards it; different, every sub-pixel keeps black.
    const std::uint16_t similar = 8 << 11 | 16 << 5 | 8, different = 8 << 11 | 17 << 5 | 8;
    Pixels source(3 * 3, 0x0000);
    source[1] = similar;
    EXPECT_NE(Block(Scale(source, 3, 3), 3, 1, 1)[0], 0x0000);
    source[1] = different;
    EXPECT_EQ(Block(Scale(source, 3, 3), 3, 1, 1), Pixels(4, 0x0000));
}

TEST_P(Hq2x, EdgesRepeatTheBorderRowAndColumn) {
    // The filter of an image equals the inner part of the filter of the image with its
    // border rows and columns repeated once more.
    const int width = 9, height = 6;
    const Pixels source = Palette565(width, height, {0x0000, 0xFFFF, 0x1863, 0x1042}, 8);
    Pixels padded(std::size_t(width + 2) * (height + 2));
    for (int y = -1; y <= height; ++y) {
        for (int x = -1; x <= width; ++x) {
            const int sy = y < 0 ? 0 : y >= height ? height - 1 : y;
            const int sx = x < 0 ? 0 : x >= width ? width - 1 : x;
            padded[std::size_t(y + 1) * (width + 2) + x + 1] = source[sy * width + sx];
        }
    }
    const Pixels out = Scale(source, width, height), big = Scale(padded, width + 2, height + 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            EXPECT_EQ(Block(out, width, x, y), Block(big, width + 2, x + 1, y + 1))
                << x << "," << y;
}

TEST_P(Hq2x, MatchesReferenceOnFewColoursAndCoversEveryRule) {
    // Similar pairs (0x1863/0x1042, 0x8410/0x8430, 0xFFFF/0xF7BE) and far ones, so that
    // both the uniform case and every rule with both sides of its pair tests occur.
    const std::vector<Pixels> palettes = {
        {0x0000, 0xFFFF},
        {0x1863, 0x1042, 0xF800},
        {0x0000, 0xFFFF, 0x8410, 0x8430},
        {0x07E0, 0x001F, 0xF7BE, 0xFFFF, 0x1863},
        {0x1042, 0x1863, 0x18E3, 0x2104, 0x8410, 0xFFFF, 0x0000},
    };
    std::array<int, 256> patterns{};
    std::uint32_t seed = 1;
    for (const Pixels& palette : palettes) {
        for (int round = 0; round < 3; ++round, ++seed) {
            const Pixels source = Palette565(320, 240, palette, seed);
            ASSERT_EQ(Scale(source, 320, 240), Reference(source, 320, 240, &patterns))
                << "seed " << seed;
        }
    }
    // Patterns without an edge neighbour bit are the uniform case and never looked up.
    for (int pattern = 0; pattern < 256; ++pattern) {
        if (pattern & 0x5A) {
            EXPECT_GT(patterns[pattern], 0) << pattern;
        }
    }
}

TEST_P(Hq2x, MatchesReferenceOnGameLikePicturesAndNoise) {
    const Pixels game = Narrowed(GameLikeArgb(320, 240));
    EXPECT_EQ(Scale(game, 320, 240), Reference(game, 320, 240));
    const Pixels dithered = Narrowed(DitheredGameLikeArgb(320, 240));
    EXPECT_EQ(Scale(dithered, 320, 240), Reference(dithered, 320, 240));
    const Pixels noise = Noise565(320, 240, 12);
    EXPECT_EQ(Scale(noise, 320, 240), Reference(noise, 320, 240));
}

TEST_P(Hq2x, MatchesReferenceAtSmallAndOddSizes) {
    const int sizes[][2] = {{1, 1}, {2, 1},  {1, 3},  {4, 2},  {5, 3}, {3, 7},
                            {9, 2}, {10, 4}, {17, 9}, {18, 5}, {33, 3}};
    const Pixels palette = {0x0000, 0xFFFF, 0x1863, 0x1042, 0x8410};
    for (const auto& size : sizes) {
        for (std::uint32_t seed = 1; seed <= 8; ++seed) {
            const Pixels source = seed % 2 ? Palette565(size[0], size[1], palette, seed)
                                           : Noise565(size[0], size[1], seed);
            ASSERT_EQ(Scale(source, size[0], size[1]), Reference(source, size[0], size[1]))
                << size[0] << "x" << size[1] << " seed " << seed;
        }
    }
}

TEST_P(Hq2x, EmptySizesWriteNothing) {
    const Pixels source(4, 0x1234);
    Pixels out(16, 0xDEAD);
    Hq2xScale(source.data(), out.data(), 0, 4, 0);
    Hq2xScale(source.data(), out.data(), 4, 0, 16);
    Hq2xScale(source.data(), out.data(), -2, 2, 16);
    EXPECT_EQ(out, Pixels(16, 0xDEAD));
}

TEST_P(Hq2x, LeavesBytesBeyondEachDestinationRowAlone) {
    const Pixels source = Palette565(5, 3, {0x0000, 0xFFFF, 0x1863}, 3);
    const int pitchPixels = 14;
    Pixels out(std::size_t(pitchPixels) * 6, 0xDEAD);
    Hq2xScale(source.data(), out.data(), 5, 3, pitchPixels * 2);
    const Pixels expected = Reference(source, 5, 3);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < pitchPixels; ++x) {
            const std::uint16_t want = x < 10 ? expected[y * 10 + x] : 0xDEAD;
            ASSERT_EQ(out[y * pitchPixels + x], want) << x << "," << y;
        }
    }
}

// The whole frame sequence against narrowing, filter and widening of the reference, at a
// width with remainders for every group size; the scratch rows are ignored.
TEST_P(Hq2x, FrameMatchesReferencePath) {
    for (const int width : {1, 2, 33, 203}) {
        const int height = 7;
        std::vector<std::uint32_t> source = DitheredGameLikeArgb(width, 3 * height);
        source.erase(source.begin(), source.begin() + std::ptrdiff_t(2) * height * width);
        const std::vector<std::uint32_t> noise = NoiseArgb(width, 2, 4);
        std::copy(noise.begin(), noise.end(), source.begin() + std::ptrdiff_t(4) * width);
        const Pixels narrowed = Narrowed(source), filtered = Reference(narrowed, width, height);
        std::vector<std::uint32_t> expected(filtered.size());
        ReferenceConvertRowFrom565(filtered.data(), expected.data(), std::int32_t(filtered.size()));

        Pixels narrow(std::size_t(width) * height), wide(std::size_t(4) * width * height);
        std::vector<std::uint32_t> out(expected.size(), 0xDEADBEEF);
        Hq2xFrame(source.data(), std::size_t(width) * 4, width, height, narrow.data(), wide.data(),
                  std::size_t(width) * 4, out.data(), std::size_t(width) * 8);
        ASSERT_EQ(out, expected) << "width " << width;
    }
}

// The frame's own widening, every value in one long row and again in rows of seven.
TEST_P(Hq2x, FrameWideningMatchesReferenceForEveryValue) {
    Pixels all(65536);
    for (int i = 0; i < 65536; ++i) all[i] = std::uint16_t(i);
    std::vector<std::uint32_t> expected(65536), whole(65536), sevens(65536);
    ReferenceConvertRowFrom565(all.data(), expected.data(), 65536);
    const Hq2xRowWidener widen = Hq2xLevels::InUseRoutines().widenRow;
    widen(all.data(), whole.data(), 65536);
    for (int i = 0; i < 65536; i += 7)
        widen(all.data() + i, sevens.data() + i, std::min(7, 65536 - i));
    ASSERT_EQ(whole, expected);
    ASSERT_EQ(sevens, expected);
}

INSTANTIATE_TEST_SUITE_P(Levels, Hq2x,
                         testing::Values(SimdLevel::Plain, SimdLevel::Sse2, SimdLevel::Ssse3,
                                         SimdLevel::Sse41, SimdLevel::Avx2),
                         [](const testing::TestParamInfo<SimdLevel>& info) {
                             std::string name = SimdLevelName(info.param);
                             std::erase_if(name, [](char c) { return !std::isalnum(c); });
                             return name;
                         });

// The level chosen when the program started: the best that the build and the processor
// offer.
const SimdLevel levelAtStart = Hq2xLevels::InUse();

TEST(Hq2xLevels, StartOnTheBestAvailable) {
    ASSERT_TRUE(Hq2xLevels::Available(levelAtStart));
    for (int better = int(levelAtStart) + 1; better <= int(SimdLevel::Avx2); ++better)
        EXPECT_FALSE(Hq2xLevels::Available(SimdLevel(better))) << SimdLevelName(SimdLevel(better));
    std::printf("hq2x level at start: %s\n", SimdLevelName(levelAtStart));
}

} // namespace
