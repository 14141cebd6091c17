// A small simulated desktop behind the Win32 seam, for native tests.
//
// It keeps windows, the foreground, key states, processes, message boxes, GDI objects and a
// clock that only moves when the code under test sleeps. Tests set it up through the Sim
// record and the helpers below, run one step of the code under test, and read what
// happened from the record and the call log.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

struct SimWindow {
    HWND handle = nullptr;
    HWND parent = nullptr; // null for top-level windows
    std::string className;
    std::string caption;
    RECT rect{};
    LONG style = 0;
    LONG exStyle = 0;
    bool visible = true;
    bool minimised = false;
    bool topmost = false;
    DWORD processId = 0;
    // Made by a per-monitor aware thread: rect is in real pixels; otherwise in the 96-DPI
    // pixels of the monitor it is on.
    bool perMonitorAware = false;
    // What PrintWindow draws for this window: one colour per pixel of its outer rectangle
    // (row by row), or nothing when empty. printResult is what PrintWindow returns.
    std::vector<std::uint32_t> picture;
    BOOL printResult = TRUE;
    // A print waits until this time even when the window's thread answers messages: the
    // game answered a probe and then stopped answering before the print reached it.
    double printHungUntilMs = 0.0;
    // Called by PrintWindow before it copies the picture: a game that draws what is due now.
    std::function<void(SimWindow&)> paint;
    std::vector<UINT> messages; // messages received through SendMessageA
    std::vector<UINT> posted;   // messages posted with PostMessageA
};

// One monitor of the desktop: its rectangle in desktop coordinates and the handle it keeps
// while it is connected (0: its place in the list plus one).
// DPI virtualisation: the rectangles are in the monitor's real pixels, and a thread that is not
// per-monitor aware sees every coordinate on it divided by dpi / 96.
struct SimMonitor {
    RECT rect{};
    int id = 0;
    UINT dpi = 96;
    RECT work{}; // the work area, in real pixels too; empty: the whole monitor
};

struct SimKeyEvent {
    BYTE key;
    DWORD flags;
    double timeMs;
};

struct SimMessageBox {
    std::string text;
    std::string caption;
    UINT type;
};

// What a handle stands for: an event's state, or a process.
struct SimHandleObject {
    std::shared_ptr<bool> event;
    DWORD processId = 0;
};

struct SimProcess {
    DWORD processId = 0;
    DWORD exitCode = STILL_ACTIVE;
    DWORD priorityClass = NORMAL_PRIORITY_CLASS;
    std::string applicationName;
    std::string commandLine;
    // Handles it inherited from the process that started it (same values).
    std::map<HANDLE, SimHandleObject> inherited;
    // The process's window thread answers nothing before this time: calls that wait for it
    // return only then, requests that do not wait take effect then.
    double hungUntilMs = 0.0;
    // A game whose window thread reads its messages once per frame: with a period set, a call
    // that waits for it returns at the next loop, at answerPhaseMs plus whole periods.
    double answerPeriodMs = 0.0;
    double answerPhaseMs = 0.0;
    // (ControlMask, StateMask) set for the timer resolution's policy, and for the execution
    // speed's: each call that names the policy's flag, and each that gives every policy back
    // (an empty ControlMask).
    std::vector<std::pair<ULONG, ULONG>> powerThrottling{};
    std::vector<std::pair<ULONG, ULONG>> speedThrottling{};
};

// The settings of one CreateProcessA call, apart from the names.
struct SimProcessStart {
    bool processAttributes = false, threadAttributes = false, inheritHandles = false;
    DWORD creationFlags = 0;
    bool environment = false, currentDirectory = false;
    DWORD startupSize = 0;
    bool startupBlank = false; // nothing set in the start-up information apart from its size
};

struct SimGdiObject {
    bool isDc = false;
    HGDIOBJ selected = nullptr; // for a DC: the bitmap selected into it
    bool selectedSomewhere = false;
    int width = 0, height = 0; // for a bitmap
    std::vector<std::uint32_t> bits;
};

// Thrown by the simulated EndProgram, so a test can see the exit code.
struct SimProgramEnd {
    int exitCode;
};

struct SimDesktopRecord {
    std::map<HWND, SimWindow> windows;
    std::vector<HWND> creationOrder; // FindWindowA returns the first match in this order
    HWND foreground = nullptr;
    // GetGUIThreadInfo's flags and capture window for every window thread (the player moving
    // a window, in a menu, holding the mouse).
    DWORD guiFlags = 0;
    HWND guiCapture = nullptr;
    // SetForegroundWindow leaves no window in front, as Wine does until the new window's
    // thread takes the foreground.
    bool foregroundTakenLate = false;
    int screenWidth = 1024;
    int screenHeight = 768;
    // The monitors, the primary first; empty: one monitor of screenWidth x screenHeight at
    // (0, 0). SM_CXSCREEN and SM_CYSCREEN give the primary's size.
    std::vector<SimMonitor> monitors;
    // SetThreadDpiAwarenessContext and its kin are offered (Windows 10 1607 and later), and
    // per-monitor v2 is refused with error 87 (Wine 8).
    bool dpiContextsOffered = true;
    bool refusesPerMonitorV2 = false;
    // SetProcessInformation offered (Windows 8 and later), and refused; lumenpane.log's lines.
    bool processInformationOffered = true, refusesProcessInformation = false;
    ULONG refusedThrottlingFlags = 0; // a call naming any of these fails, as on older Windows
    DWORD windowsBuild = 22631;       // GetVersionExA's, Windows 11
    std::vector<std::string> viewerLog;

