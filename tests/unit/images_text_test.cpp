// DrawText and the built-in font: placement, clipping, colours and the glyph table.
#include "images_fixture.h"
#include "pixels/font8x8.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t Background = 0x80000000u;
constexpr std::uint32_t White = 0xFFFFFFFFu;

bool GlyphBit(unsigned char code, int column, int row) {
    return (Font8x8Glyph(code)[row] >> (7 - column)) & 1;
}

// What the image should hold after drawing text at the integer cell position (x, y) onto a
// background-filled image: computed pixel by pixel from the font table.
std::vector<std::uint32_t> ExpectedText(int width, int height, long x, long y,
                                        const std::string& text) {
    std::vector<std::uint32_t> pixels(std::size_t(width) * height, Background);
    for (std::size_t i = 0; i < text.size(); ++i)
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 8; ++column) {
                const long px = x + 8 * long(i) + column, py = y + row;
                if (px < 0 || py < 0 || px >= width || py >= height) continue;
                if (GlyphBit(static_cast<unsigned char>(text[i]), column, row))
                    pixels[std::size_t(py) * width + px] = White;
            }
    return pixels;
}

void ExpectImageHolds(Image* image, const std::vector<std::uint32_t>& expected) {
    int wrong = 0;
    for (int y = 0; y < int(image->height); ++y)
        for (int x = 0; x < int(image->width); ++x)
            if (Pixel32(image, x, y) != expected[std::size_t(y) * image->width + x] && wrong++ < 5)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex
                              << Pixel32(image, x, y);
}

TEST_F(ImageTest, OverlayTextStaysInsideItsCells) {
    ScopedImage box(CreateImage(80, 24, Background, 0, 0));
    ASSERT_NE(box.image, nullptr);
    DrawText(box, 8, 8, "FPS:  60", White);
    ExpectImageHolds(box, ExpectedText(80, 24, 8, 8, "FPS:  60"));
    int changed = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 80; ++x) {
            if (Pixel32(box, x, y) == Background) continue;
            ++changed;
            EXPECT_TRUE(x >= 8 && x <= 71 && y >= 8 && y <= 15) << x << ", " << y;
        }
    EXPECT_GT(changed, 40); // the text really was drawn
}

TEST_F(ImageTest, TextIsClippedAtEveryEdge) {
    const std::string text = "Filter: hq2x";
    const struct {
        float x, y;
        long cx, cy;
    } places[] = {{-3, -5, -3, -5},     {-20, 2, -20, 2}, {30, 18, 30, 18},    {-100, 0, -100, 0},
                  {2.5f, -7.5f, 3, -8}, {40, 23, 40, 23}, {-95.6f, 1, -96, 1}, {0, -7, 0, -7}};
    for (const auto& p : places) {
        ScopedImage image(CreateImage(45, 24, Background, 32, 0));
        ASSERT_NE(image.image, nullptr);
        DrawText(image, p.x, p.y, text.c_str(), White);
        SCOPED_TRACE(::testing::Message() << "at " << p.x << ", " << p.y);
        ExpectImageHolds(image, ExpectedText(45, 24, p.cx, p.cy, text));
    }
}

TEST_F(ImageTest, TextOutsideTheTargetChangesNothing) {
    const float places[][2] = {{0, 24}, {0, -8}, {45, 0}, {-8 * 12, 0}, {1e20f, 0}, {0, -1e20f}};
    for (const auto& p : places) {
        ScopedImage image(CreateImage(45, 24, Background, 32, 0));
        ASSERT_NE(image.image, nullptr);
        DrawText(image, p[0], p[1], "Scale2x Off", White);
        ExpectImageHolds(image, ExpectedText(45, 24, 0, 100, ""));
    }
}

TEST_F(ImageTest, ControlAndHighCodesAdvanceWithoutDrawing) {
    ScopedImage image(CreateImage(40, 8, Background, 32, 0));
    ASSERT_NE(image.image, nullptr);
    const char text[] = {'A', '\n', '\t', char(0xE9), 'B', 0};
    DrawText(image, 0, 0, text, White);
    ExpectImageHolds(image, ExpectedText(40, 8, 0, 0, std::string("A") + "   " + "B"));
}

TEST_F(ImageTest, NarrowTargetsGetTheNarrowedColour) {
    ScopedImage image(CreateImage(16, 8, 0, 16, 0));
    ASSERT_NE(image.image, nullptr);
    DrawText(image, 0, 0, "#", 0xFFFF0000u);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint16_t pixel = reinterpret_cast<std::uint16_t*>(ImageRow(image, y))[x];
            EXPECT_EQ(pixel, x < 8 && GlyphBit('#', x, y) ? 0xF800 : 0) << x << ", " << y;
        }
}

