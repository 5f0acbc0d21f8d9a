// What went wrong while reading an image-list container (a form, a resource file), with the
// line it happened on where the container is text, so that the caller can say it plainly.
#pragma once

#include <string>

namespace iconvale {

enum class ContainerProblem {
    kNone,
    kUnknownForm,     // not a form, a resource file or an image-list stream
    kTruncated,       // ends inside a value, a record or a block
    kBadSyntax,       // the text of a form does not parse
    kBadHex,          // a binary property holds a character that is not a hex digit
    kOddHex,          // a binary property holds an odd number of hex digits
    kBadBase64,       // a resource value holds a character or padding base64 does not allow
    kBadRecord,       // a serialized .NET record is not the one an image list writes
    kBadRunLength,    // "MSFt" run-length pairs with a count of 0 or an odd length
    kBadSignature,    // an image-list property starts with a signature we do not read
    kBadCompression,  // the zlib data is damaged or does not hold what its header says
    kBadStream,       // the image-list stream inside is damaged or of a version we do not read
    kTooLarge,        // sizes beyond what a list may hold, or overflowing arithmetic
    kTooDeep,         // objects nested deeper than any real form
    kOutOfMemory,
    kOtherCount,       // one size of a multi-size list holds another number of images
    kRepeatedSize,     // one size of a multi-size list has the width of another
    kListGone,         // a list (or a size of it) to be written back is not in the file
    kSizesOutOfStep,   // images written into one size of a multi-size list differ in count
    kBadPicture,       // a collection's picture is not a PNG (or BMP) or is damaged
    kPictureSize,      // a picture's size disagrees with the list's
    kEmptyCollection,  // a picture collection holds no images, so it has no size
    kReadOnlyList,     // a kind of list that is read but not written
};

struct ContainerError {
    ContainerProblem problem = ContainerProblem::kNone;
    int line = 0;       // 1-based line of a text container; 0 where there is none
    std::string where;  // the component the problem is in, when known
    int width = 0;      // the size of a multi-size list the problem is in; 0 for the list
    int height = 0;

    explicit operator bool() const { return problem != ContainerProblem::kNone; }
};

// One English sentence for logs and the command line, e.g. "line 12: bad hex digit".
std::string DescribeContainerError(const ContainerError& error);

}  // namespace iconvale
