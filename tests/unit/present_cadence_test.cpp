// When the window thread waits for the display's refresh and when it keeps its 10 ms cadence.
#include "window/present_cadence.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

struct Wait {
    bool succeeded;
    double tookMs;
};

struct Case {
    const char* name;
    std::vector<Wait> waits; // one every 10 ms from time 0
    bool waitsAfter;         // right after the last one
    bool waitsSecondLater;   // a second after the last one
};

TEST(PresentCadence, FollowsWhatTheWaitsDo) {
    const Case cases[] = {
        {"a display refreshing", {{true, 16}, {true, 7}, {true, 16}}, true, true},
        {"one quick return (a refresh just due)", {{true, 16}, {true, 0.5}}, true, true},
        {"quick twice in a row (Wine)", {{true, 0.1}, {true, 0.1}}, false, true},
        {"quick, slow, quick", {{true, 0.1}, {true, 16}, {true, 0.1}}, true, true},
        {"a failure", {{true, 16}, {false, 0}}, false, true},
        {"back after a retry", {{false, 0}, {true, 16}}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PresentCadence cadence;
        EXPECT_FALSE(cadence.WaitForRefresh(0)) << "only with the smooth pacing";
        cadence.inStep = true;
        double now = 0;
        for (const Wait& wait : c.waits) {
            now += 0.010;
            cadence.Waited(wait.succeeded, wait.tookMs / 1000, now);
        }
        EXPECT_EQ(cadence.WaitForRefresh(now + 0.001), c.waitsAfter);
        EXPECT_EQ(cadence.WaitForRefresh(now + PresentCadence::RetrySeconds), c.waitsSecondLater);
    }
}

// The window thread's loop against a compositor of each refresh rate, with passes of each
// length between two waits: a compositor that waits must be followed at every refresh, one
// that returns at once must be left for the 10 ms cadence within a few waits.
TEST(PresentCadence, JudgesTheWaitByTheRefreshPeriod) {
    for (const double hz : {60.0, 59.94, 144.0, 240.0, 360.0}) {
        for (const double passMs : {0.5, 1.0, 2.0, 3.0}) {
            SCOPED_TRACE(testing::Message() << hz << " Hz, passes of " << passMs << " ms");
            const double period = 1.0 / hz, pass = passMs / 1000;
            PresentCadence waits, returnsAtOnce;
            waits.inStep = returnsAtOnce.inStep = true;
            double now = 5.0, quick = 5.0;
            int followed = 0;
            for (int i = 0; i < 600; ++i) {
                // The refresh after the pass, and the compositor's own delay of 0.1-0.4 ms.
                const double start = now + pass * (1 + (i % 3) / 10.0);
                const double refresh = std::ceil(start / period) * period + 0.0001 * (1 + i % 4);
                waits.Waited(true, refresh - start, refresh, period);
                EXPECT_TRUE(waits.WaitForRefresh(refresh)) << "wait " << i;
                now = refresh;
                quick += pass * (1 + (i % 3) / 10.0) + 0.00005;
                if (returnsAtOnce.WaitForRefresh(quick)) {
                    returnsAtOnce.Waited(true, 0.00005, quick, period);
                    ++followed;
                }
            }
            // Three waits before the first doubt is confirmed, and three each retry a second on.
            EXPECT_LE(followed, 3 * (1 + int(quick - 5.0))) << "over " << quick - 5.0 << " s";
        }
    }
}

// A frozen game leaves the smooth pacing waiting for rows alone, whatever the display does.
TEST(PresentCadence, WaitsForTheRefreshOnlyAfterAPicture) {
    using Next = PresentCadence::Next;
    // inStep, shownLast, minimised, a failed refresh wait before: the wait
    const std::tuple<bool, bool, bool, bool, Next> rows[] = {
        {1, 0, 0, 0, Next::RowsWhileIdle}, {1, 0, 1, 1, Next::RowsWhileIdle},
        {1, 1, 0, 0, Next::Refresh},       {1, 1, 1, 0, Next::RowsOrCadence},
        {1, 1, 0, 1, Next::RowsOrCadence}, {0, 0, 0, 0, Next::Cadence},
        {0, 1, 0, 0, Next::Cadence}};
    for (const auto& [inStep, shownLast, minimised, failed, next] : rows) {
        PresentCadence cadence;
        cadence.inStep = inStep;
        if (failed) cadence.Waited(false, 0, 1.0);
        EXPECT_EQ(cadence.NextWait(shownLast, minimised, 1.5), next)
            << inStep << shownLast << minimised << failed;
    }
}

} // namespace
