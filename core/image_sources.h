// Which image of an imported list each image of the group came from, followed through the
// group's changes, so that the other sizes of a multi-size list can be kept in step when the
// group is written back. Portable.
#pragma once

#include <vector>

#include "core/group_change.h"

namespace iconvale {

// An image added or replaced since the import.
inline constexpr int kNewImage = -1;

// The sources after `step`, given those before it; `countAfter` is the group's count after it.
// A step that holds a whole copy, or that disagrees with the count, leaves every image new.
std::vector<int> SourcesAfter(const GroupChange& step, std::vector<int> sources, int countAfter);

}  // namespace iconvale
