// Reference hq2x: the YUV test from the channel formulas, every blend per channel, and the
// rule table read from its text form.
#include "pixels_reference.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <vector>

namespace {

struct Channels {
    int v[3]; // red 0-31, green 0-63, blue 0-31
};

Channels Split(std::uint16_t p) {
    return {{p >> 11 & 31, p >> 5 & 63, p & 31}};
}

std::uint16_t Join(const Channels& c) {
    return std::uint16_t(c.v[0] << 11 | c.v[1] << 5 | c.v[2]);
}

std::uint16_t ThreeToOne(std::uint16_t centre, std::uint16_t x) {
    if (x == centre) return centre;
    const Channels c = Split(centre), o = Split(x);
    Channels result;
    for (int i = 0; i < 3; ++i) {
        const int t = c.v[i] / 2 + o.v[i] / 2 + 1;
        result.v[i] = c.v[i] / 2 + t / 2;
    }
    return Join(result);
}

std::uint16_t TwoOneOne(std::uint16_t centre, std::uint16_t x, std::uint16_t y) {
    std::uint16_t t = x;
    if (x != y) {
        const Channels a = Split(x), b = Split(y);
        Channels mid;
        for (int i = 0; i < 3; ++i) mid.v[i] = a.v[i] / 2 + b.v[i] / 2 + 1;
        t = Join(mid);
    }
    if (t == centre) return centre;
    const Channels c = Split(centre), m = Split(t);
    Channels result;
    for (int i = 0; i < 3; ++i) result.v[i] = c.v[i] / 2 + m.v[i] / 2;
    return Join(result);
}

std::uint16_t Mix(std::uint16_t centre, int wc, std::uint16_t x, int wx, std::uint16_t y, int wy,
                  int divisor) {
    const Channels c = Split(centre), a = Split(x), b = Split(y);
    Channels result;
    for (int i = 0; i < 3; ++i) result.v[i] = (wc * c.v[i] + wx * a.v[i] + wy * b.v[i]) / divisor;
    return Join(result);
}

std::uint16_t ApplyForm(int form, std::uint16_t c, std::uint16_t s1, std::uint16_t s2,
                        std::uint16_t k) {
    switch (form) {
    case 0:
        return c;
    case 10:
        return ThreeToOne(c, k);
    case 11:
        return ThreeToOne(c, s1);
    case 12:
        return ThreeToOne(c, s2);
    case 20:
        return TwoOneOne(c, s1, s2);
    case 21:
        return TwoOneOne(c, k, s2);
    case 22:
        return TwoOneOne(c, k, s1);
    case 60:
        return Mix(c, 5, s2, 2, s1, 1, 8);
    case 61:
        return Mix(c, 5, s1, 2, s2, 1, 8);
    case 70:
        return Mix(c, 6, s1, 1, s2, 1, 8);
    case 90:
        return Mix(c, 2, s1, 3, s2, 3, 8);
    case 100:
        return Mix(c, 14, s1, 1, s2, 1, 16);
    }
    std::abort();
}

bool ParseForm(const std::string& text, int& form) {
    static const std::set<int> forms = {0, 10, 11, 12, 20, 21, 22, 60, 61, 70, 90, 100};
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || !forms.count(int(value))) return false;
    form = int(value);
    return true;
}

bool ParseCell(const std::string& text, ReferenceCell& cell) {
    int a = 0, b = 0, consumed = 0;
    char ifDiffers[8] = {}, otherwise[8] = {};
    if (std::sscanf(text.c_str(), "diff(w%d,w%d)?%7[0-9]:%7[0-9]%n", &a, &b, ifDiffers, otherwise,
                    &consumed) == 4 &&
        consumed == int(text.size())) {
        if (a < 1 || a > 9 || b < 1 || b > 9 || a == 5 || b == 5) return false;
        cell.sideA = a;
        cell.sideB = b;
        return ParseForm(ifDiffers, cell.formIfDiffers) && ParseForm(otherwise, cell.form);
    }
    cell.sideA = cell.sideB = 0;
    if (!ParseForm(text, cell.form)) return false;
    cell.formIfDiffers = cell.form;
    return true;
}

} // namespace

bool ParseHq2xRules(const std::string& text, ReferenceRules& rules, std::string& error) {
    std::istringstream lines(text);
    std::string line;
    std::vector<bool> seen(256, false);
    int lineNumber = 0, patterns = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string field; std::getline(cells, field, '\t');) fields.push_back(field);
        int pattern = -1;
        if (fields.size() == 5) pattern = std::atoi(fields[0].c_str());
        if (pattern < 0 || pattern > 255 || seen[pattern]) {
            error = "line " + std::to_string(lineNumber) + ": bad pattern or field count";
            return false;
        }
        seen[pattern] = true;
        ++patterns;
        for (int i = 0; i < 4; ++i) {
            if (!ParseCell(fields[i + 1], rules[pattern].cells[i])) {
                error = "line " + std::to_string(lineNumber) + ": bad cell '" + fields[i + 1] + "'";
                return false;
            }
        }
    }
    if (patterns != 256) {
        error = std::to_string(patterns) + " patterns instead of 256";
        return false;
    }
    return true;
}

