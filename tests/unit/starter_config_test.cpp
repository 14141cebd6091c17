// The configuration reader: where the first field begins and ends, how its number is read,
// and that hostile files neither crash it nor make it read beyond the field.
#include "starter/config_reader.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

using Cases = std::vector<std::pair<std::string, std::int32_t>>;

void ExpectNumbers(const Cases& cases) {
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ReadFirstNumber(text), expected) << "text: [" << text << "]";
}

// A file holding text in the test's own temporary folder.
std::string WriteTemp(const TempFolder& folder, const std::string& name, const std::string& text) {
    const auto path = folder.path() / name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return path.string();
}

// Reads the first number of a file and reports how far into it the reader went.
std::pair<std::int32_t, long> ReadAndTell(const std::string& text) {
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    const std::int32_t value = ReadFirstNumber(file);
    const long position = std::ftell(file);
    std::fclose(file);
    return {value, position};
}

} // namespace

TEST(ConfigField, BeginsAfterBlanksAndEndsAtSeparators) {
    ExpectNumbers({{" \t 7", 7},
                   {"12 34", 12},
                   {"12\t3", 12},
                   {"12,34", 12},
                   {"12\n34", 12},
                   {"12\r\n3", 12},
                   {"12\r3", 12},
                   {"\n5", 0},
                   {",5", 0},
                   {"", 0},
                   {" \t ", 0},
                   {"\r\n\r\n9", 0}});
}

TEST(ConfigField, QuotedStretchKeepsBlanksAndCommasButNotLineEnds) {
    ExpectNumbers({{"\" 3\"", 3},
                   {"\"1,5\"", 1},
                   {"\"2.5\" 9", 2},
                   {"\"-4", -4},
                   {"\"1\n2\"", 1},
                   {"\"\"", 0},
                   {"\"&H1F\"", 31},
                   {"\"1\"2", 12},
                   {"4\"5", 4}});
}

TEST(ConfigField, EndsAfterSixtySevenCharactersQuotesNotCounted) {
    const std::string zeros66(66, '0');
    ExpectNumbers({{zeros66 + "12", 1},
                   {zeros66 + "0" + "5", 0},
                   {"\"" + zeros66 + "34\"", 3},
                   {"&H" + std::string(64, '0') + "F0", 15},
                   {std::string(66, '0') + "1.5", 1}});
}

TEST(ConfigNumber, BasePrefixesInEitherCase) {
    ExpectNumbers({{"&H3", 3},
                   {"&hff", 255},
                   {"&HE", 14},
                   {"&hdead", 57005},
                   {"&H1G", 1},
                   {"&B101", 5},
                   {"&b2", 0},
                   {"&O17", 15},
                   {"&o8", 0},
                   {"&17", 15},
                   {"&9", 0},
                   {"&", 0},
                   {"&H", 0},
                   {"&H-1", 0},
                   {"&H7FFFFFFF", kMax},
                   {"&HFFFFFFFF", kMax},
                   {"&H123456789ABCDEF0123", kMax}});
}

TEST(ConfigNumber, RealsRoundToNearestWithTiesToEven) {
    ExpectNumbers({{"2.5", 2},   {"3.5", 4},    {"-2.5", -2},    {"-3.5", -4},
                   {"0.5", 0},   {"1.5", 2},    {"2.4999", 2},   {"2.51", 3},
                   {".5", 0},    {".51", 1},    {"+7.6", 8},     {"-0.4", 0},
                   {"25e-1", 2}, {"35E-1", 4},  {"1d1", 10},     {"1D2", 100},
                   {"12e", 12},  {"1e+", 1},    {"0.000e5", 0},  {"5e-1", 0},
                   {"15e-1", 2}, {"3days", 3},  {"0012.50", 12}, {"e5", 0},
                   {".", 0},     {"-.", 0},     {"nan.", 0},     {"2.5000000000000000000001", 3},
                   {"1.5e0", 2}, {"0.05e2", 5}, {"250d-2", 2},   {"7.", 7}});
}

TEST(ConfigNumber, DecimalsWithSignStopAtFirstNonDigit) {
    ExpectNumbers({{"2", 2},
                   {"-1", -1},
                   {"+4", 4},
                   {"007", 7},
                   {"12abc", 12},
                   {"abc", 0},
                   {"-", 0},
                   {"--1", 0},
                   {"+-1", 0},
                   {"4;5", 4},
                   {"inf", 0},
                   {"NaN", 0},
                   {"0x10", 0},
                   {"1_000", 1},
                   {"-0", 0}});
}

