// How the programs read a word a player wrote in a settings file: blanks around it do not
// count, nor the case of its letters (ASCII only, as the names it is compared with are).
#pragma once

#include <cstddef>
#include <string_view>

inline bool IsSettingBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

inline std::string_view TrimmedSetting(std::string_view text) {
    while (!text.empty() && IsSettingBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSettingBlank(text.back())) text.remove_suffix(1);
    return text;
}

inline char LowerSettingLetter(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The same word, whatever the case of its letters.
inline bool SameSettingWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerSettingLetter(a[i]) != LowerSettingLetter(b[i])) return false;
    return true;
}
