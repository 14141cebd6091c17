#include "viewer/lifecycle/display_settings.h"

#include "platform/win32.h"
#include "viewer/surface/display_fit.h"
#include "viewer/surface/surface.h"
#include "viewer/surface/viewer_log.h"

#include <cstring>
#include <string>

void ReadDisplaySettings() {
    // The full path: given a bare name, the profile reader would look in the Windows folder.
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return;
    char* slash = std::strrchr(path, '\\');
    const std::size_t folder = slash ? std::size_t(slash - path + 1) : 0;
    if (folder + sizeof "lumenpane.ini" > sizeof path) return;
    std::memcpy(path + folder, "lumenpane.ini", sizeof "lumenpane.ini");

    char value[256] = {};
    GetPrivateProfileStringA("display", "fit", "", value, sizeof value, path);
    std::string logLine;
    SetSurfaceFit(InterpretFitValue(value, &logLine));
    if (!logLine.empty()) AppendViewerLog(logLine.c_str());
}
