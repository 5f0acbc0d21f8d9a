#include "core/resx_image_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/image_list_stream.h"
#include "core/text_codecs.h"

namespace iconvale {

namespace {

constexpr char kMagic[4] = {'M', 'S', 'F', 't'};
constexpr std::string_view kLibrary =
    "System.Windows.Forms, Version=4.0.0.0, Culture=neutral, PublicKeyToken=b77a5c561934e089";
constexpr std::string_view kClass = "System.Windows.Forms.ImageListStreamer";
constexpr std::string_view kMember = "Data";
constexpr std::string_view kBinaryMime = "application/x-microsoft.net.object.binary.base64";
constexpr std::string_view kImageStreamSuffix = ".ImageStream";

// [MS-NRBF] record types, binary types and primitive types used by an ImageListStreamer.
enum Record : std::uint8_t {
    kSerializedStreamHeader = 0x00,
    kClassWithMembersAndTypes = 0x05,
    kMemberReference = 0x09,
    kMessageEnd = 0x0B,
    kBinaryLibrary = 0x0C,
    kArraySinglePrimitive = 0x0F,
};
constexpr std::uint8_t kBinaryTypePrimitiveArray = 7;
constexpr std::uint8_t kPrimitiveByte = 2;
constexpr std::int32_t kRootId = 1;
constexpr std::int32_t kLibraryId = 2;
constexpr std::int32_t kArrayId = 3;

// The largest stream an image list may need: a full image bitmap, its mask and the headers.
constexpr std::size_t kMaxStreamBytes =
    static_cast<std::size_t>(kMaxBitmapBytes + kMaxBitmapBytes / 8 + 65536);

void AppendI32(Bytes& out, std::int32_t v) {
    AppendU32(out, static_cast<std::uint32_t>(v));
}

// A length-prefixed string: the length in 7-bit groups, low group first.
void AppendString(Bytes& out, std::string_view s) {
    std::size_t n = s.size();
    do {
        std::uint8_t b = n & 0x7F;
        n >>= 7;
        out.push_back(static_cast<std::uint8_t>(b | (n ? 0x80 : 0)));
    } while (n);
    out.insert(out.end(), s.begin(), s.end());
}

class RecordReader {
public:
    RecordReader(std::span<const std::uint8_t> bytes, ContainerError& error)
        : reader_(bytes.data(), bytes.size()), error_(error) {}

    bool ok() const { return reader_.ok() && !error_; }
    std::size_t remaining() const { return reader_.remaining(); }

    bool Fail(ContainerProblem problem) {
        if (!error_) error_.problem = problem;
        return false;
    }
    // A failed read becomes "truncated"; a value that differs, "not an ImageListStreamer".
    bool Check(bool condition) {
        if (!reader_.ok()) return Fail(ContainerProblem::kTruncated);
        return condition || Fail(ContainerProblem::kBadRecord);
    }

    std::uint8_t Byte() {
        const std::uint8_t* p = reader_.Span(1);
        return p ? *p : 0;
    }
    std::int32_t I32() { return reader_.I32(); }

    std::string_view String() {
        std::uint32_t length = 0;
        for (int shift = 0;; shift += 7) {
            std::uint8_t b = Byte();
            if (!reader_.ok()) return {};
            if (shift == 28 && b > 0x07) {
                Fail(ContainerProblem::kBadRecord);
                return {};
            }
            length |= static_cast<std::uint32_t>(b & 0x7F) << shift;
            if (!(b & 0x80)) break;
        }
        const std::uint8_t* p = reader_.Span(length);
        return p ? std::string_view(reinterpret_cast<const char*>(p), length) : std::string_view();
    }

