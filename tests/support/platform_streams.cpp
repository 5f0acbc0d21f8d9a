#include "support/platform_streams.h"

namespace iconvale::testing {

ComPtr<IStream> MemoryStream(std::span<const std::uint8_t> bytes) {
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return {};
    ULONG written = 0;
    if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    return stream;
}

UniqueImageList PlatformRead(std::span<const std::uint8_t> bytes) {
    ComPtr<IStream> stream = MemoryStream(bytes);
    return UniqueImageList(stream ? ::ImageList_Read(stream.get()) : nullptr);
}

}  // namespace iconvale::testing
