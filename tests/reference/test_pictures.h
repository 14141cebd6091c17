// Deterministic test pictures for the pixel routines.
#pragma once

#include <cstdint>
#include <vector>

// Every pixel random, alpha included.
std::vector<std::uint32_t> NoiseArgb(int width, int height, std::uint32_t seed);
std::vector<std::uint16_t> Noise565(int width, int height, std::uint32_t seed);
// Random pixels from a small palette, in runs of random length so that neighbours are
// often equal.
std::vector<std::uint32_t>
PaletteArgb(int width, int height, const std::vector<std::uint32_t>& palette, std::uint32_t seed);
std::vector<std::uint16_t>
Palette565(int width, int height, const std::vector<std::uint16_t>& palette, std::uint32_t seed);
// A picture like a game screen: tiled ground, a sky gradient, outlined shapes, diagonal
// edges and a message box with text-like strokes. Opaque.
std::vector<std::uint32_t> GameLikeArgb(int width, int height);
// Game-like too, with dithering: 16x16 tiles under a sky gradient, a quarter of them
// two-colour checkerboards, the others flat, outlined, banded or round. Opaque.
std::vector<std::uint32_t> DitheredGameLikeArgb(int width, int height);
std::vector<std::uint16_t> Narrowed(const std::vector<std::uint32_t>& argb);
