#include "cli/unpack_names.h"

#include <optional>
#include <system_error>
#include <unordered_set>

#include "cli/files.h"
#include "core/export_names.h"

namespace iconvale::cli {

namespace {

namespace fs = std::filesystem;

// Longest file name both Linux (bytes) and Windows (UTF-16 units) take.
constexpr std::size_t kLongestLeaf = 255;

bool IsPlainLeaf(const fs::path& leaf) {
    return !leaf.empty() && leaf == leaf.filename() && leaf != "." && leaf != "..";
}

}  // namespace

std::vector<fs::path> NamedPictureFiles(const fs::path& folder,
                                        const std::vector<std::string>& names,
                                        const std::vector<int>& indices,
                                        std::string_view extension) {
    std::unordered_set<std::string> taken;
    std::error_code code;
    try {
        for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code)) {
            taken.insert(NameKey(Utf8Name(it->path().filename())));
        }
    } catch (const std::exception&) {
        return {};  // a name the platform cannot give as UTF-8, or no memory
    }
    if (code) return {};

    std::vector<std::optional<std::string>> own(indices.size());
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const std::size_t index = static_cast<std::size_t>(indices[i]);
        auto stem = index < names.size() ? FileStemOfName(names[index]) : std::nullopt;
        if (!stem || stem->size() + extension.size() > kLongestLeaf) continue;
        if (IsPlainLeaf(PathFromUtf8(*stem + std::string(extension)))) {
            own[i] = *stem + std::string(extension);
        }
    }
    std::vector<fs::path> paths;
    const fs::path folderItself = (folder / "x").parent_path();
    for (const std::string& leaf : OwnOrNumberedNames(own, extension, taken)) {
        paths.push_back(folder / PathFromUtf8(leaf));
        // Whatever a form holds, nothing is written anywhere but in the folder.
        if (paths.back().parent_path() != folderItself) return {};
    }
    return paths;
}

}  // namespace iconvale::cli
