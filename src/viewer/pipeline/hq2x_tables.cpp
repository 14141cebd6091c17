// The two lookup tables of the hq2x filter, indexed by an RGB565 value.
#include "viewer/pipeline/hq2x.h"

std::uint32_t* Rgb565To888Table = nullptr;
std::uint32_t* Rgb565ToYuvTable = nullptr;

namespace {

// 0x00RRGGBB with the channels shifted up, low bits zero (R = 8r, G = 4g, B = 8b).
void BuildRgbTable(std::uint32_t* table) {
    for (std::uint32_t i = 0; i < 65536; ++i)
        table[i] = ((i & 0xF800) << 8) + ((i & 0x07E0) << 5) + ((i & 0x001F) << 3);
}

// Y << 16 | U << 8 | V from the shifted channels; every division below is exact.
void BuildYuvTable(std::uint32_t* table) {
    for (int r = 0; r < 32; ++r) {
        for (int g = 0; g < 64; ++g) {
            for (int b = 0; b < 32; ++b) {
                const int red = 8 * r, green = 4 * g, blue = 8 * b;
                const int y = (red + green + blue) / 4;
                const int u = 128 + (red - blue) / 4;
                const int v = 128 + (2 * green - red - blue) / 8;
                table[r << 11 | g << 5 | b] = std::uint32_t(y << 16 | u << 8 | v);
            }
        }
    }
}

} // namespace

// Fills the tables the start-up allocated; a table that was not allocated is left alone.
void BuildFilterTables() {
    if (Rgb565To888Table) BuildRgbTable(Rgb565To888Table);
    if (Rgb565ToYuvTable) BuildYuvTable(Rgb565ToYuvTable);
}
