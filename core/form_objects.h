// What the form readers (Delphi and Lazarus text forms, Delphi binary forms) hand on: every
// object that carries a binary "Bitmap" property, which is where image lists keep their images,
// with Lazarus's "BitmapAdv" (the list's further sizes) beside it when there is one.
#pragma once

#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/container_error.h"

namespace iconvale {

// Where an image list's size and depth properties stand in its object, so that a write can
// change them in place: each value's text in a text form, or its value type and bytes in a binary
// one; size 0 when the property is absent (it holds its default).
struct FormListProperties {
    ByteSpan width;
    ByteSpan height;
    ByteSpan colorDepth;
    std::size_t bitmapName = 0;  // where the Bitmap property's name starts; new ones go before it
};

struct FormBitmap {
    std::string name;       // component name; empty for an unnamed object
    std::string className;  // e.g. TImageList
    int line = 0;           // line of the object's header in a text form
    int order = 0;          // how many objects opened before this one, for the file order
    Bytes bitmap;           // the property's bytes, as stored
    Bytes advanced;         // BitmapAdv's bytes; empty when there is none
    // Where each value stands in the file, so that it can be replaced in place: the text
    // between the braces of a text form, or the length and bytes of a binary one.
    ByteSpan bitmapSpan;
    ByteSpan advancedSpan;  // size 0 when there is no BitmapAdv
    FormListProperties properties;
};

// The containers that keep each image as a picture file in an item of a collection property.
enum class PictureCollectionKind {
    kImageCollection,  // Images = < item Name SourceImages = < item Image.Data (PNG) > >
    kPngImageList,     // PngImages = < item Name PngImage.Data (PNG) >
    kCxImageList,      // ImageInfo = < item Image.Data (length, then a BMP file) Mask.Data >
};

// One picture value of an item, as stored, and where it stands (as FormBitmap's values do).
struct FormPicture {
    Bytes data;
    ByteSpan span;
};

struct FormPictureItem {
    std::string name;  // its Name, UTF-8; empty when it has none
    // The whole item: from "item" to the end of its "end" in a text form, from its list marker
    // to its closing zero in a binary one.
    ByteSpan span;
    std::vector<FormPicture> pictures;  // an image collection's source images; otherwise one
    FormPicture mask;                   // a DevExpress item's Mask.Data; empty when absent
};

struct FormPictureCollection {
    PictureCollectionKind kind = PictureCollectionKind::kImageCollection;
    std::string name;
    std::string className;
    int line = 0;
    int order = 0;
    // The collection value: from '<' to '>' in a text form, from its value type to its closing
    // zero in a binary one; items are replaced within it.
    ByteSpan value;
    std::vector<FormPictureItem> items;
    FormListProperties properties;  // Width and Height where the component has them
};

struct FormObjects {
    std::vector<FormBitmap> bitmaps;                 // in the order the objects open
    std::vector<FormPictureCollection> collections;  // likewise
    ContainerError error;  // set, with no bitmaps, when the form is damaged
};

// Deeper nesting than this is refused: no real form comes near it, and it keeps a forged one
// from exhausting the stack.
inline constexpr int kMaxFormDepth = 200;

}  // namespace iconvale
