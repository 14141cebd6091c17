// The smooth pacing end to end on the simulated desktop: the render thread's passes against a
// game drawing 60 frames a second, judged at presentation on a display refreshing at its own
// rate: which game frames never reached the screen and which stayed on it for two game
// periods or more.
#include "capture/capture.h"
#include "display_count.h"
#include "frame/frame_step.h"
#include "lifecycle_fixture.h"
#include "pixels/image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr double GamePeriodMs = 1000.0 / 60.0;
constexpr double RunMs = 20000.0;

struct Scene {
    double displayHz;
    bool oncePerFrame; // the game reads its messages once per frame, not at once
    double phase;      // of the game's frames, in periods
};

// The number of the game frame the latest capture holds.
long FrameShown() {
    std::uint32_t pixel;
    std::memcpy(&pixel, ImageRow(FrameState.captureImage, 2) + 2 * 4, 4);
    return long(pixel);
}

class SmoothPacing : public ::testing::Test {
  protected:
    void SetUp() override { ResetViewer(); }
    void TearDown() override { ResetViewer(); }

    // Runs the viewer's passes for RunMs against a game whose every print shows the frame due
    // at that moment, its number in the picture's first pixel.
    DisplayCount Play(const Scene& scene) {
        ResetViewer();
        const SimGame game = AttachGame();
        const double origin = Sim.clockMs + scene.phase * GamePeriodMs;
        HWND render = SimAddWindow("TPanel", "", RECT{0, 0, 644, 484}, game.processId, game.window);
        SimWindowOf(render).picture.assign(644 * 484, 0xFF336699u);
        SimWindowOf(render).paint = [origin](SimWindow& w) {
            // Before the first frame this is -1: through a signed integer, to wrap as defined.
            w.picture[2 * 644 + 2] = std::uint32_t(
                std::int64_t(std::floor((Sim.clockMs + 1e-6 - origin) / GamePeriodMs)));
        };
        if (scene.oncePerFrame) {
            Sim.processes.at(game.processId).answerPeriodMs = GamePeriodMs;
            Sim.processes.at(game.processId).answerPhaseMs = origin;
        }
        FramePacing.pacing = Pacing::Smooth;
        StartViewer();
        Sim.foreground = game.window;
        const double start = Sim.clockMs;
        std::vector<std::pair<double, long>> ready;
        while (Sim.clockMs < start + RunMs) {
            Sim.calls.clear();
            EXPECT_TRUE(RenderPass());
            // The window thread presents the new rows as soon as they are handed over.
            if (FramePacing.sampledNewPicture) ready.push_back({Sim.clockMs, FrameShown()});
        }
        // The first second is left out (start-up).
        return CountAtDisplay(ready, start + 1000.0, start + RunMs, 1000.0 / scene.displayHz,
                              GamePeriodMs);
    }
};

TEST_F(SmoothPacing, EveryGameFrameReachesTheDisplay) {
    for (double displayHz : {60.0, 59.94}) {
        for (bool oncePerFrame : {false, true}) {
            for (double phase : {0.0, 0.25, 0.5, 0.75}) {
                const DisplayCount shown = Play(Scene{displayHz, oncePerFrame, phase});
                SCOPED_TRACE(testing::Message()
                             << displayHz << " Hz, "
                             << (oncePerFrame ? "once per frame" : "at once") << ", phase " << phase
                             << ": " << shown.frames << " frames, " << shown.skipped << " skipped, "
                             << shown.repeated << " repeated");
                EXPECT_GT(shown.frames, 1100);
                // At most 6 a minute, over the 19 seconds counted.
                EXPECT_LE(shown.skipped, 2);
                EXPECT_LE(shown.repeated, 2);
            }
        }
    }
}

} // namespace
