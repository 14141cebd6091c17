// When the window thread waits for the display's refresh and when it keeps its 10 ms cadence.
#include "window/present_cadence.h"

#include <gtest/gtest.h>

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

} // namespace
