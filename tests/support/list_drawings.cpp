#include "support/list_drawings.h"

#include <algorithm>

#include "core/dib_bitmaps.h"
#include "ui/win_handles.h"

#include <commoncontrols.h>  // after commctrl.h, whose types it uses

namespace iconvale::testing {

std::vector<std::uint32_t> Drawings(HIMAGELIST list, int count) {
    int width = 0;
    int height = 0;
    ::ImageList_GetIconSize(list, &width, &height);
    DibSection canvas = CreateTopDownSection(width, height, 32, {});
    UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    ::SelectObject(dc.get(), canvas.bitmap.get());
    std::vector<std::uint32_t> shown;
    // IID_IImageList, which MinGW's libraries do not carry.
    const IID imageListId = {
        0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};
    // Looked up by name: MinGW's import library leaves it out.
    using QueryInterface = HRESULT(WINAPI*)(HIMAGELIST, REFIID, void**);
    const auto query = reinterpret_cast<QueryInterface>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"comctl32.dll"), "HIMAGELIST_QueryInterface")));
    IImageList* face = nullptr;
    if (query) query(list, imageListId, reinterpret_cast<void**>(&face));
    if (count < 0) count = ::ImageList_GetImageCount(list);
    for (int i = 0; i < count; ++i) {
        for (UINT style : {ILD_NORMAL, ILD_TRANSPARENT}) {
            ::GdiFlush();
            auto* pixels = reinterpret_cast<std::uint32_t*>(canvas.pixels.bits);
            std::fill(pixels, pixels + width * height, 0x00804020u);
            ::ImageList_Draw(list, i, dc.get(), 0, 0, style);
            ::GdiFlush();
            shown.insert(shown.end(), pixels, pixels + width * height);
        }
        DWORD flags = 0;
        if (face && face->GetItemFlags(i, &flags) == S_OK) shown.push_back(flags);
    }
    if (face) face->Release();
    return shown;
}

}  // namespace iconvale::testing
