// PutImage: source regions, placement, clipping, rounding, refusals and row marks.
#include "images_fixture.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t Marker = 0xFF5A5A5Au;

// Checks every pixel of target: inside the placed rectangle (tx, ty, w, h) it must be the
// source pixel at (sx + dx, sy + dy); outside it must still be the marker.
void ExpectPlaced(Image* target, int tx, int ty, int w, int h, int sx, int sy) {
    int wrong = 0;
    for (int y = 0; y < int(target->height); ++y) {
        for (int x = 0; x < int(target->width); ++x) {
            const bool inside = x >= tx && x < tx + w && y >= ty && y < ty + h;
            const std::uint32_t expected =
                inside
                    ? 0xFF000000u | (std::uint32_t(sy + y - ty) << 12) | std::uint32_t(sx + x - tx)
                    : Marker;
            if (Pixel32(target, x, y) != expected && wrong++ < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                              << Pixel32(target, x, y) << ", expected " << expected;
        }
    }
}

TEST_F(ImageTest, ViewerCaptureRegionIsClampedThenClipped) {
    // The capture is 4 pixels wider and taller than the game picture; the filters copy
    // (2, 2)-(321, 641) of it into a 320x240 image.
    ScopedImage capture(MakeCoordinateImage(324, 244));
    ScopedImage small(CreateImage(320, 240, Marker, 32, 0));
    ASSERT_TRUE(capture.image && small.image);
    EXPECT_EQ(PutImage(small, 0, 0, capture, 2, 2, 321, 641, Copy), 0);
    ExpectPlaced(small, 0, 0, 320, 240, 2, 2);
}

TEST_F(ImageTest, SmallerSourceLeavesTheRestOfTheTarget) {
    ScopedImage capture(MakeCoordinateImage(200, 100));
    ScopedImage small(CreateImage(320, 240, Marker, 32, 0));
    ASSERT_TRUE(capture.image && small.image);
    EXPECT_EQ(PutImage(small, 0, 0, capture, 2, 2, 321, 641, Copy), 0);
    ExpectPlaced(small, 0, 0, 198, 98, 2, 2);
}

TEST_F(ImageTest, RegionCornersAreSwappedAndClamped) {
    ScopedImage source(MakeCoordinateImage(10, 10));
    ASSERT_NE(source.image, nullptr);
    struct Case {
        std::int32_t x1, y1, x2, y2;
        int sx, sy, w, h;
    } cases[] = {
        {6, 7, 2, 3, 2, 3, 5, 5},       {2, 3, 6, 7, 2, 3, 5, 5},
        {5, 5, 1000, 1000, 5, 5, 5, 5}, {-3, -4, 2, 1, 0, 0, 3, 2},
        {9, 9, -50, -50, 0, 0, 10, 10}, {4, 4, 4, 4, 4, 4, 1, 1},
        {50, 50, 60, 60, 9, 9, 1, 1},   {-9, 2, -1, 2, 0, 2, 1, 1},
    };
    for (const Case& c : cases) {
        ScopedImage target(CreateImage(12, 12, Marker, 32, 0));
        ASSERT_EQ(PutImage(target, 1, 1, source, c.x1, c.y1, c.x2, c.y2, Copy), 0);
        SCOPED_TRACE(::testing::Message()
                     << "region " << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2);
        ExpectPlaced(target, 1, 1, c.w, c.h, c.sx, c.sy);
    }
}

TEST_F(ImageTest, WholeImageIgnoresTheOtherCorners) {
    ScopedImage source(MakeCoordinateImage(7, 5));
    ScopedImage target(CreateImage(12, 12, Marker, 32, 0));
    ASSERT_TRUE(source.image && target.image);
    ASSERT_EQ(PutImage(target, 2, 3, source, WholeImage, 3, 1, 1, Copy), 0);
    ExpectPlaced(target, 2, 3, 7, 5, 0, 0);
}

TEST_F(ImageTest, PlacementIsClippedOnEverySide) {
    ScopedImage source(MakeCoordinateImage(10, 10));
    ASSERT_NE(source.image, nullptr);
    struct Case {
        float x, y;
        int tx, ty, w, h, sx, sy;
    } cases[] = {
        {-3, -2, 0, 0, 7, 8, 3, 2}, {15, 16, 15, 16, 5, 4, 0, 0}, {-4, 14, 0, 14, 6, 6, 4, 0},
        {-9, -9, 0, 0, 1, 1, 9, 9}, {19, 19, 19, 19, 1, 1, 0, 0}, {5, 5, 5, 5, 10, 10, 0, 0},
    };
    for (const Case& c : cases) {
        ScopedImage target(CreateImage(20, 20, Marker, 32, 0));
        ASSERT_EQ(PutImage(target, c.x, c.y, source, WholeImage, 0, 0, 0, Copy), 0);
        SCOPED_TRACE(::testing::Message() << "at " << c.x << ", " << c.y);
        ExpectPlaced(target, c.tx, c.ty, c.w, c.h, c.sx, c.sy);
    }
}

TEST_F(ImageTest, WhollyOutsideDrawsNothingAndSucceeds) {
    ScopedImage source(MakeCoordinateImage(10, 10));
    ASSERT_NE(source.image, nullptr);
    const float places[][2] = {{20, 0},        {0, 20},     {-10, 0},
                               {0, -10},       {-10.4f, 5}, {3e9f, 0},
                               {-3e9f, -3e9f}, {0, 1e30f},  {2147483647.f, 2147483647.f}};
    for (const auto& p : places) {
        ScopedImage target(CreateImage(20, 20, Marker, 32, 0));
        EXPECT_EQ(PutImage(target, p[0], p[1], source, WholeImage, 0, 0, 0, Copy), 0);
        SCOPED_TRACE(::testing::Message() << "at " << p[0] << ", " << p[1]);
        ExpectPlaced(target, 0, 0, 0, 0, 0, 0);
    }
}

TEST_F(ImageTest, PositionsRoundHalvesAwayFromZero) {
    ScopedImage source(MakeCoordinateImage(4, 4));
    ASSERT_NE(source.image, nullptr);
    struct Case {
        float position;
        int rounded;
    } cases[] = {{1.5f, 2},   {2.5f, 3},   {0.49f, 0}, {2.51f, 3},  {-0.5f, -1},
                 {-1.5f, -2}, {-0.49f, 0}, {3.0f, 3},  {-2.5f, -3}, {0.5f, 1}};
    for (const Case& c : cases) {
        ScopedImage target(CreateImage(10, 10, Marker, 32, 0));
        ASSERT_EQ(PutImage(target, c.position, 5, source, WholeImage, 0, 0, 0, Copy), 0);
        SCOPED_TRACE(::testing::Message() << "x = " << c.position);
        const int tx = c.rounded < 0 ? 0 : c.rounded;
        const int sx = c.rounded < 0 ? -c.rounded : 0;
        ExpectPlaced(target, tx, 5, 4 - sx, 4, sx, 0);
    }
}

TEST_F(ImageTest, RefusalsDrawNothing) {
    ScopedImage source32(MakeCoordinateImage(4, 4));
    ScopedImage source16(CreateImage(4, 4, 0xFFFFFF, 16, 0));
    ScopedImage source8(CreateImage(4, 4, 0xFF, 8, 0));
    ScopedImage target(CreateImage(8, 8, Marker, 32, 0));
    ASSERT_TRUE(source32.image && source16.image && source8.image && target.image);
    EXPECT_EQ(PutImage(target, 0, 0, nullptr, WholeImage, 0, 0, 0, Copy), 1);
    EXPECT_EQ(PutImage(target, 0, 0, source16, WholeImage, 0, 0, 0, Copy), 1);
    EXPECT_EQ(PutImage(target, 0, 0, source16, WholeImage, 0, 0, 0, Alpha), 1);
    EXPECT_EQ(PutImage(target, 0, 0, source8, WholeImage, 0, 0, 0, Copy), 1);
    EXPECT_EQ(PutImage(target, 0, 0, source32, WholeImage, 0, 0, 0, 3), 1);
    // A position that is not a number places nothing; that is not an error.
    EXPECT_EQ(PutImage(target, NAN, 0, source32, WholeImage, 0, 0, 0, Copy), 0);
    ExpectPlaced(target, 0, 0, 0, 0, 0, 0);
    CloseSurface();
    EXPECT_EQ(PutImage(target, 0, 0, source32, WholeImage, 0, 0, 0, Copy), 1);
    EXPECT_EQ(PutImage(nullptr, 0, 0, source32, WholeImage, 0, 0, 0, Copy), 1);
    ExpectPlaced(target, 0, 0, 0, 0, 0, 0);
}

TEST_F(ImageTest, CopyReplacesAllBytesIncludingAlpha) {
    ScopedImage source(CreateImage(3, 3, 0x01020304u, 32, 0));
    ScopedImage target(CreateImage(3, 3, 0xFFFFFFFFu, 32, 0));
    ASSERT_TRUE(source.image && target.image);
    ASSERT_EQ(PutImage(target, 0, 0, source, WholeImage, 0, 0, 0, Copy), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(Pixel32(target, x, y), 0x01020304u);
}

TEST_F(ImageTest, NarrowPixelsCopyInBothModes) {
    for (int mode : {Copy, Alpha}) {
        ScopedImage source(CreateImage(5, 3, 0, 16, 0));
        ScopedImage target(CreateImage(9, 5, 0x0000FF, 16, 0));
        ASSERT_TRUE(source.image && target.image);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                reinterpret_cast<std::uint16_t*>(ImageRow(source, y))[x] =
                    std::uint16_t(y * 100 + x);
        ASSERT_EQ(PutImage(target, 3, 1, source, 1, 0, 4, 2, mode), 0);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 9; ++x) {
                const bool inside = x >= 3 && x < 7 && y >= 1 && y < 4;
                const int expected = inside ? (y - 1) * 100 + (x - 3 + 1) : 0x001F;
                EXPECT_EQ(reinterpret_cast<std::uint16_t*>(ImageRow(target, y))[x], expected)
                    << "mode " << mode << " at " << x << ", " << y;
            }
        }
    }
}

