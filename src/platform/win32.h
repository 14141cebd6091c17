// The one seam between the programs' logic and the Windows API.
//
// Product code includes this header and calls the Windows functions by their own names,
// in their ANSI forms. The Windows build gets the real <windows.h>. The native build gets
// the declarations below, with the same names, types and constant values; the simulated
// desktop under tests/sim defines the functions, so the same logic runs in unit tests.
//
// COM, the PNG codec and the user's known folders, which only a few Windows-only files use,
// stand in win32_com.h: they would double the time this header takes to compile.
#pragma once

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The desktop compositor's timing record (dwmapi.dll is looked up at run time).
#include <dwmapi.h>
// Module and thread lists of a process (the capture helper's load check under Wine).
#include <tlhelp32.h>
// The system timer's period (winmm).
#include <mmsystem.h>
// windows.h defines DrawText as DrawTextA; the image code has its own DrawText.
#undef DrawText

#else

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using SHORT = std::int16_t;
using UINT_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using SIZE_T = std::size_t;

struct HWND__;
struct HDC__;
struct HGDIOBJ__;
using HWND = HWND__*;
using HDC = HDC__*;
using HGDIOBJ = HGDIOBJ__*;
using HBITMAP = HGDIOBJ__*;
struct HMONITOR__;
using HMONITOR = HMONITOR__*;
struct DPI_AWARENESS_CONTEXT__;
using DPI_AWARENESS_CONTEXT = DPI_AWARENESS_CONTEXT__*;
using HANDLE = void*;
using HMODULE = void*;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

