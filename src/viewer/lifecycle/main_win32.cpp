// The viewer program's entry: read the display settings, run the viewer and end the process
// with its exit code.
#include "platform/win32.h"
#include "viewer/lifecycle/display_settings.h"
#include "viewer/lifecycle/viewer.h"
#include "viewer/surface/surface.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ReadDisplaySettings();
    EndProgram(ViewerMain());
}
