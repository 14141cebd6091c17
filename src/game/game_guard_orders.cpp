// The guard's private argument: written by the viewer, read strictly by the guard.
//
//   "PROGRAM" --lumenpane-guard WINDOW LEFT TOP RIGHT BOTTOM STYLE EXSTYLE PRIORITY SAVER VIEWER
//   DONE
//
// All fields are decimal; LEFT..BOTTOM may be negative, the others may not. Handles are the
// values of the inherited handles in the guard.
#include "game/game_guard.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr const char* GuardMarker = "--lumenpane-guard";
constexpr std::size_t GuardFields = 11;
// Window coordinates beyond this are nobody's screen.
constexpr std::int64_t CoordinateLimit = 1 << 20;
constexpr std::size_t MaxTokenLength = 24;
// Windows' longest command line, 32767 UTF-16 units, as UTF-8 (up to three bytes a unit).
constexpr std::size_t MaxCommandLine = 3 * 32768;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The tokens after the program name, which is quoted or ends at the first blank.
bool SplitArguments(const char* line, std::vector<std::string>& tokens) {
    if (!line || std::strlen(line) > MaxCommandLine) return false;
    const char* p = line;
    while (IsBlank(*p)) ++p;
    if (*p == '"') {
        p = std::strchr(p + 1, '"');
        if (!p) return false;
        ++p;
        if (*p && !IsBlank(*p)) return false;
    } else {
        while (*p && !IsBlank(*p)) ++p;
    }
    while (*p) {
        while (IsBlank(*p)) ++p;
        const char* start = p;
        while (*p && !IsBlank(*p)) ++p;
        if (p > start) tokens.emplace_back(start, p);
    }
    return true;
}

bool ReadUnsigned(const std::string& token, std::uint64_t limit, std::uint64_t& value) {
    if (token.empty() || token.size() > MaxTokenLength) return false;
    std::uint64_t v = 0;
    for (char c : token) {
        if (c < '0' || c > '9') return false;
        const std::uint64_t digit = std::uint64_t(c - '0');
        if (digit > limit || v > (limit - digit) / 10) return false;
        v = v * 10 + digit;
    }
    value = v;
    return true;
}

bool ReadCoordinate(const std::string& token, LONG& value) {
    const bool negative = !token.empty() && token[0] == '-';
    std::uint64_t magnitude = 0;
    if (!ReadUnsigned(negative ? token.substr(1) : token, CoordinateLimit, magnitude)) return false;
    value = LONG(negative ? -std::int64_t(magnitude) : std::int64_t(magnitude));
    return true;
}

bool KnownPriority(DWORD priority) {
    return priority == 0 || priority == IDLE_PRIORITY_CLASS ||
           priority == BELOW_NORMAL_PRIORITY_CLASS || priority == NORMAL_PRIORITY_CLASS ||
           priority == ABOVE_NORMAL_PRIORITY_CLASS || priority == HIGH_PRIORITY_CLASS;
}

template <typename T> T FromNumber(std::uint64_t value) {
    return reinterpret_cast<T>(static_cast<std::uintptr_t>(value));
}

std::uint64_t ToNumber(const void* handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

} // namespace

std::string FormatGuardCommandLine(const std::string& programPath, const GuardOrders& orders) {
    const std::int64_t fields[] = {std::int64_t(ToNumber(orders.gameWindow)),
                                   orders.rect.left,
                                   orders.rect.top,
                                   orders.rect.right,
                                   orders.rect.bottom,
                                   std::uint32_t(orders.style),
                                   std::uint32_t(orders.exStyle),
                                   orders.priority,
                                   orders.screenSaver,
                                   std::int64_t(ToNumber(orders.viewer)),
                                   std::int64_t(ToNumber(orders.done))};
    std::string line;
    line.append(1, '"').append(programPath).append("\" ").append(GuardMarker);
    for (std::int64_t v : fields) line.append(1, ' ').append(std::to_string(v));
    return line;
}

bool IsGuardCommandLine(const char* commandLine) {
    std::vector<std::string> tokens;
    return SplitArguments(commandLine, tokens) && !tokens.empty() && tokens[0] == GuardMarker;
}

bool ParseGuardCommandLine(const char* commandLine, GuardOrders& orders) {
    std::vector<std::string> tokens;
    if (!SplitArguments(commandLine, tokens) || tokens.size() != GuardFields + 1 ||
        tokens[0] != GuardMarker)
        return false;
    constexpr std::uint64_t HandleLimit = UINTPTR_MAX;
    GuardOrders read;
    std::uint64_t window = 0, style = 0, exStyle = 0, priority = 0, saver = 0, viewer = 0, done = 0;
    if (!ReadUnsigned(tokens[1], HandleLimit, window) ||
        !ReadCoordinate(tokens[2], read.rect.left) || !ReadCoordinate(tokens[3], read.rect.top) ||
        !ReadCoordinate(tokens[4], read.rect.right) ||
        !ReadCoordinate(tokens[5], read.rect.bottom) ||
        !ReadUnsigned(tokens[6], UINT32_MAX, style) ||
        !ReadUnsigned(tokens[7], UINT32_MAX, exStyle) ||
        !ReadUnsigned(tokens[8], UINT32_MAX, priority) || !ReadUnsigned(tokens[9], 1, saver) ||
        !ReadUnsigned(tokens[10], HandleLimit, viewer) ||
        !ReadUnsigned(tokens[11], HandleLimit, done))
        return false;
    if (window == 0 || viewer == 0 || done == 0 || viewer == done) return false;
    if (read.rect.right <= read.rect.left || read.rect.bottom <= read.rect.top) return false;
    if (!KnownPriority(DWORD(priority))) return false;
    read.gameWindow = FromNumber<HWND>(window);
    read.style = LONG(std::uint32_t(style));
    read.exStyle = LONG(std::uint32_t(exStyle));
    read.priority = DWORD(priority);
    read.screenSaver = int(saver);
    read.viewer = FromNumber<HANDLE>(viewer);
    read.done = FromNumber<HANDLE>(done);
    orders = read;
    return true;
}
