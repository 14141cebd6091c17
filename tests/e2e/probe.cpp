// lmp_probe: looks at and acts on the desktop for the end-to-end tests. One command per run;
// results are JSON objects, one per line, on standard output. Exit code 0 on success,
// 1 when the command failed (a JSON line with "error" says why), 2 on a usage error.
//
//   serve                              commands from standard input, one a line, their words
//                                      separated by tabs, each answered by its JSON lines and
//                                      {"served": EXIT CODE}; ends at the end of the input.
//                                      Starting Wine for each look costs more of the CPU
//                                      than the look itself.
//   list                               every top-level window
//   find CLASS|- [CAPTION]             the first top-level window matching ("-": any class)
//   wait CLASS|- CAPTION|- TIMEOUT_MS  like find, polling every 20 ms until the timeout
//   children HWND                      the direct child windows of HWND
//   key VK down|up|press               a synthetic key event (keybd_event)
//   foreground HWND                    SetForegroundWindow, then report the foreground
//   gui HWND                           the foreground, and GetGUIThreadInfo's flags for HWND
//   close HWND                         posts WM_SYSCOMMAND/SC_CLOSE (the close button)
//   maximize HWND                      posts WM_SYSCOMMAND/SC_MAXIMIZE (the maximise button)
//   message HWND WM_CLOSE              posts WM_CLOSE itself
//   move HWND X Y                      SetWindowPos to (X, Y), size and z-order kept
//   style HWND STYLE EXSTYLE           SetWindowLong of both styles, then SWP_FRAMECHANGED
//   minimize HWND | restore HWND       ShowWindow SW_MINIMIZE / SW_RESTORE
//   msgbox                             caption and text of every message box (#32770)
//   msgbox-ok HWND                     presses the box's OK button
//   msgbox-show CAPTION TEXT           shows a message box, waits, reports the button
//   grab X Y W H FILE                  screen pixels via BitBlt from the screen DC
//   grab-window HWND FILE              the window's pixels via BitBlt from its own window DC
//   process PID                        priority, private memory, threads, GDI/USER objects
//   crash PID                          a thread in that process that jumps to an invalid
//                                      address (an unhandled access violation there)
//   dpi HWND                           the window's DPI awareness (0 unaware, 1 system,
//                                      2 per monitor, -1 not told), DPI and client size in
//                                      real pixels
//   display-mode W H                   ChangeDisplaySettings to W x H, then the screen's size
//   codepage                           the ANSI and OEM code pages (GetACP, GetOEMCP)
//   dwm COUNT                          dwmapi.dll from the system folder: the timing info for
//                                      no window and for the desktop window (HRESULTs, the
//                                      rate, the period), and the ms between COUNT DwmFlush
//
// Window handles are written and read as decimal numbers.
#include "platform/dib.h"
#include "platform/win32.h"

#include <dwmapi.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string JsonString(const char* s) {
    std::string out = "\"";
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
        if (*p == '"' || *p == '\\')
            out += '\\', out += static_cast<char>(*p);
        else if (*p < 0x20 || *p >= 0x7f) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", *p);
            out += esc;
        } else
            out += static_cast<char>(*p);
    }
    return out + "\"";
}

unsigned long long HandleValue(HWND w) {
    return reinterpret_cast<UINT_PTR>(w);
}
HWND HandleArg(const char* s) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(s, nullptr, 10)));
}

int Fail(const char* what) {
    std::printf("{\"error\": %s, \"lastError\": %lu}\n", JsonString(what).c_str(), GetLastError());
    return 1;
}

void PrintWindowInfo(HWND w) {
    char cls[256] = "", caption[512] = "";
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, caption, sizeof caption);
    RECT r = {}, c = {};
    GetWindowRect(w, &r);
    GetClientRect(w, &c);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    LONG exStyle = GetWindowLongA(w, GWL_EXSTYLE);
    std::printf("{\"hwnd\": %llu, \"class\": %s, \"caption\": %s, \"rect\": [%ld, %ld, %ld, %ld], "
                "\"client\": [%ld, %ld], \"style\": %lu, \"exstyle\": %lu, \"visible\": %s, "
                "\"minimized\": %s, \"topmost\": %s, \"pid\": %lu}\n",
                HandleValue(w), JsonString(cls).c_str(), JsonString(caption).c_str(), r.left, r.top,
                r.right, r.bottom, c.right, c.bottom,
                static_cast<unsigned long>(GetWindowLongA(w, GWL_STYLE)),
                static_cast<unsigned long>(exStyle), IsWindowVisible(w) ? "true" : "false",
                IsIconic(w) ? "true" : "false", (exStyle & WS_EX_TOPMOST) ? "true" : "false", pid);
}

