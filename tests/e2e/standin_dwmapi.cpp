// A stand-in for the desktop compositor's dwmapi.dll, for the end-to-end tests only (never
// shipped). Wine's DwmFlush returns at once, so under Wine alone the viewer never waits for a
// display refresh; this one keeps a refresh clock on QueryPerformanceCounter: tick k falls
// k periods after the library was loaded. The harness puts it into the Wine prefix's system
// folder and gives the viewer alone WINEDLLOVERRIDES=dwmapi=n.
//
//   LMP_STANDIN_REFRESH=HZ   the refresh rate, e.g. 60, 59.94, 144 (default 60)
//   LMP_STANDIN_FLUSH=never  DwmFlush never returns: a compositor that stopped
//   LMP_STANDIN_COUNT=FILE   each DwmFlush call appends one byte to FILE: its size counts them
#include <windows.h>

#include <dwmapi.h>

#include <cstdlib>
#include <cstring>

namespace {

LONGLONG Origin, Frequency;
UINT32 Numerator = 60, Denominator = 1; // the rate as Numerator / Denominator ticks a second
bool Stopped = false;
HANDLE Count = INVALID_HANDLE_VALUE;

void ReadSettings() {
    char text[32] = "";
    const DWORD length = GetEnvironmentVariableA("LMP_STANDIN_REFRESH", text, sizeof text);
    if (length > 0 && length < sizeof text) {
        // Decimal digits as a ratio: "59.94" is 5994 / 100.
        UINT32 n = 0, d = 1;
        bool fraction = false;
        for (const char* p = text; (*p >= '0' && *p <= '9') || (*p == '.' && !fraction); ++p) {
            if (*p == '.')
                fraction = true;
            else
                n = n * 10 + UINT32(*p - '0'), d *= fraction ? 10 : 1;
        }
        if (n) Numerator = n, Denominator = d;
    }
    text[0] = 0;
    Stopped = GetEnvironmentVariableA("LMP_STANDIN_FLUSH", text, sizeof text) < sizeof text &&
              std::strcmp(text, "never") == 0;
    char path[MAX_PATH];
    const DWORD pathLength = GetEnvironmentVariableA("LMP_STANDIN_COUNT", path, sizeof path);
    if (pathLength > 0 && pathLength < sizeof path)
        Count = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    Frequency = value.QuadPart;
    QueryPerformanceCounter(&value);
    Origin = value.QuadPart;
}

LONGLONG Now() {
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

// The number of the last tick at or before `counter`, and the counter value of tick k.
LONGLONG TickAt(LONGLONG counter) {
    return (counter - Origin) * Numerator / (Frequency * Denominator);
}
LONGLONG TickTime(LONGLONG k) {
    return Origin + k * Frequency * Denominator / Numerator;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) ReadSettings();
    return TRUE;
}

__declspec(dllexport) HRESULT WINAPI DwmFlush() {
    DWORD written;
    if (Count != INVALID_HANDLE_VALUE) WriteFile(Count, "f", 1, &written, nullptr);
    if (Stopped) Sleep(INFINITE);
    const LONGLONG due = TickTime(TickAt(Now()) + 1);
    for (LONGLONG left; (left = due - Now()) > 0;)
        Sleep(DWORD((left * 1000 + Frequency - 1) / Frequency));
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI
    DwmGetCompositionTimingInfo(HWND window, DWM_TIMING_INFO* info) {
    if (window || !info || info->cbSize != sizeof(DWM_TIMING_INFO)) return E_INVALIDARG;
    const LONGLONG k = TickAt(Now());
    info->rateRefresh = info->rateCompose = {Numerator, Denominator};
    info->qpcRefreshPeriod = QPC_TIME(Frequency * Denominator / Numerator);
    info->qpcVBlank = QPC_TIME(TickTime(k));
    info->cRefresh = DWM_FRAME_COUNT(k);
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI DwmIsCompositionEnabled(BOOL* enabled) {
    if (!enabled) return E_INVALIDARG;
    *enabled = TRUE;
    return S_OK;
}

} // extern "C"
