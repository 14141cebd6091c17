// The schedule that follows the game's frames, run against a model of a game, its prints and
// a display, and judged at presentation: which game frames never reached the screen and
// which stayed on it for two game periods or more.
#include "frame/pacing.h"
#include "program/settings.h"

#include "display_count.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Scene {
    double gameHz;     // 0: the picture never changes
    bool oncePerFrame; // prints are answered when the game's loop next runs, not at once
    double displayHz;
    double phase; // of the game's frames against the viewer's start, in game periods
};

constexpr double PrintSeconds = 0.0004; // the print itself
constexpr double WorkSeconds = 0.0006;  // converting, filtering and handing the rows over
constexpr double WakeSeconds = 0.0005;  // a sleep ends this late
constexpr double RunSeconds = 60.0;

struct Outcome {
    int frames = 0, skipped = 0, repeated = 0, samples = 0;
};

Outcome Play(const Scene& scene) {
    const double start = 1000.0;
    const double period = scene.gameHz > 0 ? 1.0 / scene.gameHz : 0;
    const double origin = start + scene.phase * period;
    // The frame on show at `t`, and when the game's loop next runs at or after `t`.
    const auto frameAt = [&](double t) {
        return period > 0 ? long(std::floor((t - origin) / period)) : 0L;
    };
    const auto nextLoop = [&](double t) {
        return period > 0 ? origin + std::ceil((t - origin) / period) * period : t;
    };

    GameFrameSchedule schedule;
    std::vector<std::pair<double, long>> ready; // when a new picture reached the frame buffer
    long lastFrame = -1000000;
    Outcome outcome;
    for (double now = start; now < start + RunSeconds;) {
        now = schedule.NextSample(now) + WakeSeconds;
        const double served = scene.oncePerFrame ? nextLoop(now) : now;
        const double ended = served + PrintSeconds;
        const long frame = frameAt(served + 1e-7); // the frame drawn at a loop is the new one
        const bool fresh = frame != lastFrame;
        schedule.Sampled(now, ended, fresh);
        ++outcome.samples;
        now = ended;
        if (fresh) {
            now += WorkSeconds;
            ready.push_back({now, frame});
            lastFrame = frame;
        }
    }

    // The first and last second are left out (start-up, and frames still to come).
    if (period == 0) return outcome;
    const DisplayCount shown =
        CountAtDisplay(ready, start + 1.0, start + RunSeconds - 1.0, 1.0 / scene.displayHz, period);
    outcome.frames = shown.frames;
    outcome.skipped = shown.skipped;
    outcome.repeated = shown.repeated;
    return outcome;
}

TEST(GameFrameSchedule, EveryFrameOfASixtyHertzGameReachesTheScreen) {
    for (double displayHz : {60.0, 59.94}) {
        for (bool oncePerFrame : {false, true}) {
            for (int phase = 0; phase < 8; ++phase) {
                const Scene scene{60.0, oncePerFrame, displayHz, phase / 8.0};
                const Outcome o = Play(scene);
                SCOPED_TRACE(testing::Message()
                             << "display " << displayHz << " Hz, "
                             << (oncePerFrame ? "once per frame" : "at once") << ", phase " << phase
                             << "/8: " << o.frames << " frames, " << o.skipped << " skipped, "
                             << o.repeated << " repeated, " << o.samples << " samples");
                EXPECT_GT(o.frames, 3400);
                EXPECT_LE(o.skipped, 6);
                EXPECT_LE(o.repeated, 6);
                // About one print per frame: the work follows the game, not the sampling.
                EXPECT_LE(o.samples, int(1.15 * 60 * RunSeconds));
            }
        }
    }
}

TEST(GameFrameSchedule, SlowerAndFrozenGames) {
    struct Case {
        double gameHz;
        int maxSamplesPerSecond;
    };
    // A slower game is followed without skips, at the cost of extra prints around each late
    // change; a frozen one costs one print a period.
    for (const Case& c : {Case{50.0, 90}, Case{30.0, 130}, Case{0.0, 62}}) {
        for (bool oncePerFrame : {false, true}) {
            const Outcome o = Play(Scene{c.gameHz, oncePerFrame, 60.0, 0.3});
            SCOPED_TRACE(testing::Message() << c.gameHz << " Hz, " << o.samples << " samples");
            EXPECT_EQ(o.skipped, 0);
            EXPECT_LE(o.samples, c.maxSamplesPerSecond * int(RunSeconds));
        }
    }
}

TEST(GameFrameSchedule, PassesAreNeverBackToBackAndAnOverrunMovesOn) {
    GameFrameSchedule schedule;
    double now = 5.0;
    double previous = schedule.NextSample(now);
    for (int i = 0; i < 200; ++i) {
        const double next = schedule.NextSample(now);
        EXPECT_GE(next, now + GameFrameSchedule::MinimumGap - 1e-12);
        // Every seventh pass overruns by 40 ms; the others find a new picture at once.
        now = next + (i % 7 == 0 ? 0.040 : 0.001);
        schedule.Sampled(next, now, true);
        EXPECT_GT(next, previous);
        previous = next;
    }
}

TEST(Pacing, ValuesReadFromTheFile) {
    std::string line = "stale";
    EXPECT_EQ(InterpretPacingValue(nullptr, &line), Pacing::Fixed);
    EXPECT_EQ(InterpretPacingValue(" Fixed ", &line), Pacing::Fixed);
    EXPECT_EQ(InterpretPacingValue("SMOOTH\t", &line), Pacing::Smooth);
    EXPECT_EQ(line, "");
    EXPECT_EQ(InterpretPacingValue("vsync", &line), Pacing::Fixed);
    EXPECT_EQ(line, "lumenpane.ini: unknown pacing \"vsync\" in [display], using fixed");
}

} // namespace
