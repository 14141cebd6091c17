// Printing a window into the capture image: result codes, when the image and the DIB section
// are made, kept and replaced, and that no GDI object is left behind.
#include "capture/capture.h"
#include "game/target_game.h"
#include "pixels/image.h"
#include "sim_desktop.h"
#include "window/surface.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class Capture : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSim();
        CaptureState = CaptureStateRecord{};
        CapturePath = CapturePathRecord{};
        ASSERT_EQ(OpenSurface(640, 480, 32, 1, 68, 0), 0); // images need an open surface
    }
    void TearDown() override {
        if (image) DestroyImage(image);
    }

    // A window of the given outer size whose print shows colour (x, y) -> seed + y * 4096 + x.
    HWND PaintedWindow(int width, int height, std::uint32_t seed) {
        HWND window = SimAddWindow("Child", "", RECT{100, 50, 100 + width, 50 + height});
        Repaint(window, seed);
        return window;
    }
    static void Repaint(HWND window, std::uint32_t seed) {
        SimWindow& w = SimWindowOf(window);
        const int width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
        w.picture.resize(std::size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                w.picture[std::size_t(y) * width + x] = seed + std::uint32_t(y) * 4096 + x;
    }
    static void Resize(HWND window, int width, int height, std::uint32_t seed) {
        SimWindow& w = SimWindowOf(window);
        w.rect.right = w.rect.left + width;
        w.rect.bottom = w.rect.top + height;
        Repaint(window, seed);
    }
    static std::uint32_t Pixel(Image* image, int x, int y) {
        std::uint32_t value;
        std::memcpy(&value, ImageRow(image, y) + std::size_t(x) * 4, 4);
        return value;
    }
    static bool ImageShows(Image* image, HWND window) {
        const SimWindow& w = SimWindowOf(window);
        const int width = w.rect.right - w.rect.left, height = w.rect.bottom - w.rect.top;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (Pixel(image, x, y) != w.picture[std::size_t(y) * width + x]) return false;
        return true;
    }
    static bool ImageIsAll(Image* image, std::uint32_t colour) {
        for (std::uint32_t y = 0; y < image->height; ++y)
            for (std::uint32_t x = 0; x < image->width; ++x)
                if (Pixel(image, int(x), int(y)) != colour) return false;
        return true;
    }
    static int Count(const char* call) { return int(SimCallsStartingWith(call).size()); }

    Image* image = nullptr;
};

TEST_F(Capture, AHandleThatIsNotAWindowChangesNothing) {
    Image* before = CreateImage(8, 8, 0x12345678, 32, 0);
    image = before;
    const int made = Sim.gdiObjectsMade;
    EXPECT_EQ(CaptureGameWindow(nullptr, image), 0);
    EXPECT_EQ(CaptureGameWindow(reinterpret_cast<HWND>(0x7777), image), 0);
    EXPECT_EQ(image, before);
    EXPECT_TRUE(ImageIsAll(image, 0x12345678));
    EXPECT_EQ(Sim.gdiObjectsMade, made);
    EXPECT_EQ(Count("CreateDCA"), 0);
    EXPECT_FALSE(CaptureState.memoryDcCreated);
}

TEST_F(Capture, CopiesEveryRowOfTheOuterSizeAtTheImagePitch) {
    // 643 pixels are 2572 bytes a row; the image pads its rows to 2576.
    HWND window = PaintedWindow(643, 37, 0x01000000);
    ASSERT_EQ(CaptureGameWindow(window, image), 1);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bytesPerPixel, 4u);
    EXPECT_EQ(image->width, 643u);
    EXPECT_EQ(image->height, 37u);
    EXPECT_EQ(image->pitch, 2576u);
    EXPECT_TRUE(ImageShows(image, window));
    EXPECT_EQ(CaptureState.dibHeader.biWidth, 643);
    EXPECT_EQ(CaptureState.dibHeader.biHeight, -37);
    EXPECT_EQ(CaptureState.dibHeader.biBitCount, 32);
    EXPECT_EQ(CaptureState.dibHeader.biSize, 40u);
}

TEST_F(Capture, TheGamesDoubledWindowFillsAnImageOfItsOuterSize) {
    HWND window = PaintedWindow(644, 484, 0xFF000000);
    ASSERT_EQ(CaptureGameWindow(window, image), 1);
    EXPECT_EQ(image->width, 644u);
    EXPECT_EQ(image->height, 484u);
    EXPECT_TRUE(ImageShows(image, window));
}

TEST_F(Capture, SameSizeReusesImageAndDibAndTheMemoryDcIsMadeOnce) {
    HWND window = PaintedWindow(324, 244, 0);
    ASSERT_EQ(CaptureGameWindow(window, image), 1);
    Image* first = image;
    HBITMAP dib = CaptureState.dibSection;
    Repaint(window, 0x00ABC000);
    ASSERT_EQ(CaptureGameWindow(window, image), 1);
    EXPECT_EQ(image, first);
    EXPECT_EQ(CaptureState.dibSection, dib);
    EXPECT_EQ(Count("CreateDIBSection"), 1);
    EXPECT_EQ(Count("CreateCompatibleDC"), 1);
    EXPECT_EQ(Count("CreateDCA"), 2); // one display context per call, each released
    EXPECT_TRUE(ImageShows(image, window));
    EXPECT_EQ(SimLiveGdiObjects(), 2); // the memory DC and the DIB section
}