BOOL CALLBACK CollectWindow(HWND w, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
}

HWND FindTopLevel(const char* cls, const char* caption) {
    return FindWindowA(std::strcmp(cls, "-") == 0 ? nullptr : cls,
                       caption && std::strcmp(caption, "-") != 0 ? caption : nullptr);
}

int List() {
    for (HWND w : TopLevelWindows()) PrintWindowInfo(w);
    return 0;
}

int Find(const char* cls, const char* caption, int timeoutMs) {
    for (int waited = 0;; waited += 20) {
        if (HWND w = FindTopLevel(cls, caption)) {
            PrintWindowInfo(w);
            return 0;
        }
        if (waited >= timeoutMs) return Fail("no such window");
        Sleep(20);
    }
}

int Children(HWND parent) {
    for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) PrintWindowInfo(w);
    return 0;
}

int Key(int vk, const char* how) {
    bool down = std::strcmp(how, "up") != 0, up = std::strcmp(how, "down") != 0;
    if (down) keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
    if (down && up) Sleep(30);
    if (up) keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
    std::printf("{\"key\": %d, \"down\": %s, \"up\": %s}\n", vk, down ? "true" : "false",
                up ? "true" : "false");
    return 0;
}

int Foreground(HWND w) {
    BOOL ok = SetForegroundWindow(w);
    Sleep(50);
    std::printf("{\"setForeground\": %s, \"foreground\": %llu}\n", ok ? "true" : "false",
                HandleValue(GetForegroundWindow()));
    return 0;
}

int Gui(HWND w) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gui)) return Fail("no GUI thread");
    std::printf("{\"foreground\": %llu, \"flags\": %lu}\n", HandleValue(GetForegroundWindow()),
                static_cast<unsigned long>(gui.flags));
    return 0;
}

int Post(HWND w, UINT message, WPARAM wParam) {
    if (!PostMessageA(w, message, wParam, 0)) return Fail("PostMessage failed");
    std::printf("{\"posted\": %u, \"wParam\": %llu}\n", message,
                static_cast<unsigned long long>(wParam));
    return 0;
}

int Move(HWND w, int x, int y) {
    if (!SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        return Fail("SetWindowPos failed");
    PrintWindowInfo(w);
    return 0;
}

int Restyle(HWND w, LONG style, LONG exStyle) {
    SetWindowLongA(w, GWL_STYLE, style);
    SetWindowLongA(w, GWL_EXSTYLE, exStyle);
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    PrintWindowInfo(w);
    return 0;
}

int Show(HWND w, int how) {
    ShowWindow(w, how);
    Sleep(50);
    PrintWindowInfo(w);
    return 0;
}

// The static texts of a dialog, joined; message boxes keep their text in one Static child.
std::string DialogText(HWND box) {
    std::string text;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64] = "", t[2048] = "";
        GetClassNameA(c, cls, sizeof cls);
        if (_stricmp(cls, "Static") != 0) continue;
        GetWindowTextA(c, t, sizeof t);
        if (!*t) continue;
        if (!text.empty()) text += "\n";
        text += t;
    }
    return text;
}

int MessageBoxes() {
    for (HWND w : TopLevelWindows()) {
        char cls[64] = "", caption[512] = "";
        GetClassNameA(w, cls, sizeof cls);
        if (std::strcmp(cls, "#32770") != 0 || !IsWindowVisible(w)) continue;
        GetWindowTextA(w, caption, sizeof caption);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        std::printf("{\"hwnd\": %llu, \"caption\": %s, \"text\": %s, \"pid\": %lu}\n",
                    HandleValue(w), JsonString(caption).c_str(),
                    JsonString(DialogText(w).c_str()).c_str(), pid);
    }
    return 0;
}

int MessageBoxOk(HWND box) {
    HWND ok = GetDlgItem(box, IDOK);
    if (!ok) return Fail("no OK button");
    PostMessageA(ok, BM_CLICK, 0, 0);
    std::printf("{\"clicked\": %llu}\n", HandleValue(ok));
    return 0;
}

