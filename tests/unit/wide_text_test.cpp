// Every path Windows can hold converts to UTF-8 and back unchanged; other bytes become U+FFFD.
#include "platform/wide_text.h"

#include <gtest/gtest.h>

TEST(WideText, PathsRoundTripAndBytesThatAreNoUtf8BecomeReplacementCharacters) {
    const wchar_t high = 0xD800, low = 0xDC00, bad = 0xFFFD;
    const struct {
        std::wstring wide;
        std::string utf8;
        bool roundTrip;
    } cases[] = {
        {L"C:\\x\\\x00E9\x30B2\xFFFF", "C:\\x\\\xC3\xA9\xE3\x82\xB2\xEF\xBF\xBF", true},
        {{wchar_t(0xD83D), wchar_t(0xDE00)}, "\xF0\x9F\x98\x80", true}, // a surrogate pair
        {{L'a', high, L'g', low, high},
         "a\xED\xA0\x80g\xED\xB0\x80\xED\xA0\x80",
         true},                                                 // lone ones
        {{L'a', bad, L'z', bad, bad}, "a\x80z\xC0\xAF", false}, // stray byte, overlong slash
        {{bad, bad, bad, bad, bad, L'z'}, "\xE0\x80\xAF\xE3\x82z", false}, // overlong, cut short
        {std::wstring(9, bad), "\xF4\x90\x80\x80\xF8\x88\x80\x80\x80", false}, // too high
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WideFromUtf8(c.utf8), c.wide) << c.utf8;
        if (c.roundTrip) {
            EXPECT_EQ(Utf8FromWide(c.wide), c.utf8) << c.utf8;
        }
    }
}
