#include "app/group_files.h"

#include "core/file_io.h"
#include "core/file_forms.h"

namespace iconvale {

namespace {

int HeaderFlagFor(const std::string& path) {
    return FileFormForName(path) == FileForm::kEil ? 1 : 0;
}

}  // namespace

bool ReadGroupFile(const std::string& path, ImageGroup& group, const ProgressSteps& steps) {
    return group.LoadFromBytes(ReadWholeFile(path), HeaderFlagFor(path), steps);
}

bool WriteGroupFile(const std::string& path, const ImageGroup& group) {
    const Bytes bytes = group.SaveToBytes(HeaderFlagFor(path));
    return !bytes.empty() && WriteFileAtomically(path, bytes);
}

}  // namespace iconvale
