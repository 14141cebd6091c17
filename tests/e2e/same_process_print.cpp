// Prints the stand-in game's render window with PrintWindow and writes what came out.
//
//   same_process_print self OUT single|double [park] [strip] [hideshow]
//       runs the game window (frozen frame) on a thread of this process, treats its main
//       window as the viewer does (park at (30000, 30000); strip the frame to WS_VISIBLE
//       with no extended style; hide, then show without activating), prints the child
//       from this thread and writes the child's pixels to OUT. Without steps, all three.
//       The step "live" keeps the animation running and prints a second time 300 ms
//       later into OUT.2 (a second JSON line), to show the game still draws.
//       The step "wmprint" (or "wmprintclient") sends WM_PRINT (WM_PRINTCLIENT) to the
//       child instead of calling PrintWindow, so both print messages are checked.
//
// OUT holds the child's outer rectangle as rows of little-endian 0x00RRGGBB pixels, top row
// first, no header. One JSON line on standard output reports PrintWindow's result, the size,
// and how many pixels are not zero.
#include "platform/dib.h"
#include "platform/win32.h"

#include "demo/game_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Fail(const char* what) {
    std::printf("{\"error\": \"%s\", \"lastError\": %lu}\n", what, GetLastError());
    return 1;
}

// How the child is asked for its picture: PrintWindow, or one of the print messages.
UINT printMessage = 0;

BOOL AskChildToPrint(HWND child, HDC dc) {
    if (!printMessage) return PrintWindow(child, dc, 0);
    SendMessageA(child, printMessage, reinterpret_cast<WPARAM>(dc),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    return TRUE;
}

int PrintChild(HWND child, const char* path) {
    RECT r;
    if (!child || !GetWindowRect(child, &r)) return Fail("no child window");
    int w = r.right - r.left, h = r.bottom - r.top;
    const BITMAPINFO info = TopDownDibInfo(w, h);
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!dib) return Fail("CreateDIBSection failed");
    HGDIOBJ old = SelectObject(memory, dib);
    BOOL printed = AskChildToPrint(child, memory);
    GdiFlush();
    auto* pixels = static_cast<std::uint32_t*>(bits);
    long touched = 0;
    for (int i = 0; i < w * h; ++i) touched += (pixels[i] &= 0xFFFFFF) != 0;
    std::FILE* f = std::fopen(path, "wb");
    bool written =
        f && std::fwrite(pixels, 4, static_cast<size_t>(w) * h, f) == static_cast<size_t>(w) * h;
    if (f) written = std::fclose(f) == 0 && written;
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    if (!written) return Fail("cannot write file");
    std::printf("{\"printWindow\": %d, \"width\": %d, \"height\": %d, \"nonZero\": %ld}\n", printed,
                w, h, touched);
    return 0;
}

bool Has(int argc, char** argv, const char* step) {
    for (int i = 4; i < argc; ++i)
        if (std::strcmp(argv[i], step) == 0) return true;
    return argc <= 4; // no steps named: all of them
}

bool HasOnly(int argc, char** argv, const char* step) {
    for (int i = 4; i < argc; ++i)
        if (std::strcmp(argv[i], step) == 0) return true;
    return false;
}

int SelfPrint(int argc, char** argv) {
    GameOptions options;
    options.frozen = !HasOnly(argc, argv, "live");
    if (HasOnly(argc, argv, "wmprint")) printMessage = WM_PRINT;
    if (HasOnly(argc, argv, "wmprintclient")) printMessage = WM_PRINTCLIENT;
    options.doubled = std::strcmp(argv[3], "single") != 0;
    options.title = "Lumenpane Print Test";
    HWND main = StartGameWindowThread(options);
    if (!main) return Fail("game window not created");
    if (Has(argc, argv, "strip")) {
        SetWindowLongA(main, GWL_STYLE, WS_VISIBLE);
        SetWindowLongA(main, GWL_EXSTYLE, 0);
    }
    if (Has(argc, argv, "park"))
        SetWindowPos(main, nullptr, 30000, 30000, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    if (Has(argc, argv, "hideshow")) {
        ShowWindow(main, SW_HIDE);
        ShowWindow(main, SW_SHOWNOACTIVATE);
    }
    Sleep(200);
    int rc = PrintChild(GameRenderWindow(main), argv[2]);
    if (rc == 0 && !options.frozen) {
        Sleep(300);
        rc = PrintChild(GameRenderWindow(main), (std::string(argv[2]) + ".2").c_str());
    }
    PostMessageA(main, WM_CLOSE, 0, 0);
    Sleep(100);
    return rc;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "self") == 0) return SelfPrint(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "cross") == 0) {
        HWND main =
            reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(argv[2], nullptr, 10)));
        return PrintChild(GetWindow(main, GW_CHILD), argv[3]);
    }
    std::fprintf(stderr,
                 "usage: same_process_print self OUT single|double [park] [strip] [hideshow]\n"
                 "       same_process_print cross HWND OUT\n");
    return 2;
}
