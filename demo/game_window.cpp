// Window handling of the stand-in game. One game per process: the record below holds it.
#include "game_window.h"

#include "demo_picture.h"
#include "frame_clock.h"
#include "platform/dib.h"
#include "platform/game_contract.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* MainClass = GameWindowClass;
constexpr char RenderClass[] = "TLmpRenderPane";
constexpr int Edge = 2;        // the child's own frame around the picture
constexpr UINT_PTR TickId = 1; // animation timer
constexpr UINT TickMs = 25;    // 40 frames a second
constexpr int FramedX = 40;    // where F4 puts a window that started full screen
constexpr int FramedY = 40;
constexpr DWORD FramedStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// Owned by the thread that runs the game window (the window procedures run on it, also for
// prints sent from other threads or processes); no lock.
struct GameState {
    GameOptions options;
    HWND mainWindow = nullptr;
    HWND renderWindow = nullptr;
    bool doubled = true;
    bool fullScreen = false;
    int frame = 0; // the animation frame drawn into picture
    FrameClock clock;
    bool hangInNextPrint = false; // F3 with options.hangInPrint: the next WM_PRINT hangs
    DemoFrame picture;
    std::uint32_t doubledPixels[DemoWidth * 2 * DemoHeight * 2];
};

GameState game;

int PictureScale() {
    return game.doubled ? 2 : 1;
}
int ChildWidth() {
    return DemoWidth * PictureScale() + 2 * Edge;
}
int ChildHeight() {
    return DemoHeight * PictureScale() + 2 * Edge;
}

void DrawCurrentFrame() {
    DrawDemoFrame(game.picture, game.options.frozen ? FrozenFrame : game.frame);
    if (game.clock.hz > 0 && !game.options.frozen) {
        DrawFrameTag(game.picture, game.frame);
        DrawFrameCode(game.picture, game.frame);
    }
    for (int y = 0; y < DemoHeight * 2; ++y)
        for (int x = 0; x < DemoWidth * 2; ++x)
            game.doubledPixels[y * DemoWidth * 2 + x] =
                game.picture.pixels[(y / 2) * DemoWidth + x / 2];
}

// Paints frame and picture into any device context: screen painting, WM_PRINT and
// WM_PRINTCLIENT all come here, so printing works wherever the window lies.
void PaintRender(HDC dc) {
    int w = DemoWidth * PictureScale(), h = DemoHeight * PictureScale();
    HBRUSH frameBrush = CreateSolidBrush(RGB(16, 16, 24));
    RECT bands[4] = {{0, 0, w + 2 * Edge, Edge},
                     {0, h + Edge, w + 2 * Edge, h + 2 * Edge},
                     {0, Edge, Edge, h + Edge},
                     {w + Edge, Edge, w + 2 * Edge, h + Edge}};
    for (RECT& band : bands) FillRect(dc, &band, frameBrush);
    DeleteObject(frameBrush);
    const BITMAPINFO info = TopDownDibInfo(w, h);
    const void* bits = game.doubled ? static_cast<const void*>(game.doubledPixels)
                                    : static_cast<const void*>(game.picture.pixels);
    SetDIBitsToDevice(dc, Edge, Edge, w, h, 0, 0, 0, h, bits, &info, DIB_RGB_COLORS);
}

// With the frame clock: brings the picture to the frame due now and logs what a print or
// paint (`kind`) is about to show.
void ShowFrameDue(const char* kind) {
    if (game.clock.hz <= 0) return;
    std::int64_t now = FrameClockNow();
    int due = FrameDue(game.clock, now);
    if (due != game.frame && !game.options.frozen) {
        game.frame = due;
        DrawCurrentFrame();
    }
    LogFrameShown(game.clock, due, now, kind);
}

// Outer size of the framed main window whose client area holds the child exactly.
SIZE FramedSizeForChild() {
    RECT r = {0, 0, ChildWidth(), ChildHeight()};
    AdjustWindowRectEx(&r, FramedStyle, FALSE, 0);
    return {r.right - r.left, r.bottom - r.top};
}

// Puts the child where it belongs: at the client origin, or centred on the screen in the
// full-screen mode.
void PlaceChild() {
    int x = 0, y = 0;
    if (game.fullScreen) {
        RECT client;
        GetClientRect(game.mainWindow, &client);
        x = (client.right - ChildWidth()) / 2;
        y = (client.bottom - ChildHeight()) / 2;
    }
    MoveWindow(game.renderWindow, x, y, ChildWidth(), ChildHeight(), TRUE);
}