TEST_F(ImageTest, OntoTheFrameBufferMarksExactlyTheRowsWritten) {
    ScopedImage source(MakeCoordinateImage(30, 20));
    ASSERT_NE(source.image, nullptr);
    ClearRowMarks();
    ASSERT_EQ(PutImage(nullptr, 100.f, 470.f, source, 0, 5, 29, 19, Copy), 0);
    EXPECT_EQ(Surface.lockCount, 0);
    for (int y = 0; y < 480; ++y) EXPECT_EQ(Surface.rowMarks[y], y >= 470 ? 1 : 0) << "row " << y;
    EXPECT_EQ(FramePixel(100, 470), 0xFF000000u | (5u << 12));
    EXPECT_EQ(FramePixel(129, 479), 0xFF000000u | (14u << 12) | 29u);
    EXPECT_EQ(FramePixel(99, 470), 0xFF000000u);
    EXPECT_EQ(FramePixel(130, 475), 0xFF000000u);

    ClearRowMarks();
    ASSERT_EQ(PutImage(nullptr, 0.f, 480.f, source, WholeImage, 0, 0, 0, Copy), 0);
    for (int y = 0; y < 480; ++y) ASSERT_EQ(Surface.rowMarks[y], 0) << "row " << y;
}

TEST_F(ImageTest, NestedInsideTheCallersLockTheCountIsRestored) {
    ScopedImage source(MakeCoordinateImage(4, 4));
    ASSERT_NE(source.image, nullptr);
    LockSurface();
    ClearRowMarks();
    ASSERT_EQ(PutImage(nullptr, 0, 0, source, WholeImage, 0, 0, 0, Alpha), 0);
    EXPECT_EQ(Surface.lockCount, 1);
    EXPECT_EQ(Surface.rowMarks[4], 0);
    UnlockSurface(-1, -1);
    EXPECT_EQ(Surface.lockCount, 0);
}

