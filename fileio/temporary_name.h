#pragma once
// The name of an output's temporary file: "~", six letters or digits and
// ".tmp", in the target's folder. Eleven characters fit in every file system
// that POSIX or Windows knows, so the name fits wherever the target's does,
// and no source pattern (*.bas, *.bi, *.inc) ever matches it.

#include <cstdint>
#include <functional>
#include <string>

// `folder` is empty or ends with a separator; `randomBits` picks the six
// characters.
std::string TemporaryName(const std::string& folder, std::uint64_t randomBits);

// Creates a new file under a temporary name in `folder`. `createNew` creates
// the named file exclusively and returns its descriptor, or -1 with errno
// EEXIST when the name is taken (the next name is tried) or any other error.
// Returns the descriptor, with its name in `name`, or -1.
int CreateTemporaryFile(const std::string& folder, const std::function<std::uint64_t()>& randomBits,
                        const std::function<int(const std::string& name)>& createNew, std::string& name);
