// lumenpane.ini beside the viewer, read once at start-up, and its values handed down.
#include "platform/wide_text.h"
#include "platform/win32.h"
#include "program/settings.h"
#include "runtime/viewer_log.h"
#include "window/dpi_awareness.h"
#include "window/framed_placement.h"
#include "window/surface.h"

#include "frame/frame_step.h"

#include <iterator>
#include <string>

namespace {

// The value in UTF-8, as an unknown one then stands in the log.
std::string ReadProfileValue(const char* section, const char* key, void* path) {
    wchar_t value[256] = {};
    GetPrivateProfileStringW(WideFromUtf8(section).c_str(), WideFromUtf8(key).c_str(), L"", value,
                             DWORD(std::size(value)), static_cast<std::wstring*>(path)->c_str());
    return Utf8FromWide(value);
}

std::string NoValue(const char*, const char*, void*) {
    return {};
}

} // namespace

ViewerSettings ReadSettings() {
    // The full path: given a bare name, the profile reader would look in the Windows folder.
    std::wstring path = WideFromUtf8(PathBesideViewer("lumenpane.ini"));
    std::vector<std::string> logLines;
    const ViewerSettings settings = InterpretSettings(path.empty() ? NoValue : ReadProfileValue,
                                                      &path, SortedMonitors(), &logLines);
    for (const std::string& line : logLines) AppendViewerLog(line.c_str());
    return settings;
}

void ApplySettings(const ViewerSettings& settings) {
    SetSurfaceFit(settings.fit);
    SetSurfaceScaling(settings.scaling);
    SetSurfacePresentInStep(settings.pacing == Pacing::Smooth);
    SetSurfacePresentation(settings.present, settings.tearing);
    SetSurfaceDpiAware(settings.dpiAware);
    SetFramedMultiple(settings.window);
    FramePacing.pacing = settings.pacing;
    FrameMeterState.kind = settings.meter;
    ViewerMonitor = settings.monitor;
    FrameState.filterCycle = settings.filterCycle;
    FrameState.maxGrid = settings.grid;
    ReserveFrameBuffer(settings.grid * 320, settings.grid * 240);
    Screenshots.key = ScreenshotKeyCode(settings.screenshotKey);
    Screenshots.save = SaveScreenshotFiles;
}
