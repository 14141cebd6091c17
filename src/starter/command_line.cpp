// Splits the starter's command line and builds the game's argument text.
//
// Splitting follows the Windows C runtime's rules. The program name runs to the first
// blank or tab outside double quotes, which only group and are dropped. After it, blanks
// and tabs separate arguments and double quotes group them. A run of backslashes before a
// double quote is halved; when the run was odd, the quote is a literal character. Inside
// a quoted stretch two double quotes in a row give one literal quote. Backslashes that are
// not followed by a quote are kept as they are.
#include "starter/command_line.h"

namespace {

const char kDefaultGameArguments[] = "NormalPlay ShowTitle Window";

bool IsSeparator(char c) {
    return c == ' ' || c == '\t';
}

std::size_t SkipProgramName(std::string_view line) {
    std::size_t i = 0;
    bool quoted = false;
    for (; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (!quoted && IsSeparator(line[i]))
            break;
    }
    return i;
}

// Reads one argument starting at i (not at a separator); leaves i after it.
std::string ReadArgument(std::string_view line, std::size_t& i) {
    std::string argument;
    bool quoted = false;
    while (i < line.size() && (quoted || !IsSeparator(line[i]))) {
        std::size_t backslashes = 0;
        while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
        if (i < line.size() && line[i] == '"') {
            argument.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                argument.push_back('"');
            } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                argument.push_back('"');
                ++i;
            } else {
                quoted = !quoted;
            }
            ++i;
        } else {
            argument.append(backslashes, '\\');
            if (backslashes == 0) argument.push_back(line[i++]);
        }
    }
    return argument;
}

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::size_t i = SkipProgramName(commandLine);
    for (;;) {
        while (i < commandLine.size() && IsSeparator(commandLine[i])) ++i;
        if (i >= commandLine.size()) break;
        arguments.push_back(ReadArgument(commandLine, i));
    }
    return arguments;
}

std::string GameArgumentText(const std::vector<std::string>& arguments) {
    std::string joined;
    for (std::size_t k = 0; k < arguments.size(); ++k) joined += (k ? " " : "") + arguments[k];
    if (joined.empty()) return kDefaultGameArguments;
    auto argument = [&](std::size_t n) { return n <= arguments.size() ? arguments[n - 1] : ""; };
    return argument(1) + " " + argument(2) + " Window " + argument(4);
}
