#pragma once
// The name of an output's temporary file: "~", six letters or digits and
// ".tmp", in the target's folder. Eleven characters fit in every file system
// that POSIX or Windows knows, so the name fits wherever the target's does,
// and no source pattern (*.bas, *.bi, *.inc) ever matches it.

#include <cstdint>
#include <string>

// `folder` is empty or ends with a separator; `randomBits` picks the six
// characters.
std::string TemporaryName(const std::string& folder, std::uint64_t randomBits);
