// A running viewer on the simulated desktop, as start-up leaves it: the game's main window
// with its render window, TargetGame filled in, the surface open with its window in front.
//
// The stand-in game here behaves as the frame step expects of the real one: its render
// window shows a frozen 320x240 frame 2 pixels in from its corner, doubled (644x484 window)
// or single size (324x244 window), and F5 switches between the two.
#pragma once

#include "capture/capture.h"
#include "frame/frame_step.h"
#include "frame_records_reset.h"
#include "game/fullscreen.h"
#include "game/target_game.h"
#include "pixels/image.h"
#include "platform/game_contract.h"
#include "program/viewer.h"
#include "sim_desktop.h"
#include "target_game_reset.h"
#include "window/surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

inline void ResetViewerRecords() {
    ResetFrameRecords();
    ResetViewerPlacement();
    ResetTargetGame();
    TargetGame.title = "Demo";
}

// The frozen frame of the stand-in game: a pattern with edges and flat areas, so that both
// filters have work to do, in opaque colours.
inline std::uint32_t FramePixel(int x, int y) {
    const bool stripe = ((x / 7) + (y / 5)) % 3 == 0;
    const bool diagonal = (x + y) % 23 < 4;
    const std::uint32_t r = stripe ? 0xE0 : std::uint32_t(x * 3 % 256);
    const std::uint32_t g = diagonal ? 0x20 : std::uint32_t(y * 5 % 256);
    const std::uint32_t b = std::uint32_t((x ^ y) & 0xC0);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

constexpr std::uint32_t GameBorder = 0xFF202020u;

class ViewerOnSim : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetSim();
        ResetViewerRecords();
        gameProcess = SimAddProcess("rpg_rt.exe");
        game = SimAddWindow(GameWindowClass, "Demo", RECT{30000, 30000, 30646, 30512}, gameProcess);
        render = SimAddWindow("TPanel", "", RECT{30000, 30000, 30644, 30484}, gameProcess, game);
        ShowGameFrame(true);
        Sim.onKeyEvent = [this](BYTE key, DWORD flags) {
            if (key == VK_F5 && flags == KEYEVENTF_KEYUP) ShowGameFrame(!doubled);
        };
        TargetGame.gameWindow = game;
        TargetGame.processId = gameProcess;
        TargetGame.savedRect = RECT{100, 60, 746, 572};
        SetSurfaceTitle("Demo");
        OpenSurface(640, 480, 32, 1, 68, 0);
        HideMouse();
        TargetGame.running = 1;
        Sim.calls.clear();
    }
    void TearDown() override {
        ResetViewerRecords();
        CloseSurface();
    }

    // The render window at the doubled or the single size, showing the frozen frame.
    void ShowGameFrame(bool doubledSize) {
        doubled = doubledSize;
        const int scale = doubled ? 2 : 1;
        const int width = 320 * scale + 4, height = 240 * scale + 4;
        SimWindow& w = SimWindowOf(render);
        w.rect.right = w.rect.left + width;
        w.rect.bottom = w.rect.top + height;
        w.picture.assign(std::size_t(width) * height, GameBorder);
        for (int y = 0; y < 240 * scale; ++y)
            for (int x = 0; x < 320 * scale; ++x)
                w.picture[std::size_t(y + 2) * width + x + 2] = FramePixel(x / scale, y / scale);
    }

    HWND Viewer() const { return SurfaceWindowHandle(); }

    static std::uint32_t FrameBufferPixel(int x, int y) {
        std::uint32_t value;
        std::memcpy(&value, static_cast<std::uint8_t*>(SurfacePixels()) + y * 2560 + x * 4, 4);
        return value;
    }
    static std::vector<std::uint32_t> FrameBuffer() {
        std::vector<std::uint32_t> pixels(640 * 480);
        std::memcpy(pixels.data(), SurfacePixels(), pixels.size() * 4);
        return pixels;
    }
    // The frozen frame as 320x240 packed pixels, and doubled as 640x480.
    static std::vector<std::uint32_t> SingleFrame() {
        std::vector<std::uint32_t> pixels(320 * 240);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) pixels[std::size_t(y) * 320 + x] = FramePixel(x, y);
        return pixels;
    }
    static std::vector<std::uint32_t> DoubledFrame() {
        std::vector<std::uint32_t> pixels(640 * 480);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                pixels[std::size_t(y) * 640 + x] = FramePixel(x / 2, y / 2);
        return pixels;
    }

    // One pass of the render loop as far as the frame step is concerned: the pacing sleep,
    // then the frame.
    static void Frame() {
        SleepMs(17);
        RenderFrame();
    }
    static int Count(const char* call) { return int(SimCallsStartingWith(call).size()); }

    DWORD gameProcess = 0;
    HWND game = nullptr;
    HWND render = nullptr;
    bool doubled = true;
};
