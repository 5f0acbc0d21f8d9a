#include "core/container_error.h"

namespace iconvale {

namespace {

const char* ProblemText(ContainerProblem problem) {
    switch (problem) {
        case ContainerProblem::kNone:
            return "no problem";
        case ContainerProblem::kUnknownForm:
            return "not a Delphi or Lazarus form, a .NET resource file or an image-list stream";
        case ContainerProblem::kTruncated:
            return "the file ends too early";
        case ContainerProblem::kBadSyntax:
            return "the form text does not parse";
        case ContainerProblem::kBadHex:
            return "bad hex digit";
        case ContainerProblem::kOddHex:
            return "odd number of hex digits";
        case ContainerProblem::kBadBase64:
            return "bad base64 data";
        case ContainerProblem::kBadRecord:
            return "not a serialized ImageListStreamer";
        case ContainerProblem::kBadRunLength:
            return "damaged run-length data";
        case ContainerProblem::kBadSignature:
            return "unknown image-list signature";
        case ContainerProblem::kBadCompression:
            return "damaged compressed data";
        case ContainerProblem::kBadStream:
            return "the image-list stream is damaged or of an unknown version";
        case ContainerProblem::kTooLarge:
            return "sizes too large for an image list";
        case ContainerProblem::kTooDeep:
            return "objects nested too deeply";
        case ContainerProblem::kOutOfMemory:
            return "not enough memory";
        case ContainerProblem::kOtherCount:
            return "this size holds another number of images than the list";
        case ContainerProblem::kRepeatedSize:
            return "this size repeats another size of the list";
        case ContainerProblem::kListGone:
            return "the list is no longer in the file";
        case ContainerProblem::kSizesOutOfStep:
            return "the list's other sizes hold another number of images";
        case ContainerProblem::kBadPicture:
            return "the picture is damaged or not in a format the list may hold";
        case ContainerProblem::kPictureSize:
            return "the picture's size disagrees with the list's";
        case ContainerProblem::kEmptyCollection:
            return "the collection holds no images";
        case ContainerProblem::kReadOnlyList:
            return "this kind of image list is read but not written";
    }
    return "unknown problem";
}

}  // namespace

std::string DescribeContainerError(const ContainerError& error) {
    std::string text;
    if (error.line > 0) text = "line " + std::to_string(error.line) + ": ";
    if (!error.where.empty() || error.width > 0) {
        text += error.where;
        if (error.width > 0) {
            if (!error.where.empty()) text += ' ';
            text.append(std::to_string(error.width))
                .append("x")
                .append(std::to_string(error.height));
        }
        text += ": ";
    }
    return text + ProblemText(error.problem);
}

}  // namespace iconvale
