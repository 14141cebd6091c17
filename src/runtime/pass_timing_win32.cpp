// The measuring build's record of render passes and presentations (see pass_timing.h):
// fixed rings of the latest samples per filter mode, summed up into lumenpane.log at the end,
// and the frame trace.
#include "runtime/pass_timing.h"

#include "platform/performance_counter.h"
#include "platform/program_files.h"
#include "runtime/frame_buffer.h"
#include "runtime/viewer_log.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Modes are told by name (the filter at its grid), each given a ring when first seen.
constexpr int ModeCount = 12;
const char* ModeNames[ModeCount] = {}; // render thread only
constexpr int RingSize = 2048;
constexpr float DeliberateWaitMs = 10.0f;
constexpr int MaxColumns = 24;

// A sample's columns: the stages in the order first marked, then the extras a track adds.
struct Columns {
    const char* names[MaxColumns] = {};
    int count = 0;

    int Of(const char* name) {
        for (int c = 0; c < count; ++c)
            if (std::strcmp(names[c], name) == 0) return c;
        if (count == MaxColumns) return MaxColumns - 1;
        names[count] = name;
        return count++;
    }
};

struct Ring {
    float samples[RingSize][MaxColumns]; // a column < 0: no value in that sample
    long long count = 0;
};

// Render thread only.
Columns PassColumns;
Ring PassRings[ModeCount];
float PassRow[MaxColumns];
std::int64_t PassStart = 0, StageStart = 0;
float PassPrintMs = -1.0f;
// The latest print's end, handed to the window thread (the smooth pacing prints outside the
// surface lock, hence atomic).
std::atomic<std::int64_t> FramePrintEnded{0};
std::atomic<int> CurrentMode{0};
// The frame trace: the render thread fills an entry and publishes its index in LatestTrace
// under the surface lock; the window thread then writes only its `shown`.
struct TraceEntry {
    double began, ended, filtered, handed, shown;
};
constexpr int TraceSize = 8192; // over two minutes at 60 pictures a second
TraceEntry Trace[TraceSize];
long long TraceCount = 0; // render thread only
std::atomic<long long> LatestTrace{-1};
// Window thread only.
long long TakenTrace = -1, ShownTrace = -1;
Columns PresentColumns;
Ring PresentRings[ModeCount];
float PresentRow[MaxColumns];
std::int64_t PresentStart = 0, PresentStageStart = 0, PresentPrintEnded = 0;

float Ms(std::int64_t ticks) {
    return float(double(ticks) / PerformanceTicksPerMs());
}

void Keep(Ring& ring, const float* row) {
    float* slot = ring.samples[ring.count % RingSize];
    std::copy(row, row + MaxColumns, slot);
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

void LogRing(const char* mode, const Ring& ring, const Columns& columns) {
    const long long n = std::min<long long>(ring.count, RingSize);
    for (int c = 0; c < columns.count; ++c) {
        std::vector<float> values;
        for (long long i = 0; i < n; ++i)
            if (ring.samples[i][c] >= 0.0f) values.push_back(ring.samples[i][c]);
        LogColumn(mode, columns.names[c], values);
    }
}

} // namespace

void PassBegin() {
    PassStart = StageStart = PerformanceCounterNow();
    std::fill(PassRow, PassRow + MaxColumns, -1.0f);
    PassPrintMs = -1.0f;
}

void PassMark(const char* finishedStage) {
    const std::int64_t now = PerformanceCounterNow();
    float& cell = PassRow[PassColumns.Of(finishedStage)];
    cell = std::max(cell, 0.0f) + Ms(now - StageStart);
    StageStart = now;
}

namespace {

// The ring of a mode's name; -1 once every ring is taken by another.
int ModeOf(const char* name) {
    for (int mode = 0; mode < ModeCount; ++mode) {
        if (!ModeNames[mode]) ModeNames[mode] = name;
        if (std::strcmp(ModeNames[mode], name) == 0) return mode;
    }
    return -1;
}

} // namespace

