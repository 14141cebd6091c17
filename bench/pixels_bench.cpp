// The pixel routines of the filter modes beside their straightforward references, on a
// game-like 320x240 picture and on noise. After the runs a summary gives the median of each
// routine, its speed-up over the reference and the time it must stay within.
#include "viewer/pipeline/hq2x.h"
#include "viewer/pipeline/hq2x_frame.h"
#include "viewer/pipeline/pixel_convert.h"
#include "viewer/pipeline/scale2x.h"

#include "pixels_reference.h"
#include "test_pictures.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 320, kHeight = 240;

// One input picture and the buffers of every stage, made once: nothing is allocated while
// a routine is timed.
struct Stage {
    std::vector<std::uint32_t> smallArgb;
    std::vector<std::uint16_t> small565 = std::vector<std::uint16_t>(kWidth * kHeight);
    std::vector<std::uint16_t> large565 = std::vector<std::uint16_t>(4 * kWidth * kHeight);
    std::vector<std::uint32_t> largeArgb = std::vector<std::uint32_t>(4 * kWidth * kHeight);
};

void Narrow(Stage& s) {
    for (int y = 0; y < kHeight; ++y)
        ConvertRowTo565(&s.smallArgb[y * kWidth], &s.small565[y * kWidth], kWidth);
}
void NarrowReference(Stage& s) {
    for (int y = 0; y < kHeight; ++y)
        ReferenceConvertRowTo565(&s.smallArgb[y * kWidth], &s.small565[y * kWidth], kWidth);
}
void Filter(Stage& s) {
    Hq2xScale(s.small565.data(), s.large565.data(), kWidth, kHeight, 4 * kWidth);
}
void FilterReference(Stage& s) {
    ReferenceHq2x(s.small565.data(), s.large565.data(), kWidth, kHeight, BundledHq2xRules());
}
void Widen(Stage& s) {
    for (int y = 0; y < 2 * kHeight; ++y)
        ConvertRowFrom565(&s.large565[y * 2 * kWidth], &s.largeArgb[y * 2 * kWidth], 2 * kWidth);
}
void WidenReference(Stage& s) {
    for (int y = 0; y < 2 * kHeight; ++y)
        ReferenceConvertRowFrom565(&s.large565[y * 2 * kWidth], &s.largeArgb[y * 2 * kWidth],
                                   2 * kWidth);
}
void Path(Stage& s) {
    Hq2xFrame(s.smallArgb.data(), kWidth * 4, kWidth, kHeight, s.small565.data(), s.large565.data(),
              4 * kWidth, s.largeArgb.data(), 8 * kWidth);
}
void PathReference(Stage& s) {
    NarrowReference(s);
    FilterReference(s);
    WidenReference(s);
}
void Scale(Stage& s) {
    Scale2xFrame(s.smallArgb.data(), s.largeArgb.data());
}
void ScaleReference(Stage& s) {
    ReferenceScale2x(s.smallArgb.data(), s.largeArgb.data(), kWidth, kHeight);
}

struct Routine {
    const char* name;
    void (*fast)(Stage&);
    void (*reference)(Stage&);
    double limitGameUs, limitNoiseUs; // 0: no time limit
    double minimumGameSpeedUp;        // 0: none
};

const Routine kRoutines[] = {
    {"ConvertRowTo565 320x240", Narrow, NarrowReference, 0, 0, 0},
    {"Hq2xScale", Filter, FilterReference, 0, 0, 3.0},
    {"ConvertRowFrom565 640x480", Widen, WidenReference, 0, 0, 0},
    {"hq2x path", Path, PathReference, 500, 3000, 0},
    {"Scale2xFrame", Scale, ScaleReference, 150, 150, 0},
};

// Keeps the medians of the repeated runs for the summary. CPU time: the build machine is
// shared, and wall time there mostly measures the other processes.
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> medianUs;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.aggregate_name == "median")
                medianUs[run.run_name.function_name] =
                    run.GetAdjustedCPUTime() * 1e6 /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

std::string Key(const Routine& routine, const char* kind, const char* picture) {
    return std::string(routine.name) + "/" + kind + "/" + picture;
}

void PrintSummary(const std::map<std::string, double>& medianUs) {
    std::printf("\n%-26s %-6s %12s %14s %9s  %s\n", "routine (CPU time)", "input", "median us",
                "reference us", "speed-up", "target");
    for (const Routine& routine : kRoutines) {
        for (const char* picture : {"game", "noise"}) {
            const auto fast = medianUs.find(Key(routine, "fast", picture));
            const auto reference = medianUs.find(Key(routine, "reference", picture));
            if (fast == medianUs.end() || reference == medianUs.end()) continue;
            const double speedUp = reference->second / fast->second;
            const bool game = std::string(picture) == "game";
            const double limit = game ? routine.limitGameUs : routine.limitNoiseUs;
            std::string target = "-";
            if (limit > 0)
                target = "<= " + std::to_string(int(limit)) +
                         " us: " + (fast->second <= limit ? "met" : "MISSED");
            if (game && routine.minimumGameSpeedUp > 0)
                target = ">= 3x reference: " +
                         std::string(speedUp >= routine.minimumGameSpeedUp ? "met" : "MISSED");
            std::printf("%-26s %-6s %12.1f %14.1f %8.1fx  %s\n", routine.name, picture,
                        fast->second, reference->second, speedUp, target.c_str());
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (!MakeFilterTables()) return 1;

    static Stage game, noise;
    game.smallArgb = GameLikeArgb(kWidth, kHeight);
    noise.smallArgb = NoiseArgb(kWidth, kHeight, 99);
    for (Stage* stage : {&game, &noise}) {
        Narrow(*stage); // the filter and the widening start from the real intermediate images
        Filter(*stage);
    }

    for (const Routine& routine : kRoutines) {
        for (auto [picture, stage] : {std::pair{"game", &game}, std::pair{"noise", &noise}}) {
            for (auto [kind, run] :
                 {std::pair{"fast", routine.fast}, std::pair{"reference", routine.reference}}) {
                benchmark::RegisterBenchmark(Key(routine, kind, picture).c_str(),
                                             [run = run, stage = stage](benchmark::State& state) {
                                                 for (auto _ : state) {
                                                     run(*stage);
                                                     benchmark::ClobberMemory();
                                                 }
                                             })
                    ->Repetitions(9)
                    ->ReportAggregatesOnly(true)
                    ->MinTime(0.1)
                    ->Unit(benchmark::kMicrosecond);
            }
        }
    }
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter.medianUs);
    benchmark::Shutdown();
    return 0;
}