TEST(ConfigNumber, SaturatesAtTheEndsOfTheThirtyTwoBitRange) {
    ExpectNumbers({{"2147483647", kMax},
                   {"2147483648", kMax},
                   {"-2147483648", kMin},
                   {"-2147483649", kMin},
                   {std::string(67, '9'), kMax},
                   {"-" + std::string(66, '9'), kMin},
                   {"2147483646.5", 2147483646},
                   {"2147483647.4", kMax},
                   {"2147483647.5", kMax},
                   {"-2147483648.4", kMin},
                   {"1e9", 1000000000},
                   {"1e10", kMax},
                   {"1e999", kMax},
                   {"-1e999", kMin},
                   {"1e-999", 0},
                   {"1e" + std::string(60, '9'), kMax},
                   {"1e-" + std::string(60, '9'), 0},
                   {"0." + std::string(30, '0') + "1e40", 1000000000}});
}

TEST(ConfigHostile, NulAndBinaryBytesAreOrdinaryNonDigits) {
    ExpectNumbers({{std::string("4\0"
                                "5",
                                3),
                    4},
                   {std::string("\0"
                                "5",
                                2),
                    0},
                   {std::string("\"\0"
                                "1\"",
                                4),
                    0},
                   {"\xff\xfe"
                    "12",
                    0},
                   {"6\xff", 6},
                   {"\x1a"
                    "3",
                    0},
                   {"\xef\xbb\xbf"
                    "2",
                    0}});
}

TEST(ConfigHostile, TextWithoutTerminatorIsNotReadBeyondItsEnd) {
    // Exactly sized heap blocks: the address sanitizer reports any read past them.
    for (const char fill : {'9', ' ', '"', '.'}) {
        for (const std::size_t size : {std::size_t(1), std::size_t(67), std::size_t(500)}) {
            auto block = std::make_unique<char[]>(size);
            std::fill_n(block.get(), size, fill);
            const std::int32_t value = ReadFirstNumber(std::string_view(block.get(), size));
            EXPECT_EQ(value, fill == '9' ? (size == 1 ? 9 : kMax) : 0) << fill << size;
        }
    }
}

TEST(ConfigHostile, HugeFilesAreReadOnlyAsFarAsTheField) {
    const std::string junk(4 << 20, 'x');
    EXPECT_EQ(ReadAndTell("5 " + junk), std::make_pair(5, 2L));
    EXPECT_EQ(ReadAndTell("\t8," + junk), std::make_pair(8, 3L));
    // A field without any end stops after its 67 characters; a quoted one after the quote
    // and its 67 characters.
    EXPECT_EQ(ReadAndTell(std::string(4 << 20, '7')), std::make_pair(kMax, 67L));
    EXPECT_EQ(ReadAndTell("\"" + std::string(4 << 20, '1')), std::make_pair(kMax, 68L));
    EXPECT_EQ(ReadAndTell("3" + std::string(4 << 20, '\0')).first, 3);
}

TEST(ConfigFile, MissingEmptyOrUnreadableGivesZero) {
    const TempFolder folder("lmp-config");
    EXPECT_EQ(ReadPressCount((folder / "no-such-file.cfg").c_str()), 0);
    EXPECT_EQ(ReadPressCount(folder.path().c_str()), 0); // a folder cannot be read as a file

    const std::string empty = WriteTemp(folder, "empty.cfg", "");
    const std::string letters = WriteTemp(folder, "letters.cfg", "hq2x please\r\n");
    const std::string two = WriteTemp(folder, "two.cfg", "2\r\nthe rest is not read\r\n");
    EXPECT_EQ(ReadPressCount(empty.c_str()), 0);
    EXPECT_EQ(ReadPressCount(letters.c_str()), 0);
    EXPECT_EQ(ReadPressCount(two.c_str()), 2);
}

// The commented file in the players' package selects its leading number and nothing else.
TEST(ConfigFile, ShippedFileSelectsItsLeadingNumber) {
    std::FILE* file = std::fopen(LMP_SHIPPED_STARTER_CFG, "rb");
    ASSERT_NE(file, nullptr);
    std::string text(4096, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    ASSERT_EQ(text.substr(0, 2), "0 ");
    EXPECT_EQ(ReadFirstNumber(text), 0);
    text[0] = '2'; // the comment after the number does not change it
    EXPECT_EQ(ReadFirstNumber(text), 2);
}
