// Reads the display settings from lumenpane.ini beside the viewer, once at start-up.
#include "viewer/lifecycle/display_settings.h"

#include "platform/win32.h"
#include "viewer/lifecycle/game/monitor_choice.h"
#include "viewer/pipeline/frame_step.h"
#include "viewer/surface/display_fit.h"
#include "viewer/surface/dpi_awareness.h"
#include "viewer/surface/setting_choice.h"
#include "viewer/surface/surface.h"
#include "viewer/surface/viewer_log.h"

#include <string>
#include <vector>

void ReadDisplaySettings() {
    // The full path: given a bare name, the profile reader would look in the Windows folder.
    char path[MAX_PATH];
    if (!PathBesideViewer("lumenpane.ini", path, sizeof path)) return;

    char value[256] = {};
    GetPrivateProfileStringA("display", "fit", "", value, sizeof value, path);
    std::string logLine;
    SetSurfaceFit(InterpretFitValue(value, &logLine));
    if (!logLine.empty()) AppendViewerLog(logLine.c_str());

    GetPrivateProfileStringA("display", "scaling", "", value, sizeof value, path);
    SetSurfaceScaling(InterpretScalingValue(value, &logLine));
    if (!logLine.empty()) AppendViewerLog(logLine.c_str());

    GetPrivateProfileStringA("display", "pacing", "", value, sizeof value, path);
    FrameState.pacing = InterpretPacingValue(value, &logLine);
    SetSurfacePresentInStep(FrameState.pacing == Pacing::Smooth);
    if (!logLine.empty()) AppendViewerLog(logLine.c_str());

    static constexpr const char* DpiNames[] = {"aware", "unaware"};
    GetPrivateProfileStringA("display", "dpi", "", value, sizeof value, path);
    SetSurfaceDpiAware(InterpretSettingChoice("dpi", value, DpiNames, &logLine) == 0);
    if (!logLine.empty()) AppendViewerLog(logLine.c_str());

    GetPrivateProfileStringA("display", "monitor", "", value, sizeof value, path);
    std::vector<std::string> monitorLines;
    ViewerMonitor = InterpretMonitorValue(value, SortedMonitors(), &monitorLines);
    for (const std::string& line : monitorLines) AppendViewerLog(line.c_str());
}
