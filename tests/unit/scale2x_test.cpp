// Scale2x against the per-pixel reference and on hand-made pictures.
#include "pixels/scale2x.h"

#include "pixels_reference.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::uint32_t Q = 0xFF204060, X = 0xFFC0A080;

// The source lives in a block of exactly its size, so reading past it is caught by the
// address sanitizer.
std::vector<std::uint32_t> Scale(const std::vector<std::uint32_t>& source, int width, int height) {
    std::vector<std::uint32_t> out(std::size_t(4) * width * height, 0xDEADBEEF);
    Scale2x(source.data(), out.data(), width, height, 8 * width);
    return out;
}

std::vector<std::uint32_t> Reference(const std::vector<std::uint32_t>& source, int width,
                                     int height) {
    std::vector<std::uint32_t> out(std::size_t(4) * width * height);
    ReferenceScale2x(source.data(), out.data(), width, height);
    return out;
}

// The 2x2 block of source pixel (x, y): top-left, top-right, bottom-left, bottom-right.
std::vector<std::uint32_t> Block(const std::vector<std::uint32_t>& out, int width, int x, int y) {
    const std::size_t top = std::size_t(2 * y) * 2 * width + 2 * x, bottom = top + 2 * width;
    return {out[top], out[top + 1], out[bottom], out[bottom + 1]};
}

using Blocks = std::vector<std::uint32_t>;

TEST(Scale2x, MatchesReferenceOnFewColoursAtManySizes) {
    // Two colours that differ only in alpha count as different.
    const std::vector<std::uint32_t> palette = {Q, X, 0x00204060, 0xFF000000};
    const int sizes[][2] = {{1, 1}, {1, 6}, {7, 1},  {2, 2},  {4, 2},  {5, 3},
                            {3, 5}, {8, 8}, {17, 9}, {9, 17}, {33, 4}, {320, 240}};
    for (const auto& size : sizes) {
        for (std::uint32_t seed = 1; seed <= 6; ++seed) {
            const std::vector<std::uint32_t> source = PaletteArgb(
                size[0], size[1], {palette.begin(), palette.begin() + 2 + seed % 3}, seed);
            ASSERT_EQ(Scale(source, size[0], size[1]), Reference(source, size[0], size[1]))
                << size[0] << "x" << size[1] << " seed " << seed;
        }
    }
}

TEST(Scale2x, MatchesReferenceOnGameLikePictureAndNoise) {
    const std::vector<std::uint32_t> game = GameLikeArgb(320, 240);
    EXPECT_EQ(Scale(game, 320, 240), Reference(game, 320, 240));
    const std::vector<std::uint32_t> noise = NoiseArgb(21, 13, 4);
    EXPECT_EQ(Scale(noise, 21, 13), Reference(noise, 21, 13));
}

TEST(Scale2x, FrameEntryWritesEveryPixelOfThe640By480Buffer) {
    const std::vector<std::uint32_t> source = PaletteArgb(320, 240, {Q, X, 0xFF000000}, 17);
    std::vector<std::uint32_t> out(640 * 480, 0xDEADBEEF);
    Scale2xFrame(source.data(), out.data());
    EXPECT_EQ(out, Reference(source, 320, 240));
}

TEST(Scale2x, UniformSourceGivesUniformDestination) {
    const std::vector<std::uint32_t> out = Scale(std::vector<std::uint32_t>(6 * 5, Q), 6, 5);
    EXPECT_EQ(out, std::vector<std::uint32_t>(24 * 5, Q));
}

TEST(Scale2x, SinglePixelInAFieldStaysASquare) {
    std::vector<std::uint32_t> source(7 * 6, Q);
    source[3 * 7 + 3] = X;
    const std::vector<std::uint32_t> out = Scale(source, 7, 6);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 7; ++x) {
            const std::uint32_t colour = x == 3 && y == 3 ? X : Q;
            EXPECT_EQ(Block(out, 7, x, y), Blocks(4, colour)) << x << "," << y;
        }
    }
}

