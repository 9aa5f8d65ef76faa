#include "reserved_words.h"

#include <algorithm>
#include <array>

namespace recasor {

namespace {

constexpr std::string_view kFreeBasicReserved[] = {
#include "freebasic_reserved_words.inc"
};

}  // namespace

bool IsReservedWord(Dialect dialect, std::string_view word)
{
    if (dialect != Dialect::FreeBasic) return false;
    static_assert(std::is_sorted(std::begin(kFreeBasicReserved), std::end(kFreeBasicReserved)));
    return std::binary_search(std::begin(kFreeBasicReserved), std::end(kFreeBasicReserved), word);
}

}  // namespace recasor
