// Vocabularies built to hurt a lookup table, and sources that use them.
#pragma once

#include <cstdint>
#include <string>

namespace trx_bench {

// Writes `directory`/Keywords.ini whose FreeBasic keywords are `count`
// 16-byte words that differ only in bytes 6, 7, 14 and 15 (the bytes a weak
// hash drops), and `directory`/`source` (about `source_bytes`) whose lines
// use those words and near misses of them. Returns the vocabulary's size.
std::uint64_t write_colliding_vocabulary(const std::string& directory, const std::string& source,
                                         std::uint64_t count, std::uint64_t source_bytes);

// Writes `directory`/Keywords.ini of about `bytes` bytes in which a few
// hundred words repeat over and over, and `directory`/`source`, a short
// program that uses them. Returns the vocabulary's size.
std::uint64_t write_duplicate_vocabulary(const std::string& directory, const std::string& source,
                                         std::uint64_t bytes);

}  // namespace trx_bench
