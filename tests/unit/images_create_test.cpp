// Making, querying and releasing images: layout, fills and refusals.
#include "images_fixture.h"

#include <cstdint>

namespace {

// Every pixel slot of the block, row padding included, must hold the value.
template <typename T> void ExpectAllSlots(Image* image, T value) {
    const auto* p = reinterpret_cast<const T*>(ImagePixels(image));
    const std::size_t slots = std::size_t(image->pitch) * image->height / sizeof(T);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < slots; ++i) wrong += p[i] != value;
    EXPECT_EQ(wrong, 0u) << "of " << slots << " slots";
}

TEST_F(ImageTest, OverlayBoxLayoutAndFill) {
    ScopedImage box(CreateImage(80, 24, 0x80000000u, 0, 0));
    ASSERT_NE(box.image, nullptr);
    EXPECT_EQ(box->imageType, 7u);
    EXPECT_EQ(box->bytesPerPixel, 4u);
    EXPECT_EQ(box->width, 80u);
    EXPECT_EQ(box->height, 24u);
    EXPECT_EQ(box->pitch, 320u);
    for (int i = 4; i < 12; ++i) EXPECT_EQ(box->reserved[i], 0) << "reserved byte " << i;
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(box.image) % 16, 0u);
    ExpectAllSlots<std::uint32_t>(box, 0x80000000u);
}

TEST_F(ImageTest, PitchRoundsUpToSixteenBytesAndPaddingIsFilled) {
    struct Case {
        int width, depth;
        std::uint32_t pitch, bytesPerPixel;
    } cases[] = {{1, 32, 16, 4}, {5, 32, 32, 4}, {3, 16, 16, 2}, {9, 16, 32, 2},
                 {17, 8, 32, 1}, {16, 8, 16, 1}, {7, 15, 16, 2}, {1, 1, 16, 1}};
    for (const Case& c : cases) {
        ScopedImage image(CreateImage(c.width, 3, 0x123456u, c.depth, 0));
        ASSERT_NE(image.image, nullptr) << c.width << "@" << c.depth;
        EXPECT_EQ(image->pitch, c.pitch) << c.width << "@" << c.depth;
        EXPECT_EQ(image->bytesPerPixel, c.bytesPerPixel) << c.width << "@" << c.depth;
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(ImageRow(image, row)) % 16, 0u);
        if (c.bytesPerPixel == 4) ExpectAllSlots<std::uint32_t>(image, 0x123456u);
        if (c.bytesPerPixel == 2) ExpectAllSlots<std::uint16_t>(image, 0x11AAu);
        if (c.bytesPerPixel == 1) ExpectAllSlots<std::uint8_t>(image, 0x56u);
    }
}

TEST_F(ImageTest, DefaultColourDependsOnPixelSize) {
    ScopedImage wide(CreateImage(320, 240, 0x12345678u, 0, DefaultColour));
    ScopedImage narrow(CreateImage(10, 2, 0x12345678u, 16, DefaultColour));
    ScopedImage bytes(CreateImage(10, 2, 0x12345678u, 8, DefaultColour));
    ASSERT_TRUE(wide.image && narrow.image && bytes.image);
    ExpectAllSlots<std::uint32_t>(wide, 0xFFFF00FFu);
    ExpectAllSlots<std::uint16_t>(narrow, 0xF81Fu);
    ExpectAllSlots<std::uint8_t>(bytes, 0);
}

TEST_F(ImageTest, SixteenBitColoursAreNarrowedToRgb565) {
    struct Case {
        std::uint32_t colour;
        std::uint16_t expected;
    } cases[] = {{0xFF00FF, 0xF81F}, {0xFFFFFF, 0xFFFF}, {0x000000, 0x0000},
                 {0xFF0000, 0xF800}, {0x00FF00, 0x07E0}, {0x0000FF, 0x001F},
                 {0x070307, 0x0000}, {0x080408, 0x0821}, {0xAB123456, 0x11AA}};
    for (const Case& c : cases) {
        ScopedImage image(CreateImage(4, 1, c.colour, 16, 0));
        ASSERT_NE(image.image, nullptr);
        ExpectAllSlots<std::uint16_t>(image, c.expected);
    }
}

