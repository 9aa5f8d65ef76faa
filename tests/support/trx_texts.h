#pragma once
// The batch tool's own message texts, and a small vocabulary whose
// conversions tell case mode and dialect apart: shared by the tests of its
// Linux and Windows builds.

#include <string>

// Messages that name a file or a section.
inline std::string NotFoundText(const std::string& name) { return "File not found: \"" + name + "\"."; }
inline std::string CannotReadText(const std::string& name) { return "Cannot read file: \"" + name + "\"."; }
inline std::string CannotWriteText(const std::string& name) { return "Cannot write file: \"" + name + "\"."; }
inline std::string OutOfMemoryText(const std::string& name) { return "Not enough memory for file: \"" + name + "\"."; }
inline std::string StartTagMissingText(const std::string& tag) { return "XML start-tag not found:  <" + tag + ">"; }
inline std::string EndTagMissingText(const std::string& tag) { return "XML end-tag not found:  </" + tag + ">"; }

inline const std::string kUsageText =
    "Commandline-Syntax:\n"
    "   \"TRX.EXE\" \"filename.bas\" -parameters\n"
    "\n"
    "Parameters:\n"
    "   -m = Make keywords MixedCase (default)\n"
    "   -l   = Make keywords LowerCase\n"
    "   -u  = Make keywords UppperCase\n"
    "\n"
    "   -f   = FreeBasic (default)\n"
    "   -p  = PowerBasic\n";
inline const std::string kEmptyCommandLineText = "File not found, empty Commandline.";
inline const std::string kDefaultMissingText = "File not found:\nC:\\Test.bas";
inline const std::string kDefaultSourceName = "C:\\Test.bas";
inline const std::string kKeywordsMissingText = "File not found: \"Keywords.ini\"";

// A small vocabulary in which the two dialects, the API names and the
// constants can be told apart. The FreeBasic keywords repeat Dim and Print in capitals (the first
// spelling must win), list an entry with a leading "#" (never matches) and
// share PRINT with the constants (the keyword wins).
inline const std::string kVocabulary =
    "Test vocabulary: free text outside the sections is ignored.\r\n"
    "<FreeBasicKeywords>\r\n"
    "Data, Dim, As, Integer, Print, While, Case, Sub, UCase$, Include, #Define, DIM, PRINT\r\n"
    "</FreeBasicKeywords>\r\n"
    "<PowerBasicKeywords>\r\n"
    "Dim As Long Local Print Case\r\n"
    "</PowerBasicKeywords>\r\n"
    "<ApiKeywords>\r\n"
    "GetFocus GetMessage\r\n"
    "</ApiKeywords>\r\n"
    "<FreeBasicConstants>\r\n"
    "WM_KEYDOWN Pi PRINT\r\n"
    "</FreeBasicConstants>\r\n"
    "<PowerBasicConstants>\r\n"
    "%WM_KEYDOWN %NULL %Pi\r\n"
    "</PowerBasicConstants>\r\n";

// One source line and its four conversions under kVocabulary.
inline const std::string kSource = "dim x as long\n";
inline const std::string kFbMixed = "Dim x As long\r\n";
inline const std::string kFbUpper = "DIM x AS long\r\n";
inline const std::string kPbMixed = "Dim x As Long\r\n";
inline const std::string kPbUpper = "DIM x AS LONG\r\n";
