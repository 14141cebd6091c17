// Sharp scaling written per pixel and per channel from its definition.
#include "pixels_reference.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

struct Share {
    int pixel;
    double weight;
};

// The frame pixels under picture pixel i of one axis, with the share of it each covers.
// In 1/(source*size)-ths of the picture: picture pixel i spans [i * source, (i + 1) * source),
// frame pixel f spans [f * size, (f + 1) * size).
std::vector<Share> SharesOf(int source, int size, int i) {
    if (size < source) return {{int((i + 0.5) * source / size), 1.0}};
    std::vector<Share> shares;
    const long long start = (long long)i * source, end = start + source;
    for (int f = 0; f < source; ++f) {
        const long long overlap =
            std::min(end, (long long)(f + 1) * size) - std::max(start, (long long)f * size);
        if (overlap > 0) shares.push_back({f, double(overlap) / double(source)});
    }
    return shares;
}

} // namespace

void ReferenceSharpScale(const std::uint32_t* frame, int frameWidth, int frameHeight,
                         std::uint32_t* picture, int width, int height) {
    std::vector<std::vector<Share>> columns(width);
    for (int x = 0; x < width; ++x) columns[x] = SharesOf(frameWidth, width, x);
    for (int y = 0; y < height; ++y) {
        const std::vector<Share> rows = SharesOf(frameHeight, height, y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel = 0;
            for (int channel = 0; channel < 4; ++channel) {
                double sum = 0;
                for (const Share& row : rows)
                    for (const Share& column : columns[x]) {
                        const std::uint32_t value =
                            frame[std::size_t(row.pixel) * frameWidth + column.pixel];
                        sum += double(value >> (8 * channel) & 0xFF) * row.weight * column.weight;
                    }
                const long rounded = std::clamp(std::lround(sum), 0L, 255L);
                pixel |= std::uint32_t(rounded) << (8 * channel);
            }
            picture[std::size_t(y) * width + x] = pixel;
        }
    }
}
