// A 5x7 bitmap font for the stand-in game's small text, stored as data.
#pragma once

#include <cstdint>

// Rows of the glyph for `c` (upper case letters, digits, space and a few signs), top row
// first; bit 4 of each row is the leftmost pixel. Unknown characters give a blank glyph.
const std::uint8_t* DemoGlyph(char c);

constexpr int DemoGlyphWidth = 5;
constexpr int DemoGlyphHeight = 7;
