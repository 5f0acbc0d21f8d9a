#include "core/form_collections.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace iconvale {

namespace {

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::optional<PictureCollectionKind> PictureCollectionProperty(std::string_view property) {
    if (SameWord(property, "Images")) return PictureCollectionKind::kImageCollection;
    if (SameWord(property, "PngImages")) return PictureCollectionKind::kPngImageList;
    if (SameWord(property, "ImageInfo")) return PictureCollectionKind::kCxImageList;
    return std::nullopt;
}

ItemProperty ItemPropertyOf(PictureCollectionKind kind, std::string_view property) {
    if (SameWord(property, "Name")) return ItemProperty::kName;
    switch (kind) {
        case PictureCollectionKind::kImageCollection:
            return SameWord(property, "SourceImages") ? ItemProperty::kSources
                                                      : ItemProperty::kOther;
        case PictureCollectionKind::kPngImageList:
            return SameWord(property, "PngImage.Data") ? ItemProperty::kPicture
                                                       : ItemProperty::kOther;
        case PictureCollectionKind::kCxImageList:
            if (SameWord(property, "Image.Data")) return ItemProperty::kPicture;
            return SameWord(property, "Mask.Data") ? ItemProperty::kMask : ItemProperty::kOther;
    }
    return ItemProperty::kOther;
}

bool IsPictureCollection(const FormPictureCollection& collection, std::string_view className) {
    if (collection.kind != PictureCollectionKind::kImageCollection) return true;
    std::string lower(className);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.find("imagecollection") != std::string::npos) return true;
    return std::any_of(collection.items.begin(), collection.items.end(),
                       [](const FormPictureItem& item) { return !item.pictures.empty(); });
}

void AddItemPicture(FormPictureItem& item, ItemProperty property, FormPicture picture) {
    if (property == ItemProperty::kMask) {
        item.mask = std::move(picture);
    } else {
        item.pictures.push_back(std::move(picture));
    }
}

void AddSourcePictures(FormPictureItem& item, FormPictureCollection& sources) {
    for (FormPictureItem& source : sources.items) {
        for (FormPicture& picture : source.pictures) item.pictures.push_back(std::move(picture));
    }
}

void PlaceCollection(FormObjects& objects, std::size_t before, FormPictureCollection collection,
                     const FormBitmap& component, std::size_t propertyName) {
    collection.name = component.name;
    collection.className = component.className;
    collection.line = component.line;
    collection.order = component.order;
    collection.properties = component.properties;
    collection.properties.bitmapName = propertyName;
    objects.collections.insert(objects.collections.begin() + static_cast<std::ptrdiff_t>(before),
                               std::move(collection));
}

}  // namespace iconvale
