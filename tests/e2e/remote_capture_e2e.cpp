// End-to-end check of capture through the in-game helper, under Wine (run by run.py).
//
// One program in three roles:
//   remote_capture_e2e                 the checks below (starts the other two roles)
//   remote_capture_e2e game W H DUMP   a stand-in game: a window of the game's class parked at
//                                      (30000, 30000) whose render child of outer size W x H
//                                      shows a frozen picture; it prints that child itself
//                                      (same process), writes the rows to DUMP and the time
//                                      per same-process print to DUMP.time
//   remote_capture_e2e view GAMEPID DUMP FRAMES MODE
//                                      a viewer: captures FRAMES pictures of the game's
//                                      render window through the real capture path at the
//                                      render loop's pace, compares each with DUMP bit for
//                                      bit and prints timings (modes: see RunViewer)
//
// Checks: the picture arrives bit for bit at 324x244 and 644x484 (a frame that misses the
// wait bound on a loaded machine keeps the last picture); a cross-process print
// alone gives nothing under Wine; the helper adds one thread to the game, which is gone
// within a second of the viewer being killed, with the game still running; a second viewer
// attaches to the same game again; a stop request ends the helper too; a busy game costs at
// most the wait bound per frame and keeps the last picture; a too large window is refused.
#include "platform/dib.h"
#include "platform/game_contract.h"
#include "platform/wide_text.h"
#include "platform/win32.h"

#include "capture/capture.h"
#include "capture/remote_capture.h"
#include "capture/remote_frame.h"
#include "pixels/image.h"
#include "window/surface.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int Failures = 0;

void Check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
    std::fflush(stdout);
    if (!ok) ++Failures;
}

double NowMs() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// ---- the stand-in game ----------------------------------------------------------------

int GameWidth = 0, GameHeight = 0;
std::vector<std::uint32_t> GamePicture;

// A picture with no two neighbouring pixels alike and every channel used.
void MakeGamePicture() {
    GamePicture.resize(std::size_t(GameWidth) * GameHeight);
    for (int y = 0; y < GameHeight; ++y)
        for (int x = 0; x < GameWidth; ++x)
            GamePicture[std::size_t(y) * GameWidth + x] =
                (std::uint32_t(x * 7 + y * 3) & 0xFF) << 16 |
                (std::uint32_t(x * y + 11) & 0xFF) << 8 | (std::uint32_t(x ^ (y * 5)) & 0xFF);
}

void DrawGamePicture(HDC dc) {
    const BITMAPINFO info = TopDownDibInfo(GameWidth, GameHeight);
    SetDIBitsToDevice(dc, 0, 0, GameWidth, GameHeight, 0, 0, 0, GameHeight, GamePicture.data(),
                      &info, DIB_RGB_COLORS);
}