int ShowMessageBox(const char* caption, const char* text) {
    int button = MessageBoxA(nullptr, text, caption, MB_OK);
    std::printf("{\"button\": %d}\n", button);
    return button == IDOK ? 0 : 1;
}

bool WriteRaw(const char* path, const std::uint32_t* pixels, size_t count) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(pixels, 4, count, f) == count;
    return std::fclose(f) == 0 && ok;
}

// Copies a rectangle of a device context through a top-down 32-bit DIB section and writes
// it as 0x00RRGGBB rows; reports BitBlt's result and how many pixels are not zero.
int GrabFrom(HDC source, int x, int y, int w, int h, const char* path) {
    const BITMAPINFO info = TopDownDibInfo(w, h);
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return Fail("CreateDIBSection failed");
    HGDIOBJ old = SelectObject(memory, dib);
    BOOL ok = BitBlt(memory, 0, 0, w, h, source, x, y, SRCCOPY);
    GdiFlush();
    // Keep only 0x00RRGGBB so files compare bit for bit.
    auto* pixels = static_cast<std::uint32_t*>(bits);
    long nonZero = 0;
    for (int i = 0; i < w * h; ++i) nonZero += (pixels[i] &= 0xFFFFFF) != 0;
    bool written = WriteRaw(path, pixels, static_cast<size_t>(w) * h);
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    if (!ok) return Fail("BitBlt failed");
    if (!written) return Fail("cannot write file");
    std::printf("{\"width\": %d, \"height\": %d, \"nonZero\": %ld, \"file\": %s}\n", w, h, nonZero,
                JsonString(path).c_str());
    return 0;
}

// Screen pixels through the screen DC: this works where another process's window DC does
// not, so the tests read windows this way.
int Grab(int x, int y, int w, int h, const char* path) {
    HDC screen = GetDC(nullptr);
    int rc = GrabFrom(screen, x, y, w, h, path);
    ReleaseDC(nullptr, screen);
    return rc;
}

// A window's pixels through its own window DC, to record what the platform does with
// another process's window.
int GrabWindow(HWND window, const char* path) {
    RECT r;
    if (!GetWindowRect(window, &r)) return Fail("no such window");
    HDC dc = GetWindowDC(window);
    if (!dc) return Fail("GetWindowDC failed");
    int rc = GrabFrom(dc, 0, 0, r.right - r.left, r.bottom - r.top, path);
    ReleaseDC(window, dc);
    return rc;
}

int ThreadCount(DWORD pid) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snap, &entry); more; more = Thread32Next(snap, &entry))
        count += entry.th32OwnerProcessID == pid;
    CloseHandle(snap);
    return count;
}

// GetGuiResources is a stub on some platforms (it always answers 0). The probe owns a
// window and a brush, so an honest implementation reports at least one object of each
// kind for the probe itself; if it does not, the counts are unavailable.
bool GuiCountsAvailable() {
    HWND own = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    bool available = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) > 0 &&
                     GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS) > 0;
    DeleteObject(brush);
    if (own) DestroyWindow(own);
    return available;
}

// Whether the process has a module of this file name loaded.
bool HasModule(DWORD pid, const char* name) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snap == INVALID_HANDLE_VALUE) return false;
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Module32First(snap, &entry); more && !found; more = Module32Next(snap, &entry))
        found = _stricmp(entry.szModule, name) == 0;
    CloseHandle(snap);
    return found;
}

int Process(DWORD pid) {
    HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!p) return Fail("OpenProcess failed");
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    // A running process always has private pages; a zero means the platform does not count
    // them for other processes, which is reported as unavailable.
    BOOL haveMemory = GetProcessMemoryInfo(p, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                           sizeof memory) &&
                      memory.PrivateUsage > 0;
    std::string gdi = "null", user = "null";
    if (GuiCountsAvailable()) {
        gdi = std::to_string(GetGuiResources(p, GR_GDIOBJECTS));
        user = std::to_string(GetGuiResources(p, GR_USEROBJECTS));
    }
    std::printf("{\"pid\": %lu, \"priorityClass\": %lu, \"privateBytes\": %s, \"threads\": %d, "
                "\"gdiObjects\": %s, \"userObjects\": %s, \"d3d11\": %s}\n",
                pid, GetPriorityClass(p),
                haveMemory
                    ? std::to_string(static_cast<unsigned long long>(memory.PrivateUsage)).c_str()
                    : "null",
                ThreadCount(pid), gdi.c_str(), user.c_str(),
                HasModule(pid, "d3d11.dll") ? "true" : "false");
    CloseHandle(p);
    return 0;
}