const ReferenceRules& BundledHq2xRules() {
    static const ReferenceRules rules = [] {
        ReferenceRules parsed{};
        std::string error;
        if (!ParseHq2xRules(
#include "bundled_rules.inc"
                , parsed, error)) {
            std::fprintf(stderr, "bundled hq2x rules: %s\n", error.c_str());
            std::abort();
        }
        return parsed;
    }();
    return rules;
}

std::uint32_t ReferenceYuv(std::uint16_t pixel) {
    const Channels c = Split(pixel);
    const int r = c.v[0], g = c.v[1], b = c.v[2];
    const int y = 2 * r + g + 2 * b, u = 128 + 2 * (r - b), v = 128 + g - r - b;
    return std::uint32_t(y << 16 | u << 8 | v);
}

bool ReferenceYuvDiffers(std::uint16_t a, std::uint16_t b) {
    if (a == b) return false;
    const std::uint32_t p = ReferenceYuv(a), q = ReferenceYuv(b);
    const int dy = int(p >> 16) - int(q >> 16);
    const int du = int(p >> 8 & 0xFF) - int(q >> 8 & 0xFF);
    const int dv = int(p & 0xFF) - int(q & 0xFF);
    return std::abs(dy) > 48 || std::abs(du) > 7 || std::abs(dv) > 6;
}

void ReferenceHq2x(const std::uint16_t* source, std::uint16_t* destination, int width, int height,
                   const ReferenceRules& rules, std::array<int, 256>* patternCounts) {
    // Sides and corner of E00, E01, E10, E11 as neighbour numbers.
    static const int s1Of[4] = {4, 2, 8, 6}, s2Of[4] = {2, 6, 4, 8}, kOf[4] = {1, 3, 7, 9};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint16_t w[10] = {};
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    int yy = y + dy, xx = x + dx;
                    if (yy < 0 || yy >= height) yy = y; // missing rows: the pixel's own row
                    if (xx < 0 || xx >= width) xx = x;  // missing columns: its own column
                    w[(dy + 1) * 3 + dx + 2] = source[yy * width + xx];
                }
            }
            const std::uint16_t c = w[5];
            std::uint16_t out[4] = {c, c, c, c};
            const bool edgeDiffers = ReferenceYuvDiffers(c, w[2]) || ReferenceYuvDiffers(c, w[4]) ||
                                     ReferenceYuvDiffers(c, w[6]) || ReferenceYuvDiffers(c, w[8]);
            if (!edgeDiffers) {
                const int edges[4] = {2, 4, 6, 8};
                int unequal = 0, side = 0;
                for (int e : edges) {
                    if (w[e] != c) {
                        ++unequal;
                        side = e;
                    }
                }
                if (unequal == 1) {
                    // The 3:1 rounding without its equality short cut.
                    const Channels cc = Split(c), n = Split(w[side]);
                    Channels pulled;
                    for (int i = 0; i < 3; ++i)
                        pulled.v[i] = cc.v[i] / 2 + (cc.v[i] / 2 + n.v[i] / 2 + 1) / 2;
                    for (int sub = 0; sub < 4; ++sub)
                        if (s1Of[sub] == side || s2Of[sub] == side) out[sub] = Join(pulled);
                } else if (unequal > 1) {
                    for (int sub = 0; sub < 4; ++sub)
                        out[sub] = ApplyForm(20, c, w[s1Of[sub]], w[s2Of[sub]], w[kOf[sub]]);
                }
            } else {
                static const int bitOf[8] = {1, 2, 3, 4, 6, 7, 8, 9};
                int pattern = 0;
                for (int bit = 0; bit < 8; ++bit)
                    if (ReferenceYuvDiffers(c, w[bitOf[bit]])) pattern |= 1 << bit;
                if (patternCounts) ++(*patternCounts)[pattern];
                for (int sub = 0; sub < 4; ++sub) {
                    const ReferenceCell& cell = rules[pattern].cells[sub];
                    const int form =
                        cell.sideA != 0 && ReferenceYuvDiffers(w[cell.sideA], w[cell.sideB])
                            ? cell.formIfDiffers
                            : cell.form;
                    out[sub] = ApplyForm(form, c, w[s1Of[sub]], w[s2Of[sub]], w[kOf[sub]]);
                }
            }
            std::uint16_t* top = destination + (2 * y) * (2 * width) + 2 * x;
            std::uint16_t* bottom = top + 2 * width;
            top[0] = out[0];
            top[1] = out[1];
            bottom[0] = out[2];
            bottom[1] = out[3];
        }
    }
}
