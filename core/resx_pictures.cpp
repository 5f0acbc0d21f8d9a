#include "core/resx_pictures.h"

#include <new>
#include <unordered_set>

#include "core/embedded_pictures.h"
#include "core/export_names.h"
#include "core/list_pictures.h"
#include "core/resx_image_stream.h"
#include "core/text_codecs.h"

namespace iconvale {

namespace {

// The alias lets the data elements name their type as the designer does; the full identity is
// what readers resolve it to.
constexpr std::string_view kDrawingAssembly =
    "  <assembly alias=\"System.Drawing\" name=\"System.Drawing, Version=4.0.0.0, "
    "Culture=neutral, PublicKeyToken=b03f5f7f11d50a3a\" />\r\n";
constexpr std::string_view kBitmapAttributes =
    "\" type=\"System.Drawing.Bitmap, System.Drawing\" "
    "mimetype=\"application/x-microsoft.net.object.bytearray.base64\">\r\n";

}  // namespace

std::vector<std::string> ResourceNamesOf(const std::vector<std::string>& names, int count) {
    std::vector<std::optional<std::string>> own(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < own.size() && i < names.size(); ++i)
        own[i] = ResourceNameOf(names[i]);
    std::unordered_set<std::string> taken;
    return OwnOrNumberedNames(own, "", taken);
}

std::string WriteResxPictures(const ImageListData& images, const std::vector<std::string>& names) {
    try {
        const std::vector<std::uint32_t> palette =
            images.palette.empty() ? DefaultPalette(images.bitsPerPixel) : images.palette;
        const std::vector<std::string> resourceNames = ResourceNamesOf(names, images.count);
        std::string out(ResxDocumentHead());
        out += kDrawingAssembly;
        for (int i = 0; i < images.count; ++i) {
            const Bytes png = EncodePngPicture(ImageAsPicture(images, palette, i));
            if (png.empty()) return {};
            out += "  <data name=\"" + EscapeXml(resourceNames[static_cast<std::size_t>(i)]);
            out += kBitmapAttributes;
            out += "    <value>\r\n";
            // Laid out as WriteResxDocument lays out an image stream.
            out += Base64Lines(png, 80, "        ", "\r\n");
            out += "\r\n</value>\r\n  </data>\r\n";
        }
        out += kResxDocumentTail;
        return out;
    } catch (const std::bad_alloc&) {
        return {};
    }
}

}  // namespace iconvale
