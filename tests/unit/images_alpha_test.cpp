// Alpha blending of 32-bit pixels against a plain per-channel reference.
#include "images_fixture.h"
#include "pixels/alpha_blend.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

// (d + floor((s - d) * a / 256)) mod 256 for each channel, written the slow obvious way.
std::uint32_t ReferenceBlend(std::uint32_t source, std::uint32_t target) {
    const double a = double(source >> 24);
    std::uint32_t result = 0;
    for (int channel = 0; channel < 4; ++channel) {
        const double s = double((source >> (8 * channel)) & 0xFF);
        const double d = double((target >> (8 * channel)) & 0xFF);
        long value = long(d + std::floor((s - d) * a / 256.0));
        value = ((value % 256) + 256) % 256;
        result |= std::uint32_t(value) << (8 * channel);
    }
    return result;
}

TEST(AlphaBlend, EveryAlphaSourceAndTargetChannelValue) {
    // One row per (alpha, source value): the target runs through all 256 values, so every
    // colour channel sees every (s, d, a) and the alpha channel every (a, d).
    std::vector<std::uint32_t> source(256), target(256);
    long mismatches = 0;
    for (std::uint32_t a = 0; a < 256; ++a) {
        for (std::uint32_t s = 0; s < 256; ++s) {
            for (std::uint32_t d = 0; d < 256; ++d) {
                source[d] = (a << 24) | (s * 0x010101u);
                target[d] = d * 0x01010101u;
            }
            BlendRow(source.data(), target.data(), 256);
            for (std::uint32_t d = 0; d < 256; ++d) {
                const std::uint32_t expected = ReferenceBlend(source[d], d * 0x01010101u);
                if (target[d] != expected && mismatches++ < 5)
                    ADD_FAILURE() << "a=" << a << " s=" << s << " d=" << d << ": " << std::hex
                                  << target[d] << " != " << expected;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(AlphaBlend, RandomRowsOfEveryLengthAndAlignment) {
    std::mt19937 random(20261207);
    std::vector<std::uint32_t> source(64), target(64);
    for (int round = 0; round < 400; ++round) {
        for (int i = 0; i < 64; ++i) source[i] = random(), target[i] = random();
        const int offset = int(random() % 4), count = int(random() % 41);
        std::vector<std::uint32_t> expected(target);
        for (int i = 0; i < count; ++i)
            expected[offset + i] = ReferenceBlend(source[offset + i], target[offset + i]);
        BlendRow(source.data() + offset, target.data() + offset, count);
        ASSERT_EQ(target, expected) << "offset " << offset << " count " << count;
    }
}

TEST(AlphaBlend, SinglePixelMatchesTheReference) {
    std::mt19937 random(7);
    for (int i = 0; i < 100000; ++i) {
        const std::uint32_t s = random(), d = random();
        ASSERT_EQ(BlendPixel(s, d), ReferenceBlend(s, d)) << std::hex << s << " over " << d;
    }
}

TEST_F(ImageTest, AlphaPutOfKnownValues) {
    struct Case {
        std::uint32_t source, target, expected;
    } cases[] = {
        {0x80000000u, 0xFFFFC864u, 0xBF7F6432u}, // half-transparent black halves the colours
        {0xFFFFFFFFu, 0xFF7F7F7Fu, 0xFFFEFEFEu}, // opaque white over 127 stops at 254
        {0x00FFFFFFu, 0x12345678u, 0x12345678u}, // alpha 0 leaves the target alone
        {0x80FFFFFFu, 0xFF000000u, 0xBF7F7F7Fu},
    };
    for (const Case& c : cases) {
        ScopedImage source(CreateImage(5, 3, c.source, 32, 0));
        ScopedImage target(CreateImage(5, 3, c.target, 32, 0));
        ASSERT_TRUE(source.image && target.image);
        ASSERT_EQ(PutImage(target, 0, 0, source, WholeImage, 0, 0, 0, Alpha), 0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(Pixel32(target, x, y), c.expected)
                    << std::hex << c.source << " over " << c.target;
    }
}

// The overlay case: a translucent box onto a random picture in the frame buffer, clipped
// on the right, compared pixel by pixel with the reference.
TEST_F(ImageTest, AlphaPutOntoTheFrameBufferMatchesTheReference) {
    std::mt19937 random(3);
    auto* frame = reinterpret_cast<std::uint32_t*>(Surface.frameBuffer);
    std::vector<std::uint32_t> before(640 * 480);
    for (auto& p : before) p = random();
    std::memcpy(Surface.frameBuffer, before.data(), before.size() * 4);
    ScopedImage box(CreateImage(137, 24, 0, 32, 0));
    ASSERT_NE(box.image, nullptr);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 137; ++x) SetPixel32(box, x, y, random());
    ClearRowMarks();
    ASSERT_EQ(PutImage(nullptr, 550.4f, 16.f, box, WholeImage, 0, 0, 0, Alpha), 0);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const bool inside = x >= 550 && y >= 16 && y < 40;
            const std::uint32_t old = before[y * 640 + x];
            const std::uint32_t expected =
                inside ? ReferenceBlend(Pixel32(box, x - 550, y - 16), old) : old;
            ASSERT_EQ(frame[y * 640 + x], expected) << "at " << x << ", " << y;
        }
        EXPECT_EQ(Surface.rowMarks[y], y >= 16 && y < 40 ? 1 : 0) << "row " << y;
    }
}

} // namespace
