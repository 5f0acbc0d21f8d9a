#include "core/delphi_form.h"

#include "core/text_codecs.h"

namespace iconvale {

namespace {

// Delphi's form writer puts 32 bytes on each line of a binary value.
constexpr std::size_t kBytesPerLine = 32;

}  // namespace

std::string_view DelphiColorDepth(std::uint16_t flags) {
    switch (flags & kDepthBits) {
        case 4:
            return "cd4Bit";
        case 8:
            return "cd8Bit";
        case 16:
            return "cd16Bit";
        case 24:
            return "cd24Bit";
        case 32:
            return "cd32Bit";
        default:
            return "cdDeviceDependent";
    }
}

std::string WriteDelphiFormBlock(const ImageListData& list, std::string_view name) {
    Bytes stream = WriteImageListStream(list);
    if (stream.empty()) return {};
    std::string out = "object " + std::string(name) + ": TImageList\r\n";
    out += "  ColorDepth = " + std::string(DelphiColorDepth(list.flags)) + "\r\n";
    if (list.background != kNoColour)
        out += "  BkColor = " + std::to_string(list.background) + "\r\n";
    out += "  Height = " + std::to_string(list.height) + "\r\n";
    if (!list.HasMask()) out += "  Masked = False\r\n";
    out += "  Width = " + std::to_string(list.width) + "\r\n";
    // The brace that closes the value ends its last line, as Delphi writes it.
    out += "  Bitmap = {\r\n" + HexLines(stream, kBytesPerLine, "    ", "\r\n") + "}\r\nend\r\n";
    return out;
}

}  // namespace iconvale