// A blit within one image must behave as if the source had been read before any write.
TEST_F(ImageTest, OverlappingBlitWithinOneImageReadsTheOriginal) {
    const struct { float x, y; } moves[] = {{3, 2}, {-2, -3}, {4, 0}, {-4, 0}, {0, 1}, {1, -1}};
    for (int mode : {Copy, Alpha}) {
        for (const auto& m : moves) {
            ScopedImage image(MakeCoordinateImage(16, 12));
            ScopedImage original(MakeCoordinateImage(16, 12));
            ScopedImage expected(MakeCoordinateImage(16, 12));
            ASSERT_TRUE(image.image && original.image && expected.image);
            // Translucent pixels make Alpha differ from Copy and depend on both sides.
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 16; ++x) {
                    const std::uint32_t p = (std::uint32_t(x * 37 + y * 11) << 24) | (x << 8) | y;
                    SetPixel32(image, x, y, p);
                    SetPixel32(original, x, y, p);
                    SetPixel32(expected, x, y, p);
                }
            ASSERT_EQ(PutImage(expected, 4 + m.x, 3 + m.y, original, 4, 3, 11, 8, mode), 0);
            ASSERT_EQ(PutImage(image, 4 + m.x, 3 + m.y, image, 4, 3, 11, 8, mode), 0);
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 16; ++x)
                    ASSERT_EQ(Pixel32(image, x, y), Pixel32(expected, x, y))
                        << "mode " << mode << " move " << m.x << "," << m.y << " at " << x << ","
                        << y;
        }
    }
}

TEST_F(ImageTest, ByteMaskBlendsWhiteOntoThirtyTwoBitPixels) {
    ScopedImage mask(CreateImage(3, 1, 0, 8, 0));
    ScopedImage target(CreateImage(3, 1, 0xFF000000u, 32, 0));
    ASSERT_TRUE(mask.image && target.image);
    ImageRow(mask, 0)[0] = 0;
    ImageRow(mask, 0)[1] = 128;
    ImageRow(mask, 0)[2] = 255;
    ASSERT_EQ(PutImage(target, 0, 0, mask, WholeImage, 0, 0, 0, Alpha), 0);
    EXPECT_EQ(Pixel32(target, 0, 0), 0xFF000000u);
    EXPECT_EQ(Pixel32(target, 1, 0), 0xBF7F7F7Fu);
    EXPECT_EQ(Pixel32(target, 2, 0), 0xFFFEFEFEu);
}

} // namespace