struct RECT {
    LONG left, top, right, bottom;
};
struct POINT {
    LONG x, y;
};
struct SIZE {
    LONG cx, cy;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
struct RGBQUAD {
    BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved, lpDesktop, lpTitle;
    DWORD dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute, dwFlags;
    WORD wShowWindow, cbReserved2;
    BYTE* lpReserved2;
    HANDLE hStdInput, hStdOutput, hStdError;
};
struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
struct SECURITY_ATTRIBUTES;

// Window lookup and placement.
constexpr UINT GW_CHILD = 5;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(-1);
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(-2);
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_ASYNCWINDOWPOS = 0x4000;
constexpr LONG WS_VISIBLE = 0x10000000;
constexpr LONG WS_CAPTION = 0x00C00000;
constexpr LONG WS_MINIMIZE = 0x20000000;
constexpr LONG WS_MAXIMIZE = 0x01000000;
constexpr LONG WS_THICKFRAME = 0x00040000;
constexpr LONG WS_MAXIMIZEBOX = 0x00010000;
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT SMTO_ABORTIFHUNG = 0x0002;
// A window's size, place and state (normal, minimised or maximised), as the player left it.
struct WINDOWPLACEMENT {
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};
constexpr UINT WM_DISPLAYCHANGE = 0x007E;

// Monitors.
struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
constexpr DWORD MONITORINFOF_PRIMARY = 0x0001;
constexpr DWORD MONITOR_DEFAULTTONULL = 0;
constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;

// DPI awareness of threads and windows (user32 of Windows 10 1607 and later, looked up at run
// time with GetProcAddress).
enum DPI_AWARENESS {
    DPI_AWARENESS_INVALID = -1,
    DPI_AWARENESS_UNAWARE = 0,
    DPI_AWARENESS_SYSTEM_AWARE = 1,
    DPI_AWARENESS_PER_MONITOR_AWARE = 2
};
inline const DPI_AWARENESS_CONTEXT DPI_AWARENESS_CONTEXT_UNAWARE =
    reinterpret_cast<DPI_AWARENESS_CONTEXT>(-1);
inline const DPI_AWARENESS_CONTEXT DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE =
    reinterpret_cast<DPI_AWARENESS_CONTEXT>(-3);
inline const DPI_AWARENESS_CONTEXT DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 =
    reinterpret_cast<DPI_AWARENESS_CONTEXT>(-4);
constexpr UINT WM_DPICHANGED = 0x02E0;
constexpr UINT WM_GETDPISCALEDSIZE = 0x02E4;

// Keys.
constexpr BYTE VK_RETURN = 0x0D;
constexpr BYTE VK_F4 = 0x73;
constexpr BYTE VK_F5 = 0x74;
constexpr BYTE VK_F6 = 0x75;
constexpr BYTE VK_F7 = 0x76;
constexpr BYTE VK_F8 = 0x77;
constexpr BYTE VK_F9 = 0x78;
constexpr BYTE VK_F11 = 0x7A;
constexpr DWORD KEYEVENTF_KEYUP = 0x0002;

// Message boxes.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_ICONHAND = 0x0010;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_ICONINFORMATION = 0x0040;

// Processes.
constexpr DWORD STILL_ACTIVE = 259;
constexpr DWORD IDLE_PRIORITY_CLASS = 0x0040;
constexpr DWORD NORMAL_PRIORITY_CLASS = 0x0020;
constexpr DWORD HIGH_PRIORITY_CLASS = 0x0080;
constexpr DWORD BELOW_NORMAL_PRIORITY_CLASS = 0x4000;
constexpr DWORD PROCESS_SET_INFORMATION = 0x0200;
constexpr DWORD PROCESS_QUERY_LIMITED_INFORMATION = 0x1000;
constexpr DWORD ABOVE_NORMAL_PRIORITY_CLASS = 0x8000;
constexpr DWORD SYNCHRONIZE = 0x00100000;
constexpr DWORD DUPLICATE_SAME_ACCESS = 0x0002;
constexpr DWORD MAX_PATH = 260;

// Power throttling of a process (SetProcessInformation, kernel32 of Windows 8 and later, looked
// up at run time; the execution-speed flag counts from Windows 10 1709, the timer-resolution
// flag from Windows 11).
using ULONG = std::uint32_t;
enum PROCESS_INFORMATION_CLASS { ProcessPowerThrottling = 4 };
struct PROCESS_POWER_THROTTLING_STATE {
    ULONG Version;
    ULONG ControlMask;
    ULONG StateMask;
};
constexpr ULONG PROCESS_POWER_THROTTLING_CURRENT_VERSION = 1;
constexpr ULONG PROCESS_POWER_THROTTLING_EXECUTION_SPEED = 0x1;
constexpr ULONG PROCESS_POWER_THROTTLING_IGNORE_TIMER_RESOLUTION = 0x4;

// The Windows version (as the programs' manifest lets Windows tell it: the real one).
struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
};
BOOL GetVersionExA(OSVERSIONINFOA* info);

// What a thread asks of the power management: the display kept on while it says so.
using EXECUTION_STATE = DWORD;
constexpr EXECUTION_STATE ES_DISPLAY_REQUIRED = 0x00000002;
constexpr EXECUTION_STATE ES_CONTINUOUS = 0x80000000;

// Waiting.
constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

// System settings.
constexpr UINT SPI_GETSCREENSAVEACTIVE = 0x0010;
constexpr UINT SPI_SETSCREENSAVEACTIVE = 0x0011;

// Graphics.
constexpr DWORD BI_RGB = 0;
constexpr UINT DIB_RGB_COLORS = 0;

