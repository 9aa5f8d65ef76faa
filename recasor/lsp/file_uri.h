#pragma once
// The file a document's URI names.

#include <string>
#include <string_view>

namespace recasor {

// "file:///home/ann/a%20b.bas" gives "/home/ann/a b.bas", and
// "file:///c%3A/src/x.bas" gives "c:/src/x.bas", and
// "file://server/share/x.bas" the share's "//server/share/x.bas". A URI of
// another scheme gives "".
std::string PathOfFileUri(std::string_view uri);

}  // namespace recasor
