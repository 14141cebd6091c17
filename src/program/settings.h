// The player's settings: lumenpane.ini beside the viewer, read once at start-up into one
// record that the program hands to the layers below.
#pragma once

#include "frame/frame_meter.h"
#include "frame/pacing.h"
#include "frame/screenshots.h"
#include "game/monitor_choice.h"
#include "pixels/filter_table.h"
#include "window/display_fit.h"
#include "window/present_road.h"

#include <string>
#include <vector>

// Threads. Filled by the main thread before the viewer window opens and the render thread
// starts; each layer receives its values from ApplySettings and keeps no reference to it.
struct ViewerSettings {
    DisplayFit fit = DisplayFit::Stretch;
    DisplayScaling scaling = DisplayScaling::Nearest;
    Pacing pacing = Pacing::Fixed;
    PresentSetting present = PresentSetting::Auto;
    TearingSetting tearing = TearingSetting::Off;
    Meter meter = Meter::Fps;
    bool dpiAware = true;
    MonitorChoice monitor;
    int window = 1; // the framed window's multiple, or LargestFramedMultiple (framed_placement.h)
    ScreenshotKey screenshotKey = ScreenshotKey::F9;
    FilterCycle filterCycle = DefaultFilterCycle(); // F8's order
    int grid = MinGrid; // the largest grid the frame is made at (filter_work.h)
};

// Reads one key's value: the text after '=' (empty when the file or the key is missing).
using SettingReader = std::string (*)(const char* section, const char* key, void* context);

// Every key of lumenpane.ini through `read` (settings.cpp holds the table of keys, names,
// values and defaults). A missing file or key means the default and is no error; an unknown
// value means the default and appends one line naming it to logLines (for the monitor,
// followed by one line per monitor in `monitors`).
ViewerSettings InterpretSettings(SettingReader read, void* context,
                                 const std::vector<MonitorArea>& monitors,
                                 std::vector<std::string>* logLines);

// One key's value on its own, read as InterpretSettings reads it; logLine receives the line
// naming an unknown value, or is left empty.
DisplayFit InterpretFitValue(const char* value, std::string* logLine);
DisplayScaling InterpretScalingValue(const char* value, std::string* logLine);
Pacing InterpretPacingValue(const char* value, std::string* logLine);
// 1 (also for an empty value), 2 to 8, or largest (LargestFramedMultiple); anything else is
// 1, and logLine receives the line naming it.
int InterpretWindowValue(const char* value, std::string* logLine);
// The line naming a window value larger than the work area of the window's monitor holds, which
// works as largest, `opened` times; empty when the window opened at the multiple asked for.
std::string WindowBeyondWorkAreaLine(int asked, int opened);
// An empty value is primary; an unknown value, or a number no monitor in `monitors` has, is
// primary too, and logLines receives one line naming it followed by one line per monitor
// with its number and rectangle; otherwise logLines is left empty.
MonitorChoice InterpretMonitorValue(const char* value, const std::vector<MonitorArea>& monitors,
                                    std::vector<std::string>* logLines);

// settings_win32.cpp: lumenpane.ini beside the viewer's executable, its unknown values
// logged to lumenpane.log; and the values handed to the layers that use them.
ViewerSettings ReadSettings();
void ApplySettings(const ViewerSettings& settings);