TEST(Scale2x, DiagonalStepTakesTheCornerColour) {
    // E at (2, 2) with X above and to the left, Q to the right and below.
    std::vector<std::uint32_t> source(5 * 5, Q);
    source[1 * 5 + 2] = X;
    source[2 * 5 + 1] = X;
    EXPECT_EQ(Block(Scale(source, 5, 5), 5, 2, 2), (Blocks{X, Q, Q, Q}));
}

TEST(Scale2x, LeftNeighbourOfColumnZeroIsTheLastPixelOfTheRowAbove) {
    // Pixel (0, 1): B = (0, 0) and D = (3, 0) are X, F = (1, 1) and H = (0, 2) are Q.
    std::vector<std::uint32_t> source(4 * 3, Q);
    source[0] = X;
    source[3] = X;
    EXPECT_EQ(Block(Scale(source, 4, 3), 4, 0, 1), (Blocks{X, Q, Q, Q}));
}

TEST(Scale2x, TopRowKeepsItsUpperHalfAndFirstPixelIsCopied) {
    const std::vector<std::uint32_t> source = {X, Q, Q, Q, Q, X, Q, Q, Q, Q, Q, Q};
    const std::vector<std::uint32_t> out = Scale(source, 4, 3);
    EXPECT_EQ(Block(out, 4, 0, 0), Blocks(4, X));
    // (1, 0): D = X differs from F = Q and E = Q from H = X, so the rule applies to the
    // lower half while the upper half stays E.
    EXPECT_EQ(Block(out, 4, 1, 0), (Blocks{Q, Q, X, Q}));
    for (int x = 2; x < 4; ++x) EXPECT_EQ(Block(out, 4, x, 0), Blocks(4, Q));
}

TEST(Scale2x, BottomRowStandsInForItselfBelow) {
    // Bottom row pixel (1, 2) with X above and to the left: with H = E the lower half keeps
    // E, the upper-left takes the corner colour.
    std::vector<std::uint32_t> source(3 * 3, Q);
    source[1 * 3 + 1] = X;
    source[2 * 3 + 0] = X;
    EXPECT_EQ(Block(Scale(source, 3, 3), 3, 1, 2), (Blocks{X, Q, Q, Q}));
    // The last pixel stands in for its own right neighbour: D = X != F = E = Q, B = X.
    std::vector<std::uint32_t> last(3 * 2, Q);
    last[2] = X;
    last[4] = X;
    EXPECT_EQ(Block(Scale(last, 3, 2), 3, 2, 1), (Blocks{X, Q, Q, Q}));
}

TEST(Scale2x, EmptySizesWriteNothing) {
    const std::vector<std::uint32_t> source(4, Q);
    std::vector<std::uint32_t> out(16, 0xDEADBEEF);
    Scale2x(source.data(), out.data(), 0, 4, 0);
    Scale2x(source.data(), out.data(), 4, 0, 32);
    Scale2x(source.data(), out.data(), 2, -1, 16);
    EXPECT_EQ(out, std::vector<std::uint32_t>(16, 0xDEADBEEF));
}

TEST(Scale2x, LeavesBytesBeyondEachDestinationRowAlone) {
    const std::vector<std::uint32_t> source = PaletteArgb(5, 3, {Q, X}, 2);
    const int pitchPixels = 13;
    std::vector<std::uint32_t> out(std::size_t(pitchPixels) * 6, 0xDEADBEEF);
    Scale2x(source.data(), out.data(), 5, 3, pitchPixels * 4);
    const std::vector<std::uint32_t> expected = Reference(source, 5, 3);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < pitchPixels; ++x) {
            const std::uint32_t want = x < 10 ? expected[y * 10 + x] : 0xDEADBEEF;
            ASSERT_EQ(out[y * pitchPixels + x], want) << x << "," << y;
        }
    }
}

} // namespace
