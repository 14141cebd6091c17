// surface_check: drives the Win32 surface through its operations inside one process and
// prints what it observed as JSON lines {"fact": NAME, "value": VALUE}; the end-to-end test
// test_surface_win32.py judges them. A watchdog ends the program with exit code 3 when a
// step hangs (a lock held across a window call would do that).
#include "platform/win32.h"
#include "window/surface.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void Fact(const char* name, long long value) {
    std::printf("{\"fact\": \"%s\", \"value\": %lld}\n", name, value);
    std::fflush(stdout);
}

// Text facts are written as hex bytes so any byte survives.
void FactText(const char* name, const std::string& text) {
    std::string hex;
    char byte[3];
    for (unsigned char c : text) std::snprintf(byte, sizeof byte, "%02x", c), hex += byte;
    std::printf("{\"fact\": \"%s\", \"hex\": \"%s\"}\n", name, hex.c_str());
    std::fflush(stdout);
}

DWORD WINAPI Watchdog(LPVOID) {
    Sleep(30000);
    std::printf("{\"fact\": \"hung\", \"value\": 1}\n");
    std::fflush(stdout);
    ExitProcess(3);
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string CaptionOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Screen pixels (0x00RRGGBB) of a window's client area at client coordinates.
std::uint32_t ScreenPixel(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

// Left half red, right half blue, marked for presentation.
void DrawHalves() {
    LockSurface();
    auto* pixels = static_cast<std::uint32_t*>(SurfacePixels());
    for (int y = 0; y < Surface.height; ++y)
        for (int x = 0; x < Surface.width; ++x)
            pixels[y * Surface.width + x] = x < Surface.width / 2 ? 0xFFFF0000u : 0xFF0000FFu;
    UnlockSurface(-1, -1);
}

DWORD WINAPI LockOnce(LPVOID) {
    LockSurface();
    UnlockSurface(0, -1);
    return 0;
}

// Whether another thread can take the surface lock within the time.
bool LockFreeWithin(DWORD milliseconds) {
    HANDLE thread = CreateThread(nullptr, 0, LockOnce, nullptr, 0, nullptr);
    const bool free = WaitForSingleObject(thread, milliseconds) == WAIT_OBJECT_0;
    CloseHandle(thread);
    return free;
}

int threadValue = 0;
void SetThreadValue(void* parameter) {
    threadValue = *static_cast<int*>(parameter);
}

void CheckRefusals() {
    Fact("refuseZeroWidth", OpenSurface(0, 480, 32, 1, NoModeSwitch, 0));
    Fact("refuseZeroHeight", OpenSurface(640, 0, 32, 1, NoModeSwitch, 0));
    Fact("refuseDepth7", OpenSurface(640, 480, 7, 1, NoModeSwitch, 0));
    Fact("closedHandleIsNull", SurfaceWindowHandle() == nullptr);
}

HWND CheckOpen() {
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0);
    SetSurfaceTitle("Check Title");
    Fact("open24", OpenSurface(640, 480, 24, 1, NoModeSwitch | AlphaPrimitives, 0));
    Fact("depth", Surface.depth);
    HWND window = SurfaceWindowHandle();
    FactText("class", ClassOf(window));
    FactText("caption", CaptionOf(window));
    RECT client{}, outer{};
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    Fact("clientWidth", client.right - client.left);
    Fact("clientHeight", client.bottom - client.top);
    Fact("outerLeft", outer.left);
    Fact("outerTop", outer.top);
    Fact("outerWidth", outer.right - outer.left);
    Fact("outerHeight", outer.bottom - outer.top);
    Fact("screenWidth", GetSystemMetrics(SM_CXSCREEN));
    Fact("screenHeight", GetSystemMetrics(SM_CYSCREEN));
    Fact("style", GetWindowLongA(window, GWL_STYLE));
    Fact("pointerVisible", Surface.pointerVisible);
    Fact("foregroundIsSurface", GetForegroundWindow() == window);
    BOOL active = TRUE;
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    Fact("screenSaverWhileOpen", active);
    Fact("refuseWhileOpen", OpenSurface(640, 0, 32, 1, NoModeSwitch, 0));
    Fact("sameHandleAfterRefusal", SurfaceWindowHandle() == window);
    return window;
}

void FactRect(const char* name, HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const std::string n = name;
    Fact((n + "Left").c_str(), r.left);
    Fact((n + "Top").c_str(), r.top);
    Fact((n + "Width").c_str(), r.right - r.left);
    Fact((n + "Height").c_str(), r.bottom - r.top);
}

// A move onto a monitor at 150 %: Windows asks the window its size there, then tells it the
// new scale with a suggested rectangle (Wine sends neither, so they are sent here). The
// framed window is put back afterwards.
void CheckDpiMessages(HWND window) {
    RECT before{};
    GetWindowRect(window, &before);
    SIZE scaled{};
    Fact("dpiScaledSizeAnswered", SendMessageA(window, WM_GETDPISCALEDSIZE, 144, LPARAM(&scaled)));
    Fact("dpiScaledWidth", scaled.cx);
    Fact("dpiScaledHeight", scaled.cy);
    RECT suggested{40, 30, 40 + 999, 30 + 777};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(144, 144), LPARAM(&suggested));
    FactRect("dpiChanged", window);
    SetWindowPos(window, nullptr, before.left, before.top, before.right - before.left,
                 before.bottom - before.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CheckPresentation(HWND window) {
    DrawHalves();
    Sleep(200);
    Fact("pixelLeft", ScreenPixel(window, 100, 240));
    Fact("pixelRight", ScreenPixel(window, 540, 240));
    // Spread over the screen as the viewer does: the frame stretches to the client area.
    SetWindowLongA(window, GWL_STYLE, WS_VISIBLE);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    Sleep(300);
    RECT client{};
    GetClientRect(window, &client);
    Fact("stretchedWidth", client.right);
    Fact("stretchedPixelLeft", ScreenPixel(window, client.right / 2 - 40, client.bottom / 2));
    Fact("stretchedPixelRight", ScreenPixel(window, client.right / 2 + 40, client.bottom / 2));

    // Over the screen the window keeps its rectangle on a change of scale.
    FactRect("full", window);
    RECT suggested{40, 30, 40 + 999, 30 + 777};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(144, 144), LPARAM(&suggested));
    FactRect("fullDpiChanged", window);
}

void CheckTitleUnderLock(HWND window) {
    LockSurface();
    SetSurfaceTitle("Renamed");
    Fact("lockCountAfterTitle", Surface.lockCount);
    UnlockSurface(-1, -1);
    FactText("captionAfterTitle", CaptionOf(window));
    FactText("classAfterTitle", ClassOf(window));
}

void CheckKeys(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(window, WM_CHAR, 'a', 0);
    Sleep(200);
    for (int i = 0; i < 6; ++i) FactText("key", PollKey());
    Fact("windowAfterCloseRequests", IsWindow(window));

    while (!PollKey().empty()) {}
    // A maximise request under NoModeSwitch changes nothing.
    RECT before{}, after{};
    GetWindowRect(window, &before);
    PostMessageA(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Sleep(200);
    GetWindowRect(window, &after);
    Fact("maximiseIgnored", std::memcmp(&before, &after, sizeof before) == 0 && !IsZoomed(window));
}

void CheckReopenAndClose(HWND window) {
    HideMouse();
    Fact("pointerHidden", !Surface.pointerVisible);
    Fact("reopen", OpenSurface(640, 480, 32, 1, NoModeSwitch | AlphaPrimitives, 0));
    HWND reopened = SurfaceWindowHandle();
    Fact("reopenNewHandle", reopened != nullptr && reopened != window);
    Fact("oldWindowGone", !IsWindow(window));
    Fact("pointerVisibleAfterReopen", Surface.pointerVisible);
    FactText("classAfterReopen", ClassOf(reopened));
    auto* pixels = static_cast<std::uint32_t*>(SurfacePixels());
    Fact("reopenedBlack", pixels[0] == 0xFF000000u && pixels[640 * 480 - 1] == 0xFF000000u);

    LockSurface(); // closing while holding the lock lets it go
    Fact("close", CloseSurface());
    Fact("lockCountAfterClose", Surface.lockCount);
    Fact("handleAfterClose", SurfaceWindowHandle() == nullptr);
    Fact("windowAfterClose", IsWindow(reopened));
    WNDCLASSA unused{};
    Fact("classRegisteredAfterClose",
         GetClassInfoA(GetModuleHandleA(nullptr), "fbgfxclass_Renamed", &unused));
    BOOL active = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    Fact("screenSaverAfterClose", active);
    Fact("closeAgain", CloseSurface());
    Fact("lockFreeAfterClose", LockFreeWithin(2000));
}

void CheckThreads() {
    int value = 42;
    ThreadRecord* thread = StartThread(SetThreadValue, &value, 0);
    WaitThread(thread);
    Fact("threadRan", threadValue);
    WaitThread(nullptr);
}

} // namespace

int main(int argc, char** argv) {
    CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    if (argc > 1 && std::strcmp(argv[1], "end") == 0) {
        // EndProgram with an open surface: the exit code is the one given.
        OpenSurface(320, 200, 32, 1, NoModeSwitch, 0);
        Fact("endOpened", SurfaceWindowHandle() != nullptr);
        EndProgram(7);
    }
    CheckRefusals();
    HWND window = CheckOpen();
    CheckTitleUnderLock(window);
    CheckKeys(window);
    CheckDpiMessages(window);
    CheckPresentation(window);
    CheckReopenAndClose(window);
    CheckThreads();
    Fact("done", 1);
    return 0;
}
