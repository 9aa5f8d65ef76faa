#pragma once
// The demonstration listing line by line, for the tests of both casepad
// hosts.

#include <string>
#include <vector>

#include "demo_text.h"

// Splits a text into lines at CR, LF or CR LF; a text after the last line
// end is dropped (the listing ends with one).
inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find_first_of("\r\n", start)) != std::string::npos;) {
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// The listing's lines without their line ends (26, the last one empty).
inline std::vector<std::string> ListingLines() { return SplitLines(kDemoListing); }
