// Timer and SleepMs over the platform's performance counter and sleep.
#include "runtime/clock.h"
#include "platform/win32.h"

double Timer() {
    static LARGE_INTEGER frequency{};
    static const bool haveCounter = QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0;
    if (haveCounter) {
        LARGE_INTEGER count{};
        QueryPerformanceCounter(&count);
        return double(count.QuadPart) / double(frequency.QuadPart);
    }
    return GetTickCount() * 0.001;
}

void SleepMs(int milliseconds) {
    SleepEx(DWORD(milliseconds < 0 ? 0 : milliseconds), FALSE);
}
