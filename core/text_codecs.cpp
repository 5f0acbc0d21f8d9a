#include "core/text_codecs.h"

namespace iconvale {

namespace {

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void AppendLines(std::string& out, std::string_view body, std::size_t lineChars,
                 std::string_view indent, std::string_view newline) {
    for (std::size_t at = 0; at < body.size(); at += lineChars) {
        if (at > 0) out += newline;
        out += indent;
        out += body.substr(at, lineChars);
    }
}

}  // namespace

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string HexLines(std::span<const std::uint8_t> bytes, std::size_t bytesPerLine,
                     std::string_view indent, std::string_view newline) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    std::string out;
    AppendLines(out, hex, bytesPerLine * 2, indent, newline);
    return out;
}

std::optional<Bytes> DecodeBase64(std::string_view text, std::size_t* badAt) {
    Bytes out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t quad = 0;
    int have = 0;     // characters of the current quad
    int padding = 0;  // '=' seen; only blanks may follow a complete padded quad
    auto fail = [&](std::size_t at) -> std::optional<Bytes> {
        if (badAt) *badAt = at;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (IsBlank(c)) continue;
        if (c == '=') {
            // Padding only closes a quad of two or three characters: "xx==" or "xxx=".
            if (have < 2) return fail(i);
            ++padding;
            if (++have == 4) {
                if (padding == 2) {
                    out.push_back(static_cast<std::uint8_t>(quad >> 4));
                } else {
                    out.push_back(static_cast<std::uint8_t>(quad >> 10));
                    out.push_back(static_cast<std::uint8_t>(quad >> 2));
                }
                have = 0;
                quad = 0;
            }
            continue;
        }
        int v = Base64Value(c);
        if (v < 0 || padding > 0) return fail(i);
        quad = quad << 6 | static_cast<std::uint32_t>(v);
        if (++have == 4) {
            out.push_back(static_cast<std::uint8_t>(quad >> 16));
            out.push_back(static_cast<std::uint8_t>(quad >> 8));
            out.push_back(static_cast<std::uint8_t>(quad));
            have = 0;
            quad = 0;
        }
    }
    if (have != 0) return fail(text.size());
    return out;
}

std::string Base64Lines(std::span<const std::uint8_t> bytes, std::size_t lineChars,
                        std::string_view indent, std::string_view newline) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        std::uint32_t v = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6) text += kBase64Alphabet[(v >> shift) & 63];
    }
    if (std::size_t rest = bytes.size() - i; rest > 0) {
        std::uint32_t v = bytes[i] << 16 | (rest == 2 ? bytes[i + 1] << 8 : 0);
        text += kBase64Alphabet[(v >> 18) & 63];
        text += kBase64Alphabet[(v >> 12) & 63];
        text += rest == 2 ? kBase64Alphabet[(v >> 6) & 63] : '=';
        text += '=';
    }
    std::string out;
    AppendLines(out, text, lineChars, indent, newline);
    return out;
}

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    auto put = [&out](std::uint32_t byte) { out += static_cast<char>(byte); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | c >> 6);
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | c >> 12);
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | c >> 18);
        put(0x80 | (c >> 12 & 0x3F));
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

std::string FormStringText(std::string_view literal) {
    std::string out;
    std::size_t at = 0;
    while (at < literal.size()) {
        if (literal[at] == '#') {
            ++at;
            const bool hex = at < literal.size() && literal[at] == '$';
            if (hex) ++at;
            std::uint32_t code = 0;
            std::size_t digits = 0;
            for (; at < literal.size(); ++at, ++digits) {
                const int v =
                    hex ? HexDigitValue(literal[at])
                        : (literal[at] >= '0' && literal[at] <= '9' ? literal[at] - '0' : -1);
                if (v < 0) break;
                code =
                    code > 0x10FFFF ? code : code * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
            }
            if (digits == 0) break;
            AppendUtf8(out, code);
        } else if (literal[at] == '\'') {
            ++at;
            while (at < literal.size()) {
                if (literal[at] != '\'') {
                    out += literal[at++];
                } else if (at + 1 < literal.size() && literal[at + 1] == '\'') {
                    out += '\'';
                    at += 2;
                } else {
                    ++at;
                    break;
                }
            }
        } else {
            break;
        }
    }
    return out;
}

}  // namespace iconvale
