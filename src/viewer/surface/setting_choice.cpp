#include "viewer/surface/setting_choice.h"

#include <string_view>

namespace {

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

int InterpretSettingChoice(const char* key, const char* value, const char* const* names, int count,
                           std::string* logLine) {
    if (logLine) logLine->clear();
    std::string_view text = value ? value : "";
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return 0;
    for (int i = 0; i < count; ++i)
        if (SameLetters(text, names[i])) return i;
    if (logLine) {
        *logLine = "lumenpane.ini: unknown ";
        *logLine += key;
        *logLine += " \"";
        *logLine += text;
        *logLine += "\" in [display], using ";
        *logLine += names[0];
    }
    return 0;
}
