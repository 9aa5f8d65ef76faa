// Places, folders and links on POSIX.

#include <fnmatch.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform.h"

namespace recasor {

namespace fs = std::filesystem;

std::string CurrentFolder() { return fs::current_path().string(); }

std::string ProgramFolder()
{
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error).parent_path().string();
}

PathState LookAtPath(const std::string& name)
{
    struct stat info;
    if (::stat(name.c_str(), &info) != 0) return PathState{false, false, std::strerror(errno)};
    return PathState{true, S_ISDIR(info.st_mode), ""};
}

bool IsOrdinaryFile(const std::string& name)
{
    struct stat info;
    return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries, std::string& reason)
{
    std::error_code error;
    entries.clear();
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code ignored;
        entries.push_back({it->path().filename().string(), it->is_directory(ignored), it->is_symlink(ignored)});
    }
    if (error) reason = error.message();
    return !error;
}

std::string ResolvedName(const std::string& name)
{
    std::unique_ptr<char, decltype(&::free)> resolved(::realpath(name.c_str(), nullptr), &::free);
    return resolved ? std::string(resolved.get()) : name;
}

bool MatchesPattern(const std::string& pattern, const std::string& text, bool isPath)
{
    return ::fnmatch(pattern.c_str(), text.c_str(), isPath ? FNM_PATHNAME | FNM_PERIOD : FNM_PERIOD) == 0;
}

}  // namespace recasor