template <typename F> F User32(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

// Wine answers with a context of the window's process; of a 64-bit caller only the low 32 bits
// of it are meaningful, so they are sign-extended before they are classified.
int Dpi(HWND w) {
    using ContextOf = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
    using AwarenessOf = int(WINAPI*)(DPI_AWARENESS_CONTEXT);
    using DpiOf = UINT(WINAPI*)(HWND);
    const auto contextOf = User32<ContextOf>("GetWindowDpiAwarenessContext");
    const auto awarenessOf = User32<AwarenessOf>("GetAwarenessFromDpiAwarenessContext");
    const auto dpiOf = User32<DpiOf>("GetDpiForWindow");
    if (!IsWindow(w)) return Fail("no such window");
    int awareness = -1;
    if (contextOf && awarenessOf) {
        const auto low = static_cast<std::int32_t>(reinterpret_cast<UINT_PTR>(contextOf(w)));
        awareness = awarenessOf(reinterpret_cast<DPI_AWARENESS_CONTEXT>(static_cast<INT_PTR>(low)));
    }
    // The client area in the monitor's real pixels, as a per-monitor aware thread sees it.
    using SetContext = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    if (const auto setContext = User32<SetContext>("SetThreadDpiAwarenessContext"))
        setContext(reinterpret_cast<DPI_AWARENESS_CONTEXT>(INT_PTR(-3)));
    RECT client{};
    GetClientRect(w, &client);
    std::printf("{\"awareness\": %d, \"dpi\": %u, \"client\": [%ld, %ld]}\n", awareness,
                dpiOf ? dpiOf(w) : 96u, client.right, client.bottom);
    return 0;
}

int DisplayMode(int width, int height) {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = DWORD(width);
    mode.dmPelsHeight = DWORD(height);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    const LONG result = ChangeDisplaySettingsA(&mode, 0);
    if (result != DISP_CHANGE_SUCCESSFUL) return Fail("ChangeDisplaySettings refused");
    std::printf("{\"screen\": [%d, %d]}\n", GetSystemMetrics(SM_CXSCREEN),
                GetSystemMetrics(SM_CYSCREEN));
    return 0;
}

int Dwm(int count) {
    HMODULE dwm = LoadLibraryExA("dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!dwm) return Fail("no dwmapi.dll");
    using Timing = HRESULT(WINAPI*)(HWND, DWM_TIMING_INFO*);
    using Flush = HRESULT(WINAPI*)();
    const auto timing = reinterpret_cast<Timing>(
        reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetCompositionTimingInfo")));
    const auto flush =
        reinterpret_cast<Flush>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmFlush")));
    if (!timing || !flush) return Fail("no DwmGetCompositionTimingInfo or DwmFlush");
    DWM_TIMING_INFO info{}, other{};
    info.cbSize = other.cbSize = sizeof info;
    const HRESULT own = timing(nullptr, &info), desktop = timing(GetDesktopWindow(), &other);
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    std::string gaps;
    flush();
    QueryPerformanceCounter(&before);
    for (int i = 0; i < count; ++i, before = after) {
        flush();
        QueryPerformanceCounter(&after);
        gaps += (i ? ", " : "") + std::to_string(double(after.QuadPart - before.QuadPart) * 1000 /
                                                 frequency.QuadPart);
    }
    std::printf("{\"timing\": %lu, \"desktop\": %lu, \"rate\": [%u, %u], \"period\": %llu, "
                "\"frequency\": %lld, \"flushes\": [%s]}\n",
                static_cast<unsigned long>(own), static_cast<unsigned long>(desktop),
                info.rateRefresh.uiNumerator, info.rateRefresh.uiDenominator, info.qpcRefreshPeriod,
                frequency.QuadPart, gaps.c_str());
    return 0;
}

int Crash(DWORD pid) {
    HANDLE p = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                               PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ,
                           FALSE, pid);
    if (!p) return Fail("OpenProcess failed");
    auto nowhere = reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<UINT_PTR>(0x10));
    HANDLE thread = CreateRemoteThread(p, nullptr, 0, nowhere, nullptr, 0, nullptr);
    CloseHandle(p);
    if (!thread) return Fail("CreateRemoteThread failed");
    CloseHandle(thread);
    std::printf("{\"pid\": %lu, \"crashed\": true}\n", pid);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: lmp_probe list|find|wait|children|key|foreground|close|message|"
                 "minimize|restore|msgbox|msgbox-ok|grab|process|crash|dpi|display-mode|dwm ...\n");
    return 2;
}

