#pragma once
// Where the files installed with recasor are: found from the executable's
// own place, so recasor works from any folder, installed or in a build tree.

#include <string>

namespace recasor {

// The default vocabulary: Keywords.ini beside the executable (a build tree),
// else <prefix>/share/recasor/Keywords.ini for <prefix>/bin/recasor.
std::string InstalledVocabularyPath();

}  // namespace recasor
