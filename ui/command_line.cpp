#include "ui/command_line.h"

namespace iconvale {

namespace {

constexpr char kQuote = '"';

bool IsSeparator(unsigned char c) { return c < 0x21; }
bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Index just past the character starting at i: two bytes for a lead byte with its trail.
std::size_t NextChar(std::string_view s, std::size_t i) {
    return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? i + 2 : i + 1;
}

std::size_t SkipProgramName(std::string_view line) {
    if (line.empty()) return 0;
    std::size_t i = 0;
    if (line[0] == kQuote) {
        i = 1;
        while (i < line.size() && line[i] != kQuote) i = NextChar(line, i);
        if (i < line.size()) ++i;  // the closing quote
        if (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        return i;
    }
    while (i < line.size() && line[i] != ' ') i = NextChar(line, i);
    return i < line.size() ? i + 1 : i;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    std::size_t i = SkipProgramName(line);
    while (i < line.size()) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == kQuote) {
            std::size_t start = ++i;
            while (i < line.size() && line[i] != kQuote) i = NextChar(line, i);
            arguments.emplace_back(line.substr(start, i - start));
            if (i < line.size()) ++i;
        } else if (IsSeparator(c)) {
            ++i;
        } else {
            std::size_t start = i;
            while (i < line.size() && line[i] != kQuote &&
                   !IsSeparator(static_cast<unsigned char>(line[i]))) {
                i = NextChar(line, i);
            }
            arguments.emplace_back(line.substr(start, i - start));
        }
    }
    return arguments;
}

}  // namespace iconvale
