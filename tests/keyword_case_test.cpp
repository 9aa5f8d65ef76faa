// Case conversion of single lines: the worked examples of the vocabulary
// below and the edge cases around strings, comments and DATA.

#include <gtest/gtest.h>

#include <string>

#include "keyword_case.h"
#include "support/keyword_oracles.h"
#include "vocabulary.h"

using namespace recasor;

namespace {

WordList ListOf(const std::string& body) { return BuildWordList("<L>" + body + "</L>", "<L>"); }

KeywordSet ExampleSet()
{
    return MakeKeywordSet(ListOf("Data Dim As Integer Print While Case Sub UCase$ Include Rem It Function"),
                          ListOf("GetFocus GetMessage"), ListOf("WM_KEYDOWN %NULL"));
}

std::string Convert(std::string line, const KeywordSet& set) { return ApplyKeywordCase(line, set); }

struct Example {
    std::string line;
    std::string expected;
};

void ExpectConversions(const KeywordSet& set, std::initializer_list<Example> examples)
{
    for (const Example& e : examples) EXPECT_EQ(Convert(e.line, set), e.expected) << "line: " << e.line;
}

}  // namespace

TEST(KeywordCase, WorkedExamples)
{
    ExpectConversions(ExampleSet(), {
        {"dim x as INTEGER", "Dim x As Integer"},
        {"  a$=\"print\"", "  a$=\"print\""},
        {"  1*2+(3/4)=567 'Not really...", "  1*2+(3/4)=567 'Not really..."},
        {"  data data function=a*986", "  Data data function=a*986"},
        {"  b$=Ucase$(a$)", "  b$=UCase$(a$)"},
        {"  c=GetFocus()", "  c=GetFocus()"},
        {"  c=getfocus()", "  c=GetFocus()"},
        {"  while getmessage(Msg,%Null,0,0)    'gets a message from the message queque",
         "  While GetMessage(Msg,%NULL,0,0)    'gets a message from the message queque"},
        {"  case wm_keydown", "  Case WM_KEYDOWN"},
        {"printer", "printer"},
        {"#include", "#Include"},
        {"rem print it", "Rem Print It"},
    });
}

TEST(KeywordCase, WordBoundaries)
{
    ExpectConversions(ExampleSet(), {
        {"", ""},
        {"print", "Print"},                      // word at the very end of the line
        {"print'print", "Print'print"},          // word right before the comment
        {"'print", "'print"},                    // a comment line is left alone
        {"x.print print.x print", "x.print print.x Print"},  // dots belong to the word
        {"print$ print% 1print", "print$ print% 1print"},    // so do sigils and digits
        {"print\tprint", "Print\tPrint"},
        {"PRINT#1,x", "Print#1,x"},
        {"pr\xE9int print\xE9", "pr\xE9int Print\xE9"},   // bytes from 128 up split words
        {"dim:print", "Dim:Print"},
    });
}

TEST(KeywordCase, StringsAndComments)
{
    ExpectConversions(ExampleSet(), {
        {"print \"dim\" dim \"as\" as", "Print \"dim\" Dim \"as\" As"},
        {"print \"it's\" dim", "Print \"it's\" Dim"},    // an apostrophe inside a string is no comment
        {"print 'x \"dim\" dim", "Print 'x \"dim\" dim"},
        {"print \"xyz", "Print \"xyz"},                  // unclosed: only the last character is examined
        {"print \"dim", "Print \"dim"},
        {"\"", "\""},
        {"\"\"print", "\"\"Print"},
        {"dim \"", "Dim \""},
    });
}

TEST(KeywordCase, LastCharacterOfAnUnclosedStringIsCode)
{
    KeywordSet set = MakeKeywordSet(ListOf("Print Z"), ListOf(""), ListOf(""));
    ExpectConversions(set, {
        {"print \"xyz", "Print \"xyZ"},
        {"print \"z", "Print \"Z"},
        {"print \"", "Print \""},
    });
}

