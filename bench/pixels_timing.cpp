// The pixel benchmarks without Google Benchmark, for the Windows builds (run under Wine):
// the same pictures and routines as pixels_bench.cpp. Each variant of a routine (the routine
// at every hq2x level, SSE2 being the yardstick of the others, and the reference) is timed
// in rounds, the variants taking turns within each round, so that
// their ratios come from one run under the same conditions; the table gives the median
// time per call in wall time, so run it on an otherwise idle machine.
//
//   lmp_pixels_timing [ROUTINE-SUBSTRING] [ROUNDS]
#include "pixel_routines.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Variant {
    std::string name;
    void (*run)(PixelStage&);
    Hq2xLevel level;
    int callsPerBatch = 1;
    std::vector<double> us; // per call, one per round
};

double MicrosecondsOf(Variant& variant, PixelStage& stage, int calls) {
    UseHq2xLevel(variant.level);
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < calls; ++i) variant.run(stage);
    const Clock::duration spent = Clock::now() - start;
    return std::chrono::duration<double, std::micro>(spent).count() / calls;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::vector<Variant> VariantsOf(const PixelRoutine& routine) {
    const std::vector<Hq2xLevel> levels = AvailableHq2xLevels();
    std::vector<Variant> variants;
    if (routine.perLevel) {
        for (Hq2xLevel level : levels)
            variants.push_back({Hq2xLevelName(level), routine.fast, level, 1, {}});
    } else {
        variants.push_back({"new", routine.fast, levels.back(), 1, {}});
    }
    variants.push_back({"reference", routine.reference, levels.back(), 1, {}});
    return variants;
}

const Variant* Find(const std::vector<Variant>& variants, const char* name) {
    for (const Variant& variant : variants)
        if (variant.name == name) return &variant;
    return nullptr;
}

void TimeRoutine(const PixelRoutine& routine, BenchPicture& picture, int rounds) {
    std::vector<Variant> variants = VariantsOf(routine);
    // About 10 ms per batch, after one warming call.
    for (Variant& variant : variants) {
        const double once = MicrosecondsOf(variant, picture.stage, 1);
        variant.callsPerBatch = std::max(1, int(10000.0 / std::max(once, 1.0)));
    }
    for (int round = 0; round < rounds; ++round)
        for (Variant& variant : variants)
            variant.us.push_back(MicrosecondsOf(variant, picture.stage, variant.callsPerBatch));

    const Variant* sse2 =
        routine.perLevel ? Find(variants, Hq2xLevelName(Hq2xLevel::Sse2)) : nullptr;
    const double reference = Median(Find(variants, "reference")->us);
    for (const Variant& variant : variants) {
        if (variant.name == "reference") continue;
        const double us = Median(variant.us);
        char sse2Text[32] = "-", ratioText[32] = "-";
        if (sse2) {
            std::snprintf(sse2Text, sizeof sse2Text, "%.1f", Median(sse2->us));
            std::snprintf(ratioText, sizeof ratioText, "%.2fx", Median(sse2->us) / us);
        }
        std::printf("%-26s %-9s %-10s %10.1f %10s %13.1f %8s %7.1fx\n", routine.name, picture.name,
                    variant.name.c_str(), us, sse2Text, reference, ratioText, reference / us);
    }
}

} // namespace

int main(int argc, char** argv) {
    const char* only = argc > 1 ? argv[1] : "";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    if (!MakeFilterTables()) return 1;
    const Hq2xLevel start = Hq2xLevelInUse();
    std::vector<BenchPicture> pictures = MakeBenchPictures();
    std::printf("%d-bit build, hq2x level at start: %s; median of %d rounds, wall time\n",
                int(sizeof(void*) * 8), Hq2xLevelName(start), rounds);
    std::printf("%-26s %-9s %-10s %10s %10s %13s %8s %8s\n", "routine", "input", "variant",
                "median us", "SSE2 us", "reference us", "x SSE2", "x ref");
    for (int r = 0; r < kPixelRoutineCount; ++r) {
        if (!std::strstr(kPixelRoutines[r].name, only)) continue;
        for (BenchPicture& picture : pictures) TimeRoutine(kPixelRoutines[r], picture, rounds);
    }
    UseHq2xLevel(start);
    return 0;
}
