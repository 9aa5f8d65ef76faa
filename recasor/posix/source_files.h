#pragma once
// Reading a source file whole and rewriting it in place.

#include <string>

namespace recasor {

// The whole content of an ordinary file. False, with the reason, when the
// name is no ordinary file or cannot be read.
bool ReadSourceFile(const std::string& name, std::string& content, std::string& reason);

// Replaces the file's content atomically (a temporary file beside it, then a
// rename), keeping its permissions. False, with the reason, when the file is
// write-protected or the write fails; the file is then as it was.
bool RewriteFile(const std::string& name, const std::string& content, std::string& reason);

// All of standard input, or false with the reason.
bool ReadStandardInput(std::string& content, std::string& reason);

// Writes all of `bytes` to a file descriptor; false when that fails.
bool WriteAll(int fd, const std::string& bytes);

}  // namespace recasor
