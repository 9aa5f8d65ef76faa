#pragma once
// Writing a whole byte string to a file descriptor on POSIX systems, through
// interrupted and partial writes (messages, filter output, progress lines).

#include <string>

// Writes all of `bytes` to `fd`; false when the descriptor refuses them.
bool WriteAll(int fd, const std::string& bytes);
