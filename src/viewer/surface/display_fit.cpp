#include "viewer/surface/display_fit.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

// The largest rectangle of the frame's shape inside the client area, centred.
FitRect KeepShape(int clientWidth, int clientHeight, int frameWidth, int frameHeight) {
    const std::int64_t cw = clientWidth, ch = clientHeight, fw = frameWidth, fh = frameHeight;
    FitRect r;
    if (cw * fh <= ch * fw) { // the width limits: s = cw / fw
        r.width = clientWidth;
        r.height = int((2 * fh * cw + fw) / (2 * fw));
    } else { // the height limits: s = ch / fh
        r.width = int((2 * fw * ch + fh) / (2 * fh));
        r.height = clientHeight;
    }
    r.x = (clientWidth - r.width) / 2;
    r.y = (clientHeight - r.height) / 2;
    return r;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != b[i]) return false;
    }
    return true;
}

} // namespace

FitRect FitFrame(DisplayFit fit, int clientWidth, int clientHeight, int frameWidth,
                 int frameHeight) {
    if (clientWidth <= 0 || clientHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return {};
    switch (fit) {
    case DisplayFit::Stretch:
        break;
    case DisplayFit::Aspect:
        return KeepShape(clientWidth, clientHeight, frameWidth, frameHeight);
    case DisplayFit::Integer: {
        const int kx = clientWidth / frameWidth, ky = clientHeight / frameHeight;
        const int k = kx < ky ? kx : ky;
        if (k < 1) return KeepShape(clientWidth, clientHeight, frameWidth, frameHeight);
        const int width = k * frameWidth, height = k * frameHeight;
        return {(clientWidth - width) / 2, (clientHeight - height) / 2, width, height};
    }
    }
    return {0, 0, clientWidth, clientHeight};
}

DisplayFit InterpretFitValue(const char* value, std::string* logLine) {
    if (logLine) logLine->clear();
    std::string_view text = value ? value : "";
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty() || SameLetters(text, "stretch")) return DisplayFit::Stretch;
    if (SameLetters(text, "aspect")) return DisplayFit::Aspect;
    if (SameLetters(text, "integer")) return DisplayFit::Integer;
    if (logLine) {
        *logLine = "lumenpane.ini: unknown fit \"";
        *logLine += text;
        *logLine += "\" in [display], using stretch";
    }
    return DisplayFit::Stretch;
}
