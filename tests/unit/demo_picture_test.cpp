// The stand-in game's picture: reproducible per frame, animated, its file layout exact, and
// its font readable.
#include "demo/demo_font.h"
#include "demo/demo_picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<DemoFrame> Draw(int frame) {
    auto f = std::make_unique<DemoFrame>();
    DrawDemoFrame(*f, frame);
    return f;
}

int DifferingPixels(const DemoFrame& a, const DemoFrame& b, int y0, int y1) {
    int count = 0;
    for (int i = y0 * DemoWidth; i < y1 * DemoWidth; ++i) count += a.pixels[i] != b.pixels[i];
    return count;
}

// Leftmost column of the hero's hair (a colour nothing else uses), or -1.
int HeroColumn(const DemoFrame& f) {
    for (int x = 0; x < DemoWidth; ++x)
        for (int y = 160; y < 190; ++y)
            if (f.pixels[y * DemoWidth + x] == 0xF0C840) return x;
    return -1;
}

TEST(DemoPicture, SameFrameGivesSamePixelsWhateverWasDrawnBefore) {
    auto a = Draw(37);
    auto b = Draw(200);
    DrawDemoFrame(*b, 37); // drawn over an older, different frame
    EXPECT_EQ(DifferingPixels(*a, *b, 0, DemoHeight), 0);
    for (std::uint32_t p : a->pixels) ASSERT_EQ(p >> 24, 0u) << "pixels are 0x00RRGGBB";
}

TEST(DemoPicture, HeroWalksRightThenBack) {
    int start = HeroColumn(*Draw(0));
    ASSERT_GE(start, 0);
    EXPECT_EQ(HeroColumn(*Draw(80)), start + 80) << "one pixel per frame";
    EXPECT_EQ(HeroColumn(*Draw(480)), start) << "the walk repeats every 480 frames";
    // On the way back it passes the same place, mirrored.
    auto out = Draw(100), back = Draw(380);
    EXPECT_NEAR(HeroColumn(*back), HeroColumn(*out), 1);
    EXPECT_GT(DifferingPixels(*out, *back, 172, 188), 0) << "facing the other way";
}

TEST(DemoPicture, SkyIsAGradientAndFrameCounterChanges) {
    auto f = Draw(37);
    std::uint32_t top = f->pixels[5], bottom = f->pixels[140 * DemoWidth + 5];
    EXPECT_LT(top >> 16, bottom >> 16) << "red grows towards the horizon";
    auto g = Draw(38);
    EXPECT_GT(DifferingPixels(*f, *g, 202, 236), 0) << "the panel shows the frame number";
}

// The digits the frame-clock tag shows, read back glyph by glyph ('?' for no digit).
std::string ReadFrameTag(const DemoFrame& f) {
    std::string text;
    for (int i = 0; i < FrameTagDigits; ++i) {
        char found = '?';
        for (char c = '0'; c <= '9'; ++c) {
            const std::uint8_t* rows = DemoGlyph(c);
            bool same = true;
            for (int y = 0; y < DemoGlyphHeight; ++y)
                for (int x = 0; x < DemoGlyphWidth; ++x) {
                    int px = FrameTagX + i * FrameTagAdvance + x, py = FrameTagY + y;
                    bool ink = f.pixels[py * DemoWidth + px] == FrameTagInk;
                    same = same && ink == bool(rows[y] >> (DemoGlyphWidth - 1 - x) & 1);
                }
            if (same) found = c;
        }
        text += found;
    }
    return text;
}

TEST(DemoPicture, FrameTagShowsTheNumberInTheTopRightCornerOnly) {
    const struct {
        int number;
        const char* shown;
    } cases[] = {{0, "000000"}, {37, "000037"}, {123456, "123456"}, {1234567, "234567"}};
    auto plain = Draw(37);
    for (const auto& c : cases) {
        auto tagged = Draw(37);
        DrawFrameTag(*tagged, c.number);
        EXPECT_EQ(ReadFrameTag(*tagged), c.shown) << c.number;
        int changedOutside = 0;
        for (int y = 0; y < DemoHeight; ++y)
            for (int x = 0; x < DemoWidth; ++x)
                changedOutside +=
                    (x < DemoWidth - 48 || y > 16) &&
                    tagged->pixels[y * DemoWidth + x] != plain->pixels[y * DemoWidth + x];
        EXPECT_EQ(changedOutside, 0) << c.number;
    }
}

TEST(DemoPicture, FileIsRowsOfLittleEndianPixelsWithoutHeader) {
    auto f = Draw(37);
    std::string path = testing::TempDir() + "demo_frame.raw";
    ASSERT_TRUE(WriteDemoFrame(*f, path.c_str()));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::vector<unsigned char> bytes(DemoWidth * DemoHeight * 4 + 1);
    size_t read = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    std::remove(path.c_str());
    ASSERT_EQ(read, size_t(DemoWidth * DemoHeight * 4));
    for (int i : {0, 1, DemoWidth, DemoWidth * DemoHeight - 1}) {
        std::uint32_t p = f->pixels[i];
        EXPECT_EQ(bytes[i * 4], p & 255);
        EXPECT_EQ(bytes[i * 4 + 1], (p >> 8) & 255);
        EXPECT_EQ(bytes[i * 4 + 2], (p >> 16) & 255);
        EXPECT_EQ(bytes[i * 4 + 3], 0);
    }
}

TEST(DemoPicture, UnwritableFileIsReported) {
    auto f = Draw(0);
    EXPECT_FALSE(WriteDemoFrame(*f, "/nonexistent-folder/frame.raw"));
}

TEST(DemoFont, GlyphsAreReadableAndCaseInsensitive) {
    const std::uint8_t* l = DemoGlyph('L');
    for (int y = 0; y < 6; ++y) EXPECT_EQ(l[y], 0x10) << "row " << y;
    EXPECT_EQ(l[6], 0x1F);
    EXPECT_EQ(DemoGlyph('l'), l);
    const std::uint8_t* unknown = DemoGlyph('~');
    for (int y = 0; y < DemoGlyphHeight; ++y) EXPECT_EQ(unknown[y], 0);
    EXPECT_NE(DemoGlyph('0'), DemoGlyph('O')) << "zero and O are different glyphs";
    EXPECT_NE(DemoGlyph('0')[2], DemoGlyph('O')[2]);
}

} // namespace
