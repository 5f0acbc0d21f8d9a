#include "cli/picture_inputs.h"

#include <algorithm>
#include <system_error>

#include "cli/arguments.h"
#include "cli/files.h"
#include "core/file_forms.h"

namespace iconvale::cli {

namespace fs = std::filesystem;

bool IsPictureName(const fs::path& path) {
    static constexpr const char* kExtensions[] = {".jpg", ".jpeg", ".jpe",  ".jfif", ".bmp",
                                                  ".gif", ".tif",  ".tiff", ".png",  ".ico"};
    const std::string extension = LowerExtension(Utf8Name(path.filename()));
    return std::find(std::begin(kExtensions), std::end(kExtensions), extension) !=
           std::end(kExtensions);
}

bool IsIconFileName(const fs::path& path) {
    return LowerExtension(Utf8Name(path.filename())) == ".ico";
}

bool GatherPictures(const std::vector<std::string>& inputs, std::vector<fs::path>& pictures,
                    const Console& console) {
    for (const std::string& input : inputs) {
        const fs::path path = PathFromUtf8(input);
        std::error_code code;
        if (!fs::is_directory(path, code)) {
            pictures.push_back(path);
            continue;
        }
        std::vector<fs::path> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(path, code)) {
            if (entry.is_regular_file(code) && IsPictureName(entry.path()))
                found.push_back(entry.path());
        }
        if (code) return console.Fail(input, "cannot list the folder"), false;
        std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
            return NaturalLess(Utf8Name(a.filename()), Utf8Name(b.filename()));
        });
        if (found.empty()) return console.Fail(input, "holds no pictures"), false;
        pictures.insert(pictures.end(), found.begin(), found.end());
    }
    return true;
}

}  // namespace iconvale::cli
