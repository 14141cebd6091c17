// Which monitor the viewer covers and first centres on, and how it follows display changes.
#include "viewer_fixture.h"

#include "game/monitor_choice.h"
#include "program/settings.h"
#include "window/dpi_awareness.h"

#include <string>
#include <vector>

namespace {

constexpr RECT Primary{0, 0, 1920, 1080};
constexpr RECT Right{1920, 0, 3200, 1024};            // beside the primary, on its right
constexpr RECT Left{-1280, 56, 0, 1080};              // beside the primary, on its left
constexpr RECT Above{0, -1024, 1280, 0};              // same left edge as the primary, above it
constexpr RECT GameMostlyRight{1800, 100, 2446, 612}; // 120 columns on the primary

struct ChoiceCase {
    std::vector<RECT> monitors; // the primary first
    const char* value;
    RECT covered;   // full screen after start-up, and where the framed window is centred
    RECT afterMove; // F6 once the framed window was moved onto the primary
    std::size_t logLines;
};

const ChoiceCase ChoiceCases[] = {
    {{Primary, Right}, "", Primary, Primary, 0},
    {{Primary, Right}, " Primary ", Primary, Primary, 0},
    {{Primary, Right}, "game", Right, Primary, 0},
    {{Primary, Right}, "2", Right, Right, 0},
    {{Primary, Right}, "1", Primary, Primary, 0},
    {{Primary, Left}, "1", Left, Left, 0}, // counted from the left edge, not Windows' order
    {{Primary, Left}, "2", Primary, Primary, 0},
    {{Primary, Above}, "1", Above, Above, 0}, // same left edge: the upper one first
    {{Primary, Right}, "3", Primary, Primary, 3},
    {{Primary, Right}, "0", Primary, Primary, 3},
    {{Primary, Right}, "second", Primary, Primary, 3},
    {{Primary}, "game", Primary, Primary, 0}, // the game's rectangle off the only monitor
};

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

class MonitorChoiceOnSim : public ViewerOnSim {
  protected:
    void SetMonitors(const std::vector<RECT>& rects) {
        Sim.monitors.clear();
        for (std::size_t i = 0; i < rects.size(); ++i)
            Sim.monitors.push_back(SimMonitor{rects[i], int(i) + 1});
    }
    RECT ViewerRect() { return SimWindowOf(Viewer()).rect; }
    // Start-up as the main thread does it: the choice read, the window opened on its home,
    // full screen a second later.
    void StartOn(const char* value, std::vector<std::string>* lines) {
        ViewerMonitor = InterpretMonitorValue(value, SortedMonitors(), lines);
        PlanFramedWindowHome();
        ReopenViewerSurface(640, 480);
        framed = ViewerRect();
        SetViewerFullscreen(1, MonitorUse::GameStart);
    }
    RECT framed{};
};

TEST_F(MonitorChoiceOnSim, FullScreenAndTheFirstPlacementFollowTheChoice) {
    for (const ChoiceCase& c : ChoiceCases) {
        SCOPED_TRACE(std::string("monitor=") + c.value + " over " +
                     std::to_string(c.monitors.size()));
        SetMonitors(c.monitors);
        TargetGame.savedRect = GameMostlyRight;
        std::vector<std::string> lines;
        StartOn(c.value, &lines);
        EXPECT_EQ(lines.size(), c.logLines);
        EXPECT_TRUE(Same(ViewerRect(), c.covered)) << Text(ViewerRect());
        EXPECT_EQ(framed.left + framed.right - 6, c.covered.left + c.covered.right)
            << "the framed window centred on " << Text(framed);

        SetViewerFullscreen(0);
        EXPECT_TRUE(Same(ViewerRect(), framed)) << Text(ViewerRect());
        SetWindowPos(Viewer(), nullptr, 100, 100, 646, 509, 0);
        SetViewerFullscreen(1);
        EXPECT_TRUE(Same(ViewerRect(), c.afterMove)) << Text(ViewerRect());
        SetViewerFullscreen(0);
    }
}

TEST_F(MonitorChoiceOnSim, ADisplayChangeIsAppliedByTheNextFrame) {
    SetMonitors({Primary, Right});
    StartOn("2", nullptr);
    Frame(); // the first frame opens the surface anew at the game's size
    const RECT saved = framed;

    // Another resolution on the monitor covered: the window follows at the next frame.
    Sim.monitors[1].rect = RECT{1920, 0, 2944, 768};
    Frame();
    EXPECT_TRUE(Same(ViewerRect(), Right)) << "nothing changes before the window hears of it";
    NoteDisplayChange();
    Frame();
    EXPECT_TRUE(Same(ViewerRect(), Sim.monitors[1].rect)) << Text(ViewerRect());
    EXPECT_TRUE(SimWindowOf(Viewer()).topmost);

    // The monitor removed: the nearest one is covered, and the framed placement comes back on
    // a monitor.
    Sim.monitors.pop_back();
    NoteDisplayChange();
    Frame();
    EXPECT_TRUE(Same(ViewerRect(), Primary)) << Text(ViewerRect());
    SetViewerFullscreen(0);
    const RECT back = ViewerRect();
    EXPECT_EQ(back.right - back.left, saved.right - saved.left);
    EXPECT_EQ(back.right, Primary.right) << Text(back);
    EXPECT_EQ(back.top, saved.top);

    // A framed window left off every monitor moves onto the nearest; one on a monitor stays.
    SetMonitors({Primary, Right});
    SetWindowPos(Viewer(), nullptr, 2500, 300, 646, 509, 0);
    NoteDisplayChange();
    Frame();
    EXPECT_TRUE(Same(ViewerRect(), RECT{2500, 300, 3146, 809}));
    Sim.monitors.pop_back();
    NoteDisplayChange();
    Frame();
    EXPECT_TRUE(Same(ViewerRect(), RECT{1274, 300, 1920, 809})) << Text(ViewerRect());

    // Going full screen again saves the framed placement anew, and coming back restores it.
    SetViewerFullscreen(1);
    SetViewerFullscreen(0);
    EXPECT_TRUE(Same(ViewerRect(), RECT{1274, 300, 1920, 809})) << Text(ViewerRect());
}

// Display scaling: the process stays unaware, the viewer's window alone is per-monitor aware.
// Two monitors of 1920x1080 real pixels side by side, at the scales given. Rectangles are in
// the viewer window's own coordinates: real pixels where it is aware, else the 96-DPI ones.
struct DpiCase {
    UINT primaryDpi, secondDpi;
    const char* monitor;
    bool offered, refusesV2, dpiAware; // contexts offered, v2 refused (Wine 8), dpi=aware
    bool windowAware;
    RECT covered;
    int clientWidth, clientHeight;
};

const DpiCase DpiCases[] = {
    {96, 96, "primary", true, false, true, true, {0, 0, 1920, 1080}, 640, 480},
    {144, 96, "primary", true, false, true, true, {0, 0, 1920, 1080}, 960, 720},
    {192, 96, "primary", true, false, true, true, {0, 0, 1920, 1080}, 1280, 960},
    {192, 192, "primary", true, true, true, true, {0, 0, 1920, 1080}, 1280, 960},
    {96, 144, "2", true, false, true, true, {1920, 0, 3840, 1080}, 960, 720},
    {144, 192, "2", true, false, true, true, {1920, 0, 3840, 1080}, 1280, 960},
    {192, 144, "game", true, false, true, true, {0, 0, 1920, 1080}, 1280, 960},
    // Unaware as before: Windows shows the window scaled up, in 96-DPI coordinates.
    {192, 96, "primary", true, false, false, false, {0, 0, 960, 540}, 640, 480},
    {144, 96, "primary", false, false, true, false, {0, 0, 1280, 720}, 640, 480},
};

TEST_F(MonitorChoiceOnSim, TheViewerWindowAloneFollowsTheDisplayScale) {
    std::vector<std::uint32_t> pictureAt100;
    for (const DpiCase& c : DpiCases) {
        SCOPED_TRACE(testing::Message() << c.primaryDpi << "/" << c.secondDpi
                                        << " monitor=" << c.monitor << " offered=" << c.offered
                                        << " refusesV2=" << c.refusesV2 << " aware=" << c.dpiAware);
        Sim.monitors = {SimMonitor{Primary, 1, c.primaryDpi},
                        SimMonitor{RECT{1920, 0, 3840, 1080}, 2, c.secondDpi}};
        Sim.dpiContextsOffered = c.offered;
        Sim.refusesPerMonitorV2 = c.refusesV2;
        SetSurfaceDpiAware(c.dpiAware);
        std::vector<std::string> lines;
        StartOn(c.monitor, &lines);
        EXPECT_TRUE(lines.empty());
        EXPECT_EQ(SimWindowOf(Viewer()).perMonitorAware, c.windowAware);
        EXPECT_TRUE(Same(ViewerRect(), c.covered)) << Text(ViewerRect());
        EXPECT_EQ(framed.right - framed.left - 6, c.clientWidth) << Text(framed);
        EXPECT_EQ(framed.bottom - framed.top - 29, c.clientHeight) << Text(framed);

        const std::string g = SimHandleText(game);
        const std::size_t before = SimCallsStartingWith("SetWindowPos(" + g).size() +
                                   SimCallsStartingWith("MoveWindow(" + g).size();
        for (int pass = 0; pass < 3; ++pass) RenderPass();
        SetViewerFullscreen(0); // F6 and back, from the render thread
        EXPECT_TRUE(Same(ViewerRect(), framed)) << Text(ViewerRect());
        SetViewerFullscreen(1);
        EXPECT_TRUE(Same(ViewerRect(), c.covered)) << Text(ViewerRect());
        NoteDisplayChange();
        for (int pass = 0; pass < 3; ++pass) RenderPass();
        EXPECT_TRUE(Same(ViewerRect(), c.covered)) << Text(ViewerRect());
        EXPECT_FALSE(SimThreadPerMonitorAware()) << "the switches gave the thread its context back";

        // The game as at 100 %: parked where it was, printed alike, given back exactly.
        const std::size_t after = SimCallsStartingWith("SetWindowPos(" + g).size() +
                                  SimCallsStartingWith("MoveWindow(" + g).size();
        EXPECT_LE(after - before, 1u) << "park requests";
        EXPECT_TRUE(Same(SimWindowOf(game).rect, RECT{30000, 30000, 30646, 30512}));
        if (pictureAt100.empty()) pictureAt100 = FrameBuffer();
        EXPECT_TRUE(FrameBuffer() == pictureAt100);
        RestoreGameWindow();
        EXPECT_TRUE(Same(SimWindowOf(game).rect, TargetGame.savedRect))
            << Text(SimWindowOf(game).rect);
        SetViewerFullscreen(0);
        SetWindowPos(game, nullptr, 30000, 30000, 646, 512, 0);
    }
}

} // namespace
