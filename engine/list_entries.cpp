#include "list_entries.h"

#include <cstring>

namespace recasor {

ListBlockBits ClassifyListTail(std::string_view body, size_t at)
{
    char padded[64];
    std::memset(padded, ' ', sizeof padded);
    std::memcpy(padded, body.data() + at, body.size() - at);
    return ClassifyListBytes(padded);
}

}  // namespace recasor
