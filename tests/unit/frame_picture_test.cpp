// The frame step's picture: the surface reopened once, the game's picture copied or filtered
// into the frame buffer by the filter mode, and frames that go on when images or the surface
// are missing.
#include "viewer_fixture.h"

#include "pixels/hq2x.h"
#include "pixels/pixel_convert.h"
#include "pixels/scale2x.h"

#include <algorithm>

namespace {

void EnsureFilterTables() {
    ASSERT_TRUE(MakeFilterTables());
}

std::vector<std::uint32_t> Scale2xOf(const std::vector<std::uint32_t>& single) {
    std::vector<std::uint32_t> large(640 * 480);
    Scale2xFrame(single.data(), large.data());
    return large;
}

std::vector<std::uint32_t> Hq2xOf(const std::vector<std::uint32_t>& single) {
    std::vector<std::uint16_t> small565(320 * 240), large565(640 * 480);
    std::vector<std::uint32_t> large(640 * 480);
    for (int r = 0; r < 240; ++r) ConvertRowTo565(&single[r * 320], &small565[r * 320], 320);
    Hq2xScale(small565.data(), large565.data(), 320, 240, 1280);
    for (int r = 0; r < 480; ++r) ConvertRowFrom565(&large565[r * 640], &large[r * 640], 640);
    return large;
}

class Picture : public ViewerOnSim {
  protected:
    void SetUp() override {
        ViewerOnSim::SetUp();
        EnsureFilterTables();
    }
    // F8, then frames until the filter's name has gone from the overlay.
    void PressF8() {
        SimTap(VK_F8);
        Frame();
        SimAdvance(FilterOverlaySeconds * 1000.0);
        Frame();
    }
};

TEST_F(Picture, TheFirstFrameReopensTheSurfaceOnceAndHidesThePointer) {
    HWND before = Viewer();
    Frame();
    EXPECT_EQ(SimCallsStartingWith("OpenSurface(640,480,32,68)").size(), 1u);
    EXPECT_EQ(Count("HideMouse"), 1);
    EXPECT_FALSE(Surface.pointerVisible);
    EXPECT_NE(Viewer(), before);
    EXPECT_EQ(TargetGame.currentWidth, 640);
    EXPECT_EQ(TargetGame.currentHeight, 480);
    for (int i = 0; i < 5; ++i) Frame();
    EXPECT_EQ(Count("OpenSurface"), 1);
    EXPECT_EQ(Count("HideMouse"), 1);
}

TEST_F(Picture, EachModeShowsTheGamesFrameAsItsFilterMakesIt) {
    Frame();
    EXPECT_EQ(FrameBuffer(), DoubledFrame()) << "Off copies the game's doubled picture";
    PressF8();
    ASSERT_FALSE(doubled);
    EXPECT_EQ(FrameBuffer(), Scale2xOf(SingleFrame()));
    PressF8();
    EXPECT_EQ(FrameBuffer(), Hq2xOf(SingleFrame()));
    PressF8();
    ASSERT_TRUE(doubled);
    EXPECT_EQ(FrameBuffer(), DoubledFrame());
}

TEST_F(Picture, TheFrameFollowsTheGridWhereItIsShownInTheSameWindowAndBuffer) {
    FrameState.maxGrid = 4;
    ReserveFrameBuffer(4 * 320, 4 * 240);
    Frame(); // the one reopen, now with room for grid 4
    const HWND window = Viewer();
    const void* buffer = SurfacePixels();
    for (int grid : {4, 3, 2, 4}) {
        Sim.surfaceGrid = grid;
        Frame();
        ASSERT_EQ(Surface.width, grid * 320);
        ASSERT_EQ(Surface.height, grid * 240);
        const auto* frame = static_cast<const std::uint32_t*>(SurfacePixels());
        for (int y = 0; y < Surface.height; ++y)
            for (int x = 0; x < Surface.width; ++x)
                ASSERT_EQ(frame[std::size_t(y) * Surface.width + x], FramePixel(x / grid, y / grid))
                    << x << "," << y << " at grid " << grid;
    }
    EXPECT_EQ(Viewer(), window);
    EXPECT_EQ(SurfacePixels(), buffer);
    EXPECT_EQ(Count("OpenSurface"), 1);
    ReserveFrameBuffer(640, 480);
}

TEST_F(Picture, TheFiltersDifferFromPlainDoubling) {
    // Guards the test pattern: it must give both filters edges to smooth.
    EXPECT_NE(Scale2xOf(SingleFrame()), DoubledFrame());
    EXPECT_NE(Hq2xOf(SingleFrame()), DoubledFrame());
    EXPECT_NE(Hq2xOf(SingleFrame()), Scale2xOf(SingleFrame()));
}

TEST_F(Picture, OffWithTheSingleSizeCopiesAsFarAsTheCaptureReaches) {
    Frame();
    ShowGameFrame(false);
    // An earlier frame of another colour, so the untouched part can be told apart.
    std::fill_n(static_cast<std::uint32_t*>(SurfacePixels()), 640 * 480, 0xFF0000FFu);
    Frame();
    // The 324x244 capture from (2, 2) reaches 322 columns and 242 rows, border included.
    for (int y : {0, 120, 239, 240, 241, 242, 479})
        for (int x : {0, 160, 319, 320, 321, 322, 639}) {
            const std::uint32_t expected = x > 321 || y > 241   ? 0xFF0000FFu
                                           : x > 319 || y > 239 ? GameBorder
                                                                : FramePixel(x, y);
            EXPECT_EQ(FrameBufferPixel(x, y), expected) << x << "," << y;
        }
}

TEST_F(Picture, AFilterWithADoubledCaptureEnlargesItsTopLeftBlock) {
    FrameState.filterMode = FilterScale2x;
    Frame();
    std::vector<std::uint32_t> block(320 * 240);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) block[y * 320 + x] = FramePixel(x / 2, y / 2);
    EXPECT_EQ(FrameBuffer(), Scale2xOf(block));
}

