#include "core/value_layout.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "core/text_codecs.h"

namespace iconvale {

std::string_view AsText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

Bytes FromText(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

std::string_view NewlineIn(std::string_view text, std::string_view otherwise) {
    const std::size_t at = text.find('\n');
    if (at == std::string_view::npos) return otherwise;
    return at > 0 && text[at - 1] == '\r' ? "\r\n" : "\n";
}

namespace {

bool IsBase64Char(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/' || c == '=';
}

}  // namespace

TextLayout MeasureLayout(std::string_view old, bool hex, std::string_view fileNewline) {
    auto isData = [hex](char c) { return hex ? HexDigitValue(c) >= 0 : IsBase64Char(c); };
    TextLayout layout;
    layout.newline = NewlineIn(old, fileNewline);
    const std::size_t defaultRow = hex ? kDefaultHexRow : kDefaultBase64Row;
    std::size_t first = 0;
    while (first < old.size() && !isData(old[first])) ++first;
    if (first == old.size()) {
        layout.lead = old;
        layout.rowChars = defaultRow;
        return layout;
    }
    std::size_t last = old.size();
    while (!isData(old[last - 1])) --last;
    const std::size_t lineBreak = old.rfind('\n', first);
    const std::size_t lineStart = lineBreak == std::string_view::npos ? first : lineBreak + 1;
    layout.lead = old.substr(0, lineStart);
    layout.indent = old.substr(lineStart, first - lineStart);
    layout.tail = old.substr(last);
    std::size_t rowEnd = first;
    while (rowEnd < last && isData(old[rowEnd])) ++rowEnd;
    layout.rowChars = rowEnd - first;
    // A single row says nothing about where rows wrap: the tool's own width then, or longer.
    if (old.substr(first, last - first).find('\n') == std::string_view::npos)
        layout.rowChars = std::max(layout.rowChars, defaultRow);
    return layout;
}

Bytes LaidOut(std::span<const std::uint8_t> value, bool hex, const TextLayout& layout) {
    std::string text(layout.lead);
    text += hex ? HexLines(value, std::max<std::size_t>(layout.rowChars / 2, 1), layout.indent,
                           layout.newline)
                : Base64Lines(value, layout.rowChars, layout.indent, layout.newline);
    text += layout.tail;
    return FromText(text);
}

}  // namespace iconvale
