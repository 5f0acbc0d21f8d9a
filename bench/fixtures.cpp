#include "fixtures.h"

#include <objidl.h>
#include <commctrl.h>

#include <cstring>

#include "ui/text.h"
#include "ui/win_handles.h"

namespace iconvale::bench {

Bytes StreamBytes(IStream* stream) {
    HGLOBAL block = nullptr;
    STATSTG stat{};
    if (FAILED(::GetHGlobalFromStream(stream, &block)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) {
        return {};
    }
    const auto* data = static_cast<const std::uint8_t*>(::GlobalLock(block));
    Bytes bytes(data, data + stat.cbSize.QuadPart);
    ::GlobalUnlock(block);
    return bytes;
}

Bytes PlatformGroupStream(int count) {
    UniqueImageList list(::ImageList_Create(kCell, kCell, ILC_COLOR32 | ILC_MASK, count, 4));
    // One strip of 256 cells at a time: each pixel different, a transparent corner per image.
    constexpr int kPerStrip = 256;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kCell * kPerStrip, -kCell, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap strip(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    struct MonoInfo {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } mono{{sizeof(BITMAPINFOHEADER), kCell * kPerStrip, -kCell, 1, 1, BI_RGB, 0, 0, 0, 2, 0},
           {{0, 0, 0, 0}, {0xFF, 0xFF, 0xFF, 0}}};
    void* maskBits = nullptr;
    UniqueBitmap mask(::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&mono), DIB_RGB_COLORS,
                                         &maskBits, nullptr, 0));
    const int maskStride = kCell * kPerStrip / 8;
    for (int first = 0; first < count; first += kPerStrip) {
        auto* pixels = static_cast<std::uint32_t*>(bits);
        auto* maskRows = static_cast<std::uint8_t*>(maskBits);
        std::memset(maskRows, 0, static_cast<std::size_t>(maskStride) * kCell);
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell * kPerStrip; ++x) {
                const int image = first + x / kCell;
                const bool clear = x % kCell < 4 && y < 4;
                pixels[y * kCell * kPerStrip + x] =
                    clear ? 0 : 0xFF000000u | (image & 0xFF) << 16 | (x & 0xFF) << 8 | (y * 8 & 0xFF);
                if (clear) maskRows[y * maskStride + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        ::GdiFlush();
        ::ImageList_Add(list.get(), strip.get(), mask.get());
    }
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return {};
    ComPtr<IStream> owner(stream);
    if (!::ImageList_Write(list.get(), stream)) return {};
    return StreamBytes(stream);
}

std::string NewTempFolder(const std::string& name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"iconvale-bench-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                          WidePtr(ToWide(name));
    RemoveFolder(ToNarrow(std::wstring_view(folder)) + "\\");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return ToNarrow(std::wstring_view(folder)) + "\\";
}

void RemoveFolder(const std::string& folder) {
    const std::wstring wide = WidePtr(ToWide(folder));
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((wide + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((wide + found.cFileName).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(wide.c_str());
}

}  // namespace iconvale::bench