HWND FindWindowA(LPCSTR className, LPCSTR windowName);
HWND GetWindow(HWND window, UINT command);
int GetWindowTextA(HWND window, LPSTR text, int maxCount);
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
// What a thread's windows are in: a move or size, a menu, the mouse captured.
struct GUITHREADINFO {
    DWORD cbSize;
    DWORD flags;
    HWND hwndActive, hwndFocus, hwndCapture, hwndMenuOwner, hwndMoveSize, hwndCaret;
    RECT rcCaret;
};
constexpr DWORD GUI_INMENUMODE = 0x4;
constexpr DWORD GUI_INMOVESIZE = 0x2;
constexpr DWORD GUI_SYSTEMMENUMODE = 0x8;
BOOL GetGUIThreadInfo(DWORD thread, GUITHREADINFO* info);
BOOL IsWindow(HWND window);
BOOL IsIconic(HWND window);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL GetClientRect(HWND window, RECT* rect);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL ShowWindow(HWND window, int command);
BOOL ShowWindowAsync(HWND window, int command);
BOOL IsWindowVisible(HWND window);
LONG GetWindowLongA(HWND window, int index);
LONG SetWindowLongA(HWND window, int index, LONG value);
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);
int GetSystemMetrics(int index);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND window);
SHORT GetAsyncKeyState(int key);
void keybd_event(BYTE key, BYTE scan, DWORD flags, UINT_PTR extraInfo);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags,
                            UINT timeoutMs, DWORD_PTR* result);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

#define CALLBACK
using MONITORENUMPROC = BOOL (*)(HMONITOR monitor, HDC dc, RECT* rect, LPARAM data);
BOOL EnumDisplayMonitors(HDC dc, const RECT* clip, MONITORENUMPROC callback, LPARAM data);
BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info);
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
HMONITOR MonitorFromWindow(HWND window, DWORD flags);

using FARPROC = LONG_PTR (*)();
HMODULE GetModuleHandleA(LPCSTR moduleName);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);

HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* mode);
HDC CreateCompatibleDC(HDC dc);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteDC(HDC dc);
BOOL DeleteObject(HGDIOBJ object);
BOOL PrintWindow(HWND window, HDC dc, UINT flags);

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine,
                    SECURITY_ATTRIBUTES* processAttributes, SECURITY_ATTRIBUTES* threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, LPVOID environment,
                    LPCSTR currentDirectory, STARTUPINFOA* startupInfo,
                    PROCESS_INFORMATION* processInformation);
BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode);
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
LPSTR GetCommandLineA();
HANDLE GetCurrentProcess();
DWORD GetCurrentProcessId();
HANDLE OpenProcess(DWORD access, BOOL inheritHandle, DWORD processId);
BOOL CloseHandle(HANDLE handle);
BOOL SetPriorityClass(HANDLE process, DWORD priorityClass);
DWORD GetPriorityClass(HANDLE process);
BOOL DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess, HANDLE* target,
                     DWORD access, BOOL inheritHandle, DWORD options);
HANDLE CreateEventA(SECURITY_ATTRIBUTES* attributes, BOOL manualReset, BOOL initialState,
                    LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
// Threads of the process; a thread's handle is signalled once it has ended.
#define WINAPI
using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);
HANDLE CreateThread(SECURITY_ATTRIBUTES* attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, DWORD* threadId);
BOOL SystemParametersInfoA(UINT action, UINT parameter, void* value, UINT update);
DWORD SleepEx(DWORD milliseconds, BOOL alertable);
EXECUTION_STATE SetThreadExecutionState(EXECUTION_STATE flags);

// A lock for threads of one process; re-entrant for the thread that holds it.
struct CRITICAL_SECTION {
    void* lock;
};
void InitializeCriticalSection(CRITICAL_SECTION* section);
void EnterCriticalSection(CRITICAL_SECTION* section);
void LeaveCriticalSection(CRITICAL_SECTION* section);
void DeleteCriticalSection(CRITICAL_SECTION* section);

union LARGE_INTEGER {
    std::int64_t QuadPart;
};
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
DWORD GetTickCount();

// The local date and time.
struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};
void GetLocalTime(SYSTEMTIME* time);

// The system timer's period: sleeps last whole ticks of it (15.625 ms by default).
using MMRESULT = UINT;
constexpr MMRESULT TIMERR_NOERROR = 0;
MMRESULT timeBeginPeriod(UINT period);
MMRESULT timeEndPeriod(UINT period);

#endif
