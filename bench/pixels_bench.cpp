// The pixel routines of the filter modes beside their straightforward references on a
// game-like 320x240 picture, a dithered one and noise. The hq2x, Scale3x and Scale4x routines
// run at every instruction-set level the processor offers, each compared with the SSE2 level
// (for hq2x the routine a processor without SSSE3 gets). After the runs a summary gives the median
// of each routine, its speed-ups and the time it must stay within. Sharp scaling of the 640x480
// frame to full-screen sizes runs the same way at each of its levels.
#include "pixel_routines.h"

#include "pixels/mmpx_rows.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

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

std::string Key(const PixelRoutine& routine, const std::string& variant, const char* picture) {
    return std::string(routine.name) + "/" + variant + "/" + picture;
}

// The variants of a routine's fast version: one per level of its family, or just "new".
std::vector<std::string> FastVariants(const PixelRoutine& routine) {
    if (!routine.levels) return {"new"};
    std::vector<std::string> names;
    for (SimdLevel level : AvailableLevels(*routine.levels)) names.push_back(SimdLevelName(level));
    return names;
}

std::string Target(const PixelRoutine& routine, const std::string& picture, double us,
                   double speedUp) {
    const double limit = picture == "game"    ? routine.limitGameUs
                         : picture == "noise" ? routine.limitNoiseUs
                                              : 0;
    if (picture == "game" && routine.minimumGameSpeedUp > 0)
        return ">= 3x reference: " +
               std::string(speedUp >= routine.minimumGameSpeedUp ? "met" : "MISSED");
    if (limit > 0)
        return "<= " + std::to_string(int(limit)) + " us: " + (us <= limit ? "met" : "MISSED");
    return "-";
}

void PrintSummary(const std::map<std::string, double>& medianUs,
                  const std::vector<BenchPicture>& pictures) {
    const auto find = [&](const std::string& key) {
        const auto it = medianUs.find(key);
        return it == medianUs.end() ? 0.0 : it->second;
    };
    std::printf("\n%-26s %-9s %-10s %10s %10s %13s %8s %8s  %s\n", "routine (CPU time)", "input",
                "variant", "median us", "SSE2 us", "reference us", "x SSE2", "x ref",
                "target (best variant)");
    for (int r = 0; r < kPixelRoutineCount; ++r) {
        const PixelRoutine& routine = kPixelRoutines[r];
        const std::vector<std::string> variants = FastVariants(routine);
        for (const BenchPicture& picture : pictures) {
            const double sse2 =
                routine.levels ? find(Key(routine, SimdLevelName(SimdLevel::Sse2), picture.name))
                               : 0.0;
            const double reference = find(Key(routine, "reference", picture.name));
            for (const std::string& variant : variants) {
                const double us = find(Key(routine, variant, picture.name));
                if (us <= 0 || reference <= 0) continue;
                const bool best = variant == variants.back();
                const std::string target =
                    best ? Target(routine, picture.name, us, reference / us) : "";
                char sse2Text[32] = "-", ratioText[32] = "-";
                if (sse2 > 0) {
                    std::snprintf(sse2Text, sizeof sse2Text, "%.1f", sse2);
                    std::snprintf(ratioText, sizeof ratioText, "%.2fx", sse2 / us);
                }
                std::printf("%-26s %-9s %-10s %10.1f %10s %13.1f %8s %7.1fx  %s\n", routine.name,
                            picture.name, variant.c_str(), us, sse2Text, reference, ratioText,
                            reference / us, target.c_str());
                const double copy = routine.copy ? find(Key(routine, "copy", picture.name)) : 0;
                if (copy > 0)
                    std::printf("%-26s %-9s %.2fx the copy of its output (%.1f us, aim <= %.0fx at "
                                "the best level)%s\n",
                                "", picture.name, us / copy, copy, routine.maximumTimesCopy,
                                !best                                   ? ""
                                : us <= routine.maximumTimesCopy * copy ? ": met"
                                                                        : ": MISSED");
            }
        }
    }
}

