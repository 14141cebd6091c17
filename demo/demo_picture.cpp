// Drawing of the stand-in game's scene. Everything a pixel-art filter is good at shows up
// here: diagonal edges and one-pixel outlines (roof, mountains, sprite), a smooth gradient
// (sky), small text (status panel) and a sprite that moves every frame.
#include "demo_picture.h"

#include "demo_font.h"

#include <cstdio>

namespace {

using Pixel = std::uint32_t;

constexpr Pixel Rgb(int r, int g, int b) {
    return Pixel(r) << 16 | Pixel(g) << 8 | Pixel(b);
}

constexpr Pixel outline = Rgb(20, 16, 28);
constexpr Pixel white = Rgb(248, 248, 240);

void Plot(DemoFrame& f, int x, int y, Pixel c) {
    if (x >= 0 && y >= 0 && x < DemoWidth && y < DemoHeight) f.pixels[y * DemoWidth + x] = c;
}

void FillBox(DemoFrame& f, int x0, int y0, int w, int h, Pixel c) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) Plot(f, x, y, c);
}

// Vertical gradient between two colours, one colour per row.
void FillGradient(DemoFrame& f, int y0, int h, Pixel top, Pixel bottom) {
    for (int y = 0; y < h; ++y) {
        auto mix = [&](int shift) {
            int a = (top >> shift) & 255, b = (bottom >> shift) & 255;
            return a + (b - a) * y / (h - 1);
        };
        FillBox(f, 0, y0 + y, DemoWidth, 1, Rgb(mix(16), mix(8), mix(0)));
    }
}

void Line(DemoFrame& f, int x0, int y0, int x1, int y1, Pixel c) {
    int dx = x1 > x0 ? x1 - x0 : x0 - x1, sx = x0 < x1 ? 1 : -1;
    int dy = y1 > y0 ? y0 - y1 : y1 - y0, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Plot(f, x0, y0, c);
        if (x0 == x1 && y0 == y1) return;
        int e2 = 2 * err;
        if (e2 >= dy) err += dy, x0 += sx;
        if (e2 <= dx) err += dx, y0 += sy;
    }
}

// A symmetric peak: apex at (x, top), sides falling `run` pixels sideways per pixel down,
// filled down to `base`, with an outlined ridge.
void Peak(DemoFrame& f, int x, int top, int base, int run, Pixel fill, Pixel edge) {
    for (int y = top; y < base; ++y) {
        int half = (y - top) * run;
        FillBox(f, x - half, y, 2 * half + 1, 1, fill);
    }
    int foot = (base - 1 - top) * run;
    Line(f, x, top, x - foot, base - 1, edge);
    Line(f, x, top, x + foot, base - 1, edge);
}

void Disc(DemoFrame& f, int cx, int cy, int r, Pixel fill, Pixel edge) {
    for (int y = -r; y <= r; ++y)
        for (int x = -r; x <= r; ++x) {
            int d = x * x + y * y;
            if (d <= r * r) Plot(f, cx + x, cy + y, d > (r - 1) * (r - 1) ? edge : fill);
        }
}

void Text(DemoFrame& f, int x, int y, const char* s, Pixel c) {
    for (; *s; ++s, x += DemoGlyphWidth + 1) {
        const std::uint8_t* rows = DemoGlyph(*s);
        for (int gy = 0; gy < DemoGlyphHeight; ++gy)
            for (int gx = 0; gx < DemoGlyphWidth; ++gx)
                if (rows[gy] >> (DemoGlyphWidth - 1 - gx) & 1) {
                    Plot(f, x + gx + 1, y + gy + 1, outline);
                    Plot(f, x + gx, y + gy, c);
                }
    }
}

// The hero: 16x16, one character per pixel; '.' is transparent.
const char* const heroRows[16] = {
    "......kkkk......", "....kkyyyykk....", "...kyyyyyyyyk...", "..kyykkkkkkyyk..",
    "..kykssssssskk..", "..kksswsswsssk..", "..kksskskssssk..", "...ksssssssk....",
    "....kkkrrkkk....", "...krrrrrrrrk...", "..ksrkrrrrkrsk..", "..kskbbbbbbksk..",
    "...kkbbkkbbkk...", "....kbbk.kbbk...", "....kkkk.kkkk...", "................",
};

Pixel HeroColour(char c) {
    switch (c) {
    case 'k':
        return outline;
    case 'y':
        return Rgb(240, 200, 64);
    case 's':
        return Rgb(248, 196, 152);
    case 'w':
        return white;
    case 'r':
        return Rgb(200, 48, 56);
    case 'b':
        return Rgb(56, 72, 160);
    default:
        return 0;
    }
}

void Hero(DemoFrame& f, int x0, int y0, bool mirrored) {
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            char c = heroRows[y][mirrored ? 15 - x : x];
            if (c != '.') Plot(f, x0 + x, y0 + y, HeroColour(c));
        }
}

void Sky(DemoFrame& f, int frame) {
    FillGradient(f, 0, 150, Rgb(24, 32, 88), Rgb(248, 168, 112));
    Disc(f, 252, 54, 20, Rgb(255, 236, 150), Rgb(240, 150, 60));
    int cloudX = (frame / 2 + 90) % 400 - 60;
    for (int i = 0; i < 3; ++i)
        Disc(f, cloudX + i * 14, 34 - (i == 1) * 5, 10, white, Rgb(180, 180, 210));
}