TEST_F(ImageTest, TranslucentTextBlendsOnlyUnderAlphaPrimitives) {
    // Opened with AlphaPrimitives: colour channels move towards the colour, alpha is taken.
    ScopedImage blended(CreateImage(8, 8, 0xFF000000u, 32, 0));
    ASSERT_NE(blended.image, nullptr);
    DrawText(blended, 0, 0, "I", 0x80FFFFFFu);
    EXPECT_EQ(Pixel32(blended, 3, 0), 0x807F7F7Fu);
    EXPECT_EQ(Pixel32(blended, 0, 0), 0xFF000000u);

    ASSERT_EQ(OpenSurface(64, 48, 32, 1, NoModeSwitch, 0), 0);
    ScopedImage plain(CreateImage(8, 8, 0xFF000000u, 32, 0));
    ASSERT_NE(plain.image, nullptr);
    DrawText(plain, 0, 0, "I", 0x80FFFFFFu);
    EXPECT_EQ(Pixel32(plain, 3, 0), 0x80FFFFFFu);
}

TEST_F(ImageTest, TextOnTheFrameBufferMarksItsRows) {
    ClearRowMarks();
    DrawText(nullptr, 16, 476, "hq2x", White);
    EXPECT_EQ(Surface.lockCount, 0);
    for (int y = 0; y < 480; ++y) EXPECT_EQ(Surface.rowMarks[y], y >= 476 ? 1 : 0) << y;
    EXPECT_EQ(FramePixel(16 + 1, 476), 0xFF000000u | (GlyphBit('h', 1, 0) ? White : 0));
    bool any = false;
    for (int y = 476; y < 480; ++y)
        for (int x = 16; x < 48; ++x) any |= FramePixel(x, y) == White;
    EXPECT_TRUE(any);

    ClearRowMarks();
    DrawText(nullptr, 700, 0, "x", White);
    for (int y = 0; y < 480; ++y) ASSERT_EQ(Surface.rowMarks[y], 0) << y;
}

TEST_F(ImageTest, NothingIsDrawnWithoutASurfaceOrText) {
    ScopedImage image(CreateImage(16, 8, Background, 32, 0));
    ASSERT_NE(image.image, nullptr);
    DrawText(image, 0, 0, nullptr, White);
    CloseSurface();
    DrawText(image, 0, 0, "AB", White);
    DrawText(nullptr, 0, 0, "AB", White);
    ExpectImageHolds(image, ExpectedText(16, 8, 0, 100, ""));
}

TEST(Font8x8, PrintableGlyphsAreDistinctAndDrawn) {
    std::set<std::vector<std::uint8_t>> seen;
    for (int code = FontFirstCode; code <= FontLastCode; ++code) {
        const std::uint8_t* glyph = Font8x8Glyph(static_cast<unsigned char>(code));
        std::vector<std::uint8_t> rows(glyph, glyph + 8);
        EXPECT_TRUE(seen.insert(rows).second) << "glyph of '" << char(code) << "' repeats";
        int bits = 0;
        for (std::uint8_t row : rows) bits += std::popcount(unsigned(row));
        if (code == ' ')
            EXPECT_EQ(bits, 0);
        else
            EXPECT_GT(bits, 2) << "'" << char(code) << "'";
    }
}

TEST(Font8x8, CharactersKeepAGapAndABaseline) {
    const std::string descenders = "gjpqy,_";
    for (int code = 0; code < 256; ++code) {
        const std::uint8_t* glyph = Font8x8Glyph(static_cast<unsigned char>(code));
        for (int row = 0; row < 8; ++row)
            EXPECT_EQ(glyph[row] & 1, 0) << "column 7 of code " << code << " row " << row;
        const bool printable = code >= FontFirstCode && code <= FontLastCode;
        if (!printable) {
            for (int row = 0; row < 8; ++row) EXPECT_EQ(glyph[row], 0) << "code " << code;
            continue;
        }
        // Only descenders reach the bottom row; capitals and digits fill the top one.
        const bool descends = descenders.find(char(code)) != std::string::npos;
        EXPECT_EQ(glyph[7] != 0, descends) << "'" << char(code) << "'";
        if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) {
            EXPECT_NE(glyph[0], 0) << "'" << char(code) << "'";
        }
    }
}

} // namespace
