// The fast paths of the engine against the plain oracles: blocks of lines
// at every offset of the 64-byte scan, words around the 16-byte key head,
// keys built to collide, duplicates, and sets built straight from the text.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "ascii.h"
#include "keyword_case.h"
#include "support/keyword_oracles.h"
#include "vocabulary.h"
#include "word_scan.h"

using namespace recasor;

namespace {

WordList ListOf(const std::string& body) { return BuildWordList("<L>" + body + "</L>", "<L>"); }

// "Kwabc..." of exactly `length` bytes (length >= 2).
std::string WordOfLength(size_t length)
{
    std::string word = "Kw";
    while (word.size() < length) word += static_cast<char>('a' + word.size() % 26);
    return word;
}

std::string Lowered(std::string text)
{
    LowerInPlace(text);
    return text;
}

// A vocabulary text with FreeBasic's three sections.
std::string FreeBasicText(const std::string& keywords, const std::string& api, const std::string& constants)
{
    return "<FreeBasicKeywords>" + keywords + "</FreeBasicKeywords>\r\n<ApiKeywords>" + api +
           "</ApiKeywords>\r\n<FreeBasicConstants>" + constants + "</FreeBasicConstants>";
}

// 16-byte words that differ only in bytes 6, 7, 14 and 15.
std::vector<std::string> CollidingWords(size_t count)
{
    std::vector<std::string> words;
    for (size_t n = 0; n < count; ++n) {
        std::string word = "CollidXXSamePaXX";
        word[6] = static_cast<char>('a' + n % 23);
        word[7] = static_cast<char>('a' + n / 23 % 23);
        word[14] = static_cast<char>('a' + n / 529 % 23);
        word[15] = static_cast<char>('a' + n / 12167 % 23);
        words.push_back(word);
    }
    return words;
}

}  // namespace

TEST(BlockConversion, AgreesWithTheSearchAtEveryOffsetOfTheScan)
{
    std::string keywords;
    for (size_t length : {2, 3, 7, 8, 9, 15, 16, 17, 31, 32, 33, 64, 65}) keywords += WordOfLength(length) + " ";
    SearchLists lists{ListOf(keywords + "Print Data"), ListOf("GetMessage"), ListOf("%NULL")};
    KeywordSet set = MakeKeywordSet(lists);
    std::vector<std::string> lines = {
        Lowered(keywords) + "print",
        "x = " + Lowered(WordOfLength(16)) + "(" + Lowered(WordOfLength(17)) + ") ' " + Lowered(WordOfLength(15)),
        Lowered(WordOfLength(15)) + "x " + Lowered(WordOfLength(16)) + "1 " + Lowered(WordOfLength(33)),
        "print \"" + Lowered(WordOfLength(16)) + "\" getmessage \"open " + Lowered(WordOfLength(9)),
        "   data " + Lowered(WordOfLength(16)) + ", print",
        "print %null:" + Lowered(WordOfLength(64)) + "." + Lowered(WordOfLength(65)),
    };
    for (size_t pad = 0; pad < 130; ++pad) {
        for (const std::string& line : lines) {
            // A filler line of `pad` bytes puts the line at every offset of a 64-byte block.
            std::string filler(pad, ' ');
            if (pad > 5) filler.replace(pad - 5, 5, "print");
            std::string block = filler + "\r\n" + line + "\n" + filler;
            std::vector<LineSpan> spans = {{0, pad}, {pad + 2, line.size()}, {pad + 3 + line.size(), pad}};
            std::string expected = ConvertBySearch(filler, lists) + "\r\n" + ConvertBySearch(line, lists) + "\n" +
                                   ConvertBySearch(filler, lists);
            for (size_t spare : {0, 16}) {
                std::string converted = block + std::string(spare, 'p');
                ApplyKeywordCase(converted.data(), block.size() + spare, spans.data(), spans.size(), set);
                ASSERT_EQ(converted.substr(0, block.size()), expected) << "pad " << pad << ", spare " << spare;
            }
        }
    }
}

TEST(BlockConversion, WordsAroundTheKeyHeadMatchOnlyWhole)
{
    KeywordSet set = MakeKeywordSet(ListOf(WordOfLength(15) + " " + WordOfLength(16) + " " + WordOfLength(17)),
                                    ListOf(""), ListOf(""));
    for (size_t length = 13; length <= 19; ++length) {
        std::string word = Lowered(WordOfLength(length));
        bool entry = length >= 15 && length <= 17;
        const char* spelling = FindKeywordSpelling(set, word.data(), word.size());
        ASSERT_EQ(spelling != nullptr, entry) << length;
        if (entry) EXPECT_EQ(std::string(spelling, length), WordOfLength(length));
        // One byte off, at each place: never found.
        for (size_t at = 0; entry && at < length; ++at) {
            std::string near = word;
            near[at] = near[at] == 'z' ? 'y' : 'z';
            EXPECT_EQ(FindKeywordSpelling(set, near.data(), near.size()), nullptr) << near;
        }
    }
}

