// What each step of a run holds at once. Pixels are 4 bytes, RGB565 2 bytes; the output has
// four times the input's pixels.
//
//   read and decode   the file's bytes + the input picture (+ the codec's own copy on Windows)
//   Off               input + output
//   the filters       input + output + the filters' work memory (the narrowed input, and at
//                     grids 3 and 4 the doubled picture); output = grid^2 x input
//   encode            output + what the codec holds (rows natively; the whole encoded file,
//                     grown in steps, with the Windows Imaging Component)
#include "memory_need.h"

#include <algorithm>

namespace {

// libpng's and zlib's working memory, the filter tables and the program itself.
constexpr std::uint64_t FixedOverhead = std::uint64_t{16} << 20;

#ifdef _WIN32
constexpr bool CodecHoldsWholePictures = true;
#else
constexpr bool CodecHoldsWholePictures = false;
#endif

struct Checked {
    std::uint64_t value = 0;
    bool overflow = false;

    Checked operator+(Checked other) const {
        Checked sum{value + other.value, overflow || other.overflow};
        sum.overflow |= sum.value < value;
        return sum;
    }
    Checked operator*(std::uint64_t factor) const {
        Checked product{value * factor, overflow};
        product.overflow |= factor != 0 && product.value / factor != value;
        return product;
    }
};

std::string Megabytes(std::uint64_t bytes) {
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MiB";
}

} // namespace

bool PeakMemory(std::uint64_t fileBytes, std::uint64_t width, std::uint64_t height,
                ScaleFilter filter, std::uint64_t* bytes) {
    const Checked pixels = Checked{width} * 1 * height;
    const std::uint64_t grid = std::uint64_t(filter.grid);
    const Checked in = pixels * 4, out = pixels * (4 * grid * grid),
                  rows = Checked{height} * 2 * sizeof(void*);
    Checked decode = Checked{fileBytes} + in + rows;
    if (CodecHoldsWholePictures) decode = decode + in;
    const bool readsDoubled = FilterRowOf(filter.mode).readsDoubled;
    const Checked work =
        readsDoubled ? Checked{} : pixels * (grid > 2 ? 18 : 2) + Checked{width} * 16;
    const Checked scale = in + out + work;
    Checked encode = out + Checked{width} * grid * 3 * 2;
    // The encoded file is at most the raw rows and a little; its buffer grows in steps.
    if (CodecHoldsWholePictures)
        encode = encode + (pixels * (3 * grid * grid) + Checked{height} * grid) * 2;
    const Checked peak = Checked{std::max({decode.value, scale.value, encode.value}),
                                 decode.overflow || scale.overflow || encode.overflow} +
                         Checked{FixedOverhead};
    *bytes = peak.value;
    return !peak.overflow;
}

bool CheckMemory(std::uint64_t fileBytes, std::uint64_t width, std::uint64_t height,
                 ScaleFilter filter, std::uint64_t budget, std::string* error) {
    std::uint64_t need = 0;
    const bool counted = PeakMemory(fileBytes, width, height, filter, &need);
    if (counted && need <= budget) return true;
    *error = "not enough memory: a " + std::to_string(width) + "x" + std::to_string(height) +
             " picture needs " + (counted ? "about " + Megabytes(need) : "more than 16 EiB") +
             ", more than the " + Megabytes(budget) + " this build allows";
    return false;
}
