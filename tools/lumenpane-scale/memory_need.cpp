// What each step of a run holds at once. Pixels are 4 bytes, RGB565 2 bytes; the output has
// four times the input's pixels.
//
//   read and decode   the file's bytes + the input picture (+ the codec's own copy on Windows)
//   Off, Scale2x      input + output
//   hq2x              input + narrowed input + hq2x output + output (the shared frame
//                     routine holds all four)
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
    const Checked in = pixels * 4, out = pixels * 16, rows = Checked{height} * 2 * sizeof(void*);
    Checked decode = Checked{fileBytes} + in + rows;
    if (CodecHoldsWholePictures) decode = decode + in;
    const Checked scale = filter == ScaleFilter::Hq2x ? pixels * 30 : in + out;
    Checked encode = out + Checked{width} * 2 * 3 * 2;
    // The encoded file is at most the raw rows and a little; its buffer grows in steps.
    if (CodecHoldsWholePictures) encode = encode + (pixels * 12 + Checked{height} * 2) * 2;
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
