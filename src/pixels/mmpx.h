// The MMPX filter on 32-bit BGRX pixels: Morgan McGuire and Mara Gagiu, "MMPX Style-Preserving
// Pixel-Art Magnification", Journal of Computer Graphics Techniques 10(2), 2021 (MIT licence).
//
// Every destination pixel is a copy of one source pixel, so the picture keeps its palette
// and its single-pixel details. Pixels outside the picture are those of its nearest edge.
// Pixels are compared by their colour alone, and their luma is the sum of the three colour
// bytes: the fourth byte plays no part in the choice (it is copied with the chosen pixel).
#pragma once

// width x height source pixels, rows sourcePitch bytes apart, into 2 * width x 2 * height
// destination pixels, rows destinationPitch bytes apart. Nothing happens for an empty size.
void Mmpx2x(const void* source, int sourcePitch, int width, int height, void* destination,
            int destinationPitch);

// MMPX applied twice: 4 * width x 4 * height destination pixels. middle holds the 2x picture
// between the two passes (2 * width x 2 * height pixels, rows middlePitch bytes apart), so
// that the call allocates nothing.
void Mmpx4x(const void* source, int sourcePitch, int width, int height, void* middle,
            int middlePitch, void* destination, int destinationPitch);
