#include "installed_files.h"

#include <filesystem>
#include <system_error>

#include "vocabulary_file.h"

namespace recasor {

namespace fs = std::filesystem;

std::string InstalledVocabularyPath()
{
    std::error_code error;
    fs::path folder = fs::read_symlink("/proc/self/exe", error).parent_path();
    fs::path besideProgram = folder / kKeywordsFileName;
    fs::path shared = (folder / ".." / "share" / "recasor" / kKeywordsFileName).lexically_normal();
    if (!fs::exists(besideProgram, error) && fs::exists(shared, error)) return shared.string();
    return besideProgram.string();
}

}  // namespace recasor
