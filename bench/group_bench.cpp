// Opening and saving a group: our parse and store against the platform's own stream reader and
// writer on the same bytes, and against copying the bytes.
#include <objidl.h>
#include <commctrl.h>

#include <cstring>

#include "benches.h"
#include "core/image_group.h"
#include "fixtures.h"
#include "ui/win_handles.h"

namespace iconvale::bench {

namespace {

ComPtr<IStream> MemoryStream(const Bytes& bytes) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(::GlobalLock(block), bytes.data(), bytes.size());
    ::GlobalUnlock(block);
    IStream* stream = nullptr;
    ::CreateStreamOnHGlobal(block, TRUE, &stream);
    return ComPtr<IStream>(stream);
}

}  // namespace

void MeasureOpenAndSave(Report& report) {
    for (int count : kGroupSizes) {
        const Bytes bytes = PlatformGroupStream(count);
        const std::string size = std::to_string(count) + " x 32x32x32 + mask";
        Bytes copy(bytes.size());
        auto copyBytes = [&] { std::memcpy(copy.data(), bytes.data(), bytes.size()); };

        ImageGroup group;
        auto open = [&] { group.LoadFromBytes(bytes, 0); };
        // The stream is made and rewound outside the timing: only the read is the platform's.
        ComPtr<IStream> stream = MemoryStream(bytes);
        auto platformOpen = [&] { UniqueImageList list(::ImageList_Read(stream.get())); };
        auto rewind = [&] { stream->Seek({}, STREAM_SEEK_SET, nullptr); };
        report.Add("open " + size, "ImageList_Read", Compare(kRuns, open, platformOpen, rewind), 1.0);
        report.Add("open " + size, "memcpy of the file", Compare(kRuns, open, copyBytes), 5.0);

        if (!group.LoadFromBytes(bytes, 0)) continue;
        auto save = [&] { Bytes saved = group.SaveToBytes(0); };
        auto platformSave = [&] {
            IStream* out = nullptr;
            ::CreateStreamOnHGlobal(nullptr, TRUE, &out);
            ComPtr<IStream> owner(out);
            ::ImageList_Write(group.GetHandle(), out);
        };
        report.Add("save " + size, "ImageList_Write", Compare(kRuns, save, platformSave), 1.0);
        report.Add("save " + size, "memcpy of the file", Compare(kRuns, save, copyBytes), 5.0);
    }
}

}  // namespace iconvale::bench
