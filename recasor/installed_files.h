#pragma once
// Where the files installed with recasor are: found from the program's own
// place, so recasor works from any folder, installed, unpacked from the
// Windows zip or in a build tree.

#include <string>

namespace recasor {

// The default vocabulary: Keywords.ini beside the program (a build tree, the
// Windows zip), else <prefix>/share/recasor/Keywords.ini for
// <prefix>/bin/recasor.
std::string InstalledVocabularyPath();

}  // namespace recasor
