// Deterministic generator of large, realistic-looking BASIC source files.
//
// The output mixes FreeBasic- and PowerBasic-style code written in mixed,
// lower and upper case: declarations, Sub/Function blocks, control flow,
// Windows API message handling, DATA and REM lines, comments and string
// literals that contain keywords and apostrophes, CR LF and LF-only line
// ends, and now and then a very long line (tens of KB).
#pragma once

#include <cstdint>
#include <string>

namespace trx_bench {

struct GeneratedFile {
    std::uint64_t bytes = 0;         // total file size
    std::uint64_t lines = 0;         // number of line ends written
    std::uint64_t lf_only_lines = 0; // lines ended by a bare LF
    std::uint64_t longest_line = 0;  // longest line, without its line end
};

// Writes BASIC source to `path` until at least `min_bytes` bytes have been
// written (the last block is always completed). The same seed and size
// always give the same bytes; a smaller size gives a prefix-like file.
// Throws std::runtime_error if the file cannot be written.
GeneratedFile generate_basic_file(const std::string& path,
                                  std::uint64_t min_bytes,
                                  std::uint64_t seed);

}  // namespace trx_bench