    bool keyDown[256] = {};
    bool keyPressedSinceQuery[256] = {};
    std::vector<SimKeyEvent> keyEvents;

    std::vector<SimMessageBox> messageBoxes;
    int messageBoxResult = 1; // IDOK

    std::map<DWORD, SimProcess> processes;
    DWORD currentProcessId = 100;
    DWORD nextProcessId = 200;
    std::map<HANDLE, DWORD> openHandles;  // process handles from OpenProcess/CreateProcessA
    std::vector<DWORD> openProcessAccess; // access rights asked of OpenProcess, in order
    std::string modulePath = "C:\\Games\\Demo\\lumenpane.exe";
    std::string commandLine = "lumenpane.exe";
    std::vector<SimProcessStart> processStarts; // every CreateProcessA call, in order
    // Events by handle; duplicated handles share one state (true: set).
    std::map<HANDLE, std::shared_ptr<bool>> events;
    std::set<HANDLE> inheritable; // handles a started process inherits
    bool screenSaverActive = true;

    std::map<HGDIOBJ, SimGdiObject> gdiObjects;
    int gdiObjectsMade = 0;
    int gdiObjectsDeleted = 0;
    bool failCreateDibSection = false;
    bool failOpenSurface = false; // OpenSurface closes the old surface, then fails
    int surfaceGrid = 2;          // the grid SurfaceGrid gives for where the window shows
    bool failCreateThread = false;

    int criticalSectionDepth = 0; // entries minus exits over all critical sections

    double clockMs = 1000000.0; // the system has been up a while: time 0.0 is long past
    // The system timer. With a tick set, a sleep lasts until the first tick (a multiple of
    // timerTickMs) at or after its start plus the time asked for, unless a finer period is
    // requested; 0 (the default) makes every sleep exact.
    double timerTickMs = 0.0;
    std::vector<UINT> timerPeriods; // requested with timeBeginPeriod and not given back
    std::vector<std::string> calls; // "Name(args)" for every seam call that changes something

    // Scripted reactions.
    std::function<bool(const std::string& applicationName, const std::string& commandLine,
                       DWORD processId)>
        onCreateProcess;                                      // false: the start fails
    std::function<void(BYTE key, DWORD flags)> onKeyEvent;    // after keybd_event
    std::function<void(HWND window, UINT message)> onMessage; // after SendMessageA
    std::multimap<double, std::function<void()>> scheduled;   // run when the clock passes
};

extern SimDesktopRecord Sim;

// Start from an empty desktop (also resets the surface and the clock).
void ResetSim();

HWND SimAddWindow(const std::string& className, const std::string& caption, RECT rect,
                  DWORD processId = 0, HWND parent = nullptr);
void SimRemoveWindow(HWND window); // also removes its children
SimWindow& SimWindowOf(HWND window);
DWORD SimAddProcess(const std::string& applicationName = "");
void SimEndProcess(DWORD processId, DWORD exitCode = 0);
// Make the handles a started process inherited usable, as that process would see them (the
// simulated desktop has one handle table: code run next acts as that process).
void SimAdoptInheritedHandles(DWORD processId);

// Key state as the user would make it: down, up, or a press that was released before the
// next query (GetAsyncKeyState reports it once).
void SimKeyDown(BYTE key);
void SimKeyUp(BYTE key);
void SimTap(BYTE key);

// Run fn when the simulated clock reaches atMs (absolute) or after delayMs from now.
void SimAt(double atMs, std::function<void()> fn);
void SimAfter(double delayMs, std::function<void()> fn);
// Move the clock forward, running what was scheduled on the way. While threads made with
// CreateThread run, it is a wait of the calling thread, and the others go on meanwhile.
void SimAdvance(double ms);
// The clock alone: forward by ms, running what was scheduled on the way.
void SimMoveClock(double ms);

// Threads made with CreateThread (sim_threads.cpp): whether one has not ended; the calling
// thread's wait until ready() holds or the clock reaches untilMs (true: ready), others going
// on meanwhile; a thread handle's state (-1 not a thread, 0 running, 1 ended); closing one.
// ResetSim ends every thread inside the wait it is in.
bool SimThreadsRunning();
bool SimWaitUntil(const std::function<bool()>& ready, double untilMs);
int SimThreadState(HANDLE handle);
bool SimCloseThreadHandle(HANDLE handle);
void SimEndThreads();

// How long a call that waits for this window's thread waits now (0 unless it hangs), and
// that wait itself: the clock moves on to the end of the hang.
double SimHungFor(HWND window);
void SimWaitForAnswer(HWND window);

// The monitors as the desktop has them now (Sim.monitors, or the one screen), each with its
// handle and its rectangle as the calling thread sees it.
std::vector<std::pair<HMONITOR, RECT>> SimMonitorList();
// Whether the calling thread runs per-monitor aware (its own DPI awareness context).
bool SimThreadPerMonitorAware();
void SimSetThreadPerMonitorAware(bool aware);
void SimResetThreadDpiContext(); // the calling thread unaware again
UINT SimMonitorDpi(HMONITOR monitor);
// A rectangle as a thread of one awareness sees it, as a thread of the other sees it (the
// conversion of the monitor it is on, or the nearest).
RECT SimConvertRect(const RECT& rect, bool fromAware, bool toAware);

BOOL SimSetProcessInformation(HANDLE process, PROCESS_INFORMATION_CLASS kind, LPVOID information,
                              DWORD size); // kernel32's, through GetProcAddress
int SimLiveGdiObjects();
// Calls in the log whose text starts with prefix.
std::vector<std::string> SimCallsStartingWith(const std::string& prefix);
std::string SimHandleText(const void* handle);