void Land(DemoFrame& f) {
    Peak(f, 70, 72, 150, 1, Rgb(96, 88, 136), outline);
    Peak(f, 180, 60, 150, 2, Rgb(112, 104, 152), outline);
    Peak(f, 180, 60, 74, 2, white, outline);
    Peak(f, 290, 96, 150, 1, Rgb(88, 80, 128), outline);
    FillBox(f, 0, 150, DemoWidth, 50, Rgb(72, 152, 64));
    FillBox(f, 0, 150, DemoWidth, 1, outline);
    // Diagonal furrows in the field.
    for (int x = -60; x < DemoWidth; x += 12) Line(f, x, 199, x + 49, 151, Rgb(56, 128, 48));
    // A path along the bottom of the field.
    FillBox(f, 0, 184, DemoWidth, 12, Rgb(200, 168, 112));
    FillBox(f, 0, 183, DemoWidth, 1, Rgb(120, 96, 64));
    FillBox(f, 0, 196, DemoWidth, 1, Rgb(120, 96, 64));
}

void House(DemoFrame& f, int x, int y) {
    FillBox(f, x, y, 48, 30, Rgb(232, 216, 176));
    Line(f, x, y, x, y + 29, outline);
    Line(f, x + 47, y, x + 47, y + 29, outline);
    Line(f, x, y + 29, x + 47, y + 29, outline);
    Peak(f, x + 24, y - 26, y + 1, 1, Rgb(176, 56, 48), outline);
    Line(f, x - 2, y, x + 50, y, outline);
    FillBox(f, x + 8, y + 10, 10, 10, Rgb(96, 168, 224));
    Line(f, x + 13, y + 10, x + 13, y + 19, outline);
    FillBox(f, x + 28, y + 12, 10, 17, Rgb(120, 72, 40));
}

void Tree(DemoFrame& f, int x, int y) {
    FillBox(f, x - 2, y, 5, 16, Rgb(112, 72, 40));
    Disc(f, x, y - 6, 13, Rgb(40, 120, 56), outline);
    Disc(f, x - 4, y - 10, 4, Rgb(88, 168, 80), Rgb(88, 168, 80));
}

void NumberText(char* out, const char* label, int value) {
    std::snprintf(out, 32, "%s%04d", label, value);
}

void Panel(DemoFrame& f, int frame) {
    FillBox(f, 4, 202, 312, 34, Rgb(24, 32, 96));
    FillBox(f, 4, 202, 312, 1, white);
    FillBox(f, 4, 235, 312, 1, white);
    FillBox(f, 4, 202, 1, 34, white);
    FillBox(f, 315, 202, 1, 34, white);
    Text(f, 12, 208, "LUMENPANE DEMO", white);
    Text(f, 12, 222, "HP 42/50  MP 17/20", Rgb(160, 232, 160));
    char line[32];
    NumberText(line, "FRAME ", frame % 10000);
    Text(f, 230, 208, line, Rgb(248, 224, 120));
    Text(f, 230, 222, "F5: SIZE", Rgb(200, 200, 248));
}

} // namespace

void DrawDemoFrame(DemoFrame& out, int frame) {
    Sky(out, frame);
    Land(out);
    House(out, 30, 122);
    Tree(out, 120, 134);
    Tree(out, 276, 140);
    // The hero walks along the path and back, bobbing one pixel every other step.
    int cycle = frame % 480;
    int x = cycle < 240 ? cycle + 20 : 500 - cycle;
    Hero(out, x, 172 - (frame / 4) % 2, cycle >= 240);
    Panel(out, frame);
}

void DrawFrameTag(DemoFrame& out, int number) {
    FillBox(out, FrameTagX - 3, FrameTagY - 3, FrameTagDigits * FrameTagAdvance + 4,
            DemoGlyphHeight + 6, outline);
    char digits[16];
    int modulus = 1;
    for (int i = 0; i < FrameTagDigits; ++i) modulus *= 10;
    std::snprintf(digits, sizeof digits, "%0*d", FrameTagDigits, number % modulus);
    Text(out, FrameTagX, FrameTagY, digits, FrameTagInk);
}

void DrawFrameCode(DemoFrame& out, int number) {
    constexpr Pixel black = Rgb(0, 0, 0);
    const int top = DemoHeight - FrameCodeHeight;
    for (int bit = 0; bit < FrameCodeBits; ++bit) {
        const bool set = (number >> (FrameCodeBits - 1 - bit)) & 1;
        FillBox(out, bit * FrameCodeCellWidth, top, FrameCodeCellWidth, FrameCodeHeight,
                set ? white : black);
        FillBox(out, (FrameCodeBits + bit) * FrameCodeCellWidth, top, FrameCodeCellWidth,
                FrameCodeHeight, set ? black : white);
    }
}

bool WriteDemoFrame(const DemoFrame& frame, const char* path) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool ok = true;
    for (Pixel p : frame.pixels) {
        unsigned char bytes[4] = {static_cast<unsigned char>(p), static_cast<unsigned char>(p >> 8),
                                  static_cast<unsigned char>(p >> 16), 0};
        ok = ok && std::fwrite(bytes, 1, 4, file) == 4;
    }
    return std::fclose(file) == 0 && ok;
}
