// A data object holding a list of files, as the shell hands one over when files are dropped.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

namespace iconvale::testing {

// A new object with one reference; the caller releases it.
IDataObject* NewFileDropData(const std::vector<std::wstring>& paths);

}  // namespace iconvale::testing