TEST_F(Capture, ASizeChangeReplacesImageAndDibTogether) {
    HWND window = PaintedWindow(324, 244, 0);
    ASSERT_EQ(CaptureGameWindow(window, image), 1);
    HBITMAP firstDib = CaptureState.dibSection;
    Resize(window, 644, 484, 0x00500000);
    ASSERT_EQ(CaptureGameWindow(window, image), 1);
    EXPECT_EQ(image->width, 644u);
    EXPECT_EQ(image->height, 484u);
    EXPECT_NE(CaptureState.dibSection, firstDib);
    EXPECT_EQ(Sim.gdiObjects.count(firstDib), 0u) << "the first DIB section was not released";
    EXPECT_EQ(Count("CreateDIBSection"), 2);
    EXPECT_TRUE(ImageShows(image, window));
    EXPECT_EQ(SimLiveGdiObjects(), 2);
}

TEST_F(Capture, AnImageOfTheRightSizeButTwoBytesAPixelIsReplaced) {
    HWND window = PaintedWindow(40, 30, 0x00300000);
    image = CreateImage(40, 30, 0, 16, 0);
    ASSERT_EQ(image->bytesPerPixel, 2u);
    ASSERT_EQ(CaptureGameWindow(window, image), 1);
    EXPECT_EQ(image->bytesPerPixel, 4u);
    EXPECT_TRUE(ImageShows(image, window));
}

TEST_F(Capture, AFailedPrintKeepsTheEarlierPictureOrTheDefaultColourOfANewImage) {
    HWND window = PaintedWindow(50, 20, 0x00100000);
    ASSERT_EQ(CaptureGameWindow(window, image), 1);
    const std::vector<std::uint32_t> earlier = SimWindowOf(window).picture;

    SimWindowOf(window).printResult = FALSE;
    Repaint(window, 0x00200000);
    EXPECT_EQ(CaptureGameWindow(window, image), -3);
    SimWindowOf(window).picture = earlier;
    EXPECT_TRUE(ImageShows(image, window));

    Resize(window, 60, 25, 0x00300000);
    EXPECT_EQ(CaptureGameWindow(window, image), -3);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 60u);
    EXPECT_TRUE(ImageIsAll(image, 0xFFFF00FF));
}

TEST_F(Capture, NoDibSectionEmptiesTheReferenceAndTheNextCallStartsAfresh) {
    HWND window = PaintedWindow(30, 30, 0x00400000);
    Sim.failCreateDibSection = true;
    EXPECT_EQ(CaptureGameWindow(window, image), -2);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(CaptureGameWindow(window, image), -2);
    Sim.failCreateDibSection = false;
    ASSERT_EQ(CaptureGameWindow(window, image), 1);
    EXPECT_TRUE(ImageShows(image, window));
    EXPECT_EQ(SimLiveGdiObjects(), 2);
}

TEST_F(Capture, AWindowWithoutAreaGivesNoImageAndReleasesTheOldDib) {
    HWND window = PaintedWindow(30, 30, 0);
    ASSERT_EQ(CaptureGameWindow(window, image), 1);
    Resize(window, 0, 30, 0);
    EXPECT_EQ(CaptureGameWindow(window, image), -1);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(CaptureState.dibSection, nullptr);
    EXPECT_EQ(SimLiveGdiObjects(), 1); // only the memory DC stays
    EXPECT_EQ(CaptureGameWindow(window, image), -1);
    Resize(window, 30, 30, 0x00600000);
    ASSERT_EQ(CaptureGameWindow(window, image), 1);
    EXPECT_TRUE(ImageShows(image, window));
}

TEST_F(Capture, GdiObjectsStayFlatOverManyFramesWithChangingSizes) {
    HWND window = PaintedWindow(324, 244, 0);
    const int sizes[][2] = {{324, 244}, {644, 484}, {644, 484}, {100, 80}, {0, 0}, {324, 244}};
    for (int frame = 0; frame < 600; ++frame) {
        const auto& size = sizes[(frame / 3) % 6];
        if (frame % 3 == 0) Resize(window, size[0], size[1], std::uint32_t(frame));
        SimWindowOf(window).printResult = frame % 7 != 0;
        Sim.failCreateDibSection = frame % 11 == 0;
        CaptureGameWindow(frame % 13 == 0 ? nullptr : window, image);
        ASSERT_LE(SimLiveGdiObjects(), 2) << "frame " << frame;
    }
    Sim.failCreateDibSection = false;
    SimWindowOf(window).printResult = TRUE;
    Resize(window, 644, 484, 77);
    ASSERT_EQ(CaptureGameWindow(window, image), 1);
    EXPECT_EQ(SimLiveGdiObjects(), 2);
    EXPECT_EQ(Count("CreateCompatibleDC"), 1);
    int liveDcs = 0;
    for (const auto& [handle, object] : Sim.gdiObjects) liveDcs += object.isDc;
    EXPECT_EQ(liveDcs, 1) << "a display context was not released";
    EXPECT_TRUE(ImageShows(image, window));
}

} // namespace