int RunCommand(const std::string& cmd, int n, char** a) {
    int rc = 2;
    if (cmd == "list")
        rc = List();
    else if (cmd == "find" && n >= 1)
        rc = Find(a[0], n >= 2 ? a[1] : nullptr, 0);
    else if (cmd == "wait" && n == 3)
        rc = Find(a[0], a[1], std::atoi(a[2]));
    else if (cmd == "children" && n == 1)
        rc = Children(HandleArg(a[0]));
    else if (cmd == "key" && n == 2)
        rc = Key(std::atoi(a[0]), a[1]);
    else if (cmd == "foreground" && n == 1)
        rc = Foreground(HandleArg(a[0]));
    else if (cmd == "gui" && n == 1)
        rc = Gui(HandleArg(a[0]));
    else if (cmd == "close" && n == 1)
        rc = Post(HandleArg(a[0]), WM_SYSCOMMAND, SC_CLOSE);
    else if (cmd == "maximize" && n == 1)
        rc = Post(HandleArg(a[0]), WM_SYSCOMMAND, SC_MAXIMIZE);
    else if (cmd == "message" && n == 2 && std::strcmp(a[1], "WM_CLOSE") == 0)
        rc = Post(HandleArg(a[0]), WM_CLOSE, 0);
    else if (cmd == "move" && n == 3)
        rc = Move(HandleArg(a[0]), std::atoi(a[1]), std::atoi(a[2]));
    else if (cmd == "style" && n == 3)
        rc = Restyle(HandleArg(a[0]), static_cast<LONG>(std::strtoul(a[1], nullptr, 0)),
                     static_cast<LONG>(std::strtoul(a[2], nullptr, 0)));
    else if (cmd == "minimize" && n == 1)
        rc = Show(HandleArg(a[0]), SW_MINIMIZE);
    else if (cmd == "restore" && n == 1)
        rc = Show(HandleArg(a[0]), SW_RESTORE);
    else if (cmd == "msgbox")
        rc = MessageBoxes();
    else if (cmd == "msgbox-ok" && n == 1)
        rc = MessageBoxOk(HandleArg(a[0]));
    else if (cmd == "msgbox-show" && n == 2)
        rc = ShowMessageBox(a[0], a[1]);
    else if (cmd == "grab" && n == 5)
        rc = Grab(std::atoi(a[0]), std::atoi(a[1]), std::atoi(a[2]), std::atoi(a[3]), a[4]);
    else if (cmd == "grab-window" && n == 2)
        rc = GrabWindow(HandleArg(a[0]), a[1]);
    else if (cmd == "process" && n == 1)
        rc = Process(static_cast<DWORD>(std::strtoul(a[0], nullptr, 10)));
    else if (cmd == "dpi" && n == 1)
        rc = Dpi(HandleArg(a[0]));
    else if (cmd == "display-mode" && n == 2)
        rc = DisplayMode(std::atoi(a[0]), std::atoi(a[1]));
    else if (cmd == "codepage")
        rc = std::printf("{\"acp\": %u, \"oem\": %u}\n", GetACP(), GetOEMCP()) < 0;
    else if (cmd == "dwm" && n == 1)
        rc = Dwm(std::atoi(a[0]));
    else if (cmd == "crash" && n == 1)
        rc = Crash(static_cast<DWORD>(std::strtoul(a[0], nullptr, 10)));
    else
        return Usage();
    return rc;
}

int Serve() {
    char line[4096];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = 0;
        std::vector<char*> words;
        for (char* word = std::strtok(line, "\t"); word; word = std::strtok(nullptr, "\t"))
            words.push_back(word);
        const int rc =
            words.empty() ? Usage() : RunCommand(words[0], int(words.size()) - 1, words.data() + 1);
        std::printf("{\"served\": %d}\n", rc);
        std::fflush(stdout);
        MSG message; // a thread with a queue answers what is sent to it
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    if (std::strcmp(argv[1], "serve") == 0 && argc == 2) return Serve();
    const int rc = RunCommand(argv[1], argc - 2, argv + 2);
    std::fflush(stdout);
    return rc;
}
