// Sharp scaling's row routines in portable C++: the Plain level, and the single columns the
// vector routines leave over.
#include "pixels/sharp_scale_rows.h"

void SharpAcrossColumns(const SharpColumns& columns, const std::uint32_t* source,
                        std::uint32_t* out, int from, int to) {
    const SharpTap* taps = columns.taps.data();
    for (int x = from; x < to; ++x) {
        const SharpTap tap = taps[x];
        out[x] = tap.take == 0 ? source[tap.first]
                               : SharpBlend(source[tap.first], source[tap.first + 1], tap.take);
    }
}

namespace {

void AcrossRow(const SharpColumns& columns, const std::uint32_t* source, std::uint32_t* out) {
    SharpAcrossColumns(columns, source, out, 0, columns.width);
}

void DownRow(const std::uint32_t* upper, const std::uint32_t* lower, int take, std::uint32_t* out,
             int width) {
    for (int x = 0; x < width; ++x) out[x] = SharpBlend(upper[x], lower[x], std::uint32_t(take));
}

} // namespace

SharpRowRoutines SharpRowsPlain() {
    return {AcrossRow, DownRow};
}
