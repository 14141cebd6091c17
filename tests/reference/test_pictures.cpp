// Deterministic test pictures for the pixel routines.
#include "test_pictures.h"

#include "pixels_reference.h"

#include <random>

namespace {

template <typename Pixel>
std::vector<Pixel> FromPalette(int width, int height, const std::vector<Pixel>& palette,
                               std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<Pixel> pixels(std::size_t(width) * height);
    std::size_t i = 0;
    while (i < pixels.size()) {
        const Pixel colour = palette[random() % palette.size()];
        for (std::uint32_t run = 1 + random() % 4; run > 0 && i < pixels.size(); --run)
            pixels[i++] = colour;
    }
    return pixels;
}

std::uint32_t Rgb(int r, int g, int b) {
    return 0xFF000000u | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
}

struct Canvas {
    int width, height;
    std::vector<std::uint32_t>& pixels;
    void Put(int x, int y, std::uint32_t colour) {
        if (x >= 0 && x < width && y >= 0 && y < height)
            pixels[std::size_t(y) * width + x] = colour;
    }
    void Fill(int x0, int y0, int x1, int y1, std::uint32_t colour) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) Put(x, y, colour);
    }
};

// Grass and earth tiles of 16x16 with a few speckles, a sky gradient over the top third.
void Ground(Canvas& canvas) {
    std::mt19937 random(7);
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            std::uint32_t colour;
            if (y < canvas.height / 3) {
                colour = Rgb(40 + y / 2, 90 + y, 200 + y / 4 > 255 ? 255 : 200 + y / 4);
            } else {
                const bool earth = ((x / 16) * 7 + (y / 16) * 3) % 5 == 0;
                colour = earth ? Rgb(150, 110, 60) : Rgb(60, 160, 60);
                if (random() % 23 == 0) colour = earth ? Rgb(130, 90, 50) : Rgb(80, 180, 70);
            }
            canvas.Put(x, y, colour);
        }
    }
}

// Houses: outlined walls with a roof of two diagonal edges.
void Houses(Canvas& canvas) {
    const std::uint32_t outline = Rgb(16, 16, 24), wall = Rgb(220, 200, 160),
                        roof = Rgb(170, 40, 30);
    for (int left = 10; left + 60 < canvas.width; left += 100) {
        const int top = canvas.height / 3 + 10;
        canvas.Fill(left, top + 30, left + 60, top + 70, wall);
        for (int y = 0; y < 30; ++y) {
            for (int x = 30 - y; x <= 30 + y; ++x) canvas.Put(left + x, top + y, roof);
            canvas.Put(left + 30 - y - 1, top + y, outline);
            canvas.Put(left + 30 + y + 1, top + y, outline);
        }
        for (int x = left - 1; x <= left + 60; ++x) {
            canvas.Put(x, top + 30, outline);
            canvas.Put(x, top + 70, outline);
        }
        for (int y = top + 30; y <= top + 70; ++y) {
            canvas.Put(left - 1, y, outline);
            canvas.Put(left + 60, y, outline);
        }
        canvas.Fill(left + 24, top + 48, left + 36, top + 70, Rgb(90, 60, 30));
    }
}

// Round characters with a dark outline and two eyes.
void Characters(Canvas& canvas) {
    for (int i = 0; i < 5; ++i) {
        const int cx = 30 + i * 60, cy = canvas.height / 2 + 20 + (i % 2) * 20;
        const std::uint32_t body = Rgb(60 + i * 35, 120, 220 - i * 30);
        for (int y = -9; y <= 9; ++y) {
            for (int x = -9; x <= 9; ++x) {
                const int d = x * x + y * y;
                if (d <= 64)
                    canvas.Put(cx + x, cy + y, body);
                else if (d <= 90)
                    canvas.Put(cx + x, cy + y, Rgb(0, 0, 0));
            }
        }
        canvas.Put(cx - 3, cy - 2, Rgb(255, 255, 255));
        canvas.Put(cx + 3, cy - 2, Rgb(255, 255, 255));
    }
}

