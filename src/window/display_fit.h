// How the 640x480 frame sits in the viewer window's client area, chosen by the player in
// lumenpane.ini ([display] fit=stretch|aspect|integer). Pure arithmetic, no platform calls.
#pragma once

enum class DisplayFit { Stretch, Aspect, Integer };
// How the frame fills a picture of another size ([display] scaling=nearest|sharp): nearest
// neighbour, or sharp (area-weighted) scaling, sharp_scale.h.
enum class DisplayScaling { Nearest, Sharp };

struct FitRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const FitRect&) const = default;
};

// Where a frameWidth x frameHeight picture goes in a clientWidth x clientHeight area:
// - Stretch: the whole client area;
// - Aspect: the largest rectangle of the frame's shape that fits, its sides rounded to the
//   nearest pixel, centred (offsets rounded down);
// - Integer: the largest whole multiple k >= 1 of the frame that fits, centred; as Aspect
//   where not even one times fits.
// An empty client area (or frame) gives an empty rectangle.
FitRect FitFrame(DisplayFit fit, int clientWidth, int clientHeight, int frameWidth,
                 int frameHeight);

// The grid N (the frame N x 320 by N x 240, MinGrid <= N <= maxGrid) at which the frame is
// made for a picture shown in an areaWidth x areaHeight area (the monitor, or the framed
// window's client area):
// - Integer: the N whose whole multiple shows the largest picture, the larger N on a tie;
// - Stretch and Aspect: the largest N whose frame fits the area.
// MinGrid where no larger frame fits, or maxGrid is MinGrid or less.
int ChooseGrid(DisplayFit fit, int maxGrid, int areaWidth, int areaHeight);