// Resizes the main window around the child, keeping whatever frame it has now: others may
// have restyled it (a viewer strips it to a bare WS_VISIBLE window).
void FitMainToChild() {
    RECT outer, client;
    GetWindowRect(game.mainWindow, &outer);
    GetClientRect(game.mainWindow, &client);
    int width = ChildWidth() + (outer.right - outer.left) - client.right;
    int height = ChildHeight() + (outer.bottom - outer.top) - client.bottom;
    SetWindowPos(game.mainWindow, nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceChild();
}

void EnterFullScreen() {
    game.fullScreen = true;
    SetWindowLongA(game.mainWindow, GWL_STYLE, WS_POPUP | WS_VISIBLE);
    SetWindowPos(game.mainWindow, HWND_TOP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN), SWP_FRAMECHANGED);
    PlaceChild();
    LogGameEvent("fullscreen on");
}

void LeaveFullScreen() {
    game.fullScreen = false;
    SetWindowLongA(game.mainWindow, GWL_STYLE, FramedStyle | WS_VISIBLE);
    SIZE size = FramedSizeForChild();
    SetWindowPos(game.mainWindow, HWND_TOP, FramedX, FramedY, size.cx, size.cy, SWP_FRAMECHANGED);
    PlaceChild();
    LogGameEvent("fullscreen off");
}

void SwitchSize() {
    game.doubled = !game.doubled;
    DrawCurrentFrame();
    if (game.fullScreen)
        PlaceChild();
    else
        FitMainToChild();
    InvalidateRect(game.renderWindow, nullptr, FALSE);
    LogGameEvent(game.doubled ? "size double 640x480" : "size single 320x240");
}

// A game that stops answering (a long load, a script stuck in a loop): the window thread
// takes no messages for a while.
void Hang() {
    char line[32];
    std::snprintf(line, sizeof line, "hang %d", game.options.hangSeconds);
    LogGameEvent(line);
    Sleep(DWORD(game.options.hangSeconds) * 1000);
    LogGameEvent("hang over");
}

bool HandleKey(WPARAM key) {
    if (key == VK_F5) {
        LogGameEvent("key F5");
        SwitchSize();
        return true;
    }
    if (key == VK_F3 && game.options.hangSeconds > 0) {
        if (game.options.hangInPrint)
            game.hangInNextPrint = true;
        else
            Hang();
        return true;
    }
    if (key == VK_F4) {
        LogGameEvent("key F4");
        if (game.fullScreen) LeaveFullScreen();
        return true;
    }
    return false;
}

LRESULT CALLBACK RenderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        ShowFrameDue("paint");
        PaintRender(dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PRINT:
    case WM_PRINTCLIENT:
        // The game answered whatever asked before the print, and stops inside it.
        if (game.hangInNextPrint) {
            game.hangInNextPrint = false;
            Hang();
        }
        ShowFrameDue("print");
        PaintRender(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_KEYDOWN:
        if (HandleKey(wParam)) return 0;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void LogSize(LPARAM lParam) {
    char line[64];
    std::snprintf(line, sizeof line, "WM_SIZE %dx%d", LOWORD(lParam), HIWORD(lParam));
    LogGameEvent(line);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        // The render child exists as soon as the main window does.
        game.renderWindow = CreateWindowExA(
            0, RenderClass, "", WS_CHILD | WS_VISIBLE, 0, 0, ChildWidth(), ChildHeight(), window,
            nullptr, reinterpret_cast<CREATESTRUCTA*>(lParam)->hInstance, nullptr);
        return game.renderWindow ? 0 : -1;
    case WM_TIMER:
        if (game.clock.hz > 0) {
            // The picture follows the clock; the tick repaints the game's own window with
            // the frame due and writes the frame log once a second.
            FlushFrameLogIfDue(game.clock, FrameClockNow());
            if (!game.options.frozen) InvalidateRect(game.renderWindow, nullptr, FALSE);
        } else if (!game.options.frozen) {
            ++game.frame;
            DrawCurrentFrame();
            InvalidateRect(game.renderWindow, nullptr, FALSE);
        }
        return 0;
    case WM_KEYDOWN:
        if (HandleKey(wParam)) return 0;
        break;
    case WM_SIZE:
        LogSize(lParam);
        break;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r,
                 static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return 1;
    }
    case WM_CLOSE:
        LogGameEvent("WM_CLOSE");
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, TickId);
        StopFrameClock(game.clock);
        game.mainWindow = game.renderWindow = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpfnWndProc = MainProc;
    wc.lpszClassName = MainClass;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    RegisterClassA(&wc);
    wc.lpfnWndProc = RenderProc;
    wc.lpszClassName = RenderClass;
    wc.hIcon = nullptr;
    RegisterClassA(&wc);
}

