// lumenpane.ini beside the viewer, read once at start-up, and its values handed down.
#include "platform/win32.h"
#include "program/settings.h"
#include "runtime/viewer_log.h"
#include "window/dpi_awareness.h"
#include "window/framed_placement.h"
#include "window/surface.h"

#include "frame/frame_step.h"

namespace {

std::string ReadProfileValue(const char* section, const char* key, void* path) {
    char value[256] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof value, static_cast<char*>(path));
    return value;
}

std::string NoValue(const char*, const char*, void*) {
    return {};
}

} // namespace

ViewerSettings ReadSettings() {
    // The full path: given a bare name, the profile reader would look in the Windows folder.
    char path[MAX_PATH];
    const bool found = PathBesideViewer("lumenpane.ini", path, sizeof path);
    std::vector<std::string> logLines;
    const ViewerSettings settings =
        InterpretSettings(found ? ReadProfileValue : NoValue, path, SortedMonitors(), &logLines);
    for (const std::string& line : logLines) AppendViewerLog(line.c_str());
    return settings;
}

void ApplySettings(const ViewerSettings& settings) {
    SetSurfaceFit(settings.fit);
    SetSurfaceScaling(settings.scaling);
    SetSurfacePresentInStep(settings.pacing == Pacing::Smooth);
    SetSurfaceDpiAware(settings.dpiAware);
    SetFramedMultiple(settings.window);
    FramePacing.pacing = settings.pacing;
    FrameMeterState.kind = settings.meter;
    ViewerMonitor = settings.monitor;
    FrameState.filterCycle = settings.filterCycle;
    Screenshots.key = ScreenshotKeyCode(settings.screenshotKey);
    Screenshots.save = SaveScreenshotFiles;
}