TEST_F(Picture, WithoutARenderWindowTheFiltersEnlargeTheDefaultColour) {
    SimRemoveWindow(render);
    FrameState.filterMode = FilterScale2x;
    Frame();
    EXPECT_EQ(FrameBuffer(), std::vector<std::uint32_t>(640 * 480, 0xFFFF00FFu));
    EXPECT_EQ(FrameState.captureImage, nullptr);
}

TEST_F(Picture, AGameWindowThatVanishesKeepsThePreviousPicture) {
    Frame();
    PressF8();
    const std::vector<std::uint32_t> last = FrameBuffer();
    SimRemoveWindow(game);
    Frame();
    EXPECT_EQ(FrameBuffer(), last);
}

TEST_F(Picture, FramesWithoutASurfaceSkipTheDrawingAndRecoverWhenItOpens) {
    CloseSurface();
    Sim.failOpenSurface = true;
    for (FilterMode mode : {FilterOff, FilterScale2x, FilterHq2x}) {
        FrameState.filterMode = mode;
        FrameState.fpsOverlayOn = true;
        Frame();
        EXPECT_EQ(SurfacePixels(), nullptr);
    }
    EXPECT_EQ(FrameState.smallArgbImage, nullptr);
    EXPECT_EQ(FrameState.captureImage, nullptr);
    EXPECT_EQ(TargetGame.currentWidth, 0) << "a failed open is tried again";
    EXPECT_EQ(Count("OpenSurface"), 0);

    Sim.failOpenSurface = false;
    FrameState.filterMode = FilterOff;
    Frame(); // the surface opens; the work images follow on the next frame
    EXPECT_NE(SurfacePixels(), nullptr);
    Frame();
    EXPECT_NE(FrameState.smallArgbImage, nullptr);
    EXPECT_NE(FrameState.largeArgbImage, nullptr);
    EXPECT_NE(FrameState.smallRgb565Image, nullptr);
    EXPECT_NE(FrameState.largeRgb565Image, nullptr);
    EXPECT_EQ(SimCallsStartingWith("OpenSurface").size(), 1u);
    const std::vector<std::uint32_t> shown = FrameBuffer(), doubledFrame = DoubledFrame();
    EXPECT_TRUE(std::equal(shown.begin() + 40 * 640, shown.end(), doubledFrame.begin() + 40 * 640))
        << "below the overlay the picture is back";
}

} // namespace

// With the smooth pacing a pass draws only what changed, and hands only those rows over.
TEST_F(Picture, TheSmoothPacingDrawsOnlyWhatChanged) {
    FramePacing.pacing = Pacing::Smooth;
    const auto markedRows = [] {
        int marked = 0, first = -1, last = -1;
        for (int y = 0; y < Surface.height; ++y) {
            if (!Surface.rowMarks[y]) continue;
            if (first < 0) first = y;
            last = y;
            ++marked;
        }
        std::memset(Surface.rowMarks, 0, std::size_t(Surface.height));
        return std::vector<int>{marked, first, last};
    };
    for (FilterMode mode : {FilterOff, FilterScale2x, FilterHq2x}) {
        SCOPED_TRACE(int(mode));
        FrameState.filterMode = mode;
        ShowGameFrame(mode == FilterOff);
        Frame(); // a new filter: the picture is drawn whole
        EXPECT_EQ(markedRows(), (std::vector<int>{480, 0, 479}));
        EXPECT_TRUE(FrameBufferShows.picture);
        const std::vector<std::uint32_t> picture = FrameBuffer();

        Frame(); // a frozen game: nothing is drawn or handed over
        EXPECT_FALSE(FramePacing.sampledNewPicture);
        EXPECT_EQ(markedRows()[0], 0);

        FrameState.fpsOverlayOn = true; // the overlay alone: its box's rows only
        Frame();
        EXPECT_EQ(markedRows(), (std::vector<int>{24, 16, 39}));
        FrameState.fpsOverlayOn = false; // and away again: the clean picture comes back
        Frame();
        EXPECT_EQ(markedRows(), (std::vector<int>{24, 16, 39}));
        EXPECT_EQ(FrameBuffer(), picture);

        SimWindow& window = SimWindowOf(render); // one pixel of the game changes: a new picture
        window.picture[std::size_t(12) * (window.rect.right - window.rect.left) + 12] ^= 0xFFFFFFu;
        Frame();
        EXPECT_TRUE(FramePacing.sampledNewPicture);
        EXPECT_EQ(markedRows()[0], 480);
    }
}
