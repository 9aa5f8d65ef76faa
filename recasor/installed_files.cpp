#include "installed_files.h"

#include "path_text.h"
#include "platform.h"
#include "vocabulary_file.h"

namespace recasor {

std::string InstalledVocabularyPath()
{
    std::string folder = ProgramFolder();
    std::string besideProgram = TextOf(PathOf(folder) / kKeywordsFileName);
    std::string shared = TextOf((PathOf(folder) / ".." / "share" / "recasor" / kKeywordsFileName).lexically_normal());
    if (!LookAtPath(besideProgram).exists && LookAtPath(shared).exists) return shared;
    return besideProgram;
}

}  // namespace recasor
