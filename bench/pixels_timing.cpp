// The pixel benchmarks without Google Benchmark, for the Windows builds (run under Wine):
// the same pictures and routines as pixels_bench.cpp. Each variant of a routine (the routine
// at every hq2x, Scale3x/Scale4x or sharp scaling level, SSE2 being the yardstick of the
// others, and the reference) is timed in rounds, the variants taking turns within each round,
// so that their ratios come from one run under the same conditions; the table gives the
// median time per call in wall time, so run it on an otherwise idle machine.
//
//   lmp_pixels_timing [ROUTINE-SUBSTRING] [ROUNDS]
#include "pixel_routines.h"

#include "pixels/mmpx_rows.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// One way to run a routine: select sets the instruction-set level, run makes one call.
struct Variant {
    std::string name;
    std::function<void()> select;
    std::function<void()> run;
    int callsPerBatch = 1;
    std::vector<double> us; // per call, one per round
};

double MicrosecondsOf(Variant& variant, int calls) {
    variant.select();
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < calls; ++i) variant.run();
    const Clock::duration spent = Clock::now() - start;
    return std::chrono::duration<double, std::micro>(spent).count() / calls;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The routine at each level of its family (or once, as "new"), then the copy and the reference.
std::vector<Variant> VariantsOf(const PixelRoutine& routine, PixelStage& stage) {
    const LevelFamily& family = FamilyOf(routine);
    const std::vector<SimdLevel> levels = AvailableLevels(family);
    const auto at = [&family](SimdLevel level) { return [&family, level] { family.use(level); }; };
    const auto call = [&stage](void (*run)(PixelStage&)) { return [run, &stage] { run(stage); }; };
    std::vector<Variant> variants;
    if (routine.levels) {
        for (SimdLevel level : levels)
            variants.push_back({SimdLevelName(level), at(level), call(routine.fast), 1, {}});
    } else {
        variants.push_back({"new", at(levels.back()), call(routine.fast), 1, {}});
    }
    if (routine.copy) variants.push_back({"copy", at(levels.back()), call(routine.copy), 1, {}});
    variants.push_back({"reference", at(levels.back()), call(routine.reference), 1, {}});
    return variants;
}

std::vector<Variant> VariantsOf(SharpStage& stage) {
    std::vector<Variant> variants;
    for (SimdLevel level : AvailableSharpLevels())
        variants.push_back({SimdLevelName(level),
                            [level] { SharpLevels::Use(level); },
                            [&stage] { ScaleSharp(stage); },
                            1,
                            {}});
    variants.push_back({"reference", [] {}, [&stage] { ScaleSharpReference(stage); }, 1, {}});
    return variants;
}

const Variant* Find(const std::vector<Variant>& variants, const char* name) {
    for (const Variant& variant : variants)
        if (variant.name == name) return &variant;
    return nullptr;
}

// Times each variant in batches of about 10 ms, after one warming call, the variants taking
// turns round by round so that the machine's load falls on all of them alike.
void TimeInRounds(std::vector<Variant>& variants, int rounds) {
    for (Variant& variant : variants) {
        const double once = MicrosecondsOf(variant, 1);
        variant.callsPerBatch = std::max(1, int(10000.0 / std::max(once, 1.0)));
    }
    for (int round = 0; round < rounds; ++round)
        for (Variant& variant : variants)
            variant.us.push_back(MicrosecondsOf(variant, variant.callsPerBatch));
}

// Times the variants in rounds, taking turns, and prints a line for each but the reference;
// the SSE2 column when a variant is named SSE2. Returns the medians by name.
std::vector<double> TimeVariants(std::vector<Variant>& variants, const char* routine,
                                 const char* input, int rounds) {
    TimeInRounds(variants, rounds);

    const Variant* sse2 = Find(variants, "SSE2");
    const double reference = Median(Find(variants, "reference")->us);
    std::vector<double> medians;
    for (const Variant& variant : variants) {
        medians.push_back(Median(variant.us));
        if (variant.name == "reference") continue;
        const double us = Median(variant.us);
        char sse2Text[32] = "-", ratioText[32] = "-";
        if (sse2) {
            std::snprintf(sse2Text, sizeof sse2Text, "%.1f", Median(sse2->us));
            std::snprintf(ratioText, sizeof ratioText, "%.2fx", Median(sse2->us) / us);
        }
        std::printf("%-26s %-9s %-10s %10.1f %10s %13.1f %8s %7.1fx\n", routine, input,
                    variant.name.c_str(), us, sse2Text, reference, ratioText, reference / us);
    }
    return medians;
}

// Each variant beside the copy of its output, where the routine has one; the aim holds for the
// best level, the last variant before the copy.
void TimeRoutine(const PixelRoutine& routine, BenchPicture& picture, int rounds) {
    std::vector<Variant> variants = VariantsOf(routine, picture.stage);
    TimeVariants(variants, routine.name, picture.name, rounds);
    if (!routine.copy) return;
    const double copy = Median(Find(variants, "copy")->us);
    for (std::size_t i = 0; variants[i].name != "copy"; ++i) {
        const double us = Median(variants[i].us);
        std::printf("%-26s %-9s %-10s %.2fx the copy of its output", "", picture.name,
                    variants[i].name.c_str(), us / copy);
        if (variants[i + 1].name == "copy")
            std::printf(" (aim <= %.0fx): %s", routine.maximumTimesCopy,
                        us <= routine.maximumTimesCopy * copy ? "met" : "MISSED");
        std::printf("\n");
    }
}