namespace {

// A game whose print takes a while or hangs, captured on the print worker pass after pass
// (17 ms apart) from the time it starts, 500 ms after a first capture of picture 1.
struct SlowPrintCase {
    const char* name;
    double printHangMs;  // the game answers the probe, then the print waits this long
    double gameHangMs;   // the game answers nothing for this long
    bool stopWhileStuck; // the viewer ends during the hang
    int firstResult;     // of the first pass
    double firstWaitMs;  // how long the first pass waited for the game
    bool firstShowsNew;  // the first pass shows the picture of the moment
};

constexpr SlowPrintCase SlowPrintCases[] = {
    {"answers at once", 0, 0, false, 1, 0, true},
    {"answers within the wait", 30, 0, false, 1, 30, true},
    {"hangs after the probe", 400, 0, false, PrintJobRunning, PrintWaitMs, false},
    {"does not answer the probe", 0, 400, false, -5, GameAnswerLimitMs, false},
    {"ends while a print is stuck", 400, 0, true, PrintJobRunning, PrintWaitMs, false},
};

} // namespace

TEST_F(Capture, APrintThatHangsHoldsNoPassAndNoOtherPrintIsQueuedBehindIt) {
    for (const SlowPrintCase& c : SlowPrintCases) {
        SCOPED_TRACE(c.name);
        if (image) DestroyImage(image);
        image = nullptr;
        SetUp();
        const DWORD game = SimAddProcess("rpg_rt.exe");
        HWND window = SimAddWindow("Child", "", RECT{0, 0, 40, 30}, game);
        Repaint(window, 0x00100000);
        ASSERT_EQ(CaptureGameWindow(window, image), 1);
        const std::vector<std::uint32_t> first = SimWindowOf(window).picture;
        Repaint(window, 0x00200000);

        const double hangStart = Sim.clockMs, hangEnd = hangStart + 400;
        SimWindowOf(window).printHungUntilMs = hangStart + c.printHangMs;
        Sim.processes[game].hungUntilMs = hangStart + c.gameHangMs;
        // What the game shows by the time it answers again.
        SimAt(hangStart + 10, [&] { Repaint(window, 0x00300000); });
        const int printsBefore = Count("PrintWindow"), probesBefore = Count("SendMessageTimeout");

        const int result = CaptureGameWindow(window, image);
        EXPECT_EQ(result, c.firstResult);
        EXPECT_DOUBLE_EQ(Sim.clockMs - hangStart, c.firstWaitMs);
        if (c.firstShowsNew) {
            EXPECT_TRUE(ImageShows(image, window));
            continue;
        }
        std::vector<std::uint32_t> latest = SimWindowOf(window).picture;
        SimWindowOf(window).picture = first; // the image keeps the picture before the hang
        EXPECT_TRUE(ImageShows(image, window));
        SimWindowOf(window).picture = latest;

        if (c.stopWhileStuck) {
            const double stopped = Sim.clockMs;
            StopCapture();
            EXPECT_EQ(Sim.clockMs, stopped) << "the end waited for the stuck print";
            SimAdvance(hangEnd + 50 - Sim.clockMs);
            EXPECT_FALSE(SimThreadsRunning()) << "the worker did not end after its print";
            EXPECT_EQ(Count("PrintWindow"), printsBefore + 1);
            EXPECT_EQ(SimLiveGdiObjects(), 2);
            continue;
        }
        // Passes 17 ms apart through the hang: none waits longer for the game, and while a
        // print is stuck nothing else is asked of the game; the print's picture, made when
        // the game answers again, comes back.
        int during = 0;
        for (int pass = 0; during != 1 && pass < 40; ++pass) {
            SCOPED_TRACE(pass);
            SleepMs(17);
            const double began = Sim.clockMs;
            during = CaptureGameWindow(window, image);
            EXPECT_LE(Sim.clockMs - began, double(PrintWaitMs));
            if (c.printHangMs == 0) continue;
            EXPECT_EQ(during, Sim.clockMs < hangEnd ? PrintJobRunning : 1);
            EXPECT_EQ(Count("PrintWindow"), printsBefore + 1);
            EXPECT_EQ(Count("SendMessageTimeout"), probesBefore + 1);
        }
        EXPECT_EQ(during, 1);
        EXPECT_LT(Sim.clockMs, hangEnd + 17 + GameAnswerLimitMs);
        EXPECT_TRUE(ImageShows(image, window)) << "the picture after the hang";
        EXPECT_EQ(SimLiveGdiObjects(), 2);
    }
}
