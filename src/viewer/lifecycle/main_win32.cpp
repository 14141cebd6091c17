// The viewer program's entry (placeholder until the viewer's start-up is built).
#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxA(nullptr, "The viewer is not built yet.", "Lumenpane", MB_OK | MB_ICONINFORMATION);
    return 1;
}
