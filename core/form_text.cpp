#include "core/form_text.h"

#include <cctype>
#include <optional>

#include "core/form_collections.h"
#include "core/text_codecs.h"

namespace iconvale {

namespace {

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool IsObjectWord(std::string_view w) {
    return SameWord(w, "object") || SameWord(w, "inherited") || SameWord(w, "inline");
}

bool IsIdentStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}
bool IsIdentChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view SkipByteOrderMark(std::string_view text) {
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return text;
}

enum class Kind { kEnd, kIdent, kNumber, kString, kSymbol };

struct Token {
    Kind kind = Kind::kEnd;
    std::string_view text;
    int line = 1;
};

class TextFormParser {
public:
    explicit TextFormParser(std::string_view text)
        : text_(SkipByteOrderMark(text)), origin_(text.size() - text_.size()) {}

    FormObjects Parse() {
        Next();
        if (token_.kind == Kind::kEnd) Fail(ContainerProblem::kBadSyntax);
        while (ok() && token_.kind != Kind::kEnd) {
            if (token_.kind != Kind::kIdent || !IsObjectWord(token_.text)) {
                Fail(ContainerProblem::kBadSyntax);
                break;
            }
            ParseObject(0);
        }
        if (!ok()) {
            result_.bitmaps.clear();
            result_.collections.clear();
        }
        return std::move(result_);
    }

private:
    bool ok() const { return !result_.error; }

    void Fail(ContainerProblem problem, int line = 0) {
        if (!ok()) return;
        result_.error.problem = problem;
        result_.error.line = line ? line : token_.line;
        token_ = {Kind::kEnd, {}, token_.line};
    }

    // Where a token's text stands in the file.
    std::size_t OffsetOf(std::string_view token) const {
        return origin_ + static_cast<std::size_t>(token.data() - text_.data());
    }

    void SkipBlanks() {
        while (at_ < text_.size()) {
            char c = text_[at_];
            if (c == '\n') {
                ++line_;
            } else if (c != ' ' && c != '\t' && c != '\r' && c != '\f') {
                break;
            }
            ++at_;
        }
    }

    // A run of quoted parts and #char codes, as in 'It''s'#13#10'done'.
    bool ScanString() {
        while (at_ < text_.size() && (text_[at_] == '\'' || text_[at_] == '#')) {
            if (text_[at_] == '#') {
                ++at_;
                if (at_ < text_.size() && text_[at_] == '$') {
                    ++at_;
                    if (at_ >= text_.size() || HexDigitValue(text_[at_]) < 0) return false;
                    while (at_ < text_.size() && HexDigitValue(text_[at_]) >= 0) ++at_;
                } else {
                    if (at_ >= text_.size() || !IsDigit(text_[at_])) return false;
                    while (at_ < text_.size() && IsDigit(text_[at_])) ++at_;
                }
                continue;
            }
            ++at_;
            for (;;) {
                if (at_ >= text_.size() || text_[at_] == '\n' || text_[at_] == '\r') return false;
                if (text_[at_++] != '\'') continue;
                if (at_ < text_.size() && text_[at_] == '\'') {
                    ++at_;
                    continue;
                }
                break;
            }
        }
        return true;
    }

