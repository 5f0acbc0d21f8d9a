#include "core/image_list_streamer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "core/image_list_stream.h"

namespace iconvale {

namespace {

constexpr char kMagic[4] = {'M', 'S', 'F', 't'};
constexpr std::string_view kLibrary =
    "System.Windows.Forms, Version=4.0.0.0, Culture=neutral, PublicKeyToken=b77a5c561934e089";
constexpr std::string_view kClass = "System.Windows.Forms.ImageListStreamer";
constexpr std::string_view kMember = "Data";

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

bool IsRunLength(std::span<const std::uint8_t> data) {
    return data.size() >= sizeof kMagic && std::memcmp(data.data(), kMagic, sizeof kMagic) == 0;
}

std::optional<std::size_t> SizeRunLength(std::span<const std::uint8_t> pairs, std::size_t limit,
                                         ContainerError& error) {
    if (pairs.size() % 2 != 0) {
        error.problem = ContainerProblem::kBadRunLength;
        return std::nullopt;
    }
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
    return total;
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
    // Sized before anything is allocated, so that a small input cannot ask for a huge output.
    auto total = SizeRunLength(pairs, limit, error);
    if (!total) return std::nullopt;
    try {
        Bytes out;
        out.reserve(*total);
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

std::optional<std::span<const std::uint8_t>> FindImageListStreamerData(
    std::span<const std::uint8_t> records, ContainerError& error) {
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
    return data;
}

std::optional<Bytes> ImageListStreamerPrefix(std::span<const std::uint8_t> data, std::size_t size,
                                             ContainerError& error) {
    if (!IsRunLength(data)) return Bytes(data.begin(), data.begin() + std::min(size, data.size()));
    std::span<const std::uint8_t> pairs = data.subspan(sizeof kMagic);
    // The whole run is checked first, as a full expansion would, so that a prefix never passes
    // what the list itself would refuse.
    if (!SizeRunLength(pairs, kMaxStreamBytes, error)) return std::nullopt;
    Bytes out;
    for (std::size_t i = 0; i < pairs.size() && out.size() < size; i += 2)
        out.insert(out.end(), std::min<std::size_t>(pairs[i], size - out.size()), pairs[i + 1]);
    return out;
}

std::optional<Bytes> ExpandImageListStreamerData(std::span<const std::uint8_t> data,
                                                 ContainerError& error) {
    if (IsRunLength(data))
        return RunLengthDecode(data.subspan(sizeof kMagic), kMaxStreamBytes, error);
    return Bytes(data.begin(), data.end());
}

std::optional<Bytes> DeserializeImageListStreamer(std::span<const std::uint8_t> records,
                                                  ContainerError& error) {
    auto data = FindImageListStreamerData(records, error);
    if (!data) return std::nullopt;
    return ExpandImageListStreamerData(*data, error);
}

}  // namespace iconvale
