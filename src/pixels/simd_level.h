// The instruction-set levels the pixel routines come in, and the one way a family of routines
// (hq2x's rows, sharp scaling's rows) is chosen by level: the best the processor runs, found
// once, or the level a test or benchmark asks for.
#pragma once

#include <iterator>

enum class SimdLevel { Plain, Sse2, Ssse3, Sse41, Avx2 };

constexpr SimdLevel AllSimdLevels[] = {SimdLevel::Plain, SimdLevel::Sse2, SimdLevel::Ssse3,
                                       SimdLevel::Sse41, SimdLevel::Avx2};

// Whether this processor runs code of the level. The portable build (LMP_PORTABLE_PIXELS) and
// builds for other processors run Plain only; every x86 build assumes SSE2.
bool ProcessorRuns(SimdLevel level);
const char* SimdLevelName(SimdLevel level);

// One family's routines by level. RoutinesAt(level, &routines) fills the family's routines at
// a level and returns false where this build has none there (hq2x's SSE2 rows are its plain
// rows, so it has no Plain level beside them outside the portable build).
//
// Threads. The choice is made on first use (start-up, or the first frame), which the language
// makes safe across threads; afterwards it is written only by Use, which tests and benchmarks
// call before they run the routines, and read by whichever thread runs them. No lock: never
// written while read.
template <typename Routines, bool (*RoutinesAt)(SimdLevel, Routines*)> class SimdChoice {
  public:
    static bool Available(SimdLevel level) {
        Routines routines{};
        return ProcessorRuns(level) && RoutinesAt(level, &routines);
    }
    static SimdLevel InUse() { return Current().level; }
    static const Routines& InUseRoutines() { return Current().routines; }
    // Switches to an available level; false (and nothing changed) for one that is not.
    static bool Use(SimdLevel level) {
        Chosen chosen{level, {}};
        if (!ProcessorRuns(level) || !RoutinesAt(level, &chosen.routines)) return false;
        Current() = chosen;
        return true;
    }

  private:
    struct Chosen {
        SimdLevel level;
        Routines routines;
    };
    static Chosen Best() {
        for (int i = int(std::size(AllSimdLevels)) - 1; i >= 0; --i) {
            Chosen chosen{AllSimdLevels[i], {}};
            if (ProcessorRuns(chosen.level) && RoutinesAt(chosen.level, &chosen.routines))
                return chosen;
        }
        return {SimdLevel::Plain, {}};
    }
    static Chosen& Current() {
        static Chosen current = Best();
        return current;
    }
};
