#include "app/document_files.h"

#include "core/file_io.h"
#include "core/group_file.h"

namespace iconvale {

bool OpenGroupFrom(ImageGroup& group, std::string_view path) {
    group.Destroy();
    Bytes bytes = ReadWholeFile(path);
    return group.LoadFromBytes(bytes, HasGroupHeaderName(path) ? 1 : 0);
}

}  // namespace iconvale