LRESULT CALLBACK RenderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        DrawGamePicture(dc);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_PRINTCLIENT) {
        DrawGamePicture(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (message == WM_APP) { // a game busy for a while: its window thread does not answer
        SleepEx(DWORD(lParam), FALSE);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Prints the render window from its own process, as the helper does, into a DIB section.
bool PrintOwnWindow(HWND render, std::vector<std::uint32_t>* rows, int times, double* msEach) {
    const BITMAPINFO info = TopDownDibInfo(GameWidth, GameHeight);
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    bool ok = true;
    const double start = NowMs();
    for (int i = 0; i < times; ++i) ok = PrintWindow(render, dc, 0) && ok;
    GdiFlush();
    *msEach = (NowMs() - start) / times;
    rows->assign(static_cast<std::uint32_t*>(bits),
                 static_cast<std::uint32_t*>(bits) + std::size_t(GameWidth) * GameHeight);
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    return ok;
}

bool WriteFileBytes(const std::string& path, const void* bytes, std::size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

int RunGame(int width, int height, const std::string& dump) {
    GameWidth = width;
    GameHeight = height;
    MakeGamePicture();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA mainClass{};
    mainClass.lpfnWndProc = MainProc;
    mainClass.hInstance = instance;
    mainClass.lpszClassName = GameWindowClass;
    WNDCLASSA renderClass{};
    renderClass.lpfnWndProc = RenderProc;
    renderClass.hInstance = instance;
    renderClass.lpszClassName = "StandInRender";
    RegisterClassA(&mainClass);
    RegisterClassA(&renderClass);
    HWND main = CreateWindowExA(0, GameWindowClass, "Stand-in", WS_POPUP | WS_VISIBLE, 30000, 30000,
                                width, height, nullptr, nullptr, instance, nullptr);
    HWND render = CreateWindowExA(0, "StandInRender", "", WS_CHILD | WS_VISIBLE, 0, 0, width,
                                  height, main, nullptr, instance, nullptr);
    if (!main || !render) return 2;
    std::vector<std::uint32_t> rows;
    double msEach = 0;
    if (!PrintOwnWindow(render, &rows, 200, &msEach)) return 3;
    char timing[64];
    std::snprintf(timing, sizeof timing, "%.4f\n", msEach);
    if (!WriteFileBytes(dump + ".time", timing, std::strlen(timing))) return 4;
    if (!WriteFileBytes(dump, rows.data(), rows.size() * 4)) return 4;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// ---- the viewer role ------------------------------------------------------------------

struct FindRecord {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindGameMain(HWND window, LPARAM parameter) {
    auto* record = reinterpret_cast<FindRecord*>(parameter);
    char className[64] = {};
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    GetClassNameA(window, className, sizeof className);
    if (owner == record->processId && std::strcmp(className, GameWindowClass) == 0) {
        record->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND GameRenderWindow(DWORD processId) {
    FindRecord record{processId, nullptr};
    EnumWindows(FindGameMain, reinterpret_cast<LPARAM>(&record));
    return record.found ? GetWindow(record.found, GW_CHILD) : nullptr;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    std::uint8_t chunk[65536];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return bytes;
}

bool ImageEquals(Image* image, const std::vector<std::uint8_t>& dump) {
    const std::size_t rowBytes = std::size_t(image->width) * 4;
    if (dump.size() != rowBytes * image->height) return false;
    for (std::uint32_t y = 0; y < image->height; ++y)
        if (std::memcmp(ImageRow(image, int(y)), dump.data() + y * rowBytes, rowBytes) != 0)
            return false;
    return true;
}

// What a print from this process alone gives: under Wine, not the game's picture.
bool CrossProcessPrintMatches(HWND render, int width, int height,
                              const std::vector<std::uint8_t>& dump) {
    const BITMAPINFO info = TopDownDibInfo(width, height);
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    PrintWindow(render, dc, 0);
    GdiFlush();
    const bool same = dump.size() == std::size_t(width) * height * 4 &&
                      std::memcmp(bits, dump.data(), dump.size()) == 0;
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    return same;
}

// Set by a viewer in "hold" mode once it has its frames; one name per game, so that runs side by
// side do not signal each other.
std::string HoldEventName(DWORD gameProcessId) {
    return "LumenpaneE2eViewerHolds" + std::to_string(gameProcessId);
}

// The viewer's modes: "plain" (every frame that arrives must be the picture), "hold" (then
// wait to be killed), "busy" (the game's window thread blocks for a while in the middle),
// "large" (the window is larger than the helper accepts).
int RunViewer(DWORD gameProcessId, const std::string& dump, int frames, const std::string& mode) {
    HWND render = GameRenderWindow(gameProcessId);
    const std::vector<std::uint8_t> picture = ReadFileBytes(dump);
    if (!render || picture.empty()) {
        std::printf("viewer: no game window or dump\n");
        return 2;
    }
    RECT rect{};
    GetWindowRect(render, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::printf("viewer: cross-process PrintWindow alone shows the game's picture: %s\n",
                CrossProcessPrintMatches(render, width, height, picture) ? "yes" : "no");
    OpenSurface(640, 480, 32, 1, 0, 0); // images are made while a surface is open
    Image* image = nullptr;
    int copied = 0, identical = 0, kept = 0, lost = 0, results[8] = {};
    double total = 0, worst = 0;
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        if (mode == "busy" && i == 10) PostMessageA(GetParent(render), WM_APP, 0, 400);
        const double start = NowMs();
        const int result = CaptureGameWindow(render, image);
        const double spent = NowMs() - start;
        // The first call also loads the helper; it is not a frame time.
        if (i > 0) {
            total += spent;
            if (spent > worst) worst = spent;
            times.push_back(spent);
        }
        ++results[(result + 8) % 8];
        if (result == 1) ++copied;
        if (result == 1 && ImageEquals(image, picture)) ++identical;
        // A frame that did not arrive, was not asked of a game that did not answer, or whose
        // print runs on past its wait (-6, a loaded machine), leaves the previous picture.
        const bool missed = result == -3 || result == -5 || result == -6;
        if (missed && image && ImageEquals(image, picture)) ++kept;
        if (missed && image && !ImageEquals(image, picture)) ++lost;
        SleepEx(17, FALSE); // the render loop's pace
    }
    std::sort(times.begin(), times.end());
    const double median = times.empty() ? 0.0 : times[times.size() / 2];
    const double p95 = times.empty() ? 0.0 : times[times.size() * 95 / 100];
    std::printf("viewer: helper=%s frames=%d copied=%d identical=%d size=%dx%d "
                "mean=%.3fms median=%.3fms p95=%.3fms worst=%.3fms\n",
                RemoteCaptureActive(render) ? "yes" : "no", frames, copied, identical, width,
                height, frames > 1 ? total / (frames - 1) : 0.0, median, p95, worst);
    std::printf("viewer: results 1:%d 0:%d -1:%d -2:%d -3:%d -4:%d -5:%d -6:%d\n", results[1],
                results[0], results[7], results[6], results[5], results[4], results[3], results[2]);
    std::fflush(stdout);
    if (mode == "hold") {
        HANDLE held = OpenEventA(EVENT_MODIFY_STATE, FALSE, HoldEventName(gameProcessId).c_str());
        if (held) SetEvent(held);
        SleepEx(INFINITE, FALSE); // killed from outside
    }
    const bool helper = RemoteCaptureActive(render);
    StopRemoteCapture();
    if (mode == "large") return helper && results[4] == frames && !image ? 0 : 1;
    // Without the helper the capture prints across processes as on Windows: under Wine that
    // succeeds without the game's picture.
    if (mode == "nohelper") return !helper && results[1] == frames && identical == 0 ? 0 : 1;
    // A frame may miss the wait bound when the machine is loaded; it then keeps the last
    // picture, as it does while the game is busy.
    const int missed = results[5] + results[3] + results[2];
    const bool arrived = helper && identical == copied && copied + missed == frames && lost == 0;
    if (mode == "busy") {
        // Frames are given up while the game is busy (it does not answer the probe, or the
        // frame misses the wait bound), but none waits for the whole 400 ms the game blocks,
        // and the picture comes back.
        const bool bounded = worst < RemoteFrameWaitMs + 200;
        return arrived && missed > 0 && kept == missed && bounded && copied > 10 ? 0 : 1;
    }
    return arrived && copied >= frames / 2 ? 0 : 1;
}

// ---- the checks -----------------------------------------------------------------------

std::string SelfPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

PROCESS_INFORMATION Launch(const std::string& arguments) {
    std::string line = "\"" + SelfPath() + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        std::printf("cannot start (error %lu): %s\n", GetLastError(), line.c_str());
    return process;
}

void Close(PROCESS_INFORMATION& process) {
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    process = PROCESS_INFORMATION{};
}

int ThreadCount(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == processId) ++count;
    CloseHandle(snapshot);
    return count;
}

// Polls until the game's thread count equals `count`, for at most `ms`; returns the time taken
// or -1.
double WaitForThreadCount(DWORD processId, int count, double ms) {
    const double start = NowMs();
    while (NowMs() - start < ms) {
        if (ThreadCount(processId) == count) return NowMs() - start;
        SleepEx(5, FALSE);
    }
    return -1;
}

bool StillRunning(HANDLE process) {
    DWORD code = 0;
    return GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
}

DWORD RunAndWait(const std::string& arguments, DWORD ms) {
    PROCESS_INFORMATION process = Launch(arguments);
    DWORD code = 99;
    if (process.hProcess && WaitForSingleObject(process.hProcess, ms) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else if (process.hProcess)
        TerminateProcess(process.hProcess, 98);
    Close(process);
    return code;
}

PROCESS_INFORMATION StartGame(int width, int height, const std::string& dump) {
    DeleteFileA(dump.c_str());
    PROCESS_INFORMATION game =
        Launch("game " + std::to_string(width) + " " + std::to_string(height) + " " + dump);
    for (int i = 0; i < 500 && GetFileAttributesA(dump.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        SleepEx(10, FALSE);
    SleepEx(100, FALSE); // the dump is written in one go; let it land
    return game;
}

void StopGame(PROCESS_INFORMATION& game) {
    HWND render = GameRenderWindow(game.dwProcessId);
    if (render) PostMessageA(GetParent(render), WM_CLOSE, 0, 0);
    if (WaitForSingleObject(game.hProcess, 3000) != WAIT_OBJECT_0)
        TerminateProcess(game.hProcess, 1);
    Close(game);
}

std::string Figure(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    std::string text(bytes.begin(), bytes.end());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

void CheckSize(int width, int height) {
    const std::string dump = "frame_" + std::to_string(width) + ".bin";
    PROCESS_INFORMATION game = StartGame(width, height, dump);
    const int before = ThreadCount(game.dwProcessId);
    const std::string id = std::to_string(game.dwProcessId);
    const DWORD code = RunAndWait("view " + id + " " + dump + " 200 plain", 60000);
    std::printf("same-process PrintWindow at %dx%d: %s ms per frame\n", width, height,
                Figure(dump + ".time").c_str());
    Check(code == 0, ("200 frames arrive bit for bit (or keep the last one) at " +
                      std::to_string(width) + "x" + std::to_string(height))
                         .c_str());
    Check(WaitForThreadCount(game.dwProcessId, before, 1000) >= 0,
          "a stopped helper leaves the game with its own threads only");
    Check(StillRunning(game.hProcess), "the game runs on after the viewer ended");
    StopGame(game);
}

std::string HelperPath(std::vector<std::uint8_t>* bytes);

bool ModuleLoaded(DWORD processId, const std::string& path) {
    return ModuleLoadedInProcess(processId, WideFromUtf8(path));
}

void CheckKilledViewer() {
    std::vector<std::uint8_t> helper;
    const std::string helperPath = HelperPath(&helper);
    const std::string dump = "frame_kill.bin";
    PROCESS_INFORMATION game = StartGame(324, 244, dump);
    const int before = ThreadCount(game.dwProcessId);
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, HoldEventName(game.dwProcessId).c_str());
    const std::string id = std::to_string(game.dwProcessId);
    PROCESS_INFORMATION viewer = Launch("view " + id + " " + dump + " 20 hold");
    const bool holding = WaitForSingleObject(held, 20000) == WAIT_OBJECT_0;
    Check(holding, "a viewer attached and holds");
    const int during = ThreadCount(game.dwProcessId);
    std::printf("game threads: %d before, %d with the helper\n", before, during);
    Check(during == before + 1, "the helper runs as one extra thread in the game");
    Check(ModuleLoaded(game.dwProcessId, helperPath), "the helper library shows in the game");
    TerminateProcess(viewer.hProcess, 1);
    WaitForSingleObject(viewer.hProcess, 5000);
    Close(viewer);
    const double gone = WaitForThreadCount(game.dwProcessId, before, 1000);
    std::printf("helper thread gone %.1f ms after the viewer was killed\n", gone);
    Check(gone >= 0, "killing the viewer ends the helper thread within a second");
    SleepEx(100, FALSE);
    Check(!ModuleLoaded(game.dwProcessId, helperPath), "and the helper library is unloaded");
    Check(StillRunning(game.hProcess), "the game runs on after the viewer was killed");
    const DWORD again = RunAndWait("view " + id + " " + dump + " 50 plain", 60000);
    Check(again == 0, "a second viewer attaches to the same game and gets its picture");
    Check(WaitForThreadCount(game.dwProcessId, before, 1000) >= 0,
          "the second helper is gone after its viewer stopped it");
    CloseHandle(held);
    StopGame(game);
}

void CheckBusyGameAndLargeWindow() {
    const std::string dump = "frame_busy.bin";
    PROCESS_INFORMATION game = StartGame(324, 244, dump);
    const std::string id = std::to_string(game.dwProcessId);
    Check(RunAndWait("view " + id + " " + dump + " 60 busy", 60000) == 0,
          "while the game is busy, frames give up after the bound and keep the last picture");
    StopGame(game);

    const std::string large = "frame_large.bin";
    game = StartGame(1100, 300, large);
    Check(RunAndWait("view " + std::to_string(game.dwProcessId) + " " + large + " 10 large",
                     60000) == 0,
          "a window wider than the helper accepts is refused and no image is made");
    StopGame(game);
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('\\') + 1);
}

std::vector<std::string> LogLines() {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(FolderOf(SelfPath()) + "lumenpane.log");
    std::vector<std::string> lines;
    std::string line;
    for (std::uint8_t byte : bytes) {
        if (byte == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (byte != '\r') {
            line += char(byte);
        }
    }
    return lines;
}

// Where the viewer keeps its copy of the helper library, from the same resource it uses.
std::string HelperPath(std::vector<std::uint8_t>* bytes) {
    HRSRC resource =
        FindResourceA(nullptr, MAKEINTRESOURCEA(LMP_CAPTURE_HELPER_RESOURCE), MAKEINTRESOURCEA(10));
    const auto* data =
        static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, resource)));
    bytes->assign(data, data + SizeofResource(nullptr, resource));
    char name[64], folder[MAX_PATH];
    HelperFileName(bytes->data(), bytes->size(), int(sizeof(void*) * 8), name, sizeof name);
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "lumenpane\\" + name;
}

// A damaged copy of the helper in the temporary folder is replaced before it is loaded; names
// taken by someone else leave the viewer printing as usual, with one line in its log.
void CheckDamagedCopyAndTakenNames() {
    const std::string dump = "frame_names.bin";
    PROCESS_INFORMATION game = StartGame(324, 244, dump);
    const std::string id = std::to_string(game.dwProcessId);
    std::vector<std::uint8_t> helper;
    const std::string path = HelperPath(&helper);
    const char damage[] = "not the helper library";
    Check(WriteFileBytes(path, damage, sizeof damage), "the helper's copy can be damaged");
    Check(RunAndWait("view " + id + " " + dump + " 10 plain", 60000) == 0,
          "with a damaged copy in the temporary folder the picture still arrives");
    Check(ReadFileBytes(path) == helper, "the damaged copy was replaced by the helper");

    DeleteFileA((FolderOf(SelfPath()) + "lumenpane.log").c_str());
    char name[96];
    RemoteObjectName(game.dwProcessId, "map", name, sizeof name);
    HANDLE squatter =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name);
    Check(RunAndWait("view " + id + " " + dump + " 10 nohelper", 60000) == 0,
          "names taken by another process: no helper, the usual print");
    const std::vector<std::string> lines = LogLines();
    for (const std::string& line : lines) std::printf("lumenpane.log: %s\n", line.c_str());
    Check(lines.size() == 1 && lines[0].find("taken") != std::string::npos,
          "one line in lumenpane.log says why the helper was not used");
    CloseHandle(squatter);
    StopGame(game);
}

int RunChecks() {
    CheckSize(324, 244);
    CheckSize(644, 484);
    CheckKilledViewer();
    CheckBusyGameAndLargeWindow();
    CheckDamagedCopyAndTakenNames();
    std::printf("%s (%d failed)\n", Failures ? "FAILED" : "ALL PASSED", Failures);
    return Failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "game") == 0)
        return RunGame(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
    if (argc == 6 && std::strcmp(argv[1], "view") == 0)
        return RunViewer(DWORD(std::strtoul(argv[2], nullptr, 10)), argv[3], std::atoi(argv[4]),
                         argv[5]);
    return RunChecks();
}
