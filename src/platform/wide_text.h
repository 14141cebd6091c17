// Text between Windows' wide form (UTF-16 code units in wchar_t) and the UTF-8 the programs
// carry in std::string. Windows lets a file name hold a surrogate without its partner; such
// a unit is kept as its own three bytes (the WTF-8 rule), so every path Windows gives comes
// back unchanged from Utf8FromWide and WideFromUtf8. Bytes that are no UTF-8 become U+FFFD.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace wide_text_detail {

inline void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | c >> 6));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | c >> 12));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | c >> 18));
        out.push_back(char(0x80 | (c >> 12 & 0x3F)));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

inline void AppendUtf16(std::wstring& out, std::uint32_t c) {
    if (c < 0x10000) {
        out.push_back(wchar_t(c));
    } else {
        out.push_back(wchar_t(0xD800 + ((c - 0x10000) >> 10)));
        out.push_back(wchar_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
}

// The code point of the sequence at text[i] (i is left after it), or U+FFFD for one byte
// that starts no complete, shortest sequence.
inline std::uint32_t DecodeUtf8(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return std::uint32_t(std::uint8_t(text[k])); };
    const std::uint32_t lead = byte(i);
    const int length = lead < 0x80   ? 1
                       : lead < 0xC2 ? 0
                       : lead < 0xE0 ? 2
                       : lead < 0xF0 ? 3
                       : lead < 0xF5 ? 4
                                     : 0;
    static constexpr std::uint32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (length == 0 || i + length > text.size()) return ++i, 0xFFFD;
    std::uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return ++i, 0xFFFD;
        c = c << 6 | (byte(i + k) & 0x3F);
    }
    if (c < Least[length] || c > 0x10FFFF) return ++i, 0xFFFD;
    i += length;
    return c;
}

} // namespace wide_text_detail

inline std::string Utf8FromWide(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const std::uint32_t unit = std::uint32_t(wide[i]) & 0xFFFF;
        const std::uint32_t next = i + 1 < wide.size() ? std::uint32_t(wide[i + 1]) & 0xFFFF : 0;
        if (unit >= 0xD800 && unit < 0xDC00 && next >= 0xDC00 && next < 0xE000) {
            wide_text_detail::AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            ++i;
        } else {
            wide_text_detail::AppendUtf8(out, unit);
        }
    }
    return out;
}

inline std::wstring WideFromUtf8(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
        wide_text_detail::AppendUtf16(out, wide_text_detail::DecodeUtf8(text, i));
    return out;
}
