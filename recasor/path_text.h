#pragma once
// File names as recasor keeps them: std::string, UTF-8 on Windows and the
// system's bytes on POSIX, with std::filesystem for the arithmetic. On
// Windows both "\" and "/" separate, drive letters and \\server\share
// start a path, and a normal path is written with "\".

#include <filesystem>
#include <string>
#include <string_view>

namespace recasor {

#ifdef _WIN32
inline constexpr std::string_view kPathSeparators = "\\/";
inline constexpr char kPreferredSeparator = '\\';
#else
inline constexpr std::string_view kPathSeparators = "/";
inline constexpr char kPreferredSeparator = '/';
#endif

std::filesystem::path PathOf(const std::string& text);
std::string TextOf(const std::filesystem::path& path);

// `name` made absolute from `folder` and made normal ("." and ".." and
// doubled separators gone), without a separator at the end unless it is a
// root.
std::string AbsoluteName(const std::string& folder, const std::string& name);

// The folder that holds `name` (absolute and normal).
std::string FolderOf(const std::string& name);

// True for a folder that has no folder above it where settings may be:
// "/", a drive root "C:\", or the share "\\server\share" itself.
bool IsTopFolder(const std::string& folder);

bool HasSeparator(std::string_view text);

// `name` inside `folder` as the user wrote the folder: "src" + "a.bas" is
// "src/a.bas" ("src\a.bas" on Windows); a folder that ends with a
// separator keeps it alone.
std::string ShownChild(const std::string& folder, const std::string& name);

}  // namespace recasor
