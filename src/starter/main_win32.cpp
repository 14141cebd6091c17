// The starter program's entry: the start sequence's result is the exit code.
#include "platform/win32.h"
#include "starter/starter.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return StarterMain();
}
