// TRX's existence test on Windows: which attribute sets of a directory
// entry count as found with its mask 0x33 (read-only, hidden, directory,
// archive). The Wine tests cover the search itself; Wine keeps no attribute
// above the byte, so the high bits are checked here.

#include <gtest/gtest.h>

#include "win32/found_attributes.h"

namespace {

constexpr unsigned kFoundMask = 0x33;

struct AttributeCase {
    unsigned attributes;
    bool found;
    const char* what;
};

TEST(FoundAttributes, OnlyTheAttributeByteIsComparedWithTheMask)
{
    const AttributeCase cases[] = {
        {0x00, true, "no attributes"},
        {0x20, true, "archive"},
        {0x33, true, "read-only, hidden, directory, archive"},
        {0x820, true, "compressed"},
        {0x2020, true, "not content-indexed"},
        {0x220, true, "sparse"},
        {0x120, true, "temporary"},
        {0x400, true, "reparse point"},
        {0xFFFFFF00, true, "every bit above the byte"},
        {0x04, false, "system"},
        {0x24, false, "system, archive"},
        {0x08, false, "volume label"},
        {0x2024, false, "system, not content-indexed"},
        {0x40, false, "device"},
    };
    for (const AttributeCase& c : cases)
        EXPECT_EQ(WithinAttributeMask(c.attributes, kFoundMask), c.found) << c.what << " (0x" << std::hex << c.attributes << ")";
}

}  // namespace
