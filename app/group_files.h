// Group files on disk. The name decides the form: one ending in ".eil" holds the group header
// before the stream, any other the bare stream. Saving goes through a temporary file beside the
// target, so a failed save leaves the old file as it was.
#pragma once

#include <string>

#include "core/image_group.h"
#include "ui/progress_reporter.h"

namespace iconvale {

// Replaces the group's list by the file's; false, with the group left empty, when it did not.
// `steps` hears how far the loading has come.
bool ReadGroupFile(const std::string& path, ImageGroup& group, const ProgressSteps& steps = {});
bool WriteGroupFile(const std::string& path, const ImageGroup& group);

}  // namespace iconvale
