// The stand-in game's picture: a 320x240 pixel-art scene drawn from a frame number alone,
// so the same frame number always gives the same pixels.
#pragma once

#include <cstdint>

constexpr int DemoWidth = 320;
constexpr int DemoHeight = 240;

// Pixels are 0x00RRGGBB, rows top to bottom, DemoWidth pixels per row.
struct DemoFrame {
    std::uint32_t pixels[DemoWidth * DemoHeight];
};

// Draws the scene as it looks at animation frame `frame` (30 frames make one second).
void DrawDemoFrame(DemoFrame& out, int frame);

// The frame-clock tag: FrameTagDigits decimal digits of `number` (modulo 10^FrameTagDigits,
// leading zeros) in the demo font, in FrameTagInk on a dark box in the top right corner, clear
// of the viewer's overlay in the top left. Each digit's glyph starts FrameTagAdvance pixels
// after the previous one, the first at (FrameTagX, FrameTagY).
constexpr int FrameTagDigits = 6;
constexpr int FrameTagX = 283;
constexpr int FrameTagY = 4;
constexpr int FrameTagAdvance = 6;
constexpr std::uint32_t FrameTagInk = 0xF8E078;
void DrawFrameTag(DemoFrame& out, int number);

// The frame code, for a program that reads the screen one row at a time: the frame number
// modulo 2^FrameCodeBits in the picture's bottom FrameCodeHeight rows, as 2 * FrameCodeBits
// cells FrameCodeCellWidth pixels wide, white for a set bit and black for a clear one: first
// the number's bits, most significant first, then their complements, so that a row caught
// half drawn reads as no number at all.
constexpr int FrameCodeBits = 10;
constexpr int FrameCodeCellWidth = 16;
constexpr int FrameCodeHeight = 4;
void DrawFrameCode(DemoFrame& out, int number);

// Writes a frame as DemoHeight rows of DemoWidth little-endian 32-bit 0x00RRGGBB pixels,
// top row first, no header (307200 bytes). Returns false when the file cannot be written.
bool WriteDemoFrame(const DemoFrame& frame, const char* path);
