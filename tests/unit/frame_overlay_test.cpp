// The overlay's text, box and timing, and the frames-per-second count behind it.
#include "viewer_fixture.h"

#include <string>

namespace {

struct Shown {
    std::string text;
    int width;
};

Shown OverlayAt(double now) {
    char text[32] = "unchanged";
    const int width = OverlayText(now, text, int(sizeof text));
    return Shown{width ? std::string(text) : std::string(), width};
}

class OverlayChoice : public ::testing::Test {
  protected:
    void SetUp() override { FrameState = FrameStateRecord{}; }
    void TearDown() override { FrameState = FrameStateRecord{}; }
};

TEST_F(OverlayChoice, TheFilterNameShowsForThreeSecondsWithABoxFittingTheText) {
    struct Row {
        FilterMode mode;
        const char* text;
        int width;
    };
    const Row rows[] = {{FilterOff, "Filter: Off", 104},
                        {FilterScale2x, "Filter: Scale2x", 136},
                        {FilterHq2x, "Filter: hq2x", 112}};
    FrameState.lastFilterKeyTime = 5000.0;
    for (const Row& row : rows) {
        FrameState.filterMode = row.mode;
        const Shown shown = OverlayAt(5000.0);
        EXPECT_EQ(shown.text, row.text);
        EXPECT_EQ(shown.width, row.width);
        EXPECT_EQ(OverlayAt(5002.999).text, row.text);
        EXPECT_EQ(OverlayAt(5003.0).width, 0) << "gone after exactly 3.0 s";
    }
}

TEST_F(OverlayChoice, TheFilterNameHasPriorityOverTheCounter) {
    FrameState.fpsOverlayOn = true;
    FrameState.fps = 60;
    FrameState.filterMode = FilterHq2x;
    FrameState.lastFilterKeyTime = 100.0;
    EXPECT_EQ(OverlayAt(101.0).text, "Filter: hq2x");
    EXPECT_EQ(OverlayAt(103.5).text, "FPS:  60");
}

TEST_F(OverlayChoice, TheCounterIsRightAlignedInThreeCharactersInAFixedBox) {
    FrameState.fpsOverlayOn = true;
    const std::pair<int, const char*> rows[] = {{-1, "FPS: ???"},
                                                {5, "FPS:   5"},
                                                {60, "FPS:  60"},
                                                {120, "FPS: 120"},
                                                {1234, "FPS: 1234"}};
    for (const auto& [fps, text] : rows) {
        FrameState.fps = fps;
        const Shown shown = OverlayAt(1e6);
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(shown.width, 80);
    }
}

TEST_F(OverlayChoice, NothingShowsAtStartOrWithTheCounterOff) {
    // A stamp of 0.0 lies far in the past on a timer that counts from system start.
    EXPECT_EQ(OverlayAt(1000.0).width, 0);
    FrameState.fps = 60;
    EXPECT_EQ(OverlayAt(1000.0).width, 0);
}

TEST(FrameCounting, AWindowClosesOnlyStrictlyAfterOneSecond) {
    FrameState = FrameStateRecord{};
    CountFrame(10.0);
    EXPECT_DOUBLE_EQ(FrameState.nextFpsUpdate, 11.0);
    for (int i = 1; i < 60; ++i) CountFrame(10.0 + i / 60.0);
    CountFrame(11.0);
    EXPECT_EQ(FrameState.fps, -1);
    EXPECT_EQ(FrameState.frameCount, 61);
    CountFrame(11.01);
    EXPECT_EQ(FrameState.fps, 62) << "the closing step is counted";
    EXPECT_EQ(FrameState.frameCount, 0);
    EXPECT_DOUBLE_EQ(FrameState.nextFpsUpdate, 12.01) << "the next window runs from now";
    FrameState = FrameStateRecord{};
}

TEST(FrameCounting, AfterAPauseTheFirstStepClosesThePendingWindow) {
    FrameState = FrameStateRecord{};
    for (int i = 0; i < 30; ++i) CountFrame(20.0 + i / 60.0); // half a second, then minimised
    CountFrame(25.5);
    EXPECT_EQ(FrameState.fps, 31);
    EXPECT_DOUBLE_EQ(FrameState.nextFpsUpdate, 26.5);
    CountFrame(26.0);
    CountFrame(26.5);
    EXPECT_EQ(FrameState.fps, 31);
    CountFrame(26.6);
    EXPECT_EQ(FrameState.fps, 3);
    FrameState = FrameStateRecord{};
}

using OverlayOnFrame = ViewerOnSim;

// The frame buffer with the overlay box of this text blended onto it as the image code does.
std::vector<std::uint32_t> WithBox(const std::vector<std::uint32_t>& picture, const char* text,
                                   int boxWidth) {
    Image* expected = CreateImage(640, 480, 0, 32, 0);
    for (int y = 0; y < 480; ++y) std::memcpy(ImageRow(expected, y), &picture[y * 640], 2560);
    Image* box = CreateImage(boxWidth, 24, 0x80000000u, 0, 0);
    DrawText(box, 8.0f, 8.0f, text, 0xFFFFFFFFu);
    PutImage(expected, 16.0f, 16.0f, box, WholeImage, 0, 0, 0, Alpha);
    std::vector<std::uint32_t> pixels(640 * 480);
    for (int y = 0; y < 480; ++y) std::memcpy(&pixels[y * 640], ImageRow(expected, y), 2560);
    DestroyImage(box);
    DestroyImage(expected);
    return pixels;
}

void ExpectBoxCovers(const std::vector<std::uint32_t>& with,
                     const std::vector<std::uint32_t>& without, int width) {
    auto at = [](const std::vector<std::uint32_t>& p, int x, int y) { return p[y * 640 + x]; };
    const int right = 16 + width - 1, bottom = 16 + 23;
    for (auto [x, y] : {std::pair{16, 16}, {right, 16}, {16, bottom}, {right, bottom}})
        EXPECT_NE(at(with, x, y), at(without, x, y)) << x << "," << y << " lies in the box";
    for (auto [x, y] : {std::pair{15, 16}, {16, 15}, {right + 1, 16}, {16, bottom + 1}})
        EXPECT_EQ(at(with, x, y), at(without, x, y)) << x << "," << y << " lies outside";
}

TEST_F(OverlayOnFrame, TheCounterBoxIsBlendedAtSixteenSixteen) {
    Frame();
    const std::vector<std::uint32_t> plain = FrameBuffer();
    SimTap(VK_F7);
    Frame();
    const std::vector<std::uint32_t> shown = FrameBuffer();
    EXPECT_EQ(shown, WithBox(plain, "FPS: ???", 80));
    ExpectBoxCovers(shown, plain, 80);
}

TEST_F(OverlayOnFrame, TheCounterReadsSixtyAfterASecondOfFrames) {
    SimTap(VK_F7);
    for (int i = 0; i < 60; ++i) Frame(); // one every 17 ms: the window closes at the 60th
    ASSERT_EQ(FrameState.fps, 60);
    const std::vector<std::uint32_t> shown = FrameBuffer();
    FrameState.fpsOverlayOn = false;
    Frame();
    EXPECT_EQ(shown, WithBox(FrameBuffer(), "FPS:  60", 80));
}

TEST_F(OverlayOnFrame, TheFilterNameShowsAfterF8AndIsGoneThreeSecondsLater) {
    SimTap(VK_F8);
    Frame();
    const double pressed = FrameState.lastFilterKeyTime;
    const std::vector<std::uint32_t> shown = FrameBuffer();
    SimAdvance((pressed + 2.99) * 1000.0 - Sim.clockMs);
    RenderFrame();
    EXPECT_EQ(FrameBuffer(), shown);
    SimAdvance((pressed + 3.001) * 1000.0 - Sim.clockMs);
    RenderFrame();
    const std::vector<std::uint32_t> plain = FrameBuffer();
    EXPECT_EQ(shown, WithBox(plain, "Filter: Scale2x", 136));
    ExpectBoxCovers(shown, plain, 136);
}

TEST_F(OverlayOnFrame, WorkAndCaptureImagesAreKeptFromFrameToFrame) {
    SimTap(VK_F7);
    Frame();
    const FrameStateRecord first = FrameState;
    for (int i = 0; i < 10; ++i) Frame();
    EXPECT_EQ(FrameState.smallArgbImage, first.smallArgbImage);
    EXPECT_EQ(FrameState.largeArgbImage, first.largeArgbImage);
    EXPECT_EQ(FrameState.smallRgb565Image, first.smallRgb565Image);
    EXPECT_EQ(FrameState.largeRgb565Image, first.largeRgb565Image);
    EXPECT_EQ(FrameState.captureImage, first.captureImage);
    EXPECT_EQ(Count("CreateDIBSection"), 1);
}

} // namespace
