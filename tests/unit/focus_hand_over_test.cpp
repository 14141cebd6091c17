// The focus hand-over to the game: when the foreground is due, and who is in front for the
// hot keys while the game is still to take it.
#include "frame/focus_hand_over.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using Front = FocusHandOver::Front;

HWND Window(std::uintptr_t id) {
    return reinterpret_cast<HWND>(id);
}
const HWND None = nullptr;
const HWND Game = Window(0x10);
const HWND Viewer = Window(0x20);
const HWND Other = Window(0x30); // another program's window

constexpr double Seen = 1000.0; // Timer() when the viewer was seen in front
constexpr double HandedAt = Seen + FocusHandOver::DelaySeconds;

// Classifies with the foreground readings given in order; counts the readings taken.
struct Readings {
    HWND fronts[2];
    int taken = 0;
    Front ClassifyWith(FocusHandOver& handOver, double now) {
        return handOver.Classify([this] { return taken < 2 ? fronts[taken++] : (++taken, None); },
                                 Game, Viewer, now);
    }
};

TEST(FocusHandOver, TheForegroundIsDueAtItsDelayAfterTheViewerWasSeenInFront) {
    FocusHandOver handOver;
    EXPECT_FALSE(handOver.Due(Seen + 10.0));
    EXPECT_EQ(handOver.MsUntilDue(Seen), 0) << "nothing due: no wait";
    handOver.Begin(Seen);
    EXPECT_EQ(handOver.MsUntilDue(Seen), 150) << "the fixed pacing sleeps this long";
    handOver.Begin(Seen + 0.1); // seen in front again before the due time
    EXPECT_EQ(handOver.MsUntilDue(Seen + 0.1), 50);
    EXPECT_FALSE(handOver.Due(Seen + 0.149));
    EXPECT_TRUE(handOver.Due(HandedAt));
    EXPECT_EQ(handOver.MsUntilDue(Seen + 0.2), 0);

    handOver.Handed(HandedAt);
    EXPECT_FALSE(handOver.Due(HandedAt));
    // Seen in front once more, but giving the foreground fails: the first hand-over still
    // waits for the game, and nothing is due.
    handOver.Begin(HandedAt + 0.01);
    handOver.Failed();
    EXPECT_FALSE(handOver.Due(HandedAt + 1.0));
    Readings nobody{{None, None}};
    EXPECT_EQ(nobody.ClassifyWith(handOver, HandedAt + 0.1), Front::HandOver);
}

TEST(FocusHandOver, WhoIsInFrontForTheHotKeys) {
    constexpr Front Act = Front::GameOrViewer, Drop = Front::Other, Hold = Front::HandOver;
    struct Case {
        bool handedOver;    // the foreground was given to the game at HandedAt
        double after;       // seconds from HandedAt to the readings
        HWND first, second; // what the first and the second reading of the foreground find
        Front keys;         // the hot keys act, are dropped or are held for a later pass
        int taken;          // readings the classification takes
        Front then;         // a further pass at the same time with nobody in front
        const char* what;
    };
    // clang-format off
    const Case cases[] = {
        {false, 0.1,  Game,   None,   Act,  1, Drop, "no hand-over, the game in front"},
        {false, 0.1,  Viewer, Viewer, Act,  2, Drop, "no hand-over, the viewer in front"},
        {false, 0.1,  Other,  Other,  Drop, 2, Drop, "no hand-over, another program in front"},
        {false, 0.1,  None,   None,   Drop, 2, Drop, "no hand-over, nobody in front"},
        {false, 0.1,  None,   Game,   Drop, 2, Drop, "no hand-over, the game second only"},
        {true,  0.02, Game,   None,   Act,  1, Drop, "viewer clicked, the game takes the front"},
        {true,  0.1,  None,   None,   Hold, 2, Hold, "viewer clicked, the game not yet in front"},
        {true,  0.1,  None,   Game,   Act,  2, Drop, "the game took the front between readings"},
        {true,  0.25, None,   None,   Act,  1, Act,  "the game late: the keys act without it"},
        {true,  5.0,  None,   None,   Act,  1, Act,  "nobody in front during a hang"},
        {true,  0.1,  Other,  Other,  Drop, 2, Drop, "another program in front"},
        {true,  0.1,  None,   Other,  Drop, 2, Drop, "another program between the readings"},
        {true,  0.1,  Viewer, Viewer, Act,  2, Drop, "the viewer in front again"},
        {true,  0.1,  Other,  Game,   Drop, 2, Drop, "another program, then the game"},
    };
    // clang-format on
    for (const Case& c : cases) {
        FocusHandOver handOver;
        if (c.handedOver) {
            handOver.Begin(Seen);
            handOver.Handed(HandedAt);
        }
        const double now = HandedAt + c.after;
        Readings readings{{c.first, c.second}};
        EXPECT_EQ(readings.ClassifyWith(handOver, now), c.keys) << c.what;
        EXPECT_EQ(readings.taken, c.taken) << c.what;
        Readings nobody{{None, None}};
        EXPECT_EQ(nobody.ClassifyWith(handOver, now), c.then) << c.what << ", then nobody";
    }
}

} // namespace