TEST(BlockConversion, CollidingKeysAreAllFoundAndNearMissesAreNot)
{
    std::vector<std::string> words = CollidingWords(30000);
    std::string body;
    for (const std::string& word : words) body += word + "\r\n";
    for (bool fromText : {false, true}) {
        KeywordSet set = fromText ? BuildKeywordSetFromText(FreeBasicText(body, "", ""), DialectSections(Dialect::FreeBasic),
                                                            CaseMode::Mixed)
                                  : MakeKeywordSet(ListOf(body), ListOf(""), ListOf(""));
        for (const std::string& word : words) {
            std::string lower = Lowered(word);
            const char* spelling = FindKeywordSpelling(set, lower.data(), lower.size());
            ASSERT_NE(spelling, nullptr) << word;
            ASSERT_EQ(std::string(spelling, word.size()), word);
            lower[6] = 'x';  // outside the vocabulary's letters
            ASSERT_EQ(FindKeywordSpelling(set, lower.data(), lower.size()), nullptr) << lower;
        }
    }
}

TEST(BlockConversion, EveryKeyByteChangesTheTableSlot)
{
    // Words that differ in one byte only must spread over the table, at
    // every byte position (a hash that drops some bytes piles them up).
    for (size_t at = 0; at < 20; ++at) {
        std::set<size_t> slots;
        for (char c = 'a'; c <= 'w'; ++c) {
            std::string word = WordOfLength(20);
            word[at] = c;
            slots.insert(word_index_detail::FoldWord(word.data(), word.size(), word.size()).hash & 0x7FFF);
        }
        EXPECT_GE(slots.size(), 20u) << "byte " << at;
    }
}

TEST(BlockConversion, DuplicatesTakeNoTableSpace)
{
    std::string body;
    for (int round = 0; round < 100000; ++round) body += "Print Dim As Integer Word" + std::to_string(round % 10) + " ";
    KeywordSet set = BuildKeywordSetFromText(FreeBasicText(body, "", ""), DialectSections(Dialect::FreeBasic), CaseMode::Upper);
    EXPECT_EQ(set.index.used, 14u);
    EXPECT_LE(set.index.table.size() * sizeof(WordIndexSlot), 512u * 1024);
    EXPECT_LE(set.index.spellings.size(), 100u);
    EXPECT_STREQ(std::string(FindKeywordSpelling(set, "word7", 5), 5).c_str(), "WORD7");
}

TEST(BlockConversion, SetFromTextAgreesWithSetFromParsedLists)
{
    std::mt19937 random(12);
    const char kAlphabet[] = "abAB_$%.0 ,;\r\n\t#";
    auto randomBody = [&] {
        std::string body;
        int length = std::uniform_int_distribution<int>(0, 80)(random);
        for (int i = 0; i < length; ++i) body += kAlphabet[random() % (sizeof kAlphabet - 1)];
        return body;
    };
    std::vector<std::string> texts = {
        "", "<ApiKeywords>a</ApiKeywords>", "<ApiKeywords>ab</ApiKeywords>x",  // entries close to the text's end
        "<FreeBasicKeywords>Print</FreeBasicKeywords>",                          // two sections missing
        "<PowerBasicKeywords>Dim</PowerBasicKeywords><ApiKeywords>Dim Beep</ApiKeywords>",
    };
    for (int i = 0; i < 300; ++i) {
        std::string text = FreeBasicText(randomBody(), randomBody(), randomBody());
        if (i % 7 == 0) text.erase(text.find("</ApiKeywords>"), 5);  // a broken end tag
        if (i % 5 == 0) text = "<PowerBasicKeywords>" + randomBody() + "</PowerBasicKeywords>" + text;
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        Vocabulary vocabulary = ParseVocabulary(text);
        for (Dialect dialect : {Dialect::FreeBasic, Dialect::PowerBasic}) {
            for (CaseMode mode : {CaseMode::Mixed, CaseMode::Lower, CaseMode::Upper}) {
                KeywordSet fromLists = BuildKeywordSet(vocabulary, DialectSections(dialect), mode);
                KeywordSet fromText = BuildKeywordSetFromText(text, DialectSections(dialect), mode);
                for (const char* word : {"a", "b", "ab", "ba", "a_", "$", "0", "aa.b", "print", "dim", "beep", "b%a"}) {
                    size_t length = std::string(word).size();
                    ASSERT_TRUE(SameSpelling(FindKeywordSpelling(fromText, word, length),
                                             FindKeywordSpelling(fromLists, word, length), length))
                        << "word " << word << " in [" << text << "]";
                }
            }
        }
        std::vector<VocabularyProblem> problems = FindVocabularyProblems(text);
        ASSERT_EQ(problems.size(), vocabulary.problems.size()) << text;
        for (size_t i = 0; i < problems.size(); ++i)
            EXPECT_EQ(ProblemText(problems[i]), ProblemText(vocabulary.problems[i])) << text;
    }
}

