// The two lookup tables of the hq2x filter, indexed by an RGB565 value.
#include "pixels/hq2x.h"

#include <new>

std::uint32_t* Rgb565To888Table = nullptr;
std::uint32_t* Rgb565ToYuvTable = nullptr;

namespace {

constexpr int FilterTableEntries = 65536;

// 0x00RRGGBB with the channels shifted up, low bits zero (R = 8r, G = 4g, B = 8b).
void BuildRgbTable(std::uint32_t* table) {
    for (std::uint32_t i = 0; i < FilterTableEntries; ++i)
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

// Tables that already exist are never freed here, since their memory may not come from this
// function.
bool AllocateFilterTables() {
    if (!Rgb565To888Table)
        Rgb565To888Table = new (std::nothrow) std::uint32_t[FilterTableEntries]();
    if (!Rgb565ToYuvTable)
        Rgb565ToYuvTable = new (std::nothrow) std::uint32_t[FilterTableEntries]();
    return Rgb565To888Table && Rgb565ToYuvTable;
}

void BuildFilterTables() {
    if (Rgb565To888Table) BuildRgbTable(Rgb565To888Table);
    if (Rgb565ToYuvTable) BuildYuvTable(Rgb565ToYuvTable);
}

bool MakeFilterTables() {
    if (Rgb565To888Table && Rgb565ToYuvTable) return true;
    if (!AllocateFilterTables()) return false;
    BuildFilterTables();
    return true;
}
