// The full meter's figures over a stream of pictures on the simulated clock, and its lines in
// the overlay's box.
#include "frame/frame_meter.h"
#include "viewer_fixture.h"

#include <string>

namespace {

struct Stream {
    double hz;       // new pictures a second
    double delayMs;  // each one presented this much after it was seen; every 7th twice that
    double seconds;  // of play from t = 100
    int skipEvery;   // a skip (2 frames) noted every that many pictures; 0: none
    int repeatEvery; // a repeat noted every that many pictures; 0: none
};

struct Figures {
    int fps;
    double medianMs;
    long skipped, repeated;
};

Figures Play(const Stream& s) {
    FrameMeter meter;
    const double start = 100.0;
    int n = 0;
    for (double t = start; t < start + s.seconds - 1e-9; t = start + ++n / s.hz) {
        meter.NewPicture(t);
        meter.Presented(t, t + s.delayMs / 1000.0 * (n % 7 == 6 ? 2 : 1));
        if (s.skipEvery && n % s.skipEvery == 0) meter.Skipped(t, 2);
        if (s.repeatEvery && n % s.repeatEvery == 0) meter.Repeated(t, 1);
    }
    const double now = start + s.seconds;
    return {meter.PicturesPerSecond(now), meter.MedianDelayMs(now), meter.SkippedRecently(now),
            meter.RepeatedRecently(now)};
}

TEST(FrameMeter, FiguresOverTheLastSecondAndTheLastTenSeconds) {
    const struct {
        Stream stream;
        Figures expected;
    } rows[] = {
        // Outliers do not move the median; a second holds the rate's pictures.
        {{60, 3.0, 5, 0, 0}, {60, 3.0, 0, 0}},
        {{30, 12.5, 2, 0, 0}, {30, 12.5, 0, 0}},
        // Skips and repeats count over the last ten seconds only: 30 s with one of each a second.
        {{60, 2.0, 30, 60, 60}, {60, 2.0, 20, 10}},
        {{240, 1.0, 3, 0, 0}, {240, 1.0, 0, 0}},
        // Half a second of play: the rate is what the second holds.
        {{60, 2.0, 0.5, 10, 0}, {30, 2.0, 6, 0}},
    };
    for (const auto& row : rows) {
        const Figures f = Play(row.stream);
        SCOPED_TRACE(testing::Message() << row.stream.hz << " Hz, " << row.stream.seconds << " s");
        EXPECT_EQ(f.fps, row.expected.fps);
        EXPECT_NEAR(f.medianMs, row.expected.medianMs, 1e-6);
        EXPECT_EQ(f.skipped, row.expected.skipped);
        EXPECT_EQ(f.repeated, row.expected.repeated);
    }
    FrameMeter idle;
    EXPECT_LT(idle.MedianDelayMs(50.0), 0.0);
    idle.NewPicture(50.0);
    idle.Presented(50.0, 50.004);
    EXPECT_LT(idle.MedianDelayMs(51.5), 0.0) << "a presentation older than a second";
    EXPECT_EQ(idle.PicturesPerSecond(51.5), 0);
}

TEST(FrameMeter, TheFilterNameStandsAboveTheMeterInABoxInsideTheFrame) {
    FrameState = FrameStateRecord{};
    FrameMeterState = FrameMeterRecord{};
    FrameMeterState.kind = Meter::Full;
    FrameState.fpsOverlayOn = true;
    FrameState.filterMode = FilterHq2x;
    FrameState.lastFilterKeyTime = 199.0;
    FramePacing.pacing = Pacing::Fixed;
    char text[sizeof OverlayImages.shownText];
    const int width = OverlayText(200.0, text, int(sizeof text));
    EXPECT_EQ(std::string(text),
              "Filter: hq2x\nGame: 0 fps\nDelay: -\n10 s: - skipped, - repeated");
    EXPECT_EQ(width, 8 * 27 + 16); // the longest line
    EXPECT_LE(OverlayBoxX + width, 640);
    FramePacing.pacing = Pacing::Smooth;
    OverlayText(203.0, text, int(sizeof text));
    EXPECT_EQ(std::string(text), "Game: 0 fps\nDelay: -\n10 s: 0 skipped, 0 repeated");
    FrameState = FrameStateRecord{};
    FrameMeterState = FrameMeterRecord{};
    FramePacing = FramePacingRecord{};
}

} // namespace
