// The viewer's request for a 1 ms system timer period, held while the viewer runs.
//
// Windows sleeps in whole ticks of the system timer, 15.625 ms unless the program itself
// asks for a finer one (another program's request no longer counts), so the render thread's
// 17 ms pacing sleep would last about 31 ms and the window thread's 10 ms about 16 ms.
#pragma once

#include "platform/win32.h"
#include "runtime/clock.h"

class FineTimerPeriod {
  public:
    FineTimerPeriod() : granted_(BeginTimerPeriod(PeriodMs)) {}
    ~FineTimerPeriod() {
        if (granted_) EndTimerPeriod(PeriodMs);
    }
    FineTimerPeriod(const FineTimerPeriod&) = delete;
    FineTimerPeriod& operator=(const FineTimerPeriod&) = delete;

  private:
    static constexpr UINT PeriodMs = 1;
    bool granted_;
};
