// Row conversions between 0xAARRGGBB and RGB565 against the per-pixel reference.
#include "pixels/pixel_convert.h"

#include "pixels_reference.h"
#include "test_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::uint16_t NarrowOne(std::uint32_t pixel) {
    const std::uint32_t pair[2] = {pixel, 0};
    std::uint16_t out[2] = {0xAAAA, 0xAAAA};
    ConvertRowTo565(pair, out, 2);
    return out[0];
}

std::uint32_t WidenOne(std::uint16_t pixel) {
    std::uint32_t out = 0;
    ConvertRowFrom565(&pixel, &out, 1);
    return out;
}

TEST(ConvertRowTo565, TruncatesEachChannelAndIgnoresAlpha) {
    EXPECT_EQ(NarrowOne(0xFFFFFFFF), 0xFFFF);
    EXPECT_EQ(NarrowOne(0x80FF0000), 0xF800);
    EXPECT_EQ(NarrowOne(0x00070307), 0x0000);
    EXPECT_EQ(NarrowOne(0x00080408), 0x0821);
    EXPECT_EQ(NarrowOne(0xFF808080), 0x8410);
    EXPECT_EQ(NarrowOne(0x12345678), ReferenceNarrow(0x12345678));
}

TEST(ConvertRowTo565, KeepsPixelOrderWithinEachPair) {
    const std::uint32_t row[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    std::uint16_t out[4] = {};
    ConvertRowTo565(row, out, 4);
    EXPECT_EQ(out[0], 0xF800);
    EXPECT_EQ(out[1], 0x07E0);
    EXPECT_EQ(out[2], 0x001F);
    EXPECT_EQ(out[3], 0xFFFF);
}

// Every length from 0 to 40 at every alignment: matches the reference and writes exactly
// count rounded down to even pixels, leaving the rest of the row as it was.
TEST(ConvertRowTo565, MatchesReferenceAndWritesOnlyWholePairs) {
    const std::vector<std::uint32_t> source = NoiseArgb(48, 1, 3);
    for (std::uint32_t count = 0; count <= 40; ++count) {
        for (int offset = 0; offset < 4; ++offset) {
            std::vector<std::uint16_t> out(48, 0x5A5A), expected(48, 0x5A5A);
            ConvertRowTo565(source.data() + offset, out.data() + offset, count);
            ReferenceConvertRowTo565(source.data() + offset, expected.data() + offset, count);
            ASSERT_EQ(out, expected) << "count " << count << " offset " << offset;
            const std::uint32_t written = count & ~1u;
            for (std::uint32_t i = 0; i < 48; ++i) {
                if (i < std::uint32_t(offset) || i >= offset + written) {
                    ASSERT_EQ(out[i], 0x5A5A) << "count " << count << " pixel " << i;
                }
            }
        }
    }
}

TEST(ConvertRowTo565, WholeFrameMatchesReference) {
    const std::vector<std::uint32_t> source = NoiseArgb(320, 240, 5);
    std::vector<std::uint16_t> out(320 * 240), expected(320 * 240);
    for (int y = 0; y < 240; ++y) {
        ConvertRowTo565(source.data() + y * 320, out.data() + y * 320, 320);
        ReferenceConvertRowTo565(source.data() + y * 320, expected.data() + y * 320, 320);
    }
    EXPECT_EQ(out, expected);
}

TEST(ConvertRowFrom565, RoundsEachChannelToNearest) {
    EXPECT_EQ(WidenOne(0x0000), 0xFF000000u);
    EXPECT_EQ(WidenOne(0xFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(WidenOne(0xF800), 0xFFFF0000u);
    EXPECT_EQ(WidenOne(0x07E0), 0xFF00FF00u);
    EXPECT_EQ(WidenOne(0x001F), 0xFF0000FFu);
    EXPECT_EQ(WidenOne(0x0018), 0xFF0000C5u);
    EXPECT_EQ(WidenOne(0x1863), 0xFF190C19u);
    EXPECT_EQ(WidenOne(0x8410), 0xFF848284u);
    // 5-bit 3, 7, 24, 28 and 6-bit 11, 52: rounding, not bit repetition.
    EXPECT_EQ(WidenOne(3 << 11 | 11 << 5 | 7), 0xFF192D3Au);
    EXPECT_EQ(WidenOne(24 << 11 | 52 << 5 | 28), 0xFFC5D2E6u);
}

// Every value in one long row and again in rows of seven, which the bulk of a long row and
// the remainder of a short one may convert by different means.
TEST(ConvertRowFrom565, EveryValueMatchesReference) {
    std::vector<std::uint16_t> all(65536);
    for (int i = 0; i < 65536; ++i) all[i] = std::uint16_t(i);
    std::vector<std::uint32_t> expected(65536), whole(65536), sevens(65536);
    ReferenceConvertRowFrom565(all.data(), expected.data(), 65536);
    ConvertRowFrom565(all.data(), whole.data(), 65536);
    for (int i = 0; i < 65536; i += 7)
        ConvertRowFrom565(all.data() + i, sevens.data() + i, std::min(7, 65536 - i));
    for (int i = 0; i < 65536; ++i) {
        ASSERT_EQ(whole[i], expected[i]) << "value " << i;
        ASSERT_EQ(sevens[i], expected[i]) << "value " << i;
    }
}

TEST(ConvertRowFrom565, WritesExactlyCountPixelsAndNothingForCountsBelowOne) {
    const std::vector<std::uint16_t> source = Noise565(24, 1, 9);
    for (std::int32_t count = -3; count <= 20; ++count) {
        for (int offset = 0; offset < 3; ++offset) {
            std::vector<std::uint32_t> out(24, 0x5A5A5A5A), expected(24, 0x5A5A5A5A);
            ConvertRowFrom565(source.data() + offset, out.data() + offset, count);
            for (std::int32_t i = 0; i < count; ++i)
                expected[offset + i] = ReferenceWiden(source[offset + i]);
            ASSERT_EQ(out, expected) << "count " << count << " offset " << offset;
        }
    }
}

TEST(ConvertRows, NarrowingThenWideningGrey) {
    const std::uint32_t grey[2] = {0xFF808080, 0xFF808080};
    std::uint16_t narrow[2];
    std::uint32_t wide[2];
    ConvertRowTo565(grey, narrow, 2);
    ConvertRowFrom565(narrow, wide, 2);
    EXPECT_EQ(wide[0], 0xFF848284u);
    EXPECT_EQ(wide[1], 0xFF848284u);
}

} // namespace
