// The measuring build's record of render passes and presentations (see pass_timing.h):
// fixed rings of the latest samples per filter mode, summed up into lumenpane.log at the end.
#include "viewer/surface/pass_timing.h"

#include "platform/performance_counter.h"
#include "viewer/surface/surface.h"
#include "viewer/surface/viewer_log.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {

constexpr int ModeCount = 3;
constexpr const char* ModeNames[ModeCount] = {"Off", "Scale2x", "hq2x"};
constexpr int RingSize = 2048;
constexpr float DeliberateWaitMs = 10.0f;

// Columns of a render pass sample: the stages, then these.
enum PassExtra : int { PassBeyondSleep = PassStageCount, PassTotal, PassPrint, PassColumns };
constexpr const char* PassColumnNames[PassColumns] = {
    "sleep",         "checks",       "focus",    "park",        "iconic",
    "show+priority", "prepare",      "hot keys", "lock wait",   "answer check",
    "helper wait",   "capture copy", "picture",  "overlay",     "unlock",
    "close key",     "beyond sleep", "pass",     "helper print"};
// Columns of a presentation sample.
enum PresentExtra : int { PresentTotal = PresentStageCount, PresentAge, PresentColumns };
constexpr const char* PresentColumnNames[PresentColumns] = {
    "present lock wait", "present copy rows", "present scale", "present show",
    "present messages",  "present total",     "picture age"};

template <int Columns> struct Ring {
    float samples[RingSize][Columns]; // a column < 0: no value in that sample
    long long count = 0;
};

// Render thread only.
Ring<PassColumns> PassRings[ModeCount];
float PassRow[PassColumns];
std::int64_t PassStart = 0, StageStart = 0;
// Handed over under the surface lock: the print whose picture the frame buffer now holds.
std::int64_t FramePrintEnded = 0;
std::atomic<int> CurrentMode{0};
// Window thread only.
Ring<PresentColumns> PresentRings[ModeCount];
float PresentRow[PresentColumns];
std::int64_t PresentStart = 0, PresentStageStart = 0, PresentPrintEnded = 0;

float Ms(std::int64_t ticks) {
    return float(double(ticks) / PerformanceTicksPerMs());
}

template <int Columns> void Keep(Ring<Columns>& ring, const float* row) {
    float* slot = ring.samples[ring.count % RingSize];
    std::copy(row, row + Columns, slot);
    ++ring.count;
}

void LogColumn(const char* mode, const char* name, std::vector<float> values) {
    if (values.empty()) return;
    double sum = 0;
    for (float v : values) sum += v;
    std::sort(values.begin(), values.end());
    auto at = [&](double q) { return values[std::size_t(q * double(values.size() - 1) + 0.5)]; };
    char line[200];
    std::snprintf(line, sizeof line, "pass timing: %s | %s | n %zu mean %.3f p50 %.3f p95 %.3f ms",
                  mode, name, values.size(), sum / double(values.size()), at(0.5), at(0.95));
    AppendViewerLog(line);
}

template <int Columns>
void LogRing(const char* mode, const Ring<Columns>& ring, const char* const* names) {
    const long long n = std::min<long long>(ring.count, RingSize);
    for (int c = 0; c < Columns; ++c) {
        std::vector<float> values;
        for (long long i = 0; i < n; ++i)
            if (ring.samples[i][c] >= 0.0f) values.push_back(ring.samples[i][c]);
        LogColumn(mode, names[c], values);
    }
}

} // namespace

void PassBegin() {
    PassStart = StageStart = PerformanceCounterNow();
    std::fill(PassRow, PassRow + PassColumns, 0.0f);
    PassRow[PassPrint] = -1.0f;
}

void PassMark(PassStage finished) {
    const std::int64_t now = PerformanceCounterNow();
    PassRow[finished] += Ms(now - StageStart);
    StageStart = now;
}

void PassEnd(int mode, bool counted) {
    if (mode < 0 || mode >= ModeCount) return;
    CurrentMode = mode;
    if (!counted) return;
    PassRow[PassTotal] = Ms(PerformanceCounterNow() - PassStart);
    PassRow[PassBeyondSleep] = PassRow[PassTotal] - PassRow[StageSleep];
    // Passes that wait on purpose (the focus hand-over, F5 held for the game, the F6 wait)
    // say nothing about the work of a pass.
    if (PassRow[PassBeyondSleep] > DeliberateWaitMs) return;
    Keep(PassRings[mode], PassRow);
}

void PassPrinted(std::int64_t began, std::int64_t ended) {
    if (began && ended >= began) PassRow[PassPrint] = Ms(ended - began);
    FramePrintEnded = ended;
}

void PresentBegin() {
    PresentStart = PresentStageStart = PerformanceCounterNow();
    std::fill(PresentRow, PresentRow + PresentColumns, 0.0f);
    PresentPrintEnded = 0;
}

void PresentMark(PresentStage finished) {
    const std::int64_t now = PerformanceCounterNow();
    PresentRow[finished] += Ms(now - PresentStageStart);
    PresentStageStart = now;
    if (finished == PresentCopyRows) PresentPrintEnded = FramePrintEnded; // under the lock
    if (finished == PresentShow)
        PresentRow[PresentAge] = PresentPrintEnded ? Ms(now - PresentPrintEnded) : -1.0f;
}

void PresentEnd(bool shown) {
    if (!shown) return;
    PresentRow[PresentTotal] = Ms(PerformanceCounterNow() - PresentStart);
    Keep(PresentRings[CurrentMode.load()], PresentRow);
}

void WritePassTimings() {
    TakeSurfaceLock();
    for (int mode = 0; mode < ModeCount; ++mode) {
        LogRing(ModeNames[mode], PassRings[mode], PassColumnNames);
        LogRing(ModeNames[mode], PresentRings[mode], PresentColumnNames);
    }
    ReleaseSurfaceLock();
}