TEST(KeywordCase, DataStatements)
{
    ExpectConversions(ExampleSet(), {
        {"data dim, as, \"print\" 'comment", "Data dim, as, \"print\" 'comment"},
        {"   DATA print", "   Data print"},
        {"data", "Data"},                                  // no item: not a statement, just a word
        {"\tdata print", "\tData Print"},                  // only spaces may lead
        {"data\tprint", "Data\tPrint"},
        {"x: data print", "x: Data Print"},
        {"datas print", "datas Print"},
        {"print data dim", "Print Data Dim"},
        {"  dAtA  print", "  Data  print"},                // any case, any spacing after
        {"data ", "Data "},                                // a statement without items
        {"dat", "dat"},
        {"  #data print", "  #Data Print"},                // a mark before the word
        {"  _data print", "  _data Print"},                // a longer word
        {" \x01" "data print", " \x01" "Data Print"},
        {std::string("data\0print", 10), std::string("Data\0Print", 10)},  // only a space ends the word DATA
        {"data" + std::string(70, ' ') + "print", "Data" + std::string(70, ' ') + "print"},
        {std::string(70, ' ') + "data print", std::string(70, ' ') + "Data print"},  // its word in the next 64 bytes
    });
}

TEST(KeywordCase, KeysStartingWithAnyWordCharacter)
{
    // Only first bytes that start some key are looked up; each kind of word
    // character must still find its keys, in either case of a letter.
    KeywordSet set = MakeKeywordSet(ListOf("3Way _Under @At $Dollar .Dot ?Ask !Bang &HFF %Pct 9"),
                                    ListOf("Zeta"), ListOf("%WM_X"));
    ExpectConversions(set, {
        {"3way _under @at $dollar .dot ?ask !bang &hff %pct %wm_x 9 zeta",
         "3Way _Under @At $Dollar .Dot ?Ask !Bang &HFF %Pct %WM_X 9 Zeta"},
        {"3WAY 4way _UNDER -under ZETA yeta 99 9", "3Way 4way _Under -under Zeta yeta 99 9"},
    });
    KeywordSet letters = MakeKeywordSet(ListOf("Print"), ListOf(""), ListOf(""));
    ExpectConversions(letters, {{"1print 100 print _print PRINT", "1print 100 Print _print Print"}});
}

TEST(KeywordCase, FirstListWinsAndLeftmostEntryWins)
{
    KeywordSet set = MakeKeywordSet(ListOf("Print PRINT"), ListOf("pRINT Beep"), ListOf("PRINT BEEP Tab"));
    ExpectConversions(set, {
        {"print beep tab", "Print Beep Tab"},
    });
}

TEST(KeywordCase, EntriesThatCanNeverMatch)
{
    KeywordSet set = MakeKeywordSet(ListOf("#Include A\tB Print()"), ListOf("0"), ListOf(""));
    ExpectConversions(set, {
        {"#include a\tb print() 0", "#include a\tb print() 0"},
    });
}

TEST(KeywordCase, EmptyListsChangeNothing)
{
    KeywordSet set;
    EXPECT_EQ(Convert("dim x as integer", set), "dim x as integer");
}

TEST(KeywordCase, LengthAndNulBytesAreKept)
{
    std::string line("dim\0print \"\0\" as", 16);
    std::string expected("Dim\0Print \"\0\" As", 16);
    EXPECT_EQ(Convert(line, ExampleSet()), expected);
}

TEST(KeywordCase, BlankLiteralsKeepsLengthAndQuotes)
{
    struct Case {
        const char* text;
        const char* blanked;
    } cases[] = {
        {"a$=\"Hello\"", "a$=\"     \""},
        {"\"a\"b\"c\"", "\" \"b\" \""},
        {"print \"xyz", "print \"  z"},
        {"  data 1,\"x\",2", "  data        "},
        {"  DATA ", "  DATA "},
        {"\"", "\""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(BlankLiterals(c.text), c.blanked) << c.text;
}
