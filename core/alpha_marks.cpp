#include "core/alpha_marks.h"

#include <commoncontrols.h>  // after commctrl.h, whose types it uses

#include "ui/large_buffer.h"

namespace iconvale {

std::optional<std::vector<std::uint8_t>> ReadAlphaMarks(HIMAGELIST list, int first, int n) {
    // IID_IImageList, which MinGW's libraries do not carry; the query is looked up by name, as
    // MinGW's import library leaves it out.
    static const IID imageListId = {
        0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};
    using QueryInterface = HRESULT(WINAPI*)(HIMAGELIST, REFIID, void**);
    static const auto query = reinterpret_cast<QueryInterface>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"comctl32.dll"), "HIMAGELIST_QueryInterface")));
    IImageList* face = nullptr;
    if (!query || n < 0 || FAILED(query(list, imageListId, reinterpret_cast<void**>(&face))) ||
        !face) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> marks;
    bool told = TryResize(marks, n);
    for (int i = 0; told && i < n; ++i) {
        DWORD flags = 0;
        told = face->GetItemFlags(first + i, &flags) == S_OK;
        marks[i] = (flags & ILIF_ALPHA) != 0;
    }
    face->Release();
    if (!told) return std::nullopt;
    return marks;
}

}  // namespace iconvale