// One timed routine: prepare() once, then `repetitions` runs of body() of at least 0.1 s each,
// reported as their median and spread.
template <typename Prepare, typename Body>
void RegisterTimed(const std::string& name, int repetitions, Prepare prepare, Body body) {
    benchmark::RegisterBenchmark(name.c_str(),
                                 [=](benchmark::State& state) {
                                     prepare();
                                     for (auto _ : state) {
                                         body();
                                         benchmark::ClobberMemory();
                                     }
                                 })
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly(true)
        ->MinTime(0.1)
        ->Unit(benchmark::kMicrosecond);
}

void Register(const std::string& name, void (*run)(PixelStage&), PixelStage* stage,
              const LevelFamily* family, SimdLevel level) {
    RegisterTimed(
        name, 9, [=] { family->use(level); }, [=] { run(*stage); });
}

// Sharp scaling at every level beside its reference; the stage lives as long as the program.
void RegisterSharp(const SharpRoutine& routine, SharpStage* stage) {
    const auto add = [&](const std::string& variant, bool reference, SimdLevel level) {
        RegisterTimed(
            std::string(routine.name) + "/" + variant + "/game", reference ? 3 : 9,
            [=] { SharpLevels::Use(level); },
            [=] { reference ? ScaleSharpReference(*stage) : ScaleSharp(*stage); });
    };
    const std::vector<SimdLevel> levels = AvailableSharpLevels();
    for (SimdLevel level : levels) add(SimdLevelName(level), false, level);
    add("reference", true, levels.back());
}

void PrintSharpSummary(const std::map<std::string, double>& medianUs) {
    std::printf("\n%-26s %-10s %10s %10s %13s %8s %8s  %s\n", "routine (CPU time)", "variant",
                "median us", "SSE2 us", "reference us", "x SSE2", "x ref", "target");
    const std::vector<SimdLevel> levels = AvailableSharpLevels();
    for (int r = 0; r < kSharpRoutineCount; ++r) {
        const SharpRoutine& routine = kSharpRoutines[r];
        const auto find = [&](const char* variant) {
            const auto it = medianUs.find(std::string(routine.name) + "/" + variant + "/game");
            return it == medianUs.end() ? 0.0 : it->second;
        };
        const double sse2 = find("SSE2"), reference = find("reference");
        for (SimdLevel level : levels) {
            const double us = find(SimdLevelName(level));
            if (us <= 0) continue;
            const double limit = level == levels.back()     ? routine.limitBestUs
                                 : level == SimdLevel::Sse2 ? routine.limitSse2Us
                                                            : 0;
            const std::string target = limit > 0 ? "<= " + std::to_string(int(limit)) +
                                                       " us: " + (us <= limit ? "met" : "MISSED")
                                                 : "-";
            std::printf("%-26s %-10s %10.1f %10.1f %13.1f %7.2fx %7.1fx  %s\n", routine.name,
                        SimdLevelName(level), us, sse2, reference, sse2 / us, reference / us,
                        target.c_str());
        }
    }
}

// MMPX at 2x and 4x at every level, and the copy of each output, per picture.
void RegisterMmpx(std::vector<MmpxStage>& stages) {
    const auto add = [](const std::string& name, SimdLevel level, void (*run)(MmpxStage&),
                        MmpxStage* stage) {
        RegisterTimed(
            name, 9, [=] { MmpxLevels::Use(level); }, [=] { run(*stage); });
    };
    const std::vector<SimdLevel> levels = AvailableMmpxLevels();
    for (MmpxStage& stage : stages) {
        const std::string picture = std::string("/") + stage.name;
        for (SimdLevel level : levels) {
            add(std::string("MMPX 2x/") + SimdLevelName(level) + picture, level, RunMmpx2x, &stage);
            add(std::string("MMPX 4x/") + SimdLevelName(level) + picture, level, RunMmpx4x, &stage);
        }
        add("MMPX 2x/copy" + picture, levels.back(), CopyMmpx2xOutput, &stage);
        add("MMPX 4x/copy" + picture, levels.back(), CopyMmpx4xOutput, &stage);
    }
}

