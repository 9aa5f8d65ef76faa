#pragma once
// Files in tests: whole-file reads and writes, temporary folders.

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path);
void WriteBytes(const fs::path& path, const std::string& bytes);

// Reports where two (possibly large) byte strings first differ, without
// printing megabytes.
void ExpectSameBytes(const std::string& got, const std::string& expected);

// A new empty folder under the system's temporary folder; empty (and a test
// failure) when it cannot be made.
fs::path MakeTemporaryFolder(const std::string& prefix);

// Removes a temporary folder with everything in it, after giving back every
// permission a test took away.
void RemoveTemporaryFolder(const fs::path& folder);
