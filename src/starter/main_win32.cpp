// The starter program's entry (placeholder until the starter is built).
#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    MessageBoxA(nullptr, "The game starter is not built yet.", "Orvalle's LMP Game Starter",
                MB_OK | MB_ICONINFORMATION);
    return 1;
}