    void ScanNumber() {
        if (text_[at_] == '$') {
            ++at_;
            while (at_ < text_.size() && HexDigitValue(text_[at_]) >= 0) ++at_;
            return;
        }
        if (text_[at_] == '-' || text_[at_] == '+') ++at_;
        while (at_ < text_.size() && (IsDigit(text_[at_]) || text_[at_] == '.')) ++at_;
        if (at_ < text_.size() && (text_[at_] == 'E' || text_[at_] == 'e')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '-' || text_[at_] == '+')) ++at_;
            while (at_ < text_.size() && IsDigit(text_[at_])) ++at_;
        }
    }

    void Next() {
        if (!ok()) return;
        SkipBlanks();
        token_.line = line_;
        if (at_ >= text_.size()) {
            token_ = {Kind::kEnd, {}, line_};
            return;
        }
        std::size_t start = at_;
        char c = text_[at_];
        Kind kind;
        if (IsIdentStart(c)) {
            while (at_ < text_.size() && IsIdentChar(text_[at_])) ++at_;
            kind = Kind::kIdent;
        } else if (c == '\'' || c == '#') {
            if (!ScanString()) return Fail(ContainerProblem::kBadSyntax, line_);
            kind = Kind::kString;
        } else if (IsDigit(c) || c == '$' ||
                   ((c == '-' || c == '+') && at_ + 1 < text_.size() && IsDigit(text_[at_ + 1]))) {
            ScanNumber();
            kind = Kind::kNumber;
        } else {
            ++at_;
            kind = Kind::kSymbol;
        }
        token_ = {kind, text_.substr(start, at_ - start), line_};
    }

    bool IsSymbol(char c) const {
        return token_.kind == Kind::kSymbol && token_.text.size() == 1 && token_.text[0] == c;
    }

    bool Expect(char c) {
        if (!IsSymbol(c)) {
            Fail(token_.kind == Kind::kEnd ? ContainerProblem::kTruncated
                                           : ContainerProblem::kBadSyntax);
            return false;
        }
        Next();
        return ok();
    }

    bool IsWord(std::string_view word) const {
        return token_.kind == Kind::kIdent && SameWord(token_.text, word);
    }

    // An optional "[n]" after an object's class or a collection item: its creation order.
    void SkipOrder() {
        if (!IsSymbol('[')) return;
        Next();
        if (token_.kind != Kind::kNumber) return Fail(ContainerProblem::kBadSyntax);
        Next();
        Expect(']');
    }

    void FailAtEnd() {
        Fail(token_.kind == Kind::kEnd ? ContainerProblem::kTruncated
                                       : ContainerProblem::kBadSyntax);
    }

    void ParseObject(int depth) {
        if (depth > kMaxFormDepth) return Fail(ContainerProblem::kTooDeep);
        int line = token_.line;
        Next();  // object, inherited or inline
        if (token_.kind != Kind::kIdent) return FailAtEnd();
        std::string_view name, className = token_.text;
        Next();
        if (IsSymbol(':')) {
            Next();
            if (token_.kind != Kind::kIdent) return FailAtEnd();
            name = className;
            className = token_.text;
            Next();
        }
        SkipOrder();
        const std::size_t bitmapsBefore = result_.bitmaps.size();
        const std::size_t collectionsBefore = result_.collections.size();
        bool haveBitmap = false;
        FormBitmap entry{
            std::string(name), std::string(className), line, objectsOpened_++, {}, {}, {}, {}, {}};
        std::optional<FormPictureCollection> collection;
        std::size_t collectionName = 0;
        while (ok()) {
            if (token_.kind != Kind::kIdent) return FailAtEnd();
            if (IsWord("end")) {
                Next();
                break;
            }
            if (IsObjectWord(token_.text)) {
                ParseObject(depth + 1);
                continue;
            }
            if (auto kind = PictureCollectionProperty(token_.text); kind && !collection) {
                collectionName = OffsetOf(token_.text);
                Next();
                if (!Expect('=')) return;
                if (!IsSymbol('<')) {
                    ParseValue(depth + 1);
                    continue;
                }
                collection = FormPictureCollection{};
                collection->kind = *kind;
                ParseCollection(*collection, depth + 1);
                if (!IsPictureCollection(*collection, className)) collection.reset();
                continue;
            }
            bool isBitmap = SameWord(token_.text, "Bitmap");
            bool isAdvanced = SameWord(token_.text, "BitmapAdv");
            ByteSpan* property = SameWord(token_.text, "Width")    ? &entry.properties.width
                                 : SameWord(token_.text, "Height") ? &entry.properties.height
                                 : SameWord(token_.text, "ColorDepth")
                                     ? &entry.properties.colorDepth
                                     : nullptr;
            const std::size_t nameAt = OffsetOf(token_.text);
            Next();
            if (!Expect('=')) return;
            if (property && (token_.kind == Kind::kNumber || token_.kind == Kind::kIdent))
                *property = {OffsetOf(token_.text), token_.text.size()};
            if (isBitmap && IsSymbol('{')) {
                haveBitmap = true;
                entry.properties.bitmapName = nameAt;
                entry.bitmap = ParseBinary(&entry.bitmapSpan);
            } else if (isAdvanced && IsSymbol('{')) {
                entry.advanced = ParseBinary(&entry.advancedSpan);
            } else {
                ParseValue(depth + 1);
            }
        }
        if (!ok()) return;
        if (collection) {
            PlaceCollection(result_, collectionsBefore, std::move(*collection), entry,
                            collectionName);
            return;
        }
        if (!haveBitmap) return;
        // The object's entry goes before those of its children, in the order objects open.
        result_.bitmaps.insert(result_.bitmaps.begin() + static_cast<std::ptrdiff_t>(bitmapsBefore),
                               std::move(entry));
    }

    // A collection of pictures: its items' names and picture values, the rest skipped.
    void ParseCollection(FormPictureCollection& collection, int depth) {
        if (depth > kMaxFormDepth) return Fail(ContainerProblem::kTooDeep);
        const std::size_t start = OffsetOf(token_.text);
        Next();
        while (ok() && !IsSymbol('>')) {
            if (!IsWord("item")) return FailAtEnd();
            FormPictureItem item;
            item.span.offset = OffsetOf(token_.text);
            Next();
            SkipOrder();
            while (ok() && !IsWord("end")) {
                if (token_.kind != Kind::kIdent) return FailAtEnd();
                const ItemProperty property = ItemPropertyOf(collection.kind, token_.text);
                Next();
                if (!Expect('=')) return;
                if (property == ItemProperty::kName && token_.kind == Kind::kString) {
                    item.name = FormStringText(token_.text);
                    ParseValue(depth + 1);
                } else if ((property == ItemProperty::kPicture ||
                            property == ItemProperty::kMask) &&
                           IsSymbol('{')) {
                    FormPicture picture;
                    picture.data = ParseBinary(&picture.span);
                    AddItemPicture(item, property, std::move(picture));
                } else if (property == ItemProperty::kSources && IsSymbol('<')) {
                    FormPictureCollection sources;
                    sources.kind = kSourceImagesKind;
                    ParseCollection(sources, depth + 1);
                    AddSourcePictures(item, sources);
                } else {
                    ParseValue(depth + 1);
                }
            }
            if (!ok()) return;
            item.span.size = OffsetOf(token_.text) + token_.text.size() - item.span.offset;
            Next();
            collection.items.push_back(std::move(item));
        }
        if (ok()) collection.value = {start, OffsetOf(token_.text) + 1 - start};
        Expect('>');
    }

    // Raw text after '{' up to '}': hex digits with blanks and line breaks between them.
    Bytes ParseBinary(ByteSpan* span = nullptr) {
        Bytes out;
        int high = -1;
        const std::size_t start = at_;
        while (at_ < text_.size()) {
            char c = text_[at_++];
            if (c == '}') {
                if (high >= 0) {
                    Fail(ContainerProblem::kOddHex, line_);
                    return {};
                }
                if (span) *span = {origin_ + start, at_ - 1 - start};
                Next();
                return out;
            }
            if (c == '\n') {
                ++line_;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r') continue;
            int v = HexDigitValue(c);
            if (v < 0) {
                Fail(ContainerProblem::kBadHex, line_);
                return {};
            }
            if (high < 0) {
                high = v;
            } else {
                out.push_back(static_cast<std::uint8_t>(high << 4 | v));
                high = -1;
            }
        }
        Fail(ContainerProblem::kTruncated, line_);
        return {};
    }

    void ParseValue(int depth) {
        if (depth > kMaxFormDepth) return Fail(ContainerProblem::kTooDeep);
        switch (token_.kind) {
            case Kind::kEnd:
                return Fail(ContainerProblem::kTruncated);
            case Kind::kIdent:
            case Kind::kNumber:
                return Next();
            case Kind::kString:
                Next();
                while (ok() && IsSymbol('+')) {
                    Next();
                    if (token_.kind != Kind::kString) return FailAtEnd();
                    Next();
                }
                return;
            case Kind::kSymbol:
                break;
        }
        if (IsSymbol('{')) {
            ParseBinary();
        } else if (IsSymbol('[')) {
            Next();
            while (ok() && !IsSymbol(']')) {
                if (token_.kind != Kind::kIdent && token_.kind != Kind::kNumber && !IsSymbol(','))
                    return FailAtEnd();
                Next();
            }
            Expect(']');
        } else if (IsSymbol('(')) {
            Next();
            while (ok() && !IsSymbol(')')) ParseValue(depth + 1);
            Expect(')');
        } else if (IsSymbol('<')) {
            Next();
            while (ok() && !IsSymbol('>')) {
                if (!IsWord("item")) return FailAtEnd();
                Next();
                SkipOrder();
                while (ok() && !IsWord("end")) {
                    if (token_.kind != Kind::kIdent) return FailAtEnd();
                    Next();
                    if (!Expect('=')) return;
                    ParseValue(depth + 1);
                }
                Next();
            }
            Expect('>');
        } else {
            Fail(ContainerProblem::kBadSyntax);
        }
    }

    std::string_view text_;
    std::size_t origin_;  // where text_ starts in the file: after a byte-order mark
    std::size_t at_ = 0;
    int line_ = 1;
    Token token_;
    FormObjects result_;
    int objectsOpened_ = 0;
};

}  // namespace

bool LooksLikeTextForm(std::string_view text) {
    text = SkipByteOrderMark(text);
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    std::size_t start = at;
    while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at]))) ++at;
    return at < text.size() && std::isspace(static_cast<unsigned char>(text[at])) &&
           IsObjectWord(text.substr(start, at - start));
}

FormObjects ReadTextForm(std::string_view text) {
    return TextFormParser(text).Parse();
}

}  // namespace iconvale
