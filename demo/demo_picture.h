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

// Writes a frame as DemoHeight rows of DemoWidth little-endian 32-bit 0x00RRGGBB pixels,
// top row first, no header (307200 bytes). Returns false when the file cannot be written.
bool WriteDemoFrame(const DemoFrame& frame, const char* path);