bool EnvFlag(const char* name) {
    const char* v = std::getenv(name);
    return v && *v && std::strcmp(v, "0") != 0;
}

struct ThreadStart {
    GameOptions options;
    HANDLE ready;
    HWND window;
};

DWORD WINAPI GameThread(LPVOID param) {
    ThreadStart* start = static_cast<ThreadStart*>(param);
    start->window = CreateGameWindow(start->options, GetModuleHandleA(nullptr));
    SetEvent(start->ready);
    return start->window ? static_cast<DWORD>(RunGameLoop()) : 1;
}

} // namespace

GameOptions GameOptionsFromEnvironment() {
    GameOptions o;
    if (const char* v = std::getenv("LMP_DEMO_TITLE")) o.title = v;
    if (const char* v = std::getenv("LMP_DEMO_LOG")) o.logPath = v;
    if (const char* v = std::getenv("LMP_DEMO_DUMP")) o.dumpPath = v;
    if (const char* v = std::getenv("LMP_DEMO_SIZE")) o.doubled = std::strcmp(v, "single") != 0;
    if (const char* v = std::getenv("LMP_DEMO_POS")) std::sscanf(v, "%d,%d", &o.x, &o.y);
    if (const char* v = std::getenv("LMP_DEMO_HANG_SECONDS")) o.hangSeconds = std::atoi(v);
    if (const char* v = std::getenv("LMP_DEMO_CLOCK")) o.clockHz = std::atoi(v);
    if (const char* v = std::getenv("LMP_DEMO_FRAME_LOG")) o.frameLogPath = v;
    o.frozen = EnvFlag("LMP_DEMO_FREEZE");
    o.fullScreen = EnvFlag("LMP_DEMO_FULLSCREEN");
    o.hangInPrint = EnvFlag("LMP_DEMO_HANG_IN_PRINT");
    return o;
}

void LogGameEvent(const char* text) {
    if (game.options.logPath.empty()) return;
    if (std::FILE* f = std::fopen(game.options.logPath.c_str(), "a")) {
        std::fprintf(f, "%s\n", text);
        std::fclose(f);
    }
}

HWND CreateGameWindow(const GameOptions& options, HINSTANCE instance) {
    game.options = options;
    LogGameEvent((std::string("cmdline ") + GetCommandLineA()).c_str());
    game.doubled = options.doubled;
    game.frame = 0;
    if (options.clockHz > 0 &&
        !StartFrameClock(game.clock, options.clockHz, options.frameLogPath.c_str()))
        LogGameEvent("frame log failed");
    DrawCurrentFrame();
    if (!options.dumpPath.empty() && !WriteDemoFrame(game.picture, options.dumpPath.c_str()))
        LogGameEvent("dump failed");
    RegisterClasses(instance);
    // Created at its final size: a finder may look at it before it is first shown.
    SIZE size = FramedSizeForChild();
    game.mainWindow = CreateWindowExA(0, MainClass, options.title.c_str(),
                                      FramedStyle | WS_CLIPCHILDREN, options.x, options.y, size.cx,
                                      size.cy, nullptr, nullptr, instance, nullptr);
    if (!game.mainWindow) return nullptr;
    FitMainToChild();
    if (options.fullScreen) EnterFullScreen(); // before showing: never seen framed
    ShowWindow(game.mainWindow, SW_SHOW);
    SetTimer(game.mainWindow, TickId, TickMs, nullptr);
    UpdateWindow(game.mainWindow);
    return game.mainWindow;
}

int RunGameLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

HWND StartGameWindowThread(const GameOptions& options) {
    static ThreadStart start; // one game per process; the thread reads it after we return
    start.options = options;
    start.window = nullptr;
    start.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, GameThread, &start, 0, nullptr);
    if (!thread) return nullptr;
    CloseHandle(thread);
    WaitForSingleObject(start.ready, 10000);
    CloseHandle(start.ready);
    return start.window;
}

HWND GameRenderWindow(HWND main) {
    return GetWindow(main, GW_CHILD);
}
