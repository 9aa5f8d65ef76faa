#pragma once
// Reading a source file whole and rewriting it in place, through the shared
// fileio library: only ordinary files are read, opened once without
// waiting; a rewrite goes to a short-named temporary file beside the file
// and is renamed over it, keeps its permissions (and owner, where allowed),
// refuses a write-protected file and leaves no debris, not even on SIGTERM,
// SIGHUP, SIGINT or SIGPIPE.

#include <string>

namespace recasor {

// The whole content of an ordinary file. False, with the reason, when the
// name is no ordinary file or cannot be read.
bool ReadSourceFile(const std::string& name, std::string& content, std::string& reason);

// Replaces the file's content. False, with the reason, when the file is
// write-protected or the write fails; the file is then as it was. Safe to
// call from several threads at once.
bool RewriteFile(const std::string& name, const std::string& content, std::string& reason);

// All of standard input, or false with the reason.
bool ReadStandardInput(std::string& content, std::string& reason);

}  // namespace recasor
