// The starter's configuration reader: the first field of lmp_game_starter.cfg as a whole
// number, the count of F8 presses.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Longest field the reader keeps; characters beyond it end the field.
constexpr std::size_t kMaxFieldLength = 67;

// Collects the first field of a text one character at a time, so a file is read only as
// far as its first field reaches. FeedField returns true once the field is complete;
// kEndOfText marks the end of the text.
constexpr int kEndOfText = -1;
struct FieldScan {
    std::string field;
    bool started = false; // past the blanks and tabs before the field
    bool inQuotes = false;
    bool done = false;
};
bool FeedField(FieldScan& scan, int c);

// The number a field stands for: &H/&B/&O/& bases, reals rounded half to even, or a
// decimal with an optional sign. Values outside the 32-bit signed range saturate.
std::int32_t NumberOfField(std::string_view field);

// The number in the first field of text.
std::int32_t ReadFirstNumber(std::string_view text);
// The number in the first field of an open file, read from its current position.
std::int32_t ReadFirstNumber(std::FILE* file);
// The press count in the file at path (UTF-8); 0 when the file is missing or unreadable.
std::int32_t ReadPressCount(const std::string& path);