void PrintMmpxSummary(const std::map<std::string, double>& medianUs,
                      const std::vector<MmpxStage>& stages) {
    std::printf("\n%-26s %-9s %-10s %10s %10s %9s  %s\n", "routine (CPU time)", "input", "variant",
                "median us", "copy us", "x copy", "target (best level)");
    const std::vector<SimdLevel> levels = AvailableMmpxLevels();
    for (const char* scale : {"MMPX 2x", "MMPX 4x"}) {
        for (const MmpxStage& stage : stages) {
            const auto find = [&](const std::string& variant) {
                const auto it =
                    medianUs.find(std::string(scale) + "/" + variant + "/" + stage.name);
                return it == medianUs.end() ? 0.0 : it->second;
            };
            const double copy = find("copy");
            for (SimdLevel level : levels) {
                const double us = find(SimdLevelName(level));
                if (us <= 0) continue;
                std::string target = "-";
                if (level == levels.back() && std::string(scale) == "MMPX 4x")
                    target = "<= " + std::to_string(int(kMmpx4xLimitUs)) +
                             " us: " + (us <= kMmpx4xLimitUs ? "met" : "MISSED");
                std::printf("%-26s %-9s %-10s %10.1f %10.1f %8.1fx  %s\n", scale, stage.name,
                            SimdLevelName(level), us, copy, copy > 0 ? us / copy : 0.0,
                            target.c_str());
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (!MakeFilterTables()) return 1;
    static std::vector<BenchPicture> pictures = MakeBenchPictures();
    const SimdLevel best = Hq2xLevels::InUse(), scaleBest = ScaleLevels::InUse();

    for (int r = 0; r < kPixelRoutineCount; ++r) {
        const PixelRoutine& routine = kPixelRoutines[r];
        const LevelFamily* family = &FamilyOf(routine);
        const std::vector<SimdLevel> levels = AvailableLevels(*family);
        for (BenchPicture& picture : pictures) {
            PixelStage* stage = &picture.stage;
            if (routine.levels) {
                for (SimdLevel level : levels)
                    Register(Key(routine, SimdLevelName(level), picture.name), routine.fast, stage,
                             family, level);
            } else {
                Register(Key(routine, "new", picture.name), routine.fast, stage, family,
                         levels.back());
            }
            Register(Key(routine, "reference", picture.name), routine.reference, stage, family,
                     levels.back());
            if (routine.copy)
                Register(Key(routine, "copy", picture.name), routine.copy, stage, family,
                         levels.back());
        }
    }
    static std::vector<SharpStage> sharpStages;
    sharpStages.reserve(kSharpRoutineCount);
    for (int r = 0; r < kSharpRoutineCount; ++r) {
        sharpStages.push_back(MakeSharpStage(kSharpRoutines[r]));
        RegisterSharp(kSharpRoutines[r], &sharpStages.back());
    }
    const SimdLevel sharpBest = SharpLevels::InUse();
    static std::vector<MmpxStage> mmpxStages = MakeMmpxStages();
    const SimdLevel mmpxBest = MmpxLevels::InUse();
    RegisterMmpx(mmpxStages);
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    Hq2xLevels::Use(best);
    ScaleLevels::Use(scaleBest);
    SharpLevels::Use(sharpBest);
    PrintSummary(reporter.medianUs, pictures);
    PrintSharpSummary(reporter.medianUs);
    MmpxLevels::Use(mmpxBest);
    PrintMmpxSummary(reporter.medianUs, mmpxStages);
    benchmark::Shutdown();
    return 0;
}