    // The byte array's record after its type byte and its id.
    std::optional<std::span<const std::uint8_t>> ArrayBody() {
        std::int32_t length = I32();
        std::uint8_t type = Byte();
        if (!Check(length >= 0 && type == kPrimitiveByte)) return std::nullopt;
        if (static_cast<std::size_t>(length) > remaining()) {
            Fail(ContainerProblem::kTruncated);
            return std::nullopt;
        }
        const std::uint8_t* p = reader_.Span(static_cast<std::size_t>(length));
        return std::span<const std::uint8_t>(p, static_cast<std::size_t>(length));
    }

private:
    ByteReader reader_;
    ContainerError& error_;
};

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string EscapeXml(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string UnescapeXml(std::string_view s) {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        bool replaced = false;
        if (s[i] == '&') {
            for (const auto& [entity, c] : kEntities) {
                if (s.substr(i, entity.size()) == entity) {
                    out += c;
                    i += entity.size() - 1;
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += s[i];
    }
    return out;
}

struct Tag {
    std::string_view name;
    bool closing = false;      // </name>
    bool selfClosing = false;  // <name ... />
    std::string nameAttribute, typeAttribute, mimeAttribute;
};

// Walks the markup of a resource file: comments, declarations and processing instructions are
// stepped over, element tags are handed out with the attributes this reader needs.
class XmlScanner {
public:
    XmlScanner(std::string_view text, ContainerError& error) : text_(text), error_(error) {}

    std::size_t at() const { return at_; }
    int LineAt(std::size_t offset) const {
        return 1 + static_cast<int>(std::count(
                       text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
    }

    // The next element tag; false at the end of the text or on damage (error set).
    bool NextTag(Tag& tag, std::size_t& tagStart) {
        for (;;) {
            std::size_t open = text_.find('<', at_);
            if (open == std::string_view::npos) {
                at_ = text_.size();
                return false;
            }
            std::string_view rest = text_.substr(open);
            std::string_view close = StartsWith(rest, "<!--")        ? "-->"
                                     : StartsWith(rest, "<![CDATA[") ? "]]>"
                                     : StartsWith(rest, "<?")        ? "?>"
                                     : StartsWith(rest, "<!")        ? ">"
                                                                     : "";
            if (!close.empty()) {
                std::size_t end = text_.find(close, open + 2);
                if (end == std::string_view::npos) return Fail(ContainerProblem::kTruncated, open);
                at_ = end + close.size();
                continue;
            }
            tagStart = open;
            return ParseTag(open, tag);
        }
    }

    // Text from the current position up to the next '<'.
    std::string_view TextUpToTag() {
        std::size_t end = text_.find('<', at_);
        if (end == std::string_view::npos) end = text_.size();
        std::string_view body = text_.substr(at_, end - at_);
        at_ = end;
        return body;
    }

    bool Fail(ContainerProblem problem, std::size_t offset) {
        if (!error_) {
            error_.problem = problem;
            error_.line = LineAt(offset);
        }
        return false;
    }

private:
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    bool ParseTag(std::size_t open, Tag& tag) {
        tag = Tag{};
        std::size_t i = open + 1;
        if (i < text_.size() && text_[i] == '/') {
            tag.closing = true;
            ++i;
        }
        std::size_t nameStart = i;
        while (i < text_.size() && !IsSpace(text_[i]) && text_[i] != '>' && text_[i] != '/') ++i;
        tag.name = text_.substr(nameStart, i - nameStart);
        if (tag.name.empty()) return Fail(ContainerProblem::kBadSyntax, open);
        for (;;) {
            while (i < text_.size() && IsSpace(text_[i])) ++i;
            if (i >= text_.size()) return Fail(ContainerProblem::kTruncated, open);
            if (text_[i] == '>') break;
            if (text_[i] == '/' && i + 1 < text_.size() && text_[i + 1] == '>') {
                tag.selfClosing = true;
                ++i;
                break;
            }
            std::size_t attrStart = i;
            while (i < text_.size() && !IsSpace(text_[i]) && text_[i] != '=' && text_[i] != '>')
                ++i;
            std::string_view attr = text_.substr(attrStart, i - attrStart);
            while (i < text_.size() && IsSpace(text_[i])) ++i;
            if (i >= text_.size()) return Fail(ContainerProblem::kTruncated, open);
            if (attr.empty() || text_[i] != '=') return Fail(ContainerProblem::kBadSyntax, i);
            ++i;
            while (i < text_.size() && IsSpace(text_[i])) ++i;
            if (i >= text_.size()) return Fail(ContainerProblem::kTruncated, open);
            char quote = text_[i];
            if (quote != '"' && quote != '\'') return Fail(ContainerProblem::kBadSyntax, i);
            std::size_t valueEnd = text_.find(quote, i + 1);
            if (valueEnd == std::string_view::npos) return Fail(ContainerProblem::kTruncated, open);
            std::string value = UnescapeXml(text_.substr(i + 1, valueEnd - i - 1));
            if (attr == "name") tag.nameAttribute = std::move(value);
            if (attr == "type") tag.typeAttribute = std::move(value);
            if (attr == "mimetype") tag.mimeAttribute = std::move(value);
            i = valueEnd + 1;
        }
        at_ = i + 1;
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    ContainerError& error_;
};

// The value of the data element whose start tag was just read: its stream, decoded.
std::optional<Bytes> ReadImageStreamValue(XmlScanner& xml, ContainerError& error) {
    Tag tag;
    std::size_t tagStart = 0;
    while (xml.NextTag(tag, tagStart)) {
        if (tag.closing && tag.name == "data") break;
        if (tag.closing || tag.name != "value" || tag.selfClosing) continue;
        std::size_t textStart = xml.at();
        std::string_view body = xml.TextUpToTag();
        std::size_t badAt = 0;
        auto records = DecodeBase64(body, &badAt);
        if (!records) {
            xml.Fail(ContainerProblem::kBadBase64, textStart + badAt);
            return std::nullopt;
        }
        return DeserializeImageListStreamer(*records, error);
    }
    if (!error) xml.Fail(ContainerProblem::kBadRecord, tagStart);
    return std::nullopt;
}

}  // namespace

Bytes RunLengthEncode(std::span<const std::uint8_t> stream) {
    Bytes out;
    for (std::size_t i = 0; i < stream.size();) {
        std::size_t run = 1;
        while (run < 255 && i + run < stream.size() && stream[i + run] == stream[i]) ++run;
        out.push_back(static_cast<std::uint8_t>(run));
        out.push_back(stream[i]);
        i += run;
    }
    return out;
}

std::optional<Bytes> RunLengthDecode(std::span<const std::uint8_t> pairs, std::size_t limit,
                                     ContainerError& error) {
    if (pairs.size() % 2 != 0) {
        error.problem = ContainerProblem::kBadRunLength;
        return std::nullopt;
    }
    // Sized before anything is allocated, so that a small input cannot ask for a huge output.
    std::size_t total = 0;
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        if (pairs[i] == 0) {
            error.problem = ContainerProblem::kBadRunLength;
            return std::nullopt;
        }
        total += pairs[i];
        if (total > limit) {
            error.problem = ContainerProblem::kTooLarge;
            return std::nullopt;
        }
    }
    try {
        Bytes out;
        out.reserve(total);
        for (std::size_t i = 0; i < pairs.size(); i += 2)
            out.insert(out.end(), pairs[i], pairs[i + 1]);
        return out;
    } catch (const std::bad_alloc&) {
        error.problem = ContainerProblem::kOutOfMemory;
        return std::nullopt;
    }
}

Bytes SerializeImageListStreamer(std::span<const std::uint8_t> stream) {
    Bytes data(std::begin(kMagic), std::end(kMagic));
    Bytes pairs = RunLengthEncode(stream);
    data.insert(data.end(), pairs.begin(), pairs.end());

    Bytes out;
    out.push_back(kSerializedStreamHeader);
    AppendI32(out, kRootId);
    AppendI32(out, -1);  // no header object
    AppendI32(out, 1);   // format version 1.0
    AppendI32(out, 0);
    out.push_back(kBinaryLibrary);
    AppendI32(out, kLibraryId);
    AppendString(out, kLibrary);
    out.push_back(kClassWithMembersAndTypes);
    AppendI32(out, kRootId);
    AppendString(out, kClass);
    AppendI32(out, 1);
    AppendString(out, kMember);
    out.push_back(kBinaryTypePrimitiveArray);
    out.push_back(kPrimitiveByte);
    AppendI32(out, kLibraryId);
    out.push_back(kMemberReference);
    AppendI32(out, kArrayId);
    out.push_back(kArraySinglePrimitive);
    AppendI32(out, kArrayId);
    AppendI32(out, static_cast<std::int32_t>(data.size()));
    out.push_back(kPrimitiveByte);
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(kMessageEnd);
    return out;
}

std::optional<Bytes> DeserializeImageListStreamer(std::span<const std::uint8_t> records,
                                                  ContainerError& error) {
    RecordReader r(records, error);
    std::uint8_t headerType = r.Byte();
    std::int32_t rootId = r.I32();
    r.I32();  // header id
    std::int32_t major = r.I32();
    std::int32_t minor = r.I32();
    if (!r.Check(headerType == kSerializedStreamHeader && major == 1 && minor == 0))
        return std::nullopt;

    std::vector<std::int32_t> libraries;
    bool haveClass = false;
    std::int32_t arrayRef = 0;
    std::optional<std::span<const std::uint8_t>> data;
    for (;;) {
        std::uint8_t type = r.Byte();
        if (!r.Check(true)) return std::nullopt;
        if (type == kMessageEnd) break;
        if (type == kBinaryLibrary) {
            std::int32_t id = r.I32();
            r.String();
            if (!r.Check(id > 0 &&
                         std::find(libraries.begin(), libraries.end(), id) == libraries.end()))
                return std::nullopt;
            libraries.push_back(id);
        } else if (type == kClassWithMembersAndTypes && !haveClass) {
            std::int32_t id = r.I32();
            std::string_view className = r.String();
            std::int32_t members = r.I32();
            std::string_view member = r.String();
            std::uint8_t binaryType = r.Byte();
            std::uint8_t primitive = r.Byte();
            std::int32_t library = r.I32();
            if (!r.Check(id == rootId && className == kClass && members == 1 && member == kMember &&
                         binaryType == kBinaryTypePrimitiveArray && primitive == kPrimitiveByte &&
                         std::find(libraries.begin(), libraries.end(), library) != libraries.end()))
                return std::nullopt;
            haveClass = true;
            // The member's value: a reference to an array that follows, or the array itself.
            std::uint8_t valueType = r.Byte();
            std::int32_t valueId = r.I32();
            if (!r.Check(valueId > 0 && valueId != rootId &&
                         (valueType == kMemberReference || valueType == kArraySinglePrimitive)))
                return std::nullopt;
            if (valueType == kMemberReference) {
                arrayRef = valueId;
            } else {
                data = r.ArrayBody();
                if (!data) return std::nullopt;
            }
        } else if (type == kArraySinglePrimitive && haveClass && arrayRef != 0 && !data) {
            std::int32_t id = r.I32();
            if (!r.Check(id == arrayRef)) return std::nullopt;
            data = r.ArrayBody();
            if (!data) return std::nullopt;
        } else {
            r.Fail(ContainerProblem::kBadRecord);
            return std::nullopt;
        }
    }
    if (!r.Check(data.has_value() && r.remaining() == 0)) return std::nullopt;

    std::span<const std::uint8_t> bytes = *data;
    if (bytes.size() >= sizeof kMagic && std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0)
        return RunLengthDecode(bytes.subspan(sizeof kMagic), kMaxStreamBytes, error);
    return Bytes(bytes.begin(), bytes.end());
}

bool LooksLikeResx(std::string_view text) {
    std::size_t start = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    return start != std::string_view::npos && text[start] == '<' &&
           text.find("<root") != std::string_view::npos;
}

std::vector<ResxImageStream> ReadResxImageStreams(std::string_view text, ContainerError& error) {
    std::vector<ResxImageStream> found;
    XmlScanner xml(text, error);
    Tag tag;
    std::size_t tagStart = 0;
    bool closed = false;  // a document cut short loses its closing root tag
    while (xml.NextTag(tag, tagStart)) {
        if (tag.closing && tag.name == "root") closed = true;
        if (tag.closing || tag.selfClosing || tag.name != "data") continue;
        bool named = EndsWith(tag.nameAttribute, kImageStreamSuffix);
        if (!named && tag.typeAttribute.find("ImageListStreamer") == std::string::npos) continue;
        int line = xml.LineAt(tagStart);
        std::string name = named ? tag.nameAttribute.substr(
                                       0, tag.nameAttribute.size() - kImageStreamSuffix.size())
                                 : tag.nameAttribute;
        if (tag.mimeAttribute != kBinaryMime) {
            error = {ContainerProblem::kBadRecord, line, name};
            break;
        }
        auto stream = ReadImageStreamValue(xml, error);
        if (!stream) {
            if (!error) error.problem = ContainerProblem::kBadRecord;
            if (error.line == 0) error.line = line;
            error.where = name;
            break;
        }
        found.push_back({std::move(name), line, std::move(*stream)});
    }
    if (!error && !closed) error = {ContainerProblem::kTruncated, xml.LineAt(text.size()), {}};
    if (error) found.clear();
    return found;
}

std::string WriteResxDocument(std::span<const std::uint8_t> stream, std::string_view name) {
    static constexpr std::string_view kHead =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
        "<root>\r\n"
        "  <resheader name=\"resmimetype\">\r\n"
        "    <value>text/microsoft-resx</value>\r\n"
        "  </resheader>\r\n"
        "  <resheader name=\"version\">\r\n"
        "    <value>2.0</value>\r\n"
        "  </resheader>\r\n"
        "  <resheader name=\"reader\">\r\n"
        "    <value>System.Resources.ResXResourceReader, System.Windows.Forms, Version=4.0.0.0, "
        "Culture=neutral, PublicKeyToken=b77a5c561934e089</value>\r\n"
        "  </resheader>\r\n"
        "  <resheader name=\"writer\">\r\n"
        "    <value>System.Resources.ResXResourceWriter, System.Windows.Forms, Version=4.0.0.0, "
        "Culture=neutral, PublicKeyToken=b77a5c561934e089</value>\r\n"
        "  </resheader>\r\n";
    std::string out(kHead);
    out += "  <data name=\"" + EscapeXml(name) + std::string(kImageStreamSuffix) +
           "\" mimetype=\"" + std::string(kBinaryMime) + "\">\r\n";
    out += "    <value>\r\n";
    // The designer's layout: lines of 80 characters indented by 8, the end tag at the margin.
    out += Base64Lines(SerializeImageListStreamer(stream), 80, "        ", "\r\n");
    out += "\r\n</value>\r\n  </data>\r\n</root>\r\n";
    return out;
}

}  // namespace iconvale
