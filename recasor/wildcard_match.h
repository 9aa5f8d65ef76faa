#pragma once
// Wildcards as fnmatch(3) reads them with FNM_PERIOD (and FNM_PATHNAME for
// a whole path), for systems that have no fnmatch: "*" any run of
// characters, "?" one character, "[...]" one of a set ("[!...]" or
// "[^...]": one not in it, "a-z" a range of code points). Characters are
// UTF-8 sequences. Any separator of the pattern matches any separator of
// the text; there is no escape character, as "\" may be a separator.
// Letter case counts: callers that ignore it fold both sides first.

#include <string_view>

namespace recasor {

// `wholePath`: "*", "?" and sets never match a separator, and a dot that
// starts the text or follows a separator is matched only by a dot. Else
// only the dot that starts the text is.
bool WildcardMatch(std::string_view pattern, std::string_view text, std::string_view separators, bool wholePath);

}  // namespace recasor
