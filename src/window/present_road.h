// The road a presented picture takes to the screen: a Direct3D 11 flip-model swap chain
// ([display] present=auto, the default) or GDI (present=gdi, and wherever the flip road
// cannot be set up or fails later). Which road, what happens after a present, and the
// lines the log gets: pure logic, no platform calls; flip_presentation_win32.cpp acts on it.
#pragma once

enum class PresentSetting { Auto, Gdi };
enum class TearingSetting { Off, Allow };

// The steps of setting up the flip road, in order; the first that fails says why the
// window presents with GDI. Ready: every step succeeded.
enum class FlipStep {
    LoadDxgi,
    LoadD3d11,
    Device,
    SoftwareAdapter, // Windows' basic render driver draws on the CPU: GDI is cheaper
    Factory,
    Compiler,
    Shaders,
    SwapChain,
    Ready,
};

// How one present on the flip road ended.
enum class PresentOutcome { Shown, Occluded, DeviceLost, Failed };

// What the window thread does next.
enum class FlipAction {
    None,           // go on as the road says
    RecreateDevice, // make the device and swap chain anew, then report AfterRecreate
    MakeWindowAnew, // GDI draws nothing on a window that had a flip swap chain
};

enum class Road { Gdi, Flip, Broken };

// Threads: one per window thread, its own.
class PresentRoad {
  public:
    // The road for the setting, given the first flip step that failed (Ready: none).
    void Open(PresentSetting setting, FlipStep failed);
    FlipAction AfterPresent(PresentOutcome outcome);
    FlipAction AfterRecreate(bool made);
    // GDI on a window made anew.
    void WindowMadeAnew();

    Road road() const { return road_; }
    bool occluded() const { return occluded_; }
    // The line for the log about the latest change of road, once; null when there is none.
    const char* TakeLogLine() {
        const char* line = logLine_;
        logLine_ = nullptr;
        return line;
    }
    // The top line of the full meter: "flip", "flip, tearing" or "GDI".
    const char* Name(bool tearing) const;

  private:
    Road road_ = Road::Gdi;
    bool recreated_ = false;
    bool occluded_ = false;
    const char* logLine_ = nullptr;
};

// Present's sync interval and whether it tears: tearing only where the player allows it,
// the system supports it and the window covers its monitor (variable refresh engages only
// then); otherwise in step with the display.
struct FlipPresentMode {
    unsigned syncInterval = 1;
    bool allowTearing = false;
    bool operator==(const FlipPresentMode&) const = default;
};
FlipPresentMode ChooseFlipPresentMode(TearingSetting tearing, bool supported, bool coversMonitor);
