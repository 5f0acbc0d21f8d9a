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
    // The file's pixels go back as they are put in the list, so that a large group is not held
    // twice over while it opens.
    PageBuffer file = ReadFilePages(path);
    if (file.empty()) {
        group.Destroy();
        return false;
    }
    return group.LoadFromBytes(
        {file.data(), file.size()}, HeaderFlagFor(path), steps,
        [&file](const std::uint8_t* begin, const std::uint8_t* end) { file.Release(begin, end); });
}

bool WriteGroupFile(const std::string& path, const ImageGroup& group) {
    const Bytes bytes = group.SaveToBytes(HeaderFlagFor(path));
    return !bytes.empty() && WriteFileAtomically(path, bytes);
}

}  // namespace iconvale
