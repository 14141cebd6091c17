// Scaling a picture with the viewer's filters: the same passes, in the same order.
#pragma once

#include "pixels/filter_table.h"
#include "png_io.h"

// A filter of the viewer's table (its mode) at a grid: the output is grid times the input.
struct ScaleFilter {
    int mode = FilterHq2x;
    int grid = MinGrid;

    static const ScaleFilter Off, Scale2x, Hq2x;
};
inline constexpr ScaleFilter ScaleFilter::Off{FilterOff, MinGrid};
inline constexpr ScaleFilter ScaleFilter::Scale2x{FilterScale2x, MinGrid};
inline constexpr ScaleFilter ScaleFilter::Hq2x{FilterHq2x, MinGrid};

// Allocates and fills the hq2x lookup tables once, as the viewer's start-up does.
void PrepareFilterTables();
// out becomes grid * width x grid * height. Off enlarges every pixel (nearest neighbour), as
// the viewer shows the game's doubled picture. The input is taken over and freed as soon as it
// is no longer needed, to lower the peak of memory.
void ScalePicture(Picture&& in, ScaleFilter filter, Picture* out);
