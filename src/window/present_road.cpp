#include "window/present_road.h"

namespace {

// Why the flip road could not be set up, one line per step.
const char* const FlipStepLines[] = {
    "present: dxgi.dll could not be loaded, presenting with GDI",
    "present: d3d11.dll could not be loaded, presenting with GDI",
    "present: no Direct3D 11 device could be made, presenting with GDI",
    "present: the adapter draws in software, presenting with GDI",
    "present: DXGI offers no flip-model swap chains here, presenting with GDI",
    "present: d3dcompiler_47.dll could not be loaded, presenting with GDI",
    "present: the shaders could not be compiled, presenting with GDI",
    "present: no flip-model swap chain could be made for the window, presenting with GDI",
};
static_assert(sizeof FlipStepLines / sizeof *FlipStepLines == int(FlipStep::Ready));

} // namespace

void PresentRoad::Open(PresentSetting setting, FlipStep failed) {
    recreated_ = false;
    occluded_ = false;
    logLine_ = nullptr;
    if (setting == PresentSetting::Gdi) {
        road_ = Road::Gdi;
        return;
    }
    road_ = failed == FlipStep::Ready ? Road::Flip : Road::Gdi;
    if (failed != FlipStep::Ready) logLine_ = FlipStepLines[int(failed)];
}

FlipAction PresentRoad::AfterPresent(PresentOutcome outcome) {
    if (road_ != Road::Flip) return FlipAction::None;
    occluded_ = outcome == PresentOutcome::Occluded;
    switch (outcome) {
    case PresentOutcome::Shown:
    case PresentOutcome::Occluded:
        return FlipAction::None;
    case PresentOutcome::DeviceLost:
        if (!recreated_) {
            recreated_ = true;
            return FlipAction::RecreateDevice;
        }
        logLine_ = "present: the Direct3D device was lost again, presenting with GDI on a new "
                   "window";
        break;
    case PresentOutcome::Failed:
        logLine_ = "present: a flip present failed, presenting with GDI on a new window";
        break;
    }
    road_ = Road::Broken;
    return FlipAction::MakeWindowAnew;
}

FlipAction PresentRoad::AfterRecreate(bool made) {
    if (road_ != Road::Flip) return FlipAction::None;
    if (made) {
        logLine_ = "present: the Direct3D device was lost and made anew";
        return FlipAction::None;
    }
    logLine_ = "present: the Direct3D device could not be made anew, presenting with GDI on a "
               "new window";
    road_ = Road::Broken;
    return FlipAction::MakeWindowAnew;
}

void PresentRoad::WindowMadeAnew() {
    road_ = Road::Gdi;
    occluded_ = false;
}

const char* PresentRoad::Name(bool tearing) const {
    if (road_ != Road::Flip) return "GDI";
    return tearing ? "flip, tearing" : "flip";
}

FlipPresentMode ChooseFlipPresentMode(TearingSetting tearing, bool supported, bool coversMonitor) {
    if (tearing == TearingSetting::Allow && supported && coversMonitor) return {0, true};
    return {1, false};
}
