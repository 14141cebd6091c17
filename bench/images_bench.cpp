// The overlay's drawing beside straightforward references: the Alpha PutImage of the
// overlay boxes (80x24 for the frames-per-second text, 136x24 for the longest filter text)
// onto the 640x480 frame buffer, the Copy of a whole 640x480 picture, and one complete
// overlay as the frame step draws it. A summary after the runs gives each median and its
// speed-up over the reference.
#include "pixels/image.h"
#include "window/surface.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>

namespace {

Image* overlay80 = nullptr;
Image* overlay136 = nullptr;
Image* picture = nullptr;

// floor(n / 256) for negative n too.
int FloorDiv256(int n) {
    return n >= 0 ? n / 256 : -((-n + 255) / 256);
}

// Channel by channel, byte by byte: (d + floor((s - d) * a / 256)) mod 256.
void ReferenceAlphaPut(Image* box, int left, int top) {
    for (int y = 0; y < int(box->height); ++y) {
        const std::uint8_t* s = ImageRow(box, y);
        std::uint8_t* d = Surface.frameBuffer + std::size_t(top + y) * Surface.pitch + 4 * left;
        for (int x = 0; x < int(box->width); ++x, s += 4, d += 4) {
            const int a = s[3];
            for (int c = 0; c < 4; ++c) d[c] = std::uint8_t(d[c] + FloorDiv256((s[c] - d[c]) * a));
        }
        Surface.rowMarks[top + y] = 1;
    }
}

void ReferenceCopy(Image* source) {
    for (int y = 0; y < int(source->height); ++y) {
        const auto* s = reinterpret_cast<const std::uint32_t*>(ImageRow(source, y));
        auto* d =
            reinterpret_cast<std::uint32_t*>(Surface.frameBuffer + std::size_t(y) * Surface.pitch);
        for (int x = 0; x < int(source->width); ++x) d[x] = s[x];
        Surface.rowMarks[y] = 1;
    }
}

// The frame step's frames-per-second overlay, made, drawn, put and released.
void WholeOverlay() {
    Image* box = CreateImage(80, 24, 0x80000000u, 0, 0);
    DrawText(box, 8, 8, "FPS:  60", 0xFFFFFFFFu);
    PutImage(nullptr, 16, 16, box, WholeImage, 0, 0, 0, Alpha);
    DestroyImage(box);
}

struct Routine {
    const char* name;
    void (*fast)();
    void (*reference)(); // null: no reference
};

const Routine kRoutines[] = {
    {"Alpha PutImage 80x24",
     [] { PutImage(nullptr, 16, 16, overlay80, WholeImage, 0, 0, 0, Alpha); },
     [] { ReferenceAlphaPut(overlay80, 16, 16); }},
    {"Alpha PutImage 136x24",
     [] { PutImage(nullptr, 16, 16, overlay136, WholeImage, 0, 0, 0, Alpha); },
     [] { ReferenceAlphaPut(overlay136, 16, 16); }},
    {"Copy PutImage 640x480", [] { PutImage(nullptr, 0, 0, picture, WholeImage, 0, 0, 0, Copy); },
     [] { ReferenceCopy(picture); }},
    {"FPS overlay, whole", WholeOverlay, nullptr},
};

// Keeps the medians of the repeated runs (CPU time: the machine is shared).
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> medianUs;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                medianUs[run.run_name.function_name] =
                    run.GetAdjustedCPUTime() * 1e6 /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
};

void PrintSummary(const std::map<std::string, double>& medianUs) {
    std::printf("\n%-24s %12s %14s %9s\n", "routine (CPU time)", "median us", "reference us",
                "speed-up");
    for (const Routine& routine : kRoutines) {
        const auto fast = medianUs.find(std::string(routine.name) + "/fast");
        const auto reference = medianUs.find(std::string(routine.name) + "/reference");
        if (fast == medianUs.end()) continue;
        if (reference == medianUs.end()) {
            std::printf("%-24s %12.2f %14s %9s\n", routine.name, fast->second, "-", "-");
            continue;
        }
        std::printf("%-24s %12.2f %14.2f %8.1fx\n", routine.name, fast->second, reference->second,
                    reference->second / fast->second);
    }
}

Image* RandomImage(int width, int height, unsigned seed) {
    Image* image = CreateImage(width, height, 0, 32, 0);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(ImageRow(image, y));
        for (int x = 0; x < width; ++x) row[x] = random();
    }
    return image;
}

void Register(const std::string& name, void (*run)()) {
    benchmark::RegisterBenchmark(name.c_str(),
                                 [run](benchmark::State& state) {
                                     for (auto _ : state) {
                                         run();
                                         benchmark::ClobberMemory();
                                     }
                                 })
        ->Repetitions(9)
        ->ReportAggregatesOnly(true)
        ->MinTime(0.05)
        ->Unit(benchmark::kMicrosecond);
}

} // namespace

int main(int argc, char** argv) {
    if (OpenSurface(640, 480, 32, 1, 68, 0) != 0) return 1;
    // The overlay boxes as the frame step leaves them: half-transparent black with white text.
    overlay80 = CreateImage(80, 24, 0x80000000u, 0, 0);
    overlay136 = CreateImage(136, 24, 0x80000000u, 0, 0);
    DrawText(overlay80, 8, 8, "FPS:  60", 0xFFFFFFFFu);
    DrawText(overlay136, 8, 8, "Filter: Scale2x", 0xFFFFFFFFu);
    picture = RandomImage(640, 480, 5);
    PutImage(nullptr, 0, 0, picture, WholeImage, 0, 0, 0, Copy);

    for (const Routine& routine : kRoutines) {
        Register(std::string(routine.name) + "/fast", routine.fast);
        if (routine.reference)
            Register(std::string(routine.name) + "/reference", routine.reference);
    }
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter.medianUs);
    benchmark::Shutdown();
    DestroyImage(overlay80);
    DestroyImage(overlay136);
    DestroyImage(picture);
    CloseSurface();
    return 0;
}
