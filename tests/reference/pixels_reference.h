// Straightforward versions of the pixel routines, written per pixel and per channel from
// their definitions, against which the tests and benchmarks measure the fast ones.
#pragma once

#include <array>
#include <cstdint>
#include <string>

std::uint16_t ReferenceNarrow(std::uint32_t pixel);
std::uint32_t ReferenceWiden(std::uint16_t pixel);
// count / 2 pairs; an odd last pixel is not written.
void ReferenceConvertRowTo565(const std::uint32_t* source, std::uint16_t* destination,
                              std::uint32_t count);
void ReferenceConvertRowFrom565(const std::uint16_t* source, std::uint32_t* destination,
                                std::int32_t count);

// Destination rows are 2 * width pixels apart.
void ReferenceScale2x(const std::uint32_t* source, std::uint32_t* destination, int width,
                      int height);

// The Scale2x family with the picture's edge pixels repeating beyond it and colours compared
// without alpha (grid_reference.cpp); destination rows are 2, 3 or 4 * width pixels apart.
void ReferenceScale2xRepeatingEdges(const std::uint32_t* source, std::uint32_t* destination,
                                    int width, int height);
void ReferenceScale3x(const std::uint32_t* source, std::uint32_t* destination, int width,
                      int height);
void ReferenceScale4x(const std::uint32_t* source, std::uint32_t* destination, int width,
                      int height);

// One cell of the hq2x rule table: form, or, when sideA is not 0, formIfDiffers when the
// neighbours w<sideA> and w<sideB> differ by the YUV test.
struct ReferenceCell {
    int sideA = 0, sideB = 0;
    int formIfDiffers = 0, form = 0;
};
struct ReferenceRule {
    ReferenceCell cells[4]; // E00, E01, E10, E11
};
using ReferenceRules = std::array<ReferenceRule, 256>;

// Reads the tab-separated rule table; false with a message when it is malformed.
bool ParseHq2xRules(const std::string& text, ReferenceRules& rules, std::string& error);
// The copy of the rule table kept with the tests.
const ReferenceRules& BundledHq2xRules();

// Y << 16 | U << 8 | V of an RGB565 pixel.
std::uint32_t ReferenceYuv(std::uint16_t pixel);
bool ReferenceYuvDiffers(std::uint16_t a, std::uint16_t b);

// Destination rows are 2 * width pixels apart. When
// patternCounts is given, each block that went through the rule table counts its pattern.
void ReferenceHq2x(const std::uint16_t* source, std::uint16_t* destination, int width, int height,
                   const ReferenceRules& rules, std::array<int, 256>* patternCounts = nullptr);

// Sharp scaling from its definition, in double precision: each picture pixel shows the frame
// pixels it covers, each channel weighted by the area covered, rounded; along an axis where
// the picture is smaller than the frame, the frame pixel under the picture pixel's centre.
// Rows packed (frameWidth and width pixels).
void ReferenceSharpScale(const std::uint32_t* frame, int frameWidth, int frameHeight,
                         std::uint32_t* picture, int width, int height);

// MMPX: every pixel compared by its colour bytes alone, neighbours beyond the picture those
// of its edge. Destination rows are 2 * width pixels apart.
void ReferenceMmpx(const std::uint32_t* source, std::uint32_t* destination, int width, int height);
