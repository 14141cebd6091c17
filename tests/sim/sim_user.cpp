// Window, keyboard, message and clock functions of the simulated desktop.
#include "sim_desktop.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

SimWindow* Find(HWND window) {
    auto it = Sim.windows.find(window);
    return it == Sim.windows.end() ? nullptr : &it->second;
}

std::string H(const void* handle) {
    return SimHandleText(handle);
}

void Log(const std::string& text) {
    Sim.calls.push_back(text);
}

} // namespace

HWND FindWindowA(LPCSTR className, LPCSTR windowName) {
    for (HWND handle : Sim.creationOrder) {
        const SimWindow& w = Sim.windows.at(handle);
        if (w.parent) continue;
        if (className && w.className != className) continue;
        if (windowName && w.caption != windowName) continue;
        return handle;
    }
    return nullptr;
}

HWND GetWindow(HWND window, UINT command) {
    if (command != GW_CHILD || !Find(window)) return nullptr;
    for (HWND handle : Sim.creationOrder)
        if (Sim.windows.at(handle).parent == window) return handle;
    return nullptr;
}

int GetWindowTextA(HWND window, LPSTR text, int maxCount) {
    SimWindow* w = Find(window);
    if (!w || maxCount <= 0) return 0;
    const std::size_t n = std::min(w->caption.size(), std::size_t(maxCount - 1));
    std::memcpy(text, w->caption.data(), n);
    text[n] = '\0';
    return int(n);
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
    SimWindow* w = Find(window);
    if (processId) *processId = w ? w->processId : 0;
    return w ? 1 : 0;
}

BOOL GetGUIThreadInfo(DWORD thread, GUITHREADINFO* info) {
    if (!thread || info->cbSize != sizeof *info) return FALSE;
    *info = GUITHREADINFO{sizeof *info, Sim.guiFlags, nullptr, nullptr, Sim.guiCapture,
                          nullptr,      nullptr,      nullptr, {}};
    return TRUE;
}

BOOL IsWindow(HWND window) {
    return Find(window) != nullptr;
}

BOOL IsIconic(HWND window) {
    SimWindow* w = Find(window);
    return w && w->minimised;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    SimWindow* w = Find(window);
    if (!w) return FALSE;
    *rect = SimConvertRect(w->rect, w->perMonitorAware, SimThreadPerMonitorAware());
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    Log("MoveWindow(" + H(window) + "," + std::to_string(x) + "," + std::to_string(y) + "," +
        std::to_string(width) + "," + std::to_string(height) + "," + std::to_string(repaint) + ")");
    const bool callerAware = SimThreadPerMonitorAware();
    SimWaitForAnswer(window);
    SimWindow* w = Find(window);
    if (!w) return FALSE;
    w->rect = SimConvertRect(RECT{x, y, x + width, y + height}, callerAware, w->perMonitorAware);
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    Log("SetWindowPos(" + H(window) + "," + H(insertAfter) + "," + std::to_string(x) + "," +
        std::to_string(y) + "," + std::to_string(cx) + "," + std::to_string(cy) + "," +
        std::to_string(flags) + ")");
    if (!Find(window)) return FALSE;
    const RECT rect = SimConvertRect(RECT{x, y, x + cx, y + cy}, SimThreadPerMonitorAware(),
                                     Find(window)->perMonitorAware);
    auto apply = [=] {
        SimWindow* w = Find(window);
        if (!w) return;
        w->rect = rect;
        if (insertAfter == HWND_TOPMOST) w->topmost = true;
        if (insertAfter == HWND_NOTOPMOST) w->topmost = false;
        if (flags & SWP_SHOWWINDOW) w->visible = true;
    };
    if ((flags & SWP_ASYNCWINDOWPOS) && SimHungFor(window) > 0.0)
        SimAfter(SimHungFor(window), apply);
    else {
        if (!(flags & SWP_ASYNCWINDOWPOS)) SimWaitForAnswer(window);
        apply();
    }
    return TRUE;
}

namespace {

void ApplyShow(SimWindow* w, int command) {
    constexpr int minimise = 6, restore = 9;
    if (command == SW_HIDE) w->visible = false;
    if (command == SW_SHOW) w->visible = true;
    if (command == minimise) w->minimised = true;
    if (command == restore) w->minimised = false, w->visible = true;
}

} // namespace

BOOL ShowWindow(HWND window, int command) {
    Log("ShowWindow(" + H(window) + "," + std::to_string(command) + ")");
    SimWaitForAnswer(window);
    SimWindow* w = Find(window);
    if (!w) return FALSE;
    const bool wasVisible = w->visible;
    ApplyShow(w, command);
    return wasVisible;
}

BOOL ShowWindowAsync(HWND window, int command) {
    Log("ShowWindowAsync(" + H(window) + "," + std::to_string(command) + ")");
    SimWindow* w = Find(window);
    if (!w) return FALSE;
    if (SimHungFor(window) > 0.0)
        SimAfter(SimHungFor(window), [=] {
            if (SimWindow* later = Find(window)) ApplyShow(later, command);
        });
    else
        ApplyShow(w, command);
    return TRUE;
}

BOOL IsWindowVisible(HWND window) {
    SimWindow* w = Find(window);
    return w && w->visible;
}

