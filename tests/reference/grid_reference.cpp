// Scale3x and Scale4x as published for the Scale2x family: per pixel, the picture's edge
// pixels repeating beyond it, colours compared without alpha.
#include "pixels_reference.h"

#include <vector>

namespace {

struct Picture {
    const std::uint32_t* pixels;
    int width, height;

    std::uint32_t At(int x, int y) const {
        x = x < 0 ? 0 : x >= width ? width - 1 : x;
        y = y < 0 ? 0 : y >= height ? height - 1 : y;
        return pixels[long(y) * width + x];
    }
};

bool Eq(std::uint32_t a, std::uint32_t b) {
    return (a & 0xFFFFFF) == (b & 0xFFFFFF);
}

} // namespace

void ReferenceScale2xRepeatingEdges(const std::uint32_t* source, std::uint32_t* destination,
                                    int width, int height) {
    const Picture p{source, width, height};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t B = p.At(x, y - 1), D = p.At(x - 1, y), E = p.At(x, y),
                                F = p.At(x + 1, y), H = p.At(x, y + 1);
            std::uint32_t E0 = E, E1 = E, E2 = E, E3 = E;
            if (!Eq(B, H) && !Eq(D, F)) {
                E0 = Eq(D, B) ? D : E;
                E1 = Eq(B, F) ? F : E;
                E2 = Eq(D, H) ? D : E;
                E3 = Eq(H, F) ? F : E;
            }
            std::uint32_t* out = destination + long(2 * y) * 2 * width + 2 * x;
            out[0] = E0, out[1] = E1, out[2 * width] = E2, out[2 * width + 1] = E3;
        }
    }
}

void ReferenceScale3x(const std::uint32_t* source, std::uint32_t* destination, int width,
                      int height) {
    const Picture p{source, width, height};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t A = p.At(x - 1, y - 1), B = p.At(x, y - 1), C = p.At(x + 1, y - 1);
            const std::uint32_t D = p.At(x - 1, y), E = p.At(x, y), F = p.At(x + 1, y);
            const std::uint32_t G = p.At(x - 1, y + 1), H = p.At(x, y + 1), I = p.At(x + 1, y + 1);
            std::uint32_t e[9] = {E, E, E, E, E, E, E, E, E};
            if (!Eq(B, H) && !Eq(D, F)) {
                e[0] = Eq(D, B) ? D : E;
                e[1] = (Eq(D, B) && !Eq(E, C)) || (Eq(B, F) && !Eq(E, A)) ? B : E;
                e[2] = Eq(B, F) ? F : E;
                e[3] = (Eq(D, B) && !Eq(E, G)) || (Eq(D, H) && !Eq(E, A)) ? D : E;
                e[5] = (Eq(B, F) && !Eq(E, I)) || (Eq(H, F) && !Eq(E, C)) ? F : E;
                e[6] = Eq(D, H) ? D : E;
                e[7] = (Eq(D, H) && !Eq(E, I)) || (Eq(H, F) && !Eq(E, G)) ? H : E;
                e[8] = Eq(H, F) ? F : E;
            }
            for (int k = 0; k < 9; ++k)
                destination[long(3 * y + k / 3) * 3 * width + 3 * x + k % 3] = e[k];
        }
    }
}

void ReferenceScale4x(const std::uint32_t* source, std::uint32_t* destination, int width,
                      int height) {
    std::vector<std::uint32_t> doubled(std::size_t(4) * width * height);
    ReferenceScale2xRepeatingEdges(source, doubled.data(), width, height);
    ReferenceScale2xRepeatingEdges(doubled.data(), destination, 2 * width, 2 * height);
}
