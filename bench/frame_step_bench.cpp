// One frame step per filter mode on the simulated desktop: capture of a 644x484 or 324x244
// render window, the picture, and the overlay when one shows. The simulated print is a plain
// copy, so the numbers are the viewer's own work per frame (at 60 frames a second a frame
// step has well under 16 ms).
#include "capture/capture.h"
#include "frame/frame_step.h"
#include "game/target_game.h"
#include "pixels/hq2x.h"
#include "pixels/image.h"
#include "platform/game_contract.h"
#include "sim_desktop.h"
#include "window/surface.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void SetUpViewer(FilterMode mode, bool counter) {
    MakeFilterTables();
    ResetSim();
    FrameState = FrameStateRecord{};
    CaptureState = CaptureStateRecord{};
    const int scale = mode == FilterOff ? 2 : 1;
    const int width = 320 * scale + 4, height = 240 * scale + 4;
    HWND game = SimAddWindow(GameWindowClass, "Demo", RECT{30000, 30000, 30646, 30512});
    HWND render =
        SimAddWindow("TPanel", "", RECT{30000, 30000, 30000 + width, 30000 + height}, 0, game);
    SimWindow& w = SimWindowOf(render);
    w.picture.resize(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            w.picture[std::size_t(y) * width + x] =
                0xFF000000u | std::uint32_t((x / 8 * 37) ^ (y / 8 * 91)) * 0x010203u;
    TargetGame.gameWindow = game;
    TargetGame.running = 1;
    TargetGame.currentWidth = TargetGame.currentHeight = 0;
    OpenSurface(640, 480, 32, 1, NoModeSwitch | AlphaPrimitives, 0);
    FrameState.filterMode = mode;
    FrameState.fpsOverlayOn = counter;
    RenderFrame(); // the first frame reopens the surface and makes the work images
}

void TearDownViewer() {
    for (Image* image :
         {FrameState.captureImage, FrameState.smallArgbImage, FrameState.largeArgbImage,
          FrameState.smallRgb565Image, FrameState.largeRgb565Image, OverlayImages.backing})
        if (image) DestroyImage(image);
    FrameState = FrameStateRecord{};
    TargetGame.running = 0;
    CloseSurface();
}

void FrameStep(benchmark::State& state) {
    SetUpViewer(FilterMode(state.range(0)), state.range(1) != 0);
    int frames = 0;
    for (auto _ : state) {
        RenderFrame();
        if (++frames % 1024 == 0) {
            state.PauseTiming();
            Sim.calls.clear(); // the simulation's call log, not the viewer's memory
            state.ResumeTiming();
        }
    }
    TearDownViewer();
}

} // namespace

BENCHMARK(FrameStep)
    ->ArgNames({"mode", "counter"})
    ->Args({FilterOff, 0})
    ->Args({FilterScale2x, 0})
    ->Args({FilterHq2x, 0})
    ->Args({FilterHq2x, 1})
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
