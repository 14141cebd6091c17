// What only Windows shows, proven on the simulated desktop: one row per mend, a name and a
// check that starts the viewer afresh.
#include "capture/print_worker.h"
#include "game/fullscreen.h"
#include "game/game_guard.h"
#include "lifecycle_fixture.h"
#include "program/settings.h"
#include "window/framed_placement.h"

namespace {

using Masks = std::vector<std::pair<ULONG, ULONG>>;
const Masks GivenBack{{PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION, 0}, {0, 0}};
constexpr RECT Primary{0, 0, 1920, 1080}, Second{1920, 0, 3840, 1080};
constexpr RECT Taskbar{0, 0, 1920, 1040}, Uhd{1920, 0, 5760, 2160}, UhdWork{1920, 0, 5760, 2120};

int Count(const char* call) {
    return int(SimCallsStartingWith(call).size());
}

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// The viewer started on these monitors with this choice and window size: its window's rectangle.
RECT StartOn(std::vector<SimMonitor> monitors, MonitorChoice choice = {}, int window = 1) {
    ResetViewer();
    ResetViewerPlacement();
    SetFramedMultiple(window);
    Sim.monitors = std::move(monitors);
    ViewerMonitor = choice;
    AttachGame();
    StartViewer();
    return SimWindowOf(SurfaceWindowHandle()).rect;
}

const std::pair<const char*, void (*)()> Mends[] = {
    {"timer exemption given, returned by the stop or by the guard after a kill",
     [] {
         for (const bool killed : {false, true}) {
             StartOn({});
             const DWORD game = TargetGame.processId, guard = Sim.nextProcessId - 1;
             if (killed) {
                 SimAfter(40, [] { SimEndProcess(Sim.currentProcessId, 1); });
                 SimAdoptInheritedHandles(guard);
                 GuardMain(Sim.processes.at(guard).commandLine.c_str());
             } else {
                 StopViewer();
             }
             EXPECT_EQ(Sim.processes.at(game).powerThrottling, GivenBack);
             EXPECT_EQ(Sim.processes.at(Sim.currentProcessId).powerThrottling, Masks{GivenBack[0]});
             EXPECT_TRUE(Sim.viewerLog.empty());
         }
     }},
    {"timer exemption missing or refused: one log line, nothing else",
     [] {
         for (const bool offered : {false, true}) {
             ResetViewer();
             Sim.processInformationOffered = Sim.refusesProcessInformation = offered;
             const SimGame game = AttachGame();
             StartViewer();
             StopViewer();
             EXPECT_EQ(Sim.viewerLog.size(), 1u);
             ExpectGameAsBefore(SimWindowOf(game.window));
         }
     }},
    {"before Windows 11 the timer is not throttled: nothing asked, no line",
     [] {
         ResetViewer();
         Sim.windowsBuild = 19045;
         AttachGame();
         StartViewer();
         StopViewer();
         EXPECT_TRUE(Sim.processes.at(Sim.currentProcessId).powerThrottling.empty());
         EXPECT_TRUE(Sim.viewerLog.empty());
     }},
    {"execution speed exempted from Windows 10 1709 in a call of its own, a refusal of either "
     "flag keeping the other, each named in one line; given back by the stop or the guard",
     [] {
         const ULONG speed = PROCESS_POWER_THROTTLING_EXECUTION_SPEED,
                     timer = PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION;
         for (const auto& [build, refused, killed, timerSet, speedSet, line] :
              {std::tuple{22631u, 0u, true, true, true, ""},
               {22631u, timer, false, false, true, "of timer resolution ("},
               {22631u, speed, false, true, false, "of execution speed ("},
               {19045u, 0u, false, false, true, ""},
               {15063u, 0u, false, false, false, ""}}) {
             ResetViewer();
             Sim.windowsBuild = build;
             Sim.refusedThrottlingFlags = refused;
             AttachGame();
             StartViewer();
             const DWORD game = TargetGame.processId, guard = Sim.nextProcessId - 1;
             for (const DWORD process : {game, Sim.currentProcessId}) {
                 EXPECT_EQ(Sim.processes.at(process).speedThrottling,
                           (speedSet ? Masks{{speed, 0}} : Masks{}));
                 EXPECT_EQ(Sim.processes.at(process).powerThrottling,
                           (timerSet ? Masks{{timer, 0}} : Masks{}));
             }
             EXPECT_EQ(Sim.viewerLog.size(), std::size_t(*line != 0));
             EXPECT_TRUE(!*line || Sim.viewerLog.at(0).find(line) != std::string::npos);
             if (killed) {
                 SimAfter(40, [] { SimEndProcess(Sim.currentProcessId, 1); });
                 SimAdoptInheritedHandles(guard);
                 GuardMain(Sim.processes.at(guard).commandLine.c_str());
             } else {
                 StopViewer();
             }
             const auto& given = Sim.processes.at(game).speedThrottling;
             const bool givenBack = !given.empty() && given.back() == std::pair<ULONG, ULONG>();
             EXPECT_EQ(givenBack, speedSet || timerSet);
         }
     }},
    {"a move, size or menu of the viewer's window, or the mouse held on it, keeps the "
     "foreground there; the game gets it the delay after the release, in each pacing",
     [] {
         for (const Pacing pacing : {Pacing::Fixed, Pacing::Smooth})
             for (const bool captured : {false, true}) {
                 StartOn({});
                 FramePacing.pacing = pacing;
                 RenderPass(); // the window as the first frame step leaves it
                 const HWND viewer = SurfaceWindowHandle();
                 Sim.foreground = viewer;
                 Sim.guiFlags = captured ? 0 : GUI_INMOVESIZE;
                 Sim.guiCapture = captured ? viewer : nullptr;
                 const double releasedAt = Sim.clockMs + 1000;
                 SimAt(releasedAt, [] { Sim.guiFlags = 0, Sim.guiCapture = nullptr; });
                 while (Sim.foreground == viewer && Sim.clockMs < releasedAt + 500) RenderPass();
                 const double handedAt = Sim.clockMs;
                 EXPECT_EQ(Sim.foreground, TargetGame.gameWindow);
                 EXPECT_GE(handedAt - releasedAt, 1000 * FocusHandOver::DelaySeconds);
                 EXPECT_LT(handedAt - releasedAt, 1000 * FocusHandOver::DelaySeconds + 40);
                 StopViewer();
             }
     }},
    {"smooth pacing: the print worker runs raised for its life; fixed: not raised",
     [] {
         for (const bool raised : {false, true}) {
             StartOn({});
             PrintWorkerRecord worker;
             worker.raised = raised;
             HDC dc = CreateCompatibleDC(nullptr);
             PrintThroughWorker(worker, TargetGame.gameWindow, dc, PrintJobProbe, 1000);
             StopPrintWorker(worker);
             DeleteDC(dc);
             EXPECT_EQ(Count("RaiseThreadForPacing") + Count("LowerThreadFromPacing"), raised * 2);
             StopViewer();
         }
     }},
    {"smooth pacing: the render thread raised, sleeping to each sample's moment; fixed: neither",
     [] {
         for (const Pacing pacing : {Pacing::Fixed, Pacing::Smooth}) {
             StartOn({});
             FramePacing.pacing = pacing;
             SimAfter(300, [] { TargetGame.running = 0; });
             RenderThread(nullptr);
             const bool smooth = pacing == Pacing::Smooth;
             EXPECT_EQ(Count("RaiseThreadForPacing") + Count("LowerThreadFromPacing"), smooth * 2);
             EXPECT_EQ(Count("SleepUntil") > 0, smooth);
             EXPECT_EQ(Count("SleepEx(17)") > 0, !smooth);
             StopViewer();
         }
     }},
    {"display kept on while shown, released when minimised and at the end",
     [] {
         StartOn({});
         std::vector<EXECUTION_STATE> seen;
         for (const bool minimised : {false, false, true, true, false}) {
             SimWindowOf(SurfaceWindowHandle()).minimised = minimised;
             RenderPass();
             seen.push_back(SetThreadExecutionState(0)); // reads the state
         }
         StopViewer();
         seen.push_back(SetThreadExecutionState(0));
         const EXECUTION_STATE on = ES_CONTINUOUS | ES_DISPLAY_REQUIRED, off = ES_CONTINUOUS;
         EXPECT_EQ(seen, (std::vector<EXECUTION_STATE>{on, on, off, off, on, off}));
         EXPECT_EQ(SimCallsStartingWith("SetThreadExecutionState").size(), 4u) << "changes only";
     }},
    {"framed window centred on its monitor at mixed scales, monitor lines in real pixels",
     [] {
         for (const auto& [dpi1, dpi2, number, home, width] :
              {std::tuple{96u, 144u, 2, Second, 960}, std::tuple{192u, 96u, 1, Primary, 1280},
               std::tuple{192u, 96u, 2, Second, 640}, std::tuple{144u, 192u, 2, Second, 1280}}) {
             const RECT r =
                 StartOn({{Primary, 1, dpi1}, {Second, 2, dpi2}}, {MonitorRule::Number, number});
             const int height = width * 3 / 4, x = (home.left + home.right - width) / 2,
                       y = (home.top + home.bottom - height) / 2;
             EXPECT_EQ(Text(r), Text({x, y, x + width + 6, y + height + 29}));
         }
         std::vector<std::string> lines;
         InterpretMonitorValue("9", SortedMonitors(), &lines);
         EXPECT_EQ(lines.back(), "lumenpane.ini: monitor 2 is 1920x1080 at (1920,0)");
     }},
    {"per-monitor v1: the client refitted after a scale change",
     [] {
         const RECT was = StartOn({{Primary, 1, 96}});
         Sim.monitors[0].dpi = 144; // v1 suggests 646x509 scaled, frame and all
         FollowWindowDpi(SurfaceWindowHandle(), {was.left, was.top, was.left + 969, was.top + 763},
                         144);
         EXPECT_EQ(Text(SimWindowOf(SurfaceWindowHandle()).rect),
                   Text({was.left, was.top, was.left + 966, was.top + 749}));
     }},
    {"a window of the player's size: that many frames at its monitor's scale, as many as fit "
     "the work area, centred in it; a size beyond it named in the log",
     [] {
         const SimMonitor bar{Primary, 1, 96, Taskbar}, tall{Primary, 1, 96, {0, 0, 1920, 980}};
         for (const auto& [monitors, window, width, logged] :
              {std::tuple{std::vector<SimMonitor>{{Primary, 1, 96}}, 2, 1280, false},
               {{bar}, LargestFramedMultiple, 1280, false},
               {{tall}, 2, 640, true},
               {{bar, {Uhd, 2, 96, UhdWork}}, LargestFramedMultiple, 2560, false},
               {{bar, {Uhd, 2, 192, UhdWork}}, 3, 2560, true}}) {
             const SimMonitor home = monitors.back();
             const RECT r = StartOn(monitors, {MonitorRule::Number, home.id}, window);
             const int w = width + 6, h = width * 3 / 4 + 29;
             const RECT& work = home.work.right ? home.work : home.rect;
             const int x = (work.left + work.right - w) / 2, y = (work.top + work.bottom - h) / 2;
             EXPECT_EQ(Text(r), Text({x, y, x + w, y + h})) << width;
             EXPECT_EQ(Sim.viewerLog.size(), std::size_t(logged));
         }
     }},
    {"a change of scale keeps that many frames, or scales a dragged size by the ratio",
     [] {
         StartOn({{Primary, 1, 96}}, {}, 2);
         const HWND window = SurfaceWindowHandle();
         std::string sizes;
         for (const UINT dpi : {144u, 96u}) {
             if (dpi == 96) SimWindowOf(window).rect = {10, 10, 916, 739}; // dragged to 900x700
             Sim.monitors[0].dpi = dpi;
             FollowWindowDpi(window, SimWindowOf(window).rect, dpi);
             sizes += Text(SimWindowOf(window).rect) + "; ";
         }
         EXPECT_EQ(sizes, "317,45 1926x1469; 10,10 606x496; "); // clients 1920x1440, 600x467
     }},
    {"a monitor that comes back is chosen again",
     [] {
         for (const MonitorRule rule : {MonitorRule::Number, MonitorRule::Game}) {
             StartOn({{Primary, 1}, {Second, 2}}, {rule, 2});
             SetWindowPos(SurfaceWindowHandle(), nullptr, 2200, 100, 646, 509, 0); // for `game`
             SetViewerFullscreen(1);
             std::string covered;
             for (const std::size_t connected : {1u, 2u}) {
                 Sim.monitors.resize(connected, {Second, 2});
                 NoteDisplayChange();
                 FollowDisplayChange();
                 covered += Text(SimWindowOf(SurfaceWindowHandle()).rect) + "; ";
             }
             EXPECT_EQ(covered, Text(Primary) + "; " + Text(Second) + "; ");
         }
     }},
};

TEST(WindowsMends, HoldOnTheSimulatedDesktop) {
    for (const auto& [name, check] : Mends) {
        SCOPED_TRACE(name);
        check();
    }
    ResetViewer();
}

} // namespace
