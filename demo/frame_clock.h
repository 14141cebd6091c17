// The stand-in game's frame clock and frame log (LMP_DEMO_CLOCK, LMP_DEMO_FRAME_LOG): with the
// clock on, the picture a print or paint shows is the frame due at that moment, frame n being
// due n / hz seconds after the game started, and each print or paint is logged.
//
// The frame log is text. Its first line names the clock and when it started:
//     clock HZ start_unix_ms MS start_counter TICKS frequency F
// (MS: the system time of the start in milliseconds since 1970; TICKS: the performance
// counter then, F its ticks a second; under Wine the counter is the host's raw monotonic
// clock in 100 ns units), then one line per print:
//     FRAME MS KIND
// FRAME the frame shown, MS the time of the print in milliseconds since the start, KIND
// "print" (WM_PRINT or WM_PRINTCLIENT: what a viewer's PrintWindow sends) or "paint" (the
// game's own WM_PAINT). Lines are kept in a fixed buffer and written about once a second,
// when the buffer is nearly full, and when the clock stops.
#pragma once

#include <cstdint>
#include <cstdio>

struct FrameClock {
    int hz = 0; // 0: the clock is off
    std::int64_t startTicks = 0;
    std::int64_t ticksPerSecond = 1;
    std::int64_t lastFlushTicks = 0;
    std::FILE* log = nullptr; // null: no frame log
    int used = 0;             // bytes of buffer holding lines not yet written
    char buffer[32768];
};

// Starts the clock at `hz` frames a second (now is frame 0) and, with a path, the frame log.
// Returns false when the log cannot be opened (the clock runs all the same).
bool StartFrameClock(FrameClock& clock, int hz, const char* logPath);

// The performance counter now, in the clock's ticks.
std::int64_t FrameClockNow();

// The frame due at `now`.
int FrameDue(const FrameClock& clock, std::int64_t now);

// Records that a print (or paint, `kind`) at `now` showed `frame`.
void LogFrameShown(FrameClock& clock, int frame, std::int64_t now, const char* kind);

// Writes the buffered lines when the last write is a second or more ago.
void FlushFrameLogIfDue(FrameClock& clock, std::int64_t now);

// Writes the buffered lines and closes the log.
void StopFrameClock(FrameClock& clock);