// The whole frame scaled to the routine's size, with its time limits at the best level and
// at SSE2.
void TimeSharp(const SharpRoutine& routine, int rounds) {
    SharpStage stage = MakeSharpStage(routine);
    std::vector<Variant> variants = VariantsOf(stage);
    const std::vector<double> us = TimeVariants(variants, routine.name, "game", rounds);
    const auto verdict = [](double value, double limit) {
        return value <= limit ? "met" : "MISSED";
    };
    if (routine.limitBestUs <= 0) return;
    const double best = us[us.size() - 2];
    std::printf("%-26s   best level %s %.1f us <= %.0f: %s", "",
                variants[us.size() - 2].name.c_str(), best, routine.limitBestUs,
                verdict(best, routine.limitBestUs));
    if (const Variant* sse2 = Find(variants, "SSE2")) {
        const double at = Median(sse2->us);
        std::printf("; SSE2 %.1f us <= %.0f: %s", at, routine.limitSse2Us,
                    verdict(at, routine.limitSse2Us));
    }
    std::printf("\n");
}

// MMPX at 2x or 4x at every level beside a copy of its output, taking turns; the 4x line
// of the best level says whether it stays within its aim.
void TimeMmpx(MmpxStage& stage, bool fourTimes, int rounds) {
    std::vector<Variant> variants;
    for (SimdLevel level : AvailableMmpxLevels())
        variants.push_back(
            {SimdLevelName(level),
             [level] { MmpxLevels::Use(level); },
             [&stage, fourTimes] { fourTimes ? RunMmpx4x(stage) : RunMmpx2x(stage); },
             1,
             {}});
    variants.push_back(
        {"copy",
         [] {},
         [&stage, fourTimes] { fourTimes ? CopyMmpx4xOutput(stage) : CopyMmpx2xOutput(stage); },
         1,
         {}});
    TimeInRounds(variants, rounds);
    const double copy = Median(variants.back().us);
    for (std::size_t i = 0; i + 1 < variants.size(); ++i) {
        const double us = Median(variants[i].us);
        std::printf("%-26s %-9s %-10s %10.1f %10.1f %8.1fx", fourTimes ? "MMPX 4x" : "MMPX 2x",
                    stage.name, variants[i].name.c_str(), us, copy, us / copy);
        if (fourTimes && i + 2 == variants.size())
            std::printf("  <= %.0f us: %s", kMmpx4xLimitUs,
                        us <= kMmpx4xLimitUs ? "met" : "MISSED");
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char** argv) {
    const char* only = argc > 1 ? argv[1] : "";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    if (!MakeFilterTables()) return 1;
    const SimdLevel start = Hq2xLevels::InUse(), scaleStart = ScaleLevels::InUse();
    std::vector<BenchPicture> pictures = MakeBenchPictures();
    std::printf("%d-bit build, hq2x level at start: %s, Scale3x/Scale4x: %s; median of %d "
                "rounds, wall time\n",
                int(sizeof(void*) * 8), SimdLevelName(start), SimdLevelName(scaleStart), rounds);
    std::printf("%-26s %-9s %-10s %10s %10s %13s %8s %8s\n", "routine", "input", "variant",
                "median us", "SSE2 us", "reference us", "x SSE2", "x ref");
    for (int r = 0; r < kPixelRoutineCount; ++r) {
        if (!std::strstr(kPixelRoutines[r].name, only)) continue;
        for (BenchPicture& picture : pictures) TimeRoutine(kPixelRoutines[r], picture, rounds);
    }
    const SimdLevel sharpStart = SharpLevels::InUse();
    std::printf("sharp scaling level at start: %s\n", SimdLevelName(sharpStart));
    for (int r = 0; r < kSharpRoutineCount; ++r)
        if (std::strstr(kSharpRoutines[r].name, only)) TimeSharp(kSharpRoutines[r], rounds);
    SharpLevels::Use(sharpStart);
    Hq2xLevels::Use(start);
    ScaleLevels::Use(scaleStart);
    const SimdLevel mmpxStart = MmpxLevels::InUse();
    std::printf("MMPX level at start: %s\n%-26s %-9s %-10s %10s %10s %9s\n",
                SimdLevelName(mmpxStart), "routine", "input", "variant", "median us", "copy us",
                "x copy");
    if (std::strstr("MMPX", only)) {
        std::vector<MmpxStage> stages = MakeMmpxStages();
        for (bool fourTimes : {false, true})
            for (MmpxStage& stage : stages) TimeMmpx(stage, fourTimes, rounds);
    }
    MmpxLevels::Use(mmpxStart);
    return 0;
}