// A message box: a dark gradient panel with a light border and glyph-like strokes.
void MessageBox(Canvas& canvas) {
    const int top = canvas.height * 3 / 4, bottom = canvas.height - 4;
    for (int y = top; y < bottom; ++y)
        canvas.Fill(8, y, canvas.width - 8, y + 1, Rgb(20, 20, 80 + (y - top) * 2));
    for (int x = 8; x < canvas.width - 8; ++x) {
        canvas.Put(x, top, Rgb(230, 230, 230));
        canvas.Put(x, bottom - 1, Rgb(230, 230, 230));
    }
    std::mt19937 random(11);
    for (int line = 0; line < 3; ++line) {
        for (int cell = 0; cell * 8 + 24 < canvas.width - 16; ++cell) {
            const int gx = 16 + cell * 8, gy = top + 6 + line * 12;
            if (random() % 6 == 0) continue; // a space
            for (int stroke = 0; stroke < 3; ++stroke) {
                const int kind = int(random() % 3), at = int(random() % 6);
                for (int s = 0; s < 6; ++s) {
                    if (kind == 0)
                        canvas.Put(gx + at, gy + s, Rgb(255, 255, 255));
                    else if (kind == 1)
                        canvas.Put(gx + s, gy + at, Rgb(255, 255, 255));
                    else
                        canvas.Put(gx + s, gy + s, Rgb(255, 255, 255));
                }
            }
        }
    }
}

// One 16x16 tile of the dithered picture: a two-colour checkerboard, flat, outlined,
// banded or a round shape, by kind.
void Tile(Canvas& canvas, int left, int top, int kind, std::mt19937& random) {
    static const std::uint32_t colours[] = {Rgb(60, 160, 60),   Rgb(150, 110, 60), Rgb(90, 90, 100),
                                            Rgb(200, 180, 120), Rgb(40, 60, 150),  Rgb(170, 40, 30),
                                            Rgb(230, 230, 230), Rgb(20, 20, 24)};
    const std::uint32_t a = colours[random() % 8], b = colours[random() % 8];
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            std::uint32_t colour = a;
            if (kind == 0)
                colour = (x + y) % 2 ? a : b;
            else if (kind == 2)
                colour = x == 0 || y == 0 || x == 15 || y == 15 ? Rgb(16, 16, 24) : a;
            else if (kind == 3)
                colour = y / 4 % 2 ? a : b;
            else if (kind == 4)
                colour = (x - 8) * (x - 8) + (y - 8) * (y - 8) < 40 ? b : a;
            canvas.Put(left + x, top + y, colour);
        }
    }
}

} // namespace

std::vector<std::uint32_t> DitheredGameLikeArgb(int width, int height) {
    std::vector<std::uint32_t> pixels(std::size_t(width) * height);
    Canvas canvas{width, height, pixels};
    std::mt19937 random(5);
    for (int y = 0; y < height / 3; ++y)
        canvas.Fill(0, y, width, y + 1,
                    Rgb(40 + y / 2, 90 + y, 200 + y / 4 > 255 ? 255 : 200 + y / 4));
    for (int top = height / 3; top < height; top += 16) {
        for (int left = 0; left < width; left += 16) {
            // A quarter checkerboards; the rest flat, outlined, banded or round.
            const int kind = random() % 4 == 0 ? 0 : 1 + int(random() % 4);
            Tile(canvas, left, top, kind, random);
        }
    }
    return pixels;
}

std::vector<std::uint32_t> NoiseArgb(int width, int height, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::uint32_t> pixels(std::size_t(width) * height);
    for (std::uint32_t& p : pixels) p = std::uint32_t(random());
    return pixels;
}

std::vector<std::uint16_t> Noise565(int width, int height, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::uint16_t> pixels(std::size_t(width) * height);
    for (std::uint16_t& p : pixels) p = std::uint16_t(random());
    return pixels;
}

std::vector<std::uint32_t>
PaletteArgb(int width, int height, const std::vector<std::uint32_t>& palette, std::uint32_t seed) {
    return FromPalette(width, height, palette, seed);
}

std::vector<std::uint16_t>
Palette565(int width, int height, const std::vector<std::uint16_t>& palette, std::uint32_t seed) {
    return FromPalette(width, height, palette, seed);
}

std::vector<std::uint32_t> GameLikeArgb(int width, int height) {
    std::vector<std::uint32_t> pixels(std::size_t(width) * height);
    Canvas canvas{width, height, pixels};
    Ground(canvas);
    Houses(canvas);
    Characters(canvas);
    MessageBox(canvas);
    return pixels;
}

std::vector<std::uint16_t> Narrowed(const std::vector<std::uint32_t>& argb) {
    std::vector<std::uint16_t> pixels(argb.size());
    for (std::size_t i = 0; i < argb.size(); ++i) pixels[i] = ReferenceNarrow(argb[i]);
    return pixels;
}