TEST_F(ImageTest, ThirtyTwoBitColourKeepsItsAlpha) {
    ScopedImage image(CreateImage(3, 3, 0x00ABCDEFu, 32, 0));
    ASSERT_NE(image.image, nullptr);
    ExpectAllSlots<std::uint32_t>(image, 0x00ABCDEFu);
}

TEST_F(ImageTest, RefusedSizesAndDepths) {
    EXPECT_EQ(CreateImage(10, 10, 0, 24, 0), nullptr);
    EXPECT_EQ(CreateImage(10, 10, 0, 33, 0), nullptr);
    EXPECT_EQ(CreateImage(10, 10, 0, 20, 0), nullptr);
    EXPECT_EQ(CreateImage(0, 10, 0, 32, 0), nullptr);
    EXPECT_EQ(CreateImage(10, 0, 0, 32, 0), nullptr);
    EXPECT_EQ(CreateImage(-5, 10, 0, 32, 0), nullptr);
    // Too large for one block: refused rather than wrapping round to a small allocation.
    EXPECT_EQ(CreateImage(0x40000000, 0x40000000, 0, 32, 0), nullptr);
    EXPECT_EQ(CreateImage(0x7FFFFFFF, 1, 0, 32, 0), nullptr);
    CloseSurface();
    EXPECT_EQ(CreateImage(10, 10, 0, 32, 0), nullptr);
}

TEST_F(ImageTest, DepthZeroFollowsTheSurface) {
    ASSERT_EQ(OpenSurface(64, 48, 16, 1, 0, 0), 0);
    ScopedImage image(CreateImage(4, 4, 0xFFFFFF, 0, 0));
    ASSERT_NE(image.image, nullptr);
    EXPECT_EQ(image->bytesPerPixel, 2u);
    ExpectAllSlots<std::uint16_t>(image, 0xFFFF);
}

TEST_F(ImageTest, ImageInfoReportsTheHeaderAndNullGivesMinusOne) {
    ScopedImage image(CreateImage(321, 7, 0, 16, 0));
    ASSERT_NE(image.image, nullptr);
    int w = 0, h = 0, bpp = 0, pitch = 0, size = 0;
    void* pixels = nullptr;
    EXPECT_EQ(ImageInfo(image, &w, &h, &bpp, &pitch, &pixels, &size), 0);
    EXPECT_EQ(w, 321);
    EXPECT_EQ(h, 7);
    EXPECT_EQ(bpp, 2);
    EXPECT_EQ(pitch, 656);
    EXPECT_EQ(size, 656 * 7 + 32);
    EXPECT_EQ(pixels, reinterpret_cast<std::uint8_t*>(image.image) + 32);

    pixels = &w;
    EXPECT_EQ(ImageInfo(nullptr, &w, &h, &bpp, &pitch, &pixels, &size), 1);
    EXPECT_EQ(w, -1);
    EXPECT_EQ(h, -1);
    EXPECT_EQ(bpp, -1);
    EXPECT_EQ(pitch, -1);
    EXPECT_EQ(size, -1);
    EXPECT_EQ(pixels, nullptr);
    // Outputs the caller does not want may be left out.
    EXPECT_EQ(ImageInfo(image, nullptr, &h, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(h, 7);
}

TEST_F(ImageTest, ImagesOutliveAReopenOfTheSurface) {
    ScopedImage image(CreateImage(8, 8, 0xFF112233u, 32, 0));
    ASSERT_NE(image.image, nullptr);
    ASSERT_EQ(OpenSurface(640, 480, 32, 1, 68, 0), 0);
    EXPECT_EQ(Pixel32(image, 7, 7), 0xFF112233u);
    ScopedImage target(CreateImage(8, 8, 0, 32, 0));
    EXPECT_EQ(PutImage(target, 0, 0, image, WholeImage, 0, 0, 0, Copy), 0);
    EXPECT_EQ(Pixel32(target, 3, 4), 0xFF112233u);
}

} // namespace