TEST(BlockConversion, ManyKeysConvertInBlocksAsTheyAreLookedUpOneByOne)
{
    // Enough colliding keys that buckets fill, pass words on and share
    // tags; lines of keys and near misses long enough for the 16-byte path.
    std::vector<std::string> words = CollidingWords(20000);
    std::string body;
    for (const std::string& word : words) body += word + " " + word.substr(0, 9) + "\r\n";
    KeywordSet set = MakeKeywordSet(ListOf(body), ListOf(""), ListOf(""));
    std::string block;
    std::vector<LineSpan> spans;
    for (size_t n = 0; n < words.size(); n += 7) {
        std::string near = Lowered(words[n]);
        near[n % 16] = 'x';
        std::string line = Lowered(words[n]) + " " + near + " " + Lowered(words[n]).substr(0, 9) + " " +
                           Lowered(words[(n * 31) % words.size()]) + "." + Lowered(words[n]).substr(0, 5);
        spans.push_back({block.size(), line.size()});
        block += line + "\r\n";
    }
    std::string expected = block;
    for (const LineSpan& span : spans) {
        std::string line = block.substr(span.start, span.length);
        for (size_t start = 0; start < line.size();) {
            size_t end = line.find_first_of(" ", start);
            if (end == std::string::npos) end = line.size();
            if (const char* spelling = FindKeywordSpelling(set, line.data() + start, end - start))
                expected.replace(span.start + start, end - start, std::string(spelling, end - start));
            start = end + 1;
        }
    }
    std::string converted = block + std::string(16, ' ');
    ApplyKeywordCase(converted.data(), converted.size(), spans.data(), spans.size(), set);
    EXPECT_EQ(converted.substr(0, block.size()), expected);
}

TEST(BlockConversion, NumbersAndSingleCharactersAreLookedUpOnlyWhenAKeyIsSuch)
{
    for (const std::string& keywords : {std::string("Print Dim"), std::string("Print Dim 3D 1st X ?"), std::string("Print Dim &Hex")}) {
        SearchLists lists{ListOf(keywords), ListOf(""), ListOf("%1st")};
        KeywordSet set = MakeKeywordSet(lists);
        std::string line = "print 3d 123 3dx 1st %1st 12print &h1f &hex 1.5e3 x=y(x) ?x ? dim \"x 3d";
        for (size_t pad = 0; pad < 70; ++pad) {
            std::string filler(pad, ' ');
            std::string block = filler + "\n" + line + "\n" + line.substr(0, pad % line.size()) + "3d";
            std::vector<LineSpan> spans = {{0, pad}, {pad + 1, line.size()}, {pad + 2 + line.size(), pad % line.size() + 2}};
            std::string expected = ConvertBySearch(filler, lists) + "\n" + ConvertBySearch(line, lists) + "\n" +
                                   ConvertBySearch(line.substr(0, pad % line.size()) + "3d", lists);
            std::string converted = block + std::string(16, ' ');
            ApplyKeywordCase(converted.data(), converted.size(), spans.data(), spans.size(), set);
            ASSERT_EQ(converted.substr(0, block.size()), expected) << keywords << ", pad " << pad;
        }
    }
}

TEST(BlockConversion, BothBuildsOfTheScanFindTheSameWords)
{
#if !defined(RECASOR_AVX2_SCAN)
    GTEST_SKIP() << "the scan has one build here";
#else
    if (!ScanUsesAvx2()) GTEST_SKIP() << "this processor has no AVX2";
    // Random BASIC-like bytes: words, numbers, quotes, apostrophes, DATA,
    // spaces and line ends, and any other byte value, in texts of every
    // length up to a few blocks.
    const char* pieces[] = {"print ", "Data ", "  data ", "x", "\"", "'", " ", "12", "&h1F", "a$", "_b.c", "\r", "\n", "\t", "?"};
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        size_t count = random() % 60;
        for (size_t i = 0; i < count; ++i) {
            if (random() % 4 == 0)
                text += static_cast<char>(random() % 256);
            else
                text += pieces[random() % (sizeof pieces / sizeof pieces[0])];
        }
        text += std::string(64, 'z');  // readable bytes past the text
        LineMarks marks;
        MarkLineFeedLines(text.data(), text.size() - 64, text.size(), marks);
        for (bool skipping : {false, true}) {
            WordsToSkip skip;
            skip.numbers = skip.singleCharacters = skipping;
            FoundWords plain, wide;
            ScanCarry plainCarry, wideCarry;
            baseline::ScanBlocks(text.data(), text.size(), marks, 0, marks.blockCount, skip, plainCarry, plain);
            avx2::ScanBlocks(text.data(), text.size(), marks, 0, marks.blockCount, skip, wideCarry, wide);
            ASSERT_EQ(plain.startCount, wide.startCount) << text;
            ASSERT_EQ(plain.endCount, wide.endCount) << text;
            for (size_t i = 0; i < plain.startCount; ++i) ASSERT_EQ(plain.starts[i], wide.starts[i]) << text;
            for (size_t i = 0; i < plain.endCount; ++i) ASSERT_EQ(plain.ends[i], wide.ends[i]) << text;
        }
    }
#endif
}
