// MMPX from the paper's description, one output pixel at a time: every neighbour is read by
// its offset from E, clamped to the picture, and the rules run in the paper's order.
#include "pixels_reference.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {

struct Around {
    const std::uint32_t* source;
    int width, height, x, y;
    std::uint32_t At(int dx, int dy) const {
        const int cx = std::min(std::max(x + dx, 0), width - 1);
        const int cy = std::min(std::max(y + dy, 0), height - 1);
        return source[cy * width + cx];
    }
    bool Same(int dx1, int dy1, int dx2, int dy2) const {
        return ((At(dx1, dy1) ^ At(dx2, dy2)) & 0xFFFFFFu) == 0;
    }
    int Luma(int dx, int dy) const {
        const std::uint32_t p = At(dx, dy);
        return int((p & 0xFF) + (p >> 8 & 0xFF) + (p >> 16 & 0xFF));
    }
};

} // namespace

void ReferenceMmpx(const std::uint32_t* source, std::uint32_t* destination, int width, int height) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Around n{source, width, height, x, y};
            const auto eq = [&](int ax, int ay, int bx, int by) { return n.Same(ax, ay, bx, by); };
            const int lumaE = n.Luma(0, 0);
            std::uint32_t j = n.At(0, 0), k = j, l = j, m = j;

            // 1:1 slopes, each corner from the two edge neighbours beside it.
            if (eq(-1, 0, 0, -1) && !eq(-1, 0, 0, 1) && !eq(-1, 0, 1, 0) &&
                (lumaE >= n.Luma(-1, 0) || eq(0, 0, -1, -1)) &&
                (eq(0, 0, -1, -1) || eq(0, 0, 1, -1) || eq(0, 0, -1, 1)) &&
                (lumaE < n.Luma(-1, 0) || !eq(-1, -1, -1, 0) || !eq(0, 0, 0, -2) ||
                 !eq(0, 0, -2, 0)))
                j = n.At(-1, 0);
            if (eq(0, -1, 1, 0) && !eq(0, -1, -1, 0) && !eq(0, -1, 0, 1) &&
                (lumaE >= n.Luma(0, -1) || eq(0, 0, 1, -1)) &&
                (eq(0, 0, -1, -1) || eq(0, 0, 1, -1) || eq(0, 0, 1, 1)) &&
                (lumaE < n.Luma(0, -1) || !eq(1, -1, 0, -1) || !eq(0, 0, 0, -2) || !eq(0, 0, 2, 0)))
                k = n.At(0, -1);
            if (eq(0, 1, -1, 0) && !eq(0, 1, 1, 0) && !eq(0, 1, 0, -1) &&
                (lumaE >= n.Luma(0, 1) || eq(0, 0, -1, 1)) &&
                (eq(0, 0, -1, -1) || eq(0, 0, -1, 1) || eq(0, 0, 1, 1)) &&
                (lumaE < n.Luma(0, 1) || !eq(-1, 1, 0, 1) || !eq(0, 0, 0, 2) || !eq(0, 0, -2, 0)))
                l = n.At(0, 1);
            if (eq(1, 0, 0, 1) && !eq(1, 0, 0, -1) && !eq(1, 0, -1, 0) &&
                (lumaE >= n.Luma(1, 0) || eq(0, 0, 1, 1)) &&
                (eq(0, 0, 1, -1) || eq(0, 0, -1, 1) || eq(0, 0, 1, 1)) &&
                (lumaE < n.Luma(1, 0) || !eq(1, 1, 0, 1) || !eq(0, 0, 2, 0) || !eq(0, 0, 0, 2)))
                m = n.At(1, 0);

            // Whether the colour at (ax, ay) equals the pixels of one list and none of the other.
            const auto runs = [&](int ax, int ay, std::initializer_list<std::pair<int, int>> same,
                                  std::initializer_list<std::pair<int, int>> differ = {}) {
                for (auto [dx, dy] : same)
                    if (!eq(ax, ay, dx, dy)) return false;
                for (auto [dx, dy] : differ)
                    if (eq(ax, ay, dx, dy)) return false;
                return true;
            };

            // Intersections: a line crossing beside E that does not go on.
            if (!eq(0, 0, 1, 0) && runs(0, 0, {{1, -1}, {1, 1}, {-1, 0}, {-2, 0}}) &&
                eq(1, 0, 0, -1) && eq(1, 0, 0, 1) && !eq(1, 0, 3, 0))
                k = m = n.At(1, 0);
            if (!eq(0, 0, -1, 0) && runs(0, 0, {{-1, -1}, {-1, 1}, {1, 0}, {2, 0}}) &&
                eq(-1, 0, 0, -1) && eq(-1, 0, 0, 1) && !eq(-1, 0, -3, 0))
                j = l = n.At(-1, 0);
            if (!eq(0, 0, 0, 1) && runs(0, 0, {{-1, 1}, {1, 1}, {0, -1}, {0, -2}}) &&
                eq(0, 1, -1, 0) && eq(0, 1, 1, 0) && !eq(0, 1, 0, 3))
                l = m = n.At(0, 1);
            if (!eq(0, 0, 0, -1) && runs(0, 0, {{-1, -1}, {1, -1}, {0, 1}, {0, 2}}) &&
                eq(0, -1, -1, 0) && eq(0, -1, 1, 0) && !eq(0, -1, 0, -3))
                j = k = n.At(0, -1);
            // ... and a darker neighbour at the tip of E's colour.
            if (n.Luma(0, -1) < lumaE &&
                runs(0, 0, {{-1, 1}, {0, 1}, {1, 1}, {0, 2}}, {{-1, -1}, {-1, 0}, {1, -1}, {1, 0}}))
                j = k = n.At(0, -1);
            if (n.Luma(0, 1) < lumaE && runs(0, 0, {{-1, -1}, {0, -1}, {1, -1}, {0, -2}},
                                             {{-1, 0}, {-1, 1}, {1, 1}, {1, 0}}))
                l = m = n.At(0, 1);
            if (n.Luma(1, 0) < lumaE && runs(0, 0, {{-1, -1}, {-1, 0}, {-1, 1}, {-2, 0}},
                                             {{0, -1}, {1, -1}, {1, 1}, {0, 1}}))
                k = m = n.At(1, 0);
            if (n.Luma(-1, 0) < lumaE &&
                runs(0, 0, {{1, -1}, {1, 0}, {1, 1}, {2, 0}}, {{0, -1}, {-1, -1}, {-1, 1}, {0, 1}}))
                j = l = n.At(-1, 0);

            // 2:1 slopes.
            if (!eq(0, 1, 0, -1)) {
                if (runs(0, 1, {}, {{-1, -1}, {0, 0}, {1, -1}})) {
                    if (runs(0, 1, {{-1, 1}, {1, 0}, {2, 0}}, {{-1, 0}, {2, -1}})) l = m;
                    if (runs(0, 1, {{1, 1}, {-1, 0}, {-2, 0}}, {{1, 0}, {-2, -1}})) m = l;
                }
                if (runs(0, -1, {}, {{1, 1}, {-1, 1}, {0, 0}})) {
                    if (runs(0, -1, {{-1, -1}, {1, 0}, {2, 0}}, {{-1, 0}, {2, 1}})) j = k;
                    if (runs(0, -1, {{1, -1}, {-1, 0}, {-2, 0}}, {{1, 0}, {-2, 1}})) k = j;
                }
            }
            if (!eq(1, 0, -1, 0)) {
                if (runs(-1, 0, {}, {{1, 1}, {0, 0}, {1, -1}})) {
                    if (runs(-1, 0, {{-1, -1}, {0, 1}, {0, 2}}, {{0, -1}, {1, 2}})) j = l;
                    if (runs(-1, 0, {{-1, 1}, {0, -1}, {0, -2}}, {{0, 1}, {1, -2}})) l = j;
                }
                if (runs(1, 0, {}, {{0, 0}, {-1, -1}, {-1, 1}})) {
                    if (runs(1, 0, {{1, -1}, {0, 1}, {0, 2}}, {{0, -1}, {-1, 2}})) k = m;
                    if (runs(1, 0, {{1, 1}, {0, -1}, {0, -2}}, {{0, 1}, {-1, -2}})) m = k;
                }
            }

            std::uint32_t* top = destination + std::size_t(2 * y) * 2 * width + 2 * x;
            top[0] = j, top[1] = k, top[2 * width] = l, top[2 * width + 1] = m;
        }
    }
}
