// Splitting the starter's command line by the Windows rules, and the game's argument text.
#include "starter/command_line.h"

#include <gtest/gtest.h>

using Arguments = std::vector<std::string>;

TEST(StarterCommandLine, ProgramNameIsSkippedWithOrWithoutQuotes) {
    EXPECT_EQ(SplitCommandLine("starter.exe"), Arguments{});
    EXPECT_EQ(SplitCommandLine("\"C:\\My Games\\starter.exe\" a"), Arguments{"a"});
    EXPECT_EQ(SplitCommandLine("C:\\Games\\\"x y\"\\starter.exe\tb"), Arguments{"b"});
    EXPECT_EQ(SplitCommandLine("\"C:\\path\\\\\" c"), Arguments{"c"}); // no escapes in the name
    EXPECT_EQ(SplitCommandLine(""), Arguments{});
}

TEST(StarterCommandLine, BlanksAndTabsSeparateQuotesGroup) {
    EXPECT_EQ(SplitCommandLine("s  a \t b   "), (Arguments{"a", "b"}));
    EXPECT_EQ(SplitCommandLine("s \"a b\" c\"d e\"f"), (Arguments{"a b", "cd ef"}));
    EXPECT_EQ(SplitCommandLine("s \"\" x \"\""), (Arguments{"", "x", ""}));
    EXPECT_EQ(SplitCommandLine("s \"open to the end"), Arguments{"open to the end"});
}

TEST(StarterCommandLine, BackslashesBeforeQuotesAreHalved) {
    EXPECT_EQ(SplitCommandLine(R"(s a\b c\\d)"), (Arguments{R"(a\b)", R"(c\\d)"}));
    EXPECT_EQ(SplitCommandLine(R"(s a\"b)"), Arguments{R"(a"b)"});
    EXPECT_EQ(SplitCommandLine(R"(s a\\"b c")"), Arguments{R"(a\b c)"});
    EXPECT_EQ(SplitCommandLine(R"(s a\\\"b c)"), (Arguments{R"(a\"b)", "c"}));
    EXPECT_EQ(SplitCommandLine(R"(s "C:\dir\\" x)"), (Arguments{R"(C:\dir\)", "x"}));
    EXPECT_EQ(SplitCommandLine(R"(s "say ""hi"" now" z)"), (Arguments{R"(say "hi" now)", "z"}));
}

TEST(StarterCommandLine, GameArgumentsKeepOneTwoAndFourWithWindowForThree) {
    EXPECT_EQ(GameArgumentText({}), "NormalPlay ShowTitle Window");
    EXPECT_EQ(GameArgumentText({""}), "NormalPlay ShowTitle Window");
    EXPECT_EQ(GameArgumentText({"", ""}), "  Window "); // joined they give one blank
    EXPECT_EQ(GameArgumentText({"a"}), "a  Window ");
    EXPECT_EQ(GameArgumentText({"a", "b"}), "a b Window ");
    EXPECT_EQ(GameArgumentText({"a", "b", "c"}), "a b Window ");
    EXPECT_EQ(GameArgumentText({"a", "b", "c", "d"}), "a b Window d");
    EXPECT_EQ(GameArgumentText({"a", "b", "c", "d", "e", "f"}), "a b Window d");
    EXPECT_EQ(GameArgumentText({"", "", "FullScreen"}), "  Window ");
}
