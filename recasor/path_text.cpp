#include "path_text.h"

namespace recasor {

namespace fs = std::filesystem;

// Windows names are UTF-8 here: through char8_t, std::filesystem converts
// them exactly, whatever the runtime's locale.
#ifdef _WIN32
fs::path PathOf(const std::string& text)
{
    return fs::path(std::u8string_view(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

std::string TextOf(const fs::path& path)
{
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
#else
fs::path PathOf(const std::string& text) { return fs::path(text); }
std::string TextOf(const fs::path& path) { return path.string(); }
#endif

std::string AbsoluteName(const std::string& folder, const std::string& name)
{
    fs::path normal = (PathOf(folder) / PathOf(name)).lexically_normal();
    std::string text = TextOf(normal);
    if (normal.has_relative_path() && HasSeparator(std::string_view(text).substr(text.size() - 1))) text.pop_back();
    return text;
}

std::string FolderOf(const std::string& name) { return TextOf(PathOf(name).parent_path()); }

bool IsTopFolder(const std::string& folder)
{
    fs::path path = PathOf(folder);
    if (!path.has_relative_path()) return true;
    // \\server\share: the share is the top; \\server alone is no folder.
    std::string root = TextOf(path.root_name());
    bool uncRoot = root.size() > 2 && HasSeparator(root.substr(0, 1)) && HasSeparator(root.substr(1, 1));
    return uncRoot && std::distance(path.relative_path().begin(), path.relative_path().end()) == 1;
}

bool HasSeparator(std::string_view text) { return text.find_first_of(kPathSeparators) != std::string_view::npos; }

std::string ShownChild(const std::string& folder, const std::string& name)
{
    if (folder.empty() || HasSeparator(std::string_view(folder).substr(folder.size() - 1))) return folder + name;
    return folder + kPreferredSeparator + name;
}

}  // namespace recasor
