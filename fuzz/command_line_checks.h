// Properties of SplitCommandLine that hold for any text after the program's name. Shared by the
// fuzz target and by the test that writes its seeds; an empty result means every property held.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ui/command_line.h"

namespace iconvale::fuzz {

namespace command_line_detail {

inline bool IsLead(char c) {
    auto u = static_cast<unsigned char>(c);
    return u >= 0x81 && u <= 0xFE;
}

// Walks a piece character by character from its first byte. Reports whether some character
// starts with a quote, whether one starts with a separator, and whether the last byte is a lead
// byte left without its trail.
struct PieceShape {
    bool quoteStart = false;
    bool separatorStart = false;
    bool danglingLead = false;
};

inline PieceShape ShapeOf(std::string_view piece) {
    PieceShape shape;
    for (std::size_t i = 0; i < piece.size();) {
        auto c = static_cast<unsigned char>(piece[i]);
        if (c == '"') shape.quoteStart = true;
        if (c < 0x21) shape.separatorStart = true;
        if (IsLead(piece[i])) {
            if (i + 1 == piece.size()) shape.danglingLead = true;
            i += 2;
        } else {
            i += 1;
        }
    }
    return shape;
}

inline std::string Describe(const std::vector<std::string>& pieces) {
    std::string out = "[";
    for (const auto& p : pieces) {
        out += '<';
        for (char c : p) {
            auto u = static_cast<unsigned char>(c);
            if (u >= 0x20 && u < 0x7F) {
                out += c;
            } else {
                static const char kHex[] = "0123456789ABCDEF";
                out += "\\x";
                out += kHex[u >> 4];
                out += kHex[u & 15];
            }
        }
        out += '>';
    }
    return out + "]";
}

}  // namespace command_line_detail

// `rest` is everything after the program's name and the blank that ends it.
inline std::string CheckCommandLine(std::string_view rest) {
    using namespace command_line_detail;
    const std::string tail(rest);
    const std::vector<std::string> pieces = SplitCommandLine("x.exe " + tail);

    // However the program's name is written, the arguments after it are the same.
    for (const std::string& program :
         {std::string("\"C:\\Program Files\\x.exe\" "), std::string("\"C:\\Program Files\\x.exe\""),
          std::string("\"\" "), std::string("C:\\\xCE\xD2\\x.exe ")}) {
        if (SplitCommandLine(program + tail) != pieces) {
            return "the program's name written as " + program + " changes the arguments " +
                   Describe(pieces) + " into " + Describe(SplitCommandLine(program + tail));
        }
    }

    // Every argument uses up at least one byte of its own.
    std::size_t bytes = 0;
    for (const auto& p : pieces) bytes += p.size() + 1;
    if (bytes > rest.size() + 1) return "more argument text than input: " + Describe(pieces);

    bool anyBlankOrEmpty = false;
    for (std::size_t n = 0; n < pieces.size(); ++n) {
        const std::string& piece = pieces[n];
        const PieceShape shape = ShapeOf(piece);
        // A quote always ends an argument, so none is left inside one.
        if (shape.quoteStart) return "a quote inside argument " + std::to_string(n);
        // Blanks and empty arguments come only from quotes.
        if (shape.separatorStart || piece.empty()) {
            anyBlankOrEmpty = true;
            if (tail.find('"' + piece) == std::string::npos) {
                return "argument " + std::to_string(n) + " has blanks but was not quoted";
            }
        }
        // A lead byte may lack its trail only at the very end of the line.
        if (shape.danglingLead &&
            (n + 1 != pieces.size() || !std::string_view(tail).ends_with(piece))) {
            return "argument " + std::to_string(n) + " ends with a lone lead byte mid-line";
        }
    }

    // Quoting every argument and joining them gives the same arguments back. A trailing lone
    // lead byte would take the closing quote as its trail, so that quote is left off.
    std::string quoted = "x.exe";
    for (const auto& p : pieces) {
        quoted += " \"" + p;
        if (!ShapeOf(p).danglingLead) quoted += '"';
    }
    if (SplitCommandLine(quoted) != pieces) {
        return "quoted again, " + Describe(pieces) + " splits into " +
               Describe(SplitCommandLine(quoted));
    }

    // Without blanks or empty arguments, plain spaces between them are enough.
    if (!anyBlankOrEmpty) {
        std::string plain = "x.exe";
        for (const auto& p : pieces) plain += ' ' + p;
        if (SplitCommandLine(plain) != pieces) {
            return "joined by spaces, " + Describe(pieces) + " splits into " +
                   Describe(SplitCommandLine(plain));
        }
    }
    return {};
}

}  // namespace iconvale::fuzz
