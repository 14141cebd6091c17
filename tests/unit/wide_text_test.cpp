// Text between Windows' UTF-16 and UTF-8: every path Windows can hold comes back unchanged,
// and bytes that are no UTF-8 become U+FFFD.
#include "platform/wide_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(WideText, PathsOfEveryKindRoundTrip) {
    const struct {
        std::wstring wide;
        std::string utf8;
    } cases[] = {
        {L"C:\\Games\\Demo\\rpg_rt.exe", "C:\\Games\\Demo\\rpg_rt.exe"},
        {L"\x00E9t\x00E9", "\xC3\xA9t\xC3\xA9"}, // two bytes
        {L"\x30B2\x30FC\x30E0 \x30D5\x30A9",
         "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0 \xE3\x83\x95\xE3\x82\xA9"},
        {std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}, "\xF0\x9F\x98\x80"}, // a surrogate pair
        {std::wstring{L'a', wchar_t(0xD800), L'b'}, "a\xED\xA0\x80"
                                                    "b"}, // a lone high one
        {std::wstring{wchar_t(0xDC00), wchar_t(0xD800)}, "\xED\xB0\x80\xED\xA0\x80"}, // reversed
        {std::wstring{wchar_t(0xFFFF)}, "\xEF\xBF\xBF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8FromWide(c.wide), c.utf8) << c.utf8;
        EXPECT_EQ(WideFromUtf8(c.utf8), c.wide) << c.utf8;
    }
}

TEST(WideText, BytesThatAreNoUtf8BecomeReplacementCharacters) {
    const std::wstring bad(1, wchar_t(0xFFFD));
    const struct {
        std::string utf8;
        std::wstring wide;
    } cases[] = {
        {"a\x80z", L"a" + bad + L"z"},               // a lone continuation byte
        {"\xC0\xAF", bad + bad},                     // an overlong slash
        {"\xE0\x80\xAF", bad + bad + bad},           // overlong in three bytes
        {"\xE3\x82", bad + bad},                     // cut short at the end
        {"\xE3\x82z", bad + bad + L"z"},             // cut short by an ASCII byte
        {"\xF4\x90\x80\x80", bad + bad + bad + bad}, // beyond U+10FFFF
        {"\xF8\x88\x80\x80\x80", std::wstring(5, wchar_t(0xFFFD))},
    };
    for (const auto& c : cases) EXPECT_EQ(WideFromUtf8(c.utf8), c.wide) << c.utf8.size();
}