void PassEnd(const char* modeName, bool counted, const char* sleepStage) {
    const int mode = ModeOf(modeName);
    if (mode < 0) return;
    CurrentMode = mode;
    if (!counted) return;
    const float total = Ms(PerformanceCounterNow() - PassStart);
    const float slept = std::max(PassRow[PassColumns.Of(sleepStage)], 0.0f);
    const float beyondSleep = total - slept;
    PassRow[PassColumns.Of("beyond sleep")] = beyondSleep;
    PassRow[PassColumns.Of("pass")] = total;
    PassRow[PassColumns.Of("helper print")] = PassPrintMs;
    // Passes that wait on purpose (the focus hand-over, F5 held for the game, the F6 wait)
    // say nothing about the work of a pass.
    if (beyondSleep > DeliberateWaitMs) return;
    Keep(PassRings[mode], PassRow);
}

void PassPrinted(std::int64_t began, std::int64_t ended) {
    if (began && ended >= began) PassPrintMs = Ms(ended - began);
    FramePrintEnded = ended;
}

namespace {

double TraceNow() {
    return PerformanceCounterSeconds(PerformanceCounterNow());
}

} // namespace

void PassPictureHanded(double printBegan, double printEnded) {
    Trace[TraceCount % TraceSize] = TraceEntry{printBegan, printEnded, TraceNow(), 0.0, 0.0};
    LatestTrace = TraceCount++;
}

void PassHandedOver() {
    const long long latest = LatestTrace.load();
    if (latest >= 0 && Trace[latest % TraceSize].handed == 0.0)
        Trace[latest % TraceSize].handed = TraceNow();
}

void PresentBegin() {
    PresentStart = PresentStageStart = PerformanceCounterNow();
    std::fill(PresentRow, PresentRow + MaxColumns, -1.0f);
    PresentPrintEnded = 0;
}

void PresentMark(const char* finishedStage) {
    const std::int64_t now = PerformanceCounterNow();
    float& cell = PresentRow[PresentColumns.Of(finishedStage)];
    cell = std::max(cell, 0.0f) + Ms(now - PresentStageStart);
    PresentStageStart = now;
}

void PresentTookPicture() {
    PresentPrintEnded = FramePrintEnded.load();
    TakenTrace = LatestTrace.load();
}

void PresentShowed() {
    if (TakenTrace >= 0 && TakenTrace != ShownTrace) {
        Trace[TakenTrace % TraceSize].shown = TraceNow();
        ShownTrace = TakenTrace;
    }
    PresentRow[PresentColumns.Of("picture age")] =
        PresentPrintEnded ? Ms(PerformanceCounterNow() - PresentPrintEnded) : -1.0f;
}

void PresentEnd(bool shown) {
    if (!shown) return;
    PresentRow[PresentColumns.Of("present total")] = Ms(PerformanceCounterNow() - PresentStart);
    Keep(PresentRings[CurrentMode.load()], PresentRow);
}

namespace {

void WriteFrameTrace() {
    const std::string path = PathBesideViewer("lumenpane-frames.log");
    if (TraceCount == 0 || path.empty()) return;
    std::FILE* file = OpenFileAt(path, "w");
    if (!file) return;
    for (long long i = std::max(0LL, TraceCount - TraceSize); i < TraceCount; ++i) {
        const TraceEntry& e = Trace[i % TraceSize];
        std::fprintf(file, "%.7f %.7f %.7f %.7f %.7f\n", e.began, e.ended, e.filtered, e.handed,
                     e.shown);
    }
    std::fclose(file);
}

} // namespace

void WritePassTimings() {
    TakeSurfaceLock();
    WriteFrameTrace();
    for (int mode = 0; mode < ModeCount && ModeNames[mode]; ++mode) {
        LogRing(ModeNames[mode], PassRings[mode], PassColumns);
        LogRing(ModeNames[mode], PresentRings[mode], PresentColumns);
    }
    ReleaseSurfaceLock();
}
