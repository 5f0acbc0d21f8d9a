// A fresh folder under the system's temporary folder, removed with everything in it at the end.
#pragma once

#include <string>

#include "core/bytes.h"

namespace iconvale::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }  // GBK, no trailing backslash
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

bool WriteBytes(const std::string& path, const Bytes& bytes);
bool FileExists(const std::string& path);

}  // namespace iconvale::testing
