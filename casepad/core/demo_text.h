#pragma once
// The text casepad shows at start, and the fixed word list that colours it.

#include <string>

// The 26-line demonstration listing, every line (the last, empty one too)
// ended by a lone CR.
extern const char* const kDemoListing;

// Sixteen copies of the listing, made by doubling it four times: 416
// CR-ended lines and an empty last line, 417 lines in all.
std::string BuildDemoText();

// Keyword set 0 of the PowerBasic lexer. It only colours the text; the case
// correction takes its words from Keywords.ini.
extern const char* const kLexerWords;
