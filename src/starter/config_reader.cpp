// Reads the first field of the starter's configuration file as a whole number.
//
// A field is the first stretch of text after leading blanks and tabs. It ends at a blank,
// tab, comma, line end or the end of the text, or once it holds kMaxFieldLength
// characters. A double quote as its first character opens a quoted stretch in which
// blanks, tabs and commas belong to the field; the quotes are dropped and a line end still
// ends the field. The field's number is read by one of three rules: a base prefix (&H, &B,
// &O, or & alone for octal), a real number (the field holds . e E d or D), or a decimal.
// Results outside the 32-bit signed range saturate to its ends, so no input overflows.
#include "starter/config_reader.h"

#include "platform/program_files.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::int64_t kMaxValue = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMinValue = std::numeric_limits<std::int32_t>::min();
// Magnitudes are accumulated up to this cap, which lies beyond both ends of the range.
constexpr std::uint64_t kMagnitudeCap = std::uint64_t(1) << 32;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Value of c as a digit in bases up to 16, or 16 when it is none.
int DigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 16;
}

std::uint64_t AddDigit(std::uint64_t magnitude, int base, int digit) {
    if (magnitude >= kMagnitudeCap) return kMagnitudeCap;
    return magnitude * std::uint64_t(base) + std::uint64_t(digit);
}

std::int32_t Saturate(bool negative, std::uint64_t magnitude) {
    const std::int64_t value =
        negative ? -std::int64_t(std::min(magnitude, kMagnitudeCap)) : std::int64_t(magnitude);
    if (value > kMaxValue) return std::int32_t(kMaxValue);
    if (value < kMinValue) return std::int32_t(kMinValue);
    return std::int32_t(value);
}

// Skips leading blanks and reads an optional sign; returns true for a minus.
bool ReadSign(std::string_view text, std::size_t& i) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) return text[i++] == '-';
    return false;
}

std::uint64_t ReadDigits(std::string_view text, std::size_t& i, int base) {
    std::uint64_t magnitude = 0;
    for (; i < text.size() && DigitValue(text[i]) < base; ++i)
        magnitude = AddDigit(magnitude, base, DigitValue(text[i]));
    return magnitude;
}

// "&H1F", "&B101", "&O17", "&17": digits of the base up to the first other character.
std::int32_t BaseNumber(std::string_view rest) {
    int base = 8;
    std::size_t i = 0;
    if (!rest.empty()) {
        const char letter = rest[0];
        if (letter == 'H' || letter == 'h') base = 16, i = 1;
        if (letter == 'B' || letter == 'b') base = 2, i = 1;
        if (letter == 'O' || letter == 'o') base = 8, i = 1;
    }
    return Saturate(false, ReadDigits(rest, i, base));
}

std::int32_t DecimalNumber(std::string_view field) {
    std::size_t i = 0;
    const bool negative = ReadSign(field, i);
    return Saturate(negative, ReadDigits(field, i, 10));
}

// A decimal real as significant digits 0.d1d2d3... times 10^scale, kept exact so that
// rounding to the nearest whole number sees every digit.
struct DecimalReal {
    bool negative = false;
    std::string digits; // no leading zeros
    std::int64_t scale = 0;
};

// The exponent is capped far beyond any scale that still matters.
constexpr std::int64_t kExponentCap = 1000000;

std::int64_t ReadExponent(std::string_view text, std::size_t& i) {
    if (i >= text.size()) return 0;
    const char letter = text[i];
    if (letter != 'e' && letter != 'E' && letter != 'd' && letter != 'D') return 0;
    ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t exponent = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        exponent = std::min(exponent * 10 + (text[i] - '0'), kExponentCap);
    return negative ? -exponent : exponent;
}

DecimalReal ParseReal(std::string_view field) {
    DecimalReal real;
    std::size_t i = 0;
    real.negative = ReadSign(field, i);
    bool anyDigit = false;
    for (; i < field.size() && IsDigit(field[i]); ++i) {
        anyDigit = true;
        if (real.digits.empty() && field[i] == '0') continue;
        real.digits.push_back(field[i]);
        ++real.scale;
    }
    if (i < field.size() && field[i] == '.') {
        for (++i; i < field.size() && IsDigit(field[i]); ++i) {
            anyDigit = true;
            if (real.digits.empty() && field[i] == '0')
                --real.scale;
            else
                real.digits.push_back(field[i]);
        }
    }
    if (!anyDigit) return DecimalReal{};
    real.scale += ReadExponent(field, i);
    return real;
}

// Rounds to the nearest whole number, halves to the even one.
std::int32_t RoundReal(const DecimalReal& real) {
    const std::int64_t length = std::int64_t(real.digits.size());
    if (length == 0 || real.scale < 0) return 0;
    if (real.scale > 10) return Saturate(real.negative, kMagnitudeCap);
    std::uint64_t whole = 0;
    for (std::int64_t k = 0; k < real.scale; ++k)
        whole = AddDigit(whole, 10, k < length ? real.digits[k] - '0' : 0);
    const int firstFraction = real.scale < length ? real.digits[real.scale] - '0' : 0;
    bool roundUp = firstFraction > 5;
    if (firstFraction == 5) {
        const bool moreThanHalf =
            real.digits.find_first_not_of('0', std::size_t(real.scale) + 1) != std::string::npos;
        roundUp = moreThanHalf || whole % 2 == 1;
    }
    return Saturate(real.negative, whole + (roundUp ? 1 : 0));
}

} // namespace

bool FeedField(FieldScan& scan, int c) {
    if (scan.done) return true;
    if (c == kEndOfText) return scan.done = true;
    const char ch = char(c);
    if (!scan.started) {
        if (IsBlank(ch)) return false;
        scan.started = true;
        if (ch == '"') {
            scan.inQuotes = true;
            return false;
        }
    }
    if (ch == '\n' || ch == '\r') return scan.done = true;
    if (scan.inQuotes && ch == '"') {
        scan.inQuotes = false;
        return false;
    }
    if (!scan.inQuotes && (IsBlank(ch) || ch == ',')) return scan.done = true;
    scan.field.push_back(ch);
    return scan.done = scan.field.size() >= kMaxFieldLength;
}

std::int32_t NumberOfField(std::string_view field) {
    if (!field.empty() && field[0] == '&') return BaseNumber(field.substr(1));
    if (field.find_first_of(".eEdD") != std::string_view::npos) return RoundReal(ParseReal(field));
    return DecimalNumber(field);
}

std::int32_t ReadFirstNumber(std::string_view text) {
    FieldScan scan;
    std::size_t i = 0;
    while (!FeedField(scan, i < text.size() ? static_cast<unsigned char>(text[i]) : kEndOfText))
        ++i;
    return NumberOfField(scan.field);
}

std::int32_t ReadFirstNumber(std::FILE* file) {
    FieldScan scan;
    for (;;) {
        const int c = std::fgetc(file);
        if (FeedField(scan, c == EOF ? kEndOfText : c)) break;
    }
    return NumberOfField(scan.field);
}

std::int32_t ReadPressCount(const std::string& path) {
    std::FILE* file = OpenFileAt(path, "rb");
    if (!file) return 0;
    const std::int32_t count = ReadFirstNumber(file);
    std::fclose(file);
    return count;
}
