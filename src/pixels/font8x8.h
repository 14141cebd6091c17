// The built-in 8x8 font: one byte per row, bit 7 the leftmost pixel, 8 rows per glyph.
#pragma once

#include <cstdint>

constexpr int FontFirstCode = 32;
constexpr int FontLastCode = 126;

// The glyph of a character code; codes outside the printable ASCII range are blank.
const std::uint8_t* Font8x8Glyph(unsigned char code);