LONG GetWindowLongA(HWND window, int index) {
    SimWindow* w = Find(window);
    if (!w) return 0;
    return index == GWL_STYLE ? w->style : index == GWL_EXSTYLE ? w->exStyle : 0;
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    Log("SetWindowLongA(" + H(window) + "," + std::to_string(index) + "," +
        std::to_string(std::uint32_t(value)) + ")");
    SimWaitForAnswer(window);
    SimWindow* w = Find(window);
    if (!w) return 0;
    LONG& field = index == GWL_STYLE ? w->style : w->exStyle;
    const LONG old = field;
    field = value;
    return old;
}

// Windows are never maximised here: a window's rectangle is its placement.
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
    placement->showCmd = SW_SHOWNORMAL;
    return GetWindowRect(window, &placement->rcNormalPosition);
}

BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
    const RECT& r = placement->rcNormalPosition;
    return SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                        SWP_SHOWWINDOW);
}

int GetSystemMetrics(int index) {
    const RECT primary = SimMonitorList().front().second;
    return index == SM_CXSCREEN   ? primary.right - primary.left
           : index == SM_CYSCREEN ? primary.bottom - primary.top
                                  : 0;
}

HWND GetForegroundWindow() {
    return Sim.foreground;
}

BOOL SetForegroundWindow(HWND window) {
    Log("SetForegroundWindow(" + H(window) + ")");
    if (!Find(window)) return FALSE;
    Sim.foreground = Sim.foregroundTakenLate ? nullptr : window;
    return TRUE;
}

SHORT GetAsyncKeyState(int key) {
    if (key < 0 || key > 255) return 0;
    SHORT state = 0;
    if (Sim.keyDown[key]) state |= SHORT(0x8000);
    if (Sim.keyPressedSinceQuery[key]) state |= 1;
    Sim.keyPressedSinceQuery[key] = false;
    return state;
}

void keybd_event(BYTE key, BYTE scan, DWORD flags, UINT_PTR /*extraInfo*/) {
    Log("keybd_event(" + std::to_string(key) + "," + std::to_string(scan) + "," +
        std::to_string(flags) + ")");
    Sim.keyEvents.push_back(SimKeyEvent{key, flags, Sim.clockMs});
    if (Sim.onKeyEvent) Sim.onKeyEvent(key, flags);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM, LPARAM) {
    Log("SendMessageA(" + H(window) + "," + std::to_string(message) + ")");
    SimWaitForAnswer(window);
    SimWindow* w = Find(window);
    if (!w) return 0;
    w->messages.push_back(message);
    if (Sim.onMessage) Sim.onMessage(window, message);
    return 0;
}

LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM, LPARAM, UINT, UINT timeoutMs,
                            DWORD_PTR* result) {
    Log("SendMessageTimeoutA(" + H(window) + "," + std::to_string(message) + "," +
        std::to_string(timeoutMs) + ")");
    if (result) *result = 0;
    if (!Find(window)) return 0;
    if (SimHungFor(window) > timeoutMs) {
        SimAdvance(timeoutMs);
        return 0;
    }
    SimWaitForAnswer(window);
    return 1;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM, LPARAM) {
    Log("PostMessageA(" + H(window) + "," + std::to_string(message) + ")");
    SimWindow* w = Find(window);
    if (!w) return FALSE;
    w->posted.push_back(message);
    return TRUE;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    Log("MessageBoxA(" + H(owner) + ")");
    Sim.messageBoxes.push_back(SimMessageBox{text ? text : "", caption ? caption : "", type});
    return Sim.messageBoxResult;
}

DWORD SleepEx(DWORD milliseconds, BOOL /*alertable*/) {
    Log("SleepEx(" + std::to_string(milliseconds) + ")");
    double tick = Sim.timerTickMs;
    for (UINT period : Sim.timerPeriods) tick = std::min(tick, double(period));
    double end = Sim.clockMs + milliseconds;
    if (tick > 0.0) end = std::ceil(end / tick) * tick;
    SimAdvance(end - Sim.clockMs);
    return 0;
}

MMRESULT timeBeginPeriod(UINT period) {
    Log("timeBeginPeriod(" + std::to_string(period) + ")");
    if (period == 0) return 97; // TIMERR_NOCANDO
    Sim.timerPeriods.push_back(period);
    return TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT period) {
    Log("timeEndPeriod(" + std::to_string(period) + ")");
    auto it = std::find(Sim.timerPeriods.begin(), Sim.timerPeriods.end(), period);
    if (it == Sim.timerPeriods.end()) return 97;
    Sim.timerPeriods.erase(it);
    return TIMERR_NOERROR;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    frequency->QuadPart = 1000000; // microseconds
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    count->QuadPart = std::int64_t(Sim.clockMs * 1000.0);
    return TRUE;
}

DWORD GetTickCount() {
    return DWORD(Sim.clockMs);
}

// 2026-12-09 14:03 local time plus the simulated clock, within that hour.
void GetLocalTime(SYSTEMTIME* time) {
    const auto ms = std::int64_t(Sim.clockMs) % 3600000;
    *time = SYSTEMTIME{2026, 12, 3, 9, 14, WORD(ms / 60000), WORD(ms / 1000 % 60), WORD(ms % 1000)};
}
