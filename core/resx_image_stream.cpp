#include "core/resx_image_stream.h"

#include <algorithm>

#include "core/image_list_streamer.h"
#include "core/text_codecs.h"

namespace iconvale {

namespace {

constexpr std::string_view kBinaryMime = "application/x-microsoft.net.object.binary.base64";
constexpr std::string_view kImageStreamSuffix = ".ImageStream";

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
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

// The value of the data element whose start tag was just read: the Data array of its records.
std::optional<Bytes> ReadImageStreamValue(XmlScanner& xml, ByteSpan& value, ContainerError& error) {
    Tag tag;
    std::size_t tagStart = 0;
    while (xml.NextTag(tag, tagStart)) {
        if (tag.closing && tag.name == "data") break;
        if (tag.closing || tag.name != "value" || tag.selfClosing) continue;
        std::size_t textStart = xml.at();
        std::string_view body = xml.TextUpToTag();
        value = {textStart, body.size()};
        std::size_t badAt = 0;
        auto records = DecodeBase64(body, &badAt);
        if (!records) {
            xml.Fail(ContainerProblem::kBadBase64, textStart + badAt);
            return std::nullopt;
        }
        auto data = FindImageListStreamerData(*records, error);
        if (!data) return std::nullopt;
        // Kept in place of the records, so that a file's lists cost no more than its text.
        const std::size_t start = static_cast<std::size_t>(data->data() - records->data());
        const std::size_t size = data->size();
        records->erase(records->begin(), records->begin() + static_cast<std::ptrdiff_t>(start));
        records->resize(size);
        return records;
    }
    if (!error) xml.Fail(ContainerProblem::kBadRecord, tagStart);
    return std::nullopt;
}

}  // namespace

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

std::string_view ResxDocumentHead() {
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
    return kHead;
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
        ByteSpan value;
        auto data = ReadImageStreamValue(xml, value, error);
        if (!data) {
            if (!error) error.problem = ContainerProblem::kBadRecord;
            if (error.line == 0) error.line = line;
            error.where = name;
            break;
        }
        found.push_back({std::move(name), line, value, std::move(*data)});
    }
    if (!error && !closed) error = {ContainerProblem::kTruncated, xml.LineAt(text.size()), {}};
    if (error) found.clear();
    return found;
}

Bytes ResxImageListStream(const ImageListData& list) {
    if (list.bitsPerPixel != 32 || !list.HasMask() ||
        list.pixels.size() < list.ImageBytes() * list.count ||
        list.mask.size() < list.MaskBytes() * list.count)
        return WriteImageListStream(list);
    ImageListData masked = list;
    for (int i = 0; i < masked.count; ++i) {
        bool alpha = false;
        for (int y = 0; y < masked.height && !alpha; ++y)
            for (int x = 0; x < masked.width && !alpha; ++x)
                alpha = (masked.Pixel(i, x, y) >> 24) != 0;
        for (int y = 0; y < masked.height && alpha; ++y)
            for (int x = 0; x < masked.width; ++x)
                if ((masked.Pixel(i, x, y) >> 24) == 0) masked.SetTransparent(i, x, y, true);
    }
    return WriteImageListStream(masked);
}

std::string WriteResxDocument(std::span<const std::uint8_t> stream, std::string_view name) {
    std::string out(ResxDocumentHead());
    out += "  <data name=\"" + EscapeXml(name) + std::string(kImageStreamSuffix) +
           "\" mimetype=\"" + std::string(kBinaryMime) + "\">\r\n";
    out += "    <value>\r\n";
    // The designer's layout: lines of 80 characters indented by 8, the end tag at the margin.
    out += Base64Lines(SerializeImageListStreamer(stream), 80, "        ", "\r\n");
    out += "\r\n</value>\r\n  </data>\r\n";
    out += kResxDocumentTail;
    return out;
}

}  // namespace iconvale
